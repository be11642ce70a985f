#include "common/Text.h"

#include <climits>
#include <cstring>

namespace ptext {

namespace {

bool IsDelimiter(char c, const char *delims)
{
    return c != '\0' && std::strchr(delims, c) != nullptr;
}

}  // namespace

void BeginTokens(TokenCursor *cursor, const char *text, size_t length)
{
    const void *nul = std::memchr(text, '\0', length);
    cursor->pos = text;
    cursor->end = nul ? static_cast<const char *>(nul) : text + length;
}

int NextToken(TokenCursor *cursor, const char *delims, const char **token, size_t *length)
{
    const char *p = cursor->pos;
    const char *end = cursor->end;
    // Delimiters are single-byte characters, so a byte at a character
    // boundary that is in the set is a delimiter.
    while (p < end && IsDelimiter(*p, delims))
        ++p;
    if (p >= end) {
        cursor->pos = end;
        return 0;
    }
    const char *start = p;
    while (p < end && !IsDelimiter(*p, delims))
        p += CharLength(p, end);
    if (p > end)
        p = end;
    *token = start;
    *length = static_cast<size_t>(p - start);
    cursor->pos = p;
    return 1;
}

size_t CopyText(char *dest, size_t size, const char *src, size_t srcLength)
{
    if (size == 0)
        return 0;
    const char *end = src + srcLength;
    size_t n = 0;
    while (src + n < end && src[n] != '\0') {
        size_t len = CharLength(src + n, end);
        if (n + len > size - 1)
            break;
        n += len;
    }
    std::memcpy(dest, src, n);
    std::memset(dest + n, 0, size - n);
    return n;
}

size_t CopyText(char *dest, size_t size, const char *src)
{
    return CopyText(dest, size, src, std::strlen(src));
}

int JoinText(char *dest, size_t size, const char *a, const char *b, const char *c, const char *d)
{
    const char *parts[] = {a, b, c, d};
    size_t total = 0;
    for (const char *part : parts)
        if (part)
            total += std::strlen(part);
    if (size == 0)
        return 0;
    if (total >= size) {
        dest[0] = '\0';
        return 0;
    }
    size_t pos = 0;
    for (const char *part : parts) {
        if (!part)
            continue;
        size_t len = std::strlen(part);
        std::memmove(dest + pos, part, len);
        pos += len;
    }
    dest[pos] = '\0';
    return 1;
}

const char *FindLastSeparator(const char *path)
{
    const char *last = nullptr;
    const char *end = path + std::strlen(path);
    for (const char *p = path; p < end; p += CharLength(p, end))
        if (*p == '\\' || *p == '/')
            last = p;
    return last;
}

int EndsWithBackslash(const char *text)
{
    const char *end = text + std::strlen(text);
    const char *last = nullptr;
    for (const char *p = text; p < end; p += CharLength(p, end))
        last = p;
    return last && *last == '\\' && last + 1 == end;
}

namespace {

int PutPart(char *dest, size_t size, const char *start, size_t length)
{
    if (!dest)
        return 1;
    if (length >= size)
        return 0;
    std::memcpy(dest, start, length);
    dest[length] = '\0';
    return 1;
}

void ClearPart(char *dest, size_t size)
{
    if (dest && size)
        dest[0] = '\0';
}

}  // namespace

int SplitPath(const char *path, char *drive, size_t driveSize, char *folder, size_t folderSize,
              char *name, size_t nameSize, char *ext, size_t extSize)
{
    const char *end = path + std::strlen(path);
    const char *p = path;
    size_t driveLength = 0;
    if (end - p >= 2 && p[1] == ':' && !IsLeadByte((unsigned char)p[0]))
        driveLength = 2;
    p += driveLength;
    const char *sep = FindLastSeparator(p);
    const char *nameStart = sep ? sep + 1 : p;
    const char *dot = nullptr;
    for (const char *q = nameStart; q < end; q += CharLength(q, end))
        if (*q == '.')
            dot = q;
    const char *extStart = dot ? dot : end;
    int ok = PutPart(drive, driveSize, path, driveLength) &&
             PutPart(folder, folderSize, p, static_cast<size_t>(nameStart - p)) &&
             PutPart(name, nameSize, nameStart, static_cast<size_t>(extStart - nameStart)) &&
             PutPart(ext, extSize, extStart, static_cast<size_t>(end - extStart));
    if (!ok) {
        ClearPart(drive, driveSize);
        ClearPart(folder, folderSize);
        ClearPart(name, nameSize);
        ClearPart(ext, extSize);
    }
    return ok;
}

int HasExtension(const char *path, const char *ext)
{
    char found[kPathSize];
    if (!SplitPath(path, nullptr, 0, nullptr, 0, nullptr, 0, found, sizeof found))
        return 0;
    size_t n = std::strlen(ext);
    if (std::strlen(found) != n)
        return 0;
    for (size_t i = 0; i < n; ++i) {
        char a = found[i], b = ext[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b - 'A' + 'a');
        if (a != b)
            return 0;
    }
    return 1;
}

void TrimLineEnd(char *text)
{
    const char *end = text + std::strlen(text);
    // Only single-byte characters can be blanks, so find the end of the last
    // character that is not one.
    char *keep = text;
    for (char *p = text; p < end;) {
        size_t len = CharLength(p, end);
        if (len == 2 || (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n'))
            keep = p + len;
        p += len;
    }
    *keep = '\0';
}

namespace {

template <typename T>
T ParseSigned(const char *text, size_t length, T minValue, T maxValue)
{
    const char *p = text;
    const char *end = text + length;
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\v' || *p == '\f'))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    T value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        int digit = *p - '0';
        if (!negative) {
            if (value > (maxValue - digit) / 10)
                return maxValue;
            value = value * 10 + digit;
        } else {
            if (value < (minValue + digit) / 10)
                return minValue;
            value = value * 10 - digit;
        }
    }
    return value;
}

}  // namespace

long ParseLong32(const char *text, size_t length)
{
    return ParseSigned<long>(text, length, INT_MIN, INT_MAX);
}

long long ParseLong64(const char *text, size_t length)
{
    return ParseSigned<long long>(text, length, LLONG_MIN, LLONG_MAX);
}

}  // namespace ptext
