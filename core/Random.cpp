#include "core/Random.h"

namespace {

// One generator state per thread; every thread starts at 1, as the run-time library's did.
thread_local uint32_t RandomState = 1;

}  // namespace

void GameSrand(uint32_t seed)
{
    RandomState = seed;
}

int GameRand()
{
    RandomState = RandomState * 214013u + 2531011u;
    return static_cast<int>((RandomState >> 16) & 0x7FFFu);
}

int RandomBetween(int a, int b)
{
    if (a > b) {
        int swap = a;
        a = b;
        b = swap;
    }
    // The span is taken in 64 bits: from INT_MIN to INT_MAX it is 2^32, which the 32-bit form
    // wrapped to 0 and divided by. Every span that fits 32 bits gives the same results as before.
    int64_t span = static_cast<int64_t>(b) - a + 1;
    return static_cast<int>(a + GameRand() % span);
}
