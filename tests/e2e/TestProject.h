#pragma once
// The smallest project folder the player starts with: the project settings, the ten database
// lists and the world map of a new project saved by the data model's own records, the palette
// image and the debug glyph sheet, and a "System.ini".
#include <cstdint>
#include <string>
#include <vector>

struct TestProjectSpec {
    std::string systemIni = "Direct3D=1\nWindowMode=1\nShowFps=0\nExit\n";
    bool withData = true;        // "data\" (otherwise only "default\" when withDefault)
    bool withDefault = false;    // a clean copy in "default\"
    bool withDatabase = true;    // the ten lists of "data\database\"
    uint8_t textRed = 0xE0, textGreen = 0x40, textBlue = 0x20;   // palette entry 241
};

// A fresh folder under the test temporary directory.
std::string MakeTempFolder(const std::string& name);
void WriteTestProject(const std::string& folder, const TestProjectSpec& spec);
// The palette the project's "bmp\plt\Palette.bmp" holds: entry i as 0x00RRGGBB.
std::vector<uint32_t> TestPalette(const TestProjectSpec& spec);
std::string ReadWholeFile(const std::string& path);
// The bytes of a small stage file that loads (one hero in an empty stage).
std::string PlayableStageFileBytes();
void WriteWholeFile(const std::string& path, const std::string& bytes);
