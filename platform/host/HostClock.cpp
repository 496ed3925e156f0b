// The headless host's virtual clock: milliseconds that pass only when a thread sleeps, so a run
// goes as fast as the processor allows and repeats exactly.
#include <atomic>

#include "platform/host/Host.h"

namespace {
std::atomic<uint32_t> g_virtualTime{0};
std::atomic<uint32_t> g_clockDriver{0};
}

uint32_t HostVirtualTime()
{
    return g_virtualTime.load();
}

void HostSetVirtualTime(uint32_t milliseconds)
{
    g_virtualTime = milliseconds;
}

void HostAdvanceVirtualTime(uint32_t milliseconds)
{
    g_virtualTime += milliseconds;   // wraps at 2^32 like the millisecond timer
}

void HostSetClockDriver(uint32_t threadId)
{
    g_clockDriver = threadId;
}

uint32_t HostClockDriver()
{
    return g_clockDriver.load();
}
