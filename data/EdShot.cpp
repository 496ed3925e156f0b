#include "data/EdShot.h"

#include "data/RecordReferences.h"

cEdShot::cEdShot()
{
    SetDefaults();
}

void cEdShot::SetDefaults()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
    m_bMirrorAngle = 1;
    m_bMirrorX = 1;
    m_bSameSide = 1;
    m_nSize = 1;
}

void cEdShot::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddInt8Field(&m_nCount);
    AddInt8Field(&m_nFormation);
    AddInt16Field(m_nFormationValue, 3);
    if (nVersion >= 671) AddInt8Field(&m_nTargetChoice);
    AddInt8Field(&m_nDirectionMode);
    AddInt8Field(&m_bAim);
    AddInt16Field(&m_nAngle);
    AddInt16Field(&m_nAngleStep);
    if (nVersion >= 158) AddInt8Field(&m_bMirrorAngle);
    AddInt16Field(&m_nSpread);
    AddInt8Field(&m_bRowRotate);
    AddInt8Field(&m_nClones);
    AddInt16Field(&m_nOffsetX);
    AddInt16Field(&m_nOffsetXStep);
    AddInt16Field(&m_nOffsetY);
    AddInt16Field(&m_nOffsetYStep);
    AddInt8Field(&m_bMirrorX);
    AddInt8Field(&m_bMirrorY);
    AddInt16Field(&m_nGraphic);
    AddInt8Field(&m_nZ);
    AddInt8Field(&m_bHidden);
    AddInt8Field(&m_bSameSide);
    AddInt8Field(&m_nSide);
    AddInt8Field(&m_nSetting23);
    AddInt8Field(&m_nSize);
    AddInt8Field(&m_nSetting25);
    AddInt8Field(&m_nMoveKind);
    AddInt16Field(m_nMoveValue, 3);
    if (nVersion >= 211) AddInt8Field(&m_bHoming);
    AddInt16Field(&m_nSpeed);
    AddInt16Field(&m_nSpeedStep);
    if (nVersion >= 213) {
        AddInt8Field(&m_bAccel);
        AddInt16Field(&m_nAccel);
        AddInt16Field(&m_nAccelStep);
    }
    AddInt16Field(&m_nRange);
    AddInt8Field(&m_bRange);
    AddInt16Field(&m_nRangeStep);
    AddInt8Field(&m_bStopAtRange);
    AddInt8Field(&m_bLife);
    AddInt16Field(&m_nLife);
    AddInt16Field(&m_nLifeStep);
    AddInt8Field(&m_nBlockPass);
    AddInt8Field(&m_nBlockMode);
    if (nVersion >= 636) AddInt8Field(&m_nSetting43);
    AddInt8Field(&m_nSetting44);
    AddInt8Field(&m_nVanish);
    AddInt32Field(&m_nPower);
    AddInt16Field(&m_nSetting47);
    AddInt8Field(&m_nImpact);
    AddInt16Field(&m_nEffect);
    AddInt8Field(&m_nItemPalette);
    AddInt16Field(&m_nItemIndex);
    AddInt8Field(&m_nSetting52);
    AddInt8Field(&m_nSetting53);
    if (nVersion >= 197) AddInt8Field(&m_nSetting54);
    AddInt8Field(&m_nSummonPalette);
    AddInt16Field(&m_nSummonIndex);
    AddInt8Field(&m_nSetting57);
    AddInt8Field(&m_nSetting58);
    AddInt8Field(&m_nSetting59);
}

bool cEdShot::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp)) return false;
    if (g_nFileVersion < 751) {
        if (g_nFileVersion < 158) m_bMirrorAngle = 0;
        if (g_nFileVersion < 197) m_nSetting54 = m_nSetting53;
        // Before 212 homing followed from the movement kind alone, whatever a 211 file stored.
        if (g_nFileVersion < 212) m_bHoming = (m_nMoveKind >= 4 && m_nMoveKind <= 7) ? 1 : 0;
        if (g_nFileVersion < 213) {
            m_bAccel = 0;
            m_nAccel = 0;
            m_nAccelStep = 0;
        }
        if (g_nFileVersion < 636) m_nSetting43 = m_nBlockMode;
        if (g_nFileVersion < 671) m_nTargetChoice = 0;
    }
    Validate();
    return true;
}

bool cEdShot::Save(FILE* fp)
{
    Validate();
    return cFieldListRecord::Save(fp);
}

void cEdShot::Validate()
{
    if (m_nSize <= 0) m_nSize = 1;
    // A negative index is never an Effect; the upper bound is known once the database is.
    if (m_nEffect < 0) {
        m_nEffect = 0;
        return;
    }
    const int32_t nEffects = DatabaseCount(DatabaseList::Effect);
    if (nEffects >= 0 && m_nEffect >= nEffects) m_nEffect = 0;
}

double cEdShot::StepValue1(int32_t nClone, int32_t nFacing) const
{
    const double d = static_cast<double>(nClone) * m_nOffsetXStep + m_nOffsetX;
    return (nFacing == 1 && m_bMirrorX) ? -d : d;
}

double cEdShot::StepValue2(int32_t nClone, int32_t nFacing) const
{
    const double d = static_cast<double>(nClone) * m_nOffsetYStep + m_nOffsetY;
    return (nFacing == 1 && m_bMirrorY) ? -d : d;
}
