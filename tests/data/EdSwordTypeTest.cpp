#include <gtest/gtest.h>

#include <array>

#include "data/EdSwordType.h"
#include "tests/data/RecordTestUtil.h"

namespace {

// A stored sword type with the given steps (the ten step values in member order).
Bytes SwordBody(uint32_t v, int32_t reserved, const std::vector<std::array<int32_t, 10>>& steps)
{
    Bytes b;
    if (v >= 151) {
        AppendU32(b, 1);
        AppendU32(b, static_cast<uint32_t>(reserved));
    } else {
        AppendU32(b, 0);
    }
    AppendU32(b, 3);
    AppendString(b, "剣");
    AppendString(b, "bmp\\r.bmp");
    AppendString(b, "bmp\\l.bmp");
    AppendU32(b, static_cast<uint32_t>(steps.size()));
    for (const auto& s : steps) {
        AppendU32(b, v >= 138 ? 10 : 8);
        for (int i = 0; i < 10; ++i) {
            if (v < 138 && (i == 2 || i == 3)) continue;
            AppendU32(b, static_cast<uint32_t>(s[i]));
        }
        AppendU32(b, 0);
    }
    return b;
}

}  // namespace

TEST(EdSwordTypeTest, NewSwordTypeHasOneStepOfOneTenth)
{
    cEdSwordType sword;
    ASSERT_EQ(sword.m_vSteps.size(), 1u);
    EXPECT_EQ(sword.m_vSteps[0].m_bFlipX, 1);
    EXPECT_EQ(sword.m_vSteps[0].m_bFlipY, 0);
    EXPECT_EQ(sword.m_vSteps[0].m_nTime, 1);
    EXPECT_EQ(sword.m_vSteps[0].m_nWidth, 0);
}

TEST(EdSwordTypeTest, StepsBefore138FlipOnlyHorizontally)
{
    cEdSwordType sword;
    ASSERT_TRUE(LoadBody(sword, SwordBody(137, 0, {{1, 2, 0, 1, 3, 4, 5, 6, 7, 8}}), 137));
    ASSERT_EQ(sword.m_vSteps.size(), 1u);
    const cEdSwordTypeEntry& s = sword.m_vSteps[0];
    EXPECT_EQ(s.m_bFlipX, 1);
    EXPECT_EQ(s.m_bFlipY, 0);
    const int32_t values[8] = {s.m_nOffsetX, s.m_nOffsetY, s.m_nSide, s.m_nSrcX, s.m_nSrcY, s.m_nWidth, s.m_nHeight, s.m_nTime};
    const int32_t expected[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(values[i], expected[i]) << i;

    cEdSwordType at138;
    ASSERT_TRUE(LoadBody(at138, SwordBody(138, 0, {{1, 2, 0, 1, 3, 4, 5, 6, 7, 8}}), 138));
    EXPECT_EQ(at138.m_vSteps[0].m_bFlipX, 0);
    EXPECT_EQ(at138.m_vSteps[0].m_bFlipY, 1);
}

TEST(EdSwordTypeTest, ReservedValueAtEachVersionBoundary)
{
    const struct {
        uint32_t version;
        int32_t expected;
    } cases[] = {{150, 0}, {151, 0}, {152, 0}, {153, 7}};
    for (const auto& c : cases) {
        cEdSwordType sword;
        sword.m_nReserved = 5;
        // A version-150 body holds no field block at all and three strings.
        ASSERT_TRUE(LoadBody(sword, SwordBody(c.version, 7, {}), c.version)) << c.version;
        EXPECT_EQ(sword.m_nReserved, c.expected) << c.version;
        EXPECT_EQ(sword.m_strLeftFile, "bmp\\l.bmp");
        EXPECT_EQ(sword.m_strRightFile, "bmp\\r.bmp");
        EXPECT_TRUE(sword.m_vSteps.empty());
    }
}

TEST(EdSwordTypeTest, RoundTripMatchesTheFileForm)
{
    cEdSwordType sword;
    ASSERT_TRUE(LoadBody(sword, SwordBody(751, 7, {{1, 2, 0, 1, 3, 4, 5, 6, 7, 8}, {-1, -2, 1, 0, 0, 0, 0, 32, 32, 3}})));
    EXPECT_EQ(SaveBody(sword), SwordBody(751, 7, {{1, 2, 0, 1, 3, 4, 5, 6, 7, 8}, {-1, -2, 1, 0, 0, 0, 0, 32, 32, 3}}));
    cEdSwordType copy;
    copy = sword;
    copy.m_vSteps[0].m_nTime = 99;
    EXPECT_EQ(sword.m_vSteps[0].m_nTime, 8);
}
