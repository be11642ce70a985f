#include "common/BitmapPack.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string Le32(uint32_t v)
{
    std::string s(4, '\0');
    PutPackLength(reinterpret_cast<unsigned char *>(&s[0]), v);
    return s;
}

std::string Record(const std::string &name, const std::string &data)
{
    return Le32(static_cast<uint32_t>(name.size())) + name + Le32(static_cast<uint32_t>(data.size())) + data;
}

std::string Data(int i)
{
    return "BM" + std::string(static_cast<size_t>(10 + i), static_cast<char>('a' + i));
}

std::string Name(int i)
{
    return "page" + std::to_string(i) + ".bmp";
}

std::string Records(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += Record(Name(i), Data(i));
    return s;
}

const char kUntouched[] = "untouched";

// Parses from a heap block of exactly the pack's size, so that any read past
// its end is caught by AddressSanitizer.
int Parse(const std::string &pack, BitmapPackEntry *entries, int count)
{
    std::unique_ptr<unsigned char[]> exact(new unsigned char[pack.size() + (pack.empty() ? 1 : 0)]);
    std::memcpy(exact.get(), pack.data(), pack.size());
    for (int i = 0; i < count; ++i) {
        std::memset(&entries[i], 0, sizeof entries[i]);
        std::strcpy(entries[i].szName, kUntouched);
    }
    return ParseBitmapPack(exact.get(), pack.size(), entries, count);
}

std::string DataOf(const BitmapPackEntry &e)
{
    return e.pData ? std::string(reinterpret_cast<const char *>(e.pData), e.nDataLength) : std::string();
}

}  // namespace

TEST(BitmapPackTest, ReturnsWholeRecordsOnly)
{
    const std::string five = Records(5);
    const std::string longName = std::string(254, 'a') + "表ソ能" + std::string(40, 'b');
    struct Case {
        const char *label;
        std::string pack;
        int count;
        // Expected records, each name and data; entries after them untouched.
        std::vector<std::pair<std::string, std::string>> records;
    };
    auto firstOf = [&](int n) {
        std::vector<std::pair<std::string, std::string>> r;
        for (int i = 0; i < n; ++i)
            r.push_back({Name(i), Data(i)});
        return r;
    };
    const size_t third = Records(2).size();
    const Case cases[] = {
        {"five whole records", five, 5, firstOf(5)},
        {"zero-length file", "", 5, {}},
        {"cut inside the first name length", five.substr(0, 2), 5, {}},
        {"cut inside the third name", five.substr(0, third + 6), 5, firstOf(2)},
        {"cut inside the third data length", five.substr(0, third + 4 + Name(2).size() + 2), 5, firstOf(2)},
        {"third data one byte short", Records(3).substr(0, Records(3).size() - 1), 5, firstOf(2)},
        {"data length past the end", Records(2) + Le32(1) + "x" + Le32(1000) + "short", 5, firstOf(2)},
        {"huge data length", Records(1) + Le32(2) + "xy" + Le32(0xFFFFFFFFu) + Records(3), 5, firstOf(1)},
        {"huge name length", Records(1) + Le32(0xFFFFFFFFu) + Records(3), 5, firstOf(1)},
        {"name length just past the end", Records(1) + Le32(9) + "12345678", 5, firstOf(1)},
        {"name longer than the field, cut before a character",
         Record(longName, Data(0)) + Record(Name(1), Data(1)), 5,
         {{std::string(254, 'a'), Data(0)}, {Name(1), Data(1)}}},
        {"empty names and data keep their records", Record("", "") + Record(Name(1), "") + Record("", Data(2)), 5,
         {{"", ""}, {Name(1), ""}, {"", Data(2)}}},
        {"more records than wanted", Records(7), 5, firstOf(5)},
        {"trailing bytes after the records", five + "abc", 6, firstOf(5)},
        {"Japanese names", Record("表紙.bmp", Data(0)) + Record("ソ能.bmp", Data(1)), 2,
         {{"表紙.bmp", Data(0)}, {"ソ能.bmp", Data(1)}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        BitmapPackEntry entries[8];
        int read = Parse(c.pack, entries, c.count);
        ASSERT_EQ(read, static_cast<int>(c.records.size()));
        for (int i = 0; i < c.count; ++i) {
            SCOPED_TRACE(i);
            if (i < read) {
                EXPECT_STREQ(entries[i].szName, c.records[i].first.c_str());
                EXPECT_EQ(entries[i].nNameLength, c.records[i].first.size());
                EXPECT_EQ(entries[i].nDataLength, c.records[i].second.size());
                EXPECT_EQ(DataOf(entries[i]), c.records[i].second);
            } else {
                EXPECT_STREQ(entries[i].szName, kUntouched);
                EXPECT_EQ(entries[i].nDataLength, 0u);
                EXPECT_EQ(entries[i].pData, nullptr);
            }
        }
        ReleaseBitmapPack(entries, c.count);
    }
}

TEST(BitmapPackTest, EveryCutOfAPackKeepsTheRecordsBeforeIt)
{
    const std::string pack = Records(5);
    std::vector<size_t> ends;
    for (int i = 1; i <= 5; ++i)
        ends.push_back(Records(i).size());
    for (size_t length = 0; length <= pack.size(); ++length) {
        BitmapPackEntry entries[5];
        int read = Parse(pack.substr(0, length), entries, 5);
        int whole = 0;
        while (whole < 5 && ends[static_cast<size_t>(whole)] <= length)
            ++whole;
        EXPECT_EQ(read, whole) << "length " << length;
        ReleaseBitmapPack(entries, 5);
    }
}

TEST(BitmapPackTest, RecordNameIsTheBareFileName)
{
    struct Case {
        const char *path;
        size_t size;
        const char *name;
    } cases[] = {
        {"welcome.bmp", 256, "welcome.bmp"},
        {"C:\\pictures\\welcome.bmp", 256, "welcome.bmp"},
        {"D:banner.BMP", 256, "banner.BMP"},
        {"..\\art/side.bmp", 256, "side.bmp"},
        // Each of 表, ソ and 能 ends with the byte of a backslash.
        {"C:\\表\\ソ能.bmp", 256, "ソ能.bmp"},
        {"能.bmp", 256, "能.bmp"},
        {"noext", 256, "noext"},
        {"C:\\folder\\", 256, ""},
        {"", 256, ""},
        {"abcd表.bmp", 6, "abcd."},
        {"abc表.bmp", 6, "abc表"},
    };
    for (const Case &c : cases) {
        char name[256];
        std::memset(name, 'x', sizeof name);
        MakeBitmapPackName(c.path, name, c.size);
        EXPECT_STREQ(name, c.name) << c.path;
    }
}
