#pragma once
// The bitmaps each stage loads: shot sheets, character bitmaps, swords, effects; and the picture
// and message surfaces it empties.

// Defined in StageResources.cpp.
void BuildShotSheets();
void LoadStageCharaBitmaps();
void LoadStageSwords();
void LoadStageEffects();
void ClearStagePictures();
void ClearMessageSurfaces();
