// Page pictures loaded from BMP bytes the test makes, drawn into a visible
// window of the test's own and read back pixel by pixel.
#include "installer/wizard/Image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "common/Window.h"
#include "tests/support/BmpBuilder.h"

using namespace bmptest;

namespace {

// Not a colour of any test picture.
const COLORREF kBackground = RGB(255, 0, 255);

LRESULT CALLBACK CanvasProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Nothing paints over what the test draws.
    if (message == WM_ERASEBKGND)
        return 1;
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hWnd, &ps);
        EndPaint(hWnd, &ps);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

COLORREF Ref(Rgb c)
{
    return RGB(c.r, c.g, c.b);
}

std::string Hex(COLORREF c)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

class ImageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = CanvasProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ParveloImageTestCanvas";
        RegisterClassA(&wc);
        s_Main.RegisterWndClass(DefWindowProcA, GetModuleHandleA(nullptr), "ParveloImageTestMain");
        s_Main.CreateWnd("Parvelo ver1.00", 640, 160);
    }
    static void TearDownTestSuite() { s_Main.DestroyWnd(); }

    void SetUp() override
    {
        ASSERT_NE(s_Main.GetWnd(), nullptr);
        m_hCanvas = CreateWindowExA(WS_EX_TOPMOST, "ParveloImageTestCanvas", "canvas", WS_POPUP | WS_VISIBLE, 40, 40,
                                    200, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_hCanvas, nullptr);
        UpdateWindow(m_hCanvas);
        Pump();
        Clear();
    }
    void TearDown() override { DestroyWindow(m_hCanvas); }

    static void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    void Clear()
    {
        HDC dc = GetDC(m_hCanvas);
        HBRUSH brush = CreateSolidBrush(kBackground);
        RECT all = {0, 0, 200, 200};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(m_hCanvas, dc);
    }

    COLORREF Pixel(int x, int y)
    {
        HDC dc = GetDC(m_hCanvas);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(m_hCanvas, dc);
        return c;
    }

    // The picture at (x, y) pixel for pixel, and the background right of and
    // below it.
    void ExpectPicture(const Picture &p, int x, int y)
    {
        for (int py = 0; py < p.height; ++py)
            for (int px = 0; px < p.width; ++px)
                ASSERT_EQ(Hex(Pixel(x + px, y + py)), Hex(Ref(p.At(px, py)))) << "at " << px << "," << py;
        EXPECT_EQ(Hex(Pixel(x + p.width, y)), Hex(kBackground));
        EXPECT_EQ(Hex(Pixel(x, y + p.height)), Hex(kBackground));
    }

    static usrs_class::CWindow s_Main;
    HWND m_hCanvas = nullptr;
};

usrs_class::CWindow ImageTest::s_Main;

int Load(CImage *image, HWND hWnd, const std::string &bmp)
{
    return image->Load(hWnd, reinterpret_cast<const unsigned char *>(bmp.data()), bmp.size());
}

}  // namespace

TEST_F(ImageTest, ShowsEveryKindInItsColoursAndOrientation)
{
    for (const BmpKind &kind : RepresentativeKinds()) {
        SCOPED_TRACE(kind.label);
        Picture picture = PictureFor(kind);
        CImage image;
        // Made compatible with the hidden main window, as the installer does.
        ASSERT_EQ(Load(&image, s_Main.GetWnd(), MakeBmp(picture, kind)), 1);
        Clear();
        ASSERT_EQ(image.Draw(m_hCanvas, 3, 2, nullptr, 1), 1);
        ExpectPicture(picture, 3, 2);
    }
}

TEST_F(ImageTest, RefusedDataLeavesTheOldPictureInPlace)
{
    const BmpKind k24 = {"24-bit", 40, 24, kRgb, false, 0, {0, 0, 0}};
    const BmpKind kRle = {"RLE8", 40, 8, kRle8, false, 0, {0, 0, 0}};
    const Picture old = Quarters(6, 4, kGreen, kBlue, kWhite, kRed);
    const std::string other = MakeBmp(Plain(6, 4, kYellow), k24);
    const std::string rle = MakeBmp(Plain(6, 4, kYellow), kRle);
    struct Case {
        const char *label;
        std::string base;
        std::function<void(std::string *)> change;
    } cases[] = {
        {"other first bytes", other, [](std::string *b) { (*b)[0] = 'X'; }},
        {"core header", other, [](std::string *b) { Put32(b, 14, 12); }},
        {"BI_JPEG", other, [](std::string *b) { Put32(b, 30, 4); }},
        {"BI_PNG", other, [](std::string *b) { Put32(b, 30, 5); }},
        {"two planes", other, [](std::string *b) { Put16(b, 26, 2); }},
        {"width 0", other, [](std::string *b) { Put32(b, 18, 0); }},
        {"height above 16384", other, [](std::string *b) { Put32(b, 22, 16385); }},
        {"offset past the end", other, [](std::string *b) { Put32(b, 10, static_cast<uint32_t>(b->size() + 10)); }},
        {"rows cut", other, [](std::string *b) { b->resize(b->size() - 2); }},
        {"RLE size past the end", rle, [](std::string *b) { Put32(b, 34, Get32(*b, 34) + 4); }},
        {"exactly 54 bytes", other, [](std::string *b) { b->resize(54); }},
        {"14 bytes", other, [](std::string *b) { b->resize(14); }},
    };
    CImage image;
    ASSERT_EQ(Load(&image, s_Main.GetWnd(), MakeBmp(old, k24)), 1);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        std::string bmp = c.base;
        c.change(&bmp);
        EXPECT_EQ(Load(&image, s_Main.GetWnd(), bmp), 0);
        Clear();
        ASSERT_EQ(image.Draw(m_hCanvas, 0, 0, nullptr, 1), 1);
        ExpectPicture(old, 0, 0);
    }
    EXPECT_EQ(image.Load(s_Main.GetWnd(), nullptr, 100), 0);

    // A good picture replaces the old one.
    ASSERT_EQ(Load(&image, s_Main.GetWnd(), other), 1);
    Clear();
    ASSERT_EQ(image.Draw(m_hCanvas, 0, 0, nullptr, 1), 1);
    ExpectPicture(Plain(6, 4, kYellow), 0, 0);
}

TEST_F(ImageTest, DrawClampsTheScale)
{
    const BmpKind k24 = {"24-bit", 40, 24, kRgb, false, 0, {0, 0, 0}};
    const Picture picture = Quarters(4, 4, kRed, kGreen, kBlue, kWhite);
    CImage image;
    ASSERT_EQ(Load(&image, s_Main.GetWnd(), MakeBmp(picture, k24)), 1);
    struct Case {
        int scale;
        int drawn;
    } cases[] = {{1, 1}, {0, 1}, {-3, 1}, {2, 2}, {4, 4}, {7, 4}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.scale);
        Clear();
        ASSERT_EQ(image.Draw(m_hCanvas, 10, 10, nullptr, c.scale), 1);
        int half = 2 * c.drawn;
        int end = 10 + 4 * c.drawn;
        EXPECT_EQ(Hex(Pixel(10, 10)), Hex(Ref(kRed)));
        EXPECT_EQ(Hex(Pixel(10 + half - 1, 10)), Hex(Ref(kRed)));
        EXPECT_EQ(Hex(Pixel(10 + half, 10)), Hex(Ref(kGreen)));
        EXPECT_EQ(Hex(Pixel(10, 10 + half)), Hex(Ref(kBlue)));
        EXPECT_EQ(Hex(Pixel(end - 1, end - 1)), Hex(Ref(kWhite)));
        EXPECT_EQ(Hex(Pixel(end, end - 1)), Hex(kBackground));
        EXPECT_EQ(Hex(Pixel(end - 1, end)), Hex(kBackground));
    }
}

TEST_F(ImageTest, DrawTakesThePartOfThePictureInTheRectangle)
{
    const BmpKind k24 = {"24-bit", 40, 24, kRgb, false, 0, {0, 0, 0}};
    const Picture picture = Quarters(4, 4, kRed, kGreen, kBlue, kWhite);
    CImage image;
    ASSERT_EQ(Load(&image, s_Main.GetWnd(), MakeBmp(picture, k24)), 1);

    // Only the top-right quarter.
    RECT quarter = {2, 0, 4, 2};
    Clear();
    ASSERT_EQ(image.Draw(m_hCanvas, 0, 0, &quarter, 1), 1);
    ExpectPicture(Plain(2, 2, kGreen), 0, 0);

    // A page's frame larger than the picture shows the picture at its size.
    RECT frame = {0, 0, 160, 300};
    Clear();
    ASSERT_EQ(image.Draw(m_hCanvas, 0, 0, &frame, 1), 1);
    ExpectPicture(picture, 0, 0);

    // A frame smaller than the picture shows its top-left part.
    RECT corner = {0, 0, 3, 1};
    Clear();
    ASSERT_EQ(image.Draw(m_hCanvas, 0, 0, &corner, 1), 1);
    ExpectPicture(Quarters(3, 1, kRed, kGreen, kRed, kGreen), 0, 0);
}

TEST_F(ImageTest, DrawRefusesAnEmptyRectangleAndAnEmptyImage)
{
    const BmpKind k24 = {"24-bit", 40, 24, kRgb, false, 0, {0, 0, 0}};
    CImage image;
    EXPECT_EQ(image.Draw(m_hCanvas, 0, 0, nullptr, 1), 0);
    ASSERT_EQ(Load(&image, s_Main.GetWnd(), MakeBmp(Plain(4, 4, kRed), k24)), 1);
    const RECT empty[] = {{2, 0, 2, 4}, {3, 0, 1, 4}, {0, 3, 4, 3}, {0, 3, 4, 1}};
    for (const RECT &r : empty) {
        Clear();
        EXPECT_EQ(image.Draw(m_hCanvas, 0, 0, &r, 1), 0);
        EXPECT_EQ(Hex(Pixel(0, 0)), Hex(kBackground));
        EXPECT_EQ(Hex(Pixel(3, 3)), Hex(kBackground));
    }
    EXPECT_EQ(image.Draw(nullptr, 0, 0, nullptr, 1), 0);
}
