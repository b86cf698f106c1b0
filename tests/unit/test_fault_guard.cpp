#include <gtest/gtest.h>

#include "shell/fault_guard.h"

namespace {

int WriteThroughNull(void*)
{
    *static_cast<volatile int*>(nullptr) = 5;
    return 7;
}

int DivideByZero(void* context)
{
    volatile int zero = *static_cast<int*>(context);
    return 10 / zero;
}

int Plain(void* context) { return *static_cast<int*>(context) + 1; }

}  // namespace

TEST(FaultGuard, AccessViolationEndsTheRunWithTheFaultResult)
{
    EXPECT_EQ(RunGuarded(WriteThroughNull, nullptr, -1), -1);
}

TEST(FaultGuard, IntegerDivisionByZeroIsCaughtTooAndTheGuardCanBeUsedAgain)
{
    int zero = 0;
    EXPECT_EQ(RunGuarded(DivideByZero, &zero, -1), -1);
    int one = 41;
    EXPECT_EQ(RunGuarded(Plain, &one, -1), 42);
}
