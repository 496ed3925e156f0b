// Clocks: the millisecond timer (virtual on the headless host), the tick count and the
// performance counter (real time on both hosts).
#include "platform/win/WinTime.h"

#include <ctime>

#include "platform/host/Host.h"

namespace {

uint64_t MonotonicNanoseconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}

// The counter ticks in 100 ns steps, so that callers multiplying it by 1000 stay far from
// overflow.
constexpr int64_t kCounterFrequency = 10000000;

}  // namespace

DWORD timeGetTime()
{
    if (IsHeadless()) return HostVirtualTime();
    return static_cast<DWORD>(MonotonicNanoseconds() / 1000000u);
}

UINT timeBeginPeriod(UINT)
{
    return 0;
}

UINT timeEndPeriod(UINT)
{
    return 0;
}

DWORD GetTickCount()
{
    return static_cast<DWORD>(MonotonicNanoseconds() / 1000000u);
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* counter)
{
    if (!counter) return 0;
    counter->QuadPart = static_cast<int64_t>(MonotonicNanoseconds() / 100u);
    return 1;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (!frequency) return 0;
    frequency->QuadPart = kCounterFrequency;
    return 1;
}
