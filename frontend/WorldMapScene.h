#pragma once
// Scene 1: the story's world map. The player walks a cursor over the map's cells; a cell's entry
// shows the first of its items whose requirements hold, and a stage item is entered through a
// two-choice prompt that loads its stage file and hands over to stage play. Cancel opens the
// world-map menu.
#include <cstdint>

#include "data/EdWorldMap.h"
#include "frontend/MenuCursor.h"
#include "frontend/MenuScene.h"
#include "media/graphics/Surface.h"

class cWorldMapScene : public cMenuScene {
public:
    cWorldMapScene();
    ~cWorldMapScene() override;
    void Enter() override;
    void FadeIn() override;
    void FadeOut() override;

    int32_t ViewLeft() const { return m_nViewLeft; }
    int32_t ViewTop() const { return m_nViewTop; }
    int32_t Facing() const { return m_nFacing; }
    const cEdWorldEntryItem* CurrentItem() const { return m_lpItem; }
    int32_t StageLoaded() const { return m_bStageLoaded; }

private:
    void MapCursorPhase();
    void MapEnterStagePhase();

    // Puts the cursor on the cell: the view follows it, and the entry and item are taken again.
    void SetCursorCell(int32_t nColumn, int32_t nRow);
    // The same, composing the map frame again when the view moved with the cursor.
    void MoveCursorTo(int32_t nColumn, int32_t nRow);
    void TakeCurrentCell();
    void MoveMapCursor(const cKeyInput& input);
    void OpenPrompt();
    void LeavePrompt();
    // The fade-out towards the scene.
    void LeaveFor(int32_t nScene);
    void RankingButtons(const cKeyInput& input);
    void ShowStageInfo();
    void DrawRankingPanel();
    void ComposeMapFrame();
    void DrawMapScreen(int32_t bStageInfo);
    // Loads the current item's stage file for the start; the failure box is shown here.
    bool LoadCurrentStage();

    int32_t m_nViewLeft = 0;
    int32_t m_nViewTop = 0;
    const cEdWorldEntry* m_lpEntry = nullptr;
    const cEdWorldEntryItem* m_lpItem = nullptr;
    int32_t m_nFacing = 0;
    MENUCURSOR m_SavedCursor{};
    MENUCURSOR m_ShownCursor{-1, -1, 0, 0};
    int32_t m_nHighScore = 0;
    int32_t m_bStageLoaded = 0;
    // The fade-in's automatic start failed: its box has been shown and the close requested, so it
    // is not tried again while the program closes.
    int32_t m_bAutoStartFailed = 0;
};

// Cell index of (column, row) in the map's grid: the column clamped into the map, a row above
// the map giving the column alone, a row below it the last row.
int32_t WorldMapCellIndex(const cEdWorldMap& map, int32_t nColumn, int32_t nRow);
// The first item of the entry whose requirements hold against the live save data, or null.
const cEdWorldEntryItem* VisibleWorldItem(const cEdWorldEntry* lpEntry);
// A stage item is cleared when its clear flag is set; it may be left without playing when it is
// passable or cleared.
bool IsWorldStageCleared(const cEdWorldEntryItem& item);
bool MayLeaveWorldStage(const cEdWorldEntryItem& item);
// The cursor may not enter the cell: no visible item on an impassable chip, or a wall item.
bool IsWorldCellBlocked(int32_t nColumn, int32_t nRow);
// One step of the map cursor by the held directions, one direction a frame (left, right, up,
// down in that order), kept inside the map. The facing of the step, or -1 when none is held.
int32_t StepWorldCursor(uint16_t wDirections, int32_t& nColumn, int32_t& nRow);
// The map frame of the view whose top-left cell is (nLeft, nTop): the background colour, the
// background picture scrolled with the map when the map has one, the chips of the cells inside
// the map, and the icons of the entries in view that show an item (second column once cleared).
void ComposeWorldMapFrame(DDSURFACEDATA* lpFrame, int32_t nLeft, int32_t nTop, DDSURFACEDATA* lpBackPicture,
                          DDSURFACEDATA* lpChips, DDSURFACEDATA* lpEvents);
// The lives box at the top right: its left edge and width for the lives count.
void WorldLivesBox(int32_t nLives, int32_t& nX, int32_t& nWidth);
// Stage number, part and starting lives of the story stage about to start from the item, whose
// stage file has just been loaded; the item becomes the one being played.
void PrepareWorldStageStart(const cEdWorldEntryItem& item);

// The world-map item whose stage is being played (null when none, or when the map no longer
// holds it). Kept as entry and item positions in the map, so it never outlives the map's lists.
const cEdWorldEntryItem* PlayingWorldItem();
void SetPlayingWorldItem(const cEdWorldEntryItem* lpItem);
// What the end of the played item's stage leads to once it is cleared: 0 back to the map, 1 a
// new play-through, 2 the title. 0 when no item is being played.
int32_t PlayingWorldItemEndAction();
