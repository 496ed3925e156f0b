#pragma once
// The ready-made step lists that object animations play, built once after the database loads:
// one pattern per animation and one per effect graphic.
#include <cstdint>
#include <vector>

// End codes of a step's frame.
constexpr int32_t AnimeStay = -1;      // stay on the previous step
constexpr int32_t AnimeRestart = -2;   // start the pattern again
constexpr int32_t AnimeSwitch = -3;    // switch to the pattern named in the duration
constexpr int32_t AnimeFinished = -4;  // the animation has ended

struct AnimeStep {
    int32_t m_nFrame;      // cell number, or an end code
    int32_t m_nDuration;   // game frames
    int32_t m_bHold;       // non-zero: an unforced pattern change is refused on this step
};
bool operator==(const AnimeStep& a, const AnimeStep& b);

using AnimePattern = std::vector<AnimeStep>;

extern std::vector<AnimePattern> g_AnimePatternTable;
extern std::vector<AnimePattern> g_EffectPatternTable;

// From the animation list of g_Database. Animation 0 loops without time and never ends; every
// other one runs once and holds from its action-point frame on.
void BuildAnimePatterns(std::vector<AnimePattern>& table);
// From the effect-graphic list of g_Database. Effect 0 loops without time; every other one runs
// once and reports its end.
void BuildEffectTable(std::vector<AnimePattern>& table);
