// Feeds arbitrary bytes to the MIDI file reader as a file, then turns the image it made, if any,
// into stream buffers from start to end as the player would.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "media/sound/MidiStream.h"
#include "platform/host/Host.h"
#include "platform/sound/SoundHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/fuzz_midi_" + std::to_string(getpid()) + ".mid";
    static bool started = [] {
        HostSelect(HostKind::Headless);
        return true;
    }();
    (void)started;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    SoundArmFault(SoundFault::MidiDevice);   // the reader and the buffers, not the synthesiser
    cMidiStream midi(path.c_str());
    SoundDisarmAllFaults();
    if (!midi.GetImage()) return 0;
    std::vector<char> buffer(cMidiStream::kBufferSize);
    MIDIHDR header{};
    header.lpData = buffer.data();
    header.dwBufferLength = cMidiStream::kBufferSize;
    uint32_t at = cMidiFile::kImageHeaderSize;
    while (at < midi.GetImageSize()) {
        const uint32_t used = midi.FillMidiBuffer(at, &header);
        if (used == 0) __builtin_trap();   // a stream that could never move on
        at += used;
    }
    return 0;
}
