// Appearance and flow conditions: comparisons, combine modes, the once-true latch, whose variables
// each owner reads, and the hit kind of a block cell.
#include <gtest/gtest.h>

#include <climits>

#include "data/EdCondition.h"
#include "data/EdFlow.h"
#include "flows/FlowInstance.h"
#include "frontend/SaveData.h"
#include "objects/Chara.h"
#include "objects/Item.h"
#include "stage/Conditions.h"
#include "tests/play/PlayTestSupport.h"

namespace {

cEdCondition Cond(int8_t nKind, int16_t nIndex, int32_t nValue, int8_t nCompare)
{
    cEdCondition c = cEdCondition::Default();
    c.m_nKind = nKind;
    c.m_nVarIndex = nIndex;
    c.m_nValue = nValue;
    c.m_nCompare = nCompare;
    return c;
}

class RuleConditionsTest : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        m_State.m_vStageVar.assign(kStageVarCount, 0);
        Player[0].m_vVar.assign(9, 0);
        g_SaveData.CommonVars.assign(16, 0);
    }
};

TEST_F(RuleConditionsTest, ComparisonsOfVariables)
{
    struct Case {
        int32_t v, c;
        int8_t nCompare;
        int32_t nExpected;
    };
    const Case cases[] = {
        {3, 3, 0, 1}, {3, 4, 0, 0}, {3, 4, 1, 1}, {3, 3, 1, 0},
        {3, 3, 2, 1}, {2, 3, 2, 0}, {3, 3, 3, 1}, {4, 3, 3, 0},
        {4, 3, 4, 1}, {3, 3, 4, 0}, {2, 3, 5, 1}, {3, 3, 5, 0},
        // Multiples of |v|: a negative value or constant tests the same multiples.
        {-6, 3, 6, 1}, {-6, 3, 7, 0}, {7, 3, 6, 0}, {7, 3, 7, 1}, {6, -3, 6, 1},
        // A constant of 0: 6 holds and 7 does not, so the two stay opposites.
        {5, 0, 6, 1}, {5, 0, 7, 0},
        // The extremes never trap.
        {INT_MIN, -1, 6, 1}, {INT_MIN, -1, 7, 0}, {INT_MIN, 7, 6, 0}, {INT_MIN, 7, 7, 1},
        {INT_MIN, INT_MIN, 6, 1},
        // Comparisons outside the table never hold.
        {3, 3, 8, 0}, {3, 3, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.v << " op" << int(c.nCompare) << " " << c.c);
        m_State.m_vStageVar[5] = c.v;
        EXPECT_EQ(EvaluateCondition(Cond(2, 5, c.c, c.nCompare), nullptr), c.nExpected);
    }
}

TEST_F(RuleConditionsTest, EachKindReadsItsOwnVariables)
{
    cChara chara;
    chara.m_vVar.assign(9, 0);
    g_SaveData.CommonVars[2] = 11;
    m_State.m_vStageVar[2] = 22;
    chara.m_vVar[2] = 33;
    EXPECT_EQ(EvaluateCondition(Cond(1, 2, 11, 0), &chara), 1);
    EXPECT_EQ(EvaluateCondition(Cond(2, 2, 22, 0), &chara), 1);
    EXPECT_EQ(EvaluateCondition(Cond(3, 2, 33, 0), &chara), 1);
    // Unknown kinds, and an own variable with nobody to judge, do not hold.
    EXPECT_EQ(EvaluateCondition(Cond(0, 2, 0, 0), &chara), 0);
    EXPECT_EQ(EvaluateCondition(Cond(8, 2, 0, 0), &chara), 0);
    EXPECT_EQ(EvaluateCondition(Cond(3, 2, 0, 0), nullptr), 0);
}

TEST_F(RuleConditionsTest, CombineModes)
{
    const cEdCondition yes = Cond(2, 1, 0, 0);
    const cEdCondition no = Cond(2, 1, 1, 0);
    struct Case {
        std::vector<cEdCondition> v;
        int32_t nMode;
        int32_t nExpected;
    };
    const Case cases[] = {
        {{}, 0, 1}, {{}, 1, 0}, {{}, 2, 0},
        {{yes, yes}, 0, 1}, {{yes, no}, 0, 0}, {{no, yes}, 0, 0},
        {{no, no}, 1, 0}, {{no, yes}, 1, 1}, {{yes, no}, 1, 1},
        {{yes}, 2, 0}, {{yes}, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.v.size() << " mode " << c.nMode);
        EXPECT_EQ(EvaluateConditionList(c.v, c.nMode, nullptr), c.nExpected);
    }
}

TEST_F(RuleConditionsTest, EmptyListsHoldForEveryOwnerWithoutTouchingTheLatch)
{
    BLOCKCELL cell;
    cell.m_Block.m_nCondMode = 1;
    EXPECT_EQ(CheckAppearanceConditions(cell), 1);
    EXPECT_EQ(cell.m_nLatch, 0);

    cChara chara;
    chara.m_Def.m_nCondMode = 1;
    EXPECT_EQ(CheckCharaAppearance(chara), 1);
    EXPECT_EQ(chara.m_bAppearLatch, 0);

    cItem item;
    item.m_Rec.m_nCondMode = 5;
    EXPECT_EQ(CheckItemAppearance(item), 1);
    EXPECT_EQ(item.m_bAppearLatch, 0);

    cEdFlow flow = cEdFlow::Default();
    cFlowInstance inst;
    inst.m_lpFlow = &flow;
    EXPECT_EQ(CheckFlowConditions(&inst, &chara), 1);
    EXPECT_EQ(inst.m_bCondLatch, 0);
}

// With once-true a list that held once keeps holding; without it the list follows its
// variables, though the latch is still written.
TEST_F(RuleConditionsTest, OnceTrueLatch)
{
    for (int8_t bOnce : {int8_t(0), int8_t(1)}) {
        SCOPED_TRACE(int(bOnce));
        m_State.m_vStageVar[9] = 0;
        BLOCKCELL cell;
        cell.m_Block.m_vCondition = {Cond(2, 9, 1, 0)};
        cell.m_Block.m_bCondOnce = bOnce;
        EXPECT_EQ(CheckAppearanceConditions(cell), 0);
        EXPECT_EQ(cell.m_nLatch, 0);
        m_State.m_vStageVar[9] = 1;
        EXPECT_EQ(CheckAppearanceConditions(cell), 1);
        EXPECT_EQ(cell.m_nLatch, 1);
        m_State.m_vStageVar[9] = 0;
        EXPECT_EQ(CheckAppearanceConditions(cell), bOnce);
        EXPECT_EQ(cell.m_nLatch, 1);
    }
}

TEST_F(RuleConditionsTest, BlocksAndItemsReadPlayerOneWhileCharactersReadTheirOwn)
{
    const std::vector<cEdCondition> list = {Cond(3, 4, 7, 0)};
    Player[0].m_vVar[4] = 7;

    BLOCKCELL cell;
    cell.m_Block.m_vCondition = list;
    EXPECT_EQ(CheckAppearanceConditions(cell), 1);

    cItem item;
    item.m_Rec.m_vCondition = list;
    EXPECT_EQ(CheckItemAppearance(item), 1);

    cChara chara;
    chara.m_vVar.assign(9, 0);
    chara.m_Def.m_vCondition = list;
    EXPECT_EQ(CheckCharaAppearance(chara), 0);
    chara.m_vVar[4] = 7;
    EXPECT_EQ(CheckCharaAppearance(chara), 1);
    EXPECT_EQ(chara.m_bAppearLatch, 1);

    cEdFlow flow = cEdFlow::Default();
    flow.m_vCondition = list;
    flow.m_bOnceTrue = 1;
    cFlowInstance inst;
    inst.m_lpFlow = &flow;
    EXPECT_EQ(CheckFlowConditions(&inst, &chara), 1);
    chara.m_vVar[4] = 0;
    EXPECT_EQ(CheckFlowConditions(&inst, &chara), 1);   // latched
    EXPECT_EQ(CheckFlowConditions(nullptr, &chara), 0);
}

TEST_F(RuleConditionsTest, HitKindOfABlockCell)
{
    struct Case {
        int8_t nHit;
        int8_t nPassFaction;
        int32_t nStageVar;      // the block appears while stage variable 3 is 1
        int32_t nFaction;
        int8_t nExpected;
    };
    const Case cases[] = {
        {1, -1, 1, 0, 1}, {2, -1, 1, 0, 2}, {0, -1, 1, 0, 0},
        {1, 2, 1, 2, 0},     // the faction it lets pass
        {1, 2, 1, 3, 1},
        {2, -1, 0, 0, 0},    // its conditions fail
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.nHit) << " " << int(c.nPassFaction) << " "
                                        << c.nStageVar << " " << c.nFaction);
        BLOCKCELL cell;
        cell.m_Block.m_nHit = c.nHit;
        cell.m_Block.m_nHitExcept = c.nPassFaction;
        cell.m_Block.m_vCondition = {Cond(2, 3, 1, 0)};
        m_State.m_vStageVar[3] = c.nStageVar;
        EXPECT_EQ(cell.IsActive(c.nFaction), c.nExpected);
    }
}

}  // namespace
