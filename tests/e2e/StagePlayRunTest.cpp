// Stage play on the headless host with the demo project: a stage named on the command line is
// played directly with its start banner and caption, the editor's test play goes straight into
// play, the pause menu opens on the space key and its quit item ends a directly started stage,
// the same run gives the same picture, and the demo's hero walks, shoots and clears a stage.
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/e2e/DemoRun.h"
#include "tools/demo/DemoStage.h"

namespace fs = std::filesystem;

namespace {

class StagePlayRun : public DemoProjectRun {
public:
    StagePlayRun() : DemoProjectRun("stageplay") {}
    // A run of the demo's first stage named on the command line; the frame at the limit is kept.
    PlayerResult Play(int frames, const std::string& input, const std::string& dump, bool testPlay = false)
    {
        std::vector<std::string> args{"--frames=" + std::to_string(frames), "--dump-frame=" + dump,
                                      "--frame-log=frames.txt"};
        if (testPlay) args.insert(args.begin(), "--test-play");
        if (!input.empty()) {
            WriteWholeFile(m_Folder + "/input.txt", input);
            args.push_back("--input=input.txt");
        }
        args.push_back("data\\stg4\\Stage1.stg4_000");
        fs::remove(m_Folder + "/" + dump);
        return RunPlayer(m_Folder, args, MakeTempFolder("runtime"));
    }
};

// Where the scene draws: the start banner, the pause menu's texts, the caption at the bottom (the
// first stage's own picture has no near-white pixels there, so those there are the caption's).
constexpr int32_t kBannerTop = 224, kBannerBottom = 256;
constexpr int32_t kMenuTop = 272, kMenuBottom = 320;
constexpr int32_t kCaptionTop = 456;

TEST_F(StagePlayRun, StageNamedAtStartUpShowsItsStartBannerAndCaption)
{
    const PlayerResult result = Play(60, "", "banner.bmp");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    const Frame frame = Dump("banner.bmp");
    ASSERT_EQ(frame.pixels.size(), 640u * 480u);
    EXPECT_GT(BannerPixels(frame, 256, kBannerTop, 384, kBannerBottom), 50);
    // The caption of a directly started stage.
    EXPECT_GT(WhitePixels(frame, 0, kCaptionTop, 640, 480), 50);
    // Nothing of the title is left: no menu text in the menu area, only the stage.
    EXPECT_EQ(WhitePixels(frame, 0, kMenuTop, 640, kMenuBottom), 0);
    EXPECT_EQ(CountColour(frame, 0xFF00FF, 0, 0).first, 0);
}

TEST_F(StagePlayRun, TestPlayOfADirectStageSkipsTheBanners)
{
    const PlayerResult result = Play(90, "", "testplay.bmp", true);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    const Frame frame = Dump("testplay.bmp");
    ASSERT_EQ(frame.pixels.size(), 640u * 480u);
    EXPECT_EQ(BannerPixels(frame, 0, 0, 640, 480), 0);
    EXPECT_GT(WhitePixels(frame, 0, kCaptionTop, 640, 480), 50);
}

TEST_F(StagePlayRun, SpaceOpensThePauseMenuAndQuitEndsADirectStage)
{
    // Play has begun after the fade-in and the banner; space pauses.
    const std::string pause = Press(200, "SPACE");
    PlayerResult result = Play(215, pause, "pause.bmp");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    const Frame frame = Dump("pause.bmp");
    ASSERT_EQ(frame.pixels.size(), 640u * 480u);
    EXPECT_GT(WhitePixels(frame, 0, kMenuTop, 640, kMenuBottom), 50);

    // Up to "quit", confirm: the program ends long before the frame limit.
    result = Play(900, pause + Press(220, "UP") + Press(230, "Z"), "quit.bmp");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    const size_t nFrames = ReadFrameLog(m_Folder + "/frames.txt").size();
    EXPECT_GE(nFrames, 230u);
    EXPECT_LT(nFrames, 400u);
}

TEST_F(StagePlayRun, FreePlayFromTheChooserShowsTheStageAndQuitReturnsToTheTitle)
{
    WriteWholeFile(m_Folder + "/dialogs.txt", "choose data\\stg4\\Stage1.stg4_000\n");
    // Title: down three times to free play, confirm; the chooser answers with the stage.
    const std::string choose = Press(60, "DOWN") + Press(66, "DOWN") + Press(72, "DOWN") + Press(78, "Z");
    auto run = [&](int frames, const std::string& input, const char* dump) {
        WriteWholeFile(m_Folder + "/input.txt", input);
        fs::remove(m_Folder + "/" + dump);
        return RunPlayer(m_Folder,
                         {"--frames=" + std::to_string(frames), std::string("--dump-frame=") + dump,
                          "--frame-log=frames.txt", "--dialogs=dialogs.txt", "--input=input.txt"},
                         MakeTempFolder("runtime"));
    };
    PlayerResult result = run(170, choose, "free.bmp");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    Frame frame = Dump("free.bmp");
    ASSERT_EQ(frame.pixels.size(), 640u * 480u);
    EXPECT_GT(BannerPixels(frame, 256, kBannerTop, 384, kBannerBottom), 50);
    // Free play from the title has no caption.
    EXPECT_EQ(WhitePixels(frame, 0, kCaptionTop, 640, 480), 0);

    // Pause, up to "quit", confirm: the title comes back and the program runs on.
    result = run(480, choose + Press(300, "SPACE") + Press(310, "UP") + Press(320, "Z"), "title.bmp");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    EXPECT_GE(ReadFrameLog(m_Folder + "/frames.txt").size(), 480u);
    frame = Dump("title.bmp");
    ASSERT_EQ(frame.pixels.size(), 640u * 480u);
    EXPECT_LT(CountColour(frame, 0x000000, 0, 0).first, 640 * 480 / 2);
}

TEST_F(StagePlayRun, SameRunGivesTheSamePicture)
{
    const std::string input = Press(150, "RIGHT") + Press(170, "Z");
    ASSERT_EQ(Play(240, input, "one.bmp").exitCode, 0);
    ASSERT_EQ(Play(240, input, "two.bmp").exitCode, 0);
    const Frame one = Dump("one.bmp");
    const Frame two = Dump("two.bmp");
    ASSERT_EQ(one.pixels.size(), 640u * 480u);
    EXPECT_EQ(one.pixels, two.pixels);
}

// A short stage in the demo's letters: the hero, a slime on the way and the goal item.
const std::vector<const char*> kArena = GroundStage("  P        s     G  ");

TEST_F(StagePlayRun, HeroWalksShootsAndClearsTheStage)
{
    {
        const fs::path previous = fs::current_path();
        fs::current_path(m_Folder);
        std::string error;
        const bool written = WriteDemoStage("data\\stg4\\Arena.stg4_000", kArena, "arena", &error);
        fs::current_path(previous);
        ASSERT_TRUE(written) << error;
    }
    auto run = [&](int frames, const std::string& input, const char* dump) {
        WriteWholeFile(m_Folder + "/input.txt", input);
        fs::remove(m_Folder + "/" + dump);
        return RunPlayer(m_Folder,
                         {"--frames=" + std::to_string(frames), std::string("--dump-frame=") + dump,
                          "--frame-log=frames.txt", "--input=input.txt", "data\\stg4\\Arena.stg4_000"},
                         MakeTempFolder("runtime"));
    };
    // The results panel of a cleared stage, at the right of the screen's middle.
    auto panelText = [](const Frame& f) { return WhitePixels(f, 336, 224, 592, 304); };
    // Standing still, nothing ends the stage.
    ASSERT_EQ(run(420, "", "still.bmp").exitCode, 0);
    const Frame still = Dump("still.bmp");
    ASSERT_EQ(still.pixels.size(), 640u * 480u);
    EXPECT_EQ(panelText(still), 0);
    // Right held from frame 150, the shot key tapped on the way: the slime falls to the shots and
    // the hero walks on to the goal, whose taking clears the stage.
    std::string input = "150 down RIGHT\n";
    for (int f = 160; f < 400; f += 12) input += Press(f, "X");
    ASSERT_EQ(run(420, input, "clear.bmp").exitCode, 0);
    const Frame clear = Dump("clear.bmp");
    ASSERT_EQ(clear.pixels.size(), 640u * 480u);
    EXPECT_GT(panelText(clear), 50);
}

}  // namespace
