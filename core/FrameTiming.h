#pragma once
// Frame clocks over the millisecond timer. Called from the game thread only.
#include <cstdint>

uint32_t StartStopwatch();
uint32_t ReadStopwatch(bool measure);
int32_t CountFps(bool count);
bool FrameGate(int32_t fps);
bool PaceFrame(int32_t fps);
bool FrameCountGate(int32_t mode, int32_t n);

// PaceFrame passes at once unless the Direct3D back end is active; the graphics layer says so.
void SetPaceFrameBackEndActive(bool active);

// Back to the state of program start (tests, and a restarted clock).
void ResetFrameTiming();
