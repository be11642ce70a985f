// The install engine: loads the install list, then on a worker thread copies
// or downloads every entry into the installation folder while it moves the
// progress page's bar by bytes.
#ifndef PARVELO_INSTALLER_CORE_DATAMANAGER_H
#define PARVELO_INSTALLER_CORE_DATAMANAGER_H

#include <windows.h>

#include <atomic>

#include "installer/core/Inet.h"
#include "installer/core/InstallList.h"

class CDataManager {
public:
    CDataManager();
    virtual ~CDataManager();
    CDataManager(const CDataManager &) = delete;
    CDataManager &operator=(const CDataManager &) = delete;

    // Starts the worker for one run. 0 when installDir is missing or, with
    // its closing backslash, longer than 259 bytes, when a worker still
    // runs, or when the thread cannot be started.
    int Start(HWND progressPage, const char *listPath, const char *installDir);
    // Asks the worker to stop; safe from any thread, also when idle.
    void Abort();
    // Waits until the worker of the last Start has ended, dispatching the
    // calling thread's messages meanwhile (the worker's texts and boxes need
    // them).
    void WaitForWorker();
    int IsWorkerRunning() const;

    // Worker side.
    int Install(HWND page, const char *installDir);
    int LoadList(const char *path);
    static unsigned __stdcall InstallThreadProc(void *manager);
    static DWORD CALLBACK CopyProgressRoutine(LARGE_INTEGER totalFileSize, LARGE_INTEGER totalBytesTransferred,
                                              LARGE_INTEGER streamSize, LARGE_INTEGER streamBytesTransferred,
                                              DWORD streamNumber, DWORD callbackReason, HANDLE sourceFile,
                                              HANDLE destinationFile, LPVOID data);

    int GetListCount() const { return m_nListCount; }
    const InstallEntry *GetEntry(int index) const
    {
        return index >= 0 && index < m_nListCount ? &m_pList[index] : nullptr;
    }
    long long GetTotalSize() const { return m_llTotalSize; }
    long long GetRestSize() const { return m_llRestSize; }

private:
    enum EntryResult { kEntryInstalled, kEntryFailed, kEntryAborted };
    enum RunProblem { kProblemNone, kProblemList, kProblemFolder, kProblemQuiet };

    int IsAborted() const { return m_bAbort.load(std::memory_order_relaxed); }
    void RecordFailure(const char *source);
    void SetProgress(long long installed);
    void ShowEntry(const char *source, const char *dest);
    void ReportEnd(int result);
    int LoadEntrySize(const char *source, InstallEntry *entry);
    int MakeTempName(const char *dest, char *temp);
    EntryResult InstallFolder(const InstallEntry &entry);
    EntryResult CopyEntry(const InstallEntry &entry);
    EntryResult DownloadEntry(const InstallEntry &entry, const char *host, const char *folder, const char *file);
    int MakeParentFolder(const char *path);
    int CopyToTemp(const char *source, const char *temp);

    InstallEntry *m_pList;
    int m_nListMax;
    int m_nListCount;
    CInet m_Inet;
    HANDLE m_hThread;
    unsigned m_nThreadId;
    HWND m_hWnd;
    char m_szListPath[260];
    char m_szInstallDir[260];
    long long m_llTotalSize;
    long long m_llRestSize;
    std::atomic<int> m_bAbort;

    HANDLE m_hAbortEvent;
    char m_szCurrentDir[260];
    int m_nTableSize;
    char *m_pCopyBuffer;
    int m_nLastPos;
    unsigned m_nRun;
    RunProblem m_nProblem;
    int m_nFailCount;
    char m_szFailed[10][260];
};

#endif
