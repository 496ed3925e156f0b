// Whole-program runs of the player on the headless host.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/host/Host.h"
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

}  // namespace

TEST(PlayerRun, StartsPresentsAtSixtyFramesAndClosesCleanly)
{
    TestProjectSpec spec;
    spec.systemIni = "Direct3D=1\nWindowMode=1\nShowFps=0\nD3D_FontCache=1\nExit\n";
    Outcome run = RunProject(spec, {"--frames=120", "--frame-log=frames.txt"});
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    // The report log: the version line first, the machine, the display once the graphics run,
    // and the glyph counts of the two cached fonts as the last lines of the shut-down.
    const std::string report = ReadWholeFile(run.folder + "/Report_Game.txt");
    EXPECT_EQ(report.rfind("App : ver 751\r\n", 0), 0u) << report;
    const size_t display = report.find("Direct3D : ");
    const size_t font10 = report.find("Font10 : ");
    const size_t font16 = report.find("Font16 : ");
    ASSERT_NE(display, std::string::npos) << report;
    ASSERT_NE(font10, std::string::npos) << report;
    ASSERT_NE(font16, std::string::npos) << report;
    EXPECT_LT(display, font10);
    EXPECT_LT(font10, font16);
    EXPECT_EQ(report.find("\r\n", font16) + 2, report.size());
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

// Every start-up failure ends the program with exit code 0, the specified box (or none), and
// without hanging.
struct FailureCase {
    const char* name;
    bool withData, withDefault, withDatabase;
    const char* fail;
    const char* boxText;   // UTF-8; empty: no box at all
};

TEST(PlayerRun, StartupFailuresEndCleanlyWithTheirMessage)
{
    const FailureCase cases[] = {
        {"no data, no default", false, false, true, "",
         "「data」フォルダの作成に失敗…\n「default」フォルダに問題がある可能性があります。"},
        {"database list missing", true, false, false, "", "データベースの読み込みに失敗…"},
        {"both drawing back ends fail", true, false, true, "direct3d,directdraw", ""},
        {"sound device fails", true, false, true, "sound", ""},
        {"game thread cannot start", true, false, true, "thread", "ゲームスレッドの起動に失敗しました！"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestProjectSpec spec;
        spec.withData = c.withData;
        spec.withDefault = c.withDefault;
        spec.withDatabase = c.withDatabase;
        std::vector<std::string> args{"--frames=30"};
        if (*c.fail) args.push_back(std::string("--fail=") + c.fail);
        Outcome run = RunProject(spec, args);
        ASSERT_FALSE(run.result.timedOut);
        EXPECT_EQ(run.result.exitCode, 0);
        const std::string& err = run.result.errorText;
        if (*c.boxText == 0) {
            EXPECT_EQ(err.find("[box]"), std::string::npos) << err;
        } else {
            EXPECT_NE(err.find(c.boxText), std::string::npos) << err;
        }
        // No frame was ever shown: the game thread never started.
        EXPECT_FALSE(fs::exists(run.folder + "/Window.dat"));
    }
}

TEST(PlayerRun, MissingDataFolderIsCopiedFromDefaultAfterTheQuestion)
{
    TestProjectSpec spec;
    spec.withData = false;
    spec.withDefault = true;
    Outcome run = RunProject(spec, {"--frames=10"});
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    EXPECT_TRUE(fs::exists(run.folder + "/data/System.dat"));
    EXPECT_EQ(run.result.errorText.find("データベースの読み込みに失敗"), std::string::npos);
}

TEST(PlayerRun, Direct3DFailingFallsBackToDirectDraw)
{
    Outcome run = RunProject(TestProjectSpec{}, {"--frames=20", "--fail=direct3d", "--frame-log=frames.txt"});
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    EXPECT_GE(ReadFrameLog(run.folder + "/frames.txt").size(), 20u);
}

TEST(PlayerRun, EscClosesAndWindowPlacementIsWritten)
{
    TestProjectSpec spec;
    Outcome run;
    run.folder = MakeTempFolder("project");
    run.runtime = MakeTempFolder("runtime");
    WriteTestProject(run.folder, spec);
    WriteWholeFile(run.folder + "/input.txt", "5 down ESCAPE\n6 up ESCAPE\n");
    run.result = RunPlayer(run.folder, {"--input=input.txt", "--frame-log=frames.txt"}, run.runtime);
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    const auto frames = ReadFrameLog(run.folder + "/frames.txt");
    EXPECT_GE(frames.size(), 6u);
    EXPECT_LT(frames.size(), 60u);
    // Window mode: the placement is stored on close, 32 bytes of the record format.
    const std::string placement = ReadWholeFile(run.folder + "/user_data/Window.dat");
    ASSERT_EQ(placement.size(), 32u);
    EXPECT_EQ(placement.substr(0, 8), std::string("\xEF\x02\0\0\x05\0\0\0", 8));
    EXPECT_EQ(placement.substr(16, 8), std::string("\x80\x02\0\0\xE0\x01\0\0", 8));   // 640 x 480
}

TEST(PlayerRun, TestPlaySendsStartAndExitNotices)
{
    Outcome run = RunProject(TestProjectSpec{}, {"--frames=5", "--test-play"});
    EXPECT_EQ(run.result.exitCode, 0);
    const std::string& err = run.result.errorText;
    const size_t start = err.find("editor notice 1 1");
    const size_t exit = err.find("editor notice 0 1");
    ASSERT_NE(start, std::string::npos) << err;
    ASSERT_NE(exit, std::string::npos) << err;
    EXPECT_LT(start, exit);

    TestProjectSpec broken;
    broken.withDatabase = false;
    Outcome failed = RunProject(broken, {"--frames=5", "--test-play"});
    const std::string& err2 = failed.result.errorText;
    const size_t start2 = err2.find("editor notice 1 1");
    const size_t exit2 = err2.find("editor notice 0 0");
    ASSERT_NE(start2, std::string::npos) << err2;
    ASSERT_NE(exit2, std::string::npos) << err2;
    EXPECT_LT(start2, exit2);
}

TEST(PlayerRun, SecondCopyAsksAndEndsOnNoOrUnansweredOrEndsTheFirstOnYes)
{
    const std::string runtime = MakeTempFolder("runtime");
    const std::string first = MakeTempFolder("first");
    const std::string second = MakeTempFolder("second");
    WriteTestProject(first, TestProjectSpec{});
    WriteTestProject(second, TestProjectSpec{});
    // The first copy runs until it is ended.
    const std::string firstErr = first + "/stderr.txt";
    const int pid = StartPlayer(first, {"--frame-log=frames.txt"}, runtime, firstErr);
    for (int i = 0; i < 500 && ReadWholeFile(first + "/frames.txt").empty(); ++i) usleep(20000);
    ASSERT_FALSE(ReadWholeFile(first + "/frames.txt").empty());

    // A headless run that nobody answers (a test, a script) takes the box's default: it ends
    // itself and leaves the running copy alone.
    PlayerResult unanswered = RunPlayer(second, {"--frames=5"}, runtime);
    EXPECT_EQ(unanswered.exitCode, 0);
    EXPECT_NE(unanswered.errorText.find("二重起動 | 既に起動しています。"), std::string::npos) << unanswered.errorText;
    EXPECT_NE(unanswered.errorText.find("| answer 7"), std::string::npos) << unanswered.errorText;
    // The first copy is a child of this test: an ended one would be a zombie, still in /proc.
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, WNOHANG), 0) << "the running copy was ended";

    PlayerResult refused = RunPlayer(second, {"--frames=5", "--box-answers=7"}, runtime);
    EXPECT_EQ(refused.exitCode, 0);
    EXPECT_NE(refused.errorText.find("二重起動 | 既に起動しています。"), std::string::npos) << refused.errorText;
    EXPECT_FALSE(fs::exists(second + "/frames.txt"));
    EXPECT_TRUE(fs::exists(std::string("/proc/") + std::to_string(pid)));

    PlayerResult replaced = RunPlayer(second, {"--frames=5", "--box-answers=6", "--frame-log=frames.txt"}, runtime);
    EXPECT_EQ(replaced.exitCode, 0) << replaced.errorText;
    EXPECT_FALSE(ReadWholeFile(second + "/frames.txt").empty());
    PlayerResult ended = WaitPlayer(pid, firstErr, 10);
    EXPECT_FALSE(ended.timedOut);
}

TEST(PlayerRun, FrameRateTextFollowsShowFps)
{
    struct FpsCase {
        const char* value;
        int32_t x0, y0;   // where the text may appear
        bool drawn;
    };
    const FpsCase cases[] = {{"0", 0, 0, false}, {"2", 549, 469, true}, {"1", 495, 463, true}};
    for (const FpsCase& c : cases) {
        SCOPED_TRACE(std::string("ShowFps=") + c.value);
        TestProjectSpec spec;
        spec.systemIni = std::string("Direct3D=1\nWindowMode=1\nShowFps=") + c.value + "\nExit\n";
        Outcome run = RunProject(spec, {"--frames=40", "--dump-frame=last.bmp"});
        ASSERT_EQ(run.result.exitCode, 0) << run.result.errorText;
        const Frame frame = ReadBmp24(run.folder + "/last.bmp");
        ASSERT_EQ(frame.width, 640);
        ASSERT_EQ(frame.height, 480);
        const uint32_t text = TestPalette(spec)[241];
        const auto [inside, outside] = CountColour(frame, text, c.x0, c.y0);
        EXPECT_EQ(outside, 0);
        if (c.drawn) {
            EXPECT_GT(inside, 20);
        } else {
            EXPECT_EQ(inside, 0);
        }
    }
}

TEST(PlayerRun, SameInputGivesTheSameFramesAndTimes)
{
    std::vector<std::vector<std::pair<uint64_t, uint32_t>>> logs;
    std::vector<std::string> frames;
    for (int i = 0; i < 2; ++i) {
        TestProjectSpec spec;
        spec.systemIni = "Direct3D=1\nWindowMode=1\nShowFps=2\nExit\n";
        Outcome run = RunProject(spec, {"--frames=150", "--frame-log=frames.txt", "--dump-frame=last.bmp"});
        ASSERT_EQ(run.result.exitCode, 0) << run.result.errorText;
        logs.push_back(ReadFrameLog(run.folder + "/frames.txt"));
        frames.push_back(ReadWholeFile(run.folder + "/last.bmp"));
    }
    ASSERT_GE(logs[0].size(), 150u);
    ASSERT_GE(logs[1].size(), 150u);
    // The clock starts with the first frame: every frame falls at the same virtual time.
    for (size_t k = 0; k < 150; ++k) EXPECT_EQ(logs[0][k].second, logs[1][k].second) << k;
    EXPECT_EQ(frames[0], frames[1]);
}

TEST(PlayerRun, SettingsAndCommandLineProblemsKeepThePlayerRunning)
{
    struct Case {
        const char* name;
        std::string systemIni;
        std::string commandLine;
        const char* box;      // UTF-8, empty for none
        const char* report;   // UTF-8 line expected in the report log, empty for none
        bool withStage = false;   // "data\stg4\Forest.stg4_001" exists and loads
        size_t minFrames = 10;
    };
    const Case cases[] = {
        {"System.ini without Exit", "Direct3D=1\nWindowMode=1\n", "", "System.ini の読み込みに失敗しました！", ""},
        {"stage file that does not exist", "Direct3D=1\nWindowMode=1\nExit\n", "nosuch.stg4", "",
         "「nosuch.stg4」の読み込みに失敗しました！"},
        {"command line longer than a path", "Direct3D=1\nWindowMode=1\nExit\n", std::string(300, 'x'), "",
         "の読み込みに失敗しました！"},
        // The newest numbered file is loaded and its play starts; this small project has no stage
        // bitmaps, so the start reports the first one missing and closes.
        {"stage that loads", "Direct3D=1\nWindowMode=1\nExit\n", "data\\stg4\\Forest.stg4", "",
         "LoadImage Err bmp\\Block.bmp", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestProjectSpec spec;
        spec.systemIni = c.systemIni;
        std::vector<std::string> args{"--frames=10", "--frame-log=frames.txt"};
        if (!c.commandLine.empty()) args.push_back(c.commandLine);
        Outcome run;
        run.folder = MakeTempFolder("project");
        run.runtime = MakeTempFolder("runtime");
        WriteTestProject(run.folder, spec);
        if (c.withStage) {
            fs::create_directories(run.folder + "/data/stg4");
            WriteWholeFile(run.folder + "/data/stg4/Forest.stg4_001", PlayableStageFileBytes());
        }
        run.result = RunPlayer(run.folder, args, run.runtime);
        ASSERT_FALSE(run.result.timedOut);
        EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
        EXPECT_GE(ReadFrameLog(run.folder + "/frames.txt").size(), c.minFrames);
        if (*c.box) {
            EXPECT_NE(run.result.errorText.find(c.box), std::string::npos) << run.result.errorText;
        }
        const std::string report = Cp932ToUtf8(ReadWholeFile(run.folder + "/Report_Game.txt"));
        if (*c.report) {
            EXPECT_NE(report.find(c.report), std::string::npos) << report;
        }
        EXPECT_EQ(report.find("stage play cannot be made"), std::string::npos) << report;
    }
}

TEST(PlayerRun, NamedStageThatIsNotAStageIsReportedAndEndsStartUp)
{
    struct Case {
        const char* name;
        std::string systemIni;
        std::string commandLine;
        const char* box;      // UTF-8
        const char* report;   // UTF-8
    };
    const Case cases[] = {
        {"folder on the command line", "Direct3D=1\nWindowMode=1\nExit\n", "bmp",
         "ステージファイル bmp の読み込みに失敗しました！", "bmp : not loaded, the file cannot be opened"},
        {"folder in FreeStage", "Direct3D=1\nWindowMode=1\nFreeStage=wave\nExit\n", "",
         "ステージファイル wave の読み込みに失敗しました！", "wave : not loaded, the file cannot be opened"},
        {"file that is not a stage", "Direct3D=1\nWindowMode=1\nExit\n", "System.ini",
         "ステージファイル System.ini が破損しています！", "System.ini : not loaded, the file is damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestProjectSpec spec;
        spec.systemIni = c.systemIni;
        std::vector<std::string> args{"--frames=10", "--frame-log=frames.txt"};
        if (!c.commandLine.empty()) args.push_back(c.commandLine);
        Outcome run = RunProject(spec, args);
        ASSERT_FALSE(run.result.timedOut);
        EXPECT_EQ(run.result.exitCode, 0);
        EXPECT_NE(run.result.errorText.find(c.box), std::string::npos) << run.result.errorText;
        const std::string report = Cp932ToUtf8(ReadWholeFile(run.folder + "/Report_Game.txt"));
        EXPECT_NE(report.find(c.report), std::string::npos) << report;
        // Start-up failed: no frame was shown.
        EXPECT_TRUE(ReadFrameLog(run.folder + "/frames.txt").empty());
    }
}

TEST(PlayerRun, WindowPlacementWithSizesNearTheLimitStartsInASaneWindow)
{
    // Direct3D with a sizing frame takes the stored client size; the file says 2^31 - 1.
    TestProjectSpec spec;
    spec.systemIni = "Direct3D=1\nWindowMode=2\nShowFps=0\nExit\n";
    Outcome run;
    run.folder = MakeTempFolder("project");
    run.runtime = MakeTempFolder("runtime");
    WriteTestProject(run.folder, spec);
    fs::create_directories(run.folder + "/user_data");
    WriteWholeFile(run.folder + "/user_data/Window.dat",
                   std::string("\xEF\x02\0\0\x05\0\0\0\x10\0\0\0\x10\0\0\0"
                               "\xFF\xFF\xFF\x7F\xFE\xFF\xFF\x7F\0\0\0\0\0\0\0\0",
                               32));
    run.result = RunPlayer(run.folder, {"--frames=10", "--frame-log=frames.txt"}, run.runtime);
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    EXPECT_GE(ReadFrameLog(run.folder + "/frames.txt").size(), 10u);
    // Written back on close: a client size the screen can hold.
    const std::string placement = ReadWholeFile(run.folder + "/user_data/Window.dat");
    ASSERT_EQ(placement.size(), 32u);
    auto at = [&placement](size_t offset) {
        int32_t value = 0;
        for (int i = 3; i >= 0; --i) value = static_cast<int32_t>(static_cast<uint32_t>(value) << 8 | uint8_t(placement[offset + i]));
        return value;
    };
    EXPECT_GE(at(16), 100);
    EXPECT_LE(at(16), 32767);
    EXPECT_GE(at(20), 100);
    EXPECT_LE(at(20), 32767);
}

TEST(PlayerRun, SdlHostWithoutADisplaySaysSoAndEnds)
{
    // The player takes this process's environment: no display at all, and only the video driver
    // that needs one.
    const char* const names[] = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    std::vector<std::pair<bool, std::string>> saved;
    for (const char* name : names) {
        const char* value = std::getenv(name);
        saved.emplace_back(value != nullptr, value != nullptr ? value : "");
        unsetenv(name);
    }
    setenv("SDL_VIDEODRIVER", "x11", 1);
    const std::string folder = MakeTempFolder("project");
    const std::string runtime = MakeTempFolder("runtime");
    WriteTestProject(folder, TestProjectSpec{});
    const PlayerResult result = RunPlayer(folder, {"--host=sdl"}, runtime, 30);
    for (size_t i = 0; i < saved.size(); ++i) {
        if (saved[i].first) setenv(names[i], saved[i].second.c_str(), 1);
        else unsetenv(names[i]);
    }
    ASSERT_FALSE(result.timedOut) << "the player ran on without a window";
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.errorText.find("no display"), std::string::npos) << result.errorText;
    EXPECT_NE(result.errorText.find("--host=headless"), std::string::npos) << result.errorText;
}
