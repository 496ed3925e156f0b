// The key history rings and the key event lists of cKeyInput.
#include "core/CheckedAccess.h"
#include "media/input/KeyInput.h"

namespace {

constexpr int32_t kMaxRun = 0x7FFFFFFF;

struct EventCondition {
    uint16_t wKey;
    bool bMask;
};

// Direction lists: exactly none, left, right, up, down, up-left, down-left, up-right,
// down-right; the last list: any direction.
constexpr EventCondition DirectionConditions[KEY_DIRECTION_LISTS] = {
    {0x0, false}, {0x1, false}, {0x2, false}, {0x4, false}, {0x8, false},
    {0x5, false}, {0x9, false}, {0x6, false}, {0xA, false}, {0xF, true}};
// Button lists: no button, then buttons 1 to 8.
constexpr EventCondition ButtonConditions[KEY_BUTTON_LISTS] = {
    {0x00, false}, {0x01, true}, {0x02, true}, {0x04, true}, {0x08, true},
    {0x10, true},  {0x20, true}, {0x40, true}, {0x80, true}};

}  // namespace

void cKeyInput::ClearKeyHistory()
{
    for (auto& ring : m_History)
        for (auto& run : ring) run = {0, 0};
    m_nHistoryIndex[0] = 0;
    m_nHistoryIndex[1] = 0;
}

void cKeyInput::PushKeyHistory()
{
    const uint16_t words[2] = {m_wDirection, m_wButton};
    for (int ring = 0; ring < 2; ++ring) {
        int32_t& index = m_nHistoryIndex[ring];
        index &= KEY_HISTORY_RUNS - 1;
        KeyHistoryRun& newest = m_History[ring][index];
        if (newest.wValue == words[ring]) {
            if (newest.nCount != kMaxRun) ++newest.nCount;
        } else {
            index = (index + 1) % KEY_HISTORY_RUNS;
            m_History[ring][index] = {words[ring], 1};
        }
    }
}

uint16_t cKeyInput::GetKeyHistory(int32_t ring, int32_t framesBack) const
{
    if (ring < 0 || ring > 1) return 0;
    // A walk past all 32 runs comes full circle; the pause loop's look-back relies on that.
    int64_t remaining = static_cast<int64_t>(framesBack) + 1;
    int32_t index = m_nHistoryIndex[ring] & (KEY_HISTORY_RUNS - 1);
    for (int32_t step = 0; step < KEY_HISTORY_RUNS; ++step) {
        const KeyHistoryRun& run = m_History[ring][index];
        if (remaining <= run.nCount) break;
        remaining -= run.nCount;
        index = (index + KEY_HISTORY_RUNS - 1) % KEY_HISTORY_RUNS;
    }
    return m_History[ring][index].wValue;
}

void cKeyInput::TrimKeyEvents()
{
    m_vDirEvents.assign(KEY_DIRECTION_LISTS, std::vector<KeyEventRun>(KEY_EVENT_RUNS, {0, 0}));
    m_vButtonEvents.assign(KEY_BUTTON_LISTS, std::vector<KeyEventRun>(KEY_EVENT_RUNS, {0, 0}));
}

void cKeyInput::UpdateKeyEventList(std::vector<KeyEventRun>& list, uint16_t word, uint16_t key,
                                   bool maskMode)
{
    const bool holds = maskMode ? (word & key) != 0 : word == key;
    if (list.empty()) {
        list.assign(KEY_EVENT_RUNS, {0, 0});
    }
    KeyEventRun& newest = list.front();
    if ((newest.nState == 0) == holds) {
        list.insert(list.begin(), KeyEventRun{holds ? 1 : 0, 1});
        list.pop_back();
    } else if (newest.nCount != kMaxRun) {
        ++newest.nCount;
    }
}

void cKeyInput::RecordKeyEvents()
{
    for (int32_t i = 0; i < KEY_DIRECTION_LISTS; ++i)
        UpdateKeyEventList(CheckedAt(m_vDirEvents, i), m_wDirection, DirectionConditions[i].wKey,
                           DirectionConditions[i].bMask);
    for (int32_t i = 0; i < KEY_BUTTON_LISTS; ++i)
        UpdateKeyEventList(CheckedAt(m_vButtonEvents, i), m_wButton, ButtonConditions[i].wKey,
                           ButtonConditions[i].bMask);
}
