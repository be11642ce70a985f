// The maker's one dialog: application name, the five page bitmaps, the
// list of found entries, "reload" and "Create".
#ifndef PARVELO_MAKER_MAKERDLG_H
#define PARVELO_MAKER_MAKERDLG_H

#include <windows.h>

#include "maker/FileSerch.h"

// What the dialog works on; its address is the dialog's creation parameter.
struct MakerContext {
    usrs_class::CFileSerch *pFileList;
    // The searched folder: current folder, "InstallData", closing backslash.
    char szSourceFolder[260];
};

INT_PTR CALLBACK MakerDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// Lets the author choose an existing file. Returns 1 with its full path in
// buffer (size bytes, rest NUL-filled), 0 when cancelled; buffer is then
// left as it was.
int SelectOpenFile(HWND owner, const char *filter, const char *defaultExt, char *buffer, int size);

#endif
