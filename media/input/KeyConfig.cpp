#include "media/input/KeyConfig.h"

#include <cstring>

#include "core/Log.h"
#include "platform/win/WinFile.h"
#include "platform/win/WinJoystick.h"
#include "platform/win/WinKeyboard.h"

KeyConfigData KeyConfig{};

namespace {

int32_t ReadInt32(const unsigned char* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

uint16_t ReadUint16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

int ReadKeyConfigFile(const char* path, KeyConfigData& config)
{
    FILE* file = PlatformFopen(path, "rb");
    if (file == nullptr) return 0;
    unsigned char bytes[KEYCONFIG_FILE_SIZE];
    const size_t got = std::fread(bytes, 1, sizeof(bytes), file);
    std::fclose(file);

    // The file is the record's image, little-endian; bytes beyond a short file keep the record's
    // values. Each field is decoded only when all of its bytes were read.
    for (int32_t i = 0; i < KEYCONFIG_ENTRIES; ++i) {
        const size_t at = static_cast<size_t>(i) * 8;
        if (got >= at + 4) config.Bind[i].nDevice = ReadInt32(bytes + at);
        if (got >= at + 6) config.Bind[i].wCode = ReadUint16(bytes + at + 4);
        if (got >= at + 8) config.Bind[i].wReserved = ReadUint16(bytes + at + 6);
    }
    if (got >= 100) config.nCount = ReadInt32(bytes + 96);
    if (got >= 104) config.nJoyCount = ReadInt32(bytes + 100);
    if (got >= 108) config.bUseConfig = ReadInt32(bytes + 104);

    // The polling loops are bounded by these two counts: keep them within what exists.
    if (config.nCount < 0 || config.nCount > KEYCONFIG_ENTRIES) {
        WriteReportLog("KeyConfig : entry count %d out of range", config.nCount);
        config.nCount = config.nCount < 0 ? 0 : KEYCONFIG_ENTRIES;
    }
    const int32_t maxJoysticks = static_cast<int32_t>(JOYSTICK_MAX_DEVICES);
    if (config.nJoyCount < 0 || config.nJoyCount > maxJoysticks) {
        WriteReportLog("KeyConfig : joystick count %d out of range", config.nJoyCount);
        config.nJoyCount = config.nJoyCount < 0 ? 0 : maxJoysticks;
    }
    return 1;
}

void DefaultKeyConfig(KeyConfigData& config)
{
    static const uint16_t codes[KEYCONFIG_ENTRIES] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN,
                                                       'Z', 'X', 'C', 'V', 'A', 'S', 'D', 'F'};
    for (int32_t i = 0; i < KEYCONFIG_ENTRIES; ++i) {
        config.Bind[i].nDevice = KEYCONFIG_DEVICE_KEYBOARD;
        config.Bind[i].wCode = codes[i];
    }
    config.nCount = KEYCONFIG_ENTRIES;
    config.nJoyCount = 1;
    config.bUseConfig = 0;
}
