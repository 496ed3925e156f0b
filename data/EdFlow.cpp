#include "data/EdFlow.h"

#include <algorithm>
#include <utility>

#include "core/SaturatingStep.h"
#include "data/RecordStream.h"

cEdFlow::cEdFlow()
{
    RegisterFields(kCurrentDataVersion);
}

cEdFlow::cEdFlow(const cEdFlow& source) = default;

cEdFlow::cEdFlow(cEdFlow&& source) noexcept = default;

cEdFlow::~cEdFlow() = default;

cEdFlow& cEdFlow::operator=(const cEdFlow& source)
{
    cFieldListRecord::operator=(source);
    if (this == &source) return *this;
    // Copied whole before anything here changes: the source may lie inside this flow's own
    // commands.
    cEdFlow copy(source);
    m_nGroup = copy.m_nGroup;
    m_nFlowId = copy.m_nFlowId;
    m_bDelete = copy.m_bDelete;
    m_nCombine = copy.m_nCombine;
    m_bOnceTrue = copy.m_bOnceTrue;
    m_nTrigger = copy.m_nTrigger;
    m_nKeyTolerance = copy.m_nKeyTolerance;
    m_nKeyMode = copy.m_nKeyMode;
    m_strName = std::move(copy.m_strName);
    m_vCondition = std::move(copy.m_vCondition);
    m_vKeyList = std::move(copy.m_vKeyList);
    m_vCommand = std::move(copy.m_vCommand);
    RegisterFields(g_nDataVersion);
    return *this;
}

cEdFlow cEdFlow::Default()
{
    cEdFlow flow;
    flow.ResetFields();
    flow.m_nKeyTolerance = 3;
    return flow;
}

void cEdFlow::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddInt8Field(&m_nGroup);
    AddInt8Field(&m_nFlowId);
    AddInt8Field(&m_bDelete);
    AddInt8Field(&m_nCombine);
    AddInt8Field(&m_bOnceTrue);
    AddInt8Field(&m_nTrigger);
    AddInt8Field(&m_nKeyTolerance);
    AddInt8Field(&m_nKeyMode);
    if (nVersion >= 676) AddStringField(&m_strName);
}

bool cEdFlow::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp) || !LoadConditionList(fp, m_vCondition) ||
        !LoadRecordVectorWith(fp, m_vKeyList, [] { return cEdKeyList::Default(); }) || !ReadCommandVector(m_vCommand, fp))
        return false;
    if (g_nFileVersion <= 750) {
        // Triggers were inserted at 11 (after 131) and at 5 and 6 (at 164).
        if (g_nFileVersion <= 131 && m_nTrigger > 10) StepUp(m_nTrigger);
        if (g_nFileVersion < 163 && m_nTrigger != 0) m_nFlowId = 0;
        if (g_nFileVersion < 164 && m_nTrigger > 4) StepUp(m_nTrigger, 2);
    }
    m_strName.clear();
    Validate();
    return true;
}

bool cEdFlow::Save(FILE* fp)
{
    Validate();
    return cFieldListRecord::Save(fp) && SaveRecordVector(fp, m_vCondition) && SaveRecordVector(fp, m_vKeyList) &&
           SaveRecordVector(fp, m_vCommand);
}

void cEdFlow::Validate()
{
    for (cEdCommand& command : m_vCommand) command.Validate();
}

void cEdFlow::ValidateShots()
{
    for (cEdCommand& command : m_vCommand) command.ValidateShot();
}

void CopyFlowList(std::vector<cEdFlow>& target, const std::vector<cEdFlow>& source)
{
    if (&target == &source) return;
    // The source may be a list nested inside one of the target's flows: copy it out first.
    const std::vector<cEdFlow> copy(source);
    CopyRecordVectorWith(target, copy, [] { return cEdFlow::Default(); });
}

bool LoadFlowList(FILE* fp, std::vector<cEdFlow>& list)
{
    return LoadRecordVectorWith(fp, list, [] { return cEdFlow::Default(); });
}

void RemoveDeletedFlows(std::vector<cEdFlow>& list)
{
    std::erase_if(list, [](const cEdFlow& flow) { return flow.m_bDelete != 0; });
}
