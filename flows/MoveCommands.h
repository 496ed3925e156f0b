#pragma once
// The movement commands (kinds 2 to 10).
class cCharaBase;
class cCommandInstance;

// Defined in MoveCommands.cpp.
void CmdStraightMove(cCharaBase* lpObject, cCommandInstance* lpInst);       // 2
void CmdGroundTurnMove(cCharaBase* lpObject, cCommandInstance* lpInst);     // 3
void CmdCircleMove(cCharaBase* lpObject, cCommandInstance* lpInst);         // 4
void CmdChargeMove(cCharaBase* lpObject, cCommandInstance* lpInst);         // 5
void CmdHomingMove(cCharaBase* lpObject, cCommandInstance* lpInst);         // 6
void CmdScreenEdgeMove(cCharaBase* lpObject, cCommandInstance* lpInst);     // 7
void CmdStopMovement(cCharaBase* lpObject, cCommandInstance* lpInst);       // 8
void CmdTurn(cCharaBase* lpObject, cCommandInstance* lpInst);               // 9
void CmdJump(cCharaBase* lpObject, cCommandInstance* lpInst);               // 10
