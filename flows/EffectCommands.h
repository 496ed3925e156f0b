#pragma once
// The effect and picture commands (kinds 29 and 32).
#include <cstdint>

class cCharaBase;
class cCommandInstance;
class cEdCommand;

// Defined in EffectCommands.cpp.
void CmdEffect(cCharaBase* lpObject, cCommandInstance* lpInst);             // 29
void CmdPicture(cCharaBase* lpObject, cCommandInstance* lpInst);            // 32
int32_t WorkEffect(cCharaBase* lpObject, cEdCommand* lpCmd);
int32_t WorkPicture(cCharaBase* lpObject, cEdCommand* lpCmd);
