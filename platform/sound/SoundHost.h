#pragma once
// Control of the sound layer for the program's entry, tests and tools (never game code): the
// failures that can be produced on demand, the headless mixer's clock, and recording what the
// mixer played into a WAVE file.
#include <cstdint>

enum class SoundFault {
    AudioDevice,   // the host's audio device will not open (DirectSoundCreate fails)
    MidiDevice,    // the MIDI output will not open (midiStreamOpen fails)
    VoxLibrary,    // the Ogg player library cannot be loaded
    VoxPlayer,     // "CreateVox" returns no player
    MixerThread,   // the mixer's own thread cannot be started (the output does not open)
    Count
};
// Each armed fault fires on the next matching call (count times) and then disarms.
void SoundArmFault(SoundFault fault, int count = 1);
void SoundDisarmAllFaults();
bool SoundTakeFault(SoundFault fault);

// The mixer's output: 44,100 frames per second, two channels.
constexpr uint32_t SoundMixRate = 44100;

// Headless host: mixes everything up to the virtual clock's present. When a MIDI stream waits
// for its owner to queue its next buffer, this waits for the owner (up to two seconds of real
// time), so what is mixed does not depend on how fast the threads ran. A mixer thread does the
// same on its own every millisecond; this call makes a test's view of the output exact.
void SoundPump();
// Frames mixed since the mixer started.
uint64_t SoundMixedFrames();

// Stops the output (the mixer's thread, the host's device, a recording). The next sound object
// that needs the output opens it again, on the host selected then: for tests that change hosts.
void SoundCloseOutput();

// Writes every frame mixed from now on to a 16-bit stereo PCM WAVE file (host path); the file is
// complete after SoundStopRecording. False when the file cannot be created.
bool SoundStartRecording(const char* hostPath);
bool SoundStopRecording();
