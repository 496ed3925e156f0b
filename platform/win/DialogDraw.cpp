// Drawing of the dialogs and their controls over the game's picture: flat light faces, a
// caption bar, sunken edit boxes and list boxes, check marks and radio dots, in the dialog font
// (one bit per pixel, as every text of the program).
#include <algorithm>

#include "platform/win/DialogInternal.h"
#include "platform/win/WinMessage.h"

namespace dlg {
namespace {

constexpr int32_t W = kDialogScreenWidth;
constexpr int32_t H = kDialogScreenHeight;
constexpr int32_t kTextHeight = 12;   // the 9-point dialog font
constexpr int32_t kLineStep = 13;
constexpr int32_t kListRow = 16;

constexpr uint32_t kFace = 0xFFF0F0F0;
constexpr uint32_t kFrameDark = 0xFF646464;
constexpr uint32_t kCaption = 0xFF1E5AA0;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kGreyText = 0xFF6D6D6D;
constexpr uint32_t kButtonFace = 0xFFE1E1E1;
constexpr uint32_t kButtonEdge = 0xFFADADAD;
constexpr uint32_t kAccent = 0xFF0078D7;
constexpr uint32_t kFieldEdge = 0xFF7A7A7A;
constexpr uint32_t kGroupLine = 0xFFC8C8C8;
constexpr uint32_t kMark = 0xFF202020;

struct Canvas {
    std::vector<uint32_t>& px;
    RECT clip;
    void Put(int32_t x, int32_t y, uint32_t c)
    {
        if (x < clip.left || y < clip.top || x >= clip.right || y >= clip.bottom) return;
        px[static_cast<size_t>(y) * W + static_cast<size_t>(x)] = c;
    }
    void Fill(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t c)
    {
        for (int32_t y = std::max(t, clip.top); y < std::min(b, clip.bottom); ++y)
            for (int32_t x = std::max(l, clip.left); x < std::min(r, clip.right); ++x)
                px[static_cast<size_t>(y) * W + static_cast<size_t>(x)] = c;
    }
    void Frame(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t c, int32_t thick = 1)
    {
        Fill(l, t, r, t + thick, c);
        Fill(l, b - thick, r, b, c);
        Fill(l, t, l + thick, b, c);
        Fill(r - thick, t, r, b, c);
    }
    void Dotted(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t c)
    {
        for (int32_t x = l; x < r; x += 2) {
            Put(x, t, c);
            Put(x, b - 1, c);
        }
        for (int32_t y = t; y < b; y += 2) {
            Put(l, y, c);
            Put(r - 1, y, c);
        }
    }
    // One line of text with its top-left corner at (x, y); returns its width.
    int32_t Text(int32_t x, int32_t y, const std::string& cp932, uint32_t c)
    {
        if (cp932.empty()) return 0;
        const DIALOGHOSTHOOKS& hooks = HostHooks();
        DIALOGTEXTMASK mask;
        if (!hooks.renderText ||
            !hooks.renderText(cp932.data(), static_cast<int32_t>(cp932.size()), kTextHeight, &mask))
            return static_cast<int32_t>(cp932.size()) * kTextHeight / 2;
        if (mask.vInk.size() < static_cast<size_t>(mask.nWidth) * static_cast<size_t>(std::max(mask.nHeight, 0)))
            return 0;
        for (int32_t my = 0; my < mask.nHeight; ++my)
            for (int32_t mx = 0; mx < mask.nWidth; ++mx)
                if (mask.vInk[static_cast<size_t>(my) * mask.nWidth + mx]) Put(x + mx, y + my, c);
        return mask.nWidth;
    }
};

std::string TextOf(HWND hwnd)
{
    char buffer[4096];
    GetWindowText(hwnd, buffer, sizeof buffer);
    return buffer;
}

// Breaks a text into lines no wider than width, between characters, preferring a blank.
std::vector<std::string> Wrap(const std::string& text, int32_t width)
{
    std::vector<std::string> lines;
    std::string line;
    size_t lastBlank = std::string::npos;
    for (size_t i = 0; i < text.size();) {
        const int n = CharLength(text, i);
        std::string candidate = line + text.substr(i, static_cast<size_t>(n));
        // Closing punctuation never starts a line: it hangs at the end of the line before.
        const bool closing = n == 2 && static_cast<uint8_t>(text[i]) == 0x81 &&
                             (text[i + 1] == 0x41 || text[i + 1] == 0x42 || text[i + 1] == 0x76 || text[i + 1] == 0x6A);
        if (!line.empty() && !closing && TextWidth(candidate) > width) {
            if (lastBlank != std::string::npos && lastBlank > 0) {
                lines.push_back(line.substr(0, lastBlank));
                line = line.substr(lastBlank + 1);
            } else {
                lines.push_back(line);
                line.clear();
            }
            lastBlank = std::string::npos;
            continue;
        }
        if (text[i] == ' ') lastBlank = line.size();
        line = std::move(candidate);
        i += static_cast<size_t>(n);
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void DrawCheckMark(Canvas& cv, int32_t x, int32_t y)
{
    // A tick in a 13 x 13 box whose top-left corner is (x, y).
    const int32_t pts[][2] = {{3, 6}, {4, 7}, {5, 8}, {6, 7}, {7, 6}, {8, 5}, {9, 4}};
    for (const auto& p : pts) {
        cv.Put(x + p[0], y + p[1], kMark);
        cv.Put(x + p[0], y + p[1] + 1, kMark);
    }
}

void DrawCircle(Canvas& cv, int32_t cx, int32_t cy, int32_t r, uint32_t edge, uint32_t fill)
{
    for (int32_t dy = -r; dy <= r; ++dy)
        for (int32_t dx = -r; dx <= r; ++dx) {
            const int32_t d2 = dx * dx + dy * dy;
            if (d2 <= r * r) cv.Put(cx + dx, cy + dy, d2 > (r - 1) * (r - 1) ? edge : fill);
        }
}

void DrawEdit(Canvas& cv, const Control& c, const RECT& r, bool focused)
{
    cv.Fill(r.left, r.top, r.right, r.bottom, kWhite);
    cv.Frame(r.left, r.top, r.right, r.bottom, focused ? kAccent : kFieldEdge);
    const std::string text = TextOf(c.hwnd);
    const int n = static_cast<int>(text.size());
    const int caret = std::clamp(c.selEnd, 0, n);
    const int lo = std::clamp(std::min(c.selStart, c.selEnd), 0, n);
    const int hi = std::clamp(std::max(c.selStart, c.selEnd), 0, n);
    const int32_t inner = r.right - r.left - 6;
    const int32_t compWidth = TextWidth(c.composition);
    // The first character shown keeps the caret (and an open composition) inside the box.
    int first = 0;
    while (first < caret && TextWidth(text.substr(static_cast<size_t>(first), static_cast<size_t>(caret - first))) + compWidth > inner)
        first += CharLength(text, static_cast<size_t>(first));
    Canvas inside{cv.px, RECT{std::max(r.left + 2, cv.clip.left), std::max(r.top + 1, cv.clip.top),
                              std::min(r.right - 2, cv.clip.right), std::min(r.bottom - 1, cv.clip.bottom)}};
    const int32_t ty = (r.top + r.bottom - kTextHeight) / 2;
    int32_t x = r.left + 3;
    for (int i = first; i < n;) {
        if (i == caret && !c.composition.empty()) {
            const int32_t w = inside.Text(x, ty, c.composition, kBlack);
            inside.Fill(x, ty + kTextHeight, x + w, ty + kTextHeight + 1, kBlack);   // composition underline
            x += w;
        }
        const int len = CharLength(text, static_cast<size_t>(i));
        const std::string ch = text.substr(static_cast<size_t>(i), static_cast<size_t>(len));
        const bool selected = focused && i >= lo && i < hi;
        const int32_t w = TextWidth(ch);
        if (selected) inside.Fill(x, ty - 1, x + w, ty + kTextHeight + 1, kAccent);
        inside.Text(x, ty, ch, selected ? kWhite : kBlack);
        x += w;
        i += len;
    }
    int32_t caretX = r.left + 3 + TextWidth(text.substr(static_cast<size_t>(first), static_cast<size_t>(caret - first)));
    if (caret == n && !c.composition.empty()) {
        const int32_t w = inside.Text(caretX, ty, c.composition, kBlack);
        inside.Fill(caretX, ty + kTextHeight, caretX + w, ty + kTextHeight + 1, kBlack);
    }
    if (focused) {
        caretX += compWidth;
        inside.Fill(caretX, ty - 1, caretX + 1, ty + kTextHeight + 1, kBlack);
    }
}

void DrawList(Canvas& cv, const Control& c, const RECT& r, bool focused)
{
    cv.Fill(r.left, r.top, r.right, r.bottom, kWhite);
    cv.Frame(r.left, r.top, r.right, r.bottom, focused ? kAccent : kFieldEdge);
    const int rows = std::max(1, static_cast<int>((r.bottom - r.top - 4) / kListRow));
    int top = std::clamp(c.top, 0, std::max(0, static_cast<int>(c.items.size()) - rows));
    if (c.current >= 0 && c.current < top) top = c.current;
    if (c.current >= top + rows) top = c.current - rows + 1;
    Canvas inside{cv.px, RECT{std::max(r.left + 1, cv.clip.left), std::max(r.top + 1, cv.clip.top),
                              std::min(r.right - 1, cv.clip.right), std::min(r.bottom - 1, cv.clip.bottom)}};
    for (int i = 0; i < rows && top + i < static_cast<int>(c.items.size()); ++i) {
        const int32_t y = r.top + 2 + i * kListRow;
        const bool selected = top + i == c.current;
        if (selected) inside.Fill(r.left + 2, y, r.right - 2, y + kListRow, focused ? kAccent : 0xFFCCE8FF);
        inside.Text(r.left + 5, y + (kListRow - kTextHeight) / 2, c.items[static_cast<size_t>(top + i)],
                    selected && focused ? kWhite : kBlack);
    }
}

void DrawControl(Canvas& cv, const Control& c, int32_t ox, int32_t oy, bool focused, bool isDefault)
{
    const RECT r{c.rc.left + ox, c.rc.top + oy, c.rc.right + ox, c.rc.bottom + oy};
    const std::string text = TextOf(c.hwnd);
    const uint32_t ink = c.enabled ? kBlack : kGreyText;
    const int32_t midY = (r.top + r.bottom) / 2;
    switch (c.kind) {
    case DialogItemKind::PushButton:
    case DialogItemKind::DefPushButton: {
        cv.Fill(r.left, r.top, r.right, r.bottom, kButtonFace);
        const bool accent = focused || isDefault;
        cv.Frame(r.left, r.top, r.right, r.bottom, accent ? kAccent : kButtonEdge, accent ? 2 : 1);
        const int32_t w = TextWidth(text);
        cv.Text((r.left + r.right - w) / 2, midY - kTextHeight / 2, text, ink);
        if (focused) cv.Dotted(r.left + 3, r.top + 3, r.right - 3, r.bottom - 3, kMark);
        return;
    }
    case DialogItemKind::AutoCheckBox: {
        const int32_t bx = r.left, by = midY - 6;
        cv.Fill(bx, by, bx + 13, by + 13, kWhite);
        cv.Frame(bx, by, bx + 13, by + 13, kMark);
        if (c.checked) DrawCheckMark(cv, bx, by);
        const int32_t w = cv.Text(bx + 17, midY - kTextHeight / 2, text, ink);
        if (focused) cv.Dotted(bx + 15, midY - kTextHeight / 2 - 1, bx + 19 + w, midY + kTextHeight / 2 + 1, kMark);
        return;
    }
    case DialogItemKind::AutoRadioButton: {
        DrawCircle(cv, r.left + 6, midY, 6, kMark, kWhite);
        if (c.checked) DrawCircle(cv, r.left + 6, midY, 3, kMark, kMark);
        const int32_t w = cv.Text(r.left + 17, midY - kTextHeight / 2, text, ink);
        if (focused) cv.Dotted(r.left + 15, midY - kTextHeight / 2 - 1, r.left + 19 + w, midY + kTextHeight / 2 + 1, kMark);
        return;
    }
    case DialogItemKind::GroupBox: {
        const int32_t lineY = r.top + kTextHeight / 2;
        cv.Frame(r.left, lineY, r.right, r.bottom, kGroupLine);
        const int32_t w = TextWidth(text);
        cv.Fill(r.left + 6, r.top, r.left + 10 + w, r.top + kTextHeight, kFace);
        cv.Text(r.left + 8, r.top, text, ink);
        return;
    }
    case DialogItemKind::Static: {
        const std::vector<std::string> lines = Wrap(text, r.right - r.left);
        for (size_t i = 0; i < lines.size(); ++i) cv.Text(r.left, r.top + static_cast<int32_t>(i) * kLineStep, lines[i], ink);
        return;
    }
    case DialogItemKind::StaticPicture:
        return;   // a picture frame without an image stays empty
    case DialogItemKind::Edit:
        DrawEdit(cv, c, r, focused);
        return;
    case DialogItemKind::ListBox:
        DrawList(cv, c, r, focused);
        return;
    }
}

}  // namespace

bool FindControlFocusedButton(const Dialog& d);

int32_t TextWidth(const std::string& cp932)
{
    if (cp932.empty()) return 0;
    const DIALOGHOSTHOOKS& hooks = HostHooks();
    DIALOGTEXTMASK mask;
    if (!hooks.renderText || !hooks.renderText(cp932.data(), static_cast<int32_t>(cp932.size()), kTextHeight, &mask))
        return static_cast<int32_t>(cp932.size()) * kTextHeight / 2;
    return mask.nWidth;
}

void DrawDialog(const Dialog& d, std::vector<uint32_t>& screen)
{
    Canvas cv{screen, RECT{std::max<LONG>(d.rc.left, 0), std::max<LONG>(d.rc.top, 0), std::min<LONG>(d.rc.right, W),
                           std::min<LONG>(d.rc.bottom, H)}};
    const RECT& r = d.rc;
    cv.Fill(r.left, r.top, r.right, r.bottom, kFace);
    cv.Frame(r.left, r.top, r.right, r.bottom, kFrameDark);
    cv.Frame(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, kWhite);
    if ((d.tpl.style & WS_CAPTION) == WS_CAPTION) {
        const int32_t top = r.top + 3, bottom = r.top + d.frameTop;
        cv.Fill(r.left + 3, top, r.right - 3, bottom, kCaption);
        char caption[512];
        GetWindowText(d.hwnd, caption, sizeof caption);
        Canvas bar{screen, RECT{std::max<LONG>(r.left + 3, 0), std::max<LONG>(top, 0), std::min<LONG>(r.right - 24, W),
                                std::min<LONG>(bottom, H)}};
        bar.Text(r.left + 8, (top + bottom - kTextHeight) / 2, caption, kWhite);
        // The close box.
        const int32_t bx = r.right - 21, by = top + 2;
        for (int32_t i = 0; i < 9; ++i) {
            cv.Put(bx + 4 + i, by + 3 + i, kWhite);
            cv.Put(bx + 12 - i, by + 3 + i, kWhite);
        }
    }
    const int32_t ox = r.left + d.frameX, oy = r.top + d.frameTop;
    Canvas client{screen, RECT{std::max<LONG>(ox, cv.clip.left), std::max<LONG>(oy, cv.clip.top),
                               std::min<LONG>(r.right - d.frameX, cv.clip.right), std::min<LONG>(r.bottom - 3, cv.clip.bottom)}};
    // Group boxes first, so that the controls inside them draw over their lines.
    for (int pass = 0; pass < 2; ++pass)
        for (const Control& c : d.controls) {
            if ((c.kind == DialogItemKind::GroupBox) != (pass == 0)) continue;
            const bool focused = c.hwnd == GetFocus();
            DrawControl(client, c, ox, oy, focused, c.kind == DialogItemKind::DefPushButton && !FindControlFocusedButton(d));
        }
}

bool FindControlFocusedButton(const Dialog& d)
{
    // While another push button has the focus, that one is the default and the dialog's own
    // default button loses its accent.
    for (const Control& c : d.controls)
        if (c.hwnd == GetFocus() && c.kind == DialogItemKind::PushButton) return true;
    return false;
}

}  // namespace dlg

std::vector<uint32_t> RenderDialogScreen()
{
    std::vector<uint32_t> screen(static_cast<size_t>(kDialogScreenWidth) * kDialogScreenHeight, 0xFF101010);
    const DIALOGHOSTHOOKS& hooks = dlg::HostHooks();
    std::vector<uint32_t> back;
    int32_t bw = 0, bh = 0;
    if (hooks.background && hooks.background(&back, &bw, &bh) && bw > 0 && bh > 0 &&
        back.size() >= static_cast<size_t>(bw) * static_cast<size_t>(bh)) {
        for (int32_t y = 0; y < std::min(bh, kDialogScreenHeight); ++y)
            for (int32_t x = 0; x < std::min(bw, kDialogScreenWidth); ++x)
                screen[static_cast<size_t>(y) * kDialogScreenWidth + static_cast<size_t>(x)] = back[static_cast<size_t>(y) * bw + static_cast<size_t>(x)];
    }
    for (dlg::Dialog* d : dlg::OpenDialogs()) dlg::DrawDialog(*d, screen);
    return screen;
}
