// Interrupted page: every cancel leads here. It stops the installation and
// ends the program without running the post-install list.
#include "installer/core/AppMessages.h"
#include "installer/res/Resource.h"
#include "installer/wizard/Wizard.h"

namespace {

INT_PTR OnInitDialog(HWND page)
{
    InitPage(page);
    DrawPageImage(page, &g_InterruptedImage, kTallImageRect);
    return FALSE;
}

INT_PTR OnFinish(HWND page)
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

INT_PTR CALLBACK InterruptedDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page);
    case WM_PAINT:
        DrawPageImage(page, &g_InterruptedImage, kTallImageRect);
        return FALSE;
    case WM_COMMAND:
        return OnCommand(page, wParam);
    case WM_CLOSE:
        return OnFinish(page);
    case WM_APP_CANCEL_INSTALL:
        g_DataManager.Abort();
        return FALSE;
    }
    return FALSE;
}
