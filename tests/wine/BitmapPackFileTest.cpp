// The dialog bitmap pack written and read through real files in a
// temporary folder.
#include "common/BitmapPack.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/Window.h"
#include "installer/wizard/Image.h"
#include "tests/support/BmpBuilder.h"
#include "tests/support/WineTestUtil.h"

using namespace bmptest;

namespace {

std::string Le32(uint32_t v)
{
    std::string s(4, '\0');
    Put32(&s, 0, v);
    return s;
}

std::string Record(const std::string &name, const std::string &data)
{
    return Le32(static_cast<uint32_t>(name.size())) + name + Le32(static_cast<uint32_t>(data.size())) + data;
}

std::string DataOf(const BitmapPackEntry &e)
{
    return e.pData ? std::string(reinterpret_cast<const char *>(e.pData), e.nDataLength) : std::string();
}

// Five page pictures in their page sizes, each in a colour of its own.
std::vector<std::string> PagePictures()
{
    const BmpKind kind = {"24-bit", 40, 24, kRgb, false, 0, {0, 0, 0}};
    return {MakeBmp(Plain(160, 300, kRed), kind), MakeBmp(Plain(160, 300, kGreen), kind),
            MakeBmp(Plain(500, 60, kBlue), kind), MakeBmp(Plain(500, 60, kYellow), kind),
            MakeBmp(Plain(160, 300, kWhite), kind)};
}

void SetName(BitmapPackEntry *entry, const std::string &path)
{
    std::memset(entry, 0, sizeof *entry);
    ASSERT_LT(path.size(), sizeof entry->szName);
    std::memcpy(entry->szName, path.data(), path.size());
}

class BitmapPackFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = wtest::MakeTempDir("pvpack");
        ASSERT_FALSE(m_Dir.empty());
        m_Pack = m_Dir + "\\DialogBmp.pak";
    }
    void TearDown() override { wtest::RemoveTree(m_Dir); }

    std::string m_Dir;
    std::string m_Pack;
};

}  // namespace

TEST_F(BitmapPackFileTest, RoundTripKeepsEveryPictureOnItsPage)
{
    std::vector<std::string> pictures = PagePictures();
    // Full paths from the open-file box, also through folders and names
    // whose trail bytes look like backslashes, and a bare name in the
    // current folder.
    ASSERT_TRUE(CreateDirectoryA((m_Dir + "\\表ソ能").c_str(), nullptr));
    const std::string paths[5] = {m_Dir + "\\welcome.bmp", m_Dir + "\\表ソ能\\ソ能.bmp", m_Dir + "\\表ソ能\\banner.BMP",
                                  m_Dir + "\\progress.bmp", "finish.bmp"};
    const std::string names[5] = {"welcome.bmp", "ソ能.bmp", "banner.BMP", "progress.bmp", "finish.bmp"};
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(wtest::WriteWholeFile(paths[i], pictures[static_cast<size_t>(i)]));
    ASSERT_TRUE(wtest::WriteWholeFile(m_Dir + "\\finish.bmp", pictures[4]));
    // An older, longer pack is replaced.
    ASSERT_TRUE(wtest::WriteWholeFile(m_Pack, std::string(2000000, 'x')));

    BitmapPackEntry entries[5];
    for (int i = 0; i < 5; ++i)
        SetName(&entries[i], paths[i]);
    char oldFolder[MAX_PATH];
    GetCurrentDirectoryA(sizeof oldFolder, oldFolder);
    ASSERT_TRUE(SetCurrentDirectoryA(m_Dir.c_str()));
    int written = WriteBitmapPack(m_Pack.c_str(), entries, 5);
    SetCurrentDirectoryA(oldFolder);
    ASSERT_EQ(written, 5);

    std::string expected;
    for (int i = 0; i < 5; ++i) {
        expected += Record(names[i], pictures[static_cast<size_t>(i)]);
        EXPECT_EQ(entries[i].nDataLength, pictures[static_cast<size_t>(i)].size());
    }
    std::string pack;
    ASSERT_TRUE(wtest::ReadWholeFile(m_Pack, &pack));
    EXPECT_TRUE(pack == expected) << "pack of " << pack.size() << " bytes, expected " << expected.size();

    BitmapPackEntry read[5] = {};
    ASSERT_EQ(ReadBitmapPack(read, 5, m_Pack.c_str()), 5);
    usrs_class::CWindow main;
    ASSERT_NE(main.RegisterWndClass(DefWindowProcA, GetModuleHandleA(nullptr), "ParveloPackTestMain"), 0);
    ASSERT_EQ(main.CreateWnd("Parvelo ver1.00", 640, 160), 1);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(read[i].szName, names[i].c_str());
        EXPECT_EQ(read[i].nNameLength, names[i].size());
        EXPECT_TRUE(DataOf(read[i]) == pictures[static_cast<size_t>(i)]);
        CImage image;
        EXPECT_EQ(image.Load(main.GetWnd(), read[i].pData, read[i].nDataLength), 1);
    }
    ReleaseBitmapPack(read, 5);
}

TEST_F(BitmapPackFileTest, UnreadableBitmapAndEmptyNameKeepTheLaterPages)
{
    std::vector<std::string> pictures = PagePictures();
    const std::string paths[5] = {m_Dir + "\\1.bmp", m_Dir + "\\missing.bmp", "", m_Dir + "\\4.bmp", m_Dir + "\\5.bmp"};
    for (int i : {0, 3, 4})
        ASSERT_TRUE(wtest::WriteWholeFile(paths[i], pictures[static_cast<size_t>(i)]));
    BitmapPackEntry entries[5];
    for (int i = 0; i < 5; ++i)
        SetName(&entries[i], paths[i]);
    ASSERT_EQ(WriteBitmapPack(m_Pack.c_str(), entries, 5), 5);

    // The maker can tell the author which pictures were not read.
    const size_t lengths[5] = {pictures[0].size(), 0, 0, pictures[3].size(), pictures[4].size()};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(entries[i].nDataLength, lengths[i]) << i;
    std::string pack;
    ASSERT_TRUE(wtest::ReadWholeFile(m_Pack, &pack));
    EXPECT_TRUE(pack == Record("1.bmp", pictures[0]) + Record("missing.bmp", "") + Record("", "") +
                            Record("4.bmp", pictures[3]) + Record("5.bmp", pictures[4]));

    BitmapPackEntry read[5] = {};
    ASSERT_EQ(ReadBitmapPack(read, 5, m_Pack.c_str()), 5);
    EXPECT_TRUE(DataOf(read[0]) == pictures[0]);
    for (int i : {1, 2}) {
        EXPECT_EQ(read[i].nDataLength, 0u);
        EXPECT_EQ(read[i].pData, nullptr);
    }
    EXPECT_TRUE(DataOf(read[3]) == pictures[3]);
    EXPECT_TRUE(DataOf(read[4]) == pictures[4]);
    ReleaseBitmapPack(read, 5);
}

TEST_F(BitmapPackFileTest, WriterFailsWhenThePackCannotBeCreated)
{
    BitmapPackEntry entries[5];
    for (BitmapPackEntry &e : entries)
        SetName(&e, "x.bmp");
    EXPECT_EQ(WriteBitmapPack((m_Dir + "\\no such folder\\DialogBmp.pak").c_str(), entries, 5), 0);
    EXPECT_EQ(WriteBitmapPack(nullptr, entries, 5), 0);
    EXPECT_EQ(WriteBitmapPack(m_Pack.c_str(), nullptr, 5), 0);
    EXPECT_EQ(WriteBitmapPack(m_Pack.c_str(), entries, 0), 0);
    EXPECT_FALSE(wtest::FileExists(m_Pack));
}

TEST_F(BitmapPackFileTest, ReaderTakesWholeRecordsFromTheFile)
{
    const std::string three = Record("a.bmp", "BMaaaa") + Record("b.bmp", "BMbb") + Record("c.bmp", "BMcccccc");
    struct Case {
        const char *label;
        const char *content;  // null: no file
        size_t length;
        int count;
        int expected;
    } cases[] = {
        {"no file", nullptr, 0, 5, 0},
        {"zero-length file", "", 0, 5, 0},
        {"three records", three.c_str(), three.size(), 5, 3},
        {"third record cut", three.c_str(), three.size() - 3, 5, 2},
        {"fewer wanted", three.c_str(), three.size(), 2, 2},
        {"none wanted", three.c_str(), three.size(), 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        DeleteFileA(m_Pack.c_str());
        if (c.content) {
            ASSERT_TRUE(wtest::WriteWholeFile(m_Pack, std::string(c.content, c.length)));
        }
        BitmapPackEntry read[5] = {};
        for (BitmapPackEntry &e : read)
            std::strcpy(e.szName, "untouched");
        ASSERT_EQ(ReadBitmapPack(read, c.count, m_Pack.c_str()), c.expected);
        for (int i = 0; i < 5; ++i) {
            if (i < c.expected) {
                EXPECT_EQ(read[i].szName[1], '.');
                EXPECT_EQ(DataOf(read[i]).substr(0, 2), "BM");
            } else {
                EXPECT_STREQ(read[i].szName, "untouched");
                EXPECT_EQ(read[i].pData, nullptr);
            }
        }
        ReleaseBitmapPack(read, 5);
    }
    BitmapPackEntry read[5] = {};
    EXPECT_EQ(ReadBitmapPack(read, 5, nullptr), 0);
    EXPECT_EQ(ReadBitmapPack(nullptr, 5, m_Pack.c_str()), 0);
}
