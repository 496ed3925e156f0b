#include "data/EdBlock.h"

#include "data/EdItem.h"
#include "data/PaletteInheritance.h"
#include "data/PlacedDefinition.h"
#include "data/RecordStream.h"

cEdBlock::cEdBlock()
{
    // The member initialisers are the defaults that SetDefaults gives; the field lists are built
    // by each operation that needs them. A stage's block map makes a block for every cell, tens of
    // thousands, most of them never copied or saved.
    m_vInherit.assign(kBlockInheritGroups, 0);
}

cEdBlock::cEdBlock(const cEdBlock& source) : cFieldListRecord(source)
{
    *this = source;
}

cEdBlock& cEdBlock::operator=(const cEdBlock& source)
{
    if (this == &source) return *this;
    cFieldListRecord::operator=(source);
    CopyFields(const_cast<cEdBlock&>(source));
    CopyPlacedParts(*this, source);
    return *this;
}

void cEdBlock::RegisterFields(uint32_t)
{
    ClearFields();
    ReserveFields(18);
    AddInt8Field(&m_nInheritFrom);
    AddInt16Field(&m_nParent);
    AddInt8Field(&m_nCondMode);
    AddInt8Field(&m_bCondOnce);
    AddInt16Field(&m_nGraphicIndex);
    AddInt8Field(&m_nGraphicKind);
    AddInt16Field(&m_nGraphicSub);
    AddInt8Field(&m_nLayer);
    AddInt8Field(&m_bHidden);
    AddInt8Field(&m_nBadgeShow);
    AddInt16Field(&m_nBadge);
    AddInt8Field(&m_nHit);
    AddInt8Field(&m_nHitExcept);
    AddInt8Field(&m_nEffect);
    AddInt32Field(&m_nEffectValue);
    AddInt8Field(&m_nItemFrom);
    AddInt16Field(&m_nItem);
    AddInt8Field(&m_bNoReplace);
    AddStringField(&m_strName);
}

void cEdBlock::SetDefaults()
{
    ResetFields();
    m_nHit = 1;
    m_vInherit.assign(kBlockInheritGroups, 0);
    m_nHitExcept = -1;
    m_nGraphicIndex = 0;
}

bool cEdBlock::Load(FILE* fp)
{
    if (!LoadRecordFields(fp) || !LoadPlacedParts(fp, *this, "block position")) return false;
    ShiftOldShotSheetCell(*this);
    ApplyInheritance();
    Validate();
    return true;
}

bool cEdBlock::Save(FILE* fp)
{
    Validate();
    return SaveRecordFields(fp) && SavePlacedParts(fp, *this);
}

void cEdBlock::Validate()
{
    ValidateParentOf(*this);
    for (cEdCondition& condition : m_vCondition) condition.NoOpHook();
    if (m_nGraphicIndex == 0) {
        m_nHit = 0;
        m_bNoReplace = 0;
    }
}

void cEdBlock::ValidateItemRef()
{
    if (m_nItemFrom != kPaletteCommon && m_nItemFrom != kPaletteStage) return;
    const std::vector<cEdItem>* lpItems = PaletteItems(m_nItemFrom);
    if (lpItems == nullptr || !PaletteIndexInRange(m_nItem, lpItems->size())) {
        m_nItemFrom = 0;
        m_nItem = 0;
    }
}

void cEdBlock::ApplyInheritance()
{
    const cEdBlock* lpSource = FindInheritSource(*this);
    if (lpSource == nullptr || lpSource == this) return;
    const cEdBlock& s = *lpSource;
    const size_t nFlags = std::min(m_vInherit.size(), kBlockInheritGroups);
    for (size_t i = 0; i < nFlags; ++i) {
        if (m_vInherit[i] == 0) continue;
        switch (i) {
        case 0: m_strName = s.m_strName; break;
        case 1:
            CopyConditionList(m_vCondition, s.m_vCondition);
            m_nCondMode = s.m_nCondMode;
            m_bCondOnce = s.m_bCondOnce;
            break;
        case 2:
            m_nGraphicKind = s.m_nGraphicKind;
            m_nGraphicIndex = s.m_nGraphicIndex;
            m_nGraphicSub = s.m_nGraphicSub;
            break;
        case 3: m_nLayer = s.m_nLayer; break;
        case 4: m_bHidden = s.m_bHidden; break;
        case 5:
            m_nBadgeShow = s.m_nBadgeShow;
            m_nBadge = s.m_nBadge;
            break;
        case 6: m_nHit = s.m_nHit; break;
        case 7: m_nHitExcept = s.m_nHitExcept; break;
        case 8:
            m_nEffect = s.m_nEffect;
            m_nEffectValue = s.m_nEffectValue;
            break;
        case 9:
            m_nItemFrom = s.m_nItemFrom;
            m_nItem = s.m_nItem;
            break;
        case 10: m_bNoReplace = s.m_bNoReplace; break;
        default: break;
        }
    }
}
