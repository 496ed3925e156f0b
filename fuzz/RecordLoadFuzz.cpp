// libFuzzer target: one flow, command, condition, key list, move or shot body; the first byte picks the class, the next four give the file version. A load must never crash; a loaded record must save and load
// again to the same bytes (fuzz/FuzzChecks.h).
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (CheckRecordBodyInput(data, size) == FuzzOutcome::Broken) __builtin_trap();
    return 0;
}
