#include "media/graphics/DisplayReport.h"
#include "tests/media_graphics/GraphicsFixture.h"

namespace {

using DisplayReportTest = GraphicsFixture;

TEST_F(DisplayReportTest, DirectDrawReportsModeVideoMemoryAndRefreshRate) {
    GraphicsProfile p;
    p.nVideoMemoryBytes = 32u << 20;
    SetGraphicsProfile(p);
    ASSERT_TRUE(StartDD(32, 1));
    ASSERT_TRUE(WriteDisplayReport(1));
    const std::string report = ReadText("Report.txt");
    EXPECT_NE(report.find("Mode : Window\r\nBpp : 32\r\nVRAM Total : 32.000MB\r\nVRAM Free : "), std::string::npos);
    EXPECT_NE(report.find("RR : 60\r\n"), std::string::npos);
    EXPECT_EQ(report.find("---"), std::string::npos) << "no diagnostics under DirectDraw";
    int32_t freeMB = -1, totalMB = -1;
    GetVideoMemory(&freeMB, &totalMB);
    EXPECT_EQ(totalMB, 32);
    EXPECT_EQ(freeMB, static_cast<int32_t>(((32u << 20) - 2u * 640 * 480 * 4) / 1048576));
}

TEST_F(DisplayReportTest, Direct3DReportsDiagnosticsAndCapabilities) {
    GraphicsProfile p;
    p.bPow2 = true;
    SetGraphicsProfile(p);
    ASSERT_TRUE(StartD3D(32, 0));
    ASSERT_TRUE(WriteDisplayReport(1));
    const std::string report = ReadText("Report.txt");
    EXPECT_NE(report.find("Mode : Fullscreen\r\nBpp : 32\r\n"), std::string::npos);
    EXPECT_EQ(report.find("VRAM Total"), std::string::npos);
    EXPECT_EQ(report.find("RR : "), std::string::npos);
    for (const char* line : {"---デバイス0\r\n", "Destination : Software renderer\r\n", "DDI : 9\r\n",
                             "TextureMaxSize : (4096,4096)\r\n", "D3DPTEXTURECAPS_POW2\r\n",
                             "D3DCAPS2_DYNAMICTEXTURES\r\n", "RE-SU○ RE-TE○ \r\n", "DE-SU× DE-TE× \r\n",
                             "WR-SU？ WR-TE？ \r\n", "DirectDraw : ○\r\n", "AGP : ×\r\n", "TextureMem : 6"})
        EXPECT_NE(report.find(line), std::string::npos) << line;
    EXPECT_EQ(report.find("D3DPTEXTURECAPS_SQUAREONLY"), std::string::npos);
    int32_t freeMB = -1, totalMB = -1;
    GetVideoMemory(&freeMB, &totalMB);
    EXPECT_EQ(freeMB, 0);
    EXPECT_EQ(totalMB, 0);
}

TEST_F(DisplayReportTest, ReportNeedsAnOpenableLog) {
    ASSERT_TRUE(StartDD(32, 1));
    ReportLogPath[0] = '\0';
    EXPECT_FALSE(WriteDisplayReport(1));
}

TEST(DdiVersion, ComesFromTheFirstDisplayDevice) {
    GraphicsProfile p;
    p.nDdiVersion = 9;
    SetGraphicsProfile(p);
    EXPECT_EQ(GetDdiVersion(), 9);
    p.nDdiVersion = 0;
    SetGraphicsProfile(p);
    EXPECT_EQ(GetDdiVersion(), 99999);
    ResetGraphicsProfile();
}

}  // namespace
