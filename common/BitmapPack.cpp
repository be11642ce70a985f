#include "common/BitmapPack.h"

#include <windows.h>

#include <cstring>

#include "common/WholeFile.h"

namespace {

// A pack and each of its bitmaps hold less than 4 GiB: their lengths are
// 32-bit fields.
const size_t kMaxRecordFile = 0xFFFFFFFE;

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
    size_t length = 0;
    char *data = ReadWholeFile(path, kMaxRecordFile, &length);
    if (!data)
        return 0;
    int read = ParseBitmapPack(reinterpret_cast<const unsigned char *>(data), length, entries, count);
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
        char *data = nullptr;
        size_t bytes = 0;
        if (name[0] != '\0')
            data = ReadWholeFile(bitmapPath, kMaxRecordFile, &bytes);
        DWORD dataLength = static_cast<DWORD>(bytes);

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
