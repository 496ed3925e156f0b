#pragma once
// The player's progress: map position, stage and part, lives, scores and totals, music, the world
// map's clear flags, the common variables of scripts, the player character's carried status,
// the stage high scores, the challenge records and the front-end switches. One live record is
// game-wide; it is stored in the 99 story slots "user_data\story\StoryNN.dat" and in the
// challenge save "user_data\challenge\Challenge.dat".
#include <cstdint>
#include <string>
#include <vector>

#include "data/EdChara.h"
#include "data/FieldListRecord.h"

constexpr int32_t kInfiniteLives = 999999;
constexpr int32_t kStorySlotCount = 99;
constexpr int32_t kCarryGroups = 25;
constexpr int32_t kClearFlagCount = 1000;
constexpr int32_t kCommonVarCount = 256;

// The local time of a save, field by field as the slot files store it (eight u16).
struct SAVETIME {
    uint16_t wYear;
    uint16_t wMonth;
    uint16_t wDayOfWeek;
    uint16_t wDay;
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};
static_assert(sizeof(SAVETIME) == 16);

SAVETIME LocalSaveTime();

// The carried status of one player: the definition members of the carry-over groups and five
// values that are not definition members (HP, SP, time, lives, music).
class cSavedCharaStatus : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cSavedCharaStatus)
    cSavedCharaStatus();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;

    cEdChara m_Chara;
    int32_t nCarry0 = 0;   // HP (group 11)
    int32_t nCarry1 = 0;   // SP (group 12)
    int32_t nCarry2 = 0;   // time (group 22)
    int32_t nCarry3 = 0;   // lives (group 23)
    int32_t nCarry4 = 0;   // music (group 24)
};

class cStageHighScore : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cStageHighScore)
    cStageHighScore();
    void RegisterFields(uint32_t nVersion) override;

    std::string strName;   // key form
    int32_t nScore = 0;
};

class cChallengeRecord : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cChallengeRecord)
    cChallengeRecord();
    void RegisterFields(uint32_t nVersion) override;

    int32_t bCleared = 0;
    int32_t nBest = 0;
};

class cSaveData : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cSaveData)
    cSaveData();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;   // ReadSaveData
    bool Save(FILE* fp) override;   // WriteSaveData

    // A new game: fields zeroed, the vectors at their new-game sizes, one challenge stage open,
    // no current slot, the default player name.
    void Reset();
    // A new story game: Reset, then the world map's start cell and the starting lives of story.
    void ResetProgress();
    // The totals that a stage's rankings compare.
    void ClearPartial();
    // The next play-through: counted, every clear flag cleared, back to the map's start cell.
    void BeginNewPlaythrough();
    // Brings every value a file can hold wrongly back into range; last step of a load, first
    // step of a save.
    void ValidateSaveData();
    // After a load in game mode m: infinite lives when the mode has them, otherwise a stored
    // infinite count becomes the mode's starting lives.
    void ApplyLivesRule(int32_t nMode);

    // Key form of a stage file name (see the definition); sets bPartChain.
    void SetCurrentStageName(const std::string& name);
    void RecordStageHighScore(const std::string& name, int32_t nScore);
    int32_t FindStageHighScore(const std::string& name) const;
    void RecountHighScoreTotal();
    // Steps nRankingKind over the kinds that game mode's ranking setting enables.
    void StepEnabledMenuItem(int32_t nMode, int32_t nStep);

    // Carry-over of the player's status between stages and the retry point.
    void StoreCharaStatus(int32_t nPlayer, const cEdChara& definition, int32_t a, int32_t b,
                          int32_t c1, int32_t c2, int32_t c3, int32_t d1, int32_t d2, int32_t d3);
    void RestoreCharaStatus(int32_t nPlayer, cEdChara& definition);
    void RestoreCarriedExtras(int32_t nPlayer, int32_t& a, int32_t& b);
    void ClearCarryOverFlags();
    void SaveRetryPoint();
    // nDirectStage: the stage was started directly from a stage file (its own retry switch).
    int32_t RestoreRetryPoint(int32_t bAll, int32_t nGameMode, int32_t bDirectStage);

    // Registered fields, in file order.
    int32_t bStatusStored = 0;
    int32_t nMapX = 0;
    int32_t nMapY = 0;
    int32_t PlayingItem = 0;
    int32_t nPlaythrough = 0;
    int32_t nStage = 0;
    int32_t nPart = 0;
    int32_t nStageStartLives = 0;
    int32_t nLives = 0;
    int32_t nScore = 0;
    int32_t nTotalScore = 0;
    int32_t nHighScoreTotal = 0;
    int32_t nTimeBonusTotal = 0;
    int32_t nPlayTimeTotal = 0;
    int32_t nHpTotal = 0;          // from 182
    int32_t nSpTotal = 0;          // from 182
    int32_t bPartChain = 0;
    int32_t nBgm = 0;
    int32_t nBgmOption = 0;        // from 166
    int32_t nFacing = 0;           // from 194; 0 down, 1 up, 2 left, 3 right
    int32_t bGaveUp = 0;           // from 190
    int32_t nPrevMapX = 0;         // from 191
    int32_t nPrevMapY = 0;         // from 191
    int32_t nOpenChallenge = 0;
    int32_t nCurrentSlot = -1;     // 0-based, -1 none
    int32_t bAutoSave = 0;         // from 169
    int32_t bRankingPanel = 0;
    int32_t nRankingKind = 0;      // 0..4
    int32_t bStartPos = 0;         // from 678
    int32_t nStartX = 0;           // from 678
    int32_t nStartY = 0;           // from 678
    int32_t nStartFacing = 0;      // from 679
    std::string CurrentStageName;
    std::string strSecond;         // from 724; kept and copied, read by nothing
    std::string strPlayerName;

    SAVETIME SaveTime{};
    std::vector<int32_t> StoredGroups;
    std::vector<cSavedCharaStatus> CharaStatus;
    std::vector<cStageHighScore> HighScores;
    std::vector<cChallengeRecord> ChallengeRecords;
    std::vector<int32_t> ClearFlags;
    std::vector<int32_t> CommonVars;

    // The retry point, not stored.
    std::vector<int32_t> RetryCommonVars;
    int32_t nRetryLives = 0;
    int32_t nRetryTotalScore = 0;
};

// One story slot as the slot list shows it.
struct cSaveSlotInfo {
    int32_t bValid = 0;   // the file exists and was read whole
    SAVETIME SaveTime{};
};

extern cSaveData g_SaveData;
extern cSaveData SaveSnapshotCurrent;
extern cSaveData SaveSnapshotPrevious;
extern std::vector<cSaveSlotInfo> SaveSlots;

// 1 when the stage file name, without extension and in key form, is a stage of the world map.
int IsStageOnWorldMap(const std::string& name);

// "user_data\story\StoryNN.dat" of slot 0..98 (NN = slot + 1).
void BuildStorySlotPath(std::string& out, int32_t nSlot);
// Saves the live record into the slot with the current time. 1 when written; only then is the
// slot listed as saved.
int SaveStorySlot(int32_t nSlot);
// Loads the slot into the live record and applies the story lives rule. 0 when the file is
// missing or damaged; the live record then stays as it was.
int LoadStorySlot(int32_t nSlot);
// The challenge save: 1 when read (then the challenge lives rule applies), else 0 with the live
// record as it was.
int LoadChallengeSave();
int SaveChallengeSave();
// Reads every slot of the list (99 when it is empty): valid only when its file was read whole.
void LoadSaveSlotList(std::vector<cSaveSlotInfo>& list);

struct DDSURFACEDATA;
void DrawSaveSlotList(DDSURFACEDATA* lpSurface, int32_t x, int32_t y, std::vector<cSaveSlotInfo>& list,
                      int32_t nTop, int32_t nRows);
void DrawSaveSlotDate(const cSaveSlotInfo& slot, DDSURFACEDATA* lpSurface, int32_t x, int32_t y);
