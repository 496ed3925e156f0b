#include <gtest/gtest.h>

#include "frontend/MenuCursor.h"

namespace {

cKeyInput Press(uint16_t direction)
{
    cKeyInput input;
    input.m_wDirection = direction;
    return input;
}

struct GridCase {
    const char* name;
    int32_t col, row;
    uint16_t direction;
    int32_t columns, rows;
    int32_t wantCol, wantRow;
};

TEST(MenuCursorGrid, MovesAndWrapsAtBothEnds)
{
    const GridCase cases[] = {
        {"up from the first row goes to the last", 0, 0, kDirUp, 1, 3, 0, 2},
        {"down from the last row goes to the first", 0, 2, kDirDown, 1, 3, 0, 0},
        {"down in the middle", 0, 1, kDirDown, 1, 3, 0, 2},
        {"one row keeps row 0 going up", 0, 0, kDirUp, 1, 1, 0, 0},
        {"one row keeps row 0 going down", 0, 0, kDirDown, 1, 1, 0, 0},
        {"left wraps to the last column", 0, 0, kDirLeft, 4, 2, 3, 0},
        {"right wraps to the first column", 3, 1, kDirRight, 4, 2, 0, 1},
        {"left wins over right", 2, 0, kDirLeft | kDirRight, 4, 1, 1, 0},
        {"up wins over down", 0, 1, kDirUp | kDirDown, 1, 3, 0, 0},
        {"diagonal moves both axes", 1, 1, kDirRight | kDirDown, 3, 3, 2, 2},
        {"a row past the end comes into range without a press", 0, 6, 0, 1, 3, 0, 0},
        {"no rows yields -1 after a step back", 0, 0, kDirUp, 1, 0, 0, -1},
        {"no rows yields 0 otherwise", 0, 0, 0, 1, 0, 0, 0},
    };
    for (const GridCase& c : cases) {
        SCOPED_TRACE(c.name);
        cMenuCursor cursor;
        cursor.Current().col = c.col;
        cursor.Current().row = c.row;
        cursor.MoveGridCursor(Press(c.direction), 192, 240, 100, 32, c.columns, c.rows);
        EXPECT_EQ(cursor.Current().col, c.wantCol);
        EXPECT_EQ(cursor.Current().row, c.wantRow);
        EXPECT_EQ(cursor.Current().x, 192 + c.wantCol * 100);
        EXPECT_EQ(cursor.Current().y, 240 + c.wantRow * 32);
    }
}

TEST(MenuCursorGrid, NegativeSizeChangesNothing)
{
    cMenuCursor cursor;
    cursor.Current() = MENUCURSOR{1, 2, 3, 4};
    cursor.MoveGridCursor(Press(kDirDown), 0, 0, 16, 16, -1, 3);
    cursor.MoveGridCursor(Press(kDirDown), 0, 0, 16, 16, 1, -1);
    EXPECT_EQ(cursor.Current().row, 2);
    EXPECT_EQ(cursor.Current().y, 4);
}

struct ListCase {
    const char* name;
    int32_t index, top;
    uint16_t direction;
    int32_t page, count, pageJumps;
    int32_t wantIndex, wantTop;
};

TEST(MenuCursorList, ScrollsPagesAndStopsAtTheEnds)
{
    const ListCase cases[] = {
        {"down inside the page", 3, 0, kDirDown, 10, 99, 1, 4, 0},
        {"down from the last visible line scrolls", 9, 0, kDirDown, 10, 99, 1, 10, 1},
        {"up from the first visible line scrolls", 10, 10, kDirUp, 10, 99, 1, 9, 9},
        {"up on the first entry stays", 0, 0, kDirUp, 10, 99, 1, 0, 0},
        {"down on the last entry stays", 98, 89, kDirDown, 10, 99, 1, 98, 89},
        {"right jumps one line less than a page", 4, 0, kDirRight, 10, 99, 1, 13, 9},
        {"right on the last page goes to the last entry", 90, 89, kDirRight, 10, 99, 1, 98, 89},
        {"right near the end keeps top in range", 85, 81, kDirRight, 10, 99, 1, 94, 89},
        {"left on the first page goes to the first entry", 5, 0, kDirLeft, 10, 99, 1, 0, 0},
        {"left jumps back one line less than a page", 20, 18, kDirLeft, 10, 99, 1, 11, 9},
        {"no page jumps without the switch", 4, 0, kDirRight, 10, 99, 0, 4, 0},
        {"fewer entries than the page keep top 0", 3, 0, kDirDown, 10, 5, 1, 4, 0},
        {"fewer entries than the page, right", 1, 0, kDirRight, 10, 5, 1, 4, 0},
        {"an empty list leaves index 0", 0, 0, kDirDown, 10, 0, 1, 0, 0},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.name);
        cMenuCursor cursor;
        cursor.Current().row = c.index;
        int32_t top = c.top;
        cursor.MoveListCursor(Press(c.direction), 1, top, 160, 16, 152, c.page, c.count, c.pageJumps);
        EXPECT_EQ(cursor.Current().row, c.wantIndex);
        EXPECT_EQ(top, c.wantTop);
        EXPECT_EQ(cursor.Current().y, 160 + (c.wantIndex - c.wantTop) * 16);
        EXPECT_EQ(cursor.Current().x, 152);
    }
}

TEST(MenuCursorList, HorizontalListMovesTheColumn)
{
    cMenuCursor cursor;
    cursor.Current().row = 7;
    int32_t top = 0;
    cursor.MoveListCursor(Press(kDirDown), 0, top, 40, 24, 300, 5, 20, 0);
    EXPECT_EQ(cursor.Current().col, 1);
    EXPECT_EQ(cursor.Current().row, 7);
    EXPECT_EQ(cursor.Current().x, 40 + 24);
    EXPECT_EQ(cursor.Current().y, 300);
}

TEST(MenuCursorStack, PushAndPopGiveTheParentItsPosition)
{
    cMenuCursor cursor;
    cursor.Current() = MENUCURSOR{1, 4, 48, 160};

    cursor.PushMenuCursor(0);
    EXPECT_EQ(cursor.Depth(), 2);
    EXPECT_EQ(cursor.Current().row, 0);
    EXPECT_EQ(cursor.Current().col, 0);
    ASSERT_NE(cursor.Previous(), nullptr);
    EXPECT_EQ(cursor.Previous()->row, 4);
    cursor.Current().row = 9;
    cursor.PopMenuCursor(1);
    EXPECT_EQ(cursor.Depth(), 1);
    EXPECT_EQ(cursor.Previous(), nullptr);
    EXPECT_EQ(cursor.Current().row, 4);
    EXPECT_EQ(cursor.Current().y, 160);

    cursor.PushMenuCursor(1);
    EXPECT_EQ(cursor.Current().row, 4);
    EXPECT_EQ(cursor.Current().x, 48);
    cursor.Current().row = 6;
    cursor.PopMenuCursor(2);
    EXPECT_EQ(cursor.Current().row, 6);

    cursor.PushMenuCursor(1);
    cursor.PopMenuCursor(0);
    EXPECT_EQ(cursor.Current().row, 0);
    EXPECT_EQ(cursor.Current().x, 0);
}

TEST(MenuCursorStack, PopOfTheLastRecordChangesNothing)
{
    cMenuCursor cursor;
    cursor.Current() = MENUCURSOR{2, 3, 4, 5};
    cursor.PopMenuCursor(0);
    EXPECT_EQ(cursor.Depth(), 1);
    EXPECT_EQ(cursor.Current().row, 3);
}

TEST(MenuCursorStack, DeepStackKeepsEveryRecordAndResetLeavesOne)
{
    cMenuCursor cursor;
    for (int32_t i = 0; i < 40; ++i) {
        cursor.Current().row = i;
        cursor.PushMenuCursor(0);
    }
    for (int32_t i = 39; i >= 0; --i) {
        cursor.PopMenuCursor(1);
        EXPECT_EQ(cursor.Current().row, i);
    }
    cursor.PushMenuCursor(1);
    cursor.PushMenuCursor(1);
    cursor.ResetMenuCursor();
    EXPECT_EQ(cursor.Depth(), 1);
    EXPECT_EQ(cursor.Previous(), nullptr);
    EXPECT_EQ(cursor.Current().row, 0);
}

}  // namespace
