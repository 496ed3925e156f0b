#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "CoreTestSupport.h"
#include "core/Path.h"
#include "platform/host/Host.h"
#include "platform/win/WinFile.h"

namespace {

class PathTest : public CoreTest {};

TEST_F(PathTest, ExtensionHelpers)
{
    struct Case {
        const char* path;
        const char* removed;   // null: RemoveExtension returns false and leaves the path
        const char* extension; // null: GetExtension returns false
    };
    const Case cases[] = {
        {"data\\stg4\\Stage.stg4_001", "data\\stg4\\Stage", "stg4_001"},
        {"Readme", nullptr, nullptr},
        {"a.b\\c", "a", "b\\c"},   // the search for "." ignores separators
        {"x.dat", "x", "dat"},
        {"ソ表.bmp", "ソ表", "bmp"},
    };
    for (const Case& c : cases) {
        char buffer[260];
        std::strcpy(buffer, c.path);
        EXPECT_EQ(RemoveExtension(buffer), c.removed != nullptr) << c.path;
        EXPECT_STREQ(buffer, c.removed != nullptr ? c.removed : c.path);
        std::string text = c.path;
        EXPECT_EQ(RemoveExtension(text), c.removed != nullptr);
        EXPECT_EQ(text, buffer);

        char extension[260] = "unchanged";
        EXPECT_EQ(GetExtension(extension, c.path), c.extension != nullptr) << c.path;
        EXPECT_STREQ(extension, c.extension != nullptr ? c.extension : "unchanged");
    }

    char out[260];
    EXPECT_TRUE(ReplaceExtension(out, "x.dat", "stg4"));
    EXPECT_STREQ(out, "x.stg4");
    EXPECT_TRUE(ReplaceExtension(out, "x.dat", nullptr));
    EXPECT_STREQ(out, "x");
    EXPECT_FALSE(ReplaceExtension(out, "noext", "stg4"));
    EXPECT_STREQ(out, "noext");

    EXPECT_TRUE(InsertNumberSuffix(out, "user_data\\rpl4\\name.rpl4", 1, 2));
    EXPECT_STREQ(out, "user_data\\rpl4\\name_12.rpl4");
    EXPECT_FALSE(InsertNumberSuffix(out, "noext", 1, 2));
    std::string longExtension = "a." + std::string(30, 'e');
    EXPECT_FALSE(InsertNumberSuffix(out, longExtension.c_str(), 1, 2));
}

TEST_F(PathTest, StripDirectoryKeepsDoubleByteCharactersWhole)
{
    struct Case {
        const char* path;
        const char* name;
    };
    const Case cases[] = {
        {"bmp\\Block.bmp", "Block.bmp"},
        {"Block.bmp", "Block.bmp"},
        {"data\\ソ.bmp", "ソ.bmp"},       // ソ is 83 5C
        {"表\\ソ", "ソ"},                // 表 is 95 5C
        {"bmp\\表示ソ.bmp", "表示ソ.bmp"},
        {"dir\\", ""},
    };
    for (const Case& c : cases) {
        char buffer[260];
        std::strcpy(buffer, c.path);
        StripDirectory(buffer);
        EXPECT_STREQ(buffer, c.name) << c.path;
        std::string text = c.path;
        StripDirectory(text);
        EXPECT_EQ(text, c.name);
    }
}

TEST_F(PathTest, DoubleBytePathsReachTheRealFile)
{
    // Folder 表 and file ソ.dat, both with a 0x5C trail byte, made on disk in UTF-8.
    std::filesystem::create_directory("\xE8\xA1\xA8");
    WriteBytes("\xE8\xA1\xA8/\xE3\x82\xBD.dat", "content");
    const char* projectPath = "表\\ソ.dat";
    FILE* file = PlatformFopen(projectPath, "rb");
    ASSERT_NE(file, nullptr);
    char bytes[8] = {};
    EXPECT_EQ(std::fread(bytes, 1, 7, file), 7u);
    std::fclose(file);
    EXPECT_STREQ(bytes, "content");

    char name[260];
    std::strcpy(name, projectPath);
    StripDirectory(name);
    EXPECT_STREQ(name, "ソ.dat");
    EXPECT_EQ(GetFileAttributes(name), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PathTest, FindLatestNumberedFilePicksTheHighestNumber)
{
    WriteBytes("S.stg4_000", "");
    WriteBytes("S.stg4_010", "");
    char result[260] = "S.stg4";
    EXPECT_TRUE(FindLatestNumberedFile(result, result, "stg4"));
    EXPECT_STREQ(result, "S.stg4_010");

    std::string found = "kept";
    EXPECT_TRUE(FindLatestNumberedFile(found, std::string("S.dat"), "stg4"));
    EXPECT_EQ(found, "S.stg4_010");
    std::filesystem::create_directory("T.stg4_999");   // any entry of that name counts
    EXPECT_TRUE(FindLatestNumberedFile(found, std::string("T.stg4"), "stg4"));
    EXPECT_EQ(found, "T.stg4_999");

    found = "kept";
    EXPECT_FALSE(FindLatestNumberedFile(found, std::string("None.stg4"), "stg4"));
    EXPECT_EQ(found, "kept");
}

TEST_F(PathTest, AbsoluteAndRelativeForms)
{
    char current[260];
    ASSERT_GT(GetCurrentDirectory(sizeof current, current), 0u);
    ASSERT_EQ(current[0], '\\');

    char path[260] = "data\\System.dat";
    EXPECT_TRUE(MakePathAbsolute(path));
    EXPECT_EQ(std::string(path), std::string(current) + "\\data\\System.dat");
    EXPECT_TRUE(MakePathAbsolute(path)) << "an absolute path is left as it is";

    EXPECT_TRUE(MakePathRelative(path));
    EXPECT_STREQ(path, ".\\data\\System.dat");
    EXPECT_TRUE(MakePathRelative(path)) << "a relative path is left as it is";
    EXPECT_STREQ(path, ".\\data\\System.dat");

    std::string parent = std::string(current).substr(0, std::string(current).rfind('\\')) + "\\x.stg4";
    EXPECT_TRUE(MakePathRelative(parent));
    EXPECT_EQ(parent, "..\\x.stg4");

    char otherDrive[260] = "D:\\game\\x.stg4";
    EXPECT_FALSE(MakePathRelative(otherDrive));
    EXPECT_STREQ(otherDrive, "D:\\game\\x.stg4");

    HostArmFault(HostFault::CurrentDirectory);
    char relative[260] = "a.txt";
    EXPECT_FALSE(MakePathAbsolute(relative));
    EXPECT_STREQ(relative, "a.txt");
}

}  // namespace
