// Stage set-up: the run-time world rebuilt from the working stage at every start and restart,
// and the operations that put characters, items and blocks on the stage while it runs.
#include <algorithm>
#include <cstring>
#include <limits>

#include "core/CheckedAccess.h"
#include "core/FrameTiming.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/MessageBox.h"
#include "core/Random.h"
#include "data/EdPalette.h"
#include "data/EdShot.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "flows/FlowRuntime.h"
#include "frontend/MenuCursor.h"
#include "frontend/RankingFile.h"
#include "frontend/Replay.h"
#include "frontend/SaveData.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/GraphicsState.h"
#include "media/input/KeyInput.h"
#include "objects/ObjectLinks.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinTime.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "stage/BlockCollision.h"
#include "stage/BlockMap.h"
#include "stage/CharaList.h"
#include "stage/Conditions.h"
#include "stage/ContactRules.h"
#include "stage/ItemList.h"
#include "stage/PlayState.h"
#include "stage/Player.h"
#include "stage/StageLayers.h"
#include "stage/StageResources.h"
#include "stage/StageSetup.h"
#include "stage/StageSounds.h"

namespace {

constexpr int32_t kMargin = 10;                 // blocks around the stage on every side
constexpr int32_t kSightMaskSurface = 65;       // the sight mask and its disc
constexpr int32_t kSightDiscSurface = 66;
constexpr int32_t kUnlimitedLife = std::numeric_limits<int32_t>::max();

int32_t ClampToInt(int64_t v)
{
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v);
}

// The pixel centre of a block given in stage columns and rows.
double BlockCentre(int32_t n)
{
    return (static_cast<double>(n) + kMargin) * 32 + 16;
}

// A life setting in tenths of a second as sub-steps (6 frames a tenth, N sub-steps a frame);
// never the unlimited value and never a wrapped one.
int32_t LifeInSubSteps(int32_t nTenths)
{
    const int64_t n = static_cast<int64_t>(nTenths) * g_Stage.m_nSubSteps * 6;
    return ClampToInt(std::min<int64_t>(n, kUnlimitedLife - 1));
}

bool BoxesOverlap(double l1, double t1, double r1, double b1, double l2, double t2, double r2, double b2)
{
    return l1 <= r2 && r1 >= l2 && t1 <= b2 && b1 >= t2;
}

bool AnySideOn(const cEdStageSetting& setting)
{
    return setting.m_bCheckLeft != 0 || setting.m_bCheckRight != 0 || setting.m_bCheckTop != 0 ||
           setting.m_bCheckBottom != 0;
}

void ShiftBox(cGameObject& object, double dx, double dy)
{
    object.m_dX += dx;
    object.m_dRight += dx;
    object.m_dY += dy;
    object.m_dBottom += dy;
}

}  // namespace

// The launch settings a summon or block placement reads, under the names this file uses.
int32_t SummonLifeOn(const cEdShot& params) { return params.m_bRange; }
int32_t SummonLife(const cEdShot& params) { return params.m_nRange; }
int32_t SummonNoScore(const cEdShot& params) { return params.m_nSetting57; }
int32_t BlockUndoOnHero(const cEdShot& params) { return params.m_nSetting58; }
int32_t BlockUndoOnChara(const cEdShot& params) { return params.m_nSetting59; }

void BuildShotTestMask(std::vector<int32_t>& vMask, int32_t nSubSteps, int32_t nLevel)
{
    // A frame runs at least one sub-step as far as the mask goes, so that no reader ever meets
    // an empty mask.
    const int32_t n = nSubSteps < 1 ? 1 : nSubSteps;
    vMask.assign(static_cast<size_t>(n), 0);
    if (nLevel <= 0) {
        std::fill(vMask.begin(), vMask.end(), 1);
        return;
    }
    const double dStep = static_cast<double>(n) / nLevel;
    double p = 0.0;
    int32_t nSet = 0;
    do {
        vMask[static_cast<size_t>(static_cast<int32_t>(p))] = 1;
        ++nSet;
        p += dStep;
    } while (static_cast<int32_t>(p) < n);
    if (nSet < nLevel) vMask.back() = 1;
}

int32_t StageMusicRequested(int32_t bNewMusic, int32_t bKeepMusic, int32_t nNumber, int32_t nCurrent)
{
    if (bNewMusic == 0) return nNumber != nCurrent ? 1 : 0;
    if (bKeepMusic != 0 && nNumber == nCurrent) return nNumber == 0 ? 1 : 0;
    return 1;
}

void cPlayState::SetStage(int32_t bRestart, int32_t bNewMusic)
{
    WriteTraceLogF("In SetStage");
    m_nFrameCount = 0;
    // Every object of the last play goes, with every link between them.
    ClearStageObjects(*this);

    const bool bPlayback = ReplayPlaybackOn();
    if (bRestart != 0) {
        // Playback starts every round from the replay file as it was opened: its stage and the
        // progress at its start.
        if (bPlayback) {
            cEdStage second;
            const std::string strPath = g_Stage.m_strFilePath;
            if (!ReplayCurrent.ReadReplayFile(strPath.c_str(), g_Stage, second, g_SaveData))
                PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
        }
        g_Stage.CopyFields(g_StageStart);
        CopyStageBackgrounds(g_Stage.m_vBackground, g_StageStart.m_vBackground);
        CopyStageTexts(g_Stage.m_vText, g_StageStart.m_vText);
        for (int32_t i = 0; i < 5; ++i) g_Stage.m_Setting[i] = g_StageStart.m_Setting[i];
        g_Stage.m_vResultKind = g_StageStart.m_vResultKind;
    }

    // The seed: playback takes the recorded one; a recorded play takes a new one from the clock
    // (its replay keeps it) and moves the last play's replay aside; otherwise the seed of the
    // last play stays, so that a restart repeats the same random sequence.
    if (bPlayback) {
        m_nSeed = static_cast<uint32_t>(ReplayCurrent.nSeed);
        ReplayCurrent.RewindPlayback();
    } else if (g_System.m_bReplay != 0) {
        SaveSnapshotPrevious = SaveSnapshotCurrent;
        SaveSnapshotCurrent = g_SaveData;
        ReplayPrevious.CopyReplay(ReplayCurrent);
        ReplayCurrent.Clear();
        m_nSeed = timeGetTime();
        ReplayCurrent.nSeed = static_cast<int32_t>(m_nSeed);
    }
    GameSrand(m_nSeed);

    if (g_Stage.m_bStatusCarryOver != 0) {
        const int32_t nHero = g_Stage.FindHero();
        if (nHero >= 0) g_SaveData.RestoreCharaStatus(0, g_Stage.m_vChara[static_cast<size_t>(nHero)]);
    }

    if (StageMusicRequested(bNewMusic, g_Stage.m_bBgmKeepOnRestart, g_Stage.m_nBgm, g_SaveData.nBgm))
        RequestStageBgm(g_Stage.m_nBgm, g_Stage.m_bBgmLoop);

    SceneManager.LastBgm = 0;
    m_nNextCharaId = 0;
    m_nNextItemId = 0;
    m_nNextSummonId = 0;
    g_Stage.SetSpeedLevel(g_Stage.m_nSpeedLevel);

    // The view's axes. Sizes come from the stage file: sums are taken wide and kept in range.
    const int32_t nWidth = std::max(g_Stage.m_nWidth, 0);
    const int32_t nHeight = std::max(g_Stage.m_nHeight, 0);
    const int32_t nShift = cBlockMap::PitchShiftFor(nWidth);
    const int32_t nPitch = nShift <= 30 ? (1 << nShift) : std::numeric_limits<int32_t>::max();
    m_ScrollX.Setup(0, 640, kMargin, ClampToInt(int64_t(nWidth) + 2 * kMargin),
                    ClampToInt(int64_t(nWidth) * 32 + 640), nPitch, nShift, 320,
                    ClampToInt((int64_t(nWidth) + kMargin) * 32));
    m_ScrollX.SetSpeed(g_Stage.m_bAutoScrollX, g_Stage.m_nAutoScrollSpeedX);
    m_ScrollX.SetBounds(g_Stage.m_nScrollLimitLeft, g_Stage.m_nScrollLimitRight, g_Stage.m_bScrollLimitLeft,
                        g_Stage.m_bScrollLimitRight);
    const int32_t nRows = ClampToInt(int64_t(nHeight) + 2 * kMargin);
    m_ScrollY.Setup(1, 480, kMargin, nRows, ClampToInt(int64_t(nHeight) * 32 + 640), nRows, 0, 320,
                    ClampToInt((int64_t(nHeight) + kMargin) * 32));
    m_ScrollY.SetSpeed(g_Stage.m_bAutoScrollY, g_Stage.m_nAutoScrollSpeedY);
    m_ScrollY.SetBounds(g_Stage.m_nScrollLimitTop, g_Stage.m_nScrollLimitBottom, g_Stage.m_bScrollLimitTop,
                        g_Stage.m_bScrollLimitBottom);

    if (!BlockMap.Resize(nWidth, nHeight)) {
        ErrorBoxF("メモリ不足により、ステージの初期設定に失敗しました！");
        PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
        m_bSetupFailed = 1;
        return;
    }
    BlockMap.ClearCells();
    for (const cEdBlock& block : g_Stage.m_vBlock) {
        // A placement outside the map (a damaged file) places nothing.
        const int32_t nCell = BlockMap.IndexOf(block.m_nX + kMargin, block.m_nY + kMargin);
        if (nCell < 0) continue;
        BLOCKCELL& cell = BlockMap[nCell];
        cell.m_Block = block;
        cell.m_nLatch = 0;
    }

    m_nPlayers = 1;
    ResetPlayers(m_nPlayers);
    WriteTraceLogF("A");
    for (int32_t j = 0; j < m_nPlayers; ++j) {
        cHero& hero = Player[static_cast<size_t>(j)];
        cEdChara& d = CheckedAt(g_Stage.m_vChara, g_Stage.FindHero());
        if (g_SaveData.bStartPos != 0) d.m_nStartDir = static_cast<int8_t>(g_SaveData.nStartFacing);
        const int32_t nKey = m_nNextCharaId++;
        hero.InitForStage(nKey, d, BlockCentre(d.m_nX), BlockCentre(d.m_nY));
        if (g_SaveData.bStartPos != 0) {
            d.m_nX = static_cast<int16_t>(std::clamp(g_SaveData.nStartX, -32768, 32767));
            d.m_nY = static_cast<int16_t>(std::clamp(g_SaveData.nStartY, -32768, 32767));
        }
        hero.SetBlockPosition(d.m_nX, d.m_nY);
        ShiftBox(hero, d.StepValue1(0, hero.m_nDir), d.StepValue2(0, hero.m_nDir));
        if (g_Stage.m_bStatusCarryOver != 0) g_SaveData.RestoreCarriedExtras(j, hero.m_nHP, hero.m_nSP);
        hero.m_Anime.SetPattern(hero.m_bFlying != 0 ? 2 : 0, 1);
    }
    WriteTraceLogF("B");

    cHero& hero = Player[0];
    m_ScrollX.m_dPosition = static_cast<int32_t>(hero.m_dX) + hero.m_nHitWidth / 2 - 320;
    m_ScrollX.Clamp();
    m_ScrollY.m_dPosition = static_cast<int32_t>(hero.m_dY) + hero.m_nHitHeight / 2 - 240;
    m_ScrollY.Clamp();
    hero.GetScreenRect();
    if (hero.m_Def.m_nSightMode != 0) BuildSightMask(&SystemSurfaces[kSightMaskSurface], &SystemSurfaces[kSightDiscSurface]);

    m_vStageVar.assign(kStageVarCount, 0);
    WriteTraceLogF("10");

    std::vector<int8_t> vItemTaken(g_Stage.m_vItem.size(), 0);
    for (const cEdChara& placement : g_Stage.m_vChara) {
        if (placement.m_nController != 1) continue;
        const int32_t nItem = placement.m_nCarriedItem;
        if (nItem < 0) {
            SpawnEnemy(CharaList, placement.m_nX, placement.m_nY, &m_nNextCharaId, placement, nullptr);
            continue;
        }
        if (static_cast<size_t>(nItem) >= g_Stage.m_vItem.size()) {
            // A carried item that names no placement (a damaged file): the character carries none.
            WriteTraceLogF("carried item %d: no such item placement", nItem);
            SpawnEnemy(CharaList, placement.m_nX, placement.m_nY, &m_nNextCharaId, placement, nullptr);
            continue;
        }
        cItem carried;
        carried.Init(m_nNextItemId++, g_Stage.m_vItem[static_cast<size_t>(nItem)], 1);
        SpawnEnemy(CharaList, placement.m_nX, placement.m_nY, &m_nNextCharaId, placement, &carried);
        vItemTaken[static_cast<size_t>(nItem)] = 1;
    }
    WriteTraceLogF("11");
    for (size_t i = 0; i < g_Stage.m_vItem.size(); ++i) {
        if (vItemTaken[i] != 0) continue;
        const cEdItem& placement = g_Stage.m_vItem[i];
        SpawnItem(ItemList, placement.m_nX, placement.m_nY, &m_nNextItemId, placement);
    }
    WriteTraceLogF("12");
    WriteTraceLogF("C");
    WriteTraceLogF("D");

    AddCharaToFaction(&Player[0], 0);
    for (cChara& chara : CharaList) AddCharaToFaction(&chara, 0);

    m_bEraseEnemies = AnySideOn(g_Stage.m_Setting[0]) ? 1 : 0;
    m_bEraseBlockCharas = AnySideOn(g_Stage.m_Setting[1]) ? 1 : 0;
    m_bEraseItems = AnySideOn(g_Stage.m_Setting[2]) ? 1 : 0;

    // The presentation objects give their surfaces back as they go, before the surfaces are
    // emptied.
    m_MessageList.Clear();
    m_EffectList.Clear();
    m_PictureList.Clear();
    m_ScreenEffect = cScreenEffect();
    m_Tone = ScreenTone();
    m_Tone.m_nPrevAlpha = 255;
    m_PauseWait.m_nCounter = 0;
    ClearStagePictures();
    ClearMessageSurfaces();

    BuildShotTestMask(m_vShotTestMask, g_Stage.m_nSubSteps, g_Stage.m_nCollisionLevel);

    m_nResult = 0;
    m_nBannerCount = 0;
    m_nBannerCount2 = 0;
    if (g_Stage.m_bTimeLimit != 0) {
        m_bNoTimeLimit = 0;
        m_nTimeLeft = std::clamp(g_Stage.m_nTimeLimit, 0, 999);
    } else {
        m_nTimeLeft = 999;
        m_bNoTimeLimit = 1;
    }
    m_nPlayFrames = 0;
    m_nPlayTime = 0;
    m_vFlowSwitch.assign(kFlowSwitchCount, 0);
    m_nNextStage = 0;
    m_nSubStep = 0;
    m_nSubStepTotal = 0;
    m_bDeathPending = 0;
    // Cells toggled in the last play belong to a map that is gone.
    m_vToggledBlocks.clear();

    g_SaveData.nScore = 0;
    if (ReplayPlaybackOn() || (bTestPlay.load() != 0 && bDirectStage.load() != 0)) g_SaveData.ClearPartial();
    g_SaveData.SaveRetryPoint();

    for (cKeyInput& input : InputStates) {
        input.ClearKeyHistory();
        input.TrimKeyEvents();
    }
    MenuCursor.ResetMenuCursor();
    FrameCountGate(0, 60);
    for (cEdStageBackground& background : g_Stage.m_vBackground) {
        background.m_dOffsetX = 0.0;
        background.m_dOffsetY = 0.0;
    }
    if (nBpp == 8) {
        std::memcpy(ColorPaletteWork, ColorPalette, sizeof(ColorPaletteWork));
        if (lpDDPalette != nullptr) lpDDPalette->SetEntries(0, 0, 255, ColorPalette);
    }
    SceneManager.FrameRate = g_Stage.m_nFrameRate > 0 ? g_Stage.m_nFrameRate : 60;

    // The stage-start trigger, before anything moves.
    if (g_System.StartTriggerOnAll() == 0) RefreshAppearance();
    const bool bAll = g_System.StartTriggerOnAll() != 0;
    FireFlows(&Player[0], 18);
    for (auto it = CharaList.begin(); it != CharaList.end(); ++it) {
        cChara& chara = *it;
        if (!bAll && chara.m_bAppeared == 0) continue;
        FireFlows(&chara, 18);
        if (chara.m_bGone != 0) continue;
        if (chara.m_bRemoved != 0) {
            RemoveEnemy(chara);
        } else if (chara.m_nHP < 1) {
            KillAndResolve(&chara, CharaList);
            if (chara.m_bGone == 0) RemoveEnemy(chara);
        }
    }

    RefreshAppearance();
    m_bStatusWindow = g_Stage.m_bPlayOption29;
    DDSetVirtualBackBuffer(0);
    m_bSetupFailed = 0;
    WriteTraceLogF("Out SetStage");
}

void cPlayState::RestartPlayback()
{
    g_SaveData.RestoreRetryPoint(1, SceneManager.GameMode, bDirectStage.load());
    SetStage(1, 1);
    m_nPhase = 1;
}

void cPlayState::ResetPlayCounters()
{
    g_SaveData.nLives = g_SaveData.nStageStartLives;
    g_SaveData.nScore = 0;
    g_SaveData.nTotalScore = 0;
    g_SaveData.nTimeBonusTotal = 0;
    g_SaveData.nPlayTimeTotal = 0;
    g_SaveData.nHpTotal = 0;
    g_SaveData.nSpTotal = 0;
    g_SaveData.bStartPos = 0;
    m_ScrollX.m_dPosition = 0.0;
    m_ScrollY.m_dPosition = 0.0;
    m_nPhaseStep = 0;
    m_nBannerCount = 0;
    m_nBannerCount2 = 0;
    m_bHoldButtons = 0;
    m_nTimeLeft = 0;
    m_bRankingEntered = 0;
    m_MessageList.Clear();
    if (!ReplayPlaybackOn()) {
        ReplayCurrent.Clear();
        ReplayPrevious.Clear();
    }
    if (bDirectStage.load() != 0) g_SaveData.nPart = 1;
    if (SceneManager.ModeHasRanking != 0)
        LoadRankingFile(g_RankingFile, SceneManager.GameMode, g_SaveData.CurrentStageName);
}

int32_t cPlayState::UseLife(cSaveData& save)
{
    if (bDirectStage.load() != 0) return 1;
    if (save.nLives == kInfiniteLives) return 1;
    if (save.nLives <= 0) return 0;
    --save.nLives;
    return 1;
}

void cPlayState::SpawnEnemy(cStageList<cChara>& list, int32_t c, int32_t r, int32_t* lpId,
                            const cEdChara& placement, const cItem* lpCarried)
{
    const cEdChara definition = placement;
    // A negative count from a damaged file still makes the one character.
    const int32_t nCopies = std::max<int32_t>(definition.m_nRepeat, 0);
    for (int32_t i = 0; i <= nCopies; ++i) {
        cChara chara;
        chara.Init(*lpId, definition, lpCarried, BlockCentre(c), BlockCentre(r), i);
        chara.SetBlockPosition(c, r);
        ShiftBox(chara, definition.StepValue1(i, chara.m_nDir), definition.StepValue2(i, chara.m_nDir));
        if (chara.IsInsideStage(1) == 0) continue;
        chara.ClampX(2);
        chara.ClampY(2);
        cChara& stored = list.Append(chara);
        stored.RegisterLinks();
        stored.GetScreenRect();
        ++*lpId;
    }
}

void cPlayState::SpawnItem(cStageList<cItem>& list, int32_t c, int32_t r, int32_t* lpId,
                           const cEdItem& placement)
{
    const cEdItem definition = placement;
    cItem item;
    item.Init(*lpId, definition, 0);
    item.SetBlockPosition(c, r);
    ShiftBox(item, definition.m_nOffsetX, definition.m_nOffsetY);
    if (item.IsInsideStage(1) == 0) return;
    item.ClampX(2);
    item.ClampY(2);
    cItem& stored = list.Append(item);
    stored.GetScreenRect();
    ++*lpId;
}

void cPlayState::SummonCharacter(cStageList<cChara>& list, double x, double y, int8_t nFaction,
                                 int8_t nFacing, const cEdShot& params, const cEdChara& definition,
                                 int32_t* lpId)
{
    const int32_t nCopies = std::max<int32_t>(definition.m_nRepeat, 0);
    for (int32_t i = 0; i <= nCopies; ++i) {
        cEdChara copy = definition;
        copy.m_nStartDir = nFacing;
        copy.m_nHitGroup = nFaction;
        if (SummonNoScore(params) != 0) copy.m_nScore = 0;
        cChara chara;
        chara.Init(*lpId, copy, nullptr, x + 336, y + 336, i);
        chara.m_dX = x + chara.m_nOffsetX;
        chara.m_dY = y + chara.m_nOffsetY;
        chara.m_dRight = chara.m_dX + chara.m_nHitWidth - 1;
        chara.m_dBottom = chara.m_dY + chara.m_nHitHeight - 1;
        ShiftBox(chara, copy.StepValue1(i, nFacing), copy.StepValue2(i, nFacing));
        if (chara.IsInsideStage(1) == 0) continue;
        chara.ClampX(2);
        chara.ClampY(2);
        cChara& stored = list.Append(chara);
        stored.GetScreenRect();
        if (HitsBlockOrCharacter(&stored) != 0) {
            // Nothing points at it yet; it only forgets its own target.
            stored.DropLinks();
            list.Remove(stored);
            continue;
        }
        if (SummonLifeOn(params) != 0) stored.m_nLifeTime = LifeInSubSteps(SummonLife(params));
        stored.RegisterLinks();
        AddCharaToFaction(&stored, 1);
        ++*lpId;
    }
}

void cPlayState::SummonItemObject(cStageList<cItem>& list, double x, double y, const cEdShot& params,
                                  const cEdItem& definition, int32_t* lpId)
{
    cItem item;
    item.Init(*lpId, definition, 0);
    item.m_dX = x + item.m_nOffsetX;
    item.m_dY = y + item.m_nOffsetY;
    item.m_dRight = item.m_dX + item.m_nHitWidth - 1;
    item.m_dBottom = item.m_dY + item.m_nHitHeight - 1;
    ShiftBox(item, definition.m_nOffsetX, definition.m_nOffsetY);
    if (item.IsInsideStage(1) == 0) return;
    item.ClampX(2);
    item.ClampY(2);
    if (SummonLifeOn(params) != 0) item.m_nLifeTime = LifeInSubSteps(SummonLife(params));
    list.Append(item);
    ++*lpId;
}

int32_t cPlayState::PlaceBlockAt(double x, double y, const cEdShot& params, const cEdBlock& block)
{
    const int32_t nCell = BlockMap.IndexOfBlockAt(x, y);
    // A position outside the map places nothing (never a cell of the next row).
    if (nCell < 0) return 0;
    BLOCKCELL& cell = BlockMap[nCell];
    const bool bHeld = cell.m_Block.m_nGraphicIndex != 0 && CheckAppearanceConditions(cell) != 0;
    if (g_System.StrictBlockProtection() != 0) {
        if (cell.m_Block.m_bNoReplace != 0) return nCell;
    } else if (bHeld && cell.m_Block.m_bNoReplace != 0) {
        return nCell;
    }
    const int32_t nColumn = nCell & (BlockMap.Pitch() - 1);
    const int32_t nRow = nCell >> BlockMap.Shift();
    const cEdBlock& empty = CheckedAt(g_CommonPalette.m_vBlock, 0);
    switch (params.m_nBlockMode) {
    case 1:
        cell.m_Block = empty;
        cell.m_nLatch = 0;
        return nCell;
    case 2:
        if (std::find(m_vToggledBlocks.begin(), m_vToggledBlocks.end(), nCell) != m_vToggledBlocks.end())
            return nCell;
        if (bHeld) {
            cell.m_Block = empty;
            cell.m_nLatch = 0;
            m_vToggledBlocks.push_back(nCell);
            return nCell;
        }
        break;
    default:
        break;
    }
    bool bUndone = false;
    if (BlockUndoOnHero(params) == 0 && BlockUndoOnChara(params) == 0) {
        cell.m_Block = block;
        cell.m_nLatch = 0;
        CrushAtCell(nCell, nColumn, nRow, params);
    } else {
        const BLOCKCELL old = cell;
        cell.m_Block = block;
        cell.m_nLatch = 0;
        if (CrushAtCell(nCell, nColumn, nRow, params) != 0) {
            cell = old;
            bUndone = true;
        }
    }
    if (params.m_nBlockMode == 2 && !bUndone) m_vToggledBlocks.push_back(nCell);
    return nCell;
}

int32_t cPlayState::CrushAtCell(int32_t nCell, int32_t nCol, int32_t nRow, const cEdShot& params)
{
    BLOCKCELL& cell = BlockMap[nCell];
    const double l = nCol * 32.0;
    const double t = nRow * 32.0;
    const double r = l + 31.9;
    const double b = t + 31.9;
    for (cHero& hero : Player) {
        if (hero.m_bDefeated != 0 || cell.IsActive(hero.m_nFaction) == 0) continue;
        if (!BoxesOverlap(hero.m_dX, hero.m_dY, hero.m_dRight, hero.m_dBottom, l, t, r, b)) continue;
        hero.m_nCrushed = 2;
        if (BlockUndoOnHero(params) != 0) return 1;
    }
    for (cChara& chara : CharaList) {
        if (chara.m_bDefeated != 0 || chara.m_bAppeared == 0 || cell.IsActive(chara.m_nFaction) == 0) continue;
        if (!BoxesOverlap(chara.m_dX, chara.m_dY, chara.m_dRight, chara.m_dBottom, l, t, r, b)) continue;
        chara.m_nCrushed = 2;
        if (BlockUndoOnChara(params) != 0) return 1;
    }
    return 0;
}
