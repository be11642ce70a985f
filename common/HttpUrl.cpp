#include "common/HttpUrl.h"

#include <cstring>

#include "common/Text.h"

namespace {

const char kScheme[] = "http://";
const size_t kSchemeLength = sizeof kScheme - 1;

// Copies at most capacity bytes without splitting a character and without
// terminating a part that fills the capacity (the callers' spare cleared byte
// does that).
void CopyPart(char *dest, size_t capacity, const char *src, size_t length)
{
    const char *end = src + length;
    size_t n = 0;
    while (n < length) {
        size_t len = ptext::CharLength(src + n, end);
        if (n + len > capacity)
            break;
        n += len;
    }
    std::memcpy(dest, src, n);
    if (n < capacity)
        dest[n] = '\0';
}

// First '/' at a character boundary in [p, end), or null.
const char *FindSlash(const char *p, const char *end)
{
    for (; p < end; p += ptext::CharLength(p, end))
        if (*p == '/')
            return p;
    return nullptr;
}

}  // namespace

int SplitHttpUrl(const char *address, char *host, size_t hostCapacity, char *folder,
                 size_t folderCapacity, char *file, size_t fileCapacity)
{
    if (!address || std::strncmp(address, kScheme, kSchemeLength) != 0)
        return 0;
    char work[1024];
    ptext::CopyText(work, sizeof work, address);
    const char *rest = work + kSchemeLength;
    const char *end = work + std::strlen(work);
    if (rest >= end)
        return 0;
    std::memset(host, 0, hostCapacity);
    const char *slash = FindSlash(rest, end);
    if (!slash) {
        CopyPart(host, hostCapacity, rest, static_cast<size_t>(end - rest));
        return 1;
    }
    CopyPart(host, hostCapacity, rest, static_cast<size_t>(slash - rest));
    const char *path = slash + 1;
    if (path >= end)
        return 1;
    const char *last = nullptr;
    for (const char *p = FindSlash(path, end); p; p = FindSlash(p + 1, end))
        last = p;
    if (!last) {
        CopyPart(file, fileCapacity, path, static_cast<size_t>(end - path));
        return 1;
    }
    CopyPart(folder, folderCapacity, path, static_cast<size_t>(last + 1 - path));
    if (last + 1 < end)
        CopyPart(file, fileCapacity, last + 1, static_cast<size_t>(end - (last + 1)));
    return 1;
}

int BuildRequestPath(const char *folder, const char *file, char *out, size_t outSize)
{
    return ptext::JoinText(out, outSize, "/", folder, file);
}

int SplitHostPort(const char *host, char *name, size_t nameSize, unsigned short *port)
{
    const char *end = host + std::strlen(host);
    const char *colon = nullptr;
    for (const char *p = host; p < end; p += ptext::CharLength(p, end))
        if (*p == ':')
            colon = p;
    size_t nameLength = colon ? static_cast<size_t>(colon - host) : static_cast<size_t>(end - host);
    if (nameLength == 0 || nameLength >= nameSize)
        return 0;
    unsigned long value = 80;
    if (colon) {
        const char *digits = colon + 1;
        if (digits == end || end - digits > 5)
            return 0;
        value = 0;
        for (const char *p = digits; p < end; ++p) {
            if (*p < '0' || *p > '9')
                return 0;
            value = value * 10 + static_cast<unsigned long>(*p - '0');
        }
        if (value < 1 || value > 65535)
            return 0;
    }
    std::memcpy(name, host, nameLength);
    name[nameLength] = '\0';
    *port = static_cast<unsigned short>(value);
    return 1;
}

int IsInstallableHttpUrl(const char *address)
{
    char host[kHostSize] = {};
    char folder[kUrlPartSize] = {};
    char file[kUrlPartSize] = {};
    if (!SplitHttpUrl(address, host, sizeof host - 1, folder, sizeof folder - 1, file, sizeof file - 1))
        return 0;
    char name[kHostSize];
    unsigned short port = 0;
    char request[kUrlPartSize];
    return host[0] != '\0' && file[0] != '\0' && SplitHostPort(host, name, sizeof name, &port) &&
           BuildRequestPath(folder, file, request, sizeof request);
}
