// The hidden main window, registered and created for real.
#include "common/Window.h"

#include <gtest/gtest.h>

#include <string>

namespace {

LRESULT CALLBACK TestWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

HINSTANCE Module()
{
    return GetModuleHandleA(nullptr);
}

}  // namespace

TEST(WindowTest, RegistersTheClassAsBothProgramsNeedIt)
{
    struct Case {
        const char *given;
        const char *registered;
    } cases[] = {
        {"ParveloWindowTest", "ParveloWindowTest"},
        {"表ソ能ウィンドウ", "表ソ能ウィンドウ"},
        {nullptr, "default_wnd_class"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.registered);
        usrs_class::CWindow window;
        ATOM atom = window.RegisterWndClass(TestWndProc, Module(), c.given);
        ASSERT_NE(atom, 0);
        WNDCLASSA wc;
        ASSERT_TRUE(GetClassInfoA(Module(), c.registered, &wc));
        EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
        EXPECT_EQ(wc.lpfnWndProc, TestWndProc);
        EXPECT_EQ(wc.cbClsExtra, 0);
        EXPECT_EQ(wc.cbWndExtra, 0);
        // The test program has no "IDI_ICON1": no icon, and no failure.
        EXPECT_EQ(wc.hIcon, nullptr);
        EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
        EXPECT_EQ(wc.hbrBackground, GetStockObject(WHITE_BRUSH));
        EXPECT_EQ(wc.lpszMenuName, nullptr);
    }
}

TEST(WindowTest, CreatesAHiddenWindowAndDestroysItOnce)
{
    usrs_class::CWindow window;
    ASSERT_NE(window.RegisterWndClass(TestWndProc, Module(), "ParveloHiddenTest"), 0);
    EXPECT_EQ(window.GetWnd(), nullptr);
    EXPECT_EQ(window.CreateWnd(nullptr, 640, 160), 0);
    EXPECT_EQ(window.GetWnd(), nullptr);

    ASSERT_EQ(window.CreateWnd("Parvelo ver1.00", 640, 160), 1);
    HWND hWnd = window.GetWnd();
    ASSERT_TRUE(IsWindow(hWnd));
    EXPECT_FALSE(IsWindowVisible(hWnd));
    char className[256] = {};
    GetClassNameA(hWnd, className, sizeof className);
    EXPECT_STREQ(className, "ParveloHiddenTest");
    char title[256] = {};
    GetWindowTextA(hWnd, title, sizeof title);
    EXPECT_STREQ(title, "Parvelo ver1.00");
    RECT rect;
    GetWindowRect(hWnd, &rect);
    EXPECT_EQ(rect.right - rect.left, 640);
    EXPECT_EQ(rect.bottom - rect.top, 160);
    LONG_PTR style = GetWindowLongPtrA(hWnd, GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(GetWindowLongPtrA(hWnd, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(GetParent(hWnd), nullptr);

    window.DestroyWnd();
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(window.GetWnd(), nullptr);
    window.DestroyWnd();
    EXPECT_EQ(window.GetWnd(), nullptr);
}

TEST(WindowTest, TheObjectOwnsItsWindow)
{
    HWND hWnd;
    {
        usrs_class::CWindow window;
        ASSERT_NE(window.RegisterWndClass(TestWndProc, Module(), "ParveloOwnerTest"), 0);
        ASSERT_EQ(window.CreateWnd("owned", 200, 100), 1);
        hWnd = window.GetWnd();
        ASSERT_TRUE(IsWindow(hWnd));
    }
    EXPECT_FALSE(IsWindow(hWnd));
}

TEST(WindowTest, LongTitleIsCutTo1023Bytes)
{
    usrs_class::CWindow window;
    ASSERT_NE(window.RegisterWndClass(TestWndProc, Module(), "ParveloTitleTest"), 0);
    std::string longTitle(1100, 't');
    ASSERT_EQ(window.CreateWnd(longTitle.c_str(), 300, 100), 1);
    char title[2048] = {};
    GetWindowTextA(window.GetWnd(), title, sizeof title);
    EXPECT_EQ(std::string(title), longTitle.substr(0, 1023));
}
