// Checks of a BMP file held in memory before it becomes a page picture, and
// the BITMAPINFO that GDI is given for it. Without Win32, so the checks also
// run natively under the sanitizers.
#ifndef PARVELO_INSTALLER_WIZARD_BMPCHECK_H
#define PARVELO_INSTALLER_WIZARD_BMPCHECK_H

#include <cstddef>
#include <cstdint>

// Neither side of a picture may exceed this many pixels.
const int32_t kMaxBmpSide = 16384;

struct BmpLayout {
    int32_t nWidth;
    // Number of rows, positive also for a top-down picture.
    int32_t nHeight;
    size_t nBitsOffset;
    size_t nBitsLength;
    // A BITMAPINFO: a 40-byte BITMAPINFOHEADER followed by the colour masks
    // or the colour table, whatever header size the file uses.
    size_t nInfoLength;
    unsigned char info[40 + 256 * 4];
};

// Accepts BI_RGB at 1, 4, 8, 16, 24 and 32 bits per pixel, BI_BITFIELDS at
// 16 and 32, bottom-up BI_RLE4 and BI_RLE8; with a 40-, 108- or 124-byte
// header. Returns 1 and fills layout when the header, the colour table or
// masks and the pixel bits at bfOffBits all lie inside length; 0 otherwise.
int CheckBmp(const unsigned char *data, size_t length, BmpLayout *layout);

#endif
