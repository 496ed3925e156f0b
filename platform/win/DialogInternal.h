#pragma once
// The dialog manager's own state, shared by the dialog, control, drawing and file-chooser code
// of the layer (not for game code). Everything here belongs to the thread that runs the
// dialogs, the user-interface thread.
#include <string>
#include <vector>

#include "platform/win/HostDialog.h"
#include "platform/win/WinDialog.h"

namespace dlg {

struct Control {
    HWND hwnd = nullptr;
    int id = 0;
    DialogItemKind kind = DialogItemKind::Static;
    DWORD style = 0;
    RECT rc{};                  // pixels, relative to the dialog's client area
    bool checked = false;
    int selStart = 0, selEnd = 0;   // edit: byte offsets, start may exceed end (caret at start)
    int scroll = 0;                 // edit: first byte shown
    std::string composition;        // edit: the open composition (code page 932)
    UINT limit = 30000;             // edit: EM_LIMITTEXT
    bool enabled = true;
    std::vector<std::string> items; // list box
    int current = -1;
    int top = 0;
};

struct Dialog {
    HWND hwnd = nullptr;
    int resourceId = 0;
    DIALOGTEMPLATE tpl;
    DLGPROC proc = nullptr;
    HWND owner = nullptr;
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    RECT rc{};                 // outer rectangle on the screen
    int frameX = 0, frameTop = 0;   // client origin inside the outer rectangle
    std::vector<Control> controls;
    HWND focus = nullptr;
    int defaultStage = 0;       // headless: 0 nothing done, 1 Enter given, 2 closed
    bool fileChooser = false;
};

Dialog* FindDialog(HWND hwnd);
Control* FindControl(HWND hwnd, Dialog** owner = nullptr);
Control* FindControlById(Dialog& dialog, int id);
std::vector<Dialog*> OpenDialogs();          // oldest first
Dialog* ActiveDialog();                      // the newest open dialog

// The outer rectangles of dialogs and controls, for the window placement calls; false when hwnd
// is neither.
bool DialogWindowRect(HWND hwnd, RECT* rect);
bool MoveDialogWindow(HWND hwnd, const RECT& rect);
bool IsDialogWindow(HWND hwnd);

// Sends WM_COMMAND (id, code) from a control to its dialog.
void NotifyParent(Dialog& dialog, const Control& control, WORD code);
// Presses a button as a click does (check boxes toggle, radios select, then BN_CLICKED).
void ClickControl(Dialog& dialog, Control& control);
// Text of an edit box typed at the caret (replacing the selection); refused past the limit.
void TypeIntoEdit(Dialog& dialog, Control& control, const std::string& cp932);
// A key event for the active dialog (through the thread's keyboard hooks first).
bool DeliverKey(int virtualKey, bool down);
void MarkDirty();
// Composes and, on the SDL host, presents the screen when something changed.
void PresentIfDirty();

// One character's length at text[i] (2 for a lead byte followed by a byte, else 1).
int CharLength(const std::string& text, size_t i);
// The start of the character before position (never inside a double-byte character).
int PreviousCharStart(const std::string& text, int position);

const DIALOGHOSTHOOKS& HostHooks();

// Pixel conversion of dialog units.
int DluX(int x);
int DluY(int y);

// Drawing of one dialog into a 640 x 480 screen.
void DrawDialog(const Dialog& dialog, std::vector<uint32_t>& screen);
int32_t TextWidth(const std::string& cp932);

// The file choosers' take on a scripted action; false when the action does not apply.
bool FileChooserAction(Dialog& dialog, const DIALOGACTION& action);

}  // namespace dlg
