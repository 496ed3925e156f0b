#include "data/EdKeyList.h"

#include "data/RecordStream.h"

cEdKeyList::cEdKeyList()
{
    RegisterFields(kCurrentDataVersion);
}

cEdKeyList cEdKeyList::Default()
{
    cEdKeyList keyList;
    keyList.ResetFields();
    keyList.m_vKeyState.assign(kKeyStateCount, 0);
    return keyList;
}

void cEdKeyList::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt8Field(&m_bFacingRelative);
    AddInt16Field(&m_nMinHold);
    AddInt16Field(&m_nMaxHold);
    AddInt8Field(&m_bAnyLength);
    AddInt8Field(&m_nCombine);
}

bool cEdKeyList::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp) || !LoadByteVector(fp, m_vKeyState)) return false;
    // The matcher reads all 19 states; a damaged count must not leave it fewer.
    m_vKeyState.resize(kKeyStateCount, 0);
    return true;
}

bool cEdKeyList::Save(FILE* fp)
{
    return cFieldListRecord::Save(fp) && SaveByteVector(fp, m_vKeyState);
}

void CopyKeyListList(std::vector<cEdKeyList>& target, const std::vector<cEdKeyList>& source)
{
    CopyRecordVectorWith(target, source, [] { return cEdKeyList::Default(); });
}
