#pragma once
// One axis of the view over the stage: the view position in stage pixels, the range it may cover,
// the stage's extent and, for the horizontal axis, the row pitch of the block map.
#include <cstdint>

class cScrollAxis {
public:
    // The axis of a stage of nBlocks blocks (margins included) with its pitch, shift and ranges.
    void Setup(int32_t nAxis, int32_t nView, int32_t nBlockOrigin, int32_t nBlocks,
               int32_t nStageExtent, int32_t nPitch, int32_t nShift, int32_t nMinBase,
               int32_t nDefaultMax);
    // Keeps the view inside [minimum, maximum); the minimum wins when the range is shorter than
    // the view. The edge flag says whether it had to clamp.
    void Clamp();
    // Auto-scroll by one sub-step, then Clamp.
    void Step();
    // Auto-scroll on or off; value in tenths of a pixel per frame.
    void SetSpeed(int32_t bOn, int32_t nValue);
    // Scroll limits in blocks; an unset limit leaves the base minimum or the default maximum.
    void SetBounds(int32_t a, int32_t b, int32_t bMinOn, int32_t bMaxOn);

    double m_dPosition = 0.0;
    int32_t m_bEdge = 0;
    int32_t m_nAxis = 0;            // 0 horizontal, 1 vertical
    int32_t m_nView = 0;            // 640 or 480
    int32_t m_nMin = 0;
    int32_t m_nMax = 0;
    int32_t m_nMinBase = 0;         // 320
    int32_t m_nDefaultMax = 0;
    int32_t m_nBlockOrigin = 0;     // 10
    int32_t m_nStageExtent = 0;     // stage pixels + 640
    int32_t m_nBlocks = 0;          // stage blocks + 20
    int32_t m_nPitch = 0;
    int32_t m_nShift = 0;
    double m_dSpeed = 0.0;          // pixels per sub-step
    int32_t m_bMoving = 0;
};
