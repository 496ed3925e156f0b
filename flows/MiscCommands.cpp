// The thin commands: each changes one thing of the object or the stage every time it is stepped
// and keeps no counter of its own.
#include "flows/MiscCommands.h"

#include "core/CheckedAccess.h"
#include "data/AnimePattern.h"
#include "data/EdCommand.h"
#include "data/EdStage.h"
#include "flows/Evaluator.h"
#include "flows/FlowInstance.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/GraphicsState.h"
#include "objects/CharaBase.h"
#include "objects/Hero.h"
#include "stage/PlayState.h"
#include "stage/Player.h"
#include "stage/StageLayers.h"
#include "stage/StageSounds.h"

namespace {

int32_t Param(cEdCommand* lpCmd, int32_t i)
{
    return CheckedAt(lpCmd->m_vParam, i);
}

}   // namespace

int32_t WorkGraphicChange(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    if (lpObject == nullptr || lpCmd == nullptr) return 0;
    const int16_t nGraphic = static_cast<int16_t>(Param(lpCmd, 1));
    lpObject->m_Def.m_nGraphicKind = static_cast<int8_t>(Param(lpCmd, 0));
    lpObject->m_Def.m_nGraphicIndex = nGraphic;
    lpObject->m_nGraphic = nGraphic;
    lpObject->m_Def.m_nGraphicSub = static_cast<int16_t>(Param(lpCmd, 2));
    return 0;
}

int32_t WorkBasicAnimeSet(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    if (lpObject == nullptr || lpCmd == nullptr) return 0;
    // The set number is stored unsigned; a number past the list is reported by the set-up.
    const uint16_t nSet = static_cast<uint16_t>(Param(lpCmd, 0));
    lpObject->SetBasicAnimeSet(static_cast<int16_t>(nSet), 0);
    return 0;
}

int32_t WorkPlayAnime(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    if (lpObject == nullptr || lpCmd == nullptr) return 0;
    const cPlayState* lpState = PlayState();
    // Keyed by the running flow, so that stopping or pausing it reaches the animation; without
    // a flow no flow operation can.
    const int32_t nKey = lpState != nullptr && lpState->m_lpCurFlow != nullptr ? lpState->m_lpCurFlow->m_nSerial : -1;
    const AnimePattern& pattern = CheckedAt(g_AnimePatternTable, Param(lpCmd, 0));
    cAnimeRequest& request = lpObject->m_lAnimeRequests.emplace_front();
    request.m_bTimed = 0;
    request.m_nRemaining = 0;
    request.m_nCommandFrames = 0;
    request.m_nKey = nKey;
    request.m_bHold = 0;
    request.m_Player.m_vPatterns.assign(1, pattern);
    request.m_Player.m_nPattern = 0;
    request.m_Player.m_nStep = 0;
    request.m_Player.m_nTick = 0;
    return 0;
}

int32_t WorkCharaEffect(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    if (lpObject == nullptr || lpCmd == nullptr) return 0;
    lpObject->m_CharaEffect.Start(static_cast<int16_t>(Param(lpCmd, 0)), Param(lpCmd, 1), Param(lpCmd, 2));
    return 0;
}

int32_t WorkScreenEffect(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    (void)lpObject;
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpCmd == nullptr) return 0;
    lpState->m_ScreenEffect.Start(Param(lpCmd, 0), Param(lpCmd, 1), Param(lpCmd, 2));
    // No screen effect left: the stage is drawn straight to the back buffer again.
    if (lpState->m_ScreenEffect.m_nScrEffect == 0 && lpDTCon != nullptr && lpDTCon->bVirBackBuffer != 0)
        DDSetVirtualBackBuffer(0);
    return 0;
}

int32_t WorkScreenColor(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    (void)lpObject;
    if (lpCmd == nullptr) return 0;
    // The tone reads the command's parameters; an item command has no running instance.
    cCommandInstance inst;
    inst.m_lpCmd = lpCmd;
    SetScreenTone(&inst);
    return 0;
}

int32_t WorkBackground(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    (void)lpObject;
    if (lpCmd == nullptr) return 0;
    const int32_t nNumber = Param(lpCmd, 0);
    if (nNumber < 1 || static_cast<size_t>(nNumber) > g_Stage.m_vBackground.size()) return 0;
    cEdStageBackground& background = g_Stage.m_vBackground[static_cast<size_t>(nNumber - 1)];
    switch (Param(lpCmd, 1)) {
    case 0: background.m_bShown = 1; break;
    case 1: background.m_bShown = 0; break;
    case 2: background.m_bShown = background.m_bShown != 0 ? 0 : 1; break;
    default: break;
    }
    return 0;
}

int32_t WorkSound(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    if (lpCmd == nullptr) return 0;
    // The option byte asks for sound only while the object is on screen.
    if (lpCmd->m_nOption != 0 && lpObject != nullptr && lpObject->m_bOnScreen == 0) return 0;
    PlayProjectSound(static_cast<int16_t>(Param(lpCmd, 0)));
    return 0;
}

int32_t WorkBgm(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    (void)lpObject;
    if (lpCmd == nullptr) return 0;
    RequestStageBgm(Param(lpCmd, 0), Param(lpCmd, 1));
    return 0;
}

int32_t WorkCode(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    if (lpCmd == nullptr) return 0;
    EvaluateCode(lpCmd->m_strText, lpObject);
    return 0;
}

int32_t WorkArrange(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    (void)lpObject;
    if (lpCmd == nullptr) return 0;
    ParamBinding binding;
    binding.m_nKind = Param(lpCmd, 0);
    binding.m_nParam = Param(lpCmd, 1);
    binding.m_nOperation = Param(lpCmd, 2);
    binding.m_nScope = Param(lpCmd, 3);
    binding.m_nVariable = Param(lpCmd, 4);
    if (lpCmd->m_nFamily == 0) {
        cPlayState* lpState = PlayState();
        if (lpState != nullptr && lpState->m_lpCurFlow != nullptr) lpState->m_lpCurFlow->m_lBindings.push_back(binding);
    } else if (!Player.empty()) {
        // Item commands bind the next item commands player 1's hero runs.
        Player[0].m_lBindings.push_back(binding);
    }
    return 0;
}

int32_t WorkLoop(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    // Loops are expanded when the instances are built; nothing is left to run.
    (void)lpObject;
    (void)lpCmd;
    return 0;
}

namespace {

template <int32_t (*Worker)(cCharaBase*, cEdCommand*)>
void RunWorker(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst != nullptr && lpInst->m_lpCmd != nullptr) Worker(lpObject, lpInst->m_lpCmd);
}

}   // namespace

void CmdGraphicChange(cCharaBase* lpObject, cCommandInstance* lpInst) { RunWorker<WorkGraphicChange>(lpObject, lpInst); }
void CmdBasicAnimeSet(cCharaBase* lpObject, cCommandInstance* lpInst) { RunWorker<WorkBasicAnimeSet>(lpObject, lpInst); }
void CmdPlayAnime(cCharaBase* lpObject, cCommandInstance* lpInst) { RunWorker<WorkPlayAnime>(lpObject, lpInst); }
void CmdCharaEffect(cCharaBase* lpObject, cCommandInstance* lpInst) { RunWorker<WorkCharaEffect>(lpObject, lpInst); }
void CmdScreenEffect(cCharaBase* lpObject, cCommandInstance* lpInst) { RunWorker<WorkScreenEffect>(lpObject, lpInst); }
void CmdScreenColor(cCharaBase* lpObject, cCommandInstance* lpInst) { RunWorker<WorkScreenColor>(lpObject, lpInst); }
void CmdBackground(cCharaBase* lpObject, cCommandInstance* lpInst) { RunWorker<WorkBackground>(lpObject, lpInst); }
void CmdSound(cCharaBase* lpObject, cCommandInstance* lpInst) { RunWorker<WorkSound>(lpObject, lpInst); }
void CmdBgm(cCharaBase* lpObject, cCommandInstance* lpInst) { RunWorker<WorkBgm>(lpObject, lpInst); }
void CmdCode(cCharaBase* lpObject, cCommandInstance* lpInst) { RunWorker<WorkCode>(lpObject, lpInst); }
void CmdArrange(cCharaBase* lpObject, cCommandInstance* lpInst) { RunWorker<WorkArrange>(lpObject, lpInst); }
void CmdLoop(cCharaBase* lpObject, cCommandInstance* lpInst) { RunWorker<WorkLoop>(lpObject, lpInst); }
