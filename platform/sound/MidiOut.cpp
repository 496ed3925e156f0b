// MIDI stream output rendered by a General MIDI synthesiser inside the mixer.
//
// Stream time runs only while the stream plays and has a buffer queued. Event times are kept in
// exact integer units of 1 / (samples-per-tick denominator) sample, so a time division and every
// tempo change land on the sample the file asks for, with no drift over a long song. An event is
// played at the first sample boundary at or after its time; the synthesiser itself starts notes on
// its 64-sample blocks (under 1.5 ms at 44,100 Hz).
#include "platform/sound/MidiOut.h"

#include <fluidsynth.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <vector>

#include "platform/sound/SoundHost.h"
#include "platform/sound/SoundMixer.h"
#include "platform/win/WinMessage.h"

namespace {

using snd::cMixer;
using Units = unsigned __int128;

// How long an owner that answered a callback must stay quiet before its answer counts as done.
constexpr auto kOwnerQuiet = std::chrono::milliseconds(20);

const char* const kSoundFonts[] = {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
};

struct cSynth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
};

// The synthesiser is made once, on the first open, and kept: loading the sound font is slow.
fluid_synth_t* SharedSynth()
{
    static std::once_flag once;
    static cSynth* shared = nullptr;
    std::call_once(once, [] {
        for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
            fluid_set_log_function(level, nullptr, nullptr);
        auto* s = new cSynth();
        s->settings = new_fluid_settings();
        if (!s->settings) return;
        fluid_settings_setnum(s->settings, "synth.sample-rate", SoundMixRate);
        fluid_settings_setint(s->settings, "synth.reverb.active", 0);
        fluid_settings_setint(s->settings, "synth.chorus.active", 0);
        fluid_settings_setint(s->settings, "synth.threadsafe-api", 0);
        fluid_settings_setint(s->settings, "synth.cpu-cores", 1);
        s->synth = new_fluid_synth(s->settings);
        if (!s->synth) return;
        for (const char* path : kSoundFonts) {
            if (fluid_synth_sfload(s->synth, path, 1) != FLUID_FAILED) {
                shared = s;
                return;
            }
        }
        delete_fluid_synth(s->synth);
        s->synth = nullptr;
    });
    return shared ? shared->synth : nullptr;
}

// Frames the shared synthesiser has rendered. It starts notes on its own blocks of 64 frames;
// a new stream begins on a block boundary so that a song renders the same samples every time.
uint64_t g_nSynthFrames = 0;
constexpr uint32_t kSynthBlock = 64;

// Back to the state after power-on, with every voice cut at once. The reset alone only releases
// the voices: they would ring on into whatever the synthesiser plays next, and a reset after the
// voices were cut lets those still waiting for the next block ring on as well. So the voices are
// cut after the reset.
void ResetSynth(fluid_synth_t* synth)
{
    fluid_synth_system_reset(synth);
    fluid_synth_all_sounds_off(synth, -1);
}

void AlignSynth(fluid_synth_t* synth)
{
    const uint32_t rest =
        static_cast<uint32_t>((kSynthBlock - g_nSynthFrames % kSynthBlock) % kSynthBlock);
    if (rest == 0) return;
    float scratch[kSynthBlock * 2];
    fluid_synth_write_float(synth, static_cast<int>(rest), scratch, 0, 2, scratch, 1, 2);
    g_nSynthFrames += rest;
}

class cStream final : public snd::cTimedSource {
public:
    cStream(fluid_synth_t* synth, HMIDISTRM handle, DWORD threadId, bool callbacks)
        : m_lpSynth(synth), m_hHandle(handle), m_dwThreadId(threadId), m_bCallbacks(callbacks)
    {
    }

    HMIDISTRM Handle() const { return m_hHandle; }

    // A call of the owner after a callback is its answer; the answer may take several calls
    // (stop, queue, restart at a song's end), so the stall ends once the stream plays again
    // with a buffer queued, or once the owner has been quiet for a moment.
    void OwnerCall()
    {
        if (m_bWaiting) {
            m_bAnswered = true;
            m_tAnswered = std::chrono::steady_clock::now();
        }
        cMixer::Instance().OwnerAnswered();
    }

    MMRESULT SetTimeDivision(DWORD division)
    {
        if (division == 0 || division > 0xFFFF) return MMSYSERR_INVALPARAM;
        if (division & 0x8000) {
            const int fps = -static_cast<int8_t>(division >> 8);
            if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || (division & 0xFF) == 0)
                return MMSYSERR_INVALPARAM;
        }
        m_dwTimeDiv = division;
        return MMSYSERR_NOERROR;
    }
    DWORD TimeDivision() const { return m_dwTimeDiv; }
    MMRESULT SetTempo(DWORD tempo)
    {
        if (tempo == 0 || tempo > 0xFFFFFF) return MMSYSERR_INVALPARAM;
        m_dwTempo = tempo;
        return MMSYSERR_NOERROR;
    }
    DWORD Tempo() const { return m_dwTempo; }

    MMRESULT Queue(MIDIHDR* header)
    {
        if (!(header->dwFlags & MHDR_PREPARED)) return MIDIERR_UNPREPARED;
        if (header->dwFlags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
        if (header->dwBytesRecorded > header->dwBufferLength || header->dwBytesRecorded % 4 != 0)
            return MMSYSERR_INVALPARAM;
        header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE | MHDR_ISSTRM;
        header->lpNext = nullptr;
        m_Queue.push_back(header);
        return MMSYSERR_NOERROR;
    }

    void Restart() { m_bPlaying = true; }
    void Pause()
    {
        if (m_bPlaying) fluid_synth_all_notes_off(m_lpSynth, -1);
        m_bPlaying = false;
    }
    // Stop and reset: silence, every buffer back to its owner, stream time back to 0.
    void Stop()
    {
        m_bPlaying = false;
        fluid_synth_all_sounds_off(m_lpSynth, -1);
        ReturnAll();
        m_Since = 0;
    }
    bool HasQueued(const MIDIHDR* header) const
    {
        for (const MIDIHDR* h : m_Queue)
            if (h == header) return true;
        return false;
    }
    void Close()
    {
        Stop();
        ResetSynth(m_lpSynth);
    }

    uint32_t Render(float* out, uint32_t frames, bool stopWhenWaiting) override
    {
        uint32_t done = 0;
        while (done < frames) {
            if (stopWhenWaiting && Waiting()) {
                if (!OwnerQuiet()) break;
                m_bWaiting = false;
            }
            if (!m_bPlaying || m_Queue.empty()) {
                Synth(out + done * 2, frames - done);
                done = frames;
                break;
            }
            if (!m_bEventReady && !PrepareEvent()) continue;
            const Units perSample = UnitsPerSample();
            const Units need = m_Due > m_Since ? (m_Due - m_Since + perSample - 1) / perSample : 0;
            const uint32_t left = frames - done;
            if (need > left) {
                Synth(out + done * 2, left);
                m_Since += static_cast<Units>(left) * perSample;
                done = frames;
                break;
            }
            const uint32_t step = static_cast<uint32_t>(need);
            Synth(out + done * 2, step);
            m_Since += static_cast<Units>(step) * perSample;
            done += step;
            m_Since -= m_Due;
            m_bEventReady = false;
            PlayEvent();
        }
        return done;
    }
    bool Waiting() const override { return m_bWaiting && (!m_bPlaying || m_Queue.empty()); }
    bool OwnerQuiet() const override
    {
        return m_bAnswered && std::chrono::steady_clock::now() - m_tAnswered >= kOwnerQuiet;
    }
    void StopWaiting() override { m_bWaiting = false; }

private:
    Units UnitsPerSample() const
    {
        if (m_dwTimeDiv & 0x8000) {
            const int fps = -static_cast<int8_t>(m_dwTimeDiv >> 8);
            const Units fps100 = fps == 29 ? 2997 : static_cast<Units>(fps) * 100;
            return fps100 * (m_dwTimeDiv & 0xFF);
        }
        return static_cast<Units>(m_dwTimeDiv) * 1000000u;
    }
    Units UnitsPerTick() const
    {
        if (m_dwTimeDiv & 0x8000) return static_cast<Units>(SoundMixRate) * 100;
        return static_cast<Units>(m_dwTempo) * SoundMixRate;
    }

    // Reads the size of the event at the front buffer's offset; 0 when it does not fit the bytes
    // the buffer recorded (the rest of such a buffer is dropped).
    DWORD EventSize(const MIDIHDR* h, MIDIEVENT* event) const
    {
        const DWORD recorded = h->dwBytesRecorded;
        if (!h->lpData || m_dwOffset > recorded || recorded - m_dwOffset < sizeof(MIDIEVENT))
            return 0;
        std::memcpy(event, h->lpData + m_dwOffset, sizeof(MIDIEVENT));
        DWORD size = sizeof(MIDIEVENT);
        if (event->dwEvent & MEVT_F_LONG) {
            const DWORD length = MEVT_EVENTPARM(event->dwEvent);
            const DWORD padded = (length + 3) & ~3u;
            if (padded > recorded - m_dwOffset - sizeof(MIDIEVENT)) return 0;
            size += padded;
        }
        return size;
    }

    bool PrepareEvent()
    {
        MIDIEVENT event;
        if (EventSize(m_Queue.front(), &event) == 0) {
            Retire(true);
            return false;
        }
        m_Due = static_cast<Units>(event.dwDeltaTime) * UnitsPerTick();
        m_bEventReady = true;
        return true;
    }

    void PlayEvent()
    {
        MIDIHDR* h = m_Queue.front();
        MIDIEVENT event;
        const DWORD size = EventSize(h, &event);
        if (size == 0) {
            Retire(true);
            return;
        }
        const DWORD at = m_dwOffset;
        const uint8_t type = MEVT_EVENTTYPE(event.dwEvent);
        if (event.dwEvent & MEVT_F_LONG) {
            if (type == MEVT_LONGMSG)
                SendLong(reinterpret_cast<const uint8_t*>(h->lpData) + at + sizeof(MIDIEVENT),
                         MEVT_EVENTPARM(event.dwEvent));
        } else if (type == MEVT_SHORTMSG) {
            SendShort(event.dwEvent);
        } else if (type == MEVT_TEMPO) {
            const DWORD tempo = MEVT_EVENTPARM(event.dwEvent);
            if (tempo != 0) m_dwTempo = tempo;
        }
        m_dwOffset += size;
        const bool last = h->dwBytesRecorded - m_dwOffset < sizeof(MIDIEVENT);
        if (last) Retire(false);
        if ((event.dwEvent & MEVT_F_CALLBACK) && m_bCallbacks) {
            h->dwOffset = at;
            if (PostThreadMessage(m_dwThreadId, MM_MOM_POSITIONCB,
                                  reinterpret_cast<WPARAM>(m_hHandle),
                                  reinterpret_cast<LPARAM>(h))) {
                m_bWaiting = true;
                m_bAnswered = false;
            }
        }
        if (last) PostDone(h);
    }

    // The stream's own markers (status bytes of F0 and above in a short event) are not messages
    // for the synthesiser: a system reset would silence it and lose its programs.
    void SendShort(DWORD message)
    {
        const int status = static_cast<int>(message & 0xFF);
        const int d1 = static_cast<int>((message >> 8) & 0x7F);
        const int d2 = static_cast<int>((message >> 16) & 0x7F);
        const int channel = status & 0x0F;
        switch (status & 0xF0) {
        case 0x80: fluid_synth_noteoff(m_lpSynth, channel, d1); break;
        case 0x90:
            if (d2 == 0)
                fluid_synth_noteoff(m_lpSynth, channel, d1);
            else
                fluid_synth_noteon(m_lpSynth, channel, d1, d2);
            break;
        case 0xA0: fluid_synth_key_pressure(m_lpSynth, channel, d1, d2); break;
        case 0xB0: fluid_synth_cc(m_lpSynth, channel, d1, d2); break;
        case 0xC0: fluid_synth_program_change(m_lpSynth, channel, d1); break;
        case 0xD0: fluid_synth_channel_pressure(m_lpSynth, channel, d1); break;
        case 0xE0: fluid_synth_pitch_bend(m_lpSynth, channel, d1 | (d2 << 7)); break;
        default: break;
        }
    }

    void SendLong(const uint8_t* bytes, DWORD length)
    {
        if (length < 2 || bytes[0] != 0xF0) return;
        DWORD body = length - 1;
        if (bytes[length - 1] == 0xF7) --body;
        if (body == 0 || body > 0x10000) return;
        fluid_synth_sysex(m_lpSynth, reinterpret_cast<const char*>(bytes + 1),
                          static_cast<int>(body), nullptr, nullptr, nullptr, 0);
    }

    void Synth(float* out, uint32_t frames)
    {
        if (frames == 0) return;
        g_nSynthFrames += frames;
        m_vTemp.resize(static_cast<size_t>(frames) * 2);
        fluid_synth_write_float(m_lpSynth, static_cast<int>(frames), m_vTemp.data(), 0, 2,
                                m_vTemp.data(), 1, 2);
        for (size_t i = 0; i < m_vTemp.size(); ++i) out[i] += m_vTemp[i];
    }

    // Takes the front buffer off the queue as played; posts its done message when post is set.
    void Retire(bool post)
    {
        MIDIHDR* h = m_Queue.front();
        m_Queue.pop_front();
        h->dwFlags = (h->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
        m_dwOffset = 0;
        m_bEventReady = false;
        if (post) PostDone(h);
    }

    void PostDone(MIDIHDR* h)
    {
        if (m_bCallbacks)
            PostThreadMessage(m_dwThreadId, MM_MOM_DONE, reinterpret_cast<WPARAM>(m_hHandle),
                              reinterpret_cast<LPARAM>(h));
    }

    void ReturnAll()
    {
        while (!m_Queue.empty()) Retire(true);
        m_dwOffset = 0;
        m_bEventReady = false;
    }

    fluid_synth_t* m_lpSynth;
    HMIDISTRM m_hHandle;
    DWORD m_dwThreadId;
    bool m_bCallbacks;
    DWORD m_dwTimeDiv = 96;
    DWORD m_dwTempo = 500000;
    bool m_bPlaying = false;
    bool m_bWaiting = false;
    bool m_bAnswered = false;
    std::chrono::steady_clock::time_point m_tAnswered;
    std::deque<MIDIHDR*> m_Queue;
    DWORD m_dwOffset = 0;
    bool m_bEventReady = false;
    Units m_Due = 0;
    Units m_Since = 0;
    std::vector<float> m_vTemp;
};

cStream* g_lpOpen = nullptr;
uintptr_t g_nNextHandle = 0x100;

// With the mixer lock held: the open stream the handle names, or null.
cStream* Find(const void* handle)
{
    if (!g_lpOpen || !handle || g_lpOpen->Handle() != handle) return nullptr;
    return g_lpOpen;
}

// Runs one call on the stream a handle names, with the mixer caught up to the present first.
template <class F>
MMRESULT WithStream(const void* handle, F f)
{
    cMixer& mixer = cMixer::Instance();
    std::lock_guard<std::mutex> lock(mixer.m_mutex);
    mixer.CatchUp();
    cStream* stream = Find(handle);
    if (!stream) return MMSYSERR_INVALHANDLE;
    stream->OwnerCall();
    return f(*stream);
}

}  // namespace

MMRESULT midiStreamOpen(HMIDISTRM* stream, UINT* deviceId, DWORD count, DWORD_PTR callback,
                        DWORD_PTR, DWORD flags)
{
    if (!stream) return MMSYSERR_INVALPARAM;
    *stream = nullptr;
    if (!deviceId || (*deviceId != MIDI_MAPPER && *deviceId != 0)) return MMSYSERR_BADDEVICEID;
    if (count != 1) return MMSYSERR_INVALPARAM;
    const DWORD kind = flags & 0x00070000u;
    if (kind != CALLBACK_NULL && kind != CALLBACK_THREAD) return MMSYSERR_INVALFLAG;
    if (SoundTakeFault(SoundFault::MidiDevice)) return MMSYSERR_NODRIVER;
    fluid_synth_t* synth = SharedSynth();
    if (!synth) return MMSYSERR_NODRIVER;
    cMixer& mixer = cMixer::Instance();
    if (!mixer.Open()) return MMSYSERR_NODRIVER;
    std::lock_guard<std::mutex> lock(mixer.m_mutex);
    mixer.CatchUp();
    if (g_lpOpen) return MMSYSERR_ALLOCATED;
    HMIDISTRM handle = reinterpret_cast<HMIDISTRM>(g_nNextHandle);
    g_nNextHandle += 0x10;
    auto* s = new (std::nothrow)
        cStream(synth, handle, static_cast<DWORD>(callback), kind == CALLBACK_THREAD);
    if (!s) return MMSYSERR_NOMEM;
    ResetSynth(synth);
    AlignSynth(synth);
    g_lpOpen = s;
    mixer.SetTimedSource(s);
    *stream = handle;
    return MMSYSERR_NOERROR;
}

MMRESULT midiStreamClose(HMIDISTRM stream)
{
    cMixer& mixer = cMixer::Instance();
    std::lock_guard<std::mutex> lock(mixer.m_mutex);
    mixer.CatchUp();
    cStream* s = Find(stream);
    if (!s) return MMSYSERR_INVALHANDLE;
    s->Close();
    mixer.SetTimedSource(nullptr);
    g_lpOpen = nullptr;
    delete s;
    return MMSYSERR_NOERROR;
}

MMRESULT midiStreamProperty(HMIDISTRM stream, BYTE* data, DWORD property)
{
    if (!data) return MMSYSERR_INVALPARAM;
    const bool set = (property & MIDIPROP_SET) != 0;
    const bool get = (property & MIDIPROP_GET) != 0;
    const DWORD which = property & ~(MIDIPROP_SET | MIDIPROP_GET);
    if (set == get || (which != MIDIPROP_TIMEDIV && which != MIDIPROP_TEMPO))
        return MMSYSERR_INVALFLAG;
    return WithStream(stream, [&](cStream& s) -> MMRESULT {
        DWORD value[2];
        std::memcpy(value, data, sizeof value);   // {cbStruct, value}: both records alike
        if (value[0] < sizeof value) return MMSYSERR_INVALPARAM;
        if (set) return which == MIDIPROP_TIMEDIV ? s.SetTimeDivision(value[1])
                                                  : s.SetTempo(value[1]);
        value[1] = which == MIDIPROP_TIMEDIV ? s.TimeDivision() : s.Tempo();
        std::memcpy(data + sizeof(DWORD), &value[1], sizeof(DWORD));
        return MMSYSERR_NOERROR;
    });
}

MMRESULT midiStreamOut(HMIDISTRM stream, MIDIHDR* header, UINT headerSize)
{
    if (!header || headerSize < sizeof(MIDIHDR) || !header->lpData) return MMSYSERR_INVALPARAM;
    return WithStream(stream, [&](cStream& s) { return s.Queue(header); });
}

MMRESULT midiStreamRestart(HMIDISTRM stream)
{
    return WithStream(stream, [](cStream& s) {
        s.Restart();
        return MMSYSERR_NOERROR;
    });
}

MMRESULT midiStreamPause(HMIDISTRM stream)
{
    return WithStream(stream, [](cStream& s) {
        s.Pause();
        return MMSYSERR_NOERROR;
    });
}

MMRESULT midiStreamStop(HMIDISTRM stream)
{
    return WithStream(stream, [](cStream& s) {
        s.Stop();
        return MMSYSERR_NOERROR;
    });
}

MMRESULT midiOutPrepareHeader(HMIDIOUT out, MIDIHDR* header, UINT headerSize)
{
    if (!header || headerSize < sizeof(MIDIHDR) || !header->lpData ||
        header->dwBufferLength == 0)
        return MMSYSERR_INVALPARAM;
    return WithStream(out, [&](cStream&) {
        header->dwFlags |= MHDR_PREPARED;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT midiOutUnprepareHeader(HMIDIOUT out, MIDIHDR* header, UINT headerSize)
{
    if (!header || headerSize < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
    return WithStream(out, [&](cStream& s) -> MMRESULT {
        if (header->dwFlags & MHDR_INQUEUE || s.HasQueued(header)) return MIDIERR_STILLPLAYING;
        header->dwFlags &= ~MHDR_PREPARED;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT midiOutReset(HMIDIOUT out)
{
    return WithStream(out, [](cStream& s) {
        s.Stop();
        return MMSYSERR_NOERROR;
    });
}

BOOL mciGetErrorStringA(DWORD error, char* buffer, UINT length)
{
    if (!buffer || length == 0) return 0;
    const char* text = nullptr;
    switch (error) {
    case MMSYSERR_NOERROR: text = "The specified command was carried out."; break;
    case MMSYSERR_ERROR: text = "Undefined external error."; break;
    case MMSYSERR_BADDEVICEID: text = "A device ID has been used that is out of range."; break;
    case MMSYSERR_ALLOCATED: text = "The specified device is already in use."; break;
    case MMSYSERR_INVALHANDLE: text = "The device handle is invalid."; break;
    case MMSYSERR_NODRIVER: text = "There is no MIDI output device that can be used."; break;
    case MMSYSERR_NOMEM: text = "There is not enough memory for this task."; break;
    case MMSYSERR_INVALFLAG: text = "An invalid flag was passed."; break;
    case MMSYSERR_INVALPARAM: text = "An invalid parameter was passed."; break;
    case MIDIERR_UNPREPARED: text = "The buffer has not been prepared."; break;
    case MIDIERR_STILLPLAYING: text = "The buffer is still in the queue."; break;
    default: break;
    }
    if (!text) {
        std::snprintf(buffer, length, "Unknown error %u.", static_cast<unsigned>(error));
        return 0;
    }
    std::snprintf(buffer, length, "%s", text);
    return 1;
}
