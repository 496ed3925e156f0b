// Whole-program runs of the player's dialogs on the headless host: the start dialog before the
// graphics start, the name dialog from the options, and the stage chooser of free play. The
// dialogs are driven by a dialog script; the player writes what they showed to a dialog log.
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/e2e/PlayerRun.h"
#include "tests/e2e/TestProject.h"

namespace fs = std::filesystem;

namespace {

struct DialogRun {
    std::string folder;
    std::string runtime;
    PlayerResult result;
    std::string log;   // the dialog log
    size_t frames = 0;
};

// Runs the player in the folder (made from spec when it is empty) with a dialog script and an
// input script.
DialogRun RunDialogs(DialogRun run, const TestProjectSpec& spec, const std::string& dialogs, const std::string& input,
              int frameLimit)
{
    if (run.folder.empty()) {
        run.folder = MakeTempFolder("dialogs");
        run.runtime = MakeTempFolder("runtime");
        WriteTestProject(run.folder, spec);
    }
    WriteWholeFile(run.folder + "/dialogs.txt", dialogs);
    WriteWholeFile(run.folder + "/input.txt", input);
    fs::remove(run.folder + "/dialog_log.txt");
    fs::remove(run.folder + "/frames.txt");
    run.result = RunPlayer(run.folder,
                           {"--dialogs=dialogs.txt", "--dialog-log=dialog_log.txt", "--input=input.txt",
                            "--frame-log=frames.txt", "--frames=" + std::to_string(frameLimit)},
                           run.runtime);
    run.log = ReadWholeFile(run.folder + "/dialog_log.txt");
    run.frames = ReadFrameLog(run.folder + "/frames.txt").size();
    return run;
}

TestProjectSpec AskingProject(bool english)
{
    TestProjectSpec spec;
    spec.systemIni = std::string("Direct3D=2\nWindowMode=1\nShowFps=0\n") + (english ? "English=1\n" : "") + "Exit\n";
    return spec;
}

std::string BootRecord(int drawingMode, int dontAsk)
{
    std::string bytes("\xEF\x02\0\0\x02\0\0\0", 8);
    bytes += std::string(1, static_cast<char>(drawingMode)) + std::string(3, '\0');
    bytes += std::string(1, static_cast<char>(dontAsk)) + std::string(3, '\0');
    bytes += std::string(4, '\0');
    return bytes;
}

// The display report names the Direct3D device's DDI level only when Direct3D draws.
bool DrewWithDirect3D(const DialogRun& run)
{
    return ReadWholeFile(run.folder + "/Report_Game.txt").find("DDI : 9") != std::string::npos;
}

TEST(DialogRun, StartDialogChoosesTheDrawingModeAndStoresIt)
{
    struct Case {
        const char* name;
        const char* script;
        int drawingMode;
        int dontAsk;
    };
    const Case cases[] = {
        {"start as offered", "click 1000\n", 1, 0},
        {"DirectDraw", "click 1003\nclick 1000\n", 0, 0},
        {"Enter presses start", "key 13\n", 1, 0},
        {"do not ask again", "click 1003\nclick 1004\nclick 1000\n", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DialogRun run = RunDialogs({}, AskingProject(false), c.script, "", 40);
        ASSERT_FALSE(run.result.timedOut);
        EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
        EXPECT_EQ(run.log.rfind("dialog 103 ", 0), 0u) << run.log;
        EXPECT_EQ(ReadWholeFile(run.folder + "/user_data/Boot.dat"), BootRecord(c.drawingMode, c.dontAsk));
        EXPECT_EQ(DrewWithDirect3D(run), c.drawingMode == 1);
        EXPECT_GE(run.frames, 40u);
    }
}

TEST(DialogRun, StartDialogIsSkippedOnceAskedNotToShowAgain)
{
    DialogRun first = RunDialogs({}, AskingProject(false), "click 1003\nclick 1004\nclick 1000\n", "", 20);
    ASSERT_EQ(first.log.rfind("dialog 103 ", 0), 0u) << first.log;
    // The next start asks nothing and draws in the stored mode; the record is not written again.
    const fs::file_time_type written = fs::last_write_time(first.folder + "/user_data/Boot.dat");
    const DialogRun second = RunDialogs(first, AskingProject(false), "", "", 20);
    EXPECT_EQ(second.result.exitCode, 0) << second.result.errorText;
    EXPECT_EQ(second.log.find("dialog 103"), std::string::npos) << second.log;
    EXPECT_FALSE(DrewWithDirect3D(second));
    EXPECT_EQ(fs::last_write_time(first.folder + "/user_data/Boot.dat"), written);
    EXPECT_GE(second.frames, 20u);
}

TEST(DialogRun, StopEndsStartUpSilently)
{
    for (const char* script : {"click 1001\n", "close\n"}) {
        SCOPED_TRACE(script);
        const DialogRun run = RunDialogs({}, AskingProject(false), script, "", 40);
        ASSERT_FALSE(run.result.timedOut);
        EXPECT_EQ(run.result.exitCode, 0);
        EXPECT_EQ(run.result.errorText.find("[box]"), std::string::npos) << run.result.errorText;
        EXPECT_FALSE(fs::exists(run.folder + "/user_data/Boot.dat"));
        EXPECT_EQ(run.frames, 0u);
    }
}

TEST(DialogRun, StartDialogTextsInBothLanguages)
{
    const DialogRun japanese = RunDialogs({}, AskingProject(false), "click 1000\n", "", 5);
    const DialogRun english = RunDialogs({}, AskingProject(true), "click 1000\n", "", 5);
    const struct {
        int id;
        const char* japanese;
        const char* english;
    } texts[] = {
        {1006, "描画モード", "Drawing mode"},
        {1000, "ゲーム開始", "Start"},
        {1001, "ゲーム中止", "Cancel"},
        {1005, "詳細な設定は環境設定ファイル「System.ini」で行って下さい。",
         "Configure the detail settings at \"System.ini\"."},
        {1004, "次回からこのダイアログを表示しない", "Do not ask this dialog again"},
        {1002, "Direct3D", "Direct3D"},
        {1003, "DirectDraw", "DirectDraw"},
    };
    for (const auto& t : texts) {
        const std::string id = "  " + std::to_string(t.id) + " ";
        EXPECT_NE(japanese.log.find(id + t.japanese + "\n"), std::string::npos) << japanese.log;
        EXPECT_NE(english.log.find(id + t.english + "\n"), std::string::npos) << english.log;
    }
    EXPECT_EQ(english.result.exitCode, 0) << english.result.errorText;
}

// Title: up twice to the options, confirm; the options' fifth item is the player name.
const std::string OpenNameDialog = Press(60, "UP") + Press(66, "UP") + Press(72, "Z") + Press(160, "DOWN") +
                                   Press(166, "DOWN") + Press(172, "DOWN") + Press(178, "DOWN") + Press(184, "Z");
// Leaving the options writes "Option.dat".
const std::string LeaveOptions = Press(200, "X");

std::string OptionFileWithName(const std::string& name)
{
    std::string bytes("\xEF\x02\0\0\x04\0\0\0\0\0\0\0\x01\0\0\0\x07\0\0\0\0\0\0\0\x01\0\0\0", 28);
    const uint32_t length = static_cast<uint32_t>(name.size() + 1);
    bytes += std::string(1, static_cast<char>(length)) + std::string(3, '\0');
    return bytes + name + std::string(1, '\0');
}

TEST(DialogRun, NameDialogEditsTheOptionPlayerName)
{
    struct Case {
        const char* name;
        const char* script;
        std::string stored;
    };
    const Case cases[] = {
        // The whole name is selected when the dialog opens, so typing replaces it; a fourth
        // character is refused, a double-byte character counts one.
        {"typed and confirmed", "type xy漢字\nclick 1000\n", "xy\x8A\xBF"},
        {"three double-byte characters", "type 漢字表\nkey 13\n", "\x8A\xBF\x8E\x9A\x95\x5C"},
        {"closed without OK", "type xyz\nclose\n", "aaa"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DialogRun run = RunDialogs({}, TestProjectSpec{}, c.script, OpenNameDialog + LeaveOptions, 320);
        ASSERT_FALSE(run.result.timedOut);
        EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
        EXPECT_NE(run.log.find("dialog 102 "), std::string::npos) << run.log;
        EXPECT_NE(run.log.find("  1007 登録名(3文字まで)\n"), std::string::npos) << run.log;
        EXPECT_EQ(ReadWholeFile(run.folder + "/user_data/Option.dat"), OptionFileWithName(c.stored));
    }
}

// Title: down three times to free play, confirm.
const std::string ChooseFreePlay = Press(60, "DOWN") + Press(66, "DOWN") + Press(72, "DOWN") + Press(78, "Z");

TEST(DialogRun, FreePlayOpensTheStageChooserAndStartsTheChosenStage)
{
    struct Case {
        const char* name;
        const char* script;
        // The chosen stage starts: this small project has no stage bitmaps, so the stage's
        // start reports the first one missing and closes the program.
        bool bStageStarts;
    };
    const Case cases[] = {
        {"cancelled", "cancel\n", false},
        {"stage chosen", "choose data\\stg4\\Forest.stg4_001\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogRun run;
        run.folder = MakeTempFolder("dialogs");
        run.runtime = MakeTempFolder("runtime");
        WriteTestProject(run.folder, TestProjectSpec{});
        fs::create_directories(run.folder + "/data/stg4");
        WriteWholeFile(run.folder + "/data/stg4/Forest.stg4_001", PlayableStageFileBytes());
        WriteWholeFile(run.folder + "/data/stg4/Forest.rpl4_000", "not read");
        WriteWholeFile(run.folder + "/data/stg4/notes.txt", "not listed");
        // Afterwards the title still runs: up four times from free play is exit.
        const std::string input = ChooseFreePlay + Press(120, "UP") + Press(126, "UP") + Press(132, "UP") +
                                  Press(138, "UP") + Press(144, "Z");
        run = RunDialogs(run, TestProjectSpec{}, c.script, input, 400);
        ASSERT_FALSE(run.result.timedOut);
        EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
        EXPECT_NE(run.log.find("dialog -1 "), std::string::npos) << run.log;
        EXPECT_NE(run.log.find("ステージファイルの読み込み"), std::string::npos) << run.log;
        const size_t chooser = run.log.find("chooser ");
        ASSERT_NE(chooser, std::string::npos) << run.log;
        const std::string listing = run.log.substr(chooser);
        EXPECT_NE(listing.find("stg4"), std::string::npos) << listing;
        EXPECT_NE(listing.find("  Forest.stg4_001\n"), std::string::npos) << listing;
        EXPECT_NE(listing.find("  Forest.rpl4_000\n"), std::string::npos) << listing;
        EXPECT_EQ(listing.find("notes.txt"), std::string::npos) << listing;
        const std::string report = ReadWholeFile(run.folder + "/Report_Game.txt");
        EXPECT_EQ(report.find("title choice 3 refused"), std::string::npos) << report;
        EXPECT_EQ(report.find("LoadImage Err bmp\\Block.bmp") != std::string::npos, c.bStageStarts) << report;
        if (c.bStageStarts) {
            EXPECT_LT(run.frames, 140u);
        } else {
            // The exit item ended the run, well before the frame limit.
            EXPECT_GE(run.frames, 140u);
            EXPECT_LT(run.frames, 250u);
        }
    }
}

TEST(DialogRun, ChosenStageFileThatCannotBeLoadedClosesTheProgram)
{
    DialogRun run;
    run.folder = MakeTempFolder("dialogs");
    run.runtime = MakeTempFolder("runtime");
    WriteTestProject(run.folder, TestProjectSpec{});
    fs::create_directories(run.folder + "/data/stg4");
    WriteWholeFile(run.folder + "/data/stg4/Broken.stg4_000", std::string("\x02\0\0", 3));
    run = RunDialogs(run, TestProjectSpec{}, "choose data\\stg4\\Broken.stg4_000\n", ChooseFreePlay, 400);
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    EXPECT_LT(run.frames, 200u);
    const std::string report = ReadWholeFile(run.folder + "/Report_Game.txt");
    EXPECT_NE(report.find("Broken.stg4_000"), std::string::npos) << report;
    // The failure is the loader's, on record as such; the title is not told a stage was loaded.
    EXPECT_NE(report.find("data\\stg4\\Broken.stg4_000 : not loaded, the file is damaged"), std::string::npos) << report;
    EXPECT_EQ(report.find("title choice 3 refused"), std::string::npos) << report;
}

}  // namespace
