#include "tests/support/ProgressPage.h"

#include <commctrl.h>

#include "installer/core/AppMessages.h"

namespace {

const char kPageClass[] = "ParveloTestProgressPage";

}  // namespace

ProgressPage::ProgressPage()
{
    m_Thread = std::thread(&ProgressPage::Run, this);
}

ProgressPage::~ProgressPage()
{
    PostMessageA(Window(), WM_CLOSE, 0, 0);
    m_Thread.join();
}

HWND ProgressPage::Window()
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    m_Ready.wait(lock, [this] { return m_hWnd != nullptr; });
    return m_hWnd;
}

int ProgressPage::Position()
{
    return static_cast<int>(SendDlgItemMessageA(Window(), IDC_INSTALL_PROGRESS, PBM_GETPOS, 0, 0));
}

std::string ProgressPage::Text(int id)
{
    char text[1024] = {};
    GetDlgItemTextA(Window(), id, text, sizeof text);
    return text;
}

LRESULT CALLBACK ProgressPage::PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ProgressPage *self = reinterpret_cast<ProgressPage *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_APP_INSTALL_FINISHED:
        ++self->finished;
        return 0;
    case WM_APP_INSTALL_FAILED:
        ++self->failed;
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE)
            self->OnTextChange(LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK ProgressPage::BarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ProgressPage *self = reinterpret_cast<ProgressPage *>(GetWindowLongPtrA(GetParent(hwnd), GWLP_USERDATA));
    LRESULT result = CallWindowProcA(self->m_BarProc, hwnd, msg, wParam, lParam);
    if (msg == PBM_SETPOS) {
        ++self->positionMessages;
        if (self->onPosition)
            self->onPosition(static_cast<int>(wParam));
    } else if (msg == PBM_SETRANGE) {
        self->rangeMax = HIWORD(lParam);
    }
    return result;
}

void ProgressPage::OnTextChange(int id)
{
    std::string text = Text(id);
    {
        std::lock_guard<std::mutex> lock(shownMutex);
        (id == IDC_INSTALL_SOURCE ? shownSources : shownDests).push_back(text);
    }
    if (id == IDC_INSTALL_DEST && onDest && !text.empty())
        onDest(text);
}

void ProgressPage::Run()
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PageProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kPageClass;
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, kPageClass, "progress", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200, nullptr, nullptr,
                                wc.hInstance, nullptr);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 0, 0, 300, 20, hwnd,
                               reinterpret_cast<HMENU>(IDC_INSTALL_PROGRESS), wc.hInstance, nullptr);
    m_BarProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProgressPage::BarProc)));
    for (int id : {IDC_INSTALL_DEST, IDC_INSTALL_SOURCE})
        CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 30, 300, 20, hwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), wc.hInstance, nullptr);
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_hWnd = hwnd;
    }
    m_Ready.notify_all();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
