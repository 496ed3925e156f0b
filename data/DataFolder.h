#pragma once
// The start-up check of the project folder "data\": when it is missing, it is created as a copy
// of the clean project in "default\" after asking the player.
#include "platform/win/WinTypes.h"

// 1 when "data\" exists or has been created; 0 when there is no "default\", the player answers
// No, or the copy fails (a failed copy leaves no "data\" behind and removes only what it made).
int CheckDataFolder(HWND owner);
