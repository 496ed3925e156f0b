#pragma once
// Flow operation, stage clear and game wait (kinds 16 to 18).
#include <cstdint>

class cCharaBase;
class cCommandInstance;
class cEdCommand;

// Defined in FlowOpCommands.cpp.
void CmdFlowOperation(cCharaBase* lpObject, cCommandInstance* lpInst);      // 16
void CmdStageClear(cCharaBase* lpObject, cCommandInstance* lpInst);         // 17
void CmdGameWait(cCharaBase* lpObject, cCommandInstance* lpInst);           // 18
int32_t WorkStageClear(cCharaBase* lpObject, cEdCommand* lpCmd);
int32_t WorkGameWait(cCharaBase* lpObject, cEdCommand* lpCmd);
