#include "installer/wizard/Image.h"

#include <cstring>

#include "installer/wizard/BmpCheck.h"

namespace {

struct BitmapInfo256 {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};

}  // namespace

CImage::CImage() : m_hMemDC(nullptr)
{
    std::memset(&m_Bitmap, 0, sizeof m_Bitmap);
}

CImage::~CImage()
{
    Release();
}

void CImage::Release()
{
    if (!m_hMemDC)
        return;
    HGDIOBJ bitmap = GetCurrentObject(m_hMemDC, OBJ_BITMAP);
    DeleteDC(m_hMemDC);
    DeleteObject(bitmap);
    m_hMemDC = nullptr;
    std::memset(&m_Bitmap, 0, sizeof m_Bitmap);
}

int CImage::Load(HWND hWnd, const unsigned char *data, size_t length)
{
    BmpLayout layout;
    if (!CheckBmp(data, length, &layout))
        return 0;
    BitmapInfo256 info;
    static_assert(sizeof info >= sizeof layout.info, "room for the largest colour table");
    std::memset(&info, 0, sizeof info);
    std::memcpy(&info, layout.info, layout.nInfoLength);

    HDC dc = GetWindowDC(hWnd);
    if (!dc)
        return 0;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, layout.nWidth, layout.nHeight);
    if (!bitmap) {
        ReleaseDC(hWnd, dc);
        return 0;
    }
    int lines = SetDIBits(dc, bitmap, 0, static_cast<UINT>(layout.nHeight), data + layout.nBitsOffset,
                          reinterpret_cast<const BITMAPINFO *>(&info), DIB_RGB_COLORS);
    ReleaseDC(hWnd, dc);
    if (lines == 0) {
        DeleteObject(bitmap);
        return 0;
    }
    // The new memory DC comes first, so that no failure can leave the image
    // without its old picture.
    HDC memDC = CreateCompatibleDC(nullptr);
    if (!memDC) {
        DeleteObject(bitmap);
        return 0;
    }
    SelectObject(memDC, bitmap);
    Release();
    m_hMemDC = memDC;
    GetObjectA(bitmap, sizeof m_Bitmap, &m_Bitmap);
    return 1;
}

int CImage::Draw(HWND hWnd, int x, int y, const RECT *sourceRect, int scale)
{
    if (!hWnd || !m_hMemDC)
        return 0;
    if (scale <= 0)
        scale = 1;
    else if (scale > 4)
        scale = 4;
    int srcX = 0;
    int srcY = 0;
    int width = m_Bitmap.bmWidth;
    int height = m_Bitmap.bmHeight;
    if (sourceRect) {
        long long w = static_cast<long long>(sourceRect->right) - sourceRect->left;
        long long h = static_cast<long long>(sourceRect->bottom) - sourceRect->top;
        if (w <= 0 || h <= 0)
            return 0;
        srcX = sourceRect->left;
        srcY = sourceRect->top;
        if (w < width)
            width = static_cast<int>(w);
        if (h < height)
            height = static_cast<int>(h);
    }
    HDC dc = GetDC(hWnd);
    if (!dc)
        return 0;
    BOOL ok = StretchBlt(dc, x, y, width * scale, height * scale, m_hMemDC, srcX, srcY, width, height, SRCCOPY);
    ReleaseDC(hWnd, dc);
    return ok ? 1 : 0;
}
