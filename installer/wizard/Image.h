// A page picture: BMP bytes turned once into a device-dependent bitmap held
// in a memory DC, so that every repaint is a single StretchBlt.
#ifndef PARVELO_INSTALLER_WIZARD_IMAGE_H
#define PARVELO_INSTALLER_WIZARD_IMAGE_H

#include <windows.h>

#include <cstddef>

class CImage {
public:
    CImage();
    virtual ~CImage();
    CImage(const CImage &) = delete;
    CImage &operator=(const CImage &) = delete;

    // Makes the BMP bytes the picture, compatible with hWnd's DC. Returns 1
    // when the image holds the new picture; 0 leaves the old one in place.
    int Load(HWND hWnd, const unsigned char *data, size_t length);
    // Paints sourceRect of the picture (null: all of it) into hWnd's client
    // area at (x, y), scale clamped to 1..4. Returns 1 when painted.
    int Draw(HWND hWnd, int x, int y, const RECT *sourceRect, int scale);

private:
    void Release();

    HDC m_hMemDC;
    BITMAP m_Bitmap;
};

#endif
