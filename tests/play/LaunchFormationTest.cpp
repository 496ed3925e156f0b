// Launchers and formations: where each object of a firing starts and where it flies, clones,
// the target formations, the links of aimed shots and the block toggle of a summon.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "data/EdPalette.h"
#include "objects/ObjectLinks.h"
#include "objects/ShotLaunch.h"
#include "tests/play/LaunchTestSupport.h"

namespace {

struct Fired {
    double x, y, vx, vy;
};

// The shooter stands at (100, 100) on screen, 32 x 32, facing left; the view is at (320, 320).
// Shots are 16 x 16 and fly 3 pixels per frame.
class LaunchFormationTest : public cLaunchFixture {
public:
    LaunchFormationTest() : m_Shot(11, true)
    {
        cEdShot& r = m_Shot.Shot();
        r.m_nCount = 1;
        r.m_nSpeed = 30;
        r.m_nSize = 1;
        r.m_bMirrorAngle = 0;
    }
    cEdShot& Rec() { return m_Shot.Shot(); }

    std::vector<Fired> Fire()
    {
        const size_t nBefore = m_vFired.size();
        LaunchShots(&m_State.m_ShotList, &m_Chara, &m_Shot.m_Inst, &Rec());
        size_t i = 0;
        std::vector<Fired> vNew;
        for (cShot& shot : m_State.m_ShotList) {
            if (i++ < nBefore) continue;
            vNew.push_back({shot.m_dX, shot.m_dY, shot.m_dVelX, shot.m_dVelY});
            m_vFired.push_back(vNew.back());
        }
        return vNew;
    }

    Command m_Shot;
    std::vector<Fired> m_vFired;
};

void ExpectFlight(const Fired& f, double dAngle, double dSpeed = 3.0)
{
    const double t = dAngle * 0.017453292519943278;
    EXPECT_NEAR(f.vx, -std::cos(t) * dSpeed, 1e-9) << dAngle;
    EXPECT_NEAR(f.vy, -std::sin(t) * dSpeed, 1e-9) << dAngle;
}

TEST_F(LaunchFormationTest, RowOfOneLeavesTheShootersLeftEdgeCentredOnIt)
{
    const std::vector<Fired> v = Fire();
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].x, 320 + 100 - 16 + 1);   // its last column on the shooter's first one
    EXPECT_EQ(v[0].y, 320 + 100 + 16 - 8);
    EXPECT_EQ(v[0].vx, -3.0);
    EXPECT_EQ(v[0].vy, 0.0);
}

TEST_F(LaunchFormationTest, RowAcrossTheFlightIsSpacedByItsValue)
{
    m_Chara.m_nDir = 1;
    Rec().m_nCount = 3;
    Rec().m_nFormationValue[0] = 1;   // a gap of one half block
    const std::vector<Fired> v = Fire();
    ASSERT_EQ(v.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(v[i].x, 320 + 131 + 1);
        EXPECT_EQ(v[i].y, 428 - 32 + 32 * static_cast<double>(i)) << i;
        EXPECT_EQ(v[i].vx, 3.0);
    }
}

TEST_F(LaunchFormationTest, FrontChoiceAndMirrorsFollowTheShootersFacing)
{
    Rec().m_nAngle = 30;
    Rec().m_bMirrorAngle = 1;
    Rec().m_nOffsetX = 10;   // mirrored for a shooter facing right (the default x mirror)
    m_Chara.m_nDir = 0;
    std::vector<Fired> v = Fire();
    ASSERT_EQ(v.size(), 1u);
    ExpectFlight(v[0], 30);   // left turned 30 degrees up
    EXPECT_EQ(v[0].x, 405 + 10);

    m_Chara.m_nDir = 1;
    v = Fire();
    ASSERT_EQ(v.size(), 1u);
    ExpectFlight(v[0], 150);   // right turned 30 degrees up: one record for both facings
    EXPECT_EQ(v[0].x, 452 - 10);
}

TEST_F(LaunchFormationTest, SpreadFansAroundTheDirection)
{
    Rec().m_nFormation = 2;
    Rec().m_nFormationValue[0] = 30;
    struct Case {
        int8_t n;
        std::vector<double> angles;
    } cases[] = {{2, {-15, 15}}, {3, {-30, 0, 30}}, {4, {-45, -15, 15, 45}}};
    for (const Case& c : cases) {
        Rec().m_nCount = c.n;
        const std::vector<Fired> v = Fire();
        ASSERT_EQ(v.size(), c.angles.size());
        for (size_t i = 0; i < v.size(); ++i) {
            ExpectFlight(v[i], c.angles[i]);
            EXPECT_EQ(v[i].x, 405);
            EXPECT_EQ(v[i].y, 428);
        }
    }
}

TEST_F(LaunchFormationTest, ExplosionFromTheCentreFliesRoundTheCompass)
{
    Rec().m_nFormation = 4;
    Rec().m_nCount = 4;
    const std::vector<Fired> v = Fire();
    ASSERT_EQ(v.size(), 4u);
    const double angles[] = {0, 90, 180, 270};   // left, up, right, down
    for (size_t i = 0; i < 4; ++i) {
        ExpectFlight(v[i], angles[i]);
        EXPECT_EQ(v[i].x, 320 + 100 + 16 - 8);
        EXPECT_EQ(v[i].y, 320 + 100 + 16 - 8);
    }
}

TEST_F(LaunchFormationTest, SurroundStartsRightOfTheTargetAndFliesInward)
{
    Rec().m_nFormation = 5;
    Rec().m_nCount = 4;
    Rec().m_nFormationValue[0] = 2;   // 32 pixels
    Rec().m_nTargetChoice = 2;        // around the shooter itself
    const std::vector<Fired> v = Fire();
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].x, 428 + 32);
    EXPECT_EQ(v[0].y, 428);
    ExpectFlight(v[0], 0);
    EXPECT_EQ(v[1].x, 428);
    EXPECT_EQ(v[1].y, 428 + 32);
    ExpectFlight(v[1], 90);
    // Rounded by adding a half and truncating: -32 + 0.5 becomes -31.
    EXPECT_EQ(v[2].x, 428 - 31);
    EXPECT_EQ(v[3].y, 428 - 31);
}

TEST_F(LaunchFormationTest, LightningLinesComeFromTheScreenEdge)
{
    Rec().m_nFormation = 3;
    Rec().m_nCount = 3;
    Rec().m_nFormationValue[0] = 2;   // 32 pixels between objects
    Rec().m_nFormationValue[1] = 1;
    Rec().m_nTargetChoice = 2;
    std::vector<Fired> v = Fire();
    ASSERT_EQ(v.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(v[i].x, 320 + 640 - 16 - 48 * static_cast<double>(i)) << i;
        EXPECT_EQ(v[i].y, 428);
        EXPECT_EQ(v[i].vx, -3.0);
    }
    // The lightning-spacing switch lays them edge to edge whatever the value says.
    g_System.m_bLegacy555 = 1;
    v = Fire();
    ASSERT_EQ(v.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(v[i].x, 944 - 16 * static_cast<double>(i)) << i;
}

TEST_F(LaunchFormationTest, LightningColumnsAreCentredOnTheTargetsLine)
{
    Rec().m_nFormation = 3;
    Rec().m_nCount = 1;
    Rec().m_nFormationValue[1] = 2;   // two lines
    Rec().m_nFormationValue[2] = 2;   // 32 pixels apart
    Rec().m_nTargetChoice = 2;
    const std::vector<Fired> v = Fire();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].y, 428 - 16);
    EXPECT_EQ(v[1].y, 428 + 16);
}

TEST_F(LaunchFormationTest, TargetFormationsWithoutATargetAndEmptyCountsCreateNothing)
{
    struct Case {
        int8_t nFormation, nCount, nTargetChoice;
    } cases[] = {{3, 3, 0}, {5, 3, 0}, {3, 3, 7}, {0, 0, 0}, {1, -2, 0}, {2, 0, 0}, {4, 0, 0}, {4, -1, 0},
                 {5, 0, 2}};
    for (const Case& c : cases) {
        Rec().m_nFormation = c.nFormation;
        Rec().m_nCount = c.nCount;
        Rec().m_nTargetChoice = c.nTargetChoice;
        Rec().m_nFormationValue[1] = 1;
        EXPECT_TRUE(Fire().empty()) << int(c.nFormation) << " " << int(c.nCount);
    }
    EXPECT_EQ(m_State.m_nNextSummonId, 0);
}

TEST_F(LaunchFormationTest, ClonesFireTogetherWithTheirOwnSpeedAndRunningKeys)
{
    Rec().m_nClones = 2;
    Rec().m_nSpeedStep = 10;
    m_State.m_nNextSummonId = 40;
    const std::vector<Fired> v = Fire();
    ASSERT_EQ(v.size(), 3u);
    EXPECT_DOUBLE_EQ(v[0].vx, -3.0);
    EXPECT_DOUBLE_EQ(v[1].vx, -4.0);
    EXPECT_DOUBLE_EQ(v[2].vx, -5.0);
    int32_t nKey = 40, nClone = 0;
    for (cShot& shot : m_State.m_ShotList) {
        EXPECT_EQ(shot.m_nKey, nKey++);
        EXPECT_EQ(shot.m_nFormationIndex, nClone++);
    }
    EXPECT_EQ(m_State.m_nNextSummonId, 43);

    Rec().m_nClones = -1;
    EXPECT_TRUE(Fire().empty());
}

TEST_F(LaunchFormationTest, AimedRowFliesAtTheTargetOrForwardWithoutOne)
{
    Rec().m_bAim = 1;
    std::vector<Fired> v = Fire();
    ASSERT_EQ(v.size(), 1u);
    ExpectFlight(v[0], 0);   // no target: ahead, to the left

    cChara target;
    PrepareChara(target, 300, 100);   // its centre on the shot's centre line (436 - 320)
    m_Chara.m_lpTarget = &target;
    v = Fire();
    ASSERT_EQ(v.size(), 1u);
    ExpectFlight(v[0], 180);
    m_Chara.m_lpTarget = nullptr;
}

TEST_F(LaunchFormationTest, LeadingAimKeepsTheShotsSpeed)
{
    cChara target;
    PrepareChara(target, 300, 20);
    target.m_bScreenFixed = 1;
    m_Chara.m_lpTarget = &target;
    m_State.m_ScrollX.m_dSpeed = 0.5;
    m_State.m_ScrollX.m_bEdge = 0;
    ShotLaunch launch;
    launch.m_dSpeed = 3.0;
    const int32_t nAngle = AimAngle(413, 436, &m_Chara, &Rec(), &launch);
    EXPECT_GE(nAngle, 90);
    EXPECT_LE(nAngle, 180);
    EXPECT_NEAR(launch.m_dSpeed, 3.0, 1e-9);
    // Too slow to catch the target: the plain aim, still a finite speed.
    Rec().m_nSpeed = 1;
    m_State.m_ScrollX.m_dSpeed = 5.0;
    launch.m_dSpeed = 0.1;
    const int32_t nSlow = AimAngle(413, 436, &m_Chara, &Rec(), &launch);
    EXPECT_GE(nSlow, 90);
    EXPECT_LE(nSlow, 180);
    EXPECT_TRUE(std::isfinite(launch.m_dSpeed));
    m_Chara.m_lpTarget = nullptr;
}

TEST_F(LaunchFormationTest, OnlyShotsAimedAtTheTargetKeepItsLink)
{
    cChara target;
    PrepareChara(target, 300, 100);
    m_Chara.m_lpTarget = &target;
    Rec().m_nMoveKind = 6;
    Fire();
    Rec().m_nMoveKind = 0;
    Fire();
    std::vector<cShot*> vShots;
    for (cShot& shot : m_State.m_ShotList) vShots.push_back(&shot);
    ASSERT_EQ(vShots.size(), 2u);
    EXPECT_EQ(vShots[0]->m_lpTargetChara, &target);
    EXPECT_EQ(vShots[1]->m_lpTargetChara, nullptr);
    EXPECT_EQ(target.m_vShots.size(), 1u);
    EXPECT_TRUE(target.m_vShots.Contains(vShots[0]));
    EXPECT_TRUE(FactionShots(m_State, vShots[0]->m_nFaction).Contains(vShots[0]));
    for (cShot* lpShot : vShots) RemoveShotFromStage(*lpShot);
    EXPECT_TRUE(target.m_vShots.empty());
    m_Chara.m_lpTarget = nullptr;
}

class LaunchSummonTest : public cLaunchFixture {
public:
    void SetUp() override
    {
        cLaunchFixture::SetUp();
        m_SavedBlocks = g_CommonPalette.m_vBlock;
        g_CommonPalette.m_vBlock.resize(3);
    }
    void TearDown() override
    {
        g_CommonPalette.m_vBlock = m_SavedBlocks;
        cLaunchFixture::TearDown();
    }
    std::vector<cEdBlock> m_SavedBlocks;
};

TEST_F(LaunchSummonTest, BlockToggleStartsEachFiringWithNoCellToggled)
{
    Command cmd(13, true);
    cmd.Shot().m_nCount = 1;
    cmd.Shot().m_nSummonIndex = 2;
    cmd.Shot().m_nBlockMode = 2;
    m_State.m_vToggledBlocks = {5, 6};
    LaunchBlocks(&m_Chara, &cmd.m_Inst, &cmd.Shot());
    EXPECT_TRUE(m_State.m_vToggledBlocks.empty());

    // A palette index outside the list does nothing at all.
    m_State.m_vToggledBlocks = {5};
    for (int16_t nIndex : {3, -1}) {
        cmd.Shot().m_nSummonIndex = nIndex;
        LaunchBlocks(&m_Chara, &cmd.m_Inst, &cmd.Shot());
        EXPECT_EQ(m_State.m_vToggledBlocks.size(), 1u);
    }
    // Placing or removing keeps the toggle list of an earlier firing.
    cmd.Shot().m_nSummonIndex = 1;
    cmd.Shot().m_nBlockMode = 0;
    LaunchBlocks(&m_Chara, &cmd.m_Inst, &cmd.Shot());
    EXPECT_EQ(m_State.m_vToggledBlocks.size(), 1u);
}

}  // namespace
