#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/EdDatabase.h"
#include "data/EdSystem.h"
#include "tests/data/RecordTestUtil.h"
#include "tests/data/SystemFileFixture.h"

namespace {

std::vector<std::string> Names(const std::vector<cEdSystemOption>& options)
{
    std::vector<std::string> names;
    for (const cEdSystemOption& o : options) names.push_back(o.m_strName);
    return names;
}

std::vector<uint8_t> AsBytes(const std::vector<int8_t>& v) { return std::vector<uint8_t>(v.begin(), v.end()); }

// A file whose every stored scalar holds 7 (the colour bytes 0x55), so that a stored value can be
// told from a migrated one and from the record's previous content.
SystemFile MarkedFile()
{
    SystemFile f = NewProjectSystemFile();
    for (size_t i = 0; i < f.scalars.size(); ++i) f.scalars[i] = SystemScalars()[i].member8 ? 0x55 : 7;
    return f;
}

// A record whose every scalar holds 99 before loading: a member that the file lacks and that no
// migration sets keeps 99.
cEdSystem PresetRecord()
{
    cEdSystem record;
    for (const SystemScalar& s : SystemScalars()) {
        if (s.member8) record.*s.member8 = 99;
        else record.*s.member32 = 99;
    }
    return record;
}

int32_t ScalarValue(const cEdSystem& record, const char* name)
{
    for (const SystemScalar& s : SystemScalars()) {
        if (std::string(s.name) == name) return s.member8 ? record.*s.member8 : record.*s.member32;
    }
    ADD_FAILURE() << "no scalar " << name;
    return 0;
}

class SystemFileTest : public ScratchFolderTest {
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        std::filesystem::create_directory("data");
        g_Database.SetDefaults();
    }
    static void Write(const Bytes& bytes) { WriteWholeFile("data/System.dat", bytes); }
};

}  // namespace

TEST(EdSystemTest, NewProjectSavesExactlyTheBuiltInSettings)
{
    cEdSystem record;
    EXPECT_EQ(SaveBody(record), NewProjectSystemFile().Body(751));
}

TEST(EdSystemTest, NewProjectTextsAreShiftJisBytes)
{
    cEdSystem record;
    // "スコア" and "ＭＳ" style full-width texts must reach the file as code page 932.
    EXPECT_EQ(record.m_vText[2], std::string("\x83\x58\x83\x52\x83\x41"));
    EXPECT_EQ(record.m_vText[14], std::string("\x83\x49\x81\x5B\x83\x67\x83\x5A\x81\x5B\x83\x75\x82\x6E\x82\x6D"));
}

TEST(EdSystemTest, NewProjectCountsAndOptionDefaults)
{
    cEdSystem record;
    EXPECT_EQ(record.CountRankingKinds(0), 5);
    EXPECT_EQ(record.CountRankingKinds(1), 5);
    EXPECT_EQ(record.CountRankingKinds(2), 5);
    EXPECT_EQ(record.CountRankingKinds(3), 0);
    const std::vector<std::string> names = {"Direct3D", "WindowMode",      "Bpp",     "VSync",     "D3D_FontCache",
                                            "DD_FontCache", "DD_VideoStretch", "ShowFps", "FreeStage", "English"};
    EXPECT_EQ(Names(record.m_vOption), names);
    const int32_t values[8] = {2, 0, 0, 2, 0, 1, 0, 1};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(record.m_vOption[i].m_nValue, values[i]) << i;
    EXPECT_EQ(record.m_vOption[8].m_nKind, 1);
    EXPECT_EQ(record.m_vOption[8].m_strValue, "");
    for (int32_t cEdSystem::* legacy :
         {&cEdSystem::m_bLegacy214, &cEdSystem::m_bLegacy261, &cEdSystem::m_bLegacy525, &cEdSystem::m_bLegacy555,
          &cEdSystem::m_bLegacy637, &cEdSystem::m_bLegacy669, &cEdSystem::m_bLegacy677, &cEdSystem::m_bLegacy695,
          &cEdSystem::m_bLegacy696, &cEdSystem::m_bLegacy697, &cEdSystem::m_bLegacy721, &cEdSystem::m_bLegacy728,
          &cEdSystem::m_bLegacy733, &cEdSystem::m_bLegacy744, &cEdSystem::m_bLegacy749})
        EXPECT_EQ(record.*legacy, 0);
}

TEST(EdSystemTest, SaveLoadRoundTripKeepsEveryMember)
{
    cEdSystem source;
    const SystemFile marked = MarkedFile();
    ASSERT_TRUE(LoadBody(source, marked.Body(751)));
    source.m_strGameTitle = "タイトル";
    source.m_vText[3] = "a\r\nb";
    source.m_vOption[8].SetText("FreeStage", "data\\stg4\\s.stg4_001");
    source.m_vRanking[1].m_vKind = {1, 0, 1, 0, 1, 1, 1};
    source.m_vSystemBgm = {1, 0, 1, 0};
    const Bytes saved = SaveBody(source);

    cEdSystem loaded = PresetRecord();
    ASSERT_TRUE(LoadBody(loaded, saved));
    EXPECT_EQ(SaveBody(loaded), saved);
    EXPECT_EQ(loaded.m_strGameTitle, "タイトル");
    EXPECT_EQ(loaded.m_vText[3], "a\r\nb");
    EXPECT_EQ(loaded.m_vRanking[1].m_vKind.size(), 7u);
    EXPECT_EQ(loaded.CountRankingKinds(1), 5);
    EXPECT_EQ(loaded.m_nExtraLifeScore, 7);
    EXPECT_EQ(loaded.m_byTransGreen, 0x55);
}

// One file just below each version that introduced a scalar, and one at it: below, the member
// takes the value that keeps the old behaviour; at it, the stored value.
struct ScalarBoundary {
    uint32_t version;
    const char* name;
    int32_t olderValue;
};

void PrintTo(const ScalarBoundary& c, std::ostream* os)
{
    *os << c.name << " at " << c.version;
}

class SystemScalarBoundaryTest : public ::testing::TestWithParam<ScalarBoundary> {
protected:
    void SetUp() override { g_Database.SetDefaults(); }
};

TEST_P(SystemScalarBoundaryTest, OlderFileGetsTheOldBehaviourNewerKeepsTheStoredValue)
{
    const ScalarBoundary& c = GetParam();
    const SystemFile file = MarkedFile();

    cEdSystem older = PresetRecord();
    ASSERT_TRUE(LoadBody(older, file.Body(c.version - 1), c.version - 1));
    EXPECT_EQ(ScalarValue(older, c.name), c.olderValue) << "version " << c.version - 1;

    cEdSystem current = PresetRecord();
    ASSERT_TRUE(LoadBody(current, file.Body(c.version), c.version));
    const int32_t stored = std::string(c.name).rfind("Trans", 0) == 0 ? 0x55 : 7;
    EXPECT_EQ(ScalarValue(current, c.name), stored) << "version " << c.version;
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, SystemScalarBoundaryTest,
    ::testing::Values(ScalarBoundary{113, "KeepDeletedFlows", 0}, ScalarBoundary{157, "TitleMenuPicture", 0},
                      ScalarBoundary{167, "StoryShowHighScore", 1}, ScalarBoundary{167, "ChallengeShowTotalScore", 1},
                      ScalarBoundary{170, "CentreGlyphs", 0}, ScalarBoundary{184, "Replay", 1},
                      ScalarBoundary{185, "ExtraLifeByScore", 1}, ScalarBoundary{187, "FullColour", 0},
                      ScalarBoundary{187, "TransRed", 0}, ScalarBoundary{187, "TransGreen", 177},
                      ScalarBoundary{187, "TransBlue", 0}, ScalarBoundary{188, "StoryRetryRestore", 1},
                      ScalarBoundary{188, "ChallengeRetryRestore", 1}, ScalarBoundary{188, "FreeRetryRestore", 1},
                      ScalarBoundary{191, "StoryRetryPrompt", 0}, ScalarBoundary{191, "MapShowLives", 0},
                      ScalarBoundary{192, "DirectStageRetryRestore", 1}, ScalarBoundary{205, "FontFace", 60},
                      ScalarBoundary{214, "Legacy214", 1}, ScalarBoundary{224, "StoryPauseRetry", 0},
                      ScalarBoundary{224, "ChallengePauseRetry", 0}, ScalarBoundary{261, "Legacy261", 1},
                      ScalarBoundary{272, "Switch272", 0}, ScalarBoundary{287, "Switch287", 0},
                      // The stored full-colour switch (7) is on, so the palette animation is off.
                      ScalarBoundary{289, "PaletteCycle", 0}, ScalarBoundary{515, "PaletteCycleStep", 16},
                      ScalarBoundary{525, "Legacy525", 1}, ScalarBoundary{555, "Legacy555", 1},
                      ScalarBoundary{669, "Legacy669", 1}, ScalarBoundary{670, "DepthFullColour", 0},
                      ScalarBoundary{670, "DepthPalette", 2}, ScalarBoundary{677, "Legacy677", 1},
                      ScalarBoundary{695, "Legacy695", 1}, ScalarBoundary{696, "Legacy696", 1},
                      ScalarBoundary{697, "Legacy697", 1}, ScalarBoundary{721, "Legacy721", 1},
                      ScalarBoundary{728, "Legacy728", 1}, ScalarBoundary{733, "Legacy733", 1},
                      ScalarBoundary{744, "Legacy744", 1}, ScalarBoundary{749, "Legacy749", 1}),
    [](const ::testing::TestParamInfo<ScalarBoundary>& info) {
        return std::string(info.param.name) + "At" + std::to_string(info.param.version);
    });

TEST(EdSystemTest, PaletteAnimationOfOldFilesFollowsTheGraphicsFormat)
{
    g_Database.SetDefaults();
    // Before 187 the format itself is migrated to 256 colours, so the animation is on.
    cEdSystem record = PresetRecord();
    ASSERT_TRUE(LoadBody(record, MarkedFile().Body(186), 186));
    EXPECT_EQ(record.m_bFullColour, 0);
    EXPECT_EQ(record.m_bPaletteCycle, 1);
}

TEST(EdSystemTest, BlockPlacementSwitchDependsOnTheVersionBefore637)
{
    g_Database.SetDefaults();
    const SystemFile file = MarkedFile();
    const struct {
        uint32_t version;
        int32_t expected;
    } cases[] = {{616, 1}, {617, 0}, {636, 0}, {637, 7}};
    for (const auto& c : cases) {
        cEdSystem record = PresetRecord();
        ASSERT_TRUE(LoadBody(record, file.Body(c.version), c.version));
        EXPECT_EQ(record.m_bLegacy637, c.expected) << c.version;
    }
}

TEST(EdSystemTest, DroppedMemberIsReadOnlyFrom221To259AndChangesNothing)
{
    g_Database.SetDefaults();
    SystemFile file = MarkedFile();
    file.dropped = 12345;
    for (uint32_t v : {220u, 221u, 259u, 260u}) {
        cEdSystem record;
        // LoadBody also checks that the whole body was used: one block more or less would not be.
        ASSERT_TRUE(LoadBody(record, file.Body(v), v)) << v;
        EXPECT_EQ(record.m_nExtraLifeScore, 7) << v;
        if (v >= 261) EXPECT_EQ(record.m_bLegacy261, 7);
        else EXPECT_EQ(record.m_bLegacy261, 1);
        EXPECT_EQ(record.m_bLegacy214, 7) << v;
    }
}

TEST(EdSystemTest, FilesOfTheLastVersionsAreReadWithoutMigration)
{
    g_Database.SetDefaults();
    const SystemFile file = MarkedFile();
    for (uint32_t v : {749u, 750u, 751u}) {
        cEdSystem record = PresetRecord();
        ASSERT_TRUE(LoadBody(record, file.Body(v), v)) << v;
        for (const SystemScalar& s : SystemScalars())
            EXPECT_EQ(ScalarValue(record, s.name), s.member8 ? 0x55 : 7) << v << " " << s.name;
    }
}

TEST(EdSystemTest, Version168TextsEndInTheCurrentLayout)
{
    g_Database.SetDefaults();
    SystemFile file = MarkedFile();
    file.texts.clear();
    for (int i = 0; i < 20; ++i) file.texts.push_back("t" + std::to_string(i));
    cEdSystem record;
    ASSERT_TRUE(LoadBody(record, file.Body(168), 168));
    ASSERT_EQ(record.m_vText.size(), 28u);
    const std::vector<std::string> expected = {
        "t0",  "t1",  "t2",  "t3",  "t4",  "t5",  "t6",  "t7",  "残りHP", "残りSP",
        "t8",  "t9",  "t10", "t11", "オートセーブＯＮ", "オートセーブＯＦＦ",
        "保存先が不明です！一度は「セーブ」して下さい！", "t12", "t13", "t14", "t15", "t16",
        "リトライ", "マップへ戻る", "t17", "t18", "t19", ""};
    EXPECT_EQ(record.m_vText, expected);
}

TEST(EdSystemTest, Version168MapMenuGainsTheAutoSaveItem)
{
    g_Database.SetDefaults();
    SystemFile file = MarkedFile();
    file.mapMenu = {{1, "S"}, {0, "B"}, {1, "T"}};
    cEdSystem record;
    ASSERT_TRUE(LoadBody(record, file.Body(168), 168));
    ASSERT_EQ(record.m_vMapMenu.size(), 4u);
    const char* texts[4] = {"S", "オートセーブ", "B", "T"};
    const int32_t enabled[4] = {1, 1, 0, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(record.m_vMapMenu[i].m_strText, texts[i]) << i;
        EXPECT_EQ(record.m_vMapMenu[i].m_bEnabled, enabled[i]) << i;
    }
}

TEST(EdSystemTest, CarryOverFlagsAreCutAndShiftedIntoTwentyFiveGroups)
{
    g_Database.SetDefaults();
    SystemFile file = MarkedFile();
    file.carryOver.clear();
    for (int i = 0; i < 30; ++i) file.carryOver.push_back(static_cast<uint8_t>(10 + i));
    cEdSystem record;
    ASSERT_TRUE(LoadBody(record, file.Body(167), 167));
    // Cut to 25, 1 inserted at 16 (version 168), 0 at 14 (201), 0 at 9 (210).
    std::vector<uint8_t> expected;
    for (int i = 0; i < 25; ++i) expected.push_back(static_cast<uint8_t>(10 + i));
    expected.insert(expected.begin() + 16, 1);
    expected.pop_back();
    expected.insert(expected.begin() + 14, 0);
    expected.pop_back();
    expected.insert(expected.begin() + 9, 0);
    expected.pop_back();
    EXPECT_EQ(AsBytes(record.m_vCarryOver), expected);
    EXPECT_EQ(AsBytes(record.m_vCarryReset), std::vector<uint8_t>(25, 0));
}

TEST(EdSystemTest, RankingSettingsOfFilesWithoutThemComeFromTheNewProject)
{
    g_Database.SetDefaults();
    cEdSystem at185;
    ASSERT_TRUE(LoadBody(at185, MarkedFile().Body(185), 185));
    for (int m = 0; m < 3; ++m) EXPECT_EQ(AsBytes(at185.m_vRanking[m].m_vKind), std::vector<uint8_t>(5, 1));

    cEdSystem at180;
    ASSERT_TRUE(LoadBody(at180, MarkedFile().Body(180), 180));
    for (int m = 0; m < 3; ++m) {
        EXPECT_EQ(at180.m_vRanking[m].m_bEnabled, 1);
        EXPECT_EQ(AsBytes(at180.m_vRanking[m].m_vKind), (std::vector<uint8_t>{1, 1, 1, 0, 0}));
    }
    EXPECT_EQ(AsBytes(at180.m_vRanking[3].m_vKind), std::vector<uint8_t>(5, 0));
}

TEST(EdSystemTest, ListMigrationsOfLivesMusicLoopAndStatus)
{
    g_Database.SetDefaults();
    SystemFile file = MarkedFile();
    file.status = {{1, 0, 9, 5, 70, 0, "a"}, {1, 0, 9, 5, 70, 0, "b"}, {1, 0, 9, 5, 70, 0, "c"}};
    cEdSystem record;
    record.m_vSystemBgmLoop = {0, 0};
    ASSERT_TRUE(LoadBody(record, file.Body(190), 190));
    EXPECT_EQ(record.m_vInfiniteLives, (std::vector<int32_t>{0, 0, 0, 1}));
    EXPECT_EQ(AsBytes(record.m_vSystemBgmLoop), std::vector<uint8_t>(4, 1));
    ASSERT_EQ(record.m_vStatus.size(), 5u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(record.m_vStatus[i].m_bGaugeValue, 1) << i;
    EXPECT_EQ(record.m_vStatus[1].m_nThreshold, 0);
    for (int i : {2, 3}) {
        EXPECT_EQ(record.m_vStatus[i].m_nThreshold, 33) << i;
        EXPECT_EQ(record.m_vStatus[i].m_bThresholdPercent, 1) << i;
    }

    cEdSystem at587;
    ASSERT_TRUE(LoadBody(at587, file.Body(587), 587));
    EXPECT_EQ(at587.m_vStatus[2].m_nThreshold, 70);
    EXPECT_EQ(at587.m_vStatus[2].m_bThresholdPercent, 0);
}

TEST(EdSystemTest, OptionListsOfEveryAgeEndInTheCurrentOrder)
{
    g_Database.SetDefaults();
    const std::vector<std::string> current = {"Direct3D",      "WindowMode",   "Bpp",
                                              "VSync",         "D3D_FontCache", "DD_FontCache",
                                              "DD_VideoStretch", "ShowFps",    "FreeStage",
                                              "English"};
    auto option = [](const char* name, int32_t value) { return SystemFile::Option{0, name, value, ""}; };
    const struct {
        uint32_t version;
        std::vector<SystemFile::Option> stored;
    } cases[] = {
        {285, {option("WindowMode", 1), option("Bpp", 16), option("VSync", 5), option("ShowFps", 0),
               {1, "FreeStage", 0, "x"}}},
        {566, {option("Direct3D", 0), option("WindowMode", 1), option("Bpp", 16), option("VSync", 1),
               option("ShowFps", 0), {1, "FreeStage", 0, "x"}}},
        {567, {option("Direct3D", 0), option("WindowMode", 1), option("Bpp", 16), option("VSync", 1),
               option("DD_VideoStretch", 1), option("ShowFps", 0), {1, "FreeStage", 0, "x"}}},
        {671, {option("Direct3D", 0), option("WindowMode", 1), option("Bpp", 16), option("VSync", 1),
               option("D3D_FontCache", 1), option("DD_FontCache", 0), option("DD_VideoStretch", 1),
               option("ShowFps", 0), {1, "FreeStage", 0, "x"}}},
    };
    for (const auto& c : cases) {
        SystemFile file = MarkedFile();
        file.options = c.stored;
        cEdSystem record;
        ASSERT_TRUE(LoadBody(record, file.Body(c.version), c.version)) << c.version;
        EXPECT_EQ(Names(record.m_vOption), current) << c.version;
        EXPECT_EQ(record.m_vOption[1].m_nValue, 1) << c.version;   // WindowMode kept its value
        EXPECT_EQ(record.m_vOption[8].m_strValue, "x") << c.version;
        EXPECT_EQ(record.m_vOption[9].m_nValue, 0) << c.version;
    }
    // The old VSync 5 is out of today's range and becomes 2.
    SystemFile file = MarkedFile();
    file.options = cases[0].stored;
    cEdSystem record;
    ASSERT_TRUE(LoadBody(record, file.Body(285), 285));
    EXPECT_EQ(record.m_vOption[0].m_nValue, 1);
    EXPECT_EQ(record.m_vOption[3].m_nValue, 2);
}

TEST(EdSystemTest, ListsAddedLaterAreReadFromTheirVersionOn)
{
    g_Database.SetDefaults();
    SystemFile file = MarkedFile();
    file.rankingModes = {"a", "b", "c", "d"};
    file.carryReset.assign(25, 1);
    const cEdSystem fresh;
    cEdSystem at673;
    ASSERT_TRUE(LoadBody(at673, file.Body(673), 673));
    EXPECT_EQ(at673.m_vRankingModeName, fresh.m_vRankingModeName);
    cEdSystem at674;
    ASSERT_TRUE(LoadBody(at674, file.Body(674), 674));
    EXPECT_EQ(at674.m_vRankingModeName, (std::vector<std::string>{"a", "b", "c", "d"}));

    cEdSystem at500;
    ASSERT_TRUE(LoadBody(at500, file.Body(500), 500));
    EXPECT_EQ(AsBytes(at500.m_vCarryReset), std::vector<uint8_t>(25, 0));
    cEdSystem at501;
    ASSERT_TRUE(LoadBody(at501, file.Body(501), 501));
    EXPECT_EQ(AsBytes(at501.m_vCarryReset), std::vector<uint8_t>(25, 1));
}

TEST(EdSystemTest, SystemMusicNamingNoDatabaseMusicBecomesNone)
{
    g_Database.SetDefaults();
    g_Database.m_vBgm.resize(3);
    SystemFile file = MarkedFile();
    file.systemBgm = {3, -1, 2, 0};
    cEdSystem record;
    ASSERT_TRUE(LoadBody(record, file.Body(751)));
    EXPECT_EQ(record.m_vSystemBgm, (std::vector<int32_t>{0, 0, 2, 0}));
    g_Database.SetDefaults();
}

TEST(EdSystemTest, ListTextsKeepCarriageReturnsTheTitleLosesThem)
{
    g_Database.SetDefaults();
    SystemFile file = MarkedFile();
    file.title = "A\r\nB";
    file.texts[5] = "x\r\ny";
    cEdSystem record;
    ASSERT_TRUE(LoadBody(record, file.Body(751)));
    EXPECT_EQ(record.m_strGameTitle, "A\nB");
    EXPECT_EQ(record.m_vText[5], "x\r\ny");
}

TEST(EdSystemTest, ShortListsAreFilledUpToTheSizesTheGameIndexes)
{
    g_Database.SetDefaults();
    SystemFile file = MarkedFile();
    file.texts = {"only"};
    file.options.resize(3);
    file.startLives = {3};
    file.carryOver = {1, 1};
    cEdSystem record;
    ASSERT_TRUE(LoadBody(record, file.Body(751)));
    EXPECT_EQ(record.m_vText.size(), 28u);
    EXPECT_EQ(record.m_vText[0], "only");
    EXPECT_EQ(record.m_vOption.size(), 10u);
    EXPECT_EQ(record.m_vOption[2].m_strName, "Bpp");
    EXPECT_EQ(record.m_vStartLives, (std::vector<int32_t>{3, 0, 0, 0}));
    EXPECT_EQ(record.m_vCarryOver.size(), 25u);
}

TEST_F(SystemFileTest, DamagedFileLeavesTheSettingsAsTheyWere)
{
    cEdSystem record;
    record.m_strGameTitle = "before";
    Bytes bytes = MarkedFile().File(751);
    const struct {
        const char* what;
        Bytes file;
    } cases[] = {
        {"cut in the option list", Bytes(bytes.begin(), bytes.end() - 5)},
        {"cut in the scalars", Bytes(bytes.begin(), bytes.begin() + 40)},
        {"carry-over count larger than the file", [] {
             // The first list's count follows the version, the 49 field blocks (187 bytes), the
             // string count and the empty title.
             Bytes b = MarkedFile().File(751);
             b[4 + 4 + 187 + 4 + 4 + 3] = 0x7F;
             return b;
         }()},
    };
    for (const auto& c : cases) {
        Write(c.file);
        EXPECT_EQ(record.LoadFromFile("data\\System.dat"), 0) << c.what;
        EXPECT_EQ(record.m_strGameTitle, "before") << c.what;
        EXPECT_EQ(record.m_nExtraLifeScore, 100) << c.what;
        EXPECT_EQ(record.m_vText.size(), 28u) << c.what;
    }
}

TEST_F(SystemFileTest, LoadsThroughTheFileLayerAndFailsWithoutTheFile)
{
    cEdSystem record;
    EXPECT_EQ(record.LoadFromFile("data\\System.dat"), 0);
    EXPECT_EQ(record.m_nExtraLifeScore, 100);
    SystemFile file = MarkedFile();
    file.title = "ゲーム";
    Write(file.File(751));
    ASSERT_EQ(record.LoadFromFile("data\\System.dat"), 1);
    EXPECT_EQ(record.m_strGameTitle, "ゲーム");
    EXPECT_EQ(record.m_nExtraLifeScore, 7);
}
