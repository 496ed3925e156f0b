#include "data/EdChara.h"

#include <algorithm>

#include "core/SaturatingStep.h"
#include "data/EdDatabase.h"
#include "data/PaletteInheritance.h"
#include "data/PlacedDefinition.h"
#include "data/RecordReferences.h"
#include "data/RecordStream.h"

namespace {

// A database index widened with its sign and compared unsigned against its list.
template <class T>
bool OutsideList(int32_t nIndex, const std::vector<T>& list)
{
    return static_cast<uint64_t>(static_cast<int64_t>(nIndex)) >= list.size();
}

// The flags brought to the table's length, then a new flag 1 put in at nIndex; the flags after
// it move up and the last one falls off.
void InsertInheritFlag(std::vector<int8_t>& vFlags, size_t nIndex)
{
    vFlags.resize(kCharaInheritGroups, 0);
    vFlags.insert(vFlags.begin() + static_cast<std::ptrdiff_t>(nIndex), 1);
    vFlags.pop_back();
}

}  // namespace

cEdChara::cEdChara()
{
    RegisterFields(kCurrentDataVersion);
    SetDefaults();
}

cEdChara::cEdChara(const cEdChara& source) : cFieldListRecord(source)
{
    *this = source;
}

cEdChara& cEdChara::operator=(const cEdChara& source)
{
    if (this == &source) return *this;
    cFieldListRecord::operator=(source);
    // The listed members in one pass, then the extras.
    CopyFields(const_cast<cEdChara&>(source));
    CopyPlacedParts(*this, source);
    m_nCarriedItem = source.m_nCarriedItem;
    CopyFlowList(m_vFlow, source.m_vFlow);
    return *this;
}

void cEdChara::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddInt8Field(&m_nInheritFrom);
    AddInt16Field(&m_nParent);
    AddInt8Field(&m_nCondMode);
    AddInt8Field(&m_bCondOnce);
    AddInt8Field(&m_nStartDir);
    AddInt8Field(&m_nRepeat);
    AddInt16Field(&m_nRepeatX0);
    AddInt16Field(&m_nRepeatDX);
    AddInt16Field(&m_nRepeatY0);
    AddInt16Field(&m_nRepeatDY);
    AddInt8Field(&m_bRepeatMirrorX);
    AddInt8Field(&m_bRepeatMirrorY);
    AddInt16Field(&m_nGraphicIndex);
    AddInt8Field(&m_nGraphicKind);
    AddInt16Field(&m_nGraphicSub);
    AddInt16Field(&m_nAnimeSet);
    AddInt8Field(&m_nZ);
    AddInt8Field(&m_bTransparent);
    AddInt16Field(&m_nStartEffect);
    if (nVersion >= 196) AddInt8Field(&m_nStartEffectA);
    AddInt8Field(&m_nStartEffectB);
    AddInt16Field(&m_nDefeatEffect);
    if (nVersion >= 196) AddInt8Field(&m_nDefeatEffectA);
    AddInt8Field(&m_bBadgeOff);
    AddInt16Field(&m_nBadge);
    AddInt8Field(&m_nController);
    AddInt8Field(&m_nPlayerNo);
    AddInt8Field(&m_nHitGroup);
    AddInt8Field(&m_nCid);
    AddInt8Field(&m_nFlying);
    AddInt8Field(&m_bFixedDir);
    AddInt8Field(&m_nInvincible);
    if (nVersion >= 285) AddInt8Field(&m_nInvincibleSub);
    AddInt8Field(&m_bCellBox);
    AddInt8Field(&m_nGiant);
    if (nVersion >= 210) AddInt8Field(&m_bScrollSync);
    AddInt8Field(&m_nSightMode);
    AddInt8Field(&m_nSight);
    AddInt32Field(&m_nMaxHP);
    AddInt32Field(&m_nMaxSP);
    AddInt16Field(&m_nStop);
    if (nVersion >= 201) AddInt8Field(&m_nHitRange);
    AddInt32Field(&m_nPower);
    AddInt8Field(&m_nImp);
    AddInt16Field(&m_nHitEffect);
    if (nVersion >= 168) AddInt32Field(&m_nDef);
    AddInt8Field(&m_nImpDef);
    AddInt32Field(&m_nScore);
    AddInt8Field(&m_bOptionB);
    AddInt8Field(&m_bSetFlowSwitch);
    AddInt16Field(&m_nFlowSwitch);
    AddInt8Field(&m_nActiveRange);
    AddInt8Field(&m_bKeepActive);
    AddStringField(&m_strName);
}

void cEdChara::SetDefaults()
{
    m_nCarriedItem = 0;
    ResetFields();
    m_vInherit.assign(kCharaInheritGroups, 0);
    m_nController = 1;
    m_nHitGroup = 1;
    m_nZ = 3;
    m_nStartEffectB = 1;
    m_nMaxHP = 10;
    m_nDef = 0;
    m_nGraphicKind = 1;
    m_nGraphicIndex = 0;
    m_nGiant = 1;
    m_nStop = 10;
    m_bFixedDir = 1;
    m_bOptionB = 1;
}

bool cEdChara::Load(FILE* fp)
{
    if (!LoadRecordFields(fp)) return false;
    if (!ReadRecordBytes(fp, &m_nX, 2) || !ReadRecordBytes(fp, &m_nY, 2) ||
        !ReadRecordBytes(fp, &m_nCarriedItem, 4)) {
        ReportRecordReadError(fp, "character position");
        return false;
    }
    if (!LoadByteVector(fp, m_vInherit)) return false;
    if (!LoadConditionList(fp, m_vCondition)) return false;
    if (!LoadFlowList(fp, m_vFlow)) return false;
    if (!KeepDeletedFlows()) RemoveDeletedFlows(m_vFlow);
    if (g_nFileVersion < 751) {
        const uint32_t v = g_nFileVersion;
        if (v < 168) {
            m_nDef = 0;
            InsertInheritFlag(m_vInherit, 27);
        }
        if (v < 196) {
            m_nStartEffectA = 0;
            m_nDefeatEffectA = 0;
        }
        if (v < 201) {
            m_nHitRange = 0;
            InsertInheritFlag(m_vInherit, 24);
        }
        if (v < 206 && m_nHitRange >= 2) StepUp(m_nHitRange);
        if (v < 210) {
            m_bScrollSync = 0;
            InsertInheritFlag(m_vInherit, 21);
        }
        if (v < 219 && m_nGraphicKind == 3) {
            m_nGraphicIndex = std::min<int16_t>(SteppedUp(m_nGraphicIndex), 119);
        }
        if (v < 285) m_nInvincibleSub = 1;
    }
    ApplyInheritance();
    Validate();
    return true;
}

bool cEdChara::Save(FILE* fp)
{
    Validate();
    return SaveRecordFields(fp) && WriteRecordBytes(fp, &m_nX, 2) && WriteRecordBytes(fp, &m_nY, 2) &&
           WriteRecordBytes(fp, &m_nCarriedItem, 4) && SaveByteVector(fp, m_vInherit) &&
           SaveRecordVector(fp, m_vCondition) && SaveRecordVector(fp, m_vFlow);
}

void cEdChara::Validate()
{
    ValidateParentOf(*this);
    if (m_nGraphicKind == 4 && OutsideList(m_nGraphicIndex, g_Database.m_vBmpCharaExc)) m_nGraphicIndex = 1;
    if (m_nGiant <= 0) m_nGiant = 1;
    if (OutsideList(m_nAnimeSet, g_Database.m_vAnimeSet)) m_nAnimeSet = 0;
    if (OutsideList(m_nStartEffect, g_Database.m_vCharaEffect)) m_nStartEffect = 0;
    if (OutsideList(m_nDefeatEffect, g_Database.m_vCharaEffect)) m_nDefeatEffect = 0;
    if (OutsideList(m_nHitEffect, g_Database.m_vEffect)) m_nHitEffect = 0;
    if (m_nController == 0) {
        m_bCellBox = 0;
        m_nRepeat = 0;
    }
    for (cEdCondition& condition : m_vCondition) condition.NoOpHook();
    for (size_t i = 0; i < m_vFlow.size();) {
        cEdFlow& flow = m_vFlow[i];
        flow.Validate();
        if (flow.m_vCondition.empty() && flow.m_vKeyList.empty() && flow.m_vCommand.empty())
            m_vFlow.erase(m_vFlow.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

void cEdChara::ValidateFlowRefs()
{
    for (cEdFlow& flow : m_vFlow) flow.ValidateShots();
}

double cEdChara::StepValue1(int32_t nCopy, int32_t nFacing) const
{
    const double d = static_cast<double>(nCopy) * m_nRepeatDX + m_nRepeatX0;
    return (nFacing == 1 && m_bRepeatMirrorX != 0) ? -d : d;
}

double cEdChara::StepValue2(int32_t nCopy, int32_t nFacing) const
{
    const double d = static_cast<double>(nCopy) * m_nRepeatDY + m_nRepeatY0;
    return (nFacing == 1 && m_bRepeatMirrorY != 0) ? -d : d;
}

void cEdChara::ApplyInheritance()
{
    const cEdChara* lpSource = FindInheritSource(*this);
    if (lpSource == nullptr || lpSource == this) return;
    const cEdChara& s = *lpSource;
    const size_t nFlags = std::min(m_vInherit.size(), kCharaInheritGroups);
    for (size_t i = 0; i < nFlags; ++i) {
        if (m_vInherit[i] == 0) continue;
        switch (i) {
        case 0: m_strName = s.m_strName; break;
        case 1:
            m_nController = s.m_nController;
            m_nPlayerNo = s.m_nPlayerNo;
            break;
        case 2: m_nHitGroup = s.m_nHitGroup; break;
        case 3: m_nCid = s.m_nCid; break;
        case 4:
            CopyConditionList(m_vCondition, s.m_vCondition);
            m_nCondMode = s.m_nCondMode;
            m_bCondOnce = s.m_bCondOnce;
            break;
        case 5: m_nStartDir = s.m_nStartDir; break;
        case 6: m_nRepeat = s.m_nRepeat; break;
        case 7:
            m_nRepeatX0 = s.m_nRepeatX0;
            m_nRepeatDX = s.m_nRepeatDX;
            m_bRepeatMirrorX = s.m_bRepeatMirrorX;
            break;
        case 8:
            m_nRepeatY0 = s.m_nRepeatY0;
            m_nRepeatDY = s.m_nRepeatDY;
            m_bRepeatMirrorY = s.m_bRepeatMirrorY;
            break;
        case 9:
            m_nGraphicKind = s.m_nGraphicKind;
            m_nGraphicIndex = s.m_nGraphicIndex;
            m_nGraphicSub = s.m_nGraphicSub;
            break;
        case 10: m_nAnimeSet = s.m_nAnimeSet; break;
        case 11: m_nZ = s.m_nZ; break;
        case 12: m_bTransparent = s.m_bTransparent; break;
        case 13:
            m_nStartEffect = s.m_nStartEffect;
            m_nStartEffectA = s.m_nStartEffectA;
            m_nStartEffectB = s.m_nStartEffectB;
            break;
        case 14:
            m_nDefeatEffect = s.m_nDefeatEffect;
            m_nDefeatEffectA = s.m_nDefeatEffectA;
            break;
        case 15:
            m_bBadgeOff = s.m_bBadgeOff;
            m_nBadge = s.m_nBadge;
            break;
        case 16: m_bFixedDir = s.m_bFixedDir; break;
        case 17: m_nFlying = s.m_nFlying; break;
        case 18:
            m_nInvincible = s.m_nInvincible;
            m_nInvincibleSub = s.m_nInvincibleSub;
            break;
        case 19: m_bCellBox = s.m_bCellBox; break;
        case 20: m_nGiant = s.m_nGiant; break;
        case 21: m_bScrollSync = s.m_bScrollSync; break;
        case 22:
            m_nSightMode = s.m_nSightMode;
            m_nSight = s.m_nSight;
            break;
        case 23: m_nMaxHP = s.m_nMaxHP; break;
        case 24: m_nMaxSP = s.m_nMaxSP; break;
        case 25: m_nHitRange = s.m_nHitRange; break;
        case 26: m_nPower = s.m_nPower; break;
        case 27: m_nImp = s.m_nImp; break;
        case 28: m_nHitEffect = s.m_nHitEffect; break;
        case 29: m_nDef = s.m_nDef; break;
        case 30: m_nImpDef = s.m_nImpDef; break;
        case 31: m_nStop = s.m_nStop; break;
        case 32:
            m_nActiveRange = s.m_nActiveRange;
            m_bKeepActive = s.m_bKeepActive;
            break;
        case 33:
            m_nFlowSwitch = s.m_nFlowSwitch;
            m_bSetFlowSwitch = s.m_bSetFlowSwitch;
            break;
        case 34: m_nScore = s.m_nScore; break;
        case 35: m_bOptionB = s.m_bOptionB; break;
        case 36:
            CopyFlowList(m_vFlow, s.m_vFlow);
            if (m_vFlow.empty()) m_vFlow.push_back(cEdFlow::Default());
            break;
        default: break;
        }
    }
}
