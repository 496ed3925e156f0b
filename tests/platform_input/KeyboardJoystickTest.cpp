#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/host/Host.h"
#include "platform/win/HostInput.h"
#include "platform/win/WinJoystick.h"
#include "platform/win/WinKeyboard.h"

namespace {

class HostInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostSelect(HostKind::Headless);
        HostClearInputScript();
        HostReleaseAllKeys();
        HostJoystickDetachAll();
    }
    void TearDown() override
    {
        HostClearInputScript();
        HostReleaseAllKeys();
        HostJoystickDetachAll();
    }
};

bool Down(int vk)
{
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

}  // namespace

TEST_F(HostInputTest, HostKeysMapToVirtualKeys)
{
    const struct {
        SDL_Scancode scancode;
        int vk;
    } cases[] = {
        {SDL_SCANCODE_LEFT, VK_LEFT}, {SDL_SCANCODE_RIGHT, VK_RIGHT}, {SDL_SCANCODE_UP, VK_UP},
        {SDL_SCANCODE_DOWN, VK_DOWN}, {SDL_SCANCODE_Z, 'Z'},          {SDL_SCANCODE_A, 'A'},
        {SDL_SCANCODE_0, '0'},        {SDL_SCANCODE_9, '9'},          {SDL_SCANCODE_ESCAPE, VK_ESCAPE},
        {SDL_SCANCODE_RETURN, VK_RETURN}, {SDL_SCANCODE_KP_ENTER, VK_RETURN},
        {SDL_SCANCODE_SPACE, VK_SPACE}, {SDL_SCANCODE_F12, VK_F12},   {SDL_SCANCODE_KP_0, VK_NUMPAD0},
        {SDL_SCANCODE_LSHIFT, VK_SHIFT}, {SDL_SCANCODE_RCTRL, VK_CONTROL},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VirtualKeyFromScancode(c.scancode), c.vk) << c.scancode;
        EXPECT_FALSE(Down(c.vk));
        EXPECT_EQ(HostKeyEvent(c.scancode, true), c.vk);
        EXPECT_TRUE(Down(c.vk)) << c.scancode;
        HostKeyEvent(c.scancode, false);
        EXPECT_FALSE(Down(c.vk)) << c.scancode;
    }
    EXPECT_EQ(VirtualKeyFromScancode(-1), 0);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_NUM_SCANCODES), 0);
    EXPECT_EQ(HostKeyEvent(SDL_SCANCODE_UNKNOWN, true), 0);
}

TEST_F(HostInputTest, KeySharedByTwoHostKeysStaysDownWhileEitherIsHeld)
{
    HostKeyEvent(SDL_SCANCODE_LSHIFT, true);
    HostKeyEvent(SDL_SCANCODE_RSHIFT, true);
    HostKeyEvent(SDL_SCANCODE_LSHIFT, false);
    EXPECT_TRUE(Down(VK_SHIFT));
    EXPECT_TRUE(Down(0xA1));    // right shift
    EXPECT_FALSE(Down(0xA0));   // left shift
    HostKeyEvent(SDL_SCANCODE_RSHIFT, false);
    EXPECT_FALSE(Down(VK_SHIFT));

    // A repeated key-down event from the host changes nothing.
    HostKeyEvent(SDL_SCANCODE_KP_ENTER, true);
    HostKeyEvent(SDL_SCANCODE_KP_ENTER, true);
    HostKeyEvent(SDL_SCANCODE_RETURN, true);
    HostKeyEvent(SDL_SCANCODE_KP_ENTER, false);
    EXPECT_TRUE(Down(VK_RETURN));
    HostKeyEvent(SDL_SCANCODE_RETURN, false);
    EXPECT_FALSE(Down(VK_RETURN));
}

TEST_F(HostInputTest, KeyStateOutOfRangeReadsUp)
{
    HostSetKeyDown(0x41, true);
    EXPECT_EQ(GetAsyncKeyState(0x41), static_cast<SHORT>(0x8000));
    EXPECT_EQ(GetAsyncKeyState(0x141), 0);
    EXPECT_EQ(GetAsyncKeyState(-1), 0);
    HostSetKeyDown(300, true);   // ignored
    HostReleaseAllKeys();
    EXPECT_EQ(GetAsyncKeyState(0x41), 0);
}

TEST_F(HostInputTest, KeyTableIsReadSafelyWhileAnotherThreadWritesIt)
{
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) HostKeyEvent(SDL_SCANCODE_X, i % 2 == 0);
        HostKeyEvent(SDL_SCANCODE_X, false);
        stop = true;
    });
    int seenDown = 0;
    while (!stop) {
        const SHORT s = GetAsyncKeyState('X');
        EXPECT_TRUE(s == 0 || s == static_cast<SHORT>(0x8000));
        seenDown += s != 0;
    }
    writer.join();
    EXPECT_FALSE(Down('X'));
}

TEST_F(HostInputTest, JoystickReadsPositionButtonsAndErrors)
{
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNX | JOY_RETURNY | JOY_RETURNBUTTONS;
    EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_UNPLUGGED);
    EXPECT_EQ(joyGetPosEx(16, &info), JOYERR_PARMS);
    EXPECT_EQ(joyGetPosEx(0, nullptr), JOYERR_PARMS);

    HostJoystickAttach(3);
    ASSERT_EQ(joyGetPosEx(3, &info), JOYERR_NOERROR);
    EXPECT_EQ(info.dwXpos, 32768u);
    EXPECT_EQ(info.dwYpos, 32768u);
    EXPECT_EQ(info.dwButtons, 0u);

    HostJoystickSetPosition(3, 0, 70000);   // beyond the range: clamped
    HostJoystickSetButtons(3, 0x105);
    ASSERT_EQ(joyGetPosEx(3, &info), JOYERR_NOERROR);
    EXPECT_EQ(info.dwXpos, 0u);
    EXPECT_EQ(info.dwYpos, 65535u);
    EXPECT_EQ(info.dwButtons, 0x105u);
    EXPECT_EQ(info.dwButtonNumber, 3u);

    JOYINFOEX small = info;
    small.dwSize = 40;
    EXPECT_EQ(joyGetPosEx(3, &small), JOYERR_PARMS);

    HostJoystickDetach(3);
    EXPECT_EQ(joyGetPosEx(3, &info), JOYERR_UNPLUGGED);
}

TEST_F(HostInputTest, ScriptErrorsLoadNothing)
{
    const char* bad[] = {
        "0 down\n", "x down LEFT\n", "0 press LEFT\n", "0 down NOSUCHKEY\n", "0 down 0x100\n",
        "0 joy 16 attach\n", "0 joy 0 pos 70000 0\n", "0 joy 0 pos 1\n", "-1 down LEFT\n",
        "0 down F13\n",
    };
    for (const char* text : bad) {
        std::string error;
        EXPECT_FALSE(HostLoadInputScript(std::string("0 down UP\n") + text, &error)) << text;
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
        EXPECT_FALSE(Down(VK_UP)) << text;
    }
}

TEST_F(HostInputTest, ScriptAppliesFramesInOrderAndOutOfOrderLinesSort)
{
    std::string error;
    ASSERT_TRUE(HostLoadInputScript("2 up 0x41   # A\n"
                                    "0 down a\n"
                                    "\n"
                                    "1 down F1\n"
                                    "1 joy 2 attach\n"
                                    "1 joy 2 buttons 8\n",
                                    &error))
        << error;
    EXPECT_EQ(HostInputFrame(), 0u);
    EXPECT_TRUE(Down('A'));
    EXPECT_FALSE(Down(VK_F1));
    HostAdvanceInputFrame();
    EXPECT_TRUE(Down(VK_F1));
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNBUTTONS;
    ASSERT_EQ(joyGetPosEx(2, &info), JOYERR_NOERROR);
    EXPECT_EQ(info.dwButtons, 8u);
    HostAdvanceInputFrame();
    EXPECT_FALSE(Down('A'));
    EXPECT_EQ(HostInputFrame(), 2u);
}

TEST_F(HostInputTest, SdlJoystickEventsFeedTheTable)
{
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) GTEST_SKIP() << SDL_GetError();
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 8, 0);
    ASSERT_GE(index, 0) << SDL_GetError();

    // The device arrives like a plugged-in pad: the host's event loop hands the event over.
    auto pump = [] {
        SDL_JoystickUpdate();
        SDL_PumpEvents();
        SDL_Event event;
        int handled = 0;
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_JOYAXISMOTION, SDL_JOYDEVICEREMOVED) > 0)
            handled += HostHandleSdlJoystickEvent(event);
        return handled;
    };
    SDL_Event added{};
    added.type = SDL_JOYDEVICEADDED;
    added.jdevice.which = index;
    EXPECT_TRUE(HostHandleSdlJoystickEvent(added));
    pump();
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNX | JOY_RETURNY | JOY_RETURNBUTTONS;
    ASSERT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);

    SDL_Joystick* device = SDL_JoystickOpen(index);
    ASSERT_NE(device, nullptr);
    SDL_JoystickSetVirtualAxis(device, 0, -32768);
    SDL_JoystickSetVirtualAxis(device, 1, 32767);
    SDL_JoystickSetVirtualButton(device, 2, SDL_PRESSED);
    pump();
    ASSERT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
    EXPECT_EQ(info.dwXpos, 0u);
    EXPECT_EQ(info.dwYpos, 65535u);
    EXPECT_EQ(info.dwButtons, 0x4u);

    // Unplugged: the number reports the joystick gone.
    const SDL_JoystickID instance = SDL_JoystickInstanceID(device);
    SDL_JoystickClose(device);
    SDL_JoystickDetachVirtual(index);
    SDL_Event removed{};
    removed.type = SDL_JOYDEVICEREMOVED;
    removed.jdevice.which = instance;
    pump();
    HostHandleSdlJoystickEvent(removed);
    EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_UNPLUGGED);

    SDL_Event other{};
    other.type = SDL_KEYDOWN;
    EXPECT_FALSE(HostHandleSdlJoystickEvent(other));
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}
