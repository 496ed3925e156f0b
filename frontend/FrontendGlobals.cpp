// The front end's game-wide objects, in their construction order: the menu cursor first, then the
// player's records, which are destroyed first at exit.
#include "frontend/MenuCursor.h"
#include "frontend/RankingFile.h"
#include "frontend/SaveData.h"

cMenuCursor MenuCursor;
cSaveData g_SaveData;
cSaveData SaveSnapshotCurrent;
cSaveData SaveSnapshotPrevious;
std::vector<cSaveSlotInfo> SaveSlots;
cRankingFile g_RankingFile;
