// The stage's database surfaces and the emptying of picture and message surfaces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/EdDatabase.h"
#include "data/EdEffect.h"
#include "data/EdMediaEntry.h"
#include "data/EdSwordType.h"
#include "flows/MessageObject.h"
#include "platform/host/Host.h"
#include "shell/ShellGlobals.h"
#include "stage/StageResources.h"
#include "tests/play/PlayTestSupport.h"

namespace {

class ResourceFixture : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        HostSelect(HostKind::Headless);
        m_SavedCharas = g_Database.m_vBmpCharaExc;
        m_SavedSwords = g_Database.m_vSwordType;
        m_SavedEffects = g_Database.m_vEffect;
    }
    void TearDown() override
    {
        for (auto* lpVector : {&StageCharaSurfaces, &StageSwordSurfaces, &StageEffectSurfaces}) {
            DDReleaseSurfaceVector(*lpVector);
            lpVector->clear();
        }
        StageCharaSurfaceDescs.clear();
        StageSwordSurfaceDescs.clear();
        StageEffectSurfaceDescs.clear();
        m_State.m_MessageList.Clear();
        ClearMessageSurfaces();
        g_Database.m_vBmpCharaExc = m_SavedCharas;
        g_Database.m_vSwordType = m_SavedSwords;
        g_Database.m_vEffect = m_SavedEffects;
        cPlayFixture::TearDown();
    }

    // For each surface of the vector, the index of its mirror source in the vector (-1: none).
    static std::vector<int32_t> MirrorSources(DDSurfaceVector& v)
    {
        std::vector<int32_t> out;
        for (size_t i = 0; i < v.size(); ++i) {
            int32_t n = -1;
            for (size_t j = 0; j < v.size(); ++j)
                if (v[i].lpBaseSD == &v[j]) n = static_cast<int32_t>(j);
            out.push_back(v[i].lpBaseSD != nullptr && n < 0 ? -2 : n);
        }
        return out;
    }

    std::vector<cEdBmpCharaExc> m_SavedCharas;
    std::vector<cEdSwordType> m_SavedSwords;
    std::vector<cEdEffect> m_SavedEffects;
};

TEST_F(ResourceFixture, OnlyEntryZeroMakesNoCharacterSurfaces)
{
    g_Database.m_vBmpCharaExc.assign(1, cEdBmpCharaExc());
    LoadStageCharaBitmaps();
    EXPECT_EQ(StageCharaSurfaces.size(), 0u);
    EXPECT_EQ(StageCharaSurfaceDescs.size(), 0u);
}

TEST_F(ResourceFixture, CharacterBitmapsFourSurfacesEachWithTheirCellWidth)
{
    g_Database.m_vBmpCharaExc.assign(3, cEdBmpCharaExc());
    g_Database.m_vBmpCharaExc[1].m_strFile = "bmp\\absent_a.bmp";
    g_Database.m_vBmpCharaExc[2].m_strFile = "bmp\\absent_b.bmp";
    g_Database.m_vBmpCharaExc[2].m_bBigCells = 1;
    g_Database.m_vBmpCharaExc[2].m_nCellScale = 3;
    LoadStageCharaBitmaps();
    ASSERT_EQ(StageCharaSurfaces.size(), 8u);
    ASSERT_EQ(StageCharaSurfaceDescs.size(), 8u);
    const int32_t nMirror[8] = {0, 32, 0, 32, 0, 96, 0, 96};
    const int32_t nMemory[8] = {0, 0, 1, 1, 0, 0, 1, 1};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(StageCharaSurfaceDescs[i].nMirrorWidth, nMirror[i]) << i;
        EXPECT_EQ(StageCharaSurfaceDescs[i].nDDMemoryType, nMemory[i]) << i;
        EXPECT_EQ(StageCharaSurfaceDescs[i].bColorKey, 1) << i;
        EXPECT_EQ(std::string(StageCharaSurfaceDescs[i].szFileName), i < 4 ? "bmp\\absent_a.bmp" : "bmp\\absent_b.bmp");
    }
    // Mirror sources point into the same vector, at the entry's plain surface.
    EXPECT_EQ(MirrorSources(StageCharaSurfaces), (std::vector<int32_t>{-1, 0, 0, 0, -1, 4, 4, 4}));
    // Files that cannot be read leave their surfaces empty.
    for (size_t i = 0; i < 8; ++i) EXPECT_EQ(StageCharaSurfaces[i].lpDDraw, nullptr);

    // Loading again starts from empty vectors.
    LoadStageCharaBitmaps();
    EXPECT_EQ(StageCharaSurfaces.size(), 8u);
    EXPECT_EQ(MirrorSources(StageCharaSurfaces), (std::vector<int32_t>{-1, 0, 0, 0, -1, 4, 4, 4}));
}

TEST_F(ResourceFixture, SwordsAndEffects)
{
    g_Database.m_vSwordType.assign(2, cEdSwordType());
    g_Database.m_vSwordType[1].m_strLeftFile = "bmp\\left.bmp";
    g_Database.m_vSwordType[1].m_strRightFile = "bmp\\right.bmp";
    LoadStageSwords();
    ASSERT_EQ(StageSwordSurfaces.size(), 8u);
    EXPECT_EQ(MirrorSources(StageSwordSurfaces), (std::vector<int32_t>{-1, -1, 0, 1, -1, -1, 4, 5}));
    // Type x 4 + facing: facing 0 is left, 1 right; + 2 the system-memory copies.
    EXPECT_EQ(std::string(StageSwordSurfaceDescs[4].szFileName), "bmp\\left.bmp");
    EXPECT_EQ(std::string(StageSwordSurfaceDescs[5].szFileName), "bmp\\right.bmp");
    EXPECT_EQ(std::string(StageSwordSurfaceDescs[6].szFileName), "bmp\\left.bmp");
    EXPECT_EQ(StageSwordSurfaceDescs[6].nDDMemoryType, 1);

    g_Database.m_vEffect.assign(3, cEdEffect());
    LoadStageEffects();
    ASSERT_EQ(StageEffectSurfaces.size(), 4u);
    EXPECT_EQ(MirrorSources(StageEffectSurfaces), (std::vector<int32_t>{-1, 0, -1, 2}));
    EXPECT_EQ(StageEffectSurfaceDescs[1].nDDMemoryType, 1);
    g_Database.m_vEffect.assign(1, cEdEffect());
    LoadStageEffects();
    EXPECT_EQ(StageEffectSurfaces.size(), 0u);
}

TEST_F(ResourceFixture, MessageSurfacesAreEmptiedWithoutDanglingOwners)
{
    cMessageObject& kept = m_State.m_MessageList.AppendNew();
    cMessageObject& gone = m_State.m_MessageList.AppendNew();
    for (cMessageObject* lpMessage : {&kept, &gone}) {
        Off_Msg.emplace_back();
        MessageSurfaceDescs.emplace_back();
        lpMessage->m_lpSurface = &Off_Msg.back();
    }
    m_State.m_MessageList.Remove(gone);
    ClearMessageSurfaces();
    EXPECT_TRUE(Off_Msg.empty());
    EXPECT_TRUE(MessageSurfaceDescs.empty());
    EXPECT_EQ(m_State.m_MessageList.StoredCount(), 1u);
    EXPECT_EQ(kept.m_lpSurface, nullptr);
}

}  // namespace
