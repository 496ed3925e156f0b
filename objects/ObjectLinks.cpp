// The link rules between stage objects and every way an object leaves the stage.
//
// The invariant: for every stored object, each non-null outgoing pointer (a character's target, a
// shot's target character) is mirrored by an entry in the pointee's incoming list, and the object
// is in the faction list of its faction. Unlink removes both sides, so after it nothing points at
// the object and it points at nothing; the storage itself is freed later by a sweep.
#include "objects/ObjectLinks.h"

#include "data/EdCommand.h"
#include "data/EdFlow.h"
#include "objects/Chara.h"
#include "objects/Hero.h"
#include "objects/Item.h"
#include "objects/Shot.h"
#include "stage/CharaList.h"
#include "stage/ItemList.h"
#include "stage/PlayState.h"
#include "stage/Player.h"

cCharaBase::cCharaBase(const cCharaBase& other) : cGameObject(other), CharaCoreMembers(other)
{
    RelinkFlowInstances();
}

void cCharaBase::RelinkFlowInstances()
{
    std::vector<cEdFlow>& vDefs = m_Def.m_vFlow;
    for (size_t i = 0; i < m_vFlow.size(); ++i) {
        cFlowInstance& inst = m_vFlow[i];
        inst.m_nIndex = static_cast<int32_t>(i);
        // An instance without its definition runs nothing rather than reading another list.
        cEdFlow* lpFlow = i < vDefs.size() ? &vDefs[i] : nullptr;
        inst.m_lpFlow = lpFlow;
        inst.m_vKeySteps.clear();
        if (lpFlow == nullptr) {
            for (cCommandInstance& cmd : inst.m_vCmd) cmd.m_lpCmd = nullptr;
            continue;
        }
        for (cEdKeyList& step : lpFlow->m_vKeyList) inst.m_vKeySteps.push_back(&step);
        for (size_t j = 0; j < inst.m_vCmd.size(); ++j)
            inst.m_vCmd[j].m_lpCmd = j < lpFlow->m_vCommand.size() ? &lpFlow->m_vCommand[j] : nullptr;
    }
}

void cCharaBase::SetTarget(cCharaBase* lpTarget)
{
    if (m_lpTarget != nullptr) m_lpTarget->m_vTargetedBy.RemoveAll(this);
    m_lpTarget = lpTarget;
    if (lpTarget != nullptr && !lpTarget->m_vTargetedBy.Contains(this)) lpTarget->m_vTargetedBy.push_back(this);
}

void cCharaBase::RegisterLinks()
{
    if (m_lpTarget != nullptr && !m_lpTarget->m_vTargetedBy.Contains(this))
        m_lpTarget->m_vTargetedBy.push_back(this);
}

void cCharaBase::UnlinkForDefeat()
{
    for (cCharaBase* lpChara : m_vTargetedBy)
        if (lpChara != nullptr) lpChara->m_lpTarget = nullptr;
    m_vTargetedBy.clear();
    if (m_lpTarget != nullptr) {
        m_lpTarget->m_vTargetedBy.RemoveAll(this);
        m_lpTarget = nullptr;
    }
    for (cShot* lpShot : m_vShots)
        if (lpShot != nullptr) lpShot->m_lpTargetChara = nullptr;
    m_vShots.clear();
}

void cCharaBase::Unlink()
{
    UnlinkForDefeat();
    // Every faction list, not only the current faction's: a faction may have changed since the
    // character was entered.
    if (cPlayState* lpState = PlayState())
        for (cLinkList<cCharaBase>& list : lpState->m_vFactionCharas) list.Remove(this);
}

void cCharaBase::DropLinks()
{
    m_lpTarget = nullptr;
    m_vTargetedBy.clear();
    m_vShots.clear();
}

void cShot::RegisterLinks()
{
    if (m_lpTargetChara != nullptr && !m_lpTargetChara->m_vShots.Contains(this))
        m_lpTargetChara->m_vShots.push_back(this);
}

void cShot::Unlink()
{
    if (m_lpTargetChara != nullptr) {
        m_lpTargetChara->m_vShots.RemoveAll(this);
        m_lpTargetChara = nullptr;
    }
    if (cPlayState* lpState = PlayState())
        for (cLinkList<cShot>& list : lpState->m_vFactionShots) list.Remove(this);
}

cCharaBase* FindCharaByKey(int32_t nKey)
{
    for (cHero& hero : Player)
        if (hero.m_nKey == nKey) return &hero;
    for (cChara& chara : CharaList)
        if (chara.m_nKey == nKey) return &chara;
    return nullptr;
}

cShot* AddShotToStage(cStageList<cShot>& list, const cShot& shot)
{
    cShot& stored = list.Append(shot);
    if (cPlayState* lpState = PlayState()) FactionShots(*lpState, stored.m_Rec.m_nSide).PushBack(&stored);
    return &stored;
}

void AddCharaToFaction(cCharaBase* lpChara, int32_t bFront)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpChara == nullptr) return;
    cLinkList<cCharaBase>& list = FactionCharas(*lpState, lpChara->m_nFaction);
    if (bFront != 0)
        list.PushFront(lpChara);
    else
        list.PushBack(lpChara);
}

cStageList<cChara>::iterator RemoveEnemy(cStageList<cChara>::iterator position)
{
    if (position == CharaList.end()) return position;
    position->Unlink();
    return CharaList.Remove(position);
}

void RemoveEnemy(cChara& chara)
{
    chara.Unlink();
    CharaList.Remove(chara);
}

void RemoveShotFromStage(cShot& shot)
{
    shot.Unlink();
    if (cPlayState* lpState = PlayState()) lpState->m_ShotList.Remove(shot);
}

void RemoveItemFromStage(cItem& item)
{
    // Items are pointed at by key only (the hero's touched items), never by address.
    ItemList.Remove(item);
}

void SweepStageObjects(cPlayState& state)
{
    for (cLinkList<cCharaBase>& list : state.m_vFactionCharas) list.Sweep();
    for (cLinkList<cShot>& list : state.m_vFactionShots) list.Sweep();
    state.m_ShotList.Sweep();
    CharaList.Sweep();
    ItemList.Sweep();
    state.m_MessageList.Sweep();
    state.m_EffectList.Sweep();
    state.m_PictureList.Sweep();
}

void ClearStageObjects(cPlayState& state)
{
    // Nothing here writes through a pointer: every object forgets its own links and the lists are
    // emptied, so the order in which the objects go does not matter.
    for (cHero& hero : Player) hero.DropLinks();
    state.m_vFactionShots.assign(kFactionCount, cLinkList<cShot>());
    state.m_vFactionCharas.assign(kFactionCount, cLinkList<cCharaBase>());
    state.m_ShotList.Clear();
    CharaList.Clear();
    ItemList.Clear();
}

void ResetPlayers(int32_t nCount)
{
    for (cHero& hero : Player) hero.DropLinks();
    Player.clear();
    Player.resize(static_cast<size_t>(nCount < 0 ? 0 : nCount));
}
