#pragma once
// The host's side of the keyboard and joystick tables. The game never includes this header; the
// hosts (and tests) feed the tables through it.
#include <cstdint>
#include <string>

#include "platform/win/WinTypes.h"

union SDL_Event;

// Keyboard. One fixed map turns host keys (SDL scancodes) into virtual-key codes; 0 = unmapped.
// The window layer uses the same map for its key messages.
BYTE VirtualKeyFromScancode(int32_t scancode);
// A host key went down or up (SDL host event loop). Returns the virtual-key code, 0 if unmapped.
BYTE HostKeyEvent(int32_t scancode, bool down);
// Sets one virtual key directly (headless script, tests).
void HostSetKeyDown(int virtualKey, bool down);
// The window that receives WM_KEYDOWN and WM_KEYUP for host key events and the script's key
// actions (the program's main window); null sends none.
// The first top-level window created is taken by default.
void HostSetKeyMessageWindow(HWND window);
HWND HostKeyMessageWindow();
void HostPostKeyMessage(int virtualKey, bool down);
// Every key up (focus loss, start of a test).
void HostReleaseAllKeys();

// Joysticks by number 0..15. A number with no joystick attached reports JOYERR_UNPLUGGED.
// Axes are 0..65535; buttons one bit each. Attaching starts centred with no button down.
void HostJoystickAttach(uint32_t number);
// The joystick disappears: its number reports JOYERR_UNPLUGGED from the next read on.
void HostJoystickDetach(uint32_t number);
void HostJoystickSetPosition(uint32_t number, uint32_t x, uint32_t y);
void HostJoystickSetButtons(uint32_t number, uint32_t buttons);
void HostJoystickDetachAll();

// The SDL host hands every joystick event of its event loop here (device added and removed,
// axis motion, buttons); the SDL joystick subsystem must be initialised by the host. A new device
// takes the lowest free number. Returns true when the event was a joystick event.
bool HostHandleSdlJoystickEvent(const SDL_Event& event);

// The headless host's input script: one action per line, "<frame> <action>", frames counted
// from 0 by HostAdvanceInputFrame; '#' starts a comment.
//   <frame> down <key>        <frame> up <key>
//   <frame> joy <n> attach    <frame> joy <n> detach
//   <frame> joy <n> pos <x> <y>
//   <frame> joy <n> buttons <mask>
// A key is a name (LEFT, RIGHT, UP, DOWN, RETURN, ESCAPE, SPACE, SHIFT, CONTROL, F1..F12, a
// letter or digit) or a number (decimal or 0x hex). Loading replaces any earlier script, resets
// the frame counter to 0 and applies the actions of frame 0. False with a message in error when
// a line cannot be read (nothing is loaded then).
bool HostLoadInputScript(const std::string& text, std::string* error);
bool HostLoadInputScriptFile(const std::string& hostPath, std::string* error);
// Called once after every presented frame: the frame counter advances and the actions of the
// new frame are applied, so frame n's input is in place before frame n polls.
void HostAdvanceInputFrame();
uint32_t HostInputFrame();
void HostClearInputScript();
