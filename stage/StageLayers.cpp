// The layers of the stage picture: scrolled background images, the block map, pictures, the
// status bar, the time-limit counter, the sight mask and the colour tone over everything.
#include "stage/StageLayers.h"
#include "objects/PlayNumbers.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/CheckedAccess.h"
#include "core/FrameTiming.h"
#include "core/MainWindow.h"
#include "core/MessageBox.h"
#include "core/Text.h"
#include "data/EdCommand.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "flows/FlowInstance.h"
#include "frontend/SaveData.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDBatch.h"
#include "media/graphics/DDBlitEffects.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDEffects.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "media/text/Font.h"
#include "objects/GraphicSource.h"
#include "shell/ShellGlobals.h"
#include "stage/BlockMap.h"
#include "stage/Conditions.h"
#include "stage/PlayState.h"
#include "stage/Player.h"
#include "stage/StageSounds.h"

namespace {

constexpr int32_t kScreenW = 640;
constexpr int32_t kScreenH = 480;
constexpr uint32_t kDark = 16;
constexpr int32_t kBackgroundSurface = 55;   // backgrounds 0..7
constexpr int32_t kBackgroundSurfaces = 8;
constexpr int32_t kBlockSheet = 2;
constexpr int32_t kBadgeSheet = 43;
constexpr int32_t kStatusBarSheet = 46;
constexpr int32_t kAccessorySheet = 49;
constexpr int32_t kDigitSheet = 51;
constexpr int32_t kLoopCap = 1000;

// The non-negative remainder of a by m (m > 0), whatever the sign and size of a.
int32_t PositiveMod(int64_t a, int32_t m)
{
    const int64_t r = a % m;
    return static_cast<int32_t>(r < 0 ? r + m : r);
}

// An offset wrapped into [0, size); a size of 0 (no picture) leaves nothing to wrap into.
double WrapOffset(double dOffset, int32_t nSize)
{
    if (nSize <= 0 || !std::isfinite(dOffset)) return 0.0;
    double d = std::fmod(dOffset, static_cast<double>(nSize));
    if (d < 0.0) d += nSize;
    if (d >= nSize) d = 0.0;
    return d;
}

DDSURFACEDATA* BackgroundSurface(size_t nIndex)
{
    if (nIndex >= static_cast<size_t>(kBackgroundSurfaces)) return nullptr;
    DDSURFACEDATA& sd = SystemSurfaces[kBackgroundSurface + nIndex];
    return sd.nWidth > 0 && sd.nHeight > 0 ? &sd : nullptr;
}

// Tiles the image over the whole target from (sx, sy) inside it.
void TileImage(DDSURFACEDATA* lpTarget, DDSURFACEDATA* lpImage, int64_t sx, int64_t sy, int32_t nFlags)
{
    const int32_t W = lpImage->nWidth, H = lpImage->nHeight;
    DDBeginDrawBatch(0);
    int32_t nSrcY = PositiveMod(sy, H);
    int32_t y = 0;
    for (int32_t nRow = 0; y < kScreenH && nRow < kLoopCap; ++nRow) {
        const int32_t h = H - nSrcY;
        int32_t nSrcX = PositiveMod(sx, W);
        int32_t x = 0;
        for (int32_t nCol = 0; x <= kScreenW - 1 && nCol < kLoopCap; ++nCol) {
            const int32_t w = W - nSrcX;
            DDBlt(lpTarget, x, y, w, h, lpImage, nSrcX, nSrcY, nFlags);
            x += w;
            nSrcX = 0;
        }
        y += h;
        nSrcY = 0;
    }
    DDEndDrawBatch();
}

// A placed block's cell and, when it shows one, its badge.
void DrawBlockIcon(const cEdBlock& block, DDSURFACEDATA* lpTarget, int32_t x, int32_t y)
{
    GraphicSource source;
    SetGraphicSource(&source, 0, block.m_nGraphicKind, block.m_nGraphicIndex, block.m_nGraphicSub, nullptr, 0);
    DDSURFACEDATA* lpSheet = source.m_lpSheet != nullptr ? source.m_lpSheet : &SystemSurfaces[kBlockSheet];
    DDBlt(lpTarget, x, y, 32, 32, lpSheet, source.m_nSrcX, source.m_nSrcY, 1);
    if (block.m_nBadgeShow == 1)
        DDBlt(lpTarget, x, y, 32, 32, &SystemSurfaces[kBadgeSheet], (block.m_nBadge / 15) * 32,
              (block.m_nBadge % 15) * 32, 1);
}

bool CreateOrReport(DDSURFACEDATA* lpSurface, int32_t w, int32_t h)
{
    if (DDCreateSurface(lpSurface, w, h, 1, 0, 0, 0, 0)) return true;
    ReportOutOfMemory();
    PostCloseRequest();
    return false;
}

cEdSystemStatus* StatusItem(int32_t nItem)
{
    if (nItem < 0 || static_cast<size_t>(nItem) >= g_System.m_vStatus.size()) return nullptr;
    return &g_System.m_vStatus[static_cast<size_t>(nItem)];
}

bool IsGauge(int32_t nItem)
{
    return nItem == 2 || nItem == 3;
}

bool IsDirect3D()
{
    return lpDTCon != nullptr;
}

bool IsPalettedDirectDraw()
{
    return lpDTCon == nullptr && nBpp == 8;
}

}  // namespace

int32_t StatusItemWidth(int32_t nItem)
{
    const cEdSystemStatus* lpItem = StatusItem(nItem);
    if (lpItem == nullptr || lpItem->m_bShow == 0) return 0;
    int64_t w = lpItem->m_bIcon != 0 ? 16 : 16 * static_cast<int64_t>(CountChars(lpItem->m_strName.c_str()));
    w += IsGauge(nItem) ? 50 : 16 * static_cast<int64_t>(lpItem->m_nDigits);
    return w > kScreenW * 16 ? kScreenW * 16 : static_cast<int32_t>(w);
}

int32_t StatusBarLayout(int32_t* lpX)
{
    int32_t nShown = 0;
    int64_t nSum = 0;
    for (int32_t i = 0; i < SystemStatusEntries; ++i) {
        lpX[i] = -1;
        const cEdSystemStatus* lpItem = StatusItem(i);
        if (lpItem == nullptr || lpItem->m_bShow == 0) continue;
        ++nShown;
        nSum += StatusItemWidth(i);
    }
    if (nShown == 0) return 0;
    const int32_t nGap = static_cast<int32_t>((638 - nSum) / (nShown + 1));
    int64_t x = nGap;
    for (int32_t i = 0; i < SystemStatusEntries; ++i) {
        const cEdSystemStatus* lpItem = StatusItem(i);
        if (lpItem == nullptr || lpItem->m_bShow == 0) continue;
        lpX[i] = static_cast<int32_t>(x);
        x += StatusItemWidth(i) + nGap;
    }
    return nGap;
}

int32_t ScreenToneAlpha(const ScreenTone& tone)
{
    const double dPart = tone.m_nTime != 0 ? static_cast<double>(tone.m_nFrame) / tone.m_nTime : 1.0;
    double dAlpha;
    if (tone.m_bRestore != 0)
        dAlpha = tone.m_nTime != 0 ? dPart * (255 - tone.m_nPrevAlpha) + tone.m_nPrevAlpha : 255.0;
    else
        // A tone of no time is at once where a timed one ends: full strength is the full colour.
        dAlpha = 255 - dPart * tone.m_nStrength * 2.55;
    const int32_t nAlpha = TruncToInt32(dAlpha);
    return nAlpha < 0 ? 0 : (nAlpha > 255 ? 255 : nAlpha);
}

void BuildSightMask(DDSURFACEDATA* lpMask, DDSURFACEDATA* lpDisc)
{
    if (lpMask == nullptr || lpDisc == nullptr) return;
    DDReleaseSurface(lpMask);
    DDReleaseSurface(lpDisc);
    if (Player.empty()) return;
    const cHero& hero = Player[0];
    const int32_t r = hero.m_nSightRadius < 0 ? 0 : hero.m_nSightRadius;
    const int32_t w = 1280 + 2 * r, h = 960 + 2 * r;
    if (!CreateOrReport(lpMask, w, h)) return;
    DDFillSurface(lpMask, kDark);
    if (r == 0) return;
    const int8_t nShape = hero.m_Def.m_nSightMode;
    if (nShape != 1 && nShape != 2) {
        DDFillRect(lpMask, (w >> 1) - r, (h >> 1) - r, 2 * r, 2 * r, 0);
        return;
    }
    if (!CreateOrReport(lpDisc, 2 * r, 2 * r)) return;
    // The project keeps no sight colour of its own: the hole is the transparent colour.
    DDFillSurface(lpDisc, 0);
    DDBltDisc(lpMask, w >> 1, h >> 1, r, r, r, 1, lpDisc, r, r, 0);
}

void ScrollBackgrounds()
{
    for (size_t i = 0; i < g_Stage.m_vBackground.size(); ++i) {
        cEdStageBackground& bg = g_Stage.m_vBackground[i];
        DDSURFACEDATA* lpImage = BackgroundSurface(i);
        const int32_t W = lpImage != nullptr ? lpImage->nWidth : 0;
        const int32_t H = lpImage != nullptr ? lpImage->nHeight : 0;
        if (bg.m_bAutoScrollX != 0) bg.m_dOffsetX = WrapOffset(bg.m_dOffsetX - bg.m_dFactorX, W);
        if (bg.m_bAutoScrollY != 0) bg.m_dOffsetY = WrapOffset(bg.m_dOffsetY - bg.m_dFactorY, H);
    }
}

void DrawBackgroundLayer(DDSURFACEDATA* lpTarget, int32_t nLayerKey)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return;
    bool bAnyVisible = false;
    for (const cEdStageBackground& bg : g_Stage.m_vBackground)
        if (bg.m_bShown != 0) bAnyVisible = true;
    if (nLayerKey == 0 && !bAnyVisible) {
        DDFillRect(lpTarget, 0, 0, kScreenW, kScreenH, kDark);
        return;
    }
    const cScrollAxis& ax = lpState->m_ScrollX;
    const cScrollAxis& ay = lpState->m_ScrollY;
    bool bDrawn = false, bImageDrawn = false;
    for (size_t i = 0; i < g_Stage.m_vBackground.size(); ++i) {
        const cEdStageBackground& bg = g_Stage.m_vBackground[i];
        if (bg.m_bShown == 0 || bg.m_nLayer != nLayerKey) continue;
        if (bg.m_bColorFill != 0) {
            DDFillRect(lpTarget, 0, 0, kScreenW, kScreenH, static_cast<uint32_t>(bg.m_nFillColor));
            bDrawn = true;
            continue;
        }
        DDSURFACEDATA* lpImage = BackgroundSurface(i);
        if (lpImage == nullptr) continue;
        const double sx = bg.m_bAutoScrollX != 0
                              ? ax.m_dPosition + bg.m_dOffsetX - ax.m_nBlockOrigin * 32.0
                              : (TruncToInt32(ax.m_dPosition + 0.5) - ax.m_nBlockOrigin * 32.0) * bg.m_dFactorX;
        const double sy = bg.m_bAutoScrollY != 0
                              ? ay.m_dPosition + bg.m_dOffsetY - ay.m_nBlockOrigin * 32.0
                              : (TruncToInt32(ay.m_dPosition + 0.5) - ay.m_nBlockOrigin * 32.0) * bg.m_dFactorY;
        // The rearmost picture of the stage covers everything behind it.
        const int32_t nFlags = nLayerKey == 0 && !bImageDrawn ? 0 : 1;
        TileImage(lpTarget, lpImage, TruncToInt32(sx), TruncToInt32(sy), nFlags);
        bImageDrawn = true;
        bDrawn = true;
    }
    if (nLayerKey == 0 && !bDrawn) DDFillRect(lpTarget, 0, 0, kScreenW, kScreenH, kDark);
}

void DrawBlockLayer(DDSURFACEDATA* lpTarget, int32_t nLayer)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return;
    const int32_t vx = TruncToInt32(lpState->m_ScrollX.m_dPosition);
    const int32_t vy = TruncToInt32(lpState->m_ScrollY.m_dPosition);
    const int32_t cx0 = cBlockMap::CellOf(vx), cy0 = cBlockMap::CellOf(vy);
    DDBeginDrawBatch(1);
    DDRegisterBatchSource(&SystemSurfaces[kBlockSheet]);
    for (int32_t row = 0; row < 16; ++row) {
        for (int32_t col = 0; col < 21; ++col) {
            BLOCKCELL* lpCell = BlockMap.Find(BlockMap.IndexOf(cx0 + col, cy0 + row));
            if (lpCell == nullptr) continue;
            const cEdBlock& block = lpCell->m_Block;
            if (block.m_nGraphicIndex == 0 || block.m_nLayer != nLayer || block.m_bHidden != 0) continue;
            if (CheckAppearanceConditions(*lpCell) == 0) continue;
            DrawBlockIcon(block, lpTarget, col * 32 - (vx & 31), row * 32 - (vy & 31));
        }
    }
    DDEndDrawBatch();
}

void DrawPicturesOfLayer(DDSURFACEDATA* lpTarget, int32_t nLayer, int32_t nDraw)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return;
    // Each picture's surface is its own (by address) or else the surface at its position.
    auto surface = PictureSurfaces.begin();
    for (cPictureObject& picture : lpState->m_PictureList) {
        DDSURFACEDATA* lpSurface = picture.m_lpSurface;
        if (lpSurface == nullptr && surface != PictureSurfaces.end()) lpSurface = &*surface;
        if (surface != PictureSurfaces.end()) ++surface;
        if (picture.m_nLayer != nLayer) continue;
        if (picture.Draw(lpTarget, lpSurface, nDraw) != 1) continue;
        // Display time over: the picture leaves the stage with its surface.
        if (lpSurface != nullptr) {
            if (surface != PictureSurfaces.end() && &*surface == lpSurface) ++surface;
            DDRemoveSurfaceFromList(PictureSurfaces, PictureSurfaceDescs, lpSurface);
        }
        picture.m_lpSurface = nullptr;
        lpState->m_PictureList.Remove(picture);
    }
}

void DrawStatusBar(DDSURFACEDATA* lpTarget)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpState->m_bStatusWindow == 0 || Player.empty()) return;
    int32_t aX[SystemStatusEntries];
    StatusBarLayout(aX);
    bool bAny = false;
    for (int32_t x : aX)
        if (x >= 0) bAny = true;
    if (!bAny) return;
    DDBlt(lpTarget, 0, 0, kScreenW, 20, &SystemSurfaces[kStatusBarSheet], 0, 0, 0);
    DDSURFACEDATA* lpSheet = &SystemSurfaces[kAccessorySheet];
    cFont* lpFont = &FontTable[0];
    const cHero& hero = Player[0];
    for (int32_t i = 0; i < SystemStatusEntries; ++i) {
        if (aX[i] < 0) continue;
        const cEdSystemStatus& item = *StatusItem(i);
        const int32_t x = aX[i], y = 3;
        const char* lpName = item.m_strName.c_str();
        if (!IsGauge(i)) {
            const int32_t nValue = i == 0 ? g_SaveData.nTotalScore : (i == 1 ? g_SaveData.nScore : g_SaveData.nLives);
            const bool bDash = i == 4 && nValue == kInfiniteLives;
            if (item.m_bIcon != 0) {
                DDBlt(lpTarget, x, y, 16, 16, lpSheet, 16 * i, 32, 1);
                if (bDash)
                    FontPrintf(lpFont, lpTarget, x + 16, y, "%s", "-");
                else
                    FontPrintf(lpFont, lpTarget, x + 16, y, "%d", nValue);
            } else if (bDash) {
                FontPrintf(lpFont, lpTarget, x, y, "%s-", lpName);
            } else {
                FontPrintf(lpFont, lpTarget, x, y, "%s%d", lpName, nValue);
            }
            continue;
        }
        const bool bHP = i == 2;
        const int32_t nValue = bHP ? hero.m_nHP : hero.m_nSP;
        const int32_t nMax = bHP ? hero.m_Def.m_nMaxHP : hero.m_Def.m_nMaxSP;
        int32_t gx = x;
        if (item.m_bIcon != 0) {
            DDBlt(lpTarget, x, y, 16, 16, lpSheet, 16 * i, 32, 1);
            gx += 16;
        } else {
            FontPrintf(lpFont, lpTarget, x, y, "%s", lpName);
            gx += 16 * CountChars(lpName);
        }
        DDBlt(lpTarget, gx, y, 50, 16, lpSheet, bHP ? 0 : 64, 128, 1);
        const int64_t nFill = nMax > 0 ? static_cast<int64_t>(nValue < 0 ? 0 : nValue) * 50 / nMax : 0;
        const int32_t nWidth = static_cast<int32_t>(nFill > 50 ? 50 : nFill);
        const int32_t nRow = g_System.IsWithinThreshold(i, nValue, nMax) != 0 ? 160 : 144;
        if (nWidth > 0) DDBlt(lpTarget, gx, y, nWidth, 16, lpSheet, bHP ? 0 : 64, nRow, 1);
        if (item.m_bGaugeValue != 0) FontPrintf(lpFont, lpTarget, gx, 6, "%d", nValue);
    }
}

void DrawTimeLimit(DDSURFACEDATA* lpTarget, int32_t bSound)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpState->m_bNoTimeLimit != 0) return;
    DDDrawNumber(lpTarget, 272, 24, 32, 32, &SystemSurfaces[kDigitSheet], 0, 160, 1, lpState->m_nTimeLeft, 3, 0);
    const int32_t t = lpState->m_nTimeLeft;
    if (t >= 1 && t <= g_Stage.m_nTimeWarning && FrameCountGate(2, 0) && bSound != 0) PlaySystemSound(13);
}

void SetScreenTone(cCommandInstance* lpInst)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpInst == nullptr || lpInst->m_lpCmd == nullptr) return;
    ScreenTone& tone = lpState->m_Tone;
    const std::vector<int32_t>& p = lpInst->m_lpCmd->m_vParam;
    auto param = [&](int32_t i) { return static_cast<size_t>(i) < p.size() ? p[static_cast<size_t>(i)] : 0; };
    const int32_t bRestore = param(4);
    if (bRestore != 0) {
        if (IsDirect3D() && tone.m_bActive == 0) return;
        if (IsPalettedDirectDraw() && tone.m_bSet == 0) return;
    }
    tone.m_nPrevRed = tone.m_nRed;
    tone.m_nPrevGreen = tone.m_nGreen;
    tone.m_nPrevBlue = tone.m_nBlue;
    tone.m_nPrevStrength = tone.m_nStrength;
    tone.m_nPrevAlpha = tone.m_nAlpha;
    tone.m_nRed = static_cast<int8_t>(param(0));
    tone.m_nGreen = static_cast<int8_t>(param(1));
    tone.m_nBlue = static_cast<int8_t>(param(2));
    tone.m_nStrength = param(3);
    tone.m_bRestore = bRestore;
    const int64_t nFrames = static_cast<int64_t>(param(5)) * 6;
    tone.m_nTime = nFrames > INT32_MAX ? INT32_MAX : (nFrames < 0 ? 0 : static_cast<int32_t>(nFrames));
    tone.m_bFlash = param(6);
    tone.m_nFlashCount = param(7);
    tone.m_bActive = 1;
    tone.m_nFrame = 0;
    tone.m_nFlashesDone = 0;
    if (bRestore == 0) {
        tone.m_nAlpha = 0;
        tone.m_bSet = 1;
    } else {
        // The tone fades back from the one that was set before.
        tone.m_nRed = tone.m_nPrevRed;
        tone.m_nGreen = tone.m_nPrevGreen;
        tone.m_nBlue = tone.m_nPrevBlue;
        tone.m_nStrength = tone.m_nPrevStrength;
        tone.m_nAlpha = tone.m_nPrevAlpha;
    }
}

void ApplyScreenTone(int32_t bDrawOnly)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return;
    ScreenTone& tone = lpState->m_Tone;
    if (tone.m_bActive == 0) return;
    const bool bD3D = IsDirect3D();
    if (!bD3D && !IsPalettedDirectDraw()) {
        tone.m_bActive = 0;   // DirectDraw tints only through the 8-bit palette
        return;
    }
    if (!bD3D && bDrawOnly != 0) return;

    const bool bFlashTop = tone.m_bFlash != 0 && tone.m_nFrame >= tone.m_nTime;
    tone.m_nAlpha = bFlashTop ? 255 : ScreenToneAlpha(tone);
    const uint8_t r = static_cast<uint8_t>(tone.m_nRed), g = static_cast<uint8_t>(tone.m_nGreen),
                  b = static_cast<uint8_t>(tone.m_nBlue);
    if (bD3D) {
        DDChangeColor(&BackBuffer, 0, 0, kScreenW, kScreenH, tone.m_nAlpha, r, g, b);
    } else {
        DDBlendPalette(ColorPaletteWork, 0, 255, tone.m_nAlpha, r, g, b, ColorPalette);
        if (lpDDPalette != nullptr) lpDDPalette->SetEntries(0, 0, 256, ColorPaletteWork);
    }
    if (bDrawOnly != 0) return;

    if (bFlashTop) {
        // The flash has shown its clear frame: the next one starts.
        tone.m_nFrame = 0;
        ++tone.m_nFlashesDone;
        if (tone.m_nFlashesDone >= tone.m_nFlashCount) tone.m_bActive = 0;
        return;
    }
    if (tone.m_nFrame < tone.m_nTime) ++tone.m_nFrame;
    if (tone.m_nFrame < tone.m_nTime || tone.m_bFlash != 0) return;
    // A tone without restore stays at its final strength; the 8-bit palette keeps its blend.
    if (tone.m_bRestore != 0 || tone.m_nStrength == 0 || !bD3D) tone.m_bActive = 0;
}
