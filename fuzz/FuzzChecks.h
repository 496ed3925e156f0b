#pragma once
// The checks that every fuzz target runs on one input, shared with the test that replays the
// committed corpora, so that an input that once passed keeps passing in the normal test build.
// A load that fails is fine (Refused); one that succeeds must survive a save and a second load
// byte for byte (Loaded), or, for the music reader, stream from start to end; anything else is
// Broken. Bad input that crashes is caught by the sanitizers, not here.
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

struct FuzzTarget {
    const char* m_lpName;   // also the name of its corpus folder
    FuzzCheck m_lpCheck;
};

// Every target, in a fixed order.
const std::vector<FuzzTarget>& FuzzTargets();

// Valid inputs for one target, made with the classes' own saving code: the seeds of its corpus.
std::vector<std::vector<uint8_t>> FuzzSeeds(const std::string& strTarget);
