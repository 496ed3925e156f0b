#pragma once
// Sword types of the database: a melee attack as a sequence of boxes beside the attacker.
#include <cstdint>
#include <string>
#include <vector>

#include "data/FieldListRecord.h"

class cEdSwordTypeEntry : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdSwordTypeEntry)
    cEdSwordTypeEntry();
    void RegisterFields(uint32_t nVersion) override;

    int32_t m_nOffsetX = 0;   // pixels at scale 1
    int32_t m_nOffsetY = 0;
    int32_t m_bFlipX = 1;     // facing right subtracts the offset instead of adding it
    int32_t m_bFlipY = 0;
    int32_t m_nSide = 0;      // 0 in front, 1 behind, 2 above, 3 below
    int32_t m_nSrcX = 0;      // the step's image in the sword bitmap
    int32_t m_nSrcY = 0;
    int32_t m_nWidth = 0;     // image and box, pixels at scale 1
    int32_t m_nHeight = 0;
    int32_t m_nTime = 0;      // tenths of a second
};

class cEdSwordType : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdSwordType)
    cEdSwordType();
    void SetDefaults();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;

    std::string m_strName;
    int32_t m_nReserved = 0;   // stored and copied, never read by the player
    std::string m_strRightFile;
    std::string m_strLeftFile;
    std::vector<cEdSwordTypeEntry> m_vSteps;
};
