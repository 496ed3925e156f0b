#include "InputTestSupport.h"
#include "platform/win/HostInput.h"
#include "platform/win/WinKeyboard.h"

using PollTest = InputTest;

namespace {

struct PollCase {
    const char* name;
    std::initializer_list<int> keys;
    bool joystick;          // joystick 0 attached
    uint32_t x, y, buttons; // its state
    uint16_t wantDirection;
    int32_t wantCode;
    uint16_t wantButtons;
};

}  // namespace

TEST_F(PollTest, BuiltInLayoutCombinesJoystickAndKeyboard)
{
    const PollCase cases[] = {
        {"nothing", {}, false, 0, 0, 0, 0x0, 5, 0x00},
        {"left arrow", {VK_LEFT}, false, 0, 0, 0, 0x1, 4, 0x00},
        {"opposite arrows cancel in the code", {VK_LEFT, VK_RIGHT}, false, 0, 0, 0, 0x3, 5, 0x00},
        {"up and down", {VK_UP, VK_DOWN}, false, 0, 0, 0, 0xC, 5, 0x00},
        {"down-right", {VK_DOWN, VK_RIGHT}, false, 0, 0, 0, 0xA, 9, 0x00},
        {"all eight buttons", {'Z', 'X', 'C', 'V', 'A', 'S', 'D', 'F'}, false, 0, 0, 0, 0, 5, 0xFF},
        {"Z and F", {'Z', 'F'}, false, 0, 0, 0, 0, 5, 0x81},
        {"stick left overrides arrows", {VK_RIGHT, VK_DOWN}, true, 10000, 32768, 0, 0x1, 4, 0},
        {"stick up-right", {}, true, 55535, 0, 0, 0x6, 3, 0},
        {"stick just inside the dead zone", {}, true, 10001, 55534, 0, 0x0, 5, 0},
        {"centred stick lets arrows through", {VK_UP}, true, 32768, 32768, 0, 0x4, 2, 0},
        {"joystick button hides keyboard buttons", {'X', 'C'}, true, 32768, 32768, 0x1, 0, 5, 0x01},
        {"no joystick button: keyboard buttons", {'X'}, true, 32768, 32768, 0, 0, 5, 0x02},
        {"high joystick buttons are not mapped", {'V'}, true, 32768, 32768, 0x100, 0, 5, 0x08},
    };
    for (const PollCase& c : cases) {
        SCOPED_TRACE(c.name);
        HostJoystickDetachAll();
        if (c.joystick) {
            HostJoystickAttach(0);
            HostJoystickSetPosition(0, c.x, c.y);
            HostJoystickSetButtons(0, c.buttons);
        }
        HoldKeys(c.keys);
        cKeyInput input;
        input.ResetJoyButtonMap();
        EXPECT_EQ(input.PollInput(0, 3, 60), 1);
        EXPECT_EQ(input.m_wDirection, c.wantDirection);
        EXPECT_EQ(input.m_nDirCode, c.wantCode);
        EXPECT_EQ(input.m_wButton, c.wantButtons);
    }
}

TEST_F(PollTest, FlagsChooseTheDevices)
{
    HostJoystickAttach(0);
    HostJoystickSetPosition(0, 0, 32768);
    HoldKeys({VK_RIGHT, 'Z'});
    cKeyInput input;
    input.ResetJoyButtonMap();

    input.PollInput(0, 2, 60);   // keyboard only
    EXPECT_EQ(input.m_wDirection, 0x2);
    EXPECT_EQ(input.m_wButton, 0x1);

    input.PollInput(0, 1, 60);   // joystick only
    EXPECT_EQ(input.m_wDirection, 0x1);
    EXPECT_EQ(input.m_wButton, 0x0);
}

TEST_F(PollTest, JoyButtonMapChoosesWhichJoystickButtonIsWhichButton)
{
    HostJoystickAttach(0);
    HostJoystickSetButtons(0, 0x4);
    cKeyInput input;
    input.ResetJoyButtonMap();
    input.m_wJoyButtonMap[1] = 0x4;   // joystick button 3 as button 2
    input.PollInput(0, 3, 60);
    EXPECT_EQ(input.m_wButton, 0x6);  // button 2 by the map change, button 3 by the plain map
}

TEST_F(PollTest, PollingModeFollowsTheUseConfigurationFlag)
{
    HoldKeys({VK_LEFT});
    cKeyInput input;
    input.m_wDirection = 0xF;
    KeyConfig.bUseConfig = 1;
    EXPECT_EQ(input.PollInput(0, 3, 60), 0);
    EXPECT_EQ(input.m_wDirection, 0xF);
    EXPECT_EQ(input.PollConfiguredInput(1, 60), 1);
    EXPECT_EQ(input.m_wDirection, 0x1);

    KeyConfig.bUseConfig = 0;
    input.m_wDirection = 0xF;
    EXPECT_EQ(input.PollConfiguredInput(1, 60), 0);
    EXPECT_EQ(input.m_wDirection, 0xF);
}

TEST_F(PollTest, FailingJoystickIsSkippedFor120FramesAndAskedAgainOnThe121st)
{
    cKeyInput input;
    input.ResetJoyButtonMap();
    // Frame 0: the joystick is missing; the keyboard decides.
    HoldKeys({VK_UP});
    input.PollInput(0, 3, 60);
    EXPECT_EQ(input.m_wDirection, 0x4);
    EXPECT_EQ(input.m_bJoyAvailable[0], 0);

    // It comes back at once, but is not asked for the next 120 frames.
    HostJoystickAttach(0);
    HostJoystickSetPosition(0, 0, 32768);
    for (int frame = 1; frame <= 120; ++frame) {
        input.PollInput(0, 3, 60);
        ASSERT_EQ(input.m_wDirection, 0x4) << "frame " << frame;
    }
    input.PollInput(0, 3, 60);   // frame 121
    EXPECT_EQ(input.m_wDirection, 0x1);
    EXPECT_EQ(input.m_bJoyAvailable[0], 1);

    // It disappears while in use: the stick no longer counts on that very frame.
    HostJoystickDetach(0);
    input.PollInput(0, 3, 60);
    EXPECT_EQ(input.m_wDirection, 0x4);
    EXPECT_EQ(input.m_nJoyRetry[0], 120);
}

namespace {

// Configured layout: left, right, up, down and buttons 1 to 8 on keys, unless changed.
void KeyboardConfig()
{
    DefaultKeyConfig(KeyConfig);
    KeyConfig.bUseConfig = 1;
}

}  // namespace

TEST_F(PollTest, ConfiguredLayoutLetsLeftBeatRightAndUpBeatDown)
{
    KeyboardConfig();
    struct {
        std::initializer_list<int> keys;
        uint16_t direction;
        int32_t code;
    } cases[] = {
        {{VK_LEFT, VK_RIGHT}, 0x1, 4},
        {{VK_UP, VK_DOWN}, 0x4, 2},
        {{VK_RIGHT, VK_DOWN}, 0xA, 9},
        {{VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}, 0x5, 1},
        {{}, 0x0, 5},
    };
    for (const auto& c : cases) {
        HoldKeys(c.keys);
        cKeyInput input;
        input.PollConfiguredInput(1, 60);
        EXPECT_EQ(input.m_wDirection, c.direction);
        EXPECT_EQ(input.m_nDirCode, c.code);
    }
}

TEST_F(PollTest, ConfiguredJoystickBindingsUseAxisCodesAndButtonMasks)
{
    KeyboardConfig();
    KeyConfig.nJoyCount = 2;
    KeyConfig.Bind[0] = {1, 0x100, 0};   // left: joystick 1 X low
    KeyConfig.Bind[3] = {1, 0x800, 0};   // down: joystick 1 Y high
    KeyConfig.Bind[2] = {0, 0x10, 0};    // up: joystick 0 button 5
    KeyConfig.Bind[4] = {0, 0x3, 0};     // button 1: joystick 0 button 1 or 2
    KeyConfig.Bind[11] = {1, 0x8, 0};    // button 8: joystick 1 button 4
    HostJoystickAttach(0);
    HostJoystickAttach(1);
    HostJoystickSetPosition(1, 0, 65535);
    HostJoystickSetButtons(0, 0x2);
    HostJoystickSetButtons(1, 0x8);
    cKeyInput input;
    input.PollConfiguredInput(1, 60);
    EXPECT_EQ(input.m_wDirection, 0x9);
    EXPECT_EQ(input.m_nDirCode, 7);
    EXPECT_EQ(input.m_wButton, 0x81);

    // An axis code on a button entry is a plain mask: 0x100 is joystick button 9.
    KeyConfig.Bind[5] = {0, 0x100, 0};
    HostJoystickSetButtons(0, 0x10);
    HostJoystickSetPosition(0, 0, 32768);
    input.PollConfiguredInput(1, 60);
    EXPECT_EQ(input.m_wDirection, 0x4 | 0x1 | 0x0);   // up by button 5, left by joystick 1
    EXPECT_EQ(input.m_wButton & 0x2, 0);
}

TEST_F(PollTest, ConfiguredBindingsOutsideTheConfiguredJoysticksReadAsReleased)
{
    KeyboardConfig();
    KeyConfig.nJoyCount = 1;
    KeyConfig.Bind[4] = {5, 0x1, 0};          // joystick 5 is not read
    KeyConfig.Bind[5] = {-3, 0x1, 0};         // no such number
    KeyConfig.Bind[6] = {0x7FFFFFFF, 0x1, 0};
    for (uint32_t j = 0; j < 16; ++j) {
        HostJoystickAttach(j);
        HostJoystickSetButtons(j, 0x1);
    }
    cKeyInput input;
    input.PollConfiguredInput(1, 60);
    EXPECT_EQ(input.m_wButton, 0);
}

TEST_F(PollTest, ConfiguredEntryCountLimitsTheButtons)
{
    KeyboardConfig();
    HoldKeys({'Z', 'X', 'C', 'V', 'A', 'S', 'D', 'F'});
    struct {
        int32_t count;
        uint16_t buttons;
    } cases[] = {{12, 0xFF}, {6, 0x03}, {4, 0x00}, {0, 0x00}, {99, 0xFF}, {-7, 0x00}};
    for (const auto& c : cases) {
        KeyConfig.nCount = c.count;
        cKeyInput input;
        input.PollConfiguredInput(1, 60);
        EXPECT_EQ(input.m_wButton, c.buttons) << c.count;
    }
}

TEST_F(PollTest, EachConfiguredJoystickWaitsOutItsOwnFailure)
{
    KeyboardConfig();
    KeyConfig.nJoyCount = 2;
    KeyConfig.Bind[4] = {1, 0x1, 0};   // button 1 on joystick 1
    HostJoystickAttach(1);
    HostJoystickSetButtons(1, 0x1);
    cKeyInput input;
    // Joystick 0 is missing on every frame; joystick 1 is read on every frame all the same.
    for (int frame = 0; frame < 200; ++frame) {
        HostJoystickSetButtons(1, frame % 2 ? 0x1 : 0x0);
        input.PollConfiguredInput(1, 60);
        ASSERT_EQ(input.m_wButton, frame % 2 ? 0x1 : 0x0) << "frame " << frame;
    }
    EXPECT_EQ(input.m_bJoyAvailable[0], 0);
    EXPECT_EQ(input.m_bJoyAvailable[1], 1);
}

TEST_F(PollTest, HugeConfiguredJoystickCountIsSafe)
{
    KeyboardConfig();
    KeyConfig.nJoyCount = 1000;
    HoldKeys({VK_DOWN});
    cKeyInput input;
    EXPECT_EQ(input.PollConfiguredInput(1, 60), 1);
    EXPECT_EQ(input.m_wDirection, 0x8);
}

TEST_F(PollTest, BuiltInLayoutWithAJoystickNumberOutOfRangeUsesTheKeyboard)
{
    HoldKeys({VK_LEFT});
    cKeyInput input;
    EXPECT_EQ(input.PollInput(99, 3, 60), 1);
    EXPECT_EQ(input.m_wDirection, 0x1);
    EXPECT_EQ(input.PollInput(-1, 3, 60), 1);
    EXPECT_EQ(input.m_wDirection, 0x1);
}

TEST_F(PollTest, ScriptedFramesDriveThePolledWords)
{
    std::string error;
    ASSERT_TRUE(HostLoadInputScript("# a short run\n"
                                    "0 joy 0 attach\n"
                                    "0 down RIGHT\n"
                                    "2 down z\n"
                                    "3 up RIGHT\n"
                                    "3 up Z\n"
                                    "4 joy 0 pos 32768 0\n"
                                    "5 joy 0 buttons 0x2\n"
                                    "6 joy 0 detach\n",
                                    &error))
        << error;
    struct {
        uint16_t direction, buttons;
    } want[] = {{0x2, 0}, {0x2, 0}, {0x2, 0x1}, {0, 0}, {0x4, 0}, {0x4, 0x2}, {0, 0}};
    cKeyInput input;
    input.ResetJoyButtonMap();
    for (size_t frame = 0; frame < std::size(want); ++frame) {
        input.PollInput(0, 3, 60);
        EXPECT_EQ(input.m_wDirection, want[frame].direction) << "frame " << frame;
        EXPECT_EQ(input.m_wButton, want[frame].buttons) << "frame " << frame;
        HostAdvanceInputFrame();
    }
}
