#pragma once
// Helpers of the stage picture.
#include <cstdint>

class cCharaBase;
class cShot;
class cItem;

// Defined in StageDraw.cpp.
// The drawing priority 0..7 of an object (0 furthest back).
int32_t DrawPriorityOf(const cCharaBase& chara);
int32_t DrawPriorityOf(const cShot& shot);
int32_t DrawPriorityOf(const cItem& item);
// Whether the pause menu hides the stage (only the front background layers and the tone).
bool StageHiddenInPause();
