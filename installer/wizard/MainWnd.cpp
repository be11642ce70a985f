// The hidden main window: its close request ends the main loop.
#include "installer/wizard/Wizard.h"

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        g_nQuit = 1;
        return 1;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            return 1;
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}
