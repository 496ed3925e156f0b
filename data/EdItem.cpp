#include "data/EdItem.h"

#include <algorithm>

#include "data/EdDatabase.h"
#include "data/PaletteInheritance.h"
#include "data/PlacedDefinition.h"
#include "data/RecordStream.h"

cEdItem::cEdItem()
{
    RegisterFields(kCurrentDataVersion);
    SetDefaults();
}

cEdItem::cEdItem(const cEdItem& source) : cFieldListRecord(source)
{
    *this = source;
}

cEdItem& cEdItem::operator=(const cEdItem& source)
{
    if (this == &source) return *this;
    cFieldListRecord::operator=(source);
    CopyFields(const_cast<cEdItem&>(source));
    CopyPlacedParts(*this, source);
    CopyCommandList(m_vCommand, source.m_vCommand);
    return *this;
}

void cEdItem::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt8Field(&m_nInheritFrom);
    AddInt16Field(&m_nParent);
    AddInt8Field(&m_nCondMode);
    AddInt8Field(&m_bCondOnce);
    AddInt16Field(&m_nOffsetX);
    AddInt16Field(&m_nOffsetY);
    AddInt16Field(&m_nGraphicIndex);
    AddInt8Field(&m_nGraphicKind);
    AddInt16Field(&m_nGraphicSub);
    AddInt8Field(&m_nItemSetting);
    AddInt8Field(&m_bHidden);
    AddInt8Field(&m_nBadgeShow);
    AddInt16Field(&m_nBadge);
    // The file keeps show-on-take before the take mode.
    AddInt8Field(&m_bShowOnTake);
    AddInt8Field(&m_nTakeMode);
    AddInt8Field(&m_nGiant);
    AddInt16Field(&m_nSound);
    AddStringField(&m_strName);
}

void cEdItem::SetDefaults()
{
    ResetFields();
    m_vInherit.assign(kItemInheritGroups, 0);
    m_nGraphicKind = 2;
    m_nGraphicIndex = 0;
    m_bShowOnTake = 1;
    m_nGiant = 1;
    m_nItemSetting = 6;
}

bool cEdItem::Load(FILE* fp)
{
    if (!LoadRecordFields(fp) || !LoadPlacedParts(fp, *this, "item position")) return false;
    if (!ReadCommandVector(m_vCommand, fp)) return false;
    ShiftOldShotSheetCell(*this);
    ApplyInheritance();
    Validate();
    return true;
}

bool cEdItem::Save(FILE* fp)
{
    Validate();
    return SaveRecordFields(fp) && SavePlacedParts(fp, *this) && SaveRecordVector(fp, m_vCommand);
}

void cEdItem::Validate()
{
    ValidateParentOf(*this);
    if (m_nGiant <= 0) m_nGiant = 1;
    if (static_cast<uint64_t>(static_cast<int64_t>(m_nSound)) >= g_Database.m_vSound.size()) m_nSound = 0;
    for (cEdCondition& condition : m_vCondition) condition.NoOpHook();
    for (cEdCommand& command : m_vCommand) command.Validate();
}

void cEdItem::ValidateCommandRefs()
{
    for (cEdCommand& command : m_vCommand) command.ValidateShot();
}

void cEdItem::ApplyInheritance()
{
    const cEdItem* lpSource = FindInheritSource(*this);
    if (lpSource == nullptr || lpSource == this) return;
    const cEdItem& s = *lpSource;
    const size_t nFlags = std::min(m_vInherit.size(), kItemInheritGroups);
    for (size_t i = 0; i < nFlags; ++i) {
        if (m_vInherit[i] == 0) continue;
        switch (i) {
        case 0: m_strName = s.m_strName; break;
        case 1:
            CopyConditionList(m_vCondition, s.m_vCondition);
            m_nCondMode = s.m_nCondMode;
            m_bCondOnce = s.m_bCondOnce;
            break;
        case 2: m_nOffsetX = s.m_nOffsetX; break;
        case 3: m_nOffsetY = s.m_nOffsetY; break;
        case 4:
            m_nGraphicKind = s.m_nGraphicKind;
            m_nGraphicIndex = s.m_nGraphicIndex;
            m_nGraphicSub = s.m_nGraphicSub;
            break;
        case 5: m_nItemSetting = s.m_nItemSetting; break;
        case 6: m_bHidden = s.m_bHidden; break;
        case 7:
            m_nBadgeShow = s.m_nBadgeShow;
            m_nBadge = s.m_nBadge;
            break;
        case 8: m_nGiant = s.m_nGiant; break;
        case 9: m_nTakeMode = s.m_nTakeMode; break;
        case 10: m_bShowOnTake = s.m_bShowOnTake; break;
        case 11: m_nSound = s.m_nSound; break;
        case 12: CopyCommandList(m_vCommand, s.m_vCommand); break;
        default: break;
        }
    }
}
