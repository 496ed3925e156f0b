#include "data/EdAnime.h"

#include "data/RecordStream.h"

cEdAnimeFrame::cEdAnimeFrame()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
    m_nTime = 1;
}

void cEdAnimeFrame::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt32Field(&m_nFrame);
    AddInt32Field(&m_nTime);
    AddInt32Field(&m_bAction);
}

cEdAnime::cEdAnime()
{
    RegisterFields(kCurrentDataVersion);
    SetDefaults();
}

void cEdAnime::SetDefaults()
{
    ResetFields();
    m_vFrames.assign(1, cEdAnimeFrame());
    m_cExtra2 = 1;
}

void cEdAnime::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddStringField(&m_strName);
    if (nVersion >= 55) {
        AddInt16Field(&m_nExtra1);
        AddInt8Field(&m_cExtra2);
        AddInt16Field(&m_nExtra3);
    }
}

bool cEdAnime::Load(FILE* fp)
{
    return cFieldListRecord::Load(fp) && LoadRecordVector(fp, m_vFrames, cEdAnimeFrame());
}

bool cEdAnime::Save(FILE* fp)
{
    return cFieldListRecord::Save(fp) && SaveRecordVector(fp, m_vFrames);
}

cEdAnimeSet::cEdAnimeSet()
{
    RegisterFields(kCurrentDataVersion);
    SetDefaults();
}

void cEdAnimeSet::BringToFourSlots()
{
    m_vAnimes.resize(4);   // new slots are default animations: no name, one frame of cell 0
}

void cEdAnimeSet::SetDefaults()
{
    ResetFields();
    m_nFrameOffset1 = 4;
    m_nFrameOffset2 = 8;
    m_nFrameOffset3 = 0;
    BringToFourSlots();
    m_vAnimes[0].m_strName = "立ち";
    m_vAnimes[1].m_strName = "立ち移動";
    m_vAnimes[2].m_strName = "飛行";
    m_vAnimes[3].m_strName = "飛行移動";
}

void cEdAnimeSet::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddStringField(&m_strName);
    AddInt32Field(&m_nFrameOffset1);
    AddInt32Field(&m_nFrameOffset2);
    if (nVersion >= 119) AddInt32Field(&m_nFrameOffset3);
}

bool cEdAnimeSet::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp) || !LoadRecordVector(fp, m_vAnimes, cEdAnime())) return false;
    // Sets before 119 had no flying slots; before 128 the flying slots could carry other names.
    if (g_nFileVersion < 119) BringToFourSlots();
    if (g_nFileVersion < 128) {
        BringToFourSlots();
        m_vAnimes[2].m_strName = "飛行";
        m_vAnimes[3].m_strName = "飛行移動";
    }
    return true;
}

bool cEdAnimeSet::Save(FILE* fp)
{
    return cFieldListRecord::Save(fp) && SaveRecordVector(fp, m_vAnimes);
}
