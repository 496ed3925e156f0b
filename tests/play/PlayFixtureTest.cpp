// The test play state is what the objects see through PlayState().
#include "tests/play/PlayTestSupport.h"

namespace {

using PlayFixtureTest = cPlayFixture;

TEST_F(PlayFixtureTest, ObjectsReachTheFixturesPlayState)
{
    EXPECT_EQ(PlayState(), &m_State);
    ASSERT_EQ(Player.size(), 1u);
    EXPECT_EQ(m_State.m_vFactionCharas.size(), 8u);
    EXPECT_EQ(m_State.m_vStageVar.size(), 256u);
    EXPECT_EQ(m_State.m_vFlowSwitch.size(), 60u);
    EXPECT_EQ(g_Stage.m_nSubSteps, 1);
    EXPECT_EQ(BlockMap.Pitch(), 64);
}

}  // namespace
