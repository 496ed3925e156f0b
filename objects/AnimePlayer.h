#pragma once
// The frame-animation player of every object and of every animation request: patterns of steps
// {frame, duration, locked}, the current pattern, step and tick. It knows nothing of graphics: it
// yields a frame number, negative frame numbers being the end codes of data/AnimePattern.h.
#include <cstdint>
#include <vector>

#include "data/AnimePattern.h"

class cAnimePlayer {
public:
    // Defined in AnimePlayer.cpp.
    // Replaces all patterns from a null-terminated list of step arrays, each a run of int32
    // triples {frame, duration, locked} ended by a triple whose frame is negative. A null list
    // changes nothing.
    void Build(const int32_t* const* lpList);
    // 1 when pattern nPattern was set, 0 when a locked step refused an unforced change.
    int32_t SetPattern(int32_t nPattern, int32_t bForced);
    // As SetPattern, but 1 without any change when nPattern is already current.
    int32_t ChangePattern(int32_t nPattern, int32_t bForced);
    // One tick; the frame to show.
    int32_t Advance();
    // The current step's frame without advancing.
    int32_t GetFrame() const;

    std::vector<AnimePattern> m_vPatterns;
    int32_t m_nPattern = 0;
    int32_t m_nStep = 0;
    int32_t m_nTick = 0;
};
