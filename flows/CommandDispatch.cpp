// The command handlers by kind, in the numbering of CommandKindTable.
#include "flows/CommandDispatch.h"

#include "core/CheckedAccess.h"
#include "data/EdCommand.h"
#include "flows/EffectCommands.h"
#include "flows/FlowInstance.h"
#include "flows/FlowOpCommands.h"
#include "flows/MessageCommand.h"
#include "flows/MiscCommands.h"
#include "flows/MoveCommands.h"
#include "flows/ObjectCommands.h"
#include "flows/ShotCommands.h"
#include "flows/StatusOps.h"

// Kinds 0 and 1 ("ウエイト") have no handler: a wait only lasts its count.
const CommandHandler CommandHandlerTable[40] = {
    nullptr,            nullptr,           CmdStraightMove,    CmdGroundTurnMove,
    CmdCircleMove,      CmdChargeMove,     CmdHomingMove,      CmdScreenEdgeMove,
    CmdStopMovement,    CmdTurn,           CmdJump,            CmdShot,
    CmdSword,           CmdSummonBlock,    CmdSummonChara,     CmdSummonItem,
    CmdFlowOperation,   CmdStageClear,     CmdGameWait,        CmdMessage,
    CmdWarp,            CmdSetTarget,      CmdStatusOperation, CmdStatusFlag,
    CmdVanish,          CmdTakeItem,       CmdGraphicChange,   CmdBasicAnimeSet,
    CmdPlayAnime,       CmdEffect,         CmdCharaEffect,     CmdScreenEffect,
    CmdPicture,         CmdScreenColor,    CmdBackground,      CmdSound,
    CmdBgm,             CmdCode,           CmdArrange,         CmdLoop,
};

void DispatchCommand(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst == nullptr || lpInst->m_lpCmd == nullptr || lpInst->m_lpCmd->m_nFamily != 0) return;
    const int32_t nKind = lpInst->m_lpCmd->m_nKind;
    // A kind outside the table is a damaged record: reported like a bad index, and nothing runs
    // rather than a jump through a wild entry.
    if (nKind < 0 || nKind >= 40) {
        ReportBadIndex("err V[%d] ( %d , %d )", nKind, 40, static_cast<int32_t>(sizeof(CommandHandler)));
        return;
    }
    if (CommandHandlerTable[nKind] != nullptr) CommandHandlerTable[nKind](lpObject, lpInst);
}
