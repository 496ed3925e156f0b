#pragma once
// Scene 5: the player's options (palette pattern, music, volume, ranking registration mode,
// player name), applied as they change and written to "user_data\Option.dat" when left.
#include <cstdint>
#include <vector>

#include "frontend/MenuScene.h"

class cOptionsScene : public cMenuScene {
public:
    cOptionsScene();
    ~cOptionsScene() override;
    void Enter() override;
    void FadeIn() override;
    void FadeOut() override;

private:
    void OptionsPhase();
    void DrawScreen();
    void ShowScreen();
    void ApplyValue();

    std::vector<int32_t> m_vItems;
    int32_t m_nKind = 0;            // the option being edited
    int32_t m_nValueBefore = 0;
    int32_t* m_lpValue = nullptr;
    int32_t m_nMin = 0;
    int32_t m_nMax = 0;
};

// Sets every sound's volume to the option's level.
void ApplyOptionVolume(int32_t nLevel);
