#pragma once
// The stage's items by value, in insertion order.
#include "objects/Item.h"
#include "objects/ObjectList.h"

extern cStageList<cItem> ItemList;
