// The world map's frame drawn on the headless graphics layer of every back end and depth: each
// screen cell shows the chip of its map cell, cells outside the map only the background colour,
// and an entry's icon from the column of its cleared state. The expected pixels are read from the
// sheets the test drew and from a surface the test filled with the background colour.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "data/EdWorldMap.h"
#include "frontend/SaveData.h"
#include "frontend/WorldMapScene.h"
#include "media/graphics/DDFill.h"

namespace {

class WorldMapDrawTest : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        if (HasFatalFailure()) return;
        m_SavedMap = g_WorldMap;
        g_SaveData.Reset();
        g_WorldMap.SetDefaults();   // 20 x 15; chip n draws graphic cell n
        for (int32_t y = 0; y < 15; ++y)
            for (int32_t x = 0; x < 20; ++x)
                g_WorldMap.m_vCell[static_cast<size_t>(x + (y << g_WorldMap.m_nPitchShift))] = (x + 2 * y) % 10;
        g_WorldMap.m_nBackColor = 40;
        cEdWorldEntry entry;
        entry.m_nX = 2;
        entry.m_nY = 1;
        entry.m_vEntryItem[0].m_nKind = 0;
        entry.m_vEntryItem[0].m_nIcon = 1;
        entry.m_vEntryItem[0].m_nStageNo = 6;
        g_WorldMap.m_vEntry = {entry};

        // Sheets with one flat colour per 32 x 32 cell.
        m_lpChips = NewSurface(160, 64, 1);
        for (int32_t n = 0; n < 10; ++n) DDFillRect(m_lpChips, (n % 5) * 32, (n / 5) * 32, 32, 32, static_cast<uint32_t>(60 + n));
        m_lpEvents = NewSurface(64, 96, 1);
        for (int32_t row = 0; row < 3; ++row)
            for (int32_t col = 0; col < 2; ++col)
                DDFillRect(m_lpEvents, 32 * col, 32 * row, 32, 32, static_cast<uint32_t>(120 + 10 * col + row));
        m_lpBack = NewSurface(4, 4);
        DDFillSurface(m_lpBack, 40);
        m_lpFrame = NewSurface(640, 480);
    }
    void TearDown() override
    {
        g_WorldMap = m_SavedMap;
        g_SaveData.Reset();
        GraphicsTest::TearDown();
    }
    // The pixel in the middle of screen cell (c, r).
    uint32_t CellPixel(int32_t c, int32_t r) { return Get(m_lpFrame, 32 * c + 16, 32 * r + 16); }

    cEdWorldMap m_SavedMap;
    DDSURFACEDATA* m_lpChips = nullptr;
    DDSURFACEDATA* m_lpEvents = nullptr;
    DDSURFACEDATA* m_lpBack = nullptr;
    DDSURFACEDATA* m_lpFrame = nullptr;
};

TEST_P(WorldMapDrawTest, CellsOfTheViewShowTheirChipsAndOutsideOnlyTheBackground)
{
    // The cursor on the map's top-left cell: the view starts 9 columns and 7 rows outside.
    ComposeWorldMapFrame(m_lpFrame, -9, -7, nullptr, m_lpChips, m_lpEvents);
    const uint32_t back = Get(m_lpBack, 0, 0);
    const struct {
        int32_t c, r;   // screen cell
        int32_t chip;   // chip of map cell (c - 9, r - 7), -1 outside the map
    } cases[] = {
        {9, 7, 0}, {10, 7, 1}, {9, 8, 2}, {19, 14, (10 + 14) % 10}, {8, 7, -1}, {9, 6, -1}, {0, 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "screen cell " << c.c << "," << c.r);
        const uint32_t want = c.chip < 0 ? back : Get(m_lpChips, (c.chip % 5) * 32 + 16, (c.chip / 5) * 32 + 16);
        EXPECT_EQ(CellPixel(c.c, c.r), want);
    }
    // The entry at map cell (2, 1) is at screen cell (11, 8), its icon from the first column.
    EXPECT_EQ(CellPixel(11, 8), Get(m_lpEvents, 16, 32 + 16));
}

TEST_P(WorldMapDrawTest, EntriesShowTheirClearedIconAndHiddenOnesTheChip)
{
    g_SaveData.ClearFlags[6] = 1;
    ComposeWorldMapFrame(m_lpFrame, 0, 0, nullptr, m_lpChips, m_lpEvents);
    EXPECT_EQ(CellPixel(2, 1), Get(m_lpEvents, 32 + 16, 32 + 16));
    // An item whose requirement fails shows nothing: the chip stays.
    g_WorldMap.m_vEntry[0].m_vEntryItem[0].m_nNeedFlag = 7;
    ComposeWorldMapFrame(m_lpFrame, 0, 0, nullptr, m_lpChips, m_lpEvents);
    const int32_t chip = (2 + 2 * 1) % 10;
    EXPECT_EQ(CellPixel(2, 1), Get(m_lpChips, (chip % 5) * 32 + 16, (chip / 5) * 32 + 16));
}

INSTANTIATE_TEST_SUITE_P(Modes, WorldMapDrawTest, ::testing::ValuesIn(AllModes()), ModeName);

}  // namespace
