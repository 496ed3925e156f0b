// The block map: its size from the stage's size, and the cell of a position. Positions left of or
// above the map round toward minus infinity, so they fall outside the map instead of onto its
// first row or column; callers ignore cells outside the map.
#include "stage/BlockMap.h"

#include <bit>
#include <cmath>
#include <limits>
#include <new>

#include "core/CheckedAccess.h"


namespace {

constexpr int32_t kMargin = 10;   // blocks on each side of the stage
constexpr int32_t kOutside = std::numeric_limits<int32_t>::min();

int32_t FloorDiv32(int64_t n)
{
    const int64_t q = n >= 0 ? n / 32 : -((-n + 31) / 32);
    if (q < std::numeric_limits<int32_t>::min() || q > std::numeric_limits<int32_t>::max()) return kOutside;
    return static_cast<int32_t>(q);
}

}  // namespace

bool cBlockMap::Resize(int32_t nWidth, int32_t nHeight)
{
    Clear();
    if (nWidth < 0) nWidth = 0;
    if (nHeight < 0) nHeight = 0;
    const int32_t nShift = PitchShiftFor(nWidth);
    // Sizes come from the stage file: a map whose cells cannot be numbered by an int32 index is
    // refused like one that does not fit in memory.
    if (nShift > 30) return false;
    const int64_t nPitch = int64_t(1) << nShift;
    const int64_t nRows = int64_t(nHeight) + 2 * kMargin;
    const int64_t nCells = nPitch * nRows;
    if (nCells > std::numeric_limits<int32_t>::max()) return false;
    try {
        std::vector<BLOCKCELL> vCells(static_cast<size_t>(nCells));
        m_vCells.swap(vCells);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    m_nShift = nShift;
    m_nPitch = static_cast<int32_t>(nPitch);
    m_nRows = static_cast<int32_t>(nRows);
    return true;
}

void cBlockMap::Clear()
{
    std::vector<BLOCKCELL>().swap(m_vCells);
    m_nShift = 0;
    m_nPitch = 0;
    m_nRows = 0;
}

void cBlockMap::ClearCells()
{
    for (BLOCKCELL& cell : m_vCells) {
        cell.m_Block.m_nGraphicIndex = 0;
        cell.m_Block.m_bNoReplace = 0;
        cell.m_Block.m_nHit = 0;
    }
}

int32_t cBlockMap::PitchShiftFor(int32_t nWidth)
{
    if (nWidth < 0) nWidth = 0;
    const uint64_t v = static_cast<uint64_t>(nWidth) + 2 * kMargin - 1;
    return static_cast<int32_t>(std::bit_width(v));
}

int32_t cBlockMap::CellOf(double dPixel)
{
    // Not-a-number and values beyond any map have no cell.
    if (!(dPixel > -9.0e15 && dPixel < 9.0e15)) return kOutside;
    return FloorDiv32(static_cast<int64_t>(std::floor(dPixel)));
}

int32_t cBlockMap::CellOf(int32_t nPixel)
{
    return FloorDiv32(nPixel);
}

int32_t cBlockMap::IndexOf(int32_t x, int32_t y) const
{
    if (x < 0 || x >= m_nPitch || y < 0 || y >= m_nRows) return -1;
    return x + (y << m_nShift);
}

int32_t cBlockMap::IndexOfBlockAt(double px, double py) const
{
    // The block's centre: its top-left corner plus half a block (and the half pixel that rounds).
    return IndexOf(CellOf(px + 16.5), CellOf(py + 16.5));
}

int32_t cBlockMap::IndexOfPixel(int32_t px, int32_t py) const
{
    return IndexOf(CellOf(px), CellOf(py));
}

BLOCKCELL* cBlockMap::Find(int32_t nIndex)
{
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_vCells.size()) return nullptr;
    return &m_vCells[static_cast<size_t>(nIndex)];
}

BLOCKCELL& cBlockMap::operator[](int32_t nIndex)
{
    return CheckedAt(m_vCells, nIndex);
}
