// The folder browser's callback, called directly: Wine's browser has no edit
// box, so a typed name that is no folder cannot be reached through it.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <future>

#include "installer/wizard/FolderBrowser.h"
#include "tests/support/WineTestUtil.h"

namespace {

TEST(WizardBrowseTest, InvalidTypedFolderIsRefusedAndKeepsTheBrowserOpen)
{
    std::future<int> result =
        std::async(std::launch::async, [] { return BrowseCallback(nullptr, BFFM_VALIDATEFAILEDA, 0, 0); });
    wtest::MessageBoxInfo box;
    ASSERT_TRUE(wtest::WaitForMessageBox(&box, 10000));
    EXPECT_EQ("Error", box.caption);
    EXPECT_EQ("不正なフォルダです", box.text);
    wtest::AnswerMessageBox(box.hwnd, IDOK);
    ASSERT_EQ(std::future_status::ready, result.wait_for(std::chrono::seconds(10)));
    EXPECT_EQ(1, result.get());
}

}  // namespace
