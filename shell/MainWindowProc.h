#pragma once
// The main window's procedure: the close order of the whole program, the application-active
// flag, Esc, painting under DirectDraw, the requests of the game threads (sounds, music, device
// restore, dialogs) and the notices to the editor in test play.
#include <atomic>
#include <cstdint>

#include "platform/win/WinTypes.h"
#include "shell/cWindow.h"

constexpr UINT UM_NAMEENTRY = WM_USER + 1;
constexpr UINT UM_OPENSTAGE = WM_USER + 2;
constexpr UINT UM_OPENREPLAY = WM_USER + 3;
constexpr UINT UM_SAVEREPLAY = WM_USER + 4;
constexpr UINT UM_PLAYSE = WM_USER + 5;
constexpr UINT UM_PLAYBGM = WM_USER + 6;
constexpr UINT UM_RESTOREDEVICE = WM_USER + 100;

// The thread message that greets a new thread until its queue exists.
constexpr UINT THREAD_START_MESSAGE = 0x8000;

// The game window. Its geometry (client 640 x 480 inside the frame its style gives) and its
// current position, which places the dialogs over it, are the cWindow parts.
class cMainWindow : public cWindow {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWmCreate() { m_bCreated = 1; }
private:
    void OnClose(HWND hwnd);
    void OnPlayBgm(WPARAM wParam, LPARAM lParam);
    void OnNameEntry();
    void OnOpenStage();
    void OnOpenReplay();
    void OnSaveReplay(WPARAM wParam);
    bool ChooseFileToOpen(char (&szPath)[260], const char* lpEnglishTitle, const char* lpTitle, const char* lpFolder,
                          const char* lpFilter, const char* lpDefExt);
};

extern cMainWindow MainWindow;
// The loop flag that a stage's music request carries with it (slot 4 of UM_PLAYBGM).
extern std::atomic<int32_t> StageBgmLoop;

LRESULT StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Starts free play from a stage file (the front end's): path names the file itself, or with
// bNewestVersion the stage whose newest numbered file is loaded. 1 when the stage was loaded.
using StageFileStarter = int (*)(const char* lpPath, int32_t bNewestVersion);
void SetStageFileStarter(StageFileStarter lpfnStart);
int StartStageFile(const char* lpPath, int32_t bNewestVersion);

// The front end's side of the replay requests: saving the current (0) or previous (1) play's
// replay through the save dialog (1 saved, 0 cancelled, -1 not written) and reading a chosen
// replay file (1 read, 0 refused). Without them the requests answer "nothing done".
using ReplaySaveHandler = int (*)(int32_t nWhich);
using ReplayOpenHandler = int (*)(const char* lpPath);
void SetReplayHandlers(ReplaySaveHandler lpfnSave, ReplayOpenHandler lpfnOpen);

// The editor is told by WM_COPYDATA to its window (class "Quillmoor_Editor", caption
// "Quillmoor"); without one the notice is only written for a debugger.
void NotifyEditorStart();
void NotifyEditorExit(int32_t nValue);
