// Menu helpers of cKeyInput: auto-repeat of held directions and the single-press button latch.
#include "media/input/KeyInput.h"

namespace {

// One axis: the bits pass on the frame they change, then after the delay every interval.
// The counter and its limits compare unsigned; an interval of 0 repeats on every frame after
// the delay instead of dividing by zero.
void RepeatAxis(uint16_t& direction, uint16_t history, uint16_t axisBits, int32_t& counter,
                int32_t delay, int32_t interval)
{
    const uint16_t now = history & axisBits;
    const uint16_t before = (history >> 4) & axisBits;
    if (now != before) {
        counter = 0;
        return;
    }
    const uint32_t count = static_cast<uint32_t>(counter) + 1;
    counter = static_cast<int32_t>(count);
    const uint32_t every = interval == 0 ? 1u : static_cast<uint32_t>(interval);
    if (count < static_cast<uint32_t>(delay) || count % every != 0)
        direction &= static_cast<uint16_t>(~axisBits);
}

}  // namespace

void cKeyInput::ApplyAutoRepeat()
{
    m_wRawDirHistory = static_cast<uint16_t>((m_wRawDirHistory << 4) | m_wDirection);
    RepeatAxis(m_wDirection, m_wRawDirHistory, 0x3, m_nRepeatH, m_nRepeatDelay, m_nRepeatInterval);
    RepeatAxis(m_wDirection, m_wRawDirHistory, 0xC, m_nRepeatV, m_nRepeatDelay, m_nRepeatInterval);
}

void cKeyInput::LatchButtons(uint16_t mask)
{
    if (mask == 0) mask = 0xFF;
    const uint16_t held = m_wButton & mask;
    for (int i = 0; i < 8; ++i) {
        const uint16_t bit = static_cast<uint16_t>(1u << i);
        if (!(mask & bit)) continue;
        if (m_bLatch) {
            m_wButton &= static_cast<uint16_t>(~bit);
        } else if (m_wButton & bit) {
            // The press is reported on this frame; from the next one the mask reads as released.
            m_bLatch = 1;
            return;
        }
    }
    if (held == 0)
        m_bLatch = 0;
    else
        m_wButton &= static_cast<uint16_t>(~mask);
}
