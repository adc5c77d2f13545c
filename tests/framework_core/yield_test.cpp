#include "framework/core/Yield.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A clock that moves on by `step` at every read, so a test decides how fast
// time passes and never waits for it.
Clock::time_point fakeNow = Clock::time_point(std::chrono::hours(1));
Clock::duration step{};
int clockReads = 0;
Clock::time_point ReadFakeClock() {
    ++clockReads;
    fakeNow += step;
    return fakeNow;
}

int depth = 0;
int deepest = 0;
int yieldsInsideHook = 0;
std::vector<Clock::time_point> hookTimes;
void RecordingHook() {
    ++depth;
    deepest = std::max(deepest, depth);
    hookTimes.push_back(fakeNow);
    for (int i = 0; i < yieldsInsideHook; ++i) {
        fw::BackgroundYield();
    }
    --depth;
}

class BackgroundYield : public ::testing::Test {
protected:
    void SetUp() override {
        clockReads = 0;
        deepest = 0;
        yieldsInsideHook = 0;
        hookTimes.clear();
        fw::detail::SetYieldClockForTesting(&ReadFakeClock);
        fw::SetYieldHook(&RecordingHook);
    }
    void TearDown() override {
        fw::SetYieldHook(nullptr);
        fw::detail::SetYieldClockForTesting(nullptr);
    }
    static void Yield(int times) {
        for (int i = 0; i < times; ++i) {
            fw::BackgroundYield();
        }
    }
};

} // namespace

TEST_F(BackgroundYield, KeepsReachingTheHookForAsLongAsALoopRuns) {
    step = std::chrono::seconds(1);
    Yield(400000);
    // The clock is read only every few thousand calls, but again and again:
    // a yield that stopped counting after one read would reach the hook once.
    EXPECT_LE(clockReads, 400000 / 1000);
    EXPECT_GE(hookTimes.size(), 40u);
}

TEST_F(BackgroundYield, AHookThatYieldsAgainIsNotReentered) {
    step = std::chrono::seconds(1);
    yieldsInsideHook = 20000;
    Yield(100000);
    EXPECT_GE(hookTimes.size(), 2u);
    EXPECT_EQ(deepest, 1);
}

TEST_F(BackgroundYield, LeavesTheMinimumIntervalBetweenTwoHookCalls) {
    step = std::chrono::milliseconds(7);
    Yield(400000);
    ASSERT_GE(hookTimes.size(), 3u);
    for (std::size_t i = 1; i < hookTimes.size(); ++i) {
        EXPECT_GE(hookTimes[i] - hookTimes[i - 1], std::chrono::milliseconds(50)) << i;
    }
}

TEST_F(BackgroundYield, WithoutAHookNeverReadsTheClock) {
    fw::SetYieldHook(nullptr);
    step = std::chrono::seconds(1);
    Yield(400000);
    EXPECT_EQ(clockReads, 0);
}
