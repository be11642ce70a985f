#include "common/Text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace ptext;

namespace {

std::vector<std::string> Tokens(const std::string &text, const char *delims)
{
    TokenCursor cursor;
    BeginTokens(&cursor, text.data(), text.size());
    std::vector<std::string> out;
    const char *token;
    size_t length;
    while (NextToken(&cursor, delims, &token, &length))
        out.emplace_back(token, length);
    return out;
}

}  // namespace

// 表 = 95 5C, ソ = 83 5C, 能 = 94 5C: each trail byte is a backslash.
TEST(TextTest, TrailBytesAreNeverSeparators)
{
    ASSERT_EQ(std::string("表"), std::string("\x95\x5C"));
    EXPECT_EQ(Tokens("表\\ソ\\能", "\\"), (std::vector<std::string>{"表", "ソ", "能"}));
    EXPECT_STREQ(FindLastSeparator("a\\表"), "\\表");
    EXPECT_EQ(FindLastSeparator("表ソ能"), nullptr);
    EXPECT_TRUE(EndsWithBackslash("C:\\App\\"));
    EXPECT_FALSE(EndsWithBackslash("C:\\表"));
    EXPECT_FALSE(EndsWithBackslash(""));
}

TEST(TextTest, TokenizerSkipsRunsAndKeepsStateWithCaller)
{
    EXPECT_EQ(Tokens("\t\ta\t\n\tb\n", "\t\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(Tokens("\n\t\n", "\t\n").empty());
    // Two cursors over different texts do not disturb each other.
    TokenCursor one, two;
    std::string a = "x y", b = "1 2";
    BeginTokens(&one, a.data(), a.size());
    BeginTokens(&two, b.data(), b.size());
    const char *t;
    size_t n;
    ASSERT_TRUE(NextToken(&one, " ", &t, &n));
    ASSERT_TRUE(NextToken(&two, " ", &t, &n));
    ASSERT_TRUE(NextToken(&one, " ", &t, &n));
    EXPECT_EQ(std::string(t, n), "y");
    // A NUL ends the text.
    std::string withNul("a b\0c", 5);
    EXPECT_EQ(Tokens(withNul, " "), (std::vector<std::string>{"a", "b"}));
}

TEST(TextTest, BoundedCopyNeverSplitsACharacterAndFillsWithNul)
{
    struct Case {
        const char *src;
        size_t size;
        const char *expected;
    } cases[] = {
        {"abc", 4, "abc"},
        {"abcd", 4, "abc"},
        {"a表", 3, "a"},       // the lead byte would be the last byte copied
        {"a表", 4, "a表"},
        {"表ソ能", 6, "表ソ"},
        {"", 4, ""},
    };
    for (const Case &c : cases) {
        char dest[8];
        std::memset(dest, 'Z', sizeof dest);
        CopyText(dest, c.size, c.src);
        EXPECT_STREQ(dest, c.expected) << c.src;
        for (size_t i = std::strlen(c.expected); i < c.size; ++i)
            EXPECT_EQ(dest[i], '\0');
        EXPECT_EQ(dest[c.size], 'Z') << "wrote past the buffer";
    }
}

TEST(TextTest, JoinRefusesWhatDoesNotFit)
{
    char dest[8];
    EXPECT_TRUE(JoinText(dest, sizeof dest, "ab", "\\", "cd"));
    EXPECT_STREQ(dest, "ab\\cd");
    EXPECT_FALSE(JoinText(dest, sizeof dest, "abcd", "efgh"));
    EXPECT_STREQ(dest, "");
}

TEST(TextTest, SplitPathFindsPartsAtCharacterBoundaries)
{
    char drive[3], folder[256], name[256], ext[256];
    ASSERT_TRUE(SplitPath("C:\\表\\ソ.能\\setup.EXE", drive, sizeof drive, folder, sizeof folder, name, sizeof name,
                          ext, sizeof ext));
    EXPECT_STREQ(drive, "C:");
    EXPECT_STREQ(folder, "\\表\\ソ.能\\");
    EXPECT_STREQ(name, "setup");
    EXPECT_STREQ(ext, ".EXE");
    ASSERT_TRUE(SplitPath("data\\表", drive, sizeof drive, folder, sizeof folder, name, sizeof name, ext, sizeof ext));
    EXPECT_STREQ(folder, "data\\");
    EXPECT_STREQ(name, "表");
    EXPECT_STREQ(ext, "");
    std::string longName(300, 'n');
    EXPECT_FALSE(SplitPath(("a\\" + longName + ".exe").c_str(), drive, sizeof drive, folder, sizeof folder, name,
                           sizeof name, ext, sizeof ext));
    EXPECT_STREQ(folder, "");
    EXPECT_STREQ(ext, "");
}

TEST(TextTest, ExtensionsCompareWithoutCase)
{
    EXPECT_TRUE(HasExtension("setup.EXE", ".exe"));
    EXPECT_TRUE(HasExtension("表\\a.Msi", ".msi"));
    EXPECT_FALSE(HasExtension("setup.exe /q", ".exe"));
    EXPECT_FALSE(HasExtension("a.exe\\b", ".exe"));
    EXPECT_FALSE(HasExtension("readme", ".exe"));
}

TEST(TextTest, TrimLineEndKeepsDoubleByteCharacters)
{
    char text[] = "My Tool \t\r\n";
    TrimLineEnd(text);
    EXPECT_STREQ(text, "My Tool");
    char full[] = "名前　";  // ends with an ideographic space, which is no blank
    TrimLineEnd(full);
    EXPECT_STREQ(full, "名前　");
}

TEST(TextTest, NumbersSaturate)
{
    EXPECT_EQ(ParseLong32(" 3x", 3), 3);
    EXPECT_EQ(ParseLong32("-2", 2), -2);
    EXPECT_EQ(ParseLong32("abc", 3), 0);
    EXPECT_EQ(ParseLong32("99999999999", 11), 2147483647L);
    EXPECT_EQ(ParseLong32("-99999999999", 12), -2147483647L - 1);
    EXPECT_EQ(ParseLong64("5368709120", 10), 5368709120LL);
}
