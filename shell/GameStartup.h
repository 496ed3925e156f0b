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

// The show command the editor starts a test play with.
constexpr int TestPlayShowCommand = 5;
