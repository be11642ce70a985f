// What the maker writes and shows: setup description, install list lines,
// list box lines and the note on what a package leaves out.
#include "maker/PackageText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using usrs_class::t_FileStatus;

namespace {

const char kSource[] = "C:\\build\\InstallData\\";

t_FileStatus Entry(const std::string &path, const std::string &folder = std::string())
{
    t_FileStatus status;
    std::memset(&status, 0, sizeof status);
    std::memcpy(status.szPath, path.data(), path.size());
    std::memcpy(status.szFolder, folder.data(), folder.size());
    return status;
}

std::string SetupText(const std::string &appName, const char (*bitmaps)[260])
{
    char out[kSetupTextSize];
    size_t length = FormatSetupDescription(out, sizeof out, appName.c_str(), bitmaps, "DialogBmp.pak",
                                           "Parvelo.txt");
    EXPECT_EQ(length, std::strlen(out));
    return out;
}

std::string Repeat(const std::string &text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

}  // namespace

TEST(MakerTextTest, IsHttpUrlTakesOnlyTheExactPrefix)
{
    struct Case {
        const char *text;
        int expected;
    } cases[] = {
        {"http://h/f.zip", 1}, {"http://", 1},      {"HTTP://h/f", 0}, {"https://h/f", 0},
        {"http:/h", 0},        {"表http://h/f", 0}, {"", 0},           {nullptr, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(IsHttpUrl(c.text), c.expected) << (c.text ? c.text : "(null)");
}

TEST(MakerTextTest, SetupDescriptionHasEveryKeyOnItsOwnLine)
{
    const char bitmaps[5][260] = {"DialogBmp1.bmp", "C:\\pics\\表\\ソ.bmp", "", "DialogBmp4.bmp",
                                  "DialogBmp5.bmp"};
    EXPECT_EQ(SetupText("My 表 Tool", bitmaps),
              "APP_NAME = My 表 Tool\n"
              "DIALOG1 = DialogBmp1.bmp\n"
              "DIALOG2 = C:\\pics\\表\\ソ.bmp\n"
              "DIALOG3 = \n"
              "DIALOG4 = DialogBmp4.bmp\n"
              "DIALOG5 = DialogBmp5.bmp\n"
              "DIALOGBMPPACK = DialogBmp.pak\n"
              "INSTALL_LIST = Parvelo.txt\n");
}

TEST(MakerTextTest, ApplicationNameIsCutToWholeCharactersTheInstallerKeeps)
{
    const char bitmaps[5][260] = {"1", "2", "3", "4", "5"};
    struct Case {
        std::string name;
        std::string kept;
    } cases[] = {
        {std::string(127, 'a'), std::string(127, 'a')},
        {std::string(1023, 'a'), std::string(127, 'a')},
        // 'a' then double-byte characters: byte 127 would be a lead byte.
        {"a" + Repeat("能", 100), "a" + Repeat("能", 63)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.size());
        std::string text = SetupText(c.name, bitmaps);
        EXPECT_EQ(text.substr(0, text.find('\n')), "APP_NAME = " + c.kept);
        EXPECT_EQ(text.substr(text.find('\n') + 1, 12), "DIALOG1 = 1\n");
    }
}

TEST(MakerTextTest, SetupDescriptionNeedsRoomForAllOfIt)
{
    const char bitmaps[5][260] = {"1", "2", "3", "4", "5"};
    char out[64];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(FormatSetupDescription(out, sizeof out, "Name", bitmaps, "DialogBmp.pak", "Parvelo.txt"), 0u);
    EXPECT_STREQ(out, "");
}

TEST(MakerTextTest, InstallLinesAreRelativeAndShortcutsLandInTheirFolder)
{
    struct Case {
        const char *what;
        t_FileStatus entry;
        int written;
        const char *line;
    } cases[] = {
        {"file", Entry("C:\\build\\InstallData\\a.txt"), 1, "a.txt\ta.txt\n"},
        {"nested Japanese", Entry("C:\\build\\InstallData\\表\\ソ\\能.txt"), 1, "表\\ソ\\能.txt\t表\\ソ\\能.txt\n"},
        {"folder", Entry("C:\\build\\InstallData\\bin"), 1, "bin\tbin\n"},
        {"shortcut without address", Entry("C:\\build\\InstallData\\z.url"), 1, "z.url\tz.url\n"},
        {"shortcut at the top", Entry("http://h/dl/tool.zip", kSource), 1, "http://h/dl/tool.zip\ttool.zip\n"},
        {"shortcut in a sub-folder", Entry("http://127.0.0.1:8080/f.zip", "C:\\build\\InstallData\\表\\"), 1,
         "http://127.0.0.1:8080/f.zip\t表\\f.zip\n"},
        {"https", Entry("https://h/f.zip", kSource), 0, ""},
        {"ftp", Entry("ftp://h/f.zip", kSource), 0, ""},
        {"no file part", Entry("http://h/dl/", kSource), 0, ""},
        {"no path", Entry("http://h", kSource), 0, ""},
        {"no host", Entry("http:///f.zip", kSource), 0, ""},
        {"port 0", Entry("http://h:0/f.zip", kSource), 0, ""},
        {"port too large", Entry("http://h:65536/f.zip", kSource), 0, ""},
        {"port not a number", Entry("http://h:x/f.zip", kSource), 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        char line[1024];
        std::memset(line, '#', sizeof line);
        EXPECT_EQ(FormatInstallLine(line, sizeof line, c.entry, std::strlen(kSource)), c.written);
        EXPECT_STREQ(line, c.line);
    }
}

TEST(MakerTextTest, ListBoxShowsPathsRelativeAndAddressesWhole)
{
    struct Case {
        t_FileStatus entry;
        const char *line;
    } cases[] = {
        {Entry("C:\\build\\InstallData\\bin\\x.exe"), "bin\\x.exe"},
        {Entry("C:\\build\\InstallData\\表"), "表"},
        {Entry("http://h/dl/tool.zip", kSource), "http://h/dl/tool.zip"},
        {Entry("https://h/f.zip", "C:\\build\\InstallData\\sub\\"), "https://h/f.zip"},
        {Entry("x", kSource), "x"},
    };
    for (const Case &c : cases) {
        char line[260];
        FormatListBoxLine(line, sizeof line, c.entry, std::strlen(kSource));
        EXPECT_STREQ(line, c.line);
    }
}

TEST(MakerTextTest, LeftOutNoteListsEachGroupAndCountsTheRest)
{
    CLeftOutNote note;
    char out[kLeftOutTextSize];
    EXPECT_EQ(note.IsEmpty(), 1);
    EXPECT_EQ(note.Format(out, sizeof out), 0u);

    note.AddBitmap("C:\\pics\\表.bmp");
    note.AddBitmap("missing.bmp");
    EXPECT_EQ(note.IsEmpty(), 0);
    ASSERT_GT(note.Format(out, sizeof out), 0u);
    EXPECT_STREQ(out, "次の画像を読み込めませんでした。\r\nC:\\pics\\表.bmp\r\nmissing.bmp");

    note.Reset();
    for (int i = 1; i <= 12; ++i)
        note.AddShortcut(("https://h/" + std::to_string(i)).c_str());
    note.Format(out, sizeof out);
    std::string expected = "次のショートカットはインストールリストに含まれません。";
    for (int i = 1; i <= 10; ++i)
        expected += "\r\nhttps://h/" + std::to_string(i);
    expected += "\r\nほか 2 件";
    EXPECT_EQ(std::string(out), expected);
    EXPECT_EQ(note.GetShortcutCount(), 12);

    note.AddBitmap("b.bmp");
    note.Format(out, sizeof out);
    EXPECT_EQ(std::string(out), "次の画像を読み込めませんでした。\r\nb.bmp\r\n\r\n" + expected);

    char small[16];
    EXPECT_EQ(note.Format(small, sizeof small), 0u);
    EXPECT_STREQ(small, "");
}
