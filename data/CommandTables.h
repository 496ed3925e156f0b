#pragma once
// The vocabulary that fixes the numbering of stored flow values: the command kinds of flows and
// of items with their parameter counts, and the flow triggers. Only the parameter counts are read
// while the game runs; the names are the authoring vocabulary.
#include <cstdint>

struct CommandKindEntry {
    const char* m_lpName;
    int32_t m_nParamCount;
};

constexpr int32_t kCommandKindCount = 40;
constexpr int32_t kItemCommandKindCount = 25;
constexpr int32_t kTriggerCount = 20;
// Item kind k from 2 on is flow kind k + 15.
constexpr int32_t kItemKindOffset = 15;

extern const CommandKindEntry CommandKindTable[kCommandKindCount];
extern const CommandKindEntry ItemCommandKindTable[kItemCommandKindCount];
// Trigger names by trigger number, ended by an empty entry.
extern const char* const TriggerTable[kTriggerCount + 1];

// Parameter count of a command kind in its family (0 flow commands, other values item commands);
// -1 for a kind outside its table.
int32_t CommandParamCount(int32_t nFamily, int32_t nKind);

// The direction code of a nine-way direction choice (0 front, 1 left, 2 right, 3 up, 4 down,
// 5 up-left, 6 down-left, 7 up-right, 8 down-right); front is right (3) or left (2) by facing.
int32_t DirectionFromChoice(int32_t nChoice, int32_t bFacingRight);
