#include "frontend/MapMenuScene.h"

#include <algorithm>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/Text.h"
#include "data/EdSystem.h"
#include "frontend/MenuCursor.h"
#include "frontend/NumberFormat.h"
#include "frontend/SaveData.h"
#include "media/graphics/DDBlitEffects.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "media/text/Font.h"
#include "shell/ShellGlobals.h"

namespace {

constexpr int32_t kMenuSurfaces[] = {45, 50, 49};
constexpr int32_t kWindowSurface = 45;
constexpr int32_t kAccessorySurface = 49;
constexpr int32_t kMenuX = 264;
constexpr int32_t kMenuY = 192;
constexpr int32_t kTotalY = 260;
constexpr int32_t kSlotX = 152;
constexpr int32_t kSlotY = 160;
constexpr int32_t kSaveQuestionY = 400;
constexpr int32_t kAutoSaveQuestionY = 224;
constexpr int32_t kNoSlotNoticeY = 232;
constexpr int32_t kReturnQuestionY = 224;
constexpr uint16_t kButtonConfirm = 1;
constexpr uint16_t kButtonCancel = 2;

enum MapMenuPhaseId : int32_t {
    kPhaseFadeIn = 0,
    kPhaseMenu = 1,
    kPhaseSave = 2,
    kPhaseAutoSave = 3,
    kPhaseClose = 4,
    kPhaseReturn = 5,
    kPhaseFadeOut = 6,
};

void DrawMenuCursor(const MENUCURSOR& cursor)
{
    DDBlt(&BackBuffer, cursor.x, cursor.y, 16, 16, &SystemSurfaces[kAccessorySurface], 64, 0, 1);
}

// The menu's yes-or-no questions: the system texts nText and nText + 1, centred, at y.
enum class Answer { Asking, Yes, No, Cancelled };

int32_t QuestionX(int32_t nText)
{
    return g_System.CenterTextColumn(320, nText, 2, 1);
}

// One frame of a question: the cursor moves between the answers; confirm answers with the
// cursor's row (the caller plays its sound), cancel with its own sound. While it asks the caller
// draws its screen and then DrawQuestion.
Answer AskQuestion(cKeyInput& input, int32_t nText, int32_t y)
{
    MenuCursor.MoveGridCursor(input, QuestionX(nText), y, 0, 16, 1, 2);
    PlayCursorSound(input, 2, SoundTable, 0);
    if (input.m_wButton & kButtonConfirm) return MenuCursor.Current().row == 0 ? Answer::Yes : Answer::No;
    if (input.m_wButton & kButtonCancel) {
        PlayMenuSound(2);
        return Answer::Cancelled;
    }
    return Answer::Asking;
}

void DrawQuestion(int32_t nText, int32_t y)
{
    DrawTextList(g_System.m_vText, &BackBuffer, QuestionX(nText), y, nText, 2, 1);
    DrawMenuCursor(MenuCursor.Current());
}

}  // namespace

std::vector<int32_t> BuildMapMenuItems()
{
    std::vector<int32_t> items;
    const int32_t nCount = std::min<int32_t>(static_cast<int32_t>(g_System.m_vMapMenu.size()), SystemMapMenuItems);
    for (int32_t j = 0; j < nCount; ++j) {
        if (g_System.m_vMapMenu[static_cast<size_t>(j)].m_bEnabled) items.push_back(j);
    }
    if (items.empty()) items.push_back(0);
    return items;
}

cMapMenuScene::cMapMenuScene() : cMenuScene(3)
{
    m_vPhases = {static_cast<PhaseHandler>(&cMapMenuScene::RunFadeInPhase),
                 static_cast<PhaseHandler>(&cMapMenuScene::MapMenuPhase),
                 static_cast<PhaseHandler>(&cMapMenuScene::SaveSlotPhase),
                 static_cast<PhaseHandler>(&cMapMenuScene::AutoSavePhase),
                 static_cast<PhaseHandler>(&cMapMenuScene::CloseMenuPhase),
                 static_cast<PhaseHandler>(&cMapMenuScene::ReturnToTitlePhase),
                 static_cast<PhaseHandler>(&cMapMenuScene::RunFadeOutPhase)};
}

cMapMenuScene::~cMapMenuScene()
{
    ReleaseSceneSurfaces(kMenuSurfaces, 3);
}

void cMapMenuScene::Enter()
{
    RequestSceneMusic(1);
    LoadSceneSurfaces(kMenuSurfaces, 3);
    m_vItems = BuildMapMenuItems();
    MenuCursor.ResetMenuCursor();
    m_nPhaseStep = 0;
}

void cMapMenuScene::DrawMenuScreen()
{
    DDFillRect(&BackBuffer, 0, 0, 640, 480, 16);
    int32_t nChars = 0;
    for (int32_t item : m_vItems)
        nChars = std::max(nChars, CountChars(CheckedAt(g_System.m_vMapMenu, item).m_strText.c_str()));
    const int32_t nItems = static_cast<int32_t>(m_vItems.size());
    DDBltFramed(&BackBuffer, kMenuX, kMenuY, 16 * (1 + nChars), 16 * nItems, &SystemSurfaces[kWindowSurface], 1, 240);
    for (int32_t i = 0; i < nItems; ++i)
        FontDraw(&FontTable[1], &BackBuffer, kMenuX + 16, kMenuY + 16 * i,
                 CheckedAt(g_System.m_vMapMenu, m_vItems[static_cast<size_t>(i)]).m_strText.c_str());
    if (g_System.m_bStoryShowTotalScore != 0 && g_SaveData.nHighScoreTotal > 0) {
        const std::string& label = CheckedAt(g_System.m_vText, 4);
        const int32_t w = 16 * (CountChars(label.c_str()) + CountDigits(g_SaveData.nHighScoreTotal));
        const int32_t x = 320 - w / 2;
        FontDrawWindow(&FontTable[1], &BackBuffer, x, kTotalY, w, 16);
        FontPrintf(&FontTable[1], &BackBuffer, x, kTotalY, "%s%d", label.c_str(), g_SaveData.nHighScoreTotal);
    }
    CyclePalette();
}

void cMapMenuScene::FadeIn()
{
    DrawMenuScreen();
    DDBlt(&BackBuffer, kMenuX, kMenuY, 16, 16, &SystemSurfaces[kAccessorySurface], 64, 0, 1);
    if (SceneFadeInStep()) m_nPhase = kPhaseMenu;
}

void cMapMenuScene::MapMenuPhase()
{
    cKeyInput& input = CheckedAt(InputStates, 0);
    MenuCursor.MoveGridCursor(input, kMenuX, kMenuY, 0, 16, 1, static_cast<int32_t>(m_vItems.size()));
    PlayCursorSound(input, 2, SoundTable, 0);
    if (input.m_wButton & kButtonConfirm) {
        PlayMenuSound(1);
        m_nPhase = CheckedAt(m_vItems, MenuCursor.Current().row) + kPhaseSave;
        m_nPhaseStep = 0;
        MenuCursor.PushMenuCursor(0);
    } else if (input.m_wButton & kButtonCancel) {
        // Cancel closes the menu as its close item does.
        PlayMenuSound(2);
        m_nPhase = kPhaseClose;
    } else {
        DrawMenuScreen();
        DrawMenuCursor(MenuCursor.Current());
    }
}

void cMapMenuScene::LeaveToMenu()
{
    MenuCursor.PopMenuCursor(1);
    m_nPhaseStep = 0;
    m_nPhase = kPhaseMenu;
}

void cMapMenuScene::SaveSlotPhase()
{
    cKeyInput& input = CheckedAt(InputStates, 0);
    if (m_nPhaseStep == 0) {
        MenuCursor.Current() = MENUCURSOR{};
        MenuCursor.Current().row = g_SaveData.nCurrentSlot;
        m_nPhaseStep = 1;
        if (SaveSlots.size() != static_cast<size_t>(kStorySlotCount)) SaveSlots.resize(kStorySlotCount);
        LoadSaveSlotList(SaveSlots);
        m_nSlotRows = std::min(static_cast<int32_t>(SaveSlots.size()), 10);
        // No current slot (-1) opens the list on its first slot: the list rule clamps top and row.
        m_nSlotTop = g_SaveData.nCurrentSlot;
    }
    const int32_t nSlots = static_cast<int32_t>(SaveSlots.size());
    if (m_nPhaseStep == 1) {
        MenuCursor.MoveListCursor(input, 1, m_nSlotTop, kSlotY, 16, kSlotX, m_nSlotRows, nSlots, 1);
        PlayCursorSound(input, 3, SoundTable, 0);
        if (input.m_wButton & kButtonConfirm) {
            PlayMenuSound(1);
            MenuCursor.PushMenuCursor(0);
            m_nPhaseStep = 2;
            // The overwrite question starts on its second answer, "no".
            MenuCursor.Current().row = 1;
        } else if (input.m_wButton & kButtonCancel) {
            PlayMenuSound(2);
            LeaveToMenu();
        } else {
            DDFillRect(&BackBuffer, 0, 0, 640, 480, 16);
            DrawSaveSlotList(&BackBuffer, kSlotX, kSlotY, SaveSlots, m_nSlotTop, m_nSlotRows);
            DrawMenuCursor(MenuCursor.Current());
        }
        return;
    }
    if (m_nPhaseStep != 2) return;
    const Answer answer = AskQuestion(input, 12, kSaveQuestionY);
    if (answer == Answer::Asking) {
        DDFillRect(&BackBuffer, 0, 0, 640, 480, 16);
        DrawSaveSlotList(&BackBuffer, kSlotX, kSlotY, SaveSlots, m_nSlotTop, m_nSlotRows);
        if (const MENUCURSOR* lpList = MenuCursor.Previous())
            DDBlt(&BackBuffer, lpList->x, lpList->y, 16, 16, &SystemSurfaces[kAccessorySurface], 80, 0, 1);
        DrawQuestion(12, kSaveQuestionY);
        return;
    }
    if (answer != Answer::Cancelled) {
        if (answer == Answer::Yes) {
            PlayMenuSound(5);
            const MENUCURSOR* lpList = MenuCursor.Previous();
            const int32_t nSlot = lpList != nullptr ? lpList->row : 0;
            const int32_t nBefore = g_SaveData.nCurrentSlot;
            g_SaveData.nCurrentSlot = nSlot;
            // The list shows the slot as saved only once its file is written; a slot that could
            // not be written does not become the current one either.
            if (!SaveStorySlot(nSlot)) {
                g_SaveData.nCurrentSlot = nBefore;
                WriteReportLog("story slot %d could not be written", nSlot + 1);
            }
        } else {
            PlayMenuSound(1);
        }
    }
    MenuCursor.PopMenuCursor(1);
    m_nPhaseStep = 1;
}

void cMapMenuScene::AutoSavePhase()
{
    cKeyInput& input = CheckedAt(InputStates, 0);
    if (m_nPhaseStep == 0) {
        MenuCursor.Current() = MENUCURSOR{};
        MenuCursor.Current().row = g_SaveData.bAutoSave != 0 ? 0 : 1;
        m_nPhaseStep = g_SaveData.nCurrentSlot == -1 ? 2 : 1;
    }
    if (m_nPhaseStep == 1) {
        const Answer answer = AskQuestion(input, 14, kAutoSaveQuestionY);
        if (answer == Answer::Asking) {
            DDFillRect(&BackBuffer, 0, 0, 640, 480, 16);
            DrawQuestion(14, kAutoSaveQuestionY);
            return;
        }
        if (answer != Answer::Cancelled) {
            PlayMenuSound(1);
            // The switch goes into the record before it is written, so the slot keeps it.
            g_SaveData.bAutoSave = answer == Answer::Yes ? 1 : 0;
            if (answer == Answer::Yes && !SaveStorySlot(g_SaveData.nCurrentSlot))
                WriteReportLog("story slot %d could not be written", g_SaveData.nCurrentSlot + 1);
        }
        LeaveToMenu();
        return;
    }
    // No slot chosen yet: only the notice, answered by confirm or cancel.
    const int32_t x = g_System.CenterTextColumn(320, 16, 1, 0);
    if (input.m_wButton & kButtonConfirm) {
        PlayMenuSound(1);
        LeaveToMenu();
    } else if (input.m_wButton & kButtonCancel) {
        PlayMenuSound(2);
        LeaveToMenu();
    } else {
        DDFillRect(&BackBuffer, 0, 0, 640, 480, 16);
        DrawTextList(g_System.m_vText, &BackBuffer, x, kNoSlotNoticeY, 16, 1, 0);
    }
}

void cMapMenuScene::CloseMenuPhase()
{
    m_nPhaseStep = 0;
    m_nPhase = kPhaseFadeOut;
    SceneManager.RequestedScene = kSceneWorldMap;
}

void cMapMenuScene::ReturnToTitlePhase()
{
    cKeyInput& input = CheckedAt(InputStates, 0);
    if (m_nPhaseStep == 0) {
        MenuCursor.Current() = MENUCURSOR{};
        MenuCursor.Current().row = 1;
        m_nPhaseStep = 1;
    }
    const Answer answer = AskQuestion(input, 17, kReturnQuestionY);
    if (answer == Answer::Asking) {
        DDFillRect(&BackBuffer, 0, 0, 640, 480, 16);
        DrawQuestion(17, kReturnQuestionY);
        return;
    }
    if (answer != Answer::Cancelled) PlayMenuSound(1);
    if (answer == Answer::Yes) {
        m_nPhase = kPhaseFadeOut;
        SceneManager.RequestedScene = kSceneTitle;
    } else {
        LeaveToMenu();
    }
}

void cMapMenuScene::FadeOut()
{
    if (!SceneFadeOutStep()) return;
    DDFillSurface(&BackBuffer, 16);
    SceneManager.PreviousScene = kSceneMapMenu;
    SceneManager.CurrentScene = SceneManager.RequestedScene;
    // The next scene's entry resets the menu cursor.
    m_nPhase = -1;
}
