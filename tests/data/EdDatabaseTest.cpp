#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/EdDatabase.h"
#include "data/EdSystem.h"
#include "data/RecordReferences.h"
#include "data/RecordStream.h"
#include "platform/host/Host.h"
#include "tests/data/RecordTestUtil.h"

namespace {

template <class T>
void WriteList(const char* path, std::vector<T> list)
{
    FILE* fp = OpenRecordFileForWrite(path);
    ASSERT_NE(fp, nullptr) << path;
    ASSERT_TRUE(SaveRecordVector(fp, list));
    ASSERT_TRUE(CloseRecordFile(fp));
}

// Three entries per list, each named after its list, so that a loaded list can be told from the
// two or one entries of a new project.
template <class T>
std::vector<T> ThreeNamed(const char* name)
{
    std::vector<T> list(3);
    for (size_t i = 0; i < list.size(); ++i) list[i].m_strName = std::string(name) + std::to_string(i);
    return list;
}

class DatabaseTest : public ScratchFolderTest {
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        HostSelect(HostKind::Headless);
        HostClearRecordedMessageBoxes();
        std::filesystem::create_directories("data/database");
        g_Database.SetDefaults();
    }
    void TearDown() override
    {
        g_RecordReferences = RecordReferenceHooks{};
        g_System.SetDefaults();
        g_Database.SetDefaults();
        HostClearRecordedMessageBoxes();
        ScratchFolderTest::TearDown();
    }
    // Writes the lists from the first up to, not including, list nStop.
    static void WriteLists(int nStop)
    {
        auto p = [](int i) { return DatabaseFilePath(i); };
        if (nStop > 0) WriteList(p(0), ThreeNamed<cEdAnimeSet>("set"));
        if (nStop > 1) WriteList(p(1), ThreeNamed<cEdAnime>("anime"));
        if (nStop > 2) WriteList(p(2), ThreeNamed<cEdBmpCharaExc>("bmp"));
        if (nStop > 3) WriteList(p(3), ThreeNamed<cEdSwordType>("sword"));
        if (nStop > 4) WriteList(p(4), ThreeNamed<cEdEffect>("effect"));
        if (nStop > 5) {
            std::vector<cEdCharaEffect> list = ThreeNamed<cEdCharaEffect>("chara");
            list[0].m_nKind = 5;
            list[0].m_anParam[1] = 9;
            list[1].m_nKind = 4;
            WriteList(p(5), list);
        }
        if (nStop > 6) {
            std::vector<cEdScrEffect> list = ThreeNamed<cEdScrEffect>("screen");
            list[0].m_nKind = 7;
            WriteList(p(6), list);
        }
        if (nStop > 7) WriteList(p(7), ThreeNamed<cEdPicture>("picture"));
        if (nStop > 8) WriteList(p(8), ThreeNamed<cEdSound>("sound"));
        if (nStop > 9) WriteList(p(9), ThreeNamed<cEdBgm>("bgm"));
    }
};

}  // namespace

TEST(EdDatabaseTest, NewProjectHoldsTheDefaultEntries)
{
    cEdDatabase db;
    ASSERT_EQ(db.m_vAnimeSet.size(), 1u);
    ASSERT_EQ(db.m_vAnimeSet[0].m_vAnimes.size(), 4u);
    EXPECT_EQ(db.m_vAnimeSet[0].m_vAnimes[0].m_strName, "立ち");
    EXPECT_EQ(db.m_vAnimeSet[0].m_vAnimes[3].m_strName, "飛行移動");
    ASSERT_EQ(db.m_vAnime.size(), 2u);
    EXPECT_EQ(db.m_vAnime[0].m_strName, "なし");
    EXPECT_EQ(db.m_vAnime[1].m_strName, "アクションA");
    EXPECT_EQ(db.m_vSwordType.size(), 1u);
    EXPECT_EQ(db.m_vBmpCharaExc.size(), 2u);
    EXPECT_EQ(db.m_vEffect.size(), 2u);
    ASSERT_EQ(db.m_vCharaEffect.size(), 2u);
    EXPECT_EQ(db.m_vCharaEffect[1].m_nKind, 1);
    ASSERT_EQ(db.m_vScrEffect.size(), 2u);
    EXPECT_EQ(db.m_vScrEffect[0].m_nKind, 1);
    EXPECT_EQ(db.m_vPicture.size(), 2u);
    EXPECT_EQ(db.m_vSound.size(), 2u);
    EXPECT_EQ(db.m_vBgm.size(), 2u);
    EXPECT_EQ(db.m_vSound[1].m_strName, "");
    EXPECT_EQ(db.m_vBgm[0].m_strFile, "");
}

TEST_F(DatabaseTest, MissingListNamesTheFileAndFails)
{
    WriteLists(8);   // no "Sound.dat" and no "Bgm.dat"
    EXPECT_EQ(g_Database.LoadDatabase(), 0);
    const std::vector<RecordedMessageBox> boxes = HostRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "data\\database\\Sound.dat のロードに失敗！");
    EXPECT_EQ(boxes[0].textUtf8,
              std::string(reinterpret_cast<const char*>(u8"data\\database\\Sound.dat のロードに失敗！")));
    EXPECT_EQ(g_Database.m_vAnimeSet.size(), 3u);
    EXPECT_EQ(g_Database.m_vPicture.size(), 3u);
    EXPECT_EQ(g_Database.m_vPicture[2].m_strName, "picture2");
    EXPECT_EQ(g_Database.m_vSound.size(), 2u);
    EXPECT_EQ(g_Database.m_vBgm.size(), 2u);
}

TEST_F(DatabaseTest, StopsAtTheFirstMissingList)
{
    WriteLists(10);
    std::filesystem::remove("data/database/Anime.dat");
    EXPECT_EQ(g_Database.LoadDatabase(), 0);
    ASSERT_EQ(HostRecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(HostRecordedMessageBoxes()[0].text, "data\\database\\Anime.dat のロードに失敗！");
    EXPECT_EQ(g_Database.m_vAnimeSet.size(), 3u);
    EXPECT_EQ(g_Database.m_vBmpCharaExc.size(), 2u);   // not read after the failure
    EXPECT_EQ(g_Database.m_vBgm.size(), 2u);
}

TEST_F(DatabaseTest, LoadsAllListsAndClearsTheNoneEffects)
{
    WriteLists(10);
    ASSERT_EQ(g_Database.LoadDatabase(), 1);
    EXPECT_TRUE(HostRecordedMessageBoxes().empty());
    EXPECT_EQ(g_Database.m_vBgm.size(), 3u);
    EXPECT_EQ(g_Database.m_vBgm[1].m_strName, "bgm1");
    EXPECT_EQ(g_Database.m_vSwordType[2].m_strName, "sword2");
    // Entry 0 of both effect lists becomes kind 0 and keeps its parameters.
    EXPECT_EQ(g_Database.m_vCharaEffect[0].m_nKind, 0);
    EXPECT_EQ(g_Database.m_vCharaEffect[0].m_anParam[1], 9);
    EXPECT_EQ(g_Database.m_vCharaEffect[1].m_nKind, 4);
    EXPECT_EQ(g_Database.m_vScrEffect[0].m_nKind, 0);
}

TEST_F(DatabaseTest, DamagedListFailsAndKeepsWhatTheListHeld)
{
    WriteLists(10);
    const std::string host = "data/database/Effect.dat";
    Bytes bytes = ReadWholeFile(host);
    bytes.erase(bytes.end() - 3, bytes.end());
    WriteWholeFile(host, bytes);
    EXPECT_EQ(g_Database.LoadDatabase(), 0);
    ASSERT_EQ(HostRecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(HostRecordedMessageBoxes()[0].text, "data\\database\\Effect.dat のロードに失敗！");
    ASSERT_EQ(g_Database.m_vEffect.size(), 2u);
    EXPECT_EQ(g_Database.m_vEffect[1].m_strName, "");
}

TEST_F(DatabaseTest, HugeCountIsRefusedBeforeAnythingIsAllocated)
{
    WriteLists(10);
    Bytes file;
    AppendU32(file, 751);
    AppendU32(file, 0xFFFFFFF0u);
    WriteWholeFile("data/database/Picture.dat", file);
    EXPECT_EQ(g_Database.LoadDatabase(), 0);
    EXPECT_EQ(g_Database.m_vPicture.size(), 2u);
}

TEST_F(DatabaseTest, EmptyListsLoadEmptyButEffectAndSoundListsKeepTheirNoneEntry)
{
    WriteLists(10);
    WriteList(DatabaseFilePath(1), std::vector<cEdAnime>());
    WriteList(DatabaseFilePath(5), std::vector<cEdCharaEffect>());
    WriteList(DatabaseFilePath(6), std::vector<cEdScrEffect>());
    WriteList(DatabaseFilePath(8), std::vector<cEdSound>());
    ASSERT_EQ(g_Database.LoadDatabase(), 1);
    EXPECT_TRUE(g_Database.m_vAnime.empty());
    ASSERT_EQ(g_Database.m_vCharaEffect.size(), 1u);
    EXPECT_EQ(g_Database.m_vCharaEffect[0].m_nKind, 0);
    ASSERT_EQ(g_Database.m_vScrEffect.size(), 1u);
    EXPECT_EQ(g_Database.m_vScrEffect[0].m_nKind, 0);
    ASSERT_EQ(g_Database.m_vSound.size(), 1u);
    EXPECT_EQ(g_Database.m_vSound[0].m_strFile, "");
}

TEST_F(DatabaseTest, StringsOfEveryListLoseTheirCarriageReturns)
{
    WriteLists(10);
    std::vector<cEdSwordType> swords(1);
    swords[0].m_strName = "a\r\nb";
    swords[0].m_strLeftFile = "bmp\\l\r.bmp";
    WriteList(DatabaseFilePath(3), swords);
    std::vector<cEdAnimeSet> sets(1);
    sets[0].m_vAnimes[1].m_strName = "x\ry";
    WriteList(DatabaseFilePath(0), sets);
    ASSERT_EQ(g_Database.LoadDatabase(), 1);
    EXPECT_EQ(g_Database.m_vSwordType[0].m_strName, "a\nb");
    EXPECT_EQ(g_Database.m_vSwordType[0].m_strLeftFile, "bmp\\l.bmp");
    EXPECT_EQ(g_Database.m_vAnimeSet[0].m_vAnimes[1].m_strName, "xy");
}

TEST_F(DatabaseTest, WorkCopiesFollowTheLoadedEffectLists)
{
    WriteLists(10);
    ASSERT_EQ(g_Database.LoadDatabase(), 1);
    CopyEffectWorkLists();
    ASSERT_EQ(g_CharaEffectWork.size(), 3u);
    EXPECT_EQ(g_CharaEffectWork[1].m_nKind, 4);
    EXPECT_EQ(g_CharaEffectWork[2].m_strName, "chara2");
    ASSERT_EQ(g_ScrEffectWork.size(), 3u);
    EXPECT_EQ(g_ScrEffectWork[0].m_nKind, 0);
    // A copy, not the same records.
    g_CharaEffectWork[1].m_anParam[2] = 77;
    EXPECT_EQ(g_Database.m_vCharaEffect[1].m_anParam[2], 0);
}

TEST_F(DatabaseTest, LoadedDatabaseAnswersTheRecordsReferenceChecks)
{
    WriteLists(10);
    std::vector<cEdSwordType> swords(2);
    swords[1].m_vSteps.resize(3);
    swords[1].m_vSteps[0].m_nTime = 2;
    swords[1].m_vSteps[2].m_nTime = 5;
    WriteList(DatabaseFilePath(3), swords);
    EXPECT_EQ(DatabaseCount(DatabaseList::Sound), -1);
    ASSERT_EQ(g_Database.LoadDatabase(), 1);
    EXPECT_EQ(DatabaseCount(DatabaseList::Sound), 3);
    EXPECT_EQ(DatabaseCount(DatabaseList::SwordType), 2);
    EXPECT_EQ(g_RecordReferences.lpfnSwordTypeTime(1), 7);   // 2 + a new step of 0 + 5
    EXPECT_FALSE(KeepDeletedFlows());
    g_System.m_bKeepDeletedFlows = 1;
    EXPECT_TRUE(KeepDeletedFlows());
}

TEST_F(DatabaseTest, LongListsLoadWholeWithTheirTextsCleaned)
{
    WriteLists(10);
    std::vector<cEdSound> sounds(1500);
    for (size_t i = 0; i < sounds.size(); ++i) sounds[i].m_strFile = "wave\\" + std::to_string(i) + "\r.wav";
    WriteList(DatabaseFilePath(8), sounds);
    ASSERT_EQ(g_Database.LoadDatabase(), 1);
    ASSERT_EQ(g_Database.m_vSound.size(), 1500u);
    EXPECT_EQ(g_Database.m_vSound[0].m_strFile, "wave\\0.wav");
    EXPECT_EQ(g_Database.m_vSound[1499].m_strFile, "wave\\1499.wav");
}
