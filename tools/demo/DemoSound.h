#pragma once
// The demo project's sounds and music: short synthesised effects as 22,050 Hz 8-bit mono WAVE
// files, the title melody as a format-1 MIDI file and the same melody rendered and encoded as an
// Ogg Vorbis file.
#include <cstdint>
#include <string>
#include <vector>

struct DemoSoundFile {
    const char* m_lpPath;   // project path of the WAVE file
    const char* m_lpName;   // its name in the project
};

// The seventeen system sounds, in system-sound order.
const std::vector<DemoSoundFile>& DemoSystemSounds();
// The project's own sounds (database sounds 1..n).
const std::vector<DemoSoundFile>& DemoProjectSounds();

// The WAVE file of a sound of either list, by path.
std::vector<uint8_t> EncodeDemoWave(const std::string& path);

// The title music.
std::vector<uint8_t> EncodeDemoMidi();
// The title music rendered at 22,050 Hz mono and encoded as Ogg Vorbis; empty when the encoder
// fails.
std::vector<uint8_t> EncodeDemoOgg();

// Writes every WAVE file, "bgm\Title.mid" and "bgm\Title.ogg".
bool WriteDemoSounds(std::string* failed);
