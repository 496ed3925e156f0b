#pragma once
// A play state for tests: current while the fixture lives, one hero in Player, a stage of the
// given size with its speed level applied, and the stage's objects torn down afterwards.
#include <gtest/gtest.h>

#include "data/EdStage.h"
#include "objects/ObjectLinks.h"
#include "stage/BlockMap.h"
#include "stage/PlayState.h"
#include "stage/Player.h"

class cPlayFixture : public ::testing::Test {
public:
    void SetUp() override
    {
        lpPlayState = &m_State;
        g_Stage.m_nWidth = 20;
        g_Stage.m_nHeight = 15;
        g_Stage.SetSpeedLevel(1);
        ASSERT_TRUE(BlockMap.Resize(g_Stage.m_nWidth, g_Stage.m_nHeight));
        ResetPlayers(1);
    }
    void TearDown() override
    {
        ClearStageObjects(m_State);
        ResetPlayers(0);
        BlockMap.Clear();
        lpPlayState = nullptr;
    }

    cPlayState m_State;
};
