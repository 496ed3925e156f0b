// Effect and picture objects, their commands and the place rule they share.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/Random.h"
#include "data/AnimePattern.h"
#include "data/EdCommand.h"
#include "data/EdDatabase.h"
#include "data/EdEffect.h"
#include "data/EdMediaEntry.h"
#include "flows/EffectCommands.h"
#include "flows/EffectObject.h"
#include "flows/PictureObject.h"
#include "objects/Chara.h"
#include "platform/host/Host.h"
#include "shell/ShellGlobals.h"
#include "stage/Player.h"
#include "stage/StageResources.h"
#include "tests/play/PlayTestSupport.h"

namespace {

class PictureFixture : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        HostSelect(HostKind::Headless);
        HostClearRecordedMessageBoxes();
        m_SavedEffects = g_Database.m_vEffect;
        m_SavedPictures = g_Database.m_vPicture;
        m_SavedPatterns = g_EffectPatternTable;
        m_bSavedActive = bAppActive.load();
        bAppActive = 1;

        g_Database.m_vEffect.assign(3, cEdEffect());
        cEdEffect& big = g_Database.m_vEffect[1];
        big.m_nCellWidth = 32;
        big.m_nCellHeight = 16;
        big.m_bEnlargeable = 1;
        big.m_vFrames.assign(2, cEdEffectEntry());
        big.m_vFrames[0].m_nFrame = 0;
        big.m_vFrames[0].m_nTime = 1;
        big.m_vFrames[1].m_nFrame = 1;
        big.m_vFrames[1].m_nTime = 2;
        cEdEffect& plain = g_Database.m_vEffect[2];
        plain.m_nCellWidth = 32;
        plain.m_nCellHeight = 32;
        plain.m_bEnlargeable = 0;
        g_EffectPatternTable.assign(3, AnimePattern{{0, 0, 0}, {AnimeStay, 0, 0}});
        g_EffectPatternTable[1] = {{0, 2, 0}, {1, 2, 0}, {AnimeFinished, 0, 0}};

        g_Database.m_vPicture.assign(2, cEdPicture());
        g_Database.m_vPicture[1].m_strFile = "bmp\\missing_picture.bmp";
        m_State.m_ScrollX.m_dPosition = 100.0;
        m_State.m_ScrollY.m_dPosition = 50.0;
        m_State.m_ScrollX.m_nBlockOrigin = 10;
        m_State.m_ScrollY.m_nBlockOrigin = 10;
    }
    void TearDown() override
    {
        ClearStagePictures();
        m_State.m_EffectList.Clear();
        g_Database.m_vEffect = m_SavedEffects;
        g_Database.m_vPicture = m_SavedPictures;
        g_EffectPatternTable = m_SavedPatterns;
        bAppActive = m_bSavedActive;
        HostClearRecordedMessageBoxes();
        cPlayFixture::TearDown();
    }

    static cEdCommand Cmd(int32_t nKind, std::vector<int32_t> vParams, size_t nCount)
    {
        cEdCommand cmd = cEdCommand::Default();
        cmd.m_nKind = static_cast<int8_t>(nKind);
        vParams.resize(nCount, 0);
        cmd.m_vParam = vParams;
        return cmd;
    }

    cPictureObject& AddPicture(int32_t bUsesId, int32_t nId)
    {
        cPictureObject& picture = m_State.m_PictureList.AppendNew();
        picture.Setup(1, 0.0, 0.0, 10, 10, 0, 0, 100, 1, 0, 0, bUsesId, nId);
        return picture;
    }

    std::vector<int32_t> PictureIds()
    {
        std::vector<int32_t> v;
        for (cPictureObject& picture : m_State.m_PictureList) v.push_back(picture.m_nId);
        return v;
    }

    std::vector<cEdEffect> m_SavedEffects;
    std::vector<cEdPicture> m_SavedPictures;
    std::vector<AnimePattern> m_SavedPatterns;
    int32_t m_bSavedActive = 0;
    cChara m_Self;
};

TEST_F(PictureFixture, EffectPositionByMode)
{
    m_Self.m_nLeft = 200;
    m_Self.m_nTop = 100;
    m_Self.m_nWidth = 40;
    m_Self.m_nHeight = 20;
    Player[0].m_nLeft = 10;
    Player[0].m_nTop = 20;
    Player[0].m_nWidth = 30;
    Player[0].m_nHeight = 50;
    const struct {
        int32_t nMode;
        cGameObject* lpObject;
        double x, y;
    } cases[] = {
        {0, nullptr, 100 + 320 - 16 + 3, 50 + 240 - 8 + 4},
        {1, &m_Self, 200 + 20 + 100 - 16 + 3, 100 + 10 + 50 - 8 + 4},
        {1, nullptr, 100 + 320 - 16 + 3, 50 + 240 - 8 + 4},
        {2, nullptr, 10 + 15 + 100 - 16 + 3, 20 + 25 + 50 - 8 + 4},
        {3, nullptr, 100 + 2 * 32 + 3, 50 + 5 * 32 + 4},
        {4, nullptr, (2 + 10) * 32 + 3, (5 + 10) * 32 + 4},
        {9, nullptr, 100 + 320 - 16 + 3, 50 + 240 - 8 + 4},
    };
    for (const auto& c : cases) {
        double x = -1.0, y = -1.0;
        EffectPosition(x, y, 32, 16, c.lpObject, c.nMode, 2, 5, 3, 4);
        EXPECT_DOUBLE_EQ(x, c.x) << c.nMode;
        EXPECT_DOUBLE_EQ(y, c.y) << c.nMode;
    }
}

TEST_F(PictureFixture, EffectCommandScalesOnlyAwayFromFullSize)
{
    const struct {
        int32_t nScale, w, h, bScaled;
    } cases[] = {{100, 32, 16, 0}, {150, 48, 24, 1}, {33, 11, 5, 1}, {0, 0, 0, 1}};
    for (const auto& c : cases) {
        m_State.m_EffectList.Clear();
        cEdCommand cmd = Cmd(29, {1, 3, 2, 5, 3, 4, c.nScale, 0}, 8);
        WorkEffect(&m_Self, &cmd);
        ASSERT_EQ(m_State.m_EffectList.Count(), 1);
        const cEffectObject& effect = *m_State.m_EffectList.begin();
        EXPECT_EQ(effect.m_nWidth, c.w) << c.nScale;
        EXPECT_EQ(effect.m_nHeight, c.h) << c.nScale;
        EXPECT_EQ(effect.m_bScaled, c.bScaled) << c.nScale;
        EXPECT_DOUBLE_EQ(effect.m_dX, 100 + 64 + 3);
        EXPECT_DOUBLE_EQ(effect.m_dY, 50 + 160 + 4);
    }
}

TEST_F(PictureFixture, EffectZeroRemovesEveryEffectAndClosingDoesNothing)
{
    cEdCommand play = Cmd(29, {1, 0, 0, 0, 0, 0, 100, 0}, 8);
    WorkEffect(&m_Self, &play);
    WorkEffect(&m_Self, &play);
    EXPECT_EQ(m_State.m_EffectList.Count(), 2);
    cEdCommand none = Cmd(29, {0}, 8);
    WorkEffect(&m_Self, &none);
    EXPECT_EQ(m_State.m_EffectList.Count(), 0);
    m_State.m_bClosing = 1;
    WorkEffect(&m_Self, &play);
    EXPECT_EQ(m_State.m_EffectList.Count(), 0);
}

TEST_F(PictureFixture, WaitingEffectPlaysOutDuringTheWait)
{
    // Frames of 1 and 2 tenths: the game waits 18 frames while the frozen stage plays the effect.
    cEdCommand wait = Cmd(29, {1, 0, 0, 0, 0, 0, 100, 1}, 8);
    WorkEffect(&m_Self, &wait);
    EXPECT_EQ(m_State.m_PauseWait.m_nKind, 2);
    EXPECT_EQ(m_State.m_PauseWait.m_bWaitForKey, 0);
    EXPECT_EQ(m_State.m_PauseWait.m_nFrames, -1);
    EXPECT_EQ(m_State.m_EffectList.Count(), 0);
    // One that does not wait stays for the stage's own frames.
    cEdCommand play = Cmd(29, {1, 0, 0, 0, 0, 0, 100, 0}, 8);
    WorkEffect(&m_Self, &play);
    EXPECT_EQ(m_State.m_EffectList.Count(), 1);
}

TEST_F(PictureFixture, HitEffectSitsAtTheOverlapCentre)
{
    const double a[4] = {100, 100, 140, 130};
    const double b[4] = {120, 110, 200, 200};
    const double apart[4] = {500, 500, 510, 510};
    const struct {
        int32_t nEffect, nScale;
        const double* lpB;
        int32_t w, h, bScaled, f;
        double cx, cy;   // before the random shift
    } cases[] = {
        {1, 2, b, 64, 32, 1, 2, 120 + 10 - 32, 110 + 10 - 16},
        {1, 1, b, 32, 16, 0, 1, 120 + 10 - 16, 110 + 10 - 8},
        {2, 3, b, 32, 32, 0, 1, 120 + 10 - 16, 110 + 10 - 16},   // not enlargeable
        {1, 2, apart, 64, 32, 1, 2, 0 - 32, 0 - 16},            // no overlap
    };
    for (const auto& c : cases) {
        GameSrand(5);
        const int32_t dx = RandomBetween(-4 * c.f, 4 * c.f), dy = RandomBetween(-4 * c.f, 4 * c.f);
        GameSrand(5);
        cEffectObject effect(c.nEffect, a, c.lpB, c.nScale);
        EXPECT_EQ(effect.m_nWidth, c.w);
        EXPECT_EQ(effect.m_nHeight, c.h);
        EXPECT_EQ(effect.m_bScaled, c.bScaled);
        EXPECT_DOUBLE_EQ(effect.m_dX, c.cx + dx);
        EXPECT_DOUBLE_EQ(effect.m_dY, c.cy + dy);
    }
}

TEST_F(PictureFixture, EffectAnimationEndsUnlessFrozen)
{
    cEffectObject running(1, 0.0, 0.0, 32, 16, 0);
    int32_t nDraws = 0;
    while (nDraws < 50 && running.Draw(nullptr, 0) == 0) ++nDraws;
    EXPECT_LT(nDraws, 50);

    cEffectObject frozen(1, 0.0, 0.0, 32, 16, 0);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(frozen.Draw(nullptr, 1), 0);
    cEffectObject waited(1, 0.0, 0.0, 32, 16, 1);   // the game waits for it: it plays on
    nDraws = 0;
    while (nDraws < 50 && waited.Draw(nullptr, 1) == 0) ++nDraws;
    EXPECT_LT(nDraws, 50);

    cEffectObject empty(2, 0.0, 0.0, 32, 32, 0);   // a record without frames
    EXPECT_EQ(empty.Draw(nullptr, 0), 1);
}

TEST_F(PictureFixture, MissingPictureFileReportsAndKeepsTheListsInStep)
{
    AddPicture(1, 5);
    const size_t nSurfaces = PictureSurfaces.size();
    cEdCommand show = Cmd(32, {1, 0, 0, 0, 0, 0, 0, 100, 1, 0, 0, 0, 1, 5}, 15);
    WorkPicture(&m_Self, &show);
    const std::vector<RecordedMessageBox> boxes = HostRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "bmp\\missing_picture.bmp 読み込み失敗！");
    EXPECT_EQ(PictureSurfaces.size(), nSurfaces);
    EXPECT_EQ(PictureSurfaceDescs.size(), PictureSurfaces.size());
    EXPECT_EQ(m_State.m_PictureList.Count(), 0);   // the replaced picture went too
}

TEST_F(PictureFixture, PictureZeroClosesOneIdOrAll)
{
    AddPicture(1, 4);
    AddPicture(1, 5);
    AddPicture(0, 5);
    AddPicture(1, 6);
    cEdCommand closeFive = Cmd(32, {0, 0, 0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 1, 5}, 15);
    WorkPicture(&m_Self, &closeFive);
    EXPECT_EQ(PictureIds(), (std::vector<int32_t>{4, 5, 6}));   // the one without ID stays
    cEdCommand closeNine = Cmd(32, {0, 0, 0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 1, 9}, 15);
    WorkPicture(&m_Self, &closeNine);
    EXPECT_EQ(m_State.m_PictureList.Count(), 3);
    cEdCommand closeAll = Cmd(32, {0}, 15);
    WorkPicture(&m_Self, &closeAll);
    EXPECT_EQ(m_State.m_PictureList.Count(), 0);
}

TEST_F(PictureFixture, PictureTimeAndFixedPosition)
{
    cPictureObject& timed = m_State.m_PictureList.AppendNew();
    timed.Setup(1, 150.0, 80.0, 10, 10, 1, 0, 100, 2, 2, 0, 0, 0);
    EXPECT_EQ(timed.m_nScreenX, 50);
    EXPECT_EQ(timed.m_nScreenY, 30);
    EXPECT_EQ(timed.m_bScaled, 0);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(timed.Draw(nullptr, nullptr, 1), 0);   // stopped game
    EXPECT_EQ(timed.Draw(nullptr, nullptr, 0), 0);
    EXPECT_EQ(timed.Draw(nullptr, nullptr, 0), 0);
    EXPECT_EQ(timed.Draw(nullptr, nullptr, 0), 1);

    cPictureObject& stopping = m_State.m_PictureList.AppendNew();
    stopping.Setup(1, 0.0, 0.0, 10, 10, 0, 0, 50, 2, 0, 1, 0, 0);
    EXPECT_EQ(stopping.m_bScaled, 1);
    EXPECT_EQ(stopping.Draw(nullptr, nullptr, 1), 1);
}

TEST_F(PictureFixture, PicturesGiveTheirSurfacesBack)
{
    const size_t nBefore = PictureSurfaces.size();
    cPictureObject& kept = AddPicture(0, 0);
    cPictureObject& gone = AddPicture(0, 0);
    for (cPictureObject* lpPicture : {&kept, &gone}) {
        PictureSurfaces.emplace_back();
        PictureSurfaceDescs.emplace_back();
        lpPicture->m_lpSurface = &PictureSurfaces.back();
    }
    m_State.m_PictureList.Remove(gone);
    m_State.m_PictureList.Sweep();
    EXPECT_EQ(PictureSurfaces.size(), nBefore + 1);
    EXPECT_EQ(PictureSurfaceDescs.size(), PictureSurfaces.size());
    EXPECT_EQ(kept.m_lpSurface, &PictureSurfaces.back());

    cPictureObject copy(kept);
    EXPECT_EQ(copy.m_lpSurface, nullptr);
    ClearStagePictures();
    EXPECT_TRUE(PictureSurfaces.empty());
    EXPECT_TRUE(PictureSurfaceDescs.empty());
    EXPECT_EQ(m_State.m_PictureList.StoredCount(), 0u);
}

}  // namespace
