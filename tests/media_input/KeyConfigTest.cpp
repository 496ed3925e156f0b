#include <cstring>

#include "InputTestSupport.h"
#include "platform/host/Host.h"

namespace {

void PutInt32(std::string& bytes, size_t at, int32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

void PutUint16(std::string& bytes, size_t at, uint16_t value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

// A full 108-byte file: binding i has device devices[i] and code codes[i].
std::string MakeConfigFile(const int32_t devices[12], const uint16_t codes[12], int32_t count,
                           int32_t joysticks, int32_t use)
{
    std::string bytes(108, '\0');
    for (size_t i = 0; i < 12; ++i) {
        PutInt32(bytes, i * 8, devices[i]);
        PutUint16(bytes, i * 8 + 4, codes[i]);
        PutUint16(bytes, i * 8 + 6, static_cast<uint16_t>(0xBEE0 + i));
    }
    PutInt32(bytes, 96, count);
    PutInt32(bytes, 100, joysticks);
    PutInt32(bytes, 104, use);
    return bytes;
}

const int32_t kDevices[12] = {0, 0, 0, 0, 1, 8, 8, 8, 8, 8, 8, 8};
const uint16_t kCodes[12] = {0x100, 0x200, 0x400, 0x800, 0x1, 'Q', 'W', 'E', 'R', 'T', 'Y', 'U'};

}  // namespace

using KeyConfigTest = InputTest;

TEST_F(KeyConfigTest, ReadsEveryFieldOfTheRawFile)
{
    WriteBytes("user_data/KeyConfig.dat", MakeConfigFile(kDevices, kCodes, 12, 2, 1));
    KeyConfigData config{};
    ASSERT_EQ(ReadKeyConfigFile("user_data\\KeyConfig.dat", config), 1);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(config.Bind[i].nDevice, kDevices[i]) << i;
        EXPECT_EQ(config.Bind[i].wCode, kCodes[i]) << i;
        EXPECT_EQ(config.Bind[i].wReserved, 0xBEE0 + i) << i;
    }
    EXPECT_EQ(config.nCount, 12);
    EXPECT_EQ(config.nJoyCount, 2);
    EXPECT_EQ(config.bUseConfig, 1);
}

TEST_F(KeyConfigTest, MissingFileReturnsZeroAndLeavesTheRecord)
{
    KeyConfigData config{};
    config.nCount = 7;
    EXPECT_EQ(ReadKeyConfigFile("user_data\\KeyConfig.dat", config), 0);
    EXPECT_EQ(config.nCount, 7);
}

TEST_F(KeyConfigTest, ShortFileFillsWhatItHoldsAndKeepsTheRest)
{
    // 100 bytes: the twelve bindings and the entry count; the joystick count and the flag stay.
    std::string bytes = MakeConfigFile(kDevices, kCodes, 6, 2, 1).substr(0, 100);
    WriteBytes("KeyConfig.dat", bytes);
    KeyConfigData config{};
    config.nJoyCount = 3;
    config.bUseConfig = 0;
    ASSERT_EQ(ReadKeyConfigFile("KeyConfig.dat", config), 1);
    EXPECT_EQ(config.Bind[11].wCode, 'U');
    EXPECT_EQ(config.nCount, 6);
    EXPECT_EQ(config.nJoyCount, 3);
    EXPECT_EQ(config.bUseConfig, 0);

    // 3 bytes do not make a whole field: nothing changes.
    WriteBytes("Tiny.dat", std::string("\x05\x00\x00", 3));
    KeyConfigData tiny{};
    tiny.Bind[0].nDevice = 8;
    ASSERT_EQ(ReadKeyConfigFile("Tiny.dat", tiny), 1);
    EXPECT_EQ(tiny.Bind[0].nDevice, 8);
}

TEST_F(KeyConfigTest, CountsOutsideWhatThePlayerServesAreBroughtIntoRange)
{
    struct Case {
        int32_t count, joysticks, wantCount, wantJoysticks;
    } cases[] = {
        {12, 16, 12, 16}, {13, 17, 12, 16}, {-1, -5, 0, 0}, {0x7FFFFFFF, 0x7FFFFFFF, 12, 16}, {4, 0, 4, 0},
    };
    for (const Case& c : cases) {
        WriteBytes("KeyConfig.dat", MakeConfigFile(kDevices, kCodes, c.count, c.joysticks, 1));
        KeyConfigData config{};
        ASSERT_EQ(ReadKeyConfigFile("KeyConfig.dat", config), 1);
        EXPECT_EQ(config.nCount, c.wantCount) << c.count;
        EXPECT_EQ(config.nJoyCount, c.wantJoysticks) << c.joysticks;
    }
}

TEST_F(KeyConfigTest, DefaultsAreArrowsAndZxcvasdfWithJoystickZero)
{
    KeyConfigData config{};
    for (auto& b : config.Bind) b.wReserved = 0x1234;
    config.bUseConfig = 1;
    DefaultKeyConfig(config);
    const uint16_t want[12] = {0x25, 0x27, 0x26, 0x28, 0x5A, 0x58, 0x43, 0x56, 0x41, 0x53, 0x44, 0x46};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(config.Bind[i].nDevice, 8);
        EXPECT_EQ(config.Bind[i].wCode, want[i]);
        EXPECT_EQ(config.Bind[i].wReserved, 0x1234);
    }
    EXPECT_EQ(config.nCount, 12);
    EXPECT_EQ(config.nJoyCount, 1);
    EXPECT_EQ(config.bUseConfig, 0);
}
