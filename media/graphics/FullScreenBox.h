#pragma once
// Message boxes over a full-screen display: the device's dialog-box mode around a system box.
#include <cstdint>

#include "platform/win/WinTypes.h"

// Only in full screen; 1 done (or nothing to do in a window), 0 on failure.
int32_t DDSetDialogBoxMode(int32_t bOn);
// The button pressed (an ID... value), 0 when the dialog-box mode could not be switched on.
int32_t DDMesBox(const char* lpText, const char* lpCaption, UINT uType);
