#pragma once
// A play state for tests: current while the fixture lives, one hero in Player, a stage of the
// given size with its speed level applied, and the stage's objects torn down afterwards.
#include <gtest/gtest.h>

#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "frontend/SaveData.h"
#include "media/input/KeyInput.h"
#include "shell/SceneManager.h"
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

// A stage for whole frames of play: nWidth x 15 blocks at two sub-steps a frame with solid ground
// (of the graphic given) on row nGroundRow, played as free play without a replay, player 1's keys
// up and the save data new. The caller adds its characters, then sets the stage up.
inline void PrepareGroundStage(int16_t nWidth, int16_t nGroundRow, int16_t nGroundGraphic = 0)
{
    InputStates.resize(1);
    InputStates[0] = cKeyInput();
    g_Stage = cEdStage();
    g_Stage.SetDefaults();
    g_Stage.m_nWidth = nWidth;
    g_Stage.m_nHeight = 15;
    g_Stage.m_nSpeedLevel = 2;
    g_System.m_bReplay = 0;
    SceneManager.TitleChoice = 3;
    SceneManager.GameMode = 2;
    g_SaveData.Reset();
    for (int16_t x = 0; x < nWidth; ++x) {
        cEdBlock ground;
        ground.SetDefaults();
        ground.m_nHit = 1;
        ground.m_nGraphicIndex = nGroundGraphic;
        ground.m_nX = x;
        ground.m_nY = nGroundRow;
        g_Stage.m_vBlock.push_back(ground);
    }
}
