#include "maker/MakerDlg.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>

#include "common/PackageFiles.h"
#include "common/Text.h"
#include "maker/PackageWriter.h"
#include "maker/res/Resource.h"

namespace {

const char kCaption[] = "ParveloMaker 1.01";
const char kBitmapFilter[] = "Bitmap(*.BMP)\0*.BMP\0";
const char kBitmapExt[] = "BMP";

// Each "..." button and the field it fills, in page order.
const struct {
    int button;
    int field;
    const char *defaultName;
} kBitmapFields[kBitmapCount] = {
    {IDC_BMP1_BROWSE, IDC_BMP1, "DialogBmp1.bmp"},
    {IDC_BMP2_BROWSE, IDC_BMP2, "DialogBmp2.bmp"},
    {IDC_BMP3_BROWSE, IDC_BMP3, "DialogBmp3.bmp"},
    {IDC_BMP4_BROWSE, IDC_BMP4, "DialogBmp4.bmp"},
    {IDC_BMP5_BROWSE, IDC_BMP5, "DialogBmp5.bmp"},
};

MakerContext *Context(HWND hDlg)
{
    return reinterpret_cast<MakerContext *>(GetWindowLongPtrA(hDlg, DWLP_USER));
}

void ShowFileList(HWND hDlg, const MakerContext &context, int count)
{
    HWND list = GetDlgItem(hDlg, IDC_FILE_LIST);
    size_t sourceLength = std::strlen(context.szSourceFolder);
    int added = 0;
    for (int i = 0; i < count; ++i) {
        const usrs_class::CFile *entry = context.pFileList->GetItem(i);
        if (!entry)
            continue;
        char line[ptext::kPathSize];
        FormatListBoxLine(line, sizeof line, *entry, sourceLength);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
        added = 1;
    }
    if (added)
        DragAcceptFiles(list, TRUE);
}

void OnInitDialog(HWND hDlg, LPARAM lParam)
{
    SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
    MakerContext *context = reinterpret_cast<MakerContext *>(lParam);
    SetWindowTextA(hDlg, kCaption);
    ShowFileList(hDlg, *context, context->pFileList->GetCount());
    SetDlgItemTextA(hDlg, IDC_APP_NAME, "ApplicationName");
    for (const auto &bitmap : kBitmapFields)
        SetDlgItemTextA(hDlg, bitmap.field, bitmap.defaultName);
}

void OnBrowse(HWND hDlg, int field)
{
    // Cancelling leaves the buffer empty, which empties the field.
    char path[ptext::kPathSize] = {};
    SelectOpenFile(hDlg, kBitmapFilter, kBitmapExt, path, sizeof path);
    SetDlgItemTextA(hDlg, field, path);
}

void OnReload(HWND hDlg)
{
    MakerContext *context = Context(hDlg);
    context->pFileList->Clear();
    int count = context->pFileList->Search(context->szSourceFolder, 1, 0);
    SendDlgItemMessageA(hDlg, IDC_FILE_LIST, LB_RESETCONTENT, 0, 0);
    ShowFileList(hDlg, *context, count);
}

const char *ProblemText(const PackageReport &report)
{
    switch (report.nProblem) {
    case kSourceNotListed:
        return "InstallData フォルダを読み込めませんでした。";
    case kNothingToInstall:
        return "InstallData フォルダにインストールできるファイルがありません。";
    default:
        return report.pFailedFile ? report.pFailedFile : "";
    }
}

void OnCreate(HWND hDlg)
{
    MakerContext *context = Context(hDlg);
    char appName[1024] = {};
    GetDlgItemTextA(hDlg, IDC_APP_NAME, appName, sizeof appName);
    char bitmaps[kBitmapCount][260] = {};
    for (int i = 0; i < kBitmapCount; ++i)
        GetDlgItemTextA(hDlg, kBitmapFields[i].field, bitmaps[i], sizeof bitmaps[i]);

    PackageReport report;
    char text[kLeftOutTextSize];
    if (!WritePackage(kSetupFileName, appName, bitmaps, kBitmapPackFileName, kInstallListFileName,
                      context->szSourceFolder, &report)) {
        ptext::JoinText(text, sizeof text, "パッケージを作成できませんでした。\r\n", ProblemText(report));
        MessageBoxA(hDlg, text, "エラー", MB_OK | MB_ICONERROR);
        return;
    }
    if (!report.note.IsEmpty() && report.note.Format(text, sizeof text))
        MessageBoxA(hDlg, text, "確認", MB_OK | MB_ICONWARNING);
}

void OnCommand(HWND hDlg, int id)
{
    for (const auto &bitmap : kBitmapFields) {
        if (id == bitmap.button) {
            OnBrowse(hDlg, bitmap.field);
            return;
        }
    }
    switch (id) {
    case IDC_CREATE:
        OnCreate(hDlg);
        break;
    case IDC_RELOAD:
        OnReload(hDlg);
        break;
    default:
        break;
    }
}

}  // namespace

INT_PTR CALLBACK MakerDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(hDlg, lParam);
        break;
    case WM_COMMAND:
        OnCommand(hDlg, LOWORD(wParam));
        break;
    case WM_CLOSE:
        // The hidden main window ends the loop; the dialog goes with it.
        SendMessageA(GetParent(hDlg), WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
    return FALSE;
}

int SelectOpenFile(HWND owner, const char *filter, const char *defaultExt, char *buffer, int size)
{
    char file[ptext::kPathSize] = {};
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrTitle = "SELECT OPEN FILE";
    ofn.Flags = OFN_FILEMUSTEXIST;
    ofn.lpstrDefExt = defaultExt;
    if (!GetOpenFileNameA(&ofn) || size <= 0)
        return 0;
    ptext::CopyText(buffer, static_cast<size_t>(size), file);
    return 1;
}
