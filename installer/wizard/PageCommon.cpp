// What the five pages share: the page change, the caption and icon, and the
// drawing of the page picture.
#include "installer/core/AppMessages.h"
#include "installer/res/Resource.h"
#include "installer/wizard/Wizard.h"

const RECT kTallImageRect = {0, 0, 160, 300};
const RECT kWideImageRect = {0, 0, 500, 60};

int FitWindowRect(HWND current, HWND next, BOOL repaint)
{
    RECT from;
    RECT to;
    if (!GetWindowRect(current, &from) || !GetWindowRect(next, &to))
        return 0;
    if (EqualRect(&from, &to))
        return 1;
    return MoveWindow(next, from.left, from.top, from.right - from.left, from.bottom - from.top, repaint) ? 1 : 0;
}

void SwitchPage(HWND from, HWND to)
{
    if (!to)
        return;
    FitWindowRect(from, to, FALSE);
    ShowWindow(from, SW_HIDE);
    if (to == g_hInterruptedPage)
        SendMessageA(g_hInterruptedPage, WM_APP_CANCEL_INSTALL, 0, 0);
    ShowWindow(to, SW_SHOWNORMAL);
}

void EndWizard(HWND page)
{
    ShowWindow(page, SW_HIDE);
    SendMessageA(GetWindow(page, GW_OWNER), WM_CLOSE, 0, 0);
}

void InitPage(HWND page)
{
    SetWindowTextA(page, "Parvelo 1.01");
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(page, GWLP_HINSTANCE));
    SendMessageA(page, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconA(instance, MAKEINTRESOURCEA(IDI_PARVELO))));
}

void DrawPageImage(HWND page, CImage *image, const RECT &source)
{
    image->Draw(GetDlgItem(page, IDC_PAGE_IMAGE), 0, 0, &source, 1);
}
