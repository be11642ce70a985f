// The hidden top-level window that both programs create: it owns their
// dialogs and receives the request to close that ends the main loop.
#ifndef PARVELO_COMMON_WINDOW_H
#define PARVELO_COMMON_WINDOW_H

#include <windows.h>

namespace usrs_class {

class CWindow {
public:
    CWindow();
    // Destroys the window if it still exists; the class stays registered.
    virtual ~CWindow();
    CWindow(const CWindow &) = delete;
    CWindow &operator=(const CWindow &) = delete;

    // Registers an ANSI window class (null name: "default_wnd_class") with
    // the module's "IDI_ICON1" icon where it has one. Returns the atom, 0 on
    // failure.
    ATOM RegisterWndClass(WNDPROC wndProc, HINSTANCE hInstance, const char *className);
    // Creates the window of the registered class, never shown. 1 on success,
    // 0 on failure or a null title.
    int CreateWnd(const char *title, int width, int height);
    HWND GetWnd() const { return m_hWnd; }
    // Destroys the window if there is one; harmless when called again.
    void DestroyWnd();

private:
    HINSTANCE m_hInstance;
    HWND m_hWnd;
    char m_szClassName[1024];
    char m_szTitle[1024];
};

}  // namespace usrs_class

#endif
