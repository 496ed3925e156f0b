#pragma once
// Joystick position and buttons, the way the game's multimedia joystick call reports them:
// axes in 0..65535 with the centre at 32768, one bit per button.
#include "platform/win/WinTypes.h"

using MMRESULT = UINT;

constexpr MMRESULT JOYERR_NOERROR = 0;
constexpr MMRESULT JOYERR_PARMS = 165;
constexpr MMRESULT JOYERR_UNPLUGGED = 167;

constexpr DWORD JOY_RETURNX = 0x01;
constexpr DWORD JOY_RETURNY = 0x02;
constexpr DWORD JOY_RETURNBUTTONS = 0x80;

constexpr UINT JOYSTICKID1 = 0;
constexpr UINT JOYSTICK_MAX_DEVICES = 16;   // joystick numbers 0..15

struct JOYINFOEX {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwXpos;
    DWORD dwYpos;
    DWORD dwZpos;
    DWORD dwRpos;
    DWORD dwUpos;
    DWORD dwVpos;
    DWORD dwButtons;
    DWORD dwButtonNumber;
    DWORD dwPOV;
    DWORD dwReserved1;
    DWORD dwReserved2;
};
static_assert(sizeof(JOYINFOEX) == 52, "the game passes dwSize 52");

// Reads joystick id. JOYERR_PARMS for a number outside 0..15 or a bad structure,
// JOYERR_UNPLUGGED when no joystick is attached under that number. Thread-safe.
MMRESULT joyGetPosEx(UINT id, JOYINFOEX* info);
// The number of joystick numbers the layer serves.
UINT joyGetNumDevs();
