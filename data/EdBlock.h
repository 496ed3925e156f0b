#pragma once
// A block definition: a common- or stage-palette entry, or a block placed in a stage at its cell.
#include <cstdint>
#include <string>
#include <vector>

#include "data/EdCondition.h"
#include "data/FieldListRecord.h"

constexpr size_t kBlockInheritGroups = 11;

class cEdBlock : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdBlock)
    cEdBlock();
    cEdBlock(const cEdBlock& source);
    cEdBlock& operator=(const cEdBlock& source);

    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;

    void SetDefaults();
    void Validate();
    // An item reference of kind 1 or 2 outside its palette becomes none.
    void ValidateItemRef();
    // Copies the groups whose inherit flag is set from the parent palette entry.
    void ApplyInheritance();

    int16_t m_nX = 0;
    int16_t m_nY = 0;
    int8_t m_nInheritFrom = 0;
    int16_t m_nParent = 0;
    std::vector<int8_t> m_vInherit;
    std::string m_strName;
    std::vector<cEdCondition> m_vCondition;
    int8_t m_nCondMode = 0;
    int8_t m_bCondOnce = 0;
    int16_t m_nGraphicIndex = 0;   // 0 = an empty cell
    int8_t m_nGraphicKind = 0;
    int16_t m_nGraphicSub = 0;
    int8_t m_nLayer = 0;
    int8_t m_bHidden = 0;
    int8_t m_nBadgeShow = 0;       // 0 no, 1 yes, 2 only in the editor
    int16_t m_nBadge = 0;
    int8_t m_nHit = 1;             // 0 none, 1 solid, 2 solid and deadly for the hero
    int8_t m_nHitExcept = -1;      // hit group the block is not solid for, -1 none
    int8_t m_nEffect = 0;
    int32_t m_nEffectValue = 0;
    int8_t m_nItemFrom = 0;
    int16_t m_nItem = 0;
    int8_t m_bNoReplace = 0;
};
