// The recursive search over real folders under Wine.
#include "maker/FileSerch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/support/MakerRig.h"
#include "tests/support/WineTestUtil.h"

using makertest::TreeItem;
using usrs_class::CFileSerch;

namespace {

const char kAddress[] = "http://127.0.0.1:8080/dl/表tool.zip";

class MakerScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Root = wtest::MakeTempDir("makerscan");
        ASSERT_FALSE(m_Root.empty());
        m_Folder = m_Root + "\\";
    }
    void TearDown() override { wtest::RemoveTree(m_Root); }

    std::string m_Root;
    std::string m_Folder;
};

struct Found {
    std::string folder;
    bool isFolder;
    unsigned size;
    int index;
};

std::map<std::string, Found> Entries(const CFileSerch &list)
{
    std::map<std::string, Found> out;
    for (int i = 0; i < list.GetCount(); ++i) {
        const usrs_class::CFile *entry = list.GetItem(i);
        std::string key = entry->szPath;
        if (entry->IsShortcut())
            key = std::string(entry->szFolder) + "|" + key;
        out[key] = {entry->szFolder, (entry->dwFileAttributes & 0x10) != 0, entry->nFileSizeLow, i};
    }
    return out;
}

}  // namespace

TEST_F(MakerScanTest, ListsEveryItemAfterItsContentsAndResolvesShortcuts)
{
    std::vector<TreeItem> tree = makertest::TypicalTree(kAddress);
    ASSERT_TRUE(makertest::BuildTree(m_Root, tree));

    // Every path that is written as a file or folder, with its folders.
    std::map<std::string, bool> expected;
    for (const TreeItem &item : tree) {
        std::string path = item.path;
        bool folder = !path.empty() && path.back() == '\\';
        if (folder)
            path.pop_back();
        expected[path] = folder;
        for (const std::string &parent : makertest::ParentFolders(path))
            expected[parent] = true;
    }

    CFileSerch list(100);
    int count = list.Search(m_Folder.c_str(), 1, 0);
    ASSERT_EQ(count, static_cast<int>(expected.size()));
    EXPECT_EQ(list.GetCount(), count);
    EXPECT_GT(count, 100);

    std::map<std::string, Found> found = Entries(list);
    ASSERT_EQ(found.size(), expected.size());
    // Resolved shortcuts: the address in place of the path, their folder.
    for (const char *shortcut : {"Link.URL", "tools\\dl.url"}) {
        SCOPED_TRACE(shortcut);
        std::string name = shortcut;
        size_t cut = name.rfind('\\');
        std::string folder = m_Folder + (cut == std::string::npos ? std::string() : name.substr(0, cut + 1));
        auto it = found.find(folder + "|" + kAddress);
        ASSERT_NE(it, found.end());
        EXPECT_FALSE(it->second.isFolder);
        expected.erase(shortcut);
    }
    // Addresses the installer would drop are still resolved here.
    for (const char *address : {"https://h/f.zip", "http://h/dl/", "http://h:99999/f.zip"}) {
        EXPECT_NE(found.find(m_Folder + "bad\\|" + address), found.end()) << address;
    }
    expected.erase("bad\\https.url");
    expected.erase("bad\\nofile.url");
    expected.erase("bad\\port.url");

    for (const auto &item : expected) {
        SCOPED_TRACE(item.first);
        auto it = found.find(m_Folder + item.first);
        ASSERT_NE(it, found.end());
        EXPECT_EQ(it->second.isFolder, item.second);
        EXPECT_EQ(it->second.folder, "");
        // Post-order: everything inside a folder comes before it.
        std::string prefix = m_Folder + item.first + "\\";
        for (const auto &other : found)
            if (other.first.compare(0, prefix.size(), prefix) == 0) {
                EXPECT_LT(other.second.index, it->second.index) << other.first;
            }
    }
    EXPECT_EQ(found[m_Folder + "bin\\表\\empty.bin"].size, 0u);
    EXPECT_EQ(found[m_Folder + "bin\\表\\ソ能.dat"].size, 6u);

    // A second search gives the same list, not a doubled one.
    EXPECT_EQ(list.Search(m_Folder.c_str(), 1, 0), count);
    EXPECT_EQ(Entries(list).size(), found.size());
    std::map<std::string, Found> again = Entries(list);
    for (const auto &item : found)
        EXPECT_EQ(again[item.first].index, item.second.index) << item.first;
}

TEST_F(MakerScanTest, GrowsPastItsStartForLargeTrees)
{
    std::vector<TreeItem> tree;
    for (int d = 0; d < 30; ++d)
        for (int f = 0; f < 50; ++f)
            tree.push_back({"d" + std::to_string(d) + "\\能" + std::to_string(f), "x"});
    ASSERT_TRUE(makertest::BuildTree(m_Root, tree));
    CFileSerch list(100);
    EXPECT_EQ(list.Search(m_Folder.c_str(), 1, 0), 30 * 50 + 30);
    EXPECT_EQ(list.GetCount(), 30 * 50 + 30);
}

TEST_F(MakerScanTest, FoldersThatCannotBeListed)
{
    ASSERT_TRUE(makertest::BuildTree(m_Root, {{"a.txt", "a"}, {"empty\\", ""}}));
    CFileSerch list(100);
    ASSERT_EQ(list.Search(m_Folder.c_str(), 1, 0), 2);

    // Null: nothing happens to the list.
    EXPECT_EQ(list.Search(nullptr, 1, 0), -1);
    EXPECT_EQ(list.GetCount(), 2);

    // A missing folder, or a file given as the folder: an empty list.
    for (const std::string &folder : {m_Folder + "missing\\", m_Folder + "a.txt\\"}) {
        SCOPED_TRACE(folder);
        ASSERT_EQ(list.Search(m_Folder.c_str(), 1, 0), 2);
        EXPECT_EQ(list.Search(folder.c_str(), 1, 0), -1);
        EXPECT_EQ(list.GetCount(), 0);
    }

    // An empty folder: nothing found, and no failure.
    EXPECT_EQ(list.Search((m_Folder + "empty\\").c_str(), 1, 0), 0);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(MakerScanTest, WithoutRecursionOnlyTheTopLevelIsListed)
{
    ASSERT_TRUE(makertest::BuildTree(m_Root, {{"a.txt", "a"}, {"sub\\b.txt", "b"}}));
    CFileSerch list(100);
    EXPECT_EQ(list.Search(m_Folder.c_str(), 0, 0), 2);
    std::map<std::string, Found> found = Entries(list);
    EXPECT_EQ(found.count(m_Folder + "sub"), 1u);
    EXPECT_EQ(found.count(m_Folder + "sub\\b.txt"), 0u);
}
