// The installer driven through its windows: the real Parvelo.exe started in
// a temporary distribution folder with real package files, a local HTTP
// server for downloads and RecordProgram as the post-install program.
#include "tests/support/TestHttpServer.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "common/BitmapPack.h"
#include "tests/support/BmpBuilder.h"
#include "tests/support/GuiRig.h"
#include "tests/support/WineTestUtil.h"

using guirig::CGuiRig;

namespace {

const DWORD kShowTimeout = 15000;
const DWORD kExitTimeout = 30000;
// How long a cancelled installation may take to end before it counts as hung.
const DWORD kHangTimeout = 20000;

enum Page { kWelcome, kFolder, kProgress, kFinished, kInterrupted };

const char *const kPageNames[] = {"welcome", "folder", "progress", "finished", "interrupted"};

// The finished and interrupted pages hold the same controls; their texts
// tell them apart.
bool IsPage(HWND window, Page page)
{
    switch (page) {
    case kWelcome:
        return CGuiRig::HasControls(window, {1001, 1002, 1004, 1008});
    case kFolder:
        return CGuiRig::HasControls(window, {1002, 1003, 1004, 1011, 1013});
    case kProgress:
        return CGuiRig::HasControls(window, {1002, 1005, 1013, 1014, 1015});
    case kFinished:
        return CGuiRig::HasControls(window, {1002, 1008}) &&
               CGuiRig::HasChildText(window, "ウィザードはプログラムを正常にインストールしました。");
    case kInterrupted:
        return CGuiRig::HasControls(window, {1002, 1008}) &&
               CGuiRig::HasChildText(window, "改めてインストールする場合は、再度セットアップを実行してください。");
    }
    return false;
}

std::string ProgramFilesFolder()
{
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAM_FILES, FALSE);
    return path;
}

struct ListEntry {
    std::string source;
    std::string dest;
};

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dist = wtest::MakeTempDir("wizdist");
        m_Target = wtest::MakeTempDir("wizdest") + "\\";
        ASSERT_FALSE(m_Dist.empty());
        m_Record = m_Dist + "\\record.txt";
        SetEnvironmentVariableA("PARVELO_RECORD_FILE", m_Record.c_str());
        ASSERT_TRUE(m_Server.Start());
    }

    void TearDown() override
    {
        m_Rig.Kill();
        m_Server.Stop();
        wtest::RemoveTree(m_Dist);
        wtest::RemoveTree(m_Target);
    }

    // Setup description, install list and post-install list; files named by
    // the list are written by the caller.
    void WritePackage(const std::vector<ListEntry> &entries, bool withPack = false)
    {
        std::string setup = "APP_NAME = 表計算ソフト Pro\nINSTALL_LIST = Parvelo.txt\n";
        if (withPack)
            setup += "DIALOGBMPPACK = DialogBmp.pak\n";
        ASSERT_TRUE(wtest::WriteWholeFile(m_Dist + "\\ParveloInfo.txt", setup));
        std::string list = std::to_string(entries.size()) + "\n";
        for (const ListEntry &e : entries)
            list += e.source + "\t" + e.dest + "\n";
        ASSERT_TRUE(wtest::WriteWholeFile(m_Dist + "\\Parvelo.txt", list));
        ASSERT_TRUE(CopyFileA(wtest::HostToWindowsPath(PARVELO_RECORD_PROGRAM).c_str(),
                              (m_Dist + "\\RecordProgram.exe").c_str(), FALSE));
        ASSERT_TRUE(wtest::WriteWholeFile(m_Dist + "\\ParveloAfter.txt", "RecordProgram.exe\tレコーダー\n"));
        if (withPack)
            WritePack();
    }

    // Five pictures of four coloured quarters each, a different set per page.
    void WritePack()
    {
        BitmapPackEntry records[5] = {};
        for (int i = 0; i < 5; ++i) {
            bool wide = i == 2 || i == 3;
            bmptest::Picture picture = bmptest::Quarters(wide ? 500 : 160, wide ? 60 : 300, PageColour(i, 0),
                                                         PageColour(i, 1), PageColour(i, 2), PageColour(i, 3));
            std::string path = m_Dist + "\\page" + std::to_string(i) + ".bmp";
            ASSERT_TRUE(wtest::WriteWholeFile(path, bmptest::MakeBmp(picture, {"24", 40, 24, bmptest::kRgb, false, 0, {0, 0, 0}})));
            snprintf(records[i].szName, sizeof records[i].szName, "%s", path.c_str());
        }
        ASSERT_EQ(5, WriteBitmapPack((m_Dist + "\\DialogBmp.pak").c_str(), records, 5));
    }

    // Colour of one quarter of a pack record's picture.
    static bmptest::Rgb PageColour(int record, int quarter)
    {
        unsigned char v = static_cast<unsigned char>(40 + record * 40);
        const bmptest::Rgb colours[4] = {{v, 0, 0}, {0, v, 0}, {0, 0, v}, {v, v, 0}};
        return colours[quarter];
    }

    void StartWizard()
    {
        ASSERT_TRUE(m_Rig.Start(wtest::HostToWindowsPath(PARVELO_EXE), "", m_Dist));
    }

    // Waits until page is the one visible window of the wizard.
    HWND WaitForPage(Page page)
    {
        HWND found = nullptr;
        guirig::WaitUntil(
            [&]() {
                std::vector<HWND> windows = m_Rig.VisibleWindows();
                found = windows.size() == 1 && IsPage(windows[0], page) ? windows[0] : nullptr;
                return found != nullptr;
            },
            kShowTimeout);
        EXPECT_TRUE(found) << "the " << kPageNames[page] << " page did not come";
        return found;
    }

    HWND GoToFolderPage()
    {
        HWND welcome = WaitForPage(kWelcome);
        CGuiRig::Click(welcome, 1002);
        return WaitForPage(kFolder);
    }

    wtest::MessageBoxInfo WaitForBox()
    {
        wtest::MessageBoxInfo box;
        EXPECT_TRUE(m_Rig.WaitForMessageBox(&box, kShowTimeout)) << "no message box came";
        return box;
    }

    void ExpectExitCodeZero(DWORD timeoutMs = kExitTimeout)
    {
        DWORD code = 1;
        ASSERT_TRUE(m_Rig.WaitForExit(timeoutMs, &code)) << "the wizard did not end";
        EXPECT_EQ(0u, code);
    }

    bool PostInstallRan() const { return wtest::FileExists(m_Record); }

    // The progress page, also while it is hidden.
    HWND ProgressPage() const
    {
        for (HWND window : m_Rig.AllWindows())
            if (CGuiRig::HasControls(window, {1005, 1013, 1014, 1015}))
                return window;
        return nullptr;
    }

    // Waits until the page's image frame shows the pack record's picture:
    // a point inside each quarter that the frame shows, one picture pixel to
    // one screen pixel from the frame's top-left corner.
    void ExpectPicture(HWND page, int record)
    {
        bool wide = record == 2 || record == 3;
        int width = wide ? 500 : 160;
        int height = wide ? 60 : 300;
        RECT frame = CGuiRig::ControlRect(page, 1008);
        int shownWidth = std::min<int>(width, frame.right - frame.left);
        int shownHeight = std::min<int>(height, frame.bottom - frame.top);
        ASSERT_GT(shownWidth, width / 2 + 4);
        ASSERT_GT(shownHeight, height / 2 + 4);
        const POINT points[4] = {{4, 4}, {shownWidth - 4, 4}, {4, shownHeight - 4}, {shownWidth - 4, shownHeight - 4}};
        std::string mismatch;
        bool shown = guirig::WaitUntil(
            [&]() {
                guirig::Screenshot shot;
                if (!guirig::CaptureScreen(&shot))
                    return false;
                for (int q = 0; q < 4; ++q) {
                    bmptest::Rgb c = PageColour(record, q);
                    uint32_t want = (c.r << 16) | (c.g << 8) | c.b;
                    uint32_t got = shot.At(frame.left + points[q].x, frame.top + points[q].y);
                    if (got != want) {
                        char text[80];
                        snprintf(text, sizeof text, "quarter %d: %06x instead of %06x", q, got, want);
                        mismatch = text;
                        return false;
                    }
                }
                return true;
            },
            kShowTimeout, 200);
        EXPECT_TRUE(shown) << "record " << record << ", " << mismatch;
    }

    std::string m_Dist;
    std::string m_Target;
    std::string m_Record;
    CTestHttpServer m_Server;
    CGuiRig m_Rig;
};

TEST_F(WizardTest, WithoutSetupDescriptionNoWindowAppears)
{
    StartWizard();
    bool windowSeen = false;
    guirig::WaitUntil(
        [&]() {
            windowSeen = windowSeen || !m_Rig.VisibleWindows().empty();
            return !m_Rig.IsRunning();
        },
        kExitTimeout);
    EXPECT_FALSE(windowSeen);
    ExpectExitCodeZero();
}

TEST_F(WizardTest, FullPathInstallsRunsThePostInstallListAndEnds)
{
    std::string body(200000, 'd');
    m_Server.AddFile("/dl/tool.zip", body);
    WritePackage({{"bin\\表示.txt", "bin\\表示.txt"},
                  {"ソフト.txt", "ソフト.txt"},
                  {m_Server.Url("/dl/tool.zip"), "dl\\tool.zip"}},
                 true);
    ASSERT_TRUE(CreateDirectoryA((m_Dist + "\\bin").c_str(), nullptr));
    ASSERT_TRUE(wtest::WriteWholeFile(m_Dist + "\\bin\\表示.txt", "表示"));
    ASSERT_TRUE(wtest::WriteWholeFile(m_Dist + "\\ソフト.txt", "ソフト"));
    StartWizard();

    HWND welcome = WaitForPage(kWelcome);
    ASSERT_TRUE(welcome);
    EXPECT_EQ("Parvelo 1.01", CGuiRig::Text(welcome));
    EXPECT_EQ("表計算ソフト Pro", CGuiRig::ControlText(welcome, 1001));
    EXPECT_EQ("次へ", CGuiRig::ControlText(welcome, 1002));
    EXPECT_EQ("キャンセル", CGuiRig::ControlText(welcome, 1004));
    CGuiRig::Click(welcome, 1002);

    HWND folder = WaitForPage(kFolder);
    ASSERT_TRUE(folder);
    EXPECT_EQ(ProgramFilesFolder() + "\\", CGuiRig::ControlText(folder, 1013));
    EXPECT_EQ("変更...", CGuiRig::ControlText(folder, 1002));
    EXPECT_EQ("インストール", CGuiRig::ControlText(folder, 1011));
    CGuiRig::SetControlText(folder, 1013, m_Target);
    CGuiRig::Click(folder, 1011);

    HWND finished = WaitForPage(kFinished);
    ASSERT_TRUE(finished);
    EXPECT_EQ("完了", CGuiRig::ControlText(finished, 1002));
    ExpectPicture(finished, 4);
    std::string bytes;
    EXPECT_TRUE(wtest::ReadWholeFile(m_Target + "bin\\表示.txt", &bytes));
    EXPECT_EQ("表示", bytes);
    EXPECT_TRUE(wtest::ReadWholeFile(m_Target + "ソフト.txt", &bytes));
    EXPECT_EQ("ソフト", bytes);
    EXPECT_TRUE(wtest::ReadWholeFile(m_Target + "dl\\tool.zip", &bytes));
    EXPECT_EQ(body, bytes);
    EXPECT_FALSE(PostInstallRan());
    CGuiRig::Click(finished, 1002);

    wtest::MessageBoxInfo box = WaitForBox();
    EXPECT_EQ("確認", box.caption);
    EXPECT_NE(std::string::npos, box.text.find("レコーダー"));
    wtest::AnswerMessageBox(box.hwnd, IDOK);
    ExpectExitCodeZero();
    EXPECT_TRUE(PostInstallRan());
}

TEST_F(WizardTest, BackKeepsTheMovedPagesPosition)
{
    WritePackage({});
    StartWizard();
    HWND welcome = WaitForPage(kWelcome);
    ASSERT_TRUE(CGuiRig::Move(welcome, 130, 170));
    RECT moved = CGuiRig::WindowRect(welcome);
    CGuiRig::Click(welcome, 1002);
    HWND folder = WaitForPage(kFolder);
    RECT now = CGuiRig::WindowRect(folder);
    EXPECT_TRUE(EqualRect(&moved, &now));

    ASSERT_TRUE(CGuiRig::Move(folder, 310, 90));
    moved = CGuiRig::WindowRect(folder);
    CGuiRig::Click(folder, 1004);
    welcome = WaitForPage(kWelcome);
    now = CGuiRig::WindowRect(welcome);
    EXPECT_TRUE(EqualRect(&moved, &now));
    CGuiRig::Close(welcome);
    CGuiRig::Close(WaitForPage(kInterrupted));
    ExpectExitCodeZero();
}

// Every page's cancel, by button or by close box, leads to the interrupted
// page, and the interrupted page ends the program without the post-install
// list. On the progress page a download stalls, which the cancel must end.
struct CancelCase {
    Page page;
    bool closeBox;       // the page's close box instead of its Cancel button
    bool finishByClose;  // the interrupted page's close box instead of Finish
};

class WizardCancelTest : public WizardTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(WizardCancelTest, ReachesTheInterruptedPageAndEnds)
{
    const CancelCase &c = GetParam();
    m_Server.AddGenerated("/dl/big.bin", 8 * 1024 * 1024, CTestHttpServer::kStallBody);
    WritePackage({{m_Server.Url("/dl/big.bin"), "big.bin"}});
    StartWizard();
    HWND page = WaitForPage(kWelcome);
    int cancelId = 1004;
    if (c.page != kWelcome) {
        CGuiRig::Click(page, 1002);
        page = WaitForPage(kFolder);
        cancelId = 1003;
    }
    if (c.page == kProgress) {
        CGuiRig::SetControlText(page, 1013, m_Target);
        CGuiRig::Click(page, 1011);
        page = WaitForPage(kProgress);
        cancelId = 1002;
        // The download has begun once its source is shown.
        ASSERT_TRUE(guirig::WaitUntil(
            [&]() { return CGuiRig::ControlText(page, 1015) == m_Server.Url("/dl/big.bin"); }, kShowTimeout));
    }
    ASSERT_TRUE(page);
    if (c.closeBox)
        CGuiRig::Close(page);
    else
        CGuiRig::Click(page, cancelId);

    HWND interrupted = WaitForPage(kInterrupted);
    ASSERT_TRUE(interrupted);
    EXPECT_EQ("完了", CGuiRig::ControlText(interrupted, 1002));
    if (c.finishByClose)
        CGuiRig::Close(interrupted);
    else
        CGuiRig::Click(interrupted, 1002);
    ExpectExitCodeZero(kHangTimeout);
    EXPECT_FALSE(PostInstallRan());
    EXPECT_TRUE(m_Rig.MessageBoxes().empty());
    EXPECT_TRUE(wtest::ListTree(m_Target).empty()) << "left behind: " << wtest::ListTree(m_Target).front();
}

// A run that ends just after the user cancelled must not bring up a second
// page beside the interrupted one.
TEST_F(WizardTest, EndOfRunAfterCancelKeepsTheInterruptedPage)
{
    WritePackage({{"a.txt", "a.txt"}});
    StartWizard();
    CGuiRig::Click(WaitForPage(kWelcome), 1004);
    HWND interrupted = WaitForPage(kInterrupted);
    ASSERT_TRUE(interrupted);
    HWND progress = ProgressPage();
    ASSERT_TRUE(progress);
    for (UINT message : {0x8001u, 0x8003u}) {
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutA(progress, message, 0, 0, SMTO_NORMAL, kShowTimeout, &result));
        Sleep(300);
        std::vector<HWND> windows = m_Rig.VisibleWindows();
        ASSERT_EQ(1u, windows.size()) << "message " << message;
        EXPECT_EQ(interrupted, windows[0]);
    }
    CGuiRig::Click(interrupted, 1002);
    ExpectExitCodeZero();
    EXPECT_FALSE(PostInstallRan());
}

INSTANTIATE_TEST_SUITE_P(EveryPage, WizardCancelTest,
                         ::testing::Values(CancelCase{kWelcome, false, false}, CancelCase{kWelcome, true, true},
                                           CancelCase{kFolder, false, true}, CancelCase{kFolder, true, false},
                                           CancelCase{kProgress, false, false}, CancelCase{kProgress, true, true}));

TEST_F(WizardTest, EveryPageShowsItsPicture)
{
    m_Server.AddGenerated("/dl/big.bin", 8 * 1024 * 1024, CTestHttpServer::kStallBody);
    WritePackage({{m_Server.Url("/dl/big.bin"), "big.bin"}}, true);
    StartWizard();
    HWND welcome = WaitForPage(kWelcome);
    ASSERT_TRUE(welcome);
    ExpectPicture(welcome, 0);
    CGuiRig::Click(welcome, 1002);
    HWND folder = WaitForPage(kFolder);
    ASSERT_TRUE(folder);
    ExpectPicture(folder, 2);
    CGuiRig::SetControlText(folder, 1013, m_Target);
    CGuiRig::Click(folder, 1011);
    HWND progress = WaitForPage(kProgress);
    ASSERT_TRUE(progress);
    ExpectPicture(progress, 3);
    CGuiRig::Click(progress, 1002);
    HWND interrupted = WaitForPage(kInterrupted);
    ASSERT_TRUE(interrupted);
    ExpectPicture(interrupted, 1);
    CGuiRig::Click(interrupted, 1002);
    ExpectExitCodeZero(kHangTimeout);
}

// The checks of "インストール", one after the other on one folder page: each
// refused folder keeps the page (and is already shown on the progress page),
// the confirmed one is created and installed into.
TEST_F(WizardTest, FolderChecksRefuseOrCreateTheFolder)
{
    WritePackage({{"a.txt", "a.txt"}});
    ASSERT_TRUE(wtest::WriteWholeFile(m_Dist + "\\a.txt", "a"));
    ASSERT_TRUE(wtest::WriteWholeFile(m_Target + "file.txt", "not a folder"));
    const std::string missing = m_Target + "新規\\表\\";
    const std::string longMissing = "C:\\x" + [] {
        std::string s;
        for (int i = 0; i < 509; ++i)
            s += "表";
        return s;
    }();
    // 1022 bytes: the question shows what fits of it, never half a character.
    const std::string longShown = longMissing.substr(0, 4 + 483 * 2);
    const std::string before = "指定されたフォルダ名(";
    const std::string after = ")が存在しません。作成しますか？";
    struct Row {
        std::string folder;
        const char *caption;
        std::string text;
        int answer;
        bool installs;
    };
    const Row rows[] = {
        {"", "入力値が不正です", "「インストール先」が未入力です。", IDOK, false},
        {m_Target + "file.txt", "入力値が不正です", "指定されたフォルダ名はファイルです。フォルダを指定してください。", IDOK,
         false},
        {longMissing, "確認", before + longShown + after, IDCANCEL, false},
        {missing, "確認", before + missing + after, IDCANCEL, false},
        {missing, "確認", before + missing + after, IDOK, true},
    };
    StartWizard();
    HWND folder = GoToFolderPage();
    ASSERT_TRUE(folder);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.folder);
        CGuiRig::SetControlText(folder, 1013, row.folder);
        CGuiRig::Click(folder, 1011);
        wtest::MessageBoxInfo box = WaitForBox();
        ASSERT_TRUE(box.hwnd);
        EXPECT_EQ(row.caption, box.caption);
        EXPECT_EQ(row.text, box.text);
        EXPECT_FALSE(CGuiRig::BoxHasIcon(box.hwnd));
        EXPECT_EQ(folder, box.owner);
        wtest::AnswerMessageBox(box.hwnd, row.answer);
        if (row.installs)
            break;
        ASSERT_TRUE(guirig::WaitUntil([&]() { return m_Rig.MessageBoxes().empty(); }, kShowTimeout));
        EXPECT_EQ(folder, WaitForPage(kFolder));
        EXPECT_EQ(row.folder, CGuiRig::ControlText(ProgressPage(), 1013));
        EXPECT_FALSE(wtest::FolderExists(m_Target + "新規"));
    }
    HWND finished = WaitForPage(kFinished);
    ASSERT_TRUE(finished);
    EXPECT_TRUE(wtest::FileExists(missing + "a.txt"));
    CGuiRig::Close(finished);
    ExpectExitCodeZero();
}

// "変更..." opens the shell's browser. A folder chosen in its tree comes
// back with one closing backslash, also after a name whose last byte is a
// 0x5C trail byte (表); a path with no room left for that backslash is
// refused, and so is a cancelled browser: the field stays as it was.
TEST_F(WizardTest, ChangeTakesTheFolderChosenInTheBrowser)
{
    char desktop[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE));
    const std::string pid = std::to_string(GetCurrentProcessId());
    const std::string trailByteName = "テスト表" + pid;
    const std::string fullName = pid + std::string(259 - std::strlen(desktop) - 1 - pid.size(), 'L');
    struct DesktopFolders {
        std::vector<std::string> paths;
        ~DesktopFolders()
        {
            for (const std::string &path : paths)
                RemoveDirectoryA(path.c_str());
        }
    } folders;
    for (const std::string &name : {trailByteName, fullName}) {
        folders.paths.push_back(std::string(desktop) + "\\" + name);
        ASSERT_TRUE(CreateDirectoryA(folders.paths.back().c_str(), nullptr)) << name;
    }
    ASSERT_EQ(259u, folders.paths[1].size());
    struct Row {
        std::string name;  // empty: the browser is cancelled
        bool taken;
    };
    const Row rows[] = {{"", false}, {fullName, false}, {trailByteName, true}};

    WritePackage({});
    StartWizard();
    HWND folder = GoToFolderPage();
    ASSERT_TRUE(folder);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const std::string before = CGuiRig::ControlText(folder, 1013);
        CGuiRig::Click(folder, 1002);
        HWND browser = m_Rig.WaitForFolderBrowser(kShowTimeout);
        ASSERT_TRUE(browser);
        if (row.name.empty()) {
            CGuiRig::Click(browser, IDCANCEL);
        } else {
            ASSERT_TRUE(m_Rig.SelectInFolderBrowser(browser, {row.name}));
            CGuiRig::Click(browser, IDOK);
        }
        ASSERT_TRUE(guirig::WaitUntil([&]() { return !IsWindow(browser); }, kShowTimeout));
        const std::string expected = row.taken ? std::string(desktop) + "\\" + row.name + "\\" : before;
        EXPECT_TRUE(guirig::WaitUntil([&]() { return CGuiRig::ControlText(folder, 1013) == expected; }, kShowTimeout))
            << CGuiRig::ControlText(folder, 1013);
        EXPECT_TRUE(m_Rig.MessageBoxes().empty());
    }
    CGuiRig::Close(folder);
    CGuiRig::Close(WaitForPage(kInterrupted));
    ExpectExitCodeZero();
}

// An entry that cannot be installed: the engine's error box, then the
// interrupted page; the post-install list does not run.
TEST_F(WizardTest, FailingEntryLeadsToTheInterruptedPage)
{
    m_Server.AddFile("/dl/gone.zip", "", CTestHttpServer::kNotFound);
    WritePackage({{"a.txt", "a.txt"}, {m_Server.Url("/dl/gone.zip"), "gone.zip"}});
    ASSERT_TRUE(wtest::WriteWholeFile(m_Dist + "\\a.txt", "a"));
    StartWizard();
    HWND folder = GoToFolderPage();
    ASSERT_TRUE(folder);
    CGuiRig::SetControlText(folder, 1013, m_Target);
    CGuiRig::Click(folder, 1011);
    wtest::MessageBoxInfo box = WaitForBox();
    EXPECT_EQ("エラー", box.caption);
    EXPECT_EQ("次のファイルをインストールできませんでした。\r\n" + m_Server.Url("/dl/gone.zip"), box.text);
    EXPECT_TRUE(CGuiRig::BoxHasIcon(box.hwnd));
    wtest::AnswerMessageBox(box.hwnd, IDOK);
    HWND interrupted = WaitForPage(kInterrupted);
    ASSERT_TRUE(interrupted);
    CGuiRig::Click(interrupted, 1002);
    ExpectExitCodeZero();
    EXPECT_FALSE(PostInstallRan());
}

// The finished page's close box ends the program without the post-install
// list (only "完了" runs it).
TEST_F(WizardTest, FinishedPageCloseBoxSkipsThePostInstallList)
{
    WritePackage({{"a.txt", "a.txt"}});
    ASSERT_TRUE(wtest::WriteWholeFile(m_Dist + "\\a.txt", "a"));
    StartWizard();
    HWND folder = GoToFolderPage();
    ASSERT_TRUE(folder);
    CGuiRig::SetControlText(folder, 1013, m_Target);
    CGuiRig::Click(folder, 1011);
    HWND finished = WaitForPage(kFinished);
    ASSERT_TRUE(finished);
    CGuiRig::Close(finished);
    ExpectExitCodeZero();
    EXPECT_FALSE(PostInstallRan());
    EXPECT_TRUE(wtest::FileExists(m_Target + "a.txt"));
}

// A folder whose text with its closing backslash no longer fits a path: the
// installation cannot start, which is reported before the interrupted page.
TEST_F(WizardTest, InstallationThatCannotStartIsReported)
{
    std::string deep = m_Target.substr(0, m_Target.size() - 1);
    while (deep.size() < 259) {
        size_t step = std::min<size_t>(100, 259 - deep.size() - 1);
        deep += "\\" + std::string(step, 'd');
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << deep.size();
    }
    ASSERT_EQ(259u, deep.size());
    WritePackage({{"a.txt", "a.txt"}});
    ASSERT_TRUE(wtest::WriteWholeFile(m_Dist + "\\a.txt", "a"));
    StartWizard();
    HWND folder = GoToFolderPage();
    ASSERT_TRUE(folder);
    CGuiRig::SetControlText(folder, 1013, deep);
    CGuiRig::Click(folder, 1011);
    wtest::MessageBoxInfo box = WaitForBox();
    EXPECT_EQ("エラー", box.caption);
    EXPECT_EQ("インストールを開始できませんでした。", box.text);
    EXPECT_TRUE(CGuiRig::BoxHasIcon(box.hwnd));
    EXPECT_EQ(ProgressPage(), box.owner);
    wtest::AnswerMessageBox(box.hwnd, IDOK);
    HWND interrupted = WaitForPage(kInterrupted);
    ASSERT_TRUE(interrupted);
    CGuiRig::Click(interrupted, 1002);
    ExpectExitCodeZero();
}

}  // namespace
