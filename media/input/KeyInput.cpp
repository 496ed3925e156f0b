#include "media/input/KeyInput.h"

#include <cstring>

#include "media/input/KeyConfig.h"
#include "platform/win/WinKeyboard.h"

namespace {

constexpr DWORD kJoyLow = 10000;
constexpr DWORD kJoyHigh = 55535;

bool KeyIsDown(int virtualKey)
{
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

int32_t ClampCount(int32_t value, int32_t maximum)
{
    return value < 0 ? 0 : (value > maximum ? maximum : value);
}

}  // namespace

bool TestAxisCode(const JOYINFOEX& position, uint16_t code)
{
    switch (code) {
    case 0x100: return position.dwXpos <= kJoyLow;
    case 0x200: return position.dwXpos >= kJoyHigh;
    case 0x400: return position.dwYpos <= kJoyLow;
    case 0x800: return position.dwYpos >= kJoyHigh;
    default: return false;
    }
}

cKeyInput::cKeyInput()
    : m_wDirection(0), m_wButton(0), m_wRawDirHistory(0), m_History{}, m_nHistoryIndex{0, 0},
      m_nDirCode(0), m_nRepeatH(0), m_nRepeatV(0), m_nRepeatDelay(0), m_nRepeatInterval(0),
      m_bLatch(0), m_wJoyButtonMap{}, m_bJoyAvailable{}, m_nJoyRetry{}
{
    ClearKeyHistory();
    TrimKeyEvents();
}

cKeyInput::~cKeyInput() = default;

void cKeyInput::ResetJoyButtonMap()
{
    for (int i = 0; i < 8; ++i) m_wJoyButtonMap[i] = static_cast<uint16_t>(1u << i);
}

void cKeyInput::SetAutoRepeat(int32_t delay, int32_t interval)
{
    m_nRepeatDelay = delay;
    m_nRepeatInterval = interval;
}

int32_t cKeyInput::DirectionFromKeys(uint16_t direction)
{
    int32_t code = 5;
    if (direction & 0x1)
        code = 4;
    else if (direction & 0x2)
        code = 6;
    if (direction & 0x4)
        code -= 3;
    else if (direction & 0x8)
        code += 3;
    return code;
}

int32_t cKeyInput::DirectionFromKeys() const
{
    return DirectionFromKeys(m_wDirection);
}

void cKeyInput::ClearDirectionInput()
{
    m_wDirection = 0;
    m_nDirCode = 5;
}

void cKeyInput::ClearButtonInput()
{
    m_wButton = 0;
}

bool cKeyInput::ReadJoystick(int32_t joystick, int32_t retryFrames, JOYINFOEX* info)
{
    if (joystick < 0 || joystick >= KEY_JOYSTICKS) return false;
    // Each joystick waits out its own failures, so a missing pad does not silence the others.
    if (!m_bJoyAvailable[joystick] && m_nJoyRetry[joystick] > 0) {
        --m_nJoyRetry[joystick];
        return false;
    }
    std::memset(info, 0, sizeof(*info));
    info->dwSize = sizeof(JOYINFOEX);
    info->dwFlags = JOY_RETURNX | JOY_RETURNY | JOY_RETURNBUTTONS;
    if (joyGetPosEx(static_cast<UINT>(joystick), info) != JOYERR_NOERROR) {
        m_bJoyAvailable[joystick] = 0;
        const int64_t wait = 2 * static_cast<int64_t>(retryFrames);
        m_nJoyRetry[joystick] = wait < 0 ? 0 : (wait > INT32_MAX ? INT32_MAX : static_cast<int32_t>(wait));
        return false;
    }
    m_bJoyAvailable[joystick] = 1;
    return true;
}

int cKeyInput::PollInput(int32_t joystick, int32_t flags, int32_t retryFrames)
{
    if (KeyConfig.bUseConfig) return 0;

    bool joyDirection = false;
    bool joyButtons = false;
    JOYINFOEX info;
    if (ReadJoystick(joystick, retryFrames, &info) && (flags & 1)) {
        m_nDirCode = 5;
        m_wDirection = 0;
        if (info.dwXpos <= kJoyLow) {
            m_nDirCode = 4;
            m_wDirection = 0x1;
        } else if (info.dwXpos >= kJoyHigh) {
            m_nDirCode = 6;
            m_wDirection = 0x2;
        }
        if (info.dwYpos <= kJoyLow) {
            m_wDirection |= 0x4;
            m_nDirCode -= 3;
        } else if (info.dwYpos >= kJoyHigh) {
            m_wDirection |= 0x8;
            m_nDirCode += 3;
        }
        joyDirection = m_nDirCode != 5;
        uint16_t buttons = 0;
        for (int i = 0; i < 8; ++i)
            if (m_wJoyButtonMap[i] & info.dwButtons) buttons |= static_cast<uint16_t>(1u << i);
        m_wButton = buttons;
        joyButtons = buttons != 0;
    }
    if (!(flags & 2)) return 1;

    if (!joyDirection) {
        // Opposite arrows held together set both bits and cancel out in the code.
        m_nDirCode = 5;
        m_wDirection = 0;
        static const struct {
            int key;
            uint16_t bit;
            int32_t step;
        } arrows[4] = {{VK_LEFT, 0x1, -1}, {VK_RIGHT, 0x2, 1}, {VK_UP, 0x4, -3}, {VK_DOWN, 0x8, 3}};
        for (const auto& arrow : arrows) {
            if (!KeyIsDown(arrow.key)) continue;
            m_wDirection |= arrow.bit;
            m_nDirCode += arrow.step;
        }
    }
    if (!joyButtons) {
        static const int keys[8] = {'Z', 'X', 'C', 'V', 'A', 'S', 'D', 'F'};
        m_wButton = 0;
        for (int i = 0; i < 8; ++i)
            if (KeyIsDown(keys[i])) m_wButton |= static_cast<uint16_t>(1u << i);
    }
    return 1;
}

int cKeyInput::PollConfiguredInput(int32_t playerCount, int32_t retryFrames)
{
    if (!KeyConfig.bUseConfig) return 0;

    // The counts come from the player's file: never walk past the joysticks or entries that exist.
    const int32_t joyCount = ClampCount(KeyConfig.nJoyCount, KEY_JOYSTICKS);
    const int32_t entryCount = ClampCount(KeyConfig.nCount, KEYCONFIG_ENTRIES);
    bool read[KEY_JOYSTICKS] = {};
    JOYINFOEX info[KEY_JOYSTICKS];
    for (int32_t j = 0; j < joyCount; ++j) read[j] = ReadJoystick(j, retryFrames, &info[j]);

    // The configuration holds one player's bindings; this state is that player's.
    if (playerCount < 1) return 1;

    auto down = [&](int32_t entry) {
        const KeyBinding& binding = KeyConfig.Bind[entry];
        if (binding.nDevice == KEYCONFIG_DEVICE_KEYBOARD) return KeyIsDown(binding.wCode);
        // A joystick number the configuration does not read counts as released.
        if (binding.nDevice < 0 || binding.nDevice >= joyCount || !read[binding.nDevice])
            return false;
        const JOYINFOEX& position = info[binding.nDevice];
        if (entry < 4 && TestAxisCode(position, binding.wCode)) return true;
        return (position.dwButtons & binding.wCode) != 0;
    };

    m_nDirCode = 5;
    m_wDirection = 0;
    m_wButton = 0;
    if (down(0)) {
        m_wDirection |= 0x1;
        m_nDirCode -= 1;
    } else if (down(1)) {
        m_wDirection |= 0x2;
        m_nDirCode += 1;
    }
    if (down(2)) {
        m_wDirection |= 0x4;
        m_nDirCode -= 3;
    } else if (down(3)) {
        m_wDirection |= 0x8;
        m_nDirCode += 3;
    }
    for (int32_t j = 0; j + 4 < entryCount; ++j)
        if (down(4 + j)) m_wButton |= static_cast<uint16_t>(1u << j);
    return 1;
}
