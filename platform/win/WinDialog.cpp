// The dialog manager: dialogs from templates, their controls as child windows, focus and
// keyboard navigation, edit boxes with composition, window properties, the thread keyboard hook,
// and the headless host's scripted actions.
#include "platform/win/WinDialog.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>

#include "platform/host/Host.h"
#include "platform/win/DialogInternal.h"
#include "platform/win/HostDialog.h"
#include "platform/win/HostInput.h"
#include "platform/win/WinKernel.h"
#include "platform/win/WinKeyboard.h"
#include "platform/win/WinMessage.h"

namespace dlg {
namespace {

// The screen the program sees: the host window's client area.
constexpr int kScreenWidth = kDialogScreenWidth;
constexpr int kScreenHeight = kDialogScreenHeight;
static_assert(kScreenWidth == SCREEN_WIDTH && kScreenHeight == SCREEN_HEIGHT, "one screen for dialogs and windows");
// Frame sizes of the drawn windows, in pixels.
constexpr int kCaptionHeight = CAPTION_HEIGHT;
constexpr int kDialogFrame = DIALOG_FRAME;
// Dialog units of the program's 9-point dialog font: 1/4 of a 7-pixel average character across,
// 1/8 of a 12-pixel line down.
constexpr int kBaseUnitX = 7;
constexpr int kBaseUnitY = 12;

const char* const kDialogClass = "#32770";
const char* const kButtonClass = "Button";
const char* const kStaticClass = "Static";
const char* const kEditClass = "Edit";
const char* const kListClass = "ListBox";

std::map<int, DIALOGTEMPLATE>& Templates()
{
    static std::map<int, DIALOGTEMPLATE> templates;
    return templates;
}

std::vector<std::unique_ptr<Dialog>>& Dialogs()
{
    static std::vector<std::unique_ptr<Dialog>> dialogs;
    return dialogs;
}

std::atomic<int> g_nOpenDialogs{0};
HWND g_hFocus = nullptr;
bool g_bDirty = true;
std::map<HWND, std::map<std::string, HANDLE>> g_Props;
POINT g_Cursor{320, 240};
bool g_bInputMethod = true;
bool g_bJustCommitted = false;   // SDL: the Enter that confirmed a composition follows its text

struct Hook {
    HOOKPROC proc;
    DWORD thread;
};
std::vector<std::unique_ptr<Hook>> g_Hooks;

std::mutex g_ScriptLock;
std::deque<DIALOGACTION> g_Actions;
std::vector<RECORDEDDIALOG> g_Recorded;
DIALOGHOSTHOOKS g_HostHooks;
bool (*g_SnapshotWriter)(const std::vector<uint32_t>&, const std::string&) = nullptr;

void DestroyDialogState(HWND hwnd);

std::shared_ptr<KernelWindow> KernelWindowOf(HWND hwnd)
{
    KernelLock lock(TheKernel().lock);
    return KernelFindWindow(hwnd);
}

std::string WindowTextOf(HWND hwnd)
{
    KernelLock lock(TheKernel().lock);
    std::shared_ptr<KernelWindow> window = KernelFindWindow(hwnd);
    return window ? window->text : std::string();
}

void SetWindowTextRaw(HWND hwnd, const std::string& text)
{
    KernelLock lock(TheKernel().lock);
    if (std::shared_ptr<KernelWindow> window = KernelFindWindow(hwnd)) window->text = text;
}

bool IsButtonKind(DialogItemKind kind)
{
    return kind == DialogItemKind::PushButton || kind == DialogItemKind::DefPushButton ||
           kind == DialogItemKind::AutoRadioButton || kind == DialogItemKind::AutoCheckBox;
}

bool TakesFocus(const Control& c)
{
    return c.enabled && (IsButtonKind(c.kind) || c.kind == DialogItemKind::Edit || c.kind == DialogItemKind::ListBox);
}

void ClampSelection(Control& c, const std::string& text)
{
    const int n = static_cast<int>(text.size());
    c.selStart = std::clamp(c.selStart, 0, n);
    c.selEnd = std::clamp(c.selEnd, 0, n);
}

// The class procedure of every control: the state that messages read and write.
LRESULT ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* dialog = nullptr;
    Control* c = FindControl(hwnd, &dialog);
    if (!c) return 0;
    switch (message) {
    case BM_GETCHECK:
        return c->checked ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
        c->checked = wParam == BST_CHECKED;
        MarkDirty();
        return 0;
    case BM_CLICK:
        ClickControl(*dialog, *c);
        return 0;
    case EM_GETSEL: {
        ClampSelection(*c, WindowTextOf(hwnd));
        const DWORD lo = static_cast<DWORD>(std::min(c->selStart, c->selEnd));
        const DWORD hi = static_cast<DWORD>(std::max(c->selStart, c->selEnd));
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = lo;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = hi;
        return static_cast<LRESULT>(lo | (hi << 16));
    }
    case EM_SETSEL: {
        const std::string text = WindowTextOf(hwnd);
        const int n = static_cast<int>(text.size());
        int start = static_cast<int>(static_cast<intptr_t>(wParam));
        int end = static_cast<int>(lParam);
        if (start < 0) {   // -1 removes the selection
            c->selStart = c->selEnd = std::clamp(c->selEnd, 0, n);
        } else {
            if (end < 0 || end > n) end = n;
            c->selStart = std::min(start, n);
            c->selEnd = end;
        }
        MarkDirty();
        return 0;
    }
    case EM_LIMITTEXT:
        c->limit = wParam ? static_cast<UINT>(wParam) : 30000u;
        return 0;
    case WM_SETTEXT:
        SetWindowTextRaw(hwnd, lParam ? reinterpret_cast<const char*>(lParam) : "");
        MarkDirty();
        return 1;
    case WM_GETTEXT:
        return GetWindowText(hwnd, reinterpret_cast<char*>(lParam), static_cast<int>(wParam));
    default:
        return 0;
    }
}

// The class procedure of dialog windows: the dialog procedure first, then the manager's
// defaults for what it leaves.
LRESULT DialogWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* d = FindDialog(hwnd);
    if (!d) return 0;
    const INT_PTR handled = d->proc ? d->proc(hwnd, message, wParam, lParam) : 0;
    if (message == WM_DESTROY && !d->modal) {
        DestroyDialogState(hwnd);   // a modeless dialog ends with its window
        return handled;
    }
    if (handled) return handled;
    if (message == WM_CLOSE) {
        // The dialog procedure left it: the close box means Cancel.
        SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), 0);
    }
    return 0;
}

void RegisterClasses()
{
    static bool done = false;
    if (done) return;
    done = true;
    for (const char* name : {kButtonClass, kStaticClass, kEditClass, kListClass}) {
        WNDCLASSEX cls{sizeof(WNDCLASSEX), 0, ControlProc, nullptr, name};
        RegisterClassEx(&cls);
    }
    WNDCLASSEX cls{sizeof(WNDCLASSEX), 0, DialogWindowProc, nullptr, kDialogClass};
    RegisterClassEx(&cls);
}

const char* ClassOf(DialogItemKind kind)
{
    switch (kind) {
    case DialogItemKind::Edit: return kEditClass;
    case DialogItemKind::ListBox: return kListClass;
    case DialogItemKind::Static:
    case DialogItemKind::StaticPicture: return kStaticClass;
    default: return kButtonClass;
    }
}

void RecordDialog(const Dialog& d)
{
    RECORDEDDIALOG rec{d.resourceId, WindowTextOf(d.hwnd), {}, d.rc};
    for (const Control& c : d.controls) rec.controls.emplace_back(c.id, WindowTextOf(c.hwnd));
    std::lock_guard<std::mutex> lock(g_ScriptLock);
    g_Recorded.push_back(std::move(rec));
}

void DestroyDialogState(HWND hwnd)
{
    auto& all = Dialogs();
    for (auto it = all.begin(); it != all.end(); ++it) {
        if ((*it)->hwnd != hwnd) continue;
        for (const Control& c : (*it)->controls) {
            g_Props.erase(c.hwnd);
            if (g_hFocus == c.hwnd) g_hFocus = nullptr;
        }
        g_Props.erase(hwnd);
        if (g_hFocus == hwnd) g_hFocus = nullptr;
        all.erase(it);
        --g_nOpenDialogs;
        break;
    }
    if (!g_hFocus) {
        if (Dialog* top = ActiveDialog()) g_hFocus = top->focus;
    }
    if (g_nOpenDialogs == 0 && CurrentHost() == HostKind::Sdl && SDL_WasInit(SDL_INIT_VIDEO)) SDL_StopTextInput();
    MarkDirty();
}

HWND CreateDialogWindow(int resourceId, HWND owner, DLGPROC proc, LPARAM param, bool modal)
{
    auto found = Templates().find(resourceId);
    if (found == Templates().end()) return nullptr;
    RegisterClasses();
    auto d = std::make_unique<Dialog>();
    d->resourceId = resourceId;
    d->tpl = found->second;
    d->proc = proc;
    d->owner = owner;
    d->modal = modal;
    d->fileChooser = resourceId < 0;
    const bool caption = (d->tpl.style & WS_CAPTION) == WS_CAPTION;
    d->frameX = kDialogFrame;
    d->frameTop = kDialogFrame + (caption ? kCaptionHeight : 0);
    const int width = DluX(d->tpl.cx) + 2 * kDialogFrame;
    const int height = DluY(d->tpl.cy) + d->frameTop + kDialogFrame;
    // Until the program moves it, a dialog sits in the middle of the screen.
    const int x = std::max(0, (kScreenWidth - width) / 2);
    const int y = std::max(0, (kScreenHeight - height) / 2);
    d->rc = RECT{x, y, x + width, y + height};
    Dialog* raw = d.get();
    Dialogs().push_back(std::move(d));
    ++g_nOpenDialogs;
    // The window exists before WM_CREATE reaches the class procedure, which finds the state
    // through the handle; the state is keyed once the handle is known.
    HWND hwnd = CreateWindowEx(0, kDialogClass, raw->tpl.caption.c_str(), raw->tpl.style, x, y, width, height,
                               nullptr, nullptr, nullptr, nullptr);
    if (!hwnd) {
        Dialogs().pop_back();
        --g_nOpenDialogs;
        return nullptr;
    }
    raw->hwnd = hwnd;
    for (const DIALOGITEM& item : raw->tpl.items) {
        Control c;
        c.id = item.id;
        c.kind = item.kind;
        c.style = item.style;
        c.rc = RECT{DluX(item.x), DluY(item.y), DluX(item.x + item.cx), DluY(item.y + item.cy)};
        c.hwnd = CreateWindowEx(0, ClassOf(item.kind), item.text.c_str(), item.style, 0, 0, 0, 0, hwnd,
                                reinterpret_cast<void*>(static_cast<intptr_t>(item.id)), nullptr, nullptr);
        raw->controls.push_back(std::move(c));
    }
    // The first control that takes the focus has it unless WM_INITDIALOG sets another.
    for (Control& c : raw->controls) {
        if (TakesFocus(c) && (c.style & WS_TABSTOP)) {
            raw->focus = c.hwnd;
            break;
        }
    }
    if (!raw->focus)
        for (Control& c : raw->controls)
            if (TakesFocus(c)) {
                raw->focus = c.hwnd;
                break;
            }
    HWND initialFocus = raw->focus;
    g_hFocus = nullptr;
    const LRESULT setDefaultFocus = SendMessage(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(initialFocus), param);
    if (Dialog* again = FindDialog(hwnd)) {
        if (setDefaultFocus && !g_hFocus) SetFocus(initialFocus);
        if (!g_hFocus) g_hFocus = again->focus;
        if (CurrentHost() == HostKind::Sdl && SDL_WasInit(SDL_INIT_VIDEO)) SDL_StartTextInput();
        RecordDialog(*again);
    }
    MarkDirty();
    return hwnd;
}

void ApplyAction(Dialog& d, const DIALOGACTION& a)
{
    if (d.fileChooser && FileChooserAction(d, a)) return;
    switch (a.kind) {
    case DialogActionKind::SetText:
    case DialogActionKind::Type:
    case DialogActionKind::Compose: {
        Control* c = a.kind == DialogActionKind::SetText ? FindControlById(d, a.nId) : FindControl(g_hFocus);
        if (!c || c->kind != DialogItemKind::Edit) return;
        SetFocus(c->hwnd);
        if (a.kind == DialogActionKind::Compose) {
            c->composition = a.text;
            MarkDirty();
        } else if (a.kind == DialogActionKind::SetText) {
            c->selStart = 0;
            c->selEnd = static_cast<int>(WindowTextOf(c->hwnd).size());
            TypeIntoEdit(d, *c, a.text);
        } else {
            for (size_t i = 0; i < a.text.size();) {
                const int n = CharLength(a.text, i);
                TypeIntoEdit(d, *c, a.text.substr(i, static_cast<size_t>(n)));
                i += static_cast<size_t>(n);
            }
        }
        return;
    }
    case DialogActionKind::Key:
        HostSetKeyDown(a.nId, true);
        DeliverKey(a.nId, true);
        HostSetKeyDown(a.nId, false);
        DeliverKey(a.nId, false);
        return;
    case DialogActionKind::KeyDown:
        HostSetKeyDown(a.nId, true);
        DeliverKey(a.nId, true);
        return;
    case DialogActionKind::KeyUp:
        HostSetKeyDown(a.nId, false);
        DeliverKey(a.nId, false);
        return;
    case DialogActionKind::Click:
        if (Control* c = FindControlById(d, a.nId)) {
            if (c->enabled && TakesFocus(*c)) SetFocus(c->hwnd);
            ClickControl(d, *c);
        }
        return;
    case DialogActionKind::Focus:
        if (Control* c = FindControlById(d, a.nId)) SetFocus(c->hwnd);
        return;
    case DialogActionKind::Close:
        PostMessage(d.hwnd, WM_CLOSE, 0, 0);
        return;
    case DialogActionKind::Snapshot:
        if (g_SnapshotWriter) g_SnapshotWriter(RenderDialogScreen(), a.text);
        return;
    default:
        return;
    }
}

// The headless host plays the next scripted action, or the default when none is left.
void HeadlessStep(Dialog& d)
{
    DIALOGACTION action;
    bool have = false;
    {
        std::lock_guard<std::mutex> lock(g_ScriptLock);
        if (!g_Actions.empty()) {
            action = g_Actions.front();
            g_Actions.pop_front();
            have = true;
        }
    }
    if (have) {
        ApplyAction(d, action);
        return;
    }
    if (d.fileChooser) {
        ApplyAction(d, DIALOGACTION{DialogActionKind::Cancel, 0, {}});
        return;
    }
    if (d.defaultStage == 0) {
        d.defaultStage = 1;
        ApplyAction(d, DIALOGACTION{DialogActionKind::Key, VK_RETURN, {}});
    } else if (d.defaultStage == 1) {
        d.defaultStage = 2;
        PostMessage(d.hwnd, WM_CLOSE, 0, 0);
    } else {
        EndDialog(d.hwnd, 0);   // nothing ended it: give up on it rather than wait for ever
    }
}

void PumpSdlWithoutHost()
{
    // Before the program has given its window an event pump, the dialog reads the host itself.
    SDL_Event event;
    while (SDL_PollEvent(&event)) HostHandleSdlDialogEvent(event);
}

bool ThreadHasEventPump()
{
    KernelLock lock(TheKernel().lock);
    return KernelSelf(lock).eventPump != nullptr;
}

void MoveFocusByTab(Dialog& d, bool backwards)
{
    std::vector<Control*> stops;
    for (Control& c : d.controls)
        if (TakesFocus(c) && (c.style & WS_TABSTOP)) {
            // Only the checked radio button of a group is a stop (or the first when none is).
            stops.push_back(&c);
        }
    if (stops.empty()) return;
    int at = -1;
    for (size_t i = 0; i < stops.size(); ++i)
        if (stops[i]->hwnd == g_hFocus) at = static_cast<int>(i);
    const int n = static_cast<int>(stops.size());
    const int next = at < 0 ? 0 : (at + (backwards ? n - 1 : 1)) % n;
    Control* target = stops[static_cast<size_t>(next)];
    SetFocus(target->hwnd);
    if (target->kind == DialogItemKind::Edit) {
        target->selStart = 0;
        target->selEnd = static_cast<int>(WindowTextOf(target->hwnd).size());
    }
}

// Arrow keys in a group of radio buttons: the next one of the group is focused and selected.
bool MoveInRadioGroup(Dialog& d, Control& c, bool forward)
{
    std::vector<Control*> group;
    bool inGroup = false;
    for (Control& other : d.controls) {
        if (other.kind != DialogItemKind::AutoRadioButton) {
            if (inGroup) break;
            continue;
        }
        if ((other.style & WS_GROUP) && inGroup && &other != &c && std::find(group.begin(), group.end(), &c) != group.end())
            break;
        if (other.style & WS_GROUP) group.clear();
        group.push_back(&other);
        inGroup = true;
    }
    auto it = std::find(group.begin(), group.end(), &c);
    if (it == group.end()) return false;
    const int n = static_cast<int>(group.size());
    const int at = static_cast<int>(it - group.begin());
    Control* target = group[static_cast<size_t>((at + (forward ? 1 : n - 1)) % n)];
    SetFocus(target->hwnd);
    ClickControl(d, *target);
    return true;
}

void DeleteInEdit(Dialog& d, Control& c, bool forward)
{
    std::string text = WindowTextOf(c.hwnd);
    ClampSelection(c, text);
    int lo = std::min(c.selStart, c.selEnd), hi = std::max(c.selStart, c.selEnd);
    if (lo == hi) {
        // A line break "\r\n" goes as one, like a double-byte character.
        if (forward) {
            if (hi >= static_cast<int>(text.size())) return;
            hi += text.compare(static_cast<size_t>(hi), 2, "\r\n") == 0 ? 2 : CharLength(text, static_cast<size_t>(hi));
        } else {
            if (lo == 0) return;
            lo = lo >= 2 && text.compare(static_cast<size_t>(lo - 2), 2, "\r\n") == 0 ? lo - 2 : PreviousCharStart(text, lo);
        }
    }
    text.erase(static_cast<size_t>(lo), static_cast<size_t>(hi - lo));
    SetWindowTextRaw(c.hwnd, text);
    c.selStart = c.selEnd = lo;
    MarkDirty();
    NotifyParent(d, c, EN_UPDATE);
    NotifyParent(d, c, EN_CHANGE);
}

void MoveCaret(Control& c, int key, bool extend)
{
    const std::string text = WindowTextOf(c.hwnd);
    ClampSelection(c, text);
    int caret = c.selEnd;
    if (!extend && c.selStart != c.selEnd && (key == VK_LEFT || key == VK_RIGHT)) {
        caret = key == VK_LEFT ? std::min(c.selStart, c.selEnd) : std::max(c.selStart, c.selEnd);
    } else if (key == VK_LEFT) {
        caret = caret > 0 ? PreviousCharStart(text, caret) : 0;
    } else if (key == VK_RIGHT) {
        if (caret < static_cast<int>(text.size())) caret += CharLength(text, static_cast<size_t>(caret));
    } else if (key == VK_HOME) {
        caret = 0;
    } else if (key == VK_END) {
        caret = static_cast<int>(text.size());
    }
    c.selEnd = caret;
    if (!extend) c.selStart = caret;
    MarkDirty();
}

void PressDefault(Dialog& d)
{
    Control* focused = FindControl(g_hFocus);
    if (focused && (focused->kind == DialogItemKind::PushButton || focused->kind == DialogItemKind::DefPushButton)) {
        ClickControl(d, *focused);
        return;
    }
    for (Control& c : d.controls)
        if (c.kind == DialogItemKind::DefPushButton && c.enabled) {
            ClickControl(d, c);
            return;
        }
    SendMessage(d.hwnd, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);
}

// The dialog manager's own keys, after the hooks have seen them.
void HandleKeyDown(Dialog& d, int key)
{
    Control* c = FindControl(g_hFocus);
    if (c && c->kind == DialogItemKind::Edit && !c->composition.empty()) {
        // The open composition takes the key: Enter confirms it, Esc drops it, Backspace edits it.
        if (key == VK_RETURN) {
            std::string text = c->composition;
            c->composition.clear();
            TypeIntoEdit(d, *c, text);
        } else if (key == VK_ESCAPE) {
            c->composition.clear();
        } else if (key == VK_BACK) {
            c->composition.erase(static_cast<size_t>(PreviousCharStart(c->composition, static_cast<int>(c->composition.size()))));
        }
        MarkDirty();
        return;
    }
    if (key == VK_RETURN && g_bJustCommitted) {
        g_bJustCommitted = false;   // the Enter that confirmed the host's composition
        return;
    }
    g_bJustCommitted = false;
    const bool shift = GetAsyncKeyState(VK_SHIFT) & 0x8000;
    switch (key) {
    case VK_TAB:
        MoveFocusByTab(d, shift);
        return;
    case VK_RETURN:
        if (c && c->kind == DialogItemKind::ListBox && d.fileChooser) {
            SendMessage(d.hwnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(c->id), BN_DOUBLECLICKED), reinterpret_cast<LPARAM>(c->hwnd));
            return;
        }
        PressDefault(d);
        return;
    case VK_ESCAPE:
        SendMessage(d.hwnd, WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), 0);
        return;
    case VK_SPACE:
        if (c && IsButtonKind(c->kind)) ClickControl(d, *c);
        return;
    default:
        break;
    }
    if (!c) return;
    if (c->kind == DialogItemKind::Edit) {
        if (key == VK_BACK) DeleteInEdit(d, *c, false);
        else if (key == VK_DELETE) DeleteInEdit(d, *c, true);
        else if (key == VK_LEFT || key == VK_RIGHT || key == VK_HOME || key == VK_END) MoveCaret(*c, key, shift);
        return;
    }
    if (c->kind == DialogItemKind::ListBox) {
        const int n = static_cast<int>(c->items.size());
        if (n == 0) return;
        int cur = c->current;
        if (key == VK_UP) cur = std::max(0, cur - 1);
        else if (key == VK_DOWN) cur = std::min(n - 1, cur + 1);
        else if (key == VK_HOME) cur = 0;
        else if (key == VK_END) cur = n - 1;
        else return;
        c->current = cur;
        MarkDirty();
        SendMessage(d.hwnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(c->id), 1), reinterpret_cast<LPARAM>(c->hwnd));
        return;
    }
    if (c->kind == DialogItemKind::AutoRadioButton && (key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT)) {
        MoveInRadioGroup(d, *c, key == VK_DOWN || key == VK_RIGHT);
        return;
    }
    if (key == VK_UP || key == VK_LEFT) MoveFocusByTab(d, true);
    else if (key == VK_DOWN || key == VK_RIGHT) MoveFocusByTab(d, false);
}

}  // namespace

// ---- Shared helpers ------------------------------------------------------------------------

bool DialogWindowRect(HWND hwnd, RECT* rect)
{
    if (Dialog* d = FindDialog(hwnd)) {
        *rect = d->rc;
        return true;
    }
    Dialog* owner = nullptr;
    if (Control* c = FindControl(hwnd, &owner)) {
        const int ox = owner->rc.left + owner->frameX, oy = owner->rc.top + owner->frameTop;
        *rect = RECT{c->rc.left + ox, c->rc.top + oy, c->rc.right + ox, c->rc.bottom + oy};
        return true;
    }
    return false;
}

bool MoveDialogWindow(HWND hwnd, const RECT& rect)
{
    if (Dialog* d = FindDialog(hwnd)) {
        d->rc = rect;
    } else if (Control* c = FindControl(hwnd)) {
        c->rc = rect;
    } else {
        return false;
    }
    MarkDirty();
    return true;
}

bool IsDialogWindow(HWND hwnd) { return FindDialog(hwnd) != nullptr || FindControl(hwnd) != nullptr; }

int DluX(int x) { return x * kBaseUnitX / 4; }
int DluY(int y) { return y * kBaseUnitY / 8; }

int CharLength(const std::string& text, size_t i)
{
    const auto b = static_cast<uint8_t>(text[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    return lead && i + 1 < text.size() ? 2 : 1;
}

int PreviousCharStart(const std::string& text, int position)
{
    int start = 0;
    for (size_t i = 0; i < text.size() && static_cast<int>(i) < position;) {
        start = static_cast<int>(i);
        i += static_cast<size_t>(CharLength(text, i));
    }
    return start;
}

Dialog* FindDialog(HWND hwnd)
{
    if (!hwnd) return nullptr;
    for (auto& d : Dialogs())
        if (d->hwnd == hwnd) return d.get();
    return nullptr;
}

Control* FindControl(HWND hwnd, Dialog** owner)
{
    if (!hwnd) return nullptr;
    for (auto& d : Dialogs())
        for (Control& c : d->controls)
            if (c.hwnd == hwnd) {
                if (owner) *owner = d.get();
                return &c;
            }
    return nullptr;
}

Control* FindControlById(Dialog& dialog, int id)
{
    for (Control& c : dialog.controls)
        if (c.id == id) return &c;
    return nullptr;
}

std::vector<Dialog*> OpenDialogs()
{
    std::vector<Dialog*> out;
    for (auto& d : Dialogs())
        if (d->hwnd) out.push_back(d.get());
    return out;
}

Dialog* ActiveDialog()
{
    auto& all = Dialogs();
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if ((*it)->hwnd && !(*it)->ended) return it->get();
    return nullptr;
}

void NotifyParent(Dialog& dialog, const Control& control, WORD code)
{
    SendMessage(dialog.hwnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(control.id), code),
                reinterpret_cast<LPARAM>(control.hwnd));
}

void ClickControl(Dialog& dialog, Control& control)
{
    if (!control.enabled) return;
    if (control.kind == DialogItemKind::AutoCheckBox) {
        control.checked = !control.checked;
    } else if (control.kind == DialogItemKind::AutoRadioButton) {
        // Selecting one radio button clears the others of its group.
        size_t first = 0, last = dialog.controls.size();
        const size_t at = static_cast<size_t>(&control - dialog.controls.data());
        for (size_t i = at + 1; i-- > 0;) {
            if (dialog.controls[i].kind != DialogItemKind::AutoRadioButton) { first = i + 1; break; }
            if (dialog.controls[i].style & WS_GROUP) { first = i; break; }
        }
        for (size_t i = at + 1; i < dialog.controls.size(); ++i)
            if (dialog.controls[i].kind != DialogItemKind::AutoRadioButton || (dialog.controls[i].style & WS_GROUP)) {
                last = i;
                break;
            }
        for (size_t i = first; i < last; ++i) dialog.controls[i].checked = false;
        control.checked = true;
    } else if (!IsButtonKind(control.kind)) {
        return;
    }
    MarkDirty();
    NotifyParent(dialog, control, BN_CLICKED);
}

void TypeIntoEdit(Dialog& dialog, Control& c, const std::string& cp932)
{
    std::string text = WindowTextOf(c.hwnd);
    ClampSelection(c, text);
    const int lo = std::min(c.selStart, c.selEnd), hi = std::max(c.selStart, c.selEnd);
    if (text.size() - static_cast<size_t>(hi - lo) + cp932.size() > c.limit) return;   // refused like a full box
    text.replace(static_cast<size_t>(lo), static_cast<size_t>(hi - lo), cp932);
    SetWindowTextRaw(c.hwnd, text);
    c.selStart = c.selEnd = lo + static_cast<int>(cp932.size());
    MarkDirty();
    NotifyParent(dialog, c, EN_UPDATE);
    NotifyParent(dialog, c, EN_CHANGE);
}

bool DeliverKey(int virtualKey, bool down)
{
    Dialog* d = ActiveDialog();
    if (!d) return false;
    const DWORD self = GetCurrentThreadId();
    const LPARAM lParam = down ? 1 : static_cast<LPARAM>(static_cast<intptr_t>(static_cast<int32_t>(0xC0000001u)));
    for (auto& hook : g_Hooks) {
        if (hook->thread != self) continue;
        if (hook->proc(HC_ACTION, static_cast<WPARAM>(virtualKey), lParam) != 0) return true;   // swallowed
        break;   // the hook passes the key on to the next hooks itself (CallNextHookEx)
    }
    if (!down) return true;
    if (Dialog* still = ActiveDialog()) HandleKeyDown(*still, virtualKey);
    return true;
}

void MarkDirty() { g_bDirty = true; }

void PresentIfDirty()
{
    if (!g_bDirty) return;
    g_bDirty = false;
    if (CurrentHost() != HostKind::Sdl || !g_HostHooks.present) return;
    std::vector<uint32_t> screen = RenderDialogScreen();
    g_HostHooks.present(screen.data(), kScreenWidth, kScreenHeight);
}

}  // namespace dlg

using namespace dlg;

// ---- Templates and dialogs -------------------------------------------------------------

void RegisterDialogTemplate(int resourceId, const DIALOGTEMPLATE& dialogTemplate)
{
    Templates()[resourceId] = dialogTemplate;
}

bool HasDialogTemplate(int resourceId) { return Templates().count(resourceId) != 0; }

INT_PTR DialogBoxParamA(HINSTANCE, int resourceId, HWND owner, DLGPROC proc, LPARAM param)
{
    HWND hwnd = CreateDialogWindow(resourceId, owner, proc, param, true);
    if (!hwnd) return -1;
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (owner) EnableWindow(owner, 0);
    bool quit = false;
    int quitCode = 0;
    for (;;) {
        Dialog* d = FindDialog(hwnd);
        if (!d || d->ended) break;
        MSG msg;
        if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // The program is ending: the dialog ends too and the quit goes on to the caller's loop.
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                EndDialog(hwnd, 0);
                break;
            }
            DispatchMessage(&msg);
            continue;
        }
        PresentIfDirty();
        if (IsHeadless()) {
            HeadlessStep(*d);
        } else {
            if (!ThreadHasEventPump() && SDL_WasInit(SDL_INIT_VIDEO)) PumpSdlWithoutHost();
            Sleep(5);
        }
    }
    INT_PTR result = 0;
    if (Dialog* d = FindDialog(hwnd)) result = d->result;
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    DestroyDialogState(hwnd);
    if (owner && ownerWasEnabled) EnableWindow(owner, 1);
    if (quit) PostQuitMessage(quitCode);
    if (g_HostHooks.present && CurrentHost() == HostKind::Sdl && g_nOpenDialogs == 0) {
        // The game's own picture comes back at once, before its next frame.
        std::vector<uint32_t> screen = RenderDialogScreen();
        g_HostHooks.present(screen.data(), kScreenWidth, kScreenHeight);
    }
    return result;
}

HWND CreateDialogParamA(HINSTANCE, int resourceId, HWND owner, DLGPROC proc, LPARAM param)
{
    return CreateDialogWindow(resourceId, owner, proc, param, false);
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    Dialog* d = FindDialog(dialog);
    if (!d) return 0;
    d->result = result;
    d->ended = true;
    MarkDirty();
    return 1;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item) return 0;
    SendMessage(item, BM_SETCHECK, check, 0);
    return 1;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? static_cast<UINT>(SendMessage(item, BM_GETCHECK, 0, 0)) : 0;
}

// ---- Focus, state, placement -------------------------------------------------------------

HWND SetFocus(HWND hwnd)
{
    HWND previous = g_hFocus;
    if (hwnd == previous) return previous;
    Dialog* oldOwner = nullptr;
    Control* old = FindControl(previous, &oldOwner);
    Dialog* newOwner = nullptr;
    Control* c = FindControl(hwnd, &newOwner);
    g_hFocus = hwnd;
    if (newOwner) newOwner->focus = hwnd;
    MarkDirty();
    if (old && old->kind == DialogItemKind::Edit) {
        old->composition.clear();
        NotifyParent(*oldOwner, *old, EN_KILLFOCUS);
    }
    if (c && c->kind == DialogItemKind::Edit) NotifyParent(*newOwner, *c, EN_SETFOCUS);
    return previous;
}

HWND GetFocus() { return g_hFocus; }

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    if (Control* c = FindControl(hwnd)) {
        const bool wasDisabled = !c->enabled;
        c->enabled = enable != 0;
        MarkDirty();
        return wasDisabled;
    }
    static std::map<HWND, bool> disabled;   // other windows: only the flag
    const bool wasDisabled = disabled[hwnd];
    disabled[hwnd] = !enable;
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    if (Control* c = FindControl(hwnd)) return c->enabled;
    return IsWindow(hwnd);
}

HWND GetParent(HWND hwnd)
{
    KernelLock lock(TheKernel().lock);
    std::shared_ptr<KernelWindow> window = KernelFindWindow(hwnd);
    return window ? window->parent : nullptr;
}

int GetDlgCtrlID(HWND hwnd)
{
    KernelLock lock(TheKernel().lock);
    std::shared_ptr<KernelWindow> window = KernelFindWindow(hwnd);
    return window ? window->id : 0;
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index)
{
    if (index == GWLP_WNDPROC) {
        std::shared_ptr<KernelWindow> window = KernelWindowOf(hwnd);
        return window ? reinterpret_cast<LONG_PTR>(window->proc) : 0;
    }
    if (Dialog* d = FindDialog(hwnd)) return index == -16 ? static_cast<LONG_PTR>(d->tpl.style) : 0;
    return 0;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    if (index == GWLP_WNDPROC) {
        if (!value) return 0;
        KernelLock lock(TheKernel().lock);
        std::shared_ptr<KernelWindow> window = KernelFindWindow(hwnd);
        if (!window) return 0;
        WNDPROC previous = window->proc;
        window->proc = reinterpret_cast<WNDPROC>(value);
        return reinterpret_cast<LONG_PTR>(previous);
    }
    if (Dialog* d = FindDialog(hwnd); d && index == -16) {
        const LONG_PTR previous = static_cast<LONG_PTR>(d->tpl.style);
        d->tpl.style = static_cast<DWORD>(value);
        return previous;
    }
    return 0;
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

// ---- Properties ----------------------------------------------------------------------------

BOOL SetPropA(HWND hwnd, const char* name, HANDLE value)
{
    if (!name || !IsWindow(hwnd)) return 0;
    g_Props[hwnd][name] = value;
    return 1;
}

HANDLE GetPropA(HWND hwnd, const char* name)
{
    if (!name) return nullptr;
    auto it = g_Props.find(hwnd);
    if (it == g_Props.end()) return nullptr;
    if (!IsWindow(hwnd)) {
        g_Props.erase(it);
        return nullptr;
    }
    auto prop = it->second.find(name);
    return prop == it->second.end() ? nullptr : prop->second;
}

HANDLE RemovePropA(HWND hwnd, const char* name)
{
    auto it = g_Props.find(hwnd);
    if (!name || it == g_Props.end()) return nullptr;
    auto prop = it->second.find(name);
    if (prop == it->second.end()) return nullptr;
    HANDLE value = prop->second;
    it->second.erase(prop);
    return value;
}

// ---- Metrics, cursor ----------------------------------------------------------------------

BOOL SystemParametersInfoA(UINT action, UINT, void* out, UINT)
{
    if (action != SPI_GETWORKAREA || !out) return 0;
    *static_cast<RECT*>(out) = RECT{0, 0, kScreenWidth, kScreenHeight};
    return 1;
}

BOOL SetCursorPos(int x, int y)
{
    g_Cursor = POINT{std::clamp(x, 0, kScreenWidth - 1), std::clamp(y, 0, kScreenHeight - 1)};
    return 1;
}

BOOL GetCursorPos(POINT* point)
{
    if (!point) return 0;
    *point = g_Cursor;
    return 1;
}

// ---- Keyboard hook, input method ----------------------------------------------------------

HHOOK SetWindowsHookExA(int kind, HOOKPROC proc, HINSTANCE, DWORD threadId)
{
    if (kind != WH_KEYBOARD || !proc) return nullptr;
    g_Hooks.insert(g_Hooks.begin(), std::make_unique<Hook>(Hook{proc, threadId ? threadId : GetCurrentThreadId()}));
    return g_Hooks.front().get();
}

BOOL UnhookWindowsHookEx(HHOOK hook)
{
    auto it = std::find_if(g_Hooks.begin(), g_Hooks.end(), [&](const auto& h) { return h.get() == hook; });
    if (it == g_Hooks.end()) return 0;
    g_Hooks.erase(it);
    return 1;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam)
{
    auto it = std::find_if(g_Hooks.begin(), g_Hooks.end(), [&](const auto& h) { return h.get() == hook; });
    if (it == g_Hooks.end()) return 0;
    for (++it; it != g_Hooks.end(); ++it)
        if ((*it)->thread == GetCurrentThreadId()) return (*it)->proc(code, wParam, lParam);
    return 0;
}

HIMC ImmGetContext(HWND hwnd)
{
    if (!g_bInputMethod || !IsWindow(hwnd)) return nullptr;
    return reinterpret_cast<HIMC>(hwnd);
}

BOOL ImmReleaseContext(HWND, HIMC context) { return context != nullptr; }

LONG ImmGetCompositionStringA(HIMC context, DWORD index, void* buffer, DWORD size)
{
    if (!context || index != GCS_COMPSTR) return 0;
    Control* c = FindControl(g_hFocus);
    const std::string text = c ? c->composition : std::string();
    if (size == 0 || !buffer) return static_cast<LONG>(text.size());
    const size_t n = std::min<size_t>(size, text.size());
    std::copy_n(text.data(), n, static_cast<char*>(buffer));
    return static_cast<LONG>(n);
}

// ---- The hosts' side -----------------------------------------------------------------------

void SetDialogHostHooks(const DIALOGHOSTHOOKS& hooks) { g_HostHooks = hooks; }
const DIALOGHOSTHOOKS& dlg::HostHooks() { return g_HostHooks; }
void SetDialogSnapshotWriter(bool (*writer)(const std::vector<uint32_t>&, const std::string&))
{
    g_SnapshotWriter = writer;
}

bool DialogIsOpen() { return g_nOpenDialogs > 0; }

bool DialogHostKey(int virtualKey, bool down) { return DeliverKey(virtualKey, down); }

bool DialogHostText(const std::string& utf8)
{
    Dialog* owner = nullptr;
    Control* c = FindControl(g_hFocus, &owner);
    if (!c || c->kind != DialogItemKind::Edit) return ActiveDialog() != nullptr;
    g_bJustCommitted = !c->composition.empty();
    c->composition.clear();
    const std::string text = Utf8ToCp932(utf8);
    for (size_t i = 0; i < text.size();) {
        const int n = CharLength(text, i);
        TypeIntoEdit(*owner, *c, text.substr(i, static_cast<size_t>(n)));
        i += static_cast<size_t>(n);
    }
    return true;
}

bool DialogHostComposition(const std::string& utf8)
{
    Control* c = FindControl(g_hFocus);
    if (!c || c->kind != DialogItemKind::Edit) return ActiveDialog() != nullptr;
    c->composition = Utf8ToCp932(utf8);
    MarkDirty();
    return true;
}

bool DialogHostClick(int32_t x, int32_t y)
{
    Dialog* d = ActiveDialog();
    if (!d) return false;
    const int cx = x - d->rc.left - d->frameX, cy = y - d->rc.top - d->frameTop;
    for (Control& c : d->controls) {
        if (cx < c.rc.left || cx >= c.rc.right || cy < c.rc.top || cy >= c.rc.bottom || !c.enabled) continue;
        if (TakesFocus(c)) SetFocus(c.hwnd);
        if (c.kind == DialogItemKind::ListBox) {
            const int row = c.top + (cy - c.rc.top - 2) / 16;
            if (row >= 0 && row < static_cast<int>(c.items.size())) {
                const bool again = row == c.current;
                c.current = row;
                MarkDirty();
                SendMessage(d->hwnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(c.id), again ? BN_DOUBLECLICKED : 1),
                            reinterpret_cast<LPARAM>(c.hwnd));
            }
        } else if (c.kind == DialogItemKind::Edit) {
            c.selStart = c.selEnd = static_cast<int>(WindowTextOf(c.hwnd).size());
        } else {
            ClickControl(*d, c);
        }
        return true;
    }
    return true;
}

bool HostHandleSdlDialogEvent(const SDL_Event& event)
{
    if (!DialogIsOpen()) return false;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const BYTE vk = HostKeyEvent(event.key.keysym.scancode, event.type == SDL_KEYDOWN);
        if (vk) DialogHostKey(vk, event.type == SDL_KEYDOWN);
        return true;
    }
    case SDL_TEXTINPUT:
        DialogHostText(event.text.text);
        return true;
    case SDL_TEXTEDITING:
        DialogHostComposition(event.edit.text);
        return true;
    case SDL_MOUSEBUTTONDOWN: {
        // The host gives window coordinates; the picture is the 640 x 480 screen scaled into it.
        SDL_Window* window = SDL_GetWindowFromID(event.button.windowID);
        int w = kScreenWidth, h = kScreenHeight;
        if (window) SDL_GetWindowSize(window, &w, &h);
        const double scale = std::min(static_cast<double>(w) / kScreenWidth, static_cast<double>(h) / kScreenHeight);
        const double ox = (w - kScreenWidth * scale) / 2, oy = (h - kScreenHeight * scale) / 2;
        DialogHostClick(static_cast<int32_t>((event.button.x - ox) / scale), static_cast<int32_t>((event.button.y - oy) / scale));
        return true;
    }
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEMOTION:
        return true;
    default:
        return false;
    }
}

void HostSetInputMethodAvailable(bool available) { g_bInputMethod = available; }

void HostQueueDialogAction(const DIALOGACTION& action)
{
    std::lock_guard<std::mutex> lock(g_ScriptLock);
    g_Actions.push_back(action);
}

void HostClearDialogActions()
{
    std::lock_guard<std::mutex> lock(g_ScriptLock);
    g_Actions.clear();
}

size_t HostPendingDialogActions()
{
    std::lock_guard<std::mutex> lock(g_ScriptLock);
    return g_Actions.size();
}

std::vector<RECORDEDDIALOG> HostRecordedDialogs()
{
    std::lock_guard<std::mutex> lock(g_ScriptLock);
    return g_Recorded;
}

void HostClearRecordedDialogs()
{
    std::lock_guard<std::mutex> lock(g_ScriptLock);
    g_Recorded.clear();
}

bool HostLoadDialogScript(const std::string& text, std::string* error)
{
    std::vector<DIALOGACTION> actions;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        if (error) *error = "dialog script line " + std::to_string(number) + ": " + why;
        return false;
    };
    auto readInt = [](const std::string& word, int* out) {
        try {
            size_t used = 0;
            *out = std::stoi(word, &used, 0);
            return used == word.size();
        } catch (...) {
            return false;
        }
    };
    while (std::getline(lines, line)) {
        ++number;
        if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        const size_t begin = line.find_first_not_of(" \t");
        if (begin == std::string::npos) continue;
        line.erase(0, begin);
        const size_t space = line.find(' ');
        const std::string verb = line.substr(0, space);
        const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
        DIALOGACTION a{DialogActionKind::Close, 0, {}};
        if (verb == "text") {
            const size_t s2 = rest.find(' ');
            if (!readInt(rest.substr(0, s2), &a.nId)) return fail("control id expected");
            a.kind = DialogActionKind::SetText;
            a.text = s2 == std::string::npos ? std::string() : Utf8ToCp932(rest.substr(s2 + 1));
        } else if (verb == "type" || verb == "compose") {
            a.kind = verb == "type" ? DialogActionKind::Type : DialogActionKind::Compose;
            a.text = Utf8ToCp932(rest);
        } else if (verb == "key" || verb == "keydown" || verb == "keyup" || verb == "click" || verb == "focus") {
            if (!readInt(rest, &a.nId)) return fail("number expected");
            a.kind = verb == "key" ? DialogActionKind::Key
                     : verb == "keydown" ? DialogActionKind::KeyDown
                     : verb == "keyup" ? DialogActionKind::KeyUp
                     : verb == "click" ? DialogActionKind::Click : DialogActionKind::Focus;
        } else if (verb == "choose") {
            a.kind = DialogActionKind::ChooseFile;
            a.text = Utf8ToCp932(rest);
        } else if (verb == "cancel") {
            a.kind = DialogActionKind::Cancel;
        } else if (verb == "close") {
            a.kind = DialogActionKind::Close;
        } else if (verb == "snapshot") {
            a.kind = DialogActionKind::Snapshot;
            a.text = rest;
        } else {
            return fail("unknown action \"" + verb + "\"");
        }
        actions.push_back(std::move(a));
    }
    std::lock_guard<std::mutex> lock(g_ScriptLock);
    for (auto& a : actions) g_Actions.push_back(std::move(a));
    return true;
}
