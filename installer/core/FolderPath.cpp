#include "installer/core/FolderPath.h"

#include <windows.h>

#include <cstring>

#include "common/Text.h"

namespace {

int IsFolder(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int MakeFolderPath(const char *path)
{
    size_t length = std::strlen(path);
    if (length == 0 || length >= ptext::kPathSize)
        return 0;
    char prefix[ptext::kPathSize];
    const char *end = path + length;
    const char *p = path;
    // The root of a drive or a share is never created.
    if (length >= 2 && path[1] == ':' && !ptext::IsLeadByte((unsigned char)path[0]))
        p += 2;
    while (p < end && (*p == '\\' || *p == '/'))
        ++p;
    while (p < end) {
        while (p < end && *p != '\\' && *p != '/')
            p += ptext::CharLength(p, end);
        size_t n = static_cast<size_t>(p - path);
        std::memcpy(prefix, path, n);
        prefix[n] = '\0';
        if (!CreateDirectoryA(prefix, nullptr)) {
            DWORD error = GetLastError();
            if (error != ERROR_ALREADY_EXISTS && !IsFolder(prefix))
                return 0;
        }
        while (p < end && (*p == '\\' || *p == '/'))
            ++p;
    }
    return IsFolder(path);
}
