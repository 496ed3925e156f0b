// Sound effects: WAVE files accepted and refused, the round robin over a sound's buffers,
// volumes, missing sounds that stay silent, and plays from several threads at once.
#include <atomic>
#include <memory>
#include <cmath>
#include <thread>

#include "media/sound/SoundEffect.h"
#include "tests/media_sound/MediaSoundTest.h"

using namespace soundtest;

namespace {

class SoundEffectTest : public MediaSoundTest {
protected:
    void SetUp() override
    {
        MediaSoundTest::SetUp();
        ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    }
    void TearDown() override { DS_UnInit(); }

    // The sound tables live as long as the device, as the program's own do.
    std::vector<DSSOUNDDATA>& Sounds(size_t count)
    {
        m_vSounds.emplace_back(std::make_unique<std::vector<DSSOUNDDATA>>(count));
        return *m_vSounds.back();
    }
    std::vector<std::unique_ptr<std::vector<DSSOUNDDATA>>> m_vSounds;

    // A sound of ms milliseconds at +0.5 (8-bit, 22,050 Hz, mono).
    std::string HalfLevelWave(const char* name, uint32_t ms)
    {
        WriteFile(m_Dir / name, Wave(1, 22050, 8, Bytes(22050 * ms / 1000, 192)));
        return P(name);
    }

    DSSOUNDDESC Desc(const std::string& file, int32_t count, int32_t volume)
    {
        DSSOUNDDESC d{};
        std::snprintf(d.m_szFile, sizeof d.m_szFile, "%s", file.c_str());
        d.m_nBufferCount = count;
        d.m_nVolume = volume;
        d.m_nUnused = 1;
        return d;
    }

    static int Level(double value) { return static_cast<int>(std::lrint(value * 32767.0)); }
};

TEST_F(SoundEffectTest, LoadsPcmWaveFilesOfSeveralShapes)
{
    struct Case {
        const char* name;
        Bytes file;
        uint16_t channels;
        uint16_t bits;
        int32_t dataSize;
    };
    Bytes longFormat = Chunk("fmt ", FormatData(1, 1, 22050, 8, 50));   // longer than 20 bytes
    Append(longFormat, Chunk("data", Bytes(100, 200)));
    Bytes listFirst = Chunk("LIST", Bytes{'I', 'N', 'F', 'O'});
    Append(listFirst, Chunk("fmt ", FormatData(1, 2, 44100, 16, 18)));
    Append(listFirst, Chunk("data", Bytes(40, 1)));
    const Case cases[] = {
        {"8-bit mono, 16-byte format", Wave(1, 22050, 8, Bytes(11, 128)), 1, 8, 11},
        {"16-bit stereo, 18-byte format after a list", RiffWave(listFirst), 2, 16, 40},
        {"format chunk of 50 bytes", RiffWave(longFormat), 1, 8, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(m_Dir / "w.wav", c.file);
        DSWAVEDATA wave;
        ASSERT_TRUE(DS_LoadWave(P("w.wav").c_str(), &wave));
        EXPECT_EQ(wave.m_abyFormat[0] | (wave.m_abyFormat[1] << 8), 1);
        EXPECT_EQ(wave.m_abyFormat[2], c.channels);
        EXPECT_EQ(wave.m_abyFormat[14], c.bits);
        EXPECT_EQ(wave.m_nSize, c.dataSize);
        ASSERT_NE(wave.m_lpData, nullptr);
        DS_FreeWave(&wave);
        EXPECT_EQ(wave.m_lpData, nullptr);
    }
}

TEST_F(SoundEffectTest, RefusesWaveFilesItCannotUseAndTheSoundStaysSilent)
{
    struct Case {
        const char* name;
        Bytes file;
    };
    Bytes noData = RiffWave(Chunk("fmt ", FormatData(1, 1, 22050, 8)));
    Bytes shortFormat = Chunk("fmt ", Bytes{1, 0, 1, 0, 0x22, 0x56, 0, 0});
    Append(shortFormat, Chunk("data", Bytes(10, 1)));
    Bytes cutData = RiffWave(Chunk("fmt ", FormatData(1, 1, 22050, 8)));
    Append(cutData, Bytes{'d', 'a', 't', 'a', 0x00, 0x10, 0, 0, 1, 2, 3});
    cutData[4] += 11;
    Bytes emptyData = Chunk("fmt ", FormatData(1, 1, 22050, 8));
    Append(emptyData, Chunk("data", Bytes{}));
    Bytes floatFormat = Chunk("fmt ", FormatData(3, 1, 22050, 32));
    Append(floatFormat, Chunk("data", Bytes(16, 0)));
    Bytes badChannels = Chunk("fmt ", FormatData(1, 6, 22050, 16));
    Append(badChannels, Chunk("data", Bytes(24, 0)));
    const Case cases[] = {
        {"not PCM", RiffWave(floatFormat)},
        {"no data chunk", noData},
        {"format chunk too short", RiffWave(shortFormat)},
        {"data longer than the file", cutData},
        {"empty data", RiffWave(emptyData)},
        {"not a RIFF file", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6}},
        {"six channels", RiffWave(badChannels)},
    };
    std::vector<DSSOUNDDATA>& sounds = Sounds(std::size(cases) + 1);
    std::vector<DSSOUNDDESC> descs;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string name = "bad" + std::to_string(i) + ".wav";
        WriteFile(m_Dir / name, cases[i].file);
        descs.push_back(Desc(P(name), 1, 0));
    }
    descs.push_back(Desc(P("missing.wav"), 2, 0));
    sounds.emplace_back();
    descs.push_back(Desc(P("100%s%n%d.wav"), 1, 0));   // a name is text, never a format
    EXPECT_EQ(DS_CreateSounds(&sounds, &descs, 0), 1);

    const std::string trace = Trace();
    for (size_t i = 0; i < sounds.size(); ++i) {
        SCOPED_TRACE(i < std::size(cases) ? cases[i].name : "missing");
        EXPECT_EQ(sounds[i].m_nCount, 0);
        EXPECT_EQ(DS_SetVolume(sounds[i], 0, -100, 0), 0);
    }
    // Files that do not load say so; a format the device refuses says it could not be made.
    EXPECT_NE(trace.find(P("bad0.wav") + "読み込み失敗！"), std::string::npos);
    EXPECT_NE(trace.find(P("missing.wav") + "読み込み失敗！"), std::string::npos);
    EXPECT_NE(trace.find(P("bad6.wav") + "生成失敗！"), std::string::npos);
    EXPECT_NE(trace.find(P("100%s%n%d.wav") + "読み込み失敗！"), std::string::npos);

    cRecording rec;
    rec.Start(m_Dir / "r.wav");
    for (DSSOUNDDATA& s : sounds) DS_Play(s, 0);
    Advance(50);
    ASSERT_TRUE(rec.Stop());
    EXPECT_EQ(rec.Peak(0, rec.Frames()), 0);
}

TEST_F(SoundEffectTest, PlaysTakeTheBuffersInTurnAndTheFifthCutsOffTheOldest)
{
    std::vector<DSSOUNDDATA>& sounds = Sounds(1);
    std::vector<DSSOUNDDESC> descs{Desc(HalfLevelWave("s.wav", 300), 4, -2000)};
    DS_CreateSounds(&sounds, &descs, 0);
    ASSERT_EQ(sounds[0].m_nCount, 4);
    EXPECT_STREQ(sounds[0].m_szName, P("s.wav").c_str());
    const int one = Level(0.05);   // +0.5 at -20 dB

    cRecording rec;
    rec.Start(m_Dir / "r.wav");
    std::vector<int32_t> nexts;
    for (int i = 0; i < 5; ++i) {
        DS_Play(sounds[0], 0);
        nexts.push_back(sounds[0].m_nNext);
        Advance(40);
    }
    Advance(400);
    ASSERT_TRUE(rec.Stop());
    EXPECT_EQ(nexts, (std::vector<int32_t>{1, 2, 3, 0, 1}));
    // One, two, three, four copies sound together; the fifth play restarts the first copy, so
    // four still sound; each copy ends 300 ms after its own start.
    for (int i = 0; i < 5; ++i) {
        const int copies = std::min(i + 1, 4);
        EXPECT_NEAR(rec.Left(MsToFrames(40.0 * i + 20)), copies * one, copies + 1) << i;
    }
    EXPECT_NEAR(rec.Left(MsToFrames(350)), 3 * one, 4);   // the first copy was restarted at 160
    EXPECT_NEAR(rec.Left(MsToFrames(450)), one, 2);       // only the fifth play is left
    EXPECT_EQ(rec.Left(MsToFrames(470)), 0);
}

TEST_F(SoundEffectTest, OneBufferPlayedTwiceStartsAgainFromTheBeginning)
{
    std::vector<DSSOUNDDATA>& sounds = Sounds(1);
    std::vector<DSSOUNDDESC> descs{Desc(HalfLevelWave("s.wav", 200), 1, 0)};
    DS_CreateSounds(&sounds, &descs, 0);
    cRecording rec;
    rec.Start(m_Dir / "r.wav");
    DS_Play(sounds[0], 0);
    Advance(150);
    DS_Play(sounds[0], 0);
    Advance(300);
    ASSERT_TRUE(rec.Stop());
    EXPECT_EQ(sounds[0].m_nNext, 0);
    EXPECT_NEAR(rec.Left(MsToFrames(100)), Level(0.5), 1);   // never two copies
    EXPECT_NEAR(rec.Left(MsToFrames(300)), Level(0.5), 1);
    EXPECT_EQ(rec.Left(MsToFrames(360)), 0);                   // 150 + 200 ms
}

TEST_F(SoundEffectTest, VolumesClampAndTheCreateVolumeOverridesTheDescriptors)
{
    std::vector<DSSOUNDDATA>& sounds = Sounds(2);
    std::vector<DSSOUNDDESC> descs{Desc(HalfLevelWave("a.wav", 50), 2, -700),
                                   Desc(HalfLevelWave("b.wav", 50), 1, 0)};
    // Volume level 10 of the options (0): each sound keeps its descriptor's volume.
    DS_CreateSounds(&sounds, &descs, 0);
    EXPECT_EQ(DS_GetVolume(sounds[0], 0), -700);
    EXPECT_EQ(DS_GetVolume(sounds[0], 1), -700);
    EXPECT_EQ(DS_GetVolume(sounds[1], 0), 0);

    struct Step {
        int32_t start, volume, relative, expected;
    };
    const Step steps[] = {
        {-9900, -200, 1, -10000}, {-100, 500, 1, 0}, {-5000, 20000, 0, 0},
        {0, -20000, 0, -10000},   {-3000, 0, 1, -3000}, {-300, -300, 0, -300},
        {-1, INT32_MIN, 1, -10000},
    };
    for (const Step& s : steps) {
        DS_SetVolume(sounds[1], 0, s.start, 0);
        EXPECT_EQ(DS_SetVolume(sounds[1], 0, s.volume, s.relative), s.expected);
        EXPECT_EQ(DS_GetVolume(sounds[1], 0), s.expected);
    }
    // Buffers that do not exist: nothing changes, 0 comes back.
    EXPECT_EQ(DS_SetVolume(sounds[1], 1, -500, 0), 0);
    EXPECT_EQ(DS_SetVolume(sounds[1], -1, -500, 0), 0);

    // Created again with a volume from the options, every buffer takes it.
    DS_UnInit();
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    std::vector<DSSOUNDDATA>& fresh = Sounds(2);
    DS_CreateSounds(&fresh, &descs, -1300);
    EXPECT_EQ(DS_GetVolume(fresh[0], 1), -1300);
    EXPECT_EQ(DS_GetVolume(fresh[1], 0), -1300);
}

TEST_F(SoundEffectTest, NothingHappensWithoutADeviceAndReleasingTwiceIsHarmless)
{
    std::vector<DSSOUNDDATA>& sounds = Sounds(1);
    std::vector<DSSOUNDDESC> descs{Desc(HalfLevelWave("a.wav", 50), 2, 0)};
    DS_CreateSounds(&sounds, &descs, 0);
    DS_UnInit();
    EXPECT_EQ(sounds[0].m_lplpBuffer, nullptr);
    DS_UnInit();
    DS_ReleaseSound(sounds[0]);
    DS_Play(sounds[0], 0);
    EXPECT_EQ(DS_SetVolume(sounds[0], 0, -100, 0), 0);
    EXPECT_EQ(DS_CreateSounds(&sounds, &descs, 0), 1);
    EXPECT_EQ(sounds[0].m_lplpBuffer, nullptr);

    SoundArmFault(SoundFault::AudioDevice);
    EXPECT_FALSE(DS_Init(nullptr, 22050, 8, 1));
    EXPECT_NE(Trace().find("DIRECTSOUNDCREATE_ERR!"), std::string::npos);
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));

    // A mixer whose thread cannot be started is a device that will not open, reported as one.
    DS_UnInit();
    SoundCloseOutput();
    SoundArmFault(SoundFault::MixerThread);
    const size_t traced = Trace().size();
    EXPECT_FALSE(DS_Init(nullptr, 22050, 8, 1));
    EXPECT_NE(Trace().find("DIRECTSOUNDCREATE_ERR!", traced), std::string::npos);
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
}

TEST_F(SoundEffectTest, PlaysAndVolumeChangesFromSeveralThreadsAtOnce)
{
    std::vector<DSSOUNDDATA>& sounds = Sounds(3);
    std::vector<DSSOUNDDESC> descs{Desc(HalfLevelWave("a.wav", 30), 4, 0),
                                   Desc(HalfLevelWave("b.wav", 10), 1, 0),
                                   Desc(HalfLevelWave("c.wav", 20), 3, -500)};
    DS_CreateSounds(&sounds, &descs, 0);
    std::atomic<bool> stop{false};
    std::thread clock([&] {
        while (!stop) {
            HostAdvanceVirtualTime(1);
            SoundPump();
        }
    });
    std::vector<std::thread> players;
    for (int t = 0; t < 6; ++t) {
        players.emplace_back([&, t] {
            for (int i = 0; i < 400; ++i) {
                DSSOUNDDATA& s = sounds[static_cast<size_t>((i + t) % 3)];
                DS_Play(s, 0);
                if (i % 7 == 0) DS_SetVolume(s, i % 4, -(i % 30), 1);
            }
        });
    }
    for (auto& p : players) p.join();
    stop = true;
    clock.join();
    for (const DSSOUNDDATA& s : sounds) {
        EXPECT_GE(s.m_nNext, 0);
        EXPECT_LT(s.m_nNext, s.m_nCount);
    }
    // 6 × 400 plays spread over three sounds: the turns of each sound add up.
    EXPECT_EQ((sounds[0].m_nNext + 0) % 4, (6 * 400 / 3) % 4);
}

}  // namespace
