// The ranking-name dialog: at most three characters, OK writes the bound text, closing leaves it.
#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "platform/win/WinKeyboard.h"
#include "shell/WindowList.h"
#include "shell/cNameEntryDialog.h"

namespace {

class NameEntryDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDialogHost();
        m_Owner.SetWindowGeometry(640, 480, 100, 100, 640, 480, WS_CAPTION, 0, 0, 0, 0, 0);
        m_Owner.MoveWindowTo(0, 0);
    }
    INT_PTR Run(std::string* bound, int32_t english = 0)
    {
        cNameEntryDialog dialog(102, &m_Owner, 1, &WindowList, bound, english, 1);
        return dialog.DoModal(0);
    }
    cWindow m_Owner;
};

TEST_F(NameEntryDialog, TypingReplacesThePrefilledNameUpToThreeCharacters)
{
    struct Case {
        const char* lpTyped;
        const char* lpExpected;
    };
    for (const Case& c : {Case{"XYZW", "XYZ"}, Case{"あいうえ", "あいう"}, Case{"Aあい", "Aあい"}, Case{"漢字かなX", "漢字か"}}) {
        std::string name = "AAA";
        Queue(DialogActionKind::Type, 0, c.lpTyped);
        Queue(DialogActionKind::Click, 1000);
        EXPECT_EQ(Run(&name), 1);
        EXPECT_EQ(name, c.lpExpected) << c.lpTyped;
    }
}

TEST_F(NameEntryDialog, EnterWithThePrefilledNameReturnsIt)
{
    std::string name = "ＡＢＣ";
    EXPECT_EQ(Run(&name), 1) << "no action: Enter presses OK";
    EXPECT_EQ(name, "ＡＢＣ");
}

TEST_F(NameEntryDialog, ClosingLeavesTheTextUnchanged)
{
    std::string name = "ABC";
    Queue(DialogActionKind::Type, 0, "XY");
    Queue(DialogActionKind::Close);
    EXPECT_EQ(Run(&name), 0);
    EXPECT_EQ(name, "ABC");
}

TEST_F(NameEntryDialog, EnterConfirmingACompositionDoesNotPressOk)
{
    std::string name = "ABC";
    Queue(DialogActionKind::Compose, 0, "かな");
    Queue(DialogActionKind::Snapshot, 0, ScreenshotPath("name_dialog_composing.png"));
    Queue(DialogActionKind::Key, VK_RETURN);   // confirms the composition
    Queue(DialogActionKind::Snapshot, 0, ScreenshotPath("name_dialog.png"));
    Queue(DialogActionKind::Close);            // had Enter pressed OK, the name would be "かな"
    EXPECT_EQ(Run(&name), 0);
    EXPECT_EQ(name, "ABC");

    Queue(DialogActionKind::Compose, 0, "かな");
    Queue(DialogActionKind::Key, VK_RETURN);
    Queue(DialogActionKind::Key, VK_RETURN);   // the second Enter presses OK
    EXPECT_EQ(Run(&name), 1);
    EXPECT_EQ(name, "かな");
}

TEST_F(NameEntryDialog, EnglishChangesOnlyTheLabel)
{
    std::string name = "ABC";
    Queue(DialogActionKind::Snapshot, 0, ScreenshotPath("name_dialog_english.png"));
    Queue(DialogActionKind::Click, 1000);
    Run(&name, 1);
    const auto dialogs = HostRecordedDialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    std::map<int, std::string> texts(dialogs[0].controls.begin(), dialogs[0].controls.end());
    EXPECT_EQ(texts[1007], "     Name");
    EXPECT_EQ(texts[1000], "OK");
    EXPECT_EQ(texts[1003], "ABC");
}

TEST_F(NameEntryDialog, WithoutABoundTextNothingIsEdited)
{
    EXPECT_EQ(Run(nullptr), 1);
}

TEST(NameEntryTarget, OptionsWinOverAStageScene)
{
    std::string option = "OPT", stage = "STG";
    EXPECT_EQ(NameEntryTarget(5, &option, &stage), &option);
    EXPECT_EQ(NameEntryTarget(3, &option, &stage), &stage);
    EXPECT_EQ(NameEntryTarget(0, &option, nullptr), nullptr);
}

}  // namespace
