// Status conditions, "ステータスの操作" and the arithmetic they share.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "core/Random.h"
#include "data/EdCommand.h"
#include "data/EdCondition.h"
#include "flows/StatusOps.h"
#include "frontend/SaveData.h"
#include "objects/Chara.h"
#include "platform/host/Host.h"
#include "tests/play/PlayTestSupport.h"

namespace {

struct CompareCase {
    int32_t a, b, op, expected;
};

TEST(StatusOpsCompare, EightOperatorsAndTheMultipleRule)
{
    const CompareCase cases[] = {
        {5, 5, 0, 1},   {5, 6, 0, 0},  {5, 6, 1, 1},  {5, 5, 1, 0},  {6, 5, 2, 1},  {5, 5, 2, 1},
        {4, 5, 2, 0},   {4, 5, 3, 1},  {6, 5, 3, 0},  {6, 5, 4, 1},  {5, 5, 4, 0},  {4, 5, 5, 1},
        {5, 5, 5, 0},   {9, 3, 6, 1},  {-9, 3, 6, 1}, {9, 0, 6, 1},  {10, 3, 6, 0}, {10, 3, 7, 1},
        {9, 3, 7, 0},   {9, 0, 7, 0},  {5, 5, 8, 0},  {5, 5, -1, 0},
        // |INT_MIN| and a divisor of -1 are worked out wide: no trap, a multiple.
        {INT32_MIN, -1, 6, 1}, {INT32_MIN, -1, 7, 0}, {INT32_MIN, 3, 7, 1},
    };
    for (const CompareCase& c : cases)
        EXPECT_EQ(CompareByOp(c.a, c.b, c.op), c.expected) << c.a << " op " << c.op << " " << c.b;
}

TEST(StatusOpsCompare, NarrowWidthsCompareTruncatedValues)
{
    // 300 becomes 44 at 8 bits, 70000 becomes 4464 at 16 bits.
    EXPECT_EQ(CompareByOp8(static_cast<int8_t>(44), static_cast<int8_t>(300), 0), 1);
    EXPECT_EQ(CompareByOp16(static_cast<int16_t>(4464), static_cast<int16_t>(70000), 0), 1);
    EXPECT_EQ(CompareByOp8(-128, 127, 5), 1);
}

TEST(StatusOpsPercent, RoundsHalvesAwayFromZeroAndNeverWraps)
{
    const struct {
        int32_t a, b, expected;
    } cases[] = {
        {200, 50, 100}, {3, 50, 2},     {-3, 50, -2},     {1, 49, 0},       {1, 50, 1},
        {-1, 50, -1},   {0, 99999, 0},  {999, 1, 10},
        // 999999 x 5000 does not fit 32 bits; the percentage keeps its true value.
        {999999, 5000, 49999950}, {-999999, 5000, -49999950},
        {INT32_MAX, INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX, INT32_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(PercentOf(c.a, c.b), c.expected) << c.a << " % " << c.b;
}

TEST(StatusOpsOperate, SevenOperationsWithTheirRanges)
{
    const struct {
        int32_t value, operand, op, expected;
    } cases[] = {
        {10, 7, 0, 7},          {10, 7, 1, 17},       {10, 7, 2, 3},        {10, 7, 3, 70},
        {10, 3, 4, 3},          {10, 3, 5, 1},        {-7, 3, 5, -1},       {10, 0, 4, 10},
        {10, 0, 5, 10},         {200, 50, 6, 100},    {10, 5, 7, 10},       {5000000, 0, 9, 999999},
        // Saturation instead of wrap-around.
        {999999, 3000, 3, 999999}, {999999, -3000, 3, -999999}, {-999999, -3000, 3, 999999},
        {65536, 65536, 3, 999999},
        {999999, 999999, 1, 999999}, {-999999, 999999, 2, -999999},
    };
    for (const auto& c : cases) {
        int32_t n = c.value;
        OperateValue32(n, c.operand, c.op, -999999, 999999);
        EXPECT_EQ(n, c.expected) << c.value << " op " << c.op << " " << c.operand;
    }
    int32_t nMin = INT32_MIN;
    OperateValue32(nMin, -1, 4, INT32_MIN, INT32_MAX);   // no trap
    EXPECT_EQ(nMin, INT32_MAX);
    nMin = INT32_MIN;
    OperateValue32(nMin, -1, 5, INT32_MIN, INT32_MAX);
    EXPECT_EQ(nMin, 0);
}

TEST(StatusOpsOperate, NarrowFieldsClampBeforeNarrowing)
{
    int8_t nCid = 5;
    OperateValue8(nCid, 300, 1, 0, 99);   // 305 is not 49 (300 cut to 8 bits)
    EXPECT_EQ(nCid, 99);
    int8_t nImp = 10;
    OperateValue8(nImp, -100, 1, -20, 20);
    EXPECT_EQ(nImp, -20);
    int16_t nStop = 100;
    OperateValue16(nStop, 70000, 3, 0, 200);
    EXPECT_EQ(nStop, 200);
    int16_t nMark = 100;
    OperateValue16(nMark, 0, 4, 0, 119);
    EXPECT_EQ(nMark, 100);
}

class StatusOpsFixture : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        HostSelect(HostKind::Headless);
        m_SavedVars = g_SaveData.CommonVars;
        m_nSavedLives = g_SaveData.nLives;
        m_nSavedScore = g_SaveData.nScore;
        g_SaveData.CommonVars.assign(kCommonVarCount, 0);
        m_Self.m_vVar.assign(9, 0);
        m_Other.m_vVar.assign(9, 0);
        m_Self.m_Def.m_nMaxHP = 200;
        m_Self.m_nHP = 120;
        m_Other.m_Def.m_nMaxHP = 100;
        m_Other.m_nHP = 40;
        m_Self.m_nSide = 1;
    }
    void TearDown() override
    {
        if (m_Self.m_lpTarget != nullptr) m_Self.SetTarget(nullptr);
        g_SaveData.CommonVars = m_SavedVars;
        g_SaveData.nLives = m_nSavedLives;
        g_SaveData.nScore = m_nSavedScore;
        cPlayFixture::TearDown();
    }

    static cEdCondition StatusCondition(int32_t nLeftOwner, int32_t nLeftStatus, int32_t nCompare, int32_t nValue,
                                        int32_t bPercent)
    {
        cEdCondition c = cEdCondition::Default();
        c.m_nKind = 4;
        c.m_nLeftKind = 0;
        c.m_nLeftOwner = static_cast<int8_t>(nLeftOwner);
        c.m_nLeftStatus = static_cast<int8_t>(nLeftStatus);
        c.m_nRightKind = 0;
        c.m_nValue = nValue;
        c.m_nCompare = static_cast<int8_t>(nCompare);
        c.m_bPercent = static_cast<int8_t>(bPercent);
        return c;
    }

    // "ステータスの操作" with 18 parameters: the given ones set, the rest 0.
    static cEdCommand Operation(std::initializer_list<std::pair<int32_t, int32_t>> params)
    {
        cEdCommand cmd = cEdCommand::Default();
        cmd.m_nKind = 22;
        cmd.m_vParam.assign(18, 0);
        for (const auto& [i, v] : params) cmd.m_vParam[static_cast<size_t>(i)] = v;
        return cmd;
    }

    cChara m_Self;
    cChara m_Other;
    std::vector<int32_t> m_SavedVars;
    int32_t m_nSavedLives = 0, m_nSavedScore = 0;
};

TEST_F(StatusOpsFixture, PercentOfMaximumOnlyForHpAndSp)
{
    m_Self.m_nHP = 100;
    // HP >= 50 % of 200 compares with 100.
    EXPECT_EQ(CheckStatusCondition(StatusCondition(0, 1, 2, 50, 1), &m_Self), 1);
    m_Self.m_nHP = 99;
    EXPECT_EQ(CheckStatusCondition(StatusCondition(0, 1, 2, 50, 1), &m_Self), 0);
    // Maximum HP with percent compares with 0: always >= .
    EXPECT_EQ(CheckStatusCondition(StatusCondition(0, 3, 2, 5000, 1), &m_Self), 1);
    EXPECT_EQ(CheckStatusCondition(StatusCondition(0, 3, 2, 5000, 0), &m_Self), 0);
}

TEST_F(StatusOpsFixture, ConditionSidesByKind)
{
    m_State.m_vStageVar[4] = 12;
    g_SaveData.CommonVars[3] = 12;
    cEdCondition c = StatusCondition(0, 0, 0, 0, 0);
    // Left: stage variable 4; right: common variable 3.
    c.m_nLeftKind = 1;
    c.m_nLeftScope = 1;
    c.m_nVarIndex = 4;
    c.m_nRightKind = 3;
    c.m_nRightScope = 0;
    c.m_nRightVarIndex = 3;
    EXPECT_EQ(CheckStatusCondition(c, &m_Self), 1);
    c.m_nRightScope = 2;   // no such scope: reads 0
    EXPECT_EQ(CheckStatusCondition(c, &m_Self), 0);
    c.m_nLeftScope = 5;    // no such scope on the left: false
    c.m_nCompare = 1;
    EXPECT_EQ(CheckStatusCondition(c, &m_Self), 0);

    // Right side a status of the target: none is false.
    cEdCondition t = StatusCondition(0, 1, 0, 0, 0);
    t.m_nRightKind = 2;
    t.m_nRightOwner = 1;
    t.m_nRightStatus = 1;
    EXPECT_EQ(CheckStatusCondition(t, &m_Self), 0);
    m_Self.SetTarget(&m_Other);
    m_Other.m_nHP = 120;
    EXPECT_EQ(CheckStatusCondition(t, &m_Self), 1);
    // A left status of a missing target is false; a left status outside the table is true.
    EXPECT_EQ(CheckStatusCondition(StatusCondition(1, 1, 0, 120, 0), &m_Self), 1);
    m_Self.SetTarget(nullptr);
    EXPECT_EQ(CheckStatusCondition(StatusCondition(1, 1, 0, 120, 0), &m_Self), 0);
    EXPECT_EQ(CheckStatusCondition(StatusCondition(0, 15, 0, 1234, 0), &m_Self), 1);
    // A computer-side object has no sight.
    EXPECT_EQ(CheckStatusCondition(StatusCondition(0, 8, 2, 0, 0), &m_Self), 0);
    m_Self.m_nSide = 0;
    EXPECT_EQ(CheckStatusCondition(StatusCondition(0, 8, 2, 0, 0), &m_Self), 1);
}

TEST_F(StatusOpsFixture, RandomRightSideDrawsAtEveryEvaluation)
{
    GameSrand(7);
    cEdCondition c = StatusCondition(0, 1, 0, 0, 0);
    c.m_nRightKind = 1;
    c.m_nRandMin = 1;
    c.m_nRandMax = 1000;
    std::vector<int32_t> vExpected;
    GameSrand(7);
    for (int i = 0; i < 20; ++i) vExpected.push_back(RandomBetween(1, 1000));
    GameSrand(7);
    for (int i = 0; i < 20; ++i) {
        m_Self.m_nHP = vExpected[static_cast<size_t>(i)];
        EXPECT_EQ(CheckStatusCondition(c, &m_Self), 1) << i;
    }
}

TEST_F(StatusOpsFixture, InfiniteLivesAndTimeWithoutLimit)
{
    g_SaveData.nLives = kInfiniteLives;
    cEdCondition left = StatusCondition(2, 4, 1, -1, 0);
    EXPECT_EQ(CheckStatusCondition(left, &m_Self), 0);   // lives on the left: false
    cEdCondition right = StatusCondition(0, 0, 0, 0, 0);
    right.m_nRightKind = 2;
    right.m_nRightOwner = 2;
    right.m_nRightStatus = 4;
    m_Self.m_vVar[0] = 0;
    EXPECT_EQ(CheckStatusCondition(right, &m_Self), 1);   // lives on the right read 0
    m_State.m_bNoTimeLimit = 1;
    m_State.m_nTimeLeft = 999;
    right.m_nRightStatus = 0;
    EXPECT_EQ(CheckStatusCondition(right, &m_Self), 1);   // time reads 0 without a limit

    // The operation leaves infinite lives alone.
    cEdCommand cmd = Operation({{3, 2}, {4, 4}, {5, 0}, {7, 3}});
    StatusOperation(&m_Self, &cmd);
    EXPECT_EQ(g_SaveData.nLives, kInfiniteLives);
    g_SaveData.nLives = 5;
    StatusOperation(&m_Self, &cmd);
    EXPECT_EQ(g_SaveData.nLives, 3);
    cEdCommand add = Operation({{3, 2}, {4, 4}, {5, 1}, {7, 500}});
    StatusOperation(&m_Self, &add);
    EXPECT_EQ(g_SaveData.nLives, 99);
}

TEST_F(StatusOpsFixture, CharacterVariableSaturatesOnOverflow)
{
    m_Self.m_vVar[2] = 999999;
    cEdCommand mul = Operation({{2, 2}, {3, 0}, {4, 0}, {5, 3}, {7, 3000}});
    StatusOperation(&m_Self, &mul);
    EXPECT_EQ(m_Self.m_vVar[2], 999999);
    cEdCommand neg = Operation({{2, 2}, {3, 0}, {4, 0}, {5, 3}, {7, -3000}});
    StatusOperation(&m_Self, &neg);
    EXPECT_EQ(m_Self.m_vVar[2], -999999);
    cEdCommand div0 = Operation({{2, 2}, {3, 0}, {4, 0}, {5, 4}, {7, 0}});
    StatusOperation(&m_Self, &div0);
    EXPECT_EQ(m_Self.m_vVar[2], -999999);
    cEdCommand rem0 = Operation({{2, 2}, {3, 0}, {4, 0}, {5, 5}, {7, 0}});
    StatusOperation(&m_Self, &rem0);
    EXPECT_EQ(m_Self.m_vVar[2], -999999);
}

TEST_F(StatusOpsFixture, VariablesWithPercentOfTheirValue)
{
    g_SaveData.CommonVars[9] = 80;
    // Common variable 9 += 50 % of itself.
    cEdCommand cmd = Operation({{0, 1}, {1, 0}, {2, 9}, {5, 1}, {7, 50}, {14, 1}});
    StatusOperation(&m_Self, &cmd);
    EXPECT_EQ(g_SaveData.CommonVars[9], 120);
    // Stage variable 3 := a random number between the bounds given in reverse.
    cEdCommand rnd = Operation({{0, 1}, {1, 1}, {2, 3}, {5, 0}, {6, 1}, {8, 9}, {9, 9}});
    StatusOperation(&m_Self, &rnd);
    EXPECT_EQ(m_State.m_vStageVar[3], 9);
}

TEST_F(StatusOpsFixture, HpOfTheTargetSetsDeathPendingButNotOwnHp)
{
    m_Self.SetTarget(&m_Other);
    cEdCommand kill = Operation({{3, 1}, {4, 1}, {5, 2}, {7, 1000}});
    StatusOperation(&m_Self, &kill);
    EXPECT_EQ(m_Other.m_nHP, 0);
    EXPECT_EQ(m_State.m_bDeathPending, 1);

    m_State.m_bDeathPending = 0;
    cEdCommand self = Operation({{3, 0}, {4, 1}, {5, 2}, {7, 1000}});
    StatusOperation(&m_Self, &self);
    EXPECT_EQ(m_Self.m_nHP, 0);
    EXPECT_EQ(m_State.m_bDeathPending, 0);

    // Percent of the maximum: 200 x 25 % = 50; HP is capped by the maximum.
    cEdCommand heal = Operation({{3, 0}, {4, 1}, {5, 1}, {7, 25}, {15, 1}});
    StatusOperation(&m_Self, &heal);
    EXPECT_EQ(m_Self.m_nHP, 50);
    cEdCommand over = Operation({{3, 0}, {4, 1}, {5, 1}, {7, 5000}});
    StatusOperation(&m_Self, &over);
    EXPECT_EQ(m_Self.m_nHP, 200);
    // An unknown HP mode changes nothing at all.
    cEdCommand bad = Operation({{3, 0}, {4, 1}, {5, 0}, {7, 1}, {15, 3}});
    StatusOperation(&m_Self, &bad);
    EXPECT_EQ(m_Self.m_nHP, 200);
    // Lowering the maximum lowers HP with it.
    cEdCommand mhp = Operation({{3, 0}, {4, 3}, {5, 0}, {7, 60}});
    StatusOperation(&m_Self, &mhp);
    EXPECT_EQ(m_Self.m_Def.m_nMaxHP, 60);
    EXPECT_EQ(m_Self.m_nHP, 60);
}

TEST_F(StatusOpsFixture, InvincibleGuardMissingTargetAndComputerSight)
{
    m_Self.m_Def.m_nInvincible = 1;
    cEdCommand guarded = Operation({{3, 0}, {4, 9}, {5, 0}, {7, 77}, {17, 1}});
    StatusOperation(&m_Self, &guarded);
    EXPECT_EQ(m_Self.m_Def.m_nPower, 0);
    guarded.m_vParam[17] = 0;
    StatusOperation(&m_Self, &guarded);
    EXPECT_EQ(m_Self.m_Def.m_nPower, 77);

    cEdCommand onTarget = Operation({{3, 1}, {4, 9}, {5, 0}, {7, 5}});
    StatusOperation(&m_Self, &onTarget);   // no target: nothing
    EXPECT_EQ(m_Self.m_Def.m_nPower, 77);

    m_Self.m_Def.m_nSight = 3;
    cEdCommand sight = Operation({{3, 0}, {4, 8}, {5, 0}, {7, 10}});
    StatusOperation(&m_Self, &sight);      // a computer character has no sight to change
    EXPECT_EQ(m_Self.m_Def.m_nSight, 3);

    // An owner outside 0..2 acts on the object itself.
    cEdCommand owner9 = Operation({{3, 9}, {4, 6}, {5, 0}, {7, 12}});
    StatusOperation(&m_Self, &owner9);
    EXPECT_EQ(m_Self.m_Def.m_nZ, 7);
}

TEST_F(StatusOpsFixture, StopRefreshesBrakingAndScrollSpeedReachesTheAxis)
{
    cEdCommand stop = Operation({{3, 0}, {4, 13}, {5, 0}, {7, 50}});
    StatusOperation(&m_Self, &stop);
    EXPECT_EQ(m_Self.m_Def.m_nStop, 50);
    EXPECT_DOUBLE_EQ(m_Self.m_dStop, 50 * 0.01 / g_Stage.m_dSpeedDivisor);

    const int32_t nSavedSpeed = g_Stage.m_nAutoScrollSpeedX, bSavedOn = g_Stage.m_bAutoScrollX;
    g_Stage.m_bAutoScrollX = 1;
    g_Stage.m_nAutoScrollSpeedX = 0;
    cEdCommand scroll = Operation({{3, 2}, {4, 1}, {5, 1}, {7, 600}});
    StatusOperation(&m_Self, &scroll);
    EXPECT_EQ(g_Stage.m_nAutoScrollSpeedX, 480);
    EXPECT_EQ(m_State.m_ScrollX.m_bMoving, 1);
    EXPECT_DOUBLE_EQ(m_State.m_ScrollX.m_dSpeed, 480 * 0.1 / g_Stage.m_dSubSteps);
    g_Stage.m_nAutoScrollSpeedX = nSavedSpeed;
    g_Stage.m_bAutoScrollX = bSavedOn;
}

}  // namespace
