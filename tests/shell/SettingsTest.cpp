// "System.ini" parsing as a table of file contents, and the two record files byte for byte.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "data/EdSystem.h"
#include "platform/win/WinWindowState.h"
#include "shell/SettingsRecords.h"
#include "shell/SystemIni.h"

namespace fs = std::filesystem;

namespace {

class SettingsFiles : public testing::Test {
protected:
    void SetUp() override
    {
        m_Folder = fs::temp_directory_path() / ("shell_settings_" + std::to_string(getpid()));
        fs::remove_all(m_Folder);
        fs::create_directories(m_Folder / "user_data");
        m_Previous = fs::current_path();
        fs::current_path(m_Folder);
        m_System.SetDefaults();
    }
    void TearDown() override
    {
        fs::current_path(m_Previous);
        fs::remove_all(m_Folder);
    }
    void Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name)
    {
        std::ifstream in(name, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path m_Folder, m_Previous;
    cEdSystem m_System;
};

struct IniCase {
    const char* name;
    std::string file;
    int result;
    int32_t direct3D, showFps, windowMode;
    const char* freeStage;
};

}  // namespace

TEST_F(SettingsFiles, SystemIniTable)
{
    const IniCase cases[] = {
        {"defaults without the file's keys", "Exit\n", 1, 2, 1, 0, ""},
        {"Direct3D 0 with Exit", "Direct3D=0\nExit\n", 1, 0, 1, 0, ""},
        {"no Exit line fails", "Direct3D=0\n", 0, 0, 1, 0, ""},
        {"Exit on the last line without a line feed", "Direct3D=0\nExit", 1, 0, 1, 0, ""},
        {"comment after a value", "ShowFps=2 the small text\nExit\n", 1, 2, 2, 0, ""},
        {"CR LF line ends", "WindowMode=1\r\nExit\r\n", 1, 2, 1, 1, ""},
        {"blanks inside a key", "Show Fps = 0\nExit\n", 1, 2, 0, 0, ""},
        {"unknown key and line without =", "Colour=3\njust words\nExit\n", 1, 2, 1, 0, ""},
        {"NUL ends the file", std::string("Direct3D=1\n\0garbage", 20), 1, 1, 1, 0, ""},
        {"one-character FreeStage is refused", "FreeStage=a\nExit\n", 1, 2, 1, 0, ""},
        {"two-character FreeStage is taken", "FreeStage=ab\nExit\n", 1, 2, 1, 0, "ab"},
        {"FreeStage loses a trailing CR", "FreeStage=data\\stg4\\s.stg4\r\nExit\r\n", 1, 2, 1, 0, "data\\stg4\\s.stg4"},
        {"value after slash starts a new key", "Bpp=16/ShowFps=0\nExit\n", 1, 2, 0, 0, ""},
        {"over-long key fails", std::string(3000, 'k') + "=1\nExit\n", 0, 2, 1, 0, ""},
        {"over-long value fails", "FreeStage=" + std::string(3000, 'v') + "\nExit\n", 0, 2, 1, 0, ""},
    };
    for (const IniCase& c : cases) {
        SCOPED_TRACE(c.name);
        Write("System.ini", c.file);
        SYSTEMINI ini;
        SetSystemIniDefaults(ini, m_System.m_vOption);
        EXPECT_EQ(ReadSystemIni("System.ini", ini, m_System.m_vOption), c.result);
        EXPECT_EQ(ini.Direct3D, c.direct3D);
        EXPECT_EQ(ini.ShowFps, c.showFps);
        EXPECT_EQ(ini.WindowMode, c.windowMode);
        EXPECT_STREQ(ini.FreeStage, c.freeStage);
    }
}

TEST_F(SettingsFiles, OptionNamesComeFromTheProjectByPosition)
{
    m_System.m_vOption[0].m_strName = "Renderer";
    Write("System.ini", "Direct3D=0\nRenderer=1\nExit\n");
    SYSTEMINI ini;
    SetSystemIniDefaults(ini, m_System.m_vOption);
    ini.Direct3D = 7;
    ASSERT_EQ(ReadSystemIni("System.ini", ini, m_System.m_vOption), 1);
    EXPECT_EQ(ini.Direct3D, 1);
    EXPECT_EQ(ReadSystemIni("missing.ini", ini, m_System.m_vOption), 0);
}

TEST_F(SettingsFiles, BootAndWindowFilesByteExact)
{
    const std::string boot("\xEF\x02\0\0\x02\0\0\0\0\0\0\0\x01\0\0\0\0\0\0\0", 20);
    Write("user_data/Boot.dat", boot);
    cBootSettings settings;
    EXPECT_EQ(settings.m_nDrawingMode, 1);
    ASSERT_TRUE(settings.LoadFromFile("user_data\\Boot.dat"));
    EXPECT_EQ(settings.m_nDrawingMode, 0);
    EXPECT_EQ(settings.m_bDontAsk, 1);
    ASSERT_TRUE(settings.SaveToFile("user_data\\Boot2.dat"));
    EXPECT_EQ(Read("user_data/Boot2.dat"), boot);

    // x -5 is brought back onto the screen; the rest is kept.
    const std::string window("\xEF\x02\0\0\x05\0\0\0\xFB\xFF\xFF\xFF\x20\0\0\0\x80\x02\0\0\xE0\x01\0\0\x01\0\0\0\0\0\0\0", 32);
    Write("user_data/Window.dat", window);
    cWindowPlacement placement;
    ASSERT_TRUE(placement.LoadFromFile("user_data\\Window.dat"));
    EXPECT_EQ(placement.m_nX, 0);
    EXPECT_EQ(placement.m_nY, 32);
    EXPECT_EQ(placement.m_nWidth, 640);
    EXPECT_EQ(placement.m_nHeight, 480);
    EXPECT_EQ(placement.m_bMaximised, 1);
    ASSERT_TRUE(placement.SaveToFile("user_data\\Window2.dat"));
    std::string expected = window;
    expected.replace(8, 4, std::string(4, '\0'));
    EXPECT_EQ(Read("user_data/Window2.dat"), expected);

    // A short file leaves the record as it was.
    Write("user_data/Window.dat", window.substr(0, 20));
    EXPECT_FALSE(placement.LoadFromFile("user_data\\Window.dat"));
    EXPECT_EQ(placement.m_nHeight, 480);
}

TEST_F(SettingsFiles, WindowPlacementSizesAreBroughtIntoTheScreen)
{
    const int32_t screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        int32_t nWidth, nHeight;       // as stored
        int32_t nWantW, nWantH;        // as loaded
    };
    const Case cases[] = {
        {640, 480, 640, 480},
        {INT32_MAX, INT32_MAX - 8, screenW, screenH},   // near the limit: the screen's size
        {INT32_MIN, -1, 100, 100},                      // below the window's smallest: the smallest
        {0, 99, 100, 100},
        {screenW + 1, screenH, screenW, screenH},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.nWidth) + " x " + std::to_string(c.nHeight));
        std::string window("\xEF\x02\0\0\x05\0\0\0", 8);
        for (int32_t v : {10, 20, c.nWidth, c.nHeight, 0})
            for (int shift = 0; shift < 32; shift += 8) window += static_cast<char>(static_cast<uint32_t>(v) >> shift);
        window += std::string(4, '\0');
        Write("user_data/Window.dat", window);
        cWindowPlacement placement;
        ASSERT_TRUE(placement.LoadFromFile("user_data\\Window.dat"));
        EXPECT_EQ(placement.m_nX, 10);
        EXPECT_EQ(placement.m_nY, 20);
        EXPECT_EQ(placement.m_nWidth, c.nWantW);
        EXPECT_EQ(placement.m_nHeight, c.nWantH);
    }
}

TEST(OptionLevels, VolumeOutsideTheTableGetsTheDefault)
{
    EXPECT_EQ(VolumeOfLevel(0), -10000);
    EXPECT_EQ(VolumeOfLevel(10), 0);
    EXPECT_EQ(VolumeOfLevel(7), -150);
    EXPECT_EQ(VolumeOfLevel(11), -150);
    EXPECT_EQ(VolumeOfLevel(-1), -150);
}
