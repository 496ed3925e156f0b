// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/ItemCommands.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

int32_t FlowChangeCommand(cCharaBase* lpChara, cEdCommand* lpCmd, int32_t bDeferred)
{ return {}; }

const ItemCommandHandler ItemCommandHandlerTable[25] = {};
