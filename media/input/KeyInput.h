#pragma once
// The input state of one player: the frame's direction and button words and direction code, and
// what the game keeps on top of them (key history, event lists, auto-repeat, button latch).
#include <cstdint>
#include <vector>

#include "platform/win/WinJoystick.h"

// Direction bits: 0x1 left, 0x2 right, 0x4 up, 0x8 down. Button n (1 to 8) is bit 1 << (n - 1).
// Direction code: 5 + dx + 3 * dy (5 neutral, 4 left, 6 right, 2 up, 8 down, 1 3 7 9 diagonals).

// One run of the key history: a word held for a number of frames.
struct KeyHistoryRun {
    uint16_t wValue;
    int32_t nCount;
};

// One run of a key event list: the list's condition held (1) or not (0) for a number of frames.
struct KeyEventRun {
    int32_t nState;
    int32_t nCount;
};

constexpr int32_t KEY_HISTORY_RUNS = 32;
constexpr int32_t KEY_EVENT_RUNS = 32;
constexpr int32_t KEY_DIRECTION_LISTS = 10;  // none, 4 single directions, 4 diagonals, any
constexpr int32_t KEY_BUTTON_LISTS = 9;      // none, buttons 1 to 8
constexpr int32_t KEY_JOYSTICKS = static_cast<int32_t>(JOYSTICK_MAX_DEVICES);

// True when the joystick position meets an axis code (0x100 X low, 0x200 X high, 0x400 Y low,
// 0x800 Y high); any other code is false.
bool TestAxisCode(const JOYINFOEX& position, uint16_t code);

class cKeyInput {
public:
    cKeyInput();
    ~cKeyInput();

    // Polling: once per frame, one of the two by the key configuration's use-configuration flag.
    // Each returns 0 and changes nothing when the flag selects the other one.
    // flags bit 0: read the joystick, bit 1: read the keyboard.
    int PollInput(int32_t joystick, int32_t flags, int32_t retryFrames);
    int PollConfiguredInput(int32_t playerCount, int32_t retryFrames);

    void ResetJoyButtonMap();
    void SetAutoRepeat(int32_t delay, int32_t interval);
    int32_t DirectionFromKeys() const;
    static int32_t DirectionFromKeys(uint16_t direction);
    void ClearDirectionInput();
    void ClearButtonInput();

    // Key history: ring 0 the direction word, ring 1 the button word, framesBack 0 = this frame.
    void ClearKeyHistory();
    void PushKeyHistory();
    uint16_t GetKeyHistory(int32_t ring, int32_t framesBack) const;

    // Event lists, newest run first, always 32 runs long.
    void TrimKeyEvents();
    void RecordKeyEvents();
    static void UpdateKeyEventList(std::vector<KeyEventRun>& list, uint16_t word, uint16_t key,
                                   bool maskMode);

    // Menus: a held direction passes on its first frame, then after the delay every interval;
    // a button of the mask (0 = all) counts once per press.
    void ApplyAutoRepeat();
    void LatchButtons(uint16_t mask);

    uint16_t m_wDirection;
    uint16_t m_wButton;
    uint16_t m_wRawDirHistory;   // this frame's raw direction bits low, last frame's in bits 4..7
    KeyHistoryRun m_History[2][KEY_HISTORY_RUNS];
    int32_t m_nHistoryIndex[2];  // the newest run of each ring
    std::vector<std::vector<KeyEventRun>> m_vDirEvents;     // 10 lists
    std::vector<std::vector<KeyEventRun>> m_vButtonEvents;  // 9 lists
    int32_t m_nDirCode;
    int32_t m_nRepeatH;          // frames the horizontal bits have not changed
    int32_t m_nRepeatV;
    int32_t m_nRepeatDelay;
    int32_t m_nRepeatInterval;
    int32_t m_bLatch;
    uint16_t m_wJoyButtonMap[8]; // the dwButtons mask that counts as button i + 1 (built-in layout)
    // Per joystick number: the last read succeeded, and frames still to skip after a failure.
    int32_t m_bJoyAvailable[KEY_JOYSTICKS];
    int32_t m_nJoyRetry[KEY_JOYSTICKS];

private:
    // Reads joystick j unless it is waiting out a failure; true with info filled on success.
    bool ReadJoystick(int32_t joystick, int32_t retryFrames, JOYINFOEX* info);
};

// The players' input states; element 0 is player 1, the only one polled.
extern std::vector<cKeyInput> InputStates;
