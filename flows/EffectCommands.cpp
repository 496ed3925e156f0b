// The effect command (29) and the picture command (32), also item commands 14 and 17. Either can
// stop the game while it plays: the pause thread then keeps the stage drawn until it ends.
#include "flows/EffectCommands.h"

#include <cmath>
#include <cstring>
#include <string>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/MessageBox.h"
#include "data/EdCommand.h"
#include "data/EdDatabase.h"
#include "data/EdEffect.h"
#include "data/EdMediaEntry.h"
#include "flows/EffectObject.h"
#include "flows/FlowInstance.h"
#include "flows/PictureObject.h"
#include "flows/StatusOps.h"
#include "media/graphics/BitmapTable.h"
#include "media/graphics/DisplayReport.h"
#include "media/graphics/GraphicsState.h"
#include "objects/CharaBase.h"
#include "shell/ShellGlobals.h"
#include "stage/DisplayLoops.h"
#include "stage/PlayState.h"

namespace {

int32_t Param(const cEdCommand& cmd, size_t i)
{
    return i < cmd.m_vParam.size() ? cmd.m_vParam[i] : 0;
}

int32_t RoundHalfAway(double d)
{
    const double r = d < 0.0 ? -std::floor(-d + 0.5) : std::floor(d + 0.5);
    if (!std::isfinite(r) || r >= 2147483647.0) return r < 0.0 ? INT32_MIN : INT32_MAX;
    if (r <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(r);
}

bool VideoMemoryLow()
{
    int32_t nFree = 0, nTotal = 0;
    GetVideoMemory(&nFree, &nTotal);
    return nTotal > 0 && static_cast<int64_t>(nFree) * 5 < nTotal;
}

// The game thread waits while the pause thread draws the stage.
void WaitOnPauseThread(cPlayState& state)
{
    if (thPause.Start(NestedDisplayLoop, &state)) thPause.Join();
}

}  // namespace

int32_t WorkEffect(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpCmd == nullptr || lpState->m_bClosing.load() != 0) return 0;
    const cEdCommand& cmd = *lpCmd;
    const int32_t nEffect = Param(cmd, 0);
    if (nEffect == 0) {
        for (auto it = lpState->m_EffectList.begin(); it != lpState->m_EffectList.end();)
            it = lpState->m_EffectList.Remove(it);
        return 0;
    }
    const cEdEffect& record = CheckedAt(g_Database.m_vEffect, nEffect);
    const int32_t nScale = Param(cmd, 6);
    const int32_t w = RoundHalfAway(static_cast<double>(nScale) * record.m_nCellWidth * 0.01);
    const int32_t h = RoundHalfAway(static_cast<double>(nScale) * record.m_nCellHeight * 0.01);
    double x = 0.0, y = 0.0;
    EffectPosition(x, y, w, h, lpObject, Param(cmd, 1), Param(cmd, 2), Param(cmd, 3), Param(cmd, 4), Param(cmd, 5));
    const int32_t bWait = Param(cmd, 7);
    lpState->m_EffectList.Append(cEffectObject(nEffect, x, y, w, h, bWait));

    if (bWait != 0) {
        // The whole animation, in frames; a damaged record cannot make the sum wrap.
        int64_t nTotal = 0;
        for (const cEdEffectEntry& frame : record.m_vFrames) nTotal += static_cast<int64_t>(frame.m_nTime) * 6;
        if (nTotal > INT32_MAX) nTotal = INT32_MAX;
        if (nTotal < 0) nTotal = 0;
        lpState->SetPauseWait(2, 0, static_cast<int32_t>(nTotal), 0);
        WaitOnPauseThread(*lpState);
    }
    return 0;
}

int32_t WorkPicture(cCharaBase* lpObject, cEdCommand* lpCmd)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpCmd == nullptr || lpState->m_bClosing.load() != 0) return 0;
    const cEdCommand& cmd = *lpCmd;
    auto p = [&cmd](size_t i) { return Param(cmd, i); };
    const int32_t nPicture = p(0);
    cStageList<cPictureObject>& pictures = lpState->m_PictureList;

    if (nPicture == 0 && p(12) == 0) {
        // Every picture goes with its surface.
        for (auto it = pictures.begin(); it != pictures.end();) {
            it->ReleaseSurface();
            it = pictures.Remove(it);
        }
        return 0;
    }
    // A picture with this ID is replaced where it stands in the list, or closed.
    cPictureObject* lpFound = nullptr;
    if (p(12) != 0) {
        for (cPictureObject& picture : pictures)
            if (picture.m_bUsesId != 0 && picture.m_nId == p(13)) {
                lpFound = &picture;
                break;
            }
        if (lpFound != nullptr) {
            lpFound->ReleaseSurface();
            if (nPicture == 0) {
                pictures.Remove(*lpFound);
                return 0;
            }
        } else if (nPicture == 0) {
            return 0;
        }
    }

    const cEdPicture& record = CheckedAt(g_Database.m_vPicture, nPicture);
    BITMAPFILEENTRY desc;
    std::memset(&desc, 0, sizeof(desc));
    std::strncpy(desc.szFileName, record.m_strFile.c_str(), sizeof(desc.szFileName) - 1);
    const int32_t nScale = p(7);
    int32_t nMemory = 1;
    if (nScale == 100 || EffectsStretchInVideoMemory()) nMemory = VideoMemoryLow() ? 1 : 0;

    PictureSurfaceDescs.push_back(desc);
    DDSURFACEDATA& surface = PictureSurfaces.emplace_back();
    const int32_t nResult = DDCreateSurfaceFromFile(&surface, desc.szFileName, 1, nBpp, nMemory, 0, 0, 0, 0, 0, 0);
    if (nResult != 0) {
        // The lists stay in step: the failed surface and its descriptor leave again.
        DDRemoveSurfaceFromList(PictureSurfaces, PictureSurfaceDescs, &surface);
        if (lpFound != nullptr) pictures.Remove(*lpFound);
        ErrorBoxF("%s 読み込み失敗！", desc.szFileName);
        WriteTraceLogF("%s 読み込み失敗！", desc.szFileName);
        PostCloseRequest();
        return 0;
    }

    const int32_t w = PercentOf(surface.nWidth, nScale), h = PercentOf(surface.nHeight, nScale);
    double x = 0.0, y = 0.0;
    EffectPosition(x, y, w, h, lpObject, p(1), p(2), p(3), p(4), p(5));
    const int32_t nFrames = p(14) != 0 ? 1 : p(9) * 6;
    cPictureObject* lpPicture = lpFound != nullptr ? lpFound : &pictures.AppendNew();
    lpPicture->Setup(nPicture, x, y, w, h, p(11), p(6), nScale, p(8), nFrames, p(10), p(12), p(13));
    lpPicture->m_lpSurface = &surface;

    if (p(10) == 0) return 0;
    switch (p(8)) {
    case 0: lpState->SetPauseWait(3, 1, 0, 0); break;
    case 2: lpState->SetPauseWait(3, 0, nFrames, 0); break;
    default:
        // Until the stage ends cannot be waited for here: the decision key ends the wait.
        lpState->SetPauseWait(3, 1, 0, 0);
        break;
    }
    WaitOnPauseThread(*lpState);
    // This command's own picture goes with its surface.
    lpPicture->ReleaseSurface();
    pictures.Remove(*lpPicture);
    return 0;
}

void CmdEffect(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst != nullptr && lpInst->m_lpCmd != nullptr) WorkEffect(lpObject, lpInst->m_lpCmd);
}

void CmdPicture(cCharaBase* lpObject, cCommandInstance* lpInst)
{
    if (lpInst != nullptr && lpInst->m_lpCmd != nullptr) WorkPicture(lpObject, lpInst->m_lpCmd);
}
