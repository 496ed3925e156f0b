// Whole runs of stage play on the headless host with the demo project, from the player's side:
// free play from the chooser to the clear, the results and a ranking entry; deaths, lives and the
// game over; the pause menu's resume and retry; a time limit running out; an extra life for the
// score; a test play with the editor's notices; close requests in the middle of play, of a
// message wait and of the results; and the same frames for the same input on every back end.
#include <filesystem>
#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "data/EdCommand.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "data/ProjectPaths.h"
#include "tests/e2e/DemoRun.h"
#include "tools/demo/DemoStage.h"

namespace fs = std::filesystem;

namespace {

// Runs fn with the project folder current (the data classes read and write project paths).
bool InFolder(const std::string& folder, const std::function<bool()>& fn)
{
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    const bool ok = fn();
    fs::current_path(previous);
    return ok;
}

class StagePlayFlowRun : public DemoProjectRun {
public:
    StagePlayFlowRun() : DemoProjectRun("flow") {}
    // A stage in the demo's letters at data\stg4\<name>.stg4_000, changed by tweak when given.
    void WriteStage(const std::string& name, const std::vector<const char*>& rows,
                    const std::function<void(cEdStage&)>& tweak = nullptr)
    {
        const std::string path = "data\\stg4\\" + name + ".stg4_000";
        std::string error;
        ASSERT_TRUE(InFolder(m_Folder, [&] {
            if (!WriteDemoStage(path, rows, name, &error)) return false;
            if (!tweak) return true;
            cEdStage stage;
            if (!stage.LoadFromFile(path)) return false;
            tweak(stage);
            return stage.SaveToFile(path) != 0;
        })) << error;
    }
    void ChangeSystem(const std::function<void(cEdSystem&)>& change)
    {
        ASSERT_TRUE(InFolder(m_Folder, [&] {
            cEdSystem system;
            if (!system.LoadFromFile(ProjectPathTable[35])) return false;
            change(system);
            return system.SaveToFile(ProjectPathTable[35]) != 0;
        }));
    }
    // Free play with this many lives (the start count includes the one in play).
    void FiniteFreePlayLives(int32_t nLives)
    {
        ChangeSystem([nLives](cEdSystem& s) {
            s.m_vInfiniteLives[2] = 0;
            s.m_vStartLives[2] = nLives;
        });
    }
    // A run of the player; the frame at the limit is dumped, every frame goes into the log.
    PlayerResult Run(int frames, const std::string& input, const std::string& dump,
                     std::vector<std::string> args = {})
    {
        args.insert(args.begin(), {"--frames=" + std::to_string(frames), "--dump-frame=" + dump,
                                   "--frame-log=" + dump + ".log"});
        WriteWholeFile(m_Folder + "/input.txt", input);
        args.push_back("--input=input.txt");
        fs::remove(m_Folder + "/" + dump);
        return RunPlayer(m_Folder, args, MakeTempFolder("runtime"), 120);
    }
    // Free play of the stage chosen in the chooser (the dialog script may go on after it).
    PlayerResult RunFreePlay(int frames, const std::string& stage, const std::string& input,
                             const std::string& dump, const std::string& moreDialogs = "")
    {
        WriteWholeFile(m_Folder + "/dialogs.txt", "choose data\\stg4\\" + stage + ".stg4_000\n" + moreDialogs);
        return Run(frames, kChooseFreePlay + input, dump, {"--dialogs=dialogs.txt"});
    }
    PlayerResult RunDirect(int frames, const std::string& stage, const std::string& input, const std::string& dump,
                           bool testPlay = false)
    {
        std::vector<std::string> args;
        if (testPlay) args.push_back("--test-play");
        args.push_back("data\\stg4\\" + stage + ".stg4_000");
        return Run(frames, input, dump, args);
    }
    size_t Frames(const std::string& dump) { return ReadFrameLog(m_Folder + "/" + dump + ".log").size(); }

    // Title: down three times to free play, confirm.
    static inline const std::string kChooseFreePlay =
        Press(60, "DOWN") + Press(66, "DOWN") + Press(72, "DOWN") + Press(78, "Z");
};

const std::vector<const char*> kArena = GroundStage("  P        s     G  ");

// An item command that shows a message in a window and stops the game until the decision key.
cEdCommand KeyWaitMessage(const char* text)
{
    cEdCommand cmd = cEdCommand::Default();
    cmd.m_nFamily = 1;
    cmd.m_nKind = 4;
    cmd.m_strText = text;
    cmd.m_vParam.assign(18, 0);
    cmd.m_vParam[8] = 1;    // stops the game
    cmd.m_vParam[14] = 1;   // in a window
    return cmd;
}

const std::vector<const char*> kSpikes = GroundStage("  P    ^^^       G  ");

int CountOf(const Frame& f, uint32_t colour, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    return CountPixels(f, x0, y0, x1, y1, [colour](uint32_t p) { return p == colour; });
}

// Where the demo draws what a player watches for: the "START" banner's light green lettering,
// the "GAME OVER" banner's red, the ranking table's and the results panel's dark blues (the
// message window has the panel's), the pause menu's texts, the 1UP icon's green hood over the
// hero at the right end of the arena.
int StartBanner(const Frame& f) { return BannerPixels(f, 256, 224, 384, 256); }
int GameOverBanner(const Frame& f)
{
    return CountPixels(f, 248, 224, 392, 256, [](uint32_t p) { return (p >> 16) > 0xC0 && ((p >> 8) & 0xFF) < 0x80; });
}
int RankingTable(const Frame& f) { return CountOf(f, 0x0D1748, 184, 64, 456, 416); }
int ResultsPanel(const Frame& f) { return CountOf(f, 0x090F31, 336, 224, 592, 304); }
int PauseMenu(const Frame& f) { return WhitePixels(f, 0, 272, 640, 320); }
int IconOverHero(const Frame& f) { return CountOf(f, 0x1F7D2E, 528, 356, 560, 382); }

// A frame of the title (its menu's dark window over the picture) rather than of the stage.
bool IsTitle(const Frame& f) { return CountOf(f, 0x121F5F, 192, 360, 448, 480) > 5000; }

// Right held from a frame on, the shot key tapped every 12 frames until the goal: the slime falls
// to the shots and the hero walks on to the goal key.
std::string WalkAndShoot(int from, int until)
{
    std::string input = std::to_string(from) + " down RIGHT\n";
    for (int f = from + 10; f < until; f += 12) input += Press(f, "X");
    return input;
}

// Free play from the title's chooser starts play about frame 230, a stage named on the command
// line about frame 150.
constexpr int kFreePlayStart = 250;
constexpr int kDirectStart = 150;

TEST_F(StagePlayFlowRun, FreePlayClearShowsTheResultsAndTheRankingEntryWritesTheRankingFile)
{
    WriteStage("Arena", kArena);
    const std::string play = WalkAndShoot(kFreePlayStart, 440) + "450 up RIGHT\n";
    const std::string rankingFile = m_Folder + "/user_data/free/Arena.rkg";
    // The results, with the hint that F3 enters the ranking.
    PlayerResult result = RunFreePlay(500, "Arena", play, "results.bmp");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    Frame frame = Dump("results.bmp");
    ASSERT_EQ(frame.pixels.size(), 640u * 480u);
    EXPECT_GT(ResultsPanel(frame), 10000);
    EXPECT_GT(WhitePixels(frame, 0, 456, 640, 480), 50);
    EXPECT_FALSE(fs::exists(rankingFile));

    // F3: the name dialog takes "abc" from the dialog script, the ranking table shows it and the
    // file is written with the name in each of the five rankings.
    const std::string enter = play + Press(520, "F3");
    result = RunFreePlay(540, "Arena", enter, "ranking.bmp", "type abc\nclick 1000\n");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    frame = Dump("ranking.bmp");
    ASSERT_EQ(frame.pixels.size(), 640u * 480u);
    EXPECT_GT(RankingTable(frame), 20000);
    const std::string ranking = ReadWholeFile(rankingFile);
    size_t names = 0;
    for (size_t at = ranking.find("abc"); at != std::string::npos; at = ranking.find("abc", at + 1)) ++names;
    EXPECT_EQ(names, 5u);

    // The decision key closes the table, the next leaves the results: free play starts the stage
    // again with its banner, and the entry is not made twice.
    fs::remove(rankingFile);
    result = RunFreePlay(700, "Arena", enter + Press(580, "Z") + Press(620, "Z"), "again.bmp",
                         "type abc\nclick 1000\n");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    EXPECT_GE(Frames("again.bmp"), 700u);
    frame = Dump("again.bmp");
    ASSERT_EQ(frame.pixels.size(), 640u * 480u);
    EXPECT_GT(StartBanner(frame), 50);
    EXPECT_EQ(ResultsPanel(frame), 0);
    EXPECT_EQ(ReadWholeFile(rankingFile).size(), ranking.size());
}

TEST_F(StagePlayFlowRun, DeathsCostLivesAndTheLastEndsTheGameUntilTheDecisionKey)
{
    // Three lives; right held walks the hero into the spikes each time the stage starts again.
    WriteStage("Spikes", kSpikes);
    FiniteFreePlayLives(3);
    const std::string input = std::to_string(kFreePlayStart) + " down RIGHT\n";
    struct Case {
        int frame;
        bool bStartBanner, bGameOver, bTitle;
    };
    const Case cases[] = {
        {400, true, false, false},    // the first death: the stage starts again
        {600, true, false, false},    // the second
        {800, false, true, false},    // the third: game over
        {900, false, false, true},    // the decision key at 820 leads to the title
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        const std::string dump = "death" + std::to_string(c.frame) + ".bmp";
        const PlayerResult result = RunFreePlay(c.frame, "Spikes", input + Press(820, "Z"), dump);
        ASSERT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, 0) << result.errorText;
        const Frame frame = Dump(dump);
        ASSERT_EQ(frame.pixels.size(), 640u * 480u);
        EXPECT_EQ(StartBanner(frame) > 50, c.bStartBanner);
        EXPECT_EQ(GameOverBanner(frame) > 50, c.bGameOver);
        EXPECT_EQ(IsTitle(frame), c.bTitle);
    }
}

TEST_F(StagePlayFlowRun, PauseMenuResumesWhereItStoppedAndRetryStartsTheStageAgain)
{
    const std::string pause = Press(200, "SPACE");
    // Resume (the item the menu opens on): the menu goes and the hero walks on the held key.
    PlayerResult result = RunDirect(260, "Stage1", pause + Press(215, "Z") + "220 down RIGHT\n", "resume.bmp");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    Frame frame = Dump("resume.bmp");
    ASSERT_EQ(frame.pixels.size(), 640u * 480u);
    EXPECT_EQ(PauseMenu(frame), 0);
    EXPECT_EQ(StartBanner(frame), 0);
    const std::vector<uint64_t> hashes = ReadFrameHashes(m_Folder + "/resume.bmp.log");
    ASSERT_GE(hashes.size(), 260u);
    // While paused the picture stands still; after the resume it moves.
    EXPECT_EQ(std::set<uint64_t>(hashes.begin() + 205, hashes.begin() + 212).size(), 1u);
    EXPECT_GT(std::set<uint64_t>(hashes.begin() + 225, hashes.begin() + 260).size(), 10u);

    // Down to retry, confirm: the start banner again, with the menu gone.
    result = RunDirect(240, "Stage1", "150 down RIGHT\n" + pause + Press(210, "DOWN") + Press(220, "Z"), "retry.bmp");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    frame = Dump("retry.bmp");
    ASSERT_EQ(frame.pixels.size(), 640u * 480u);
    EXPECT_GT(StartBanner(frame), 50);
    EXPECT_EQ(PauseMenu(frame), 0);
}

TEST_F(StagePlayFlowRun, TimeRunningOutCostsTheHerosLife)
{
    // Standing still: with 3 seconds the time runs out and the stage starts again with its
    // banner; with the usual 300 nothing happens.
    for (const int32_t nLimit : {3, 300}) {
        SCOPED_TRACE(nLimit);
        WriteStage("Timed", kArena, [nLimit](cEdStage& s) { s.m_nTimeLimit = nLimit; });
        const PlayerResult result = RunDirect(kDirectStart + 3 * 60 + 40, "Timed", "", "timed.bmp");
        ASSERT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, 0) << result.errorText;
        const Frame frame = Dump("timed.bmp");
        ASSERT_EQ(frame.pixels.size(), 640u * 480u);
        EXPECT_EQ(StartBanner(frame) > 50, nLimit == 3);
    }
}

TEST_F(StagePlayFlowRun, ScoreThatReachesTheExtraLifeStepShowsTheIconOverTheHero)
{
    // The slime's 100 points at the clear make a life when the project gives one per 100.
    WriteStage("Arena", kArena);
    FiniteFreePlayLives(3);
    const std::string input = WalkAndShoot(kFreePlayStart, 440) + "450 up RIGHT\n";
    for (const int32_t bExtraLife : {1, 0}) {
        SCOPED_TRACE(bExtraLife);
        ChangeSystem([bExtraLife](cEdSystem& s) {
            s.m_bExtraLifeByScore = bExtraLife;
            s.m_nExtraLifeScore = 100;
        });
        const PlayerResult result = RunFreePlay(450, "Arena", input, "life.bmp");
        ASSERT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, 0) << result.errorText;
        const Frame frame = Dump("life.bmp");
        ASSERT_EQ(frame.pixels.size(), 640u * 480u);
        EXPECT_EQ(IconOverHero(frame) > 20, bExtraLife == 1);
        // Nothing of it in the middle of the screen.
        EXPECT_EQ(CountOf(frame, 0x1F7D2E, 280, 200, 360, 280), 0);
    }
}

TEST_F(StagePlayFlowRun, TestPlayTellsTheEditorItsStartAndEndAndEntersNoRanking)
{
    WriteStage("Arena", kArena);
    const PlayerResult result = RunDirect(420, "Arena", WalkAndShoot(kDirectStart, 400), "test.bmp", true);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    const size_t start = result.errorText.find("editor notice 1 1");
    const size_t end = result.errorText.find("editor notice 0 1");
    ASSERT_NE(start, std::string::npos) << result.errorText;
    ASSERT_NE(end, std::string::npos) << result.errorText;
    EXPECT_LT(start, end);
    // The stage was cleared: its results without the ranking hint, and no ranking file.
    const Frame frame = Dump("test.bmp");
    ASSERT_EQ(frame.pixels.size(), 640u * 480u);
    EXPECT_GT(ResultsPanel(frame), 10000);
    EXPECT_TRUE(fs::is_empty(m_Folder + "/user_data/free"));
}

TEST_F(StagePlayFlowRun, CloseRequestEndsTheProgramInPlayInAMessageWaitAndInTheResults)
{
    // The goal key first shows a message that holds the game until the decision key.
    WriteStage("Note", kArena, [](cEdStage& s) {
        for (cEdItem& item : s.m_vItem) item.m_vCommand.insert(item.m_vCommand.begin(), KeyWaitMessage("GOAL!"));
    });
    WriteStage("Arena", kArena);
    struct Case {
        const char* name;
        const char* stage;
        int frame;
        int (*seen)(const Frame&);   // what the frame at the close request shows
    };
    const Case cases[] = {
        {"in play", "Arena", 300, [](const Frame& f) { return int(ResultsPanel(f) == 0 && StartBanner(f) == 0); }},
        {"in the message wait", "Note", 400,
         [](const Frame& f) { return int(CountOf(f, 0x090F31, 270, 226, 370, 254) > 500); }},
        {"in the results", "Arena", 470, [](const Frame& f) { return int(ResultsPanel(f) > 10000); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PlayerResult result = RunDirect(c.frame, c.stage, WalkAndShoot(kDirectStart, 400), "close.bmp");
        ASSERT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, 0) << result.errorText;
        // No thread had to be given up on the way out, and the close took a few frames only.
        EXPECT_EQ(result.errorText.find("given up"), std::string::npos) << result.errorText;
        EXPECT_GE(Frames("close.bmp"), size_t(c.frame));
        EXPECT_LT(Frames("close.bmp"), size_t(c.frame) + 60);
        const Frame frame = Dump("close.bmp");
        ASSERT_EQ(frame.pixels.size(), 640u * 480u);
        EXPECT_EQ(c.seen(frame), 1);
    }
}

// Two runs with the same input give the same frames, checked frame by frame through the frame
// log's picture hashes, on each back end and colour depth.
class StagePlayDeterminism : public StagePlayFlowRun, public ::testing::WithParamInterface<std::pair<int, int>> {
};

TEST_P(StagePlayDeterminism, SameInputGivesTheSameFrames)
{
    SetDisplay(GetParam().first, GetParam().second);
    const std::string input =
        "150 down RIGHT\n" + Press(170, "Z") + Press(190, "X") + Press(200, "X") + Press(230, "Z") + "260 up RIGHT\n";
    constexpr int kFrames = 300;
    ASSERT_EQ(RunDirect(kFrames, "Stage1", input, "one.bmp").exitCode, 0);
    ASSERT_EQ(RunDirect(kFrames, "Stage1", input, "two.bmp").exitCode, 0);
    std::vector<uint64_t> one = ReadFrameHashes(m_Folder + "/one.bmp.log");
    std::vector<uint64_t> two = ReadFrameHashes(m_Folder + "/two.bmp.log");
    ASSERT_GE(one.size(), size_t(kFrames));
    ASSERT_GE(two.size(), size_t(kFrames));
    // The frames shown while the close runs after the limit are not part of the play.
    one.resize(kFrames);
    two.resize(kFrames);
    for (int i = 0; i < kFrames; ++i) ASSERT_EQ(one[size_t(i)], two[size_t(i)]) << "frame " << i + 1;
    // The run shows a moving picture, not one frame over and over.
    EXPECT_GT(std::set<uint64_t>(one.begin(), one.end()).size(), 100u);
}

INSTANTIATE_TEST_SUITE_P(BackEnds, StagePlayDeterminism,
                         // Direct3D has no 8-bit mode: it refuses one with a box.
                         ::testing::Values(std::pair{1, 32}, std::pair{1, 16}, std::pair{0, 32}, std::pair{0, 16},
                                           std::pair{0, 8}),
                         [](const auto& info) {
                             return std::string(info.param.first ? "Direct3D" : "DirectDraw") +
                                    std::to_string(info.param.second);
                         });

}  // namespace
