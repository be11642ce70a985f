#include "installer/wizard/BmpCheck.h"

#include <cstring>

namespace {

const size_t kFileHeaderSize = 14;
const size_t kInfoHeaderSize = 40;

const uint32_t kBiRgb = 0;
const uint32_t kBiRle8 = 1;
const uint32_t kBiRle4 = 2;
const uint32_t kBiBitfields = 3;

// Offsets inside the BITMAPINFOHEADER.
const size_t kOffWidth = 4;
const size_t kOffHeight = 8;
const size_t kOffPlanes = 12;
const size_t kOffBitCount = 14;
const size_t kOffCompression = 16;
const size_t kOffSizeImage = 20;
const size_t kOffClrUsed = 32;

uint32_t Get32(const unsigned char *p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Get16(const unsigned char *p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void Put32(unsigned char *p, uint32_t value)
{
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
    p[2] = static_cast<unsigned char>(value >> 16);
    p[3] = static_cast<unsigned char>(value >> 24);
}

// 1 when [offset, offset + size) lies inside length.
bool Inside(size_t offset, uint64_t size, size_t length)
{
    return offset <= length && size <= length - offset;
}

bool KnownKind(uint32_t compression, uint16_t bitCount, bool topDown)
{
    switch (compression) {
    case kBiRgb:
        return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
               bitCount == 32;
    case kBiBitfields:
        return bitCount == 16 || bitCount == 32;
    case kBiRle8:
        return bitCount == 8 && !topDown;
    case kBiRle4:
        return bitCount == 4 && !topDown;
    default:
        return false;
    }
}

}  // namespace

int CheckBmp(const unsigned char *data, size_t length, BmpLayout *layout)
{
    if (!data || !layout || length <= kFileHeaderSize || data[0] != 'B' || data[1] != 'M')
        return 0;
    if (!Inside(kFileHeaderSize, 4, length))
        return 0;
    const unsigned char *header = data + kFileHeaderSize;
    uint32_t headerSize = Get32(header);
    // The 40-byte BITMAPINFOHEADER and the V4 and V5 headers that extend it.
    if (headerSize != 40 && headerSize != 108 && headerSize != 124)
        return 0;
    if (!Inside(kFileHeaderSize, headerSize, length))
        return 0;

    int32_t width = static_cast<int32_t>(Get32(header + kOffWidth));
    int32_t height = static_cast<int32_t>(Get32(header + kOffHeight));
    uint16_t planes = Get16(header + kOffPlanes);
    uint16_t bitCount = Get16(header + kOffBitCount);
    uint32_t compression = Get32(header + kOffCompression);
    uint32_t sizeImage = Get32(header + kOffSizeImage);
    uint32_t clrUsed = Get32(header + kOffClrUsed);
    bool topDown = height < 0;
    int64_t rows = topDown ? -static_cast<int64_t>(height) : height;
    if (planes != 1 || width <= 0 || width > kMaxBmpSide || rows == 0 || rows > kMaxBmpSide)
        return 0;
    if (!KnownKind(compression, bitCount, topDown))
        return 0;

    size_t extraOffset = kFileHeaderSize + headerSize;
    size_t extraLength = 0;
    uint32_t colors = 0;
    if (compression == kBiBitfields) {
        // The V4 and V5 headers hold the masks right after their first 40
        // bytes; a 40-byte header is followed by them.
        if (headerSize != kInfoHeaderSize)
            extraOffset = kFileHeaderSize + kInfoHeaderSize;
        extraLength = 12;
    } else if (bitCount <= 8) {
        uint32_t most = 1u << bitCount;
        colors = (clrUsed > 0 && clrUsed < most) ? clrUsed : most;
        extraLength = colors * 4;
    }
    if (!Inside(extraOffset, extraLength, length))
        return 0;

    size_t bitsOffset = Get32(data + 10);
    if (bitsOffset < kFileHeaderSize + headerSize || bitsOffset >= length)
        return 0;
    uint64_t bitsLength;
    if (compression == kBiRle8 || compression == kBiRle4) {
        bitsLength = sizeImage;
        if (bitsLength == 0)
            return 0;
    } else {
        uint64_t stride = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
        bitsLength = stride * static_cast<uint64_t>(rows);
    }
    if (!Inside(bitsOffset, bitsLength, length))
        return 0;

    std::memset(layout, 0, sizeof *layout);
    layout->nWidth = width;
    layout->nHeight = static_cast<int32_t>(rows);
    layout->nBitsOffset = bitsOffset;
    layout->nBitsLength = static_cast<size_t>(bitsLength);
    std::memcpy(layout->info, header, kInfoHeaderSize);
    Put32(layout->info, kInfoHeaderSize);
    Put32(layout->info + kOffSizeImage, static_cast<uint32_t>(bitsLength));
    // GDI reads exactly this many table entries after the header.
    Put32(layout->info + kOffClrUsed, colors);
    std::memcpy(layout->info + kInfoHeaderSize, data + extraOffset, extraLength);
    layout->nInfoLength = kInfoHeaderSize + extraLength;
    return 1;
}
