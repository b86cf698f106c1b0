#include <gtest/gtest.h>

#include "support/test_util.h"

TEST(RunModes, UnknownSwitchExitsWithMinusOne)
{
    SaverProcess p;
    ASSERT_TRUE(p.Start("/x"));
    EXPECT_EQ(static_cast<int>(p.WaitExit(10000)), -1);
}
