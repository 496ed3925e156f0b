#pragma once
// An item on the stage, the item a computer character carries, or a temporary item taken at once
// (the item hidden in a block). It holds its own copy of its definition.
#include <cstdint>

#include "data/EdItem.h"
#include "objects/GameObject.h"

struct DDSURFACEDATA;

class cItem : public cGameObject {
public:
    cItem() = default;
    cItem(const cItem&) = default;
    cItem& operator=(const cItem&) = default;
    ~cItem() override = default;

    // Defined in Item.cpp.
    void ScaleBoxes(int32_t nScale) override;                             // slot 3: nothing
    int32_t KeepBottomOnRescale(int32_t nNew, int32_t nOld) override;     // slot 4
    // The result of expanding the loops of the item's command list.
    int32_t Init(int32_t nKey, const cEdItem& definition, int32_t bCarried);
    int32_t SetBlockPosition(int32_t bx, int32_t by);
    void Draw(DDSURFACEDATA* lpTarget, int32_t bFrozen);

    cEdItem m_Rec;
    int32_t m_bCarried = 0;
};

// One pattern: frame 0 for 15 ticks, frame 1 for 15 ticks, loop.
extern const int32_t* const ItemAnimeList[];
