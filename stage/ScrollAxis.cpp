// The view's axes: clamping, auto-scroll and the scroll limits of the stage.
#include "stage/ScrollAxis.h"

#include "data/EdStage.h"

void cScrollAxis::Setup(int32_t nAxis, int32_t nView, int32_t nBlockOrigin, int32_t nBlocks,
                        int32_t nStageExtent, int32_t nPitch, int32_t nShift, int32_t nMinBase,
                        int32_t nDefaultMax)
{
    m_nAxis = nAxis;
    m_nView = nView;
    m_nBlockOrigin = nBlockOrigin;
    m_nBlocks = nBlocks;
    m_nStageExtent = nStageExtent;
    m_nPitch = nPitch;
    m_nShift = nShift;
    m_nMinBase = nMinBase;
    m_nDefaultMax = nDefaultMax < 0 ? 0 : nDefaultMax;
    m_nMin = m_nMinBase;
    m_nMax = m_nDefaultMax;
}

void cScrollAxis::Clamp()
{
    if (m_dPosition < m_nMin) {
        m_dPosition = m_nMin;
        m_bEdge = 1;
    } else if (m_dPosition + m_nView < m_nMax) {
        m_bEdge = 0;
    } else {
        m_dPosition = static_cast<double>(m_nMax) - m_nView;
        m_bEdge = 1;
        if (m_dPosition < m_nMin) m_dPosition = m_nMin;
    }
}

void cScrollAxis::Step()
{
    m_dPosition += m_dSpeed;
    Clamp();
}

void cScrollAxis::SetSpeed(int32_t bOn, int32_t nValue)
{
    if (bOn == 0) {
        m_dSpeed = 0.0;
        m_bMoving = 0;
        return;
    }
    // The setting is tenths of a pixel per frame; a frame has b sub-steps. A stage whose speed
    // level has not been applied yet counts as one sub-step rather than dividing by zero.
    const double b = g_Stage.m_dSubSteps >= 1.0 ? g_Stage.m_dSubSteps : 1.0;
    m_bMoving = 1;
    m_dSpeed = nValue * 0.1 / b;
}

void cScrollAxis::SetBounds(int32_t a, int32_t b, int32_t bMinOn, int32_t bMaxOn)
{
    // Limits come from the stage file: the sums are taken in 64 bits so that no setting wraps.
    auto clampToInt = [](int64_t v) {
        return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v));
    };
    m_nMin = bMinOn != 0 ? clampToInt(m_nMinBase + static_cast<int64_t>(a) * 32) : m_nMinBase;
    if (bMaxOn != 0) {
        m_nMax = clampToInt(m_nMinBase + (static_cast<int64_t>(b) + 1) * 32);
        if (m_nMax < m_nMin) m_nMax = m_nMin;
    } else {
        m_nMax = m_nDefaultMax;
    }
}
