#include "platform/os/Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(Clock, MillisecondsCountFromProcessStart) {
    const DWORD first = timeGetTime();
    EXPECT_LT(first, 10u * 60u * 1000u) << "the clock must start near zero, not at boot or the epoch";
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const DWORD second = timeGetTime();
    EXPECT_GE(second - first, 30u);
    EXPECT_LE(first, second);
}

TEST(Clock, PerformanceCounterCountsNanoseconds) {
    LARGE_INTEGER frequency{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 1'000'000'000);

    LARGE_INTEGER before{}, after{};
    ASSERT_TRUE(QueryPerformanceCounter(&before));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(QueryPerformanceCounter(&after));
    EXPECT_GE(after.QuadPart - before.QuadPart, 5'000'000);

    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
    EXPECT_FALSE(QueryPerformanceFrequency(nullptr));
}

} // namespace
