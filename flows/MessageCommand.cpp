// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/MessageCommand.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void CmdMessage(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

int32_t WorkMessage(cCharaBase* lpObject, cEdCommand* lpCmd, int32_t bMessageWait)
{ return {}; }
