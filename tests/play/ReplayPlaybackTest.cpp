// A real play of a small stage, recorded frame by frame and saved as a replay file, then opened
// and played back: the same seed and the same input give the same end state, the keyboard is
// ignored, and the end of the recording starts the replay again from the file.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/Random.h"
#include "data/EdSystem.h"
#include "frontend/Replay.h"
#include "frontend/SaveData.h"
#include "media/input/KeyInput.h"
#include "shell/SceneManager.h"
#include "stage/CharaList.h"
#include "data/EdKeyList.h"
#include "tests/play/FlowTestSupport.h"

namespace {

constexpr int32_t kFrames = 150;
// Key state indices of a key step: direction right, button 1.
constexpr int32_t kRightKey = 2;
constexpr int32_t kButton1Key = 11;
const char kReplayPath[] = "user_data\\rpl4\\walk.rpl4_751";

// What a play leaves behind that a faithful playback must reproduce.
struct PlayEnd {
    double dHeroX;
    double dHeroY;
    int32_t nHeroHP;
    int32_t nScore;
    int32_t nFrameCount;
    int32_t nPlayFrames;
    int32_t nCharas;
    double dFirstCharaX;
    std::vector<int32_t> vHeroVars;
    std::vector<int32_t> vCharaVars;
    int nNextRandom;
};

class ReplayPlaybackTest : public cFlowFixture {
public:
    void SetUp() override
    {
        char pattern[] = "/tmp/replay_play_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder);
        std::filesystem::create_directories("user_data/rpl4");

        cFlowFixture::SetUp();
        InputStates.assign(1, cKeyInput());
        g_Stage = cEdStage();
        g_Stage.SetDefaults();
        g_Stage.m_nWidth = 20;
        g_Stage.m_nHeight = 15;
        g_Stage.m_nSpeedLevel = 2;
        cEdChara hero;
        hero.m_nController = 0;
        hero.m_nGraphicIndex = 1;
        hero.m_nX = 3;
        hero.m_nY = 8;
        // What the player does steers the hero's flows, and every flow draws random numbers.
        hero.m_vFlow = {MakeFlow(0, 1, {CodeCmd("v1 = v1 + rand(0, 9)")}),
                        KeyFlow(2, kRightKey, "v2 = v2 + 1"),
                        KeyFlow(3, kButton1Key, "v3 = v3 + rand(1, 5)")};
        g_Stage.m_vChara.push_back(hero);
        cEdChara enemy;
        enemy.m_nController = 1;
        enemy.m_nGraphicIndex = 2;
        enemy.m_nCarriedItem = -1;
        enemy.m_nX = 14;
        enemy.m_nY = 8;
        enemy.m_vFlow = {MakeFlow(0, 1, {CodeCmd("v1 = v1 + rand(0, 99)")})};
        g_Stage.m_vChara.push_back(enemy);
        // A floor under both, and a wall the hero walks into.
        for (int16_t c = 0; c < 20; ++c) AddBlock(c, 9);
        AddBlock(10, 8);
        g_StageStart = g_Stage;
        g_System.m_bReplay = 1;
        SceneManager.TitleChoice = 3;
        SceneManager.GameMode = 2;
        g_SaveData.Reset();
        ReplayCurrent.Clear();
        ReplayPrevious.Clear();
    }
    void TearDown() override
    {
        SceneManager.TitleChoice = 0;
        SceneManager.GameMode = 0;
        g_System.m_bReplay = 0;
        ReplayCurrent.Clear();
        ReplayPrevious.Clear();
        InputStates[0].ClearDirectionInput();
        InputStates[0].ClearButtonInput();
        g_Stage = cEdStage();
        g_StageStart = cEdStage();
        cFlowFixture::TearDown();
        std::filesystem::current_path(m_previous);
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }
    static cEdCommand CodeCmd(const char* lpCode)
    {
        cEdCommand cmd = FlowCmd(37, 0, 0);
        cmd.m_strText = lpCode;
        return cmd;
    }
    // A flow that runs while one key (a key state index) is held.
    static cEdFlow KeyFlow(int32_t nId, int32_t nKey, const char* lpCode)
    {
        cEdFlow flow = MakeFlow(0, nId, {CodeCmd(lpCode)});
        cEdKeyList step = cEdKeyList::Default();
        step.m_vKeyState[static_cast<size_t>(nKey)] = 1;
        step.m_bAnyLength = 1;
        flow.m_vKeyList = {step};
        flow.m_nKeyMode = 1;
        return flow;
    }
    static void AddBlock(int16_t c, int16_t r)
    {
        cEdBlock block;
        block.m_nGraphicIndex = 1;
        block.m_nHit = 1;
        block.m_nX = c;
        block.m_nY = r;
        g_Stage.m_vBlock.push_back(block);
    }
    // Walks right, jumps twice on the way, stops, then walks back left with a button held.
    static void LiveInput(int32_t f, cKeyInput& input)
    {
        input.m_wDirection = f < 60 ? 0x2 : (f < 90 ? 0 : 0x1);
        input.m_wButton = (f >= 10 && f < 25) || (f >= 40 && f < 44) || f >= 120 ? 1 : 0;
        input.m_nDirCode = cKeyInput::DirectionFromKeys(input.m_wDirection);
    }
    void RunFrames(bool bLive)
    {
        for (int32_t f = 0; f < kFrames; ++f) {
            cKeyInput& input = InputStates[0];
            if (bLive) {
                LiveInput(f, input);
            } else {
                // Whatever the keyboard says during playback counts for nothing.
                input.m_wDirection = 0x1;
                input.m_wButton = 0xFF;
            }
            m_State.m_nPhase = 2;
            m_State.PlayStep();
        }
    }
    PlayEnd End()
    {
        PlayEnd end{};
        end.dHeroX = Player[0].m_dX;
        end.dHeroY = Player[0].m_dY;
        end.nHeroHP = Player[0].m_nHP;
        end.nScore = g_SaveData.nScore;
        end.nFrameCount = m_State.m_nFrameCount;
        end.nPlayFrames = m_State.m_nPlayFrames;
        end.nCharas = CharaList.Count();
        end.dFirstCharaX = CharaList.Empty() ? 0.0 : CharaList.begin()->m_dX;
        // The generator has been seeded and drawn from alike.
        end.nNextRandom = GameRand();
        end.vHeroVars = Player[0].m_vVar;
        if (!CharaList.Empty()) end.vCharaVars = CharaList.begin()->m_vVar;
        return end;
    }
    static void ExpectSameEnd(const PlayEnd& a, const PlayEnd& b)
    {
        EXPECT_EQ(a.dHeroX, b.dHeroX);
        EXPECT_EQ(a.dHeroY, b.dHeroY);
        EXPECT_EQ(a.nHeroHP, b.nHeroHP);
        EXPECT_EQ(a.nScore, b.nScore);
        EXPECT_EQ(a.nFrameCount, b.nFrameCount);
        EXPECT_EQ(a.nPlayFrames, b.nPlayFrames);
        EXPECT_EQ(a.nCharas, b.nCharas);
        EXPECT_EQ(a.dFirstCharaX, b.dFirstCharaX);
        EXPECT_EQ(a.nNextRandom, b.nNextRandom);
        EXPECT_EQ(a.vHeroVars, b.vHeroVars);
        EXPECT_EQ(a.vCharaVars, b.vCharaVars);
    }

    std::filesystem::path m_folder;
    std::filesystem::path m_previous;
};

TEST_F(ReplayPlaybackTest, RecordedPlayPlaysBackToTheSameEndAndThenStartsAgain)
{
    m_State.SetStage(0, 0);
    const double dStartX = Player[0].m_dX;
    const uint32_t nSeed = m_State.m_nSeed;
    EXPECT_EQ(ReplayCurrent.nSeed, static_cast<int32_t>(nSeed));
    RunFrames(true);
    const PlayEnd recorded = End();
    ASSERT_EQ(ReplayCurrent.FrameCount(), kFrames);
    // The play did what its input and the generator said: the right-key flow once in each of the
    // 60 frames right was held, sums of random numbers in the others.
    ASSERT_EQ(recorded.vHeroVars.size(), 9u);
    EXPECT_GT(recorded.vHeroVars[1], 0);
    EXPECT_EQ(recorded.vHeroVars[2], 60);
    EXPECT_GT(recorded.vHeroVars[3], 0);

    // Saved as F1 saves it, then opened as the title opens it.
    ASSERT_EQ(ReplayCurrent.WriteReplayFile(kReplayPath, g_Stage, g_StageStart, SaveSnapshotCurrent), 1);
    ReplayCurrent.Clear();
    g_Stage = cEdStage();
    g_StageStart = cEdStage();
    g_SaveData.nScore = 999;
    ASSERT_EQ(OpenReplayFile(kReplayPath), 1);
    EXPECT_EQ(g_Stage.m_strFilePath, kReplayPath);
    SceneManager.TitleChoice = 4;
    SceneManager.GameMode = 3;

    m_State.m_nSeed = nSeed + 1;
    m_State.SetStage(0, 0);
    EXPECT_EQ(m_State.m_nSeed, nSeed);
    RunFrames(false);
    ExpectSameEnd(End(), recorded);
    // Playback records nothing.
    EXPECT_EQ(ReplayCurrent.FrameCount(), kFrames);

    // The recording is over: the stage starts again from the replay file, and plays the same.
    m_State.m_nPhase = 2;
    m_State.PlayStep();
    EXPECT_EQ(m_State.m_nPhase, 1);
    EXPECT_EQ(m_State.m_nFrameCount, 0);
    EXPECT_EQ(Player[0].m_dX, dStartX);
    RunFrames(false);
    ExpectSameEnd(End(), recorded);
}

TEST_F(ReplayPlaybackTest, EachRestartOfARecordedPlayMovesItsReplayAside)
{
    m_State.SetStage(0, 0);
    RunFrames(true);
    ASSERT_EQ(ReplayCurrent.FrameCount(), kFrames);
    const int32_t nFirstSeed = ReplayCurrent.nSeed;
    g_SaveData.nScore = 40;
    m_State.SetStage(1, 0);
    EXPECT_EQ(ReplayPrevious.FrameCount(), kFrames);
    EXPECT_EQ(ReplayPrevious.nSeed, nFirstSeed);
    EXPECT_EQ(ReplayCurrent.FrameCount(), 0);
    EXPECT_EQ(ReplayCurrent.nSeed, static_cast<int32_t>(m_State.m_nSeed));
    EXPECT_EQ(SaveSnapshotCurrent.nScore, 40);   // the progress as the new play began

    // Without recording nothing is kept and the seed stays.
    g_System.m_bReplay = 0;
    const uint32_t nSeed = m_State.m_nSeed;
    m_State.SetStage(1, 0);
    RunFrames(true);
    EXPECT_EQ(ReplayCurrent.FrameCount(), 0);
    EXPECT_EQ(m_State.m_nSeed, nSeed);
}

}  // namespace
