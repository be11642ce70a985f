// The package writer on real folders under Wine: the three files, what a
// package leaves out, and failures that leave an older package whole.
#include "maker/PackageWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/BitmapPack.h"
#include "tests/support/BmpBuilder.h"
#include "tests/support/MakerRig.h"
#include "tests/support/WineTestUtil.h"

using makertest::TreeItem;

namespace {

const char kAddress[] = "http://127.0.0.1:8080/dl/表tool.zip";

std::string Bmp(bmptest::Rgb colour)
{
    bmptest::BmpKind kind = {"24", 40, 24, bmptest::kRgb, false, 0, {0, 0, 0}};
    return bmptest::MakeBmp(bmptest::Plain(4, 3, colour), kind);
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with LF";
    return lines;
}

class MakerWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Root = wtest::MakeTempDir("makerwrite");
        ASSERT_FALSE(m_Root.empty());
        m_Source = m_Root + "\\InstallData\\";
        m_Out = m_Root + "\\out";
        ASSERT_TRUE(CreateDirectoryA(m_Out.c_str(), nullptr));
        m_Info = m_Out + "\\ParveloInfo.txt";
        m_Pack = m_Out + "\\DialogBmp.pak";
        m_List = m_Out + "\\Parvelo.txt";
        std::memset(m_Bitmaps, 0, sizeof m_Bitmaps);
    }
    void TearDown() override { wtest::RemoveTree(m_Root); }

    int Write(PackageReport *report)
    {
        return WritePackage(m_Info.c_str(), "My 表 App", m_Bitmaps, m_Pack.c_str(), m_List.c_str(),
                            m_Source.c_str(), report);
    }
    void SetBitmap(int i, const std::string &path) { std::strcpy(m_Bitmaps[i], path.c_str()); }

    std::string m_Root, m_Source, m_Out, m_Info, m_Pack, m_List;
    char m_Bitmaps[5][260];
};

}  // namespace

TEST_F(MakerWriterTest, WritesTheThreeFilesAndTellsWhatWasLeftOut)
{
    std::vector<TreeItem> tree = makertest::TypicalTree(kAddress);
    ASSERT_TRUE(makertest::BuildTree(m_Root + "\\InstallData", tree));
    ASSERT_TRUE(makertest::BuildTree(m_Root, {{"pics\\表1.bmp", Bmp(bmptest::kRed)},
                                              {"pics\\ソ4.bmp", Bmp(bmptest::kGreen)},
                                              {"pics\\能5.bmp", Bmp(bmptest::kBlue)}}));
    SetBitmap(0, m_Root + "\\pics\\表1.bmp");
    SetBitmap(1, m_Root + "\\pics\\missing.bmp");
    SetBitmap(3, m_Root + "\\pics\\ソ4.bmp");
    SetBitmap(4, m_Root + "\\pics\\能5.bmp");

    PackageReport report;
    ASSERT_EQ(Write(&report), 1);
    EXPECT_EQ(report.nProblem, kPackageWritten);
    // Only the files themselves are left in the folder: no temporary ones.
    EXPECT_EQ(wtest::ListTree(m_Out),
              (std::vector<std::string>{"DialogBmp.pak", "Parvelo.txt", "ParveloInfo.txt"}));

    std::string info;
    ASSERT_TRUE(wtest::ReadWholeFile(m_Info, &info));
    EXPECT_EQ(info, "APP_NAME = My 表 App\n"
                    "DIALOG1 = " + m_Root + "\\pics\\表1.bmp\n"
                    "DIALOG2 = " + m_Root + "\\pics\\missing.bmp\n"
                    "DIALOG3 = \n"
                    "DIALOG4 = " + m_Root + "\\pics\\ソ4.bmp\n"
                    "DIALOG5 = " + m_Root + "\\pics\\能5.bmp\n"
                    "DIALOGBMPPACK = " + m_Pack + "\n"
                    "INSTALL_LIST = " + m_List + "\n");

    // Every picture keeps its page; one that cannot be read has no data.
    BitmapPackEntry entries[5] = {};
    ASSERT_EQ(ReadBitmapPack(entries, 5, m_Pack.c_str()), 5);
    const char *names[5] = {"表1.bmp", "missing.bmp", "", "ソ4.bmp", "能5.bmp"};
    std::string data[5] = {Bmp(bmptest::kRed), "", "", Bmp(bmptest::kGreen), Bmp(bmptest::kBlue)};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(entries[i].szName, names[i]);
        EXPECT_EQ(std::string(reinterpret_cast<char *>(entries[i].pData), entries[i].nDataLength), data[i]);
    }
    ReleaseBitmapPack(entries, 5);

    // The note: the bitmap that could not be read (the empty field is not
    // one) and the shortcuts the installer would drop.
    char note[kLeftOutTextSize];
    ASSERT_GT(report.note.Format(note, sizeof note), 0u);
    EXPECT_EQ(report.note.GetBitmapCount(), 1);
    EXPECT_EQ(report.note.GetShortcutCount(), 3);
    std::string text = note;
    EXPECT_EQ(text.find("次の画像を読み込めませんでした。\r\n" + m_Root + "\\pics\\missing.bmp\r\n\r\n"), 0u);
    for (const char *address : {"https://h/f.zip", "http://h/dl/", "http://h:99999/f.zip"})
        EXPECT_NE(text.find(std::string("\r\n") + address), std::string::npos) << address;

    // The install list: the count of the lines written, each file and folder
    // relative to InstallData, each good shortcut at its own place.
    std::map<std::string, int> expected;
    for (const TreeItem &item : tree) {
        std::string path = item.path;
        if (path.back() == '\\')
            path.pop_back();
        for (const std::string &parent : makertest::ParentFolders(path))
            expected[parent + "\t" + parent] = 0;
        if (path.compare(0, 4, "bad\\") != 0 && path != "Link.URL" && path != "tools\\dl.url")
            expected[path + "\t" + path] = 0;
    }
    expected[std::string(kAddress) + "\t表tool.zip"] = 0;
    expected[std::string(kAddress) + "\ttools\\表tool.zip"] = 0;

    std::string list;
    ASSERT_TRUE(wtest::ReadWholeFile(m_List, &list));
    std::vector<std::string> lines = Lines(list);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], std::to_string(expected.size()));
    ASSERT_EQ(lines.size(), expected.size() + 1);
    for (size_t i = 1; i < lines.size(); ++i) {
        ASSERT_EQ(expected.count(lines[i]), 1u) << lines[i];
        expected[lines[i]] = static_cast<int>(i);
    }
    // A folder's line comes after the lines of everything in it.
    int bin = expected["bin\tbin"];
    EXPECT_GT(bin, expected["bin\\x.exe\tbin\\x.exe"]);
    EXPECT_GT(bin, expected["bin\\表\tbin\\表"]);
    EXPECT_GT(expected["bin\\表\tbin\\表"], expected["bin\\表\\ソ能.dat\tbin\\表\\ソ能.dat"]);
}

TEST_F(MakerWriterTest, WritingAgainReplacesTheWholePackage)
{
    ASSERT_TRUE(makertest::BuildTree(m_Root + "\\InstallData", {{"a.txt", "a"}}));
    ASSERT_EQ(Write(nullptr), 1);
    std::string first;
    ASSERT_TRUE(wtest::ReadWholeFile(m_List, &first));
    EXPECT_EQ(first, "1\na.txt\ta.txt\n");

    ASSERT_TRUE(makertest::BuildTree(m_Root + "\\InstallData", {{"能.txt", "b"}}));
    ASSERT_TRUE(DeleteFileA((m_Source + "a.txt").c_str()));
    PackageReport report;
    ASSERT_EQ(Write(&report), 1);
    std::string second;
    ASSERT_TRUE(wtest::ReadWholeFile(m_List, &second));
    EXPECT_EQ(second, "1\n能.txt\t能.txt\n");
    EXPECT_EQ(report.note.IsEmpty(), 1);
    EXPECT_EQ(wtest::ListTree(m_Out),
              (std::vector<std::string>{"DialogBmp.pak", "Parvelo.txt", "ParveloInfo.txt"}));
}

TEST_F(MakerWriterTest, AFailureLeavesTheOlderPackageAsItWas)
{
    struct Case {
        const char *what;
        std::vector<TreeItem> source;  // below the build folder
        std::vector<TreeItem> out;     // besides the older package
        int problem;
        std::string *failedFile;
    } cases[] = {
        {"no InstallData", {}, {}, kSourceNotListed, nullptr},
        {"empty InstallData", {{"InstallData\\", ""}}, {}, kNothingToInstall, nullptr},
        {"only shortcuts the installer would drop",
         {{"InstallData\\a.url", makertest::Shortcut("https://h/a.zip")},
          {"InstallData\\b.url", makertest::Shortcut("http://h/")}},
         {},
         kNothingToInstall,
         nullptr},
        {"a folder named like the install list",
         {{"InstallData\\a.txt", "a"}},
         {{"Parvelo.txt\\inside.txt", "x"}},
         kFileNotWritten,
         &m_List},
        {"a folder named like the pack",
         {{"InstallData\\a.txt", "a"}},
         {{"DialogBmp.pak\\", ""}},
         kFileNotWritten,
         &m_Pack},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        wtest::RemoveTree(m_Root + "\\InstallData");
        wtest::RemoveTree(m_Out);
        ASSERT_TRUE(CreateDirectoryA(m_Out.c_str(), nullptr));
        ASSERT_TRUE(makertest::BuildTree(m_Root, c.source));
        ASSERT_TRUE(makertest::BuildTree(m_Out, c.out));
        // Older package files wherever no folder takes their name.
        for (const std::string *path : {&m_Info, &m_Pack, &m_List})
            if (!wtest::FolderExists(*path)) {
                ASSERT_TRUE(wtest::WriteWholeFile(*path, "older " + *path));
            }
        std::vector<std::string> before = wtest::ListTree(m_Out);

        PackageReport report;
        EXPECT_EQ(Write(&report), 0);
        EXPECT_EQ(report.nProblem, c.problem);
        if (c.failedFile) {
            EXPECT_EQ(std::string(report.pFailedFile), *c.failedFile);
        }
        EXPECT_EQ(wtest::ListTree(m_Out), before);
        for (const std::string *path : {&m_Info, &m_Pack, &m_List}) {
            std::string bytes;
            if (wtest::FileExists(*path)) {
                ASSERT_TRUE(wtest::ReadWholeFile(*path, &bytes));
                EXPECT_EQ(bytes, "older " + *path);
            }
        }
    }
}

TEST_F(MakerWriterTest, NoInputMayBeMissing)
{
    ASSERT_TRUE(makertest::BuildTree(m_Root + "\\InstallData", {{"a.txt", "a"}}));
    const char *info = m_Info.c_str(), *pack = m_Pack.c_str(), *list = m_List.c_str(), *source = m_Source.c_str();
    EXPECT_EQ(WritePackage(nullptr, "n", m_Bitmaps, pack, list, source, nullptr), 0);
    EXPECT_EQ(WritePackage(info, nullptr, m_Bitmaps, pack, list, source, nullptr), 0);
    EXPECT_EQ(WritePackage(info, "n", nullptr, pack, list, source, nullptr), 0);
    EXPECT_EQ(WritePackage(info, "n", m_Bitmaps, nullptr, list, source, nullptr), 0);
    EXPECT_EQ(WritePackage(info, "n", m_Bitmaps, pack, nullptr, source, nullptr), 0);
    EXPECT_EQ(WritePackage(info, "n", m_Bitmaps, pack, list, nullptr, nullptr), 0);
    EXPECT_TRUE(wtest::ListTree(m_Out).empty());
}
