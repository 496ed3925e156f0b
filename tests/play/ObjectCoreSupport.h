#pragma once
// A play state with both view axes set up for a 20 x 15 stage as stage set-up does (margins of
// 10 blocks, scroll range limited when a test asks), gravity 1 at speed level 1, and a character
// core that keeps itself inside the map after each move as the computer characters do.
#include <gtest/gtest.h>

#include "data/EdStage.h"
#include "objects/CharaBase.h"
#include "tests/play/PlayTestSupport.h"

class cCoreTestChara : public cCharaBase {
public:
    int32_t OnMovedX() override { return ClampX(2); }
    int32_t OnMovedY() override { return ClampY(2); }

    // A 32 x 32 hit box filling a 32 x 32 cell.
    void SetBox(double x, double y, int32_t w = 32, int32_t h = 32)
    {
        m_nHitWidth = m_nBaseHitWidth = w;
        m_nHitHeight = m_nBaseHitHeight = h;
        m_nWidth = m_nBaseWidth = 32;
        m_nHeight = m_nBaseHeight = 32;
        m_dX = x;
        m_dY = y;
        m_dRight = x + w - 1;
        m_dBottom = y + h - 1;
    }
};

class cObjectCoreFixture : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        SetSpeed(1, 1.0);
        const int32_t W = g_Stage.m_nWidth, H = g_Stage.m_nHeight;
        m_State.m_ScrollX.Setup(0, 640, 10, W + 20, W * 32 + 640, BlockMap.Pitch(), BlockMap.Shift(), 320,
                                (W + 10) * 32);
        m_State.m_ScrollY.Setup(1, 480, 10, H + 20, H * 32 + 640, H + 20, 0, 320, (H + 10) * 32);
    }
    void TearDown() override
    {
        g_Stage.m_dGravity = 0.0;
        g_Stage.m_nHitRepeat1 = g_Stage.m_nInvincible1 = g_Stage.m_nHitRepeat2 = g_Stage.m_nInvincible2 = 0;
        g_Stage.SetSpeedLevel(1);
        cPlayFixture::TearDown();
    }
    static void SetSpeed(int32_t nLevel, double dGravity)
    {
        g_Stage.m_dGravity = dGravity;
        g_Stage.SetSpeedLevel(nLevel);
    }
};
