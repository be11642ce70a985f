#include "installer/core/InitApp.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

struct Fields {
    std::string name, pack, list;
};

Fields Parse(const std::string &text)
{
    CInitApp app;
    app.Parse(text.data(), text.size());
    return {app.GetAppName(), app.GetDialogBmpPack(), app.GetInstallList()};
}

}  // namespace

TEST(InitAppTest, ValuesRunToTheEndOfTheLine)
{
    struct Case {
        const char *text;
        const char *name;
    } cases[] = {
        {"APP_NAME = My Tool\n", "My Tool"},
        {"APP_NAME=MyTool\n", "MyTool"},
        {"  \tAPP_NAME = A=B \t\n", "A=B"},
        {"APP_NAME = My Tool\r\n", "My Tool"},
        {"APP_NAME = 表ソ能　ツール\n", "表ソ能　ツール"},
        {"app_name = x\n", ""},
        {"APP_NAME = first\nAPP_NAME = second\n", "second"},
        {"APP_NAME = kept\nAPP_NAME =  \t\n", "kept"},
        {"APP_NAME = kept\nAPP_NAME\n", "kept"},
        {"DIALOG0 = a\nDIALOG6 = b\n", ""},
        {"", ""},
        {"APP_NAME = last line without newline", "last line without newline"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Parse(c.text).name, c.name) << c.text;
}

TEST(InitAppTest, ReadsEveryKeyAndIgnoresOrder)
{
    Fields f = Parse("INSTALL_LIST = Parvelo.txt\nDIALOG1 = DialogBmp1.bmp\nDIALOGBMPPACK = my pack.pak\n"
                     "APP_NAME = ApplicationName\n");
    EXPECT_EQ(f.name, "ApplicationName");
    EXPECT_EQ(f.pack, "my pack.pak");
    EXPECT_EQ(f.list, "Parvelo.txt");
}

TEST(InitAppTest, LongValuesAreCutWithoutSplittingACharacter)
{
    // 126 ASCII bytes then a double-byte character: 128 bytes would not fit
    // with the terminator, so the character is left out whole.
    std::string name(126, 'n');
    Fields f = Parse("APP_NAME = " + name + "表\n");
    EXPECT_EQ(f.name, name);
    std::string exact(127, 'x');
    EXPECT_EQ(Parse("APP_NAME = " + exact + "\n").name, exact);
    std::string path(300, 'p');
    EXPECT_EQ(Parse("INSTALL_LIST = " + path + "\n").list, path.substr(0, 259));
}

TEST(InitAppTest, LongLinesAreReadInPieces)
{
    // The second piece of a 1500-byte line starts with a key of its own.
    std::string line = "DIALOG1 = " + std::string(1023 - 10, 'd') + "INSTALL_LIST = list.txt\n";
    EXPECT_EQ(Parse(line).list, "list.txt");
}

TEST(InitAppTest, LoadReadsAFile)
{
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("parvelo_initapp_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string path = (dir / "ParveloInfo.txt").string();
    std::ofstream(path, std::ios::binary) << "APP_NAME = Loaded App\r\nINSTALL_LIST = Parvelo.txt\r\n";
    CInitApp app;
    EXPECT_EQ(app.Load(path.c_str()), 1);
    EXPECT_STREQ(app.GetAppName(), "Loaded App");
    EXPECT_STREQ(app.GetInstallList(), "Parvelo.txt");
    EXPECT_EQ(app.Load((dir / "missing.txt").string().c_str()), 0);
    EXPECT_EQ(app.Load(nullptr), 0);
    std::filesystem::remove_all(dir);
}
