// The MIDI stream player: the stream buffers it makes from the image, and songs played through
// the headless mixer with looping, stopping, pausing and resuming, checked by when notes sound.
#include <unistd.h>

#include <cstdlib>

#include "media/sound/MidiStream.h"
#include "platform/sound/SoundHost.h"
#include "tests/media_sound/MediaSoundTest.h"

using namespace soundtest;

namespace {

constexpr int kThreshold = 64;

struct Event {
    uint32_t delta;
    uint32_t stream;
    uint32_t event;
    bool operator==(const Event&) const = default;
};

std::vector<Event> Events(const MIDIHDR& h)
{
    std::vector<Event> events;
    for (uint32_t at = 0; at + 12 <= h.dwBytesRecorded;) {
        Event e;
        std::memcpy(&e, h.lpData + at, 12);
        events.push_back(e);
        at += 12;
        if (e.event & MEVT_F_LONG) at += ((e.event & 0xFFFFFF) + 3) & ~3u;
    }
    return events;
}

// A track of notes: each a note-on at its millisecond and an all-sound-off 60 ms later, at a
// division of 1000 ticks per quarter and a tempo of 1,000,000 µs: a tick is a millisecond.
Bytes NoteTrack(const std::vector<uint32_t>& ms, uint32_t endMs)
{
    Bytes t = {0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x00, 0xC0, 0x50};   // square lead
    uint32_t now = 0;
    auto delta = [&](uint32_t at) {
        uint8_t v[4];
        const int n = cMidiFile::WriteVarLen(v, at - now);
        t.insert(t.end(), v, v + n);
        now = at;
    };
    for (uint32_t at : ms) {
        delta(at);
        Append(t, Bytes{0x90, 0x3C, 0x6E});
        delta(at + 60);
        Append(t, Bytes{0xB0, 0x78, 0x00});
    }
    delta(endMs);
    Append(t, Bytes{0xFF, 0x2F, 0x00});
    return t;
}

class MidiStreamTest : public MediaSoundTest {
protected:
    std::string Song(const Bytes& file)
    {
        WriteFile(m_Dir / "song.mid", file);
        return P("song.mid");
    }

    // Onsets after silence, each searched from 30 ms before its expected time.
    static std::vector<double> OnsetsMs(const cRecording& rec, const std::vector<double>& expected)
    {
        std::vector<double> found;
        for (double ms : expected) {
            const int64_t f = rec.FirstAbove(kThreshold, MsToFrames(ms > 30 ? ms - 30 : 0));
            found.push_back(f < 0 ? -1.0 : f * 1000.0 / SoundMixRate);
        }
        return found;
    }

    MIDIHDR Header()
    {
        m_vBuffer.assign(cMidiStream::kBufferSize, 0x55);
        MIDIHDR h{};
        h.lpData = m_vBuffer.data();
        h.dwBufferLength = cMidiStream::kBufferSize;
        return h;
    }

    std::vector<char> m_vBuffer;
};

TEST_F(MidiStreamTest, BuffersCarryShortTempoLongAndEndEvents)
{
    const Bytes track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,
                         0x00, 0xC0, 0x05,
                         0x00, 0x90, 0x3C, 0x64,
                         0x05, 0xFF, 0x01, 0x01, 'a',      // text after 5 ticks
                         0x00, 0xFF, 0x03, 0x01, 'b',      // text at once
                         0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7,
                         0x10, 0x80, 0x3C, 0x00,
                         0x00, 0xFF, 0x2F, 0x00};
    SoundArmFault(SoundFault::MidiDevice);   // the buffers are checked without a device
    cMidiStream midi(Song(Smf(0, 1, 96, {track})).c_str());
    ASSERT_NE(midi.GetImage(), nullptr);
    EXPECT_FALSE(midi.IsPlayable());
    EXPECT_NE(Report().find("Midi " + P("song.mid") + " Open "), std::string::npos);

    MIDIHDR h = Header();
    EXPECT_EQ(midi.FillMidiBuffer(22, &h), midi.GetImageSize() - 22);
    const std::vector<Event> expected = {
        {0, 0, 0x01000000u | 0x07A120},
        {0, 0, 0x05C0},
        {0, 0, 0x643C90},
        {5, 0, 0x02000000u},                      // the text's time as a no-op
        {0, 0, MEVT_F_LONG | 6},                  // F0 7E 7F 09 01 F7
        {0x10, 0, 0x003C80},
        {0, 0, MEVT_F_CALLBACK | 0x02000000u | 0x002FFF},
    };
    EXPECT_EQ(Events(h), expected);
    EXPECT_EQ(h.dwBytesRecorded, 6 * 12 + 12 + 8u);
    EXPECT_EQ(std::memcmp(h.lpData + 60, "\xF0\x7E\x7F\x09\x01\xF7\0\0", 8), 0);
    EXPECT_EQ(h.dwFlags, 0u);
}

TEST_F(MidiStreamTest, ASongLongerThanABufferContinuesInTheNextAndHugeMessagesAreSkipped)
{
    Bytes track;
    for (int i = 0; i < 2100; ++i) Append(track, Bytes{0x01, 0x90, 0x3C, 0x40});
    Bytes huge = {0x02, 0xF0, 0x81, 0xEA, 0x30};   // 30,000 data bytes
    huge.resize(huge.size() + 30000, 0x01);
    Append(track, huge);
    Append(track, Bytes{0x00, 0xFF, 0x2F, 0x00});
    SoundArmFault(SoundFault::MidiDevice);
    cMidiStream midi(Song(Smf(0, 1, 96, {track})).c_str());
    ASSERT_NE(midi.GetImage(), nullptr);

    MIDIHDR h = Header();
    const uint32_t first = midi.FillMidiBuffer(22, &h);
    std::vector<Event> events = Events(h);
    ASSERT_EQ(events.size(), 2000u);
    EXPECT_EQ(h.dwBytesRecorded, 24000u);
    EXPECT_EQ(first, 2000u * 4);
    EXPECT_EQ(events.back(), (Event{1, 0, MEVT_F_CALLBACK | 0x403C90}));
    EXPECT_EQ(events.front().event & MEVT_F_CALLBACK, 0u);

    h = Header();
    const uint32_t second = midi.FillMidiBuffer(22 + first, &h);
    EXPECT_EQ(22 + first + second, midi.GetImageSize());
    events = Events(h);
    ASSERT_EQ(events.size(), 102u);
    EXPECT_EQ(events[100], (Event{2, 0, 0x02000000u}));   // the message left out, its time kept
    EXPECT_EQ(events[101], (Event{0, 0, MEVT_F_CALLBACK | 0x02000000u | 0x002FFF}));
    EXPECT_NE(Report().find("Midi " + P("song.mid") + " Out 大きすぎるメッセージを飛ばしました(30001)"),
              std::string::npos);
}

TEST_F(MidiStreamTest, ALongSongRefillsItsBuffersAndAHugeMessageDoesNotStallIt)
{
    // 2,100 controller events at the start fill more than one buffer; then a message too large
    // for any buffer, and a note 300 ms in.
    Bytes track = {0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x00, 0xC0, 0x50};
    for (int i = 0; i < 2100; ++i) Append(track, Bytes{0x00, 0xB0, 0x07, 0x64});
    Bytes huge = {0x64, 0xF0, 0x81, 0xEA, 0x30};
    huge.resize(huge.size() + 30000, 0x01);
    Append(track, huge);
    Append(track, Bytes{0x81, 0x48, 0x90, 0x3C, 0x6E, 0x3C, 0xB0, 0x78, 0x00, 0x00, 0xFF, 0x2F, 0x00});
    cMidiStream midi(Song(Smf(0, 1, 1000, {track})).c_str());
    ASSERT_TRUE(midi.IsPlayable());
    cRecording rec;
    rec.Start(m_Dir / "h.wav");
    midi.RestartMidi(0);
    Advance(600);
    ASSERT_TRUE(rec.Stop());
    EXPECT_EQ(rec.Peak(0, MsToFrames(290)), 0);
    EXPECT_NEAR(OnsetsMs(rec, {300})[0], 300.0, 5.0);
    EXPECT_EQ(midi.GetState(), cMidiStream::Stopped);
    EXPECT_NE(Report().find("Out 大きすぎるメッセージを飛ばしました(30001)"), std::string::npos);
}

TEST_F(MidiStreamTest, ASongPlaysOnceAndStopsRewoundOrLoopsFromItsStart)
{
    for (uint32_t loop : {0u, 1u}) {
        SCOPED_TRACE(loop);
        cMidiStream midi(Song(Smf(0, 1, 1000, {NoteTrack({0, 400}, 600)})).c_str());
        ASSERT_TRUE(midi.IsPlayable());
        cRecording rec;
        rec.Start(m_Dir / "l.wav");
        midi.RestartMidi(loop);
        EXPECT_EQ(midi.GetState(), cMidiStream::Playing);
        Advance(1500);
        ASSERT_TRUE(rec.Stop());
        if (loop) {
            const std::vector<double> expected = {0, 400, 600, 1000, 1200};
            const std::vector<double> found = OnsetsMs(rec, expected);
            for (size_t i = 0; i < found.size(); ++i) EXPECT_NEAR(found[i], expected[i], 5.0);
            EXPECT_EQ(midi.GetState(), cMidiStream::Playing);
        } else {
            const std::vector<double> found = OnsetsMs(rec, {0, 400});
            EXPECT_NEAR(found[0], 0.0, 5.0);
            EXPECT_NEAR(found[1], 400.0, 5.0);
            EXPECT_EQ(rec.Peak(MsToFrames(500), rec.Frames()), 0);
            // Stopped and rewound, with the whole short song queued again in the first buffer.
            EXPECT_EQ(midi.GetState(), cMidiStream::Stopped);
            EXPECT_EQ(static_cast<uint32_t>(midi.GetReadPosition()), midi.GetImageSize());
        }
    }
}

// On either host a looping song starts again on the very sample its end event falls on, loop after
// loop: the mix waits at the end for the player's own thread to stop and restart the stream.
TEST_F(MidiStreamTest, ALoopingSongStartsAgainOnTheSampleOfItsEndEveryTime)
{
    // 441 ticks per quarter at 640,000 µs: a tick is exactly 64 frames, the synthesiser's block,
    // so every note of every loop starts at the same point of a block and sounds the same. Notes
    // at ticks 0 and 105, each cut 20 ticks later; the end at tick 210 (13,440 frames, which is
    // not a whole number of the mixer's or the device's chunks).
    const Bytes track = {0x00, 0xFF, 0x51, 0x03, 0x09, 0xC4, 0x00, 0x00, 0xC0, 0x50,
                         0x00, 0x90, 0x3C, 0x6E, 0x14, 0xB0, 0x78, 0x00,
                         0x55, 0x90, 0x3C, 0x6E, 0x14, 0xB0, 0x78, 0x00,
                         0x55, 0xFF, 0x2F, 0x00};
    constexpr int64_t kNoteFrames = 105 * 64;
    constexpr int kLoops = 5;
    const std::string song = Song(Smf(0, 1, 441, {track}));
    struct Case {
        const char* name;
        HostKind host;
    };
    for (const Case& c : {Case{"headless", HostKind::Headless}, Case{"SDL", HostKind::Sdl}}) {
        SCOPED_TRACE(c.name);
        SoundCloseOutput();
        HostSelect(c.host);
        // The SDL host plays to a device that only takes the frames, at the device's pace.
        if (c.host == HostKind::Sdl) setenv("SDL_AUDIODRIVER", "dummy", 1);
        {
            cMidiStream midi(song.c_str());
            ASSERT_TRUE(midi.IsPlayable());
            cRecording rec;
            rec.Start(m_Dir / "loops.wav");
            const uint64_t start = SoundMixedFrames();
            midi.RestartMidi(1);
            const uint64_t needed = kLoops * 2 * kNoteFrames + 4096;
            if (c.host == HostKind::Headless) {
                Advance(static_cast<uint32_t>(needed * 1000 / SoundMixRate) + 10);
            } else {
                // Real time passes here; the bound only keeps a broken device from hanging.
                for (int wait = 0; wait < 2000 && SoundMixedFrames() - start < needed; ++wait)
                    usleep(10000);
            }
            ASSERT_TRUE(rec.Stop());
            ASSERT_GE(rec.Frames(), needed);
            // The very first note comes from a fresh voice that rises a few samples later; the
            // second note is the measure for all that follow.
            const int64_t first = rec.FirstAbove(kThreshold);
            ASSERT_GE(first, 0);
            const int64_t second = rec.FirstAbove(kThreshold, first + kNoteFrames / 2);
            EXPECT_NEAR(second - first, kNoteFrames, 63);
            for (int note = 2; note < kLoops * 2; ++note) {
                const int64_t expected = second + (note - 1) * kNoteFrames;
                EXPECT_EQ(rec.FirstAbove(kThreshold, expected - kNoteFrames / 2), expected)
                    << "note " << note % 2 << " of loop " << note / 2 + 1;
            }
            EXPECT_EQ(midi.GetState(), cMidiStream::Playing);
        }
        SoundCloseOutput();
        HostSelect(HostKind::Headless);
    }
}

TEST_F(MidiStreamTest, AFormat1SongWithTempoChangesSoundsItsNotesAtTheFilesTimes)
{
    // Track 0: tempo 500,000 µs, then 250,000 at tick 960 and 1,000,000 at tick 1440.
    const Bytes tempo = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,
                         0x87, 0x40, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,
                         0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,
                         0x00, 0xFF, 0x2F, 0x00};
    // Track 1: notes at ticks 0, 480, 960, 1200, 1440 and 1680, each silenced 60 ticks later.
    Bytes notes = {0x00, 0xC0, 0x50};
    uint32_t now = 0;
    for (uint32_t tick : {0u, 480u, 960u, 1200u, 1440u, 1680u}) {
        uint8_t v[4];
        int n = cMidiFile::WriteVarLen(v, tick - now);
        notes.insert(notes.end(), v, v + n);
        Append(notes, Bytes{0x90, 0x3C, 0x6E, 0x3C, 0xB0, 0x78, 0x00});
        now = tick + 60;
    }
    Append(notes, Bytes{0x00, 0xFF, 0x2F, 0x00});
    cMidiStream midi(Song(Smf(1, 2, 480, {tempo, notes})).c_str());
    ASSERT_TRUE(midi.IsPlayable());
    cRecording rec;
    rec.Start(m_Dir / "t.wav");
    midi.RestartMidi(0);
    Advance(1900);
    ASSERT_TRUE(rec.Stop());
    // Milliseconds per tick: 500,000 / 480 / 1000, then half of it, then 1,000,000 / 480 / 1000.
    const double slow = 500.0 / 480, fast = 250.0 / 480, slowest = 1000.0 / 480;
    const std::vector<double> expected = {0, 480 * slow, 960 * slow, 960 * slow + 240 * fast,
                                          960 * slow + 480 * fast,
                                          960 * slow + 480 * fast + 240 * slowest};
    const std::vector<double> found = OnsetsMs(rec, expected);
    for (size_t i = 0; i < found.size(); ++i) EXPECT_NEAR(found[i], expected[i], 5.0) << i;
}

TEST_F(MidiStreamTest, TheSameSongRendersTheSameSamplesEveryTime)
{
    const std::string song = Song(Smf(0, 1, 1000, {NoteTrack({0, 130, 260}, 400)}));
    std::vector<std::vector<int>> takes;
    for (int take = 0; take < 3; ++take) {
        Advance(7);   // a different moment of the mixer each time
        cMidiStream midi(song.c_str());
        cRecording rec;
        rec.Start(m_Dir / "d.wav");
        midi.RestartMidi(0);
        Advance(450);
        ASSERT_TRUE(rec.Stop());
        std::vector<int> left;
        for (size_t f = 0; f < MsToFrames(440); ++f) left.push_back(rec.Left(f));
        takes.push_back(left);
    }
    // The synthesiser's very first notes start from fresh voices, a little softer for a few
    // samples; from then on a song renders the same samples each time, whatever moment of the
    // mixer it starts at.
    EXPECT_GT(*std::max_element(takes[1].begin(), takes[1].end()), kThreshold);
    EXPECT_TRUE(takes[1] == takes[2]);
}

TEST_F(MidiStreamTest, PausingAndRestartingResumesWhereItPaused)
{
    cMidiStream midi(Song(Smf(0, 1, 1000, {NoteTrack({100, 400}, 700)})).c_str());
    ASSERT_TRUE(midi.IsPlayable());
    cRecording rec;
    rec.Start(m_Dir / "p.wav");
    midi.RestartMidi(0);
    Advance(200);
    midi.StopMidi(1);
    EXPECT_EQ(midi.GetState(), cMidiStream::Paused);
    const int32_t position = midi.GetReadPosition();
    midi.StopMidi(1);   // pausing a paused song changes nothing
    Advance(300);
    midi.RestartMidi(0);
    EXPECT_EQ(midi.GetState(), cMidiStream::Playing);
    EXPECT_EQ(midi.GetReadPosition(), position);   // no new buffer for a resume
    Advance(500);
    ASSERT_TRUE(rec.Stop());
    const std::vector<double> found = OnsetsMs(rec, {100, 700});
    EXPECT_NEAR(found[0], 100.0, 5.0);
    EXPECT_NEAR(found[1], 700.0, 5.0);   // 400 + the 300 ms pause
    EXPECT_EQ(rec.Peak(MsToFrames(210), MsToFrames(660)), 0);
}

TEST_F(MidiStreamTest, StoppingRewindsAndARestartPlaysFromTheFirstNote)
{
    cMidiStream midi(Song(Smf(0, 1, 1000, {NoteTrack({0, 300}, 500)})).c_str());
    ASSERT_TRUE(midi.IsPlayable());
    cRecording rec;
    rec.Start(m_Dir / "s.wav");
    midi.RestartMidi(1);
    Advance(200);
    midi.StopMidi(0);
    EXPECT_EQ(midi.GetState(), cMidiStream::Stopped);
    Advance(100);
    midi.RestartMidi(0);
    Advance(400);
    ASSERT_TRUE(rec.Stop());
    const std::vector<double> found = OnsetsMs(rec, {0, 300, 600});
    EXPECT_NEAR(found[0], 0.0, 5.0);
    EXPECT_NEAR(found[1], 300.0, 5.0);   // the first note again after the restart
    EXPECT_NEAR(found[2], 600.0, 5.0);
    EXPECT_EQ(rec.Peak(MsToFrames(210), MsToFrames(290)), 0);
}

TEST_F(MidiStreamTest, FilesWithoutAnImageMakeAPlayerThatPlaysNothing)
{
    cMidiStream midi(P("missing.mid").c_str());
    EXPECT_FALSE(midi.IsPlayable());
    midi.RestartMidi(1);
    midi.StopMidi(0);
    EXPECT_EQ(midi.GetState(), cMidiStream::Stopped);
}

}  // namespace
