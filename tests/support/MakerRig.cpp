#include "tests/support/MakerRig.h"

#include <cstring>

#include "common/Text.h"

namespace makertest {

namespace {

const DWORD kWaitMs = 60000;
const DWORD kMessageMs = 30000;

struct FindDialog {
    DWORD processId;
    const char *title;
    HWND found;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    FindDialog *find = reinterpret_cast<FindDialog *>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid != find->processId || !IsWindowVisible(hWnd))
        return TRUE;
    char title[256] = {};
    GetWindowTextA(hWnd, title, sizeof title);
    if (std::strcmp(title, find->title) != 0)
        return TRUE;
    find->found = hWnd;
    return FALSE;
}

HWND WaitForWindow(DWORD processId, const char *title, HANDLE process)
{
    DWORD start = GetTickCount();
    for (;;) {
        FindDialog find = {processId, title, nullptr};
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&find));
        if (find.found)
            return find.found;
        if (GetTickCount() - start >= kWaitMs ||
            (process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0))
            return nullptr;
        Sleep(20);
    }
}

struct ClickRequest {
    HWND dialog;
    int id;
};

DWORD WINAPI SendClick(LPVOID parameter)
{
    ClickRequest *request = static_cast<ClickRequest *>(parameter);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(request->dialog, WM_COMMAND, MAKEWPARAM(request->id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(request->dialog, request->id)), SMTO_NORMAL,
                        10 * kWaitMs, &result);
    delete request;
    return 0;
}

}  // namespace

std::vector<std::string> ParentFolders(const std::string &path)
{
    std::vector<std::string> folders;
    for (size_t i = 0; i < path.size(); ++i) {
        if (ptext::IsLeadByte(static_cast<unsigned char>(path[i])))
            ++i;
        else if (path[i] == '\\' && i > 0)
            folders.push_back(path.substr(0, i));
    }
    return folders;
}

bool BuildTree(const std::string &root, const std::vector<TreeItem> &items)
{
    CreateDirectoryA(root.c_str(), nullptr);
    for (const TreeItem &item : items) {
        std::string path = root + "\\" + item.path;
        for (const std::string &folder : ParentFolders(item.path))
            CreateDirectoryA((root + "\\" + folder).c_str(), nullptr);
        if (!item.path.empty() && item.path.back() == '\\') {
            if (!wtest::FolderExists(path.substr(0, path.size() - 1)))
                return false;
        } else if (!wtest::WriteWholeFile(path, item.bytes)) {
            return false;
        }
    }
    return true;
}

std::string Shortcut(const std::string &address)
{
    return "[InternetShortcut]\r\nURL=" + address + "\r\n";
}

std::vector<TreeItem> TypicalTree(const std::string &goodAddress)
{
    std::vector<TreeItem> items = {
        {"a.txt", "alpha\r\n"},
        {"bin\\x.exe", std::string("MZ\0\x01", 4)},
        {"bin\\表\\ソ能.dat", "表ソ能"},
        {"bin\\表\\empty.bin", ""},
        {"空\\", ""},
        {"docs\\readme 1.txt", "read me"},
        {"Link.URL", Shortcut(goodAddress)},
        {"tools\\dl.url", Shortcut(goodAddress)},
        {"tools\\noaddr.url", "[Other]\r\nURL=http://h/x.zip\r\n"},
        {"tools\\x.url.txt", Shortcut("http://h/not-a-shortcut.zip")},
        {"folder.url\\inner.txt", "inside"},
        {"bad\\https.url", Shortcut("https://h/f.zip")},
        {"bad\\nofile.url", Shortcut("http://h/dl/")},
        {"bad\\port.url", Shortcut("http://h:99999/f.zip")},
    };
    for (int i = 0; i < 110; ++i)
        items.push_back({"many\\f" + std::to_string(i) + ".txt", std::to_string(i)});
    return items;
}

std::string MakerExePath()
{
    return wtest::HostToWindowsPath(PARVELO_MAKER_EXE);
}

MakerProcess::~MakerProcess()
{
    if (m_Info.hProcess) {
        if (WaitForSingleObject(m_Info.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(m_Info.hProcess, 1);
            WaitForSingleObject(m_Info.hProcess, kWaitMs);
        }
        CloseHandle(m_Info.hProcess);
        CloseHandle(m_Info.hThread);
    }
    if (m_hPendingClick) {
        WaitForSingleObject(m_hPendingClick, kWaitMs);
        CloseHandle(m_hPendingClick);
    }
}

bool MakerProcess::Start(const std::string &folder)
{
    std::string exe = MakerExePath();
    std::string command = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &m_Info))
        return false;
    m_hDialog = WaitForWindow(m_Info.dwProcessId, "ParveloMaker 1.01", m_Info.hProcess);
    return m_hDialog != nullptr;
}

std::string MakerProcess::Text(int id) const
{
    char text[2048] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(m_hDialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_NORMAL, kMessageMs, &result);
    return text;
}

bool MakerProcess::SetText(int id, const std::string &text) const
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(GetDlgItem(m_hDialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_NORMAL, kMessageMs, &result) &&
           result;
}

std::vector<std::string> MakerProcess::ListLines() const
{
    HWND list = GetDlgItem(m_hDialog, 1013);
    DWORD_PTR count = 0;
    std::vector<std::string> lines;
    if (!SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kMessageMs, &count))
        return lines;
    for (int i = 0; i < static_cast<int>(count); ++i) {
        // Another process's list box text comes back as UTF-16 under Wine
        // whatever the caller's character set; ask for it so and convert.
        wchar_t wide[1024] = {};
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide), SMTO_NORMAL, kMessageMs,
                            &length);
        char line[2048] = {};
        WideCharToMultiByte(932, 0, wide, -1, line, sizeof line, nullptr, nullptr);
        lines.push_back(line);
    }
    return lines;
}

HICON BoxIcon(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            continue;
        DWORD_PTR icon = 0;
        SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_NORMAL, kMessageMs, &icon);
        return reinterpret_cast<HICON>(icon);
    }
    return nullptr;
}

ClickResult MakerProcess::Click(int id) const
{
    ClickResult outcome;
    if (m_hPendingClick)
        return outcome;
    DWORD threadId = 0;
    m_hPendingClick = CreateThread(nullptr, 0, SendClick, new ClickRequest{m_hDialog, id}, 0, &threadId);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kWaitMs) {
        if (WaitForSingleObject(m_hPendingClick, 20) == WAIT_OBJECT_0) {
            CloseHandle(m_hPendingClick);
            m_hPendingClick = nullptr;
            outcome.handled = true;
            return outcome;
        }
        std::vector<wtest::MessageBoxInfo> boxes = wtest::FindMessageBoxes(m_Info.dwProcessId);
        if (!boxes.empty()) {
            outcome.boxShown = true;
            outcome.box = boxes.front();
            return outcome;
        }
    }
    return outcome;
}

HWND MakerProcess::ClickForWindow(int id, const char *title) const
{
    if (m_hPendingClick)
        return nullptr;
    DWORD threadId = 0;
    m_hPendingClick = CreateThread(nullptr, 0, SendClick, new ClickRequest{m_hDialog, id}, 0, &threadId);
    return WaitForWindow(m_Info.dwProcessId, title, m_Info.hProcess);
}

bool MakerProcess::WaitHandled() const
{
    if (!m_hPendingClick)
        return true;
    if (WaitForSingleObject(m_hPendingClick, kWaitMs) != WAIT_OBJECT_0)
        return false;
    CloseHandle(m_hPendingClick);
    m_hPendingClick = nullptr;
    return true;
}

bool MakerProcess::Close(DWORD *exitCode)
{
    PostMessageA(m_hDialog, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(m_Info.hProcess, kWaitMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(m_Info.hProcess, exitCode) != 0;
}

}  // namespace makertest
