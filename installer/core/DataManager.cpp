#include "installer/core/DataManager.h"

#include <commctrl.h>
#include <process.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "common/HttpUrl.h"
#include "common/Text.h"
#include "common/WholeFile.h"
#include "installer/core/AppMessages.h"
#include "installer/core/FolderPath.h"

namespace {

const DWORD kChunkSize = 64 * 1024;
const DWORD kCopyChunk = 1024 * 1024;
const int kFailuresShown = 10;
// How long the destructor lets a still running worker finish.
const DWORD kExitWait = 30000;

const char kAskCreateFolder[] = "指定されたフォルダ名が存在しません。作成しますか？";
const char kFolderIsFile[] = "指定されたフォルダ名はファイルです。フォルダを指定してください。";
const char kCaptionConfirm[] = "確認";
const char kCaptionError[] = "エラー";
const char kFilesNotInstalled[] = "次のファイルをインストールできませんでした。";
const char kMoreFiles[] = "ほか %d 件";
const char kListNotLoaded[] = "インストールリストを読み込めませんでした。";
const char kFolderNotMade[] = "インストール先フォルダを作成できませんでした。";
// An install list may be of any length the address space can hold.
const size_t kMaxListLength = static_cast<size_t>(-1) / 2 - 1;

}  // namespace

CDataManager::CDataManager()
    : m_pList(nullptr), m_nListMax(0), m_nListCount(0), m_hThread(nullptr), m_nThreadId(0), m_hWnd(nullptr),
      m_llTotalSize(0), m_llRestSize(0), m_bAbort(0), m_hAbortEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_nTableSize(0), m_pCopyBuffer(nullptr), m_nLastPos(-1), m_nRun(0), m_nProblem(kProblemNone), m_nFailCount(0)
{
    std::memset(m_szListPath, 0, sizeof m_szListPath);
    std::memset(m_szInstallDir, 0, sizeof m_szInstallDir);
    std::memset(m_szCurrentDir, 0, sizeof m_szCurrentDir);
    std::memset(m_szFailed, 0, sizeof m_szFailed);
    m_Inet.SetAbortEvent(m_hAbortEvent);
}

CDataManager::~CDataManager()
{
    if (IsWorkerRunning()) {
        Abort();
        // A worker that does not end in time keeps its table: freeing it
        // under the running thread would be worse than leaking it at exit.
        if (WaitForSingleObject(m_hThread, kExitWait) != WAIT_OBJECT_0)
            return;
    }
    delete[] m_pList;
    m_pList = nullptr;
    m_nListMax = 0;
    delete[] m_pCopyBuffer;
    m_Inet.Close();
    if (m_hThread)
        CloseHandle(m_hThread);
    if (m_hAbortEvent)
        CloseHandle(m_hAbortEvent);
}

int CDataManager::IsWorkerRunning() const
{
    return m_hThread && WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT;
}

int CDataManager::Start(HWND progressPage, const char *listPath, const char *installDir)
{
    if (!installDir || installDir[0] == '\0' || IsWorkerRunning())
        return 0;
    char dir[sizeof m_szInstallDir];
    // A folder text without its closing backslash would run the folder's
    // last name into every destination path.
    const char *separator = ptext::EndsWithBackslash(installDir) ? nullptr : "\\";
    if (!ptext::JoinText(dir, sizeof dir, installDir, separator))
        return 0;
    m_hWnd = progressPage;
    ptext::CopyText(m_szListPath, sizeof m_szListPath, listPath ? listPath : "");
    ptext::CopyText(m_szInstallDir, sizeof m_szInstallDir, dir);
    // The flag is reset here, before the thread exists, so that a cancel that
    // comes right after Start is never lost.
    m_bAbort.store(0, std::memory_order_relaxed);
    ResetEvent(m_hAbortEvent);
    m_nLastPos = -1;
    ++m_nRun;
    SendDlgItemMessageA(m_hWnd, IDC_INSTALL_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    unsigned id = 0;
    uintptr_t thread = _beginthreadex(nullptr, 0, InstallThreadProc, this, 0, &id);
    if (!thread)
        return 0;
    if (m_hThread)
        CloseHandle(m_hThread);
    m_hThread = reinterpret_cast<HANDLE>(thread);
    m_nThreadId = id;
    return 1;
}

void CDataManager::Abort()
{
    m_bAbort.store(1, std::memory_order_relaxed);
    SetEvent(m_hAbortEvent);
}

void CDataManager::WaitForWorker()
{
    bool quit = false;
    WPARAM quitCode = 0;
    while (IsWorkerRunning()) {
        DWORD wait = MsgWaitForMultipleObjectsEx(1, &m_hThread, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (wait != WAIT_OBJECT_0 + 1)
            continue;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
}

unsigned __stdcall CDataManager::InstallThreadProc(void *manager)
{
    CDataManager *self = static_cast<CDataManager *>(manager);
    SetDlgItemTextA(self->m_hWnd, IDC_INSTALL_SOURCE, "");
    SetDlgItemTextA(self->m_hWnd, IDC_INSTALL_DEST, "");
    self->m_nProblem = kProblemNone;
    self->m_nFailCount = 0;
    int result = self->Install(self->m_hWnd, self->m_szInstallDir);
    SetDlgItemTextA(self->m_hWnd, IDC_INSTALL_SOURCE, "");
    SetDlgItemTextA(self->m_hWnd, IDC_INSTALL_DEST, "");
    self->ReportEnd(result);
    return 0;
}

void CDataManager::ReportEnd(int result)
{
    if (IsAborted())
        return;
    if (result > 0 && m_nFailCount == 0 && m_nProblem == kProblemNone) {
        SendMessageA(m_hWnd, WM_APP_INSTALL_FINISHED, 0, 0);
        return;
    }
    const char *text = nullptr;
    char list[sizeof kFilesNotInstalled + kFailuresShown * 262 + 64];
    if (result < 0 && m_nProblem == kProblemFolder) {
        text = kFolderNotMade;
    } else if (result < 0 && m_nProblem == kProblemList) {
        text = kListNotLoaded;
    } else if (m_nProblem != kProblemQuiet) {
        std::snprintf(list, sizeof list, "%s", kFilesNotInstalled);
        int shown = m_nFailCount < kFailuresShown ? m_nFailCount : kFailuresShown;
        for (int i = 0; i < shown; ++i) {
            size_t used = std::strlen(list);
            std::snprintf(list + used, sizeof list - used, "\r\n%s", m_szFailed[i]);
        }
        if (m_nFailCount > shown) {
            size_t used = std::strlen(list);
            std::snprintf(list + used, sizeof list - used, "\r\n");
            used = std::strlen(list);
            std::snprintf(list + used, sizeof list - used, kMoreFiles, m_nFailCount - shown);
        }
        text = list;
    }
    if (text)
        MessageBoxA(m_hWnd, text, kCaptionError, MB_OK | MB_ICONERROR);
    SendMessageA(m_hWnd, WM_APP_INSTALL_FAILED, 0, 0);
}

void CDataManager::RecordFailure(const char *source)
{
    if (m_nFailCount < kFailuresShown)
        ptext::CopyText(m_szFailed[m_nFailCount], sizeof m_szFailed[0], source);
    ++m_nFailCount;
}

void CDataManager::SetProgress(long long installed)
{
    int percent = ProgressPercent(m_llTotalSize, installed);
    if (percent == m_nLastPos)
        return;
    m_nLastPos = percent;
    SendDlgItemMessageA(m_hWnd, IDC_INSTALL_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void CDataManager::ShowEntry(const char *source, const char *dest)
{
    SetDlgItemTextA(m_hWnd, IDC_INSTALL_SOURCE, source);
    SetDlgItemTextA(m_hWnd, IDC_INSTALL_DEST, dest);
}

int CDataManager::LoadEntrySize(const char *source, InstallEntry *entry)
{
    char host[kHostSize] = {};
    char folder[kUrlPartSize] = {};
    char file[kUrlPartSize] = {};
    entry->bFolder = 0;
    if (SplitHttpUrl(source, host, sizeof host - 1, folder, sizeof folder - 1, file, sizeof file - 1)) {
        char name[kHostSize];
        char request[kUrlPartSize];
        unsigned short port = 0;
        if (!host[0] || !file[0] || !SplitHostPort(host, name, sizeof name, &port) ||
            !BuildRequestPath(folder, file, request, sizeof request))
            return 0;
        if (!m_Inet.Open(name, port, nullptr, nullptr))
            return 0;
        long long size = m_Inet.GetContentLength(request, nullptr);
        m_Inet.Close();
        if (size <= 0)
            return 0;
        entry->llSize = size;
        return 1;
    }
    char path[ptext::kPathSize];
    if (!ptext::JoinText(path, sizeof path, m_szCurrentDir, "\\", source))
        return 0;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        // A listed folder means "this folder exists": it is created at the
        // destination, so empty folders of the package are installed too.
        entry->bFolder = 1;
        entry->llSize = 0;
        return 1;
    }
    HANDLE handle =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return 0;
    LARGE_INTEGER size;
    BOOL ok = GetFileSizeEx(handle, &size);
    CloseHandle(handle);
    if (!ok)
        return 0;
    entry->llSize = size.QuadPart;
    return 1;
}

int CDataManager::LoadList(const char *path)
{
    if (!path)
        return 0;
    size_t length = 0;
    char *data = ReadWholeFile(path, kMaxListLength, &length);
    if (!data)
        return 0;
    m_nListCount = 0;
    CInstallListParser parser;
    int declared = 0;
    int pairs = 0;
    if (parser.Begin(data, length, &declared))
        pairs = parser.CountPairs(declared);
    if (pairs <= 0) {
        delete[] data;
        return 0;
    }
    m_nListMax = declared;
    delete[] m_pList;
    m_nTableSize = 0;
    // Sized for the pairs actually present, so an absurd count costs nothing.
    m_pList = new (std::nothrow) InstallEntry[static_cast<size_t>(pairs)];
    if (!m_pList) {
        m_nListMax = 0;
        delete[] data;
        return 0;
    }
    m_nTableSize = pairs;
    DWORD got = GetCurrentDirectoryA(sizeof m_szCurrentDir, m_szCurrentDir);
    if (got == 0 || got >= sizeof m_szCurrentDir) {
        delete[] data;
        return 0;
    }
    m_llTotalSize = 0;
    m_llRestSize = 0;
    InstallEntry entry;
    while (m_nListCount < m_nTableSize && parser.NextPair(entry.szSource, entry.szDest)) {
        if (IsAborted())
            break;
        if (!LoadEntrySize(entry.szSource, &entry)) {
            RecordFailure(entry.szSource);
            continue;
        }
        m_pList[m_nListCount] = entry;
        m_llTotalSize += entry.llSize;
        m_llRestSize = m_llTotalSize;
        ++m_nListCount;
    }
    delete[] data;
    return IsAborted() ? 0 : 1;
}

int CDataManager::Install(HWND page, const char *installDir)
{
    if (!installDir)
        return -1;
    if (!LoadList(m_szListPath)) {
        m_nProblem = kProblemList;
        return -1;
    }
    // Asked without the closing backslash, which would hide a file of that name.
    char folder[ptext::kPathSize];
    ptext::CopyText(folder, sizeof folder, installDir);
    size_t length = std::strlen(folder);
    if (length > 3 && ptext::EndsWithBackslash(folder))
        folder[length - 1] = '\0';
    DWORD attributes = GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (IsAborted())
            return -1;
        if (MessageBoxA(page, kAskCreateFolder, kCaptionConfirm, MB_OKCANCEL) != IDOK) {
            m_nProblem = kProblemQuiet;
            return -1;
        }
        if (!MakeFolderPath(installDir)) {
            m_nProblem = kProblemFolder;
            return -1;
        }
    } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (IsAborted())
            return -1;
        MessageBoxA(page, kFolderIsFile, kCaptionError, MB_OK);
        m_nProblem = kProblemQuiet;
        return -1;
    }
    int installed = 0;
    for (int i = 0; i < m_nListCount; ++i) {
        if (IsAborted())
            return -1;
        const InstallEntry &entry = m_pList[i];
        char host[kHostSize] = {};
        char folder[kUrlPartSize] = {};
        char file[kUrlPartSize] = {};
        EntryResult result;
        if (SplitHttpUrl(entry.szSource, host, sizeof host - 1, folder, sizeof folder - 1, file, sizeof file - 1))
            result = DownloadEntry(entry, host, folder, file);
        else if (entry.bFolder)
            result = InstallFolder(entry);
        else
            result = CopyEntry(entry);
        if (result == kEntryAborted)
            return -1;
        if (result == kEntryInstalled)
            ++installed;
        else
            RecordFailure(entry.szSource);
    }
    if (IsAborted())
        return -1;
    SetProgress(m_llTotalSize - m_llRestSize);
    return installed;
}

int CDataManager::MakeParentFolder(const char *path)
{
    char drive[ptext::kPathSize];
    char folder[ptext::kPathSize];
    if (!ptext::SplitPath(path, drive, sizeof drive, folder, sizeof folder, nullptr, 0, nullptr, 0))
        return 0;
    char parent[ptext::kPathSize];
    if (!ptext::JoinText(parent, sizeof parent, drive, folder))
        return 0;
    if (parent[0] == '\0')
        return 1;
    DWORD attributes = GetFileAttributesA(parent);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return MakeFolderPath(parent);
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

int CDataManager::MakeTempName(const char *dest, char *temp)
{
    // Beside the destination, so the final move stays on one volume; the
    // process id and run number keep it apart from any packaged name.
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".~pv%lx-%u.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
                  m_nRun);
    return ptext::JoinText(temp, ptext::kPathSize, dest, suffix);
}

CDataManager::EntryResult CDataManager::InstallFolder(const InstallEntry &entry)
{
    char dest[ptext::kPathSize];
    if (!ptext::JoinText(dest, sizeof dest, m_szInstallDir, entry.szDest))
        return kEntryFailed;
    char source[ptext::kPathSize];
    ptext::JoinText(source, sizeof source, m_szCurrentDir, "\\", entry.szSource);
    ShowEntry(source, dest);
    return MakeFolderPath(dest) ? kEntryInstalled : kEntryFailed;
}

CDataManager::EntryResult CDataManager::CopyEntry(const InstallEntry &entry)
{
    char source[ptext::kPathSize];
    char dest[ptext::kPathSize];
    char temp[ptext::kPathSize];
    if (!ptext::JoinText(source, sizeof source, m_szCurrentDir, "\\", entry.szSource) ||
        !ptext::JoinText(dest, sizeof dest, m_szInstallDir, entry.szDest) || !MakeTempName(dest, temp))
        return kEntryFailed;
    ShowEntry(source, dest);
    if (!MakeParentFolder(dest))
        return kEntryFailed;
    // The copy lands under a temporary name and replaces the destination
    // only when whole.
    if (!CopyToTemp(source, temp)) {
        DeleteFileA(temp);
        return IsAborted() ? kEntryAborted : kEntryFailed;
    }
    if (!MoveFileExA(temp, dest, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temp);
        return kEntryFailed;
    }
    m_llRestSize -= entry.llSize;
    return kEntryInstalled;
}

int CDataManager::CopyToTemp(const char *source, const char *temp)
{
    // Copied chunk by chunk here rather than by CopyFileExA, whose progress
    // routine is not called on every system: the routine must see every
    // chunk so that a cancel stops a long copy at once.
    // One buffer serves every copy of the manager: allocating a large block
    // per file costs more than copying a small file.
    if (!m_pCopyBuffer)
        m_pCopyBuffer = new (std::nothrow) char[kCopyChunk];
    if (!m_pCopyBuffer)
        return 0;
    HANDLE in =
        CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return 0;
    HANDLE out = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        return 0;
    }
    char *buffer = m_pCopyBuffer;
    LARGE_INTEGER size = {};
    LARGE_INTEGER done = {};
    int ok = GetFileSizeEx(in, &size);
    while (ok) {
        DWORD got = 0;
        if (!ReadFile(in, buffer, kCopyChunk, &got, nullptr)) {
            ok = 0;
            break;
        }
        if (got == 0)
            break;
        DWORD written = 0;
        if (!WriteFile(out, buffer, got, &written, nullptr) || written != got) {
            ok = 0;
            break;
        }
        done.QuadPart += got;
        if (CopyProgressRoutine(size, done, size, done, 1, CALLBACK_CHUNK_FINISHED, in, out, this) != PROGRESS_CONTINUE)
            ok = 0;
    }
    FILETIME written;
    if (ok && GetFileTime(in, nullptr, nullptr, &written))
        SetFileTime(out, nullptr, nullptr, &written);
    CloseHandle(in);
    if (!CloseHandle(out))
        ok = 0;
    return ok;
}

DWORD CALLBACK CDataManager::CopyProgressRoutine(LARGE_INTEGER, LARGE_INTEGER totalBytesTransferred, LARGE_INTEGER,
                                                 LARGE_INTEGER, DWORD, DWORD callbackReason, HANDLE, HANDLE,
                                                 LPVOID data)
{
    CDataManager *self = static_cast<CDataManager *>(data);
    if (self->IsAborted())
        return PROGRESS_CANCEL;
    if (callbackReason != CALLBACK_CHUNK_FINISHED)
        return PROGRESS_CONTINUE;
    self->SetProgress(self->m_llTotalSize - self->m_llRestSize + totalBytesTransferred.QuadPart);
    return PROGRESS_CONTINUE;
}

CDataManager::EntryResult CDataManager::DownloadEntry(const InstallEntry &entry, const char *host,
                                                      const char *folder, const char *file)
{
    char name[kHostSize];
    char request[kUrlPartSize];
    char dest[ptext::kPathSize];
    char temp[ptext::kPathSize];
    unsigned short port = 0;
    if (!host[0] || !file[0] || !SplitHostPort(host, name, sizeof name, &port) ||
        !BuildRequestPath(folder, file, request, sizeof request) ||
        !ptext::JoinText(dest, sizeof dest, m_szInstallDir, entry.szDest) || !MakeTempName(dest, temp))
        return kEntryFailed;
    ShowEntry(entry.szSource, dest);

    long long length = 0;
    if (!m_Inet.Open(name, port, nullptr, nullptr) || !m_Inet.OpenRequest("GET", request, nullptr, nullptr) ||
        !m_Inet.SendRequest(nullptr, 0, nullptr, 0) || m_Inet.GetStatusCode() != HTTP_STATUS_OK ||
        !m_Inet.GetResponseLength(&length) || length < 0 || !MakeParentFolder(dest)) {
        m_Inet.Close();
        return IsAborted() ? kEntryAborted : kEntryFailed;
    }
    HANDLE out = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        m_Inet.Close();
        return kEntryFailed;
    }
    // Streamed chunk by chunk into the temporary file: memory stays flat
    // whatever the size, and the destination is replaced only by a whole body.
    static_assert(kChunkSize <= 64 * 1024, "chunk fits the client's read buffer");
    char *chunk = new (std::nothrow) char[kChunkSize];
    EntryResult result = chunk ? kEntryInstalled : kEntryFailed;
    long long received = 0;
    while (result == kEntryInstalled && received < length) {
        DWORD got = 0;
        if (!m_Inet.Read(chunk, kChunkSize, &got)) {
            result = IsAborted() ? kEntryAborted : kEntryFailed;
            break;
        }
        if (got == 0)
            break;
        if (static_cast<long long>(got) > length - received)
            got = static_cast<DWORD>(length - received);
        DWORD written = 0;
        if (!WriteFile(out, chunk, got, &written, nullptr) || written != got) {
            result = kEntryFailed;
            break;
        }
        received += got;
        m_llRestSize -= got;
        if (IsAborted()) {
            result = kEntryAborted;
            break;
        }
        SetProgress(m_llTotalSize - m_llRestSize);
    }
    delete[] chunk;
    m_Inet.Close();
    if (result == kEntryInstalled && received != length)
        result = kEntryFailed;
    BOOL closed = CloseHandle(out);
    if (result == kEntryInstalled && (!closed || !MoveFileExA(temp, dest, MOVEFILE_REPLACE_EXISTING)))
        result = kEntryFailed;
    if (result != kEntryInstalled)
        DeleteFileA(temp);
    return result;
}
