#include "data/EdCharaEffect.h"

#include "data/EffectParamTables.h"

cEdEffectKindRecord::cEdEffectKindRecord()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
    m_nKind = 1;
}

void cEdEffectKindRecord::RegisterFields(uint32_t)
{
    ClearFields();
    AddStringField(&m_strName);
    AddInt32Field(&m_nKind);
    AddInt32Field(m_anParam, 5);
}

bool cEdCharaEffect::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp)) return false;
    // Version 511 added the roughness of the waves and of the circle; older effects get the
    // parameter table's default for it.
    if (g_nFileVersion < 511) {
        if (m_nKind == 4 || m_nKind == 5) m_anParam[4] = CharaEffectParam(m_nKind, 4).m_nDefault;
        if (m_nKind == 10) m_anParam[3] = CharaEffectParam(m_nKind, 3).m_nDefault;
    }
    NoOpHook();
    return true;
}

bool cEdScrEffect::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp)) return false;
    if (g_nFileVersion < 511) {
        if (m_nKind == 6 || m_nKind == 7) m_anParam[4] = ScrEffectParam(m_nKind, 4).m_nDefault;
        if (m_nKind == 10) m_anParam[3] = ScrEffectParam(m_nKind, 3).m_nDefault;
    }
    NoOpHook();
    return true;
}
