#pragma once
// The stage's blocks in 32-pixel cells, margins of 10 blocks included. Rows have a power-of-two
// pitch: cell (x, y) is index x + (y << shift).
#include <cstdint>
#include <vector>

#include "data/EdBlock.h"

struct BLOCKCELL {
    cEdBlock m_Block;
    int32_t m_nLatch = 0;       // once-true latch of the block's appearance conditions

    // 0 when the block's conditions fail or its pass faction is nFaction, else its hit kind
    // (1 solid, 2 kills the hero). Defined in Conditions.cpp.
    int8_t IsActive(int32_t nFaction);
};

class cBlockMap {
public:
    // Defined in BlockMap.cpp.
    // Cells for a stage of nWidth x nHeight blocks, every one an empty block with latch 0; false
    // (map left empty) when the size cannot be held.
    bool Resize(int32_t nWidth, int32_t nHeight);
    void Clear();
    // Every cell becomes empty and not solid: palette number, protected switch and hit kind 0 (a
    // new block is solid, and the cells around the placed blocks must not be).
    void ClearCells();

    // The bits of W + 19: the smallest power of two above W + 19 is the row pitch.
    static int32_t PitchShiftFor(int32_t nWidth);
    // The cell coordinate of a pixel coordinate, rounding toward minus infinity; INT32_MIN for
    // values no cell can hold.
    static int32_t CellOf(double dPixel);
    static int32_t CellOf(int32_t nPixel);

    // The index of cell (x, y), or -1 when it lies outside the map.
    int32_t IndexOf(int32_t x, int32_t y) const;
    // The cell that holds the centre of a block whose top-left corner is at (px, py), or -1.
    int32_t IndexOfBlockAt(double px, double py) const;
    // The cell holding the pixel (px, py), or -1.
    int32_t IndexOfPixel(int32_t px, int32_t py) const;
    // The cell, or null outside the map.
    BLOCKCELL* Find(int32_t nIndex);
    // Checked access: an index outside the map is reported, a close request posted and cell 0
    // used.
    BLOCKCELL& operator[](int32_t nIndex);

    int32_t Shift() const { return m_nShift; }
    int32_t Pitch() const { return m_nPitch; }
    int32_t Rows() const { return m_nRows; }
    int32_t Size() const { return static_cast<int32_t>(m_vCells.size()); }

    std::vector<BLOCKCELL> m_vCells;

private:
    int32_t m_nShift = 0;
    int32_t m_nPitch = 0;
    int32_t m_nRows = 0;
};

extern cBlockMap BlockMap;
