// Helpers for the maker's tests under Wine: source trees on disk, and the
// real ParveloMaker.exe started in a build folder and driven through its
// dialog's windows.
#ifndef PARVELO_TESTS_SUPPORT_MAKERRIG_H
#define PARVELO_TESTS_SUPPORT_MAKERRIG_H

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/WineTestUtil.h"

namespace makertest {

// One item of a tree: a path relative to the tree's root; a path ending
// with a backslash is a folder, anything else a file with these bytes.
struct TreeItem {
    std::string path;
    std::string bytes;
};

// The folders that hold a relative path, outermost first ("a\\b\\c" gives
// "a" and "a\\b"); separators are found at character boundaries only.
std::vector<std::string> ParentFolders(const std::string &path);
// Creates root and every item below it (parent folders first as needed).
bool BuildTree(const std::string &root, const std::vector<TreeItem> &items);
// The bytes of an Internet shortcut to address.
std::string Shortcut(const std::string &address);
// A tree of the kinds authors have: nested and empty folders, Japanese
// names, a 0-byte file, more than 100 items and shortcuts (good and bad).
std::vector<TreeItem> TypicalTree(const std::string &goodAddress);

// What a click led to: handled without a box, or a message box that is up.
struct ClickResult {
    bool handled = false;
    bool boxShown = false;
    wtest::MessageBoxInfo box;
};

class MakerProcess {
public:
    MakerProcess() = default;
    ~MakerProcess();
    MakerProcess(const MakerProcess &) = delete;
    MakerProcess &operator=(const MakerProcess &) = delete;

    // Starts the maker with folder as its current folder and waits for its
    // dialog. False when it does not come up.
    bool Start(const std::string &folder);
    HWND Dialog() const { return m_hDialog; }
    DWORD ProcessId() const { return m_Info.dwProcessId; }

    std::string Text(int id) const;
    bool SetText(int id, const std::string &text) const;
    // The list box lines in the order it shows them.
    std::vector<std::string> ListLines() const;
    // Clicks a button and waits until the click was handled or a message
    // box came up for it (failing after a minute).
    ClickResult Click(int id) const;
    // Presses a button whose handler opens a window of its own (the
    // open-file box); returns that window (with title) or null.
    HWND ClickForWindow(int id, const char *title) const;
    // Waits until the click given to ClickForWindow has been handled.
    bool WaitHandled() const;
    // Closes the dialog; true with the exit code when the process ended.
    bool Close(DWORD *exitCode);

private:
    PROCESS_INFORMATION m_Info = {};
    HWND m_hDialog = nullptr;
    mutable HANDLE m_hPendingClick = nullptr;
};

// The icon a message box shows, as its own process knows it (handles of
// another process's icons cannot be compared with this one's).
HICON BoxIcon(HWND box);

// Windows path of the maker under test.
std::string MakerExePath();

}  // namespace makertest

#endif
