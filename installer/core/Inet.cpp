#include "installer/core/Inet.h"

#include <cstring>
#include <new>

#include "common/Text.h"

namespace {

const char kAgent[] = "Parvelo";
const DWORD kDefaultTimeout = 30000;
const DWORD kReadChunk = 64 * 1024;
// What WinInet keeps buffered of an answer at most.
const DWORD kFullClientBuffer = 8 * 1024;
// A body arriving at least this fast fills a whole chunk well within a
// second, far from the time-out.
const DWORD kFastBytesPerSecond = 2 * kReadChunk;
// Context of connection handles; only request handles carry an Operation.
char s_ConnectContext;

}  // namespace

// State of one request, shared with WinInet's callback thread. WinInet may
// still complete an abandoned read into the buffer after the request handle
// was closed, so the operation is freed only when WinInet reports the
// handle closing.
struct CInet::Operation {
    HANDLE hComplete;
    volatile LONG bResult;
    volatile LONG dwError;
    DWORD dwStart;
    long long llReceived;
    DWORD dwAvailable;
    DWORD dwRead;
    char data[kReadChunk];
};

CInet::CInet()
    : m_hInternet(nullptr), m_hConnect(nullptr), m_hRequest(nullptr), m_pOperation(nullptr), m_hAbort(nullptr),
      m_dwTimeout(kDefaultTimeout)
{
}

CInet::~CInet()
{
    Close();
}

void CALLBACK CInet::StatusCallback(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD)
{
    if (context == 0 || context == reinterpret_cast<DWORD_PTR>(&s_ConnectContext))
        return;
    Operation *op = reinterpret_cast<Operation *>(context);
    if (status == INTERNET_STATUS_REQUEST_COMPLETE) {
        const INTERNET_ASYNC_RESULT *result = static_cast<const INTERNET_ASYNC_RESULT *>(info);
        op->bResult = result && result->dwResult ? 1 : 0;
        op->dwError = result ? static_cast<LONG>(result->dwError) : 0;
        SetEvent(op->hComplete);
    } else if (status == INTERNET_STATUS_HANDLE_CLOSING) {
        CloseHandle(op->hComplete);
        delete op;
    }
}

int CInet::Open(const char *host, unsigned short port, const char *user, const char *password)
{
    if (!host)
        return 0;
    Close();
    m_hInternet = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC);
    if (!m_hInternet)
        return 0;
    InternetSetStatusCallbackA(m_hInternet, StatusCallback);
    m_hConnect = InternetConnectA(m_hInternet, host, port, user, password, INTERNET_SERVICE_HTTP, 0,
                                  reinterpret_cast<DWORD_PTR>(&s_ConnectContext));
    if (!m_hConnect) {
        InternetCloseHandle(m_hInternet);
        m_hInternet = nullptr;
        return 0;
    }
    return 1;
}

void CInet::Close()
{
    if (m_hRequest) {
        InternetCloseHandle(m_hRequest);
        m_hRequest = nullptr;
        m_pOperation = nullptr;
    }
    if (m_hConnect) {
        InternetCloseHandle(m_hConnect);
        m_hConnect = nullptr;
    }
    if (m_hInternet) {
        InternetCloseHandle(m_hInternet);
        m_hInternet = nullptr;
    }
}

int CInet::OpenRequest(const char *verb, const char *object, const char *version, const char *referrer)
{
    if (!m_hInternet || !m_hConnect)
        return 0;
    if (m_hRequest) {
        InternetCloseHandle(m_hRequest);
        m_hRequest = nullptr;
        m_pOperation = nullptr;
    }
    Operation *op = new (std::nothrow) Operation;
    if (!op)
        return 0;
    op->hComplete = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!op->hComplete) {
        delete op;
        return 0;
    }
    // Installers must get the server's current bytes and must not fill the
    // browser cache with every download.
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                        INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
    m_hRequest = HttpOpenRequestA(m_hConnect, verb, object, version, referrer, nullptr, flags,
                                  reinterpret_cast<DWORD_PTR>(op));
    if (!m_hRequest) {
        CloseHandle(op->hComplete);
        delete op;
        return 0;
    }
    m_pOperation = op;
    return 1;
}

int CInet::WaitForCompletion()
{
    HANDLE handles[2] = {m_pOperation->hComplete, m_hAbort};
    DWORD count = m_hAbort ? 2 : 1;
    DWORD wait = WaitForMultipleObjects(count, handles, FALSE, m_dwTimeout);
    if (wait != WAIT_OBJECT_0)
        return 0;
    return m_pOperation->bResult ? 1 : 0;
}

int CInet::SendRequest(const char *headers, DWORD headersLength, const void *optional, DWORD optionalLength)
{
    if (!m_hInternet || !m_hConnect || !m_hRequest)
        return 0;
    if (m_hAbort && WaitForSingleObject(m_hAbort, 0) == WAIT_OBJECT_0)
        return 0;
    m_pOperation->dwStart = GetTickCount();
    m_pOperation->llReceived = 0;
    ResetEvent(m_pOperation->hComplete);
    if (HttpSendRequestA(m_hRequest, headers, headersLength, const_cast<void *>(optional), optionalLength))
        return 1;
    if (GetLastError() != ERROR_IO_PENDING)
        return 0;
    return WaitForCompletion();
}

int CInet::QueryInfo(DWORD infoLevel, void *buffer, DWORD *bufferLength, DWORD *index)
{
    if (!m_hInternet || !m_hConnect || !m_hRequest)
        return 0;
    return HttpQueryInfoA(m_hRequest, infoLevel, buffer, bufferLength, index) ? 1 : 0;
}

int CInet::Read(void *buffer, DWORD bytesToRead, DWORD *bytesRead)
{
    *bytesRead = 0;
    if (!m_hInternet || !m_hConnect || !m_hRequest)
        return 0;
    Operation *op = m_pOperation;
    // Wait until data has arrived, then take only what is there: a read of
    // no more than the available bytes completes at once. (A pending read's
    // completion means "data has arrived" to some WinInet versions and "your
    // buffer is filled" to others, so reads are never left pending.)
    // The counts live in the operation: WinInet writes them when a pending
    // call completes, which may be after this call has given up on it.
    for (;;) {
        if (m_hAbort && WaitForSingleObject(m_hAbort, 0) == WAIT_OBJECT_0)
            return 0;
        op->dwAvailable = 0;
        ResetEvent(op->hComplete);
        if (InternetQueryDataAvailable(m_hRequest, &op->dwAvailable, 0, reinterpret_cast<DWORD_PTR>(op)))
            break;
        if (GetLastError() != ERROR_IO_PENDING || !WaitForCompletion())
            return 0;
    }
    if (op->dwAvailable == 0)
        return 1;
    // A server that has been sending fast gets reads of a whole chunk, which
    // WinInet fills in one go instead of piece by piece. A slower one gets
    // only what has arrived, so that a trickling server is never taken for a
    // silent one while a large read waits to be filled.
    DWORD elapsed = GetTickCount() - op->dwStart;
    bool fast = op->llReceived >= static_cast<long long>(kFastBytesPerSecond) * (elapsed + 1) / 1000;
    DWORD want = fast && op->dwAvailable >= kFullClientBuffer ? kReadChunk : op->dwAvailable;
    if (want > bytesToRead)
        want = bytesToRead;
    if (want > kReadChunk)
        want = kReadChunk;
    op->dwRead = 0;
    ResetEvent(op->hComplete);
    if (!InternetReadFile(m_hRequest, op->data, want, &op->dwRead)) {
        if (GetLastError() != ERROR_IO_PENDING || !WaitForCompletion())
            return 0;
    }
    if (op->dwRead > want)
        return 0;
    std::memcpy(buffer, op->data, op->dwRead);
    *bytesRead = op->dwRead;
    op->llReceived += op->dwRead;
    return 1;
}

int CInet::GetStatusCode()
{
    DWORD code = 0;
    DWORD length = sizeof code;
    if (!QueryInfo(HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &length, nullptr))
        return 0;
    return static_cast<int>(code);
}

int CInet::GetResponseLength(long long *length)
{
    char text[1000] = {};
    DWORD size = sizeof text - 1;
    if (!QueryInfo(HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return 0;
    *length = ptext::ParseLong64(text, std::strlen(text));
    return 1;
}

long long CInet::GetContentLength(const char *object, const char *referrer)
{
    long long length = 0;
    if (!OpenRequest("GET", object, nullptr, referrer) || !SendRequest(nullptr, 0, nullptr, 0) ||
        GetStatusCode() != HTTP_STATUS_OK || !GetResponseLength(&length) || length < 0)
        return 0;
    return length;
}
