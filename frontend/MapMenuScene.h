#pragma once
// Scene 2: the world-map menu, opened by cancel on the map. It saves the story into a slot,
// switches auto-save, closes back to the map or returns to the title; each item's screen is a
// phase of the scene.
#include <cstdint>
#include <vector>

#include "frontend/MenuScene.h"

class cMapMenuScene : public cMenuScene {
public:
    cMapMenuScene();
    ~cMapMenuScene() override;
    void Enter() override;
    void FadeIn() override;
    void FadeOut() override;

    const std::vector<int32_t>& Items() const { return m_vItems; }
    int32_t PhaseStep() const { return m_nPhaseStep; }
    int32_t SlotTop() const { return m_nSlotTop; }

private:
    void MapMenuPhase();
    void SaveSlotPhase();
    void AutoSavePhase();
    void CloseMenuPhase();
    void ReturnToTitlePhase();
    void DrawMenuScreen();
    void LeaveToMenu();

    std::vector<int32_t> m_vItems;   // world-map menu entries offered, in list order
    int32_t m_nSlotTop = 0;
    int32_t m_nSlotRows = 0;
};

// The world-map menu entries offered: every enabled entry of the project's list in list order,
// or the save entry alone when none is enabled.
std::vector<int32_t> BuildMapMenuItems();
