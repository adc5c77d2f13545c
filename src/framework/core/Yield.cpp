#include "framework/core/Yield.h"

namespace fw {
namespace {

constexpr unsigned kCallsBetweenClockReads = 4096;
constexpr auto kMinInterval = std::chrono::milliseconds(50);

YieldHook installedHook = nullptr;
bool insideHook = false;
std::chrono::steady_clock::time_point lastHookCall{};
detail::YieldClock readClock = &std::chrono::steady_clock::now;

} // namespace

namespace detail {
unsigned yieldCountdown = kCallsBetweenClockReads;

void YieldSlowPath() noexcept {
    yieldCountdown = kCallsBetweenClockReads;
    if (installedHook == nullptr || insideHook) {
        return;
    }
    const auto now = readClock();
    if (now - lastHookCall < kMinInterval) {
        return;
    }
    insideHook = true;
    installedHook();
    insideHook = false;
    lastHookCall = readClock();
}

void SetYieldClockForTesting(YieldClock testClock) noexcept {
    readClock = testClock != nullptr ? testClock : &std::chrono::steady_clock::now;
}
} // namespace detail

void SetYieldHook(YieldHook hook) noexcept {
    installedHook = hook;
}

} // namespace fw
