#include "shell/MainWindowProc.h"

#include <cstdio>
#include <new>
#include <string>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/MainWindow.h"
#include "data/EdDatabase.h"
#include "data/EdSystem.h"
#include "media/graphics/GraphicsState.h"
#include "media/graphics/DeviceRestore.h"
#include "media/graphics/FullScreenBox.h"
#include "platform/graphics/Gdi.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinWindowState.h"
#include "shell/SceneManager.h"
#include "shell/SettingsRecords.h"
#include "shell/ShellGlobals.h"
#include "shell/DialogResources.h"
#include "shell/FileDialogs.h"
#include "shell/SystemIni.h"
#include "shell/WindowList.h"
#include "shell/cNameEntryDialog.h"

cMainWindow MainWindow;
std::atomic<int32_t> StageBgmLoop{0};

namespace {

std::atomic<StageFileStarter> StageStarter{nullptr};
std::atomic<ReplaySaveHandler> ReplaySaver{nullptr};
std::atomic<ReplayOpenHandler> ReplayOpener{nullptr};

void NotifyEditor(uintptr_t dwData, int32_t nValue)
{
    int32_t value = nValue;
    COPYDATASTRUCT cds{dwData, sizeof(value), &value};
    HWND hEditor = FindWindow("Quillmoor_Editor", "Quillmoor");
    if (hEditor != nullptr) {
        SendMessage(hEditor, WM_COPYDATA, reinterpret_cast<WPARAM>(MainWindow.m_hWnd),
                    reinterpret_cast<LPARAM>(&cds));
        return;
    }
    char szText[96];
    std::snprintf(szText, sizeof(szText), "editor notice %u %d (no editor window)",
                  static_cast<unsigned>(dwData), static_cast<int>(nValue));
    OutputDebugString(szText);
}

const std::string* BgmFile(int32_t nNumber)
{
    if (nNumber <= 0) return nullptr;
    return &CheckedAt(g_Database.m_vBgm, nNumber).m_strFile;
}

}  // namespace

void SetStageFileStarter(StageFileStarter lpfnStart)
{
    StageStarter = lpfnStart;
}

void SetReplayHandlers(ReplaySaveHandler lpfnSave, ReplayOpenHandler lpfnOpen)
{
    ReplaySaver = lpfnSave;
    ReplayOpener = lpfnOpen;
}

int StartStageFile(const char* lpPath, int32_t bNewestVersion)
{
    const StageFileStarter lpfnStart = StageStarter.load();
    return lpfnStart != nullptr ? lpfnStart(lpPath, bNewestVersion) : 0;
}

void NotifyEditorStart()
{
    NotifyEditor(1, 1);
}

void NotifyEditorExit(int32_t nValue)
{
    NotifyEditor(0, nValue);
}

LRESULT StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return MainWindow.WindowProc(hwnd, message, wParam, lParam);
}

void cMainWindow::OnClose(HWND hwnd)
{
    if (SystemIni.WindowMode != 0 && bInitDone.load() != 0 && !IsIconic(hwnd)) {
        RECT rcWindow{}, rcClientArea{};
        GetWindowRect(hwnd, &rcWindow);
        GetClientRect(hwnd, &rcClientArea);
        WindowPlacement.SetWindowPlacement(rcWindow.left, rcWindow.top, rcClientArea.right - rcClientArea.left,
                                           rcClientArea.bottom - rcClientArea.top, IsZoomed(hwnd) ? 1 : 0);
        WindowPlacement.SaveToFile("user_data\\Window.dat");
    }
    if (thPause.m_hThread.load() != nullptr) {
        WriteTraceLogF("WM_CLOSE thPause.m_hThread");
        if (cScene* lpScene = lpStagePlayScene.load()) lpScene->SetClosing();
        PostThreadMessage(thPause.m_dwThreadId, WM_QUIT, 0, 0);
        return;
    }
    WriteTraceLogF("WM_CLOSE 成功！");
    BgmManager.StopBgm();
    thLoad.Exit();
    thPause.Exit();
    thRanking.Exit();
    WriteTraceLogF("thPause.Exit()");
    thGame.Exit();
    WriteTraceLogF("thGame.Exit()");
    DestroyWindow(hwnd);
}

void cMainWindow::OnPlayBgm(WPARAM wParam, LPARAM lParam)
{
    if (wParam <= 3) {
        const int32_t nSlot = static_cast<int32_t>(wParam);
        const int32_t nNumber = CheckedAt(g_System.m_vSystemBgm, nSlot);
        const std::string* lpFile = BgmFile(nNumber);
        if (lpFile == nullptr) {
            BgmManager.StopBgm();
            return;
        }
        BgmManager.SetBgmTrack(nSlot, lpFile->c_str());
        BgmManager.PlayBgm(0, nSlot, CheckedAt(g_System.m_vSystemBgmLoop, nSlot), 0, 1);
        return;
    }
    if (wParam != 4) return;
    const int32_t nNumber = static_cast<int32_t>(lParam);
    const std::string* lpFile = BgmFile(nNumber);
    BgmManager.SetBgmTrack(4, lpFile != nullptr ? lpFile->c_str() : "");
    if (lpFile == nullptr)
        BgmManager.StopBgm();
    else
        BgmManager.PlayBgm(0, 4, StageBgmLoop.load(), 0, 1);
}

// The requester waits in its SendMessage, so the text the dialog is bound to cannot change under
// it. The worker threads are not suspended: one of them could be stopped while it holds a lock
// this thread needs to draw the dialog, and nothing would ever release it.
void cMainWindow::OnNameEntry()
{
    DDSetDialogBoxMode(1);
    cScene* lpStagePlay = lpStagePlayScene.load();
    std::string* lpBound = NameEntryTarget(SceneManager.TitleChoice, &OptionData.strPlayerName,
                                           lpStagePlay != nullptr ? lpStagePlay->RankingName() : nullptr);
    cNameEntryDialog* lpDialog = nullptr;
    try {
        lpDialog = new cNameEntryDialog(kNameEntryDialogResource, this, 1, &WindowList, lpBound,
                                        SystemIni.English, bWindowMode.load());
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
    if (lpDialog != nullptr) {
        lpDialog->DoModal(0);
        DeleteWindowObject(&lpDialog);
    }
    DDSetDialogBoxMode(0);
    NameEntryDone = 1;
}

// Runs an open chooser for one kind of file over the game, the caption in the player's language.
bool cMainWindow::ChooseFileToOpen(char (&szPath)[260], const char* lpEnglishTitle, const char* lpTitle,
                                   const char* lpFolder, const char* lpFilter, const char* lpDefExt)
{
    DDSetDialogBoxMode(1);
    const bool bChosen = OpenFileDialog(m_hWnd, szPath, sizeof(szPath), lpFolder,
                                        SystemIni.English != 0 ? lpEnglishTitle : lpTitle, lpFilter, lpDefExt, 0,
                                        nullptr);
    DDSetDialogBoxMode(0);
    return bChosen;
}

void cMainWindow::OnOpenStage()
{
    static const char kFilter[] = "StageFile ( *.stg4_*;*.rpl4_* )\0*.stg4_*;*.rpl4_*\0";
    char szPath[260];
    if (!ChooseFileToOpen(szPath, "Load stage file", "ステージファイルの読み込み", "data\\stg4\\", kFilter,
                          "stg4_*;rpl4_*")) {
        FileDialogResult = 0;
    } else if (!StartStageFile(szPath, 0)) {
        // The loader has said why; the close request ends the program. The requester is told
        // nothing was loaded, so that it does not go on as if a stage were there.
        PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
        FileDialogResult = 0;
    } else {
        FileDialogResult = 1;
    }
    FileDialogDone = 1;
}

void cMainWindow::OnOpenReplay()
{
    static const char kFilter[] = "ReplayFile ( *.rpl4_* )\0*.rpl4_*\0";
    char szPath[260];
    const ReplayOpenHandler lpfnOpen = ReplayOpener.load();
    if (!ChooseFileToOpen(szPath, "Load replay file", "リプレイファイルの読み込み", "user_data\\rpl4", kFilter,
                          "rpl4_*")) {
        FileDialogResult = 0;
    } else if (lpfnOpen == nullptr || !lpfnOpen(szPath)) {
        // The reader has said why, and nothing it would have replaced was touched; the close
        // request ends the program. The requester is told nothing was loaded.
        PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
        FileDialogResult = 0;
    } else {
        FileDialogResult = 1;
    }
    FileDialogDone = 1;
}

// A replay that could not be written has been reported by the writer; the game in progress goes
// on, since a replay is an optional save.
void cMainWindow::OnSaveReplay(WPARAM wParam)
{
    const ReplaySaveHandler lpfnSave = ReplaySaver.load();
    const int nResult = lpfnSave != nullptr ? lpfnSave(wParam == 0 ? 0 : 1) : 0;
    FileDialogResult = nResult != 0 ? 1 : 0;
    FileDialogDone = 1;
}

LRESULT cMainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    m_hWnd = hwnd;
    GetCursorClientPos(0, 7);
    switch (message) {
    case WM_CREATE:
        OnWmCreate();
        return 0;
    case WM_DESTROY:
        WriteTraceLogF("WM_DESTROY");
        m_hWnd = nullptr;
        hMainWnd = nullptr;
        if (bTestPlay.load() != 0) NotifyEditorExit(1);
        PostQuitMessage(0);
        return 0;
    case WM_MOVE: {
        RECT rcArea{};
        GetClientRect(hwnd, &rcArea);
        POINT topLeft{rcArea.left, rcArea.top};
        POINT bottomRight{rcArea.right, rcArea.bottom};
        ClientToScreen(hwnd, &topLeft);
        ClientToScreen(hwnd, &bottomRight);
        rcClient = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
        return 0;
    }
    case WM_SIZE:
        CalcFrameMetrics();
        if (m_hSizeChild != nullptr) SendMessage(m_hSizeChild, WM_SIZE, wParam, lParam);
        return 0;
    case WM_GETMINMAXINFO:
        if (lpDTCon != nullptr) return DefWindowProc(hwnd, message, wParam, lParam);
        FillMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_PAINT:
        if (lpDTCon == nullptr && bInitDone.load() != 0 && PrimarySD.lpDDraw != nullptr &&
            PrimarySD.lpDDraw->lpDDSurface != nullptr && BackBuffer.lpDDraw != nullptr &&
            BackBuffer.lpDDraw->lpDDSurface != nullptr && bWindowMode.load() != 0) {
            RECT rcDest = rcClient;
            PrimarySD.lpDDraw->lpDDSurface->Blt(&rcDest, BackBuffer.lpDDraw->lpDDSurface, nullptr, DDBLT_WAIT,
                                                nullptr);
        }
        return 0;
    case WM_CLOSE:
        OnClose(hwnd);
        return 0;
    case WM_ACTIVATEAPP:
        bAppActive = static_cast<int32_t>(wParam);
        return 0;
    case WM_KEYDOWN:
        if (wParam == 27) PostMessage(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_COMMAND:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case 0x0204:   // WM_RBUTTONDOWN
        return 0;
    case UM_NAMEENTRY:
        OnNameEntry();
        return 0;
    case UM_OPENSTAGE:
        OnOpenStage();
        return 0;
    case UM_OPENREPLAY:
        OnOpenReplay();
        return 0;
    case UM_SAVEREPLAY:
        OnSaveReplay(wParam);
        return 0;
    case UM_PLAYSE:
        DS_Play(CheckedAt(SoundTable, static_cast<int32_t>(wParam)), 0);
        return 0;
    case UM_PLAYBGM:
        OnPlayBgm(wParam, lParam);
        return 0;
    case UM_RESTOREDEVICE:
        DDRestoreSurface();
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}
