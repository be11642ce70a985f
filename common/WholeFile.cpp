#include "common/WholeFile.h"

#include <windows.h>

#include <new>

namespace {

// ReadFile takes at most a DWORD at a time; large files come in pieces.
const DWORD kReadPiece = 0x10000000;

}  // namespace

char *ReadWholeFile(const char *path, size_t maxLength, size_t *length)
{
    *length = 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    LARGE_INTEGER size;
    char *data = nullptr;
    if (GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
        static_cast<unsigned long long>(size.QuadPart) <= maxLength &&
        static_cast<unsigned long long>(size.QuadPart) < static_cast<size_t>(-1))
        data = new (std::nothrow) char[static_cast<size_t>(size.QuadPart) + 1];
    size_t total = 0;
    if (data) {
        size_t want = static_cast<size_t>(size.QuadPart);
        while (total < want) {
            DWORD piece = want - total > kReadPiece ? kReadPiece : static_cast<DWORD>(want - total);
            DWORD got = 0;
            if (!ReadFile(file, data + total, piece, &got, nullptr)) {
                delete[] data;
                data = nullptr;
                break;
            }
            if (got == 0)
                break;
            total += got;
        }
    }
    CloseHandle(file);
    if (data) {
        data[total] = '\0';
        *length = total;
    }
    return data;
}
