// The shell's folder browser, as the folder page's "変更..." opens it.
#ifndef PARVELO_INSTALLER_WIZARD_FOLDERBROWSER_H
#define PARVELO_INSTALLER_WIZARD_FOLDERBROWSER_H

#include <windows.h>

// Lets the user choose a folder. 1 when one was chosen: output (at least
// 260 bytes) then holds its path with one closing backslash. 0 leaves
// output as it was.
int BrowseForFolder(HWND owner, char *output);

// The browser's callback: refuses a typed name that is no folder.
int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data);

#endif
