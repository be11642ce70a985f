// Welcome page: shows the application name; Next leads to the folder page.
#include "installer/res/Resource.h"
#include "installer/wizard/Wizard.h"

namespace {

INT_PTR OnInitDialog(HWND page)
{
    InitPage(page);
    SetDlgItemTextA(page, IDC_APP_NAME, g_InitApp.GetAppName());
    DrawPageImage(page, &g_WelcomeImage, kTallImageRect);
    return FALSE;
}

INT_PTR OnNext(HWND page)
{
    SwitchPage(page, g_hFolderPage);
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
    case IDC_WELCOME_NEXT:
        return OnNext(page);
    case IDC_WELCOME_CANCEL:
        return OnCancel(page);
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK WelcomeDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page);
    case WM_PAINT:
        DrawPageImage(page, &g_WelcomeImage, kTallImageRect);
        return FALSE;
    case WM_COMMAND:
        return OnCommand(page, wParam);
    case WM_CLOSE:
        return OnCancel(page);
    }
    return FALSE;
}
