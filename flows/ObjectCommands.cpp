// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/ObjectCommands.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void CmdWarp(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdSetTarget(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdStatusFlag(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdVanish(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdTakeItem(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

int32_t WorkWarp(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkSetTarget(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkStatusFlag(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkVanish(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkTakeItem(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }
