#include "common/BitmapPack.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace {

// Reads a whole file with one ReadFile into a zero-filled heap buffer.
// Returns 1 with the buffer (new[], null for an empty file) and the number
// of bytes read, or 0 with no buffer and length 0.
int ReadWholeFile(const char *path, unsigned char **data, DWORD *length)
{
    *data = nullptr;
    *length = 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || size == INVALID_FILE_SIZE) {
        CloseHandle(file);
        return 0;
    }
    if (size == 0) {
        CloseHandle(file);
        return 1;
    }
    unsigned char *buffer = new (std::nothrow) unsigned char[size];
    if (!buffer) {
        CloseHandle(file);
        return 0;
    }
    std::memset(buffer, 0, size);
    DWORD got = 0;
    BOOL ok = ReadFile(file, buffer, size, &got, nullptr);
    CloseHandle(file);
    if (!ok) {
        delete[] buffer;
        return 0;
    }
    *data = buffer;
    *length = got;
    return 1;
}

int WriteAll(HANDLE file, const void *data, DWORD length)
{
    if (length == 0)
        return 1;
    DWORD written = 0;
    return WriteFile(file, data, length, &written, nullptr) && written == length;
}

}  // namespace

int ReadBitmapPack(BitmapPackEntry *entries, int count, const char *path)
{
    if (!entries || count <= 0 || !path)
        return 0;
    unsigned char *data = nullptr;
    DWORD length = 0;
    if (!ReadWholeFile(path, &data, &length))
        return 0;
    int read = ParseBitmapPack(data, length, entries, count);
    delete[] data;
    return read;
}

int WriteBitmapPack(const char *path, BitmapPackEntry *entries, int count)
{
    if (!path || !entries || count <= 0)
        return 0;
    HANDLE pack = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (pack == INVALID_HANDLE_VALUE)
        return 0;
    for (int i = 0; i < count; ++i) {
        BitmapPackEntry &entry = entries[i];
        // The name field need not end with a NUL.
        char bitmapPath[sizeof entry.szName + 1];
        std::memcpy(bitmapPath, entry.szName, sizeof entry.szName);
        bitmapPath[sizeof entry.szName] = '\0';
        char name[256];
        MakeBitmapPackName(bitmapPath, name, sizeof name);

        // A bitmap that cannot be read still gets its record, without data,
        // so the pictures after it stay on their pages.
        unsigned char *data = nullptr;
        DWORD dataLength = 0;
        if (name[0] != '\0')
            ReadWholeFile(bitmapPath, &data, &dataLength);

        unsigned char head[4];
        uint32_t nameLength = static_cast<uint32_t>(std::strlen(name));
        PutPackLength(head, nameLength);
        int ok = WriteAll(pack, head, 4) && WriteAll(pack, name, nameLength);
        PutPackLength(head, dataLength);
        ok = ok && WriteAll(pack, head, 4) && WriteAll(pack, data, dataLength);
        delete[] data;
        if (!ok) {
            CloseHandle(pack);
            return 0;
        }
        entry.nDataLength = dataLength;
    }
    CloseHandle(pack);
    return count;
}
