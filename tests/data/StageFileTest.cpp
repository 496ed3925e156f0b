#include <gtest/gtest.h>

#include <climits>

#include "RecordTestUtil.h"
#include "StageFixtures.h"
#include "data/EdDatabase.h"
#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "data/RecordStream.h"

namespace {

class StageFileTest : public ScratchFolderTest {
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        g_Database.SetDefaults();
        g_Stage = cEdStage();
        g_CommonPalette = cEdPalette();
    }
};

// The blocks that validation computes for a new stage: the scroll limits against a size of 0 and
// the derived blocks 86 to 92 for speed level 10 and gravity 0.4.
std::vector<FixtureField> DerivedForLevel10(std::vector<FixtureField> f)
{
    f[8].dValue = -20;
    f[9].dValue = -1;
    f[10].dValue = -15;
    f[11].dValue = -1;
    f[86].dValue = 10;
    f[87].dValue = 10.0;
    f[88].dValue = 100.0;
    f[89].dValue = 60.0;
    f[90].dValue = 0.4 / 100.0;
    f[91].dValue = 6.0;
    f[92].dValue = 80;
    return f;
}

uint32_t U32At(const Bytes& b, size_t n)
{
    return b[n] | (b[n + 1] << 8) | (b[n + 2] << 16) | (static_cast<uint32_t>(b[n + 3]) << 24);
}

}  // namespace

TEST_F(StageFileTest, NewStageIsWrittenByteForByte)
{
    cEdStage stage;
    ASSERT_EQ(stage.SaveToFile("new.stg4_000"), 1);
    const Bytes file = ReadWholeFile("new.stg4_000");

    StageFixture expected;
    expected.vScalars = DerivedForLevel10(StageScalarDefaults());
    // A default block has no graphic, so validation saves it as not solid.
    expected.vPaletteBlock = {BlockBody(SavedDefaultBlock()), BlockBody(SavedDefaultBlock())};
    BackgroundFixture background;
    background.bColorFill = 1;
    expected.vBackground = {BackgroundBody(background)};
    const Bytes expectedFile = StageFile(expected);
    EXPECT_EQ(file.size(), expectedFile.size());
    EXPECT_EQ(FirstDifference(file, expectedFile), file.size());

    ASSERT_GE(file.size(), 432u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 8), (Bytes{0xEF, 0x02, 0, 0, 0x62, 0, 0, 0}));
    EXPECT_EQ(U32At(file, 56), 60u);     // block 12, frame rate
    EXPECT_EQ(U32At(file, 96), 10u);     // block 21, speed level
    EXPECT_EQ(U32At(file, 408), 30u);    // block 94
    EXPECT_EQ(U32At(file, 424), 1u);     // the string count after the 416 bytes of scalars
    EXPECT_EQ(Bytes(file.end() - 4, file.end()), (Bytes{0x15, 0xCD, 0x5B, 0x07}));
}

TEST_F(StageFileTest, PlacementsAreEachPrecededByAZeroWord)
{
    cEdStage stage;
    stage.m_vBlock.resize(3);
    for (int16_t i = 0; i < 3; ++i) stage.m_vBlock[static_cast<size_t>(i)].m_nX = i;
    ASSERT_EQ(stage.SaveToFile("s.stg4_000"), 1);
    const Bytes file = ReadWholeFile("s.stg4_000");

    StageFixture expected;
    expected.vScalars = DerivedForLevel10(StageScalarDefaults());
    expected.vPaletteBlock = {BlockBody(SavedDefaultBlock()), BlockBody(SavedDefaultBlock())};
    for (int16_t i = 0; i < 3; ++i) expected.vBlock.push_back(BlockBody(SavedDefaultBlock(i)));
    BackgroundFixture background;
    background.bColorFill = 1;
    expected.vBackground = {BackgroundBody(background)};
    const Bytes expectedFile = StageFile(expected);
    EXPECT_EQ(file.size(), expectedFile.size());
    EXPECT_EQ(FirstDifference(file, expectedFile), file.size());
}

TEST_F(StageFileTest, RoundTripKeepsEverything)
{
    cEdStage source;
    source.m_strName = "stage one";
    source.m_nWidth = 100;
    source.m_nHeight = 40;
    source.m_nScrollLimitRight = 99;
    source.m_dGravity = 0.5;
    source.m_nSpeedLevel = 15;
    source.m_nBgm = 1;
    source.m_bBgmLoop = 1;
    source.m_nHeroBoxIndex[2] = 7;
    source.m_nInvincible2 = 12;
    source.m_vResultKind = {1, 0, 1, 0, 1};
    source.m_Setting[2].Set(1, 0, 1, 0, 2, 3, 4, 5);
    source.m_vPaletteBlock.resize(3);
    source.m_vPaletteBlock[2].m_nGraphicIndex = 12;
    source.m_vPaletteBlock[2].m_strName = "wall";
    source.m_vPaletteChara.resize(2);
    source.m_vPaletteChara[1].m_nMaxHP = 50;
    source.m_vPaletteItem.resize(2);
    source.m_vPaletteItem[1].m_nTakeMode = 1;
    source.m_vBlock.resize(1);
    source.m_vBlock[0] = source.m_vPaletteBlock[2];
    source.m_vBlock[0].m_nX = 4;
    source.m_vBlock[0].m_nItemFrom = 2;
    source.m_vBlock[0].m_nItem = 1;
    source.m_vChara.resize(1);
    source.m_vChara[0].m_nController = 0;
    source.m_vChara[0].m_nGraphicIndex = 3;
    source.m_vChara[0].m_nCarriedItem = -1;
    source.m_vItem.resize(1);
    source.m_vItem[0].m_nOffsetY = -8;
    source.m_vBackground.resize(2);
    source.m_vBackground[1].m_strFile = "bmp\\sky.bmp";
    source.m_vBackground[1].m_dFactorX = 0.75;
    source.m_vText.resize(1);
    source.m_vText[0].m_strText = "hello";
    ASSERT_EQ(source.SaveToFile("a.stg4_001"), 1);
    const Bytes first = ReadWholeFile("a.stg4_001");

    cEdStage loaded;
    ASSERT_EQ(loaded.LoadFromFile("a.stg4_001"), 1);
    EXPECT_EQ(loaded.m_strName, "stage one");
    EXPECT_EQ(loaded.m_nWidth, 100);
    EXPECT_EQ(loaded.m_nScrollLimitRight, 99);
    EXPECT_EQ(loaded.m_dGravity, 0.5);
    EXPECT_EQ(loaded.m_nSpeedLevel, 15);
    EXPECT_EQ(loaded.m_nSubSteps, 5);
    EXPECT_EQ(loaded.m_nBgm, 1);
    EXPECT_EQ(loaded.m_nHeroBoxIndex[2], 7);
    EXPECT_EQ(loaded.m_nInvincible2, 12);
    EXPECT_EQ(loaded.m_vResultKind, (std::vector<int32_t>{1, 0, 1, 0, 1}));
    EXPECT_EQ(loaded.m_Setting[2].m_nMarginBottom, 5);
    EXPECT_EQ(loaded.m_Setting[2].m_bCheckTop, 1);
    ASSERT_EQ(loaded.m_vPaletteBlock.size(), 3u);
    EXPECT_EQ(loaded.m_vPaletteBlock[2].m_strName, "wall");
    EXPECT_EQ(loaded.m_vPaletteChara[1].m_nMaxHP, 50);
    EXPECT_EQ(loaded.m_vPaletteItem[1].m_nTakeMode, 1);
    ASSERT_EQ(loaded.m_vBlock.size(), 1u);
    EXPECT_EQ(loaded.m_vBlock[0].m_nX, 4);
    EXPECT_EQ(loaded.m_vBlock[0].m_nItemFrom, 2);
    EXPECT_EQ(loaded.m_vChara[0].m_nCarriedItem, -1);
    EXPECT_EQ(loaded.m_vItem[0].m_nOffsetY, -8);
    ASSERT_EQ(loaded.m_vBackground.size(), 2u);
    EXPECT_EQ(loaded.m_vBackground[1].m_strFile, "bmp\\sky.bmp");
    EXPECT_EQ(loaded.m_vBackground[1].m_dFactorX, 0.75);
    EXPECT_EQ(loaded.m_vText[0].m_strText, "hello");
    EXPECT_EQ(loaded.FindHero(), 0);

    ASSERT_EQ(loaded.SaveToFile("b.stg4_001"), 1);
    EXPECT_EQ(ReadWholeFile("b.stg4_001"), first);
}

TEST_F(StageFileTest, MigrationsOfEachOlderVersion)
{
    // Every stored scalar holds 7, so a migrated value stands out.
    struct Expect {
        size_t nBlock;
        double dValue;
    };
    struct Case {
        uint32_t nVersion;
        std::vector<Expect> expect;
    };
    const Case cases[] = {
        // Before 155 the alternative hit boxes copy the normal ones and the align flags clear.
        {154, {{41, 7}, {42, 7}, {65, 7}, {66, 7}, {49, 0}, {50, 0}, {71, 0}, {72, 0}}},
        {155, {{41, 7}, {49, 7}, {72, 7}}},
        {165, {{24, 1}}},
        {166, {{24, 7}}},
        {182, {{29, 1}}},
        {183, {{29, 7}, {30, 0}}},
        {184, {{30, 7}, {25, 0}}},
        {198, {{25, 0}}},
        {199, {{25, 7}, {35, 16}, {36, 24}, {37, 16}, {38, 16}, {47, 1}, {48, 0}, {51, 0}, {55, 5},
               {59, 16}, {60, 30}, {61, 16}, {62, 30}, {69, 1}, {70, 1}, {52, 7}, {56, 7}}},
        {200, {{35, 7}, {60, 7}, {70, 7}, {55, 7}, {32, 0}}},
        {224, {{32, 0}}},
        {225, {{32, 7}}},
    };
    for (const Case& c : cases) {
        StageFixture fixture;
        fixture.nVersion = c.nVersion;
        for (FixtureField& f : fixture.vScalars) f.dValue = 7;
        fixture.vScalars[20].dValue = 0.4;   // gravity
        fixture.vScalars[21].dValue = 10;    // speed level
        fixture.vScalars[0].dValue = 100;    // width and height keep the scroll limits as stored
        fixture.vScalars[3].dValue = 100;
        WriteWholeFile("old.stg4_000", StageFile(fixture));
        cEdStage stage;
        ASSERT_EQ(stage.LoadFromFile("old.stg4_000"), 1) << c.nVersion;
        stage.RegisterFields(751);
        // Field descriptors in file order give the value of block n.
        for (const Expect& e : c.expect) {
            const FieldDescriptor& f = stage.Fields()[e.nBlock];
            const double dActual = f.m_nSize == 8 ? *static_cast<double*>(f.m_lpAddress)
                                                  : *static_cast<int32_t*>(f.m_lpAddress);
            EXPECT_EQ(dActual, e.dValue) << "version " << c.nVersion << " block " << e.nBlock;
        }
        EXPECT_EQ(stage.m_nScrollLimitLeft, 7) << c.nVersion;
    }
}

TEST_F(StageFileTest, ResultKindsBefore181AreMadeFiveWithTheLastTwoOff)
{
    for (uint32_t nVersion : {180u, 181u}) {
        StageFixture fixture;
        fixture.nVersion = nVersion;
        fixture.vResultKind = {1, 1, 1};
        WriteWholeFile("r.stg4_000", StageFile(fixture));
        cEdStage stage;
        ASSERT_EQ(stage.LoadFromFile("r.stg4_000"), 1);
        if (nVersion == 180) EXPECT_EQ(stage.m_vResultKind, (std::vector<int32_t>{1, 1, 1, 0, 0}));
        else EXPECT_EQ(stage.m_vResultKind, (std::vector<int32_t>{1, 1, 1}));
    }
}

TEST_F(StageFileTest, TrailerIsReadFrom173AndScrollRangesBefore125HoldFiveValues)
{
    for (uint32_t nVersion : {124u, 172u, 173u}) {
        StageFixture fixture;
        fixture.nVersion = nVersion;
        fixture.vRanges[0] = {1, 2, 3, 4, 5, 6, 7, 8};
        const Bytes file = StageFile(fixture);
        WriteWholeFile("t.stg4_000", file);
        cEdStage stage;
        stage.m_Setting[0].Set(0, 9, 9, 9, 0, 0, 0, 0);
        ASSERT_EQ(stage.LoadFromFile("t.stg4_000"), 1) << nVersion;
        EXPECT_EQ(stage.m_Setting[0].m_bCheckLeft, 1);
        EXPECT_EQ(stage.m_Setting[0].m_nMarginLeft, 5);
        EXPECT_EQ(stage.m_Setting[0].m_nMarginBottom, 8);
        // Before 125 the right, top and bottom checks are not stored and keep their values.
        EXPECT_EQ(stage.m_Setting[0].m_bCheckRight, nVersion < 125 ? 9 : 2) << nVersion;
    }
    // A version-173 file without its trailer is short.
    StageFixture fixture;
    fixture.nVersion = 173;
    fixture.bTrailer = false;
    WriteWholeFile("t.stg4_000", StageFile(fixture));
    cEdStage stage;
    EXPECT_EQ(stage.LoadFromFile("t.stg4_000"), 0);
}

TEST_F(StageFileTest, SpeedLevelsAndTheirDerivedValues)
{
    struct Case {
        int32_t nLevel;
        int32_t b;
        double dLimit;
    };
    // Levels outside 1..19 take the nearest valid level's values.
    const Case cases[] = {{1, 1, 6.0},  {10, 10, 60.0}, {11, 1, 60.0},     {15, 5, 60.0}, {19, 9, 60.0},
                          {0, 1, 6.0},  {-3, 1, 6.0},   {INT_MIN, 1, 6.0}, {20, 9, 60.0}, {INT_MAX, 9, 60.0}};
    for (const Case& c : cases) {
        cEdStage stage;
        stage.m_dGravity = 0.5;
        stage.SetSpeedLevel(c.nLevel);
        EXPECT_EQ(stage.m_nSpeedLevel, c.nLevel);
        EXPECT_EQ(stage.m_nSubSteps, c.b) << c.nLevel;
        EXPECT_EQ(stage.m_dSubSteps, c.b);
        EXPECT_EQ(stage.m_dSpeedDivisor, double(c.b) * c.b);
        EXPECT_EQ(stage.m_dSpeedLimit, c.dLimit) << c.nLevel;
        EXPECT_EQ(stage.m_dSpeedLimitStep, c.dLimit / c.b);
        EXPECT_EQ(stage.m_dGravityStep, 0.5 / (double(c.b) * c.b));
        EXPECT_EQ(stage.m_nSubSteps6, 6 * c.b);
        EXPECT_EQ(stage.m_nAirThreshold, 8 * c.b);
    }
}

TEST_F(StageFileTest, ValidationLimitsScrollRangesAndBgm)
{
    struct Case {
        int32_t nWidth, nLeft, nExpectedLeft;
    };
    for (const Case& c : {Case{25, 10, 5}, Case{10, 0, -10}, Case{25, -4, -4}, Case{INT_MIN, 0, INT_MIN},
                          Case{INT_MAX, INT_MAX, INT_MAX - 20}}) {
        cEdStage stage;
        stage.m_nWidth = c.nWidth;
        stage.m_nScrollLimitLeft = c.nLeft;
        stage.m_nScrollLimitRight = INT_MAX;
        stage.Validate();
        EXPECT_EQ(stage.m_nScrollLimitLeft, c.nExpectedLeft) << c.nWidth;
        EXPECT_EQ(int64_t{stage.m_nScrollLimitRight}, std::max<int64_t>(int64_t{c.nWidth} - 1, INT_MIN));
    }
    cEdStage stage;
    stage.m_nHeight = 20;
    stage.m_nScrollLimitTop = 10;
    stage.m_nScrollLimitBottom = 30;
    stage.m_nBgm = 2;   // the Bgm list holds two entries
    stage.Validate();
    EXPECT_EQ(stage.m_nScrollLimitTop, 5);
    EXPECT_EQ(stage.m_nScrollLimitBottom, 19);
    EXPECT_EQ(stage.m_nBgm, 0);
    stage.m_nBgm = -1;
    stage.Validate();
    EXPECT_EQ(stage.m_nBgm, 0);
    stage.m_nBgm = 1;
    stage.Validate();
    EXPECT_EQ(stage.m_nBgm, 1);
}

TEST_F(StageFileTest, StagePaletteEntryZeroIsNoneAndPlacementsInheritFromIt)
{
    StageFixture fixture;
    BlockFixture zero;
    zero.nGraphicIndex = 7;
    zero.strName = "a";
    BlockFixture parent;
    parent.nGraphicIndex = 33;
    parent.nGraphicKind = 4;
    parent.nLayer = 1;
    fixture.vPaletteBlock = {BlockBody(zero), BlockBody(parent)};
    fixture.vPaletteChara = {CharaFixture{}};   // one entry: validation adds the second
    BlockFixture placed;
    placed.nInheritFrom = 2;
    placed.nParent = 1;
    placed.vFlags[2] = 1;   // graphic group
    placed.nX = 3;
    fixture.vBlock = {BlockBody(placed)};
    fixture.vChara = {HeroFixture()};
    Bytes file = StageFile(fixture);
    WriteWholeFile("p.stg4_000", file);

    cEdStage stage;
    ASSERT_EQ(stage.LoadFromFile("p.stg4_000"), 1);
    EXPECT_EQ(stage.m_vPaletteBlock[0].m_nGraphicIndex, 0);
    EXPECT_EQ(stage.m_vPaletteBlock[0].m_strName, "");
    EXPECT_EQ(stage.m_vPaletteChara.size(), 2u);
    ASSERT_EQ(stage.m_vBlock.size(), 1u);
    EXPECT_EQ(stage.m_vBlock[0].m_nGraphicIndex, 33);
    EXPECT_EQ(stage.m_vBlock[0].m_nGraphicKind, 4);
    EXPECT_EQ(stage.m_vBlock[0].m_nLayer, 0);   // not flagged: its own value
    EXPECT_EQ(stage.m_vBlock[0].m_nX, 3);
    // The stage palette keeps its inherit flags.
    EXPECT_EQ(stage.m_vBlock[0].m_vInherit[2], 1);
    EXPECT_EQ(stage.HasHero(), 1);
}

TEST_F(StageFileTest, PlacementLeadingWordIsIgnored)
{
    StageFixture fixture;
    fixture.vChara = {HeroFixture()};
    Bytes file = StageFile(fixture);
    // From the end: trailer, text count, backgrounds, item count, the character, its leading word.
    const size_t nTail = 4 + 4 + 4 + fixture.vBackground[0].size() + 4;
    const size_t nLead = file.size() - nTail - CharaBody(HeroFixture()).size() - 4;
    ASSERT_EQ(U32At(file, nLead - 4), 1u);   // the character count
    ASSERT_EQ(U32At(file, nLead), 0u);
    file[nLead] = 0x55;
    WriteWholeFile("w.stg4_000", file);
    cEdStage stage;
    ASSERT_EQ(stage.LoadFromFile("w.stg4_000"), 1);
    ASSERT_EQ(stage.m_vChara.size(), 1u);
    EXPECT_EQ(stage.m_vChara[0].m_strName, "hero");
}

TEST_F(StageFileTest, FindHeroNeedsAPlayerWithAGraphic)
{
    cEdStage stage;
    EXPECT_EQ(stage.FindHero(), -1);
    stage.m_vChara.resize(3);
    stage.m_vChara[0].m_nGraphicIndex = 5;          // computer
    stage.m_vChara[1].m_nController = 0;            // player without graphic
    EXPECT_EQ(stage.FindHero(), -1);
    EXPECT_EQ(stage.HasHero(), 0);
    stage.m_vChara[2].m_nController = 0;
    stage.m_vChara[2].m_nGraphicIndex = 1;
    EXPECT_EQ(stage.FindHero(), 2);
}

TEST_F(StageFileTest, ReplayBodyTakesSettingsFromTheStartStageAndPlacementsFromThis)
{
    cEdStage start;
    start.m_nWidth = 64;
    start.m_vResultKind = {0, 1, 0, 1, 0};
    start.m_vBackground[0].m_strFile = "bmp\\start.bmp";
    start.m_vText.resize(1);
    start.m_vText[0].m_strText = "start";
    start.m_vPaletteBlock.resize(5);   // not written: the palette comes from the working stage

    cEdStage working;
    working.m_nWidth = 10;
    working.m_vBackground[0].m_strFile = "bmp\\changed.bmp";
    working.m_vChara.resize(1);
    working.m_vChara[0].m_strName = "placed";
    working.m_vPaletteItem.resize(4);

    FILE* fp = std::tmpfile();
    ASSERT_NE(fp, nullptr);
    ASSERT_TRUE(working.SaveForReplay(fp, start));
    std::rewind(fp);
    g_nFileVersion = 751;
    cEdStage replayed;
    ASSERT_TRUE(replayed.Load(fp));
    std::fclose(fp);
    EXPECT_EQ(replayed.m_nWidth, 64);
    EXPECT_EQ(replayed.m_vResultKind, start.m_vResultKind);
    EXPECT_EQ(replayed.m_vBackground[0].m_strFile, "bmp\\start.bmp");
    EXPECT_EQ(replayed.m_vText[0].m_strText, "start");
    EXPECT_EQ(replayed.m_vPaletteBlock.size(), 2u);
    EXPECT_EQ(replayed.m_vPaletteItem.size(), 4u);
    ASSERT_EQ(replayed.m_vChara.size(), 1u);
    EXPECT_EQ(replayed.m_vChara[0].m_strName, "placed");
}

TEST_F(StageFileTest, CopiesAreWholeAndSelfAssignmentIsHarmless)
{
    cEdStage source;
    source.m_nTimeLimit = 123;
    source.m_vBlock.resize(2);
    source.m_vBlock[1].m_strName = "b";
    source.m_vBackground.resize(3);
    source.m_vBackground[2].m_dOffsetX = 5.5;
    source.m_Setting[4].m_nMarginTop = 3;
    cEdStage copy(source);
    EXPECT_EQ(copy.m_nTimeLimit, 123);
    EXPECT_EQ(copy.m_vBlock[1].m_strName, "b");
    EXPECT_EQ(copy.m_vBackground[2].m_dOffsetX, 5.5);
    EXPECT_EQ(copy.m_Setting[4].m_nMarginTop, 3);
    copy.m_vBlock[1].m_strName = "changed";
    EXPECT_EQ(source.m_vBlock[1].m_strName, "b");

    cEdStage& alias = copy;
    copy = alias;
    EXPECT_EQ(copy.m_nTimeLimit, 123);
    EXPECT_EQ(copy.m_vBackground.size(), 3u);
    for (const FieldDescriptor& f : copy.Fields()) EXPECT_EQ(f.m_lpOwner, &copy);
}

TEST_F(StageFileTest, DamagedFilesFailAndLeaveTheStageAsItWas)
{
    StageFixture fixture;
    fixture.vChara = {HeroFixture()};
    fixture.vText = {"t"};
    const Bytes full = StageFile(fixture);
    for (size_t nKeep = 4; nKeep < full.size(); nKeep += 7) {
        WriteWholeFile("cut.stg4_000", Bytes(full.begin(), full.begin() + static_cast<long>(nKeep)));
        cEdStage stage;
        stage.m_nWidth = 77;
        stage.m_vBlock.resize(2);
        EXPECT_EQ(stage.LoadFromFile("cut.stg4_000"), 0) << nKeep;
        EXPECT_EQ(stage.m_nWidth, 77) << nKeep;
        EXPECT_EQ(stage.m_vBlock.size(), 2u) << nKeep;
        EXPECT_TRUE(stage.m_vChara.empty()) << nKeep;
    }
    // A placement count far beyond the file.
    StageFixture empty;
    Bytes huge = StageFile(empty);
    const size_t nBlockCount = huge.size() - (4 + 4 + 4 + empty.vBackground[0].size()) - 12;
    ASSERT_EQ(U32At(huge, nBlockCount), 0u);
    huge[nBlockCount + 3] = 0x40;
    WriteWholeFile("huge.stg4_000", huge);
    cEdStage stage;
    EXPECT_EQ(stage.LoadFromFile("huge.stg4_000"), 0);
}

TEST_F(StageFileTest, StopRequestIsSeenBetweenTheElementsOfEveryList)
{
    // A load on the loader thread is told to stop when the program closes. The stop test here
    // answers "stop" once the list being watched holds 40 elements: the load must end right there,
    // before it builds or reads the rest of that list.
    struct Case {
        const char* name;
        bool bPalette;   // the stage palette's blocks, else the placed blocks
    };
    for (const Case& c : {Case{"stage palette", true}, Case{"placements", false}}) {
        SCOPED_TRACE(c.name);
        StageFixture fixture;
        fixture.vChara = {HeroFixture()};
        BlockFixture block;
        block.nGraphicIndex = 1;
        (c.bPalette ? fixture.vPaletteBlock : fixture.vBlock).assign(3000, BlockBody(block));
        WriteWholeFile("many.stg4_000", StageFile(fixture));

        cEdStage stage;
        struct Watch {
            const std::vector<cEdBlock>* lpList;
            int nAsked;
        } watch{c.bPalette ? &stage.m_vPaletteBlock : &stage.m_vBlock, 0};
        SetRecordStopTest(
            [](void* lpContext) {
                Watch& w = *static_cast<Watch*>(lpContext);
                ++w.nAsked;
                return w.lpList->size() >= 40;
            },
            &watch);
        FILE* fp = OpenRecordFileForRead("many.stg4_000");
        ASSERT_NE(fp, nullptr);
        EXPECT_FALSE(stage.Load(fp));
        CloseRecordFile(fp);
        SetRecordStopTest(nullptr, nullptr);
        EXPECT_GT(watch.nAsked, 0);
        EXPECT_EQ(watch.lpList->size(), 40u);
    }
    // Without a stop test the same file loads whole.
    cEdStage stage;
    ASSERT_EQ(stage.LoadFromFile("many.stg4_000"), 1);
    EXPECT_EQ(stage.m_vBlock.size(), 3000u);
}
