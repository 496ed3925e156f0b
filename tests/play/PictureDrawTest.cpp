// Pictures loaded from their files and drawn, on the true-colour back ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/EdCommand.h"
#include "data/EdDatabase.h"
#include "data/EdMediaEntry.h"
#include "flows/EffectCommands.h"
#include "flows/PictureObject.h"
#include "shell/ShellGlobals.h"
#include "stage/PlayState.h"
#include "stage/StageResources.h"
#include "tests/media_graphics/GraphicsTestSupport.h"
#include "tests/platform_graphics/BmpFixture.h"

namespace {

class PictureDrawTest : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        lpPlayState = &m_State;
        m_SavedPictures = g_Database.m_vPicture;
        m_bSavedActive = bAppActive.load();
        bAppActive = 1;
        m_Dir = std::filesystem::temp_directory_path() / ("play_pictures_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_Dir);
        g_Database.m_vPicture.assign(3, cEdPicture());
        g_Database.m_vPicture[1].m_strFile = WritePicture("one.bmp", 20, 10, 0x804020);
        g_Database.m_vPicture[2].m_strFile = WritePicture("two.bmp", 8, 6, 0x2040C0);
        m_State.m_ScrollX.m_dPosition = 100.0;
        m_State.m_ScrollY.m_dPosition = 10.0;
        m_State.m_ScrollX.m_nBlockOrigin = 10;
        m_State.m_ScrollY.m_nBlockOrigin = 10;
    }
    void TearDown() override
    {
        ClearStagePictures();
        g_Database.m_vPicture = m_SavedPictures;
        bAppActive = m_bSavedActive;
        lpPlayState = nullptr;
        std::error_code ignored;
        std::filesystem::remove_all(m_Dir, ignored);
        GraphicsTest::TearDown();
    }

    std::string WritePicture(const std::string& name, int32_t w, int32_t h, uint32_t rgb)
    {
        bmpfixture::Image image;
        image.width = w;
        image.height = h;
        image.pixels.assign(static_cast<size_t>(w * h), rgb);
        const std::string host = (m_Dir / name).string();
        EXPECT_TRUE(bmpfixture::WriteFile(host, bmpfixture::Encode(image, bmpfixture::Options{})));
        return bmpfixture::ProjectPath(host);
    }

    static cEdCommand Show(int32_t nPicture, int32_t nScale, int32_t nId, int32_t bStop = 0)
    {
        cEdCommand cmd = cEdCommand::Default();
        cmd.m_nKind = 32;
        // Stage position (3, 2) blocks + (4, 5) pixels, layer 1, by time 1/10 s.
        cmd.m_vParam = {nPicture, 4, 3, 2, 4, 5, 1, nScale, 2, 1, bStop, 0, nId != 0, nId, 0};
        return cmd;
    }

    std::vector<int32_t> Ids()
    {
        std::vector<int32_t> v;
        for (cPictureObject& picture : m_State.m_PictureList) v.push_back(picture.m_nId);
        return v;
    }

    cPlayState m_State;
    std::vector<cEdPicture> m_SavedPictures;
    int32_t m_bSavedActive = 0;
    std::filesystem::path m_Dir;
};

TEST_P(PictureDrawTest, PicturesKeepTheirSurfacesAndPlaces)
{
    cEdCommand first = Show(1, 150, 7);
    WorkPicture(nullptr, &first);
    cEdCommand second = Show(2, 100, 8);
    WorkPicture(nullptr, &second);
    ASSERT_EQ(Ids(), (std::vector<int32_t>{7, 8}));
    ASSERT_EQ(PictureSurfaces.size(), 2u);
    ASSERT_EQ(PictureSurfaceDescs.size(), 2u);
    cPictureObject& seven = *m_State.m_PictureList.begin();
    EXPECT_EQ(seven.m_nWidth, 30);
    EXPECT_EQ(seven.m_nHeight, 15);
    EXPECT_EQ(seven.m_bScaled, 1);
    EXPECT_EQ(seven.m_nLayer, 1);
    EXPECT_EQ(seven.m_nFramesLeft, 6);
    EXPECT_DOUBLE_EQ(seven.m_dX, (3 + 10) * 32 + 4);
    EXPECT_DOUBLE_EQ(seven.m_dY, (2 + 10) * 32 + 5);
    ASSERT_NE(seven.m_lpSurface, nullptr);
    EXPECT_EQ(seven.m_lpSurface->nWidth, 20);

    // Shown again with its ID: the same place in the list, a new surface, the old one gone.
    cEdCommand again = Show(2, 100, 7);
    WorkPicture(nullptr, &again);
    EXPECT_EQ(Ids(), (std::vector<int32_t>{7, 8}));
    EXPECT_EQ(&*m_State.m_PictureList.begin(), &seven);
    EXPECT_EQ(seven.m_nWidth, 8);
    EXPECT_EQ(seven.m_lpSurface->nWidth, 8);
    EXPECT_EQ(PictureSurfaces.size(), 2u);
    EXPECT_EQ(PictureSurfaceDescs.size(), 2u);

    // Drawn unscaled at its stage position less the scroll position.
    DDSURFACEDATA* lpTarget = NewSurface(640, 480);
    FillRaw(lpTarget, Opaque(1, 1, 1));
    EXPECT_EQ(seven.Draw(lpTarget, nullptr, 0), 0);
    const int32_t x = (3 + 10) * 32 + 4 - 100, y = (2 + 10) * 32 + 5 - 10;
    EXPECT_EQ(Get(lpTarget, x, y), Get(seven.m_lpSurface, 0, 0));
    EXPECT_EQ(Get(lpTarget, x + 7, y + 5), Get(seven.m_lpSurface, 7, 5));
    EXPECT_EQ(Get(lpTarget, x + 8, y), Opaque(1, 1, 1));

    // Closing ID 8 takes its surface with it.
    cEdCommand close = Show(0, 100, 8);
    WorkPicture(nullptr, &close);
    EXPECT_EQ(Ids(), std::vector<int32_t>{7});
    EXPECT_EQ(PictureSurfaces.size(), 1u);
    EXPECT_EQ(&PictureSurfaces.front(), seven.m_lpSurface);
}

TEST_P(PictureDrawTest, GameStoppingPictureLeavesWithItsSurface)
{
    cEdCommand stays = Show(1, 100, 3);
    WorkPicture(nullptr, &stays);
    cEdCommand stops = Show(2, 100, 0, 1);
    WorkPicture(nullptr, &stops);
    EXPECT_EQ(Ids(), std::vector<int32_t>{3});
    EXPECT_EQ(PictureSurfaces.size(), 1u);
    EXPECT_EQ(PictureSurfaceDescs.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Modes, PictureDrawTest, testing::ValuesIn(TrueColourModes()), ModeName);

}  // namespace
