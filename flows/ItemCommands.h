#pragma once
// The item commands: the handler table by item kind and the item-only "フローの変更".
#include <cstdint>

class cCharaBase;
class cEdCommand;

// (character, command) -> non-zero stops the item's command list.
using ItemCommandHandler = int32_t (*)(cCharaBase* lpChara, cEdCommand* lpCmd);
extern const ItemCommandHandler ItemCommandHandlerTable[25];

// Defined in ItemCommands.cpp.
int32_t FlowChangeCommand(cCharaBase* lpChara, cEdCommand* lpCmd, int32_t bDeferred);
// The handler of the command's item kind; a kind outside the table is reported and runs nothing.
int32_t RunItemCommand(cCharaBase* lpChara, cEdCommand* lpCmd);
