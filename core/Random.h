#pragma once
// The per-thread random-number generator. Replays depend on it: the sequence is exact to the bit.
// Every thread starts with state 1.
#include <cstdint>

void GameSrand(uint32_t seed);
int GameRand();   // 0 to 32767
int RandomBetween(int a, int b);
