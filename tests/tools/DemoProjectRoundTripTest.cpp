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
void ExpectListLoadsBackEqual(std::vector<T>& list, int32_t index)
{
    const char* path = DatabaseFilePath(index);
    SCOPED_TRACE(path);
    FILE* fp = OpenRecordFileForWrite(SavedCopy);
    ASSERT_NE(fp, nullptr);
    ASSERT_TRUE(SaveRecordVector(fp, list));
    ASSERT_TRUE(CloseRecordFile(fp));
    EXPECT_EQ(ReadProjectFile(SavedCopy), ReadProjectFile(path));
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
    ExpectListLoadsBackEqual(g_Database.m_vCharaEffect, 5);
    ExpectListLoadsBackEqual(g_Database.m_vScrEffect, 6);
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
