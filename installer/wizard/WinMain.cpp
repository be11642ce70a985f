// The installer's entry point and main loop.
#include <windows.h>
#include <commctrl.h>

#include "common/BitmapPack.h"
#include "common/PackageFiles.h"
#include "common/Text.h"
#include "installer/res/Resource.h"
#include "installer/wizard/Wizard.h"

// Constructed in this order and destroyed in the reverse one.
usrs_class::CWindow g_MainWindow;
CInitApp g_InitApp;
CDataManager g_DataManager;
CImage g_WelcomeImage;
CImage g_InterruptedImage;
CImage g_FolderImage;
CImage g_ProgressImage;
CImage g_FinishedImage;

int g_nQuit;
HWND g_hWelcomePage;
HWND g_hInterruptedPage;
HWND g_hFolderPage;
HWND g_hProgressPage;
HWND g_hFinishedPage;

namespace {

void LoadPageImages(HWND mainWindow)
{
    BitmapPackEntry records[5] = {};
    ReadBitmapPack(records, 5, g_InitApp.GetDialogBmpPack());
    CImage *images[5] = {&g_WelcomeImage, &g_InterruptedImage, &g_FolderImage, &g_ProgressImage, &g_FinishedImage};
    for (int i = 0; i < 5; ++i)
        images[i]->Load(mainWindow, records[i].pData, records[i].nDataLength);
    ReleaseBitmapPack(records, 5);
}

int CreatePages(HINSTANCE instance, HWND mainWindow)
{
    struct PageTemplate {
        int nTemplate;
        DLGPROC pProc;
        HWND *pPage;
    };
    const PageTemplate pages[] = {
        {IDD_WELCOME, WelcomeDlgProc, &g_hWelcomePage},
        {IDD_INTERRUPTED, InterruptedDlgProc, &g_hInterruptedPage},
        {IDD_FOLDER, FolderDlgProc, &g_hFolderPage},
        {IDD_PROGRESS, ProgressDlgProc, &g_hProgressPage},
        {IDD_FINISHED, FinishedDlgProc, &g_hFinishedPage},
    };
    for (const PageTemplate &page : pages) {
        *page.pPage = CreateDialogParamA(instance, MAKEINTRESOURCEA(page.nTemplate), mainWindow, page.pProc, 0);
        if (!*page.pPage)
            return 0;
    }
    return 1;
}

// Serves every message; when none is waiting it sleeps until one comes, so
// an idle wizard costs no processor time, and a message the install worker
// sends wakes it at once.
void RunMainLoop()
{
    MSG message;
    while (!g_nQuit) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    char folder[ptext::kPathSize] = {};
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder)
        return 0;
    char setupPath[ptext::kPathSize];
    if (!ptext::JoinText(setupPath, sizeof setupPath, folder, "\\", kSetupFileName))
        return 0;
    if (!g_InitApp.Load(setupPath))
        return 0;
    if (!g_MainWindow.RegisterWndClass(MainWndProc, instance, "Parvelo"))
        return 0;
    if (!g_MainWindow.CreateWnd("Parvelo ver1.00", 640, 160))
        return 0;
    HWND mainWindow = g_MainWindow.GetWnd();
    LoadPageImages(mainWindow);

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    if (CreatePages(instance, mainWindow)) {
        ShowWindow(g_hWelcomePage, SW_SHOWNORMAL);
        RunMainLoop();
    }
    // The worker still needs the pages for its last texts and boxes, and
    // must be gone before the exit-time destructors free its data.
    g_DataManager.Abort();
    g_DataManager.WaitForWorker();
    g_MainWindow.DestroyWnd();
    return 0;
}
