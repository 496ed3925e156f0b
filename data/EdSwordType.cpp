#include "data/EdSwordType.h"

#include "data/RecordStream.h"

cEdSwordTypeEntry::cEdSwordTypeEntry()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
    m_bFlipX = 1;
}

void cEdSwordTypeEntry::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddInt32Field(&m_nOffsetX);
    AddInt32Field(&m_nOffsetY);
    if (nVersion >= 138) {
        AddInt32Field(&m_bFlipX);
        AddInt32Field(&m_bFlipY);
    }
    AddInt32Field(&m_nSide);
    AddInt32Field(&m_nSrcX);
    AddInt32Field(&m_nSrcY);
    AddInt32Field(&m_nWidth);
    AddInt32Field(&m_nHeight);
    AddInt32Field(&m_nTime);
}

cEdSwordType::cEdSwordType()
{
    RegisterFields(kCurrentDataVersion);
    SetDefaults();
}

void cEdSwordType::SetDefaults()
{
    ResetFields();
    cEdSwordTypeEntry step;
    step.m_nTime = 1;
    m_vSteps.assign(1, step);
}

void cEdSwordType::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddStringField(&m_strName);
    if (nVersion >= 151) AddInt32Field(&m_nReserved);
    AddStringField(&m_strRightFile);
    AddStringField(&m_strLeftFile);
}

bool cEdSwordType::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp) || !LoadRecordVector(fp, m_vSteps, cEdSwordTypeEntry())) return false;
    if (g_nFileVersion < 153) m_nReserved = 0;
    return true;
}

bool cEdSwordType::Save(FILE* fp)
{
    return cFieldListRecord::Save(fp) && SaveRecordVector(fp, m_vSteps);
}
