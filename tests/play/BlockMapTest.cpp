// The block map's row pitch and the cell of a position, margins and negative positions included.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "stage/BlockMap.h"

namespace {

TEST(BlockMapTest, RowPitchIsTheSmallestPowerOfTwoAboveTheWidthWithMargins)
{
    struct Case {
        int32_t nWidth, nShift, nPitch;
    };
    const Case cases[] = {
        {0, 5, 32},     // 19 columns plus the margins fit in 32
        {12, 5, 32},    // 32 columns exactly fill the row
        {13, 6, 64},    // 33 columns need the next power of two
        {44, 6, 64},
        {45, 7, 128},
    };
    for (const Case& c : cases) {
        cBlockMap map;
        ASSERT_TRUE(map.Resize(c.nWidth, 5)) << c.nWidth;
        EXPECT_EQ(map.Shift(), c.nShift) << c.nWidth;
        EXPECT_EQ(map.Pitch(), c.nPitch) << c.nWidth;
        EXPECT_EQ(map.Rows(), 25) << c.nWidth;
        EXPECT_EQ(map.Size(), c.nPitch * 25) << c.nWidth;
    }
}

TEST(BlockMapTest, CellIndexCountsRowsByThePitch)
{
    struct Case {
        int32_t nWidth, x, y, nIndex;
    };
    const Case cases[] = {
        {12, 0, 0, 0},
        {12, 31, 0, 31},
        {12, 0, 1, 32},
        {12, 31, 24, 31 + 24 * 32},   // last cell
        {12, 32, 0, -1},              // would wrap into the next row
        {12, 0, 25, -1},
        {12, -1, 0, -1},
        {12, 0, -1, -1},
        {13, 32, 0, 32},              // the 33rd column exists at width 13
        {13, 32, 24, 32 + 24 * 64},
        {13, 64, 0, -1},
    };
    for (const Case& c : cases) {
        cBlockMap map;
        ASSERT_TRUE(map.Resize(c.nWidth, 5));
        EXPECT_EQ(map.IndexOf(c.x, c.y), c.nIndex) << c.nWidth << " " << c.x << "," << c.y;
    }
}

TEST(BlockMapTest, BlockPlacementTakesTheCellOfTheBlockCentre)
{
    struct Case {
        double px, py;
        int32_t nIndex;   // at width 13: pitch 64
    };
    const Case cases[] = {
        {0.0, 0.0, 0},
        {15.4, 0.0, 0},             // centre at 31.9: still cell 0
        {15.5, 0.0, 1},             // centre at 32: cell 1
        {32.0, 64.0, 1 + 2 * 64},
        {-16.5, 0.0, 0},            // centre exactly on pixel 0
        // Left of the map: the centre is at -0.1, cell -1, which is outside. Truncating toward
        // zero would have put the block into column 0.
        {-16.6, 0.0, -1},
        {0.0, -16.6, -1},
        {-40.0, -40.0, -1},
        {1e300, 0.0, -1},
        {-1e300, 0.0, -1},
        {std::nan(""), 0.0, -1},
    };
    cBlockMap map;
    ASSERT_TRUE(map.Resize(13, 5));
    for (const Case& c : cases) EXPECT_EQ(map.IndexOfBlockAt(c.px, c.py), c.nIndex) << c.px << "," << c.py;
}

TEST(BlockMapTest, PixelCellRoundsTowardMinusInfinity)
{
    struct Case {
        int32_t nPixel, nCell;
    };
    const Case cases[] = {
        {0, 0}, {31, 0}, {32, 1}, {-1, -1}, {-32, -1}, {-33, -2},
        {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min() / 32},
    };
    for (const Case& c : cases) EXPECT_EQ(cBlockMap::CellOf(c.nPixel), c.nCell) << c.nPixel;

    cBlockMap map;
    ASSERT_TRUE(map.Resize(12, 5));
    EXPECT_EQ(map.IndexOfPixel(31, 31), 0);
    EXPECT_EQ(map.IndexOfPixel(32, 32), 33);
    EXPECT_EQ(map.IndexOfPixel(-1, 0), -1);
    EXPECT_EQ(map.IndexOfPixel(0, -1), -1);
}

TEST(BlockMapTest, EveryCellStartsEmptyWithItsLatchClear)
{
    cBlockMap map;
    ASSERT_TRUE(map.Resize(2, 1));
    ASSERT_GT(map.Size(), 0);
    map.m_vCells[5].m_Block.m_nGraphicIndex = 7;
    map.m_vCells[5].m_nLatch = 1;
    // A new stage starts from empty cells, whatever the previous one held.
    ASSERT_TRUE(map.Resize(2, 1));
    for (BLOCKCELL& cell : map.m_vCells) {
        EXPECT_EQ(cell.m_Block.m_nGraphicIndex, 0);
        EXPECT_EQ(cell.m_nLatch, 0);
    }
}

TEST(BlockMapTest, ClearedCellsAreEmptyAndNotSolid)
{
    cBlockMap map;
    ASSERT_TRUE(map.Resize(2, 1));
    BLOCKCELL& cell = map.m_vCells[3];
    EXPECT_EQ(cell.m_Block.m_nHit, 1);   // a new block is solid
    cell.m_Block.m_nGraphicIndex = 4;
    cell.m_Block.m_bNoReplace = 1;
    map.ClearCells();
    for (BLOCKCELL& c : map.m_vCells) {
        EXPECT_EQ(c.m_Block.m_nGraphicIndex, 0);
        EXPECT_EQ(c.m_Block.m_bNoReplace, 0);
        EXPECT_EQ(c.m_Block.m_nHit, 0);
    }
}

TEST(BlockMapTest, SizesNoIndexCanNumberAreRefusedAndLeaveTheMapEmpty)
{
    struct Case {
        int32_t nWidth, nHeight;
    };
    const Case cases[] = {
        {std::numeric_limits<int32_t>::max(), 1},
        {1 << 20, 1 << 20},
        {1000, std::numeric_limits<int32_t>::max() - 5},
    };
    for (const Case& c : cases) {
        cBlockMap map;
        ASSERT_TRUE(map.Resize(3, 3));
        EXPECT_FALSE(map.Resize(c.nWidth, c.nHeight)) << c.nWidth << " x " << c.nHeight;
        EXPECT_EQ(map.Size(), 0);
        EXPECT_EQ(map.IndexOf(0, 0), -1);
        EXPECT_EQ(map.Find(0), nullptr);
    }
}

TEST(BlockMapTest, NegativeSizesCountAsZero)
{
    cBlockMap map;
    ASSERT_TRUE(map.Resize(-5, -5));
    EXPECT_EQ(map.Pitch(), 32);
    EXPECT_EQ(map.Rows(), 20);
}

TEST(BlockMapTest, FindGivesNullOutsideTheMap)
{
    cBlockMap map;
    ASSERT_TRUE(map.Resize(12, 5));
    EXPECT_EQ(map.Find(-1), nullptr);
    EXPECT_EQ(map.Find(map.Size()), nullptr);
    EXPECT_EQ(map.Find(map.Size() - 1), &map.m_vCells.back());
}

}  // namespace
