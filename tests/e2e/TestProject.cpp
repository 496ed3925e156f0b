#include "tests/e2e/TestProject.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "data/EdDatabase.h"
#include "data/EdSystem.h"
#include "data/EdPalette.h"
#include "data/EdWorldMap.h"
#include "data/RecordStream.h"

namespace fs = std::filesystem;

std::string MakeTempFolder(const std::string& name)
{
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    fs::path path = fs::temp_directory_path() /
                    ("player_e2e_" + std::to_string(getpid()) + "_" + info->name() + "_" + name);
    fs::remove_all(path);
    fs::create_directories(path);
    return path.string();
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::vector<uint32_t> TestPalette(const TestProjectSpec& spec)
{
    std::vector<uint32_t> palette(256);
    for (uint32_t i = 0; i < 256; ++i) palette[i] = ((i * 7) & 0xFF) << 16 | ((i * 3) & 0xFF) << 8 | (i & 0xFF);
    palette[0] = 0x000000;    // the transparent colour (top-left pixel of the image)
    palette[16] = 0x000000;   // the dark fill
    palette[241] = uint32_t(spec.textRed) << 16 | uint32_t(spec.textGreen) << 8 | spec.textBlue;
    return palette;
}

namespace {

void PutU16(std::string& s, uint16_t v)
{
    s.push_back(char(v & 0xFF));
    s.push_back(char(v >> 8));
}

void PutU32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

// An 8-bit bottom-up bitmap file with the test palette. The palette image shows its colours as
// a 16 x 16 block at rows 8 to 23 (pixel n holds colour n); every other pixel is colour 0.
std::string PalettisedBitmap(const std::vector<uint32_t>& palette, int32_t width, int32_t height,
                             bool paletteBlock = false)
{
    const uint32_t stride = (uint32_t(width) + 3) & ~3u;
    const uint32_t pixelBytes = stride * uint32_t(height);
    const uint32_t offset = 14 + 40 + 256 * 4;
    std::string s;
    s += "BM";
    PutU32(s, offset + pixelBytes);
    PutU32(s, 0);
    PutU32(s, offset);
    PutU32(s, 40);
    PutU32(s, uint32_t(width));
    PutU32(s, uint32_t(height));
    PutU16(s, 1);
    PutU16(s, 8);
    PutU32(s, 0);
    PutU32(s, pixelBytes);
    PutU32(s, 2835);
    PutU32(s, 2835);
    PutU32(s, 256);
    PutU32(s, 0);
    for (uint32_t c : palette) {
        s.push_back(char(c & 0xFF));
        s.push_back(char((c >> 8) & 0xFF));
        s.push_back(char((c >> 16) & 0xFF));
        s.push_back(0);
    }
    for (int32_t row = height - 1; row >= 0; --row) {
        for (uint32_t x = 0; x < stride; ++x) {
            const bool inBlock = paletteBlock && row >= 8 && row < 24 && x < 16;
            s.push_back(inBlock ? char((row - 8) * 16 + int32_t(x)) : '\0');
        }
    }
    return s;
}

template <class T>
void SaveList(const char* path, std::vector<T>& list)
{
    FILE* fp = OpenRecordFileForWrite(path);
    ASSERT_NE(fp, nullptr) << path;
    ASSERT_TRUE(SaveRecordVector(fp, list));
    CloseRecordFile(fp);
}

// Writes the project records of a new project under "<root>\".
void WriteRecords(const std::string& root, bool withDatabase)
{
    fs::create_directories(root + "/database");
    cEdSystem system;
    system.SetDefaults();
    ASSERT_TRUE(system.SaveToFile(root + "\\System.dat"));
    cEdWorldMap worldMap;
    worldMap.SetDefaults();
    ASSERT_TRUE(worldMap.SaveToFile(root + "\\WorldMap.dat"));
    cEdPalette palette;
    palette.Validate();
    ASSERT_TRUE(palette.SaveToFile(root + "\\CommonPalette.cplt4"));
    if (!withDatabase) return;
    cEdDatabase database;
    database.SetDefaults();
    const std::string d = root + "\\database\\";
    SaveList((d + "AnimeSet.dat").c_str(), database.m_vAnimeSet);
    SaveList((d + "Anime.dat").c_str(), database.m_vAnime);
    SaveList((d + "Bmp_CharaExc.dat").c_str(), database.m_vBmpCharaExc);
    SaveList((d + "SwordType.dat").c_str(), database.m_vSwordType);
    SaveList((d + "Effect.dat").c_str(), database.m_vEffect);
    SaveList((d + "CharaEffect.dat").c_str(), database.m_vCharaEffect);
    SaveList((d + "ScrEffect.dat").c_str(), database.m_vScrEffect);
    SaveList((d + "Picture.dat").c_str(), database.m_vPicture);
    SaveList((d + "Sound.dat").c_str(), database.m_vSound);
    SaveList((d + "Bgm.dat").c_str(), database.m_vBgm);
}

}  // namespace

void WriteTestProject(const std::string& folder, const TestProjectSpec& spec)
{
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    if (spec.withData) WriteRecords("data", spec.withDatabase);
    if (spec.withDefault) WriteRecords("default", spec.withDatabase);
    fs::create_directories("bmp/plt");
    const std::vector<uint32_t> palette = TestPalette(spec);
    WriteWholeFile("bmp/plt/Palette.bmp", PalettisedBitmap(palette, 16, 24, true));
    WriteWholeFile("bmp/Debug.bmp", PalettisedBitmap(palette, 64, 16));
    // The pictures of the menus: title background, cursors and the window frame.
    WriteWholeFile("bmp/Title.bmp", PalettisedBitmap(palette, 640, 480));
    WriteWholeFile("bmp/Accessory.bmp", PalettisedBitmap(palette, 96, 32));
    WriteWholeFile("bmp/Window.bmp", PalettisedBitmap(palette, 32, 32));
    // The world map's chips and entry icons, and the world-map menu's symbols.
    WriteWholeFile("bmp/WorldMapChip.bmp", PalettisedBitmap(palette, 160, 64));
    WriteWholeFile("bmp/WorldEvent.bmp", PalettisedBitmap(palette, 64, 96));
    WriteWholeFile("bmp/Symbol.bmp", PalettisedBitmap(palette, 64, 32));
    WriteWholeFile("System.ini", spec.systemIni);
    fs::current_path(previous);
}
