// Whole-program runs that listen to the title menu: the player records what its mixer played,
// and the test finds each sound at the time the frame log says its key was taken.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/EdSystem.h"
#include "tests/e2e/PlayerRun.h"
#include "tests/e2e/TestProject.h"
#include "tools/demo/DemoProject.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kMixRate = 44100;

void PutU16(std::string& s, uint32_t v)
{
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}

void PutU32(std::string& s, uint32_t v)
{
    PutU16(s, v & 0xFFFF);
    PutU16(s, v >> 16);
}

uint32_t GetU32(const std::string& s, size_t at)
{
    return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 | uint32_t(uint8_t(s[at + 2])) << 16 |
           uint32_t(uint8_t(s[at + 3])) << 24;
}

// A sound effect in the sound device's own format: 22,050 Hz, 8 bits, mono; a square wave of
// the period and length given.
std::string SquareWave(uint32_t samples, uint32_t period)
{
    std::string s = "RIFF";
    PutU32(s, 36 + samples);
    s += "WAVEfmt ";
    PutU32(s, 16);
    PutU16(s, 1);
    PutU16(s, 1);
    PutU32(s, 22050);
    PutU32(s, 22050);
    PutU16(s, 1);
    PutU16(s, 8);
    s += "data";
    PutU32(s, samples);
    for (uint32_t i = 0; i < samples; ++i) s.push_back(char((i / (period / 2)) % 2 ? 0x30 : 0xD0));
    return s;
}

struct SoundRun {
    std::string folder;
    PlayerResult result;
    std::map<uint32_t, uint32_t> frameTimes;   // presented frame -> virtual milliseconds
    std::vector<int16_t> samples;               // left and right interleaved, 44,100 Hz
};

// Runs the project in the folder with the input script, recording what the mixer played.
SoundRun Listen(const std::string& folder, const std::string& script, int frameLimit)
{
    SoundRun run;
    run.folder = folder;
    WriteWholeFile(run.folder + "/input.txt", script);
    run.result = RunPlayer(run.folder,
                           {"--input=input.txt", "--frame-log=frames.txt", "--record-sound=sound.wav",
                            "--frames=" + std::to_string(frameLimit)},
                           MakeTempFolder("runtime"));

    for (const auto& [frame, time] : ReadFrameLog(run.folder + "/frames.txt")) run.frameTimes[uint32_t(frame)] = time;

    const std::string wav = ReadWholeFile(run.folder + "/sound.wav");
    if (wav.size() < 44 || wav.compare(0, 4, "RIFF") != 0 || wav.compare(8, 8, "WAVEfmt ") != 0) {
        ADD_FAILURE() << "no WAVE recording (" << wav.size() << " bytes)";
        return run;
    }
    EXPECT_EQ(GetU32(wav, 24), kMixRate);
    EXPECT_EQ(GetU32(wav, 20) & 0xFFFF, 1u);           // PCM
    EXPECT_EQ(GetU32(wav, 20) >> 16, 2u);              // stereo
    EXPECT_EQ(GetU32(wav, 32) >> 16, 16u);             // 16-bit
    const uint32_t bytes = GetU32(wav, 40);
    EXPECT_EQ(bytes, wav.size() - 44) << "the header counts every recorded byte";
    run.samples.resize((wav.size() - 44) / 2);
    for (size_t i = 0; i < run.samples.size(); ++i)
        run.samples[i] = int16_t(uint16_t(uint8_t(wav[44 + 2 * i]) | uint8_t(wav[45 + 2 * i]) << 8));
    return run;
}

// The test project with system sounds on the given entries (the rest have no file) and no music,
// run with the input script.
SoundRun RunListening(const std::map<int, std::string>& sounds, const std::string& script, int frameLimit)
{
    const std::string folder = MakeTempFolder("listen");
    WriteTestProject(folder, TestProjectSpec{});
    fs::create_directories(folder + "/wave");
    cEdSystem system;
    system.SetDefaults();
    for (const auto& [entry, bytes] : sounds) {
        const std::string name = "wave\\System" + std::to_string(entry) + ".wav";
        system.m_vSoundFile[static_cast<size_t>(entry)] = name;
        WriteWholeFile(folder + "/wave/System" + std::to_string(entry) + ".wav", bytes);
    }
    EXPECT_TRUE(system.SaveToFile(folder + "/data/System.dat"));
    return Listen(folder, script, frameLimit);
}

// The stereo frame of the mix at a virtual time: the recording starts when the sound device
// opens during start-up, while the clock still stands at the first frame's time.
size_t MixFrameAt(const SoundRun& run, uint32_t time)
{
    const uint32_t start = run.frameTimes.begin()->second;
    return size_t(time - start) * kMixRate / 1000;
}

// Non-zero samples in the stereo frames [from, to).
size_t Loud(const SoundRun& run, size_t from, size_t to)
{
    size_t n = 0;
    for (size_t f = from; f < to && 2 * f + 1 < run.samples.size(); ++f)
        n += run.samples[2 * f] != 0 || run.samples[2 * f + 1] != 0;
    return n;
}

// The loudest sample in the stereo frames [from, to).
int Peak(const SoundRun& run, size_t from, size_t to)
{
    int peak = 0;
    for (size_t i = 2 * from; i < 2 * to && i < run.samples.size(); ++i) peak = std::max(peak, std::abs(int(run.samples[i])));
    return peak;
}

TEST(MenuSoundRun, OptionVolumeIsHeardAtOnceAndComesBackOnCancel)
{
    // Title: up twice to the options. Options: down twice to the volume (cursor sounds at level
    // 7), edit it, lower it step by step to 0 (each step sounds at the new level), cancel the
    // edit, and move the cursor once more.
    std::string script = Press(60, "UP") + Press(66, "UP") + Press(72, "Z") + Press(160, "DOWN") + Press(166, "DOWN") +
                         Press(172, "Z");
    for (int frame = 180; frame <= 216; frame += 6) script += Press(frame, "DOWN");
    script += Press(230, "X") + Press(240, "UP");
    const SoundRun run = RunListening({{0, SquareWave(2205, 50)}}, script, 260);
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    ASSERT_TRUE(run.frameTimes.count(241));
    auto peakAfter = [&](int frame) {
        const size_t from = MixFrameAt(run, run.frameTimes.at(uint32_t(frame)));
        return Peak(run, from, from + kMixRate * 8 / 100);
    };
    const int level7 = peakAfter(160);
    ASSERT_GT(level7, 1000);
    EXPECT_EQ(peakAfter(166), level7);
    // Level 6 is 1.5 dB below level 7 (-3 dB against -1.5 dB): about 0.84 of the amplitude.
    EXPECT_NEAR(double(peakAfter(180)) / level7, 0.841, 0.02);
    EXPECT_LT(peakAfter(192), peakAfter(186));
    EXPECT_EQ(peakAfter(216), 0) << "level 0 is silent";
    EXPECT_EQ(peakAfter(240), level7) << "the cancelled edit gave the sounds their volume back";
    EXPECT_FALSE(fs::exists(run.folder + "/user_data/Option.dat")) << "written only when the options are left";
}

TEST(MenuSoundRun, TitleCursorPlaysItsSoundWhenItMoves)
{
    // Down at script frame 60 is polled by the frame after the 60th presented one.
    const SoundRun run = RunListening({{0, SquareWave(2205, 50)}}, Press(60, "DOWN"), 120);
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    ASSERT_TRUE(run.frameTimes.count(1) && run.frameTimes.count(61) && run.frameTimes.count(100));
    const size_t keyTaken = MixFrameAt(run, run.frameTimes.at(60));
    const size_t frameShown = MixFrameAt(run, run.frameTimes.at(61));
    ASSERT_GT(run.samples.size() / 2, MixFrameAt(run, run.frameTimes.at(100)));
    EXPECT_EQ(Loud(run, 0, keyTaken), 0u) << "silent before the key";
    // The sound starts within the frame that took the key and lasts its tenth of a second.
    EXPECT_GT(Loud(run, keyTaken, frameShown + 1), 0u);
    EXPECT_GT(Loud(run, keyTaken, keyTaken + kMixRate / 5), kMixRate / 20);
    EXPECT_EQ(Loud(run, keyTaken + kMixRate / 5, MixFrameAt(run, run.frameTimes.at(100))), 0u)
        << "one sound, played once";
}

TEST(MenuSoundRun, NewStoryReachesTheWorldMapWhoseCancelOpensItsMenu)
{
    // Confirm on new story (sound 1) fades out to the world map; cancel there (sound 4, the only
    // sound only the map plays) leaves for its menu; Esc then ends the program normally.
    const SoundRun run = RunListening({{1, SquareWave(2205, 80)}, {4, SquareWave(1470, 80)}},
                                      Press(60, "Z") + Press(120, "X") + Press(170, "ESCAPE"), 400);
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    EXPECT_LT(run.frameTimes.size(), 230u) << "Esc, not the frame limit, ended the run";
    ASSERT_TRUE(run.frameTimes.count(121));
    const size_t confirmTaken = MixFrameAt(run, run.frameTimes.at(60));
    const size_t cancelTaken = MixFrameAt(run, run.frameTimes.at(120));
    EXPECT_GT(Loud(run, confirmTaken, confirmTaken + kMixRate / 10), 0u) << "the confirm sound";
    EXPECT_EQ(Loud(run, confirmTaken + kMixRate / 5, cancelTaken), 0u);
    EXPECT_GT(Loud(run, cancelTaken, MixFrameAt(run, run.frameTimes.at(121)) + 1), 0u) << "the map's cancel sound";
    const std::string report = ReadWholeFile(run.folder + "/Report_Game.txt");
    EXPECT_EQ(report.find("refused"), std::string::npos) << report;
    EXPECT_TRUE(fs::exists(run.folder + "/user_data/Window.dat")) << "the close ran in order";
}

}  // namespace

namespace {

TEST(MenuSoundRun, MusicSwitchedOffInTheOptionsStopsAndSwitchedOnComesBack)
{
    const std::string folder = MakeTempFolder("demo");
    std::string error;
    ASSERT_TRUE(GenerateDemoProject(folder, &error)) << error;
    // The demo's title menu has the options two up from the top; its options start with the
    // music switch. Off: edit, down, confirm, leave. Back on the title the cursor stands on the
    // options; on again the same way with up.
    const std::string script = Press(60, "UP") + Press(66, "UP") + Press(72, "Z") + Press(160, "Z") +
                               Press(170, "DOWN") + Press(180, "Z") + Press(190, "X") + Press(312, "Z") +
                               Press(400, "Z") + Press(410, "UP") +
                               Press(420, "Z") + Press(430, "X");
    const SoundRun run = Listen(folder, script, 540);
    ASSERT_FALSE(run.result.timedOut);
    EXPECT_EQ(run.result.exitCode, 0) << run.result.errorText;
    ASSERT_TRUE(run.frameTimes.count(530));
    auto loudBetween = [&](int first, int last) {
        return Loud(run, MixFrameAt(run, run.frameTimes.at(uint32_t(first))),
                    MixFrameAt(run, run.frameTimes.at(uint32_t(last))));
    };
    const size_t window = kMixRate * 40 / 60;
    EXPECT_GT(loudBetween(20, 60), window / 2) << "the title's music plays";
    EXPECT_EQ(loudBetween(250, 290), 0u) << "back on the title with the music switched off";
    EXPECT_GT(loudBetween(480, 520), window / 2) << "switched on again, the title's music is back";
    // The option file holds the switch as left the last time.
    EXPECT_EQ(ReadWholeFile(folder + "/user_data/Option.dat").substr(12, 4), std::string("\x01\0\0\0", 4));
}

}  // namespace
