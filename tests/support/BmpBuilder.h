// Writes BMP files of the kinds authors make, from a small picture given
// top row first. Portable: the native checks and the Wine drawing tests
// both use it.
#ifndef PARVELO_TESTS_SUPPORT_BMPBUILDER_H
#define PARVELO_TESTS_SUPPORT_BMPBUILDER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bmptest {

struct Rgb {
    unsigned char r, g, b;
    bool operator==(const Rgb &o) const { return r == o.r && g == o.g && b == o.b; }
};

const Rgb kRed = {255, 0, 0};
const Rgb kGreen = {0, 255, 0};
const Rgb kBlue = {0, 0, 255};
const Rgb kWhite = {255, 255, 255};
const Rgb kYellow = {255, 255, 0};
const Rgb kBlack = {0, 0, 0};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // top row first
    Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Four coloured quarters: the left part is (width + 1) / 2 wide, the top
// part (height + 1) / 2 high.
Picture Quarters(int width, int height, Rgb topLeft, Rgb topRight, Rgb bottomLeft, Rgb bottomRight);
Picture Plain(int width, int height, Rgb colour);

const uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

struct BmpKind {
    const char *label;
    uint32_t headerSize;  // 40, 108 or 124
    uint16_t bitCount;
    uint32_t compression;
    bool topDown;
    size_t gap;  // filler bytes between the colour table and the pixel bits
    uint32_t masks[3];  // red, green, blue for kBitfields
};

// The file's bytes. A palette picture takes its colours in order of first
// appearance (at most 2, 16 or 256 of them).
std::string MakeBmp(const Picture &picture, const BmpKind &kind);

// One of each kind worth telling apart: every bit count, masks after a
// 40-byte header and inside a V4 header, both RLE kinds, top-down rows,
// pixel bits after a gap, the 108- and 124-byte headers.
std::vector<BmpKind> RepresentativeKinds();
// A 7 x 5 picture of four quarters in colours every kind shows exactly
// (two colours for 1 bit per pixel), so a flipped picture is told apart.
Picture PictureFor(const BmpKind &kind);

// The colour table of a palette picture as the file holds it (BGRX).
std::string PaletteBytes(const Picture &picture);

uint32_t Get32(const std::string &bytes, size_t offset);
void Put32(std::string *bytes, size_t offset, uint32_t value);
void Put16(std::string *bytes, size_t offset, uint16_t value);

}  // namespace bmptest

#endif
