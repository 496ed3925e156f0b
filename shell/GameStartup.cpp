// Start-up runs on the user-interface thread before any game thread exists, so it needs no
// locks; every failure returns false and the caller shuts down whatever was started.
#include "shell/GameStartup.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/MessageBox.h"
#include "core/Path.h"
#include "core/ProgramLogs.h"
#include "core/Random.h"
#include "core/SystemReport.h"
#include "data/AnimePattern.h"
#include "data/CommandParamTable.h"
#include "data/DataFolder.h"
#include "data/EdDatabase.h"
#include "data/EdPalette.h"
#include "data/EdSystem.h"
#include "data/EdWorldMap.h"
#include "data/FontFaceTable.h"
#include "data/ProjectPaths.h"
#include "data/RecordReferences.h"
#include "flows/CharaEffect.h"
#include "flows/ScreenEffect.h"
#include "media/graphics/BitmapTable.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDPalette.h"
#include "media/graphics/DisplayReport.h"
#include "media/graphics/GraphicsState.h"
#include "media/input/KeyConfig.h"
#include "media/input/KeyInput.h"
#include "media/text/Font.h"
#include "platform/graphics/Gdi.h"
#include "platform/win/WinFile.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinMessageBox.h"
#include "platform/win/WinProcess.h"
#include "platform/win/WinThread.h"
#include "platform/win/WinTime.h"
#include "platform/win/WinWindowState.h"
#include "shell/MainWindowProc.h"
#include "shell/SceneManager.h"
#include "shell/SettingsRecords.h"
#include "shell/ShellGlobals.h"
#include "shell/SystemIni.h"
#include "shell/DialogResources.h"
#include "shell/WindowList.h"
#include "shell/cHook.h"
#include "shell/cStartDialog.h"

cBootSettings BootSettings;
cWindowPlacement WindowPlacement;
cOptionData OptionData;

namespace {

const char* const StandardFolders[22] = {
    "user_data", "user_data\\story", "user_data\\challenge", "user_data\\free", "user_data\\rpl4",
    "data", "data\\database", "data\\stg4", "data\\stg4\\old_ver", "data\\work", "data\\plt4",
    "bmp", "bmp\\back", "bmp\\chara_sp", "bmp\\effect", "bmp\\picture", "bmp\\sword",
    "bmp\\convert", "bmp\\plt", "bmp\\hbt", "wave", "bgm"};

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;

constexpr DWORD MainWindowStyle =
    static_cast<DWORD>(WS_POPUP) | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

HANDLE hMutex = nullptr;

void CloseMutex()
{
    if (hMutex == nullptr) return;
    ReleaseMutex(hMutex);
    CloseHandle(hMutex);
    hMutex = nullptr;
}

// Keeps deleted flows while the editor test-plays, as well as when the project says so.
bool KeepDeletedFlowsInPlayer()
{
    return bTestPlay.load() != 0 || g_System.m_bKeepDeletedFlows != 0;
}

int32_t DesktopBpp(HWND hwnd)
{
    HDC dc = GetDC(hwnd);
    const int32_t bpp = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(hwnd, dc);
    return bpp;
}

// Window flag, vertical sync and colour depth from "System.ini" and the project settings.
bool ResolveDisplayMode(HWND hwnd)
{
    SYSTEMINI& ini = SystemIni;
    if (ini.Direct3D == 1) {
        bWindowMode = ini.WindowMode != 0 ? 1 : 0;
        if (ini.VSync >= 2) ini.VSync = 1;
    } else if (ini.WindowMode != 0) {
        bWindowMode = 1;
        ini.VSync = 0;
    } else {
        bWindowMode = 0;
        if (ini.VSync >= 2) ini.VSync = IsOsAtLeast(6, 0) ? 0 : 1;
    }
    const int32_t desktop = DesktopBpp(hwnd);
    if (ini.Bpp == 0) {
        if (bWindowMode.load() != 0)
            ini.Bpp = desktop;
        else if (ini.Direct3D == 1)
            ini.Bpp = g_System.m_nDepthFullColour == 1 ? 16 : 32;
        else if (g_System.m_nDepthPalette == 1)
            ini.Bpp = 16;
        else if (g_System.m_nDepthPalette == 2 && g_System.m_bFullColour == 0)
            ini.Bpp = 8;
        else
            ini.Bpp = 32;
    }
    const bool bCommon = ini.Bpp == 16 || ini.Bpp == 32;
    const bool bAllowed = bCommon || (ini.Direct3D != 1 && ini.Bpp == 8 && bWindowMode.load() == 0 &&
                                      g_System.m_bFullColour == 0);
    if (bWindowMode.load() != 0 && bCommon && ini.Bpp != desktop) {
        ErrorBoxF("画面モードが不正です！\nウインドウモードではSystem.iniの設定と画面の色の設定を合わせて下さい！");
        return false;
    }
    if (!bAllowed || (bWindowMode.load() != 0 && ini.Bpp != desktop)) {
        ErrorBoxF("画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！");
        return false;
    }
    return true;
}

bool StartGraphics(HWND hwnd, int& nCmdShow)
{
    SYSTEMINI& ini = SystemIni;
    const int32_t bVSync = ini.VSync != 0 ? 1 : 0;
    bool bOk = DDInit(ini.Direct3D, hwnd, 640, 480, ini.Bpp, bVSync, bWindowMode.load(), 1, 60, bVSync,
                      SystemSurfaces, BitmapFileTable, SystemSurfaceCount, 0);
    if (!bOk && ini.Direct3D == 1) {
        DDUnInit();
        ini.Direct3D = 0;
        ShowWindow(hwnd, ini.WindowMode != 0 ? nCmdShow : SW_MAXIMIZE);
        bOk = DDInit(0, hwnd, 640, 480, ini.Bpp, bVSync, bWindowMode.load(), 1, 60, bVSync, SystemSurfaces,
                     BitmapFileTable, SystemSurfaceCount, 0);
    }
    if (!bOk) {
        WriteTraceLog("DDInit失敗");
        return false;
    }
    if (ini.Direct3D == 1 && lpDTCon != nullptr) {
        lpDTCon->strTextureError =
            "テクスチャの作成に失敗しました！\nビデオカードの性能が十分ではないかもしれません。\n"
            "System.iniファイルで「Direct3D=0」に変更してDirect3Dを無効にすれば改善される可能性があります。";
        LinkMirrorSurfaces();
    }
    if (ini.WindowMode != 0 && WindowPlacement.LoadFromFile("user_data\\Window.dat")) {
        MainWindow.MoveWindowTo(WindowPlacement.m_nX, WindowPlacement.m_nY);
        if (ini.Direct3D == 1 && ini.WindowMode == 2) MainWindow.SetClientSize(WindowPlacement.m_nWidth, WindowPlacement.m_nHeight);
        if (WindowPlacement.m_bMaximised != 0) nCmdShow = SW_SHOWMAXIMIZED;
    }
    ShowWindow(hwnd, (ini.Direct3D == 1 || bWindowMode.load() != 0) ? nCmdShow : SW_SHOWMAXIMIZED);
    WriteDisplayReport(1);
    WriteTraceLog("DDInit成功");
    return true;
}

}  // namespace

// Every back end and depth needs the palette and the transparent colour: without them a
// true-colour DirectDraw display would show every sprite's transparent colour.
bool LoadPaletteAndColourKey()
{
    if (!DDLoadPaletteFromFile(ColorPalette, BitmapFileTable[0].szFileName, bWindowMode.load())) {
        WriteTraceLog("DDLoadPaletteFromFile失敗");
        return false;
    }
    std::memcpy(ColorPaletteWork, ColorPalette, sizeof(ColorPaletteWork));
    if (g_System.m_bFullColour == 0 || nBpp == 16) {
        if (!SetTrans(BitmapFileTable[0].szFileName)) {
            WriteTraceLog("DDSetTransmit失敗");
            return false;
        }
        if (g_System.m_bFullColour != 0) {
            RGBTRIPLE key{g_System.m_byTransBlue, g_System.m_byTransGreen, g_System.m_byTransRed};
            if (lpDTCon != nullptr) lpDTCon->rgbColorKey = key;
            if (lpDDCon != nullptr) lpDDCon->rgbTransmit = key;
        }
    } else {
        DDSetTransmit(g_System.m_byTransRed, g_System.m_byTransGreen, g_System.m_byTransBlue);
    }
    return true;
}

bool StartFonts()
{
    const std::string& face = GetFontFaceName(g_System.m_nFontFace);
    for (FontDesc& desc : DefaultFontDescs) {
        std::memset(desc.szFaceName, 0, sizeof(desc.szFaceName));
        std::strncpy(desc.szFaceName, face.c_str(), sizeof(desc.szFaceName) - 1);
        if (desc.nGlyphCache == 2)
            desc.nGlyphCache = SystemIni.Direct3D == 1 ? SystemIni.D3D_FontCache : SystemIni.DD_FontCache;
    }
    if (!CreateFontTable(FontTable, DefaultFontDescs, FONT_COUNT)) return false;
    FontTable[1].m_bCentre = g_System.m_bCentreGlyphs;
    FontTable[1].m_bLetterPictures = g_System.m_bLetterPictures;
    if (!CreateDigitSurfaces(FontDigitStrips, DefaultDigitStripDescs, FONT_COUNT, FontTable, DefaultFontDescs))
        return false;
    WriteTraceLog("3");
    return true;
}

namespace {

void BuildSoundTables()
{
    const size_t nSounds = g_Database.m_vSound.size();
    const size_t nEntries = nSounds + 16;
    SoundDescTable.assign(nEntries, DSSOUNDDESC{});
    SoundTable.assign(nEntries, DSSOUNDDATA{});
    for (size_t k = 0; k < nEntries; ++k) {
        const std::string* lpFile = nullptr;
        if (k <= 16) {
            if (k < g_System.m_vSoundFile.size()) lpFile = &g_System.m_vSoundFile[k];
        } else if (k - 16 < nSounds) {
            lpFile = &g_Database.m_vSound[k - 16].m_strFile;
        }
        DSSOUNDDESC& desc = SoundDescTable[k];
        if (lpFile != nullptr) std::strncpy(desc.m_szFile, lpFile->c_str(), sizeof(desc.m_szFile) - 1);
        desc.m_nBufferCount = 1;
        desc.m_nVolume = 0;
        desc.m_nUnused = 1;
    }
}

// The stage named by the command line or "FreeStage", when start-up plays one directly.
bool StartDirectStage()
{
    if (SystemIni.FreeStage[0] == 0) return true;
    char szLatest[260];
    std::strcpy(szLatest, SystemIni.FreeStage);
    FindLatestNumberedFile(szLatest, SystemIni.FreeStage, "stg4");
    if (GetFileAttributes(szLatest) == INVALID_FILE_ATTRIBUTES) {
        WriteReportTrace("「%s」の読み込みに失敗しました！", szLatest);
        SystemIni.FreeStage[0] = 0;
        return true;
    }
    std::strcpy(SystemIni.FreeStage, szLatest);
    bDirectStage = 1;
    if (!StartStageFile(SystemIni.FreeStage, 1)) return false;
    if (!HasSceneFactory(kSceneStagePlay)) {
        // Loaded, but there is no stage play to start it in: the title is shown instead of an
        // empty screen.
        WriteReportTrace("「%s」: stage play cannot be made; the title is shown", SystemIni.FreeStage);
        bDirectStage = 0;
        SystemIni.FreeStage[0] = 0;
        return true;
    }
    SceneManager.GameMode = 2;
    SceneManager.ModeHasRanking = 1;
    SceneManager.TitleChoice = 3;
    SceneManager.CurrentScene = kSceneStagePlay;
    SceneManager.PreviousScene = kSceneTitle;
    return true;
}

// The drawing-mode choice; false when the player stopped the game there.
bool RunStartDialog()
{
    STARTDIALOGBINDING binding;
    binding.lpDrawingMode = &BootSettings.m_nDrawingMode;
    binding.lpNoAskAgain = &BootSettings.m_bDontAsk;
    binding.lpRecord = &BootSettings;
    cStartDialog* lpDialog = nullptr;
    try {
        lpDialog = new cStartDialog(kStartDialogResource, &MainWindow, 1, &WindowList, binding, g_System.m_strGameTitle,
                                    SystemIni.English);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
        return false;
    }
    const INT_PTR nCode = lpDialog->DoModal(0);
    DeleteWindowObject(&lpDialog);
    return nCode != 0;
}

// Starts thGame and posts to it until its queue takes the post, so that every later WM_QUIT
// reaches it. False when the thread cannot be made.
bool StartGameThread()
{
    if (!thGame.Start(GameLoop, nullptr)) return false;
    while (!PostThreadMessage(thGame.m_dwThreadId, THREAD_START_MESSAGE, 0, 0)) {
        // A new thread takes posts once its queue exists; one that has already ended never will.
        if (WaitForSingleObject(thGame.m_hThread.load(), 0) != WAIT_TIMEOUT) return false;
    }
    return true;
}

}  // namespace

bool InitGame(const char* lpCmdLine, int nCmdShow)
{
    HWND hwnd = MainWindow.m_hWnd;
    timeBeginPeriod(1);
    GameSrand(timeGetTime());
    g_nDataVersion = 751;
    g_bStripCR = 1;
    BuildCommandParamTable();
    if (!CheckDataFolder(hwnd)) {
        WriteReportTraceBox("「data」フォルダの作成に失敗…\n「default」フォルダに問題がある可能性があります。");
        return false;
    }
    for (const char* lpFolder : StandardFolders) CreateDirectory(lpFolder, nullptr);
    if (!g_Database.LoadDatabase()) {
        WriteReportTraceBox("データベースの読み込みに失敗…");
        return false;
    }
    g_RecordReferences.lpfnKeepDeletedFlows = KeepDeletedFlowsInPlayer;
    CopyEffectWorkLists();
    BuildAnimePatterns(g_AnimePatternTable);
    BuildEffectTable(g_EffectPatternTable);
    BuildCharaEffectTables(g_CharaEffectTable, g_CharaEffectTableReversed);
    BuildScreenEffectTables(g_ScreenEffectTable, g_ScreenEffectTableReversed);
    if (!g_System.LoadFromFile("data\\System.dat")) {
        WriteReportTraceBox("%s の読み込みに失敗…", "data\\System.dat");
        return false;
    }
    SetSystemIniDefaults(SystemIni, g_System.m_vOption);
    if (!ReadSystemIni("System.ini", SystemIni, g_System.m_vOption)) {
        WriteReportTraceBox("System.ini の読み込みに失敗しました！");
        SetSystemIniDefaults(SystemIni, g_System.m_vOption);
    }
    if (SystemIni.Direct3D >= 2) {
        BootSettings.LoadFromFile("user_data\\Boot.dat");
        if (BootSettings.m_bDontAsk == 0 && !RunStartDialog()) return false;
        SystemIni.Direct3D = BootSettings.m_nDrawingMode == 1 ? 1 : 0;
    }
    if (lpCmdLine != nullptr && lpCmdLine[0] != 0) {
        const size_t nLength = std::strlen(lpCmdLine);
        if (nLength < sizeof(SystemIni.FreeStage)) {
            std::memcpy(SystemIni.FreeStage, lpCmdLine, nLength + 1);
        } else {
            // No stage file name is that long; playing a cut name could start the wrong file.
            WriteReportTrace("「%s」の読み込みに失敗しました！", lpCmdLine);
            SystemIni.FreeStage[0] = 0;
        }
    }
    SceneManager.FrameRate = 60;
    SceneManager.FadeSpeed = 10;
    for (cKeyInput& input : InputStates) input.SetAutoRepeat(18, 6);
    if (!ResolveDisplayMode(hwnd)) return false;
    if (SystemIni.Direct3D == 1 && SystemIni.WindowMode == 2) MainWindow.AddWindowStyle(WS_THICKFRAME);
    hMainWnd = hwnd;
    SetWindowText(hwnd, g_System.m_strGameTitle.c_str());
    if (SystemIni.Bpp == 8) SystemIni.DD_VideoStretch = 0;
    if (!StartGraphics(hwnd, nCmdShow)) return false;
    if (!LoadPaletteAndColourKey()) return false;
    WriteTraceLog("1");
    if (SystemIni.Direct3D == 0) {
        if (bWindowMode.load() != 0) {
            bTimerPacing = 1;
        } else {
            DWORD dwRefresh = 0;
            if (lpDD != nullptr) lpDD->GetMonitorFrequency(&dwRefresh);
            bTimerPacing = (SystemIni.VSync == 0 || static_cast<int32_t>(dwRefresh) < SceneManager.FrameRate.load()) ? 1 : 0;
        }
    }
    const int32_t debugSurface[1] = {1};
    if (!DDLoadBitmapTable(SystemSurfaces, debugSurface, 1)) return false;
    if (!StartFonts()) return false;
    for (cKeyInput& input : InputStates) input.ResetJoyButtonMap();
    if (!ReadKeyConfigFile("user_data\\KeyConfig.dat", KeyConfig)) DefaultKeyConfig(KeyConfig);
    OptionData.LoadFromFile("user_data\\Option.dat");
    if (nBpp == 8 && !LoadHbtPalette(OptionData.nPalettePattern)) return false;
    if (OptionData.bBgm != 0) BgmManager.InitBgm(1, BgmOggFiles, BgmMidFiles, 5);
    BuildSoundTables();
    if (!DS_Init(hwnd, 22050, 8, 1)) {
        WriteTraceLog("DS_Init失敗！");
        return false;
    }
    DS_CreateSounds(&SoundTable, &SoundDescTable, VolumeOfLevel(OptionData.nVolume));
    if (!g_WorldMap.LoadFromFile(ProjectPathTable[13])) {
        WriteReportTraceBox("%s のロードに失敗！", ProjectPathTable[13]);
        return false;
    }
    if (!g_CommonPalette.LoadFromFile(ProjectPathTable[7])) {
        WriteReportTraceBox("%s のロードに失敗！", ProjectPathTable[7]);
        return false;
    }
    WriteTraceLog("4");
    return StartDirectStage();
}

void UnInitGame()
{
    if (bGraphicsUp.load() != 0) {
        if (FontTable[0].m_lpFastFont_FullAdd != nullptr)
            WriteReportLog("Font10 : %d", FontTable[0].m_lpFastFont_FullAdd->m_nCount);
        if (FontTable[1].m_lpFastFont_FullAdd != nullptr)
            WriteReportLog("Font16 : %d", FontTable[1].m_lpFastFont_FullAdd->m_nCount);
    }
    timeEndPeriod(1);
    DS_UnInit();
    BgmManager.ReleaseBgm();
    SceneManager.DeleteAllScenes();
    for (cFont& font : FontTable) ReleaseFont(&font);
    for (DDSURFACEDATA& strip : FontDigitStrips) DDReleaseSurface(&strip);
    DDUnInit();
    RemoveHooks();
}

unsigned GameLoop(void*)
{
    MSG msg;
    for (;;) {
        if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                WriteTraceLogF("GameLoop WM_QUIT!");
                return 1;
            }
            continue;
        }
        if (bAppActive.load() == 0) {
            Sleep(1);
            continue;
        }
        if (!SceneManager.GameFrame()) {
            PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
            return 1;
        }
    }
}

int WinMain(HINSTANCE instance, HINSTANCE, char* lpCmdLine, int nCmdShow)
{
    if (!OpenProgramLogs()) return 0;
    bTestPlay = nCmdShow == TestPlayShowCommand ? 1 : 0;
    hMutex = CreateMutex(nullptr, 0, "ゲーム");
    if (hMutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        // "No" is the default: Enter, or a run that nobody answers, ends this start and never the
        // copy that is running (and may hold an unsaved game).
        const int answer = MessageBoxA(nullptr,
                                       "既に起動しています。\n実行中のプログラムを閉じて再起動しますか？\n\nRunning this program now. Restart?",
                                       "二重起動", MB_YESNO | MB_DEFBUTTON2);
        if (answer != IDYES) {
            CloseMutex();
            return 0;
        }
        if (HWND hOther = FindWindow("Quillmoor", nullptr)) {
            DWORD dwProcessId = 0;
            GetWindowThreadProcessId(hOther, &dwProcessId);
            HANDLE hProcess = OpenProcess(PROCESS_ALL_ACCESS, 0, dwProcessId);
            if (hProcess == nullptr) {
                MessageBoxA(nullptr, "プログラムの終了に失敗しました。", "二重起動", MB_OK);
                CloseMutex();
                return 0;
            }
            TerminateProcess(hProcess, 0);
            WaitForSingleObject(hProcess, 500);
            CloseHandle(hProcess);
        }
    }
    hInstance = instance;
    WNDCLASSEX wc{sizeof(WNDCLASSEX), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, StaticWndProc, instance, "Quillmoor"};
    if (RegisterClassEx(&wc) == 0) {
        CloseMutex();
        return 0;
    }
    MainWindow.SetWindowGeometry(640, 480, 100, 100, 640, 480, MainWindowStyle, 0, 0, 0, 0, 0);
    HWND hwnd = CreateWindowEx(0, "Quillmoor", "", MainWindowStyle, 100, 100, MainWindow.m_nOuterW,
                               MainWindow.m_nOuterH, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        ErrorBox("ウインドウが生成出来ません！");
        CloseMutex();
        return 0;
    }
    MainWindow.m_hWnd = hwnd;
    MainWindow.CenterOnDesktop();
    WriteTraceLogF("G");
    if (bTestPlay.load() != 0) NotifyEditorStart();
    WriteTraceLogF("H");
    if (!InitGame(lpCmdLine, nCmdShow)) {
        UnInitGame();
        if (bTestPlay.load() != 0) NotifyEditorExit(0);
        CloseMutex();
        return 0;
    }
    bInitDone = 1;
    WriteTraceLogF("I");
    if (!StartGameThread()) {
        // Without the game thread nothing would ever draw or end the program: shut down as after
        // a failed start-up, with the reason on record.
        bInitDone = 0;
        WriteReportTraceBox("ゲームスレッドの起動に失敗しました！");
        UnInitGame();
        if (bTestPlay.load() != 0) NotifyEditorExit(0);
        CloseMutex();
        return 0;
    }
    WriteTraceLogF("J");
    MSG msg{};
    for (;;) {
        if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        } else if (bAppActive.load() == 0) {
            WaitMessage();
        }
        Sleep(1);
    }
    UnInitGame();
    WriteTraceLogF("UnInitGame後");
    CloseMutex();
    WriteTraceLogF("ReleaseMutex後");
    return static_cast<int>(msg.wParam);
}
