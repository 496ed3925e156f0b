#include <gtest/gtest.h>

#include <array>

#include "data/EdAnime.h"
#include "tests/data/RecordTestUtil.h"

namespace {

// A stored animation: name, extras from 55 on, then its frames {cell, tenths, action}.
Bytes AnimeBody(uint32_t v, const std::string& name, std::vector<std::array<int32_t, 3>> frames,
                int16_t extra1 = 0, uint8_t extra2 = 1, int16_t extra3 = 0)
{
    Bytes b;
    if (v >= 55) {
        AppendU32(b, 3);
        AppendU16(b, static_cast<uint16_t>(extra1));
        AppendU8(b, extra2);
        AppendU16(b, static_cast<uint16_t>(extra3));
    } else {
        AppendU32(b, 0);
    }
    AppendU32(b, 1);
    AppendString(b, name);
    AppendU32(b, static_cast<uint32_t>(frames.size()));
    for (const auto& f : frames) {
        AppendU32(b, 3);
        for (int32_t x : f) AppendU32(b, static_cast<uint32_t>(x));
        AppendU32(b, 0);
    }
    return b;
}

Bytes SetBody(uint32_t v, const std::string& name, int32_t o1, int32_t o2, int32_t o3,
              const std::vector<std::string>& slots)
{
    Bytes b;
    AppendU32(b, v >= 119 ? 3 : 2);
    AppendU32(b, static_cast<uint32_t>(o1));
    AppendU32(b, static_cast<uint32_t>(o2));
    if (v >= 119) AppendU32(b, static_cast<uint32_t>(o3));
    AppendU32(b, 1);
    AppendString(b, name);
    AppendU32(b, static_cast<uint32_t>(slots.size()));
    for (const std::string& slot : slots) {
        const Bytes anime = AnimeBody(v, slot, {{7, 3, 1}});
        b.insert(b.end(), anime.begin(), anime.end());
    }
    return b;
}

std::vector<std::string> SlotNames(const cEdAnimeSet& set)
{
    std::vector<std::string> names;
    for (const cEdAnime& a : set.m_vAnimes) names.push_back(a.m_strName);
    return names;
}

}  // namespace

TEST(EdAnimeTest, StoresTheDocumentedAnimationByteForByte)
{
    cEdAnime anime;
    anime.m_strName = "A";
    anime.m_vFrames[0].m_nFrame = 5;
    anime.m_vFrames[0].m_nTime = 2;
    const Bytes expected = {0x03, 0, 0, 0, 0, 0, 0x01, 0, 0, 0x01, 0, 0, 0, 0x02, 0, 0, 0, 'A', 0,
                            0x01, 0, 0, 0, 0x03, 0, 0, 0, 0x05, 0, 0, 0, 0x02, 0, 0, 0, 0, 0, 0, 0,
                            0, 0, 0, 0};
    EXPECT_EQ(SaveBody(anime), expected);
    cEdAnime loaded;
    loaded.m_vFrames.clear();
    ASSERT_TRUE(LoadBody(loaded, expected));
    EXPECT_EQ(loaded.m_strName, "A");
    ASSERT_EQ(loaded.m_vFrames.size(), 1u);
    EXPECT_EQ(loaded.m_vFrames[0].m_nFrame, 5);
    EXPECT_EQ(loaded.m_vFrames[0].m_nTime, 2);
}

TEST(EdAnimeTest, ExtrasBeforeVersion55KeepTheirDefaultsAndRoundTripAfter)
{
    cEdAnime old;
    old.m_nExtra1 = 9;
    old.m_cExtra2 = 9;
    ASSERT_TRUE(LoadBody(old, AnimeBody(54, "n", {{1, 2, 0}, {3, 4, 1}}), 54));
    // A record loaded again keeps what it held; the list's reading prototype holds 0, 1, 0.
    EXPECT_EQ(old.m_nExtra1, 9);
    cEdAnime fresh;
    ASSERT_TRUE(LoadBody(fresh, AnimeBody(54, "n", {{1, 2, 0}, {3, 4, 1}}), 54));
    EXPECT_EQ(fresh.m_nExtra1, 0);
    EXPECT_EQ(fresh.m_cExtra2, 1);
    EXPECT_EQ(fresh.m_nExtra3, 0);
    ASSERT_EQ(fresh.m_vFrames.size(), 2u);
    EXPECT_EQ(fresh.m_vFrames[1].m_bAction, 1);

    cEdAnime current;
    ASSERT_TRUE(LoadBody(current, AnimeBody(55, "n", {}, -3, 200, 4), 55));
    EXPECT_EQ(current.m_nExtra1, -3);
    EXPECT_EQ(static_cast<uint8_t>(current.m_cExtra2), 200);
    EXPECT_EQ(current.m_nExtra3, 4);
    EXPECT_TRUE(current.m_vFrames.empty());
    cEdAnime copy;
    ASSERT_TRUE(LoadBody(copy, SaveBody(current)));
    EXPECT_EQ(SaveBody(copy), SaveBody(current));
}

TEST(EdAnimeTest, SetsBefore119GetFourSlotsAndNoFlyingOffset)
{
    cEdAnimeSet set;
    set.m_nFrameOffset3 = 0;
    ASSERT_TRUE(LoadBody(set, SetBody(118, "s", 1, 2, 0, {"A", "B"}), 118));
    EXPECT_EQ(SlotNames(set), (std::vector<std::string>{"A", "B", "飛行", "飛行移動"}));
    EXPECT_EQ(set.m_nFrameOffset1, 1);
    EXPECT_EQ(set.m_nFrameOffset2, 2);
    EXPECT_EQ(set.m_nFrameOffset3, 0);
    ASSERT_EQ(set.m_vAnimes[2].m_vFrames.size(), 1u);
    EXPECT_EQ(set.m_vAnimes[2].m_vFrames[0].m_nFrame, 0);
    EXPECT_EQ(set.m_vAnimes[2].m_vFrames[0].m_nTime, 1);
    EXPECT_EQ(set.m_vAnimes[1].m_vFrames[0].m_nFrame, 7);
}

TEST(EdAnimeTest, SlotMigrationAtEachVersionBoundary)
{
    const struct {
        uint32_t version;
        std::vector<std::string> stored;
        std::vector<std::string> expected;
    } cases[] = {
        {118, {"A", "B", "C", "D", "E"}, {"A", "B", "飛行", "飛行移動"}},
        {119, {"A", "B"}, {"A", "B", "飛行", "飛行移動"}},
        {127, {"A", "B", "C", "D", "E"}, {"A", "B", "飛行", "飛行移動"}},
        {128, {"A", "B", "C", "D", "E", "F"}, {"A", "B", "C", "D", "E", "F"}},
        {128, {"A"}, {"A"}},
    };
    for (const auto& c : cases) {
        cEdAnimeSet set;
        ASSERT_TRUE(LoadBody(set, SetBody(c.version, "s", 4, 8, 6, c.stored), c.version)) << c.version;
        EXPECT_EQ(SlotNames(set), c.expected) << c.version;
        EXPECT_EQ(set.m_nFrameOffset3, c.version >= 119 ? 6 : 0) << c.version;
    }
}

TEST(EdAnimeTest, NewSetRoundTripsThroughItsFileForm)
{
    cEdAnimeSet set;
    EXPECT_EQ(set.m_nFrameOffset1, 4);
    EXPECT_EQ(set.m_nFrameOffset2, 8);
    set.m_strName = "セット";
    set.m_nFrameOffset3 = 3;
    set.m_vAnimes[1].m_vFrames.push_back(cEdAnimeFrame());
    set.m_vAnimes[1].m_vFrames[1].m_bAction = 1;
    const Bytes saved = SaveBody(set);
    cEdAnimeSet loaded;
    loaded.m_vAnimes.clear();
    ASSERT_TRUE(LoadBody(loaded, saved));
    EXPECT_EQ(SaveBody(loaded), saved);
    EXPECT_EQ(loaded.m_nFrameOffset3, 3);
    EXPECT_EQ(loaded.m_vAnimes[1].m_vFrames[1].m_bAction, 1);
}

TEST(EdAnimeTest, ShortAnimationFileFailsTheLoad)
{
    Bytes body = AnimeBody(751, "n", {{1, 2, 0}});
    body.erase(body.end() - 2, body.end());
    cEdAnime anime;
    EXPECT_FALSE(LoadBody(anime, body));
}
