// Replays: the run-length streams, the replay file read and written byte for byte, damaged files
// refused without touching the live records, the default file name, the F1/F2 save keys and the
// main window's save request.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "data/EdWorldMap.h"
#include "frontend/Replay.h"
#include "frontend/SaveData.h"
#include "platform/host/Host.h"
#include "platform/win/HostDialog.h"
#include "platform/win/HostInput.h"
#include "platform/win/WinKeyboard.h"
#include "platform/win/WinMessage.h"
#include "shell/MainWindowProc.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "tests/data/StageFixtures.h"
#include "tests/platform/TestWindow.h"

namespace {

// ---- streams ----

struct Frame {
    int16_t w0;
    int16_t w1;
};

TEST(ReplayStreams, RecordsRunsAndPlaysThemBackUntilTheEnd)
{
    cReplay replay;
    const Frame frames[] = {{0, 0}, {0, 0}, {1, 0}};
    for (const Frame& f : frames) replay.RecordReplayFrame(f.w0, f.w1);
    EXPECT_EQ(replay.vWord0, (std::vector<int16_t>{0, 1}));
    EXPECT_EQ(replay.vRun0, (std::vector<int32_t>{2, 1}));
    EXPECT_EQ(replay.vWord1, (std::vector<int16_t>{0}));
    EXPECT_EQ(replay.vRun1, (std::vector<int32_t>{3}));
    EXPECT_EQ(replay.FrameCount(), 3);

    for (const Frame& f : frames) {
        int16_t w0 = -1, w1 = -1;
        ASSERT_EQ(replay.PlayReplayFrame(w0, w1), 0);
        EXPECT_EQ(w0, f.w0);
        EXPECT_EQ(w1, f.w1);
    }
    int16_t w0 = 7, w1 = 8;
    EXPECT_EQ(replay.PlayReplayFrame(w0, w1), 1);
    EXPECT_EQ(w0, 7);   // the outputs are left as they were
    EXPECT_EQ(w1, 8);

    // Rewound, the same frames come again.
    replay.RewindPlayback();
    ASSERT_EQ(replay.PlayReplayFrame(w0, w1), 0);
    EXPECT_EQ(w0, 0);
}

TEST(ReplayStreams, StreamsOfDifferentRunsEndTogether)
{
    // Buttons change every frame while the direction is held: each stream has its own runs.
    cReplay replay;
    for (int16_t i = 0; i < 5; ++i) replay.RecordReplayFrame(8, static_cast<int16_t>(i & 1));
    EXPECT_EQ(replay.vRun0, (std::vector<int32_t>{5}));
    EXPECT_EQ(replay.vRun1, (std::vector<int32_t>{1, 1, 1, 1, 1}));
    int16_t w0 = 0, w1 = 0;
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(replay.PlayReplayFrame(w0, w1), 0);
        EXPECT_EQ(w1, i & 1);
    }
    EXPECT_EQ(replay.PlayReplayFrame(w0, w1), 1);
}

TEST(ReplayStreams, CopyTakesStreamsAndSeedButNotThePlaybackPositionAndClearEmpties)
{
    cReplay a;
    a.nSeed = 1234;
    a.RecordReplayFrame(1, 2);
    a.RecordReplayFrame(3, 4);
    cReplay b;
    b.nPlayIndex0 = 1;
    b.CopyReplay(a);
    EXPECT_EQ(b.vWord0, a.vWord0);
    EXPECT_EQ(b.vRun1, a.vRun1);
    EXPECT_EQ(b.nSeed, 1234);
    EXPECT_EQ(b.nPlayIndex0, 1);
    a.Clear();
    EXPECT_TRUE(a.vWord0.empty() && a.vWord1.empty() && a.vRun0.empty() && a.vRun1.empty());
    EXPECT_EQ(a.nSeed, 0);
    int16_t w0 = 0, w1 = 0;
    EXPECT_EQ(a.PlayReplayFrame(w0, w1), 1);
}

// ---- files ----

Bytes ReplayPart(int32_t nSeed, const std::vector<int16_t>& w0, const std::vector<int16_t>& w1,
                 const std::vector<int32_t>& r0, const std::vector<int32_t>& r1, uint32_t nCount0 = UINT32_MAX)
{
    Bytes b;
    AppendU32(b, 1);   // one field block: the seed
    AppendU32(b, static_cast<uint32_t>(nSeed));
    AppendU32(b, 0);   // no strings
    AppendU32(b, nCount0 != UINT32_MAX ? nCount0 : static_cast<uint32_t>(w0.size()));
    for (int16_t w : w0) AppendU16(b, static_cast<uint16_t>(w));
    AppendU32(b, static_cast<uint32_t>(w1.size()));
    for (int16_t w : w1) AppendU16(b, static_cast<uint16_t>(w));
    AppendU32(b, static_cast<uint32_t>(r0.size()));
    for (int32_t r : r0) AppendU32(b, static_cast<uint32_t>(r));
    AppendU32(b, static_cast<uint32_t>(r1.size()));
    for (int32_t r : r1) AppendU32(b, static_cast<uint32_t>(r));
    return b;
}

// A progress snapshot in the save-slot layout of version 751, without the leading version: story
// stage 3 with 4 lives and a score of 1200, common variable 255 = 77, two challenge records.
Bytes SnapshotPart()
{
    Bytes b;
    std::vector<int32_t> fields(32, 0);
    fields[5] = 3;      // nStage
    fields[6] = 1;      // nPart
    fields[7] = 5;      // nStageStartLives
    fields[8] = 4;      // nLives
    fields[9] = 1200;   // nScore
    fields[23] = 1;     // nOpenChallenge
    fields[24] = -1;    // nCurrentSlot
    AppendU32(b, static_cast<uint32_t>(fields.size()));
    for (int32_t v : fields) AppendU32(b, static_cast<uint32_t>(v));
    AppendU32(b, 3);
    AppendString(b, "data\\stg4\\Forest.");
    AppendString(b, "");
    AppendString(b, "abc");
    for (uint16_t w : {2026, 12, 4, 10, 13, 45, 30, 0}) AppendU16(b, w);
    AppendU32(b, 25);
    for (int i = 0; i < 25; ++i) AppendU32(b, 0);
    AppendU32(b, 1);
    cSavedCharaStatus status;
    const Bytes body = SaveBody(status);
    b.insert(b.end(), body.begin(), body.end());
    AppendU32(b, 1);   // one stage high score
    AppendU32(b, 1);
    AppendU32(b, 700);
    AppendU32(b, 1);
    AppendString(b, "data\\stg4\\Forest.");
    AppendU32(b, 2);   // challenge records
    for (int i = 0; i < 2; ++i) {
        AppendU32(b, 2);
        AppendU32(b, i == 0 ? 1 : 0);
        AppendU32(b, i == 0 ? 300 : 0);
        AppendU32(b, 0);
    }
    AppendU32(b, 1000);
    for (int i = 0; i < 1000; ++i) AppendU32(b, i == 0 ? 1 : 0);
    AppendU32(b, 256);
    for (int i = 0; i < 256; ++i) AppendU32(b, i == 255 ? 77 : 0);
    return b;
}

StageFixture ReplayStage(uint32_t nVersion = 751)
{
    StageFixture stage;
    stage.nVersion = nVersion;
    stage.vScalars[0].dValue = 20;   // width in blocks
    stage.vScalars[3].dValue = 15;   // height
    // The values derived from speed level 10 and gravity 0.4, as a loaded stage holds them.
    const double derived[] = {10, 10.0, 100.0, 60.0, 0.4 / 100.0, 6.0, 80};
    for (size_t i = 0; i < 7; ++i) stage.vScalars[86 + i].dValue = derived[i];
    stage.vChara = {HeroFixture()};
    // Blocks without a graphic, as a saved stage holds them (not solid).
    stage.vPaletteBlock = {BlockBody(SavedDefaultBlock()), BlockBody(SavedDefaultBlock())};
    stage.vBlock = {BlockBody(SavedDefaultBlock(3))};
    return stage;
}

Bytes ReplayFileBytes(const Bytes& stage, const Bytes& replay, const Bytes& snapshot, uint32_t nVersion = 751)
{
    Bytes b;
    AppendU32(b, nVersion);
    b.insert(b.end(), stage.begin(), stage.end());
    b.insert(b.end(), replay.begin(), replay.end());
    b.insert(b.end(), snapshot.begin(), snapshot.end());
    return b;
}

Bytes StandardReplayPart()
{
    return ReplayPart(4242, {0, 1}, {0}, {2, 1}, {3});
}

class ReplayFileTest : public ScratchFolderTest {
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        HostSelect(HostKind::Headless);
        HostClearRecordedMessageBoxes();
        std::filesystem::create_directories("user_data/rpl4");
        ASSERT_TRUE(CreateReportLog("Report_Game.txt"));
        m_savedSystem = g_System;
        m_savedMap = g_WorldMap;
        g_System.m_nChallengeStages = 2;
        g_WorldMap.m_nWidth = 10;
        g_WorldMap.m_nHeight = 10;
        // The live records as a play left them: what a refused file must not change.
        m_stage = cEdStage();
        m_stage.m_nWidth = 77;
        m_stage.m_vChara.resize(2);
        m_stage.m_strFilePath = "user_data\\rpl4\\old.rpl4_751";
        m_second = cEdStage();
        m_second.m_nWidth = 66;
        m_save.Reset();
        m_save.nScore = 55;
        m_save.CommonVars[255] = 9;
        m_replay.nSeed = 9;
        m_replay.RecordReplayFrame(5, 6);
    }
    void TearDown() override
    {
        g_System = m_savedSystem;
        g_WorldMap = m_savedMap;
        ScratchFolderTest::TearDown();
    }
    void ExpectLiveRecordsUntouched()
    {
        EXPECT_EQ(m_stage.m_nWidth, 77);
        EXPECT_EQ(m_stage.m_vChara.size(), 2u);
        EXPECT_EQ(m_second.m_nWidth, 66);
        EXPECT_EQ(m_save.nScore, 55);
        EXPECT_EQ(m_save.CommonVars[255], 9);
        EXPECT_EQ(m_replay.nSeed, 9);
        EXPECT_EQ(m_replay.vWord0, (std::vector<int16_t>{5}));
    }

    cEdSystem m_savedSystem;
    cEdWorldMap m_savedMap;
    cEdStage m_stage;
    cEdStage m_second;
    cSaveData m_save;
    cReplay m_replay;
};

TEST_F(ReplayFileTest, Version751FileIsReadWholeAndWrittenBackByteForByte)
{
    const Bytes file = ReplayFileBytes(StageBody(ReplayStage()), StandardReplayPart(), SnapshotPart());
    WriteWholeFile("user_data/rpl4/a.rpl4_751", file);
    ASSERT_EQ(m_replay.ReadReplayFile("user_data\\rpl4\\a.rpl4_751", m_stage, m_second, m_save), 1);

    EXPECT_EQ(m_replay.nSeed, 4242);
    EXPECT_EQ(m_replay.vWord0, (std::vector<int16_t>{0, 1}));
    EXPECT_EQ(m_replay.vRun0, (std::vector<int32_t>{2, 1}));
    EXPECT_EQ(m_replay.vWord1, (std::vector<int16_t>{0}));
    EXPECT_EQ(m_replay.vRun1, (std::vector<int32_t>{3}));
    EXPECT_EQ(m_replay.nPlayIndex0, 0);
    // The stage with its placements; the second copy without them; the stage keeps its path.
    ASSERT_EQ(m_stage.m_vChara.size(), 1u);
    EXPECT_EQ(m_stage.m_vChara[0].m_strName, "hero");
    EXPECT_EQ(m_stage.m_vBlock.size(), 1u);
    EXPECT_EQ(m_stage.m_strFilePath, "user_data\\rpl4\\old.rpl4_751");
    EXPECT_EQ(m_second.m_nWidth, m_stage.m_nWidth);
    EXPECT_TRUE(m_second.m_vChara.empty() && m_second.m_vBlock.empty() && m_second.m_vPaletteChara.empty());
    EXPECT_EQ(m_second.m_vBackground.size(), 1u);
    // The snapshot replaces the live progress.
    EXPECT_EQ(m_save.nScore, 1200);
    EXPECT_EQ(m_save.nLives, 4);
    EXPECT_EQ(m_save.CommonVars[255], 77);
    EXPECT_EQ(m_save.strPlayerName, "abc");

    ASSERT_EQ(m_replay.WriteReplayFile("user_data\\rpl4\\b.rpl4_751", m_stage, m_second, m_save), 1);
    const Bytes written = ReadWholeFile("user_data/rpl4/b.rpl4_751");
    EXPECT_EQ(written.size(), file.size());
    EXPECT_EQ(FirstDifference(written, file), file.size());
    EXPECT_FALSE(std::filesystem::exists("user_data/rpl4/b.rpl4_751.tmp"));
}

TEST_F(ReplayFileTest, Version172FileHasNoSnapshotAndLeavesTheLiveProgressAlone)
{
    const Bytes file = ReplayFileBytes(StageBody(ReplayStage(172)), StandardReplayPart(), {}, 172);
    WriteWholeFile("user_data/rpl4/old.rpl4_172", file);
    ASSERT_EQ(m_replay.ReadReplayFile("user_data\\rpl4\\old.rpl4_172", m_stage, m_second, m_save), 1);
    EXPECT_EQ(m_replay.nSeed, 4242);
    EXPECT_EQ(m_stage.m_vChara.size(), 1u);
    EXPECT_EQ(m_save.nScore, 55);
    EXPECT_EQ(m_save.CommonVars[255], 9);
}

TEST_F(ReplayFileTest, DamagedFilesAreRefusedBeforeAnythingIsChanged)
{
    const Bytes stage = StageBody(ReplayStage());
    const Bytes snapshot = SnapshotPart();
    Bytes wrongTrailer = stage;
    wrongTrailer[wrongTrailer.size() - 1] ^= 0x40;
    StageFixture noHero = ReplayStage();
    noHero.vChara.clear();
    Bytes shortSnapshot = snapshot;
    shortSnapshot.resize(snapshot.size() - 100);
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"stage part cut short", ReplayFileBytes(Bytes(stage.begin(), stage.begin() + 200), {}, {})},
        {"stage part without its trailer", ReplayFileBytes(wrongTrailer, StandardReplayPart(), snapshot)},
        {"stage without a hero", ReplayFileBytes(StageBody(noHero), StandardReplayPart(), snapshot)},
        {"value count beyond the file", ReplayFileBytes(stage, ReplayPart(1, {0, 1}, {0}, {2, 1}, {3}, 0x7FFFFFFF), snapshot)},
        {"fewer runs than values", ReplayFileBytes(stage, ReplayPart(1, {0, 1}, {0}, {3}, {3}), snapshot)},
        {"a run of no frames", ReplayFileBytes(stage, ReplayPart(1, {0, 1}, {0}, {2, 0}, {2}), snapshot)},
        {"a negative run", ReplayFileBytes(stage, ReplayPart(1, {0}, {0}, {-5}, {1}), snapshot)},
        {"snapshot cut short", ReplayFileBytes(stage, StandardReplayPart(), shortSnapshot)},
        {"replay part missing", ReplayFileBytes(stage, {}, {})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteWholeFile("user_data/rpl4/bad.rpl4_751", c.file);
        EXPECT_EQ(m_replay.ReadReplayFile("user_data\\rpl4\\bad.rpl4_751", m_stage, m_second, m_save), 0);
        ExpectLiveRecordsUntouched();
    }
    EXPECT_EQ(m_replay.ReadReplayFile("user_data\\rpl4\\missing.rpl4_751", m_stage, m_second, m_save), 0);
    ExpectLiveRecordsUntouched();
}

TEST_F(ReplayFileTest, OpeningAReplayFillsThePlayRecordsOnlyWhenTheFileIsWhole)
{
    g_Stage = cEdStage();
    g_Stage.m_nWidth = 77;
    g_Stage.m_strFilePath = "data\\stg4\\Last.stg4_000";
    g_StageStart = g_Stage;
    g_SaveData.Reset();
    g_SaveData.nScore = 55;
    ReplayCurrent.Clear();
    Bytes damaged = ReplayFileBytes(StageBody(ReplayStage()), StandardReplayPart(), SnapshotPart());
    damaged.resize(damaged.size() - 10);
    WriteWholeFile("user_data/rpl4/bad.rpl4_751", damaged);
    EXPECT_EQ(OpenReplayFile("user_data\\rpl4\\bad.rpl4_751"), 0);
    EXPECT_EQ(HostRecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(g_Stage.m_nWidth, 77);
    EXPECT_EQ(g_Stage.m_strFilePath, "data\\stg4\\Last.stg4_000");
    EXPECT_EQ(g_StageStart.m_nWidth, 77);
    EXPECT_EQ(g_SaveData.nScore, 55);
    EXPECT_TRUE(ReplayCurrent.vWord0.empty());

    WriteWholeFile("user_data/rpl4/good.rpl4_751",
                   ReplayFileBytes(StageBody(ReplayStage()), StandardReplayPart(), SnapshotPart()));
    EXPECT_EQ(OpenReplayFile("user_data\\rpl4\\good.rpl4_751"), 1);
    // A restart of the playback reads the file again from the stage's path.
    EXPECT_EQ(g_Stage.m_strFilePath, "user_data\\rpl4\\good.rpl4_751");
    EXPECT_EQ(g_Stage.m_nWidth, 20);
    EXPECT_EQ(g_StageStart.m_nWidth, 20);
    EXPECT_TRUE(g_StageStart.m_vChara.empty());
    EXPECT_EQ(g_SaveData.nScore, 1200);
    EXPECT_EQ(ReplayCurrent.nSeed, 4242);
    g_Stage = cEdStage();
    g_StageStart = cEdStage();
    g_SaveData.Reset();
    ReplayCurrent.Clear();
}

TEST_F(ReplayFileTest, WriteThatCannotCompleteLeavesNoFileBehind)
{
    // The temporary file cannot be made where a folder of that name stands.
    std::filesystem::create_directories("user_data/rpl4/c.rpl4_751.tmp");
    EXPECT_EQ(m_replay.WriteReplayFile("user_data\\rpl4\\c.rpl4_751", m_stage, m_second, m_save), 0);
    EXPECT_FALSE(std::filesystem::exists("user_data/rpl4/c.rpl4_751"));
    // Nor can it be renamed over a folder.
    std::filesystem::create_directories("user_data/rpl4/d.rpl4_751/x");
    EXPECT_EQ(m_replay.WriteReplayFile("user_data\\rpl4\\d.rpl4_751", m_stage, m_second, m_save), 0);
    EXPECT_FALSE(std::filesystem::exists("user_data/rpl4/d.rpl4_751.tmp"));
}

// ---- the default name ----

TEST_F(ReplayFileTest, DefaultNameTakesTheFirstFreeSuffix)
{
    EXPECT_EQ(ReplayFileExtension(), "rpl4_751");
    EXPECT_EQ(DefaultReplayFileName("data\\stg4\\Forest."), "Forest_00.rpl4_751");
    WriteWholeFile("user_data/rpl4/Forest_00.rpl4_751", {1});
    EXPECT_EQ(DefaultReplayFileName("data\\stg4\\Forest."), "Forest_01.rpl4_751");
    WriteWholeFile("user_data/rpl4/Forest_01.rpl4_751", {1});
    for (int i = 2; i <= 8; ++i) WriteWholeFile("user_data/rpl4/Forest_0" + std::to_string(i) + ".rpl4_751", {1});
    EXPECT_EQ(DefaultReplayFileName("data\\stg4\\Forest."), "Forest_10.rpl4_751");   // no digit 9
    EXPECT_EQ(DefaultReplayFileName(""), "");
}

TEST_F(ReplayFileTest, LongStageNameNeverOverflowsTheNameOffered)
{
    const std::string strFits = "data\\stg4\\" + std::string(200, 'a') + ".";
    EXPECT_EQ(DefaultReplayFileName(strFits), std::string(200, 'a') + "_00.rpl4_751");
    const std::string strLong = "data\\stg4\\" + std::string(400, 'b') + ".";
    EXPECT_EQ(DefaultReplayFileName(strLong), "");
    // The chooser opens on an empty name and, with nothing chosen, reports a cancel.
    char szOut[260];
    EXPECT_EQ(ChooseReplaySaveFile(szOut, strLong), 0);
}

// ---- the save keys ----

struct SentMessage {
    UINT message;
    WPARAM wParam;
};
std::vector<SentMessage> g_vSent;
bool g_bSaveThroughDialog = false;

LRESULT RecordingWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_PLAYSE || message == UM_SAVEREPLAY) g_vSent.push_back({message, wParam});
    if (message == UM_SAVEREPLAY) {
        FileDialogResult = g_bSaveThroughDialog ? (SaveReplayViaDialog(static_cast<int32_t>(wParam)) != 0) : 1;
        FileDialogDone = 1;
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

class ReplayHotkeyTest : public ReplayFileTest {
protected:
    void SetUp() override
    {
        ReplayFileTest::SetUp();
        m_hWindow = CreateTestWindow("ReplayHotkeyTestWindow", RecordingWindowProc);
        hMainWnd = m_hWindow;
        g_vSent.clear();
        g_bSaveThroughDialog = false;
        HostReleaseAllKeys();
        HostClearDialogActions();
        ResetReplayHotkeys();
        g_System.m_bReplay = 1;
        SceneManager.TitleChoice = 3;
        ReplayCurrent.Clear();
        ReplayPrevious.Clear();
    }
    void TearDown() override
    {
        HostReleaseAllKeys();
        HostClearDialogActions();
        hMainWnd = nullptr;
        DestroyWindow(m_hWindow);
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        SceneManager.TitleChoice = 0;
        ReplayCurrent.Clear();
        ReplayPrevious.Clear();
        ReplayFileTest::TearDown();
    }
    std::vector<WPARAM> Sent(UINT message) const
    {
        std::vector<WPARAM> v;
        for (const SentMessage& m : g_vSent)
            if (m.message == message) v.push_back(m.wParam);
        return v;
    }
    HWND m_hWindow = nullptr;
};

TEST_F(ReplayHotkeyTest, EmptyReplayIsRefusedWithASoundAtMostOnceInSixtyPolls)
{
    HostSetKeyDown(VK_F1, true);
    EXPECT_EQ(PollReplayHotkeys(), 0);
    EXPECT_EQ(Sent(UM_PLAYSE), (std::vector<WPARAM>{3}));
    EXPECT_EQ(ReplayHotkeyCooldown(), 60);
    for (int i = 0; i < 59; ++i) EXPECT_EQ(PollReplayHotkeys(), 0);
    EXPECT_EQ(Sent(UM_PLAYSE).size(), 1u);
    EXPECT_EQ(PollReplayHotkeys(), 0);   // the sixtieth poll after the refusal
    EXPECT_EQ(Sent(UM_PLAYSE), (std::vector<WPARAM>{3, 3}));
    EXPECT_TRUE(Sent(UM_SAVEREPLAY).empty());
}

TEST_F(ReplayHotkeyTest, KeysSaveTheirReplayOncePerPress)
{
    ReplayCurrent.RecordReplayFrame(1, 0);
    ReplayPrevious.RecordReplayFrame(2, 0);
    HostSetKeyDown(VK_F1, true);
    EXPECT_EQ(PollReplayHotkeys(), 1);
    EXPECT_EQ(Sent(UM_SAVEREPLAY), (std::vector<WPARAM>{0}));
    EXPECT_EQ(Sent(UM_PLAYSE), (std::vector<WPARAM>{1}));
    // Held through the dialog: no second dialog until the key is let go.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(PollReplayHotkeys(), 0);
    HostSetKeyDown(VK_F1 + 1, true);   // F2 joining while F1 is still held opens nothing either
    EXPECT_EQ(PollReplayHotkeys(), 0);
    EXPECT_EQ(Sent(UM_SAVEREPLAY).size(), 1u);
    HostReleaseAllKeys();
    EXPECT_EQ(PollReplayHotkeys(), 0);
    HostSetKeyDown(VK_F1 + 1, true);
    EXPECT_EQ(PollReplayHotkeys(), 1);
    EXPECT_EQ(Sent(UM_SAVEREPLAY), (std::vector<WPARAM>{0, 1}));
}

TEST_F(ReplayHotkeyTest, KeysDoNothingDuringPlaybackOrWithoutRecording)
{
    ReplayCurrent.RecordReplayFrame(1, 0);
    HostSetKeyDown(VK_F1, true);
    SceneManager.TitleChoice = 4;
    EXPECT_EQ(PollReplayHotkeys(), 0);
    SceneManager.TitleChoice = 3;
    g_System.m_bReplay = 0;
    EXPECT_EQ(PollReplayHotkeys(), 0);
    EXPECT_TRUE(g_vSent.empty());
}

TEST_F(ReplayHotkeyTest, SaveDialogWritesTheChosenReplayWithItsSnapshot)
{
    g_bSaveThroughDialog = true;
    g_SaveData.CurrentStageName = "data\\stg4\\Forest.";
    g_Stage = cEdStage();
    g_Stage.m_vChara.resize(1);
    g_Stage.m_vChara[0].m_nController = 0;
    g_Stage.m_vChara[0].m_nGraphicIndex = 1;
    g_StageStart = g_Stage;
    ReplayPrevious.nSeed = 77;
    ReplayPrevious.RecordReplayFrame(4, 1);
    SaveSnapshotPrevious.Reset();
    SaveSnapshotPrevious.nScore = 321;
    HostQueueDialogAction({DialogActionKind::ChooseFile, 0, "user_data\\rpl4\\saved.rpl4_751"});
    HostSetKeyDown(VK_F1 + 1, true);
    EXPECT_EQ(PollReplayHotkeys(), 1);
    EXPECT_EQ(FileDialogResult.load(), 1);

    cReplay read;
    cEdStage stage, second;
    cSaveData save;
    ASSERT_EQ(read.ReadReplayFile("user_data\\rpl4\\saved.rpl4_751", stage, second, save), 1);
    EXPECT_EQ(read.nSeed, 77);
    EXPECT_EQ(read.vWord0, (std::vector<int16_t>{4}));
    EXPECT_EQ(save.nScore, 321);
    g_Stage = cEdStage();
    g_StageStart = cEdStage();
}

TEST_F(ReplayHotkeyTest, FailedSaveIsReportedAndThePlayGoesOn)
{
    g_bSaveThroughDialog = true;
    g_SaveData.CurrentStageName = "data\\stg4\\Forest.";
    ReplayCurrent.RecordReplayFrame(4, 1);
    std::filesystem::create_directories("user_data/rpl4/locked.rpl4_751.tmp");
    HostQueueDialogAction({DialogActionKind::ChooseFile, 0, "user_data\\rpl4\\locked.rpl4_751"});
    HostSetKeyDown(VK_F1, true);
    EXPECT_EQ(PollReplayHotkeys(), 1);
    ASSERT_EQ(HostRecordedMessageBoxes().size(), 1u);
    EXPECT_NE(HostRecordedMessageBoxes()[0].text.find("locked.rpl4_751"), std::string::npos);
    // No close request is waiting for the main window.
    MSG msg;
    bool bClose = false;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) bClose = bClose || msg.message == WM_CLOSE;
    EXPECT_FALSE(bClose);
    EXPECT_FALSE(std::filesystem::exists("user_data/rpl4/locked.rpl4_751"));
}

}  // namespace
