// libFuzzer target: arbitrary bytes given to the MIDI file reader as a file; the image it made, if
// any, is turned into stream buffers from start to end as the player would. A stream must always
// move on (fuzz/FuzzChecks.h).
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (CheckMidiInput(data, size) == FuzzOutcome::Broken) __builtin_trap();
    return 0;
}
