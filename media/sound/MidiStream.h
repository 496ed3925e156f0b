#pragma once
// Plays one standard MIDI file through a MIDI stream: the merged image is fed to the stream in
// two 24,000-byte buffers; the last event of each buffer asks for a callback, and the player's own
// thread refills the next buffer when it arrives. At the song's end the player stops and rewinds,
// and starts again when looping.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "media/sound/MidiFile.h"
#include "platform/sound/MidiOut.h"
#include "platform/win/WinTypes.h"

class cMidiStream : public cMidiFile {
public:
    explicit cMidiStream(const char* path);
    ~cMidiStream() override;

    // Starts or resumes the stream; loop non-zero plays the song again after its end.
    void RestartMidi(uint32_t loop);
    // 0 stops and rewinds (the first buffer queued again, ready for a restart); 1 pauses a
    // playing stream.
    void StopMidi(int32_t pause);

    // True when the file gave an image and the stream opened: the player can play.
    bool IsPlayable() const { return m_lpImage != nullptr && m_hStream != nullptr; }

    enum : uint32_t { Stopped = 0, Playing = 1, Paused = 2 };
    uint32_t GetState() const { return m_dwState.load(); }
    int32_t GetReadPosition() const { return m_nReadPos.load(); }

    static constexpr uint32_t kBufferSize = 24000;
    static constexpr uint8_t kBufferCount = 2;
    // The song's end in a stream buffer: a no-op event with a callback whose parameter is this.
    static constexpr DWORD kEndMarker = 0x002FFF;

    // Converts image events from offset `from` into the header's buffer; returns the image bytes
    // consumed. Public for the stream tests, which check the buffers it makes.
    uint32_t FillMidiBuffer(uint32_t from, MIDIHDR* header);

private:
    bool OpenMidiStream();
    void CloseMidiStream();
    void OutMidiBuffer();
    void EndCallbackThread();
    void LogError(const char* what, MMRESULT code) const;
    static std::string MidiErrorText(MMRESULT code);
    static unsigned MidiThreadProc(void* argument);
    void OnPositionCallback(const MIDIHDR* header);

    std::atomic<int32_t> m_nNextBuffer{0};
    HMIDISTRM m_hStream = nullptr;
    MIDIHDR* m_lpHeaders = nullptr;   // calloc'd
    uint8_t m_byBufferCount = kBufferCount;
    uint32_t m_dwBufferSize = kBufferSize;
    std::atomic<int32_t> m_nReadPos{static_cast<int32_t>(kImageHeaderSize)};
    std::atomic<uint32_t> m_dwState{Stopped};
    HANDLE m_hThread = nullptr;
    std::atomic<uint32_t> m_dwLoop{0};

    DWORD m_dwThreadId = 0;
    // The user-interface thread and the callback thread both drive the stream.
    std::recursive_mutex m_Mutex;
    bool m_bReportedOversize = false;
};
