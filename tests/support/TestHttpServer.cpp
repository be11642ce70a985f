#include "tests/support/TestHttpServer.h"

#include <ws2tcpip.h>

#include <cstdio>
#include <cstring>

namespace {

struct WinsockInit {
    WinsockInit()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};

const char *StatusLine(int code)
{
    switch (code) {
    case 200: return "HTTP/1.1 200 OK\r\n";
    case 302: return "HTTP/1.1 302 Found\r\n";
    default: return "HTTP/1.1 404 Not Found\r\n";
    }
}

}  // namespace

CTestHttpServer::CTestHttpServer()
    : m_Listen(INVALID_SOCKET), m_nPort(0), m_hStop(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_nSlowBytes(4096), m_nSlowPause(50)
{
    static WinsockInit init;
}

CTestHttpServer::~CTestHttpServer()
{
    Stop();
    CloseHandle(m_hStop);
}

unsigned char CTestHttpServer::GeneratedByte(uint64_t index)
{
    return static_cast<unsigned char>((index * 131) ^ (index >> 9) ^ (index >> 17));
}

bool CTestHttpServer::Start(unsigned short port)
{
    m_Listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_Listen == INVALID_SOCKET)
        return false;
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    int len = sizeof addr;
    if (bind(m_Listen, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 ||
        listen(m_Listen, 64) != 0 ||
        getsockname(m_Listen, reinterpret_cast<sockaddr *>(&addr), &len) != 0) {
        closesocket(m_Listen);
        m_Listen = INVALID_SOCKET;
        return false;
    }
    m_nPort = ntohs(addr.sin_port);
    ResetEvent(m_hStop);
    m_Acceptor = std::thread(&CTestHttpServer::AcceptLoop, this);
    return true;
}

void CTestHttpServer::Stop()
{
    if (m_Listen == INVALID_SOCKET)
        return;
    SetEvent(m_hStop);
    closesocket(m_Listen);
    m_Listen = INVALID_SOCKET;
    if (m_Acceptor.joinable())
        m_Acceptor.join();
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        for (SOCKET s : m_Clients)
            shutdown(s, SD_BOTH);
        workers.swap(m_Workers);
    }
    for (std::thread &t : workers)
        t.join();
}

std::string CTestHttpServer::Url(const std::string &path) const
{
    return "http://127.0.0.1:" + std::to_string(m_nPort) + path;
}

void CTestHttpServer::AddFile(const std::string &path, const std::string &body, Mode mode)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    Resource &r = m_Resources[path];
    r = Resource();
    r.mode = mode;
    r.body = body;
}

void CTestHttpServer::AddGenerated(const std::string &path, uint64_t size, Mode mode)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    Resource &r = m_Resources[path];
    r = Resource();
    r.mode = mode;
    r.generated = true;
    r.generatedSize = size;
}

void CTestHttpServer::AddRedirect(const std::string &path, const std::string &target)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    Resource &r = m_Resources[path];
    r = Resource();
    r.mode = kRedirect;
    r.target = target;
}

void CTestHttpServer::SetSlowPace(size_t bytes, unsigned milliseconds)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_nSlowBytes = bytes;
    m_nSlowPause = milliseconds;
}

int CTestHttpServer::Hits(const std::string &path) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    auto it = m_Hits.find(path);
    return it == m_Hits.end() ? 0 : it->second;
}

void CTestHttpServer::AcceptLoop()
{
    for (;;) {
        SOCKET client = accept(m_Listen, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return;
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Clients.push_back(client);
        m_Workers.emplace_back(&CTestHttpServer::Serve, this, client);
    }
}

bool CTestHttpServer::SendAll(SOCKET s, const char *data, size_t length)
{
    while (length > 0) {
        int sent = send(s, data, static_cast<int>(length > 65536 ? 65536 : length), 0);
        if (sent <= 0)
            return false;
        data += sent;
        length -= static_cast<size_t>(sent);
    }
    return true;
}

bool CTestHttpServer::WaitForStop(unsigned milliseconds)
{
    return WaitForSingleObject(m_hStop, milliseconds) == WAIT_OBJECT_0;
}

bool CTestHttpServer::SendBody(SOCKET s, const Resource &r, uint64_t from, uint64_t to, bool slow)
{
    size_t piece = slow ? m_nSlowBytes : 65536;
    std::vector<char> buffer(piece);
    for (uint64_t pos = from; pos < to;) {
        size_t n = static_cast<size_t>(to - pos < piece ? to - pos : piece);
        if (r.generated) {
            for (size_t i = 0; i < n; ++i)
                buffer[i] = static_cast<char>(GeneratedByte(pos + i));
        } else {
            std::memcpy(buffer.data(), r.body.data() + pos, n);
        }
        if (!SendAll(s, buffer.data(), n))
            return false;
        pos += n;
        if (slow && pos < to && WaitForStop(m_nSlowPause))
            return false;
    }
    return true;
}

void CTestHttpServer::Serve(SOCKET client)
{
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        request.append(buffer, static_cast<size_t>(got));
    }
    std::string path;
    size_t sp1 = request.find(' ');
    size_t sp2 = sp1 == std::string::npos ? sp1 : request.find(' ', sp1 + 1);
    if (sp2 != std::string::npos)
        path = request.substr(sp1 + 1, sp2 - sp1 - 1);

    Resource r;
    bool found = false;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        ++m_Hits[path];
        auto it = m_Resources.find(path);
        if (it != m_Resources.end()) {
            r = it->second;
            found = true;
        }
    }
    if (!found)
        r.mode = kNotFound;
    uint64_t size = r.generated ? r.generatedSize : r.body.size();

    char header[512];
    switch (r.mode) {
    case kStallHeaders:
        WaitForStop(INFINITE);
        break;
    case kNotFound: {
        const char body[] = "<html><body>404 Not Found</body></html>";
        std::snprintf(header, sizeof header, "%sContent-Type: text/html\r\nContent-Length: %u\r\nConnection: close\r\n\r\n",
                      StatusLine(404), static_cast<unsigned>(sizeof body - 1));
        SendAll(client, header, std::strlen(header)) && SendAll(client, body, sizeof body - 1);
        break;
    }
    case kRedirect:
        std::snprintf(header, sizeof header, "%sLocation: %s\r\nContent-Length: 0\r\nConnection: close\r\n\r\n",
                      StatusLine(302), Url(r.target).c_str());
        SendAll(client, header, std::strlen(header));
        break;
    case kNoLength:
        std::snprintf(header, sizeof header, "%sConnection: close\r\n\r\n", StatusLine(200));
        SendAll(client, header, std::strlen(header)) && SendBody(client, r, 0, size, false);
        break;
    case kZeroLength:
        std::snprintf(header, sizeof header, "%sContent-Length: 0\r\nConnection: close\r\n\r\n", StatusLine(200));
        SendAll(client, header, std::strlen(header));
        break;
    default: {
        std::snprintf(header, sizeof header, "%sContent-Length: %llu\r\nConnection: close\r\n\r\n", StatusLine(200),
                      static_cast<unsigned long long>(size));
        if (!SendAll(client, header, std::strlen(header)))
            break;
        if (r.mode == kShortBody) {
            SendBody(client, r, 0, size / 2, false);
        } else if (r.mode == kStallBody) {
            if (SendBody(client, r, 0, size / 2, false))
                WaitForStop(INFINITE);
        } else {
            SendBody(client, r, 0, size, r.mode == kSlow);
        }
        break;
    }
    }
    shutdown(client, SD_SEND);
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        for (size_t i = 0; i < m_Clients.size(); ++i)
            if (m_Clients[i] == client) {
                m_Clients.erase(m_Clients.begin() + static_cast<long>(i));
                break;
            }
    }
    closesocket(client);
}
