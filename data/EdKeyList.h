#pragma once
// One step of a flow's key sequence.
#include <cstdint>
#include <vector>

#include "data/FieldListRecord.h"

class cEdKeyList : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdKeyList)
    cEdKeyList();

    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;
    // Every field 0 and 19 key states of 0.
    static cEdKeyList Default();

    // Entries 0..9 the directions (0 neutral, 1 left, 2 right, 3 up, 4 down, 5 up-left,
    // 6 down-left, 7 up-right, 8 down-right, 9 any), 10 no button, 11..18 buttons 1..8.
    static constexpr size_t kKeyStateCount = 19;

    int8_t m_bFacingRelative = 0;   // left and right mirrored while the object faces left
    int16_t m_nMinHold = 0;         // frames
    int16_t m_nMaxHold = 0;
    int8_t m_bAnyLength = 0;
    int8_t m_nCombine = 0;          // 0 all keys, 1 one or more, 2 exactly one
    std::vector<int8_t> m_vKeyState = std::vector<int8_t>(kKeyStateCount, 0);   // 0 unused, 1 held, 2 released
};

void CopyKeyListList(std::vector<cEdKeyList>& target, const std::vector<cEdKeyList>& source);
