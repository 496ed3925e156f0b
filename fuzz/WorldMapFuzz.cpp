// libFuzzer target: a whole world map file. A load must never crash; a loaded record must save and load
// again to the same bytes (fuzz/FuzzChecks.h).
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (CheckWorldMapInput(data, size) == FuzzOutcome::Broken) __builtin_trap();
    return 0;
}
