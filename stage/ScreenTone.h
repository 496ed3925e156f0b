#pragma once
// The tint of the stage picture set by the screen-colour command, with its flashes and fade.
#include <cstdint>

struct ScreenTone {
    int32_t m_bSet = 0;
    int8_t m_nRed = 0, m_nGreen = 0, m_nBlue = 0;
    int32_t m_nStrength = 0;    // percent
    int32_t m_bRestore = 0;
    int32_t m_nTime = 0;        // frames
    int32_t m_bFlash = 0;
    int32_t m_nFlashCount = 0;
    int32_t m_bActive = 0;
    int32_t m_nFrame = 0;
    int32_t m_nFlashesDone = 0;
    int32_t m_nAlpha = 0;       // 255 = no tint
    int8_t m_nPrevRed = 0, m_nPrevGreen = 0, m_nPrevBlue = 0;
    int32_t m_nPrevStrength = 0;
    int32_t m_nPrevAlpha = 0;
};
