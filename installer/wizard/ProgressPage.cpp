// Progress page: the install worker writes its fields and bar; its end
// message leads to the finished page, or to the interrupted page when the
// run did not install everything.
#include "installer/core/AppMessages.h"
#include "installer/res/Resource.h"
#include "installer/wizard/Wizard.h"

namespace {

INT_PTR OnInitDialog(HWND page)
{
    InitPage(page);
    DrawPageImage(page, &g_ProgressImage, kWideImageRect);
    return FALSE;
}

INT_PTR OnCancel(HWND page)
{
    SwitchPage(page, g_hInterruptedPage);
    return FALSE;
}

// The run's end moves on only from the progress page itself: a cancel that
// came just before it has already shown the interrupted page.
INT_PTR OnInstallEnded(HWND page, HWND next)
{
    if (IsWindowVisible(page))
        SwitchPage(page, next);
    return FALSE;
}

INT_PTR OnCommand(HWND page, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_PROGRESS_CANCEL:
        return OnCancel(page);
    }
    return FALSE;
}

}  // namespace

void StartInstallation(HWND progressPage, const char *folder)
{
    if (g_DataManager.Start(progressPage, g_InitApp.GetInstallList(), folder))
        return;
    MessageBoxA(progressPage, "インストールを開始できませんでした。", "エラー", MB_OK | MB_ICONERROR);
    SwitchPage(progressPage, g_hInterruptedPage);
}

INT_PTR CALLBACK ProgressDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page);
    case WM_PAINT:
        DrawPageImage(page, &g_ProgressImage, kWideImageRect);
        return FALSE;
    case WM_COMMAND:
        return OnCommand(page, wParam);
    case WM_CLOSE:
        return OnCancel(page);
    case WM_APP_INSTALL_FINISHED:
        return OnInstallEnded(page, g_hFinishedPage);
    case WM_APP_INSTALL_FAILED:
        return OnInstallEnded(page, g_hInterruptedPage);
    }
    return FALSE;
}
