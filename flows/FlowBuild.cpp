// Building a character's flow instances from its definitions: "ループ" expansion, the
// instances with their command counts and movement preparation, flows added and deleted by
// change group, and the schedule of the animations that commands play.
#include "flows/FlowBuild.h"
#include "objects/PlayNumbers.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "data/AnimePattern.h"
#include "data/EdCommand.h"
#include "data/EdDatabase.h"
#include "data/EdFlow.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "flows/FlowInstance.h"
#include "flows/FlowRuntime.h"
#include "objects/CharaBase.h"
#include "objects/MoveSolve.h"

namespace {

constexpr int32_t kKindJump = 10;
constexpr int32_t kKindSword = 12;
constexpr int32_t kKindLoop = 39;
constexpr int32_t kItemKindLoop = 24;

// Loops come from files: repetitions nested in repetitions, or a loop whose body is another
// loop, could grow a list without end or expand for ever. Past these bounds the remaining loops
// are dropped (their bodies stay once).
constexpr int64_t kMaxExpandedCommands = 4096;
constexpr int32_t kMaxLoopPasses = 4096;

bool IsLoop(const cEdCommand& cmd)
{
    return (cmd.m_nFamily == 0 && cmd.m_nKind == kKindLoop) ||
           (cmd.m_nFamily != 0 && cmd.m_nKind == kItemKindLoop);
}

int16_t ClampToInt16(int64_t n)
{
    return static_cast<int16_t>(std::clamp<int64_t>(n, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

// Sub-steps a command runs: its tenths of a second (with the per-clone step) × 6 × S, computed
// wide so that a damaged duration cannot wrap into a short or negative count.
int32_t InitialCount(const cEdCommand& cmd, int32_t nClone)
{
    const int64_t nTenths = static_cast<int64_t>(cmd.m_nTime) +
                            static_cast<int64_t>(cmd.m_nTimeStep) * nClone;
    return ClampToInt32(nTenths * SubSteps() * 6);
}

// Expands the first loop, repeating its body at most so often that the list stays within
// nMaxLength commands.
int32_t ExpandFirstLoopWithin(std::vector<cEdCommand>& vCommands, int64_t nMaxLength,
                              bool& bCapped)
{
    const auto it = std::find_if(vCommands.begin(), vCommands.end(), IsLoop);
    if (it == vCommands.end()) return 0;
    const int64_t j = it - vCommands.begin();
    const int64_t nCount = static_cast<int64_t>(vCommands.size());
    const int64_t nRepeat = CheckedAt(it->m_vParam, 0);
    int64_t h = CheckedAt(it->m_vParam, 1);
    if (j + h >= nCount) h = nCount - j - 1;
    if (h > 0 && nRepeat > 1) {
        int64_t nCopies = nRepeat - 1;
        const int64_t nRoom = nMaxLength - nCount;
        if (nCopies * h > nRoom) {
            nCopies = nRoom > 0 ? nRoom / h : 0;
            bCapped = true;
        }
        if (nCopies > 0) {
            const auto body = it + 1;
            std::vector<cEdCommand> vCopies;
            vCopies.reserve(static_cast<size_t>(nCopies * h));
            for (int64_t c = 0; c < nCopies; ++c) vCopies.insert(vCopies.end(), body, body + h);
            vCommands.insert(vCommands.begin() + j + 1, std::make_move_iterator(vCopies.begin()),
                             std::make_move_iterator(vCopies.end()));
        }
    }
    vCommands.erase(vCommands.begin() + j);
    return 1;
}

// Frames of an animation up to the frame that marks the command's moment, in game frames.
int32_t AnimeLength(int32_t nAnime)
{
    const cEdAnime& anime = CheckedAt(g_Database.m_vAnime, nAnime);
    int64_t nTenths = 0;
    for (const cEdAnimeFrame& frame : anime.m_vFrames) {
        if (frame.m_bAction != 0) break;
        nTenths += frame.m_nTime;
    }
    return ClampToInt32(nTenths * 6);
}

void BuildAnimeSchedule(cFlowInstance& inst)
{
    inst.m_vSchedule.clear();
    const int32_t S = SubSteps();
    int64_t t = 0;
    for (size_t j = 0; j < inst.m_vCmd.size(); ++j) {
        const cCommandInstance& ci = inst.m_vCmd[j];
        if (ci.m_lpCmd == nullptr) continue;
        const cEdCommand& cmd = *ci.m_lpCmd;
        if (cmd.m_nAnime != 0) {
            const int32_t L = AnimeLength(cmd.m_nAnime);
            const int64_t W = static_cast<int64_t>(L) * S;
            AnimeSchedule entry;
            entry.m_nAnime = cmd.m_nAnime;
            entry.m_nLength = ClampToInt16(L);
            entry.m_nCommandFrames = ClampToInt16(static_cast<int64_t>(cmd.m_nTime) * 6);
            const int32_t nKind = cmd.FlowKind();
            entry.m_bHold = nKind == kKindSword || nKind == kKindJump ? 0 : 1;
            int64_t nLeft = W;
            bool bAbsorbed = false;
            for (size_t k = j; k-- > 0 && !bAbsorbed;) {
                const cCommandInstance& earlier = inst.m_vCmd[k];
                if (earlier.m_lpCmd != nullptr && earlier.m_lpCmd->m_bSameFrame == 1) continue;
                nLeft -= earlier.m_nInitialCount;
                bAbsorbed = nLeft <= 0;
            }
            if (bAbsorbed) {
                entry.m_nStart = ClampToInt32(t - W);
            } else {
                // The flow starts too soon for the whole animation: it starts with the flow,
                // already advanced by the part that did not fit.
                const int64_t nSkip = std::min<int64_t>(nLeft / S, L);
                entry.m_nStart = 0;
                entry.m_nSkip = ClampToInt16(nSkip);
                entry.m_nLength = ClampToInt16(L - nSkip);
            }
            inst.m_vSchedule.push_back(entry);
        }
        if (cmd.m_bSameFrame != 1) t += ci.m_nInitialCount;
    }
}

// The movement preparation of a command that holds movement settings.
void PrepareMovement(cCharaBase* lpObject, cCommandInstance& ci)
{
    cEdCommand* lpCmd = ci.m_lpCmd;
    if (lpCmd == nullptr || lpCmd->m_nFamily != 0) return;
    if (lpCmd->m_lpMove) {
        const cEdMove& move = *lpCmd->m_lpMove;
        const double S = static_cast<double>(SubSteps());
        const int32_t nSpeed = move.m_nSpeed + lpObject->m_nFormationIndex * move.m_nSpeedStep;
        ci.m_dSpeed = static_cast<double>(nSpeed) * 0.1 / S;
        if (move.m_bInertia != 0) ci.m_dMaxSpeed = static_cast<double>(move.m_nMaxSpeed) * 0.1 / S;
        ci.m_nDirChoice = move.m_nDirection;
    }
    // The jump prepares from its parameters; every other preparation reads the movement record.
    const int32_t nKind = lpCmd->m_nKind;
    if (!lpCmd->m_lpMove && nKind != kKindJump) return;
    if (nKind >= 0 && nKind < 40 && MoveSetupTable[nKind] != nullptr) MoveSetupTable[nKind](lpObject, &ci);
}

// Walks an animation player forward by a number of frames over its first pattern's steps; an
// end code holds it where it is.
void SkipAnimeFrames(cAnimePlayer& player, int32_t nFrames)
{
    if (player.m_vPatterns.empty()) return;
    const AnimePattern& pattern = player.m_vPatterns[0];
    while (nFrames > 0 && static_cast<size_t>(player.m_nStep) < pattern.size()) {
        const AnimeStep& step = pattern[static_cast<size_t>(player.m_nStep)];
        if (step.m_nFrame < 0) return;
        const int32_t nLeftInStep = step.m_nDuration - player.m_nTick;
        if (nFrames < nLeftInStep) {
            player.m_nTick += nFrames;
            return;
        }
        nFrames -= nLeftInStep > 0 ? nLeftInStep : 0;
        if (static_cast<size_t>(player.m_nStep) + 1 >= pattern.size()) {
            player.m_nTick = step.m_nDuration;
            return;
        }
        ++player.m_nStep;
        player.m_nTick = 0;
    }
}

}   // namespace

int32_t ExpandFirstLoop(std::vector<cEdCommand>& vCommands)
{
    bool bCapped = false;
    return ExpandFirstLoopWithin(vCommands, kMaxExpandedCommands, bCapped);
}

void ExpandLoops(std::vector<cEdCommand>& vCommands)
{
    bool bCapped = false;
    for (int32_t nPasses = 0;; ++nPasses) {
        if (bCapped || nPasses >= kMaxLoopPasses) {
            vCommands.erase(std::remove_if(vCommands.begin(), vCommands.end(), IsLoop), vCommands.end());
            bCapped = true;
            break;
        }
        if (ExpandFirstLoopWithin(vCommands, kMaxExpandedCommands, bCapped) == 0) break;
    }
    if (bCapped) WriteReportLog("ループの展開を打ち切りました ( %d )", static_cast<int32_t>(vCommands.size()));
}

void BuildFlowInstances(cCharaBase* lpObject, std::vector<cEdFlow>& vFlows, int32_t bAdd,
                        int32_t nPosition)
{
    if (lpObject == nullptr) return;
    for (cEdFlow& flow : vFlows) ExpandLoops(flow.m_vCommand);

    std::vector<cEdFlow>& vDefs = lpObject->m_Def.m_vFlow;
    size_t nFirst = 0;
    size_t nNew = vFlows.size();
    if (bAdd == 0) {
        if (&vFlows != &vDefs) CopyFlowList(vDefs, vFlows);
        nNew = vDefs.size();
        lpObject->m_vFlow.clear();
        lpObject->m_vFlow.resize(nNew);
    } else {
        // Copies first: the flows added may never be read from the list being changed.
        std::vector<cEdFlow> vCopies(vFlows.begin(), vFlows.end());
        const size_t nOld = lpObject->m_vFlow.size();
        nFirst = nPosition >= 0 && static_cast<size_t>(nPosition) < nOld ? static_cast<size_t>(nPosition) : nOld;
        if (nFirst > vDefs.size()) nFirst = vDefs.size();
        vDefs.insert(vDefs.begin() + static_cast<std::ptrdiff_t>(nFirst), vCopies.begin(), vCopies.end());
        lpObject->m_vFlow.insert(lpObject->m_vFlow.begin() + static_cast<std::ptrdiff_t>(nFirst), nNew,
                                 cFlowInstance{});
    }
    for (size_t j = 0; j < nNew; ++j) {
        cFlowInstance& inst = lpObject->m_vFlow[nFirst + j];
        inst.m_vCmd.resize(vDefs[nFirst + j].m_vCommand.size());
    }
    lpObject->RelinkFlowInstances();

    const int32_t nClone = lpObject->m_nFormationIndex;
    for (size_t j = 0; j < nNew; ++j) {
        cFlowInstance& inst = lpObject->m_vFlow[nFirst + j];
        inst.m_nSerial = lpObject->m_nFlowSerial++;
        if (bAdd != 0 && inst.m_lpFlow != nullptr && inst.m_lpFlow->m_nKeyMode == 0) inst.m_bKeyLatch = 1;
        for (cCommandInstance& ci : inst.m_vCmd) {
            if (ci.m_lpCmd == nullptr) continue;
            ci.m_nInitialCount = InitialCount(*ci.m_lpCmd, nClone);
            PrepareMovement(lpObject, ci);
        }
        BuildAnimeSchedule(inst);
    }
}

int32_t DeleteFlowsByGroup(cCharaBase* lpObject, int32_t nGroup)
{
    if (lpObject == nullptr) return -1;
    std::vector<cFlowInstance>& vInst = lpObject->m_vFlow;
    std::vector<cEdFlow>& vDefs = lpObject->m_Def.m_vFlow;
    if (nGroup == 0) {
        for (cFlowInstance& inst : vInst) StopFlow(&inst, lpObject);
        vInst.clear();
        vDefs.clear();
        lpObject->m_lAnimeRequests.clear();
        lpObject->RelinkFlowInstances();
        return 0;
    }
    int32_t nFirst = -1;
    size_t i = 0;
    while (i < vInst.size()) {
        const cEdFlow* lpFlow = vInst[i].m_lpFlow;
        if (lpFlow == nullptr || lpFlow->m_nGroup == 0 || lpFlow->m_nGroup != nGroup) {
            ++i;
            continue;
        }
        StopFlow(&vInst[i], lpObject);
        lpObject->StopAnimeByKey(vInst[i].m_nSerial);
        vInst.erase(vInst.begin() + static_cast<std::ptrdiff_t>(i));
        if (i < vDefs.size()) vDefs.erase(vDefs.begin() + static_cast<std::ptrdiff_t>(i));
        lpObject->RelinkFlowInstances();
        if (nFirst < 0) nFirst = static_cast<int32_t>(i);
    }
    return nFirst;
}

void ApplyFlowAnimations(cCharaBase* lpObject)
{
    if (lpObject == nullptr) return;
    for (cFlowInstance& inst : lpObject->m_vFlow) {
        if (inst.m_bRunning == 0 || inst.m_bPaused != 0) continue;
        for (const AnimeSchedule& entry : inst.m_vSchedule) {
            if (entry.m_nStart != inst.m_nSteps) continue;
            cAnimeRequest& request = lpObject->m_lAnimeRequests.emplace_back();
            request.m_bTimed = 1;
            request.m_nRemaining = entry.m_nLength;
            request.m_nCommandFrames = entry.m_nCommandFrames;
            request.m_nKey = inst.m_nSerial;
            request.m_bHold = 0;
            cAnimePlayer& player = request.m_Player;
            player.m_vPatterns.assign(1, CheckedAt(g_AnimePatternTable, entry.m_nAnime));
            player.m_nPattern = 0;
            player.m_nStep = 0;
            player.m_nTick = 0;
            if (entry.m_nSkip != 0) SkipAnimeFrames(player, entry.m_nSkip);
            AnimePattern& pattern = player.m_vPatterns[0];
            if (entry.m_nCommandFrames >= 2 && entry.m_bHold == 1 && !pattern.empty()) {
                // The animation holds its action frame while the command runs.
                for (AnimeStep& step : pattern) {
                    if (step.m_bHold == 0) continue;
                    step.m_nDuration += entry.m_nCommandFrames - 1;
                    break;
                }
            }
        }
    }
}

void SolveTimeSpeedDistance(cCommandInstance* lpInst, const cEdCommand& command, int32_t nClone)
{
    if (lpInst == nullptr || !command.m_lpMove) return;
    const cEdMove& move = *command.m_lpMove;
    double D = static_cast<double>(move.m_nDistance);
    if (move.m_nDistanceStep != 0)
        D = static_cast<double>(move.m_nDistance) + static_cast<double>(nClone) * move.m_nDistanceStep;
    if (move.m_nDistanceUnit == 0) D = D * 16.0;
    switch (move.m_nSolveMode) {
    case 1: {
        // A command of no time still runs one step: it covers the distance in that step.
        const int32_t nSteps = lpInst->m_nInitialCount > 0 ? lpInst->m_nInitialCount : 1;
        lpInst->m_dSpeed = D / static_cast<double>(nSteps);
        break;
    }
    case 2: {
        // At speed 0 the distance is never covered: the command keeps its own time.
        if (lpInst->m_dSpeed == 0.0 || !std::isfinite(lpInst->m_dSpeed)) break;
        const double dCount = std::trunc(D / lpInst->m_dSpeed);
        int64_t nCount = 0;
        if (dCount >= 2147483647.0) nCount = 2147483647;
        else if (dCount <= -2147483647.0) nCount = -2147483647;
        else nCount = static_cast<int64_t>(dCount);
        if (nCount < 0 && g_System.KeepNegativeMoveTime() == 0) nCount = -nCount;
        lpInst->m_nInitialCount = static_cast<int32_t>(nCount);
        break;
    }
    default:
        break;
    }
}
