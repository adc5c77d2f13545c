#include "framework/core/Yield.h"

#include <gtest/gtest.h>

namespace {

int hookCalls = 0;
void CountingHook() {
    ++hookCalls;
    // A hook that yields again must not recurse into itself.
    for (int i = 0; i < 100000; ++i) {
        fw::BackgroundYield();
    }
}

} // namespace

TEST(BackgroundYield, ReachesTheHookRarelyAndNeverReentrantly) {
    hookCalls = 0;
    fw::SetYieldHook(&CountingHook);
    for (int i = 0; i < 100000; ++i) {
        fw::BackgroundYield();
    }
    fw::SetYieldHook(nullptr);
    // 100000 calls take far less than the minimum interval between two hook
    // calls, so at most the first clock read can reach it.
    EXPECT_LE(hookCalls, 1);
}
