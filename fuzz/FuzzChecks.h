#pragma once
// The checks that every fuzz target runs on one input, shared with the test that replays the
// committed corpora, so that an input that once passed keeps passing in the normal test build.
// A load that fails is fine (Refused) when it leaves the record as it was; one that succeeds
// must survive a save and a second load byte for byte (Loaded), or, for files the player only
// reads, keep the invariants named below; anything else is Broken. Bad input that crashes,
// reads out of bounds or leaks is caught by the sanitizers, not here.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class FuzzOutcome { Refused, Loaded, Broken };

using FuzzCheck = FuzzOutcome (*)(const uint8_t* data, size_t size);

// A whole stage file: the damaged-file trailer check, then the stage load.
FuzzOutcome CheckStageInput(const uint8_t* data, size_t size);
// The first byte picks one of the ten database lists; the rest is its file.
FuzzOutcome CheckDatabaseListInput(const uint8_t* data, size_t size);
// A whole "System.dat".
FuzzOutcome CheckSystemInput(const uint8_t* data, size_t size);
// A whole world map file.
FuzzOutcome CheckWorldMapInput(const uint8_t* data, size_t size);
// A whole common palette file.
FuzzOutcome CheckPaletteInput(const uint8_t* data, size_t size);
// The first byte picks a flow, command, condition, key list, move or shot record, the next four
// give the file version, the rest is the record body.
FuzzOutcome CheckRecordBodyInput(const uint8_t* data, size_t size);
// A MIDI file, read and then streamed from start to end.
FuzzOutcome CheckMidiInput(const uint8_t* data, size_t size);

// The player's own files (fuzz/PlayerFileChecks.cpp).
// "user_data\Option.dat", "user_data\Boot.dat", "user_data\Window.dat".
FuzzOutcome CheckOptionInput(const uint8_t* data, size_t size);
FuzzOutcome CheckBootInput(const uint8_t* data, size_t size);
FuzzOutcome CheckWindowInput(const uint8_t* data, size_t size);
// A story slot or the challenge save (one format).
FuzzOutcome CheckSaveDataInput(const uint8_t* data, size_t size);
// A stage's ranking file.
FuzzOutcome CheckRankingInput(const uint8_t* data, size_t size);
// A replay file: its stage, the recorded input and the progress snapshot. A refused file changes
// none of the records it would fill; a read one has a hero and paired streams, plays back to its
// end, and writes and reads back to the same bytes.
FuzzOutcome CheckReplayInput(const uint8_t* data, size_t size);
// "user_data\KeyConfig.dat", then one frame of input polled through it. There is no writer: a
// loaded file must show its bytes in the record, with the counts brought into range.
FuzzOutcome CheckKeyConfigInput(const uint8_t* data, size_t size);
// "System.ini". There is no writer: the record must come out well-formed, and a read that
// fails is followed by the defaults.
FuzzOutcome CheckSystemIniInput(const uint8_t* data, size_t size);

// Media files (fuzz/MediaChecks.cpp).
// The first three bytes pick the display mode and the surface's options (colour key, palette
// map, memory, mirrored frames and their size, use as the palette image), the rest is a bitmap
// file, made into a surface by the bitmap loader. A surface loads only from a file the decoder
// reads, with its size, and at 32 bits with its pixels; a refused palette image leaves the
// palette as it was.
FuzzOutcome CheckBitmapInput(const uint8_t* data, size_t size);
// A WAVE file, read on its own, then loaded as a sound effect with two buffers and played. A
// read file yields PCM samples no longer than the file; a refused one makes no sound.
FuzzOutcome CheckWaveInput(const uint8_t* data, size_t size);
// An Ogg file, loaded by the Ogg player library and played once and repeated (or 0.4 s of
// that); a refused file leaves nothing to play.
FuzzOutcome CheckOggInput(const uint8_t* data, size_t size);

struct FuzzTarget {
    const char* m_lpName;   // also the name of its corpus folder
    FuzzCheck m_lpCheck;
};

// Every target, in a fixed order.
const std::vector<FuzzTarget>& FuzzTargets();

// Valid inputs for one target, made with the classes' own saving code where the player has one:
// the seeds of its corpus.
std::vector<std::vector<uint8_t>> FuzzSeeds(const std::string& strTarget);
