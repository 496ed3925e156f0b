// Collision with the block grid: probes, the push-out from walls, landing and ceilings, deadly
// blocks, the flying modes, the view's edges and the placement test.
#include <gtest/gtest.h>

#include "data/EdSystem.h"
#include "objects/Chara.h"
#include "stage/BlockCollision.h"
#include "stage/CharaList.h"
#include "tests/play/ObjectCoreSupport.h"

namespace {

class CollisionBlockTest : public cObjectCoreFixture {
public:
    void SetUp() override
    {
        cObjectCoreFixture::SetUp();
        BlockMap.ClearCells();
    }
    void TearDown() override
    {
        g_System.m_bLegacy677 = 0;
        cObjectCoreFixture::TearDown();
    }
    static BLOCKCELL& Cell(int32_t x, int32_t y) { return BlockMap[BlockMap.IndexOf(x, y)]; }
    static void SetBlock(int32_t x, int32_t y, int8_t nHit) { Cell(x, y).m_Block.m_nHit = nHit; }
    // Walking (nFly -1) or flying in mode nFly.
    static void Place(cCoreTestChara& o, double x, double y, int32_t nSide, int32_t nFly)
    {
        o.SetBox(x, y);
        o.m_nSide = nSide;
        o.m_bFlying = nFly >= 0 ? 1 : 0;
        o.m_nBlockMode = static_cast<int8_t>(nFly >= 0 ? nFly : 0);
        o.OnMovedX();
        o.OnMovedY();
    }
};

struct SideCase {
    int8_t nHit;
    int32_t nSide;
    int32_t nFly;
    int32_t nResult;
    bool bPushed;
};

const SideCase kSideCases[] = {
    {1, 0, -1, 0, true},
    {1, 1, -1, 0, true},
    {2, 0, -1, 2, false},   // deadly for the player side from any side
    {2, 1, -1, 0, true},    // an ordinary wall for the computer side
    {1, 1, 2, 2, false},    // flying, dies on blocks
    {1, 1, 1, 0, true},     // flying, collides
    {1, 1, 0, 0, false},    // flying, passes through
    {0, 0, -1, 0, false},
};

TEST_F(CollisionBlockTest, LeftWallPushesOutToTheNextGridLine)
{
    for (const SideCase& c : kSideCases) {
        for (int32_t nFrac : {0, 20}) {   // grid-aligned objects move a whole block
            SCOPED_TRACE(testing::Message() << int(c.nHit) << " side " << c.nSide << " fly "
                                            << c.nFly << " frac " << nFrac);
            SetBlock(12, 12, c.nHit);
            cCoreTestChara o;
            Place(o, 12 * 32 + nFrac, 12 * 32, c.nSide, c.nFly);
            EXPECT_EQ(CollideLeft(&o), c.nResult);
            EXPECT_EQ(o.m_dX, c.bPushed ? 13 * 32 : 12 * 32 + nFrac);
            EXPECT_EQ(o.m_bContactLeft, c.bPushed ? 1 : 0);
            if (c.bPushed) {
                EXPECT_EQ(o.m_nLastWallSide, 0);
                EXPECT_EQ(o.m_dRight, 13 * 32 + 31);
            }
        }
    }
}

TEST_F(CollisionBlockTest, RightWallPushesOutToTheLastPixelBeforeIt)
{
    for (const SideCase& c : kSideCases) {
        SCOPED_TRACE(testing::Message() << int(c.nHit) << " side " << c.nSide << " fly " << c.nFly);
        SetBlock(14, 12, c.nHit);
        cCoreTestChara o;
        Place(o, 13 * 32 + 5, 12 * 32, c.nSide, c.nFly);
        o.m_dAccelX = 1.0;
        EXPECT_EQ(CollideRight(&o), c.nResult);
        EXPECT_EQ(o.m_dX, c.bPushed ? 13 * 32 : 13 * 32 + 5);
        EXPECT_EQ(o.m_bContactRight, c.bPushed ? 1 : 0);
        EXPECT_EQ(o.m_dAccelX, c.bPushed ? 0.0 : 1.0);
    }
}

TEST_F(CollisionBlockTest, HorizontalCollisionStopsAtTheFirstDeath)
{
    SetBlock(12, 12, 2);
    SetBlock(13, 12, 1);
    cCoreTestChara o;
    Place(o, 12 * 32 + 16, 12 * 32, 0, -1);   // left edge in the deadly block, right in the wall
    o.m_dSpeedX = 1.0;                        // right first: pushed left, into the deadly block
    EXPECT_EQ(CollideHorizontal(&o), 2);
    EXPECT_EQ(o.m_bContactRight, 1);
    Place(o, 12 * 32 + 16, 12 * 32, 0, -1);
    o.ClearContactFlags();
    o.m_dSpeedX = -1.0;                       // left first: dies before the right edge is tested
    EXPECT_EQ(CollideHorizontal(&o), 2);
    EXPECT_EQ(o.m_bContactRight, 0);
}

TEST_F(CollisionBlockTest, FloorsLandWalkersThatAreNotRising)
{
    struct Case {
        int8_t nHit;
        int32_t nSide;
        int32_t nFly;
        double dSpeedY;
        int32_t bCatchRising;
        int32_t nResult;
        bool bLands;
    };
    const Case cases[] = {
        {1, 1, -1, 1.0, 0, 0, true},
        {1, 0, -1, 0.0, 0, 0, true},
        {1, 1, -1, -1.0, 0, 0, false},   // jumping up through the floor of a block row
        {1, 1, -1, -1.0, 1, 0, true},    // unless floors catch rising objects
        {1, 1, 1, -1.0, 0, 0, true},     // or it flies
        {2, 1, -1, 1.0, 0, 0, true},     // the computer side stands on deadly blocks
        {2, 0, -1, 1.0, 0, 2, false},
        {1, 1, 2, 1.0, 0, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.nHit) << " side " << c.nSide << " fly " << c.nFly
                                        << " vy " << c.dSpeedY << " catch " << c.bCatchRising);
        g_System.m_bLegacy677 = c.bCatchRising;
        SetBlock(12, 13, c.nHit);
        cCoreTestChara o;
        Place(o, 12 * 32, 12 * 32 + 10, c.nSide, c.nFly);
        o.m_dSpeedY = c.dSpeedY;
        o.m_nFallCount = 3;
        EXPECT_EQ(CollideBottom(&o), c.nResult);
        EXPECT_EQ(o.m_dY, c.bLands ? 12 * 32 : 12 * 32 + 10);
        EXPECT_EQ(o.m_bContactBottom, c.bLands ? 1 : 0);
        EXPECT_EQ(o.m_lpStandBlock, &Cell(12, 13));
        if (c.bLands) {
            EXPECT_EQ(o.m_lpLandBlock, &Cell(12, 13));
            EXPECT_EQ(o.m_nFallCount, 0);
            EXPECT_EQ(o.m_dSpeedY, 0.0);
        }
    }
}

TEST_F(CollisionBlockTest, CeilingsStopRisingWalkers)
{
    SetBlock(12, 11, 1);
    cCoreTestChara o;
    Place(o, 12 * 32, 11 * 32 + 20, 1, -1);
    o.m_dSpeedY = -2.0;
    EXPECT_EQ(CollideVertical(&o), 0);
    EXPECT_EQ(o.m_dY, 12 * 32);
    EXPECT_EQ(o.m_bContactTop, 1);
    EXPECT_EQ(o.m_dSpeedY, 0.0);
    EXPECT_EQ(o.m_lpStandBlock, nullptr);
}

TEST_F(CollisionBlockTest, FallingCountsUpToTheAirThreshold)
{
    const int32_t nThreshold = g_Stage.m_nAirThreshold;
    ASSERT_GT(nThreshold, 1);
    struct Case {
        int32_t nSide, bRiding;
        int32_t bAirborne, bJumpReady;
    };
    const Case cases[] = {{1, 0, 1, 0}, {0, 0, 1, 1}, {0, 1, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nSide << " riding " << c.bRiding);
        Player[0].m_bJumpReady = 0;
        cCoreTestChara o;
        Place(o, 12 * 32, 12 * 32, c.nSide, -1);
        o.m_bRiding = c.bRiding;
        for (int32_t i = 1; i < nThreshold; ++i) CollideBottom(&o);
        EXPECT_EQ(o.m_bAirborne, 0);
        CollideBottom(&o);
        EXPECT_EQ(o.m_nFallCount, nThreshold);
        EXPECT_EQ(o.m_bAirborne, c.bAirborne);
        EXPECT_EQ(Player[0].m_bJumpReady, c.bJumpReady);
        EXPECT_EQ(o.m_lpStandBlock, nullptr);
    }
}

TEST_F(CollisionBlockTest, ProbesPreferTheHigherKindThenTheNearerCell)
{
    // The bottom edge across a solid and a deadly block: the deadly one is found.
    SetBlock(12, 13, 1);
    SetBlock(13, 13, 2);
    cCoreTestChara o;
    Place(o, 12 * 32 + 16, 12 * 32 + 10, 0, -1);
    const int32_t b = static_cast<int32_t>(o.m_dBottom);
    EXPECT_EQ(ProbeEdge(&o, 12 * 32 + 16, b, 13 * 32 + 15, b), BlockMap.IndexOf(13, 13));
    EXPECT_EQ(CollideBottom(&o), 2);

    // Both solid: a player-side character stands on the one nearer its centre.
    SetBlock(13, 13, 1);
    Place(o, 12 * 32 + 20, 12 * 32 + 10, 0, -1);
    EXPECT_EQ(CollideBottom(&o), 0);
    EXPECT_EQ(o.m_lpStandBlock, &Cell(13, 13));
    Place(o, 12 * 32 + 20, 12 * 32 + 10, 1, -1);
    EXPECT_EQ(CollideBottom(&o), 0);
    EXPECT_EQ(o.m_lpStandBlock, &Cell(12, 13));
}

TEST_F(CollisionBlockTest, ProbesOutsideTheMapFindNoBlock)
{
    cCoreTestChara o;
    o.SetBox(0, 0);
    EXPECT_EQ(ProbeEdge(&o, -40, 100, -40, 131), -1);
    EXPECT_EQ(ProbeEdge(&o, 100, -1, 131, -1), -1);
    EXPECT_EQ(ProbeFloor(&o, -40, -5, -9), -1);
    EXPECT_EQ(ProbeCorners(&o, -1, -1, -1, -1), -1);
    EXPECT_EQ(ProbeEdge(&o, 100, 40 * 32, 131, 40 * 32), -1);   // below the last row
    // The margin is part of the map.
    EXPECT_EQ(ProbeEdge(&o, 5, 5, 5, 36), BlockMap.IndexOf(0, 0));
    EXPECT_EQ(ProbeEdge(&o, 1, 2, 3, 4), 0);   // not an edge: cell 0
    // A character at a negative position meets nothing and stays put.
    o.m_dX = -40.0;
    o.m_dRight = -9.0;
    EXPECT_EQ(CollideLeft(&o), 0);
    EXPECT_EQ(CollideRight(&o), 0);
    EXPECT_EQ(o.m_dX, -40.0);
}

TEST_F(CollisionBlockTest, ViewBottomKillsWalkersOnly)
{
    m_State.m_ScrollY.m_dPosition = 320.0;
    m_State.m_ScrollX.m_dPosition = 320.0;
    for (int32_t nFly : {-1, 1}) {
        SCOPED_TRACE(nFly);
        cCoreTestChara o;
        Place(o, 400, 320 + 470, 1, nFly);
        EXPECT_EQ(KeepInViewY(&o), nFly < 0 ? 2 : 0);
        EXPECT_EQ(o.m_dY, 320 + 480 - 32 - 1.0);
        EXPECT_EQ(o.m_bContactBottom, 1);
        Place(o, 400, 300, 1, nFly);
        EXPECT_EQ(KeepInViewY(&o), 0);
        EXPECT_EQ(o.m_dY, 320.0);
        EXPECT_EQ(o.m_bContactTop, 1);
    }
    cCoreTestChara o;
    Place(o, 300, 400, 1, -1);
    KeepInViewX(&o);
    EXPECT_EQ(o.m_dX, 320.0);
    EXPECT_EQ(o.m_bContactLeft, 1);
    Place(o, 320 + 630, 400, 1, -1);
    KeepInViewX(&o);
    EXPECT_EQ(o.m_dX, 320 + 640 - 32 - 1.0);
    EXPECT_EQ(o.m_bContactRight, 1);
}

TEST_F(CollisionBlockTest, PlacementIsBlockedByBlocksAndBlockCharacters)
{
    cCoreTestChara o;
    Place(o, 12 * 32 + 8, 12 * 32 + 8, 1, -1);
    o.m_nKey = 50;
    EXPECT_EQ(HitsBlockOrCharacter(&o), 0);
    SetBlock(13, 13, 1);   // under the lower-right corner
    EXPECT_EQ(HitsBlockOrCharacter(&o), 1);
    Place(o, 12 * 32 + 8, 12 * 32 + 8, 1, 0);   // flying through blocks: never blocked
    EXPECT_EQ(HitsBlockOrCharacter(&o), 0);
    SetBlock(13, 13, 0);

    cChara block;
    block.m_Def.m_bCellBox = 1;
    block.m_nKey = 7;
    block.m_bAppeared = 1;
    block.m_dX = 12 * 32 + 30;
    block.m_dY = 12 * 32;
    block.m_dRight = block.m_dX + 31;
    block.m_dBottom = block.m_dY + 31;
    cChara& stored = CharaList.Append(block);
    Place(o, 12 * 32 + 8, 12 * 32 + 8, 1, -1);
    EXPECT_EQ(HitsBlockOrCharacter(&o), 1);
    EXPECT_EQ(OverlapsBlockCharacter(&o, 1, 7), 0);   // the excepted key
    o.m_nKey = 7;                                      // itself
    EXPECT_EQ(OverlapsBlockCharacter(&o, 0, 0), 0);
    o.m_nKey = 50;
    stored.m_bDefeated = 1;
    EXPECT_EQ(OverlapsBlockCharacter(&o, 0, 0), 0);
    stored.m_bDefeated = 0;
    stored.m_dX = o.m_dRight + 1;                      // edges inclusive: just apart
    stored.m_dRight = stored.m_dX + 31;
    EXPECT_EQ(OverlapsBlockCharacter(&o, 0, 0), 0);
    stored.m_dX = o.m_dRight;
    EXPECT_EQ(OverlapsBlockCharacter(&o, 0, 0), 1);
}

}  // namespace
