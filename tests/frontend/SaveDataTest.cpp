#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/Log.h"
#include "data/EdSystem.h"
#include "data/EdWorldMap.h"
#include "frontend/SaveData.h"
#include "platform/host/Host.h"
#include "tests/data/RecordTestUtil.h"

namespace {

struct FieldSpec {
    const char* name;
    uint32_t firstVersion;
    int32_t value;   // a value in range, distinct where it matters
};

// The registered scalars in file order, with the first version that stores each.
const FieldSpec kFields[] = {
    {"bStatusStored", 0, 1},  {"nMapX", 0, 4},         {"nMapY", 0, 5},
    {"PlayingItem", 0, 6},    {"nPlaythrough", 0, 2},  {"nStage", 0, 7},
    {"nPart", 0, 1},          {"nStageStartLives", 0, 3}, {"nLives", 0, 2},
    {"nScore", 0, 1200},      {"nTotalScore", 0, 5400}, {"nHighScoreTotal", 0, 9000},
    {"nTimeBonusTotal", 0, 120}, {"nPlayTimeTotal", 0, 45678}, {"nHpTotal", 182, 33},
    {"nSpTotal", 182, 44},    {"bPartChain", 0, 1},    {"nBgm", 0, 5},
    {"nBgmOption", 166, 2},   {"nFacing", 194, 3},     {"bGaveUp", 190, 1},
    {"nPrevMapX", 191, 6},    {"nPrevMapY", 191, 7},   {"nOpenChallenge", 0, 2},
    {"nCurrentSlot", 0, 4},   {"bAutoSave", 169, 1},   {"bRankingPanel", 0, 1},
    {"nRankingKind", 0, 2},   {"bStartPos", 678, 1},   {"nStartX", 678, 11},
    {"nStartY", 678, 12},     {"nStartFacing", 679, 1},
};

struct SaveFixture {
    uint32_t version = 751;
    std::map<std::string, int32_t> overrides;
    int32_t storedGroupValue = 0;
    int32_t statusRecords = 1;
    int32_t challengeRecords = 3;
    uint32_t clearFlags = 1000;
    uint32_t commonVars = 256;
};

int32_t FieldValue(const SaveFixture& f, const FieldSpec& spec)
{
    auto it = f.overrides.find(spec.name);
    return it == f.overrides.end() ? spec.value : it->second;
}

// A save file written out field by field; the embedded definition of each status record is the
// body of a new character definition.
Bytes SaveFileBytes(const SaveFixture& f)
{
    Bytes b;
    AppendU32(b, f.version);
    std::vector<int32_t> values;
    for (const FieldSpec& spec : kFields) {
        if (f.version >= spec.firstVersion) values.push_back(FieldValue(f, spec));
    }
    AppendU32(b, static_cast<uint32_t>(values.size()));
    for (int32_t v : values) AppendU32(b, static_cast<uint32_t>(v));
    AppendU32(b, f.version >= 724 ? 3 : 2);
    AppendString(b, "data\\stg4\\Forest.");
    if (f.version >= 724) AppendString(b, "");
    AppendString(b, "abc");
    for (uint16_t w : {2026, 12, 4, 10, 13, 45, 30, 0}) AppendU16(b, w);
    if (f.version > 500) {
        AppendU32(b, 25);
        for (int32_t k = 0; k < 25; ++k) AppendU32(b, static_cast<uint32_t>(f.storedGroupValue));
    }
    AppendU32(b, static_cast<uint32_t>(f.statusRecords));
    for (int32_t i = 0; i < f.statusRecords; ++i) {
        AppendU32(b, 5);
        for (int32_t v : {10, 5, 0, 0, 0}) AppendU32(b, static_cast<uint32_t>(v));
        AppendU32(b, 0);
        cEdChara chara;
        const Bytes body = SaveBody(chara);
        b.insert(b.end(), body.begin(), body.end());
    }
    AppendU32(b, 1);
    AppendU32(b, 1);
    AppendU32(b, 700);
    AppendU32(b, 1);
    AppendString(b, "data\\stg4\\Forest.");
    AppendU32(b, static_cast<uint32_t>(f.challengeRecords));
    for (int32_t i = 0; i < f.challengeRecords; ++i) {
        AppendU32(b, 2);
        AppendU32(b, i == 0 ? 1 : 0);
        AppendU32(b, i == 0 ? 300 : 0);
        AppendU32(b, 0);
    }
    AppendU32(b, f.clearFlags);
    for (uint32_t i = 0; i < f.clearFlags; ++i) AppendU32(b, i == 0 || i == 7 ? 1 : 0);
    AppendU32(b, f.commonVars);
    for (uint32_t i = 0; i < f.commonVars; ++i) AppendU32(b, i == 255 ? 77 : 0);
    return b;
}

class SaveDataTest : public ScratchFolderTest {
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        std::filesystem::create_directories("user_data/story");
        std::filesystem::create_directories("user_data/challenge");
        m_savedMap = g_WorldMap;
        m_savedSystem = g_System;
        g_WorldMap.m_nWidth = 20;
        g_WorldMap.m_nHeight = 20;
        g_WorldMap.m_nStartX = 1;
        g_WorldMap.m_nStartY = 2;
        g_System.m_nChallengeStages = 3;
        g_System.m_vStartLives.assign(4, 3);
        g_System.m_vInfiniteLives.assign(4, 0);
        g_SaveData.Reset();
    }
    void TearDown() override
    {
        g_WorldMap = m_savedMap;
        g_System = m_savedSystem;
        g_SaveData.Reset();
        SaveSlots.clear();
        ScratchFolderTest::TearDown();
    }
    // The live record as the default fixture holds it.
    static void FillLikeFixture(cSaveData& s)
    {
        s.Reset();
        s.bStatusStored = 1; s.nMapX = 4; s.nMapY = 5; s.PlayingItem = 6; s.nPlaythrough = 2;
        s.nStage = 7; s.nPart = 1; s.nStageStartLives = 3; s.nLives = 2; s.nScore = 1200;
        s.nTotalScore = 5400; s.nHighScoreTotal = 9000; s.nTimeBonusTotal = 120;
        s.nPlayTimeTotal = 45678; s.nHpTotal = 33; s.nSpTotal = 44; s.bPartChain = 1; s.nBgm = 5;
        s.nBgmOption = 2; s.nFacing = 3; s.bGaveUp = 1; s.nPrevMapX = 6; s.nPrevMapY = 7;
        s.nOpenChallenge = 2; s.nCurrentSlot = 4; s.bAutoSave = 1; s.bRankingPanel = 1;
        s.nRankingKind = 2; s.bStartPos = 1; s.nStartX = 11; s.nStartY = 12; s.nStartFacing = 1;
        s.CurrentStageName = "data\\stg4\\Forest.";
        s.strPlayerName = "abc";
        s.SaveTime = SAVETIME{2026, 12, 4, 10, 13, 45, 30, 0};
        s.CharaStatus[0].nCarry0 = 10;
        s.CharaStatus[0].nCarry1 = 5;
        s.HighScores.resize(1);
        s.HighScores[0].strName = "data\\stg4\\Forest.";
        s.HighScores[0].nScore = 700;
        s.ChallengeRecords.resize(3);
        s.ChallengeRecords[0].bCleared = 1;
        s.ChallengeRecords[0].nBest = 300;
        s.ClearFlags[7] = 1;
        s.CommonVars[255] = 77;
    }
    cEdWorldMap m_savedMap;
    cEdSystem m_savedSystem;
};

TEST_F(SaveDataTest, Version751FileWithOneStatusRecordByteForByte)
{
    FillLikeFixture(g_SaveData);
    ASSERT_EQ(g_SaveData.SaveToFile("user_data\\story\\Story05.dat"), 1);
    EXPECT_EQ(ReadWholeFile("user_data/story/Story05.dat"), SaveFileBytes(SaveFixture{}));
    EXPECT_FALSE(std::filesystem::exists("user_data/story/Story05.dat.tmp"));

    cSaveData loaded;
    ASSERT_EQ(loaded.LoadFromFile("user_data\\story\\Story05.dat"), 1);
    EXPECT_EQ(loaded.nPlayTimeTotal, 45678);
    EXPECT_EQ(loaded.nStartFacing, 1);
    EXPECT_EQ(loaded.CurrentStageName, "data\\stg4\\Forest.");
    EXPECT_EQ(loaded.strPlayerName, "abc");
    EXPECT_EQ(loaded.SaveTime.wMinute, 45);
    ASSERT_EQ(loaded.CharaStatus.size(), 1u);
    EXPECT_EQ(loaded.CharaStatus[0].nCarry0, 10);
    EXPECT_EQ(loaded.FindStageHighScore("data\\stg4\\Forest."), 700);
    EXPECT_EQ(loaded.ChallengeRecords[0].nBest, 300);
    EXPECT_EQ(loaded.ClearFlags[7], 1);
    EXPECT_EQ(loaded.CommonVars[255], 77);
}

// Each migration boundary: the version before lacks the field (it gets its migrated value, whatever
// the record held), the version at the boundary reads it from the file.
TEST_F(SaveDataTest, MigrationBoundaries)
{
    struct Case {
        uint32_t version;
        const char* field;
        int32_t want;
    };
    const Case cases[] = {
        {165, "nBgmOption", 1},  {166, "nBgmOption", 2},
        {168, "bAutoSave", 0},   {169, "bAutoSave", 1},
        {181, "nHpTotal", 0},    {182, "nHpTotal", 33},
        {181, "nSpTotal", 0},    {182, "nSpTotal", 44},
        {189, "bGaveUp", 0},     {190, "bGaveUp", 1},
        {190, "nPrevMapX", 0},   {191, "nPrevMapX", 6},
        {190, "nPrevMapY", 0},   {191, "nPrevMapY", 7},
        {193, "nFacing", 0},     {194, "nFacing", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.field << " at version " << c.version);
        SaveFixture f;
        f.version = c.version;
        f.statusRecords = 0;   // an old file holds its definitions in their old layout
        WriteWholeFile("user_data/story/Story01.dat", SaveFileBytes(f));
        // The live record holds other values, so a kept value cannot pass for a migrated one.
        g_SaveData.Reset();
        g_SaveData.nBgmOption = 9; g_SaveData.bAutoSave = 9; g_SaveData.nHpTotal = 9;
        g_SaveData.nSpTotal = 9; g_SaveData.bGaveUp = 9; g_SaveData.nPrevMapX = 9;
        g_SaveData.nPrevMapY = 9; g_SaveData.nFacing = 2;
        ASSERT_EQ(LoadStorySlot(0), 1);
        const std::map<std::string, int32_t> got = {
            {"nBgmOption", g_SaveData.nBgmOption}, {"bAutoSave", g_SaveData.bAutoSave},
            {"nHpTotal", g_SaveData.nHpTotal},     {"nSpTotal", g_SaveData.nSpTotal},
            {"bGaveUp", g_SaveData.bGaveUp},       {"nPrevMapX", g_SaveData.nPrevMapX},
            {"nPrevMapY", g_SaveData.nPrevMapY},   {"nFacing", g_SaveData.nFacing},
        };
        EXPECT_EQ(got.at(c.field), c.want);
        // The fields before and after the missing ones still land in their own members.
        EXPECT_EQ(g_SaveData.nOpenChallenge, 2);
        EXPECT_EQ(g_SaveData.nRankingKind, 2);
        EXPECT_EQ(g_SaveData.strPlayerName, "abc");
        EXPECT_EQ(g_SaveData.CommonVars[255], 77);
    }
}

TEST_F(SaveDataTest, StoredGroupsBoundaryAt500)
{
    SaveFixture f;
    f.version = 500;
    f.statusRecords = 0;
    WriteWholeFile("user_data/story/Story01.dat", SaveFileBytes(f));
    ASSERT_EQ(LoadStorySlot(0), 1);
    ASSERT_EQ(g_SaveData.StoredGroups.size(), 25u);
    for (int32_t v : g_SaveData.StoredGroups) EXPECT_EQ(v, 1);

    f.version = 501;
    f.storedGroupValue = 0;
    WriteWholeFile("user_data/story/Story01.dat", SaveFileBytes(f));
    ASSERT_EQ(LoadStorySlot(0), 1);
    ASSERT_EQ(g_SaveData.StoredGroups.size(), 25u);
    for (int32_t v : g_SaveData.StoredGroups) EXPECT_EQ(v, 0);
}

TEST_F(SaveDataTest, UntrustedValuesAndShortVectorsAreBroughtIntoRange)
{
    SaveFixture f;
    f.overrides = {{"nMapX", 20}, {"nMapY", -3}, {"nCurrentSlot", 99}, {"nRankingKind", 7},
                   {"nFacing", -1}, {"nOpenChallenge", 50}, {"nPrevMapX", 400}};
    f.statusRecords = 0;
    f.challengeRecords = 7;
    f.clearFlags = 3;
    f.commonVars = 10;
    WriteWholeFile("user_data/story/Story01.dat", SaveFileBytes(f));
    ASSERT_EQ(LoadStorySlot(0), 1);
    EXPECT_EQ(g_SaveData.nMapX, 1);
    EXPECT_EQ(g_SaveData.nMapY, 2);
    EXPECT_EQ(g_SaveData.nCurrentSlot, -1);
    EXPECT_EQ(g_SaveData.nRankingKind, 0);
    EXPECT_EQ(g_SaveData.nFacing, 0);
    EXPECT_EQ(g_SaveData.nOpenChallenge, 3);
    EXPECT_LT(g_SaveData.nPrevMapX, 20);
    EXPECT_EQ(g_SaveData.CharaStatus.size(), 1u);
    EXPECT_EQ(g_SaveData.ChallengeRecords.size(), 3u);
    EXPECT_EQ(g_SaveData.ClearFlags.size(), 1000u);
    EXPECT_EQ(g_SaveData.ClearFlags[0], 1);
    EXPECT_EQ(g_SaveData.CommonVars.size(), 256u);
}

TEST_F(SaveDataTest, DamagedSlotLeavesTheLiveRecordAndIsNotListed)
{
    const Bytes full = SaveFileBytes(SaveFixture{});
    const Bytes damaged[] = {
        Bytes(full.begin(), full.begin() + 100),
        Bytes(full.begin(), full.end() - 1),
        [&] {
            Bytes b = full;
            b[4] = 200;   // more fields than the record has
            return b;
        }(),
    };
    for (const Bytes& b : damaged) {
        WriteWholeFile("user_data/story/Story03.dat", b);
        g_SaveData.Reset();
        g_SaveData.nTotalScore = 4242;
        g_SaveData.CommonVars[1] = 5;
        EXPECT_EQ(LoadStorySlot(2), 0);
        EXPECT_EQ(g_SaveData.nTotalScore, 4242);
        EXPECT_EQ(g_SaveData.CommonVars[1], 5);
        EXPECT_EQ(g_SaveData.CommonVars.size(), 256u);

        std::vector<cSaveSlotInfo> list;
        LoadSaveSlotList(list);
        ASSERT_EQ(list.size(), 99u);
        EXPECT_EQ(list[2].bValid, 0);
    }
    WriteWholeFile("user_data/story/Story99.dat", full);
    std::vector<cSaveSlotInfo> list;
    LoadSaveSlotList(list);
    EXPECT_EQ(list[98].bValid, 1);
    EXPECT_EQ(list[98].SaveTime.wYear, 2026);
    EXPECT_EQ(list[0].bValid, 0);
}

TEST_F(SaveDataTest, SlotPathsAndAFailedWriteIsNotShownAsSaved)
{
    const struct {
        int32_t slot;
        const char* path;
    } cases[] = {{0, "user_data\\story\\Story01.dat"}, {8, "user_data\\story\\Story09.dat"},
                 {98, "user_data\\story\\Story99.dat"}};
    for (const auto& c : cases) {
        std::string path;
        BuildStorySlotPath(path, c.slot);
        EXPECT_EQ(path, c.path);
    }

    SaveSlots.assign(99, cSaveSlotInfo{});
    ASSERT_EQ(SaveStorySlot(4), 1);
    EXPECT_EQ(SaveSlots[4].bValid, 1);
    EXPECT_NE(SaveSlots[4].SaveTime.wYear, 0);
    EXPECT_TRUE(std::filesystem::exists("user_data/story/Story05.dat"));

    std::filesystem::remove_all("user_data/story");
    EXPECT_EQ(SaveStorySlot(5), 0);
    EXPECT_EQ(SaveSlots[5].bValid, 0);
}

TEST_F(SaveDataTest, EveryFailedSaveIsReportedAlike)
{
    ASSERT_TRUE(CreateReportLog("Report_Game.txt"));
    struct Case {
        const char* name;
        void (*arrange)();
    };
    const Case cases[] = {
        {"the file cannot be made", [] { HostArmFault(HostFault::FileOpen); }},
        {"the folder is missing", [] { std::filesystem::remove_all("user_data/story"); }},
        // Written whole, but the old file cannot be replaced: a folder holds its name.
        {"the old file cannot be replaced",
         [] { std::filesystem::create_directories("user_data/story/Story03.dat/inside"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove("Report_Game.txt");
        ASSERT_TRUE(CreateReportLog("Report_Game.txt"));
        std::filesystem::remove_all("user_data/story");
        std::filesystem::create_directories("user_data/story");
        SaveSlots.assign(99, cSaveSlotInfo{});
        c.arrange();
        EXPECT_EQ(SaveStorySlot(2), 0);
        HostDisarmAllFaults();
        EXPECT_EQ(SaveSlots[2].bValid, 0);
        EXPECT_FALSE(std::filesystem::exists("user_data/story/Story03.dat.tmp"));
        const Bytes log = ReadWholeFile("Report_Game.txt");
        EXPECT_NE(std::string(log.begin(), log.end()).find("user_data\\story\\Story03.dat : could not be written"),
                  std::string::npos);
    }
}

TEST_F(SaveDataTest, ChallengeSaveMissingLeavesTheRecordAndLoadsWithItsLivesRule)
{
    g_SaveData.nTotalScore = 11;
    EXPECT_EQ(LoadChallengeSave(), 0);
    EXPECT_EQ(g_SaveData.nTotalScore, 11);

    SaveFixture f;
    f.overrides = {{"nLives", 999999}, {"nStageStartLives", 999999}};
    WriteWholeFile("user_data/challenge/Challenge.dat", SaveFileBytes(f));
    g_System.m_vStartLives[1] = 5;
    ASSERT_EQ(LoadChallengeSave(), 1);
    EXPECT_EQ(g_SaveData.nLives, 5);

    g_System.m_vInfiniteLives[1] = 1;
    f.overrides = {{"nLives", 2}};
    WriteWholeFile("user_data/challenge/Challenge.dat", SaveFileBytes(f));
    ASSERT_EQ(LoadChallengeSave(), 1);
    EXPECT_EQ(g_SaveData.nLives, 999999);
    EXPECT_EQ(g_SaveData.nStageStartLives, 999999);

    // Infinite lives are saved as they are.
    ASSERT_EQ(SaveChallengeSave(), 1);
    cSaveData again;
    ASSERT_EQ(again.LoadFromFile("user_data\\challenge\\Challenge.dat"), 1);
    EXPECT_EQ(again.nLives, 999999);
}

TEST_F(SaveDataTest, NewGamesAndPlaythroughs)
{
    g_System.m_vStartLives[0] = 4;
    g_SaveData.nTotalScore = 9;
    g_SaveData.ResetProgress();
    EXPECT_EQ(g_SaveData.nMapX, 1);
    EXPECT_EQ(g_SaveData.nMapY, 2);
    EXPECT_EQ(g_SaveData.nStageStartLives, 4);
    EXPECT_EQ(g_SaveData.nLives, 3);
    EXPECT_EQ(g_SaveData.nTotalScore, 0);
    EXPECT_EQ(g_SaveData.nOpenChallenge, 1);
    EXPECT_EQ(g_SaveData.nCurrentSlot, -1);
    EXPECT_EQ(g_SaveData.strPlayerName, "aaa");
    EXPECT_EQ(g_SaveData.ClearFlags[0], 1);

    g_System.m_vInfiniteLives[0] = 1;
    g_SaveData.ResetProgress();
    EXPECT_EQ(g_SaveData.nLives, 999999);

    g_SaveData.nMapX = 9;
    g_SaveData.BeginNewPlaythrough();
    EXPECT_EQ(g_SaveData.nPlaythrough, 1);
    EXPECT_EQ(g_SaveData.ClearFlags[0], 0);
    EXPECT_EQ(g_SaveData.nMapX, 1);
}

TEST(SetCurrentStageName, KeyFormOfStageNames)
{
    const struct {
        const char* name;
        const char* key;
        int32_t partChain;
    } cases[] = {
        {"data\\stg4\\c03-1.stg4_002", "data\\stg4\\c03.", 1},
        {"data\\stg4\\c01-1.stg4_003", "data\\stg4\\c01.", 1},
        {"Stage.stg4_000", "Stage.", 0},
        {"data\\stg4\\Forest.stg4_001", "data\\stg4\\Forest.", 0},
        {"a-1-1.stg4_000", "a-1.", 1},
        {"Cave-2.stg4_000", "Cave-2.", 0},
        {"NoDot", "", 0},
        {"", "", 0},
        {"x-1", "x.", 1},
        {"-", "", 0},
    };
    cSaveData save;
    for (const auto& c : cases) {
        save.bPartChain = 7;
        save.SetCurrentStageName(c.name);
        EXPECT_EQ(save.CurrentStageName, c.key) << c.name;
        EXPECT_EQ(save.bPartChain, c.partChain) << c.name;
    }
}

TEST(StageHighScores, RecordedOncePerStageAndRaisedOnlyByHigherScores)
{
    cSaveData save;
    save.RecordStageHighScore("A.", 100);
    save.RecordStageHighScore("B.", 50);
    EXPECT_EQ(save.nHighScoreTotal, 150);
    save.RecordStageHighScore("A.", 80);
    EXPECT_EQ(save.nHighScoreTotal, 150);
    EXPECT_EQ(save.FindStageHighScore("A."), 100);
    save.RecordStageHighScore("A.", 130);
    EXPECT_EQ(save.nHighScoreTotal, 180);
    EXPECT_EQ(save.FindStageHighScore("a."), 0);
    EXPECT_EQ(save.HighScores.size(), 2u);
}

TEST(StageHighScores, TotalCountsOnlyStagesOfTheWorldMap)
{
    const cEdWorldMap saved = g_WorldMap;
    g_WorldMap.m_vEntry.assign(1, cEdWorldEntry());
    g_WorldMap.m_vEntry[0].m_vEntryItem.assign(2, cEdWorldEntryItem());
    g_WorldMap.m_vEntry[0].m_vEntryItem[0].m_nKind = 0;
    g_WorldMap.m_vEntry[0].m_vEntryItem[0].m_strStageFile = "data\\stg4\\w01-1.stg4";
    g_WorldMap.m_vEntry[0].m_vEntryItem[1].m_nKind = 0;
    g_WorldMap.m_vEntry[0].m_vEntryItem[1].m_strStageFile = "data\\stg4\\Forest.stg4";
    EXPECT_EQ(IsStageOnWorldMap("data\\stg4\\w01."), 1);
    EXPECT_EQ(IsStageOnWorldMap("data\\stg4\\Forest."), 1);
    EXPECT_EQ(IsStageOnWorldMap("data\\stg4\\Lake."), 0);
    cSaveData save;
    save.RecordStageHighScore("data\\stg4\\w01.", 10);
    save.RecordStageHighScore("data\\stg4\\Lake.", 1000);
    save.RecordStageHighScore("data\\stg4\\Forest.", 5);
    save.RecountHighScoreTotal();
    EXPECT_EQ(save.nHighScoreTotal, 15);
    g_WorldMap = saved;
}

TEST(RankingKindStep, StepsOverTheEnabledKinds)
{
    const cEdSystem saved = g_System;
    g_System.m_vRanking.assign(4, cEdRankingSetting());
    g_System.m_vRanking[0].m_bEnabled = 1;
    g_System.m_vRanking[0].m_vKind = {1, 0, 1, 0, 1};
    const struct {
        int32_t from, step, want;
    } cases[] = {{0, 1, 2}, {2, 1, 4}, {4, 1, 0}, {0, 2, 4}, {0, -1, 4}, {2, -1, 0},
                 {1, 0, 2}, {2, 0, 2}, {3, 0, 4}, {4, -3, 4}};
    cSaveData save;
    for (const auto& c : cases) {
        save.nRankingKind = c.from;
        save.StepEnabledMenuItem(0, c.step);
        EXPECT_EQ(save.nRankingKind, c.want) << c.from << " step " << c.step;
    }
    g_System.m_vRanking[1].m_vKind = {0, 0, 0, 0, 0};
    save.nRankingKind = 3;
    save.StepEnabledMenuItem(1, 1);
    EXPECT_EQ(save.nRankingKind, 3);
    g_System = saved;
}

}  // namespace
