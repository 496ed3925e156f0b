#pragma once
// The key configuration: the raw 108-byte image of "user_data\KeyConfig.dat". The player reads
// it once at start-up and never writes it.
#include <cstdint>

constexpr int32_t KEYCONFIG_ENTRIES = 12;        // left, right, up, down, buttons 1 to 8
constexpr int32_t KEYCONFIG_DEVICE_KEYBOARD = 8; // any other device value is a joystick number
constexpr int32_t KEYCONFIG_FILE_SIZE = 108;

// Axis codes of a joystick binding of the four direction entries.
constexpr uint16_t KEYCONFIG_AXIS_LEFT = 0x100;    // X <= 10000
constexpr uint16_t KEYCONFIG_AXIS_RIGHT = 0x200;   // X >= 55535
constexpr uint16_t KEYCONFIG_AXIS_UP = 0x400;      // Y <= 10000
constexpr uint16_t KEYCONFIG_AXIS_DOWN = 0x800;    // Y >= 55535

struct KeyBinding {
    int32_t nDevice;    // 8 = keyboard, else a joystick number
    uint16_t wCode;     // virtual-key code, or a joystick button mask or axis code
    uint16_t wReserved; // never read
};
static_assert(sizeof(KeyBinding) == 8);

struct KeyConfigData {
    KeyBinding Bind[KEYCONFIG_ENTRIES];
    int32_t nCount;      // entries in use (buttons are entries 4 to count - 1)
    int32_t nJoyCount;   // joysticks read each frame by the configured layout: 0 to count - 1
    int32_t bUseConfig;  // 0 = built-in layout, else the configured bindings
};
static_assert(sizeof(KeyConfigData) == KEYCONFIG_FILE_SIZE);

extern KeyConfigData KeyConfig;

// Reads the file over the record: 1 when it could be opened (a short file fills what it holds and
// leaves the rest as it was), 0 when it could not. Counts beyond what the player can serve are
// brought into range.
int ReadKeyConfigFile(const char* path, KeyConfigData& config);
// Arrows, Z X C V A S D F, joystick 0, built-in layout. The reserved halves are left alone.
void DefaultKeyConfig(KeyConfigData& config);
