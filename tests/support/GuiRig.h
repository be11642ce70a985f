// Drives a GUI program from the outside, as a person would: starts it in a
// given current folder, finds its visible top-level windows by the controls
// they hold, reads control texts, clicks buttons, moves windows, answers
// message boxes and the shell's folder browser, takes screenshots and reads
// their pixels. Every wait has a time-out, and a program that does not end
// in time is killed, so a hung program fails its test without hanging the
// suite. Program-neutral: nothing here knows which program it drives.
#ifndef PARVELO_TESTS_SUPPORT_GUIRIG_H
#define PARVELO_TESTS_SUPPORT_GUIRIG_H

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/WineTestUtil.h"

namespace guirig {

// Polls condition every pollMs until it holds or timeoutMs has passed.
bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs, DWORD pollMs = 50);

// A screen capture, top row first, as 0x00RRGGBB.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

bool CaptureScreen(Screenshot *shot);
// Writes a 24-bit BMP file.
bool SaveBmp(const Screenshot &shot, const std::string &path);

class CGuiRig {
public:
    CGuiRig();
    // Kills the program if it still runs.
    ~CGuiRig();
    CGuiRig(const CGuiRig &) = delete;
    CGuiRig &operator=(const CGuiRig &) = delete;

    // Starts program (with arguments, may be empty) in currentFolder.
    bool Start(const std::string &program, const std::string &arguments, const std::string &currentFolder);
    DWORD ProcessId() const { return m_nProcessId; }
    bool IsRunning() const;
    // Waits for the program to end; kills it after timeoutMs. True when it
    // ended by itself, with its exit code.
    bool WaitForExit(DWORD timeoutMs, DWORD *exitCode);
    void Kill();

    // Visible top-level windows of the program.
    std::vector<HWND> VisibleWindows() const;
    // Every top-level window of the program, hidden ones included.
    std::vector<HWND> AllWindows() const;
    // The one visible top-level window that matches (null when none or more
    // than one does).
    HWND FindWindowMatching(const std::function<bool(HWND)> &matches) const;
    HWND WaitForWindowMatching(const std::function<bool(HWND)> &matches, DWORD timeoutMs) const;
    static bool HasControls(HWND window, std::initializer_list<int> ids);
    // True when a child of window shows exactly text.
    static bool HasChildText(HWND window, const std::string &text);
    // The visible top-level window that holds a child control of each id
    // (null when none or more than one does).
    HWND FindWindowWithControls(std::initializer_list<int> ids) const;
    HWND WaitForWindowWithControls(std::initializer_list<int> ids, DWORD timeoutMs) const;

    std::vector<wtest::MessageBoxInfo> MessageBoxes() const;
    bool WaitForMessageBox(wtest::MessageBoxInfo *box, DWORD timeoutMs) const;
    // Whether a message box shows an icon. Which icon cannot be told from
    // another process: the shared icon handles are the program's own.
    static bool BoxHasIcon(HWND box);
    // The shell's folder browser: a visible dialog with a tree view.
    HWND WaitForFolderBrowser(DWORD timeoutMs) const;
    // Selects the item of the browser's tree reached through the given
    // display names from the tree's root (the root itself not included).
    bool SelectInFolderBrowser(HWND browser, const std::vector<std::string> &names) const;

    // Text of a window or of one of its controls, read with WM_GETTEXT.
    static std::string Text(HWND window);
    static std::string ControlText(HWND window, int id);
    static void SetControlText(HWND window, int id, const std::string &text);
    // Posts a button click, so that a modal box it opens cannot block us.
    static void Click(HWND window, int id);
    static void Close(HWND window);
    static bool Move(HWND window, int x, int y);
    static RECT WindowRect(HWND window);
    static RECT ControlRect(HWND window, int id);

private:
    // Reads the text of a tree item through memory in the program.
    std::string TreeItemText(HWND tree, HTREEITEM item) const;

    PROCESS_INFORMATION m_Process;
    DWORD m_nProcessId;
};

}  // namespace guirig

#endif
