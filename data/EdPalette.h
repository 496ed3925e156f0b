#pragma once
// A palette: the block, character and item definitions from which stages are built and from which
// commands summon. g_CommonPalette is the project's common palette ("CommonPalette.cplt4"); the
// stage palette is the same three vectors inside the stage. Entry 0 of every palette vector is
// the fixed none entry, and validation keeps at least two entries in each.
#include <cstdio>
#include <vector>

#include "data/EdBlock.h"
#include "data/EdChara.h"
#include "data/EdItem.h"
#include "data/FieldListRecord.h"

class cEdPalette : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdPalette)
    cEdPalette();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;
    void Validate();

    std::vector<cEdBlock> m_vBlock;
    std::vector<cEdChara> m_vChara;
    std::vector<cEdItem> m_vItem;
};

extern cEdPalette g_CommonPalette;

// The smallest bodies of the three definitions: the two counts of the field list, the position
// (and a character's carried item), the flag count, the condition count and, for characters and
// items, the flow or command count.
constexpr uint32_t kMinBlockBodyBytes = 8 + 4 + 4 + 4;
constexpr uint32_t kMinCharaBodyBytes = 8 + 8 + 4 + 4 + 4;
constexpr uint32_t kMinItemBodyBytes = 8 + 4 + 4 + 4 + 4;

// Element-vector reads of the three definition classes: u32 count, then each body loaded over a
// default definition (its migrations, inheritance and validation run in its own Load).
bool LoadBlockList(std::vector<cEdBlock>& v, FILE* fp);
bool LoadCharaList(std::vector<cEdChara>& v, FILE* fp);
bool LoadItemList(std::vector<cEdItem>& v, FILE* fp);

// Validates every definition of the three vectors and then its references into other records.
void ValidatePaletteEntries(std::vector<cEdBlock>& vBlock, std::vector<cEdChara>& vChara,
                            std::vector<cEdItem>& vItem);
