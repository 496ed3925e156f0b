#include "data/PaletteInheritance.h"

#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "data/RecordReferences.h"

namespace {

struct PaletteOverride {
    std::vector<cEdBlock>* lpBlocks = nullptr;
    std::vector<cEdChara>* lpCharas = nullptr;
    std::vector<cEdItem>* lpItems = nullptr;
};

// Index 0 unused; 1 common palette, 2 stage palette. Per thread: the stage loader reads on its own
// thread while the rest of the program keeps the global palettes.
thread_local PaletteOverride t_Override[3];

bool IsPaletteKind(int8_t nKind)
{
    return nKind == kPaletteCommon || nKind == kPaletteStage;
}

int32_t CountOf(int32_t nPalette, PaletteList list)
{
    if (nPalette < 0 || nPalette > 127) return 0;
    const int8_t nKind = static_cast<int8_t>(nPalette);
    switch (list) {
    case PaletteList::Block: {
        const std::vector<cEdBlock>* v = PaletteBlocks(nKind);
        return v ? static_cast<int32_t>(v->size()) : 0;
    }
    case PaletteList::Chara: {
        const std::vector<cEdChara>* v = PaletteCharas(nKind);
        return v ? static_cast<int32_t>(v->size()) : 0;
    }
    case PaletteList::Item: {
        const std::vector<cEdItem>* v = PaletteItems(nKind);
        return v ? static_cast<int32_t>(v->size()) : 0;
    }
    }
    return 0;
}

// The palettes are known from the program's start, so the counts are installed at once.
[[maybe_unused]] const bool s_bHookInstalled = [] {
    g_RecordReferences.lpfnPaletteCount = &CountOf;
    return true;
}();

}  // namespace

std::vector<cEdBlock>* PaletteBlocks(int8_t nKind)
{
    if (!IsPaletteKind(nKind)) return nullptr;
    if (t_Override[nKind].lpBlocks) return t_Override[nKind].lpBlocks;
    return nKind == kPaletteCommon ? &g_CommonPalette.m_vBlock : &g_Stage.m_vPaletteBlock;
}

std::vector<cEdChara>* PaletteCharas(int8_t nKind)
{
    if (!IsPaletteKind(nKind)) return nullptr;
    if (t_Override[nKind].lpCharas) return t_Override[nKind].lpCharas;
    return nKind == kPaletteCommon ? &g_CommonPalette.m_vChara : &g_Stage.m_vPaletteChara;
}

std::vector<cEdItem>* PaletteItems(int8_t nKind)
{
    if (!IsPaletteKind(nKind)) return nullptr;
    if (t_Override[nKind].lpItems) return t_Override[nKind].lpItems;
    return nKind == kPaletteCommon ? &g_CommonPalette.m_vItem : &g_Stage.m_vPaletteItem;
}

cPaletteScope::cPaletteScope(int8_t nKind, std::vector<cEdBlock>* lpBlocks, std::vector<cEdChara>* lpCharas,
                             std::vector<cEdItem>* lpItems)
    : m_nKind(nKind)
{
    PaletteOverride& slot = t_Override[IsPaletteKind(nKind) ? nKind : 0];
    m_lpBlocks = slot.lpBlocks;
    m_lpCharas = slot.lpCharas;
    m_lpItems = slot.lpItems;
    slot = PaletteOverride{lpBlocks, lpCharas, lpItems};
}

cPaletteScope::~cPaletteScope()
{
    t_Override[IsPaletteKind(m_nKind) ? m_nKind : 0] = PaletteOverride{m_lpBlocks, m_lpCharas, m_lpItems};
}

cEdItem* GetPaletteItem(int8_t nKind, int16_t nIndex)
{
    std::vector<cEdItem>* lpItems = PaletteItems(nKind);
    if (lpItems == nullptr || !PaletteIndexInRange(nIndex, lpItems->size())) return nullptr;
    return &(*lpItems)[static_cast<size_t>(nIndex)];
}
