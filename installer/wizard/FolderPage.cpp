// Folder page: the installation folder, changed through the folder browser
// and checked on Install before the installation starts.
#include <windows.h>
#include <imagehlp.h>
#include <shlobj.h>


#include "common/Text.h"
#include "installer/res/Resource.h"
#include "installer/wizard/FolderBrowser.h"
#include "installer/wizard/Wizard.h"

namespace {

const size_t kFolderTextSize = 1024;
const char kCaptionInvalid[] = "入力値が不正です";
const char kAskCreateBefore[] = "指定されたフォルダ名(";
const char kAskCreateAfter[] = ")が存在しません。作成しますか？";

void SetDefaultFolder(HWND page)
{
    char programFiles[MAX_PATH] = {};
    char text[kFolderTextSize] = {};
    if (SHGetSpecialFolderPathA(page, programFiles, CSIDL_PROGRAM_FILES, FALSE))
        ptext::JoinText(text, sizeof text, programFiles, "\\");
    SetDlgItemTextA(page, IDC_INSTALL_FOLDER, text);
}

// The question for a missing folder; a long folder text is cut at a
// character boundary so that the whole question fits.
int AskCreateFolder(HWND page, const char *folder)
{
    char shown[kFolderTextSize - sizeof kAskCreateBefore - sizeof kAskCreateAfter + 2];
    ptext::CopyText(shown, sizeof shown, folder);
    char text[kFolderTextSize];
    ptext::JoinText(text, sizeof text, kAskCreateBefore, shown, kAskCreateAfter);
    return MessageBoxA(page, text, "確認", MB_OKCANCEL) == IDOK;
}

// 1 when folder exists as a folder, or was created with the user's consent.
int CheckFolder(HWND page, const char *folder)
{
    if (folder[0] == '\0') {
        MessageBoxA(page, "「インストール先」が未入力です。", kCaptionInvalid, MB_OK);
        return 0;
    }
    DWORD attributes = GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return AskCreateFolder(page, folder) && MakeSureDirectoryPathExists(folder);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        MessageBoxA(page, "指定されたフォルダ名はファイルです。フォルダを指定してください。", kCaptionInvalid, MB_OK);
        return 0;
    }
    return 1;
}

INT_PTR OnInitDialog(HWND page)
{
    InitPage(page);
    SetDefaultFolder(page);
    DrawPageImage(page, &g_FolderImage, kWideImageRect);
    return FALSE;
}

INT_PTR OnChange(HWND page)
{
    char folder[kFolderTextSize] = {};
    if (BrowseForFolder(page, folder))
        SetDlgItemTextA(page, IDC_INSTALL_FOLDER, folder);
    return TRUE;
}

INT_PTR OnInstall(HWND page)
{
    char folder[kFolderTextSize] = {};
    GetDlgItemTextA(page, IDC_INSTALL_FOLDER, folder, sizeof folder);
    if (g_hProgressPage)
        SetDlgItemTextA(g_hProgressPage, IDC_INSTALL_FOLDER, folder);
    if (!CheckFolder(page, folder))
        return TRUE;
    SwitchPage(page, g_hProgressPage);
    StartInstallation(g_hProgressPage, folder);
    return FALSE;
}

INT_PTR OnBack(HWND page)
{
    SwitchPage(page, g_hWelcomePage);
    return FALSE;
}

INT_PTR OnCancel(HWND page)
{
    SwitchPage(page, g_hInterruptedPage);
    return FALSE;
}

INT_PTR OnCommand(HWND page, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_FOLDER_CHANGE:
        return OnChange(page);
    case IDC_FOLDER_INSTALL:
        return OnInstall(page);
    case IDC_FOLDER_BACK:
        return OnBack(page);
    case IDC_FOLDER_CANCEL:
        return OnCancel(page);
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK FolderDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page);
    case WM_PAINT:
        DrawPageImage(page, &g_FolderImage, kWideImageRect);
        return FALSE;
    case WM_COMMAND:
        return OnCommand(page, wParam);
    case WM_CLOSE:
        return OnCancel(page);
    }
    return FALSE;
}
