// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/ShotCommands.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void CmdShot(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdSword(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdSummonBlock(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdSummonChara(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdSummonItem(cCharaBase* lpObject, cCommandInstance* lpInst)
{}
