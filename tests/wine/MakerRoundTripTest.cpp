// The system's main job end to end: an author's build folder, the maker
// driven through its dialog, a distribution folder, the installer driven
// to Finish, and an installed tree equal to the source tree.
#include "tests/support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/support/BmpBuilder.h"
#include "tests/support/GuiRig.h"
#include "tests/support/MakerRig.h"
#include "tests/support/WineTestUtil.h"

using guirig::CGuiRig;
using makertest::TreeItem;

namespace {

const DWORD kPageTimeout = 60000;
const DWORD kInstallTimeout = 300000;

std::string Bmp(int width, int height, bmptest::Rgb colour)
{
    bmptest::BmpKind kind = {"24", 40, 24, bmptest::kRgb, false, 0, {0, 0, 0}};
    return bmptest::MakeBmp(bmptest::Plain(width, height, colour), kind);
}

// The colour at the middle of a page's picture frame on screen.
uint32_t PictureColour(HWND page)
{
    RECT frame = CGuiRig::ControlRect(page, 1008);
    guirig::Screenshot shot;
    if (!guirig::CaptureScreen(&shot))
        return 0xFFFFFFFF;
    return shot.At((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
}

uint32_t Pixel(bmptest::Rgb c)
{
    return (static_cast<uint32_t>(c.r) << 16) | (static_cast<uint32_t>(c.g) << 8) | c.b;
}

}  // namespace

TEST(MakerRoundTripTest, AnAuthorsFolderArrivesByteForByte)
{
    std::string root = wtest::MakeTempDir("roundtrip");
    ASSERT_FALSE(root.empty());
    std::string build = root + "\\build";
    std::string source = build + "\\InstallData";
    ASSERT_TRUE(CreateDirectoryA(build.c_str(), nullptr));
    CTestHttpServer server;
    ASSERT_TRUE(server.Start());
    std::string tool = "tool bytes\r\n";
    std::string sub(70000, 'z');
    server.AddFile("/dl/tool.zip", tool);
    server.AddFile("/files/sub.bin", sub);

    std::vector<TreeItem> tree = {
        {"a.txt", "alpha\r\n"},
        {"bin\\x.exe", std::string("MZ\0\x01", 4)},
        {"bin\\表\\ソ能.dat", "表ソ能"},
        {"bin\\表\\empty.bin", ""},
        {"空\\", ""},
        {"docs\\read me.txt", "read me"},
        {"Link.URL", makertest::Shortcut(server.Url("/dl/tool.zip"))},
        {"tools\\dl.url", makertest::Shortcut(server.Url("/files/sub.bin"))},
        {"big\\large.bin", std::string(17 * 1024 * 1024 + 3, '\x5C')},
    };
    for (int i = 0; i < 110; ++i)
        tree.push_back({"many\\能" + std::to_string(i) + ".txt", std::to_string(i)});
    ASSERT_TRUE(makertest::BuildTree(source, tree));

    const bmptest::Rgb colours[5] = {bmptest::kRed, bmptest::kGreen, bmptest::kBlue, bmptest::kYellow,
                                     bmptest::kWhite};
    const int sizes[5][2] = {{160, 300}, {160, 300}, {500, 60}, {500, 60}, {160, 300}};
    std::vector<std::string> bitmaps;
    for (int i = 0; i < 5; ++i) {
        bitmaps.push_back(root + "\\pics\\表" + std::to_string(i + 1) + ".bmp");
        ASSERT_TRUE(makertest::BuildTree(root + "\\pics", {{"表" + std::to_string(i + 1) + ".bmp",
                                                            Bmp(sizes[i][0], sizes[i][1], colours[i])}}));
    }

    // The author: name, pictures, Create.
    const std::string appName = "表計算 ソフト Pro 2";
    {
        makertest::MakerProcess maker;
        ASSERT_TRUE(maker.Start(build));
        ASSERT_TRUE(maker.SetText(1001, appName));
        const int fields[5] = {1002, 1005, 1006, 1007, 1008};
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(maker.SetText(fields[i], bitmaps[i]));
        makertest::ClickResult click = maker.Click(1014);
        ASSERT_TRUE(click.handled) << click.box.text;
        DWORD exitCode = 1;
        ASSERT_TRUE(maker.Close(&exitCode));
        EXPECT_EQ(exitCode, 0u);
    }

    // The distribution folder: installer, the three files, InstallData's contents.
    std::string dist = root + "\\dist";
    wtest::CopyTree(source, dist);
    for (const char *name : {"ParveloInfo.txt", "DialogBmp.pak", "Parvelo.txt"})
        ASSERT_TRUE(CopyFileA((build + "\\" + name).c_str(), (dist + "\\" + name).c_str(), FALSE)) << name;
    ASSERT_TRUE(CopyFileA(wtest::HostToWindowsPath(PARVELO_EXE).c_str(), (dist + "\\Parvelo.exe").c_str(), FALSE));

    // The user: welcome, folder, install, Finish.
    std::string target = root + "\\installed\\";
    CGuiRig rig;
    ASSERT_TRUE(rig.Start(dist + "\\Parvelo.exe", "", dist));
    HWND welcome = rig.WaitForWindowWithControls({1001, 1002, 1004, 1008}, kPageTimeout);
    ASSERT_TRUE(welcome);
    EXPECT_EQ(CGuiRig::ControlText(welcome, 1001), appName);
    EXPECT_EQ(PictureColour(welcome), Pixel(colours[0]));
    CGuiRig::Click(welcome, 1002);
    HWND folder = rig.WaitForWindowWithControls({1002, 1003, 1004, 1011, 1013}, kPageTimeout);
    ASSERT_TRUE(folder);
    EXPECT_EQ(PictureColour(folder), Pixel(colours[2]));
    CGuiRig::SetControlText(folder, 1013, target);
    CGuiRig::Click(folder, 1011);
    // A new folder is created after the user agrees.
    wtest::MessageBoxInfo box;
    ASSERT_TRUE(rig.WaitForMessageBox(&box, kPageTimeout));
    wtest::AnswerMessageBox(box.hwnd, IDOK);
    HWND finished = nullptr;
    guirig::WaitUntil(
        [&] {
            finished = rig.FindWindowMatching([](HWND w) {
                return CGuiRig::HasChildText(w, "ウィザードはプログラムを正常にインストールしました。");
            });
            return finished != nullptr;
        },
        kInstallTimeout);
    ASSERT_TRUE(finished);
    EXPECT_EQ(PictureColour(finished), Pixel(colours[4]));
    CGuiRig::Click(finished, 1002);
    DWORD exitCode = 1;
    EXPECT_TRUE(rig.WaitForExit(kPageTimeout, &exitCode));
    EXPECT_EQ(exitCode, 0u);

    // Each shortcut is replaced by its download at its own place.
    std::map<std::string, std::string> expected;
    for (const TreeItem &item : tree) {
        for (const std::string &parent : makertest::ParentFolders(item.path))
            expected[parent + "\\"] = "";
        if (item.path == "Link.URL")
            expected["tool.zip"] = tool;
        else if (item.path == "tools\\dl.url")
            expected["tools\\sub.bin"] = sub;
        else
            expected[item.path] = item.bytes;
    }
    std::vector<std::string> installed = wtest::ListTree(target.substr(0, target.size() - 1));
    std::vector<std::string> names;
    for (const auto &entry : expected)
        names.push_back(entry.first);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(installed, names);
    for (const auto &entry : expected) {
        if (entry.first.back() == '\\')
            continue;
        std::string bytes;
        EXPECT_TRUE(wtest::ReadWholeFile(target + entry.first, &bytes)) << entry.first;
        EXPECT_TRUE(bytes == entry.second) << entry.first;
    }
    wtest::RemoveTree(root);
}
