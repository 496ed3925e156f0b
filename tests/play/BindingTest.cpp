// Parameter bindings: where each bindable row lives and how wide it is, the combining rule with
// its ranges and overrides, and the variables a binding may read.
#include <gtest/gtest.h>

#include <climits>

#include "flows/ParamBinding.h"
#include "tests/play/FlowTestSupport.h"

namespace {

cEdCommand FullCommand(int32_t nKind)
{
    cEdCommand cmd = FlowCmd(nKind, 0, 0, std::vector<int32_t>(18, 0));
    cmd.NewMove();
    cmd.NewShot();
    return cmd;
}

ParamBinding Bind(int32_t nKind, int32_t nRow, int32_t nOperation, int32_t nScope, int32_t nVariable)
{
    return ParamBinding{nKind, nRow, nOperation, nScope, nVariable};
}

using BindingTest = cFlowFixture;

// Every row of every kind: what the setter writes is what the getter reads, truncated to the
// field's width and sign-extended back.
TEST_F(BindingTest, EveryRowRoundTripsThroughItsFieldWidth)
{
    struct KindWidths {
        int32_t nKind;
        std::vector<int32_t> vWidths;   // bytes per row; 0 a row with no place
    };
    const std::vector<int32_t> shotWidths = {2, 1, 2, 2, 2, 1, 1, 2, 2, 2, 2, 2, 2, 2, 1,
                                             2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 1, 4, 1};
    const KindWidths kinds[] = {
        {2, {2, 2, 2, 2, 2, 2}},
        {5, {2, 2, 2, 2, 2, 2}},
        {6, {2, 2, 2, 2, 2, 2}},
        {11, shotWidths},
        {12, {1, 1, 4, 1}},
        {13, {2, 2, 2, 1, 2, 2}},
        {14, {2, 1, 2, 2, 2, 1, 2, 2}},
        {15, {2, 2, 2, 2, 1, 2, 2}},
        {17, {4, 4, 4, 4, 4}},
        {19, {4, 4, 4, 4, 4}},
        {20, {2, 2, 2, 2, 2, 2}},
        {21, {4, 4, 4}},
        {22, {4, 4}},
        {24, {4}},
        {26, {4, 4}},
        {29, {4, 4, 4, 4, 4}},
        {32, {0, 4, 4, 4, 4, 4}},
        {33, {4, 4, 4, 4}},
        {34, {4}},
    };
    const int32_t nValue = 0x12345678 + 0x80;
    for (const KindWidths& k : kinds) {
        EXPECT_EQ(CommandParamTable[static_cast<size_t>(k.nKind)].size(), k.vWidths.size()) << k.nKind;
        for (size_t row = 0; row < k.vWidths.size(); ++row) {
            cEdCommand cmd = FullCommand(k.nKind);
            const int32_t nRow = static_cast<int32_t>(row);
            ParamSetterTable[k.nKind](nValue, nRow, &cmd);
            int32_t nRead = -1;
            ParamGetterTable[k.nKind](nRead, nRow, &cmd);
            int32_t nExpected = 0;
            switch (k.vWidths[row]) {
            case 1: nExpected = static_cast<int8_t>(nValue); break;
            case 2: nExpected = static_cast<int16_t>(nValue); break;
            case 4: nExpected = nValue; break;
            default: break;
            }
            EXPECT_EQ(nRead, nExpected) << "kind " << k.nKind << " row " << row;
        }
    }
    // Kinds without rows have no entries, but for three that do nothing.
    for (int32_t nKind : {0, 1, 8, 9, 10, 16, 18, 23, 25, 27, 28, 30, 31, 35, 36, 37, 38, 39}) {
        EXPECT_EQ(ParamGetterTable[nKind], nullptr) << nKind;
        EXPECT_EQ(ParamSetterTable[nKind], nullptr) << nKind;
    }
    for (int32_t nKind : {3, 4, 7}) EXPECT_NE(ParamSetterTable[nKind], nullptr) << nKind;
}

// The rows that share a field: the sword's power is the shot's power, the summons' life time is
// the shot's range field, warp rows are the move's distance and targets.
TEST_F(BindingTest, RowsSharingAFieldWriteTheSameField)
{
    struct Case {
        int32_t nKind, nRow;
        int32_t (*lpRead)(const cEdCommand&);
    };
    const Case cases[] = {
        {12, 2, [](const cEdCommand& c) { return c.m_lpShot->m_nPower; }},
        {14, 0, [](const cEdCommand& c) { return int32_t{c.m_lpShot->m_nRange}; }},
        {15, 4, [](const cEdCommand& c) { return int32_t{c.m_lpShot->m_nCount}; }},
        {13, 5, [](const cEdCommand& c) { return int32_t{c.m_lpShot->m_nOffsetY}; }},
        {20, 3, [](const cEdCommand& c) { return int32_t{c.m_lpMove->m_nTargetYBlocks}; }},
        {6, 1, [](const cEdCommand& c) { return int32_t{c.m_lpMove->m_nRadiusStep}; }},
        {19, 0, [](const cEdCommand& c) { return c.m_vParam[13]; }},
        {32, 5, [](const cEdCommand& c) { return c.m_vParam[7]; }},
    };
    for (const Case& c : cases) {
        cEdCommand cmd = FullCommand(c.nKind);
        ParamSetterTable[c.nKind](21, c.nRow, &cmd);
        EXPECT_EQ(c.lpRead(cmd), 21) << c.nKind << " " << c.nRow;
    }
}

TEST_F(BindingTest, CombiningClampsIntoTheRowsRange)
{
    struct Case {
        int32_t nKind, nRow, nOperation;
        int32_t nStored, nOperand;
        int32_t nExpected;
    };
    const Case cases[] = {
        {11, 5, 0, 1, 500, 127},                 // "発射数" 1..127
        {11, 27, 0, 0, -5000000, -999999},
        {11, 27, 1, 999990, 20, 999999},
        {11, 27, 2, 10, 25, -15},
        {11, 27, 3, 50000, 50000, 999999},       // product past 32 bits: the maximum
        {11, 27, 3, -50000, 50000, -999999},     // and the minimum
        {11, 27, 3, -300, -3, 900},
        {11, 27, 4, 7, 2, 3},
        {11, 27, 4, -7, 2, -3},
        {11, 27, 4, 7, 0, 7},                    // division by 0 keeps the value
        {11, 27, 5, -7, 3, -1},
        {11, 27, 5, 7, 0, 7},
        {11, 7, 6, -5, 50, -3},                  // -2.5 rounds away from zero
        {11, 7, 6, 5, 50, 3},
        {11, 7, 6, 7, 10, 1},
        {11, 7, 9, 40, 1, 40},                   // no such operation
        {22, 0, 4, INT_MIN, -1, 999999},         // never traps
        {22, 0, 5, INT_MIN, -1, 0},
        {22, 1, 1, INT_MAX, INT_MAX, 999999},
        {22, 1, 2, INT_MIN, INT_MAX, -999999},
        {22, 0, 6, INT_MAX, INT_MAX, 999999},
        {33, 3, 0, 0, 101, 100},                 // "%" 0..100
    };
    for (const Case& c : cases) {
        cEdCommand cmd = FullCommand(c.nKind);
        ParamSetterTable[c.nKind](c.nStored, c.nRow, &cmd);
        m_Chara.m_vVar[3] = c.nOperand;
        ApplyParamBinding(&cmd, Bind(c.nKind, c.nRow, c.nOperation, 2, 3), &m_Chara);
        int32_t nValue = 0;
        ParamGetterTable[c.nKind](nValue, c.nRow, &cmd);
        EXPECT_EQ(nValue, c.nExpected) << c.nKind << " " << c.nRow << " op " << c.nOperation << " " << c.nStored
                                       << " " << c.nOperand;
    }
}

TEST_F(BindingTest, FormationAndMovementValuesTakeTheirRangesFromTheShotsOptions)
{
    struct Case {
        int32_t nKind, nRow, nFormation, nMoveKind, nOperand, nExpected;
    };
    const Case cases[] = {
        {11, 2, 0, 0, 100, 40},     // formation 0 "間隔(hbl)" 0..40
        {11, 4, 0, 0, 100, 0},      // an unnamed option row: 0..0
        {11, 3, 3, 0, 100, 50},     // formation 3 "列の数" 1..50
        {11, 3, 3, 0, -4, 1},
        {14, 2, 2, 0, 500, 180},    // formation 2 "角度" 0..180
        {13, 0, 5, 0, 99, 40},
        {15, 1, 5, 0, 99, 40},
        {11, 16, 0, 4, 5000, 999},  // movement kind 4 "誘導終了(hbl)" 0..999
        {11, 15, 0, 8, 500, 100},
        {11, 17, 0, 0, 5, 0},
        {11, 2, 77, 0, 9, 0},       // a damaged formation number: an unused row
    };
    for (const Case& c : cases) {
        cEdCommand cmd = FullCommand(c.nKind);
        cmd.m_lpShot->m_nFormation = static_cast<int8_t>(c.nFormation);
        cmd.m_lpShot->m_nMoveKind = static_cast<int8_t>(c.nMoveKind);
        m_Chara.m_vVar[1] = c.nOperand;
        ApplyParamBinding(&cmd, Bind(c.nKind, c.nRow, 0, 2, 1), &m_Chara);
        int32_t nValue = 0;
        ParamGetterTable[c.nKind](nValue, c.nRow, &cmd);
        EXPECT_EQ(nValue, c.nExpected) << c.nKind << " " << c.nRow << " " << c.nFormation;
    }
}

TEST_F(BindingTest, VariablesOfEachScopeAndTheirBounds)
{
    g_SaveData.CommonVars.assign(256, 0);
    g_SaveData.CommonVars[0] = 11;
    g_SaveData.CommonVars[4] = 44;
    m_State.m_vStageVar.assign(256, 0);
    m_State.m_vStageVar[0] = 12;
    m_State.m_vStageVar[5] = 55;
    m_Chara.m_vVar[0] = 66;
    m_Chara.m_vVar[8] = 88;
    struct Case {
        int32_t nScope, nVariable, nExpected;
    };
    const Case cases[] = {
        {0, 4, 44}, {0, 0, 1}, {0, 256, 1}, {0, -1, 1},
        {1, 5, 55}, {1, 0, 1}, {1, 256, 1},
        {2, 0, 66}, {2, 8, 88}, {2, 9, 1}, {2, -1, 1},
        {3, 1, 1},
    };
    for (const Case& c : cases) {
        cEdCommand cmd = FullCommand(11);
        cmd.m_lpShot->m_nPower = 1;
        ApplyParamBinding(&cmd, Bind(11, 27, 0, c.nScope, c.nVariable), &m_Chara);
        EXPECT_EQ(cmd.m_lpShot->m_nPower, c.nExpected) << c.nScope << " " << c.nVariable;
    }
}

TEST_F(BindingTest, BindingAppliesOnlyToItsKindInTheFlowNumbering)
{
    m_Chara.m_vVar[1] = 321;
    cEdCommand message = FullCommand(4);
    message.m_nFamily = 1;   // item "メッセージ" is flow kind 19
    ApplyParamBinding(&message, Bind(19, 0, 0, 2, 1), &m_Chara);
    EXPECT_EQ(message.m_vParam[13], 321);

    cEdCommand shot = FullCommand(11);
    shot.m_lpShot->m_nPower = 5;
    ApplyParamBinding(&shot, Bind(12, 2, 0, 2, 1), &m_Chara);
    EXPECT_EQ(shot.m_lpShot->m_nPower, 5);
}

TEST_F(BindingTest, BindingsWithNothingToWriteChangeNothing)
{
    m_Chara.m_vVar[1] = 9;
    // No shot record.
    cEdCommand shot = FlowCmd(11, 0, 0);
    ApplyParamBinding(&shot, Bind(11, 5, 0, 2, 1), &m_Chara);
    EXPECT_FALSE(shot.m_lpShot);
    // A parameter vector shorter than the slot.
    cEdCommand bgChange = FlowCmd(34, 0, 0);
    ApplyParamBinding(&bgChange, Bind(34, 0, 0, 2, 1), &m_Chara);
    EXPECT_TRUE(bgChange.m_vParam.empty());
    // "ピクチャーID" has a range but no place.
    cEdCommand picture = FullCommand(32);
    ApplyParamBinding(&picture, Bind(32, 0, 0, 2, 1), &m_Chara);
    EXPECT_EQ(picture.m_vParam, std::vector<int32_t>(18, 0));
    // A row past the kind's list is reported and writes nowhere; kinds 3, 4 and 7 have no rows.
    cEdCommand far = FullCommand(11);
    const cEdShot before = *far.m_lpShot;
    ApplyParamBinding(&far, Bind(11, 40, 0, 2, 1), &m_Chara);
    EXPECT_EQ(far.m_lpShot->m_nPower, before.m_nPower);
    EXPECT_EQ(far.m_lpShot->m_nCount, before.m_nCount);
    for (int32_t nKind : {3, 4, 7}) {
        cEdCommand move = FullCommand(nKind);
        const cEdMove moveBefore = *move.m_lpMove;
        ApplyParamBinding(&move, Bind(nKind, 0, 0, 2, 1), &m_Chara);
        EXPECT_EQ(move.m_lpMove->m_nSpeed, moveBefore.m_nSpeed);
        EXPECT_EQ(move.m_lpMove->m_nAngle, moveBefore.m_nAngle);
    }
}

TEST_F(BindingTest, FlowAndHeroListsApplyInOrder)
{
    m_Chara.m_vVar[1] = 10;
    m_Chara.m_vVar[2] = 3;
    cFlowInstance flow;
    flow.m_lBindings = {Bind(11, 27, 0, 2, 1), Bind(11, 27, 3, 2, 2)};
    cEdCommand cmd = FullCommand(11);
    ApplyFlowParamBindings(&cmd, &m_Chara, &flow);
    EXPECT_EQ(cmd.m_lpShot->m_nPower, 30);
    ApplyFlowParamBindings(&cmd, &m_Chara, nullptr);
    EXPECT_EQ(cmd.m_lpShot->m_nPower, 30);

    cHero& hero = Player[0];
    cFlowFixture::PrepareChara(hero);
    hero.m_vVar[1] = 4;
    hero.m_lBindings = {Bind(11, 5, 0, 2, 1), Bind(11, 5, 1, 2, 1)};
    ApplyHeroParamBindings(&cmd, &hero);
    EXPECT_EQ(cmd.m_lpShot->m_nCount, 8);
}

}   // namespace
