// The play state's life and its per-faction lists.
#include "stage/PlayState.h"

#include "core/CheckedAccess.h"
#include "objects/CharaBase.h"
#include "objects/ObjectLinks.h"

std::atomic<cPlayState*> lpPlayState{nullptr};

cPlayState::cPlayState()
    : m_vFactionCharas(kFactionCount), m_vFactionShots(kFactionCount),
      m_vStageVar(kStageVarCount, 0), m_vFlowSwitch(kFlowSwitchCount, 0)
{
}

cPlayState::~cPlayState()
{
    // The shots die with this state while characters still name them as incoming shots; the
    // stage's objects are torn down with it so that no pointer into it survives.
    if (lpPlayState.load() == this) {
        ClearStageObjects(*this);
        lpPlayState = nullptr;
    }
}

namespace {

// A faction outside the lists is a damaged record: reported like a bad vector index, and list 0
// is used (made when there is none, so that the caller always gets a list).
template <class T>
cLinkList<T>& FactionList(std::vector<cLinkList<T>>& vLists, int32_t nFaction)
{
    if (nFaction >= 0 && static_cast<size_t>(nFaction) < vLists.size())
        return vLists[static_cast<size_t>(nFaction)];
    ReportBadIndex("err V[%d] ( %d , %d )", nFaction, static_cast<int32_t>(vLists.size()), 12);
    if (vLists.empty()) vLists.resize(1);
    return vLists[0];
}

}  // namespace

cLinkList<cCharaBase>& FactionCharas(cPlayState& state, int32_t nFaction)
{
    return FactionList(state.m_vFactionCharas, nFaction);
}

cLinkList<cShot>& FactionShots(cPlayState& state, int32_t nFaction)
{
    return FactionList(state.m_vFactionShots, nFaction);
}
