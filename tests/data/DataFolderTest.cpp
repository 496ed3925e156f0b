#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "data/DataFolder.h"
#include "platform/host/Host.h"
#include "platform/win/WinMessageBox.h"
#include "tests/data/RecordTestUtil.h"

namespace fs = std::filesystem;

namespace {

void WriteText(const fs::path& path, const std::string& text)
{
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every file under a folder, by relative path, with its content.
std::map<std::string, std::string> Tree(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        files[name] = entry.is_directory() ? std::string("<folder>") : ReadText(entry.path());
    }
    return files;
}

class DataFolderTest : public ScratchFolderTest {
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        HostClearRecordedMessageBoxes();
    }
    void TearDown() override
    {
        HostClearRecordedMessageBoxes();
        ScratchFolderTest::TearDown();
    }
    // A project with nested folders and names whose second byte in code page 932 is a backslash.
    void MakeDefaultProject()
    {
        WriteText("default/System.dat", "system");
        WriteText("default/database/Anime.dat", "anime");
        WriteText(fs::path("default") / fs::path(u8"ソ") / fs::path(u8"表.txt"), "dbcs");
        fs::create_directories("default/stg4/empty");
    }
    // Anything in the scratch folder besides default\ and what the test put there itself.
    std::vector<std::string> Leftovers(std::initializer_list<std::string> expected)
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(".")) {
            const std::string name = entry.path().filename().string();
            if (name != "default" && std::find(expected.begin(), expected.end(), name) == expected.end())
                names.push_back(name);
        }
        return names;
    }
};

}  // namespace

TEST_F(DataFolderTest, ExistingDataFolderPassesWithoutAQuestion)
{
    fs::create_directory("data");
    EXPECT_EQ(CheckDataFolder(nullptr), 1);
    EXPECT_TRUE(HostRecordedMessageBoxes().empty());
}

TEST_F(DataFolderTest, NoDataAndNoDefaultFailsWithoutAQuestion)
{
    EXPECT_EQ(CheckDataFolder(nullptr), 0);
    EXPECT_TRUE(HostRecordedMessageBoxes().empty());
    EXPECT_FALSE(fs::exists("data"));
}

TEST_F(DataFolderTest, YesCopiesEverythingOfDefault)
{
    MakeDefaultProject();
    HostQueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(CheckDataFolder(nullptr), 1);
    const std::vector<RecordedMessageBox> boxes = HostRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "データが存在しません！デフォルトデータを作成しますか？\n");
    EXPECT_EQ(boxes[0].caption, "デフォルトデータ作成の確認");
    EXPECT_EQ(boxes[0].type & MB_TYPEMASK, MB_YESNO);
    EXPECT_EQ(Tree("data"), Tree("default"));
    EXPECT_EQ(ReadText(fs::path("data") / fs::path(u8"ソ") / fs::path(u8"表.txt")), "dbcs");
    EXPECT_EQ(Leftovers({"data"}), std::vector<std::string>{});

    // The next start finds the folder and asks nothing.
    EXPECT_EQ(CheckDataFolder(nullptr), 1);
    EXPECT_EQ(HostRecordedMessageBoxes().size(), 1u);
}

TEST_F(DataFolderTest, NoLeavesEverythingAsItWas)
{
    MakeDefaultProject();
    const auto before = Tree("default");
    HostQueueMessageBoxAnswer(IDNO);
    EXPECT_EQ(CheckDataFolder(nullptr), 0);
    EXPECT_EQ(HostRecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(Leftovers({}), std::vector<std::string>{});
    EXPECT_EQ(Tree("default"), before);
}

TEST_F(DataFolderTest, FailedCopyLeavesNothingHalfCopied)
{
    MakeDefaultProject();
    // An entry that cannot be read, met after several files have been copied.
    fs::create_symlink("nowhere", "default/stg4/zz_broken");
    const auto before = Tree("default");
    HostQueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(CheckDataFolder(nullptr), 0);
    EXPECT_EQ(Leftovers({}), std::vector<std::string>{});
    EXPECT_EQ(Tree("default"), before);
}

TEST_F(DataFolderTest, FolderThatContainsItselfFailsCleanly)
{
    MakeDefaultProject();
    fs::create_directory_symlink("..", "default/database/loop");
    HostQueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(CheckDataFolder(nullptr), 0);
    EXPECT_EQ(Leftovers({}), std::vector<std::string>{});
}

TEST_F(DataFolderTest, NothingIsDeletedThatTheCheckDidNotCreate)
{
    MakeDefaultProject();
    fs::create_symlink("nowhere", "default/zz_broken");
    // Someone else's folder under the name a copy would take first.
    WriteText("data~copy0/mine.txt", "keep");
    HostQueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(CheckDataFolder(nullptr), 0);
    EXPECT_EQ(ReadText("data~copy0/mine.txt"), "keep");
    EXPECT_EQ(Leftovers({"data~copy0"}), std::vector<std::string>{});

    // A file named "data" is the player's, not a folder to replace.
    WriteText("data", "file");
    HostClearRecordedMessageBoxes();
    EXPECT_EQ(CheckDataFolder(nullptr), 0);
    EXPECT_TRUE(HostRecordedMessageBoxes().empty());
    EXPECT_EQ(ReadText("data"), "file");
}
