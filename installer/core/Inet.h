// A small HTTP client over WinInet: one Internet handle, one connection and
// one request at a time. WinInet runs in its asynchronous mode, so every
// wait on the network also ends when the abort event is set or when the
// server has sent nothing for the time-out.
#ifndef PARVELO_INSTALLER_CORE_INET_H
#define PARVELO_INSTALLER_CORE_INET_H

#include <windows.h>
#include <wininet.h>

class CInet {
public:
    CInet();
    virtual ~CInet();
    CInet(const CInet &) = delete;
    CInet &operator=(const CInet &) = delete;

    int Open(const char *host, unsigned short port, const char *user, const char *password);
    void Close();
    int OpenRequest(const char *verb, const char *object, const char *version, const char *referrer);
    int SendRequest(const char *headers, DWORD headersLength, const void *optional, DWORD optionalLength);
    int QueryInfo(DWORD infoLevel, void *buffer, DWORD *bufferLength, DWORD *index);
    // Reads what has arrived, at most bytesToRead; 0 bytes read with result
    // 1 is the end of the body.
    int Read(void *buffer, DWORD bytesToRead, DWORD *bytesRead);

    // The HTTP status of the answer, 0 when there is none.
    int GetStatusCode();
    // The answer's Content-Length into *length; 0 when the header is absent.
    int GetResponseLength(long long *length);
    // Size query: the Content-Length of a GET answered with 200, 0 otherwise.
    long long GetContentLength(const char *object, const char *referrer);

    // An event that, once set, ends every wait at once (manual reset).
    void SetAbortEvent(HANDLE abortEvent) { m_hAbort = abortEvent; }
    // How long a wait may last without an answer from the server.
    void SetTimeout(DWORD milliseconds) { m_dwTimeout = milliseconds; }

private:
    struct Operation;
    static void CALLBACK StatusCallback(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info,
                                        DWORD infoLength);
    // Waits for the pending operation; 1 when it completed successfully.
    int WaitForCompletion();

    HINTERNET m_hInternet;
    HINTERNET m_hConnect;
    HINTERNET m_hRequest;
    Operation *m_pOperation;
    HANDLE m_hAbort;
    DWORD m_dwTimeout;
};

#endif
