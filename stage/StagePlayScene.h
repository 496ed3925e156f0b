#pragma once
// Scene 4 of the scene manager: plays one stage from its start banner to its fade-out. The state
// it plays lives in its base cPlayState.
#include <string>

#include "shell/SceneManager.h"
#include "stage/PlayState.h"

class cStagePlayScene : public cScene, public cPlayState {
public:
    // Defined in StagePlayScene.cpp.
    cStagePlayScene();
    ~cStagePlayScene() override;

    int RunFrame() override;
    void SetClosing() override;
    std::string* RankingName() override;
};

// The scene manager's factory for scene 4.
cScene* MakeStagePlayScene();
