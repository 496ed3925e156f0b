#include <gtest/gtest.h>

#include <array>

#include "data/EdCharaEffect.h"
#include "data/EdEffect.h"
#include "data/EffectParamTables.h"
#include "tests/data/RecordTestUtil.h"

namespace {

Bytes EffectBody(uint32_t v, int32_t reserved, const std::vector<std::array<int32_t, 2>>& frames)
{
    Bytes b;
    AppendU32(b, v >= 151 ? 4 : 3);
    if (v >= 151) AppendU32(b, static_cast<uint32_t>(reserved));
    AppendU32(b, 48);
    AppendU32(b, 16);
    AppendU32(b, 1);
    AppendU32(b, 2);
    AppendString(b, "爆発");
    AppendString(b, "bmp\\e.bmp");
    AppendU32(b, static_cast<uint32_t>(frames.size()));
    for (const auto& f : frames) {
        AppendU32(b, 2);
        AppendU32(b, static_cast<uint32_t>(f[0]));
        AppendU32(b, static_cast<uint32_t>(f[1]));
        AppendU32(b, 0);
    }
    return b;
}

Bytes KindBody(int32_t kind, std::array<int32_t, 5> params)
{
    Bytes b;
    AppendU32(b, 2);
    AppendU32(b, static_cast<uint32_t>(kind));
    for (int32_t p : params) AppendU32(b, static_cast<uint32_t>(p));
    AppendU32(b, 1);
    AppendU32(b, 1);
    return b;
}

template <class T>
std::array<int32_t, 5> LoadedParams(int32_t kind, std::array<int32_t, 5> stored, uint32_t version)
{
    T record;
    EXPECT_TRUE(LoadBody(record, KindBody(kind, stored), version));
    EXPECT_EQ(record.m_nKind, kind);
    return {record.m_anParam[0], record.m_anParam[1], record.m_anParam[2], record.m_anParam[3], record.m_anParam[4]};
}

}  // namespace

TEST(EdEffectTest, StoresTheDocumentedCharacterEffectByteForByte)
{
    cEdCharaEffect effect;
    EXPECT_EQ(effect.m_nKind, 1);
    effect.m_anParam[0] = 5;
    effect.m_anParam[2] = 32;
    const Bytes expected = {0x02, 0, 0, 0, 0x01, 0, 0, 0, 0x05, 0, 0, 0, 0, 0, 0, 0, 0x20, 0, 0, 0,
                            0,    0, 0, 0, 0,    0, 0, 0, 0x01, 0, 0, 0, 0x01, 0, 0, 0};
    EXPECT_EQ(SaveBody(effect), expected);
    EXPECT_EQ(KindBody(1, {5, 0, 32, 0, 0}), expected);
}

TEST(EdEffectTest, RoughnessMigrationBefore511)
{
    using P = std::array<int32_t, 5>;
    // Character effects: waves take roughness 2 in parameter 4, the circle in parameter 3.
    EXPECT_EQ(LoadedParams<cEdCharaEffect>(4, {5, 0, 32, 4, 0}, 510), (P{5, 0, 32, 4, 2}));
    EXPECT_EQ(LoadedParams<cEdCharaEffect>(5, {5, 0, 32, 4, 0}, 510), (P{5, 0, 32, 4, 2}));
    EXPECT_EQ(LoadedParams<cEdCharaEffect>(10, {5, 32, 0, 0, 9}, 510), (P{5, 32, 0, 2, 9}));
    EXPECT_EQ(LoadedParams<cEdCharaEffect>(3, {5, 0, 32, 4, 0}, 400), (P{5, 0, 32, 4, 0}));
    EXPECT_EQ(LoadedParams<cEdCharaEffect>(4, {5, 0, 32, 4, 0}, 511), (P{5, 0, 32, 4, 0}));
    // Screen effects: 8 and 10 for the waves, 8 for the circle.
    EXPECT_EQ(LoadedParams<cEdScrEffect>(6, {10, 0, 640, 4, 0}, 300), (P{10, 0, 640, 4, 8}));
    EXPECT_EQ(LoadedParams<cEdScrEffect>(7, {10, 0, 480, 4, 0}, 300), (P{10, 0, 480, 4, 10}));
    EXPECT_EQ(LoadedParams<cEdScrEffect>(10, {10, 640, 0, 0, 0}, 300), (P{10, 640, 0, 8, 0}));
    EXPECT_EQ(LoadedParams<cEdScrEffect>(4, {10, 0, 640, 15, 0}, 300), (P{10, 0, 640, 15, 0}));
    EXPECT_EQ(LoadedParams<cEdScrEffect>(7, {10, 0, 480, 4, 3}, 511), (P{10, 0, 480, 4, 3}));
}

TEST(EdEffectTest, EffectGraphicAtEachVersionBoundary)
{
    const struct {
        uint32_t version;
        int32_t reserved;
    } cases[] = {{150, 0}, {152, 0}, {153, 9}};
    for (const auto& c : cases) {
        cEdEffect effect;
        effect.m_nReserved = 4;
        // Before 151 three field blocks (cell width, height, enlargeable) and two strings.
        ASSERT_TRUE(LoadBody(effect, EffectBody(c.version, 9, {{1, 1}, {2, 2}}), c.version)) << c.version;
        EXPECT_EQ(effect.m_nReserved, c.reserved) << c.version;
        EXPECT_EQ(effect.m_nCellWidth, 48);
        EXPECT_EQ(effect.m_nCellHeight, 16);
        EXPECT_EQ(effect.m_bEnlargeable, 1);
        EXPECT_EQ(effect.m_strFile, "bmp\\e.bmp");
        ASSERT_EQ(effect.m_vFrames.size(), 2u);
        EXPECT_EQ(effect.m_vFrames[1].m_nTime, 2);
    }
}

TEST(EdEffectTest, RoundTripsOfAllThreeRecords)
{
    cEdEffect effect;
    EXPECT_EQ(effect.m_nCellWidth, 32);
    EXPECT_TRUE(effect.m_vFrames.empty());
    ASSERT_TRUE(LoadBody(effect, EffectBody(751, 3, {{4, 5}})));
    EXPECT_EQ(SaveBody(effect), EffectBody(751, 3, {{4, 5}}));

    cEdScrEffect screen;
    screen.m_strName = "揺れ";
    screen.m_nKind = 2;
    screen.m_anParam[4] = -7;
    cEdScrEffect loaded;
    ASSERT_TRUE(LoadBody(loaded, SaveBody(screen)));
    EXPECT_EQ(loaded.m_strName, "揺れ");
    EXPECT_EQ(loaded.m_nKind, 2);
    EXPECT_EQ(loaded.m_anParam[4], -7);
}

TEST(EdEffectTest, ParameterTablesDescribeEveryKind)
{
    for (int32_t kind = 1; kind < kCharaEffectKindCount; ++kind)
        EXPECT_STREQ(CharaEffectParam(kind, 0).m_lpName, "実行時間(1/10s)") << kind;
    for (int32_t kind = 1; kind < kScrEffectKindCount; ++kind)
        EXPECT_STREQ(ScrEffectParam(kind, 0).m_lpName, "実行時間(1/10s)") << kind;
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(CharaEffectParam(0, i).m_lpName, "");
        EXPECT_STREQ(ScrEffectParam(0, i).m_lpName, "");
    }
    EXPECT_STREQ(CharaEffectParam(10, 3).m_lpName, "円の粗さ(dot)");
    EXPECT_EQ(CharaEffectParam(12, 3).m_nMin, -16);
    EXPECT_EQ(ScrEffectParam(11, 2).m_nMax, 6400);
    EXPECT_EQ(ScrEffectParam(1, 4).m_nMin, -480);
    EXPECT_EQ(CharaEffectParam(14, 1).m_nDefault, 9999);
    // Kinds a damaged list may hold.
    EXPECT_STREQ(CharaEffectParam(17, 0).m_lpName, "");
    EXPECT_STREQ(ScrEffectParam(-1, 0).m_lpName, "");
    EXPECT_EQ(ScrEffectParam(6, 5).m_nDefault, 0);
}
