// The ranking table and the results panel drawn on the headless graphics layer with the real
// fonts: where each text lands (checked against the rasteriser's own mask of every character),
// which rows stay empty, where the place indicator is copied from the status sheet, and the size
// of the panel's window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TextTestSupport.h"
#include "core/Text.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "frontend/RankingDraw.h"
#include "frontend/SaveData.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDFill.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "shell/SystemIni.h"

namespace {

constexpr int32_t kWindowColour = 77;
constexpr int32_t kFrameColour = 240;
constexpr int32_t kIndicatorColour = 150;
constexpr int32_t kLetterColour = 120;
constexpr int32_t kX = 184;
constexpr int32_t kY = 64;
constexpr int32_t kPanelX = 100;

class RankingDrawTest : public TextTest {
protected:
    void SetUp() override
    {
        TextTest::SetUp();
        if (HasFatalFailure()) return;
        m_SavedSystem = g_System;
        m_SavedIni = SystemIni;
        m_SavedResultKind = g_Stage.m_vResultKind;
        m_nSavedMode = SceneManager.GameMode;
        SetExactColour(kBackColour, 16, 64, 32);
        SetExactColour(kIndicatorColour, 8, 200, 248);

        m_lpWindow = NewSurface(640, 480);
        DDFillSurface(m_lpWindow, kWindowColour);
        m_lpLetters = NewSurface(26 * 16, 16, 1);
        DDFillSurface(m_lpLetters, kLetterColour);
        // The status sheet: transparent but for the indicator, a pattern that shows where it is
        // copied to and that only the keyed pixels of it are.
        DDSURFACEDATA& sheet = SystemSurfaces[kStatusSheetSurface];
        ASSERT_TRUE(DDCreateSurface(&sheet, 64, 64, 1, 0, 0, 0, 0));
        FillRaw(&sheet, Transparent());
        for (int32_t j = 0; j < 16; ++j)
            for (int32_t i = 0; i < 16; ++i)
                if ((i + 2 * j) % 5 == 0) DDFillRect(&sheet, kRankIndicatorX + i, kRankIndicatorY + j, 1, 1, kIndicatorColour);
        m_lpTarget = NewSurface(640, 480);

        cFont* font = &FontTable[1];
        InitFont(font, "ＭＳ ゴシック", 0, 16, 16, 16, kTextColour, m_lpWindow, 1, kFrameColour, m_lpLetters, 0);
        font->m_bCentre = 0;
        font->m_bLetterPictures = 0;

        g_System.SetDefaults();
        g_System.m_bLetterPictures = 0;
        const char* names[5] = {"Score", "Time", "Clear", "HP", "SP"};
        for (int32_t k = 0; k < 5; ++k) g_System.m_vText[static_cast<size_t>(5 + k)] = names[k];
        g_System.m_vText[24] = "F3:next";
        SetModeKinds(0, {1, 0, 0, 0, 0});
        SystemIni.English = 1;
        SceneManager.GameMode = 0;
        bDirectStage = 0;
    }

    void TearDown() override
    {
        ReleaseFont(&FontTable[1]);
        DDReleaseSurface(&SystemSurfaces[kStatusSheetSurface]);
        g_System = m_SavedSystem;
        SystemIni = m_SavedIni;
        g_Stage.m_vResultKind = m_SavedResultKind;
        SceneManager.GameMode = m_nSavedMode;
        bDirectStage = 0;
        g_SaveData.Reset();
        TextTest::TearDown();
    }

    static void SetModeKinds(int32_t mode, const std::vector<int8_t>& kinds)
    {
        cEdRankingSetting& setting = g_System.m_vRanking[static_cast<size_t>(mode)];
        setting.m_bEnabled = 1;
        setting.m_vKind = kinds;
    }

    void ClearTarget() { DDFillSurface(m_lpTarget, kBackColour); }

    uint32_t Raw(int32_t index) { return PaletteRaw(m_lpTarget, index); }

    // The text's ink, character by character on the 16-pixel grid from (x, y): a pixel has the
    // text colour exactly where the rasteriser's mask of its character has ink.
    void ExpectText(int32_t x, int32_t y, const std::string& text, const char* what)
    {
        cFont* font = &FontTable[1];
        const uint32_t bits = ColourBits(m_lpTarget);
        const uint32_t ink = Raw(kTextColour);
        for (size_t p = 0; p < text.size(); x += 16) {
            const size_t n = IsDbcsPair(text.c_str() + p) ? 2 : 1;
            const std::string ch = text.substr(p, n);
            p += n;
            if (ch == " ") {
                EXPECT_EQ(CountRaw(m_lpTarget, x, y, 16, 16, ink), 0) << what << ": space at " << x;
                continue;
            }
            const TEXTMASK mask = Mask(font, ch);
            const int32_t ox = n == 1 ? 2 : 0;
            int32_t inked = 0;
            for (int32_t j = 0; j < 16; ++j)
                for (int32_t i = 0; i < 16; ++i) {
                    const int32_t mx = i - ox;
                    const bool want = mx >= 0 && j < mask.nHeight && mx < mask.nWidth &&
                                      mask.vCoverage[static_cast<size_t>(j) * mask.nWidth + mx];
                    inked += want;
                    const bool got = (Get(m_lpTarget, x + i, y + j) & bits) == ink;
                    ASSERT_EQ(got, want) << what << ": '" << ch << "' at " << x << "," << y << " pixel " << i << ","
                                         << j;
                }
            EXPECT_GT(inked, 2) << what << ": '" << ch << "'";
        }
    }

    int32_t InkIn(int32_t x, int32_t y, int32_t w, int32_t h) { return CountRaw(m_lpTarget, x, y, w, h, Raw(kTextColour)); }

    static cRankingTable Table(const std::vector<std::pair<std::string, int32_t>>& lines, const std::vector<int>& enabled)
    {
        cRankingTable table;
        ResetRankingTable(table);
        for (size_t i = 0; i < lines.size(); ++i) {
            cRankingEntry& e = table.m_vEntries[static_cast<size_t>(enabled[i])];
            e.m_bEnabled = 1;
            e.m_strName = lines[i].first;
            e.m_nValue = lines[i].second;
        }
        return table;
    }

    DDSURFACEDATA* m_lpWindow = nullptr;
    DDSURFACEDATA* m_lpLetters = nullptr;
    DDSURFACEDATA* m_lpTarget = nullptr;
    cEdSystem m_SavedSystem;
    SYSTEMINI m_SavedIni{};
    std::vector<int32_t> m_SavedResultKind;
    int32_t m_nSavedMode = 0;
};

TEST_P(RankingDrawTest, TableRowsShowRankNameAndRightAlignedValue)
{
    // Lines 0, 1, 2 and 5 hold results; the others are empty and stay blank.
    const cRankingTable table = Table({{"AAA", 12345}, {"BOB", 999}, {"CY", 50}, {"Z", 7}}, {0, 1, 2, 5});
    ClearTarget();
    DrawRankingTable(table, m_lpTarget, kX, kY, 0, -1);

    ExpectText(kX, kY, "Ranking     Score", "title");
    const int32_t width = 5;   // the digits of the first line's value
    const struct {
        int line;
        const char* rank;
        const char* name;
        const char* value;
    } rows[] = {{0, "1", "AAA", "12345"}, {1, "2", "BOB", "999"}, {2, "3", "CY", "50"}, {5, "6", "Z", "7"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        const int32_t y = kY + 16 * (r.line + 1);
        ExpectText(kX + 16, y, r.rank, "rank");
        ExpectText(kX + 64, y, r.name, "name");
        const int32_t digits = static_cast<int32_t>(std::string(r.value).size());
        // Right-aligned: every value ends in the same cell.
        ExpectText(kX + (width - digits + 9) * 16, y, r.value, "value");
        EXPECT_EQ(InkIn(kX + (width + 9) * 16, y, 272 - (width + 9) * 16, 16), 0) << "past the value";
    }
    for (int line : {3, 4, 6, 10, 19}) EXPECT_EQ(InkIn(kX, kY + 16 * (line + 1), 272, 16), 0) << "empty line " << line;
    // One kind recorded by the game mode: no hint below the rows.
    EXPECT_EQ(InkIn(kX, kY + 16 * 21, 272, 16), 0);
    // The window: picture from (x + 1, y + 1), 270 x 350, framed one pixel outside.
    EXPECT_EQ(Get(m_lpTarget, kX + 135, kY + 351) & ColourBits(m_lpTarget), Raw(kFrameColour));
    EXPECT_EQ(Get(m_lpTarget, kX + 271, kY + 200) & ColourBits(m_lpTarget), Raw(kFrameColour));
    EXPECT_EQ(Get(m_lpTarget, kX + 272, kY + 200) & ColourBits(m_lpTarget), Raw(kBackColour));
    EXPECT_EQ(Get(m_lpTarget, kX + 270, kY + 340) & ColourBits(m_lpTarget), Raw(kWindowColour));
}

TEST_P(RankingDrawTest, ClearTimeShowsTimesAndJapaneseTitle)
{
    SystemIni.English = 0;
    g_System.m_vText[7] = "タイム";
    const cRankingTable table = Table({{"A", 12345}, {"B", 600000}}, {0, 1});
    ClearTarget();
    DrawRankingTable(table, m_lpTarget, kX, kY, 2, -1);
    ExpectText(kX, kY, "ランキング    タイム", "title");
    ExpectText(kX + 144, kY + 16, "02:03.45", "first time");
    ExpectText(kX + 144, kY + 32, "100:00.00", "hundred minutes");
    ExpectText(kX + 64, kY + 32, "B", "name");
}

TEST_P(RankingDrawTest, HintShownOnlyWhenTheModeRecordsSeveralKinds)
{
    const cRankingTable table = Table({{"A", 1}}, {0});
    const struct {
        const char* name;
        std::vector<int8_t> kinds;
        bool hint;
    } cases[] = {
        {"one kind", {0, 0, 1, 0, 0}, false},
        {"two kinds", {1, 0, 0, 0, 1}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SceneManager.GameMode = 1;
        SetModeKinds(1, c.kinds);
        ClearTarget();
        DrawRankingTable(table, m_lpTarget, kX, kY, 0, -1);
        const int32_t y = kY + 16 + 16 * 20;
        if (c.hint)
            ExpectText(kX + 136 - 8 * 7, y, "F3:next", "hint");
        else
            EXPECT_EQ(InkIn(kX, y, 272, 16), 0);
    }
}

TEST_P(RankingDrawTest, CursorIndicatorIsTheStatusSheetCellBesideItsRow)
{
    const cRankingTable table = Table({{"A", 30}, {"B", 20}, {"C", 10}}, {0, 1, 2});
    DDSURFACEDATA* want = NewSurface(640, 480);
    for (int32_t cursor : {0, 2, 7, 19}) {
        SCOPED_TRACE(cursor);
        // Expected: the table without a cursor, with the indicator cell copied beside the row.
        DDFillSurface(want, kBackColour);
        DrawRankingTable(table, want, kX, kY, 0, -1);
        EXPECT_EQ(CountRaw(want, 0, 0, 640, 480, Raw(kIndicatorColour)), 0);
        DDBlt(want, kX, kY + 16 * (cursor + 1), 16, 16, &SystemSurfaces[kStatusSheetSurface], kRankIndicatorX,
              kRankIndicatorY, 1);
        ClearTarget();
        DrawRankingTable(table, m_lpTarget, kX, kY, 0, cursor);
        int32_t differ = 0;
        for (int32_t y = 0; y < 480; ++y)
            for (int32_t x = 0; x < 640; ++x) differ += Get(m_lpTarget, x, y) != Get(want, x, y);
        EXPECT_EQ(differ, 0);
        EXPECT_GT(CountRaw(m_lpTarget, kX, kY + 16 * (cursor + 1), 16, 16, Raw(kIndicatorColour)), 30);
    }
}

TEST_P(RankingDrawTest, NamesShowPlainLettersWhereTheProjectUsesLetterPictures)
{
    g_System.m_bLetterPictures = 1;
    FontTable[1].m_bLetterPictures = 1;
    g_System.m_vText[5] = "pts";
    const cRankingTable table = Table({{"abc", 5}}, {0});
    ClearTarget();
    cRankingFile file;
    ResetRankingFile(file);
    file.m_vTables[0] = table;
    DrawRankingOfKind(file, m_lpTarget, kX, kY, 0, -1);
    ExpectText(kX, kY, "Ranking     pts", "title");
    ExpectText(kX + 64, kY + 16, "abc", "name");
    EXPECT_EQ(CountRaw(m_lpTarget, 0, 0, 640, 480, Raw(kLetterColour)), 0);
    EXPECT_EQ(FontTable[1].m_bLetterPictures, 1) << "the font's switch is on again";
}

TEST_P(RankingDrawTest, ResultPanelShowsTheKindsOfStageAndMode)
{
    g_SaveData.nTotalScore = 1234567890;
    g_SaveData.nTimeBonusTotal = 42;
    g_SaveData.nPlayTimeTotal = 12345;
    g_SaveData.nHpTotal = 300;
    g_SaveData.nSpTotal = 7;
    g_System.m_vText[5] = "Score";
    g_System.m_vText[6] = "Time left";
    const struct {
        const char* name;
        std::vector<int32_t> stageFlags;
        std::vector<int8_t> modeKinds;
        int32_t direct;
        std::vector<int32_t> places;
        std::vector<int32_t> shown;   // kinds, in order
        int32_t label;                // L
        int32_t value;                // V
        std::vector<const char*> values;
    } cases[] = {
        {"stage and mode agree on time left and HP", {1, 1, 0, 1, 0}, {0, 1, 1, 1, 0}, 0, {-1, -1, -1, 4, -1}, {1, 3}, 9, 3,
         {"42", "300"}},
        {"clear time makes the values 8 wide", {0, 1, 1, 0, 1}, {0, 1, 1, 0, 1}, 0, {-1, 0, 2, -1, -1}, {1, 2, 4}, 9, 8,
         {"42", "02:03.45", "7"}},
        {"a directly started stage shows every kind of the stage", {1, 0, 0, 0, 1}, {0, 0, 0, 0, 0}, 1, {3, -1, -1, -1, 0},
         {0, 4}, 5, 10, {"1234567890", "7"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_Stage.m_vResultKind = c.stageFlags;
        SetModeKinds(0, c.modeKinds);
        bDirectStage = c.direct;
        ClearTarget();
        DrawResultPanel(m_lpTarget, kPanelX, 224, c.places);
        const int32_t rows = static_cast<int32_t>(c.shown.size());
        const int32_t w = (c.value + c.label + 3) * 16;
        const int32_t h = 16 * rows;
        const uint32_t bits = ColourBits(m_lpTarget);
        // The window's frame stands one pixel outside (x, y, w, h).
        for (int32_t y = 224; y < 224 + h; ++y) {
            ASSERT_EQ(Get(m_lpTarget, kPanelX + w, y) & bits, Raw(kFrameColour)) << y;
            ASSERT_EQ(Get(m_lpTarget, kPanelX + w + 1, y) & bits, Raw(kBackColour)) << y;
        }
        EXPECT_EQ(Get(m_lpTarget, kPanelX + 8, 224 + h) & bits, Raw(kFrameColour));
        EXPECT_EQ(Get(m_lpTarget, kPanelX + 8, 224 + h + 1) & bits, Raw(kBackColour));
        for (int32_t r = 0; r < rows; ++r) {
            const int32_t kind = c.shown[static_cast<size_t>(r)];
            const int32_t y = 224 + 16 * r;
            ExpectText(kPanelX + 16, y, g_System.m_vText[static_cast<size_t>(5 + kind)], "name");
            ExpectText(kPanelX + 32 + 16 * c.label, y, c.values[static_cast<size_t>(r)], "value");
            const int32_t marks = CountRaw(m_lpTarget, kPanelX, y, 16, 16, Raw(kIndicatorColour));
            if (c.places[static_cast<size_t>(kind)] != -1)
                EXPECT_GT(marks, 30) << "indicator beside kind " << kind;
            else
                EXPECT_EQ(marks, 0) << "no indicator beside kind " << kind;
        }
        EXPECT_EQ(CountRaw(m_lpTarget, 0, 0, 640, 480, Raw(kIndicatorColour)),
                  CountRaw(m_lpTarget, kPanelX, 224, 16, h, Raw(kIndicatorColour)));
    }
}

TEST_P(RankingDrawTest, ResultPanelDrawsNothingWithoutAShownKind)
{
    g_SaveData.nTotalScore = 100;
    const struct {
        const char* name;
        std::vector<int32_t> stageFlags;
        std::vector<int8_t> modeKinds;
        int32_t direct;
    } cases[] = {
        {"stage shows none", {0, 0, 0, 0, 0}, {1, 1, 1, 1, 1}, 1},
        {"mode records none of the stage's kinds", {1, 1, 0, 0, 0}, {0, 0, 1, 1, 1}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_Stage.m_vResultKind = c.stageFlags;
        SetModeKinds(0, c.modeKinds);
        bDirectStage = c.direct;
        ClearTarget();
        DrawResultPanel(m_lpTarget, kPanelX, 224, {0, 0, 0, 0, 0});
        EXPECT_EQ(CountRaw(m_lpTarget, 0, 0, 640, 480, Raw(kBackColour)), 640 * 480);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, RankingDrawTest, ::testing::ValuesIn(AllModes()), ModeName);

}  // namespace
