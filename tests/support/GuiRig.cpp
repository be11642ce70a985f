#include "tests/support/GuiRig.h"

#include <commctrl.h>

#include <cstring>

namespace guirig {

namespace {

const DWORD kMessageTimeout = 5000;

bool IsClass(HWND window, const char *name)
{
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, name) == 0;
}

// Without a window manager Wine waits two seconds for every managed window
// it hides to be withdrawn, which the programs under test do on each page
// change. Unmanaged windows are hidden at once; the setting is read when a
// program starts.
void UseUnmanagedWindowsUnderWine()
{
    if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        return;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE *>("N"), 2);
    RegCloseKey(key);
}

}  // namespace

bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs, DWORD pollMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(pollMs);
    }
}

bool CaptureScreen(Screenshot *shot)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = memory && bitmap;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(memory, old);
    }
    if (ok) {
        shot->width = width;
        shot->height = height;
        const uint32_t *pixels = static_cast<const uint32_t *>(bits);
        shot->pixels.assign(pixels, pixels + static_cast<size_t>(width) * height);
        for (uint32_t &p : shot->pixels)
            p &= 0xFFFFFF;
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool SaveBmp(const Screenshot &shot, const std::string &path)
{
    size_t rowSize = (static_cast<size_t>(shot.width) * 3 + 3) & ~static_cast<size_t>(3);
    size_t imageSize = rowSize * shot.height;
    BITMAPFILEHEADER file;
    std::memset(&file, 0, sizeof file);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + imageSize);
    BITMAPINFOHEADER header;
    std::memset(&header, 0, sizeof header);
    header.biSize = sizeof header;
    header.biWidth = shot.width;
    header.biHeight = shot.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = static_cast<DWORD>(imageSize);
    std::string bytes(reinterpret_cast<const char *>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char *>(&header), sizeof header);
    std::string row(rowSize, '\0');
    for (int y = shot.height - 1; y >= 0; --y) {
        for (int x = 0; x < shot.width; ++x) {
            uint32_t p = shot.At(x, y);
            row[x * 3] = static_cast<char>(p & 0xFF);
            row[x * 3 + 1] = static_cast<char>((p >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((p >> 16) & 0xFF);
        }
        bytes += row;
    }
    return wtest::WriteWholeFile(path, bytes);
}

CGuiRig::CGuiRig() : m_nProcessId(0)
{
    std::memset(&m_Process, 0, sizeof m_Process);
}

CGuiRig::~CGuiRig()
{
    Kill();
    if (m_Process.hProcess)
        CloseHandle(m_Process.hProcess);
}

bool CGuiRig::Start(const std::string &program, const std::string &arguments, const std::string &currentFolder)
{
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    UseUnmanagedWindowsUnderWine();
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, currentFolder.c_str(),
                        &startup, &m_Process))
        return false;
    CloseHandle(m_Process.hThread);
    m_Process.hThread = nullptr;
    m_nProcessId = m_Process.dwProcessId;
    return true;
}

bool CGuiRig::IsRunning() const
{
    return m_Process.hProcess && WaitForSingleObject(m_Process.hProcess, 0) == WAIT_TIMEOUT;
}

bool CGuiRig::WaitForExit(DWORD timeoutMs, DWORD *exitCode)
{
    if (!m_Process.hProcess)
        return false;
    if (WaitForSingleObject(m_Process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        Kill();
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(m_Process.hProcess, &code);
    if (exitCode)
        *exitCode = code;
    return true;
}

void CGuiRig::Kill()
{
    if (!IsRunning())
        return;
    TerminateProcess(m_Process.hProcess, 1);
    WaitForSingleObject(m_Process.hProcess, 10000);
}

std::vector<HWND> CGuiRig::VisibleWindows() const
{
    return wtest::TopLevelWindows(m_nProcessId, true);
}

std::vector<HWND> CGuiRig::AllWindows() const
{
    return wtest::TopLevelWindows(m_nProcessId, false);
}

HWND CGuiRig::FindWindowMatching(const std::function<bool(HWND)> &matches) const
{
    HWND found = nullptr;
    for (HWND window : VisibleWindows()) {
        if (!matches(window))
            continue;
        if (found)
            return nullptr;
        found = window;
    }
    return found;
}

HWND CGuiRig::WaitForWindowMatching(const std::function<bool(HWND)> &matches, DWORD timeoutMs) const
{
    HWND found = nullptr;
    WaitUntil([&]() { return (found = FindWindowMatching(matches)) != nullptr; }, timeoutMs);
    return found;
}

bool CGuiRig::HasControls(HWND window, std::initializer_list<int> ids)
{
    for (int id : ids)
        if (!GetDlgItem(window, id))
            return false;
    return true;
}

namespace {

struct ChildTextSearch {
    const std::string *text;
    bool found;
};

BOOL CALLBACK MatchChildText(HWND child, LPARAM data)
{
    ChildTextSearch *search = reinterpret_cast<ChildTextSearch *>(data);
    if (CGuiRig::Text(child) == *search->text) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool CGuiRig::HasChildText(HWND window, const std::string &text)
{
    ChildTextSearch search = {&text, false};
    EnumChildWindows(window, MatchChildText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND CGuiRig::FindWindowWithControls(std::initializer_list<int> ids) const
{
    return FindWindowMatching([ids](HWND window) { return HasControls(window, ids); });
}

HWND CGuiRig::WaitForWindowWithControls(std::initializer_list<int> ids, DWORD timeoutMs) const
{
    return WaitForWindowMatching([ids](HWND window) { return HasControls(window, ids); }, timeoutMs);
}

std::vector<wtest::MessageBoxInfo> CGuiRig::MessageBoxes() const
{
    return m_nProcessId ? wtest::FindMessageBoxes(m_nProcessId) : std::vector<wtest::MessageBoxInfo>();
}

bool CGuiRig::WaitForMessageBox(wtest::MessageBoxInfo *box, DWORD timeoutMs) const
{
    return m_nProcessId && wtest::WaitForMessageBox(box, timeoutMs, m_nProcessId);
}

bool CGuiRig::BoxHasIcon(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON || !IsWindowVisible(child))
            continue;
        DWORD_PTR icon = 0;
        if (SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeout, &icon) && icon)
            return true;
    }
    return false;
}

HWND CGuiRig::WaitForFolderBrowser(DWORD timeoutMs) const
{
    HWND browser = nullptr;
    WaitUntil(
        [&]() {
            for (HWND window : VisibleWindows()) {
                if (IsClass(window, "#32770") && FindWindowExA(window, nullptr, WC_TREEVIEWA, nullptr)) {
                    browser = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return browser;
}

std::string CGuiRig::TreeItemText(HWND tree, HTREEITEM item) const
{
    HANDLE process = m_Process.hProcess;
    const size_t textSize = 520;
    char *remote = static_cast<char *>(
        VirtualAllocEx(process, nullptr, sizeof(TVITEMA) + textSize, MEM_COMMIT, PAGE_READWRITE));
    if (!remote)
        return std::string();
    TVITEMA query;
    std::memset(&query, 0, sizeof query);
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = remote + sizeof(TVITEMA);
    query.cchTextMax = static_cast<int>(textSize);
    std::string text;
    DWORD_PTR result = 0;
    if (WriteProcessMemory(process, remote, &query, sizeof query, nullptr) &&
        SendMessageTimeoutA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                            kMessageTimeout, &result) &&
        result) {
        char buffer[textSize + 1] = {};
        if (ReadProcessMemory(process, remote + sizeof(TVITEMA), buffer, textSize, nullptr))
            text = buffer;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text;
}

bool CGuiRig::SelectInFolderBrowser(HWND browser, const std::vector<std::string> &names) const
{
    HWND tree = FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr);
    if (!tree)
        return false;
    HTREEITEM item = TreeView_GetRoot(tree);
    for (const std::string &name : names) {
        if (!item)
            return false;
        TreeView_Expand(tree, item, TVE_EXPAND);
        HTREEITEM child = nullptr;
        // Children may be filled in a moment after the expansion.
        WaitUntil(
            [&]() {
                for (HTREEITEM c = TreeView_GetChild(tree, item); c; c = TreeView_GetNextSibling(tree, c)) {
                    if (TreeItemText(tree, c) == name) {
                        child = c;
                        return true;
                    }
                }
                return false;
            },
            kMessageTimeout);
        item = child;
    }
    return item && TreeView_SelectItem(tree, item);
}

std::string CGuiRig::Text(HWND window)
{
    char buffer[4096] = {};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             kMessageTimeout, &result))
        return std::string();
    return std::string(buffer, result < sizeof buffer ? result : sizeof buffer - 1);
}

std::string CGuiRig::ControlText(HWND window, int id)
{
    HWND control = GetDlgItem(window, id);
    return control ? Text(control) : std::string();
}

void CGuiRig::SetControlText(HWND window, int id, const std::string &text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, kMessageTimeout, &result);
}

void CGuiRig::Click(HWND window, int id)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

void CGuiRig::Close(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
}

bool CGuiRig::Move(HWND window, int x, int y)
{
    RECT r = WindowRect(window);
    return SetWindowPos(window, nullptr, x, y, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE |
                                                                                      SWP_NOSIZE) != 0;
}

RECT CGuiRig::WindowRect(HWND window)
{
    RECT r = {0, 0, 0, 0};
    GetWindowRect(window, &r);
    return r;
}

RECT CGuiRig::ControlRect(HWND window, int id)
{
    return WindowRect(GetDlgItem(window, id));
}

}  // namespace guirig
