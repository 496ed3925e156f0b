// The front end's game-wide objects, in their construction order: the menu cursor first, then the
// player's records, which are destroyed first at exit.
#include "frontend/MenuCursor.h"
#include "frontend/OptionData.h"
#include "frontend/RankingFile.h"

cMenuCursor MenuCursor;
cOptionData g_OptionData;
cRankingFile g_RankingFile;
