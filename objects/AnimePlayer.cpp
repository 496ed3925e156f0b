// The frame-animation player. Patterns come from the built-in lists of items and shots, from the
// database's animation sets (characters) and from the animation table (requests); a pattern that
// a damaged file leaves short, or a jump to a pattern that does not exist, holds the step it
// stands on instead of closing the program: an animation is never worth losing a play over.
#include "objects/AnimePlayer.h"

#include <algorithm>

#include "core/Log.h"

namespace {

bool IsPatternIndex(const std::vector<AnimePattern>& vPatterns, int32_t nPattern)
{
    return nPattern >= 0 && static_cast<size_t>(nPattern) < vPatterns.size();
}

void ReportBadPattern(int32_t nPattern, size_t nCount)
{
    WriteReportLog("err anime pattern %d ( %d )", nPattern, static_cast<int32_t>(nCount));
}

}  // namespace

void cAnimePlayer::Build(const int32_t* const* lpList)
{
    if (lpList == nullptr) return;
    m_vPatterns.clear();
    m_nPattern = 0;
    m_nStep = 0;
    m_nTick = 0;
    size_t nCount = 0;
    while (lpList[nCount] != nullptr) ++nCount;
    m_vPatterns.resize(nCount);
    for (size_t j = 0; j < nCount; ++j) {
        const int32_t* lpSteps = lpList[j];
        AnimePattern& pattern = m_vPatterns[j];
        // The terminating triple (negative frame) is the pattern's last step.
        for (size_t i = 0;; ++i) {
            const int32_t nFrame = lpSteps[3 * i];
            pattern.push_back({nFrame, lpSteps[3 * i + 1], lpSteps[3 * i + 2] & 0xFF});
            if (nFrame < 0) break;
        }
    }
}

int32_t cAnimePlayer::SetPattern(int32_t nPattern, int32_t bForced)
{
    if (bForced == 0 && IsPatternIndex(m_vPatterns, m_nPattern)) {
        const AnimePattern& current = m_vPatterns[static_cast<size_t>(m_nPattern)];
        if (m_nStep >= 0 && static_cast<size_t>(m_nStep) < current.size() &&
            current[static_cast<size_t>(m_nStep)].m_bHold != 0)
            return 0;
    }
    m_nStep = 0;
    m_nPattern = nPattern;
    m_nTick = 0;
    return 1;
}

int32_t cAnimePlayer::ChangePattern(int32_t nPattern, int32_t bForced)
{
    if (nPattern == m_nPattern) return 1;
    return SetPattern(nPattern, bForced);
}

int32_t cAnimePlayer::Advance()
{
    if (m_vPatterns.empty()) return 0;
    if (!IsPatternIndex(m_vPatterns, m_nPattern)) {
        // Set from outside to a pattern the list does not have: play the first one instead.
        ReportBadPattern(m_nPattern, m_vPatterns.size());
        m_nPattern = 0;
        m_nStep = 0;
        m_nTick = 0;
    }
    const AnimePattern& pattern = m_vPatterns[static_cast<size_t>(m_nPattern)];
    if (pattern.empty()) return 0;
    const int32_t nLast = static_cast<int32_t>(pattern.size()) - 1;
    m_nStep = std::clamp(m_nStep, 0, nLast);

    m_nTick += 1;
    if (m_nTick < pattern[static_cast<size_t>(m_nStep)].m_nDuration) return GetFrame();
    m_nTick = 0;
    // Past the last step (a finished pattern advanced again): hold the last step.
    if (m_nStep >= nLast) return GetFrame();
    m_nStep += 1;
    const AnimeStep& step = pattern[static_cast<size_t>(m_nStep)];
    switch (step.m_nFrame) {
    case AnimeSwitch:
        if (IsPatternIndex(m_vPatterns, step.m_nDuration)) {
            SetPattern(step.m_nDuration, 1);
        } else {
            ReportBadPattern(step.m_nDuration, m_vPatterns.size());
            m_nStep -= 1;
        }
        break;
    case AnimeRestart:
        m_nStep = 0;
        break;
    case AnimeStay:
        m_nStep -= 1;
        break;
    default:
        break;
    }
    return GetFrame();
}

int32_t cAnimePlayer::GetFrame() const
{
    if (m_vPatterns.empty()) return 0;
    const AnimePattern& pattern =
        m_vPatterns[IsPatternIndex(m_vPatterns, m_nPattern) ? static_cast<size_t>(m_nPattern) : 0];
    if (pattern.empty()) return 0;
    const int32_t nStep = std::clamp(m_nStep, 0, static_cast<int32_t>(pattern.size()) - 1);
    return pattern[static_cast<size_t>(nStep)].m_nFrame;
}
