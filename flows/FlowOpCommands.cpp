// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/FlowOpCommands.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void CmdFlowOperation(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdStageClear(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdGameWait(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

int32_t WorkStageClear(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkGameWait(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }
