// The install engine run for real: a hidden progress page on a thread of its
// own, real files in temporary folders and the tests' HTTP server.
#include "tests/support/TestHttpServer.h"

#include "installer/core/DataManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "installer/core/AppMessages.h"
#include "tests/support/ProgressPage.h"
#include "tests/support/WineTestUtil.h"

namespace {

// A worker must end this long after Abort at the latest.
const DWORD kAbortHangLimit = 10000;
// And a whole run (one stalled download costs 30 s) within this.
const DWORD kRunHangLimit = 120000;

struct RunResult {
    bool ended = false;
    bool started = false;
    int finished = 0;
    int failed = 0;
    int position = -1;
    int positionMessages = 0;
    std::string sourceText, destText;
    std::vector<wtest::MessageBoxInfo> boxes;
};

class EngineTest : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(m_Server.Start());
        m_Root = wtest::MakeTempDir("pvengine");
        m_Dist = m_Root + "\\dist";
        m_Target = m_Root + "\\target\\";
        ASSERT_TRUE(CreateDirectoryA(m_Dist.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(m_Target.c_str(), nullptr));
        char previous[MAX_PATH];
        GetCurrentDirectoryA(sizeof previous, previous);
        m_PreviousDir = previous;
        SetCurrentDirectoryA(m_Dist.c_str());
    }
    void TearDown() override
    {
        m_Server.Stop();
        SetCurrentDirectoryA(m_PreviousDir.c_str());
        wtest::RemoveTree(m_Root);
    }

    void Put(const std::string &relative, const std::string &bytes)
    {
        std::string path = m_Dist + "\\" + relative;
        std::string::size_type slash = path.rfind('\\');
        // Test paths are ASCII up to their last folder or built from whole
        // characters, so plain folder creation is enough here.
        SHCreateFolders(path.substr(0, slash));
        ASSERT_TRUE(wtest::WriteWholeFile(path, bytes)) << path;
    }
    static void SHCreateFolders(const std::string &folder)
    {
        if (wtest::FolderExists(folder))
            return;
        std::string::size_type slash = folder.rfind('\\');
        if (slash != std::string::npos)
            SHCreateFolders(folder.substr(0, slash));
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void WriteList(const std::string &text) { ASSERT_TRUE(wtest::WriteWholeFile(m_Dist + "\\Parvelo.txt", text)); }
    std::string Installed(const std::string &relative)
    {
        std::string bytes;
        return wtest::ReadWholeFile(m_Target + relative, &bytes) ? bytes : std::string("<missing>");
    }
    // Temporary files left anywhere under the target.
    std::vector<std::string> Leftovers()
    {
        std::vector<std::string> out;
        for (const std::string &entry : wtest::ListTree(m_Target))
            if (entry.find(".~pv") != std::string::npos)
                out.push_back(entry);
        return out;
    }

    // Starts a run and serves it to its end: answers each message box with
    // answer(box) and records it. afterStart runs once the worker is going.
    RunResult Run(std::function<int(const wtest::MessageBoxInfo &)> answer = nullptr,
                  std::function<void()> afterStart = nullptr, const std::string &installDir = std::string())
    {
        RunResult result;
        std::string dir = installDir.empty() ? m_Target : installDir;
        result.started = m_Manager.Start(m_Page.Window(), "Parvelo.txt", dir.c_str()) == 1;
        if (!result.started)
            return result;
        if (afterStart)
            afterStart();
        DWORD start = GetTickCount();
        std::vector<HWND> answered;
        while (m_Manager.IsWorkerRunning()) {
            DWORD limit = m_AbortTick ? kAbortHangLimit : kRunHangLimit;
            DWORD from = m_AbortTick ? m_AbortTick.load() : start;
            if (GetTickCount() - from > limit)
                break;
            // A box may stay on screen a moment after it was answered.
            for (const wtest::MessageBoxInfo &box : wtest::FindMessageBoxes()) {
                if (std::find(answered.begin(), answered.end(), box.hwnd) != answered.end())
                    continue;
                answered.push_back(box.hwnd);
                result.boxes.push_back(box);
                wtest::AnswerMessageBox(box.hwnd, answer ? answer(box) : IDOK);
            }
            Sleep(10);
        }
        result.ended = !m_Manager.IsWorkerRunning();
        if (!result.ended) {
            // Let the destructor find a stopped worker rather than hang.
            m_Manager.Abort();
            while (m_Manager.IsWorkerRunning())
                for (const wtest::MessageBoxInfo &box : wtest::FindMessageBoxes())
                    wtest::AnswerMessageBox(box.hwnd, IDCANCEL);
        }
        // Messages the worker sent are served before it ends; read them now.
        result.finished = m_Page.finished;
        result.failed = m_Page.failed;
        result.position = m_Page.Position();
        result.positionMessages = m_Page.positionMessages;
        result.sourceText = m_Page.Text(IDC_INSTALL_SOURCE);
        result.destText = m_Page.Text(IDC_INSTALL_DEST);
        return result;
    }
    void AbortNow()
    {
        m_AbortTick = GetTickCount();
        m_Manager.Abort();
    }

    CTestHttpServer m_Server;
    ProgressPage m_Page;
    CDataManager m_Manager;
    std::string m_Root, m_Dist, m_Target, m_PreviousDir;
    std::atomic<DWORD> m_AbortTick{0};
};

std::string Pattern(size_t size, int seed)
{
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 31 + seed * 7 + (i >> 8)) & 0xFF);
    return s;
}

}  // namespace

TEST_F(EngineTest, CopiesEveryKindOfLocalEntry)
{
    Put("a.txt", "alpha");
    Put("bin\\x.exe", Pattern(300000, 1));
    Put("表\\ソ能.txt", "double-byte");
    Put("ソ\\能\\表.bin", Pattern(5000, 2));
    Put("empty.dat", "");
    SHCreateFolders(m_Dist + "\\emptyfolder\\inner");
    ASSERT_TRUE(wtest::WriteWholeFile(m_Target + "a.txt", "old contents that must be replaced"));
    WriteList("7\na.txt\ta.txt\nbin\\x.exe\tbin\\x.exe\n表\\ソ能.txt\t表\\ソ能.txt\n"
              "ソ\\能\\表.bin\tdeep\\表\\ソ\\能.bin\nempty.dat\tempty.dat\nemptyfolder\temptyfolder\n"
              "emptyfolder\\inner\temptyfolder\\inner\n");
    RunResult r = Run();
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.finished, 1);
    EXPECT_EQ(r.failed, 0);
    EXPECT_TRUE(r.boxes.empty());
    EXPECT_EQ(Installed("a.txt"), "alpha");
    EXPECT_EQ(Installed("bin\\x.exe"), Pattern(300000, 1));
    EXPECT_EQ(Installed("表\\ソ能.txt"), "double-byte");
    EXPECT_EQ(Installed("deep\\表\\ソ\\能.bin"), Pattern(5000, 2));
    EXPECT_EQ(Installed("empty.dat"), "");
    EXPECT_TRUE(wtest::FolderExists(m_Target + "emptyfolder\\inner"));
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_EQ(r.position, 100);
    EXPECT_LE(r.positionMessages, 101);
    EXPECT_EQ(m_Page.rangeMax, 100);
    EXPECT_EQ(r.sourceText, "");
    EXPECT_EQ(r.destText, "");
    std::lock_guard<std::mutex> lock(m_Page.shownMutex);
    EXPECT_NE(std::find(m_Page.shownDests.begin(), m_Page.shownDests.end(), m_Target + "deep\\表\\ソ\\能.bin"),
              m_Page.shownDests.end());
    EXPECT_NE(std::find(m_Page.shownSources.begin(), m_Page.shownSources.end(), m_Dist + "\\表\\ソ能.txt"),
              m_Page.shownSources.end());
}

TEST_F(EngineTest, ListsOfAnyLengthAndLineEndLoad)
{
    // Over 1 KiB, CR LF line ends, and a count far above the pairs present.
    std::string list = "2147483647\r\n";
    for (int i = 0; i < 60; ++i) {
        std::string name = "file" + std::to_string(i) + ".txt";
        Put("many\\" + name, "content " + std::to_string(i));
        list += "many\\" + name + "\tout\\" + name + "\r\n";
    }
    ASSERT_GT(list.size(), 1024u);
    WriteList(list);
    RunResult r = Run();
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.finished, 1);
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(Installed("out\\file" + std::to_string(i) + ".txt"), "content " + std::to_string(i));
    EXPECT_EQ(m_Manager.GetListCount(), 60);
}

TEST_F(EngineTest, HugeListLoadsUpToItsCount)
{
    Put("a.txt", "a");
    std::string list = "3\n";
    std::string filler = "a.txt\t" + std::string(200, 'd') + "\n";
    while (list.size() < 16u * 1024 * 1024 + 100)
        list += filler;
    WriteList(list);
    ASSERT_EQ(m_Manager.LoadList("Parvelo.txt"), 1);
    EXPECT_EQ(m_Manager.GetListCount(), 3);
}

TEST_F(EngineTest, SizesAre64Bit)
{
    // A sparse file over 4 GiB: only its size is asked, nothing is copied.
    std::string path = m_Dist + "\\big.bin";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    // Writing the last byte far out leaves a hole on the host file system.
    LARGE_INTEGER size;
    size.QuadPart = (5LL << 30) + 122;
    ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, "!", 1, &written, nullptr));
    CloseHandle(file);
    Put("small.txt", "12345");
    WriteList("2\nbig.bin\tbig.bin\nsmall.txt\tsmall.txt\n");
    ASSERT_EQ(m_Manager.LoadList("Parvelo.txt"), 1);
    ASSERT_EQ(m_Manager.GetListCount(), 2);
    EXPECT_EQ(m_Manager.GetEntry(0)->llSize, (5LL << 30) + 123);
    EXPECT_EQ(m_Manager.GetTotalSize(), (5LL << 30) + 128);
    EXPECT_EQ(m_Manager.GetRestSize(), m_Manager.GetTotalSize());
}

TEST_F(EngineTest, DownloadsByServerAnswer)
{
    struct Case {
        const char *name;
        CTestHttpServer::Mode mode;
        bool installed;       // the file is in place afterwards
        bool droppedAtLoad;   // listed in the box (else failed during the run)
    } cases[] = {
        {"normal", CTestHttpServer::kNormal, true, false},
        {"slow", CTestHttpServer::kSlow, true, false},
        {"redirect", CTestHttpServer::kRedirect, true, false},
        {"nolength", CTestHttpServer::kNoLength, false, true},
        {"zerolength", CTestHttpServer::kZeroLength, false, true},
        {"notfound", CTestHttpServer::kNotFound, false, true},
        {"short", CTestHttpServer::kShortBody, false, false},
        {"stall", CTestHttpServer::kStallBody, false, false},
    };
    // Slow enough that the worker waits for every piece.
    m_Server.SetSlowPace(7000, 2);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string body = Pattern(200000, c.mode);
        std::string path = std::string("/files/") + c.name + ".bin";
        if (c.mode == CTestHttpServer::kRedirect) {
            m_Server.AddFile("/real/target.bin", body);
            m_Server.AddRedirect(path, "/real/target.bin");
        } else if (c.mode != CTestHttpServer::kNotFound) {
            m_Server.AddFile(path, body, c.mode);
        }
        // An older file at the destination must survive a failed download.
        std::string dest = std::string("dl\\") + c.name + ".bin";
        SHCreateFolders(m_Target + "dl");
        ASSERT_TRUE(wtest::WriteWholeFile(m_Target + dest, "older"));
        Put("local.txt", "local");
        WriteList("2\nlocal.txt\tlocal.txt\n" + m_Server.Url(path) + "\t" + dest + "\n");
        RunResult r = Run();
        ASSERT_TRUE(r.ended);
        EXPECT_EQ(Installed("local.txt"), "local");
        EXPECT_EQ(Installed(dest), c.installed ? body : std::string("older"));
        EXPECT_TRUE(Leftovers().empty());
        if (c.installed) {
            EXPECT_EQ(r.finished, 1);
            EXPECT_EQ(r.failed, 0);
            EXPECT_TRUE(r.boxes.empty());
            EXPECT_EQ(r.position, 100);
        } else {
            EXPECT_EQ(r.finished, 0);
            EXPECT_EQ(r.failed, 1);
            ASSERT_EQ(r.boxes.size(), 1u);
            EXPECT_EQ(r.boxes[0].caption, "エラー");
            EXPECT_EQ(r.boxes[0].icon, static_cast<UINT>(MB_ICONERROR));
            EXPECT_EQ(r.boxes[0].text, "次のファイルをインストールできませんでした。\r\n" + m_Server.Url(path));
            EXPECT_LT(r.position, 100);
        }
        m_Page.finished = 0;
        m_Page.failed = 0;
    }
}

TEST_F(EngineTest, UnusableEntriesAreReported)
{
    Put("good.txt", "good");
    std::string list = "20\ngood.txt\tgood.txt\n";
    std::vector<std::string> bad;
    for (int i = 0; i < 11; ++i)
        bad.push_back("missing" + std::to_string(i) + ".txt");
    bad.push_back("http://127.0.0.1:99999/port.bin");
    bad.push_back("http://127.0.0.1/");
    for (const std::string &source : bad)
        list += source + "\tx" + std::to_string(list.size()) + "\n";
    WriteList(list);
    RunResult r = Run();
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(Installed("good.txt"), "good");
    EXPECT_EQ(r.finished, 0);
    EXPECT_EQ(r.failed, 1);
    ASSERT_EQ(r.boxes.size(), 1u);
    std::string expected = "次のファイルをインストールできませんでした。";
    for (int i = 0; i < 10; ++i)
        expected += "\r\n" + bad[static_cast<size_t>(i)];
    expected += "\r\nほか 3 件";
    EXPECT_EQ(r.boxes[0].text, expected);
}

TEST_F(EngineTest, RunProblemsEndWithTheirBox)
{
    Put("a.txt", "a");
    ASSERT_TRUE(wtest::WriteWholeFile(m_Root + "\\afile", "x"));
    struct Case {
        const char *name;
        const char *list;         // null: no list file
        std::string installDir;   // relative to the root
        int answer;
        std::vector<std::string> texts;
        bool installed;
    } cases[] = {
        {"no list", nullptr, "target\\", IDOK, {"インストールリストを読み込めませんでした。"}, false},
        {"empty list", "3\n\n", "target\\", IDOK, {"インストールリストを読み込めませんでした。"}, false},
        {"folder created", "1\na.txt\ta.txt\n", "new\\表\\ソ\\", IDOK,
         {"指定されたフォルダ名が存在しません。作成しますか？"}, true},
        {"creation declined", "1\na.txt\ta.txt\n", "declined\\", IDCANCEL,
         {"指定されたフォルダ名が存在しません。作成しますか？"}, false},
        {"folder is a file", "1\na.txt\ta.txt\n", "afile", IDOK,
         {"指定されたフォルダ名はファイルです。フォルダを指定してください。"}, false},
        {"folder cannot be made", "1\na.txt\ta.txt\n", "afile\\sub\\", IDOK,
         {"指定されたフォルダ名が存在しません。作成しますか？", "インストール先フォルダを作成できませんでした。"}, false},
        {"no closing backslash", "1\na.txt\ta.txt\n", "target\\App", IDOK,
         {"指定されたフォルダ名が存在しません。作成しますか？"}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA((m_Dist + "\\Parvelo.txt").c_str());
        if (c.list)
            WriteList(c.list);
        std::string dir = m_Root + "\\" + c.installDir;
        RunResult r = Run([&](const wtest::MessageBoxInfo &) { return c.answer; }, nullptr, dir);
        ASSERT_TRUE(r.ended);
        std::vector<std::string> texts;
        for (const wtest::MessageBoxInfo &box : r.boxes)
            texts.push_back(box.text);
        EXPECT_EQ(texts, c.texts);
        std::string folder = dir;
        if (!folder.empty() && folder.back() != '\\')
            folder += '\\';
        std::string bytes;
        EXPECT_EQ(wtest::ReadWholeFile(folder + "a.txt", &bytes), c.installed);
        EXPECT_EQ(r.finished, c.installed ? 1 : 0);
        EXPECT_EQ(r.failed, c.installed ? 0 : 1);
        m_Page.finished = 0;
        m_Page.failed = 0;
    }
    EXPECT_FALSE(wtest::FileExists(m_Root + "\\target\\Appa.txt"));
}

TEST_F(EngineTest, StartRefusesFolderTextsThatDoNotFit)
{
    WriteList("1\na.txt\ta.txt\n");
    std::string longDir = "C:\\" + std::string(256, 'd');
    EXPECT_EQ(m_Manager.Start(m_Page.Window(), "Parvelo.txt", longDir.c_str()), 0);
    EXPECT_EQ(m_Manager.Start(m_Page.Window(), "Parvelo.txt", nullptr), 0);
    EXPECT_FALSE(m_Manager.IsWorkerRunning());
}

TEST_F(EngineTest, AbortIsPromptEverywhere)
{
    const std::string big(64 * 1024 * 1024, 'b');
    Put("big.bin", big);
    Put("a.txt", "a");
    Put("z.txt", "z");
    m_Server.AddFile("/stall.bin", Pattern(4000000, 3), CTestHttpServer::kStallBody);
    m_Server.AddFile("/stallheaders.bin", "x", CTestHttpServer::kNormal);
    struct Case {
        const char *name;
        std::string list;
        std::function<void(EngineTest *)> arm;
        std::vector<std::string> present;  // files that must be installed
        std::vector<std::string> absent;
    };
    std::string stallUrl = m_Server.Url("/stall.bin");
    std::string stallHeadersUrl = m_Server.Url("/stallheaders.bin");
    std::vector<Case> cases = {
        {"before the first entry", "2\na.txt\ta.txt\nz.txt\tz.txt\n",
         [](EngineTest *t) {
             // The folder question comes before any entry; abort while it is up.
             RemoveDirectoryA(t->m_Target.c_str());
         },
         {}, {"a.txt", "z.txt"}},
        {"during a copy", "3\na.txt\ta.txt\nbig.bin\tbig.bin\nz.txt\tz.txt\n",
         [](EngineTest *t) {
             t->m_Page.onPosition = [t](int pos) {
                 if (pos > 0 && !t->m_AbortTick)
                     t->AbortNow();
             };
         },
         {"a.txt"}, {"big.bin", "z.txt"}},
        {"during a download", "3\na.txt\ta.txt\n" + stallUrl + "\tstall.bin\nz.txt\tz.txt\n",
         [](EngineTest *t) {
             t->m_Page.onDest = [t](const std::string &dest) {
                 if (dest.find("stall.bin") != std::string::npos && !t->m_AbortTick) {
                     std::thread([t] {
                         Sleep(500);
                         t->AbortNow();
                     }).detach();
                 }
             };
         },
         {"a.txt"}, {"stall.bin", "z.txt"}},
        {"during a size query", "2\na.txt\ta.txt\n" + stallHeadersUrl + "\tslow.bin\n",
         [](EngineTest *t) {
             t->m_Server.AddFile("/stallheaders.bin", "x", CTestHttpServer::kStallHeaders);
             std::thread([t] {
                 Sleep(500);
                 t->AbortNow();
             }).detach();
         },
         {}, {"a.txt", "slow.bin"}},
        {"after the last entry", "2\na.txt\ta.txt\nbig.bin\tbig.bin\n",
         [](EngineTest *t) {
             t->m_Page.onPosition = [t](int pos) {
                 if (pos == 100 && !t->m_AbortTick)
                     t->AbortNow();
             };
         },
         {"a.txt"}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        wtest::RemoveTree(m_Target);
        CreateDirectoryA(m_Target.c_str(), nullptr);
        m_AbortTick = 0;
        m_Page.onPosition = nullptr;
        m_Page.onDest = nullptr;
        WriteList(c.list);
        c.arm(this);
        RunResult r = Run([this](const wtest::MessageBoxInfo &box) {
            if (box.text == "指定されたフォルダ名が存在しません。作成しますか？")
                AbortNow();
            return IDOK;
        });
        ASSERT_TRUE(r.ended) << "the worker did not end after Abort";
        EXPECT_NE(m_AbortTick.load(), 0u);
        EXPECT_EQ(r.finished, 0);
        EXPECT_EQ(r.failed, 0);
        for (const std::string &name : c.present)
            EXPECT_TRUE(wtest::FileExists(m_Target + name)) << name;
        for (const std::string &name : c.absent)
            EXPECT_FALSE(wtest::FileExists(m_Target + name)) << name;
        if (wtest::FolderExists(m_Target)) {
            EXPECT_TRUE(Leftovers().empty());
        }
        m_Page.onPosition = nullptr;
        m_Page.onDest = nullptr;
    }
}
