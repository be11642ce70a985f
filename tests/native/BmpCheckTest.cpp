#include "installer/wizard/BmpCheck.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "tests/support/BmpBuilder.h"

using namespace bmptest;

namespace {

// Checks from a heap block of exactly the data's size, so that a read past
// its end is caught by AddressSanitizer.
int Check(const std::string &bmp, BmpLayout *layout)
{
    std::unique_ptr<unsigned char[]> exact(new unsigned char[bmp.size() + 1]);
    std::memcpy(exact.get(), bmp.data(), bmp.size());
    return CheckBmp(exact.get(), bmp.size(), layout);
}

std::string InfoTail(const BmpLayout &layout)
{
    return std::string(reinterpret_cast<const char *>(layout.info) + 40, layout.nInfoLength - 40);
}

const BmpKind k24 = {"24-bit", 40, 24, kRgb, false, 0, {0, 0, 0}};
const BmpKind k8 = {"8-bit", 40, 8, kRgb, false, 0, {0, 0, 0}};
const BmpKind kRle = {"RLE8", 40, 8, kRle8, false, 0, {0, 0, 0}};

}  // namespace

TEST(BmpCheckTest, AcceptsTheKindsAuthorsMake)
{
    for (const BmpKind &kind : RepresentativeKinds()) {
        SCOPED_TRACE(kind.label);
        Picture picture = PictureFor(kind);
        std::string bmp = MakeBmp(picture, kind);
        BmpLayout layout;
        ASSERT_EQ(Check(bmp, &layout), 1);
        EXPECT_EQ(layout.nWidth, picture.width);
        EXPECT_EQ(layout.nHeight, picture.height);
        // The bits are where the file header says, after any gap.
        EXPECT_EQ(layout.nBitsOffset, Get32(bmp, 10));
        EXPECT_EQ(layout.nBitsOffset + layout.nBitsLength, bmp.size());

        // GDI gets a 40-byte header of the same kind, followed by the masks
        // or exactly the file's colour table.
        std::string info(reinterpret_cast<const char *>(layout.info), 40);
        EXPECT_EQ(Get32(info, 0), 40u);
        EXPECT_EQ(Get32(info, 4), Get32(bmp, 18));
        EXPECT_EQ(Get32(info, 8), Get32(bmp, 22));
        EXPECT_EQ(Get32(info, 16), kind.compression);
        EXPECT_EQ(Get32(info, 20), layout.nBitsLength);
        if (kind.compression == kBitfields) {
            std::string masks = InfoTail(layout);
            ASSERT_EQ(masks.size(), 12u);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(Get32(masks, static_cast<size_t>(4 * i)), kind.masks[i]);
        } else if (kind.bitCount <= 8) {
            EXPECT_EQ(InfoTail(layout), PaletteBytes(picture));
            EXPECT_EQ(Get32(info, 32) * 4, PaletteBytes(picture).size());
        } else {
            EXPECT_EQ(layout.nInfoLength, 40u);
            EXPECT_EQ(Get32(info, 32), 0u);
        }
    }
}

TEST(BmpCheckTest, ReadsAFullColourTableWhenTheCountIsZero)
{
    std::string bmp = MakeBmp(Plain(4, 2, kGreen), k8);
    std::string table(256 * 4, '\x11');
    std::string bits = bmp.substr(Get32(bmp, 10));
    std::string whole = bmp.substr(0, 54) + table + bits;
    Put32(&whole, 10, static_cast<uint32_t>(54 + table.size()));
    Put32(&whole, 46, 0);
    BmpLayout layout;
    ASSERT_EQ(Check(whole, &layout), 1);
    EXPECT_EQ(InfoTail(layout), table);
    EXPECT_EQ(Get32(std::string(reinterpret_cast<const char *>(layout.info), 40), 32), 256u);
}

TEST(BmpCheckTest, RefusesWhatCannotBeShownOrDoesNotLieInside)
{
    const std::string good = MakeBmp(Plain(5, 3, kRed), k24);
    const std::string rle = MakeBmp(Plain(5, 3, kRed), kRle);
    const std::string indexed = MakeBmp(Quarters(5, 3, kRed, kGreen, kBlue, kWhite), k8);
    struct Case {
        const char *label;
        std::string base;
        std::function<void(std::string *)> change;
    } cases[] = {
        {"other first bytes", good, [](std::string *b) { (*b)[1] = 'A'; }},
        {"core header", good, [](std::string *b) { Put32(b, 14, 12); }},
        {"OS/2 2 header", good, [](std::string *b) { Put32(b, 14, 64); }},
        {"V3 header", good, [](std::string *b) { Put32(b, 14, 56); }},
        {"BI_JPEG", good, [](std::string *b) { Put32(b, 30, 4); }},
        {"BI_PNG", good, [](std::string *b) { Put32(b, 30, 5); }},
        {"bit fields at 24 bits", good, [](std::string *b) { Put32(b, 30, kBitfields); }},
        {"2 bits per pixel", good, [](std::string *b) { Put16(b, 28, 2); }},
        {"two planes", good, [](std::string *b) { Put16(b, 26, 2); }},
        {"width 0", good, [](std::string *b) { Put32(b, 18, 0); }},
        {"negative width", good, [](std::string *b) { Put32(b, 18, static_cast<uint32_t>(-5)); }},
        {"width above 16384", good, [](std::string *b) { Put32(b, 18, 16385); }},
        {"height 0", good, [](std::string *b) { Put32(b, 22, 0); }},
        {"height above 16384", good, [](std::string *b) { Put32(b, 22, 16385); }},
        {"top-down height above 16384", good, [](std::string *b) { Put32(b, 22, static_cast<uint32_t>(-16385)); }},
        {"lowest height", good, [](std::string *b) { Put32(b, 22, 0x80000000u); }},
        {"offset inside the header", good, [](std::string *b) { Put32(b, 10, 30); }},
        {"offset at the end", good, [](std::string *b) { Put32(b, 10, static_cast<uint32_t>(b->size())); }},
        {"offset far past the end", good, [](std::string *b) { Put32(b, 10, 0xFFFFFFF0u); }},
        {"offset one byte late", good, [](std::string *b) { Put32(b, 10, 55); }},
        {"last row one byte short", good, [](std::string *b) { b->pop_back(); }},
        {"wider than the rows held", good, [](std::string *b) { Put32(b, 18, 16384); }},
        {"exactly 54 bytes", good, [](std::string *b) { b->resize(54); }},
        {"only the file header", good, [](std::string *b) { b->resize(15); }},
        {"header cut", good, [](std::string *b) { b->resize(40); }},
        {"colour table past the end", indexed,
         [](std::string *b) {
             Put32(b, 46, 0);
             Put32(b, 10, static_cast<uint32_t>(b->size() - 4));
             Put32(b, 18, 1);
             Put32(b, 22, 1);
         }},
        {"RLE size past the end", rle, [](std::string *b) { Put32(b, 34, Get32(*b, 34) + 1); }},
        {"RLE without a size", rle, [](std::string *b) { Put32(b, 34, 0); }},
        {"RLE top-down", rle, [](std::string *b) { Put32(b, 22, static_cast<uint32_t>(-3)); }},
        {"RLE8 at 4 bits", rle, [](std::string *b) { Put16(b, 28, 4); }},
    };
    for (const Case &c : cases) {
        std::string bmp = c.base;
        c.change(&bmp);
        BmpLayout layout;
        EXPECT_EQ(Check(bmp, &layout), 0) << c.label;
    }
    BmpLayout layout;
    EXPECT_EQ(CheckBmp(nullptr, 100, &layout), 0);
}

TEST(BmpCheckTest, NoCutOfAFileIsAccepted)
{
    for (const BmpKind &kind : RepresentativeKinds()) {
        std::string bmp = MakeBmp(PictureFor(kind), kind);
        for (size_t length = 0; length < bmp.size(); ++length) {
            BmpLayout layout;
            EXPECT_EQ(Check(bmp.substr(0, length), &layout), 0) << kind.label << " cut to " << length;
        }
    }
}
