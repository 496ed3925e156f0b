#include <gtest/gtest.h>

#include <climits>

#include "RecordTestUtil.h"
#include "data/EdWorldMap.h"

namespace {

struct EntryFixture {
    int32_t nX, nY;
    std::string strName;
    // Each item: the eleven int32 in file order (the last only from version 209), title, file.
    std::vector<std::vector<int32_t>> vItems;
};

Bytes WorldMapFile(uint32_t nVersion, const std::vector<int32_t>& geometry, const std::vector<int32_t>& cells,
                   const std::vector<EntryFixture>& entries, int nChips = 2)
{
    Bytes b;
    AppendU32(b, nVersion);
    AppendU32(b, 8);
    for (int32_t v : geometry) AppendU32(b, static_cast<uint32_t>(v));   // width .. back picture
    AppendU32(b, 2);
    AppendString(b, "map");
    AppendString(b, "bmp\\world.bmp");
    AppendU32(b, static_cast<uint32_t>(nChips));
    for (int i = 0; i < nChips; ++i) {
        AppendU32(b, 3);
        AppendU32(b, 100 + i);
        AppendU32(b, i % 2);
        AppendU32(b, i);
        AppendU32(b, 2);
        AppendString(b, "chip");
        AppendString(b, "");
    }
    AppendU32(b, static_cast<uint32_t>(cells.size()));
    for (int32_t c : cells) AppendU32(b, static_cast<uint32_t>(c));
    for (int list = 0; list < 2; ++list) {
        const std::vector<EntryFixture> none;
        const std::vector<EntryFixture>& v = list == 0 ? entries : none;
        AppendU32(b, static_cast<uint32_t>(v.size()));
        for (const EntryFixture& e : v) {
            AppendU32(b, 2);
            AppendU32(b, static_cast<uint32_t>(e.nX));
            AppendU32(b, static_cast<uint32_t>(e.nY));
            AppendU32(b, 1);
            AppendString(b, e.strName);
            AppendU32(b, static_cast<uint32_t>(e.vItems.size()));
            for (const std::vector<int32_t>& item : e.vItems) {
                const size_t n = nVersion >= 209 ? 11 : 10;
                AppendU32(b, static_cast<uint32_t>(n));
                for (size_t i = 0; i < n; ++i) AppendU32(b, static_cast<uint32_t>(item[i]));
                AppendU32(b, 2);
                AppendString(b, "title");
                AppendString(b, "data\\stg4\\a.stg4");
            }
        }
    }
    return b;
}

// A 4 x 2 map: pitch 4, shift 2; start (1, 1); back colour 20.
const std::vector<int32_t> kGeometry = {4, 2, 4, 2, 1, 1, 20, 0};
const std::vector<int32_t> kCells = {0, 1, 0, 1, 1, 0, 1, 0};

class WorldMapFileTest : public ScratchFolderTest {};

}  // namespace

TEST(WorldMapTest, DefaultsAreATwentyByFifteenMapOfTenChips)
{
    cEdWorldMap map;
    EXPECT_EQ(map.m_nWidth, 20);
    EXPECT_EQ(map.m_nHeight, 15);
    EXPECT_EQ(map.m_nPitch, 32);
    EXPECT_EQ(map.m_nPitchShift, 5);
    EXPECT_EQ(map.m_vCell.size(), 480u);
    ASSERT_EQ(map.m_vChip.size(), 10u);
    EXPECT_EQ(map.m_vChip[4].m_bBlocked, 1);
    EXPECT_EQ(map.m_vChip[5].m_bBlocked, 0);
    EXPECT_EQ(map.m_vChip[7].m_nCell, 7);
    EXPECT_EQ(map.m_vChip[0].m_strText, "通行不可");
    EXPECT_EQ(map.m_strName, "ワールド");
    EXPECT_EQ(map.m_nStartX, 9);
    EXPECT_EQ(map.m_nStartY, 7);
    EXPECT_EQ(map.m_nBackColor, 16);
    EXPECT_TRUE(map.m_vEntry.empty());
    ASSERT_EQ(map.m_vEntry2.size(), 1u);
    EXPECT_EQ(map.m_vEntry2[0].m_strName, "デフォルト");
    EXPECT_EQ(map.m_vEntry2[0].m_vEntryItem.size(), 1u);
}

TEST(WorldMapTest, SetSizeComputesPitchAndKeepsSharedCells)
{
    struct Case {
        int32_t nWidth, nPitch, nShift;
    };
    for (const Case& c : {Case{1, 1, 0}, Case{20, 32, 5}, Case{32, 32, 5}, Case{33, 64, 6}}) {
        cEdWorldMap map;
        map.m_vCell.clear();
        ASSERT_EQ(map.SetSize(c.nWidth, 3), 1);
        EXPECT_EQ(map.m_nPitch, c.nPitch) << c.nWidth;
        EXPECT_EQ(map.m_nPitchShift, c.nShift) << c.nWidth;
        EXPECT_EQ(map.m_vCell.size(), static_cast<size_t>(3 * c.nPitch));
    }

    cEdWorldMap map;
    for (int32_t y = 0; y < 15; ++y)
        for (int32_t x = 0; x < 20; ++x) map.m_vCell[static_cast<size_t>(x + (y << 5))] = y * 100 + x;
    ASSERT_EQ(map.SetSize(40, 15), 1);
    EXPECT_EQ(map.m_nPitch, 64);
    EXPECT_EQ(map.m_vCell.size(), 15u * 64u);
    EXPECT_EQ(map.m_vCell[static_cast<size_t>(19 + (14 << 6))], 1419);
    EXPECT_EQ(map.m_vCell[static_cast<size_t>(3 + (2 << 6))], 203);
    EXPECT_EQ(map.m_vCell[static_cast<size_t>(20 + (2 << 6))], 0);
}

TEST(WorldMapTest, SetSizeRefusesEmptyAndHugeMaps)
{
    for (auto [w, h] : {std::pair{0, 15}, std::pair{20, 0}, std::pair{-3, 15}, std::pair{20, -1},
                        std::pair{INT_MAX, 15}, std::pair{20, INT_MAX}}) {
        cEdWorldMap map;
        EXPECT_EQ(map.SetSize(w, h), 0) << w << "x" << h;
        EXPECT_EQ(map.m_nWidth, 20);
        EXPECT_EQ(map.m_nHeight, 15);
        EXPECT_EQ(map.m_vCell.size(), 480u);
    }
}

TEST(WorldMapTest, ValidationPullsTheStartInAndDropsEntriesOffTheMap)
{
    cEdWorldMap map;
    map.m_nStartX = 25;
    map.m_nStartY = 3;
    map.m_vEntry.resize(4);
    map.m_vEntry[0].m_nX = 20;   // off the map
    map.m_vEntry[1].m_nX = -1;   // stays: only the far edges are checked
    map.m_vEntry[2].m_nY = 15;   // off the map
    map.m_vEntry[3].m_nX = 19;
    map.m_vEntry[3].m_nY = 14;
    map.Validate();
    EXPECT_EQ(map.m_nStartX, 19);
    EXPECT_EQ(map.m_nStartY, 3);
    ASSERT_EQ(map.m_vEntry.size(), 2u);
    EXPECT_EQ(map.m_vEntry[0].m_nX, -1);
    EXPECT_EQ(map.m_vEntry[1].m_nX, 19);
}

TEST(WorldMapTest, FindEntryAtGivesTheFirstOfTwoOnACell)
{
    cEdWorldMap map;
    map.m_vEntry.resize(3);
    map.m_vEntry[0].m_nX = 1;
    map.m_vEntry[1].m_nX = 2;
    map.m_vEntry[1].m_strName = "first";
    map.m_vEntry[2].m_nX = 2;
    map.m_vEntry[2].m_strName = "second";
    ASSERT_NE(map.FindEntryAt(2, 0), nullptr);
    EXPECT_EQ(map.FindEntryAt(2, 0)->m_strName, "first");
    EXPECT_EQ(map.FindEntryAt(5, 5), nullptr);
}

TEST(WorldMapTest, VariableComparisonsIncludingTheExtremes)
{
    struct Case {
        int32_t nOp, nConst, nValue;
        bool bHolds;
    };
    const Case cases[] = {
        {0, 5, 5, true},          {0, 5, 4, false},        {1, 5, 4, true},        {2, 5, 5, true},
        {2, 5, 4, false},         {3, 5, 5, true},         {3, 5, 6, false},       {4, 5, 5, false},
        {4, 5, 6, true},          {5, 5, 4, true},         {6, 3, -9, true},       {6, 3, 10, false},
        {6, 0, 7, true},          {7, 0, 7, false},        {7, 3, 10, true},       {6, -1, INT_MIN, true},
        {7, -1, INT_MIN, false},  {6, INT_MIN, INT_MIN, true}, {6, 2, INT_MIN, true}, {8, 0, 0, false},
        {-1, 0, 0, false},
    };
    for (const Case& c : cases) {
        cEdWorldEntryItem item;
        item.m_nNeedOp = c.nOp;
        item.m_nNeedValue = c.nConst;
        EXPECT_EQ(item.VariableHolds(c.nValue), c.bHolds) << c.nOp << " " << c.nConst << " " << c.nValue;
    }
}

TEST(WorldMapTest, TheFirstApplicableItemIsTheEntrysState)
{
    cEdWorldEntry entry;
    entry.m_vEntryItem.resize(3);
    entry.m_vEntryItem[0].m_nNeedFlag = 3;      // needs stage 3 cleared
    entry.m_vEntryItem[1].m_nNeedTotal = 500;   // needs a total score of 500
    entry.m_vEntryItem[1].m_nKind = 1;
    entry.m_vEntryItem[2].m_nKind = 2;
    auto cleared = [](int32_t n) { return n == 4; };
    auto variable = [](int32_t) { return 0; };
    EXPECT_EQ(entry.CurrentItem(cleared, variable, 100), &entry.m_vEntryItem[2]);
    EXPECT_EQ(entry.CurrentItem(cleared, variable, 500), &entry.m_vEntryItem[1]);
    auto all = [](int32_t) { return true; };
    EXPECT_EQ(entry.CurrentItem(all, variable, 0), &entry.m_vEntryItem[0]);

    cEdWorldEntry gated;
    gated.m_vEntryItem[0].m_nNeedVar = 7;
    gated.m_vEntryItem[0].m_nNeedOp = 2;
    gated.m_vEntryItem[0].m_nNeedValue = 10;
    EXPECT_EQ(gated.CurrentItem(all, [](int32_t n) { return n == 7 ? 9 : 99; }, 0), nullptr);
    EXPECT_NE(gated.CurrentItem(all, [](int32_t n) { return n == 7 ? 10 : 0; }, 0), nullptr);
}

TEST(WorldMapTest, CellLookupClampsIntoTheMap)
{
    cEdWorldMap map;
    map.m_vCell[static_cast<size_t>(19 + (14 << 5))] = 6;
    map.m_vCell[static_cast<size_t>(0 + (3 << 5))] = 8;
    map.m_vCell[5] = 2;
    EXPECT_EQ(map.CellAt(19, 14), 6);
    EXPECT_EQ(map.CellAt(100, 100), 6);
    EXPECT_EQ(map.CellAt(-5, 3), 8);
    EXPECT_EQ(map.CellAt(5, -4), 2);
}

TEST_F(WorldMapFileTest, LoadsTheStoredGeometryGridAndEntries)
{
    std::vector<int32_t> item(11, 0);
    item[0] = 0;
    item[2] = 12;   // stage number
    item[10] = 300;
    std::vector<int32_t> off = item;
    WriteWholeFile("WorldMap.dat", WorldMapFile(751, kGeometry, kCells,
                                                {{1, 1, "place", {item}}, {4, 0, "off", {off}}}));
    cEdWorldMap map;
    ASSERT_EQ(map.LoadFromFile("WorldMap.dat"), 1);
    EXPECT_EQ(map.m_nWidth, 4);
    EXPECT_EQ(map.m_nHeight, 2);
    EXPECT_EQ(map.m_nPitch, 4);
    EXPECT_EQ(map.m_nPitchShift, 2);
    EXPECT_EQ(map.m_nBackColor, 20);
    EXPECT_EQ(map.m_strPicture, "bmp\\world.bmp");
    EXPECT_EQ(map.m_vCell, kCells);
    EXPECT_EQ(map.m_vChip.size(), 2u);
    EXPECT_EQ(map.m_vChip[1].m_nChipValue, 101);
    EXPECT_EQ(map.CellAt(3, 1), 0);
    EXPECT_EQ(map.CellAt(0, 1), 1);
    // The entry at x = 4 lies off a map four cells wide.
    ASSERT_EQ(map.m_vEntry.size(), 1u);
    EXPECT_EQ(map.m_vEntry[0].m_strName, "place");
    EXPECT_EQ(map.m_vEntry[0].m_vEntryItem[0].m_nStageNo, 12);
    EXPECT_EQ(map.m_vEntry[0].m_vEntryItem[0].m_nNeedTotal, 300);
    EXPECT_EQ(map.m_vEntry[0].m_vEntryItem[0].m_strStageFile, "data\\stg4\\a.stg4");
    EXPECT_TRUE(map.m_vEntry2.empty());
}

TEST_F(WorldMapFileTest, NeedTotalIsZeroBeforeVersion209AndKeptFrom209)
{
    for (uint32_t nVersion : {208u, 209u}) {
        std::vector<int32_t> item(11, 0);
        item[10] = 300;
        WriteWholeFile("WorldMap.dat", WorldMapFile(nVersion, kGeometry, kCells, {{0, 0, "e", {item}}}));
        cEdWorldMap map;
        map.m_vEntry.resize(1);
        map.m_vEntry[0].m_vEntryItem[0].m_nNeedTotal = 77;
        ASSERT_EQ(map.LoadFromFile("WorldMap.dat"), 1) << nVersion;
        ASSERT_EQ(map.m_vEntry.size(), 1u);
        EXPECT_EQ(map.m_vEntry[0].m_vEntryItem[0].m_nNeedTotal, nVersion == 208 ? 0 : 300);
    }
}

TEST_F(WorldMapFileTest, SaveAndLoadRoundTrip)
{
    cEdWorldMap source;
    source.SetSize(33, 4);
    source.m_vCell[static_cast<size_t>(32 + (3 << 6))] = 9;
    source.m_vEntry.resize(1);
    source.m_vEntry[0].m_nX = 32;
    source.m_vEntry[0].m_nY = 3;
    source.m_vEntry[0].m_vEntryItem.resize(2);
    source.m_vEntry[0].m_vEntryItem[1].m_strTitle = "second";
    source.m_vEntry[0].m_vEntryItem[1].m_nNeedTotal = 12345;
    source.m_strPicture = "bmp\\p.bmp";
    source.m_bBackPicture = 1;
    ASSERT_EQ(source.SaveToFile("WorldMap.dat"), 1);

    const Bytes file = ReadWholeFile("WorldMap.dat");
    ASSERT_GE(file.size(), 12u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 12), (Bytes{0xEF, 2, 0, 0, 8, 0, 0, 0, 33, 0, 0, 0}));

    cEdWorldMap loaded;
    ASSERT_EQ(loaded.LoadFromFile("WorldMap.dat"), 1);
    EXPECT_EQ(loaded.m_nWidth, 33);
    EXPECT_EQ(loaded.m_nPitch, 64);
    EXPECT_EQ(loaded.m_vCell, source.m_vCell);
    EXPECT_EQ(loaded.CellAt(32, 3), 9);
    ASSERT_EQ(loaded.m_vEntry.size(), 1u);
    ASSERT_EQ(loaded.m_vEntry[0].m_vEntryItem.size(), 2u);
    EXPECT_EQ(loaded.m_vEntry[0].m_vEntryItem[1].m_strTitle, "second");
    EXPECT_EQ(loaded.m_vEntry[0].m_vEntryItem[1].m_nNeedTotal, 12345);
    EXPECT_EQ(loaded.m_vEntry2[0].m_strName, "デフォルト");
    EXPECT_EQ(loaded.m_strPicture, "bmp\\p.bmp");
    EXPECT_EQ(loaded.m_vChip.size(), 10u);
}

TEST_F(WorldMapFileTest, GeometryThatDescribesNoGridIsRefused)
{
    // width, height, pitch, shift
    const std::vector<std::vector<int32_t>> bad = {
        {4, 2, 4, 40},   {4, 2, 4, -1},    {4, 2, 8, 2},          {8, 2, 4, 2},   {0, 2, 1, 0},
        {4, 0, 4, 2},    {-4, 2, 4, 2},    {4, INT_MAX, 4, 2},    {4, 2, INT_MIN, 31},
    };
    for (const std::vector<int32_t>& g : bad) {
        std::vector<int32_t> geometry = kGeometry;
        std::copy(g.begin(), g.end(), geometry.begin());
        WriteWholeFile("WorldMap.dat", WorldMapFile(751, geometry, kCells, {}));
        cEdWorldMap map;
        EXPECT_EQ(map.LoadFromFile("WorldMap.dat"), 0) << g[0] << " " << g[1] << " " << g[2] << " " << g[3];
        EXPECT_EQ(map.m_nWidth, 20);
        EXPECT_EQ(map.m_nPitchShift, 5);
        EXPECT_EQ(map.m_vCell.size(), 480u);
    }
}

TEST_F(WorldMapFileTest, TruncatedOrOversizedFileLeavesTheMapAsItWas)
{
    const Bytes full = WorldMapFile(751, kGeometry, kCells, {{1, 1, "e", {std::vector<int32_t>(11, 0)}}});
    for (size_t nKeep = 4; nKeep < full.size(); nKeep += 3) {
        WriteWholeFile("WorldMap.dat", Bytes(full.begin(), full.begin() + static_cast<long>(nKeep)));
        cEdWorldMap map;
        EXPECT_EQ(map.LoadFromFile("WorldMap.dat"), 0) << nKeep;
        EXPECT_EQ(map.m_nWidth, 20) << nKeep;
        EXPECT_EQ(map.m_vCell.size(), 480u) << nKeep;
        EXPECT_TRUE(map.m_vEntry.empty()) << nKeep;
    }
    // A grid count far beyond the bytes in the file.
    Bytes huge = WorldMapFile(751, kGeometry, {}, {});
    const size_t nCountAt = huge.size() - 12;   // grid count, then two empty entry lists
    huge[nCountAt + 3] = 0x7F;
    WriteWholeFile("WorldMap.dat", huge);
    cEdWorldMap map;
    EXPECT_EQ(map.LoadFromFile("WorldMap.dat"), 0);
    EXPECT_EQ(map.m_vCell.size(), 480u);
}
