// Whole-program runs of the player on the headless host.
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/e2e/PlayerRun.h"
#include "tests/e2e/TestProject.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    std::string folder;
    std::string runtime;
    PlayerResult result;
};

Outcome RunProject(const TestProjectSpec& spec, std::vector<std::string> args)
{
    Outcome run;
    run.folder = MakeTempFolder("project");
    run.runtime = MakeTempFolder("runtime");
    WriteTestProject(run.folder, spec);
    run.result = RunPlayer(run.folder, args, run.runtime);
    return run;
}

std::vector<std::pair<uint64_t, uint32_t>> ReadFrameLog(const std::string& path)
{
    std::vector<std::pair<uint64_t, uint32_t>> frames;
    std::istringstream in(ReadWholeFile(path));
    uint64_t n;
    uint32_t t;
    while (in >> n >> t) frames.emplace_back(n, t);
    return frames;
}

}  // namespace

TEST(PlayerRun, StartsPresentsAtSixtyFramesAndClosesCleanly)
{
    Outcome run = RunProject(TestProjectSpec{}, {"--frames=120", "--frame-log=frames.txt"});
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    const std::string report = ReadWholeFile(run.folder + "/Report_Game.txt");
    EXPECT_EQ(report.rfind("App : ver 751\r\n", 0), 0u) << report;
    const auto frames = ReadFrameLog(run.folder + "/frames.txt");
    ASSERT_GE(frames.size(), 120u);
    // 60 frames per second on the virtual clock: 120 frames span two seconds.
    const uint32_t span = frames[119].second - frames[59].second;
    EXPECT_GE(span, 990u);
    EXPECT_LE(span, 1010u);
    // The standard folders exist after start-up.
    for (const char* folder : {"user_data/story", "data/stg4/old_ver", "bmp/hbt", "wave", "bgm"})
        EXPECT_TRUE(fs::is_directory(run.folder + "/" + folder)) << folder;
}
