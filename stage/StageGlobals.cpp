// The stage's game-wide containers, constructed in this order before the main function runs.
#include "stage/BlockMap.h"
#include "stage/CharaList.h"
#include "stage/ItemList.h"
#include "stage/Player.h"

std::vector<cHero> Player;
cStageList<cChara> CharaList;
cStageList<cItem> ItemList;
cBlockMap BlockMap;
