#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/host/Host.h"
#include "platform/win/WinFile.h"

namespace {

namespace fs = std::filesystem;

// Code-page-932 names whose second byte is the backslash.
const char kSo[] = "\x83\x5C";    // ソ
const char kHyo[] = "\x95\x5C";   // 表

// Each test runs in a fresh folder that is its current directory.
class FileLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/platform-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_strRoot = pattern;
        m_strOld = fs::current_path().string();
        fs::current_path(m_strRoot);
        m_strProjectRoot = m_strRoot;
        for (auto& c : m_strProjectRoot)
            if (c == '/') c = '\\';
    }
    void TearDown() override
    {
        HostDisarmAllFaults();
        fs::current_path(m_strOld);
        fs::remove_all(m_strRoot);
    }
    static void WriteRaw(const std::string& hostPath, const std::string& bytes)
    {
        std::ofstream(hostPath, std::ios::binary) << bytes;
    }
    static std::string ReadRaw(const std::string& hostPath)
    {
        std::ifstream in(hostPath, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static std::string ReadAll(FILE* f)
    {
        std::string out;
        int c;
        while ((c = std::fgetc(f)) != EOF) out += static_cast<char>(c);
        return out;
    }
    std::string m_strRoot;
    std::string m_strOld;
    std::string m_strProjectRoot;   // the root folder in project form
};

TEST_F(FileLayer, DoubleByteNamesWithBackslashTrailBytesReachTheRightFiles)
{
    // Made on disk by the host, found through project paths.
    fs::create_directory("表");
    WriteRaw("表/ソ.txt", "disk");
    FILE* f = PlatformFopen((std::string(kHyo) + "\\" + kSo + ".txt").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadAll(f), "disk");
    std::fclose(f);

    // Made through the layer, found on disk under their UTF-8 names.
    std::string folder = std::string(kSo) + "\\" + kHyo;
    ASSERT_TRUE(CreateDirectory(kSo, nullptr));
    ASSERT_TRUE(CreateDirectory(folder.c_str(), nullptr));
    f = PlatformFopen((folder + "\\a.dat").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("layer", f);
    std::fclose(f);
    EXPECT_EQ(ReadRaw("ソ/表/a.dat"), "layer");
    EXPECT_EQ(HostPath((folder + "\\a.dat").c_str()), "ソ/表/a.dat");
    EXPECT_EQ(GetFileAttributes(folder.c_str()), FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(FileLayer, MissingNamesAreFoundIgnoringCase)
{
    fs::create_directories("Data/Stage");
    WriteRaw("Data/Stage/Map.DAT", "map");
    struct Case {
        const char* project;
        const char* host;
    };
    const Case cases[] = {
        {"data\\STAGE\\map.dat", "Data/Stage/Map.DAT"},
        {"Data\\Stage\\Map.DAT", "Data/Stage/Map.DAT"},
        {"DATA\\new\\x.txt", "Data/new/x.txt"},   // the missing part keeps its own name
        {".\\data\\..\\DATA\\stage", "./Data/../Data/Stage"},
    };
    for (const auto& c : cases) EXPECT_EQ(HostPath(c.project), c.host) << c.project;
    EXPECT_EQ(HostPath((m_strProjectRoot + "\\DATA").c_str()), m_strRoot + "/Data");

    FILE* f = PlatformFopen("DATA\\stage\\MAP.dat", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadAll(f), "map");
    std::fclose(f);
    EXPECT_EQ(GetFileAttributes("data\\stage\\map.dat"), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributes("data\\stage\\none.dat"), INVALID_FILE_ATTRIBUTES);
    // A folder that exists in another case is not made twice.
    EXPECT_FALSE(CreateDirectory("DATA", nullptr));
}

TEST_F(FileLayer, TextModeWritesCrLfAndReadsItBackAsLf)
{
    FILE* f = PlatformFopen("log.txt", "wt");
    ASSERT_NE(f, nullptr);
    std::fputs("a\nb\n", f);
    std::fclose(f);
    EXPECT_EQ(ReadRaw("log.txt"), "a\r\nb\r\n");

    // Append through a read-write text stream positioned at the end.
    f = PlatformFopen("log.txt", "rt+");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fseek(f, 0, SEEK_END), 0);
    EXPECT_EQ(std::ftell(f), 6);
    std::fputs("c\n", f);
    std::fclose(f);
    EXPECT_EQ(ReadRaw("log.txt"), "a\r\nb\r\nc\r\n");

    f = PlatformFopen("log.txt", "a");   // no "b": text
    ASSERT_NE(f, nullptr);
    std::fputs("d\n", f);
    std::fclose(f);

    f = PlatformFopen("log.txt", "rt");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadAll(f), "a\nb\nc\nd\n");
    std::fclose(f);

    f = PlatformFopen("log.txt", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadAll(f), "a\r\nb\r\nc\r\nd\r\n");
    std::fclose(f);
}

TEST_F(FileLayer, TextModeKeepsLoneCarriageReturnsAndLongFiles)
{
    // A lone CR, a CR at the very end, and CR LF pairs across every buffer boundary.
    std::string raw = "x\ry\r\n";
    std::string text = "x\ry\n";
    for (int i = 0; i < 5000; ++i) {
        raw += "line\r\n";
        text += "line\n";
    }
    raw += "\r";
    text += "\r";
    WriteRaw("big.txt", raw);
    FILE* f = PlatformFopen("big.txt", "r");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadAll(f), text);
    std::fclose(f);
}

TEST_F(FileLayer, OpenFailsForMissingFileAndForArmedFault)
{
    EXPECT_EQ(PlatformFopen("none.txt", "rt"), nullptr);
    WriteRaw("here.txt", "x");
    HostArmFault(HostFault::FileOpen);
    EXPECT_EQ(PlatformFopen("here.txt", "rb"), nullptr);
    FILE* f = PlatformFopen("here.txt", "rb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
}

TEST_F(FileLayer, CopyMoveDeleteAndList)
{
    WriteRaw("a.txt", "A");
    WriteRaw("b.txt", "B");
    EXPECT_FALSE(CopyFile("A.TXT", "b.txt", 1));   // the target exists
    EXPECT_EQ(ReadRaw("b.txt"), "B");
    EXPECT_TRUE(CopyFile("A.TXT", "B.TXT", 0));   // replaces b.txt itself
    EXPECT_EQ(ReadRaw("b.txt"), "A");
    EXPECT_FALSE(CopyFile("missing.txt", "c.txt", 0));

    WriteRaw("c.txt", "C");
    EXPECT_FALSE(MoveFileEx("c.txt", "a.txt", 0));
    EXPECT_EQ(ReadRaw("a.txt"), "A");
    EXPECT_TRUE(MoveFileEx("C.txt", "a.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadRaw("a.txt"), "C");
    EXPECT_FALSE(fs::exists("c.txt"));

    ASSERT_TRUE(CreateDirectory(kHyo, nullptr));
    std::vector<std::string> names;
    ASSERT_TRUE(ListDirectory("", &names));
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.txt", kHyo}));
    ASSERT_TRUE(ListDirectory(kHyo, &names));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(ListDirectory("nothing", &names));

    EXPECT_TRUE(DeleteFile("B.txt"));
    EXPECT_FALSE(DeleteFile("b.txt"));
    EXPECT_FALSE(DeleteFile(kHyo));   // folders are not files
}

TEST_F(FileLayer, CurrentDirectoryInProjectForm)
{
    fs::create_directory("表");
    fs::current_path("表");
    std::string expected = m_strProjectRoot + "\\" + kHyo;
    char buffer[MAX_PATH];
    EXPECT_EQ(GetCurrentDirectory(MAX_PATH, buffer), expected.size());
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_EQ(GetCurrentDirectory(4, buffer), expected.size() + 1);   // size needed
    HostArmFault(HostFault::CurrentDirectory);
    EXPECT_EQ(GetCurrentDirectory(MAX_PATH, buffer), 0u);
}

TEST_F(FileLayer, FullPathNames)
{
    struct Case {
        std::string path;
        std::string full;
        const char* filePart;
    };
    const Case cases[] = {
        {"a\\..\\b\\.\\c.txt", m_strProjectRoot + "\\b\\c.txt", "c.txt"},
        {std::string(kHyo) + "\\x", m_strProjectRoot + "\\" + kHyo + "\\x", "x"},
        {std::string("..\\") + kSo, m_strProjectRoot.substr(0, m_strProjectRoot.rfind('\\')) + "\\" + kSo, kSo},
        {"\\x\\y", "\\x\\y", "y"},
        {"D:\\x\\..\\y", "D:\\y", "y"},
        {"sub\\", m_strProjectRoot + "\\sub\\", nullptr},
    };
    for (const auto& c : cases) {
        char buffer[MAX_PATH];
        char* filePart = buffer;
        EXPECT_EQ(GetFullPathName(c.path.c_str(), MAX_PATH, buffer, &filePart), c.full.size()) << c.path;
        EXPECT_EQ(std::string(buffer), c.full);
        if (c.filePart) EXPECT_STREQ(filePart, c.filePart) << c.path;
        else EXPECT_EQ(filePart, nullptr) << c.path;
    }
    char small[4];
    EXPECT_EQ(GetFullPathName("\\x\\y", 4, small, nullptr), 5u);
    HostArmFault(HostFault::CurrentDirectory);
    char buffer[MAX_PATH];
    EXPECT_EQ(GetFullPathName("rel", MAX_PATH, buffer, nullptr), 0u);
}

TEST(PathForms, RelativeOrAbsolute)
{
    struct Case {
        const char* path;
        BOOL relative;
    };
    const Case cases[] = {
        {"data\\a.dat", 1}, {".\\a", 1}, {"..\\a", 1}, {"\x95\x5C", 1},
        {"\\home\\a", 0},   {"D:\\x", 0}, {"c:x", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(PathIsRelative(c.path), c.relative) << c.path;
}

TEST(PathForms, RelativePathBetweenProjectPaths)
{
    const std::string hyo = kHyo;
    struct Case {
        std::string from;
        DWORD fromAttributes;
        std::string to;
        BOOL ok;
        std::string result;
    };
    const Case cases[] = {
        {"\\home\\me\\game", FILE_ATTRIBUTE_DIRECTORY, "\\home\\me\\game\\data\\s.stg4", 1, ".\\data\\s.stg4"},
        {"\\home\\me\\game", FILE_ATTRIBUTE_DIRECTORY, "\\HOME\\Me\\other\\s.stg4", 1, "..\\other\\s.stg4"},
        {"\\home\\me\\game\\x.txt", FILE_ATTRIBUTE_NORMAL, "\\home\\y.txt", 1, "..\\..\\y.txt"},
        {"\\a\\" + hyo, FILE_ATTRIBUTE_DIRECTORY, "\\a\\" + hyo + "\\b", 1, ".\\b"},
        // A trail byte 0x5C must not split the name, and trail bytes are not folded.
        {"\\a\\" + hyo, FILE_ATTRIBUTE_DIRECTORY, "\\a\\\x95\x7C\\b", 1, "..\\\x95\x7C\\b"},
        {"\\home\\me\\game", FILE_ATTRIBUTE_DIRECTORY, "D:\\x", 0, ""},
        {"D:\\x", FILE_ATTRIBUTE_DIRECTORY, "d:\\x\\y", 1, ".\\y"},
    };
    for (const auto& c : cases) {
        char out[MAX_PATH] = "unchanged";
        EXPECT_EQ(PathRelativePathTo(out, c.from.c_str(), c.fromAttributes, c.to.c_str(),
                                     FILE_ATTRIBUTE_NORMAL),
                  c.ok)
            << c.to;
        EXPECT_EQ(std::string(out), c.ok ? c.result : "unchanged") << c.to;
    }
}

}  // namespace
