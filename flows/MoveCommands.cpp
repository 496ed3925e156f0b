// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/MoveCommands.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void CmdStraightMove(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdGroundTurnMove(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdCircleMove(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdChargeMove(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdHomingMove(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdScreenEdgeMove(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdStopMovement(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdTurn(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdJump(cCharaBase* lpObject, cCommandInstance* lpInst)
{}
