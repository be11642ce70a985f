// Helpers for the tests that run under Wine: temporary folders, whole-file
// reads and writes, and finding, reading and answering message boxes
// through their windows.
#ifndef PARVELO_TESTS_SUPPORT_WINETESTUTIL_H
#define PARVELO_TESTS_SUPPORT_WINETESTUTIL_H

#include <windows.h>

#include <string>
#include <vector>

namespace wtest {

// A fresh empty folder under the temporary folder (no closing backslash).
std::string MakeTempDir(const char *prefix);
void RemoveTree(const std::string &path);
bool WriteWholeFile(const std::string &path, const std::string &bytes);
bool ReadWholeFile(const std::string &path, std::string *bytes);
bool FileExists(const std::string &path);
bool FolderExists(const std::string &path);
// Every file and folder below root, relative, sorted; folders end with '\\'.
std::vector<std::string> ListTree(const std::string &root);
// Copies every file and folder below from into to (made if missing).
void CopyTree(const std::string &from, const std::string &to);
// The Windows path under which Wine shows a host path ("/a/b" is
// "Z:\\a\\b"); any other path comes back unchanged.
std::string HostToWindowsPath(const std::string &path);

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    UINT icon = 0;  // MB_ICONERROR, MB_ICONWARNING, ... as far as it can be told
};

// Top-level windows of a process, all or only the visible ones.
std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly);

// Visible message boxes (dialogs of class "#32770" with a static text
// 0xFFFF) of the given process (0: this one).
std::vector<MessageBoxInfo> FindMessageBoxes(DWORD processId = 0);
// Waits up to timeoutMs for a message box to appear.
bool WaitForMessageBox(MessageBoxInfo *info, DWORD timeoutMs, DWORD processId = 0);
// Presses a button of a box (IDOK, IDCANCEL, ...) without blocking.
void AnswerMessageBox(HWND box, int buttonId);

}  // namespace wtest

#endif
