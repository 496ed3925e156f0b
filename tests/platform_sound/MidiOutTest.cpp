// MIDI stream output rendered through the synthesiser: event times from time division and tempo,
// callbacks to the owning thread, stop, pause, and the handling of bad calls.
#include <gtest/gtest.h>

#include "platform/sound/MidiOut.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinThread.h"
#include "tests/platform_sound/SoundTestUtil.h"

using namespace soundtest;

namespace {

constexpr int kThreshold = 64;

// A stream buffer built event by event.
struct EventList {
    Bytes bytes;
    void Event(uint32_t delta, uint32_t event)
    {
        Put32(bytes, delta);
        Put32(bytes, 0);
        Put32(bytes, event);
    }
    void Short(uint32_t delta, uint8_t status, uint8_t d1, uint8_t d2 = 0, uint32_t flags = 0)
    {
        Event(delta, flags | status | (d1 << 8) | (d2 << 16));
    }
    void Tempo(uint32_t delta, uint32_t tempo) { Event(delta, (uint32_t{MEVT_TEMPO} << 24) | tempo); }
    void Long(uint32_t delta, const Bytes& message, uint32_t length)
    {
        Event(delta, MEVT_F_LONG | length);
        Append(bytes, message);
        while (bytes.size() % 4) bytes.push_back(0);
    }
};

class MidiOutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSharedState();
        m_Dir = TempFolder("midiout");
        DrainMessages();
    }
    void TearDown() override
    {
        if (m_hStream) {
            midiOutReset(reinterpret_cast<HMIDIOUT>(m_hStream));
            midiStreamClose(m_hStream);
        }
        for (auto& h : m_Headers) delete[] h.lpData;
    }

    void Open(DWORD division, DWORD flags = CALLBACK_NULL)
    {
        UINT device = MIDI_MAPPER;
        ASSERT_EQ(midiStreamOpen(&m_hStream, &device, 1, GetCurrentThreadId(), 0, flags),
                  MMSYSERR_NOERROR);
        MIDIPROPTIMEDIV prop{sizeof prop, division};
        ASSERT_EQ(midiStreamProperty(m_hStream, reinterpret_cast<BYTE*>(&prop),
                                     MIDIPROP_SET | MIDIPROP_TIMEDIV),
                  MMSYSERR_NOERROR);
    }

    MIDIHDR* Queue(const EventList& events, size_t slot)
    {
        MIDIHDR& h = m_Headers[slot];
        delete[] h.lpData;
        h = MIDIHDR{};
        h.lpData = new char[events.bytes.size() + 4];
        std::memcpy(h.lpData, events.bytes.data(), events.bytes.size());
        h.dwBufferLength = h.dwBytesRecorded = static_cast<DWORD>(events.bytes.size());
        EXPECT_EQ(midiOutPrepareHeader(reinterpret_cast<HMIDIOUT>(m_hStream), &h, sizeof h),
                  MMSYSERR_NOERROR);
        EXPECT_EQ(midiStreamOut(m_hStream, &h, sizeof h), MMSYSERR_NOERROR);
        return &h;
    }

    std::vector<MSG> DrainMessages()
    {
        std::vector<MSG> messages;
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) messages.push_back(msg);
        return messages;
    }

    // Frames (from the recording's start) where a note starts after silence, searched from
    // 40 ms before each expected time.
    static std::vector<double> OnsetsMs(const cRecording& rec, const std::vector<double>& expected)
    {
        std::vector<double> found;
        for (double ms : expected) {
            const size_t from = MsToFrames(ms > 40 ? ms - 40 : 0);
            const int64_t f = rec.FirstAbove(kThreshold, from);
            found.push_back(f < 0 ? -1.0 : f * 1000.0 / SoundMixRate);
        }
        return found;
    }

    HMIDISTRM m_hStream = nullptr;
    MIDIHDR m_Headers[3] = {};
    std::filesystem::path m_Dir;
};

TEST_F(MidiOutTest, NotesSoundAtTheTimesOfDivisionAndTempo)
{
    struct Note {
        uint32_t tick;
        uint32_t tempoBefore;   // a tempo event at this note's tick, 0 for none
    };
    struct Case {
        const char* name;
        DWORD division;
        std::vector<Note> notes;
        std::vector<double> expectedMs;
    };
    const Case cases[] = {
        {"480 per quarter, tempo halved", 480, {{0, 0}, {480, 0}, {960, 250000}, {1440, 0}},
         {0.0, 500.0, 1000.0, 1250.0}},
        {"96 per quarter, slow tempo", 96, {{0, 1000000}, {48, 0}, {100, 0}},
         {0.0, 500.0, 100 * 1000000.0 / 96 / 1000}},
        {"25 frames of 40 ticks", 0xE728, {{0, 0}, {300, 250000}, {700, 0}}, {0.0, 300.0, 700.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(c.division);
        EventList events;
        events.Short(0, 0xC0, 80);   // square lead: it sounds at full level at once
        uint32_t now = 0;
        for (const Note& n : c.notes) {
            if (n.tempoBefore) {
                events.Tempo(n.tick - now, n.tempoBefore);
                now = n.tick;
            }
            events.Short(n.tick - now, 0x90, 60, 110);
            events.Short(30, 0xB0, 120, 0);   // all sound off: silence before the next note
            now = n.tick + 30;
        }
        Queue(events, 0);
        cRecording rec;
        rec.Start(m_Dir / "t.wav");
        ASSERT_EQ(midiStreamRestart(m_hStream), MMSYSERR_NOERROR);
        Advance(static_cast<uint32_t>(c.expectedMs.back()) + 300);
        ASSERT_TRUE(rec.Stop());
        const std::vector<double> onsets = OnsetsMs(rec, c.expectedMs);
        for (size_t i = 0; i < onsets.size(); ++i) EXPECT_NEAR(onsets[i], c.expectedMs[i], 5.0);
        midiStreamClose(m_hStream);
        m_hStream = nullptr;
    }
}

TEST_F(MidiOutTest, EndMarkerAsAShortMessageDoesNotResetTheSynthesiser)
{
    Open(1000);   // with the default tempo of 500000: one tick is half a millisecond
    EventList events;
    events.Short(0, 0xC0, 19);         // organ: holds its note
    events.Short(0, 0x90, 60, 110);
    events.Event(200, MEVT_F_CALLBACK | 0x002FFF);
    Queue(events, 0);
    cRecording rec;
    rec.Start(m_Dir / "r.wav");
    midiStreamRestart(m_hStream);
    Advance(300);
    ASSERT_TRUE(rec.Stop());
    EXPECT_GT(rec.Peak(MsToFrames(150), MsToFrames(300)), kThreshold * 4);
}

TEST_F(MidiOutTest, ClosingAStreamCutsEveryVoice)
{
    // An organ note holds for as long as it is not released; the stream closes while it sounds.
    Open(1000);
    EventList events;
    events.Short(0, 0xC0, 19);
    events.Short(0, 0x90, 60, 110);
    Queue(events, 0);
    midiStreamRestart(m_hStream);
    Advance(100);
    ASSERT_EQ(midiStreamClose(m_hStream), MMSYSERR_NOERROR);
    m_hStream = nullptr;
    // Nothing of it rings on, neither into the silence after the close nor into the next stream.
    cRecording rec;
    rec.Start(m_Dir / "c.wav");
    Advance(50);
    Open(1000);
    Advance(200);
    ASSERT_TRUE(rec.Stop());
    EXPECT_EQ(rec.Peak(0, rec.Frames()), 0);
}

TEST_F(MidiOutTest, CallbacksReachTheOwningThread)
{
    Open(1000, CALLBACK_THREAD);
    MIDIPROPTEMPO tempo{sizeof tempo, 1000000};   // one tick is one millisecond
    ASSERT_EQ(midiStreamProperty(m_hStream, reinterpret_cast<BYTE*>(&tempo),
                                 MIDIPROP_SET | MIDIPROP_TEMPO),
              MMSYSERR_NOERROR);
    EventList first;
    first.Short(0, 0x90, 60, 100);
    first.Short(100, 0x80, 60, 0, MEVT_F_CALLBACK);
    EventList second;
    second.Short(50, 0x90, 64, 100);
    second.Short(100, 0x80, 64, 0);
    MIDIHDR* h1 = Queue(first, 0);
    MIDIHDR* h2 = Queue(second, 1);
    midiStreamRestart(m_hStream);
    Advance(120);
    std::vector<MSG> messages = DrainMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, MM_MOM_POSITIONCB);
    EXPECT_EQ(messages[0].lParam, reinterpret_cast<LPARAM>(h1));
    EXPECT_EQ(messages[0].wParam, reinterpret_cast<WPARAM>(m_hStream));
    EXPECT_EQ(h1->dwOffset, 12u);
    EXPECT_EQ(messages[1].message, MM_MOM_DONE);
    EXPECT_EQ(h1->dwFlags & (MHDR_DONE | MHDR_INQUEUE), MHDR_DONE);
    EXPECT_TRUE(h2->dwFlags & MHDR_INQUEUE);

    MIDIPROPTEMPO read{sizeof read, 0};
    midiStreamProperty(m_hStream, reinterpret_cast<BYTE*>(&read), MIDIPROP_GET | MIDIPROP_TEMPO);
    EXPECT_EQ(read.dwTempo, 1000000u);
    Advance(300);
    messages = DrainMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, MM_MOM_DONE);
    EXPECT_EQ(messages[0].lParam, reinterpret_cast<LPARAM>(h2));
}

TEST_F(MidiOutTest, StopReturnsBuffersAndRewindsPauseHoldsTime)
{
    Open(1000);
    MIDIPROPTEMPO tempo{sizeof tempo, 1000000};
    midiStreamProperty(m_hStream, reinterpret_cast<BYTE*>(&tempo), MIDIPROP_SET | MIDIPROP_TEMPO);
    EventList events;
    events.Short(100, 0x90, 60, 110);
    events.Short(50, 0xB0, 120, 0);
    MIDIHDR* h = Queue(events, 0);
    midiStreamRestart(m_hStream);
    Advance(50);
    ASSERT_EQ(midiStreamStop(m_hStream), MMSYSERR_NOERROR);
    EXPECT_EQ(h->dwFlags & (MHDR_DONE | MHDR_INQUEUE), MHDR_DONE);
    EXPECT_EQ(midiOutUnprepareHeader(reinterpret_cast<HMIDIOUT>(m_hStream), h, sizeof *h),
              MMSYSERR_NOERROR);

    // Queued again after the stop, the note comes 100 ms after the restart; a pause of 200 ms
    // in between moves it by as much.
    h = Queue(events, 0);
    cRecording rec;
    rec.Start(m_Dir / "p.wav");
    midiStreamRestart(m_hStream);
    Advance(50);
    ASSERT_EQ(midiStreamPause(m_hStream), MMSYSERR_NOERROR);
    Advance(200);
    midiStreamRestart(m_hStream);
    Advance(200);
    ASSERT_TRUE(rec.Stop());
    EXPECT_EQ(rec.Peak(0, MsToFrames(290)), 0);
    EXPECT_NEAR(OnsetsMs(rec, {300.0})[0], 300.0, 5.0);
}

TEST_F(MidiOutTest, BadCallsAreRefused)
{
    UINT device = MIDI_MAPPER;
    HMIDISTRM other = nullptr;
    SoundArmFault(SoundFault::MidiDevice);
    EXPECT_EQ(midiStreamOpen(&other, &device, 1, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
    Open(96);
    EXPECT_EQ(midiStreamOpen(&other, &device, 1, 0, 0, CALLBACK_NULL), MMSYSERR_ALLOCATED);
    UINT wrong = 7;
    EXPECT_EQ(midiStreamOpen(&other, &wrong, 1, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);

    MIDIPROPTIMEDIV zero{sizeof zero, 0};
    EXPECT_EQ(midiStreamProperty(m_hStream, reinterpret_cast<BYTE*>(&zero),
                                 MIDIPROP_SET | MIDIPROP_TIMEDIV),
              MMSYSERR_INVALPARAM);

    EventList events;
    events.Short(0, 0x90, 60, 100);
    MIDIHDR h{};
    Bytes data = events.bytes;
    h.lpData = reinterpret_cast<char*>(data.data());
    h.dwBufferLength = h.dwBytesRecorded = static_cast<DWORD>(data.size());
    EXPECT_EQ(midiStreamOut(m_hStream, &h, sizeof h), MIDIERR_UNPREPARED);
    midiOutPrepareHeader(reinterpret_cast<HMIDIOUT>(m_hStream), &h, sizeof h);
    EXPECT_EQ(midiStreamOut(m_hStream, &h, sizeof h), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutUnprepareHeader(reinterpret_cast<HMIDIOUT>(m_hStream), &h, sizeof h),
              MIDIERR_STILLPLAYING);
    EXPECT_EQ(midiOutReset(reinterpret_cast<HMIDIOUT>(m_hStream)), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutUnprepareHeader(reinterpret_cast<HMIDIOUT>(m_hStream), &h, sizeof h),
              MMSYSERR_NOERROR);

    HMIDISTRM closed = m_hStream;
    EXPECT_EQ(midiStreamClose(m_hStream), MMSYSERR_NOERROR);
    m_hStream = nullptr;
    EXPECT_EQ(midiStreamRestart(closed), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiStreamClose(closed), MMSYSERR_INVALHANDLE);

    char text[512];
    EXPECT_TRUE(mciGetErrorStringA(MMSYSERR_ALLOCATED, text, sizeof text));
    EXPECT_GT(std::strlen(text), 0u);
}

TEST_F(MidiOutTest, LongMessagesPlayAndABufferThatLiesIsCutShort)
{
    Open(1000);
    EventList events;
    events.Long(0, Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, 6);   // general MIDI on
    events.Short(0, 0x90, 60, 110);
    // A long event that claims more bytes than the buffer holds: the rest is dropped.
    events.Event(10, MEVT_F_LONG | 5000);
    events.Short(0, 0x90, 72, 110);
    MIDIHDR* h = Queue(events, 0);
    cRecording rec;
    rec.Start(m_Dir / "l.wav");
    midiStreamRestart(m_hStream);
    Advance(100);
    ASSERT_TRUE(rec.Stop());
    EXPECT_GT(rec.Peak(0, rec.Frames()), kThreshold);
    EXPECT_EQ(h->dwFlags & (MHDR_DONE | MHDR_INQUEUE), MHDR_DONE);
}

}  // namespace
