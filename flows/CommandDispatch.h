#pragma once
// The handlers of the forty command kinds and the workers that flow commands share with item
// commands.
#include <cstdint>

class cCharaBase;
class cCommandInstance;
class cEdCommand;

using CommandHandler = void (*)(cCharaBase* lpObject, cCommandInstance* lpInst);
extern const CommandHandler CommandHandlerTable[40];

// Defined in CommandDispatch.cpp.
void DispatchCommand(cCharaBase* lpObject, cCommandInstance* lpInst);
