#pragma once
// Presentation of a finished Direct3D frame, and the message box that can be shown over a
// full-screen display.
#include <cstdint>

#include "platform/win/WinTypes.h"

// 1 presented (or nothing to do under DirectDraw), 0 when the device is lost.
int32_t DDFlip(int32_t nFrameRate);
// Full screen only: lets system dialogs show over the display (1) or ends that (0).
int32_t DDSetDialogBoxMode(int32_t bOn);
// Shows a message box over the display: the button pressed, or 0 when no box could be shown.
int32_t DDMesBox(const char* lpText, const char* lpCaption, UINT uType);
