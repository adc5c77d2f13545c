#pragma once

#include <chrono>

namespace fw {

// Long loops call BackgroundYield() once per pass so that windows keep
// responding. The call itself is a decrement; only every few thousand calls
// does it look at the clock, and only when enough time has passed does it hand
// control to the installed hook (the GUI layer installs one that repaints and
// runs timers but delivers no user input, so no handler is ever re-entered).
using YieldHook = void (*)();

void SetYieldHook(YieldHook hook) noexcept;

namespace detail {
extern unsigned yieldCountdown;
void YieldSlowPath() noexcept;

// Tests let time pass without waiting by giving the yield a clock of their
// own; nullptr goes back to the steady clock.
using YieldClock = std::chrono::steady_clock::time_point (*)();
void SetYieldClockForTesting(YieldClock clock) noexcept;
} // namespace detail

inline void BackgroundYield() noexcept {
    if (--detail::yieldCountdown == 0) {
        detail::YieldSlowPath();
    }
}

} // namespace fw
