// The layer's dialog manager on the headless host: templates, notifications, default button,
// keyboard hook and composition, edit keys, properties, subclassing, drawing and the script.
#include <gtest/gtest.h>

#include <vector>

#include "platform/host/Host.h"
#include "platform/win/HostDialog.h"
#include "platform/win/HostInput.h"
#include "platform/win/WinDialog.h"
#include "platform/win/WinKeyboard.h"
#include "platform/win/WinMessage.h"

namespace {

constexpr int kResource = 700;

struct Seen {
    std::vector<std::pair<int, int>> commands;   // id, code
    LPARAM initParam = 0;
    bool ignoreAll = false;
    std::string editAtUpdate;
};
Seen g_Seen;

INT_PTR TestProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_Seen.ignoreAll) return 0;
    if (message == WM_INITDIALOG) {
        g_Seen.initParam = lParam;
        return 1;
    }
    if (message == WM_COMMAND) {
        g_Seen.commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
        if (LOWORD(wParam) == 30 && HIWORD(wParam) == EN_UPDATE) {
            char buffer[64];
            GetDlgItemText(hwnd, 30, buffer, sizeof buffer);
            g_Seen.editAtUpdate = buffer;
        }
        if (LOWORD(wParam) == 1 || LOWORD(wParam) == 2) EndDialog(hwnd, 100 + LOWORD(wParam));
        return 1;
    }
    return 0;
}

class DialogManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostSelect(HostKind::Headless);
        HostClearDialogActions();
        HostClearRecordedDialogs();
        HostSetInputMethodAvailable(true);
        HostReleaseAllKeys();
        g_Seen = Seen{};
        DIALOGTEMPLATE t;
        t.style = WS_VISIBLE | WS_CAPTION | DS_MODALFRAME;
        t.caption = "Test";
        t.pointSize = 9;
        t.cx = 160;
        t.cy = 100;
        t.items = {{1, DialogItemKind::DefPushButton, "OK", 10, 70, 50, 14, WS_TABSTOP},
                   {2, DialogItemKind::PushButton, "Cancel", 70, 70, 50, 14, WS_TABSTOP},
                   {10, DialogItemKind::AutoCheckBox, "Check", 10, 10, 80, 10, WS_TABSTOP},
                   {20, DialogItemKind::AutoRadioButton, "A", 10, 25, 40, 10, WS_TABSTOP | WS_GROUP},
                   {21, DialogItemKind::AutoRadioButton, "B", 60, 25, 40, 10, WS_TABSTOP},
                   {30, DialogItemKind::Edit, "", 10, 45, 80, 14, WS_TABSTOP | WS_BORDER}};
        RegisterDialogTemplate(kResource, t);
    }
    static void Act(DialogActionKind kind, int id = 0, const std::string& text = {})
    {
        HostQueueDialogAction(DIALOGACTION{kind, id, text});
    }
};

TEST_F(DialogManager, ClicksReachTheProcedureAndEndDialogReturnsTheCode)
{
    Act(DialogActionKind::Click, 10);
    Act(DialogActionKind::Click, 21);
    Act(DialogActionKind::Click, 2);
    EXPECT_EQ(DialogBoxParamA(nullptr, kResource, nullptr, TestProc, 1234), 102);
    EXPECT_EQ(g_Seen.initParam, 1234);
    const std::vector<std::pair<int, int>> expected{{10, BN_CLICKED}, {21, BN_CLICKED}, {2, BN_CLICKED}};
    EXPECT_EQ(g_Seen.commands, expected);
    EXPECT_FALSE(DialogIsOpen());
    EXPECT_EQ(DialogBoxParamA(nullptr, 999, nullptr, TestProc, 0), -1) << "no such template";
}

TEST_F(DialogManager, WithoutScriptEnterPressesTheDefaultButtonThenTheDialogIsClosed)
{
    EXPECT_EQ(DialogBoxParamA(nullptr, kResource, nullptr, TestProc, 0), 101);
    g_Seen.ignoreAll = true;   // a dialog that ends on nothing still ends
    EXPECT_EQ(DialogBoxParamA(nullptr, kResource, nullptr, TestProc, 0), 0);
}

HWND g_hDialogForCheck = nullptr;
INT_PTR CheckStateProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        g_hDialogForCheck = hwnd;
        CheckDlgButton(hwnd, 20, BST_CHECKED);
    }
    if (message == WM_COMMAND && LOWORD(wParam) == 1) {
        g_Seen.commands.emplace_back(static_cast<int>(IsDlgButtonChecked(hwnd, 20)), static_cast<int>(IsDlgButtonChecked(hwnd, 21)));
        EndDialog(hwnd, 1);
    }
    (void)lParam;
    return message == WM_INITDIALOG;
}

TEST_F(DialogManager, RadioButtonsOfAGroupExcludeEachOther)
{
    Act(DialogActionKind::Focus, 20);
    Act(DialogActionKind::Key, VK_RIGHT);   // the arrow selects the next radio of the group
    Act(DialogActionKind::Click, 1);
    DialogBoxParamA(nullptr, kResource, nullptr, CheckStateProc, 0);
    ASSERT_EQ(g_Seen.commands.size(), 1u);
    EXPECT_EQ(g_Seen.commands[0], (std::pair<int, int>{0, 1}));
}

TEST_F(DialogManager, EditBoxTypingDeletingAndCompositionWithTheHook)
{
    static std::vector<std::pair<WPARAM, bool>> hooked;
    static std::string compositionSeen;
    hooked.clear();
    compositionSeen.clear();
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD, [](int code, WPARAM key, LPARAM lParam) -> LRESULT {
        hooked.emplace_back(key, (static_cast<uint32_t>(lParam) & 0x80000000u) != 0);
        HIMC context = ImmGetContext(GetActiveWindow());
        char buffer[32] = {};
        if (context && key == VK_RETURN) ImmGetCompositionStringA(context, GCS_COMPSTR, buffer, sizeof buffer);
        if (key == VK_RETURN && !(static_cast<uint32_t>(lParam) & 0x80000000u)) compositionSeen = buffer;
        ImmReleaseContext(GetActiveWindow(), context);
        return CallNextHookEx(nullptr, code, key, lParam);
    }, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    Act(DialogActionKind::Focus, 30);
    Act(DialogActionKind::Type, 0, Utf8ToCp932("aあ"));
    Act(DialogActionKind::Key, VK_BACK);           // the whole double-byte character goes
    Act(DialogActionKind::Compose, 0, Utf8ToCp932("かな"));
    Act(DialogActionKind::Key, VK_RETURN);         // confirms the composition only
    Act(DialogActionKind::Click, 2);
    EXPECT_EQ(DialogBoxParamA(nullptr, kResource, nullptr, TestProc, 0), 102);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_Seen.editAtUpdate, Utf8ToCp932("aかな"));
    int updates = 0;
    for (auto& [id, code] : g_Seen.commands)
        if (id == 30 && code == EN_UPDATE) ++updates;
    EXPECT_EQ(updates, 4) << "a, あ, Backspace, the confirmed composition";
    for (auto& [id, code] : g_Seen.commands) EXPECT_NE(id, 1) << "Enter confirming a composition pressed OK";
    EXPECT_EQ(compositionSeen, Utf8ToCp932("かな")) << "the hook sees the open composition";
    const std::vector<std::pair<WPARAM, bool>> keys{{VK_BACK, false}, {VK_BACK, true}, {VK_RETURN, false}, {VK_RETURN, true}};
    EXPECT_EQ(hooked, keys);
}

TEST_F(DialogManager, AHookThatSwallowsEnterKeepsItFromTheDialog)
{
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD, [](int, WPARAM key, LPARAM) -> LRESULT { return key == VK_RETURN; },
                                   nullptr, GetCurrentThreadId());
    Act(DialogActionKind::Key, VK_RETURN);
    Act(DialogActionKind::Click, 2);
    EXPECT_EQ(DialogBoxParamA(nullptr, kResource, nullptr, TestProc, 0), 102);
    UnhookWindowsHookEx(hook);
    HostSetInputMethodAvailable(false);
    EXPECT_EQ(ImmGetContext(GetActiveWindow()), nullptr);
}

LRESULT g_nSubclassCalls = 0;
WNDPROC g_lpPrevious = nullptr;
LRESULT SubclassProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    ++g_nSubclassCalls;
    return CallWindowProcA(g_lpPrevious, h, m, w, l);
}

INT_PTR SubclassingProc(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        EXPECT_TRUE(SetPropA(hwnd, "OBJ", reinterpret_cast<HANDLE>(0x1234)));
        EXPECT_EQ(GetPropA(hwnd, "OBJ"), reinterpret_cast<HANDLE>(0x1234));
        EXPECT_EQ(GetPropA(hwnd, "OTHER"), nullptr);
        g_lpPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
        g_hDialogForCheck = hwnd;
        return 1;
    }
    if (message == WM_COMMAND) EndDialog(hwnd, 7);
    return 0;
}

TEST_F(DialogManager, PropertiesAndSubclassingSeeEveryMessage)
{
    g_nSubclassCalls = 0;
    Act(DialogActionKind::Click, 1);
    EXPECT_EQ(DialogBoxParamA(nullptr, kResource, nullptr, SubclassingProc, 0), 7);
    EXPECT_GT(g_nSubclassCalls, 0);
    EXPECT_EQ(GetPropA(g_hDialogForCheck, "OBJ"), nullptr) << "properties go with the window";
}

INT_PTR DrawProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && LOWORD(wParam) == 1) {
        // The check box's tick: the box is 13 x 13 at the control's left edge, centred on its height.
        RECT rc{};
        GetWindowRect(GetDlgItem(hwnd, 10), &rc);
        const std::vector<uint32_t> screen = RenderDialogScreen();
        const int x = rc.left + 5, y = (rc.top + rc.bottom) / 2 - 6 + 8;
        g_Seen.commands.emplace_back(IsDlgButtonChecked(hwnd, 10), screen[static_cast<size_t>(y) * kDialogScreenWidth + x] == 0xFF202020u);
        const int fx = rc.left + 1, fy = (rc.top + rc.bottom) / 2 - 6 + 1;
        g_Seen.commands.emplace_back(-1, screen[static_cast<size_t>(fy) * kDialogScreenWidth + fx] == 0xFFFFFFFFu);
        EndDialog(hwnd, 1);
    }
    return message == WM_INITDIALOG;
}

TEST_F(DialogManager, CheckBoxDrawsItsTickOnlyWhenChecked)
{
    Act(DialogActionKind::Click, 1);
    DialogBoxParamA(nullptr, kResource, nullptr, DrawProc, 0);
    Act(DialogActionKind::Click, 10);
    Act(DialogActionKind::Click, 1);
    DialogBoxParamA(nullptr, kResource, nullptr, DrawProc, 0);
    const std::vector<std::pair<int, int>> expected{{0, 0}, {-1, 1}, {1, 1}, {-1, 1}};
    EXPECT_EQ(g_Seen.commands, expected);
}

TEST_F(DialogManager, DialogScriptReadsEveryActionOrNothing)
{
    std::string error;
    EXPECT_TRUE(HostLoadDialogScript("# name dialog\ntext 1003 あいう\nkey 0x0D\nclick 1000\nchoose data\\stg4\\a.stg4_000\ncancel\n", &error)) << error;
    EXPECT_EQ(HostPendingDialogActions(), 5u);
    HostClearDialogActions();
    EXPECT_FALSE(HostLoadDialogScript("click 1000\njump 3\n", &error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
    EXPECT_EQ(HostPendingDialogActions(), 0u);
}

TEST_F(DialogManager, WorkAreaAndMetricsDescribeTheProgramScreen)
{
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work.right, 640);
    EXPECT_EQ(work.bottom, 480);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    POINT p{};
    SetCursorPos(700, -5);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 639);
    EXPECT_EQ(p.y, 0);
}

}  // namespace
