// Whole-program runs through the front end's menus on the headless host.
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/e2e/PlayerRun.h"
#include "tests/e2e/TestProject.h"

namespace {

struct MenuRun {
    std::string folder;
    PlayerResult result;
    size_t frames = 0;
};

// Runs the test project with an input script; the menus fade in for about 26 frames first.
MenuRun RunWithInput(const std::string& script, int frameLimit)
{
    MenuRun run;
    run.folder = MakeTempFolder("menus");
    const std::string runtime = MakeTempFolder("runtime");
    WriteTestProject(run.folder, TestProjectSpec{});
    WriteWholeFile(run.folder + "/input.txt", script);
    run.result = RunPlayer(run.folder,
                           {"--input=input.txt", "--frame-log=frames.txt", "--frames=" + std::to_string(frameLimit)},
                           runtime);
    run.frames = ReadFrameLog(run.folder + "/frames.txt").size();
    return run;
}

TEST(FrontendRun, TitleExitItemEndsTheProgramInOrder)
{
    // Up from new story wraps to the last item, exit; confirm closes the program.
    const MenuRun run = RunWithInput(Press(60, "UP") + Press(70, "Z"), 400);
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    EXPECT_GE(run.frames, 70u);
    EXPECT_LT(run.frames, 150u);
    EXPECT_TRUE(std::filesystem::exists(run.folder + "/user_data/Window.dat"));
}

TEST(FrontendRun, OptionsChangeAndAreWrittenWhenLeft)
{
    // Title: up twice to options, confirm. Options: confirm the palette pattern, raise it to 1,
    // confirm, then cancel to leave; the file is written at the end of the fade-out.
    const std::string script = Press(60, "UP") + Press(66, "UP") + Press(72, "Z") + Press(160, "Z") +
                               Press(166, "UP") + Press(172, "Z") + Press(178, "X");
    const MenuRun run = RunWithInput(script, 300);
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    const std::string want("\xEF\x02\0\0\x04\0\0\0\x01\0\0\0\x01\0\0\0\x07\0\0\0\0\0\0\0\x01\0\0\0\x04\0\0\0aaa\0", 36);
    EXPECT_EQ(ReadWholeFile(run.folder + "/user_data/Option.dat"), want);
}

TEST(FrontendRun, CancelledEditRestoresTheOldValue)
{
    // Edit the volume (third item), lower it twice, cancel the edit, leave: 7 is written back.
    const std::string script = Press(60, "UP") + Press(66, "UP") + Press(72, "Z") + Press(160, "DOWN") +
                               Press(166, "DOWN") + Press(172, "Z") + Press(178, "DOWN") +
                               Press(184, "DOWN") + Press(190, "X") + Press(196, "X");
    const MenuRun run = RunWithInput(script, 320);
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    const std::string want("\xEF\x02\0\0\x04\0\0\0\0\0\0\0\x01\0\0\0\x07\0\0\0\0\0\0\0\x01\0\0\0\x04\0\0\0aaa\0", 36);
    EXPECT_EQ(ReadWholeFile(run.folder + "/user_data/Option.dat"), want);
}

}  // namespace
