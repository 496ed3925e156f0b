#pragma once
// An item definition: a palette entry, an item placed in a stage, the item a block gives or a
// character carries. Taking it runs its item commands on the taker.
#include <cstdint>
#include <string>
#include <vector>

#include "data/EdCommand.h"
#include "data/EdCondition.h"
#include "data/FieldListRecord.h"

constexpr size_t kItemInheritGroups = 13;

class cEdItem : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdItem)
    cEdItem();
    cEdItem(const cEdItem& source);
    cEdItem& operator=(const cEdItem& source);

    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;

    void SetDefaults();
    void Validate();
    // Checks the palette references of the shots of every item command.
    void ValidateCommandRefs();
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
    int16_t m_nOffsetX = 0;
    int16_t m_nOffsetY = 0;
    int16_t m_nGraphicIndex = 0;   // 0 = no item
    int8_t m_nGraphicKind = 2;
    int16_t m_nGraphicSub = 0;
    int8_t m_nItemSetting = 6;
    int8_t m_bHidden = 0;
    int8_t m_nBadgeShow = 0;
    int16_t m_nBadge = 0;
    int8_t m_nTakeMode = 0;        // 0 once, 1 any number of times, 2 cannot be taken
    int8_t m_bShowOnTake = 1;
    int8_t m_nGiant = 1;
    int16_t m_nSound = 0;
    std::vector<cEdCommand> m_vCommand;
};
