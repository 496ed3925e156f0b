// The shot, sword and summon commands. A volley command launches once at its first sub-step and
// then once every tenth of a second (6 x S sub-steps) for its time; the sword command makes one
// sword per run. Each launch plays the command's sound, unless the command asks for sound only on
// screen and the object is off screen.
#include <cstdint>

#include "core/Log.h"
#include "objects/PlayNumbers.h"
#include "data/EdCommand.h"
#include "data/EdDatabase.h"
#include "data/EdStage.h"
#include "flows/FlowInstance.h"
#include "flows/ShotCommands.h"
#include "objects/CharaBase.h"
#include "objects/ObjectLinks.h"
#include "objects/Shot.h"
#include "objects/ShotLaunch.h"
#include "stage/PlayState.h"
#include "stage/StageSounds.h"

namespace {

void PlayLaunchSound(const cCharaBase* lpObject, const cEdCommand& cmd)
{
    if (cmd.m_nOption != 0 && lpObject->m_bOnScreen == 0) return;
    PlayProjectSound(cmd.m_nSound);
}

using Launcher = void (*)(cCharaBase* lpObject, cCommandInstance* lpInst, cEdShot* lpRecord);

void Volley(cCharaBase* lpObject, cCommandInstance* lpInst, Launcher launch)
{
    // A command without its shot record has nothing to launch.
    if (lpObject == nullptr || lpInst == nullptr || lpInst->m_lpCmd == nullptr || !lpInst->m_lpCmd->m_lpShot) return;
    cEdCommand& cmd = *lpInst->m_lpCmd;
    if (lpInst->m_nCalls == 0) {
        PlayLaunchSound(lpObject, cmd);
        launch(lpObject, lpInst, cmd.m_lpShot.get());
    }
    lpInst->m_nCalls += 1;
    if (lpInst->m_nCalls >= 6 * SubSteps()) lpInst->m_nCalls = 0;
}

void LaunchShotsHere(cCharaBase* lpObject, cCommandInstance* lpInst, cEdShot* lpRecord)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return;
    LaunchShots(&lpState->m_ShotList, lpObject, lpInst, lpRecord);
}

}  // namespace

void CmdShot(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    Volley(lpObject, lpInst, LaunchShotsHere);
}

void CmdSword(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpObject == nullptr || lpInst == nullptr || lpInst->m_lpCmd == nullptr || !lpInst->m_lpCmd->m_lpShot) return;
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return;
    cEdCommand& cmd = *lpInst->m_lpCmd;
    if (lpInst->m_nCalls == 0) {
        PlayLaunchSound(lpObject, cmd);
        cEdShot& record = *cmd.m_lpShot;
        const int32_t nType = record.m_nMoveKind;
        // A sword type the database does not hold, or one without steps, swings nothing.
        if (nType < 0 || static_cast<size_t>(nType) >= g_Database.m_vSwordType.size() ||
            g_Database.m_vSwordType[static_cast<size_t>(nType)].m_vSteps.empty()) {
            WriteReportLog("sword type %d has no steps", nType);
        } else {
            const cEdSwordTypeEntry& entry = g_Database.m_vSwordType[static_cast<size_t>(nType)].m_vSteps[0];
            ShotLaunch launch;
            launch.m_nCellWidth = entry.m_nWidth;
            launch.m_nCellHeight = entry.m_nHeight;
            cShot sword;
            sword.Init(lpState->m_nNextSummonId, lpObject, cmd.m_nKind, record, launch);
            cShot* lpStored = AddShotToStage(lpState->m_ShotList, sword);
            lpState->m_nNextSummonId += 1;
            lpStored->m_lpTargetChara = nullptr;
        }
    }
    lpInst->m_nCalls += 1;
}

void CmdSummonBlock(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    Volley(lpObject, lpInst, LaunchBlocks);
}

void CmdSummonChara(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    Volley(lpObject, lpInst, LaunchCharas);
}

void CmdSummonItem(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    Volley(lpObject, lpInst, LaunchItems);
}
