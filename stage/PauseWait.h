#pragma once
// What the reduced display loop of the pause thread waits for.
#include <cstdint>

struct PauseWaitRecord {
    int32_t m_nKind = 0;        // 1: a key ends it with sound 12
    int32_t m_nDelay = 0;       // frames without accepting a key
    int32_t m_bWaitForKey = 0;
    int32_t m_nFrames = 0;
    int32_t m_nCounter = 0;
};
