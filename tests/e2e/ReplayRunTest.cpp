// Replays on the headless host with the demo project: F1 during free play saves the play through
// the save chooser under the default name, and the title's replay item opens that file and plays
// it with the replay banner, going round again when its input runs out.
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/e2e/DemoRun.h"

namespace fs = std::filesystem;

namespace {

// Pixels of the demo's replay-banner lettering (its pale blue face and dark outline, which the
// stage's picture lacks there) inside the rectangle.
int ReplayBannerPixels(const Frame& f, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    return CountPixels(f, x0, y0, x1, y1, [](uint32_t p) { return p == 0xAACDF5u || p == 0x0D1748u; });
}

class ReplayRun : public DemoProjectRun {
public:
    ReplayRun() : DemoProjectRun("replayrun") {}
    PlayerResult Run(int frames, const std::string& input, const std::string& dialogs, const char* dump)
    {
        WriteWholeFile(m_Folder + "/input.txt", input);
        WriteWholeFile(m_Folder + "/dialogs.txt", dialogs);
        fs::remove(m_Folder + "/" + dump);
        return RunPlayer(m_Folder,
                         {"--frames=" + std::to_string(frames), std::string("--dump-frame=") + dump,
                          "--frame-log=frames.txt", "--dialogs=dialogs.txt", "--dialog-log=dialogs.log",
                          "--input=input.txt"},
                         MakeTempFolder("runtime"));
    }
};

constexpr char kReplayFile[] = "user_data/rpl4/Stage1_00.rpl4_751";

TEST_F(ReplayRun, F1SavesThePlayAndTheTitleOpensItForPlayback)
{
    // Title: free play (three down), the stage from the chooser; in play right is held for a
    // while, then F1 saves the replay where the save chooser is told.
    const std::string record = Press(60, "DOWN") + Press(66, "DOWN") + Press(72, "DOWN") + Press(78, "Z") +
                               "250 down RIGHT\n300 up RIGHT\n" + Press(320, "F1");
    PlayerResult result = Run(360, record,
                              "choose data\\stg4\\Stage1.stg4_000\nchoose user_data\\rpl4\\Stage1_00.rpl4_751\n",
                              "record.bmp");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    ASSERT_TRUE(fs::exists(m_Folder + "/" + kReplayFile)) << result.errorText;
    const std::string bytes = ReadWholeFile(m_Folder + "/" + kReplayFile);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xEF\x02\0\0", 4));   // version 751
    // The save chooser offered the default name.
    EXPECT_NE(ReadWholeFile(m_Folder + "/dialogs.log").find("Stage1_00.rpl4_751"), std::string::npos);
    EXPECT_EQ(result.errorText.find("[box]"), std::string::npos) << result.errorText;
    // Free play shows no replay banner.
    const Frame played = Dump("record.bmp");
    ASSERT_EQ(played.pixels.size(), 640u * 480u);
    EXPECT_EQ(ReplayBannerPixels(played, 256, 224, 384, 256), 0);

    // Title: the replay item (four down), the file from the chooser: the replay banner.
    const std::string open = Press(54, "DOWN") + Press(60, "DOWN") + Press(66, "DOWN") + Press(72, "DOWN") +
                             Press(78, "Z");
    result = Run(170, open, "choose user_data\\rpl4\\Stage1_00.rpl4_751\n", "replay.bmp");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    const Frame frame = Dump("replay.bmp");
    ASSERT_EQ(frame.pixels.size(), 640u * 480u);
    EXPECT_GT(ReplayBannerPixels(frame, 256, 224, 384, 256), 500);

    // The same moment of play, recorded and played back, looks the same: the hero has walked as
    // the recording says, though the keyboard now holds nothing.
    ASSERT_EQ(Run(310, record, "choose data\\stg4\\Stage1.stg4_000\n", "live310.bmp").exitCode, 0);
    ASSERT_EQ(Run(310, open, "choose user_data\\rpl4\\Stage1_00.rpl4_751\n", "replay310.bmp").exitCode, 0);
    const Frame live = Dump("live310.bmp");
    const Frame replayed = Dump("replay310.bmp");
    ASSERT_EQ(live.pixels.size(), 640u * 480u);
    EXPECT_EQ(live.pixels, replayed.pixels);
    EXPECT_NE(live.pixels, played.pixels);   // the picture at 360 is another one: play went on

    // Long past the end of the recording the replay has started again from its file, and the
    // program runs on without a box.
    result = Run(900, open, "choose user_data\\rpl4\\Stage1_00.rpl4_751\n", "again.bmp");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    EXPECT_GE(ReadFrameLog(m_Folder + "/frames.txt").size(), 900u);
    EXPECT_EQ(result.errorText.find("[box]"), std::string::npos) << result.errorText;
}

}  // namespace
