#pragma once
// The scene protocol of the menus: a table of phase handlers with the fade-in first and the
// fade-out last, an entry step run on the first frame, and the frame that every menu shares.
// A scene never calls another: it writes the scene it wants into RequestedScene and fades out;
// the end of its fade-out hands the request to the scene manager.
#include <cstdint>
#include <string>
#include <vector>

#include "shell/SceneManager.h"

class cMenuScene : public cScene {
public:
    using PhaseHandler = void (cMenuScene::*)();

    explicit cMenuScene(uint16_t wLatchMask) : m_wLatchMask(wLatchMask) {}
    // Input, the entry step on the first frame, then the handler of the current phase.
    int RunFrame() override;
    virtual void Enter() {}
    virtual void FadeIn() {}
    virtual void FadeOut() {}

    int32_t Phase() const { return m_nPhase; }

protected:
    void RunFadeInPhase() { FadeIn(); }
    void RunFadeOutPhase() { FadeOut(); }

    int32_t m_nPhase = -1;
    int32_t m_nPhaseStep = 0;
    std::vector<PhaseHandler> m_vPhases;
    uint16_t m_wLatchMask;
};

// System sound n through the main window, which plays it; returns once it has started.
void PlayMenuSound(int32_t nSound);
// The scene music of slot n of the project settings: requested when it is 0 or differs from the
// music last requested.
void RequestSceneMusic(int32_t nSlot);
// One step of the fade from black (in) or to black (out) over the whole palette; 1 when done.
int32_t SceneFadeInStep();
int32_t SceneFadeOutStep();
// Loads system surfaces; a failure asks the program to close and the scene goes on.
void LoadSceneSurfaces(const int32_t* lpIndices, int32_t nCount);
void ReleaseSceneSurfaces(const int32_t* lpIndices, int32_t nCount);
// Empties ScenePictures and adds one blank surface of the size; false (close requested) when it
// cannot be made.
bool MakeScenePicture(int32_t nWidth, int32_t nHeight, int32_t bColorKey);

// The menu scenes as the scene manager makes them.
void RegisterFrontendScenes();

// The title items offered: every enabled entry of the project's title list in list order, or
// new story alone when none is enabled.
std::vector<int32_t> BuildTitleItems();
// The row the title cursor starts on: the item that equals the last choice, else the choice.
int32_t TitleStartRow(const std::vector<int32_t>& items, int32_t nTitleChoice);
// The scene a title choice hands over to by itself: the world map for new story and continue,
// the challenge select for challenge, the options for options; -1 for the choices that go
// through the main window's file choosers (free play, replay) or hand over to nothing (exit).
int32_t TitleChoiceScene(int32_t nTitleChoice);
// False when the choice would hand over to a scene the program cannot make: the title refuses it
// instead of fading out to a black screen.
bool TitleChoiceAvailable(int32_t nTitleChoice);
// The options offered: every enabled entry of the options list, or the first alone.
std::vector<int32_t> BuildOptionItems();
