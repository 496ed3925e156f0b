#pragma once
// "System.ini": the player's display and debugging settings, a key=value text file beside the
// program. Its keys and defaults are the first ten options of the project settings.
#include <cstdint>
#include <vector>

#include "data/EdSystemLists.h"

struct SYSTEMINI {
    int32_t Direct3D;          // 1 Direct3D, 0 DirectDraw, 2 or more: ask (after start-up 0 or 1)
    int32_t WindowMode;        // 0 full screen, 1 window, 2 window with sizing frame
    int32_t Bpp;               // 0 automatic; after start-up the depth in use
    int32_t VSync;             // 0 off, 1 on, 2 or more automatic
    int32_t D3D_FontCache;
    int32_t DD_FontCache;
    int32_t DD_VideoStretch;
    int32_t ShowFps;           // 0 none, 2 small text, other values large text
    int32_t English;
    char FreeStage[260];       // stage file to play directly; empty for none
};

extern SYSTEMINI SystemIni;

// Keys and values longer than this many characters make the file unreadable.
constexpr int32_t SystemIniBufferSize = 2048;

void SetSystemIniDefaults(SYSTEMINI& ini, const std::vector<cEdSystemOption>& options);
// 1 when the file was read to its "Exit" line, a NUL byte or 10000 entries; 0 when it cannot be
// opened, ends before either, or holds a key or value too long for the buffers. Fields present
// in the file are overwritten, the others keep their values.
int ReadSystemIni(const char* path, SYSTEMINI& ini, const std::vector<cEdSystemOption>& options);
