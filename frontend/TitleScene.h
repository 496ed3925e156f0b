#pragma once
// Scene 0: the title menu, which starts every game mode (new story, continue from a save slot,
// challenge, free play from a stage file, replay), opens the options and ends the program.
#include <cstdint>
#include <vector>

#include "frontend/MenuScene.h"

class cTitleScene : public cMenuScene {
public:
    cTitleScene();
    ~cTitleScene() override;
    void Enter() override;
    void FadeIn() override;
    void FadeOut() override;

    const std::vector<int32_t>& Items() const { return m_vItems; }

private:
    void TitleMenuPhase();
    void ContinueSlotPhase();
    void DrawMenuPanel();
    void DrawTitleFrame();

    std::vector<int32_t> m_vItems;   // title choices offered, in list order
    int32_t m_nSlotTop = 0;
    int32_t m_nSlotRows = 0;
};

// The title menu's origin: x becomes centred on the picture in picture mode, for the rest of the
// run.
extern int32_t TitleMenuX;
extern int32_t TitleMenuY;

// Asks the main window to choose and load a stage file (free play); 1 when one was loaded.
int OpenStageFileViaUi();
// Asks the main window to choose and load a replay; 1 when one was loaded.
int LoadReplayViaUi();
