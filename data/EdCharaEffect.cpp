#include "data/EdCharaEffect.h"

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
    if (g_nFileVersion < 511) {
        if (m_nKind == 4 || m_nKind == 5) m_anParam[4] = CharaWaveRoughnessDefault;
        if (m_nKind == 10) m_anParam[3] = CharaCircleRoughnessDefault;
    }
    NoOpHook();
    return true;
}

bool cEdScrEffect::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp)) return false;
    if (g_nFileVersion < 511) {
        if (m_nKind == 6) m_anParam[4] = ScrWaveXRoughnessDefault;
        if (m_nKind == 7) m_anParam[4] = ScrWaveYRoughnessDefault;
        if (m_nKind == 10) m_anParam[3] = ScrCircleRoughnessDefault;
    }
    NoOpHook();
    return true;
}
