// The generated demo project: it loads back through the player's own loaders, every system
// bitmap exists with the size and palette the drawing code expects, the blend tables mix colours,
// and the generator writes the same bytes on every run.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <queue>

#include "data/EdDatabase.h"
#include "data/EdSystem.h"
#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "data/EdWorldMap.h"
#include "data/StageLoader.h"
#include "platform/graphics/BitmapFile.h"
#include "tests/tools/DemoProjectFixture.h"

namespace {

using namespace demotest;

TEST_F(DemoProjectTest, SettingsAndDatabaseLoadThroughThePlayersLoaders)
{
    cEdSystem system;
    ASSERT_EQ(system.LoadFromFile("data\\System.dat"), 1);
    EXPECT_EQ(system.m_strGameTitle, "サンプルゲーム");
    ASSERT_EQ(system.m_vSoundFile.size(), 17u);
    for (const std::string& file : system.m_vSoundFile) {
        SCOPED_TRACE(file);
        EXPECT_NE(GetFileAttributes(file.c_str()), INVALID_FILE_ATTRIBUTES);
    }

    // The options screen labels each value it shows: entry k of the list is option kind k (palette
    // pattern, music, volume, ranking mode, name, back); the palette pattern, which only the 8-bit
    // display uses, is not offered.
    const char* const kOptionLabels[6] = {"パレット", "BGM", "SE", "ランキング登録", "ランキング登録名", "もどる"};
    ASSERT_EQ(system.m_vOptionMenu.size(), 6u);
    for (size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(system.m_vOptionMenu[k].m_strText, kOptionLabels[k]) << k;
        EXPECT_EQ(system.m_vOptionMenu[k].m_bEnabled, k == 0 ? 0 : 1) << k;
    }

    g_Database.SetDefaults();
    ASSERT_EQ(g_Database.LoadDatabase(), 1);
    ASSERT_GE(g_Database.m_vSound.size(), 3u);
    for (size_t i = 1; i < g_Database.m_vSound.size(); ++i) {
        SCOPED_TRACE(g_Database.m_vSound[i].m_strFile);
        EXPECT_NE(GetFileAttributes(g_Database.m_vSound[i].m_strFile.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    // Every menu scene's music names a database entry whose file exists.
    for (int32_t bgm : system.m_vSystemBgm) {
        ASSERT_GT(bgm, 0);
        ASSERT_LT(static_cast<size_t>(bgm), g_Database.m_vBgm.size());
        EXPECT_NE(GetFileAttributes(g_Database.m_vBgm[static_cast<size_t>(bgm)].m_strFile.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    g_Database.SetDefaults();
}

// "System.ini" chooses a window through Direct3D at 32 bits (no start dialog), names only keys of
// the project's option list and ends with "Exit".
TEST_F(DemoProjectTest, SystemIniSelectsAWindowWithoutTheStartDialog)
{
    cEdSystem system;
    ASSERT_EQ(system.LoadFromFile("data\\System.dat"), 1);
    const Bytes bytes = ReadProjectFile("System.ini");
    const std::string text(bytes.begin(), bytes.end());
    std::map<std::string, std::string> values;
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Exit");
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        const size_t eq = lines[i].find('=');
        ASSERT_NE(eq, std::string::npos) << lines[i];
        const std::string key = lines[i].substr(0, eq);
        bool bKnown = false;
        for (const cEdSystemOption& option : system.m_vOption) bKnown = bKnown || option.m_strName == key;
        EXPECT_TRUE(bKnown) << key;
        values[key] = lines[i].substr(eq + 1);
    }
    EXPECT_EQ(values["Direct3D"], "1");
    EXPECT_EQ(values["WindowMode"], "1");
    EXPECT_EQ(values["Bpp"], "32");
}

TEST_F(DemoProjectTest, WorldMapLoadsAndItsStagePlacesAreReachableFromTheStart)
{
    cEdWorldMap map;
    ASSERT_EQ(map.LoadFromFile("data\\WorldMap.dat"), 1);
    ASSERT_EQ(map.m_vEntry.size(), 3u);
    // One stage may be walked past; the others must be played.
    int32_t nPassable = 0;
    for (const cEdWorldEntry& entry : map.m_vEntry) nPassable += entry.m_vEntryItem.at(0).m_bStopOnPlace != 0;
    EXPECT_EQ(nPassable, 1);
    const auto passable = [&](int32_t x, int32_t y) {
        if (x < 0 || y < 0 || x >= map.m_nWidth || y >= map.m_nHeight) return false;
        const int32_t chip = map.CellAt(x, y);
        if (map.FindEntryAt(x, y)) return true;
        return chip >= 0 && static_cast<size_t>(chip) < map.m_vChip.size() && map.m_vChip[static_cast<size_t>(chip)].m_bBlocked == 0;
    };
    ASSERT_TRUE(passable(map.m_nStartX, map.m_nStartY));
    // Flood the passable cells from the start.
    std::vector<bool> seen(static_cast<size_t>(map.m_nWidth * map.m_nHeight), false);
    std::queue<std::pair<int32_t, int32_t>> open;
    open.push({map.m_nStartX, map.m_nStartY});
    seen[static_cast<size_t>(map.m_nStartY * map.m_nWidth + map.m_nStartX)] = true;
    while (!open.empty()) {
        const auto [x, y] = open.front();
        open.pop();
        const int32_t d[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& step : d) {
            const int32_t nx = x + step[0], ny = y + step[1];
            if (!passable(nx, ny) || seen[static_cast<size_t>(ny * map.m_nWidth + nx)]) continue;
            seen[static_cast<size_t>(ny * map.m_nWidth + nx)] = true;
            open.push({nx, ny});
        }
    }
    for (const cEdWorldEntry& entry : map.m_vEntry) {
        SCOPED_TRACE(entry.m_nX * 100 + entry.m_nY);
        EXPECT_TRUE(seen[static_cast<size_t>(entry.m_nY * map.m_nWidth + entry.m_nX)]);
        ASSERT_EQ(entry.m_vEntryItem.size(), 1u);
        EXPECT_EQ(entry.m_vEntryItem[0].m_nKind, 0);
        EXPECT_FALSE(entry.m_vEntryItem[0].m_strStageFile.empty());
    }
}

// Opaque pixels of a rectangle of a bitmap.
int32_t CountOpaque(const DECODEDBITMAP& b, int32_t x, int32_t y, int32_t w, int32_t h)
{
    int32_t n = 0;
    for (int32_t j = y; j < y + h; ++j) {
        for (int32_t i = x; i < x + w; ++i) n += DecodedBitmapRaw(b, i, j) != 0;
    }
    return n;
}

// The cell a definition's graphic is drawn from holds a picture: blocks at ((n / 15) x 32,
// (n mod 15) x 32) of the block sheet, characters at column 0 of row n mod 15 of character sheet
// n / 15 + 1, items at ((n / 15) x 64, (n mod 15) x 32) of the item sheet.
void ExpectGraphicDrawn(int8_t kind, int16_t n, int32_t minOpaque)
{
    SCOPED_TRACE("graphic kind " + std::to_string(kind) + " number " + std::to_string(n));
    ASSERT_GT(n, 0);
    std::string path;
    int32_t x = 0, y = (n % 15) * 32;
    if (kind == 0) {
        path = "bmp\\Block.bmp";
        x = (n / 15) * 32;
    } else if (kind == 1) {
        path = "bmp\\Character" + std::to_string(n / 15 + 1) + ".bmp";
    } else {
        ASSERT_EQ(kind, 2);
        path = "bmp\\Item.bmp";
        x = (n / 15) * 64;
    }
    DECODEDBITMAP b;
    std::string error;
    ASSERT_TRUE(LoadBitmapFile(path.c_str(), &b, &error)) << error;
    EXPECT_GE(CountOpaque(b, x, y, 32, 32), minOpaque);
}

TEST_F(DemoProjectTest, CommonPaletteLoadsWithDrawnDefinitions)
{
    cEdPalette palette;
    ASSERT_EQ(palette.LoadFromFile("data\\CommonPalette.cplt4"), 1);
    EXPECT_GE(palette.m_vBlock.size(), 6u);
    EXPECT_GE(palette.m_vChara.size(), 4u);
    EXPECT_GE(palette.m_vItem.size(), 4u);
    int32_t heroes = 0;
    for (size_t i = 1; i < palette.m_vBlock.size(); ++i) ExpectGraphicDrawn(palette.m_vBlock[i].m_nGraphicKind, palette.m_vBlock[i].m_nGraphicIndex, 100);
    for (size_t i = 1; i < palette.m_vChara.size(); ++i) {
        ExpectGraphicDrawn(palette.m_vChara[i].m_nGraphicKind, palette.m_vChara[i].m_nGraphicIndex, 100);
        heroes += palette.m_vChara[i].m_nController == 0;
    }
    EXPECT_EQ(heroes, 1);
    for (size_t i = 1; i < palette.m_vItem.size(); ++i) ExpectGraphicDrawn(palette.m_vItem[i].m_nGraphicKind, palette.m_vItem[i].m_nGraphicIndex, 100);
}

// Every stage the world map leads to loads through the stage loader with a hero standing on solid
// ground, enemies and items to meet, and every placement drawn from a filled cell.
TEST_F(DemoProjectTest, StagesOfTheWorldMapLoadWithAHeroOnGroundEnemiesAndItems)
{
    g_Database.SetDefaults();
    ASSERT_EQ(g_Database.LoadDatabase(), 1);
    ASSERT_EQ(g_CommonPalette.LoadFromFile("data\\CommonPalette.cplt4"), 1);
    cEdWorldMap map;
    ASSERT_EQ(map.LoadFromFile("data\\WorldMap.dat"), 1);
    // The world map's stages, and the challenge stages by the names the challenge select builds
    // ("data\stg4\cNN-1." and the newest numbered file).
    std::vector<std::pair<std::string, int32_t>> files;
    for (const cEdWorldEntry& entry : map.m_vEntry) files.push_back({entry.m_vEntryItem[0].m_strStageFile, 0});
    cEdSystem system;
    ASSERT_EQ(system.LoadFromFile("data\\System.dat"), 1);
    EXPECT_EQ(system.m_nChallengeStages, 3);
    for (int32_t n = 1; n <= system.m_nChallengeStages; ++n) {
        char name[64];
        std::snprintf(name, sizeof name, "data\\stg4\\c%02d-1.stg4", n);
        files.push_back({name, 1});
    }
    for (const auto& [file, useLatest] : files) {
        SCOPED_TRACE(file);
        ASSERT_EQ(LoadStageFile(file.c_str(), useLatest, &g_StageStart), 1);
        const cEdStage& stage = g_Stage;
        ASSERT_GT(stage.m_nWidth, 20);
        ASSERT_GE(stage.m_nHeight, 15);
        const int32_t hero = stage.FindHero();
        ASSERT_GE(hero, 0);
        std::vector<int8_t> solid(static_cast<size_t>(stage.m_nWidth * stage.m_nHeight), 0);
        for (const cEdBlock& b : stage.m_vBlock) {
            ASSERT_GE(b.m_nX, 0);
            ASSERT_LT(b.m_nX, stage.m_nWidth);
            ASSERT_GE(b.m_nY, 0);
            ASSERT_LT(b.m_nY, stage.m_nHeight);
            solid[static_cast<size_t>(b.m_nY * stage.m_nWidth + b.m_nX)] = b.m_nHit;
        }
        const cEdChara& h = stage.m_vChara[static_cast<size_t>(hero)];
        ASSERT_LT(h.m_nY + 1, stage.m_nHeight);
        EXPECT_EQ(solid[static_cast<size_t>((h.m_nY + 1) * stage.m_nWidth + h.m_nX)], 1) << "ground under the hero";
        EXPECT_EQ(solid[static_cast<size_t>(h.m_nY * stage.m_nWidth + h.m_nX)], 0) << "room for the hero";
        int32_t enemies = 0;
        for (const cEdChara& c : stage.m_vChara) {
            enemies += c.m_nController != 0;
            ExpectGraphicDrawn(c.m_nGraphicKind, c.m_nGraphicIndex, 100);
        }
        EXPECT_GE(enemies, 3);
        EXPECT_GE(stage.m_vItem.size(), 3u);
        for (const cEdItem& i : stage.m_vItem) ExpectGraphicDrawn(i.m_nGraphicKind, i.m_nGraphicIndex, 100);
        EXPECT_GT(stage.m_vBlock.size(), static_cast<size_t>(stage.m_nWidth));
        for (const cEdStageBackground& bg : stage.m_vBackground) {
            if (!bg.m_bColorFill) {
                EXPECT_NE(GetFileAttributes(bg.m_strFile.c_str()), INVALID_FILE_ATTRIBUTES) << bg.m_strFile;
            }
        }
        ASSERT_GT(stage.m_nBgm, 0);
        EXPECT_NE(GetFileAttributes(g_Database.m_vBgm[static_cast<size_t>(stage.m_nBgm)].m_strFile.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    g_Stage.SetDefaults();
    g_StageStart.SetDefaults();
    g_CommonPalette = cEdPalette();
    g_Database.SetDefaults();
}

// The files of the system bitmap table (blank entries aside), with the sizes the drawing code
// takes its cells from.
struct BitmapExpectation {
    const char* path;
    int32_t width, height;
};

const BitmapExpectation kBitmaps[] = {
    {"bmp\\plt\\Palette.bmp", 16, 24},  {"bmp\\Debug.bmp", 128, 48},     {"bmp\\Block.bmp", 256, 480},
    {"bmp\\Character1.bmp", 640, 480},  {"bmp\\Character2.bmp", 640, 480}, {"bmp\\Character3.bmp", 640, 480},
    {"bmp\\Character4.bmp", 640, 480},  {"bmp\\Character5.bmp", 640, 480}, {"bmp\\Character6.bmp", 640, 480},
    {"bmp\\Character7.bmp", 640, 480},  {"bmp\\Character8.bmp", 640, 480}, {"bmp\\Shot.bmp", 128, 480},
    {"bmp\\Item.bmp", 128, 480},        {"bmp\\Item_Mini.bmp", 64, 240},    {"bmp\\Mark.bmp", 256, 480},
    {"bmp\\Window.bmp", 640, 480},      {"bmp\\StatusWindow.bmp", 640, 176}, {"bmp\\Title.bmp", 640, 480},
    {"bmp\\GameMode.bmp", 256, 224},    {"bmp\\Accessory.bmp", 128, 128},   {"bmp\\Symbol.bmp", 416, 16},
    {"bmp\\Word.bmp", 320, 192},        {"bmp\\WorldMapChip.bmp", 160, 64}, {"bmp\\WorldEvent.bmp", 64, 96},
    {"bmp\\WorldBack.bmp", 640, 480},   {"背景その1.bmp", 640, 480},        {"背景その2.bmp", 640, 480},
    {"背景その3.bmp", 640, 480},        {"背景その4.bmp", 640, 480},        {"背景その5.bmp", 640, 480},
    {"背景その6.bmp", 640, 480},        {"背景その7.bmp", 640, 480},        {"背景その8.bmp", 640, 480},
};

TEST_F(DemoProjectTest, EveryTableBitmapDecodesWithItsSizeAndThePaletteOfThePaletteImage)
{
    DECODEDBITMAP palette;
    std::string error;
    ASSERT_TRUE(LoadBitmapFile("bmp\\plt\\Palette.bmp", &palette, &error)) << error;
    ASSERT_EQ(palette.vColourTable.size(), 256u);
    for (const BitmapExpectation& e : kBitmaps) {
        SCOPED_TRACE(e.path);
        DECODEDBITMAP bitmap;
        ASSERT_TRUE(LoadBitmapFile(e.path, &bitmap, &error)) << error;
        EXPECT_EQ(bitmap.nBitCount, 8);
        EXPECT_EQ(bitmap.nWidth, e.width);
        EXPECT_EQ(bitmap.nHeight, e.height);
        ASSERT_EQ(bitmap.vColourTable.size(), 256u);
        EXPECT_EQ(std::memcmp(bitmap.vColourTable.data(), palette.vColourTable.data(), 256 * sizeof(RGBQUAD)), 0);
    }
}

// The palette image: its top-left pixel is index 0, the 16 x 16 block from row 8 holds entry n at
// (n mod 16, 8 + n / 16), and no other entry shares the transparent colour.
TEST_F(DemoProjectTest, PaletteImageHoldsThePaletteBlockAndAUniqueTransparentColour)
{
    DECODEDBITMAP palette;
    std::string error;
    ASSERT_TRUE(LoadBitmapFile("bmp\\plt\\Palette.bmp", &palette, &error)) << error;
    EXPECT_EQ(DecodedBitmapRaw(palette, 0, 0), 0u);
    for (uint32_t n = 0; n < 256; ++n) {
        ASSERT_EQ(DecodedBitmapRaw(palette, static_cast<int32_t>(n % 16), static_cast<int32_t>(8 + n / 16)), n);
    }
    const uint32_t transparent = DecodedBitmapPixel(palette, 0, 0);
    for (uint32_t n = 1; n < 256; ++n) {
        EXPECT_NE(DecodedBitmapPixel(palette, static_cast<int32_t>(n % 16), static_cast<int32_t>(8 + n / 16)), transparent) << n;
    }
}

// The cells the scenes and objects draw from hold a picture, and the cells around sprites are
// transparent, so nothing draws a box around a character.
TEST_F(DemoProjectTest, DrawnCellsHoldPicturesOnATransparentGround)
{
    struct Cell {
        const char* path;
        int32_t x, y, w, h;
        int32_t minOpaque;
    };
    const Cell kCells[] = {
        {"bmp\\Character1.bmp", 0, 32, 32, 32, 200},    // the hero (graphic 1), standing
        {"bmp\\Character1.bmp", 32, 32, 32, 32, 200},   // the hero, walking
        {"bmp\\Character1.bmp", 0, 64, 32, 32, 150},    // the first enemy (graphic 2)
        {"bmp\\Block.bmp", 0, 32, 32, 32, 1024},       // block 1 fills its cell
        {"bmp\\Item.bmp", 0, 32, 32, 32, 150},         // item 1
        {"bmp\\Accessory.bmp", 0, 0, 32, 32, 100},     // the menu cursor
        {"bmp\\Accessory.bmp", 64, 0, 16, 16, 20},     // the small cursor
        {"bmp\\StatusWindow.bmp", 16, 48, 16, 16, 20},  // the ranking place indicator
        {"bmp\\WorldMapChip.bmp", 0, 0, 160, 64, 160 * 64},
    };
    for (const Cell& c : kCells) {
        SCOPED_TRACE(std::string(c.path) + " " + std::to_string(c.x) + "," + std::to_string(c.y));
        DECODEDBITMAP b;
        std::string error;
        ASSERT_TRUE(LoadBitmapFile(c.path, &b, &error)) << error;
        EXPECT_GE(CountOpaque(b, c.x, c.y, c.w, c.h), c.minOpaque);
    }
    DECODEDBITMAP chara;
    std::string error;
    ASSERT_TRUE(LoadBitmapFile("bmp\\Character1.bmp", &chara, &error)) << error;
    for (int32_t row = 0; row < 8; ++row) {
        EXPECT_EQ(DecodedBitmapRaw(chara, 0, row * 32), 0u) << row;
        EXPECT_EQ(DecodedBitmapRaw(chara, 31, row * 32 + 31 - 31), 0u) << row;
    }
    // Each title menu band holds its word.
    DECODEDBITMAP menu;
    ASSERT_TRUE(LoadBitmapFile("bmp\\GameMode.bmp", &menu, &error)) << error;
    for (int32_t band = 0; band < 7; ++band) EXPECT_GT(CountOpaque(menu, 0, band * 32, 256, 32), 256 * 20) << band;
}

TEST_F(DemoProjectTest, BlendTablesMixColoursOfTheirPalettePattern)
{
    DECODEDBITMAP palette;
    std::string error;
    ASSERT_TRUE(LoadBitmapFile("bmp\\plt\\Palette.bmp", &palette, &error)) << error;
    const auto colour = [&](uint32_t n) { return palette.vColourTable[n]; };
    for (int32_t p = 0; p < 24; ++p) {
        char path[32];
        std::snprintf(path, sizeof path, "bmp\\hbt\\hbt%02d.dat", p);
        SCOPED_TRACE(path);
        const Bytes table = ReadProjectFile(path);
        ASSERT_EQ(table.size(), 65536u);
        for (uint32_t a = 0; a < 256; ++a) {
            ASSERT_EQ(table[a * 256 + a], a);
            ASSERT_EQ(table[a], a);   // with the transparent colour
            for (uint32_t b = 0; b < 256; b += 7) ASSERT_EQ(table[a * 256 + b], table[b * 256 + a]);
        }
    }
    // Pattern 0 keeps the palette as loaded: the mix of two colours is near their mean.
    const Bytes table = ReadProjectFile("bmp\\hbt\\hbt00.dat");
    const uint32_t pairs[][2] = {{16, 31}, {48, 160}, {100, 200}, {31, 110}};
    for (const auto& pair : pairs) {
        const RGBQUAD a = colour(pair[0]), b = colour(pair[1]), m = colour(table[pair[0] * 256 + pair[1]]);
        EXPECT_NEAR(m.rgbRed, (a.rgbRed + b.rgbRed) / 2, 48) << pair[0] << "," << pair[1];
        EXPECT_NEAR(m.rgbGreen, (a.rgbGreen + b.rgbGreen) / 2, 48) << pair[0] << "," << pair[1];
        EXPECT_NEAR(m.rgbBlue, (a.rgbBlue + b.rgbBlue) / 2, 48) << pair[0] << "," << pair[1];
    }
}

// Two runs write the same files with the same bytes.
TEST_F(DemoProjectTest, GeneratorWritesTheSameBytesOnEveryRun)
{
    std::string error;
    ASSERT_TRUE(GenerateDemoProject((s_Folder / "again").string(), &error)) << error;
    std::vector<std::filesystem::path> first, second;
    for (const auto& e : std::filesystem::recursive_directory_iterator(s_Folder / "game")) {
        if (e.is_regular_file()) first.push_back(std::filesystem::relative(e.path(), s_Folder / "game"));
    }
    for (const auto& e : std::filesystem::recursive_directory_iterator(s_Folder / "again")) {
        if (e.is_regular_file()) second.push_back(std::filesystem::relative(e.path(), s_Folder / "again"));
    }
    std::sort(first.begin(), first.end());
    std::sort(second.begin(), second.end());
    ASSERT_EQ(first, second);
    EXPECT_GT(first.size(), 60u);
    for (const auto& rel : first) {
        EXPECT_EQ(ReadHostFile(s_Folder / "game" / rel), ReadHostFile(s_Folder / "again" / rel)) << rel;
    }
}

}   // namespace
