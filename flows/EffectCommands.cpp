// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/EffectCommands.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void CmdEffect(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdPicture(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

int32_t WorkEffect(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkPicture(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }
