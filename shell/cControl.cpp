#include "shell/cControl.h"

#include <algorithm>

#include "platform/win/WinKeyboard.h"
#include "platform/win/WinMessage.h"
#include "shell/cDialog.h"

namespace {

constexpr int32_t kDefaultReadLimit = 4096;
constexpr int32_t kDefaultPerLine = 1024;
constexpr int32_t kDefaultLines = 32;

bool IsLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Bytes of the character at i: a lead byte and the byte after it are one character.
size_t CharBytes(const std::string& text, size_t i)
{
    return IsLeadByte(static_cast<uint8_t>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

int32_t CountLines(const std::string& text)
{
    int32_t lines = 1;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
    return lines;
}

// The start of the character that ends at or crosses position, counting from lineStart.
size_t PreviousCharStart(const std::string& text, size_t lineStart, size_t position)
{
    size_t start = lineStart;
    for (size_t i = lineStart; i < position;) {
        start = i;
        i += CharBytes(text, i);
    }
    return start;
}

}  // namespace

// ---- cControl ------------------------------------------------------------------------------

bool cControl::Attach(cDialog* lpDialog)
{
    m_lpDialog = lpDialog;
    m_hDialog = lpDialog ? lpDialog->m_hWnd : nullptr;
    m_hWnd = GetDlgItem(m_hDialog, m_nId);
    if (!m_hWnd) return false;
    RECT rc{};
    GetWindowRect(m_hWnd, &rc);
    m_nScreenX = rc.left;
    m_nScreenY = rc.top;
    RECT dialog{};
    GetWindowRect(m_hDialog, &dialog);
    m_nClientX = rc.left - dialog.left - (lpDialog ? lpDialog->m_nFrameLeft : 0);
    m_nClientY = rc.top - dialog.top - (lpDialog ? lpDialog->m_nFrameTop : 0);
    return true;
}

void cControl::Enable(int32_t bFlag)
{
    if (m_hWnd) EnableWindow(m_hWnd, bFlag);
}

// ---- Check box, radio button, static text ---------------------------------------------------

cCheckBox::cCheckBox(uint16_t nId, int32_t* lpBound) : m_lpBound(lpBound)
{
    m_nId = nId;
    m_nKind = kControlCheckBox;
}

void cCheckBox::ToControl()
{
    if (m_hWnd && m_lpBound) SendMessage(m_hWnd, BM_SETCHECK, *m_lpBound ? BST_CHECKED : BST_UNCHECKED, 0);
}

void cCheckBox::FromControl()
{
    if (m_hWnd && m_lpBound) *m_lpBound = SendMessage(m_hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

cRadioButton::cRadioButton(uint16_t nId, int32_t* lpBound, int32_t nValue) : m_lpBound(lpBound), m_nValue(nValue)
{
    m_nId = nId;
    m_nKind = kControlRadioButton;
}

void cRadioButton::ToControl()
{
    if (m_hWnd && m_lpBound) SendMessage(m_hWnd, BM_SETCHECK, *m_lpBound == m_nValue ? BST_CHECKED : BST_UNCHECKED, 0);
}

void cRadioButton::FromControl()
{
    if (m_hWnd && m_lpBound && SendMessage(m_hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED) *m_lpBound = m_nValue;
}

cStaticText::cStaticText(uint16_t nId)
{
    m_nId = nId;
    m_nKind = kControlStaticText;
}

// ---- Edit box --------------------------------------------------------------------------------

EDITBOXSETUP MakeEditBoxSetup(uint16_t nId, std::string* lpText, int32_t b, int32_t bDoubleByte)
{
    EDITBOXSETUP setup;
    setup.nId = nId;
    setup.lpText = lpText;
    setup.nReadLimit = b + 1;
    setup.nPerLine = bDoubleByte ? b : 0;
    setup.nLines = 1;
    setup.bDoubleByte = bDoubleByte;
    return setup;
}

cEditBox::cEditBox(const EDITBOXSETUP& setup) : m_Setup(setup)
{
    m_nId = setup.nId;
    m_nKind = kControlEdit;
}

int32_t cEditBox::ReadCount() const
{
    const int32_t n = m_Setup.nReadLimit > 0 ? m_Setup.nReadLimit : kDefaultReadLimit;
    const int64_t count = m_Setup.bDoubleByte ? 2 * static_cast<int64_t>(n) - 1 : n;
    // The default limit with double-byte counting asks for 8,191 bytes: the buffer holds 5,120.
    return static_cast<int32_t>(std::clamp<int64_t>(count, 1, kReadBufferSize));
}

std::string cEditBox::ReadControlText() const
{
    char buffer[kReadBufferSize];
    buffer[0] = '\0';
    GetDlgItemText(m_hDialog, m_nId, buffer, ReadCount());
    return buffer;
}

int32_t cEditBox::Length(const std::string& text, size_t from, size_t to) const
{
    if (!m_Setup.bDoubleByte) return static_cast<int32_t>(to - from);
    int32_t count = 0;
    for (size_t i = from; i < to; i += CharBytes(text, i)) ++count;
    return count;
}

size_t cEditBox::FindCut(const std::string& text, size_t lineStart, size_t lineEnd) const
{
    const int32_t perLine = m_Setup.nPerLine;
    const size_t maxTake = static_cast<size_t>(m_Setup.bDoubleByte ? 2 * perLine : perLine);
    size_t cut = lineEnd, taken = 0;
    // Whole characters come off the end, so that a double-byte character is never cut in half.
    while (cut > lineStart && Length(text, lineStart, cut) > perLine && taken < maxTake) {
        const size_t previous = PreviousCharStart(text, lineStart, cut);
        taken += cut - previous;
        cut = previous;
    }
    return cut;
}

bool cEditBox::Attach(cDialog* lpDialog)
{
    if (!cControl::Attach(lpDialog)) return false;
    m_nKind = kControlAttachedEdit;
    if (m_Setup.nReadLimit == 0) m_Setup.nReadLimit = kDefaultReadLimit;
    if (m_Setup.nPerLine == 0) m_Setup.nPerLine = kDefaultPerLine;
    if (m_Setup.nLines == 0) m_Setup.nLines = kDefaultLines;
    const std::string bound = m_Setup.lpText ? *m_Setup.lpText : std::string();
    SetDlgItemText(m_hDialog, m_nId, bound.c_str());
    m_strPrevious = bound;
    m_bAttaching = 1;
    OnChange();
    m_bAttaching = 0;
    return true;
}

void cEditBox::ToControl()
{
    if (!m_hWnd) return;
    SetDlgItemText(m_hDialog, m_nId, m_Setup.lpText ? m_Setup.lpText->c_str() : "");
    // Setting an edit control's text is a change like any other: the limits apply to it.
    OnChange();
}

void cEditBox::FromControl()
{
    if (m_hWnd && m_Setup.lpText) *m_Setup.lpText = ReadControlText();
}

void cEditBox::OnChange()
{
    if (m_bInChange || !m_hWnd) return;
    m_bInChange = 1;
    std::string text = ReadControlText();
    DWORD readStart = 0, readEnd = 0;
    SendMessage(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&readStart), reinterpret_cast<LPARAM>(&readEnd));
    m_nSelStart = static_cast<int32_t>(readStart);
    m_nSelEnd = static_cast<int32_t>(readEnd);
    int32_t selStart = m_nSelStart, selEnd = m_nSelEnd;
    const int32_t lines = m_Setup.nLines, perLine = m_Setup.nPerLine;
    bool adjustSelection = false;

    if (lines > 0 || perLine > 0) {
        const bool backspace = (GetAsyncKeyState(VK_BACK) & 0x8000) != 0;
        if (backspace && readStart == readEnd && m_strPrevious.size() == text.size() + 2 &&
            CountLines(m_strPrevious) > CountLines(text)) {
            // Backspace removed a line break: the lines join only when the first is short enough.
            const size_t cursor = std::min<size_t>(readStart, m_strPrevious.size());
            const size_t lastBreak = cursor >= 2 ? m_strPrevious.rfind("\r\n", cursor - 2) : std::string::npos;
            const size_t pieceStart = lastBreak == std::string::npos ? 0 : lastBreak;
            if (Length(m_strPrevious, pieceStart, cursor) >= perLine) text = m_strPrevious;
        } else {
            bool shortenedWhileAttaching = false;
            if (perLine > 0) {
                for (int32_t line = 0; line < lines; ++line) {
                    size_t lineStart = 0;
                    bool exists = true;
                    for (int32_t k = 0; k < line; ++k) {
                        lineStart = text.find("\r\n", lineStart);
                        if (lineStart == std::string::npos) {
                            exists = false;
                            break;
                        }
                        lineStart += 2;
                    }
                    if (!exists) break;
                    size_t lineEnd = text.find("\r\n", lineStart);
                    if (lineEnd == std::string::npos) lineEnd = text.size();
                    if (Length(text, lineStart, lineEnd) <= perLine) continue;
                    const size_t cut = FindCut(text, lineStart, lineEnd);
                    text.insert(cut, "\r\n");
                    const size_t nextBreak = text.find("\r\n", cut + 2);
                    if (nextBreak != std::string::npos) text.erase(nextBreak, 2);
                    if (selStart >= static_cast<int32_t>(cut)) selStart += 2;
                    if (selEnd >= static_cast<int32_t>(cut)) selEnd += 2;
                }
            }
            if (lines > 0 && CountLines(text) > lines) {
                if (m_bAttaching) {
                    text = m_strPrevious;
                    text.resize(FindCut(text, 0, text.size()));
                    shortenedWhileAttaching = true;
                } else {
                    text = m_strPrevious;
                    selStart = m_nSelStart;
                    selEnd = m_nSelEnd;
                }
            }
            adjustSelection = !shortenedWhileAttaching;
        }
    }
    if (adjustSelection) {
        for (int32_t* pos : {&selStart, &selEnd}) {
            if (*pos >= 0 && *pos < static_cast<int32_t>(text.size()) && text[static_cast<size_t>(*pos)] == '\n') ++*pos;
            if (*pos > static_cast<int32_t>(text.size())) *pos = static_cast<int32_t>(text.size());
        }
    }
    SetDlgItemText(m_hDialog, m_nId, text.c_str());
    if (!m_bAttaching) SendMessage(m_hWnd, EM_SETSEL, static_cast<WPARAM>(selStart), selEnd);
    m_strPrevious = text;
    m_nSelStart = selStart;
    m_nSelEnd = selEnd;
    m_bInChange = 0;
}
