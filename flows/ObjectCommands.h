#pragma once
// Warp, target, status flags, vanish and take-item (kinds 20, 21, 23, 24, 25).
#include <cstdint>

class cCharaBase;
class cCommandInstance;
class cEdCommand;

// Defined in ObjectCommands.cpp.
void CmdWarp(cCharaBase* lpObject, cCommandInstance* lpInst);               // 20
void CmdSetTarget(cCharaBase* lpObject, cCommandInstance* lpInst);          // 21
void CmdStatusFlag(cCharaBase* lpObject, cCommandInstance* lpInst);         // 23
void CmdVanish(cCharaBase* lpObject, cCommandInstance* lpInst);             // 24
void CmdTakeItem(cCharaBase* lpObject, cCommandInstance* lpInst);           // 25
int32_t WorkWarp(cCharaBase* lpObject, cEdCommand* lpCmd);
int32_t WorkSetTarget(cCharaBase* lpObject, cEdCommand* lpCmd);
int32_t WorkStatusFlag(cCharaBase* lpObject, cEdCommand* lpCmd);
int32_t WorkVanish(cCharaBase* lpObject, cEdCommand* lpCmd);
int32_t WorkTakeItem(cCharaBase* lpObject, cEdCommand* lpCmd);
