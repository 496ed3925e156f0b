#include "media/sound/MidiStream.h"

#include <cstdlib>
#include <cstring>

#include "core/Log.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinThread.h"

namespace {

constexpr UINT kWakeMessage = 0x8000;
constexpr int kPostAttempts = 1000;
constexpr DWORD kThreadEndWait = 5000;
constexpr uint32_t kEventBytes = sizeof(MIDIEVENT);

// The writers of stream events. Each puts one event at `at`.
void PutShortEvent(uint8_t* at, DWORD delta, DWORD event)
{
    const MIDIEVENT e{delta, 0, event};
    std::memcpy(at, &e, sizeof e);
}

// A system-exclusive message: its status byte and data follow the event, padded to 4.
void PutLongEvent(uint8_t* at, DWORD delta, uint8_t status, const uint8_t* data, uint32_t length)
{
    PutShortEvent(at, delta, MEVT_F_LONG | (length + 1));
    at[kEventBytes] = status;
    std::memcpy(at + kEventBytes + 1, data, length);
}

// A meta event other than tempo and end makes no sound, but its time still passes.
void PutMetaEvent(uint8_t* at, DWORD delta)
{
    PutShortEvent(at, delta, static_cast<DWORD>(MEVT_NOP) << 24);
}

// The song's end: never a message for the synthesiser, only a no-op that asks for the callback.
void PutEndEvent(uint8_t* at, DWORD delta)
{
    PutShortEvent(at, delta,
                  MEVT_F_CALLBACK | (static_cast<DWORD>(MEVT_NOP) << 24) | cMidiStream::kEndMarker);
}

}  // namespace

cMidiStream::cMidiStream(const char* path) : cMidiFile(path)
{
    if (m_lpImage) OpenMidiStream();
}

cMidiStream::~cMidiStream()
{
    if (m_lpImage) {
        // The thread ends first, so that no callback runs while the stream is being closed.
        EndCallbackThread();
        CloseMidiStream();
    }
}

std::string cMidiStream::MidiErrorText(MMRESULT code)
{
    char text[512];
    mciGetErrorStringA(code, text, sizeof text);
    text[sizeof text - 1] = '\0';
    return text;
}

void cMidiStream::LogError(const char* what, MMRESULT code) const
{
    WriteReportTrace("Midi %s %s %s", m_strPath.c_str(), what, MidiErrorText(code).c_str());
}

bool cMidiStream::OpenMidiStream()
{
    std::lock_guard<std::recursive_mutex> lock(m_Mutex);
    m_nNextBuffer = 0;
    m_lpHeaders = static_cast<MIDIHDR*>(std::calloc(m_byBufferCount, sizeof(MIDIHDR)));
    if (!m_lpHeaders) {
        LogError("Open", MMSYSERR_NOMEM);
        return false;
    }
    for (uint8_t i = 0; i < m_byBufferCount; ++i) {
        m_lpHeaders[i].lpData = static_cast<char*>(std::calloc(1, m_dwBufferSize));
        if (!m_lpHeaders[i].lpData) {
            LogError("Open", MMSYSERR_NOMEM);
            return false;
        }
        m_lpHeaders[i].dwBufferLength = m_dwBufferSize;
        m_lpHeaders[i].dwUser = i;
    }
    m_hThread = BeginThread(MidiThreadProc, this, &m_dwThreadId);
    if (!m_hThread) {
        WriteReportTrace("Midi %s Thread スレッドを作れません", m_strPath.c_str());
        return false;
    }
    // The thread's queue must exist before the stream may post to it.
    for (int i = 0; !PostThreadMessage(m_dwThreadId, kWakeMessage, 0, 0); ++i) {
        if (i >= kPostAttempts) {
            WriteReportTrace("Midi %s Thread スレッドが応答しません", m_strPath.c_str());
            return false;
        }
        Sleep(1);
    }
    UINT device = MIDI_MAPPER;
    HMIDISTRM stream = nullptr;
    MMRESULT r = midiStreamOpen(&stream, &device, 1, m_dwThreadId, 0, CALLBACK_THREAD);
    if (r != MMSYSERR_NOERROR) {
        LogError("Open", r);
        return false;
    }
    m_hStream = stream;
    MIDIPROPTIMEDIV division{sizeof division,
                             static_cast<DWORD>((m_lpImage[12] << 8) | m_lpImage[13])};
    r = midiStreamProperty(m_hStream, reinterpret_cast<BYTE*>(&division),
                           MIDIPROP_SET | MIDIPROP_TIMEDIV);
    if (r != MMSYSERR_NOERROR) LogError("Property", r);
    m_nReadPos = static_cast<int32_t>(kImageHeaderSize);
    m_dwState = Stopped;
    OutMidiBuffer();
    return true;
}

void cMidiStream::EndCallbackThread()
{
    if (!m_hThread) return;
    PostThreadMessage(m_dwThreadId, WM_QUIT, 0, 0);
    if (WaitForSingleObject(m_hThread, kThreadEndWait) != WAIT_OBJECT_0) {
        WriteReportTrace("Midi %s Thread スレッドが終わりません", m_strPath.c_str());
        TerminateThread(m_hThread, 0);
    }
    CloseHandle(m_hThread);
    m_hThread = nullptr;
}

void cMidiStream::CloseMidiStream()
{
    std::lock_guard<std::recursive_mutex> lock(m_Mutex);
    if (m_hStream) {
        HMIDIOUT out = reinterpret_cast<HMIDIOUT>(m_hStream);
        MMRESULT r = midiOutReset(out);
        if (r != MMSYSERR_NOERROR) LogError("Reset", r);
        for (uint8_t i = 0; m_lpHeaders && i < m_byBufferCount; ++i) {
            if (!(m_lpHeaders[i].dwFlags & MHDR_PREPARED)) continue;
            r = midiOutUnprepareHeader(out, &m_lpHeaders[i], sizeof(MIDIHDR));
            if (r != MMSYSERR_NOERROR) LogError("Unprepare", r);
        }
        r = midiStreamClose(m_hStream);
        if (r != MMSYSERR_NOERROR) LogError("Close", r);
        m_hStream = nullptr;
    }
    if (m_lpHeaders) {
        for (uint8_t i = 0; i < m_byBufferCount; ++i) std::free(m_lpHeaders[i].lpData);
        std::free(m_lpHeaders);
        m_lpHeaders = nullptr;
    }
}

void cMidiStream::OutMidiBuffer()
{
    std::lock_guard<std::recursive_mutex> lock(m_Mutex);
    if (!m_hStream || !m_lpHeaders) return;
    const int32_t from = m_nReadPos;
    if (from < 0 || static_cast<uint32_t>(from) >= m_dwImageSize) return;
    MIDIHDR* header = &m_lpHeaders[m_nNextBuffer];
    if (header->dwFlags & MHDR_INQUEUE) return;
    const uint32_t consumed = FillMidiBuffer(static_cast<uint32_t>(from), header);
    m_nReadPos = from + static_cast<int32_t>(consumed);
    if (header->dwBytesRecorded == 0) return;
    MMRESULT r = midiOutPrepareHeader(reinterpret_cast<HMIDIOUT>(m_hStream), header,
                                      sizeof(MIDIHDR));
    if (r != MMSYSERR_NOERROR) LogError("Prepare", r);
    r = midiStreamOut(m_hStream, header, sizeof(MIDIHDR));
    if (r != MMSYSERR_NOERROR) LogError("Out", r);
    m_nNextBuffer = (m_nNextBuffer + 1) % m_byBufferCount;
}

uint32_t cMidiStream::FillMidiBuffer(uint32_t from, MIDIHDR* header)
{
    uint8_t* buffer = reinterpret_cast<uint8_t*>(header->lpData);
    const uint32_t size = header->dwBufferLength;
    std::memset(buffer, 0, size);
    const uint8_t* image = m_lpImage;
    const uint32_t end = m_dwImageSize;
    uint32_t pos = from;
    uint32_t out = 0;
    int64_t lastEvent = -1;
    bool ended = false;
    while (pos < end) {
        uint32_t delta;
        const int n = ReadVarLen(image + pos, end - pos, &delta);
        if (n == 0 || pos + n >= end) {
            pos = end;   // cannot happen with an image built here; stop cleanly all the same
            break;
        }
        const uint32_t at = pos + n;
        const uint8_t status = image[at];
        uint32_t imageBytes;
        uint32_t need = kEventBytes;
        DWORD event = 0;
        const uint8_t* longData = nullptr;
        uint32_t longLength = 0;
        bool isEnd = false;
        if (status == 0xF0 || status == 0xF7) {
            uint32_t length;
            const int m = ReadVarLen(image + at + 1, end - at - 1, &length);
            imageBytes = 1 + m + length;
            longLength = length + 1;
            longData = image + at + 1 + m;
            need = kEventBytes + ((longLength + 3) & ~3u);
            event = MEVT_F_LONG | longLength;
        } else if (status == 0xFF) {
            const uint8_t type = image[at + 1];
            uint32_t length;
            const int m = ReadVarLen(image + at + 2, end - at - 2, &length);
            imageBytes = 2 + m + length;
            if (type == 0x2F) {
                isEnd = true;
            } else if (type == 0x51 && length >= 3) {
                const uint8_t* t = image + at + 2 + m;
                event = (static_cast<DWORD>(MEVT_TEMPO) << 24) |
                        (static_cast<DWORD>(t[0]) << 16) | (t[1] << 8) | t[2];
            } else if (delta != 0) {
                event = static_cast<DWORD>(MEVT_NOP) << 24;
            } else {
                need = 0;
            }
        } else if (status >= 0xC0 && status <= 0xDF) {
            imageBytes = 2;
            event = status | (image[at + 1] << 8);
        } else {
            imageBytes = 3;
            event = status | (image[at + 1] << 8) | (static_cast<DWORD>(image[at + 2]) << 16);
        }
        if (need > size) {
            // A message larger than a whole buffer could never be queued and would stall the
            // song: it is left out, its time kept as a no-op.
            if (!m_bReportedOversize) {
                WriteReportTrace("Midi %s Out 大きすぎるメッセージを飛ばしました(%u)",
                                 m_strPath.c_str(), longLength);
                m_bReportedOversize = true;
            }
            need = kEventBytes;
            event = static_cast<DWORD>(MEVT_NOP) << 24;
            longData = nullptr;
        }
        if (need > size - out) break;   // left for the next buffer
        if (need > 0) {
            if (longData)
                PutLongEvent(buffer + out, delta, status, longData, longLength - 1);
            else if (isEnd)
                PutEndEvent(buffer + out, delta);
            else if (event == static_cast<DWORD>(MEVT_NOP) << 24)
                PutMetaEvent(buffer + out, delta);
            else
                PutShortEvent(buffer + out, delta, event);
            lastEvent = out;
            out += need;
        }
        pos = at + imageBytes;
        if (isEnd) {
            ended = true;
            break;
        }
    }
    if (!ended && lastEvent >= 0) {
        MIDIEVENT e;
        std::memcpy(&e, buffer + lastEvent, sizeof e);
        e.dwEvent |= MEVT_F_CALLBACK;
        std::memcpy(buffer + lastEvent, &e, sizeof e);
    }
    header->dwBytesRecorded = out;
    header->dwFlags = 0;
    header->lpNext = nullptr;
    header->reserved = 0;
    header->dwOffset = 0;
    std::memset(header->dwReserved, 0, sizeof header->dwReserved);
    return pos - from;
}

void cMidiStream::RestartMidi(uint32_t loop)
{
    std::lock_guard<std::recursive_mutex> lock(m_Mutex);
    if (!m_lpImage || !m_hStream) return;
    m_dwLoop = loop;
    if (m_dwState == Playing) return;
    MMRESULT r = midiStreamRestart(m_hStream);
    if (r != MMSYSERR_NOERROR) LogError("Restart", r);
    const bool resumed = m_dwState == Paused;
    m_dwState = Playing;
    if (resumed) return;
    if (static_cast<uint32_t>(m_nReadPos.load()) < m_dwImageSize) OutMidiBuffer();
}

void cMidiStream::StopMidi(int32_t pause)
{
    std::lock_guard<std::recursive_mutex> lock(m_Mutex);
    if (!m_lpImage || !m_hStream) return;
    if (pause == 0) {
        MMRESULT r = midiStreamStop(m_hStream);
        if (r != MMSYSERR_NOERROR) LogError("Stop", r);
        m_dwState = Stopped;
        m_nReadPos = static_cast<int32_t>(kImageHeaderSize);
        OutMidiBuffer();
    } else if (pause == 1 && m_dwState == Playing) {
        MMRESULT r = midiStreamPause(m_hStream);
        if (r != MMSYSERR_NOERROR) LogError("Pause", r);
        m_dwState = Paused;
    }
}

void cMidiStream::OnPositionCallback(const MIDIHDR* header)
{
    std::lock_guard<std::recursive_mutex> lock(m_Mutex);
    if (!m_lpHeaders) return;
    if (header < m_lpHeaders || header >= m_lpHeaders + m_byBufferCount) return;
    if (header->dwOffset > m_dwBufferSize - kEventBytes) return;
    MIDIEVENT e;
    std::memcpy(&e, header->lpData + header->dwOffset, sizeof e);
    if (MEVT_EVENTTYPE(e.dwEvent) == MEVT_NOP && MEVT_EVENTPARM(e.dwEvent) == kEndMarker) {
        // An end that arrives after the song was stopped or paused is stale: it must not
        // start a stopped song again.
        if (m_dwState != Playing) return;
        StopMidi(0);
        if (m_dwLoop) RestartMidi(1);
    } else if (static_cast<uint32_t>(m_nReadPos.load()) < m_dwImageSize) {
        OutMidiBuffer();
    }
}

unsigned cMidiStream::MidiThreadProc(void* argument)
{
    auto* self = static_cast<cMidiStream*>(argument);
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == MM_MOM_POSITIONCB)
            self->OnPositionCallback(reinterpret_cast<const MIDIHDR*>(msg.lParam));
    }
    return 0;
}
