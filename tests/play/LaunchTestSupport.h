#pragma once
// A 20 x 15 stage whose view stands at the stage's top-left corner (320, 320), a computer
// character to act with, and commands that hold movement or shot settings.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "data/EdCommand.h"
#include "data/EdSystem.h"
#include "flows/FlowInstance.h"
#include "objects/Chara.h"
#include "tests/play/ObjectCoreSupport.h"

class cLaunchFixture : public cObjectCoreFixture {
public:
    void SetUp() override
    {
        cObjectCoreFixture::SetUp();
        m_SavedSystem = {g_System.m_bLegacy214, g_System.m_bLegacy555, g_System.m_bLegacy721,
                         g_System.m_bLegacy728, g_System.m_bLegacy733};
        g_System.m_bLegacy214 = g_System.m_bLegacy555 = g_System.m_bLegacy721 = 0;
        g_System.m_bLegacy728 = g_System.m_bLegacy733 = 0;
        SetSpeed(1, 0.0);
        m_State.m_ScrollX.m_dPosition = 320.0;
        m_State.m_ScrollY.m_dPosition = 320.0;
        PrepareChara(m_Chara, 100, 100);
    }
    void TearDown() override
    {
        g_System.m_bLegacy214 = m_SavedSystem[0];
        g_System.m_bLegacy555 = m_SavedSystem[1];
        g_System.m_bLegacy721 = m_SavedSystem[2];
        g_System.m_bLegacy728 = m_SavedSystem[3];
        g_System.m_bLegacy733 = m_SavedSystem[4];
        g_Stage.m_nBoxValue77 = g_Stage.m_nBoxValue78 = g_Stage.m_nBoxValue81 = g_Stage.m_nBoxValue82 = 0;
        cObjectCoreFixture::TearDown();
    }

    // A 32 x 32 character whose graphic rectangle stands at (left, top) on screen.
    static void PrepareChara(cCharaBase& chara, int32_t nLeft, int32_t nTop)
    {
        chara.m_vVar.assign(9, 0);
        chara.m_nWidth = chara.m_nHeight = 32;
        chara.m_nHitWidth = chara.m_nHitHeight = 32;
        chara.m_nBaseHitWidth = chara.m_nBaseHitHeight = 32;
        chara.m_nSide = 1;
        chara.m_Def.m_bFixedDir = 0;
        chara.m_bAppeared = 1;
        chara.m_bOnScreen = 1;
        SetScreenRect(chara, nLeft, nTop);
    }
    static void SetScreenRect(cGameObject& object, int32_t nLeft, int32_t nTop)
    {
        object.m_nLeft = nLeft;
        object.m_nTop = nTop;
        object.m_nRight = nLeft + object.m_nWidth - 1;
        object.m_nBottom = nTop + object.m_nHeight - 1;
        object.m_dX = nLeft + 320.0;
        object.m_dY = nTop + 320.0;
        object.m_dRight = object.m_dX + object.m_nHitWidth - 1;
        object.m_dBottom = object.m_dY + object.m_nHitHeight - 1;
    }

    // A command of a kind with a movement record (or a shot record) and its instance.
    struct Command {
        cEdCommand m_Cmd = cEdCommand::Default();
        cCommandInstance m_Inst;
        Command(int32_t nKind, bool bShot)
        {
            m_Cmd.m_nKind = static_cast<int8_t>(nKind);
            if (bShot) m_Cmd.NewShot();
            else m_Cmd.NewMove();
            m_Inst.m_lpCmd = &m_Cmd;
        }
        cEdMove& Move() { return *m_Cmd.m_lpMove; }
        cEdShot& Shot() { return *m_Cmd.m_lpShot; }
    };

    // The flight angle of a velocity in the launchers' convention (0 left, 90 up, 180 right).
    static double FlightAngle(double vx, double vy)
    {
        double a = std::atan2(-vy, -vx) * 57.29577951308232;
        if (a < 0.0) a += 360.0;
        return a;
    }

    cChara m_Chara;

private:
    std::vector<int32_t> m_SavedSystem;
};
