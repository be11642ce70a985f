#include "common/Window.h"

#include <cstring>

#include "common/Text.h"

namespace usrs_class {

CWindow::CWindow() : m_hInstance(nullptr), m_hWnd(nullptr)
{
    std::memset(m_szClassName, 0, sizeof m_szClassName);
    std::memset(m_szTitle, 0, sizeof m_szTitle);
}

CWindow::~CWindow()
{
    DestroyWnd();
}

ATOM CWindow::RegisterWndClass(WNDPROC wndProc, HINSTANCE hInstance, const char *className)
{
    ptext::CopyText(m_szClassName, sizeof m_szClassName, className ? className : "default_wnd_class");
    m_hInstance = hInstance;

    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = wndProc;
    wc.hInstance = hInstance;
    // A module without this icon gets a class without one.
    wc.hIcon = LoadIconA(hInstance, "IDI_ICON1");
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = m_szClassName;
    return RegisterClassA(&wc);
}

int CWindow::CreateWnd(const char *title, int width, int height)
{
    if (!title)
        return 0;
    ptext::CopyText(m_szTitle, sizeof m_szTitle, title);
    m_hWnd = CreateWindowExA(0, m_szClassName, m_szTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                             width, height, nullptr, nullptr, m_hInstance, nullptr);
    if (!m_hWnd)
        return 0;
    UpdateWindow(m_hWnd);
    return 1;
}

void CWindow::DestroyWnd()
{
    if (!m_hWnd)
        return;
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

}  // namespace usrs_class
