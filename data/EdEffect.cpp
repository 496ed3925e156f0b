#include "data/EdEffect.h"

#include "data/RecordStream.h"

cEdEffectEntry::cEdEffectEntry()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
}

void cEdEffectEntry::RegisterFields(uint32_t)
{
    RegisterTwoInts(&m_nFrame, &m_nTime);
}

cEdEffect::cEdEffect()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
    m_nCellWidth = 32;
    m_nCellHeight = 32;
    m_bEnlargeable = 0;
}

void cEdEffect::SetDefaults()
{
    // The frames are left as they are.
    ResetFields();
    m_nCellWidth = 32;
    m_nCellHeight = 32;
    m_bEnlargeable = 0;
}

void cEdEffect::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddStringField(&m_strName);
    if (nVersion >= 151) AddInt32Field(&m_nReserved);
    AddStringField(&m_strFile);
    AddInt32Field(&m_nCellWidth);
    AddInt32Field(&m_nCellHeight);
    AddInt32Field(&m_bEnlargeable);
}

bool cEdEffect::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp) || !LoadRecordVector(fp, m_vFrames, cEdEffectEntry())) return false;
    if (g_nFileVersion < 153) m_nReserved = 0;
    NoOpHook();
    return true;
}

bool cEdEffect::Save(FILE* fp)
{
    NoOpHook();
    return cFieldListRecord::Save(fp) && SaveRecordVector(fp, m_vFrames);
}
