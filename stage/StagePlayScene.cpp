// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "stage/StagePlayScene.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

cStagePlayScene::cStagePlayScene()
{}

cStagePlayScene::~cStagePlayScene()
{}

int cStagePlayScene::RunFrame()
{ return {}; }

void cStagePlayScene::SetClosing()
{}

std::string* cStagePlayScene::RankingName()
{ return {}; }

cScene* MakeStagePlayScene()
{ return {}; }
