#pragma once
// The message command (kind 19).
#include <cstdint>

class cCharaBase;
class cCommandInstance;
class cEdCommand;

// Defined in MessageCommand.cpp.
void CmdMessage(cCharaBase* lpObject, cCommandInstance* lpInst);            // 19
// bMessageWait: the flow's message wait, or for items whether an item message was shown.
int32_t WorkMessage(cCharaBase* lpObject, cEdCommand* lpCmd, int32_t bMessageWait);
