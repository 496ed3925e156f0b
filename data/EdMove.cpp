#include "data/EdMove.h"

cEdMove::cEdMove()
{
    SetDefaults();
}

void cEdMove::SetDefaults()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
    m_bMirrorAngle = 1;
    m_bUseX = 1;
    m_bUseY = 1;
    m_bArriveStop = 1;
    m_bMirrorX = 1;
    m_bReverseOnTurn = 1;
    m_nSpeed = 10;
    m_dInertiaFactor = 1.0;
}

void cEdMove::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddInt8Field(&m_nMode);
    AddInt8Field(&m_nDirection);
    AddInt16Field(&m_nAngle);
    AddInt16Field(&m_nAngleStep);
    if (nVersion >= 158) AddInt8Field(&m_bMirrorAngle);
    AddInt8Field(&m_bUseX);
    AddInt8Field(&m_bUseY);
    AddInt16Field(&m_nTargetXBlocks);
    AddInt16Field(&m_nTargetYBlocks);
    AddInt16Field(&m_nTargetXDots);
    AddInt16Field(&m_nTargetYDots);
    AddInt8Field(&m_nCoordMode);
    AddInt8Field(&m_bArriveStop);
    AddInt8Field(&m_bFixX);
    AddInt8Field(&m_bFixY);
    AddInt8Field(&m_bMirrorX);
    AddInt8Field(&m_bMirrorY);
    AddInt8Field(&m_bReverseOnTurn);
    AddInt8Field(&m_bStopOnZeroTime);
    if (nVersion >= 162) AddInt8Field(&m_bKeepFacing);
    AddInt8Field(&m_nSolveMode);
    AddInt16Field(&m_nSpeed);
    AddInt16Field(&m_nSpeedStep);
    AddInt16Field(&m_nDistance);
    AddInt16Field(&m_nDistanceStep);
    if (nVersion >= 159) AddInt8Field(&m_nDistanceUnit);
    AddInt16Field(&m_nRadius);
    AddInt16Field(&m_nRadiusStep);
    AddInt8Field(&m_bInertia);
    AddInt16Field(&m_nMaxSpeed);
    AddDoubleField(&m_dInertiaFactor);
    if (nVersion >= 162) AddInt8Field(&m_bNoWalkAnime);
}

bool cEdMove::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp)) return false;
    if (g_nFileVersion < 751) {
        // Older projects moved without these options; a new record has the mirror flag set.
        if (g_nFileVersion < 158) m_bMirrorAngle = 0;
        if (g_nFileVersion < 159) m_nDistanceUnit = 0;
        if (g_nFileVersion < 162) {
            m_bKeepFacing = 0;
            m_bNoWalkAnime = 0;
        }
    }
    NoOpHook();
    return true;
}

bool cEdMove::Save(FILE* fp)
{
    return SaveAfterNoOp(fp);
}
