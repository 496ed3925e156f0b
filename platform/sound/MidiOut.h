#pragma once
// MIDI stream output. A stream plays queued buffers of timed events (short messages, tempo
// changes, long system-exclusive messages, no-ops) through the layer's General MIDI synthesiser,
// which renders into the sound mixer. Event times are in ticks of the stream's time division;
// callbacks go to the owning thread as thread messages.
#include "platform/sound/SoundTypes.h"
#include "platform/sound/Mmio.h"

struct HMIDISTRM__;
using HMIDISTRM = HMIDISTRM__*;
struct HMIDIOUT__;
using HMIDIOUT = HMIDIOUT__*;   // a stream handle may be given where an output handle is taken

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MIDIERR_UNPREPARED = 64;
constexpr MMRESULT MIDIERR_STILLPLAYING = 65;

constexpr UINT MIDI_MAPPER = 0xFFFFFFFFu;
constexpr DWORD CALLBACK_NULL = 0x00000000;
constexpr DWORD CALLBACK_THREAD = 0x00020000;

// Thread messages to the callback thread: wParam is the stream, lParam the header.
constexpr UINT MM_MOM_OPEN = 0x3C7;
constexpr UINT MM_MOM_CLOSE = 0x3C8;
constexpr UINT MM_MOM_DONE = 0x3C9;
constexpr UINT MM_MOM_POSITIONCB = 0x3CA;

constexpr DWORD MIDIPROP_SET = 0x80000000u;
constexpr DWORD MIDIPROP_GET = 0x40000000u;
constexpr DWORD MIDIPROP_TIMEDIV = 0x00000001u;
constexpr DWORD MIDIPROP_TEMPO = 0x00000002u;

struct MIDIPROPTIMEDIV {
    DWORD cbStruct;
    DWORD dwTimeDiv;   // ticks per quarter note, or SMPTE frames and ticks per frame
};
struct MIDIPROPTEMPO {
    DWORD cbStruct;
    DWORD dwTempo;     // microseconds per quarter note
};

constexpr DWORD MHDR_DONE = 0x00000001;
constexpr DWORD MHDR_PREPARED = 0x00000002;
constexpr DWORD MHDR_INQUEUE = 0x00000004;
constexpr DWORD MHDR_ISSTRM = 0x00000008;

struct MIDIHDR {
    char* lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    MIDIHDR* lpNext;
    DWORD_PTR reserved;
    DWORD dwOffset;            // byte offset of the event whose callback was last sent
    DWORD_PTR dwReserved[8];
};

// One event of a stream buffer; long events are followed by their bytes, padded to 4.
struct MIDIEVENT {
    DWORD dwDeltaTime;
    DWORD dwStreamID;
    DWORD dwEvent;
};

constexpr DWORD MEVT_F_SHORT = 0x00000000u;
constexpr DWORD MEVT_F_LONG = 0x80000000u;
constexpr DWORD MEVT_F_CALLBACK = 0x40000000u;
constexpr uint8_t MEVT_SHORTMSG = 0x00;
constexpr uint8_t MEVT_TEMPO = 0x01;
constexpr uint8_t MEVT_NOP = 0x02;
constexpr uint8_t MEVT_LONGMSG = 0x80;
constexpr uint8_t MEVT_EVENTTYPE(DWORD event) { return static_cast<uint8_t>((event >> 24) & 0xBF); }
constexpr DWORD MEVT_EVENTPARM(DWORD event) { return event & 0x00FFFFFFu; }

// Opens a stream on the MIDI mapper (deviceId points to MIDI_MAPPER or 0). The stream starts
// paused with the time division 96 and the tempo 500000; one stream can be open at a time.
MMRESULT midiStreamOpen(HMIDISTRM* stream, UINT* deviceId, DWORD count, DWORD_PTR callback,
                        DWORD_PTR instance, DWORD flags);
MMRESULT midiStreamClose(HMIDISTRM stream);
MMRESULT midiStreamProperty(HMIDISTRM stream, BYTE* data, DWORD property);
MMRESULT midiStreamOut(HMIDISTRM stream, MIDIHDR* header, UINT headerSize);
MMRESULT midiStreamRestart(HMIDISTRM stream);
MMRESULT midiStreamPause(HMIDISTRM stream);
// Stops, silences, returns every queued buffer and sets the stream time back to 0.
MMRESULT midiStreamStop(HMIDISTRM stream);
MMRESULT midiOutPrepareHeader(HMIDIOUT out, MIDIHDR* header, UINT headerSize);
MMRESULT midiOutUnprepareHeader(HMIDIOUT out, MIDIHDR* header, UINT headerSize);
// Silences every channel and returns every queued buffer.
MMRESULT midiOutReset(HMIDIOUT out);
// The text of a multimedia error code.
BOOL mciGetErrorStringA(DWORD error, char* buffer, UINT length);
