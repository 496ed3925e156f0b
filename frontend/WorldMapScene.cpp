#include "frontend/WorldMapScene.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/Text.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "frontend/NumberFormat.h"
#include "frontend/RankingDraw.h"
#include "frontend/RankingFile.h"
#include "frontend/SaveData.h"
#include "frontend/StageStart.h"
#include "media/graphics/DDBatch.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "media/text/Font.h"
#include "platform/win/WinMessage.h"
#include "shell/ShellGlobals.h"

namespace {

constexpr int32_t kMapSurfaces[] = {54, 52, 53, 49, 45, 67};
constexpr int32_t kBackPictureSurface = 54;
constexpr int32_t kChipSurface = 52;
constexpr int32_t kEventSurface = 53;
constexpr int32_t kAccessorySurface = 49;
constexpr int32_t kFrameSurface = 67;
constexpr int32_t kCursorX = 288;
constexpr int32_t kCursorY = 224;
constexpr int32_t kPromptY = 260;
constexpr int32_t kPanelX = 367;
constexpr int32_t kPanelY = 64;
constexpr int32_t kPanelWidth = 272;
constexpr int32_t kPanelHeight = 352;
constexpr uint16_t kButtonConfirm = 1;
constexpr uint16_t kButtonCancel = 2;
constexpr uint16_t kButtonPanel = 4;
constexpr uint16_t kButtonKind = 8;

enum WorldMapPhase : int32_t {
    kPhaseFadeIn = 0,
    kPhaseMap = 1,
    kPhasePrompt = 2,
    kPhaseFadeOut = 3,
};

// The cursor picture blinks: frames 41 to 80 of every 80 show the second picture.
int32_t MapCursorBlink = 0;

// The item being played, as positions in the map's lists.
int32_t PlayingEntryIndex = -1;
int32_t PlayingItemIndex = -1;

bool IsStageItem(const cEdWorldEntryItem* lpItem)
{
    return lpItem != nullptr && lpItem->m_nKind == 0;
}

int32_t StoryRankingSwitch()
{
    return CheckedAt(g_System.m_vRanking, 0).m_bEnabled;
}

const std::string& SystemText(int32_t n)
{
    return CheckedAt(g_System.m_vText, n);
}

}  // namespace

// ---- rules of the map ----

int32_t WorldMapCellIndex(const cEdWorldMap& map, int32_t nColumn, int32_t nRow)
{
    nColumn = std::clamp(nColumn, 0, std::max(map.m_nWidth - 1, 0));
    if (nRow < 0) return nColumn;
    nRow = std::min(nRow, map.m_nHeight - 1);
    return nColumn + (nRow << map.m_nPitchShift);
}

const cEdWorldEntryItem* VisibleWorldItem(const cEdWorldEntry* lpEntry)
{
    if (lpEntry == nullptr) return nullptr;
    return lpEntry->CurrentItem([](int32_t nFlag) { return CheckedAt(g_SaveData.ClearFlags, nFlag) != 0; },
                                [](int32_t nVar) { return CheckedAt(g_SaveData.CommonVars, nVar); },
                                g_SaveData.nHighScoreTotal);
}

bool IsWorldStageCleared(const cEdWorldEntryItem& item)
{
    return CheckedAt(g_SaveData.ClearFlags, item.m_nStageNo) != 0;
}

bool MayLeaveWorldStage(const cEdWorldEntryItem& item)
{
    return item.m_bStopOnPlace != 0 || IsWorldStageCleared(item);
}

bool IsWorldCellBlocked(int32_t nColumn, int32_t nRow)
{
    const cEdWorldEntryItem* lpItem = VisibleWorldItem(g_WorldMap.FindEntryAt(nColumn, nRow));
    if (lpItem != nullptr) return lpItem->m_nKind == 2;
    const int32_t nChip = CheckedAt(g_WorldMap.m_vCell, WorldMapCellIndex(g_WorldMap, nColumn, nRow));
    return CheckedAt(g_WorldMap.m_vChip, nChip).m_bBlocked != 0;
}

int32_t StepWorldCursor(uint16_t wDirections, int32_t& nColumn, int32_t& nRow)
{
    if (wDirections & kDirLeft) {
        nColumn = std::max(nColumn - 1, 0);
        return 2;
    }
    if (wDirections & kDirRight) {
        nColumn = std::min(nColumn + 1, g_WorldMap.m_nWidth - 1);
        return 3;
    }
    if (wDirections & kDirUp) {
        nRow = std::max(nRow - 1, 0);
        return 1;
    }
    if (wDirections & kDirDown) {
        nRow = std::min(nRow + 1, g_WorldMap.m_nHeight - 1);
        return 0;
    }
    return -1;
}

void WorldLivesBox(int32_t nLives, int32_t& nX, int32_t& nWidth)
{
    // Infinite lives show one sign, so their box is one digit wide.
    const int32_t nDigits = nLives == kInfiniteLives ? 1 : std::min(CountDigits(nLives), 10);
    nX = 605 - 16 * nDigits;
    nWidth = 16 * (nDigits + 1);
}

void PrepareWorldStageStart(const cEdWorldEntryItem& item)
{
    g_SaveData.SetCurrentStageName(g_Stage.m_strFilePath);
    g_SaveData.nStage = item.m_nStageNo;
    g_SaveData.nPart = 1;
    // Infinite lives stay infinite whether or not the lives are carried from stage to stage.
    if (CheckedAt(g_System.m_vInfiniteLives, 0) != 0) {
        g_SaveData.nStageStartLives = kInfiniteLives;
    } else if (g_System.m_bStoryCarryLives != 0) {
        g_SaveData.nStageStartLives = g_SaveData.nLives >= kInfiniteLives - 1 ? kInfiniteLives : g_SaveData.nLives + 1;
    } else {
        g_SaveData.nStageStartLives = CheckedAt(g_System.m_vStartLives, 0);
    }
    SetPlayingWorldItem(&item);
}

const cEdWorldEntryItem* PlayingWorldItem()
{
    if (PlayingEntryIndex < 0 || PlayingEntryIndex >= static_cast<int32_t>(g_WorldMap.m_vEntry.size())) return nullptr;
    const cEdWorldEntry& entry = g_WorldMap.m_vEntry[static_cast<size_t>(PlayingEntryIndex)];
    if (PlayingItemIndex < 0 || PlayingItemIndex >= static_cast<int32_t>(entry.m_vEntryItem.size())) return nullptr;
    return &entry.m_vEntryItem[static_cast<size_t>(PlayingItemIndex)];
}

void SetPlayingWorldItem(const cEdWorldEntryItem* lpItem)
{
    PlayingEntryIndex = PlayingItemIndex = -1;
    if (lpItem == nullptr) return;
    for (size_t e = 0; e < g_WorldMap.m_vEntry.size(); ++e) {
        const std::vector<cEdWorldEntryItem>& items = g_WorldMap.m_vEntry[e].m_vEntryItem;
        for (size_t i = 0; i < items.size(); ++i) {
            if (&items[i] != lpItem) continue;
            PlayingEntryIndex = static_cast<int32_t>(e);
            PlayingItemIndex = static_cast<int32_t>(i);
            return;
        }
    }
}

int32_t PlayingWorldItemEndAction()
{
    const cEdWorldEntryItem* lpItem = PlayingWorldItem();
    // The editor keeps the end choice in the item's spare field.
    return lpItem != nullptr ? lpItem->m_nSpare : 0;
}

// ---- the scene ----

cWorldMapScene::cWorldMapScene() : cMenuScene(15)
{
    m_vPhases = {static_cast<PhaseHandler>(&cWorldMapScene::RunFadeInPhase),
                 static_cast<PhaseHandler>(&cWorldMapScene::MapCursorPhase),
                 static_cast<PhaseHandler>(&cWorldMapScene::MapEnterStagePhase),
                 static_cast<PhaseHandler>(&cWorldMapScene::RunFadeOutPhase)};
}

cWorldMapScene::~cWorldMapScene()
{
    ReleaseSceneSurfaces(kMapSurfaces, 6);
}

void cWorldMapScene::Enter()
{
    RequestSceneMusic(1);
    BITMAPFILEENTRY& back = BitmapFileTable[kBackPictureSurface];
    std::memset(back.szFileName, 0, sizeof(back.szFileName));
    std::strncpy(back.szFileName, g_WorldMap.m_strPicture.c_str(), sizeof(back.szFileName) - 1);
    // A map without a picture has nothing to load for it; its other surfaces still must load.
    if (back.szFileName[0] != '\0') LoadSceneSurfaces(kMapSurfaces, 6);
    else LoadSceneSurfaces(kMapSurfaces + 1, 5);
    MenuCursor.ResetMenuCursor();
    g_SaveData.RecountHighScoreTotal();
    m_nFacing = g_SaveData.nFacing;
    SetCursorCell(g_SaveData.nMapX, g_SaveData.nMapY);
    m_SavedCursor = MenuCursor.Current();
    if (MakeScenePicture(kPanelWidth, kPanelHeight, 0)) DrawRankingPanel();
    if (IsStageItem(m_lpItem)) {
        ShowStageInfo();
        m_ShownCursor = MenuCursor.Current();
    }
    if (g_SaveData.bAutoSave != 0 && SceneManager.PreviousScene == kSceneStagePlay) {
        // A slot is only ever chosen from the list, but a damaged file can hold the switch alone.
        if (g_SaveData.nCurrentSlot >= 0 && g_SaveData.nCurrentSlot < kStorySlotCount) {
            if (!SaveStorySlot(g_SaveData.nCurrentSlot))
                WriteReportLog("auto-save: story slot %d could not be written", g_SaveData.nCurrentSlot + 1);
        }
    }
    ComposeMapFrame();
    m_nPhaseStep = 0;
}

void cWorldMapScene::TakeCurrentCell()
{
    const MENUCURSOR& cursor = MenuCursor.Current();
    m_lpEntry = g_WorldMap.FindEntryAt(cursor.col, cursor.row);
    m_lpItem = VisibleWorldItem(m_lpEntry);
}

void cWorldMapScene::SetCursorCell(int32_t nColumn, int32_t nRow)
{
    MENUCURSOR& cursor = MenuCursor.Current();
    cursor.col = nColumn;
    cursor.row = nRow;
    cursor.x = kCursorX;
    cursor.y = kCursorY;
    m_nViewLeft = nColumn - 9;
    m_nViewTop = nRow - 7;
    TakeCurrentCell();
}

void cWorldMapScene::MoveCursorTo(int32_t nColumn, int32_t nRow)
{
    const int32_t nOldLeft = m_nViewLeft;
    const int32_t nOldTop = m_nViewTop;
    SetCursorCell(nColumn, nRow);
    if (m_nViewLeft != nOldLeft || m_nViewTop != nOldTop) ComposeMapFrame();
}

void cWorldMapScene::LeaveFor(int32_t nScene)
{
    m_nPhaseStep = 0;
    m_nPhase = kPhaseFadeOut;
    SceneManager.RequestedScene = nScene;
}

void cWorldMapScene::MoveMapCursor(const cKeyInput& input)
{
    MENUCURSOR& cursor = MenuCursor.Current();
    const uint16_t wDirections = input.m_wDirection & (kDirLeft | kDirRight | kDirUp | kDirDown);
    if (wDirections != 0) {
        g_SaveData.nPrevMapX = cursor.col;
        g_SaveData.nPrevMapY = cursor.row;
        m_SavedCursor = cursor;
    }
    int32_t nColumn = cursor.col;
    int32_t nRow = cursor.row;
    const int32_t nFacing = StepWorldCursor(wDirections, nColumn, nRow);
    if (nFacing >= 0) {
        if (IsWorldCellBlocked(nColumn, nRow)) {
            cursor = m_SavedCursor;
        } else {
            MoveCursorTo(nColumn, nRow);
            m_nFacing = nFacing;
        }
    }
    MenuCursor.Current().x = kCursorX;
    MenuCursor.Current().y = kCursorY;
}

void cWorldMapScene::ShowStageInfo()
{
    g_SaveData.SetCurrentStageName(m_lpItem->m_strStageFile);
    m_nHighScore = g_SaveData.FindStageHighScore(g_SaveData.CurrentStageName);
    if (SceneManager.ModeHasRanking != 0) {
        LoadRankingFile(g_RankingFile, SceneManager.GameMode, g_SaveData.CurrentStageName);
        g_SaveData.StepEnabledMenuItem(SceneManager.GameMode, 0);
        DrawRankingPanel();
    }
}

void cWorldMapScene::DrawRankingPanel()
{
    if (ScenePictures.empty()) return;
    DrawRankingOfKind(g_RankingFile, &ScenePictures[0], 0, 0, g_SaveData.nRankingKind, -1);
    ScenePictures[0].bLost = 0;
}

void ComposeWorldMapFrame(DDSURFACEDATA* lpFrame, int32_t nLeft, int32_t nTop, DDSURFACEDATA* lpBackPicture,
                          DDSURFACEDATA* lpChips, DDSURFACEDATA* lpEvents)
{
    DDFillRect(lpFrame, 0, 0, 640, 480, static_cast<uint32_t>(g_WorldMap.m_nBackColor));
    if (g_WorldMap.m_bBackPicture != 0) {
        // The picture scrolls with the map; a view starting outside the map shifts it right or down.
        DDBlt(lpFrame, nLeft < 0 ? -32 * nLeft : 0, nTop < 0 ? -32 * nTop : 0, 640, 480, lpBackPicture,
              nLeft < 0 ? 0 : 32 * nLeft, nTop < 0 ? 0 : 32 * nTop, 0);
    }
    DDBeginDrawBatch(0);
    for (int32_t r = 0; r < 15; ++r) {
        const int32_t nRow = nTop + r;
        if (nRow < 0 || nRow >= g_WorldMap.m_nHeight) continue;
        for (int32_t c = 0; c < 20; ++c) {
            const int32_t nColumn = nLeft + c;
            if (nColumn < 0 || nColumn >= g_WorldMap.m_nWidth) continue;
            const int32_t nChip = CheckedAt(g_WorldMap.m_vCell, WorldMapCellIndex(g_WorldMap, nColumn, nRow));
            const int32_t g = CheckedAt(g_WorldMap.m_vChip, nChip).m_nCell;
            DDBlt(lpFrame, 32 * c, 32 * r, 32, 32, lpChips, (g % 5) * 32, (g / 5) * 32, 1);
        }
    }
    DDEndDrawBatch();
    DDBeginDrawBatch(0);
    for (const cEdWorldEntry& entry : g_WorldMap.m_vEntry) {
        if (entry.m_nX < nLeft || entry.m_nX >= nLeft + 20 || entry.m_nY < nTop || entry.m_nY >= nTop + 15) continue;
        const cEdWorldEntryItem* lpItem = VisibleWorldItem(&entry);
        if (lpItem == nullptr) continue;
        DDBlt(lpFrame, 32 * (entry.m_nX - nLeft), 32 * (entry.m_nY - nTop), 32, 32, lpEvents,
              IsWorldStageCleared(*lpItem) ? 32 : 0, 32 * lpItem->m_nIcon, 1);
    }
    DDEndDrawBatch();
}

void cWorldMapScene::ComposeMapFrame()
{
    DDSURFACEDATA* lpFrame = &SystemSurfaces[kFrameSurface];
    ComposeWorldMapFrame(lpFrame, m_nViewLeft, m_nViewTop, &SystemSurfaces[kBackPictureSurface],
                         &SystemSurfaces[kChipSurface], &SystemSurfaces[kEventSurface]);
    lpFrame->bLost = 0;
}

void cWorldMapScene::DrawMapScreen(int32_t bStageInfo)
{
    DDSURFACEDATA* lpFrame = &SystemSurfaces[kFrameSurface];
    if (lpFrame->bLost) ComposeMapFrame();
    DDBlt(&BackBuffer, 0, 0, 640, 480, lpFrame, 0, 0, 0);

    static const int32_t kCursorSource[4][2] = {{0, 64}, {64, 64}, {64, 96}, {0, 96}};
    const int32_t nFacing = (m_nFacing >= 0 && m_nFacing < 4) ? m_nFacing : 0;
    if (++MapCursorBlink > 80) MapCursorBlink = 1;
    const int32_t nBlinkX = MapCursorBlink > 40 ? 32 : 0;
    DDBlt(&BackBuffer, kCursorX, kCursorY, 32, 32, &SystemSurfaces[kAccessorySurface],
          kCursorSource[nFacing][0] + nBlinkX, kCursorSource[nFacing][1], 1);

    if (g_System.m_bMapShowLives != 0) {
        int32_t nX = 0;
        int32_t nWidth = 0;
        WorldLivesBox(g_SaveData.nLives, nX, nWidth);
        FontDrawWindow(&FontTable[1], &BackBuffer, nX, 17, nWidth, 20);
        DDBlt(&BackBuffer, nX, 19, 16, 16, &SystemSurfaces[kAccessorySurface], 0, 48, 1);
        if (g_SaveData.nLives == kInfiniteLives) FontDraw(&FontTable[1], &BackBuffer, nX + 16, 19, "∞");
        else FontPrintf(&FontTable[1], &BackBuffer, nX + 16, 19, "%d", g_SaveData.nLives);
    }

    if (bStageInfo == 0 || !IsStageItem(m_lpItem)) return;
    if (StoryRankingSwitch() != 0 && g_SaveData.bRankingPanel != 0 && !ScenePictures.empty()) {
        if (ScenePictures[0].bLost) DrawRankingPanel();
        DDBlt(&BackBuffer, kPanelX, kPanelY, kPanelWidth, kPanelHeight, &ScenePictures[0], 0, 0, 0);
    }
    const bool bShowHigh = g_System.m_bStoryShowHighScore != 0 && m_nHighScore > 0;
    const int32_t y = bShowHigh ? 184 : 204;
    const int32_t nChars = CountChars(m_lpItem->m_strTitle.c_str());
    if (nChars > 0)
        FontPrintfInBox(&FontTable[1], &BackBuffer, 304 - 8 * nChars, y, 16 * nChars, 16, "%s",
                        m_lpItem->m_strTitle.c_str());
    if (bShowHigh) {
        const std::string& label = SystemText(2);
        const int32_t w = 16 * (CountChars(label.c_str()) + CountDigits(m_nHighScore));
        FontPrintfInBox(&FontTable[1], &BackBuffer, 304 - w / 2, y + 20, w, 16, "%s%d", label.c_str(), m_nHighScore);
    }
}

void cWorldMapScene::RankingButtons(const cKeyInput& input)
{
    if (input.m_wButton & kButtonPanel) {
        if (StoryRankingSwitch() != 0) {
            PlayMenuSound(6);
            g_SaveData.bRankingPanel = g_SaveData.bRankingPanel != 0 ? 0 : 1;
            DrawRankingPanel();
        } else if (g_SaveData.bRankingPanel != 0) {
            g_SaveData.bRankingPanel = 0;
            DrawRankingPanel();
        }
    } else if ((input.m_wButton & kButtonKind) && StoryRankingSwitch() != 0) {
        if (g_System.CountRankingKinds(SceneManager.GameMode) >= 2) {
            PlayMenuSound(6);
            g_SaveData.StepEnabledMenuItem(SceneManager.GameMode, 1);
        }
        DrawRankingPanel();
    }
}

void cWorldMapScene::OpenPrompt()
{
    g_SaveData.nMapX = MenuCursor.Current().col;
    g_SaveData.nMapY = MenuCursor.Current().row;
    MenuCursor.PushMenuCursor(0);
    m_nPhaseStep = 0;
    m_nPhase = kPhasePrompt;
}

void cWorldMapScene::MapCursorPhase()
{
    cKeyInput& input = CheckedAt(InputStates, 0);
    MoveMapCursor(input);
    PlayCursorSound(input, 3, SoundTable, 0);
    TakeCurrentCell();
    if (IsStageItem(m_lpItem)) {
        const MENUCURSOR& cursor = MenuCursor.Current();
        if (cursor.col != m_ShownCursor.col || cursor.row != m_ShownCursor.row) {
            ShowStageInfo();
            m_ShownCursor = cursor;
        }
        if (!MayLeaveWorldStage(*m_lpItem)) {
            OpenPrompt();
            return;
        }
        if (input.m_wButton & kButtonConfirm) {
            // A cleared stage that cannot be played again ignores confirm.
            if (IsWorldStageCleared(*m_lpItem) && m_lpItem->m_bReplayable == 0) return;
            OpenPrompt();
            return;
        }
        RankingButtons(input);
    }
    if (input.m_wButton & kButtonCancel) {
        PlayMenuSound(4);
        g_SaveData.nMapX = MenuCursor.Current().col;
        g_SaveData.nMapY = MenuCursor.Current().row;
        LeaveFor(kSceneMapMenu);
        return;
    }
    DrawMapScreen(1);
}

bool cWorldMapScene::LoadCurrentStage()
{
    const std::string file = m_lpItem->m_strStageFile;
    return LoadStageForStart(file.c_str());
}

void cWorldMapScene::LeavePrompt()
{
    // The prompt's own record goes in both cases, so declining again and again never piles up
    // cursor records.
    MenuCursor.PopMenuCursor(1);
    if (m_lpItem == nullptr || !MayLeaveWorldStage(*m_lpItem)) {
        // The stage must be played to pass: the cursor steps back to the cell it came from.
        MoveCursorTo(m_SavedCursor.col, m_SavedCursor.row);
    }
    m_nPhaseStep = 0;
    m_nPhase = kPhaseMap;
}

void cWorldMapScene::MapEnterStagePhase()
{
    cKeyInput& input = CheckedAt(InputStates, 0);
    if (m_lpItem == nullptr) {
        LeavePrompt();
        return;
    }
    if (m_nPhaseStep == 0) {
        PlayMenuSound(1);
        m_bStageLoaded = LoadCurrentStage() ? 1 : 0;
        MenuCursor.Current().row = 1;
        m_nPhaseStep = 1;
    }
    const int32_t x = g_System.CenterTextColumn(304, 10, 2, 1);
    MenuCursor.MoveGridCursor(input, x, kPromptY, 0, 16, 1, 2);
    PlayCursorSound(input, 2, SoundTable, 0);
    if (input.m_wButton & kButtonConfirm) {
        PlayMenuSound(1);
        if (MenuCursor.Current().row == 0 && m_bStageLoaded != 0) {
            g_SaveData.nFacing = m_nFacing;
            PrepareWorldStageStart(*m_lpItem);
            LeaveFor(kSceneStagePlay);
            return;
        }
        LeavePrompt();
        return;
    }
    if (input.m_wButton & kButtonCancel) {
        PlayMenuSound(2);
        LeavePrompt();
        return;
    }
    RankingButtons(input);
    DrawMapScreen(1);
    DrawTextList(g_System.m_vText, &BackBuffer, x, kPromptY, 10, 2, 1);
    DDBlt(&BackBuffer, MenuCursor.Current().x, MenuCursor.Current().y, 16, 16, &SystemSurfaces[kAccessorySurface], 64,
          0, 1);
}

void cWorldMapScene::FadeIn()
{
    if (nBpp == 8) DrawRankingPanel();
    DrawMapScreen(g_SaveData.bGaveUp == 0 ? 1 : 0);
    if (m_bAutoStartFailed != 0) return;
    if (!SceneFadeInStep()) return;
    if (IsStageItem(m_lpItem)) {
        if (g_SaveData.bGaveUp != 0) {
            g_SaveData.bGaveUp = 0;
            if (!IsWorldStageCleared(*m_lpItem)) {
                // Back to the cell before the stage; the view and the shown cell follow the cursor.
                SetCursorCell(g_SaveData.nPrevMapX, g_SaveData.nPrevMapY);
                m_SavedCursor = MenuCursor.Current();
                ComposeMapFrame();
            }
        } else if (SceneManager.PreviousScene != kSceneMapMenu && !MayLeaveWorldStage(*m_lpItem)) {
            if (LoadCurrentStage()) {
                m_bStageLoaded = 1;
                PrepareWorldStageStart(*m_lpItem);
                g_SaveData.nPrevMapX = MenuCursor.Current().col;
                g_SaveData.nPrevMapY = MenuCursor.Current().row;
                LeaveFor(kSceneStagePlay);
                return;
            }
            // The box has been shown once; the program closes and the map stays on screen.
            m_bAutoStartFailed = 1;
            PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
            return;
        }
    }
    m_nPhase = kPhaseMap;
}

void cWorldMapScene::FadeOut()
{
    DrawMapScreen(1);
    if (!SceneFadeOutStep()) return;
    DDFillSurface(&BackBuffer, 16);
    MenuCursor.ResetMenuCursor();
    SceneManager.PreviousScene = kSceneWorldMap;
    SceneManager.CurrentScene = SceneManager.RequestedScene;
}
