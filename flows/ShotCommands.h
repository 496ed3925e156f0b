#pragma once
// The shot, sword and summon commands (kinds 11 to 15).
class cCharaBase;
class cCommandInstance;

// Defined in ShotCommands.cpp.
void CmdShot(cCharaBase* lpObject, cCommandInstance* lpInst);               // 11
void CmdSword(cCharaBase* lpObject, cCommandInstance* lpInst);              // 12
void CmdSummonBlock(cCharaBase* lpObject, cCommandInstance* lpInst);        // 13
void CmdSummonChara(cCharaBase* lpObject, cCommandInstance* lpInst);        // 14
void CmdSummonItem(cCharaBase* lpObject, cCommandInstance* lpInst);         // 15
