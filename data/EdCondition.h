#pragma once
// One condition of a flow, or of the appearance conditions of a placed block, character or item.
#include <cstdint>
#include <vector>

#include "data/FieldListRecord.h"

class cEdCondition : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdCondition)
    cEdCondition();

    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;
    // The element that vector assignments append and list loads copy: every field 0.
    static cEdCondition Default();

    // Fields 3 to 14 are named by their use in a status condition (kind 4); kinds 5 to 7 keep
    // their own settings in the same places.
    int8_t m_nKind = 0;          // 1 common, 2 stage, 3 own variable, 4 status, 5 game value, 6 object state, 7 distance
    int32_t m_nValue = 0;        // the comparison value
    int32_t m_nRandMin = 0;      // from 110
    int32_t m_nRandMax = 0;      // from 110
    int8_t m_nLeftOwner = 0;     // from 110: 0 self, 1 target, 2 system
    int8_t m_nLeftStatus = 0;    // from 110
    int8_t m_nLeftKind = 0;      // from 110: 0 status, 1 variable
    int8_t m_nLeftScope = 0;     // from 110: 0 common, 1 stage
    int16_t m_nVarIndex = 0;     // from 110
    int8_t m_nRightKind = 0;     // from 110: 0 constant, 1 random, 2 status, 3 variable
    int8_t m_nRightOwner = 0;    // from 110
    int8_t m_nRightStatus = 0;   // from 110
    int8_t m_nRightScope = 0;    // from 110
    int16_t m_nRightVarIndex = 0;   // from 110
    int8_t m_nCompare = 0;       // 0..7
    int8_t m_bPercent = 0;       // from 43
    int8_t m_nExtra = 0;

private:
    // Files before 110 hold two 16-bit values here that nothing uses any more.
    int16_t m_nObsolete[2] = {};
};

void CopyConditionList(std::vector<cEdCondition>& target, const std::vector<cEdCondition>& source);
bool LoadConditionList(FILE* fp, std::vector<cEdCondition>& list);
