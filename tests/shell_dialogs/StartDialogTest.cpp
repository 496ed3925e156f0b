// The start dialog driven on the headless host: the chosen drawing mode, "user_data\Boot.dat",
// the do-not-show-again box, Stop, English texts, placement, and its picture.
#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "core/MainWindow.h"
#include "data/FieldListRecord.h"
#include "platform/win/WinMessage.h"
#include "shell/WindowList.h"
#include "shell/cStartDialog.h"

namespace {

// The start-dialog record as the shell keeps it: drawing mode, do-not-show-again flag.
class cTestBootSettings : public cFieldListRecord {
public:
    cTestBootSettings()
    {
        ResetFields();
        m_nDrawingMode = 1;   // a new record asks for Direct3D
    }
    void RegisterFields(uint32_t) override { RegisterTwoInts(&m_nDrawingMode, &m_bNoAskAgain); }
    FIELD_LIST_RECORD_CLONE(cTestBootSettings)
    int32_t m_nDrawingMode = 1;
    int32_t m_bNoAskAgain = 0;
};

std::string Le32(uint32_t v)
{
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF), static_cast<char>((v >> 16) & 0xFF),
                       static_cast<char>(v >> 24)};
}

class StartDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDialogHost();
        m_Folder.MakeFolder("user_data");
        m_Owner.SetWindowGeometry(640, 480, 100, 100, 640, 480, WS_CAPTION, 0, 0, 0, 0, 0);
        m_Owner.MoveWindowTo(0, 0);
    }
    INT_PTR Run(int32_t english = 0)
    {
        STARTDIALOGBINDING binding{&m_Boot.m_nDrawingMode, &m_Boot.m_bNoAskAgain, &m_Boot};
        cStartDialog dialog(kStartDialogResourceId, &m_Owner, 1, &WindowList, binding, "テストゲーム", english);
        return dialog.DoModal(0);
    }
    static constexpr uint16_t kStartDialogResourceId = 103;
    cScratchFolder m_Folder;
    cWindow m_Owner;
    cTestBootSettings m_Boot;
};

TEST_F(StartDialog, StartStoresTheChosenModeAndTheBoxInBootDat)
{
    Queue(DialogActionKind::Click, 1003);   // DirectDraw
    Queue(DialogActionKind::Click, 1004);   // do not show again
    Queue(DialogActionKind::Snapshot, 0, ScreenshotPath("start_dialog.png"));
    Queue(DialogActionKind::Click, 1000);
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(m_Boot.m_nDrawingMode, 0);
    EXPECT_EQ(m_Boot.m_bNoAskAgain, 1);
    EXPECT_EQ(m_Folder.ReadFile("user_data/Boot.dat"), Le32(751) + Le32(2) + Le32(0) + Le32(1) + Le32(0));
}

TEST_F(StartDialog, OpensShowingTheStoredModeAndEnterStartsWithIt)
{
    for (int32_t mode : {1, 0}) {
        m_Boot.m_nDrawingMode = mode;
        EXPECT_EQ(Run(), 1) << "no action: Enter presses the default button, start";
        EXPECT_EQ(m_Boot.m_nDrawingMode, mode) << "the radio button of the stored mode was selected";
        EXPECT_EQ(m_Folder.ReadFile("user_data/Boot.dat"), Le32(751) + Le32(2) + Le32(mode) + Le32(0) + Le32(0));
    }
}

TEST_F(StartDialog, StopEndsWithZeroAndStoresNothing)
{
    Queue(DialogActionKind::Click, 1003);
    Queue(DialogActionKind::Click, 1001);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(m_Boot.m_nDrawingMode, 1);
    EXPECT_FALSE(m_Folder.Exists("user_data/Boot.dat"));
    Queue(DialogActionKind::Close);
    EXPECT_EQ(Run(), 0) << "closing the dialog stops as well";
}

TEST_F(StartDialog, TitleAndJapaneseTexts)
{
    Queue(DialogActionKind::Click, 1001);
    Run();
    const auto dialogs = HostRecordedDialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].nResourceId, 103);
    EXPECT_EQ(dialogs[0].caption, "テストゲーム");
    std::map<int, std::string> texts(dialogs[0].controls.begin(), dialogs[0].controls.end());
    EXPECT_EQ(texts[1000], "ゲーム開始");
    EXPECT_EQ(texts[1004], "次回からこのダイアログを表示しない");
}

TEST_F(StartDialog, EnglishReplacesFiveTextsWithoutClosingTheProgram)
{
    // A close request would reach this window.
    WNDCLASSEX cls{sizeof(WNDCLASSEX), 0, [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }, nullptr, "StartDialogMain"};
    RegisterClassEx(&cls);
    HWND main = CreateWindowEx(0, "StartDialogMain", "", 0, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    hMainWnd = main;
    Queue(DialogActionKind::Snapshot, 0, ScreenshotPath("start_dialog_english.png"));
    Queue(DialogActionKind::Click, 1001);
    Run(1);
    hMainWnd = nullptr;
    const auto dialogs = HostRecordedDialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    std::map<int, std::string> texts(dialogs[0].controls.begin(), dialogs[0].controls.end());
    EXPECT_EQ(texts[1006], "Drawing mode");
    EXPECT_EQ(texts[1000], "Start");
    EXPECT_EQ(texts[1001], "Cancel");
    EXPECT_EQ(texts[1005], "Configure the detail settings at \"System.ini\".");
    EXPECT_EQ(texts[1004], "Do not ask this dialog again");
    EXPECT_EQ(texts[1002], "Direct3D");
    EXPECT_EQ(texts[1003], "DirectDraw");
    MSG msg;
    bool closeRequested = false;
    while (PeekMessage(&msg, main, 0, 0, PM_REMOVE))
        if (msg.message == WM_CLOSE) closeRequested = true;
    EXPECT_FALSE(closeRequested);
    DestroyWindow(main);
}

TEST_F(StartDialog, SitsOverTheOwnerAndStaysInsideTheWorkArea)
{
    struct Placement {
        int32_t nOwnerX, nOwnerY;
        LONG nLeft, nTop;
    };
    // The dialog is 394 x 281 pixels on the 640 x 480 screen.
    for (const Placement& p : {Placement{0, 0, 133, 104}, Placement{100, 50, 233, 154}, Placement{400, 300, 246, 199}}) {
        HostClearRecordedDialogs();
        m_Owner.MoveWindowTo(p.nOwnerX, p.nOwnerY);
        Queue(DialogActionKind::Click, 1001);
        Run();
        const auto dialogs = HostRecordedDialogs();
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs[0].rc.left, p.nLeft);
        EXPECT_EQ(dialogs[0].rc.top, p.nTop);
        EXPECT_EQ(dialogs[0].rc.right - dialogs[0].rc.left, 394);
    }
}

}  // namespace
