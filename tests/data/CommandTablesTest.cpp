#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "data/CommandParamTable.h"
#include "data/CommandTables.h"

TEST(CommandTablesTest, ItemKindsMirrorFlowKindsFifteenHigher)
{
    EXPECT_EQ(CommandParamCount(0, 0), 0);
    EXPECT_EQ(CommandParamCount(1, 0), 0);
    EXPECT_EQ(CommandParamCount(1, 1), 2);
    for (int32_t k = 2; k < kItemCommandKindCount; ++k) {
        EXPECT_EQ(CommandParamCount(1, k), CommandParamCount(0, k + 15)) << k;
        EXPECT_STREQ(ItemCommandKindTable[k].m_lpName, CommandKindTable[k + 15].m_lpName) << k;
    }
    for (auto [nFamily, nKind] : {std::pair{0, -1}, {0, 40}, {1, 25}, {2, -7}})
        EXPECT_EQ(CommandParamCount(nFamily, nKind), -1);
    EXPECT_EQ(CommandParamCount(0, 19), 18);
    EXPECT_EQ(CommandParamCount(0, 38), 5);
    EXPECT_STREQ(TriggerTable[19], "なし（フローの操作コマンドで実行）");
    EXPECT_STREQ(TriggerTable[kTriggerCount], "");
}

TEST(CommandTablesTest, ParamTableHasTheBindableRowsOfEachKind)
{
    BuildCommandParamTable();
    ASSERT_EQ(CommandParamTable.size(), 40u);
    const std::map<int, size_t> rows = {{2, 6},  {5, 6},  {6, 6},  {11, 29}, {12, 4}, {13, 6}, {14, 8},
                                        {15, 7}, {17, 5}, {19, 5}, {20, 6},  {21, 3}, {22, 2}, {24, 1},
                                        {26, 2}, {29, 5}, {32, 6}, {33, 4},  {34, 1}};
    for (int k = 0; k < 40; ++k) {
        const auto it = rows.find(k);
        EXPECT_EQ(CommandParamTable[static_cast<size_t>(k)].size(), it == rows.end() ? 0u : it->second) << k;
    }
    const CommandParamDesc& power = CommandParamTable[11][27];
    EXPECT_EQ(power.m_strName, "威力");
    EXPECT_EQ(power.m_nMin, -999999);
    EXPECT_EQ(CommandParamTable[11][2].m_nMax, 2147483647);
    EXPECT_EQ(CommandParamTable[14][0].m_nMax, 9999);
    // Building again changes nothing.
    BuildCommandParamTable();
    EXPECT_EQ(CommandParamTable[11].size(), 29u);
}

TEST(CommandTablesTest, DirectionChoicesGiveDirectionCodes)
{
    EXPECT_EQ(DirectionFromChoice(0, 1), 3);
    EXPECT_EQ(DirectionFromChoice(0, 0), 2);
    const int32_t expected[9] = {0, 2, 3, 6, 7, 8, 9, 10, 11};
    for (int32_t c = 1; c <= 8; ++c) EXPECT_EQ(DirectionFromChoice(c, c & 1), expected[c]) << c;
    EXPECT_EQ(DirectionFromChoice(9, 1), 3);
    EXPECT_EQ(DirectionFromChoice(-1, 0), 2);
}
