#include "installer/wizard/FolderBrowser.h"

#include <shlobj.h>

#include <cstring>

#include "common/Text.h"

int BrowseForFolder(HWND owner, char *output)
{
    BROWSEINFOA info;
    std::memset(&info, 0, sizeof info);
    info.hwndOwner = owner;
    info.lpszTitle = "フォルダを選択してください";
    info.ulFlags = BIF_STATUSTEXT | BIF_EDITBOX | BIF_VALIDATE;
    info.lpfn = BrowseCallback;
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (!item)
        return 0;
    IMalloc *allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator))) {
        MessageBoxA(owner, "SHGetMalloc Error", "Error", MB_OK);
        return 0;
    }
    char path[ptext::kPathSize] = {};
    int chosen = SHGetPathFromIDListA(item, path) && path[0] != '\0';
    // A path of 259 bytes has no room left for its closing backslash.
    if (chosen && !ptext::EndsWithBackslash(path))
        chosen = ptext::JoinText(path, sizeof path, path, "\\");
    if (chosen)
        ptext::CopyText(output, ptext::kPathSize, path);
    allocator->Free(item);
    allocator->Release();
    return chosen;
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM)
{
    if (message != BFFM_VALIDATEFAILEDA)
        return 0;
    MessageBoxA(browser, "不正なフォルダです", "Error", MB_OK);
    return 1;
}
