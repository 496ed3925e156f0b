// The background-music manager: track names and kinds from extensions, Ogg tried before MIDI,
// fall-backs, the current track, a player library that will not start, and players that leave
// no thread behind.
#include <dirent.h>
#include <unistd.h>

#include "media/sound/Bgm.h"
#include "media/sound/MidiStream.h"
#include "tests/media_sound/MediaSoundTest.h"
#include "tests/platform_sound/OggFixture.h"

using namespace soundtest;

namespace {

int CountThreads()
{
    int count = 0;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* e = readdir(dir))
            if (e->d_name[0] != '.') ++count;
        closedir(dir);
    }
    return count;
}

// A thread that has been told to end leaves /proc a moment later: wait (a bounded real time)
// for the expected count, so only a thread that stays behind is counted.
int SettledThreadCount(int expected)
{
    int count = CountThreads();
    for (int tries = 0; tries < 200 && count != expected; ++tries) {
        usleep(10000);
        count = CountThreads();
    }
    return count;
}

class BgmTest : public MediaSoundTest {
protected:
    void SetUp() override
    {
        MediaSoundTest::SetUp();
        const char* names[5] = {"Title", "WorldMap", "Challenge", "Option", "Stage"};
        for (int i = 0; i < 5; ++i) {
            std::snprintf(m_Ogg[i], sizeof m_Ogg[i], "%s", P(std::string(names[i]) + ".ogg").c_str());
            std::snprintf(m_Mid[i], sizeof m_Mid[i], "%s", P(std::string(names[i]) + ".mid").c_str());
        }
        // A one-second MIDI song and a tone in Ogg Vorbis.
        const Bytes track = {0x00, 0xC0, 0x00, 0x00, 0x90, 0x3C, 0x6E, 0x83, 0x60, 0x80, 0x3C,
                             0x00, 0x00, 0xFF, 0x2F, 0x00};
        WriteFile(m_Dir / "Title.mid", Smf(0, 1, 480, {track}));
        WriteFile(m_Dir / "Stage.mid", Smf(0, 1, 480, {track}));
        ASSERT_TRUE(WriteOggTone(m_Dir / "Title.ogg", 1, 22050, 0.5, 440.0, 0.5f));
    }
    void TearDown() override { m_Bgm.ReleaseBgm(); }

    bool OggPlaying() const { return m_Bgm.m_Vox.m_nChannel == 0; }
    cMidiStream* Midi() const { return m_Bgm.m_vMidi.empty() ? nullptr : m_Bgm.m_vMidi[0]; }

    BgmOggName m_Ogg[5];
    BgmMidName m_Mid[5];
    cBgm m_Bgm;
};

TEST_F(BgmTest, TrackNamesAndKindsFollowTheExtension)
{
    ASSERT_EQ(m_Bgm.InitBgm(1, m_Ogg, m_Mid, 5), 1);
    const std::string oggBefore = m_Ogg[4];
    const std::string midBefore = m_Mid[4];
    struct Case {
        const char* path;
        int result;
        int32_t kind;
        std::string ogg, mid;
    };
    const Case cases[] = {
        {"bgm\\Boss.MID", 1, cBgm::MidiOnly, oggBefore, "bgm\\Boss.mid"},
        {"bgm\\Boss.mid", 1, cBgm::MidiOnly, oggBefore, "bgm\\Boss.mid"},
        {"bgm\\Boss.OGG", 1, cBgm::OggOnly, "bgm\\Boss.OGG", "bgm\\Boss.mid"},
        {"bgm\\Boss.Ogg", 0, cBgm::TryOggThenMidi, "bgm\\Boss.Ogg", "bgm\\Boss.Ogg"},
        {"bgm\\Boss.wav", 0, cBgm::TryOggThenMidi, "bgm\\Boss.wav", "bgm\\Boss.wav"},
        {"bgm\\Boss", 0, cBgm::TryOggThenMidi, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(m_Bgm.SetBgmTrack(4, c.path), c.result);
        EXPECT_EQ(m_Bgm.m_vTrackKind[4], c.kind);
        EXPECT_EQ(std::string(m_Ogg[4]), c.ogg);
        EXPECT_EQ(std::string(m_Mid[4]), c.mid);
    }
    EXPECT_STREQ(m_Ogg[0], P("Title.ogg").c_str());   // other tracks untouched

    // Names that do not fit their slots and tracks out of range are refused.
    const std::string longName = std::string(300, 'a') + ".ogg";
    EXPECT_EQ(m_Bgm.SetBgmTrack(4, longName.c_str()), 0);
    EXPECT_STREQ(m_Ogg[4], "");
    EXPECT_EQ(m_Bgm.SetBgmTrack(5, "x.ogg"), 0);
    EXPECT_EQ(m_Bgm.SetBgmTrack(-1, "x.ogg"), 0);
    EXPECT_EQ(m_Bgm.PlayBgm(0, 9, 1, 0, 1), 0);
}

TEST_F(BgmTest, OggIsTriedFirstAndMidiTakesOverWhenThereIsNoOgg)
{
    ASSERT_EQ(m_Bgm.InitBgm(1, m_Ogg, m_Mid, 5), 1);
    // Title: both files exist; the Ogg plays and the MIDI file is never opened.
    EXPECT_EQ(m_Bgm.PlayBgm(0, 0, 1, 0, 1), 1);
    EXPECT_TRUE(OggPlaying());
    EXPECT_EQ(Midi(), nullptr);
    EXPECT_EQ(m_Bgm.m_nCurrentTrack, 0);

    // Stage: no Ogg file, so the MIDI song plays and the Ogg player stops.
    EXPECT_EQ(m_Bgm.PlayBgm(0, 4, 1, 0, 1), 1);
    EXPECT_FALSE(OggPlaying());
    ASSERT_NE(Midi(), nullptr);
    EXPECT_EQ(Midi()->GetState(), cMidiStream::Playing);
    cRecording rec;
    rec.Start(m_Dir / "m.wav");
    Advance(200);
    ASSERT_TRUE(rec.Stop());
    EXPECT_GT(rec.Peak(0, rec.Frames()), 64);

    // Back to the Ogg track with "pause other": the MIDI song is paused, not stopped.
    EXPECT_EQ(m_Bgm.PlayBgm(0, 0, 1, 1, 1), 1);
    EXPECT_TRUE(OggPlaying());
    ASSERT_NE(Midi(), nullptr);
    EXPECT_EQ(Midi()->GetState(), cMidiStream::Paused);

    // A fixed kind: the Ogg-only track with no Ogg file plays nothing and clears the track.
    m_Bgm.SetBgmTrack(3, P("Option.ogg").c_str());
    EXPECT_EQ(m_Bgm.PlayBgm(0, 3, 1, 0, 1), 0);
    EXPECT_EQ(m_Bgm.m_nCurrentTrack, -1);
    EXPECT_FALSE(OggPlaying());
    EXPECT_EQ(Midi()->GetState(), cMidiStream::Stopped);

    // Mixed-case extension: tried as Ogg (missing), then as MIDI, which refuses the extension.
    m_Bgm.SetBgmTrack(2, P("Challenge.Ogg").c_str());
    EXPECT_EQ(m_Bgm.PlayBgm(0, 2, 1, 0, 1), 0);
    EXPECT_EQ(Midi(), nullptr);
}

TEST_F(BgmTest, TheCurrentTrackIsNotRequestedAgainWithoutForce)
{
    ASSERT_EQ(m_Bgm.InitBgm(1, m_Ogg, m_Mid, 5), 1);
    ASSERT_EQ(m_Bgm.PlayBgm(0, 4, 0, 0, 1), 1);
    m_Bgm.StopBgm();
    EXPECT_EQ(Midi()->GetState(), cMidiStream::Stopped);
    cMidiStream* player = Midi();
    EXPECT_EQ(m_Bgm.PlayBgm(0, 4, 0, 0, 0), 1);   // even stopped, nothing is done
    EXPECT_EQ(Midi(), player);
    EXPECT_EQ(Midi()->GetState(), cMidiStream::Stopped);
    EXPECT_EQ(m_Bgm.PlayBgm(0, 4, 0, 0, 1), 1);
    EXPECT_EQ(Midi()->GetState(), cMidiStream::Playing);
}

TEST_F(BgmTest, AManagerWhosePlayerLibraryFailsIsNotReady)
{
    SoundArmFault(SoundFault::VoxLibrary);
    EXPECT_EQ(m_Bgm.InitBgm(1, m_Ogg, m_Mid, 5), 0);
    EXPECT_EQ(m_Bgm.m_bInitialized, 0);
    const auto boxes = HostRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "oggの初期化に失敗！");
    EXPECT_NE(Trace().find("m_Vox.Init失敗！"), std::string::npos);
    // Not set up: the calls do nothing and report as the manager does when music is off.
    EXPECT_EQ(m_Bgm.PlayBgm(0, 0, 1, 0, 1), 1);
    EXPECT_FALSE(OggPlaying());
    EXPECT_EQ(Midi(), nullptr);
    m_Bgm.StopBgm();
    m_Bgm.ReleaseBgm();

    // Players that cannot be made: out of memory is reported and the manager is not ready.
    SoundArmFault(SoundFault::VoxPlayer);
    EXPECT_EQ(m_Bgm.InitBgm(1, m_Ogg, m_Mid, 5), 0);
    EXPECT_EQ(m_Bgm.m_bInitialized, 0);
    EXPECT_EQ(m_Bgm.InitBgm(1, m_Ogg, m_Mid, 5), 1);
}

TEST_F(BgmTest, AMidiDeviceThatWillNotOpenPlaysNothing)
{
    ASSERT_EQ(m_Bgm.InitBgm(1, m_Ogg, m_Mid, 5), 1);
    SoundArmFault(SoundFault::MidiDevice);
    EXPECT_EQ(m_Bgm.PlayBgm(0, 4, 1, 0, 1), 0);
    EXPECT_EQ(m_Bgm.m_nCurrentTrack, -1);
    EXPECT_NE(Report().find("Midi " + P("Stage.mid") + " Open "), std::string::npos);
}

// An Ogg file that does not play leaves the same kind of report line as a MIDI file that does not:
// it cannot be opened, or it is not what its player reads.
TEST_F(BgmTest, OggAndMidiFilesThatDoNotPlayAreReportedAlike)
{
    WriteFile(m_Dir / "Empty.ogg", Bytes{});
    WriteFile(m_Dir / "Empty.mid", Bytes{});
    WriteFile(m_Dir / "Text.ogg", Bytes{'n', 'o', 't', ' ', 'o', 'g', 'g'});
    WriteFile(m_Dir / "Text.mid", Bytes{'n', 'o', 't', ' ', 'm', 'i', 'd'});
    ASSERT_EQ(m_Bgm.InitBgm(1, m_Ogg, m_Mid, 5), 1);
    struct Case {
        const char* name;
        const char* line;   // after "Ogg <path> " or "Midi <path> "
    };
    const Case cases[] = {
        {"Missing", "Create ファイルが開けません"},
        {"Empty", "Init "},
        {"Text", "Init "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* kind : {"ogg", "mid"}) {
            const std::string path = P(std::string(c.name) + "." + kind);
            m_Bgm.SetBgmTrack(4, path.c_str());
            EXPECT_EQ(m_Bgm.PlayBgm(0, 4, 1, 0, 1), 0);
            const std::string prefix = std::string(kind[0] == 'o' ? "Ogg " : "Midi ") + path + " ";
            EXPECT_NE(Report().find(prefix + c.line), std::string::npos) << Report();
            EXPECT_NE(Trace().find(prefix + c.line), std::string::npos) << Trace();
        }
    }
    EXPECT_NE(Report().find("Ogg " + P("Text.ogg") + " Init Ogg Vorbisでない"), std::string::npos);
    EXPECT_FALSE(OggPlaying());
}

TEST_F(BgmTest, ReleasingAndTrackChangesLeaveNothingBehind)
{
    ASSERT_EQ(m_Bgm.InitBgm(1, m_Ogg, m_Mid, 5), 1);
    ASSERT_EQ(m_Bgm.PlayBgm(0, 4, 1, 0, 1), 1);
    const int threads = CountThreads();
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(m_Bgm.PlayBgm(0, i % 2 ? 0 : 4, 1, 0, 1), 1);
        Advance(20);
    }
    ASSERT_EQ(m_Bgm.PlayBgm(0, 4, 1, 0, 1), 1);
    EXPECT_EQ(SettledThreadCount(threads), threads);   // each change ends the old player's thread

    // Initialising again while set up, releasing twice, and the destructor after a release.
    ASSERT_EQ(m_Bgm.InitBgm(1, m_Ogg, m_Mid, 5), 1);
    EXPECT_EQ(m_Bgm.m_vMidi.size(), 1u);
    EXPECT_EQ(Midi(), nullptr);
    m_Bgm.ReleaseBgm();
    m_Bgm.ReleaseBgm();
    EXPECT_EQ(m_Bgm.m_bInitialized, 0);
    EXPECT_EQ(m_Bgm.m_Vox.m_lplpPlayer, nullptr);
    {
        cBgm other;
        ASSERT_EQ(other.InitBgm(1, m_Ogg, m_Mid, 5), 1);
        other.PlayBgm(0, 0, 1, 0, 1);
        other.ReleaseBgm();
    }
    EXPECT_EQ(SettledThreadCount(threads - 1), threads - 1);
}

}  // namespace
