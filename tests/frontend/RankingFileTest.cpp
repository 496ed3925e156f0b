#include <gtest/gtest.h>

#include <filesystem>

#include "frontend/RankingFile.h"
#include "tests/data/RecordTestUtil.h"

namespace {

cRankingTable TableOf(int32_t largerFirst, std::initializer_list<int32_t> values)
{
    cRankingTable table;
    table.m_bLargerFirst = largerFirst;
    size_t i = 0;
    for (int32_t v : values) {
        table.m_vEntries[i].m_bEnabled = 1;
        table.m_vEntries[i].m_strName = "n" + std::to_string(i);
        table.m_vEntries[i].m_nValue = v;
        ++i;
    }
    return table;
}

TEST(RankingInsert, FindsTheLineByTheSortOrder)
{
    const struct {
        const char* name;
        int32_t largerFirst;
        std::initializer_list<int32_t> values;
        int32_t value;
        int32_t want;
    } cases[] = {
        {"empty table takes line 0", 1, {}, 5, 0},
        {"larger first: beats the second", 1, {100, 50, 10}, 60, 1},
        {"larger first: equal goes below", 1, {100, 50, 10}, 50, 2},
        {"larger first: below all takes the empty line", 1, {100, 50, 10}, 1, 3},
        {"smaller first: a shorter time wins", 0, {500, 900}, 400, 0},
        {"smaller first: equal goes below", 0, {500, 900}, 500, 1},
        {"smaller first: slower takes the empty line", 0, {500, 900}, 1000, 2},
        {"an empty line is taken before any comparison", 0, {500}, 99999, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FindRankingInsertPos(TableOf(c.largerFirst, c.values), c.value), c.want);
    }
}

TEST(RankingInsert, FullTableDropsTheLastOrTheNewcomer)
{
    std::initializer_list<int32_t> twenty = {200, 190, 180, 170, 160, 150, 140, 130, 120, 110,
                                             100, 90,  80,  70,  60,  50,  40,  30,  20,  10};
    cRankingTable table = TableOf(1, twenty);
    EXPECT_EQ(FindRankingInsertPos(table, 10), -1);
    InsertRankingEntry(table, "new", 10);
    ASSERT_EQ(table.m_vEntries.size(), 20u);
    EXPECT_EQ(table.m_vEntries[19].m_strName, "n19");

    InsertRankingEntry(table, "abc", 11);
    ASSERT_EQ(table.m_vEntries.size(), 20u);
    EXPECT_EQ(table.m_vEntries[19].m_strName, "abc");
    EXPECT_EQ(table.m_vEntries[19].m_nValue, 11);

    InsertRankingEntry(table, "top", 500);
    EXPECT_EQ(table.m_vEntries[0].m_strName, "top");
    EXPECT_EQ(table.m_vEntries[1].m_nValue, 200);
    EXPECT_EQ(table.m_vEntries[19].m_nValue, 20);
}

TEST(RankingInsert, EqualResultsKeepTheirOrderOfArrival)
{
    cRankingTable table = TableOf(1, {});
    InsertRankingEntry(table, "one", 50);
    InsertRankingEntry(table, "two", 50);
    InsertRankingEntry(table, "", 50);
    EXPECT_EQ(table.m_vEntries[0].m_strName, "one");
    EXPECT_EQ(table.m_vEntries[1].m_strName, "two");
    EXPECT_EQ(table.m_vEntries[2].m_strName, "");
    EXPECT_EQ(table.m_vEntries[2].m_bEnabled, 1);
    EXPECT_EQ(table.m_vEntries[3].m_bEnabled, 0);
}

TEST(RankingFilePath, FolderOfTheModeAndTheStageKey)
{
    const struct {
        int32_t mode;
        const char* stage;
        int want;
        const char* path;
    } cases[] = {
        {0, "data\\stg4\\Forest.", 1, "user_data\\story\\Forest.rkg"},
        {1, "data\\stg4\\c03.", 1, "user_data\\challenge\\c03.rkg"},
        {2, "Stage.", 1, "user_data\\free\\Stage.rkg"},
        {3, "Stage.", 0, ""},
        {-1, "Stage.", 0, ""},
    };
    for (const auto& c : cases) {
        std::string path = "old";
        EXPECT_EQ(BuildRankingFilePath(path, c.mode, c.stage), c.want);
        EXPECT_EQ(path, c.path);
    }
}

// The rankings as written: five tables of 20 lines, one line of the first table taken by "abc".
Bytes RankingFileBytes(uint32_t version, int32_t tables, bool withEntry)
{
    Bytes b;
    AppendU32(b, version);
    AppendU32(b, 0);
    AppendU32(b, 0);
    AppendU32(b, static_cast<uint32_t>(tables));
    for (int32_t t = 0; t < tables; ++t) {
        AppendU32(b, 1);
        AppendU32(b, t == 2 ? 0 : 1);
        AppendU32(b, 0);
        AppendU32(b, 20);
        for (int32_t i = 0; i < 20; ++i) {
            const bool bEntry = withEntry && t == 0 && i == 0;
            AppendU32(b, 2);
            AppendU32(b, bEntry ? 1 : 0);
            AppendU32(b, bEntry ? 1234 : 0);
            AppendU32(b, 1);
            AppendString(b, bEntry ? "abc" : "");
        }
    }
    return b;
}

class RankingFileTest : public ScratchFolderTest {
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        std::filesystem::create_directories("user_data/story");
    }
};

TEST_F(RankingFileTest, WritesTheDefaultTablesWithOneEntryByteForByte)
{
    cRankingFile file;
    InsertRankingEntry(file.m_vTables[0], "abc", 1234);
    ASSERT_EQ(SaveRankingFile(file, 0, "data\\stg4\\Forest."), 1);
    EXPECT_EQ(ReadWholeFile("user_data/story/Forest.rkg"), RankingFileBytes(751, 5, true));
    EXPECT_FALSE(std::filesystem::exists("user_data/story/Forest.rkg.tmp"));

    cRankingFile loaded;
    ASSERT_EQ(LoadRankingFile(loaded, 0, "data\\stg4\\Forest."), 1);
    ASSERT_EQ(loaded.m_vTables.size(), 5u);
    EXPECT_EQ(loaded.m_vTables[0].m_vEntries[0].m_strName, "abc");
    EXPECT_EQ(loaded.m_vTables[0].m_vEntries[0].m_nValue, 1234);
    EXPECT_EQ(loaded.m_vTables[2].m_bLargerFirst, 0);
}

TEST_F(RankingFileTest, MissingOrOtherModeFileGivesTheDefaultRankings)
{
    cRankingFile file;
    InsertRankingEntry(file.m_vTables[1], "xyz", 5);
    file.m_vTables[2].m_bLargerFirst = 1;
    EXPECT_EQ(LoadRankingFile(file, 0, "Nothing."), 0);
    EXPECT_EQ(file.m_vTables[1].m_vEntries[0].m_bEnabled, 0);
    EXPECT_EQ(file.m_vTables[2].m_bLargerFirst, 0);
    EXPECT_EQ(LoadRankingFile(file, 3, "Nothing."), 0);
    EXPECT_EQ(SaveRankingFile(file, 3, "Nothing."), 0);
}

TEST_F(RankingFileTest, OldFilesWithFewerTablesArePaddedWithTheirSortOrder)
{
    const struct {
        uint32_t version;
        int32_t tables;
    } cases[] = {{180, 3}, {180, 1}, {180, 0}, {181, 3}, {751, 4}, {180, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "version " << c.version << ", " << c.tables << " tables");
        WriteWholeFile("user_data/story/Old.rkg", RankingFileBytes(c.version, c.tables, c.tables > 0));
        cRankingFile file;
        ASSERT_EQ(LoadRankingFile(file, 0, "Old."), 1);
        ASSERT_EQ(file.m_vTables.size(), 5u);
        const int32_t want[5] = {1, 1, 0, 1, 1};
        for (int32_t t = 0; t < 5; ++t) {
            EXPECT_EQ(file.m_vTables[static_cast<size_t>(t)].m_bLargerFirst, want[t]) << t;
            EXPECT_EQ(file.m_vTables[static_cast<size_t>(t)].m_vEntries.size(), 20u);
        }
        if (c.tables > 0) {
            EXPECT_EQ(file.m_vTables[0].m_vEntries[0].m_strName, "abc");
        }
    }
}

TEST_F(RankingFileTest, Version180SetsTheHpAndSpTablesToLargerFirst)
{
    Bytes b = RankingFileBytes(180, 5, false);
    // Tables 3 and 4 stored smaller-first, as files of that version may hold them.
    const size_t tableBytes = 16 + 20 * (4 * 5);
    b[16 + 3 * tableBytes + 4] = 0;
    b[16 + 4 * tableBytes + 4] = 0;
    WriteWholeFile("user_data/story/Old.rkg", b);
    cRankingFile file;
    ASSERT_EQ(LoadRankingFile(file, 0, "Old."), 1);
    EXPECT_EQ(file.m_vTables[3].m_bLargerFirst, 1);
    EXPECT_EQ(file.m_vTables[4].m_bLargerFirst, 1);

    b[0] = 181;
    WriteWholeFile("user_data/story/Old.rkg", b);
    ASSERT_EQ(LoadRankingFile(file, 0, "Old."), 1);
    EXPECT_EQ(file.m_vTables[3].m_bLargerFirst, 0);
}

TEST_F(RankingFileTest, TablesOfAnyLengthBecomeTwentyLines)
{
    for (uint32_t lines : {0u, 3u, 25u}) {
        SCOPED_TRACE(lines);
        Bytes b;
        AppendU32(b, 751);
        AppendU32(b, 0);
        AppendU32(b, 0);
        AppendU32(b, 5);
        for (int32_t t = 0; t < 5; ++t) {
            AppendU32(b, 1);
            AppendU32(b, 1);
            AppendU32(b, 0);
            AppendU32(b, lines);
            for (uint32_t i = 0; i < lines; ++i) {
                AppendU32(b, 2);
                AppendU32(b, 1);
                AppendU32(b, 100 - static_cast<int32_t>(i));
                AppendU32(b, 1);
                AppendString(b, "p");
            }
        }
        WriteWholeFile("user_data/story/Odd.rkg", b);
        cRankingFile file;
        ASSERT_EQ(LoadRankingFile(file, 0, "Odd."), 1);
        for (const cRankingTable& table : file.m_vTables) ASSERT_EQ(table.m_vEntries.size(), 20u);
        // A short table still takes a result.
        InsertRankingEntry(file.m_vTables[0], "new", 1);
        EXPECT_EQ(file.m_vTables[0].m_vEntries[std::min(lines, 19u)].m_strName,
                  lines < 20 ? "new" : "p");
    }
}

TEST_F(RankingFileTest, DamagedFileLeavesTheDefaultRankings)
{
    Bytes full = RankingFileBytes(751, 5, true);
    const Bytes damaged[] = {
        Bytes(full.begin(), full.begin() + 300),
        [] {
            Bytes b;
            AppendU32(b, 751);
            AppendU32(b, 0);
            AppendU32(b, 0);
            AppendU32(b, 0x7FFFFFFF);   // a table count no file can hold
            return b;
        }(),
        Bytes{0xEF, 0x02},
    };
    for (const Bytes& b : damaged) {
        WriteWholeFile("user_data/story/Bad.rkg", b);
        cRankingFile file;
        InsertRankingEntry(file.m_vTables[0], "old", 9);
        EXPECT_EQ(LoadRankingFile(file, 0, "Bad."), 0);
        ASSERT_EQ(file.m_vTables.size(), 5u);
        EXPECT_EQ(file.m_vTables[0].m_vEntries[0].m_bEnabled, 0);
    }
}

}  // namespace
