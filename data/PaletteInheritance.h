#pragma once
// What the block, character and item definitions share for palettes: the palette kinds, the
// palette vectors that kinds 1 and 2 name, and the checks of a palette reference.
//
// Kind 1 names the common palette and kind 2 the stage palette of the working stage. While a
// palette or a stage is loaded or validated, the kind it stands for names that record instead:
// records are loaded into a working copy and assigned only when the whole file was read, and the
// definitions of the file inherit from the entries read before them.
#include <cstddef>
#include <cstdint>
#include <vector>

class cEdBlock;
class cEdChara;
class cEdItem;

constexpr int8_t kPaletteNone = 0;
constexpr int8_t kPaletteCommon = 1;
constexpr int8_t kPaletteStage = 2;

// The palette vectors of kind 1 or 2; null for any other kind.
std::vector<cEdBlock>* PaletteBlocks(int8_t nKind);
std::vector<cEdChara>* PaletteCharas(int8_t nKind);
std::vector<cEdItem>* PaletteItems(int8_t nKind);

// Overloads by element class, for the code the three classes share.
inline std::vector<cEdBlock>* PaletteVector(int8_t nKind, const cEdBlock*) { return PaletteBlocks(nKind); }
inline std::vector<cEdChara>* PaletteVector(int8_t nKind, const cEdChara*) { return PaletteCharas(nKind); }
inline std::vector<cEdItem>* PaletteVector(int8_t nKind, const cEdItem*) { return PaletteItems(nKind); }

// Makes one palette kind name the given vectors on this thread until the scope ends.
class cPaletteScope {
public:
    cPaletteScope(int8_t nKind, std::vector<cEdBlock>* lpBlocks, std::vector<cEdChara>* lpCharas,
                  std::vector<cEdItem>* lpItems);
    ~cPaletteScope();
    cPaletteScope(const cPaletteScope&) = delete;
    cPaletteScope& operator=(const cPaletteScope&) = delete;

private:
    int8_t m_nKind;
    std::vector<cEdBlock>* m_lpBlocks;
    std::vector<cEdChara>* m_lpCharas;
    std::vector<cEdItem>* m_lpItems;
};

// An index widened with its sign and compared unsigned: negative indexes are out of range.
inline bool PaletteIndexInRange(int16_t nIndex, size_t nSize)
{
    return static_cast<uint64_t>(static_cast<int64_t>(nIndex)) < nSize;
}

// The parent a definition copies its flagged groups from, or null when nothing is copied; a
// parent outside its palette sets the kind to 0. A kind other than 0, 1 and 2 gives the
// definition itself, so that the copies change nothing.
template <class T>
const T* FindInheritSource(T& self)
{
    if (self.m_nParent == 0 || self.m_nInheritFrom == kPaletteNone) return nullptr;
    if (self.m_nInheritFrom != kPaletteCommon && self.m_nInheritFrom != kPaletteStage) return &self;
    const std::vector<T>* lpPalette = PaletteVector(self.m_nInheritFrom, &self);
    if (lpPalette == nullptr || !PaletteIndexInRange(self.m_nParent, lpPalette->size())) {
        self.m_nInheritFrom = kPaletteNone;
        return nullptr;
    }
    return &(*lpPalette)[static_cast<size_t>(self.m_nParent)];
}

// A parent reference of kind 1 or 2 that names no entry of its palette becomes 0, 0.
template <class T>
void ValidateParentOf(T& self)
{
    if (self.m_nInheritFrom != kPaletteCommon && self.m_nInheritFrom != kPaletteStage) return;
    const std::vector<T>* lpPalette = PaletteVector(self.m_nInheritFrom, &self);
    if (lpPalette == nullptr || !PaletteIndexInRange(self.m_nParent, lpPalette->size())) {
        self.m_nInheritFrom = kPaletteNone;
        self.m_nParent = 0;
    }
}

// Item definition of a palette by kind and index, or null (kind 0 or another value, index out of
// range). Stage play resolves the item of a block with it.
cEdItem* GetPaletteItem(int8_t nKind, int16_t nIndex);
