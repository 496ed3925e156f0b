#pragma once
// A graphics layer started on the headless host for one test, with its own small surface array
// and bitmap table, its bitmap files in a temporary folder and the logs captured there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/Log.h"
#include "media/graphics/BitmapTable.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DeviceRestore.h"
#include "media/graphics/GraphicsState.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/host/Host.h"
#include "tests/platform_graphics/BmpFixture.h"

class GraphicsFixture : public ::testing::Test {
protected:
    static constexpr int32_t kTableSize = 8;

    void SetUp() override {
        HostSelect(HostKind::Headless);
        ResetGraphicsProfile();
        DisarmGraphicsFaults();
        HostClearRecordedMessageBoxes();
        static int counter = 0;
        dir = std::filesystem::temp_directory_path() /
              ("media_graphics_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(dir);
        CreateReportLog(Project("Report.txt").c_str());
        SetTraceLog(1, Project("Trace.txt").c_str());
        TraceLogStarted = 0;
        std::memset(table, 0, sizeof(table));
        for (auto& e : table) std::strcpy(e.szFileName, "E");
        std::memset(ColorPalette, 0, sizeof(ColorPalette));
    }

    void TearDown() override {
        for (auto& s : surfaces) DDReleaseSurface(&s);
        DDUnInit();
        SetTraceLog(0, "");
        ReportLogPath[0] = '\0';
        ResetGraphicsProfile();
        DisarmGraphicsFaults();
        std::filesystem::remove_all(dir);
    }

    std::string Project(const std::string& name) const { return bmpfixture::ProjectPath((dir / name).string()); }

    std::string WriteBmp(const std::string& name, const bmpfixture::Image& image, const bmpfixture::Options& o) {
        EXPECT_TRUE(bmpfixture::WriteFile((dir / name).string(), bmpfixture::Encode(image, o)));
        return Project(name);
    }

    std::string ReadText(const std::string& name) const {
        std::ifstream in(dir / name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    bool StartD3D(int32_t depth, int32_t windowMode, int32_t vsync = 0) {
        return DDInit(1, nullptr, 640, 480, depth, vsync, windowMode, 1, 60, vsync, surfaces, table, kTableSize, 0);
    }
    bool StartDD(int32_t depth, int32_t windowMode) {
        return DDInit(0, nullptr, 640, 480, depth, 0, windowMode, 1, 60, 1, surfaces, table, kTableSize, 0);
    }

    void SetEntry(int32_t index, const std::string& file, int32_t colourKey = 0, int32_t mirrorWidth = 0,
                  int32_t mirrorHeight = 0, int32_t optional = 0) {
        BITMAPFILEENTRY& e = table[index];
        std::strncpy(e.szFileName, file.c_str(), sizeof(e.szFileName) - 1);
        e.bColorKey = colourKey;
        e.nMirrorWidth = mirrorWidth;
        e.nMirrorHeight = mirrorHeight;
        e.bOptional = optional;
    }

    // A pixel of a Direct3D surface's texture (level 0) or of a DirectDraw surface, raw.
    static uint32_t Pixel(DDSURFACEDATA& sd, int32_t x, int32_t y) {
        if (sd.lpDT) return sd.lpDT->lpSurface->Pixels()->ReadRaw(x, y);
        return sd.lpDDraw->lpDDSurface->Pixels()->ReadRaw(x, y);
    }

    std::filesystem::path dir;
    DDSURFACEDATA surfaces[kTableSize];
    BITMAPFILEENTRY table[kTableSize];
};
