#include <gtest/gtest.h>

#include "data/EdSystem.h"
#include "data/EdSystemLists.h"
#include "tests/data/RecordTestUtil.h"

namespace {

Bytes StatusBody(uint32_t v)
{
    Bytes b;
    AppendU32(b, v >= 587 ? 6 : v >= 204 ? 4 : 3);
    AppendU32(b, 1);    // shown
    AppendU32(b, 0);    // icon
    AppendU32(b, 6);    // digits
    if (v >= 204) AppendU32(b, 0);
    if (v >= 587) {
        AppendU32(b, 25);
        AppendU32(b, 1);
    }
    AppendU32(b, 1);
    AppendString(b, "HP");
    return b;
}

Bytes RankingBody(int32_t enabled, const std::vector<uint8_t>& kinds)
{
    Bytes b;
    AppendU32(b, 1);
    AppendU32(b, static_cast<uint32_t>(enabled));
    AppendU32(b, 0);
    AppendU32(b, static_cast<uint32_t>(kinds.size()));
    b.insert(b.end(), kinds.begin(), kinds.end());
    return b;
}

}  // namespace

TEST(EdSystemListsTest, StatusEntryAcrossItsVersions)
{
    cEdSystemStatus at203;
    ASSERT_TRUE(LoadBody(at203, StatusBody(203), 203));
    EXPECT_EQ(at203.m_bGaugeValue, 1);
    EXPECT_EQ(at203.m_nThreshold, 0);
    EXPECT_EQ(at203.m_nDigits, 6);
    cEdSystemStatus at586;
    ASSERT_TRUE(LoadBody(at586, StatusBody(586), 586));
    EXPECT_EQ(at586.m_bGaugeValue, 0);
    EXPECT_EQ(at586.m_nThreshold, 0);
    EXPECT_EQ(at586.m_bThresholdPercent, 0);
    cEdSystemStatus current;
    ASSERT_TRUE(LoadBody(current, StatusBody(751)));
    EXPECT_EQ(current.m_nThreshold, 25);
    EXPECT_EQ(current.m_strName, "HP");
    EXPECT_EQ(SaveBody(current), StatusBody(751));
}

TEST(EdSystemListsTest, RankingFlagsKeepTheirStoredLength)
{
    cEdRankingSetting seven;
    ASSERT_TRUE(LoadBody(seven, RankingBody(1, {1, 0, 1, 0, 1, 0, 0})));
    EXPECT_EQ(seven.m_vKind.size(), 7u);
    EXPECT_EQ(SaveBody(seven), RankingBody(1, {1, 0, 1, 0, 1, 0, 0}));
    cEdRankingSetting none;
    ASSERT_TRUE(LoadBody(none, RankingBody(1, {})));
    EXPECT_TRUE(none.m_vKind.empty());
}

TEST(EdSystemListsTest, CountRankingKinds)
{
    cEdSystem system;
    system.m_vRanking[0].m_bEnabled = 0;
    system.m_vRanking[0].m_vKind.assign(5, 1);
    system.m_vRanking[1].m_vKind = {1, 0, 1, 0, 1};
    system.m_vRanking[2].m_vKind.clear();
    EXPECT_EQ(system.CountRankingKinds(0), 0);
    EXPECT_EQ(system.CountRankingKinds(1), 3);
    EXPECT_EQ(system.CountRankingKinds(2), 0);
}

TEST(EdSystemListsTest, IsWithinThreshold)
{
    cEdSystem system;
    system.m_vStatus[2].m_nThreshold = 10;
    system.m_vStatus[3].m_nThreshold = 33;
    system.m_vStatus[3].m_bThresholdPercent = 1;
    const struct {
        int32_t status, value, maximum, expected;
    } cases[] = {
        {2, 10, 100, 1}, {2, 11, 100, 0}, {2, -5, 0, 1},
        {3, 33, 100, 1}, {3, 34, 100, 0}, {3, 1, 3, 0}, {3, 0, 3, 1},
        // No maximum: never within for 0 and above.
        {3, 0, 0, 0}, {3, 5, 0, 0}, {3, -1, 0, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(system.IsWithinThreshold(c.status, c.value, c.maximum), c.expected)
            << c.status << " " << c.value << "/" << c.maximum;
}

TEST(EdSystemListsTest, CenterTextColumnUsesTheWidestText)
{
    cEdSystem system;
    system.m_vText[0] = "ワールド";   // 4 characters
    system.m_vText[1] = "ステージに";  // 5 characters
    system.m_vText[2] = "ab";
    EXPECT_EQ(system.CenterTextColumn(320, 1, 1, 0), 280);
    EXPECT_EQ(system.CenterTextColumn(320, 1, 1, 1), 272);
    EXPECT_EQ(system.CenterTextColumn(320, 0, 3, 0), 280);
    EXPECT_EQ(system.CenterTextColumn(320, 2, 1, 1), 296);
    EXPECT_EQ(system.CenterTextColumn(320, 0, 0, 0), 320);
}

TEST(EdSystemListsTest, SetNumberAndSetTextKeepTheOtherValue)
{
    cEdSystemOption option;
    option.SetText("FreeStage", "data\\stg4\\a");
    option.m_nValue = 4;
    option.SetNumber("English", 0);
    EXPECT_EQ(option.m_nKind, 0);
    EXPECT_EQ(option.m_strName, "English");
    EXPECT_EQ(option.m_nValue, 0);
    EXPECT_EQ(option.m_strValue, "data\\stg4\\a");
    option.m_nValue = 9;
    option.SetText("X", "t");
    EXPECT_EQ(option.m_nKind, 1);
    EXPECT_EQ(option.m_nValue, 9);

    Bytes expected;
    AppendU32(expected, 2);
    AppendU32(expected, 1);
    AppendU32(expected, 9);
    AppendU32(expected, 2);
    AppendString(expected, "X");
    AppendString(expected, "t");
    EXPECT_EQ(SaveBody(option), expected);
}
