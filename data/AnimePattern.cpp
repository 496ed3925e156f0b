#include "data/AnimePattern.h"

#include "data/EdDatabase.h"

std::vector<AnimePattern> g_AnimePatternTable;
std::vector<AnimePattern> g_EffectPatternTable;

namespace {

// Tenths of a second to game frames. A damaged list can hold any int32; the product is kept in
// range rather than allowed to overflow.
int32_t TenthsToFrames(int32_t tenths)
{
    const int64_t frames = static_cast<int64_t>(tenths) * 6;
    if (frames > INT32_MAX) return INT32_MAX;
    if (frames < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(frames);
}

}  // namespace

bool operator==(const AnimeStep& a, const AnimeStep& b)
{
    return a.m_nFrame == b.m_nFrame && a.m_nDuration == b.m_nDuration && a.m_bHold == b.m_bHold;
}

void BuildAnimePatterns(std::vector<AnimePattern>& table)
{
    const std::vector<cEdAnime>& animes = g_Database.m_vAnime;
    table.resize(animes.size());
    for (size_t i = 0; i < animes.size(); ++i) {
        const std::vector<cEdAnimeFrame>& frames = animes[i].m_vFrames;
        AnimePattern& pattern = table[i];
        pattern.resize(frames.size() + 1);
        int32_t bHold = 0;
        for (size_t k = 0; k < frames.size(); ++k) {
            if (i == 0) {
                pattern[k] = {frames[k].m_nFrame, 0, 1};
                continue;
            }
            if (frames[k].m_bAction != 0) bHold = 1;
            pattern[k] = {frames[k].m_nFrame, TenthsToFrames(frames[k].m_nTime), bHold};
        }
        pattern.back() = i == 0 ? AnimeStep{AnimeRestart, 0, 1} : AnimeStep{AnimeFinished, 0, 0};
    }
}

void BuildEffectTable(std::vector<AnimePattern>& table)
{
    const std::vector<cEdEffect>& effects = g_Database.m_vEffect;
    table.resize(effects.size());
    for (size_t i = 0; i < effects.size(); ++i) {
        const std::vector<cEdEffectEntry>& frames = effects[i].m_vFrames;
        AnimePattern& pattern = table[i];
        pattern.resize(frames.size() + 1);
        for (size_t k = 0; k < frames.size(); ++k) {
            if (i == 0) pattern[k] = {frames[k].m_nFrame, 0, 1};
            else pattern[k] = {frames[k].m_nFrame, TenthsToFrames(frames[k].m_nTime), 0};
        }
        pattern.back() = i == 0 ? AnimeStep{AnimeRestart, 0, 1} : AnimeStep{AnimeFinished, 0, 0};
    }
}
