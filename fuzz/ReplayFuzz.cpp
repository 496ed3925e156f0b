// libFuzzer target: a replay file (its stage, its recorded input, its progress snapshot). Bad input
// must never crash, and must pass the checks of fuzz/FuzzChecks.h.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (CheckReplayInput(data, size) == FuzzOutcome::Broken) __builtin_trap();
    return 0;
}
