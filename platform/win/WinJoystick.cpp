// The joystick table: sixteen numbered slots, each attached or not, with the last known position
// and buttons. The SDL host's event loop keeps the slots of real devices up to date from SDL's
// joystick events (so SDL is only called on that thread); the headless host and tests set slots
// directly. The game thread reads a slot under the lock with joyGetPosEx.
#include <SDL.h>

#include <array>
#include <mutex>

#include "platform/win/HostInput.h"
#include "platform/win/WinJoystick.h"

namespace {

constexpr uint32_t kCentre = 32768;

struct JoystickSlot {
    bool attached = false;
    uint32_t x = kCentre;
    uint32_t y = kCentre;
    uint32_t buttons = 0;
    SDL_Joystick* device = nullptr;   // null for a slot set by the script or a test
    SDL_JoystickID instance = -1;
};

std::mutex JoyLock;
std::array<JoystickSlot, JOYSTICK_MAX_DEVICES> Slots;   // under JoyLock

uint32_t AxisFromSdl(int16_t value)
{
    return static_cast<uint32_t>(static_cast<int32_t>(value) + 32768);
}

// Called with JoyLock held. Null when no slot has that SDL instance.
JoystickSlot* FindInstance(SDL_JoystickID instance)
{
    for (auto& slot : Slots)
        if (slot.attached && slot.device != nullptr && slot.instance == instance) return &slot;
    return nullptr;
}

uint32_t ClampAxis(uint32_t value)
{
    return value > 65535 ? 65535 : value;
}

}  // namespace

MMRESULT joyGetPosEx(UINT id, JOYINFOEX* info)
{
    if (info == nullptr || info->dwSize < sizeof(JOYINFOEX) || id >= JOYSTICK_MAX_DEVICES)
        return JOYERR_PARMS;
    std::lock_guard<std::mutex> lock(JoyLock);
    const JoystickSlot& slot = Slots[id];
    if (!slot.attached) return JOYERR_UNPLUGGED;
    if (info->dwFlags & JOY_RETURNX) info->dwXpos = slot.x;
    if (info->dwFlags & JOY_RETURNY) info->dwYpos = slot.y;
    if (info->dwFlags & JOY_RETURNBUTTONS) {
        info->dwButtons = slot.buttons;
        info->dwButtonNumber = static_cast<DWORD>(__builtin_popcount(slot.buttons));
    }
    return JOYERR_NOERROR;
}

UINT joyGetNumDevs()
{
    return JOYSTICK_MAX_DEVICES;
}

void HostJoystickAttach(uint32_t number)
{
    if (number >= JOYSTICK_MAX_DEVICES) return;
    std::lock_guard<std::mutex> lock(JoyLock);
    JoystickSlot& slot = Slots[number];
    if (slot.device != nullptr) return;   // a real device holds this number
    slot = JoystickSlot{};
    slot.attached = true;
}

void HostJoystickDetach(uint32_t number)
{
    if (number >= JOYSTICK_MAX_DEVICES) return;
    std::lock_guard<std::mutex> lock(JoyLock);
    JoystickSlot& slot = Slots[number];
    if (slot.device != nullptr) SDL_JoystickClose(slot.device);
    slot = JoystickSlot{};
}

void HostJoystickSetPosition(uint32_t number, uint32_t x, uint32_t y)
{
    if (number >= JOYSTICK_MAX_DEVICES) return;
    std::lock_guard<std::mutex> lock(JoyLock);
    Slots[number].x = ClampAxis(x);
    Slots[number].y = ClampAxis(y);
}

void HostJoystickSetButtons(uint32_t number, uint32_t buttons)
{
    if (number >= JOYSTICK_MAX_DEVICES) return;
    std::lock_guard<std::mutex> lock(JoyLock);
    Slots[number].buttons = buttons;
}

void HostJoystickDetachAll()
{
    std::lock_guard<std::mutex> lock(JoyLock);
    for (auto& slot : Slots) {
        if (slot.device != nullptr) SDL_JoystickClose(slot.device);
        slot = JoystickSlot{};
    }
}

bool HostHandleSdlJoystickEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_JOYDEVICEADDED: {
        SDL_Joystick* device = SDL_JoystickOpen(event.jdevice.which);
        if (device == nullptr) return true;
        const SDL_JoystickID instance = SDL_JoystickInstanceID(device);
        std::lock_guard<std::mutex> lock(JoyLock);
        if (FindInstance(instance) != nullptr) {
            SDL_JoystickClose(device);   // already known: drop the extra reference
            return true;
        }
        for (auto& slot : Slots) {
            if (slot.attached) continue;
            slot = JoystickSlot{};
            slot.attached = true;
            slot.device = device;
            slot.instance = instance;
            if (SDL_JoystickNumAxes(device) > 0) slot.x = AxisFromSdl(SDL_JoystickGetAxis(device, 0));
            if (SDL_JoystickNumAxes(device) > 1) slot.y = AxisFromSdl(SDL_JoystickGetAxis(device, 1));
            const int buttons = SDL_JoystickNumButtons(device);
            for (int b = 0; b < buttons && b < 32; ++b)
                if (SDL_JoystickGetButton(device, b)) slot.buttons |= 1u << b;
            return true;
        }
        SDL_JoystickClose(device);   // every number taken
        return true;
    }
    case SDL_JOYDEVICEREMOVED: {
        std::lock_guard<std::mutex> lock(JoyLock);
        if (JoystickSlot* slot = FindInstance(event.jdevice.which)) {
            SDL_JoystickClose(slot->device);
            *slot = JoystickSlot{};
        }
        return true;
    }
    case SDL_JOYAXISMOTION: {
        std::lock_guard<std::mutex> lock(JoyLock);
        if (JoystickSlot* slot = FindInstance(event.jaxis.which)) {
            if (event.jaxis.axis == 0) slot->x = AxisFromSdl(event.jaxis.value);
            if (event.jaxis.axis == 1) slot->y = AxisFromSdl(event.jaxis.value);
        }
        return true;
    }
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP: {
        std::lock_guard<std::mutex> lock(JoyLock);
        JoystickSlot* slot = FindInstance(event.jbutton.which);
        if (slot != nullptr && event.jbutton.button < 32) {
            const uint32_t bit = 1u << event.jbutton.button;
            if (event.jbutton.state == SDL_PRESSED)
                slot->buttons |= bit;
            else
                slot->buttons &= ~bit;
        }
        return true;
    }
    case SDL_JOYHATMOTION:
    case SDL_JOYBALLMOTION:
    case SDL_JOYBATTERYUPDATED:
        return true;
    default:
        return false;
    }
}
