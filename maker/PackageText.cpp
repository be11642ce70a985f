#include "maker/PackageText.h"

#include <cstdio>
#include <cstring>

#include "common/HttpUrl.h"
#include "common/PackageFiles.h"
#include "common/Text.h"

namespace {

// Appends text to out at *pos; 0 when it does not fit with its terminator.
int Append(char *out, size_t size, size_t *pos, const char *text)
{
    size_t length = std::strlen(text);
    if (*pos + length >= size)
        return 0;
    std::memcpy(out + *pos, text, length + 1);
    *pos += length;
    return 1;
}

int AppendLine(char *out, size_t size, size_t *pos, const char *key, const char *value,
               size_t valueMax)
{
    char cut[1024];
    ptext::CopyText(cut, valueMax + 1 < sizeof cut ? valueMax + 1 : sizeof cut, value);
    return Append(out, size, pos, key) && Append(out, size, pos, " = ") &&
           Append(out, size, pos, cut) && Append(out, size, pos, "\n");
}

// The text after the source folder's bytes; empty when there is none.
const char *Relative(const char *path, size_t sourceLength)
{
    size_t length = std::strlen(path);
    return path + (sourceLength < length ? sourceLength : length);
}

}  // namespace

int IsHttpUrl(const char *text)
{
    return text && std::strncmp(text, "http://", 7) == 0 ? 1 : 0;
}

size_t FormatSetupDescription(char *out, size_t size, const char *appName,
                              const char (*bitmapPaths)[260], const char *packPath,
                              const char *listPath)
{
    if (size == 0)
        return 0;
    out[0] = '\0';
    const char *keys[kBitmapCount] = {kKeyDialog1, kKeyDialog2, kKeyDialog3, kKeyDialog4,
                                      kKeyDialog5};
    const size_t kPathMax = ptext::kPathSize - 1;
    size_t pos = 0;
    int ok = AppendLine(out, size, &pos, kKeyAppName, appName, kAppNameMax);
    for (int i = 0; ok && i < kBitmapCount; ++i)
        ok = AppendLine(out, size, &pos, keys[i], bitmapPaths[i], kPathMax);
    ok = ok && AppendLine(out, size, &pos, kKeyDialogBmpPack, packPath, kPathMax) &&
         AppendLine(out, size, &pos, kKeyInstallList, listPath, kPathMax);
    if (!ok) {
        out[0] = '\0';
        return 0;
    }
    return pos;
}

int FormatInstallLine(char *line, size_t size, const usrs_class::t_FileStatus &entry,
                      size_t sourceLength)
{
    std::memset(line, 0, size);
    if (entry.szFolder[0] == '\0') {
        const char *relative = Relative(entry.szPath, sourceLength);
        std::snprintf(line, size, "%s\t%s\n", relative, relative);
        return 1;
    }
    if (!IsInstallableHttpUrl(entry.szPath))
        return 0;
    char host[kHostSize] = {};
    char folder[kUrlPartSize] = {};
    char file[kUrlPartSize] = {};
    SplitHttpUrl(entry.szPath, host, sizeof host - 1, folder, sizeof folder - 1, file,
                 sizeof file - 1);
    std::snprintf(line, size, "%s\t%s%s\n", entry.szPath, Relative(entry.szFolder, sourceLength),
                  file);
    return 1;
}

void FormatListBoxLine(char *line, size_t size, const usrs_class::t_FileStatus &entry,
                       size_t sourceLength)
{
    const char *text = entry.szFolder[0] != '\0' ? entry.szPath : Relative(entry.szPath, sourceLength);
    ptext::CopyText(line, size, text);
}

CLeftOutNote::CLeftOutNote()
{
    Reset();
}

CLeftOutNote::~CLeftOutNote() {}

void CLeftOutNote::Reset()
{
    std::memset(m_szBitmaps, 0, sizeof m_szBitmaps);
    std::memset(m_szShortcuts, 0, sizeof m_szShortcuts);
    m_nBitmaps = 0;
    m_nShortcuts = 0;
}

void CLeftOutNote::AddBitmap(const char *path)
{
    if (m_nBitmaps < kBitmapCount)
        ptext::CopyText(m_szBitmaps[m_nBitmaps], sizeof m_szBitmaps[0], path);
    ++m_nBitmaps;
}

void CLeftOutNote::AddShortcut(const char *address)
{
    if (m_nShortcuts < kShown)
        ptext::CopyText(m_szShortcuts[m_nShortcuts], sizeof m_szShortcuts[0], address);
    ++m_nShortcuts;
}

namespace {

int AppendGroup(char *out, size_t size, size_t *pos, const char *header,
                const char (*entries)[260], int shown, int total)
{
    if (total == 0)
        return 1;
    if (*pos > 0 && !Append(out, size, pos, "\r\n\r\n"))
        return 0;
    if (!Append(out, size, pos, header))
        return 0;
    for (int i = 0; i < shown && i < total; ++i)
        if (!Append(out, size, pos, "\r\n") || !Append(out, size, pos, entries[i]))
            return 0;
    if (total > shown) {
        char rest[64];
        std::snprintf(rest, sizeof rest, "\r\nほか %d 件", total - shown);
        return Append(out, size, pos, rest);
    }
    return 1;
}

}  // namespace

size_t CLeftOutNote::Format(char *out, size_t size) const
{
    if (size == 0)
        return 0;
    out[0] = '\0';
    size_t pos = 0;
    int ok = AppendGroup(out, size, &pos, "次の画像を読み込めませんでした。", m_szBitmaps,
                         kBitmapCount, m_nBitmaps) &&
             AppendGroup(out, size, &pos, "次のショートカットはインストールリストに含まれません。",
                         m_szShortcuts, kShown, m_nShortcuts);
    if (!ok) {
        out[0] = '\0';
        return 0;
    }
    return pos;
}
