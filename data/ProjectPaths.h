#pragma once
// Every project and player file path by index, relative to the current directory, and the file
// extensions. Read-only tables.
#include <cstdint>

constexpr int32_t kProjectPathCount = 48;
constexpr int32_t kProjectExtCount = 4;

// 0 "data\", 1 "default\", 7 the common palette, 13 the world map, 15..33 (odd) the ten database
// files, 35 "data\System.dat", 37 the challenge stage prefix, 38..40 the ranking folders of game
// modes 0..2, 41 the story slot prefix, 42 the challenge save, 43 the options, 45 the key
// configuration, 46 the start-dialog choice, 47 the window placement; the others are editor files.
extern const char* const ProjectPathTable[kProjectPathCount];

// 0 "cplt4", 1 "stg4" (stage files), 2 "plt4", 3 "rkg" (ranking files).
extern const char* const ProjectExtTable[kProjectExtCount];

// The ranking folder of a game mode (0 story, 1 challenge, 2 free play); null for any other mode.
const char* RankingFolderPath(int32_t nGameMode);
