#include "tests/support/BmpBuilder.h"

#include <algorithm>

namespace bmptest {

namespace {

void Append32(std::string *out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out->push_back(static_cast<char>(v >> (8 * i)));
}

void Append16(std::string *out, uint16_t v)
{
    out->push_back(static_cast<char>(v));
    out->push_back(static_cast<char>(v >> 8));
}

std::vector<Rgb> Palette(const Picture &picture)
{
    std::vector<Rgb> palette;
    for (const Rgb &c : picture.pixels)
        if (std::find(palette.begin(), palette.end(), c) == palette.end())
            palette.push_back(c);
    return palette;
}

int IndexOf(const std::vector<Rgb> &palette, Rgb c)
{
    return static_cast<int>(std::find(palette.begin(), palette.end(), c) - palette.begin());
}

// A colour component put into the bits of a mask.
uint32_t Field(unsigned char value, uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!(mask >> shift & 1))
        ++shift;
    int bits = 0;
    while (shift + bits < 32 && (mask >> (shift + bits) & 1))
        ++bits;
    uint32_t v = bits >= 8 ? static_cast<uint32_t>(value) << (bits - 8) : value >> (8 - bits);
    return v << shift & mask;
}

std::string PixelRow(const Picture &p, int y, const BmpKind &kind, const std::vector<Rgb> &palette)
{
    std::string row;
    if (kind.bitCount <= 8) {
        uint32_t acc = 0;
        int filled = 0;
        for (int x = 0; x < p.width; ++x) {
            acc = acc << kind.bitCount | static_cast<uint32_t>(IndexOf(palette, p.At(x, y)));
            filled += kind.bitCount;
            if (filled == 8) {
                row.push_back(static_cast<char>(acc));
                acc = 0;
                filled = 0;
            }
        }
        if (filled)
            row.push_back(static_cast<char>(acc << (8 - filled)));
    } else {
        for (int x = 0; x < p.width; ++x) {
            Rgb c = p.At(x, y);
            if (kind.bitCount == 24) {
                row.push_back(static_cast<char>(c.b));
                row.push_back(static_cast<char>(c.g));
                row.push_back(static_cast<char>(c.r));
                continue;
            }
            uint32_t masks[3] = {kind.masks[0], kind.masks[1], kind.masks[2]};
            if (kind.compression == kRgb) {
                masks[0] = kind.bitCount == 16 ? 0x7C00 : 0xFF0000;
                masks[1] = kind.bitCount == 16 ? 0x03E0 : 0x00FF00;
                masks[2] = kind.bitCount == 16 ? 0x001F : 0x0000FF;
            }
            uint32_t v = Field(c.r, masks[0]) | Field(c.g, masks[1]) | Field(c.b, masks[2]);
            if (kind.bitCount == 16)
                Append16(&row, static_cast<uint16_t>(v));
            else
                Append32(&row, v);
        }
    }
    while (row.size() % 4)
        row.push_back('\0');
    return row;
}

// Encoded runs only: a count and the index (twice in a byte for RLE4).
std::string RleRow(const Picture &p, int y, const BmpKind &kind, const std::vector<Rgb> &palette)
{
    std::string out;
    int x = 0;
    while (x < p.width) {
        int index = IndexOf(palette, p.At(x, y));
        int run = 1;
        while (x + run < p.width && run < 255 && IndexOf(palette, p.At(x + run, y)) == index)
            ++run;
        out.push_back(static_cast<char>(run));
        out.push_back(static_cast<char>(kind.compression == kRle4 ? (index << 4 | index) : index));
        x += run;
    }
    return out;
}

}  // namespace

Picture Quarters(int width, int height, Rgb topLeft, Rgb topRight, Rgb bottomLeft, Rgb bottomRight)
{
    Picture p;
    p.width = width;
    p.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bool left = x < (width + 1) / 2;
            bool top = y < (height + 1) / 2;
            p.pixels.push_back(top ? (left ? topLeft : topRight) : (left ? bottomLeft : bottomRight));
        }
    return p;
}

Picture Plain(int width, int height, Rgb colour)
{
    return Quarters(width, height, colour, colour, colour, colour);
}

std::string PaletteBytes(const Picture &picture)
{
    std::string out;
    for (const Rgb &c : Palette(picture)) {
        out.push_back(static_cast<char>(c.b));
        out.push_back(static_cast<char>(c.g));
        out.push_back(static_cast<char>(c.r));
        out.push_back('\0');
    }
    return out;
}

std::string MakeBmp(const Picture &picture, const BmpKind &kind)
{
    std::vector<Rgb> palette = Palette(picture);
    bool indexed = kind.bitCount <= 8;

    std::string bits;
    for (int i = 0; i < picture.height; ++i) {
        int y = kind.topDown ? i : picture.height - 1 - i;
        if (kind.compression == kRle8 || kind.compression == kRle4) {
            bits += RleRow(picture, y, kind, palette);
            bits += i + 1 < picture.height ? std::string("\0\0", 2) : std::string("\0\1", 2);
        } else {
            bits += PixelRow(picture, y, kind, palette);
        }
    }

    std::string info;
    Append32(&info, kind.headerSize);
    Append32(&info, static_cast<uint32_t>(picture.width));
    Append32(&info, static_cast<uint32_t>(kind.topDown ? -picture.height : picture.height));
    Append16(&info, 1);
    Append16(&info, kind.bitCount);
    Append32(&info, kind.compression);
    Append32(&info, static_cast<uint32_t>(bits.size()));
    Append32(&info, 2835);
    Append32(&info, 2835);
    Append32(&info, indexed ? static_cast<uint32_t>(palette.size()) : 0);
    Append32(&info, 0);
    if (kind.headerSize >= 108) {
        bool fields = kind.compression == kBitfields;
        for (int i = 0; i < 3; ++i)
            Append32(&info, fields ? kind.masks[i] : 0);
        Append32(&info, 0);           // alpha mask
        Append32(&info, 0x73524742);  // LCS_sRGB
        info.append(36 + 12, '\0');   // end points, gamma
    }
    if (kind.headerSize == 124) {
        Append32(&info, 4);  // LCS_GM_IMAGES
        info.append(12, '\0');
    }
    if (kind.headerSize == 40 && kind.compression == kBitfields)
        for (int i = 0; i < 3; ++i)
            Append32(&info, kind.masks[i]);
    if (indexed)
        info += PaletteBytes(picture);
    // Filler that would show as wrong colours if it were taken for pixels.
    info.append(kind.gap, '\x5A');

    std::string file = "BM";
    Append32(&file, static_cast<uint32_t>(14 + info.size() + bits.size()));
    Append32(&file, 0);
    Append32(&file, static_cast<uint32_t>(14 + info.size()));
    return file + info + bits;
}

std::vector<BmpKind> RepresentativeKinds()
{
    return {
        {"24-bit", 40, 24, kRgb, false, 0, {0, 0, 0}},
        {"24-bit top-down, bits after a gap", 40, 24, kRgb, true, 6, {0, 0, 0}},
        {"32-bit, V5 header", 124, 32, kRgb, false, 0, {0, 0, 0}},
        {"16-bit 5-5-5", 40, 16, kRgb, false, 0, {0, 0, 0}},
        {"16-bit 5-6-5 masks after the header", 40, 16, kBitfields, false, 0, {0xF800, 0x07E0, 0x001F}},
        {"32-bit masks in a V4 header, top-down", 108, 32, kBitfields, true, 0, {0x000000FF, 0x0000FF00, 0x00FF0000}},
        {"8-bit palette", 40, 8, kRgb, false, 0, {0, 0, 0}},
        {"8-bit palette top-down, V4 header", 108, 8, kRgb, true, 0, {0, 0, 0}},
        {"4-bit palette, bits after a gap", 40, 4, kRgb, false, 3, {0, 0, 0}},
        {"1-bit palette", 40, 1, kRgb, false, 0, {0, 0, 0}},
        {"RLE8", 40, 8, kRle8, false, 0, {0, 0, 0}},
        {"RLE4, V5 header", 124, 4, kRle4, false, 0, {0, 0, 0}},
    };
}

Picture PictureFor(const BmpKind &kind)
{
    if (kind.bitCount == 1)
        return Quarters(7, 5, kRed, kBlue, kBlue, kRed);
    return Quarters(7, 5, kRed, kGreen, kBlue, kWhite);
}

uint32_t Get32(const std::string &bytes, size_t offset)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return v;
}

void Put32(std::string *bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        (*bytes)[offset + i] = static_cast<char>(value >> (8 * i));
}

void Put16(std::string *bytes, size_t offset, uint16_t value)
{
    (*bytes)[offset] = static_cast<char>(value);
    (*bytes)[offset + 1] = static_cast<char>(value >> 8);
}

}  // namespace bmptest
