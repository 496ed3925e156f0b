// Where each graphic kind finds its cell: sheets of both facings, their copies, the cell position,
// cell sizes of character bitmaps, and numbers from a damaged project that name no sheet.
#include <gtest/gtest.h>

#include "data/EdDatabase.h"
#include "data/EdMediaEntry.h"
#include "objects/GraphicSource.h"
#include "shell/ShellGlobals.h"
#include "tests/play/ObjectCoreSupport.h"

namespace {

class ObjectCoreGraphicTest : public cObjectCoreFixture {
public:
    void SetUp() override
    {
        cObjectCoreFixture::SetUp();
        // Character sheet 1 (surfaces 6 and 7) is a 640 x 480 picture.
        for (int32_t n : {6, 7}) {
            SystemSurfaces[n].nWidth = 640;
            SystemSurfaces[n].nHeight = 480;
        }
        m_vSavedBitmaps = g_Database.m_vBmpCharaExc;
        g_Database.m_vBmpCharaExc.resize(3);
        g_Database.m_vBmpCharaExc[1].m_bBigCells = 0;
        g_Database.m_vBmpCharaExc[2].m_bBigCells = 1;
        g_Database.m_vBmpCharaExc[2].m_nCellScale = 2;
        StageCharaSurfaces.resize(8);
    }
    void TearDown() override
    {
        StageCharaSurfaces.clear();
        g_Database.m_vBmpCharaExc = m_vSavedBitmaps;
        for (int32_t n : {6, 7}) SystemSurfaces[n].nWidth = SystemSurfaces[n].nHeight = 0;
        cObjectCoreFixture::TearDown();
    }

    std::vector<cEdBmpCharaExc> m_vSavedBitmaps;
};

DDSURFACEDATA* Sys(int32_t n)
{
    return &SystemSurfaces[n];
}

DDSURFACEDATA* Stage(size_t n)
{
    return &StageCharaSurfaces[n];
}

TEST_F(ObjectCoreGraphicTest, EachKindFindsItsSheetsAndCell)
{
    cCoreTestChara left, right;
    left.m_nDir = 0;
    right.m_nDir = 1;
    struct Case {
        const char* lpName;
        int32_t nOwner, nKind, n, nColumn;
        const cGameObject* lpObject;
        int32_t nFrame;
        DDSURFACEDATA *lpSheet, *lpCopy, *lpOther, *lpOtherCopy;
        int32_t x, y;
        int32_t bOwnSize, nScale;
    };
    const Case cases[] = {
        {"block", 1, 0, 17, 0, &left, 0, Sys(2), Sys(3), Sys(2), Sys(3), 32, 64, 0, 1},
        {"chara right", 1, 1, 17, 3, &right, 2, Sys(7), Sys(25), Sys(6), Sys(24), 160, 64, 0, 1},
        {"chara left", 1, 1, 17, 3, &left, 2, Sys(6), Sys(24), Sys(7), Sys(25), 160, 64, 0, 1},
        {"chara icon plain", 0, 1, 17, 19, nullptr, 0, Sys(6), Sys(24), nullptr, nullptr, 608, 64, 0, 1},
        {"chara icon mirrored", 0, 1, 17, 22, nullptr, 0, Sys(7), Sys(25), nullptr, nullptr, 64, 64, 0, 1},
        // A cell right of the sheet: the empty cell of the first sheet, both facings.
        {"chara off sheet", 1, 1, 17, 19, &right, 1, Sys(4), Sys(22), Sys(4), Sys(22), 0, 0, 0, 1},
        // A sheet past the last one.
        {"chara no sheet", 1, 1, 9 * 15, 0, &right, 0, Sys(4), Sys(22), Sys(4), Sys(22), 0, 0, 0, 1},
        {"chara negative", 1, 1, -3, 0, &right, 0, Sys(4), Sys(22), Sys(4), Sys(22), 0, 0, 0, 1},
        {"item second frame", 2, 2, 16, 0, &left, 1, Sys(40), Sys(41), Sys(40), Sys(41), 96, 32, 0, 1},
        {"item drawn", 1, 2, 16, 0, &left, 1, Sys(40), Sys(41), Sys(40), Sys(41), 64, 32, 0, 1},
        {"shot right", 1, 3, 31, 0, &right, 0, Sys(64), Sys(64), Sys(63), Sys(63), 64, 32, 0, 1},
        {"shot icon", 0, 3, 31, 0, nullptr, 0, Sys(63), Sys(63), nullptr, nullptr, 64, 32, 0, 1},
        {"bitmap", 1, 4, 1, 17, &right, 0, Stage(1), Stage(3), Stage(0), Stage(2), 32, 32, 0, 1},
        // Own cell size 2: 8 cells a row of 64 pixels; cell 3 + 2 = 5.
        {"bitmap big", 1, 4, 2, 3, &left, 2, Stage(4), Stage(6), Stage(5), Stage(7), 320, 0, 1, 2},
        {"bitmap icon", 0, 4, 2, 9, nullptr, 4, Stage(4), Stage(6), nullptr, nullptr, 64, 64, 1, 2},
        {"bitmap none", 1, 4, 0, 0, &left, 0, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 1},
        {"bitmap past", 1, 4, 3, 0, &left, 0, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 1},
        {"unknown kind", 1, 5, 3, 0, &left, 0, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lpName);
        GraphicSource src;
        src.m_bBlend = 1;
        src.m_dwBlendDiffuse = 5;
        src.m_nCellScale = 3;
        SetGraphicSource(&src, c.nOwner, c.nKind, c.n, c.nColumn, c.lpObject, c.nFrame);
        EXPECT_EQ(src.m_lpSheet, c.lpSheet);
        EXPECT_EQ(src.m_lpSheetCopy, c.lpCopy);
        EXPECT_EQ(src.m_lpOtherSheet, c.lpOther);
        EXPECT_EQ(src.m_lpOtherSheetCopy, c.lpOtherCopy);
        EXPECT_EQ(src.m_nSrcX, c.x);
        EXPECT_EQ(src.m_nSrcY, c.y);
        EXPECT_EQ(src.m_bOwnCellSize, c.bOwnSize);
        EXPECT_EQ(src.m_nCellScale, c.nScale);
        EXPECT_EQ(src.m_bBlend + src.m_dwBlendDiffuse, 0);
        // Without the DirectDraw stretch setting the object is drawn from the copies.
        EXPECT_EQ(src.m_lpChosen, c.lpCopy);
        EXPECT_EQ(src.m_lpChosenOther, c.lpOtherCopy);
    }
}

TEST_F(ObjectCoreGraphicTest, WorkSurfacesOutsideDirectDraw)
{
    EffectWorkSurface = SecondWorkSurface = MarkStretchSurface = 0;
    SelectGraphicTables();
    EXPECT_EQ(EffectWorkSurface, 68);
    EXPECT_EQ(MarkStretchSurface, 44);
    EXPECT_EQ(SecondWorkSurface, 70);
}

TEST_F(ObjectCoreGraphicTest, IconsOfNumbersThatNameNoSheetDrawNothing)
{
    // Under the address sanitizer: no look-up outside the sheets and the stage's bitmaps.
    DDSURFACEDATA target;
    for (int32_t nKind : {-1, 0, 1, 2, 3, 4, 5})
        for (int32_t n : {-20, 0, 1, 135, 30000}) DrawGraphicIcon(&target, 0, 0, nKind, n, 2);
}

}  // namespace
