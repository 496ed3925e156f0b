#pragma once
// Drawing of the rankings: one ranking table in its window, and the results panel shown after a
// stage. Both draw with the ranking font (the second font) and take their place indicator from
// the status sheet.
#include <cstdint>
#include <vector>

#include "frontend/RankingFile.h"
#include "media/graphics/Surface.h"

// The status sheet that holds the place indicator, and where the indicator sits in it.
constexpr int32_t kStatusSheetSurface = 46;
constexpr int32_t kRankIndicatorX = 16;
constexpr int32_t kRankIndicatorY = 48;

// The table in a 272 x 352 window at (x, y): the title with the kind's name, then one row per
// line (rank, name, value right-aligned or the time for the clear time), the hint for switching
// kinds when the game mode records more than one, and the indicator beside the cursor row (-1:
// none).
void DrawRankingTable(const cRankingTable& table, DDSURFACEDATA* lpTarget, int32_t x, int32_t y, int32_t nKind,
                      int32_t nCursor);
// The table of the kind (a kind out of range is reported by the checked access).
void DrawRankingOfKind(cRankingFile& file, DDSURFACEDATA* lpTarget, int32_t x, int32_t y, int32_t nKind,
                       int32_t nCursor);
// The results of the play (the live progress record's totals) for every kind the stage shows
// and the game mode records (every kind the stage shows when it was started directly); the
// indicator stands beside each kind whose place is not -1. Nothing is drawn when no kind is shown.
void DrawResultPanel(DDSURFACEDATA* lpTarget, int32_t x, int32_t y, const std::vector<int32_t>& vPlaces);
