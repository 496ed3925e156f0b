#include "data/EdCondition.h"

#include <utility>

#include "core/SaturatingStep.h"
#include "data/RecordStream.h"

cEdCondition::cEdCondition()
{
    RegisterFields(kCurrentDataVersion);
}

cEdCondition cEdCondition::Default()
{
    cEdCondition condition;
    condition.ResetFields();
    return condition;
}

void cEdCondition::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddInt8Field(&m_nKind);
    AddInt32Field(&m_nValue);
    if (nVersion >= 110) {
        AddInt32Field(&m_nRandMin);
        AddInt32Field(&m_nRandMax);
        AddInt8Field(&m_nLeftOwner);
        AddInt8Field(&m_nLeftStatus);
        AddInt8Field(&m_nLeftKind);
        AddInt8Field(&m_nLeftScope);
        AddInt16Field(&m_nVarIndex);
        AddInt8Field(&m_nRightKind);
        AddInt8Field(&m_nRightOwner);
        AddInt8Field(&m_nRightStatus);
        AddInt8Field(&m_nRightScope);
        AddInt16Field(&m_nRightVarIndex);
    } else {
        AddInt16Field(m_nObsolete, 2);
    }
    AddInt8Field(&m_nCompare);
    if (nVersion >= 43) AddInt8Field(&m_bPercent);
    AddInt8Field(&m_nExtra);
}

bool cEdCondition::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp)) return false;
    if (g_nFileVersion >= 751) return true;
    // Each step sees the kind and fields as the steps before it left them.
    const uint32_t v = g_nFileVersion;
    if (v < 160 && m_nKind >= 5) StepUp(m_nKind, 2);
    if (v < 161 && m_nKind == 6 && m_nLeftStatus == 2) m_nCompare = static_cast<int8_t>(m_nCompare ^ 1);
    // Status numbers were inserted twice: at 10 (before 168) and at 5 (before 203).
    for (const auto& [nBefore, nThreshold] : {std::pair<uint32_t, int8_t>{168, 10}, {203, 5}}) {
        if (v >= nBefore || m_nKind != 4) continue;
        if (m_nLeftKind == 0 && m_nLeftOwner != 2 && m_nLeftStatus >= nThreshold) StepUp(m_nLeftStatus);
        if (m_nRightKind == 2 && m_nRightOwner != 2 && m_nRightStatus >= nThreshold) StepUp(m_nRightStatus);
    }
    if (v < 210 && m_nKind == 5 && m_nLeftOwner != 2 && m_nLeftStatus >= 6) StepUp(m_nLeftStatus);
    if (m_nKind == 7) {
        if (v < 657) m_nLeftOwner = 0;
        if (v < 745) m_nLeftKind = 0;
        if (v < 746) {
            m_nRightKind = 1;
            m_nRightOwner = 1;
        }
    }
    NoOpHook();
    return true;
}

bool cEdCondition::Save(FILE* fp)
{
    return cFieldListRecord::Save(fp);
}

void CopyConditionList(std::vector<cEdCondition>& target, const std::vector<cEdCondition>& source)
{
    CopyRecordVectorWith(target, source, [] { return cEdCondition::Default(); });
}

bool LoadConditionList(FILE* fp, std::vector<cEdCondition>& list)
{
    return LoadRecordVectorWith(fp, list, [] { return cEdCondition::Default(); });
}
