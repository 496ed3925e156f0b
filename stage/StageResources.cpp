// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/StageResources.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void BuildShotSheets()
{}

void LoadStageCharaBitmaps()
{}

void LoadStageSwords()
{}

void LoadStageEffects()
{}

void ClearStagePictures()
{}

void ClearMessageSurfaces()
{}
