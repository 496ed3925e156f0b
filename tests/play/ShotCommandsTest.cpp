// The shot, sword and summon commands: volleys one tenth of a second apart, one sword per run.
#include <gtest/gtest.h>

#include <vector>

#include "data/EdDatabase.h"
#include "flows/ShotCommands.h"
#include "tests/play/LaunchTestSupport.h"

namespace {

class ShotCommandsTest : public cLaunchFixture {
public:
    void SetUp() override
    {
        cLaunchFixture::SetUp();
        m_SavedSwords = g_Database.m_vSwordType;
    }
    void TearDown() override
    {
        g_Database.m_vSwordType = m_SavedSwords;
        cLaunchFixture::TearDown();
    }
    std::vector<cEdSwordType> m_SavedSwords;
};

TEST_F(ShotCommandsTest, ShotCommandFiresOneVolleyPerTenthOfASecond)
{
    struct Case {
        int32_t nLevel, nTenths;
    } cases[] = {{1, 1}, {1, 5}, {2, 5}, {3, 2}};
    for (const Case& c : cases) {
        SetSpeed(c.nLevel, 0.0);
        const int32_t b = g_Stage.m_nSubSteps;
        Command cmd(11, true);
        cmd.Shot().m_nCount = 1;
        cmd.Shot().m_nSpeed = 10;
        std::vector<int32_t> vFiredAt;
        const int32_t nBefore = m_State.m_ShotList.Count();
        for (int32_t i = 0; i < c.nTenths * 6 * b; ++i) {
            const int32_t n = m_State.m_ShotList.Count();
            CmdShot(&m_Chara, &cmd.m_Inst);
            if (m_State.m_ShotList.Count() != n) vFiredAt.push_back(i);
        }
        ASSERT_EQ(static_cast<int32_t>(vFiredAt.size()), c.nTenths) << c.nLevel << " " << c.nTenths;
        EXPECT_EQ(m_State.m_ShotList.Count() - nBefore, c.nTenths);
        for (size_t k = 0; k < vFiredAt.size(); ++k)
            EXPECT_EQ(vFiredAt[k], static_cast<int32_t>(k) * 6 * b);   // six frames apart
    }
}

TEST_F(ShotCommandsTest, CommandWithoutItsShotRecordLaunchesNothing)
{
    Command cmd(11, false);
    for (int32_t i = 0; i < 12; ++i) CmdShot(&m_Chara, &cmd.m_Inst);
    CmdSword(&m_Chara, &cmd.m_Inst);
    EXPECT_EQ(m_State.m_ShotList.Count(), 0);
}

TEST_F(ShotCommandsTest, SwordCommandSwingsOnceHoweverLongAndHasNoTarget)
{
    cEdSwordType type;
    cEdSwordTypeEntry entry;
    entry.m_nWidth = 24;
    entry.m_nHeight = 12;
    type.m_vSteps = {entry};
    g_Database.m_vSwordType = {type};
    cChara target;
    PrepareChara(target, 300, 100);
    m_Chara.m_lpTarget = &target;
    Command cmd(12, true);
    m_State.m_nNextSummonId = 7;
    for (int32_t i = 0; i < 60; ++i) CmdSword(&m_Chara, &cmd.m_Inst);
    ASSERT_EQ(m_State.m_ShotList.Count(), 1);
    cShot& sword = *m_State.m_ShotList.begin();
    EXPECT_EQ(sword.m_bIsShot, 0);
    EXPECT_EQ(sword.m_nKey, 7);
    EXPECT_EQ(sword.m_nHitWidth, 24);
    EXPECT_EQ(sword.m_lpTargetChara, nullptr);
    EXPECT_TRUE(target.m_vShots.empty());
    EXPECT_EQ(m_State.m_nNextSummonId, 8);
    m_Chara.m_lpTarget = nullptr;
}

TEST_F(ShotCommandsTest, SwordOfAMissingOrEmptyTypeSwingsNothing)
{
    cEdSwordType empty;
    empty.m_vSteps.clear();
    g_Database.m_vSwordType = {empty};
    for (int8_t nType : {0, 1, -1}) {
        Command cmd(12, true);
        cmd.Shot().m_nMoveKind = nType;
        CmdSword(&m_Chara, &cmd.m_Inst);
        CmdSword(&m_Chara, &cmd.m_Inst);
        EXPECT_EQ(cmd.m_Inst.m_nCalls, 2);
    }
    EXPECT_EQ(m_State.m_ShotList.Count(), 0);
}

}  // namespace
