#pragma once
// The game-wide menu cursor: a stack of cursor records whose top record every menu moves, so that
// a sub-menu can open with a fresh cursor and hand the parent its old position back on closing.
#include <cstdint>
#include <vector>

#include "media/input/KeyInput.h"
#include "media/sound/SoundEffect.h"

struct MENUCURSOR {
    int32_t col;
    int32_t row;
    int32_t x;   // pixel position, computed by the movement rules
    int32_t y;
};

// Direction bits of a cKeyInput.
constexpr uint16_t kDirLeft = 1;
constexpr uint16_t kDirRight = 2;
constexpr uint16_t kDirUp = 4;
constexpr uint16_t kDirDown = 8;

class cMenuCursor {
public:
    cMenuCursor();
    cMenuCursor(const cMenuCursor&) = delete;
    cMenuCursor& operator=(const cMenuCursor&) = delete;

    // The top record, which every movement rule changes.
    MENUCURSOR& Current() { return *m_lpCurrent; }
    // The record below the top, or null with a single record.
    MENUCURSOR* Previous() { return m_lpPrevious; }
    int32_t Depth() const { return static_cast<int32_t>(m_vStack.size()); }

    // One zeroed record left.
    void ResetMenuCursor();
    // A new zeroed record on top; mode 1 copies the parent's record into it.
    void PushMenuCursor(int32_t nMode);
    // Drops the top record (never the last one). Mode 0 zeroes the parent's record, mode 2
    // gives it the dropped record's values, any other mode leaves it as it was stored.
    void PopMenuCursor(int32_t nMode);

    // Wrap-around grid: rows wrap first, then columns; x and y follow col and row.
    void MoveGridCursor(const cKeyInput& input, int32_t nX0, int32_t nY0, int32_t nXPitch,
                        int32_t nYPitch, int32_t nColumns, int32_t nRows);
    // Scrolling list of nCount entries with nPage visible lines and nTop the first visible one;
    // vertical lists move row, horizontal ones col. Never wraps.
    void MoveListCursor(const cKeyInput& input, int32_t bVertical, int32_t& nTop, int32_t nOrigin,
                        int32_t nPitch, int32_t nOther, int32_t nPage, int32_t nCount,
                        int32_t bPageJumps);

private:
    void Relink();

    std::vector<MENUCURSOR> m_vStack;
    MENUCURSOR* m_lpCurrent = nullptr;
    MENUCURSOR* m_lpPrevious = nullptr;
};

extern cMenuCursor MenuCursor;

// Plays entry nSound of the sound table once for a horizontal press (axes bit 0) and once for a
// vertical press (axes bit 1), also when the cursor could not move. Plays on the calling thread.
void PlayCursorSound(const cKeyInput& input, int32_t nAxes, std::vector<DSSOUNDDATA>& sounds,
                     int32_t nSound);
