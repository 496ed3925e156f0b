#pragma once
// The hosts' side of the dialog manager: input for open dialogs, the headless host's scripted
// dialog actions, the seams to the glyph renderer and the presentation, and rendering dialogs
// to an image. Game code never includes this header.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

union SDL_Event;

// ---- Seams filled by the graphics layer (InstallDialogGraphics in platform/graphics) --------

struct DIALOGTEXTMASK {
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    std::vector<uint8_t> vInk;   // nWidth * nHeight, 1 = ink
};
struct DIALOGHOSTHOOKS {
    // One line of code-page-932 text at a pixel height in the dialog font; false: draw nothing.
    bool (*renderText)(const char* text, int32_t count, int32_t pixelHeight, DIALOGTEXTMASK* mask) = nullptr;
    // The picture under the dialogs (the last presented frame), 0xFFRRGGBB top row first.
    bool (*background)(std::vector<uint32_t>* pixels, int32_t* width, int32_t* height) = nullptr;
    // Shows a composed 640 x 480 picture (dialogs over the background).
    void (*present)(const uint32_t* pixels, int32_t width, int32_t height) = nullptr;
};
void SetDialogHostHooks(const DIALOGHOSTHOOKS& hooks);

// ---- Input from the hosts ----------------------------------------------------------------

// A key went down or up while a dialog of the calling thread is active. Returns true when a
// dialog took it (the caller then does not turn it into a key message of its own window).
bool DialogHostKey(int virtualKey, bool down);
// Text committed by the host's text input (UTF-8), inserted at the focused edit box's caret.
bool DialogHostText(const std::string& utf8);
// The composition being edited by the host's input method (UTF-8; empty: none open).
bool DialogHostComposition(const std::string& utf8);
// A click at a point of the 640 x 480 screen.
bool DialogHostClick(int32_t x, int32_t y);
// The SDL host's event loop hands every event here first while a dialog is open (keys, text
// input and editing, mouse buttons); true when a dialog consumed it.
bool HostHandleSdlDialogEvent(const SDL_Event& event);
// Whether a dialog of any thread is open (the hosts route input here while it is).
bool DialogIsOpen();

// ---- The headless host's dialog script ---------------------------------------------------

// Actions for the dialogs that open from now on, taken in order one by one while a dialog (or
// a file chooser) is open. When none is queued, an open dialog gets Enter once and is then
// closed (WM_CLOSE); a file chooser is cancelled. So a headless run never waits for a player.
enum class DialogActionKind {
    SetText,      // text of control id replaced as if the player had typed it (one EN_UPDATE)
    Type,         // each character typed at the caret in turn (an EN_UPDATE per character)
    Key,          // a key pressed and released (virtual key in nValue)
    KeyDown,      // a key held (until KeyUp), e.g. Backspace for the join rule
    KeyUp,
    Compose,      // a composition opened (or changed) with this text at the caret
    Click,        // control id clicked
    Focus,        // control id given the focus
    ChooseFile,   // file chooser: this project path chosen (as typed into its name box + OK)
    Cancel,       // file chooser: cancelled
    Close,        // WM_CLOSE to the dialog
    Snapshot,     // the screen with the dialogs written to the host PNG path in text
};
struct DIALOGACTION {
    DialogActionKind kind;
    int nId = 0;          // control id, or the virtual key
    std::string text;     // code page 932 (Snapshot: a UTF-8 host path)
};
void HostQueueDialogAction(const DIALOGACTION& action);
void HostClearDialogActions();
size_t HostPendingDialogActions();
// Script text, one action a line: "text <id> <utf-8 text>", "type <utf-8 text>", "key <vk>",
// "keydown <vk>", "keyup <vk>", "compose <utf-8 text>", "click <id>", "focus <id>",
// "choose <utf-8 path>", "cancel", "close", "snapshot <host path>"; '#' starts a comment.
// False with the reason when a line cannot be read (nothing is queued then).
bool HostLoadDialogScript(const std::string& text, std::string* error);

// Every dialog the layer opened since the last clear: resource id (-1 for a file chooser),
// caption, the texts of its controls (code page 932) and its place once WM_INITDIALOG is done.
struct RECORDEDDIALOG {
    int nResourceId;
    std::string caption;
    std::vector<std::pair<int, std::string>> controls;
    RECT rc;   // where it stood on the screen once initialised
};
std::vector<RECORDEDDIALOG> HostRecordedDialogs();
void HostClearRecordedDialogs();

// What the open (or last) file chooser lists: its folder and its entries as shown ("[name]"
// for a folder, "[..]" for the folder above).
struct FILECHOOSERLISTING {
    std::string folder;
    std::vector<std::string> entries;
};
FILECHOOSERLISTING HostLastFileChooserListing();

// The input method's context can be made unavailable (the "no context" path of the hook).
void HostSetInputMethodAvailable(bool available);

// ---- Pictures ---------------------------------------------------------------------------

// The 640 x 480 screen with every open dialog drawn over the background, 0xFFRRGGBB.
std::vector<uint32_t> RenderDialogScreen();
constexpr int32_t kDialogScreenWidth = 640;
constexpr int32_t kDialogScreenHeight = 480;
// A hook for snapshots: writes a screen to a host PNG path (installed by the graphics layer).
void SetDialogSnapshotWriter(bool (*writer)(const std::vector<uint32_t>& pixels, const std::string& hostPath));
