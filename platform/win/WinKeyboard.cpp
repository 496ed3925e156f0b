// The key-state table. Readers (any thread) load one atomic flag; writers (the host's event loop,
// the input script, tests) take a lock, update the host-key flags and recompute the keys they
// touch, so a key that two host keys share (both Enter keys, both Shift keys) stays down while
// either is held.
#include <SDL_scancode.h>

#include <array>
#include <atomic>
#include <mutex>

#include "platform/win/HostInput.h"
#include "platform/win/WinKeyboard.h"

namespace {

constexpr int kScancodeCount = SDL_NUM_SCANCODES;

// Sided modifier keys: the host key sets its sided code as well as the generic one.
constexpr BYTE VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3,
               VK_LMENU = 0xA4, VK_RMENU = 0xA5;

struct KeyMapEntry {
    BYTE primary;
    BYTE sided;
};

constexpr std::array<KeyMapEntry, kScancodeCount> BuildKeyMap()
{
    std::array<KeyMapEntry, kScancodeCount> map{};
    for (int i = 0; i < 26; ++i) map[SDL_SCANCODE_A + i] = {static_cast<BYTE>('A' + i), 0};
    for (int i = 0; i < 9; ++i) map[SDL_SCANCODE_1 + i] = {static_cast<BYTE>('1' + i), 0};
    map[SDL_SCANCODE_0] = {'0', 0};
    map[SDL_SCANCODE_RETURN] = {VK_RETURN, 0};
    map[SDL_SCANCODE_ESCAPE] = {VK_ESCAPE, 0};
    map[SDL_SCANCODE_BACKSPACE] = {VK_BACK, 0};
    map[SDL_SCANCODE_TAB] = {VK_TAB, 0};
    map[SDL_SCANCODE_SPACE] = {VK_SPACE, 0};
    map[SDL_SCANCODE_MINUS] = {0xBD, 0};
    map[SDL_SCANCODE_EQUALS] = {0xBB, 0};
    map[SDL_SCANCODE_LEFTBRACKET] = {0xDB, 0};
    map[SDL_SCANCODE_RIGHTBRACKET] = {0xDD, 0};
    map[SDL_SCANCODE_BACKSLASH] = {0xDC, 0};
    map[SDL_SCANCODE_NONUSHASH] = {0xDC, 0};
    map[SDL_SCANCODE_SEMICOLON] = {0xBA, 0};
    map[SDL_SCANCODE_APOSTROPHE] = {0xDE, 0};
    map[SDL_SCANCODE_GRAVE] = {0xC0, 0};
    map[SDL_SCANCODE_COMMA] = {0xBC, 0};
    map[SDL_SCANCODE_PERIOD] = {0xBE, 0};
    map[SDL_SCANCODE_SLASH] = {0xBF, 0};
    map[SDL_SCANCODE_CAPSLOCK] = {0x14, 0};
    for (int i = 0; i < 12; ++i) map[SDL_SCANCODE_F1 + i] = {static_cast<BYTE>(VK_F1 + i), 0};
    map[SDL_SCANCODE_PRINTSCREEN] = {0x2C, 0};
    map[SDL_SCANCODE_SCROLLLOCK] = {0x91, 0};
    map[SDL_SCANCODE_PAUSE] = {VK_PAUSE, 0};
    map[SDL_SCANCODE_INSERT] = {VK_INSERT, 0};
    map[SDL_SCANCODE_HOME] = {VK_HOME, 0};
    map[SDL_SCANCODE_PAGEUP] = {VK_PRIOR, 0};
    map[SDL_SCANCODE_DELETE] = {VK_DELETE, 0};
    map[SDL_SCANCODE_END] = {VK_END, 0};
    map[SDL_SCANCODE_PAGEDOWN] = {VK_NEXT, 0};
    map[SDL_SCANCODE_RIGHT] = {VK_RIGHT, 0};
    map[SDL_SCANCODE_LEFT] = {VK_LEFT, 0};
    map[SDL_SCANCODE_DOWN] = {VK_DOWN, 0};
    map[SDL_SCANCODE_UP] = {VK_UP, 0};
    map[SDL_SCANCODE_NUMLOCKCLEAR] = {0x90, 0};
    map[SDL_SCANCODE_KP_DIVIDE] = {0x6F, 0};
    map[SDL_SCANCODE_KP_MULTIPLY] = {0x6A, 0};
    map[SDL_SCANCODE_KP_MINUS] = {0x6D, 0};
    map[SDL_SCANCODE_KP_PLUS] = {0x6B, 0};
    map[SDL_SCANCODE_KP_ENTER] = {VK_RETURN, 0};
    for (int i = 0; i < 9; ++i)
        map[SDL_SCANCODE_KP_1 + i] = {static_cast<BYTE>(VK_NUMPAD0 + 1 + i), 0};
    map[SDL_SCANCODE_KP_0] = {VK_NUMPAD0, 0};
    map[SDL_SCANCODE_KP_PERIOD] = {0x6E, 0};
    map[SDL_SCANCODE_NONUSBACKSLASH] = {0xE2, 0};
    map[SDL_SCANCODE_INTERNATIONAL1] = {0xE2, 0};   // the "\ _" key of Japanese keyboards
    map[SDL_SCANCODE_INTERNATIONAL3] = {0xDC, 0};   // the yen key
    map[SDL_SCANCODE_LCTRL] = {VK_CONTROL, VK_LCONTROL};
    map[SDL_SCANCODE_RCTRL] = {VK_CONTROL, VK_RCONTROL};
    map[SDL_SCANCODE_LSHIFT] = {VK_SHIFT, VK_LSHIFT};
    map[SDL_SCANCODE_RSHIFT] = {VK_SHIFT, VK_RSHIFT};
    map[SDL_SCANCODE_LALT] = {VK_MENU, VK_LMENU};
    map[SDL_SCANCODE_RALT] = {VK_MENU, VK_RMENU};
    map[SDL_SCANCODE_LGUI] = {0x5B, 0};
    map[SDL_SCANCODE_RGUI] = {0x5C, 0};
    return map;
}

constexpr std::array<KeyMapEntry, kScancodeCount> KeyMap = BuildKeyMap();

std::array<std::atomic<uint8_t>, 256> KeyDown{};   // what readers see

std::mutex KeyLock;
std::array<bool, kScancodeCount> ScancodeDown{};   // under KeyLock
std::array<bool, 256> DirectDown{};                // under KeyLock

// Called with KeyLock held.
void Recompute(BYTE vk)
{
    if (vk == 0) return;
    bool down = DirectDown[vk];
    for (int sc = 0; sc < kScancodeCount && !down; ++sc)
        if (ScancodeDown[sc] && (KeyMap[sc].primary == vk || KeyMap[sc].sided == vk)) down = true;
    KeyDown[vk].store(down ? 1 : 0, std::memory_order_release);
}

}  // namespace

SHORT GetAsyncKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255) return 0;
    return KeyDown[static_cast<size_t>(virtualKey)].load(std::memory_order_acquire)
               ? static_cast<SHORT>(0x8000)
               : 0;
}

BYTE VirtualKeyFromScancode(int32_t scancode)
{
    if (scancode < 0 || scancode >= kScancodeCount) return 0;
    return KeyMap[static_cast<size_t>(scancode)].primary;
}

BYTE HostKeyEvent(int32_t scancode, bool down)
{
    if (scancode < 0 || scancode >= kScancodeCount) return 0;
    const KeyMapEntry entry = KeyMap[static_cast<size_t>(scancode)];
    if (entry.primary == 0) return 0;
    std::lock_guard<std::mutex> lock(KeyLock);
    ScancodeDown[static_cast<size_t>(scancode)] = down;
    Recompute(entry.primary);
    Recompute(entry.sided);
    return entry.primary;
}

void HostSetKeyDown(int virtualKey, bool down)
{
    if (virtualKey <= 0 || virtualKey > 255) return;
    std::lock_guard<std::mutex> lock(KeyLock);
    DirectDown[static_cast<size_t>(virtualKey)] = down;
    Recompute(static_cast<BYTE>(virtualKey));
}

void HostReleaseAllKeys()
{
    std::lock_guard<std::mutex> lock(KeyLock);
    ScancodeDown.fill(false);
    DirectDown.fill(false);
    for (auto& key : KeyDown) key.store(0, std::memory_order_release);
}
