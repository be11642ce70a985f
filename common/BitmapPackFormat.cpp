#include "common/BitmapPack.h"

#include <cstring>
#include <new>

#include "common/Text.h"

namespace {

uint32_t GetPackLength(const unsigned char *p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

int ParseBitmapPack(const unsigned char *data, size_t length, BitmapPackEntry *entries, int count)
{
    if (!data || !entries)
        return 0;
    size_t pos = 0;
    int read = 0;
    while (read < count) {
        // Every length is checked against the bytes left before it is used,
        // so a record the file does not hold whole is never touched.
        if (length - pos < 4)
            break;
        size_t nameLength = GetPackLength(data + pos);
        size_t namePos = pos + 4;
        if (nameLength > length - namePos || length - namePos - nameLength < 4)
            break;
        size_t dataLength = GetPackLength(data + namePos + nameLength);
        size_t dataPos = namePos + nameLength + 4;
        if (dataLength > length - dataPos)
            break;

        BitmapPackEntry &entry = entries[read];
        size_t kept = ptext::CopyText(entry.szName, sizeof entry.szName,
                                      reinterpret_cast<const char *>(data + namePos), nameLength);
        entry.nNameLength = static_cast<uint32_t>(kept);
        entry.nDataLength = 0;
        entry.pData = nullptr;
        if (dataLength > 0) {
            unsigned char *copy = new (std::nothrow) unsigned char[dataLength];
            if (copy) {
                std::memcpy(copy, data + dataPos, dataLength);
                entry.pData = copy;
                entry.nDataLength = static_cast<uint32_t>(dataLength);
            }
        }
        pos = dataPos + dataLength;
        ++read;
    }
    return read;
}

void MakeBitmapPackName(const char *path, char *name, size_t size)
{
    if (size == 0)
        return;
    char file[256];
    char ext[256];
    ptext::SplitPath(path, nullptr, 0, nullptr, 0, file, sizeof file, ext, sizeof ext);
    size_t used = ptext::CopyText(name, size, file);
    ptext::CopyText(name + used, size - used, ext);
}

void PutPackLength(unsigned char *out, uint32_t value)
{
    out[0] = static_cast<unsigned char>(value);
    out[1] = static_cast<unsigned char>(value >> 8);
    out[2] = static_cast<unsigned char>(value >> 16);
    out[3] = static_cast<unsigned char>(value >> 24);
}

void ReleaseBitmapPack(BitmapPackEntry *entries, int count)
{
    if (!entries)
        return;
    for (int i = 0; i < count; ++i) {
        delete[] entries[i].pData;
        std::memset(&entries[i], 0, sizeof entries[i]);
    }
}
