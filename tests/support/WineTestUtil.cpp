#include "tests/support/WineTestUtil.h"

#include <algorithm>
#include <cstdio>

namespace wtest {

std::string MakeTempDir(const char *prefix)
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    static LONG counter = 0;
    for (;;) {
        char path[MAX_PATH];
        std::snprintf(path, sizeof path, "%s%s%lu_%ld", base, prefix, GetCurrentProcessId(),
                      InterlockedIncrement(&counter));
        if (CreateDirectoryA(path, nullptr))
            return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
    }
}

void RemoveTree(const std::string &path)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

bool WriteWholeFile(const std::string &path, const std::string &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool ReadWholeFile(const std::string &path, std::string *bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0)
        bytes->append(buffer, got);
    CloseHandle(file);
    return ok;
}

bool FileExists(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

void ListInto(const std::string &root, const std::string &relative, std::vector<std::string> *out)
{
    WIN32_FIND_DATAA data;
    std::string folder = relative.empty() ? root : root + "\\" + relative;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string child = relative.empty() ? name : relative + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out->push_back(child + "\\");
            ListInto(root, child, out);
        } else {
            out->push_back(child);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

struct WindowContext {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> *windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data)
{
    WindowContext *context = reinterpret_cast<WindowContext *>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == context->processId && (!context->visibleOnly || IsWindowVisible(window)))
        context->windows->push_back(window);
    return TRUE;
}

// The box's caption, text and icon; false when hwnd is no message box.
bool ReadMessageBox(HWND hwnd, MessageBoxInfo *out)
{
    char className[64] = {};
    GetClassNameA(hwnd, className, sizeof className);
    HWND textControl = GetDlgItem(hwnd, 0xFFFF);
    if (std::string(className) != "#32770" || !textControl)
        return false;
    MessageBoxInfo info;
    info.hwnd = hwnd;
    info.owner = GetWindow(hwnd, GW_OWNER);
    char buffer[8192] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    info.caption = buffer;
    buffer[0] = '\0';
    GetWindowTextA(textControl, buffer, sizeof buffer);
    info.text = buffer;
    // The icon is the static control with SS_ICON among the box's children.
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            continue;
        HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        if (icon && icon == LoadIconA(nullptr, IDI_HAND))
            info.icon = MB_ICONERROR;
        else if (icon && icon == LoadIconA(nullptr, IDI_EXCLAMATION))
            info.icon = MB_ICONWARNING;
        else if (icon && icon == LoadIconA(nullptr, IDI_QUESTION))
            info.icon = MB_ICONQUESTION;
        else if (icon && icon == LoadIconA(nullptr, IDI_ASTERISK))
            info.icon = MB_ICONINFORMATION;
    }
    *out = info;
    return true;
}

}  // namespace

std::vector<std::string> ListTree(const std::string &root)
{
    std::vector<std::string> out;
    ListInto(root, "", &out);
    std::sort(out.begin(), out.end());
    return out;
}

void CopyTree(const std::string &from, const std::string &to)
{
    CreateDirectoryA(to.c_str(), nullptr);
    for (const std::string &item : ListTree(from)) {
        if (item.back() == '\\')
            CreateDirectoryA((to + "\\" + item).c_str(), nullptr);
        else
            CopyFileA((from + "\\" + item).c_str(), (to + "\\" + item).c_str(), FALSE);
    }
}

std::string HostToWindowsPath(const std::string &path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string out = "Z:" + path;
    for (char &c : out)
        if (c == '/')
            c = '\\';
    return out;
}

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly)
{
    std::vector<HWND> windows;
    WindowContext context = {processId, visibleOnly, &windows};
    if (processId)
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&context));
    return windows;
}

std::vector<MessageBoxInfo> FindMessageBoxes(DWORD processId)
{
    std::vector<MessageBoxInfo> boxes;
    MessageBoxInfo info;
    for (HWND window : TopLevelWindows(processId ? processId : GetCurrentProcessId(), true))
        if (ReadMessageBox(window, &info))
            boxes.push_back(info);
    return boxes;
}

bool WaitForMessageBox(MessageBoxInfo *info, DWORD timeoutMs, DWORD processId)
{
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<MessageBoxInfo> boxes = FindMessageBoxes(processId);
        if (!boxes.empty()) {
            *info = boxes.front();
            return true;
        }
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}

void AnswerMessageBox(HWND box, int buttonId)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
}

}  // namespace wtest
