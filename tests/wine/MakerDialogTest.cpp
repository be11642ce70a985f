// ParveloMaker.exe itself, started in a build folder and driven through its
// dialog: the list, "reload", "...", "Create" and its boxes, closing.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/BmpBuilder.h"
#include "tests/support/MakerRig.h"
#include "tests/support/WineTestUtil.h"

using makertest::TreeItem;

namespace {

const char kAddress[] = "http://127.0.0.1:8080/dl/tool.zip";
const int kCreate = 1014;
const int kReload = 1015;

std::string Bmp()
{
    bmptest::BmpKind kind = {"24", 40, 24, bmptest::kRgb, false, 0, {0, 0, 0}};
    return bmptest::MakeBmp(bmptest::Plain(2, 2, bmptest::kRed), kind);
}

std::string ReadOrEmpty(const std::string &path)
{
    std::string bytes;
    wtest::ReadWholeFile(path, &bytes);
    return bytes;
}

class MakerDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Build = wtest::MakeTempDir("makerdlg");
        ASSERT_FALSE(m_Build.empty());
        m_Source = m_Build + "\\InstallData";
    }
    void TearDown() override { wtest::RemoveTree(m_Build); }

    std::string m_Build;
    std::string m_Source;
};

}  // namespace

TEST_F(MakerDialogTest, StartsWithTheFoundEntriesAndTheDefaultFields)
{
    ASSERT_TRUE(makertest::BuildTree(m_Source, {{"a.txt", "a"},
                                                {"bin\\x.exe", "x"},
                                                {"bin\\表\\ソ能.txt", ""},
                                                {"z.url", makertest::Shortcut(kAddress)},
                                                {"bad.url", makertest::Shortcut("https://h/f.zip")}}));
    makertest::MakerProcess maker;
    ASSERT_TRUE(maker.Start(m_Build));
    EXPECT_FALSE(IsWindowVisible(GetWindow(maker.Dialog(), GW_OWNER)));
    EXPECT_EQ(maker.ListLines(), (std::vector<std::string>{"a.txt", "bin", "bin\\x.exe", "bin\\表",
                                                           "bin\\表\\ソ能.txt", "http://127.0.0.1:8080/dl/tool.zip",
                                                           "https://h/f.zip"}));
    const struct {
        int id;
        const char *text;
    } fields[] = {{1001, "ApplicationName"}, {1002, "DialogBmp1.bmp"}, {1005, "DialogBmp2.bmp"},
                  {1006, "DialogBmp3.bmp"},  {1007, "DialogBmp4.bmp"}, {1008, "DialogBmp5.bmp"}};
    for (const auto &field : fields)
        EXPECT_EQ(maker.Text(field.id), field.text) << field.id;
    DWORD exitCode = 1;
    ASSERT_TRUE(maker.Close(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(MakerDialogTest, ButtonsDoWhatTheAuthorAsks)
{
    ASSERT_TRUE(makertest::BuildTree(m_Source, {{"a.txt", "a"}}));
    for (int i = 1; i <= 5; ++i)
        ASSERT_TRUE(wtest::WriteWholeFile(m_Build + "\\DialogBmp" + std::to_string(i) + ".bmp", Bmp()));
    const std::string info = m_Build + "\\ParveloInfo.txt";
    const std::string pack = m_Build + "\\DialogBmp.pak";
    const std::string list = m_Build + "\\Parvelo.txt";

    struct Step {
        const char *what;
        std::function<void()> prepare;
        int button;
        // The list box afterwards (reload), or the install list (Create).
        std::vector<std::string> lines;
        std::string listFile;
        // A box shown for the click: caption, text and icon.
        const char *caption;
        std::string text;
        UINT icon;
    };
    const std::string failed = "パッケージを作成できませんでした。\r\n";
    std::vector<Step> steps = {
        {"reload after adding files",
         [&] { makertest::BuildTree(m_Source, {{"表\\b.txt", "b"}, {"c.url", makertest::Shortcut(kAddress)}}); },
         kReload, {"a.txt", "http://127.0.0.1:8080/dl/tool.zip", "表", "表\\b.txt"}, "", nullptr, "", 0},
        {"reload after removing files",
         [&] { DeleteFileA((m_Source + "\\c.url").c_str()); DeleteFileA((m_Source + "\\a.txt").c_str()); },
         kReload, {"表", "表\\b.txt"}, "", nullptr, "", 0},
        {"Create", [] {}, kCreate, {}, "2\n表\\b.txt\t表\\b.txt\n表\t表\n", nullptr, "", 0},
        {"Create again after a change",
         [&] { makertest::BuildTree(m_Source, {{"d.txt", "d"}}); },
         kCreate, {}, "", nullptr, "", 0},
        {"Create without InstallData", [&] { wtest::RemoveTree(m_Source); }, kCreate, {}, "", "エラー",
         failed + "InstallData フォルダを読み込めませんでした。", MB_ICONERROR},
        {"reload without InstallData", [] {}, kReload, {}, "", nullptr, "", 0},
        {"Create with an empty InstallData", [&] { CreateDirectoryA(m_Source.c_str(), nullptr); }, kCreate, {},
         "", "エラー", failed + "InstallData フォルダにインストールできるファイルがありません。", MB_ICONERROR},
        {"Create with a folder named like the install list",
         [&] {
             makertest::BuildTree(m_Source, {{"e.txt", "e"}});
             DeleteFileA(list.c_str());
             CreateDirectoryA(list.c_str(), nullptr);
         },
         kCreate, {}, "", "エラー", failed + "Parvelo.txt", MB_ICONERROR},
        {"Create with a bitmap missing and a shortcut left out",
         [&] {
             RemoveDirectoryA(list.c_str());
             DeleteFileA((m_Build + "\\DialogBmp2.bmp").c_str());
             makertest::BuildTree(m_Source, {{"f.url", makertest::Shortcut("ftp://h/f.zip")}});
         },
         kCreate, {}, "1\ne.txt\te.txt\n", "確認",
         "次の画像を読み込めませんでした。\r\nDialogBmp2.bmp\r\n\r\n"
         "次のショートカットはインストールリストに含まれません。\r\nftp://h/f.zip",
         MB_ICONWARNING},
    };
    steps[3].listFile = "3\nd.txt\td.txt\n表\\b.txt\t表\\b.txt\n表\t表\n";

    makertest::MakerProcess maker;
    ASSERT_TRUE(maker.Start(m_Build));
    HICON errorIcon = nullptr;
    HICON warningIcon = nullptr;
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        step.prepare();
        std::string before[3] = {ReadOrEmpty(info), ReadOrEmpty(pack), ReadOrEmpty(list)};
        makertest::ClickResult click = maker.Click(step.button);
        if (step.caption) {
            ASSERT_TRUE(click.boxShown);
            EXPECT_EQ(click.box.caption, step.caption);
            EXPECT_EQ(click.box.text, step.text);
            // The same icon for every error box, another for the warning.
            HICON icon = makertest::BoxIcon(click.box.hwnd);
            EXPECT_NE(icon, nullptr);
            HICON &seen = step.icon == MB_ICONERROR ? errorIcon : warningIcon;
            if (!seen)
                seen = icon;
            EXPECT_EQ(icon, seen);
            EXPECT_EQ(click.box.owner, maker.Dialog());
            wtest::AnswerMessageBox(click.box.hwnd, IDOK);
            ASSERT_TRUE(maker.WaitHandled());
        } else {
            ASSERT_TRUE(click.handled);
        }
        if (step.button == kReload) {
            EXPECT_EQ(maker.ListLines(), step.lines);
        }
        if (!step.listFile.empty()) {
            EXPECT_EQ(ReadOrEmpty(list), step.listFile);
        }
        if (step.icon == MB_ICONERROR) {
            // Nothing was replaced.
            EXPECT_EQ(ReadOrEmpty(info), before[0]);
            EXPECT_EQ(ReadOrEmpty(pack), before[1]);
            EXPECT_EQ(ReadOrEmpty(list), before[2]);
            EXPECT_FALSE(before[0].empty());
            EXPECT_FALSE(before[1].empty());
        }
        // Never a file left behind besides the package and the bitmaps.
        for (const std::string &name : wtest::ListTree(m_Build)) {
            bool known = name == "ParveloInfo.txt" || name == "DialogBmp.pak" || name == "Parvelo.txt" ||
                         name == "Parvelo.txt\\" || name.compare(0, 9, "DialogBmp") == 0 ||
                         name.compare(0, 12, "InstallData\\") == 0;
            EXPECT_TRUE(known) << name;
        }
    }

    EXPECT_NE(errorIcon, warningIcon);

    // Each "..." then cancel empties its own field only.
    const struct {
        int button;
        int field;
    } browse[] = {{1003, 1002}, {1009, 1005}, {1010, 1006}, {1011, 1007}, {1012, 1008}};
    for (const auto &b : browse) {
        SCOPED_TRACE(b.button);
        for (const auto &other : browse)
            ASSERT_TRUE(maker.SetText(other.field, "keep.bmp"));
        HWND box = maker.ClickForWindow(b.button, "SELECT OPEN FILE");
        ASSERT_NE(box, nullptr);
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(maker.WaitHandled());
        for (const auto &other : browse)
            EXPECT_EQ(maker.Text(other.field), other.field == b.field ? "" : "keep.bmp") << other.field;
    }

    DWORD exitCode = 1;
    ASSERT_TRUE(maker.Close(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}
