// A small HTTP/1.1 server on 127.0.0.1 for the tests: serves bodies held in
// memory or generated on the fly, and on request misbehaves in the ways a
// real server can (no Content-Length, 404, redirect, short or stalled body).
#ifndef PARVELO_TESTS_SUPPORT_TESTHTTPSERVER_H
#define PARVELO_TESTS_SUPPORT_TESTHTTPSERVER_H

#include <winsock2.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CTestHttpServer {
public:
    enum Mode {
        kNormal,        // 200 with Content-Length
        kNoLength,      // 200 without Content-Length, body ends with the connection
        kZeroLength,    // 200 with Content-Length 0 and no body
        kNotFound,      // 404 with an HTML body
        kRedirect,      // 302 to another path of this server
        kShortBody,     // Content-Length N, half the body, then the connection closes
        kStallBody,     // Content-Length N, half the body, then nothing until Stop
        kStallHeaders,  // reads the request and answers nothing until Stop
        kSlow,          // the body in small pieces with pauses between them
    };

    CTestHttpServer();
    ~CTestHttpServer();
    CTestHttpServer(const CTestHttpServer &) = delete;
    CTestHttpServer &operator=(const CTestHttpServer &) = delete;

    // Listens on 127.0.0.1 on the given port (0 picks a free one).
    bool Start(unsigned short port = 0);
    void Stop();
    unsigned short Port() const { return m_nPort; }
    std::string Url(const std::string &path) const;

    void AddFile(const std::string &path, const std::string &body, Mode mode = kNormal);
    // A body of size bytes of GeneratedByte(0..size-1), made while sending.
    void AddGenerated(const std::string &path, uint64_t size, Mode mode = kNormal);
    void AddRedirect(const std::string &path, const std::string &target);
    // For kSlow: bytes per piece and the pause after each.
    void SetSlowPace(size_t bytes, unsigned milliseconds);
    // GET requests seen for a path.
    int Hits(const std::string &path) const;

    static unsigned char GeneratedByte(uint64_t index);

private:
    struct Resource {
        Mode mode = kNormal;
        std::string body;
        uint64_t generatedSize = 0;
        bool generated = false;
        std::string target;
    };

    void AcceptLoop();
    void Serve(SOCKET client);
    bool SendAll(SOCKET s, const char *data, size_t length);
    bool SendBody(SOCKET s, const Resource &r, uint64_t from, uint64_t to, bool slow);
    bool WaitForStop(unsigned milliseconds);

    SOCKET m_Listen;
    unsigned short m_nPort;
    HANDLE m_hStop;
    std::thread m_Acceptor;
    mutable std::mutex m_Mutex;
    std::map<std::string, Resource> m_Resources;
    std::map<std::string, int> m_Hits;
    std::vector<std::thread> m_Workers;
    std::vector<SOCKET> m_Clients;
    size_t m_nSlowBytes;
    unsigned m_nSlowPause;
};

#endif
