// Set-up of the character core from its definition, its basic animation set and the bookkeeping
// of its flow instances.
#include <algorithm>

#include "core/CheckedAccess.h"
#include "data/EdAnime.h"
#include "data/EdDatabase.h"
#include "flows/FlowRuntime.h"
#include "media/input/KeyInput.h"
#include "objects/CharaBase.h"
#include "objects/Motion.h"
#include "stage/Player.h"

void cCharaBase::SetupFromDefinition(const cEdChara* lpDef, double dStartX, double dStartY,
                                     int32_t nFormationIndex)
{
    m_nFormationIndex = static_cast<int16_t>(nFormationIndex);
    m_vTargetedBy.clear();
    m_vShots.clear();
    // Only the outgoing side: the spawner enters the stored character in player 1's list once it
    // has its place in a list (a temporary must never be pointed at).
    m_lpTarget = Player.empty() ? nullptr : &CheckedAt(Player, 0);

    m_nFlowSerial = 0;
    m_vFlowIdRunning.assign(27, 0);
    m_vFlowIdStopped.assign(27, 0);
    m_vFlowIdStarted.assign(27, 0);
    m_bFlowIdStopped = 0;
    m_bFlowDeleted = 0;

    m_dStartX = dStartX;
    m_dStartY = dStartY;

    m_dForceX = m_dForceY = 0.0;
    m_bKnocked = 0;
    m_dLastForceY = 0.0;
    m_bGravityHold = 0;
    m_nLastWallSide = -1;
    m_bAirborne = 1;
    m_bJumpEnded = 0;
    m_bJumping = 0;
    m_bNewJumpBlock = 0;
    m_nFallCount = 0;
    m_bContactLeft = m_bContactRight = m_bContactTop = m_bContactBottom = 0;
    m_bBumped = 0;
    m_bRiding = 0;
    m_lpStandBlock = nullptr;
    m_lpLandBlock = nullptr;
    m_lpPrevStandBlock = nullptr;
    m_nResizeGrace = 0;
    m_nHP = 0;
    m_nSP = 0;
    m_HPGauge = GaugeDisplay{};
    m_SPGauge = GaugeDisplay{};

    m_vVar.assign(9, 0);

    if (lpDef != nullptr) {
        m_Def = *lpDef;
        m_nHP = m_Def.m_nMaxHP;
        m_nSP = m_Def.m_nMaxSP;
    }

    m_bScreenFixed = m_Def.m_bScrollSync;
    m_bRemoved = 0;
    m_bDefeated = 0;
    m_nSightRadius = HalfBlocksToPixels(m_Def.m_nSight);
    m_dStop = PercentToSpeed(m_Def.m_nStop);

    m_CharaEffect = cCharaEffect{};
    if (m_Def.m_nStartEffect != 0)
        m_CharaEffect.Start(m_Def.m_nStartEffect, m_Def.m_nStartEffectA, m_Def.m_nStartEffectB);

    m_nInvincible = 0;
    m_lHitAttackers.clear();

    SetBasicAnimeSet(m_Def.m_nAnimeSet, 1);

    m_lAnimeRequests.clear();
}

void cCharaBase::SetBasicAnimeSet(int16_t nSet, int32_t bForced)
{
    if (bForced == 0 && nSet == m_Def.m_nAnimeSet) return;
    m_Def.m_nAnimeSet = nSet;
    const std::vector<cEdAnimeSet>& vSets = g_Database.m_vAnimeSet;
    int32_t nIndex = nSet;
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= vSets.size()) {
        ReportBadIndex("err V[%d] ( %d , %d )", nIndex, static_cast<int32_t>(vSets.size()), 80);
        nIndex = 0;
    }
    m_Anime.m_nStep = 0;
    m_Anime.m_nTick = 0;
    if (vSets.empty()) {
        m_Anime.m_vPatterns.clear();
        return;
    }
    const std::vector<cEdAnime>& vAnimes = vSets[static_cast<size_t>(nIndex)].m_vAnimes;
    m_Anime.m_vPatterns.resize(vAnimes.size());
    for (size_t i = 0; i < vAnimes.size(); ++i) {
        AnimePattern& pattern = m_Anime.m_vPatterns[i];
        pattern.clear();
        pattern.reserve(vAnimes[i].m_vFrames.size() + 1);
        for (const cEdAnimeFrame& frame : vAnimes[i].m_vFrames) {
            // Tenths of a second to ticks; a time from a damaged file is held within an int32.
            const int64_t nTicks = std::clamp<int64_t>(static_cast<int64_t>(frame.m_nTime) * 6,
                                                       INT32_MIN, INT32_MAX);
            pattern.push_back({frame.m_nFrame, static_cast<int32_t>(nTicks), 1});
        }
        pattern.push_back({AnimeRestart, 0, 1});
    }
}

void cCharaBase::AddFlowInstance(const cFlowInstance& instance)
{
    m_vFlow.push_back(instance);
    RelinkFlowInstances();
}

void cCharaBase::RemoveFlowInstance(int32_t nIndex)
{
    if (nIndex >= 0 && static_cast<size_t>(nIndex) < m_vFlow.size()) {
        cFlowInstance& instance = m_vFlow[static_cast<size_t>(nIndex)];
        StopFlow(&instance, this);
        StopAnimeByKey(instance.m_nSerial);
    }
    std::vector<cEdFlow>& vDefs = m_Def.m_vFlow;
    if (nIndex >= 0 && static_cast<size_t>(nIndex) < vDefs.size())
        vDefs.erase(vDefs.begin() + nIndex);
    if (nIndex >= 0 && static_cast<size_t>(nIndex) < m_vFlow.size())
        m_vFlow.erase(m_vFlow.begin() + nIndex);
    RelinkFlowInstances();
}

void cCharaBase::ResetFlowFlags()
{
    for (cFlowInstance& instance : m_vFlow) {
        instance.m_bTriedThisFrame = 0;
        instance.m_bStartedThisFrame = 0;
    }
    std::fill(m_vFlowIdStarted.begin(), m_vFlowIdStarted.end(), 0);
}

int32_t FirstSetEntryIndex(const cKeyInput& input)
{
    const int32_t nLists = std::min<int32_t>(10, static_cast<int32_t>(input.m_vDirEvents.size()));
    for (int32_t i = 0; i < nLists; ++i) {
        const std::vector<KeyEventRun>& runs = input.m_vDirEvents[static_cast<size_t>(i)];
        if (!runs.empty() && runs.front().nState != 0) return i;
    }
    return 0;
}
