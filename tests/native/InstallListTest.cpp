#include "installer/core/InstallList.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct Parsed {
    int ok = 0;
    int count = 0;
    int pairsCounted = 0;
    std::vector<std::pair<std::string, std::string>> pairs;
};

Parsed Parse(const std::string &text)
{
    Parsed out;
    CInstallListParser parser;
    out.ok = parser.Begin(text.data(), text.size(), &out.count);
    if (!out.ok)
        return out;
    out.pairsCounted = parser.CountPairs(out.count);
    InstallEntry entry;
    while (parser.NextPair(entry.szSource, entry.szDest))
        out.pairs.emplace_back(entry.szSource, entry.szDest);
    return out;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

}  // namespace

TEST(InstallListTest, CountLine)
{
    struct Case {
        const char *text;
        int ok;
        int count;
    } cases[] = {
        {"0\na\ta\n", 0, 0},      {"-2\na\ta\n", 0, 0},   {"abc\na\ta\n", 0, 0}, {" 3x\na\ta\n", 1, 3},
        {"", 0, 0},               {"\n\n\n", 0, 0},       {"\n\n2\na\ta\n", 1, 2}, {"3\r\na\ta\r\n", 1, 3},
        {"99999999999\na\ta\n", 1, 2147483647},
    };
    for (const Case &c : cases) {
        Parsed p = Parse(c.text);
        EXPECT_EQ(p.ok, c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(p.count, c.count) << c.text;
        }
    }
}

TEST(InstallListTest, PairsAreTakenTwoTokensAtATime)
{
    struct Case {
        const char *text;
        Pairs pairs;
    } cases[] = {
        {"2\na.txt\ta.txt\nb.txt\tb.txt\n", {{"a.txt", "a.txt"}, {"b.txt", "b.txt"}}},
        // CR is a separator, so a CR LF list has clean destinations.
        {"2\r\na.txt\ta.txt\r\nb\\表.txt\tb\\表.txt\r\n", {{"a.txt", "a.txt"}, {"b\\表.txt", "b\\表.txt"}}},
        // A pair may stand on two lines, a line may hold two pairs.
        {"3\na\n\n\tb\tc\td\n", {{"a", "b"}, {"c", "d"}}},
        // A lone fifth token is ignored.
        {"3\na\tb\nc\td\ne\n", {{"a", "b"}, {"c", "d"}}},
        // Trail bytes 0x5C stay inside their characters.
        {"1\nソ\\能\t表\\ソ\n", {{"ソ\\能", "表\\ソ"}}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Parse(c.text).pairs, c.pairs) << c.text;
}

TEST(InstallListTest, CountedPairsNeverExceedTheDeclaredCount)
{
    EXPECT_EQ(Parse("2\na\ta\nb\tb\nc\tc\n").pairsCounted, 2);
    EXPECT_EQ(Parse("2147483647\na\ta\n").pairsCounted, 1);
    EXPECT_EQ(Parse("5\nlonely\n").pairsCounted, 0);
}

TEST(InstallListTest, LongTextsAreCutTo259Bytes)
{
    std::string longSource(300, 's');
    std::string longDest = std::string(258, 'd') + "表";
    Parsed p = Parse("1\n" + longSource + "\t" + longDest + "\n");
    ASSERT_EQ(p.pairs.size(), 1u);
    EXPECT_EQ(p.pairs[0].first, longSource.substr(0, 259));
    EXPECT_EQ(p.pairs[0].second, std::string(258, 'd'));
}

TEST(InstallListTest, LargeListsParseWhole)
{
    std::string text = "200000\n";
    for (int i = 0; i < 200000; ++i)
        text += "data\\file" + std::to_string(i) + ".bin\tfile" + std::to_string(i) + ".bin\n";
    ASSERT_GT(text.size(), 1024u * 1024u);
    Parsed p = Parse(text);
    EXPECT_EQ(p.pairsCounted, 200000);
    ASSERT_EQ(p.pairs.size(), 200000u);
    EXPECT_EQ(p.pairs.back().second, "file199999.bin");
}

TEST(InstallListTest, PercentIsByteBased)
{
    struct Case {
        long long total, installed;
        int percent;
    } cases[] = {
        {0, 0, 0},
        {99, 99, 99},      // unit 1
        {150, 150, 100},   // unit 1, capped at the bar's end
        {199, 100, 100},
        {1000, 505, 50},
        {5LL << 30, 5LL << 29, 50},                 // beyond 4 GiB
        {6000000000LL, 5999999999LL, 99},
        {6000000000LL, 6000000000LL, 100},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ProgressPercent(c.total, c.installed), c.percent) << c.total << " " << c.installed;
}
