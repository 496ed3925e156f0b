#include <gtest/gtest.h>

#include <array>

#include "data/AnimePattern.h"
#include "data/EdDatabase.h"

namespace {

cEdAnime Anime(std::vector<std::array<int32_t, 3>> frames)
{
    cEdAnime anime;
    anime.m_vFrames.clear();
    for (const auto& f : frames) {
        cEdAnimeFrame frame;
        frame.m_nFrame = f[0];
        frame.m_nTime = f[1];
        frame.m_bAction = f[2];
        anime.m_vFrames.push_back(frame);
    }
    return anime;
}

cEdEffect Effect(std::vector<std::array<int32_t, 2>> frames)
{
    cEdEffect effect;
    for (const auto& f : frames) {
        cEdEffectEntry entry;
        entry.m_nFrame = f[0];
        entry.m_nTime = f[1];
        effect.m_vFrames.push_back(entry);
    }
    return effect;
}

class AnimePatternTest : public ::testing::Test {
protected:
    void TearDown() override { g_Database.SetDefaults(); }
};

}  // namespace

TEST_F(AnimePatternTest, AnimationZeroLoopsTheOthersHoldFromTheActionPoint)
{
    const cEdAnime sample = Anime({{3, 2, 0}, {4, 1, 1}, {5, 3, 0}});
    g_Database.m_vAnime = {sample, sample, Anime({})};
    std::vector<AnimePattern> table(7);
    BuildAnimePatterns(table);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0], (AnimePattern{{3, 0, 1}, {4, 0, 1}, {5, 0, 1}, {-2, 0, 1}}));
    EXPECT_EQ(table[1], (AnimePattern{{3, 12, 0}, {4, 6, 1}, {5, 18, 1}, {-4, 0, 0}}));
    EXPECT_EQ(table[2], (AnimePattern{{-4, 0, 0}}));
}

TEST_F(AnimePatternTest, EffectZeroLoopsTheOthersRunOnce)
{
    g_Database.m_vEffect = {Effect({{7, 4}}), Effect({}), Effect({{1, 1}, {2, 2}})};
    std::vector<AnimePattern> table;
    BuildEffectTable(table);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0], (AnimePattern{{7, 0, 1}, {-2, 0, 1}}));
    EXPECT_EQ(table[1], (AnimePattern{{-4, 0, 0}}));
    EXPECT_EQ(table[2], (AnimePattern{{1, 6, 0}, {2, 12, 0}, {-4, 0, 0}}));
}

TEST_F(AnimePatternTest, HugeStoredTimesDoNotOverflow)
{
    g_Database.m_vAnime = {Anime({}), Anime({{1, 0x7FFFFFFF, 0}, {2, -0x7FFFFFFF, 0}})};
    std::vector<AnimePattern> table;
    BuildAnimePatterns(table);
    EXPECT_EQ(table[1][0].m_nDuration, INT32_MAX);
    EXPECT_EQ(table[1][1].m_nDuration, INT32_MIN);
}
