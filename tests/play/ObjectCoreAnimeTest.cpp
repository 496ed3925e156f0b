// The frame-animation player: building patterns from step lists, the timing of steps and of the
// end codes, locked steps, and damaged patterns that must hold a frame rather than run off.
#include <gtest/gtest.h>

#include <vector>

#include "objects/AnimePlayer.h"

namespace {

// The frames of n calls of Advance.
std::vector<int32_t> AdvanceTimes(cAnimePlayer& player, int32_t n)
{
    std::vector<int32_t> v;
    for (int32_t i = 0; i < n; ++i) v.push_back(player.Advance());
    return v;
}

std::vector<int32_t> Repeat(int32_t nFrame, int32_t n)
{
    return std::vector<int32_t>(static_cast<size_t>(n), nFrame);
}

std::vector<int32_t> Join(std::vector<int32_t> a, const std::vector<int32_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const int32_t kLoop[] = {0, 15, 1, 1, 15, 1, -2, 0, 1};
const int32_t kOnce[] = {5, 3, 0, 6, 2, 0, -4, 0, 0};
const int32_t kStay[] = {7, 2, 0, 8, 3, 0, -1, 0, 0};
const int32_t kJump[] = {9, 2, 0, -3, 1, 0};
const int32_t kBadJump[] = {4, 2, 0, -3, 77, 0};
const int32_t kCodeOnly[] = {-4, 0, 0};
const int32_t kLockedThenFree[] = {1, 2, 1, 2, 2, 0, -2, 0, 0};

TEST(ObjectCoreAnimeTest, APlayerWithoutPatternsYieldsFrameZero)
{
    cAnimePlayer player;
    EXPECT_EQ(player.Advance(), 0);
    EXPECT_EQ(player.GetFrame(), 0);
    player.Build(nullptr);   // a null list changes nothing
    EXPECT_TRUE(player.m_vPatterns.empty());
}

TEST(ObjectCoreAnimeTest, BuildTakesEachArrayUpToItsNegativeStep)
{
    const int32_t* const list[] = {kLoop, kCodeOnly, kJump, nullptr};
    cAnimePlayer player;
    player.m_nPattern = 2;
    player.m_nStep = 1;
    player.m_nTick = 5;
    player.Build(list);
    ASSERT_EQ(player.m_vPatterns.size(), 3u);
    EXPECT_EQ(player.m_vPatterns[0], (AnimePattern{{0, 15, 1}, {1, 15, 1}, {-2, 0, 1}}));
    // An array that starts with a code is a one-step pattern of that code.
    EXPECT_EQ(player.m_vPatterns[1], (AnimePattern{{-4, 0, 0}}));
    EXPECT_EQ(player.m_vPatterns[2], (AnimePattern{{9, 2, 0}, {-3, 1, 0}}));
    EXPECT_EQ(player.m_nPattern, 0);
    EXPECT_EQ(player.m_nStep, 0);
    EXPECT_EQ(player.m_nTick, 0);
}

TEST(ObjectCoreAnimeTest, StepsLastTheirDurationAndTheEndCodesActAtOnce)
{
    const int32_t* const list[] = {kLoop, kOnce, kStay, kJump, nullptr};
    struct Case {
        const char* lpName;
        int32_t nPattern;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        // The first step after a pattern change shows for d - 1 calls, later steps for d.
        {"loop", 0, Join(Join(Join(Repeat(0, 14), Repeat(1, 15)), Repeat(0, 15)), Repeat(1, 15))},
        {"finish", 1, Join(Join(Repeat(5, 2), Repeat(6, 2)), Repeat(-4, 3))},
        // Stay: the last frame repeats with its full duration.
        {"stay", 2, Join(Join(Repeat(7, 1), Repeat(8, 3)), Repeat(8, 6))},
        // Jump to pattern 1: its first frame is shown in the same call.
        {"jump", 3, Join(Join(Repeat(9, 1), Repeat(5, 3)), Repeat(6, 2))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lpName);
        cAnimePlayer player;
        player.Build(list);
        ASSERT_EQ(player.SetPattern(c.nPattern, 1), 1);
        EXPECT_EQ(AdvanceTimes(player, static_cast<int32_t>(c.expected.size())), c.expected);
    }
}

TEST(ObjectCoreAnimeTest, LockedStepsRefuseUnforcedChanges)
{
    const int32_t* const list[] = {kLockedThenFree, kLoop, nullptr};
    cAnimePlayer player;
    player.Build(list);
    player.Advance();   // tick 1 of the locked step
    EXPECT_EQ(player.SetPattern(1, 0), 0);
    EXPECT_EQ(player.m_nPattern, 0);
    EXPECT_EQ(player.m_nStep, 0);
    EXPECT_EQ(player.m_nTick, 1);
    player.Advance();   // onto the free step
    EXPECT_EQ(player.SetPattern(1, 0), 1);
    EXPECT_EQ(player.m_nPattern, 1);

    // Forced always switches, even from a locked step.
    cAnimePlayer forced;
    forced.Build(list);
    EXPECT_EQ(forced.SetPattern(1, 1), 1);
    EXPECT_EQ(forced.m_nPattern, 1);
}

TEST(ObjectCoreAnimeTest, ChangePatternToTheCurrentOneKeepsItRunning)
{
    const int32_t* const list[] = {kLoop, kOnce, nullptr};
    for (int32_t bForced : {0, 1}) {
        cAnimePlayer player;
        player.Build(list);
        AdvanceTimes(player, 20);
        EXPECT_EQ(player.ChangePattern(0, bForced), 1);
        EXPECT_EQ(player.m_nStep, 1);
        EXPECT_EQ(player.m_nTick, 5);
    }
    cAnimePlayer player;
    player.Build(list);
    AdvanceTimes(player, 20);   // every step of the loop is locked
    EXPECT_EQ(player.ChangePattern(1, 0), 0);
    EXPECT_EQ(player.ChangePattern(1, 1), 1);
    EXPECT_EQ(player.GetFrame(), 5);
}

TEST(ObjectCoreAnimeTest, DamagedPatternsHoldAFrameInsteadOfRunningOff)
{
    const int32_t* const list[] = {kOnce, kBadJump, nullptr};
    struct Case {
        const char* lpName;
        int32_t nPattern;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        // A finished pattern advanced again stays finished.
        {"finished", 0, Join(Join(Repeat(5, 2), Repeat(6, 2)), Repeat(-4, 5))},
        // A jump to a pattern the list does not have holds the frame before it.
        {"bad jump", 1, Join(Repeat(4, 1), Repeat(4, 6))},
        // A pattern set from outside that does not exist plays the first one.
        {"bad pattern", 9, Join(Repeat(5, 2), Repeat(6, 2))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lpName);
        cAnimePlayer player;
        player.Build(list);
        player.SetPattern(c.nPattern, 1);
        EXPECT_EQ(AdvanceTimes(player, static_cast<int32_t>(c.expected.size())), c.expected);
    }

    // A pattern left empty and a step index outside the pattern yield a frame, not a crash.
    cAnimePlayer empty;
    empty.m_vPatterns.resize(1);
    EXPECT_EQ(empty.Advance(), 0);
    EXPECT_EQ(empty.GetFrame(), 0);
    cAnimePlayer outside;
    outside.Build(list);
    outside.m_nStep = 40;
    EXPECT_EQ(outside.GetFrame(), -4);
    outside.m_nStep = -3;
    EXPECT_EQ(outside.GetFrame(), 5);
}

}  // namespace
