// The maker's entry point, hidden main window and message loop.
#include <windows.h>

#include <cstring>

#include "common/Window.h"
#include "common/Text.h"
#include "maker/MakerDlg.h"
#include "maker/res/Resource.h"

namespace {

const int kFirstListCapacity = 100;

usrs_class::CWindow g_MainWindow;
usrs_class::CFileSerch g_FileList(kFirstListCapacity);
MakerContext g_Context;
int g_bQuit = 0;

}  // namespace

LRESULT CALLBACK MakerMainWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        // Destroyed after the loop, together with the dialog it owns.
        g_bQuit = 1;
        return 1;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            return 1;
        break;
    default:
        break;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    char currentDir[ptext::kPathSize] = {};
    DWORD got = GetCurrentDirectoryA(sizeof currentDir, currentDir);
    if (got == 0 || got >= sizeof currentDir)
        return 0;
    if (!g_MainWindow.RegisterWndClass(MakerMainWndProc, hInstance, "Parvelo"))
        return 0;
    if (!g_MainWindow.CreateWnd("Parvelo ver1.00", 640, 160))
        return 0;
    std::memset(&g_Context, 0, sizeof g_Context);
    g_Context.pFileList = &g_FileList;
    // A drive's root already ends with its backslash.
    if (!ptext::JoinText(g_Context.szSourceFolder, sizeof g_Context.szSourceFolder, currentDir,
                         ptext::EndsWithBackslash(currentDir) ? "" : "\\", "InstallData\\"))
        return 0;
    // A missing or unreadable folder only leaves the list empty.
    g_FileList.Search(g_Context.szSourceFolder, 1, 0);

    HWND dialog = CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_MAKER), g_MainWindow.GetWnd(),
                                     MakerDlgProc, reinterpret_cast<LPARAM>(&g_Context));
    if (dialog) {
        ShowWindow(dialog, SW_SHOWNORMAL);
        // Waits for messages while idle; the main window's WM_CLOSE ends it.
        MSG msg;
        while (!g_bQuit && GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    g_MainWindow.DestroyWnd();
    return 0;
}
