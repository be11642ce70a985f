#include "installer/core/DataManager.h"

#include <gtest/gtest.h>

TEST(EngineTest, Placeholder)
{
    CDataManager manager;
    EXPECT_EQ(manager.Start(nullptr, "x", nullptr), 0);
}
