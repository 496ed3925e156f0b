#include "frontend/SaveData.h"

#include <algorithm>
#include <ctime>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/Path.h"
#include "core/SaturatingStep.h"
#include "core/Text.h"
#include "data/EdSystem.h"
#include "data/EdWorldMap.h"
#include "data/ProjectPaths.h"
#include "data/RecordStream.h"
#include "frontend/NumberFormat.h"

namespace {

// Challenge stages are named by two digits; the bound keeps a damaged project setting from
// growing the records without end.
constexpr int32_t kMaxChallengeStages = 9999;

// First versions of the fields added over time, and the last version without stored groups.
constexpr uint32_t kVersionBgmOption = 166;
constexpr uint32_t kVersionAutoSave = 169;
constexpr uint32_t kVersionHpSpTotals = 182;
constexpr uint32_t kVersionGaveUp = 190;
constexpr uint32_t kVersionPrevMap = 191;
constexpr uint32_t kVersionFacing = 194;
constexpr uint32_t kLastVersionWithoutGroups = 500;
constexpr uint32_t kVersionStartPos = 678;
constexpr uint32_t kVersionStartFacing = 679;
constexpr uint32_t kVersionSecondString = 724;
constexpr uint32_t kLastMigratedVersion = 750;

template <class T>
T& SettingAt(std::vector<T>& v, int32_t nIndex)
{
    return CheckedAt(v, nIndex);
}

}  // namespace

SAVETIME LocalSaveTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    SAVETIME t{};
    t.wYear = static_cast<uint16_t>(local.tm_year + 1900);
    t.wMonth = static_cast<uint16_t>(local.tm_mon + 1);
    t.wDayOfWeek = static_cast<uint16_t>(local.tm_wday);
    t.wDay = static_cast<uint16_t>(local.tm_mday);
    t.wHour = static_cast<uint16_t>(local.tm_hour);
    t.wMinute = static_cast<uint16_t>(local.tm_min);
    t.wSecond = static_cast<uint16_t>(std::min(local.tm_sec, 59));
    return t;
}

// ---- element records ----

cSavedCharaStatus::cSavedCharaStatus() { RegisterFields(g_nDataVersion); }

void cSavedCharaStatus::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt32Field(&nCarry0);
    AddInt32Field(&nCarry1);
    AddInt32Field(&nCarry2);
    AddInt32Field(&nCarry3);
    AddInt32Field(&nCarry4);
}

bool cSavedCharaStatus::Load(FILE* fp)
{
    return LoadRecordFields(fp) && m_Chara.Load(fp);
}

bool cSavedCharaStatus::Save(FILE* fp)
{
    return SaveRecordFields(fp) && m_Chara.Save(fp);
}

cStageHighScore::cStageHighScore() { RegisterFields(g_nDataVersion); }

void cStageHighScore::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt32Field(&nScore);
    AddStringField(&strName);
}

cChallengeRecord::cChallengeRecord() { RegisterFields(g_nDataVersion); }

void cChallengeRecord::RegisterFields(uint32_t) { RegisterTwoInts(&bCleared, &nBest); }

// ---- the progress record ----

cSaveData::cSaveData()
{
    RegisterFields(g_nDataVersion);
    Reset();
}

void cSaveData::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddInt32Field(&bStatusStored);
    AddInt32Field(&nMapX);
    AddInt32Field(&nMapY);
    AddInt32Field(&PlayingItem);
    AddInt32Field(&nPlaythrough);
    AddInt32Field(&nStage);
    AddInt32Field(&nPart);
    AddInt32Field(&nStageStartLives);
    AddInt32Field(&nLives);
    AddInt32Field(&nScore);
    AddInt32Field(&nTotalScore);
    AddInt32Field(&nHighScoreTotal);
    AddInt32Field(&nTimeBonusTotal);
    AddInt32Field(&nPlayTimeTotal);
    if (nVersion >= kVersionHpSpTotals) {
        AddInt32Field(&nHpTotal);
        AddInt32Field(&nSpTotal);
    }
    AddInt32Field(&bPartChain);
    AddInt32Field(&nBgm);
    if (nVersion >= kVersionBgmOption) AddInt32Field(&nBgmOption);
    if (nVersion >= kVersionFacing) AddInt32Field(&nFacing);
    if (nVersion >= kVersionGaveUp) AddInt32Field(&bGaveUp);
    if (nVersion >= kVersionPrevMap) {
        AddInt32Field(&nPrevMapX);
        AddInt32Field(&nPrevMapY);
    }
    AddInt32Field(&nOpenChallenge);
    AddInt32Field(&nCurrentSlot);
    if (nVersion >= kVersionAutoSave) AddInt32Field(&bAutoSave);
    AddInt32Field(&bRankingPanel);
    AddInt32Field(&nRankingKind);
    if (nVersion >= kVersionStartPos) {
        AddInt32Field(&bStartPos);
        AddInt32Field(&nStartX);
        AddInt32Field(&nStartY);
    }
    if (nVersion >= kVersionStartFacing) AddInt32Field(&nStartFacing);
    AddStringField(&CurrentStageName);
    if (nVersion >= kVersionSecondString) AddStringField(&strSecond);
    AddStringField(&strPlayerName);
}

void cSaveData::Reset()
{
    ResetFields();
    StoredGroups.assign(kCarryGroups, 0);
    CharaStatus.assign(1, cSavedCharaStatus());
    ClearFlags.assign(kClearFlagCount, 0);
    ClearFlags[0] = 1;
    CommonVars.assign(kCommonVarCount, 0);
    HighScores.clear();
    ChallengeRecords.clear();
    nOpenChallenge = 1;
    nCurrentSlot = -1;
    strPlayerName = "aaa";
    SaveTime = SAVETIME{};
}

void cSaveData::ResetProgress()
{
    Reset();
    nMapX = g_WorldMap.m_nStartX;
    nMapY = g_WorldMap.m_nStartY;
    nPlaythrough = 0;
    if (SettingAt(g_System.m_vInfiniteLives, 0)) {
        nStageStartLives = nLives = kInfiniteLives;
    } else {
        nStageStartLives = SettingAt(g_System.m_vStartLives, 0);
        nLives = nStageStartLives - 1;
    }
}

void cSaveData::ClearPartial()
{
    nTotalScore = 0;
    nTimeBonusTotal = 0;
    nPlayTimeTotal = 0;
    nHpTotal = 0;
    nSpTotal = 0;
}

void cSaveData::BeginNewPlaythrough()
{
    StepUp(nPlaythrough);
    std::fill(ClearFlags.begin(), ClearFlags.end(), 0);
    nMapX = g_WorldMap.m_nStartX;
    nMapY = g_WorldMap.m_nStartY;
}

bool cSaveData::Load(FILE* fp)
{
    const uint32_t nVersion = g_nFileVersion;
    if (!LoadRecordFields(fp)) return false;
    if (!ReadRecordBytes(fp, &SaveTime, sizeof SaveTime)) {
        ReportRecordReadError(fp, "save time");
        return false;
    }
    if (nVersion > kLastVersionWithoutGroups && !LoadIntVector(fp, StoredGroups)) return false;
    if (!LoadRecordVector(fp, CharaStatus, cSavedCharaStatus())) return false;
    if (!LoadRecordVector(fp, HighScores, cStageHighScore())) return false;
    if (!LoadRecordVector(fp, ChallengeRecords, cChallengeRecord())) return false;
    if (!LoadIntVector(fp, ClearFlags)) return false;
    if (!LoadIntVector(fp, CommonVars)) return false;

    if (nVersion <= kLastMigratedVersion) {
        if (nVersion < kVersionBgmOption) nBgmOption = 1;
        if (nVersion < kVersionAutoSave) bAutoSave = 0;
        if (nVersion < kVersionHpSpTotals) nHpTotal = nSpTotal = 0;
        if (nVersion < kVersionGaveUp) bGaveUp = 0;
        if (nVersion < kVersionPrevMap) nPrevMapX = nPrevMapY = 0;
        if (nVersion < kVersionFacing) nFacing = 0;
        // Before the groups were stored every group was carried whenever a status was stored.
        if (nVersion <= kLastVersionWithoutGroups) StoredGroups.assign(kCarryGroups, 1);
    }
    ValidateSaveData();
    return true;
}

bool cSaveData::Save(FILE* fp)
{
    ValidateSaveData();
    return SaveRecordFields(fp) && WriteRecordBytes(fp, &SaveTime, sizeof SaveTime) &&
           SaveIntVector(fp, StoredGroups) && SaveRecordVector(fp, CharaStatus) &&
           SaveRecordVector(fp, HighScores) && SaveRecordVector(fp, ChallengeRecords) &&
           SaveIntVector(fp, ClearFlags) && SaveIntVector(fp, CommonVars);
}

void cSaveData::ValidateSaveData()
{
    // The file is the player's: every value that indexes something or counts something is
    // brought back into range, and vectors shorter than their users index are padded. Longer
    // vectors keep what they hold.
    if (nMapX < 0 || nMapX >= g_WorldMap.m_nWidth) nMapX = g_WorldMap.m_nStartX;
    if (nMapY < 0 || nMapY >= g_WorldMap.m_nHeight) nMapY = g_WorldMap.m_nStartY;
    if (nPrevMapX < 0 || nPrevMapX >= g_WorldMap.m_nWidth) nPrevMapX = nMapX;
    if (nPrevMapY < 0 || nPrevMapY >= g_WorldMap.m_nHeight) nPrevMapY = nMapY;
    if (nFacing < 0 || nFacing > 3) nFacing = 0;
    if (nStartFacing < 0 || nStartFacing > 3) nStartFacing = 0;
    if (nCurrentSlot < -1 || nCurrentSlot >= kStorySlotCount) nCurrentSlot = -1;
    if (nRankingKind < 0 || nRankingKind > 4) nRankingKind = 0;
    if (StoredGroups.size() < kCarryGroups) StoredGroups.resize(kCarryGroups, 0);
    if (CharaStatus.empty()) CharaStatus.assign(1, cSavedCharaStatus());
    if (ClearFlags.size() < kClearFlagCount) ClearFlags.resize(kClearFlagCount, 0);
    if (CommonVars.size() < kCommonVarCount) CommonVars.resize(kCommonVarCount, 0);
    const int32_t nChallenges = std::clamp(g_System.m_nChallengeStages, 0, kMaxChallengeStages);
    ChallengeRecords.resize(static_cast<size_t>(nChallenges), cChallengeRecord());
    nOpenChallenge = std::clamp(nOpenChallenge, 0, nChallenges);
}

void cSaveData::ApplyLivesRule(int32_t nMode)
{
    if (SettingAt(g_System.m_vInfiniteLives, nMode)) {
        nStageStartLives = nLives = kInfiniteLives;
    } else if (nLives == kInfiniteLives) {
        nLives = SettingAt(g_System.m_vStartLives, nMode);
    }
}

// ---- stage names and high scores ----

namespace {

// The position of the last "-1" in the text, or npos.
size_t FindPartMark(const std::string& text)
{
    if (text.size() < 2) return std::string::npos;
    for (size_t i = text.size() - 1; i-- > 0;) {
        if (text[i] == '-' && text[i + 1] == '1') return i;
    }
    return std::string::npos;
}

}  // namespace

void cSaveData::SetCurrentStageName(const std::string& name)
{
    CurrentStageName = name;
    bPartChain = 0;
    const size_t nMark = FindPartMark(CurrentStageName);
    if (nMark != std::string::npos) {
        bPartChain = 1;
        CurrentStageName.resize(nMark);
        CurrentStageName += '.';
        return;
    }
    const size_t nDot = CurrentStageName.rfind('.');
    if (nDot == std::string::npos) CurrentStageName.clear();
    else CurrentStageName.resize(nDot + 1);
}

void cSaveData::RecordStageHighScore(const std::string& name, int32_t nNewScore)
{
    for (cStageHighScore& entry : HighScores) {
        if (entry.strName != name) continue;
        if (entry.nScore < nNewScore) {
            nHighScoreTotal += nNewScore - entry.nScore;
            entry.nScore = nNewScore;
        }
        return;
    }
    cStageHighScore entry;
    entry.strName = name;
    entry.nScore = nNewScore;
    HighScores.push_back(entry);
    nHighScoreTotal += nNewScore;
}

int32_t cSaveData::FindStageHighScore(const std::string& name) const
{
    for (const cStageHighScore& entry : HighScores) {
        if (entry.strName == name) return entry.nScore;
    }
    return 0;
}

int IsStageOnWorldMap(const std::string& name)
{
    for (const cEdWorldEntry& entry : g_WorldMap.m_vEntry) {
        for (const cEdWorldEntryItem& item : entry.m_vEntryItem) {
            if (item.m_nKind != 0) continue;
            std::string key = item.m_strStageFile;
            RemoveExtension(key);
            const size_t nMark = FindPartMark(key);
            if (nMark != std::string::npos) key.resize(nMark);
            key += '.';
            if (key == name) return 1;
        }
    }
    return 0;
}

void cSaveData::RecountHighScoreTotal()
{
    int32_t nTotal = 0;
    for (const cStageHighScore& entry : HighScores) {
        if (IsStageOnWorldMap(entry.strName)) nTotal += entry.nScore;
    }
    nHighScoreTotal = nTotal;
}

void cSaveData::StepEnabledMenuItem(int32_t nMode, int32_t nStep)
{
    const cEdRankingSetting& setting = SettingAt(g_System.m_vRanking, nMode);
    auto enabled = [&](int32_t nKind) {
        return static_cast<size_t>(nKind) < setting.m_vKind.size() && setting.m_vKind[static_cast<size_t>(nKind)] != 0;
    };
    bool bAny = false;
    for (int32_t k = 0; k < 5; ++k) bAny = bAny || enabled(k);
    if (!bAny) return;
    if (nRankingKind < 0 || nRankingKind > 4) nRankingKind = 0;
    auto advance = [&](int32_t nDir) {
        do nRankingKind = (nRankingKind + nDir + 5) % 5;
        while (!enabled(nRankingKind));
    };
    if (nStep > 0) {
        for (int32_t i = 0; i < nStep; ++i) advance(1);
    } else if (nStep < 0) {
        for (int32_t i = 0; i < -nStep; ++i) advance(-1);
    } else if (!enabled(nRankingKind)) {
        advance(1);
    }
}

// ---- slots and the challenge save ----

void BuildStorySlotPath(std::string& out, int32_t nSlot)
{
    std::string number;
    FormatFixedNumber(number, nSlot + 1, 2, 1, 0);
    FormatString(out, "%s%s.dat", ProjectPathTable[41], number.c_str());
}

int SaveStorySlot(int32_t nSlot)
{
    std::string path;
    BuildStorySlotPath(path, nSlot);
    g_SaveData.SaveTime = LocalSaveTime();
    if (!g_SaveData.SaveToFile(path)) return 0;
    if (SaveSlots.size() < kStorySlotCount) SaveSlots.resize(kStorySlotCount);
    cSaveSlotInfo& info = CheckedAt(SaveSlots, nSlot);
    info.bValid = 1;
    info.SaveTime = g_SaveData.SaveTime;
    return 1;
}

int LoadStorySlot(int32_t nSlot)
{
    std::string path;
    BuildStorySlotPath(path, nSlot);
    if (!g_SaveData.LoadFromFile(path)) return 0;
    g_SaveData.ApplyLivesRule(0);
    return 1;
}

int LoadChallengeSave()
{
    if (!g_SaveData.LoadFromFile(ProjectPathTable[42])) return 0;
    g_SaveData.ApplyLivesRule(1);
    return 1;
}

int SaveChallengeSave()
{
    return g_SaveData.SaveToFile(ProjectPathTable[42]);
}

void LoadSaveSlotList(std::vector<cSaveSlotInfo>& list)
{
    if (list.empty()) list.resize(kStorySlotCount);
    cSaveData work;
    for (int32_t i = 0; i < static_cast<int32_t>(list.size()); ++i) {
        cSaveSlotInfo& info = list[static_cast<size_t>(i)];
        std::string path;
        BuildStorySlotPath(path, i);
        info = cSaveSlotInfo{};
        work.Reset();
        if (work.LoadFromFile(path)) {
            info.bValid = 1;
            info.SaveTime = work.SaveTime;
        }
    }
}
