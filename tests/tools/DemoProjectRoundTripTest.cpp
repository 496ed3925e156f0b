// The whole demo project, read through the player's loaders and written again by the same record
// classes, gives back every record file byte for byte.
#include <cstdio>
#include <string>

#include "data/EdDatabase.h"
#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "data/EdWorldMap.h"
#include "data/RecordStream.h"
#include "tests/tools/DemoProjectFixture.h"

namespace {

using namespace demotest;

const char* const SavedCopy = "round_trip.tmp";

template <class Record>
void ExpectRecordFileLoadsBackEqual(const char* path)
{
    SCOPED_TRACE(path);
    Record record;
    ASSERT_EQ(record.LoadFromFile(path), 1);
    ASSERT_EQ(record.SaveToFile(SavedCopy), 1);
    EXPECT_EQ(ReadProjectFile(SavedCopy), ReadProjectFile(path));
}

template <class T>
Bytes SavedList(std::vector<T>& list)
{
    FILE* fp = OpenRecordFileForWrite(SavedCopy);
    EXPECT_NE(fp, nullptr);
    if (fp == nullptr) return {};
    EXPECT_TRUE(SaveRecordVector(fp, list));
    EXPECT_TRUE(CloseRecordFile(fp));
    return ReadProjectFile(SavedCopy);
}

template <class T>
void ExpectListLoadsBackEqual(std::vector<T>& list, int32_t index)
{
    SCOPED_TRACE(DatabaseFilePath(index));
    EXPECT_EQ(SavedList(list), ReadProjectFile(DatabaseFilePath(index)));
}

// The effect lists are normalised on loading (entry 0 becomes the "none" kind), so the loaded
// list is what must come back unchanged through a second save and load.
template <class T>
void ExpectNormalisedListIsStable(std::vector<T>& list, int32_t index)
{
    SCOPED_TRACE(DatabaseFilePath(index));
    const Bytes first = SavedList(list);
    std::vector<T> again;
    ASSERT_EQ(LoadDatabaseList(again, SavedCopy, T()), 1);
    EXPECT_EQ(SavedList(again), first);
}

TEST_F(DemoProjectTest, EveryRecordFileOfTheProjectLoadsBackEqual)
{
    g_Database.SetDefaults();
    ASSERT_EQ(g_Database.LoadDatabase(), 1);
    ExpectListLoadsBackEqual(g_Database.m_vAnimeSet, 0);
    ExpectListLoadsBackEqual(g_Database.m_vAnime, 1);
    ExpectListLoadsBackEqual(g_Database.m_vBmpCharaExc, 2);
    ExpectListLoadsBackEqual(g_Database.m_vSwordType, 3);
    ExpectListLoadsBackEqual(g_Database.m_vEffect, 4);
    ExpectNormalisedListIsStable(g_Database.m_vCharaEffect, 5);
    ExpectNormalisedListIsStable(g_Database.m_vScrEffect, 6);
    ExpectListLoadsBackEqual(g_Database.m_vPicture, 7);
    ExpectListLoadsBackEqual(g_Database.m_vSound, 8);
    ExpectListLoadsBackEqual(g_Database.m_vBgm, 9);

    ExpectRecordFileLoadsBackEqual<cEdSystem>("data\\System.dat");
    ExpectRecordFileLoadsBackEqual<cEdWorldMap>("data\\WorldMap.dat");
    // Stage palettes inherit from the common palette, so it is loaded before the stages.
    ASSERT_EQ(g_CommonPalette.LoadFromFile("data\\CommonPalette.cplt4"), 1);
    ExpectRecordFileLoadsBackEqual<cEdPalette>("data\\CommonPalette.cplt4");
    ExpectRecordFileLoadsBackEqual<cEdStage>("data\\stg4\\Stage1.stg4_000");
    ExpectRecordFileLoadsBackEqual<cEdStage>("data\\stg4\\Stage2.stg4_000");
    std::remove(SavedCopy);
    g_Database.SetDefaults();
}

}  // namespace
