#pragma once
// The program's entry and exit: the logs, the single running copy, the main window, the start-up
// of every service in one fixed order, the game thread, the message loop and the shut-down.
#include <cstdint>

#include "platform/win/WinTypes.h"

int WinMain(HINSTANCE instance, HINSTANCE previous, char* lpCmdLine, int nCmdShow);
bool InitGame(const char* lpCmdLine, int nCmdShow);
void UnInitGame();
// The routine of thGame: frames until WM_QUIT, or until a frame fails (then a close request).
unsigned GameLoop(void* lpArgument);

// Two steps of start-up once the graphics run, also taken by the benchmarks for each back end:
// the palette and the transparent colour; the font table and its digit strips, in the project's
// face with the glyph caches the settings give the back end in use.
bool LoadPaletteAndColourKey();
bool StartFonts();

// The show command the editor starts a test play with.
constexpr int TestPlayShowCommand = 5;
