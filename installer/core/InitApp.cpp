#include "installer/core/InitApp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/Text.h"
#include "common/PackageFiles.h"

namespace {

// One read of the original line reader takes at most this many bytes; a
// longer line is parsed piece by piece.
const size_t kPieceLength = 1023;

}  // namespace

CInitApp::CInitApp()
{
    std::memset(m_szAppName, 0, sizeof m_szAppName);
    std::memset(m_szDialogBmp, 0, sizeof m_szDialogBmp);
    std::memset(m_szDialogBmpPack, 0, sizeof m_szDialogBmpPack);
    std::memset(m_szInstallList, 0, sizeof m_szInstallList);
}

CInitApp::~CInitApp() {}

int CInitApp::Load(const char *path)
{
    if (!path)
        return 0;
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return 0;
    char *data = nullptr;
    size_t length = 0;
    size_t capacity = 0;
    int ok = 1;
    for (;;) {
        if (length == capacity) {
            size_t grown = capacity ? capacity * 2 : 4096;
            char *bigger = static_cast<char *>(std::realloc(data, grown));
            if (!bigger) {
                ok = 0;
                break;
            }
            data = bigger;
            capacity = grown;
        }
        size_t got = std::fread(data + length, 1, capacity - length, file);
        length += got;
        if (got == 0) {
            if (std::ferror(file))
                ok = 0;
            break;
        }
    }
    std::fclose(file);
    if (ok)
        Parse(data, length);
    std::free(data);
    return ok;
}

void CInitApp::Parse(const char *data, size_t length)
{
    if (!data)
        return;
    const void *nul = std::memchr(data, '\0', length);
    const char *end = nul ? static_cast<const char *>(nul) : data + length;
    const char *p = data;
    while (p < end) {
        const char *lineEnd = static_cast<const char *>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        lineEnd = lineEnd ? lineEnd + 1 : end;
        size_t pieceLength = static_cast<size_t>(lineEnd - p);
        if (pieceLength > kPieceLength)
            pieceLength = kPieceLength;
        ParseLine(p, pieceLength);
        p += pieceLength;
    }
}

void CInitApp::ParseLine(const char *line, size_t length)
{
    ptext::TokenCursor cursor;
    ptext::BeginTokens(&cursor, line, length);
    const char *key;
    size_t keyLength;
    if (!ptext::NextToken(&cursor, " =\t\r\n", &key, &keyLength))
        return;

    struct Field {
        const char *key;
        char *field;
        size_t size;
    };
    const Field fields[] = {
        {kKeyAppName, m_szAppName, sizeof m_szAppName},
        {kKeyDialog1, m_szDialogBmp[0], sizeof m_szDialogBmp[0]},
        {kKeyDialog2, m_szDialogBmp[1], sizeof m_szDialogBmp[1]},
        {kKeyDialog3, m_szDialogBmp[2], sizeof m_szDialogBmp[2]},
        {kKeyDialog4, m_szDialogBmp[3], sizeof m_szDialogBmp[3]},
        {kKeyDialog5, m_szDialogBmp[4], sizeof m_szDialogBmp[4]},
        {kKeyDialogBmpPack, m_szDialogBmpPack, sizeof m_szDialogBmpPack},
        {kKeyInstallList, m_szInstallList, sizeof m_szInstallList},
    };
    const Field *target = nullptr;
    for (const Field &f : fields)
        if (std::strlen(f.key) == keyLength && std::memcmp(f.key, key, keyLength) == 0)
            target = &f;
    if (!target)
        return;

    // The value is the rest of the line after the delimiters that follow the
    // key, so names with blanks come through whole.
    const char *value = key + keyLength;
    const char *end = cursor.end;
    while (value < end && (*value == ' ' || *value == '=' || *value == '\t'))
        ++value;
    char buffer[1024];
    ptext::CopyText(buffer, sizeof buffer, value, static_cast<size_t>(end - value));
    ptext::TrimLineEnd(buffer);
    if (buffer[0] == '\0')
        return;
    ptext::CopyText(target->field, target->size, buffer);
}
