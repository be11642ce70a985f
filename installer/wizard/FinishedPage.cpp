// Finished page: Finish runs the post-install list, then ends the program;
// the close box ends it without running the list.
#include "common/PackageFiles.h"
#include "installer/core/PostInstall.h"
#include "installer/res/Resource.h"
#include "installer/wizard/Wizard.h"

namespace {

INT_PTR OnInitDialog(HWND page)
{
    InitPage(page);
    DrawPageImage(page, &g_FinishedImage, kTallImageRect);
    return FALSE;
}

INT_PTR OnFinish(HWND page)
{
    ShowWindow(page, SW_HIDE);
    RunPostInstallList(nullptr, kPostInstallListPath, 1);
    EndWizard(page);
    return FALSE;
}

INT_PTR OnClose(HWND page)
{
    EndWizard(page);
    return FALSE;
}

INT_PTR OnCommand(HWND page, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_FINISH:
        return OnFinish(page);
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK FinishedDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page);
    case WM_PAINT:
        DrawPageImage(page, &g_FinishedImage, kTallImageRect);
        return FALSE;
    case WM_COMMAND:
        return OnCommand(page, wParam);
    case WM_CLOSE:
        return OnClose(page);
    }
    return FALSE;
}
