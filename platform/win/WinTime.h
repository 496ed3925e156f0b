#pragma once
// Clocks. The millisecond timer is 32 bits and wraps; compare times by signed difference.
// On the headless host timeGetTime reads the virtual clock, which advances only when a thread
// sleeps. GetTickCount and the performance counter are real time on both hosts.
#include "platform/win/WinTypes.h"

DWORD timeGetTime();
UINT timeBeginPeriod(UINT period);   // no effect here; returns 0 (success)
UINT timeEndPeriod(UINT period);
DWORD GetTickCount();
BOOL QueryPerformanceCounter(LARGE_INTEGER* counter);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
