#include "data/EdSystemLists.h"

#include "data/RecordStream.h"

cEdSystemStatus::cEdSystemStatus()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
}

void cEdSystemStatus::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddInt32Field(&m_bShow);
    AddInt32Field(&m_bIcon);
    AddInt32Field(&m_nDigits);
    if (nVersion >= 204) AddInt32Field(&m_bGaugeValue);
    if (nVersion >= 587) {
        AddInt32Field(&m_nThreshold);
        AddInt32Field(&m_bThresholdPercent);
    }
    AddStringField(&m_strName);
}

bool cEdSystemStatus::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp)) return false;
    if (g_nFileVersion < 204) m_bGaugeValue = 1;
    return true;
}

cEdRankingSetting::cEdRankingSetting()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
    m_vKind.assign(5, 0);
}

void cEdRankingSetting::RegisterFields(uint32_t)
{
    RegisterOneInt(&m_bEnabled);
}

bool cEdRankingSetting::Load(FILE* fp)
{
    return cFieldListRecord::Load(fp) && LoadByteVector(fp, m_vKind);
}

bool cEdRankingSetting::Save(FILE* fp)
{
    NoOpHook();
    return cFieldListRecord::Save(fp) && SaveByteVector(fp, m_vKind);
}

cEdSystemText::cEdSystemText()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
    m_bEnabled = 1;
}

void cEdSystemText::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt32Field(&m_bEnabled);
    AddStringField(&m_strText);
}

cEdSystemOption::cEdSystemOption()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
}

void cEdSystemOption::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt32Field(&m_nKind);
    AddInt32Field(&m_nValue);
    AddStringField(&m_strName);
    AddStringField(&m_strValue);
}

void cEdSystemOption::SetNumber(const std::string& name, int32_t nValue)
{
    m_strName = name;
    m_nKind = 0;
    m_nValue = nValue;
}

void cEdSystemOption::SetText(const std::string& name, const std::string& text)
{
    m_strName = name;
    m_nKind = 1;
    m_strValue = text;
}
