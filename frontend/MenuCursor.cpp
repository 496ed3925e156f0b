#include "frontend/MenuCursor.h"

#include <algorithm>

#include "core/CheckedAccess.h"

cMenuCursor::cMenuCursor()
{
    m_vStack.assign(1, MENUCURSOR{});
    Relink();
}

// The stack's storage moves when it grows, so the two pointers are taken again after every
// change of its length.
void cMenuCursor::Relink()
{
    if (m_vStack.empty()) m_vStack.assign(1, MENUCURSOR{});
    const int32_t nTop = static_cast<int32_t>(m_vStack.size()) - 1;
    m_lpCurrent = &CheckedAt(m_vStack, nTop);
    m_lpPrevious = nTop >= 1 ? &CheckedAt(m_vStack, nTop - 1) : nullptr;
}

void cMenuCursor::ResetMenuCursor()
{
    m_vStack.resize(1);
    Relink();
    *m_lpCurrent = MENUCURSOR{};
}

void cMenuCursor::PushMenuCursor(int32_t nMode)
{
    m_vStack.push_back(MENUCURSOR{});
    Relink();
    if (nMode == 1 && m_lpPrevious != nullptr) *m_lpCurrent = *m_lpPrevious;
}

void cMenuCursor::PopMenuCursor(int32_t nMode)
{
    if (m_vStack.size() < 2) return;
    const MENUCURSOR removed = m_vStack.back();
    m_vStack.pop_back();
    Relink();
    if (nMode == 0) *m_lpCurrent = MENUCURSOR{};
    else if (nMode == 2) *m_lpCurrent = removed;
}

void cMenuCursor::MoveGridCursor(const cKeyInput& input, int32_t nX0, int32_t nY0, int32_t nXPitch,
                                 int32_t nYPitch, int32_t nColumns, int32_t nRows)
{
    if (nColumns < 0 || nRows < 0) return;
    MENUCURSOR& c = *m_lpCurrent;
    const uint16_t dir = input.m_wDirection;
    if (dir & kDirLeft) --c.col;
    else if (dir & kDirRight) ++c.col;
    if (dir & kDirUp) --c.row;
    else if (dir & kDirDown) ++c.row;
    if (c.row < 0) c.row = nRows - 1;
    else if (c.row >= nRows) c.row = 0;
    if (c.col < 0) c.col = nColumns - 1;
    else if (c.col >= nColumns) c.col = 0;
    c.x = nX0 + c.col * nXPitch;
    c.y = nY0 + c.row * nYPitch;
}

void cMenuCursor::MoveListCursor(const cKeyInput& input, int32_t bVertical, int32_t& nTop,
                                 int32_t nOrigin, int32_t nPitch, int32_t nOther, int32_t nPage,
                                 int32_t nCount, int32_t bPageJumps)
{
    MENUCURSOR& c = *m_lpCurrent;
    int32_t& nIndex = bVertical ? c.row : c.col;
    const uint16_t dir = input.m_wDirection;
    if (dir & kDirUp) {
        if (nIndex - nTop <= 0) --nTop;
        --nIndex;
    } else if (dir & kDirDown) {
        if (nIndex - nTop >= nPage - 1) ++nTop;
        ++nIndex;
    }
    if (bPageJumps) {
        // A jump moves one line less than a page, so the line at the edge stays in view.
        if (dir & kDirRight) {
            if (nTop == nCount - nPage) nIndex = nCount - 1;
            else {
                nTop += nPage - 1;
                nIndex += nPage - 1;
            }
        } else if (dir & kDirLeft) {
            if (nTop == 0) nIndex = 0;
            else {
                nTop -= nPage - 1;
                nIndex -= nPage - 1;
            }
        }
    }
    if (nIndex > nCount - 1) nIndex = nCount - 1;
    if (nIndex < 0) nIndex = 0;
    if (nTop < 0) nTop = 0;
    const int32_t nMaxTop = std::max(nCount - nPage, 0);
    if (nTop > nMaxTop) nTop = nMaxTop;
    if (bVertical) {
        c.y = nOrigin + (nIndex - nTop) * nPitch;
        c.x = nOther;
    } else {
        c.x = nOrigin + (nIndex - nTop) * nPitch;
        c.y = nOther;
    }
}

void PlayCursorSound(const cKeyInput& input, int32_t nAxes, std::vector<DSSOUNDDATA>& sounds,
                     int32_t nSound)
{
    const uint16_t dir = input.m_wDirection;
    if ((nAxes & 1) && (dir & (kDirLeft | kDirRight))) DS_Play(CheckedAt(sounds, nSound), 0);
    if ((nAxes & 2) && (dir & (kDirUp | kDirDown))) DS_Play(CheckedAt(sounds, nSound), 0);
}
