#pragma once
// Effect graphics of the database: a bitmap cut into cells and a frame sequence over them.
#include <cstdint>
#include <string>
#include <vector>

#include "data/FieldListRecord.h"

class cEdEffectEntry : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdEffectEntry)
    cEdEffectEntry();
    void RegisterFields(uint32_t nVersion) override;

    int32_t m_nFrame = 0;   // cell number in the effect's bitmap
    int32_t m_nTime = 0;    // tenths of a second
};

class cEdEffect : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdEffect)
    cEdEffect();
    void SetDefaults();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;

    std::string m_strName;
    int32_t m_nReserved = 0;   // stored and copied, never read by the player
    std::string m_strFile;
    int32_t m_nCellWidth = 32;
    int32_t m_nCellHeight = 32;
    int32_t m_bEnlargeable = 0;   // a command's scale above 1 enlarges the cells
    std::vector<cEdEffectEntry> m_vFrames;
};
