// The game frame and the scene switch. Scenes never call each other: a leaving scene writes the
// next id into CurrentScene, and the next frame deletes it and makes the new one.
#include "shell/SceneManager.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "core/CheckedAccess.h"
#include "core/FrameTiming.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/MessageBox.h"
#include "data/EdSystem.h"
#include "media/graphics/BitmapTable.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDEffects.h"
#include "media/graphics/DDPalette.h"
#include "media/graphics/DDPresent.h"
#include "media/graphics/DeviceRestore.h"
#include "media/graphics/GraphicsState.h"
#include "media/input/KeyConfig.h"
#include "media/text/Font.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinThread.h"
#include "shell/MainWindowProc.h"
#include "shell/ShellGlobals.h"
#include "shell/SystemIni.h"

cSceneManager SceneManager;
std::atomic<cScene*> lpStagePlayScene{nullptr};
BLINKCOLOUR BlinkColours[10];
FPSRING FpsRing;

namespace {

SceneFactory SceneFactories[SceneCount] = {};

// The pulse state of CyclePalette: touched by one frame-running thread at a time.
int32_t PulseValue[10];
int32_t PulseDirection[10];
int32_t PulsePhase = 0;
int32_t PaletteRotateCount = 0;

bool Direct3DActive()
{
    return lpDTCon != nullptr;
}

bool DirectDrawActive()
{
    return lpDTCon == nullptr && lpDD != nullptr;
}

bool StagePlaysAbove60()
{
    return lpStagePlayScene.load() != nullptr && SceneManager.FrameRate.load() > 60;
}

bool RestoreSurface(DDSURFACEDATA& sd)
{
    if (sd.lpDDraw == nullptr || sd.lpDDraw->lpDDSurface == nullptr) return true;
    IDirectDrawSurface7* surface = sd.lpDDraw->lpDDSurface;
    if (surface->IsLost() != DDERR_SURFACELOST) return true;
    surface->Restore();
    if (sd.dwMemoryType == 0) {
        sd.bLost = 1;
        if (!DDReloadSurface(&sd, nBpp)) return false;
    }
    return true;
}

}  // namespace

void RegisterSceneFactory(int32_t nId, SceneFactory lpfnMake)
{
    if (nId >= 0 && nId < SceneCount) SceneFactories[nId] = lpfnMake;
}

bool HasSceneFactory(int32_t nId)
{
    return nId >= 0 && nId < SceneCount && SceneFactories[nId] != nullptr;
}

cSceneManager::~cSceneManager()
{
    DeleteAllScenes();
}

cScene* cSceneManager::Scene(int32_t nId) const
{
    return nId >= 0 && nId < SceneCount ? m_lpScenes[nId] : nullptr;
}

void cSceneManager::UpdateScene(int32_t nId)
{
    static const int32_t DeleteOrder[SceneCount] = {0, 2, 1, 3, 4, 5};
    for (int32_t id : DeleteOrder) {
        if (id == nId || m_lpScenes[id] == nullptr) continue;
        cScene* lpScene = m_lpScenes[id];
        m_lpScenes[id] = nullptr;
        // Readers of the play state must never see a deleted scene.
        if (id == kSceneStagePlay) lpStagePlayScene = nullptr;
        delete lpScene;
    }
    if (nId < 0 || nId >= SceneCount || m_lpScenes[nId] != nullptr) return;
    if (SceneFactories[nId] == nullptr) return;
    cScene* lpScene = nullptr;
    try {
        lpScene = SceneFactories[nId]();
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
        return;
    } catch (const char* lpText) {
        TraceAndClose(hMainWnd.load(), "%s", lpText);
        return;
    }
    m_lpScenes[nId] = lpScene;
    if (nId == kSceneStagePlay) lpStagePlayScene = lpScene;
}

void cSceneManager::DeleteAllScenes()
{
    static const int32_t MemberOrder[SceneCount] = {0, 1, 2, 3, 5, 4};
    for (int32_t id : MemberOrder) {
        cScene* lpScene = m_lpScenes[id];
        m_lpScenes[id] = nullptr;
        if (id == kSceneStagePlay) lpStagePlayScene = nullptr;
        delete lpScene;
    }
}

int cSceneManager::GameFrame()
{
    WaitFrame();
    StartStopwatch();
    if (DirectDrawActive() && !RestoreLostSurfaces()) return 0;
    PollFrameInput(InputStates);
    const int32_t nId = CurrentScene.load();
    UpdateScene(nId);
    if (cScene* lpScene = Scene(nId)) lpScene->RunFrame();
    const int32_t nFps = CountFps(true);
    const uint32_t dwUpdate = ReadStopwatch(true);
    if (SystemIni.ShowFps != 0) {
        FpsRing.dwTimes[FpsRing.nIndex] = dwUpdate;
        if (++FpsRing.nIndex >= 16) {
            FpsRing.nIndex = 0;
            uint32_t dwSum = 0;
            for (uint32_t t : FpsRing.dwTimes) dwSum += t;
            FpsRing.dwMean = dwSum >> 4;
        }
        const int32_t nMean = static_cast<int32_t>(FpsRing.dwMean);
        if (SystemIni.ShowFps == 2)
            FontPrintf(&FontTable[0], &BackBuffer, 549, 469, "FPS%2d(%2d)", nFps, nMean);
        else
            FontPrintfInBox(&FontTable[1], &BackBuffer, 495, 463, 0, 0, "FPS%2d(%2d)", nFps, nMean);
    }
    PresentFrame();
    return 1;
}

void WaitFrame()
{
    if (!DirectDrawActive()) return;
    while (!FrameGate(SceneManager.FrameRate.load())) Sleep(1);
}

void PresentFrame()
{
    if (Direct3DActive()) {
        if (DDFlip(SceneManager.FrameRate.load()) == 0) SendMessage(hMainWnd.load(), UM_RESTOREDEVICE, 0, 0);
        return;
    }
    if (!DirectDrawActive() || PrimarySD.lpDDraw == nullptr || BackBuffer.lpDDraw == nullptr) return;
    IDirectDrawSurface7* lpPrimary = PrimarySD.lpDDraw->lpDDSurface;
    IDirectDrawSurface7* lpBack = BackBuffer.lpDDraw->lpDDSurface;
    if (lpPrimary == nullptr || lpBack == nullptr) return;
    if (bWindowMode.load() != 0) {
        if (!StagePlaysAbove60()) lpDD->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
        RECT rcDest = rcClient;
        lpPrimary->Blt(&rcDest, lpBack, nullptr, DDBLT_WAIT, nullptr);
    } else if (bTimerPacing.load() == 0 && !StagePlaysAbove60()) {
        lpPrimary->Flip(nullptr, DDFLIP_WAIT);
    } else {
        DDBlt(&PrimarySD, 0, 0, 640, 480, &BackBuffer, 0, 0, 0);
    }
}

int RestoreLostSurfaces()
{
    if (!DirectDrawActive()) return 1;
    if (PrimarySD.lpDDraw == nullptr || PrimarySD.lpDDraw->lpDDSurface == nullptr) return 1;
    if (PrimarySD.lpDDraw->lpDDSurface->IsLost() != DDERR_SURFACELOST) return 1;
    DDRestore();
    bool bOk = true;
    auto restoreVector = [&bOk](DDSurfaceVector& v) {
        v.ForEach([&bOk](DDSURFACEDATA& sd) {
            if (bOk && !RestoreSurface(sd)) bOk = false;
        });
    };
    auto restoreList = [&bOk](DDSurfaceList& l) {
        for (DDSURFACEDATA& sd : l)
            if (bOk && !RestoreSurface(sd)) bOk = false;
    };
    restoreVector(StageCharaSurfaces);
    if (bOk) restoreVector(StageEffectSurfaces);
    if (bOk) restoreVector(StageSwordSurfaces);
    if (bOk) restoreList(PictureSurfaces);
    if (bOk) restoreVector(ScenePictures);
    if (bOk) restoreList(Off_Msg);
    if (!bOk) return 0;
    for (int32_t i = 0; i < FONT_COUNT; ++i) {
        DDSURFACEDATA& sd = FontDigitStrips[i];
        if (sd.lpDDraw == nullptr || sd.lpDDraw->lpDDSurface == nullptr) continue;
        if (sd.lpDDraw->lpDDSurface->IsLost() != DDERR_SURFACELOST) continue;
        sd.lpDDraw->lpDDSurface->Restore();
        if (sd.dwMemoryType == 0) DrawDigitStrip(&sd, &FontTable[i]);
    }
    if (!Off_Msg.empty())
        WriteTraceLogF("if ( !RestoreSurface(Off_Msg) ) Off_Msg[0].bLost = %d", Off_Msg.front().bLost);
    return 1;
}

void PollFrameInput(std::vector<cKeyInput>& states)
{
    cKeyInput& player1 = CheckedAt(states, 0);
    if (KeyConfig.bUseConfig != 0)
        player1.PollConfiguredInput(1, 60);
    else
        player1.PollInput(0, 3, 60);
}

int LoadHbtPalette(int32_t nPattern)
{
    if (!DirectDrawActive() || nBpp != 8) return 1;
    // A damaged option file must not pick a table beyond the 24 patterns.
    if (nPattern < 0 || nPattern > 23) nPattern = 0;
    char szFile[64];
    std::snprintf(szFile, sizeof(szFile), "bmp\\hbt\\hbt%02d.dat", static_cast<int>(nPattern));
    if (!DDLoadTableFile(BlendTable, szFile)) {
        ErrorBoxF("%s の読み込みに失敗！", szFile);
        return 0;
    }
    if (!DDLoadPaletteFromFile(ColorPalette, BitmapFileTable[0].szFileName, bWindowMode.load())) {
        WriteTraceLog("DDLoadPaletteFromFile失敗");
        return 0;
    }
    if (nPattern <= 11) {
        DDRotatePalette(ColorPalette, 16, 207, nPattern * 16, 1, ColorPalette);
    } else {
        PALETTEENTRY block[16];
        std::memcpy(block, &ColorPalette[(nPattern - 11) * 16], sizeof(block));
        for (int32_t copy = 0; copy < 12; ++copy) std::memcpy(&ColorPalette[16 + copy * 16], block, sizeof(block));
    }
    std::memcpy(ColorPaletteWork, ColorPalette, sizeof(ColorPaletteWork));
    if (lpDDPalette != nullptr) lpDDPalette->SetEntries(0, 0, 255, ColorPalette);
    return 1;
}

int PingPong(int32_t& nValue, int32_t& nDirection, int32_t nStep, int32_t nLow, int32_t nHigh)
{
    if (nDirection == 0) {
        nValue += nStep;
        if (nValue >= nHigh) {
            nValue -= nStep;
            nDirection = 1;
        }
        return 0;
    }
    nValue -= nStep;
    if (nValue <= nLow) {
        nValue += nStep;
        nDirection = 0;
        return 1;
    }
    return 0;
}

void CyclePalette()
{
    if (Direct3DActive()) {
        const int32_t nStep = g_System.m_nPaletteCycleStep;
        auto argb = [](uint32_t r, uint32_t g, uint32_t b) { return 0xFF000000u | (r << 16) | (g << 8) | b; };
        for (int32_t i = 1; i <= 9; ++i) {
            const uint32_t v = static_cast<uint32_t>(PulseValue[i]) & 0xFF;
            const int turned = PingPong(PulseValue[i], PulseDirection[i], nStep, 0, 255);
            BLINKCOLOUR& c = BlinkColours[i];
            c.nColorOp = 7;
            switch (i) {
            case 1: c.dwDiffuse = argb(v, v, v); break;
            case 2: c.dwDiffuse = argb(v, v, v); c.nColorOp = 10; break;
            case 3: c.dwDiffuse = argb(v, 0, 0); break;
            case 4: c.dwDiffuse = argb(0, v, 0); break;
            case 5: c.dwDiffuse = argb(0, 0, v); break;
            case 6: c.dwDiffuse = argb(v, v, 0); break;
            case 7: c.dwDiffuse = argb(v, 0, v >> 2); break;
            case 8: c.dwDiffuse = argb(v >> 2, 0, v); break;
            default:
                switch (PulsePhase) {
                case 0: c.dwDiffuse = argb(v, 0, 0); break;
                case 1: c.dwDiffuse = argb(0, v, 0); break;
                case 2: c.dwDiffuse = argb(0, 0, v); break;
                default: c.dwDiffuse = argb(v, v, 0); break;
                }
                if (turned == 1) PulsePhase = (PulsePhase + 1) & 3;
                break;
            }
        }
        return;
    }
    if (g_System.m_bPaletteCycle == 0 || nBpp != 8) return;
    if (++PaletteRotateCount < 6) return;
    PaletteRotateCount = 0;
    for (int32_t k = 0; k < 8; ++k)
        DDRotatePalette(ColorPaletteWork, 208 + 4 * k, 211 + 4 * k, 1, 1, ColorPaletteWork);
    if (lpDDPalette != nullptr) lpDDPalette->SetEntries(0, 208, 32, &ColorPaletteWork[208]);
}
