#pragma once
// Keyboard state by virtual-key code. The host keeps a table of key-down flags that any thread
// may read at any time; the SDL host feeds it from its key events, the headless host from the
// input script (see platform/win/HostInput.h).
#include "platform/win/WinTypes.h"

using SHORT = int16_t;

// Virtual-key codes the game reads. Letters and digits are their upper-case ASCII codes.
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_F1 = 0x70;
constexpr int VK_F12 = 0x7B;

// The high bit (0x8000) is set while the key is down. Codes outside 0..255 read as up.
SHORT GetAsyncKeyState(int virtualKey);
