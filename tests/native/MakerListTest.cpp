// The maker's list of found entries: slots, growth and bounded copies.
#include "maker/FileList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using usrs_class::CFile;
using usrs_class::CFileList;
using usrs_class::t_FileStatus;

namespace {

t_FileStatus Entry(const std::string &path, const std::string &folder = std::string())
{
    t_FileStatus status;
    std::memset(&status, 0, sizeof status);
    std::memcpy(status.szPath, path.data(), path.size());
    std::memcpy(status.szFolder, folder.data(), folder.size());
    return status;
}

}  // namespace

TEST(MakerListTest, GrowsFromAnyStartAndKeepsTheOrderOfAdding)
{
    for (int capacity : {0, 1, 2, 100}) {
        SCOPED_TRACE(capacity);
        CFileList list(capacity);
        EXPECT_EQ(list.GetCapacity(), capacity);
        const int kEntries = 250;
        for (int i = 0; i < kEntries; ++i)
            ASSERT_EQ(list.Add(Entry("C:\\src\\表" + std::to_string(i))), 1);
        EXPECT_EQ(list.GetCount(), kEntries);
        ASSERT_GE(list.GetCapacity(), kEntries);
        for (int i = 0; i < kEntries; ++i) {
            CFile *slot = list.GetItem(i);
            ASSERT_NE(slot, nullptr);
            EXPECT_EQ(slot->IsUsed(), 1);
            EXPECT_EQ(std::string(slot->GetPath(nullptr, 0)), "C:\\src\\表" + std::to_string(i));
        }
    }
}

TEST(MakerListTest, ClearFreesEverySlotAndRefillsFromTheFirst)
{
    CFileList list(4);
    EXPECT_EQ(list.Clear(), 0);
    for (const char *path : {"a", "b", "c", "d", "e"})
        ASSERT_EQ(list.Add(Entry(path)), 1);
    int capacity = list.GetCapacity();
    EXPECT_EQ(list.Clear(), 1);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Clear(), 0);
    for (int i = 0; i < capacity; ++i)
        EXPECT_EQ(list.GetItem(i)->IsUsed(), 0) << i;
    ASSERT_EQ(list.Add(Entry("ソ")), 1);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_STREQ(list.GetItem(0)->szPath, "ソ");
    EXPECT_EQ(list.GetItem(0)->IsUsed(), 1);
    // The capacity did not change by clearing and adding fewer entries.
    EXPECT_EQ(list.GetCapacity(), capacity);
}

TEST(MakerListTest, GetItemIsBoundedByTheCapacity)
{
    CFileList list(3);
    ASSERT_EQ(list.Add(Entry("x")), 1);
    EXPECT_EQ(list.GetItem(-1), nullptr);
    EXPECT_EQ(list.GetItem(3), nullptr);
    ASSERT_NE(list.GetItem(2), nullptr);
    EXPECT_EQ(list.GetItem(2)->IsUsed(), 0);
    CFileList empty(0);
    EXPECT_EQ(empty.GetItem(0), nullptr);
}

TEST(MakerListTest, SetStatusCopiesEveryFieldAndNeverSplitsACharacter)
{
    t_FileStatus status = Entry("", "C:\\src\\能\\");
    status.dwFileAttributes = 0x10;
    status.ftCreationTime = {1, 2};
    status.ftLastAccessTime = {3, 4};
    status.ftLastWriteTime = {5, 6};
    status.nFileSizeHigh = 7;
    status.nFileSizeLow = 8;
    // An unterminated path whose last two bytes are a whole character: the
    // 260-byte copy keeps 258 bytes, then stops before that character.
    std::memset(status.szPath, 'a', sizeof status.szPath);
    std::memcpy(status.szPath + 258, "表", 2);

    CFile file;
    EXPECT_EQ(file.IsUsed(), 0);
    EXPECT_EQ(file.SetStatus(status), 1);
    EXPECT_EQ(file.IsUsed(), 0);
    EXPECT_EQ(file.dwFileAttributes, 0x10u);
    EXPECT_EQ(std::string(file.szPath), std::string(258, 'a'));
    EXPECT_STREQ(file.szFolder, "C:\\src\\能\\");
    EXPECT_EQ(file.ftCreationTime.dwLowDateTime, 1u);
    EXPECT_EQ(file.ftCreationTime.dwHighDateTime, 2u);
    EXPECT_EQ(file.ftLastAccessTime.dwHighDateTime, 4u);
    EXPECT_EQ(file.ftLastWriteTime.dwLowDateTime, 5u);
    EXPECT_EQ(file.nFileSizeHigh, 7u);
    EXPECT_EQ(file.nFileSizeLow, 8u);
    EXPECT_EQ(file.IsShortcut(), 1);
}

TEST(MakerListTest, GetPathCopiesWholeCharactersWithinTheLength)
{
    struct Case {
        int length;
        std::string expected;  // the bytes written, NUL fill included
    } cases[] = {
        {2, std::string("ab")},
        {3, std::string("ab\0", 3)},
        {4, std::string("ab表")},
        {6, std::string("ab表\0\0", 6)},
    };
    CFile file;
    file.SetStatus(Entry("ab表"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.length);
        char buffer[8];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(file.GetPath(buffer, c.length), file.szPath);
        EXPECT_EQ(std::string(buffer, c.expected.size()), c.expected);
        // Nothing beyond the length is touched.
        EXPECT_EQ(buffer[c.length], '#');
    }
    char folder[4];
    std::memset(folder, '#', sizeof folder);
    file.GetFolder(folder, 3);
    EXPECT_EQ(std::string(folder, 4), std::string("\0\0\0#", 4));
}
