// One shot or sword swing: set-up from the command's shot record and the launch record, one
// sub-step of motion (movement kinds, acceleration, life and range), the sword's walk over the
// entries of its sword type beside its owner, the block test and drawing.
//
// Speeds are pixels per sub-step: a per-frame value from a record divides by b, the sub-step
// count. Every double that becomes an integer goes through TruncToInt32, so a speed of 0 or a
// huge range from a file never turns an infinity into a count.
#include <cmath>
#include <cstdint>

#include "core/CheckedAccess.h"
#include "objects/PlayNumbers.h"
#include "data/EdDatabase.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "media/graphics/DDBlt.h"
#include "objects/CharaBase.h"
#include "objects/CharaDraw.h"
#include "objects/Motion.h"
#include "objects/MoveSolve.h"
#include "objects/ObjectLinks.h"
#include "objects/Shot.h"
#include "objects/ShotLaunch.h"
#include "shell/ShellGlobals.h"
#include "shell/SystemIni.h"
#include "stage/BlockMap.h"
#include "stage/PlayState.h"
#include "stage/Player.h"

namespace {

// Frames 0, 1, 2 for 7 ticks each, then finished: a sword.
const int32_t kSwordPattern[] = {0, 7, 0, 1, 7, 0, 2, 7, 0, AnimeFinished, 0, 0};
// Frames 0 and 1 for 8 ticks each, looping: a shot.
const int32_t kShotPattern[] = {0, 8, 0, 1, 8, 0, AnimeRestart, 0, 0};

double SubStepsD()
{
    return static_cast<double>(SubSteps());
}

// The sword type of a number, or null when the database has none (reported once per number).
const cEdSwordType* SwordTypeOf(int32_t nType)
{
    if (nType >= 0 && static_cast<size_t>(nType) < g_Database.m_vSwordType.size())
        return &g_Database.m_vSwordType[static_cast<size_t>(nType)];
    return nullptr;
}

const cEdSwordTypeEntry* SwordEntryOf(int32_t nType, int32_t nEntry)
{
    const cEdSwordType* lpType = SwordTypeOf(nType);
    if (lpType == nullptr || nEntry < 0 || static_cast<size_t>(nEntry) >= lpType->m_vSteps.size()) return nullptr;
    return &lpType->m_vSteps[static_cast<size_t>(nEntry)];
}

cScrollAxis* AxisOf(int32_t nAxis)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return nullptr;
    return nAxis == 0 ? &lpState->m_ScrollX : &lpState->m_ScrollY;
}

double ScrollPosition(int32_t nAxis)
{
    const cScrollAxis* lpAxis = AxisOf(nAxis);
    return lpAxis != nullptr ? lpAxis->m_dPosition : 0.0;
}

// A screen-fixed shot rides with the automatic scroll unless the view stands at a bound.
double CarriedSpeed(int32_t nAxis, double dKeep)
{
    const cScrollAxis* lpAxis = AxisOf(nAxis);
    if (lpAxis == nullptr) return 0.0;
    return lpAxis->m_bEdge != 0 ? dKeep : lpAxis->m_dSpeed;
}

// The player's hero whose address this is, so that its own screen rectangle rule runs.
void RefreshScreenRect(cCharaBase& chara)
{
    for (cHero& hero : Player)
        if (&hero == &chara) {
            hero.GetScreenRect();
            return;
        }
    chara.GetScreenRect();
}

}  // namespace

const int32_t* const ShotAnimeList[] = {kSwordPattern, kShotPattern, nullptr};

// ------------------------------------------------------------------ boxes

void cShot::ScaleBoxes(int32_t nScale)
{
    m_nBoxOffsetX = ClampToInt32(static_cast<int64_t>(nScale) * m_nBaseBoxOffsetX);
    m_nBoxOffsetY = ClampToInt32(static_cast<int64_t>(nScale) * m_nBaseBoxOffsetY);
    m_nBoxWidth = ClampToInt32(static_cast<int64_t>(nScale) * m_nBaseBoxWidth);
    m_nBoxHeight = ClampToInt32(static_cast<int64_t>(nScale) * m_nBaseBoxHeight);
}

int32_t cShot::KeepBottomOnRescale(int32_t nNew, int32_t nOld)
{
    if (nNew == nOld) return 0;
    m_dY -= (static_cast<double>(nNew) - nOld) * (m_nBaseHitHeight >> 1);
    ClampY(2);
    return 0;
}

// The shot box's edges are taken from m_dX and m_dY where they are needed (contact rules); the
// shot keeps no copy that could fall behind.
void cShot::UpdateBoxesX()
{}

void cShot::UpdateBoxesY()
{}

int32_t cShot::ClampShotX()
{
    cPlayState* lpState = PlayState();
    const int32_t nWidth = lpState != nullptr ? lpState->m_ScrollX.m_nStageExtent : 0;
    int32_t nResult = 0;
    if (m_dX < 0.0) {
        m_dX = 0.0;
        nResult = 3;
    } else if (m_dX + m_nHitWidth - 1 >= nWidth) {
        m_dX = static_cast<double>(nWidth) - m_nHitWidth;
        nResult = 3;
    }
    m_dRight = m_dX + m_nHitWidth - 1;
    UpdateBoxesX();
    m_nCellLeft = TruncToInt32(m_dX) >> 5;
    m_nCellRight = TruncToInt32(m_dRight) >> 5;
    return nResult;
}

// ------------------------------------------------------------------ set-up

void cShot::Init(int32_t nKey, cCharaBase* lpShooter, int32_t nKind, const cEdShot& record, const ShotLaunch& launch)
{
    m_Rec = record;
    if (m_Rec.m_nSize <= 0) m_Rec.m_nSize = 1;

    int32_t nDir = lpShooter != nullptr ? lpShooter->m_nDir : 0;
    if (launch.m_dVelX > 0.0) nDir = 1;
    else if (launch.m_dVelX < 0.0) nDir = 0;

    int32_t w = 16, h = 16;
    if (nKind == 12) {
        const cEdSwordTypeEntry* lpEntry = SwordEntryOf(m_Rec.m_nMoveKind, 0);
        w = lpEntry != nullptr ? lpEntry->m_nWidth : 0;
        h = lpEntry != nullptr ? lpEntry->m_nHeight : 0;
        m_bIsShot = 0;
    } else {
        m_bIsShot = 1;
    }
    m_nOwnerKey = lpShooter != nullptr ? lpShooter->m_nKey : 0;

    const int32_t nSide = lpShooter != nullptr ? lpShooter->m_nSide : 0;
    SetupGraphics(nKey, nSide, lpShooter != nullptr ? lpShooter->m_nSubKind : 0, m_Rec.m_nSide, m_Rec.m_nGraphic,
                  ShotAnimeList, m_bIsShot != 0 ? 1 : 0, 0, 0, w, h, 16, 16, nDir, 1, launch.m_nClone, nullptr);

    if (m_Rec.m_bSameSide != 0 && lpShooter != nullptr) {
        m_Rec.m_nSide = lpShooter->m_Def.m_nHitGroup;
        m_nFaction = m_Rec.m_nSide;
    }

    if (m_bIsShot == 0) {
        m_nBoxOffsetX = m_nBaseBoxOffsetX = 0;
        m_nBoxOffsetY = m_nBaseBoxOffsetY = 0;
        m_nBoxWidth = m_nBaseBoxWidth = w;
        m_nBoxHeight = m_nBaseBoxHeight = h;
    } else {
        const int32_t bw = nSide == 0 ? g_Stage.m_nBoxValue77 : g_Stage.m_nBoxValue81;
        const int32_t bh = nSide == 0 ? g_Stage.m_nBoxValue78 : g_Stage.m_nBoxValue82;
        m_nBoxOffsetX = m_nBaseBoxOffsetX = 8 - (bw >> 1);
        m_nBoxOffsetY = m_nBaseBoxOffsetY = 8 - (bh >> 1);
        m_nBoxWidth = m_nBaseBoxWidth = bw;
        m_nBoxHeight = m_nBaseBoxHeight = bh;
    }

    SetScale(m_Rec.m_nSize, 1);

    m_dX = launch.m_nX;
    ClampShotX();
    m_dY = launch.m_nY;
    ClampY(2);

    const double b = SubStepsD();
    m_dVelX = launch.m_dVelX / b;
    m_dVelY = launch.m_dVelY / b;

    if (m_Rec.m_bAccel != 0) {
        m_bAccel = 1;
        m_dAccel = (m_Rec.m_nAccel + m_Rec.m_nAccelStep * m_nFormationIndex) * 0.1 / b;
        SplitAccel(m_dAccelX, m_dAccelY, launch.m_dVelX, launch.m_dVelY);
    } else {
        m_bAccel = 0;
        m_dAccel = 0.0;
        m_dAccelX = 0.0;
        m_dAccelY = 0.0;
    }
    m_dSpeedX = 0.0;
    m_dSpeedY = 0.0;
    m_bScreenFixed = m_Rec.m_bHoming;

    if (m_Rec.m_bLife != 0) m_nLifeLeft = ClampToInt32(static_cast<int64_t>(launch.m_nLife) * SubSteps() * 6);

    if (m_Rec.m_bRange != 0) {
        double A = static_cast<double>(launch.m_nRange) * 16 - m_nHitWidth;
        if (A < 0.0) A = 0.0;
        const double v = std::fabs(launch.m_dSpeed / b);
        const int32_t nb = SubSteps();
        if (A > 0.0 && v > 0.0) {
            m_nRangeLeft = TruncToInt32(A / v);
        } else {
            m_nRangeLeft = nb;
            if (nb * v > m_nHitWidth) m_nRangeLeft = TruncToInt32(m_nHitWidth / v);
        }
        if (m_nRangeLeft < nb) {
            // The range ends inside one frame: fly that frame, covering exactly the range. A shot
            // without a velocity has nothing to scale and stays where it is.
            const double L1 = std::fabs(launch.m_dVelX) + std::fabs(launch.m_dVelY);
            if (L1 > 0.0) {
                m_dVelX = (A / b) * launch.m_dVelX / L1;
                m_dVelY = (A / b) * launch.m_dVelY / L1;
            }
            m_nRangeLeft = nb;
        }
    }

    // A shot takes part in play from its launch: the per-frame appearance pass is for characters.
    m_bAppeared = 1;
    m_nStep = 0;
    m_nSwordEntry = 0;
    m_nTurnStep = 0;
    m_nEndStep = 0;
    m_bMotionDone = 0;
    m_lpTargetChara = lpShooter != nullptr ? lpShooter->m_lpTarget : nullptr;
}

void cShot::SplitAccel(double& ax, double& ay, double vx, double vy) const
{
    const double b = SubStepsD();
    auto f = [b](double x) { return x / b / 60; };
    if (vx != 0.0 && vy != 0.0) {
        const double L = std::sqrt(vx * vx + vy * vy);
        ax = f(vx / L * m_dAccel);
        ay = f(vy / L * m_dAccel);
    } else if (vx != 0.0) {
        ax = vx > 0.0 ? f(m_dAccel) : -f(m_dAccel);
        ay = 0.0;
    } else if (vy != 0.0) {
        ax = 0.0;
        ay = vy > 0.0 ? f(m_dAccel) : -f(m_dAccel);
    } else {
        ax = 0.0;
        ay = 0.0;
    }
}

// ------------------------------------------------------------------ motion

namespace {

// The first call of the aiming, homing and falling kinds: speed per sub-step and the steps at
// which the kind turns and ends (M1 and M2 half blocks of flight).
void FirstMotionStep(cShot& shot, bool bEnd)
{
    const cEdShot& r = shot.m_Rec;
    shot.m_dSpeed = (r.m_nSpeed + r.m_nSpeedStep * shot.m_nFormationIndex) * 0.1 / SubStepsD();
    if (shot.m_dSpeed != 0.0 && r.m_nMoveValue[0] != 0)
        shot.m_nTurnStep = TruncToInt32(r.m_nMoveValue[0] * 16 / shot.m_dSpeed);
    if (bEnd) shot.m_nEndStep = shot.m_dSpeed != 0.0 ? TruncToInt32(r.m_nMoveValue[1] * 16 / shot.m_dSpeed) : 0;
}

// The velocity of the shot's speed from its cell's centre on screen to the target's.
void AimAt(cShot& shot, const cCharaBase& target, double& vx, double& vy)
{
    shot.GetScreenRect();
    int32_t nRequest = 0;
    AimVelocity(vx, vy, nRequest, &target, shot.m_nLeft + shot.m_nWidth / 2, shot.m_nTop + shot.m_nHeight / 2,
                target.m_nLeft + target.m_nWidth / 2, target.m_nTop + target.m_nHeight / 2, shot.m_dSpeed,
                shot.m_bScreenFixed, 0, 0);
}

cCharaBase* HeroTarget()
{
    return Player.empty() ? nullptr : &Player[0];
}

cCharaBase* LiveTarget(cShot& shot)
{
    cCharaBase* lpTarget = shot.m_lpTargetChara;
    return (lpTarget != nullptr && lpTarget->m_bDefeated == 0) ? lpTarget : nullptr;
}

void AimOnce(cShot& shot, int32_t nKind)
{
    if (shot.m_bMotionDone != 0) return;
    if (shot.m_nStep == 0) FirstMotionStep(shot, false);
    if (shot.m_nStep == shot.m_nTurnStep) {
        cCharaBase* lpTarget = nullptr;
        if (nKind == 1) lpTarget = HeroTarget();
        else if (nKind == 2) lpTarget = shot.FindNearestToMe(shot.m_Rec.m_nMoveValue[1]);
        else lpTarget = LiveTarget(shot);
        if (lpTarget != nullptr) {
            AimAt(shot, *lpTarget, shot.m_dVelX, shot.m_dVelY);
            if (shot.m_bAccel != 0) shot.SplitAccel(shot.m_dAccelX, shot.m_dAccelY, shot.m_dVelX, shot.m_dVelY);
        }
        shot.m_bMotionDone = 1;
    }
    ++shot.m_nStep;
}

void Home(cShot& shot, int32_t nKind)
{
    if (shot.m_bMotionDone != 0) return;
    if (shot.m_nStep == 0) FirstMotionStep(shot, true);
    if (shot.m_nStep >= shot.m_nEndStep) {
        shot.m_bMotionDone = 1;
    } else if (shot.m_nStep >= shot.m_nTurnStep) {
        cCharaBase* lpTarget = nullptr;
        if (nKind == 4) lpTarget = HeroTarget();
        else if (nKind == 6) lpTarget = LiveTarget(shot);
        else lpTarget = shot.FindNearestToMe(shot.m_Rec.m_nMoveValue[2]);
        if (lpTarget != nullptr) {
            double vx = 0.0, vy = 0.0;
            AimAt(shot, *lpTarget, vx, vy);
            if (shot.m_bAccel == 0 || shot.m_nStep == shot.m_nTurnStep) {
                shot.m_dVelX = vx;
                shot.m_dVelY = vy;
            }
            if (shot.m_bAccel != 0) shot.SplitAccel(shot.m_dAccelX, shot.m_dAccelY, vx, vy);
        }
    }
    ++shot.m_nStep;
}

void Wave(cShot& shot)
{
    cEdShot& r = shot.m_Rec;
    const double b = SubStepsD();
    const double c = static_cast<int32_t>(r.m_nMoveValue[1]);
    if (shot.m_nStep == 0) {
        const int32_t nPixels = r.m_nMoveValue[0] * 16;
        r.m_nMoveValue[0] = static_cast<int16_t>(nPixels > INT16_MAX ? INT16_MAX : (nPixels < INT16_MIN ? INT16_MIN : nPixels));
        shot.m_nStep = 1;
        shot.m_dWaveExtra = 0.0;
        const double a = shot.m_nDir == 1 ? r.m_nMoveValue[2] : r.m_nMoveValue[2] + 180;
        // A wave of no angular speed stays at its start phase.
        shot.m_dWavePhase = r.m_nMoveValue[1] != 0 ? b * a / r.m_nMoveValue[1] : 0.0;
        const double h = CircleStep(r.m_nMoveValue[0], c, shot.m_dWavePhase, 1.0, 0.0);
        double t = std::atan2(shot.m_dVelY, shot.m_dVelX);
        if (t < 0.0) t += 6.283185307179586;
        const double t2 = (t * 57.29577951308239 - 90) * 0.017453292519943278;
        shot.m_dWaveCos = std::cos(t2);
        shot.m_dWaveSin = std::sin(t2);
        shot.m_dVelX += h * std::cos(t2);
        shot.m_dVelY += h * std::sin(t2);
    } else {
        const double g = CircleStepY(r.m_nMoveValue[0], c, shot.m_dWavePhase, 1.0, 0.0);
        const double ox = shot.m_dVelX, oy = shot.m_dVelY;
        double nx = ox + g * shot.m_dWaveCos;
        double ny = oy + g * shot.m_dWaveSin;
        if ((ox < 0.0 && nx > 0.0) || (ox > 0.0 && nx < 0.0)) nx = 0.0;
        if ((oy < 0.0 && ny > 0.0) || (oy > 0.0 && ny < 0.0)) ny = 0.0;
        shot.m_dVelX = nx;
        shot.m_dVelY = ny;
        ++shot.m_nStep;
    }
    if (shot.m_bAccel != 0) shot.SplitAccel(shot.m_dAccelX, shot.m_dAccelY, shot.m_dVelX, shot.m_dVelY);
}

void Fall(cShot& shot)
{
    if (shot.m_bMotionDone != 0) return;
    if (shot.m_nStep == 0) FirstMotionStep(shot, false);
    if (shot.m_nStep >= shot.m_nTurnStep) {
        shot.m_dSpeedY = shot.m_dVelY;
        shot.m_bFlying = 0;
        shot.m_bMotionDone = 1;
    }
    ++shot.m_nStep;
}

}  // namespace

// The movement kinds as entries of ShotMotionTable: the shot travels in the shooter argument.
void ShotMotionKind(cShot& shot, int32_t nKind)
{
    switch (nKind) {
    case 1:
    case 2:
    case 3: AimOnce(shot, nKind); break;
    case 4:
    case 5:
    case 6:
    case 7: Home(shot, nKind); break;
    case 8: Wave(shot); break;
    case 9: Fall(shot); break;
    default: break;
    }
}

int32_t cShot::Move()
{
    if (m_bIsShot == 0) return SwordStep();

    if (g_System.ScrollCarry() != 0) {
        m_dSpeedX = 0.0;
        if (m_bFlying != 0) m_dSpeedY = 0.0;
    } else if (m_bScreenFixed != 0) {
        m_dSpeedX = CarriedSpeed(0, 0.0);
        if (m_bFlying != 0) m_dSpeedY = CarriedSpeed(1, 0.0);
    } else {
        m_dSpeedX = 0.0;
        if (m_bFlying != 0) m_dSpeedY = 0.0;
    }

    const int32_t nKind = m_Rec.m_nMoveKind;
    if (nKind >= 0 && nKind <= 9) {
        ShotMotion fn = ShotMotionTable[6 + nKind];
        if (fn != nullptr) fn(nullptr, reinterpret_cast<cCharaBase*>(this), nullptr, &m_Rec, nullptr);
    }

    if (m_bAccel != 0) {
        m_dVelX += m_dAccelX;
        if (m_bFlying != 0) m_dVelY += m_dAccelY;
        else m_dSpeedY += m_dAccelY;
    }
    m_dSpeedX += m_dVelX;
    if (m_bFlying != 0) m_dSpeedY += m_dVelY;

    if (m_Rec.m_bLife != 0) {
        if (m_nLifeLeft <= 0) return 1;
        --m_nLifeLeft;
    }
    if (m_dSpeedX > 0.0) m_nDir = 1;
    else if (m_dSpeedX < 0.0) m_nDir = 0;

    if (m_Rec.m_bRange != 0) {
        if (m_nRangeLeft > 0) {
            --m_nRangeLeft;
        } else {
            if (m_Rec.m_bStopAtRange == 0) return 1;
            m_dVelX = 0.0;
            m_dVelY = 0.0;
            m_Rec.m_nMoveKind = 0;
            if (m_bScreenFixed != 0) {
                m_dSpeedX = CarriedSpeed(0, m_dSpeedX);
                if (m_bFlying != 0) m_dSpeedY = CarriedSpeed(1, m_dSpeedY);
            } else {
                m_dSpeedX = 0.0;
                m_dSpeedY = 0.0;
            }
        }
    }
    return 0;
}

int32_t cShot::MoveX()
{
    if (m_dAccelX != 0.0) m_dSpeedX += m_dAccelX;
    if (m_dSpeedX != 0.0) {
        const double dLimit = g_Stage.m_dSpeedLimitStep;
        if (m_dSpeedX > dLimit) m_dSpeedX = dLimit;
        if (m_dSpeedX < -dLimit) m_dSpeedX = -dLimit;
        m_dX += m_dSpeedX;
        ClampShotX();
    }
    return 0;
}

int32_t cShot::MoveY()
{
    if (m_dAccelY != 0.0) m_dSpeedY += m_dAccelY;
    if (m_dSpeedY != 0.0) StepMoveY(2);
    return 0;
}

// ------------------------------------------------------------------ the sword

int32_t cShot::SwordStep()
{
    cCharaBase* lpOwner = FindCharaByKey(m_nOwnerKey);
    if (lpOwner == nullptr) return 1;
    RefreshScreenRect(*lpOwner);
    m_nDir = lpOwner->m_nDir;

    const cEdSwordTypeEntry* lpEntry = SwordEntryOf(m_Rec.m_nMoveKind, m_nSwordEntry);
    // A sword type that is missing or has run out of entries ends the swing.
    if (lpEntry == nullptr) return 1;
    const cEdSwordTypeEntry& e = *lpEntry;
    const int32_t s = m_Rec.m_nSize;
    if (m_nStep == 0) {
        m_nBaseWidth = m_nBaseHitWidth = m_nBaseBoxWidth = e.m_nWidth;
        m_nBaseHeight = m_nBaseHitHeight = m_nBaseBoxHeight = e.m_nHeight;
        m_nWidth = m_nHitWidth = m_nBoxWidth = ClampToInt32(static_cast<int64_t>(s) * e.m_nWidth);
        m_nHeight = m_nHitHeight = m_nBoxHeight = ClampToInt32(static_cast<int64_t>(s) * e.m_nHeight);
    }

    const double vx = ScrollPosition(0), vy = ScrollPosition(1);
    const int32_t w = m_nWidth, h = m_nHeight;
    const cCharaBase& o = *lpOwner;
    const bool bRight = o.m_nDir == 1;
    switch (e.m_nSide) {
    case 0:
        m_dX = bRight ? o.m_nRight + vx + 1 : o.m_nLeft + vx - w;
        m_dY = o.m_nTop + (o.m_nHeight >> 1) + vy - (h >> 1);
        break;
    case 1:
        m_nDir = bRight ? 0 : 1;
        m_dX = bRight ? o.m_nLeft + vx - w : o.m_nRight + vx + 1;
        m_dY = o.m_nTop + (o.m_nHeight >> 1) + vy - (h >> 1);
        break;
    case 2:
        m_dX = o.m_nLeft + (o.m_nWidth >> 1) + vx - (w >> 1);
        m_dY = o.m_nTop + vy - h;
        break;
    case 3:
        m_dX = o.m_nLeft + (o.m_nWidth >> 1) + vx - (w >> 1);
        m_dY = o.m_nBottom + vy + 1;
        break;
    default:
        break;
    }
    const double ox = static_cast<double>(e.m_nOffsetX) * s, oy = static_cast<double>(e.m_nOffsetY) * s;
    if (!bRight) {
        m_dX += ox;
        m_dY += oy;
    } else {
        m_dX = e.m_bFlipX != 0 ? m_dX - ox : m_dX + ox;
        m_dY = e.m_bFlipY != 0 ? m_dY - oy : m_dY + oy;
    }
    ClampShotX();
    ClampY(2);

    ++m_nStep;
    if (static_cast<int64_t>(m_nStep) > static_cast<int64_t>(e.m_nTime) * SubSteps() * 6) {
        m_nStep = 0;
        ++m_nSwordEntry;
        if (SwordEntryOf(m_Rec.m_nMoveKind, m_nSwordEntry) == nullptr) return 1;
    }
    return 0;
}

// ------------------------------------------------------------------ blocks

int32_t cShot::HitsBlocks()
{
    if (m_Rec.m_nBlockPass == 1) return 0;
    auto solid = [this](int32_t cx, int32_t cy) {
        BLOCKCELL* lpCell = BlockMap.Find(BlockMap.IndexOf(cx, cy));
        return lpCell != nullptr && lpCell->IsActive(m_nFaction) != 0;
    };
    if (m_nHitWidth <= 32) {
        return (solid(m_nCellLeft, m_nCellTop) || solid(m_nCellLeft, m_nCellBottom) ||
                solid(m_nCellRight, m_nCellTop) || solid(m_nCellRight, m_nCellBottom))
                   ? 1
                   : 0;
    }
    const int32_t w = m_nHitWidth, h = m_nHitHeight > 0 ? m_nHitHeight : 1;
    for (int32_t oy = 0;; oy += 32) {
        const bool bLastY = oy >= h - 1;
        if (bLastY) oy = h - 1;
        for (int32_t ox = 0;; ox += 32) {
            const bool bLastX = ox >= w - 1;
            if (bLastX) ox = w - 1;
            if (solid(cBlockMap::CellOf(m_dX + ox), cBlockMap::CellOf(m_dY + oy))) return 1;
            if (bLastX) break;
        }
        if (bLastY) break;
    }
    return 0;
}

// ------------------------------------------------------------------ drawing

void cShot::Draw(DDSURFACEDATA* lpTarget, int32_t bFrozen)
{
    if (m_Rec.m_bHidden != 0) return;
    const int32_t s = m_Rec.m_nSize;
    if (m_bIsShot != 0) {
        const int32_t nFrame = bFrozen != 0 ? m_Anime.GetFrame() : m_Anime.Advance();
        // Each graphic is two 16-pixel frames side by side, 30 graphics to a column pair.
        const int32_t g = m_nGraphic < 0 ? 0 : m_nGraphic;
        const int32_t sx = (nFrame + 2 * (g / 30)) * 16;
        const int32_t sy = (g % 30) * 16;
        const int32_t nSheet = 20 + (m_nDir == 1 ? 1 : 0);
        if (s <= 1) {
            const int32_t n = ChooseSheetVariant(nSheet, 0);
            if (n < 0 || n >= SystemSurfaceCount) return;
            DDBlt(lpTarget, m_nLeft, m_nTop, m_nWidth, m_nHeight, &SystemSurfaces[n], sx, sy, 1);
        } else {
            const int32_t n = ChooseSheetVariant(nSheet, SystemIni.DD_VideoStretch != 0 ? 0 : 1);
            if (n < 0 || n >= SystemSurfaceCount) return;
            DDBltStretch(lpTarget, m_nLeft, m_nTop, m_nWidth, m_nHeight, &SystemSurfaces[n], sx, sy, m_nBaseWidth,
                         m_nBaseHeight, 1);
        }
        return;
    }
    const cEdSwordTypeEntry* lpEntry = SwordEntryOf(m_Rec.m_nMoveKind, m_nSwordEntry);
    if (lpEntry == nullptr) return;
    const int64_t nBase = static_cast<int64_t>(m_Rec.m_nMoveKind) * 4 + (m_nDir == 1 ? 1 : 0);
    const int64_t nIndex = (s <= 1 || SystemIni.DD_VideoStretch != 0) ? nBase : nBase + 2;
    // The sword sheets may not hold this type (a damaged stage): nothing to draw.
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= StageSwordSurfaces.size()) return;
    DDSURFACEDATA* lpSheet = &StageSwordSurfaces[static_cast<size_t>(nIndex)];
    if (s <= 1)
        DDBlt(lpTarget, m_nLeft, m_nTop, m_nWidth, m_nHeight, lpSheet, lpEntry->m_nSrcX, lpEntry->m_nSrcY, 1);
    else
        DDBltStretch(lpTarget, m_nLeft, m_nTop, m_nWidth, m_nHeight, lpSheet, lpEntry->m_nSrcX, lpEntry->m_nSrcY,
                     lpEntry->m_nWidth, lpEntry->m_nHeight, 1);
}
