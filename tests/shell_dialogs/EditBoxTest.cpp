// The edit box's change handling: limits, reflow, the Backspace join and the read limit, with
// ASCII and double-byte (code page 932) text, typed through the dialog manager.
#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "platform/win/WinKeyboard.h"
#include "platform/win/WinMessage.h"
#include "shell/cDialog.h"
#include "shell/WindowList.h"

namespace {

constexpr int kEditTestResource = 900;

void RegisterEditTemplate()
{
    DIALOGTEMPLATE t;
    t.style = WS_VISIBLE | DS_MODALFRAME;
    t.font = "ＭＳ Ｐゴシック";
    t.pointSize = 9;
    t.cx = 120;
    t.cy = 60;
    t.items = {{1003, DialogItemKind::Edit, "", 10, 10, 100, 14, WS_BORDER | WS_TABSTOP},
               {1000, DialogItemKind::DefPushButton, "OK", 35, 35, 50, 15, WS_TABSTOP}};
    RegisterDialogTemplate(kEditTestResource, t);
}

// A dialog with one edit box; OK records what the control shows before the box writes it back.
class cEditTestDialog : public cDialog {
public:
    cEditTestDialog(const EDITBOXSETUP& setup, int32_t selStart, int32_t selEnd)
        : cDialog(kEditTestResource, nullptr, 1, &WindowList), m_Box(setup), m_nSelStart(selStart), m_nSelEnd(selEnd)
    {
        s_lpTarget = this;
        m_lpDlgProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> INT_PTR { return s_lpTarget->WindowProc(h, m, w, l); };
        SetWindowGeometry(0, 0, 100, 100, 640, 480, 0, 0, 0, 0, 0, 0);
    }
    LRESULT WindowProc(HWND h, UINT m, WPARAM w, LPARAM l) override { return SharedDialogProc(h, m, w, l); }
    void OnInitDialog() override
    {
        cDialog::OnInitDialog();
        if (m_Box.Attach(this)) AddControl(&m_Box);
        DataToControls();
        SetFocus(m_Box.m_hWnd);
        SendMessage(m_Box.m_hWnd, EM_SETSEL, static_cast<WPARAM>(m_nSelStart), m_nSelEnd);
    }
    void OnCommand(WPARAM w, LPARAM l) override
    {
        cDialog::OnCommand(w, l);
        if (LOWORD(w) != 1000) return;
        char buffer[8192];
        GetWindowText(m_Box.m_hWnd, buffer, sizeof buffer);
        m_strShown = buffer;
        DWORD s = 0, e = 0;
        SendMessage(m_Box.m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        m_nShownStart = static_cast<int32_t>(s);
        m_nShownEnd = static_cast<int32_t>(e);
        DataFromControls();
        EndDlg(1);
    }

    cEditBox m_Box;
    int32_t m_nSelStart, m_nSelEnd;
    std::string m_strShown;
    int32_t m_nShownStart = -1, m_nShownEnd = -1;
    static cEditTestDialog* s_lpTarget;
};
cEditTestDialog* cEditTestDialog::s_lpTarget = nullptr;

struct EditCase {
    const char* lpName;
    int32_t nReadLimit, nPerLine, nLines, bDoubleByte;
    std::string strBound;
    int32_t nSelStart, nSelEnd;
    std::vector<DIALOGACTION> vSteps;
    std::string strExpected;
    int32_t nExpectedSel;
};

DIALOGACTION TypeText(const std::string& s) { return {DialogActionKind::Type, 0, s}; }
DIALOGACTION Press(int vk) { return {DialogActionKind::Key, vk, {}}; }

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.lpName; }

// A case's description as a test name: its words run together, each capitalised.
std::string CaseName(const char* description)
{
    std::string name;
    bool wordStart = true;
    for (const char* p = description; *p; ++p) {
        const char c = *p;
        const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum) {
            wordStart = true;
            continue;
        }
        name += wordStart && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        wordStart = false;
    }
    return name;
}

class EditBoxChange : public ::testing::TestWithParam<EditCase> {
protected:
    void SetUp() override
    {
        ResetDialogHost();
        RegisterEditTemplate();
    }
};

TEST_P(EditBoxChange, KeepsTheTextWithinItsLimits)
{
    const EditCase& c = GetParam();
    std::string bound = c.strBound;
    EDITBOXSETUP setup;
    setup.nId = 1003;
    setup.lpText = &bound;
    setup.nReadLimit = c.nReadLimit;
    setup.nPerLine = c.nPerLine;
    setup.nLines = c.nLines;
    setup.bDoubleByte = c.bDoubleByte;
    for (const auto& step : c.vSteps) HostQueueDialogAction(step);
    Queue(DialogActionKind::Click, 1000);
    cEditTestDialog dialog(setup, c.nSelStart, c.nSelEnd);
    ASSERT_EQ(dialog.DoModal(0), 1);
    EXPECT_EQ(dialog.m_strShown, c.strExpected) << c.lpName;
    EXPECT_EQ(dialog.m_nShownStart, c.nExpectedSel) << c.lpName;
    EXPECT_EQ(dialog.m_nShownEnd, c.nExpectedSel) << c.lpName;
    EXPECT_EQ(bound, c.strExpected) << "OK writes the shown text back";
}

// The name box: at most 3 characters on one line, double-byte counting, read limit 4.
constexpr int32_t kName[] = {4, 3, 1, 1};

INSTANTIATE_TEST_SUITE_P(
    Cases, EditBoxChange,
    ::testing::Values(
        EditCase{"fourth ASCII character refused", kName[0], kName[1], kName[2], kName[3], "", 0, 0,
                 {TypeText("abcd")}, "abc", 3},
        EditCase{"three double-byte characters fit, the fourth is refused", kName[0], kName[1], kName[2], kName[3], "",
                 0, 0, {TypeText("あいうえ")}, "あいう", 6},
        EditCase{"mixed text counts characters, not bytes", kName[0], kName[1], kName[2], kName[3], "", 0, 0,
                 {TypeText("Aあ"), TypeText("Bい")}, "AあB", 4},
        EditCase{"a fourth character after a double-byte one", kName[0], kName[1], kName[2], kName[3], "", 0, 0,
                 {TypeText("aあい"), TypeText("b")}, "aあい", 5},
        EditCase{"typing over a whole selection replaces it", kName[0], kName[1], kName[2], kName[3], "abc", 0, 3,
                 {TypeText("x")}, "x", 1},
        EditCase{"a bound text too long is cut to the limit", kName[0], kName[1], kName[2], kName[3], "ABCDE", 0, 0,
                 {}, "ABC", 0},
        EditCase{"Backspace takes a whole double-byte character", kName[0], kName[1], kName[2], kName[3], "あいう", 6,
                 6, {Press(VK_BACK)}, "あい", 4},
        EditCase{"two lines: a fourth character wraps", 0, 3, 2, 1, "", 0, 0, {TypeText("abcd")}, "abc\r\nd", 6},
        EditCase{"byte counting never cuts a double-byte character", 0, 3, 2, 0, "", 0, 0,
                 {TypeText("ab"), TypeText("あ")}, "ab\r\nあ", 6},
        EditCase{"Backspace join refused when the first line is full", 0, 3, 2, 1, "abc\r\nd", 5, 5,
                 {Press(VK_BACK)}, "abc\r\nd", 3},
        EditCase{"Backspace join accepted when the lines fit", 0, 3, 2, 1, "ab\r\nc", 4, 4, {Press(VK_BACK)},
                 "abc", 2},
        EditCase{"Delete join (Backspace up) breaks the line again", 0, 3, 2, 1, "abc\r\nd", 3, 3,
                 {Press(VK_DELETE)}, "abc\r\nd", 5},
        EditCase{"a third line is refused", 0, 3, 2, 1, "abc\r\ndef", 9, 9, {TypeText("g")}, "abc\r\ndef", 8}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return CaseName(info.param.lpName); });

TEST(EditBoxReadLimit, CountStaysWithinTheReadBuffer)
{
    std::string text;
    EDITBOXSETUP setup;
    setup.lpText = &text;
    setup.bDoubleByte = 1;
    EXPECT_EQ(cEditBox(setup).ReadCount(), cEditBox::kReadBufferSize) << "default 4096 would ask for 8191 bytes";
    setup.bDoubleByte = 0;
    EXPECT_EQ(cEditBox(setup).ReadCount(), 4096);
    EXPECT_EQ(cEditBox(MakeEditBoxSetup(1003, &text, 3, 1)).ReadCount(), 7);
    EXPECT_EQ(cEditBox(MakeEditBoxSetup(1003, &text, 3, 0)).ReadCount(), 4);
}

TEST(EditBoxReadLimit, LongControlTextReadsThroughTheBufferSafely)
{
    ResetDialogHost();
    RegisterEditTemplate();
    std::string bound(6000, 'a');
    EDITBOXSETUP setup;
    setup.nId = 1003;
    setup.lpText = &bound;
    setup.bDoubleByte = 1;   // default read limit: 4096 characters
    setup.nPerLine = 8000;
    setup.nLines = 1;
    Queue(DialogActionKind::Click, 1000);
    cEditTestDialog dialog(setup, 0, 0);
    ASSERT_EQ(dialog.DoModal(0), 1);
    const std::string expected(cEditBox::kReadBufferSize - 1, 'a');
    EXPECT_EQ(bound, expected);
}

}  // namespace
