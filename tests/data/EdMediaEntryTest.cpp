#include <gtest/gtest.h>

#include "data/EdMediaEntry.h"
#include "tests/data/RecordTestUtil.h"

namespace {

Bytes NamedFileBody(bool withReserved, int32_t reserved)
{
    Bytes b;
    AppendU32(b, withReserved ? 1 : 0);
    if (withReserved) AppendU32(b, static_cast<uint32_t>(reserved));
    AppendU32(b, 2);
    AppendString(b, "名前");
    AppendString(b, "wave\\a.wav");
    return b;
}

Bytes BmpBody(uint32_t v, int32_t reserved, int32_t big, int32_t scale)
{
    Bytes b;
    AppendU32(b, v >= 172 ? 3 : v >= 152 ? 1 : 0);
    if (v >= 152) AppendU32(b, static_cast<uint32_t>(reserved));
    if (v >= 172) {
        AppendU32(b, static_cast<uint32_t>(big));
        AppendU32(b, static_cast<uint32_t>(scale));
    }
    AppendU32(b, 2);
    AppendString(b, "キャラ");
    AppendString(b, "bmp\\c.bmp");
    return b;
}

template <class T>
void CheckNamedFileBoundaries()
{
    const struct {
        uint32_t version;
        int32_t expected;
    } cases[] = {{150, 0}, {151, 0}, {152, 0}, {153, 3}};
    for (const auto& c : cases) {
        T record;
        record.m_nReserved = 8;
        ASSERT_TRUE(LoadBody(record, NamedFileBody(c.version >= 151, 3), c.version)) << c.version;
        EXPECT_EQ(record.m_nReserved, c.expected) << c.version;
        EXPECT_EQ(record.m_strName, "名前");
        EXPECT_EQ(record.m_strFile, "wave\\a.wav");
    }
    T saved;
    ASSERT_TRUE(LoadBody(saved, NamedFileBody(true, 3)));
    EXPECT_EQ(SaveBody(saved), NamedFileBody(true, 3));
}

}  // namespace

TEST(EdMediaEntryTest, PicturesSoundsAndMusicShareOneFileForm)
{
    CheckNamedFileBoundaries<cEdPicture>();
    CheckNamedFileBoundaries<cEdSound>();
    CheckNamedFileBoundaries<cEdBgm>();
}

TEST(EdMediaEntryTest, CharacterBitmapAtEachVersionBoundary)
{
    const struct {
        uint32_t version;
        int32_t reserved, big, scale;
    } cases[] = {{151, 0, 0, 2}, {152, 0, 0, 2}, {160, 0, 0, 2}, {171, 0, 0, 2}, {172, 0, 1, 4}, {751, 6, 1, 4}};
    for (const auto& c : cases) {
        cEdBmpCharaExc bmp;
        ASSERT_TRUE(LoadBody(bmp, BmpBody(c.version, 6, 1, 4), c.version)) << c.version;
        EXPECT_EQ(bmp.m_nReserved, c.version >= 153 ? 6 : 0) << c.version;
        EXPECT_EQ(bmp.m_bBigCells, c.big) << c.version;
        EXPECT_EQ(bmp.m_nCellScale, c.scale) << c.version;
        EXPECT_EQ(bmp.m_strFile, "bmp\\c.bmp");
    }
    cEdBmpCharaExc bmp;
    ASSERT_TRUE(LoadBody(bmp, BmpBody(751, 6, 1, 4)));
    EXPECT_EQ(SaveBody(bmp), BmpBody(751, 6, 1, 4));
}

TEST(EdMediaEntryTest, CellPositionsAndUnusableScales)
{
    const struct {
        int32_t big, scale, cell, x, y, side;
    } cases[] = {
        {0, 2, 9, 288, 0, 32},   {0, 2, 17, 32, 32, 32},  {1, 2, 9, 64, 64, 64},  {1, 3, 5, 0, 96, 96},
        {1, 16, 3, 0, 1536, 512},
        // A stored scale of 0, a negative one or one above 16 would leave no cell per row.
        {1, 0, 17, 32, 32, 32},  {1, -4, 17, 32, 32, 32}, {1, 40, 1, 0, 512, 512},
    };
    for (const auto& c : cases) {
        cEdBmpCharaExc bmp;
        bmp.m_bBigCells = c.big;
        bmp.m_nCellScale = c.scale;
        int32_t x = -1, y = -1;
        bmp.GetCellOrigin(c.cell, x, y);
        EXPECT_EQ(x, c.x) << c.scale << " " << c.cell;
        EXPECT_EQ(y, c.y) << c.scale << " " << c.cell;
        EXPECT_EQ(bmp.GetCellSide(), c.side) << c.scale;
    }
}
