// The HTTP client against the tests' own server: what it reports for each
// kind of answer, and that an abort ends every wait on the network at once.
// The test server comes first: winsock2.h must precede windows.h.
#include "tests/support/TestHttpServer.h"

#include "installer/core/Inet.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

class InetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Server.Start());
        m_hAbort = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_Inet.SetAbortEvent(m_hAbort);
    }
    void TearDown() override
    {
        m_Inet.Close();
        m_Server.Stop();
        CloseHandle(m_hAbort);
    }

    CTestHttpServer m_Server;
    CInet m_Inet;
    HANDLE m_hAbort = nullptr;
};

}  // namespace

TEST_F(InetTest, SizeQueryCountsOnlyAnsweredLengths)
{
    m_Server.AddFile("/a/b/f.zip", std::string(1234, 'x'));
    m_Server.AddFile("/nolen.bin", std::string(100, 'x'), CTestHttpServer::kNoLength);
    m_Server.AddFile("/zero.bin", "", CTestHttpServer::kZeroLength);
    m_Server.AddRedirect("/moved.bin", "/a/b/f.zip");
    m_Server.AddGenerated("/huge.bin", 5ULL << 30, CTestHttpServer::kStallHeaders);
    struct Case {
        const char *object;
        long long size;
    } cases[] = {
        {"/a/b/f.zip", 1234}, {"/nolen.bin", 0}, {"/zero.bin", 0}, {"/missing.bin", 0}, {"/moved.bin", 1234},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(m_Inet.Open("127.0.0.1", m_Server.Port(), nullptr, nullptr));
        EXPECT_EQ(m_Inet.GetContentLength(c.object, nullptr), c.size) << c.object;
        m_Inet.Close();
    }
    EXPECT_EQ(m_Server.Hits("/a/b/f.zip"), 2);
}

TEST_F(InetTest, ReadsTheWholeBodyInPieces)
{
    // Fast bodies arrive ahead of the reader; slow ones make it wait for
    // every piece. Either way the bytes must come out exactly as sent.
    const uint64_t size = 3 * 1024 * 1024 + 17;
    m_Server.AddGenerated("/fast.bin", size);
    m_Server.AddGenerated("/slow.bin", 300000, CTestHttpServer::kSlow);
    m_Server.SetSlowPace(7000, 2);
    for (const char *object : {"/fast.bin", "/slow.bin"}) {
        SCOPED_TRACE(object);
        uint64_t expected = std::string(object) == "/fast.bin" ? size : 300000;
        ASSERT_TRUE(m_Inet.Open("127.0.0.1", m_Server.Port(), nullptr, nullptr));
        ASSERT_TRUE(m_Inet.OpenRequest("GET", object, nullptr, nullptr));
        ASSERT_TRUE(m_Inet.SendRequest(nullptr, 0, nullptr, 0));
        EXPECT_EQ(m_Inet.GetStatusCode(), 200);
        long long length = 0;
        ASSERT_TRUE(m_Inet.GetResponseLength(&length));
        EXPECT_EQ(length, static_cast<long long>(expected));
        uint64_t got = 0;
        uint64_t wrong = 0;
        static char buffer[65536];
        DWORD n = 0;
        while (m_Inet.Read(buffer, sizeof buffer, &n) && n > 0) {
            for (DWORD i = 0; i < n; ++i)
                if (static_cast<unsigned char>(buffer[i]) != CTestHttpServer::GeneratedByte(got + i))
                    ++wrong;
            got += n;
        }
        EXPECT_EQ(got, expected);
        EXPECT_EQ(wrong, 0u);
        m_Inet.Close();
    }
}

TEST_F(InetTest, AbortEndsStalledWaits)
{
    m_Server.AddFile("/stall-headers", std::string(1000, 's'), CTestHttpServer::kStallHeaders);
    m_Server.AddFile("/stall-body", std::string(100000, 's'), CTestHttpServer::kStallBody);
    for (const char *object : {"/stall-headers", "/stall-body"}) {
        ResetEvent(m_hAbort);
        std::thread aborter([this] {
            Sleep(500);
            SetEvent(m_hAbort);
        });
        DWORD start = GetTickCount();
        ASSERT_TRUE(m_Inet.Open("127.0.0.1", m_Server.Port(), nullptr, nullptr));
        bool completed = false;
        if (m_Inet.OpenRequest("GET", object, nullptr, nullptr) && m_Inet.SendRequest(nullptr, 0, nullptr, 0)) {
            char buffer[65536];
            DWORD n = 0;
            while (m_Inet.Read(buffer, sizeof buffer, &n) && n > 0) {
            }
            completed = n == 0 && WaitForSingleObject(m_hAbort, 0) != WAIT_OBJECT_0;
        }
        m_Inet.Close();
        DWORD elapsed = GetTickCount() - start;
        aborter.join();
        EXPECT_FALSE(completed) << object;
        EXPECT_LT(elapsed, 10000u) << object << ": the abort did not end the wait";
    }
}

TEST_F(InetTest, SilentServerTimesOut)
{
    m_Server.AddFile("/stall-body", std::string(100000, 's'), CTestHttpServer::kStallBody);
    m_Inet.SetTimeout(1000);
    ASSERT_TRUE(m_Inet.Open("127.0.0.1", m_Server.Port(), nullptr, nullptr));
    ASSERT_TRUE(m_Inet.OpenRequest("GET", "/stall-body", nullptr, nullptr));
    ASSERT_TRUE(m_Inet.SendRequest(nullptr, 0, nullptr, 0));
    char buffer[65536];
    DWORD n = 0;
    long long total = 0;
    int ok;
    while ((ok = m_Inet.Read(buffer, sizeof buffer, &n)) && n > 0)
        total += n;
    // The read fails once the server has been silent for the time-out; what
    // came before is of no use then, as the entry fails.
    EXPECT_EQ(ok, 0);
    EXPECT_LE(total, 50000);
}
