#include "platform/os/Clock.h"

#include <chrono>

namespace {

using SteadyClock = std::chrono::steady_clock;

SteadyClock::time_point ProcessStart() {
    static const SteadyClock::time_point start = SteadyClock::now();
    return start;
}

// Takes the start during static initialisation, so the first reading is not the zero point.
const SteadyClock::time_point startAtLoad = ProcessStart();

} // namespace

DWORD timeGetTime() {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - ProcessStart());
    return static_cast<DWORD>(static_cast<std::uint64_t>(elapsed.count()));
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (count == nullptr) {
        return FALSE;
    }
    const auto now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(SteadyClock::now().time_since_epoch());
    count->QuadPart = static_cast<LONGLONG>(now.count());
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (frequency == nullptr) {
        return FALSE;
    }
    frequency->QuadPart = 1'000'000'000;
    return TRUE;
}
