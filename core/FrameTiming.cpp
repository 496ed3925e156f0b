#include "core/FrameTiming.h"

#include <atomic>

#include "platform/win/WinTime.h"

// Every time here is the 32-bit millisecond timer, which wraps after 49.7 days: times are compared
// by their signed difference so that no gate stalls at the wrap.
namespace {

int32_t Since(uint32_t now, uint32_t then)
{
    return static_cast<int32_t>(now - then);
}

std::atomic<bool> PaceActive{false};

struct FrameClocks {
    uint32_t stopwatchStart = 0;
    uint32_t lastDuration = 1;

    uint32_t frameCount = 0;

    bool fpsStarted = false;
    uint32_t fpsWindowStart = 0;
    int32_t fpsFrames = 0;
    int32_t fpsLast = 0;

    bool gateStarted = false;
    uint32_t gateNext = 0;

    bool paceStarted = false;
    uint32_t pacePeriodStart = 0;
    int32_t paceFrame = 0;
};

FrameClocks Clocks;

}  // namespace

void SetPaceFrameBackEndActive(bool active)
{
    PaceActive = active;
}

void ResetFrameTiming()
{
    Clocks = FrameClocks{};
}

uint32_t StartStopwatch()
{
    Clocks.stopwatchStart = timeGetTime();
    return Clocks.stopwatchStart;
}

uint32_t ReadStopwatch(bool measure)
{
    if (measure) Clocks.lastDuration = timeGetTime() - Clocks.stopwatchStart;
    return Clocks.lastDuration;
}

int32_t CountFps(bool count)
{
    uint32_t now = timeGetTime();
    if (!Clocks.fpsStarted) {
        Clocks.fpsStarted = true;
        Clocks.fpsWindowStart = now;
    }
    if (!count) return Clocks.fpsLast;
    if (now - Clocks.fpsWindowStart >= 1000) {
        // The call that closes a window is not counted in either window.
        Clocks.fpsLast = Clocks.fpsFrames;
        Clocks.fpsWindowStart = now;
        Clocks.fpsFrames = 0;
        return Clocks.fpsLast;
    }
    ++Clocks.fpsFrames;
    return Clocks.fpsLast;
}

bool FrameGate(int32_t fps)
{
    if (fps <= 0) return true;
    uint32_t now = timeGetTime();
    if (!Clocks.gateStarted) {
        Clocks.gateStarted = true;
        Clocks.gateNext = now;
    }
    if (Since(now, Clocks.gateNext) < 0) return false;
    // Lateness is not made up: the next interval starts now.
    Clocks.gateNext = now + static_cast<uint32_t>(1000 / fps);
    return true;
}

bool PaceFrame(int32_t fps)
{
    if (!PaceActive.load() || fps <= 0) return true;
    uint32_t now = timeGetTime();
    if (!Clocks.paceStarted) {
        Clocks.paceStarted = true;
        Clocks.pacePeriodStart = now;
        Clocks.paceFrame = 0;
    }
    // Frame k of a second is due k * (1000 / fps) ms after the second began, so a late frame is
    // followed by earlier ones until the second is complete.
    double due = Clocks.paceFrame * (1000.0 / fps);
    if (static_cast<double>(Since(now, Clocks.pacePeriodStart)) < due) return false;
    if (++Clocks.paceFrame >= fps) {
        Clocks.pacePeriodStart = now;
        Clocks.paceFrame = 0;
    }
    return true;
}

bool FrameCountGate(int32_t mode, int32_t n)
{
    if (mode == 0) {
        Clocks.frameCount = 0;
        return false;
    }
    if (mode == 2) return Clocks.frameCount == 0;
    ++Clocks.frameCount;
    if (static_cast<int64_t>(Clocks.frameCount) >= n) {
        Clocks.frameCount = 0;
        return true;
    }
    return false;
}
