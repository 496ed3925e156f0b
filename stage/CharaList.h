#pragma once
// The stage's computer characters by value, in insertion order: placements first, then summons.
#include "objects/Chara.h"
#include "objects/ObjectList.h"

extern cStageList<cChara> CharaList;
