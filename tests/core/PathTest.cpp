#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

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

TEST_F(PathTest, FindLatestNumberedFileGivesTheNameByNameAnswerOnATableOfFolders)
{
    // Each case is a fresh folder: the entries on disk (UTF-8; a trailing "/" makes a folder,
    // "@" a link to nowhere), the name asked for, and the answer ("" for none). The answer is also
    // checked against a test of each of the thousand names, the search's definition.
    struct Case {
        const char* name;
        std::vector<const char*> entries;
        const char* base;
        const char* answer;
    };
    const Case cases[] = {
        {"highest of two", {"S.stg4_000", "S.stg4_010"}, "S.stg4", "S.stg4_010"},
        {"another extension asked", {"S.stg4_000", "S.stg4_010"}, "S.dat", "S.stg4_010"},
        {"case on disk differs", {"s.STG4_005", "S.stg4_004"}, "S.stg4", "S.stg4_005"},
        {"a folder counts", {"T.stg4_999/", "T.stg4_100"}, "T.stg4", "T.stg4_999"},
        {"names that only look numbered", {"S.stg4_0100", "S.stg4_01", "S.stg4_x12", "xS.stg4_050", "S.stg4_007"},
         "S.stg4", "S.stg4_007"},
        {"link to nowhere", {"S.stg4_900@", "S.stg4_001"}, "S.stg4", "S.stg4_001"},
        {"none", {"Other.stg4_001"}, "None.stg4", ""},
        {"in a subfolder", {"data/", "data/stg4/", "data/stg4/F.stg4_003", "F.stg4_009"}, "data\\stg4\\F.stg4",
         "data\\stg4\\F.stg4_003"},
        {"subfolder of another case", {"Data/", "Data/Stg4/", "Data/Stg4/F.stg4_002"}, "data\\stg4\\F.stg4",
         "data\\stg4\\F.stg4_002"},
        {"slash as separator", {"data/", "data/F.stg4_004"}, "data/F.stg4", "data/F.stg4_004"},
        {"missing folder", {"F.stg4_001"}, "nowhere\\F.stg4", ""},
        // ソ (83 5C) and 表 (95 5C): a trail byte that is a backslash does not split the name.
        {"double-byte names", {"\xE3\x82\xBD/", "\xE3\x82\xBD/\xE8\xA1\xA8.stg4_002", "\xE8\xA1\xA8.stg4_009"},
         "ソ\\表.stg4", "ソ\\表.stg4_002"},
        {"double-byte name in this folder", {"\xE8\xA1\xA8.stg4_011", "\xE3\x82\xBD/"}, "表.stg4", "表.stg4_011"},
    };
    int nCase = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = "case" + std::to_string(nCase++);
        std::filesystem::create_directory(folder);
        std::filesystem::current_path(folder);
        for (const char* lpEntry : c.entries) {
            std::string entry = lpEntry;
            if (entry.back() == '/') {
                std::filesystem::create_directories(entry);
            } else if (entry.back() == '@') {
                std::filesystem::create_symlink("nowhere", entry.substr(0, entry.size() - 1));
            } else {
                WriteBytes(entry.c_str(), "x");
            }
        }
        std::string byName;
        std::string name = c.base;
        char replaced[260];
        if (ReplaceExtension(replaced, c.base, "stg4")) name = replaced;
        for (int number = 999; number >= 0 && byName.empty(); --number) {
            char candidate[300];
            std::snprintf(candidate, sizeof candidate, "%s_%03d", name.c_str(), number);
            if (GetFileAttributes(candidate) != INVALID_FILE_ATTRIBUTES) byName = candidate;
        }
        EXPECT_EQ(byName, c.answer) << "the table itself";

        std::string found = "kept";
        EXPECT_EQ(FindLatestNumberedFile(found, std::string(c.base), "stg4"), *c.answer != 0);
        EXPECT_EQ(found, *c.answer != 0 ? c.answer : "kept");
        char buffer[260];
        std::strcpy(buffer, c.base);
        EXPECT_EQ(FindLatestNumberedFile(buffer, buffer, "stg4"), *c.answer != 0);
        EXPECT_STREQ(buffer, *c.answer != 0 ? c.answer : c.base);
        std::filesystem::current_path("..");
    }
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
