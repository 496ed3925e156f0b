// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/PlayState.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cPlayState::SetStage(int32_t bRestart, int32_t bNewMusic)
{}

void cPlayState::ResetPlayCounters()
{}

int32_t cPlayState::UseLife(cSaveData& save)
{ return {}; }

void cPlayState::SpawnEnemy(cStageList<cChara>& list, int32_t c, int32_t r, int32_t* lpId, const cEdChara& placement, const cItem* lpCarried)
{}

void cPlayState::SpawnItem(cStageList<cItem>& list, int32_t c, int32_t r, int32_t* lpId, const cEdItem& placement)
{}

void cPlayState::SummonCharacter(cStageList<cChara>& list, double x, double y, int8_t nFaction, int8_t nFacing, const cEdShot& params, const cEdChara& definition, int32_t* lpId)
{}

void cPlayState::SummonItemObject(cStageList<cItem>& list, double x, double y, const cEdShot& params, const cEdItem& definition, int32_t* lpId)
{}

int32_t cPlayState::PlaceBlockAt(double x, double y, const cEdShot& params, const cEdBlock& block)
{ return {}; }

int32_t cPlayState::CrushAtCell(int32_t nCell, int32_t nCol, int32_t nRow, const cEdShot& params)
{ return {}; }
