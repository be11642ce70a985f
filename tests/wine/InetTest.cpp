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
    std::string body;
    for (int i = 0; i < 300000; ++i)
        body += static_cast<char>(i * 7);
    m_Server.AddFile("/body.bin", body);
    ASSERT_TRUE(m_Inet.Open("127.0.0.1", m_Server.Port(), nullptr, nullptr));
    ASSERT_TRUE(m_Inet.OpenRequest("GET", "/body.bin", nullptr, nullptr));
    ASSERT_TRUE(m_Inet.SendRequest(nullptr, 0, nullptr, 0));
    EXPECT_EQ(m_Inet.GetStatusCode(), 200);
    long long length = 0;
    ASSERT_TRUE(m_Inet.GetResponseLength(&length));
    EXPECT_EQ(length, static_cast<long long>(body.size()));
    std::string got;
    char buffer[65536];
    DWORD n = 0;
    while (m_Inet.Read(buffer, sizeof buffer, &n) && n > 0)
        got.append(buffer, n);
    EXPECT_EQ(got, body);
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
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(total, 50000);
}
