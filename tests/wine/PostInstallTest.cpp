#include "installer/core/PostInstall.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "common/PackageFiles.h"
#include "common/Text.h"
#include "tests/support/WineTestUtil.h"

namespace {

const char kQuestion[] = "をインストールします。よろしいですか？";
const char kFailureText[] = "プログラムの起動、またはインストールに失敗しました。";
// Ample for Wine to bring up msiexec; a runner stuck on a program or a box
// ends the test program instead of hanging the suite.
const DWORD kRunTimeoutMs = 120000;
const DWORD kBoxCloseTimeoutMs = 10000;

std::string Repeat(const std::string &text, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

std::string ConfirmEvent(const std::string &name)
{
    return "box 確認 | " + name + kQuestion + " | icon 0 | OK Cancel";
}

std::string FailureEvent()
{
    return std::string("box 確認 | ") + kFailureText + " | icon 16 | OK";
}

std::string BoxEvent(const wtest::MessageBoxInfo &box)
{
    static const struct {
        int id;
        const char *name;
    } kButtons[] = {{IDOK, "OK"},       {IDCANCEL, "Cancel"}, {IDABORT, "Abort"}, {IDRETRY, "Retry"},
                    {IDIGNORE, "Ignore"}, {IDYES, "Yes"},       {IDNO, "No"}};
    std::string event = "box " + box.caption + " | " + box.text + " | icon " + std::to_string(box.icon) + " |";
    for (const auto &button : kButtons) {
        HWND control = GetDlgItem(box.hwnd, button.id);
        if (control && IsWindowVisible(control))
            event += std::string(" ") + button.name;
    }
    return event;
}

// The lines that RecordProgram has written so far, as "start <command
// line>" and "end <command line>"; a line still being written is left out.
std::vector<std::string> ReadRecords(const std::string &path)
{
    std::vector<std::string> records;
    std::string bytes;
    if (!wtest::ReadWholeFile(path, &bytes))
        return records;
    size_t pos = 0;
    for (size_t end; (end = bytes.find('\n', pos)) != std::string::npos; pos = end + 1) {
        std::string line = bytes.substr(pos, end - pos);
        size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            ADD_FAILURE() << "malformed record line: " << line;
            continue;
        }
        records.push_back(line.substr(0, tab) + " " + line.substr(tab + 1));
    }
    return records;
}

[[noreturn]] void GiveUp(const char *what)
{
    std::fprintf(stderr, "post-install runner hung: %s\n", what);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    std::abort();
}

struct RunnerContext {
    std::function<int(HWND)> call;
    bool withOwner;
    HWND owner;
    HANDLE ready;
    int result;
};

DWORD WINAPI RunnerThread(LPVOID param)
{
    RunnerContext *context = static_cast<RunnerContext *>(param);
    // The owner lives on the runner's thread, as the installer's windows do
    // on its GUI thread.
    if (context->withOwner)
        context->owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                         GetModuleHandleA(nullptr), nullptr);
    SetEvent(context->ready);
    context->result = context->call(context->owner);
    if (context->owner)
        DestroyWindow(context->owner);
    return 0;
}

struct RunResult {
    int result = -1;
    // Message boxes and RecordProgram's lines, in the order they happened.
    std::vector<std::string> events;
};

// Runs call on a thread of its own (it blocks in its message boxes) and
// answers each box through its window: confirmations with the next of
// confirmAnswers (Cancel when none is left), failures with OK. Every box
// must be owned by the owner window (or none without one).
RunResult RunAndAnswer(const std::string &recordPath, const std::vector<int> &confirmAnswers, bool withOwner,
                       std::function<int(HWND)> call)
{
    RunResult run;
    RunnerContext context = {call, withOwner, nullptr, CreateEventA(nullptr, TRUE, FALSE, nullptr), -1};
    HANDLE thread = CreateThread(nullptr, 0, RunnerThread, &context, 0, nullptr);
    if (!thread || WaitForSingleObject(context.ready, kRunTimeoutMs) != WAIT_OBJECT_0)
        GiveUp("the runner thread did not start");
    if (withOwner) {
        EXPECT_NE(context.owner, nullptr);
    }
    size_t recordsSeen = 0;
    auto takeRecords = [&]() {
        std::vector<std::string> records = ReadRecords(recordPath);
        for (; recordsSeen < records.size(); ++recordsSeen)
            run.events.push_back(records[recordsSeen]);
    };
    size_t nextAnswer = 0;
    DWORD start = GetTickCount();
    while (WaitForSingleObject(thread, 20) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > kRunTimeoutMs)
            GiveUp("neither ended nor showed a message box");
        std::vector<wtest::MessageBoxInfo> boxes = wtest::FindMessageBoxes();
        if (boxes.empty())
            continue;
        const wtest::MessageBoxInfo box = boxes.front();
        takeRecords();
        run.events.push_back(BoxEvent(box));
        EXPECT_EQ(box.owner, context.owner) << box.text;
        int answer = IDOK;
        size_t questionAt = box.text.size() - std::min(box.text.size(), sizeof kQuestion - 1);
        if (box.text.compare(questionAt, std::string::npos, kQuestion) == 0)
            answer = nextAnswer < confirmAnswers.size() ? confirmAnswers[nextAnswer++] : IDCANCEL;
        wtest::AnswerMessageBox(box.hwnd, answer);
        DWORD asked = GetTickCount();
        while (IsWindow(box.hwnd) && IsWindowVisible(box.hwnd)) {
            if (GetTickCount() - asked > kBoxCloseTimeoutMs)
                GiveUp("a message box did not close");
            Sleep(10);
        }
    }
    takeRecords();
    run.result = context.result;
    CloseHandle(thread);
    CloseHandle(context.ready);
    return run;
}

std::string ModuleFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    const char *separator = ptext::FindLastSeparator(path);
    return std::string(path, separator ? static_cast<size_t>(separator - path) : 0);
}

class PostInstallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char saved[MAX_PATH] = {};
        GetCurrentDirectoryA(sizeof saved, saved);
        saved_ = saved;
        // The distribution folder's own path holds double-byte characters
        // whose trail bytes are 0x5C.
        dir_ = wtest::MakeTempDir("表ソ能");
        ASSERT_FALSE(dir_.empty());
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
        char current[MAX_PATH] = {};
        GetCurrentDirectoryA(sizeof current, current);
        current_ = current;
        record_ = dir_ + "\\record.txt";
        SetEnvironmentVariableA("PARVELO_RECORD_FILE", record_.c_str());
        SetEnvironmentVariableA("PARVELO_RECORD_EXIT", nullptr);
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("PARVELO_RECORD_FILE", nullptr);
        SetEnvironmentVariableA("PARVELO_RECORD_EXIT", nullptr);
        SetCurrentDirectoryA(saved_.c_str());
        wtest::RemoveTree(dir_);
    }

    // A copy of RecordProgram at a path relative to the distribution folder.
    void PlaceProgram(const std::string &relative)
    {
        std::string source = ModuleFolder() + "\\RecordProgram.exe";
        ASSERT_TRUE(CopyFileA(source.c_str(), (dir_ + "\\" + relative).c_str(), FALSE)) << relative;
    }

    void WriteList(const std::string &text)
    {
        ASSERT_TRUE(wtest::WriteWholeFile(dir_ + "\\ParveloAfter.txt", text));
    }

    // The command line with which a program of the distribution folder runs.
    std::string Started(const std::string &relative) const { return "\"" + current_ + "\\" + relative + "\""; }

    void ExpectRan(std::vector<std::string> *events, const std::string &commandLine) const
    {
        events->push_back("start " + commandLine);
        events->push_back("end " + commandLine);
    }

    std::string saved_;
    std::string dir_;
    std::string current_;
    std::string record_;
};

// Every line form, skipped or run, in one list over one distribution folder.
TEST_F(PostInstallTest, LineFormsRunOneAfterTheOther)
{
    enum Outcome { kSkipped, kRan, kDeclined, kFailed };
    struct LineCase {
        std::string line;
        Outcome outcome;
        std::string shownName;  // in the confirmation
        std::string program;    // started, relative to the distribution folder
    };
    const std::vector<LineCase> cases = {
        {"表ソ能\\Rec1.exe\tMy App\n", kRan, "My App", "表ソ能\\Rec1.exe"},
        // The extension matches without regard to case, after a 表 and a ソ.
        {"表ソ能\\ソ能.EXE\t表示名\n", kRan, "表示名", "表ソ能\\ソ能.EXE"},
        // CR LF ends a line like LF; neither shows in the question.
        {"表ソ能\\Rec2.exe\t能力 CRLF\r\n", kRan, "能力 CRLF", "表ソ能\\Rec2.exe"},
        // Leading tabs and runs of tabs are one separator; a third field is ignored.
        {"\t\t表ソ能\\Rec3.eXe\t\tソフト\tthird field\n", kRan, "ソフト", "表ソ能\\Rec3.eXe"},
        {"表ソ能\\Rec4.exe\tDeclined\n", kDeclined, "Declined", ""},
        {"表ソ能\\Rec5.exe\tAsked after a decline\n", kRan, "Asked after a decline", "表ソ能\\Rec5.exe"},
        // A bare name is the file in the distribution folder...
        {"Rec6.exe\tBare name\n", kRan, "Bare name", "Rec6.exe"},
        // ...and never one found elsewhere, such as beside the running program.
        {"RecordProgram.exe\tOnly beside the runner\n", kFailed, "Only beside the runner", ""},
        {"表ソ能\\missing.exe\tMissing\n", kFailed, "Missing", ""},
        // msiexec fails on a file that is no package; the msiexec.exe in the
        // distribution folder is never the one started.
        {"表ソ能\\壊れた pkg.Msi\tBroken package\n", kFailed, "Broken package", ""},
        {"表ソ能\\readme.txt\tRead me\n", kSkipped, "", ""},
        {"表ソ能\\Rec1.exe\n", kSkipped, "", ""},
        {"表ソ能\\Rec1.exe /q\tQuiet\n", kSkipped, "", ""},
        {"表ソ能\\Rec1.exe -q\tQuiet\n", kSkipped, "", ""},
        {"表ソ能\\Rec1\tNo extension\n", kSkipped, "", ""},
        {Repeat("表", 128) + "\\Rec1.exe\tFolder part of 257 bytes\n", kSkipped, "", ""},
        // A name too long for the question is cut at a character boundary.
        {"表ソ能\\Rec7.exe\tab" + Repeat("表", 150) + "\n", kRan, "ab" + Repeat("表", 109), "表ソ能\\Rec7.exe"},
        // A line longer than one read is parsed piece by piece: the first
        // piece is 2046 tabs, the second starts with the lead byte of 表.
        {std::string(2046, '\t') + "表ソ能\\Rec8.exe\tSecond piece\n", kRan, "Second piece", "表ソ能\\Rec8.exe"},
    };

    ASSERT_TRUE(CreateDirectoryA((dir_ + "\\表ソ能").c_str(), nullptr));
    for (const char *name : {"Rec1.exe", "ソ能.EXE", "Rec2.exe", "Rec3.eXe", "Rec4.exe", "Rec5.exe", "Rec7.exe",
                             "Rec8.exe", "Rec1"})
        PlaceProgram(std::string("表ソ能\\") + name);
    PlaceProgram("Rec6.exe");
    PlaceProgram("msiexec.exe");
    ASSERT_TRUE(wtest::WriteWholeFile(dir_ + "\\表ソ能\\壊れた pkg.Msi", "not a Windows Installer package\n"));
    ASSERT_TRUE(wtest::WriteWholeFile(dir_ + "\\表ソ能\\readme.txt", "read me\n"));
    // An .exe's exit code is not judged, even one that reads as a failure.
    SetEnvironmentVariableA("PARVELO_RECORD_EXIT", "1603");

    std::string list;
    std::vector<int> answers;
    std::vector<std::string> expected;
    for (const LineCase &c : cases) {
        list += c.line;
        if (c.outcome == kSkipped)
            continue;
        answers.push_back(c.outcome == kDeclined ? IDCANCEL : IDOK);
        expected.push_back(ConfirmEvent(c.shownName));
        if (c.outcome == kRan)
            ExpectRan(&expected, Started(c.program));
        else if (c.outcome == kFailed)
            expected.push_back(FailureEvent());
    }
    WriteList(list);

    RunResult run = RunAndAnswer(record_, answers, true, [](HWND owner) {
        return RunPostInstallList(owner, kPostInstallListPath, 1);
    });
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.events, expected);
}

// Without confirmations nothing is asked, and still each program starts only
// after the previous one has ended.
TEST_F(PostInstallTest, WithoutConfirmationEachStartsAfterThePreviousEnded)
{
    ASSERT_TRUE(CreateDirectoryA((dir_ + "\\表ソ能").c_str(), nullptr));
    const char *programs[] = {"表ソ能\\First.exe", "表ソ能\\Second.exe", "表ソ能\\Third.exe"};
    std::string list;
    std::vector<std::string> expected;
    for (const char *program : programs) {
        PlaceProgram(program);
        list += std::string(program) + "\tName\n";
        ExpectRan(&expected, Started(program));
    }
    WriteList(list);

    RunResult run = RunAndAnswer(record_, {}, false, [](HWND owner) {
        return RunPostInstallList(owner, kPostInstallListPath, 0);
    });
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.events, expected);
}

// Windows Installer's exit codes: success, success needing a restart and the
// user's cancel pass; any other is reported. Other programs' codes never are.
TEST_F(PostInstallTest, InstallerExitCodesThatMeanFailureAreReported)
{
    const struct {
        const char *exitCode;
        int installerResult;
        bool reported;
    } cases[] = {
        {"0", 1, false},    {"3010", 1, false}, {"1641", 1, false}, {"1602", 1, false},
        {"1603", 1, true},  {"1", 1, true},     {"1603", 0, false},
    };
    PlaceProgram("Rec.exe");
    const std::string command = Started("Rec.exe");
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string("exit code ") + c.exitCode + (c.installerResult ? " from msiexec" : ""));
        DeleteFileA(record_.c_str());
        SetEnvironmentVariableA("PARVELO_RECORD_EXIT", c.exitCode);
        std::vector<std::string> expected;
        ExpectRan(&expected, command);
        if (c.reported)
            expected.push_back(FailureEvent());

        int installerResult = c.installerResult;
        RunResult run = RunAndAnswer(record_, {}, true, [&](HWND owner) {
            return RunPostInstallProgram(owner, command.c_str(), "Rec", 0, installerResult);
        });
        EXPECT_EQ(run.result, 1);
        EXPECT_EQ(run.events, expected);
    }
}

TEST_F(PostInstallTest, MissingListRunsNothingAndShowsNothing)
{
    PlaceProgram("Rec.exe");
    RunResult run = RunAndAnswer(record_, {}, false, [](HWND owner) {
        return RunPostInstallList(owner, kPostInstallListPath, 1);
    });
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(run.events.empty());

    run = RunAndAnswer(record_, {}, false, [](HWND owner) { return RunPostInstallList(owner, nullptr, 1); });
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(run.events.empty());
}

}  // namespace
