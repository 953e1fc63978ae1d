#include "app/SingleInstanceGuard.hpp"

#include <string>

#include <gtest/gtest.h>

namespace {

std::wstring uniqueName()
{
    return L"Kelvo guard test " + std::to_wstring(GetCurrentProcessId());
}

TEST(SingleInstanceGuardTest, OnlyTheFirstHolderOfTheNameRunsAlone)
{
    const auto name = uniqueName();
    {
        const SingleInstanceGuard first(name);
        EXPECT_FALSE(first.anotherInstanceRuns());
        const SingleInstanceGuard second(name);
        EXPECT_TRUE(second.anotherInstanceRuns());
    }
    // Both guards closed their handles: the name is free again.
    const SingleInstanceGuard later(name);
    EXPECT_FALSE(later.anotherInstanceRuns());
}

} // namespace
