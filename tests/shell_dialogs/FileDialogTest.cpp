// The program's file dialogs over the layer's choosers: "data\stg4\" listed through the stage
// filter, the chosen path returned, overwriting asked, the current directory never changed.
#include <gtest/gtest.h>
#include <unistd.h>

#include "DialogTestSupport.h"
#include "platform/host/Host.h"
#include "platform/win/WinFileDialog.h"
#include "platform/win/WinMessageBox.h"
#include "shell/FileDialogs.h"

namespace {

const char kStageFilter[] = "StageFile ( *.stg4_*;*.rpl4_* )\0*.stg4_*;*.rpl4_*\0\0";

class FileDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDialogHost();
        m_Folder.MakeFolder("data/stg4/old_ver");
        m_Folder.MakeFolder("user_data/rpl4");
        m_Folder.WriteFile("data/stg4/b.stg4_001", "x");
        m_Folder.WriteFile("data/stg4/A.STG4_000", "x");
        m_Folder.WriteFile("data/stg4/run.rpl4_002", "x");
        m_Folder.WriteFile("data/stg4/notes.txt", "x");
        m_Folder.WriteFile("user_data/rpl4/old.rpl4_000", "old");
    }
    std::string Cwd() const
    {
        char buffer[4096];
        return getcwd(buffer, sizeof buffer) ? buffer : "";
    }
    cScratchFolder m_Folder;
};

TEST_F(FileDialogs, OpenListsTheStageFolderThroughTheFilterAndReturnsThePath)
{
    const std::string before = Cwd();
    char result[260] = "stale";
    std::vector<std::string> files;
    Queue(DialogActionKind::Snapshot, 0, ScreenshotPath("open_stage_dialog.png"));
    Queue(DialogActionKind::ChooseFile, 0, "b.stg4_001");
    ASSERT_TRUE(OpenFileDialog(nullptr, result, sizeof result, "data\\stg4\\", "ステージファイルの読み込み", kStageFilter,
                               "stg4_*;rpl4_*", 0, &files));
    const FILECHOOSERLISTING listing = HostLastFileChooserListing();
    EXPECT_EQ(listing.folder, "data\\stg4");
    EXPECT_EQ(listing.entries, (std::vector<std::string>{"[..]", "[old_ver]", "A.STG4_000", "b.stg4_001", "run.rpl4_002"}));
    EXPECT_STREQ(result, "data\\stg4\\b.stg4_001");
    EXPECT_EQ(files, std::vector<std::string>{"data\\stg4\\b.stg4_001"});
    EXPECT_EQ(Cwd(), before);
    EXPECT_EQ(HostRecordedDialogs().at(0).caption, "ステージファイルの読み込み");
}

TEST_F(FileDialogs, OpenRefusesAMissingFileAndCancelClearsTheResult)
{
    char result[260] = "stale";
    Queue(DialogActionKind::ChooseFile, 0, "missing.stg4_000");
    Queue(DialogActionKind::Cancel);
    EXPECT_FALSE(OpenFileDialog(nullptr, result, sizeof result, "data\\stg4\\", "t", kStageFilter, "stg4_*", 0, nullptr));
    EXPECT_STREQ(result, "");
    ASSERT_EQ(HostRecordedMessageBoxes().size(), 1u) << "the missing file is reported in a box";
}

TEST_F(FileDialogs, OpenCannotLeaveTheProgramFolder)
{
    char result[260];
    Queue(DialogActionKind::ChooseFile, 0, "..\\..\\etc\\passwd");
    Queue(DialogActionKind::Cancel);
    EXPECT_FALSE(OpenFileDialog(nullptr, result, sizeof result, "data\\stg4\\", "t", kStageFilter, "stg4_*", 0, nullptr));
}

TEST_F(FileDialogs, SaveAsksBeforeOverwriting)
{
    const char filter[] = "ReplayFile ( *.rpl4_* )\0*.rpl4_*\0\0";
    char result[260];
    HostQueueMessageBoxAnswer(IDNO);
    Queue(DialogActionKind::ChooseFile, 0, "old.rpl4_000");   // exists: asked, answered No
    Queue(DialogActionKind::Snapshot, 0, ScreenshotPath("save_replay_dialog.png"));
    Queue(DialogActionKind::ChooseFile, 0, "new.rpl4_000");
    ASSERT_TRUE(SaveFileDialog(nullptr, result, "user_data\\rpl4", "リプレイファイルの保存", filter, "rpl4_000"));
    EXPECT_STREQ(result, "user_data\\rpl4\\new.rpl4_000");
    ASSERT_EQ(HostRecordedMessageBoxes().size(), 1u);
    EXPECT_NE(HostRecordedMessageBoxes()[0].text.find("上書き"), std::string::npos);

    HostClearRecordedMessageBoxes();
    HostQueueMessageBoxAnswer(IDYES);
    Queue(DialogActionKind::ChooseFile, 0, "old");   // the default extension is added
    ASSERT_TRUE(SaveFileDialog(nullptr, result, "user_data\\rpl4", "t", filter, "rpl4_000"));
    EXPECT_STREQ(result, "user_data\\rpl4\\old.rpl4_000");
    EXPECT_EQ(HostRecordedMessageBoxes().size(), 1u);
}

TEST_F(FileDialogs, FoldersOpenFromTheList)
{
    char result[260];
    Queue(DialogActionKind::ChooseFile, 0, "old_ver");   // a folder name opens the folder
    Queue(DialogActionKind::Cancel);
    EXPECT_FALSE(OpenFileDialog(nullptr, result, sizeof result, "data\\stg4\\", "t", kStageFilter, "stg4_*", 0, nullptr));
    EXPECT_EQ(HostLastFileChooserListing().folder, "data\\stg4\\old_ver");
    EXPECT_EQ(HostLastFileChooserListing().entries, std::vector<std::string>{"[..]"});
}

TEST_F(FileDialogs, TypedNamesAreNotSplitAtATrailByteThatIsABackslash)
{
    // 表 (95 5C), ソ (83 5C) and 能 (94 5C) end in the byte of "\\". On disk the names are UTF-8.
    m_Folder.MakeFolder(Cp932ToUtf8("data/stg4/ソフト"));
    m_Folder.WriteFile(Cp932ToUtf8("data/stg4/表.stg4_000"), "x");
    m_Folder.WriteFile(Cp932ToUtf8("data/stg4/ソフト/能.stg4_001"), "x");
    struct Case {
        const char* lpTyped;
        const char* lpResult;
        size_t nFileOffset;   // where the file name starts in the result
    };
    const Case cases[] = {
        {"表.stg4_000", "data\\stg4\\表.stg4_000", 10},                       // in the folder shown
        {"data\\stg4\\ソフト\\能.stg4_001", "data\\stg4\\ソフト\\能.stg4_001", 17},   // a path
        {"data/stg4/表.stg4_000", "data\\stg4\\表.stg4_000", 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Cp932ToUtf8(c.lpTyped));
        HostClearRecordedMessageBoxes();
        char result[260] = {};
        Queue(DialogActionKind::ChooseFile, 0, c.lpTyped);
        Queue(DialogActionKind::Cancel);   // taken only if the name was refused
        ASSERT_TRUE(OpenFileDialog(nullptr, result, sizeof result, "data\\stg4\\", "t", kStageFilter, "stg4_*", 0,
                                   nullptr));
        EXPECT_STREQ(result, c.lpResult);
        EXPECT_TRUE(HostRecordedMessageBoxes().empty());
        ResetDialogHost();

        // The layer's own answer says where the name starts.
        char file[260] = {};
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFilter = kStageFilter;
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrInitialDir = "data\\stg4";
        ofn.Flags = OFN_FILEMUSTEXIST;
        Queue(DialogActionKind::ChooseFile, 0, c.lpTyped);
        ASSERT_TRUE(GetOpenFileNameA(&ofn));
        EXPECT_EQ(ofn.nFileOffset, c.nFileOffset);
        ResetDialogHost();
    }
}

}  // namespace
