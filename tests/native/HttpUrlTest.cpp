#include "common/HttpUrl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct SplitCase {
    const char *address;
    int result;
    const char *host;
    const char *folder;
    const char *file;
    const char *request;  // null: no request can be made
};

const SplitCase kSplitCases[] = {
    {"http://h/f.zip", 1, "h", "", "f.zip", "/f.zip"},
    {"http://h/a/b/f.zip", 1, "h", "a/b/", "f.zip", "/a/b/f.zip"},
    {"http://h/a/", 1, "h", "a/", "", nullptr},
    {"http://h/", 1, "h", "", "", nullptr},
    {"http://h", 1, "h", "", "", nullptr},
    {"http://h//f", 1, "h", "/", "f", "//f"},
    {"http:///f", 1, "", "", "f", nullptr},
    {"http://h:8080/表/ソ.zip", 1, "h:8080", "表/", "ソ.zip", "/表/ソ.zip"},
    {"http://", 0, "#", "#", "#", nullptr},
    {"HTTP://h/f", 0, "#", "#", "#", nullptr},
    {"data\\x.exe", 0, "#", "#", "#", nullptr},
};

}  // namespace

TEST(HttpUrlTest, SplitsAddressesAndBuildsTheirOwnPath)
{
    for (const SplitCase &c : kSplitCases) {
        char host[kHostSize], folder[kUrlPartSize], file[kUrlPartSize];
        // "#" marks bytes SplitHttpUrl must leave alone.
        std::memset(host, 0, sizeof host);
        std::memset(folder, 0, sizeof folder);
        std::memset(file, 0, sizeof file);
        if (c.result == 0) {
            host[0] = folder[0] = file[0] = '#';
        }
        EXPECT_EQ(SplitHttpUrl(c.address, host, sizeof host - 1, folder, sizeof folder - 1, file, sizeof file - 1),
                  c.result)
            << c.address;
        EXPECT_STREQ(host, c.host) << c.address;
        EXPECT_STREQ(folder, c.folder) << c.address;
        EXPECT_STREQ(file, c.file) << c.address;
        bool installable = c.request != nullptr;
        EXPECT_EQ(IsInstallableHttpUrl(c.address), installable ? 1 : 0) << c.address;
        if (installable) {
            char request[kUrlPartSize];
            ASSERT_TRUE(BuildRequestPath(folder, file, request, sizeof request));
            EXPECT_STREQ(request, c.request);
        }
    }
}

TEST(HttpUrlTest, PortsAreHonouredOrRefused)
{
    struct Case {
        const char *host;
        int ok;
        const char *name;
        unsigned short port;
    } cases[] = {
        {"h", 1, "h", 80},          {"h:8080", 1, "h", 8080}, {"h:1", 1, "h", 1},   {"h:65535", 1, "h", 65535},
        {"h:0", 0, "", 0},          {"h:65536", 0, "", 0},    {"h:", 0, "", 0},     {"h:8o", 0, "", 0},
        {"h:-1", 0, "", 0},         {":80", 0, "", 0},        {"h:0080", 1, "h", 80},
    };
    for (const Case &c : cases) {
        char name[kHostSize] = {};
        unsigned short port = 0;
        EXPECT_EQ(SplitHostPort(c.host, name, sizeof name, &port), c.ok) << c.host;
        if (c.ok) {
            EXPECT_STREQ(name, c.name);
            EXPECT_EQ(port, c.port);
        }
    }
    EXPECT_FALSE(IsInstallableHttpUrl("http://h:99999/f.zip"));
    EXPECT_TRUE(IsInstallableHttpUrl("http://h:8080/f.zip"));
}

TEST(HttpUrlTest, LongPartsAreCutAtCharacterBoundaries)
{
    std::string address = "http://h/" + std::string(249, 'a') + "/表表表";
    char host[kHostSize] = {}, folder[kUrlPartSize] = {}, file[kUrlPartSize] = {};
    ASSERT_EQ(SplitHttpUrl(address.c_str(), host, sizeof host - 1, folder, sizeof folder - 1, file, sizeof file - 1), 1);
    EXPECT_STREQ(file, "表表表");
    EXPECT_EQ(std::strlen(folder), 250u);
}
