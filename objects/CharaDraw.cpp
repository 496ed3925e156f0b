// Drawing of characters: the graphic cell of the current frame, the screen locks, the seventeen
// drawing handlers of the character effects (plain drawing and sixteen distortions), the mark,
// the HP and SP gauges, the defeat display and the ranges of distance conditions.
//
// A character drawn at a scale goes through a work surface first, so that every distortion sees
// a source of the size it draws. Under DirectDraw the cells come from system-memory copies unless
// stretching in video memory is allowed.
#include "objects/CharaDraw.h"
#include "objects/PlayNumbers.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "data/EdAnime.h"
#include "data/EdCondition.h"
#include "data/EdDatabase.h"
#include "data/EdFlow.h"
#include "data/EdSystem.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDBlitEffects.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDEffects.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "objects/CharaBase.h"
#include "objects/GraphicSource.h"
#include "objects/Hero.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "shell/SystemIni.h"
#include "stage/PlayState.h"

namespace {

constexpr int32_t kMarkSheet = 43;
constexpr int32_t kAccessorySheet = 49;
constexpr int32_t kWorkA = 67, kWorkB = 68, kWorkBig = 69;
constexpr int32_t kRangeColourBase = 208;

// Colour counter of the range display, shared by every range.
int32_t RangeColourCounter = 0;

bool Direct3DInUse()
{
    return lpDTCon != nullptr;
}

bool VirtualBackBufferOn()
{
    return lpDTCon != nullptr && lpDTCon->bVirBackBuffer != 0;
}

DDSURFACEDATA* Sys(int32_t n)
{
    return &SystemSurfaces[n];
}

// One report line per kind of bad index from a file, then silence.
void ReportOnce(std::atomic<int32_t>& bDone, const char* lpWhat, int32_t nValue)
{
    if (bDone.exchange(1) == 0) WriteReportLog("err %s %d", lpWhat, nValue);
}

DDBLENDPAIR PairOf(const GraphicSource& src)
{
    return DDBLENDPAIR{static_cast<uint32_t>(src.m_dwBlendDiffuse), src.m_nBlendColorOp};
}

// The blend state of the following blits, for the operations that take no blend pair.
class cBlendScope {
public:
    explicit cBlendScope(const GraphicSource* lpSrc) : m_bOn(lpSrc != nullptr && lpSrc->m_bBlend != 0)
    {
        if (!m_bOn) return;
        DDSetDiffuse(static_cast<uint32_t>(lpSrc->m_dwBlendDiffuse));
        DDSetColorOp(lpSrc->m_nBlendColorOp);
    }
    ~cBlendScope()
    {
        if (!m_bOn) return;
        DDResetDiffuse();
        DDResetColorOp();
    }
    cBlendScope(const cBlendScope&) = delete;
    cBlendScope& operator=(const cBlendScope&) = delete;

private:
    bool m_bOn;
};

int32_t Scale(const cCharaBase* lpChara)
{
    return lpChara->m_Def.m_nGiant;
}

// Offsets, radii and amplitudes of the effects are held within a million pixels: the records come
// from project files, and a piece moved further is off any screen just the same, while the
// positions the drawing adds it to stay inside the integer range.
constexpr int32_t kReach = 1 << 20;

int32_t Reach(double d)
{
    return TruncToInt32(std::clamp(d, -static_cast<double>(kReach), static_cast<double>(kReach)));
}

int32_t Reach(int64_t n)
{
    return static_cast<int32_t>(std::clamp<int64_t>(n, -kReach, kReach));
}

// A size-like parameter of an effect record times the scale, held at the int32 limits: the
// records come from project files.
int32_t Scaled(int32_t nParam, int32_t s)
{
    return ClampToInt32(static_cast<int64_t>(nParam) * s);
}

bool DrawnScaled(const cCharaBase* lpChara, const GraphicSource* lpSrc)
{
    const int32_t s = Scale(lpChara);
    if (lpSrc->m_bOwnCellSize != 0) return s != lpSrc->m_nCellScale;
    return s > 1;
}

// The source a handler draws from: the work surface at (0, 0) when drawn scaled, else the chosen
// sheet of the descriptor at the cell.
struct EffectSource {
    DDSURFACEDATA* lpSurface = nullptr;
    int32_t sx = 0, sy = 0;
    bool bScaled = false;
};

EffectSource SourceOf(cCharaBase* lpChara, GraphicSource* lpSrc, DDSURFACEDATA* lpUnscaled, int32_t nWork)
{
    EffectSource e;
    e.bScaled = DrawnScaled(lpChara, lpSrc);
    if (e.bScaled) {
        e.lpSurface = Sys(nWork);
        lpChara->BlitCellToWork(e.lpSurface, lpSrc);
    } else {
        e.lpSurface = lpUnscaled;
        e.sx = lpSrc->m_nSrcX;
        e.sy = lpSrc->m_nSrcY;
    }
    return e;
}

int32_t StepUnlessFrozen(cCharaBase* lpChara, int32_t bFrozen)
{
    return bFrozen != 0 ? 0 : lpChara->m_CharaEffect.Step();
}

const cEdCharaEffect& RecordOf(const cCharaBase* lpChara)
{
    return lpChara->m_CharaEffect.GetRecord();
}

int32_t ParamOf(const cCharaBase* lpChara, int32_t i)
{
    return RecordOf(lpChara).m_anParam[i];
}

// The blink rule of kinds 6 and 14: after P1 frames the toggle flips.
int32_t StepInterval(cCharaBase* lpChara, int32_t bFrozen)
{
    cCharaEffect& e = lpChara->m_CharaEffect;
    if (e.m_nPhase >= ParamOf(lpChara, 1)) {
        e.m_nPhase = 0;
        e.m_nToggle ^= 1;
    }
    if (bFrozen != 0) return 0;
    ++e.m_nPhase;
    return e.Step();
}

// ------------------------------------------------------------------ the seventeen handlers

int32_t DrawPlain(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw)
{
    (void)bFrozen;
    if (bDraw == 0 || d == nullptr) return 0;
    const int32_t L = c->m_nLeft, T = c->m_nTop, W = c->m_nWidth, H = c->m_nHeight;
    if (DrawnScaled(c, d)) {
        const int32_t sw = d->m_nCellScale * c->m_nBaseWidth, sh = d->m_nCellScale * c->m_nBaseHeight;
        if (d->m_bBlend != 0)
            DDBltStretchBlend(t, L, T, W, H, d->m_lpChosen, d->m_nSrcX, d->m_nSrcY, sw, sh, 1, PairOf(*d));
        else
            DDBltStretch(t, L, T, W, H, d->m_lpChosen, d->m_nSrcX, d->m_nSrcY, sw, sh, 1);
    } else if (d->m_bBlend != 0) {
        DDBltBlend(t, L, T, W, H, d->m_lpSheet, d->m_nSrcX, d->m_nSrcY, 1, PairOf(*d));
    } else {
        DDBlt(t, L, T, W, H, d->m_lpSheet, d->m_nSrcX, d->m_nSrcY, 1);
    }
    return 0;
}

int32_t DrawBurst(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw)
{
    if (bDraw != 0 && d != nullptr) {
        const double v = c->m_CharaEffect.m_dValue;
        const EffectSource e = SourceOf(c, d, d->m_lpSheet, EffectWorkSurface);
        const int32_t nOffset = Reach(e.bScaled ? Scale(c) * v : v);
        cBlendScope blend(e.bScaled ? nullptr : d);
        DDBltQuarters(t, c->m_nLeft, c->m_nTop, c->m_nWidth, c->m_nHeight, e.lpSurface, e.sx, e.sy, nOffset, 1);
    }
    return StepUnlessFrozen(c, bFrozen);
}

int32_t DrawSplit(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw, int32_t bVertical)
{
    if (bDraw != 0 && d != nullptr) {
        const double v = c->m_CharaEffect.m_dValue;
        const int32_t H = c->m_nHeight;
        // A split count of 0 (or less) from a damaged list draws the cell as one stripe.
        const int64_t nParts = ParamOf(c, 3);
        const int32_t nStripe = nParts > 0 ? static_cast<int32_t>((H + nParts - 1) / nParts) : H;
        const EffectSource e = SourceOf(c, d, d->m_lpSheet, EffectWorkSurface);
        const int32_t nOffset = Reach(e.bScaled ? Scale(c) * v : v);
        cBlendScope blend(e.bScaled ? nullptr : d);
        DDBltStripe(t, c->m_nLeft, c->m_nTop, c->m_nWidth, H, nStripe, nOffset, e.lpSurface, e.sx, e.sy, 1, bVertical);
    }
    return StepUnlessFrozen(c, bFrozen);
}

int32_t DrawSplitH(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t f, int32_t b)
{
    return DrawSplit(c, t, d, f, b, 0);
}

int32_t DrawSplitV(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t f, int32_t b)
{
    return DrawSplit(c, t, d, f, b, 1);
}

int32_t DrawWave(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw, int32_t bColumns)
{
    (void)t;
    cCharaEffect& fx = c->m_CharaEffect;
    if (bDraw != 0 && d != nullptr) {
        const EffectSource e = SourceOf(c, d, d->m_lpSheet, EffectWorkSurface);
        const int32_t s = e.bScaled ? Scale(c) : 1;
        cBlendScope blend(e.bScaled ? nullptr : d);
        // The wave may reach beyond the cell: it is drawn on the back buffer itself.
        DDBltWave(&BackBuffer, c->m_nLeft, c->m_nTop, c->m_nWidth, c->m_nHeight, ParamOf(c, 3), Reach(s * fx.m_dValue),
                  fx.m_nPhase, Scaled(ParamOf(c, 4), s), e.lpSurface, e.sx, e.sy, 1, bColumns);
    }
    if (bFrozen != 0) return 0;
    if (++fx.m_nPhase >= 360) fx.m_nPhase = 0;
    return fx.Step();
}

int32_t DrawWaveH(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t f, int32_t b)
{
    return DrawWave(c, t, d, f, b, 0);
}

int32_t DrawWaveV(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t f, int32_t b)
{
    return DrawWave(c, t, d, f, b, 1);
}

int32_t DrawBlink(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw)
{
    if (bDraw != 0 && c->m_CharaEffect.m_nToggle != 0) DrawPlain(c, t, d, bFrozen, 1);
    return StepInterval(c, bFrozen);
}

void RotateInPlace(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d)
{
    const int32_t W = c->m_nWidth, H = c->m_nHeight;
    const EffectSource e = SourceOf(c, d, d->m_lpSheetCopy, Direct3DInUse() ? kWorkA : kWorkB);
    cBlendScope blend(e.bScaled ? nullptr : d);
    DDBltRotate(t, c->m_nLeft + W / 2, c->m_nTop + H / 2, W, H, W / 2, H / 2, TruncToInt32(c->m_CharaEffect.m_dValue),
                e.lpSurface, e.sx, e.sy, 1);
}

int32_t DrawRotationB(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw)
{
    if (bDraw != 0 && d != nullptr) RotateInPlace(c, t, d);
    return StepUnlessFrozen(c, bFrozen);
}

int32_t DrawRotationA(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw)
{
    if (bDraw != 0 && d != nullptr) {
        if (Direct3DInUse() || !DrawnScaled(c, d)) {
            RotateInPlace(c, t, d);
        } else {
            // DirectDraw, scaled: rotate the cell at its own size on a square, then stretch it.
            const int32_t cs = d->m_nCellScale;
            const int32_t cw = cs * c->m_nBaseWidth, ch = cs * c->m_nBaseHeight;
            const int32_t k = TruncToInt32(cw * std::sqrt(2.0));
            const int32_t dd = TruncToInt32(c->m_nWidth * std::sqrt(2.0));
            DDSURFACEDATA* lpWork = Sys(EffectWorkSurface);
            DDFillRect(lpWork, 0, 0, k, k, 0);
            DDBltRotate(lpWork, k / 2, k / 2, cw, ch, cw / 2, ch / 2, TruncToInt32(c->m_CharaEffect.m_dValue), d->m_lpSheetCopy,
                        d->m_nSrcX, d->m_nSrcY, 0);
            DDBltStretch(t, c->m_nLeft + c->m_nWidth / 2 - dd / 2, c->m_nTop + c->m_nHeight / 2 - dd / 2, dd, dd, lpWork,
                         0, 0, k, k, 1);
        }
    }
    return StepUnlessFrozen(c, bFrozen);
}

int32_t DrawTurn(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw)
{
    if (bDraw != 0 && d != nullptr) {
        const int32_t cs = d->m_nCellScale;
        cBlendScope blend(d);
        DDBltCardFlip(t, c->m_nLeft, c->m_nTop, c->m_nWidth, c->m_nHeight, d->m_lpChosen, d->m_nSrcX, d->m_nSrcY,
                      d->m_lpChosenOther, d->m_nSrcX, d->m_nSrcY, cs * c->m_nBaseWidth, cs * c->m_nBaseHeight, 1,
                      TruncToInt32(c->m_CharaEffect.m_dValue), 0);
    }
    return StepUnlessFrozen(c, bFrozen);
}

int32_t DrawCircle(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw)
{
    if (bDraw != 0 && d != nullptr) {
        const int32_t W = c->m_nWidth, H = c->m_nHeight;
        const int32_t cx = c->m_nLeft + W / 2, cy = c->m_nTop + H / 2;
        const double v = c->m_CharaEffect.m_dValue;
        const bool bScaled = DrawnScaled(c, d);
        if (!bScaled && !Direct3DInUse() && d->m_bBlend == 0) {
            DDBltDisc(t, cx, cy, W / 2, H / 2, Reach(v), ParamOf(c, 3), d->m_lpSheet, d->m_nSrcX + W / 2,
                      d->m_nSrcY + H / 2, 1);
        } else {
            DDSURFACEDATA* lpWork = Sys(EffectWorkSurface);
            c->BlitCellToWork(lpWork, d);
            const int32_t s = bScaled ? Scale(c) : 1;
            DDBltDisc(t, cx, cy, W / 2, H / 2, Reach(s * v), Scaled(ParamOf(c, 3), s), lpWork, W / 2, H / 2, 1);
        }
    }
    return StepUnlessFrozen(c, bFrozen);
}

int32_t DrawEnlarge(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw)
{
    if (bDraw != 0 && d != nullptr) {
        const int32_t W = c->m_nWidth, H = c->m_nHeight;
        const double v = c->m_CharaEffect.m_dValue;
        const EffectSource e = SourceOf(c, d, d->m_lpSheetCopy, EffectWorkSurface);
        const int32_t n = e.bScaled ? (Reach((v - 32) * Scale(c)) >> 1) : Reach(v - 32);
        cBlendScope blend(e.bScaled ? nullptr : d);
        DDBltStretch(t, c->m_nLeft - (n >> 1), c->m_nTop - (n >> 1), W + n, H + n, e.lpSurface, e.sx, e.sy, W, H, 1);
    }
    return StepUnlessFrozen(c, bFrozen);
}

int32_t DrawLens(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw)
{
    if (bDraw != 0 && d != nullptr) {
        const int32_t s = Scale(c);
        const int32_t W = c->m_nWidth, H = c->m_nHeight, L = c->m_nLeft, T = c->m_nTop;
        const int32_t dx = Reach(static_cast<int64_t>(ParamOf(c, 3)) * s);
        const int32_t dy = Reach(static_cast<int64_t>(ParamOf(c, 4)) * s);
        const int32_t g = TruncToInt32(std::sqrt(2.0) * (W / 2 + std::max(std::abs(dx), std::abs(dy))));
        const bool bD3D = Direct3DInUse();
        const int32_t q = (bD3D || nBpp == 16) ? 4 * g : 2 * g;
        DDSURFACEDATA* lpSecond = Sys(SecondWorkSurface);
        DDFillRect(lpSecond, 0, 0, q, q, 0);
        int32_t o = 0;
        if (DrawnScaled(c, d)) {
            c->BlitCellToWork(lpSecond, d);
            o = Reach(static_cast<int64_t>(TruncToInt32(c->m_CharaEffect.m_dValue)) * s);
        } else {
            cBlendScope blend(d);
            DDBlt(lpSecond, 0, 0, W, H, d->m_lpSheet, d->m_nSrcX, d->m_nSrcY, 0);
            o = Reach(c->m_CharaEffect.m_dValue);
        }
        const int32_t scx = dx + W / 2, scy = dy + H / 2;
        if (bD3D && (d->m_bBlend != 0 || VirtualBackBufferOn())) {
            DDSURFACEDATA* lpBig = Sys(kWorkBig);
            DDFillRect(lpBig, 0, 0, 4 * g, 4 * g, 0);
            const int32_t bClear = d->m_bBlend != 0 ? 1 : ((nWindowMode != 0 && nBpp == 32) ? 1 : 0);
            DDBltLens(lpBig, g, g, g, o, lpSecond, scx, scy, 1, bClear);
            if (d->m_bBlend != 0)
                DDBltBlend(t, L + W / 2 + dx - g, T + H / 2 + dy - g, 2 * g, 2 * g, lpBig, 0, 0, 1, PairOf(*d));
            else
                DDBlt(t, L + W / 2 + dx - g, T + H / 2 + dy - g, 2 * g, 2 * g, lpBig, 0, 0, 1);
        } else {
            DDBltLens(t, L + W / 2 + dx, T + H / 2 + dy, g, o, lpSecond, scx, scy, 1, 0);
        }
    }
    return StepUnlessFrozen(c, bFrozen);
}

// The source of the tint and translucency effects: the work surface when drawn scaled or when the
// cell's blend must be applied first (bBlendFirst), else the cell on the sheet's copy.
EffectSource CopySourceOf(cCharaBase* c, GraphicSource* d, bool bBlendFirst)
{
    if (DrawnScaled(c, d)) return SourceOf(c, d, d->m_lpSheetCopy, kWorkB);
    EffectSource e;
    if (bBlendFirst) {
        e.lpSurface = Sys(kWorkB);
        c->BlitCellBlend(e.lpSurface, d);
    } else {
        e.lpSurface = d->m_lpSheetCopy;
        e.sx = d->m_nSrcX;
        e.sy = d->m_nSrcY;
    }
    return e;
}

int32_t DrawColourChange(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw)
{
    if (bDraw != 0 && d != nullptr) {
        const EffectSource e = CopySourceOf(c, d, d->m_bBlend != 0);
        DDBltTint(t, c->m_nLeft, c->m_nTop, c->m_nWidth, c->m_nHeight, e.lpSurface, e.sx, e.sy, 1, ColorPalette,
                  BlendTable, ParamOf(c, 3) & 0xFF, TruncToInt32(c->m_CharaEffect.m_dValue));
    }
    return StepUnlessFrozen(c, bFrozen);
}

int32_t DrawTranslucent(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw)
{
    if (bDraw != 0 && d != nullptr && c->m_CharaEffect.m_nToggle == 0) {
        const EffectSource e = CopySourceOf(c, d, Direct3DInUse() && d->m_bBlend != 0);
        DDBltTranslucentHalf(t, c->m_nLeft, c->m_nTop, c->m_nWidth, c->m_nHeight, e.lpSurface, e.sx, e.sy, 1,
                             BlendTable);
    }
    return StepInterval(c, bFrozen);
}

// Kinds 15 (mosaic, cell = strength) and 16 (blur, reach = strength; a tint at 8 bits).
void FilterOnto(int32_t nKind, int32_t nStrength, DDSURFACEDATA* lpDst, int32_t x, int32_t y, int32_t w, int32_t h,
                DDSURFACEDATA* lpSrc, int32_t sx, int32_t sy)
{
    if (nKind == 15)
        DDMosaic(lpDst, x, y, w, h, nStrength, lpSrc, sx, sy, 1);
    else if (nBpp == 8)
        DDBltTint(lpDst, x, y, w, h, lpSrc, sx, sy, 1, ColorPalette, BlendTable, 31, nStrength);
    else
        DDBlur(lpDst, x, y, w, h, nStrength, nStrength, lpSrc, sx, sy, 1);
}

int32_t DrawFilter(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t bFrozen, int32_t bDraw, int32_t nKind)
{
    if (bDraw != 0 && d != nullptr) {
        const int32_t L = c->m_nLeft, T = c->m_nTop, W = c->m_nWidth, H = c->m_nHeight;
        const int32_t n = TruncToInt32(c->m_CharaEffect.m_dValue);
        const bool bScaled = DrawnScaled(c, d);
        const bool bD3D = Direct3DInUse();
        DDSURFACEDATA* lpSecond = Sys(SecondWorkSurface);
        auto throughBig = [&]() {
            DDSURFACEDATA* lpBig = Sys(kWorkBig);
            DDFillRect(lpBig, 0, 0, 2 * W, 2 * H, 0);
            FilterOnto(nKind, n, lpBig, 0, 0, W, H, lpSecond, 0, 0);
            if (d->m_bBlend != 0)
                DDBltBlend(t, L, T, W, H, lpBig, 0, 0, 1, PairOf(*d));
            else
                DDBlt(t, L, T, W, H, lpBig, 0, 0, 1);
        };
        if (bScaled) {
            c->BlitCellToWork(lpSecond, d);
            if (bD3D && (d->m_bBlend != 0 || VirtualBackBufferOn()))
                throughBig();
            else
                FilterOnto(nKind, n, t, L, T, W, H, lpSecond, 0, 0);
        } else if (bD3D) {
            c->BlitCellBlend(lpSecond, d);
            throughBig();
        } else {
            FilterOnto(nKind, n, t, L, T, W, H, d->m_lpSheetCopy, d->m_nSrcX, d->m_nSrcY);
        }
    }
    return StepUnlessFrozen(c, bFrozen);
}

int32_t DrawMosaic(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t f, int32_t b)
{
    return DrawFilter(c, t, d, f, b, 15);
}

int32_t DrawBlur(cCharaBase* c, DDSURFACEDATA* t, GraphicSource* d, int32_t f, int32_t b)
{
    return DrawFilter(c, t, d, f, b, 16);
}

// The handler of the character's running effect; plain drawing for no effect and for a kind that
// a damaged list gives outside the table.
CharaEffectDraw HandlerOf(const cCharaBase* lpChara)
{
    if (lpChara->m_CharaEffect.m_nCharaEffect == 0) return CharaEffectDrawTable[0];
    const int32_t nKind = RecordOf(lpChara).m_nKind;
    if (nKind < 0 || nKind > 16) {
        static std::atomic<int32_t> bReported{0};
        ReportOnce(bReported, "chara effect kind", nKind);
        return CharaEffectDrawTable[0];
    }
    return CharaEffectDrawTable[nKind];
}

// Whether a circle of radius r around (cx, cy) has a point on the 640 x 480 screen: the nearest
// point of the screen no further than r and the farthest corner no nearer. Radii beyond 2^24
// are never drawn (their centre lies millions of pixels away from any character on screen), so
// whatever passes fits the drawing's 32-bit positions.
bool CircleMeetsScreen(int64_t cx, int64_t cy, int64_t r)
{
    if (r < 1 || r > (int64_t{1} << 24)) return false;
    const double nx = static_cast<double>(std::clamp<int64_t>(cx, 0, 639) - cx);
    const double ny = static_cast<double>(std::clamp<int64_t>(cy, 0, 479) - cy);
    const double fx = static_cast<double>(std::max<int64_t>(cx, 639 - cx));
    const double fy = static_cast<double>(std::max<int64_t>(cy, 479 - cy));
    const double dr = static_cast<double>(r);
    return std::hypot(nx, ny) <= dr + 1.0 && std::hypot(fx, fy) >= dr - 1.0;
}

bool PaletteAnimatesColours()
{
    return nBpp == 8 && g_System.m_bPaletteCycle != 0;
}

}  // namespace

const CharaEffectDraw CharaEffectDrawTable[17] = {
    DrawPlain,     DrawBurst,     DrawSplitH,   DrawSplitV,       DrawWaveH,       DrawWaveV,
    DrawBlink,     DrawRotationA, DrawRotationB, DrawTurn,        DrawCircle,      DrawEnlarge,
    DrawLens,      DrawColourChange, DrawTranslucent, DrawMosaic, DrawBlur,
};

// ------------------------------------------------------------------ the effect's own step

int32_t cCharaEffect::Step()
{
    bool bRunning = false;
    if (m_nStart == m_nEnd) {
        m_dTimer += m_dSpeed;
        bRunning = m_dTimer <= m_nTime;
    } else if (m_nStart < m_nEnd) {
        m_dValue += m_dSpeed;
        bRunning = m_dValue <= m_nEnd;
    } else {
        m_dValue -= m_dSpeed;
        bRunning = m_dValue >= m_nEnd;
    }
    if (bRunning) return 0;
    if (m_bRepeat != 0 || (m_nRunMode == 2 && m_bReversedNow == 0)) {
        Restart();
        return 0;
    }
    return 1;
}

void cCharaEffect::Restart()
{
    if (m_nRunMode == 2) m_bReversedNow ^= 1;
    const int16_t nNumber = m_nCharaEffect;
    const int32_t nRunMode = m_nRunMode, bRepeat = m_bRepeat, bReversedNow = m_bReversedNow;
    const cCharaEffect& entry = bReversedNow != 0 ? CheckedAt(g_CharaEffectTableReversed, nNumber)
                                                  : CheckedAt(g_CharaEffectTable, nNumber);
    if (&entry != this) *this = entry;
    m_nCharaEffect = nNumber;
    m_nRunMode = nRunMode;
    m_bRepeat = bRepeat;
    m_bReversedNow = bReversedNow;
    m_nDrawCount = 0;
}

// ------------------------------------------------------------------ the character's drawing

int32_t cCharaBase::GetGraphicColumn(GraphicSource* lpSource)
{
    int32_t nColumn = m_Def.m_nGraphicSub;
    const std::vector<cEdAnimeSet>& vSets = g_Database.m_vAnimeSet;
    const int32_t nSet = m_Def.m_nAnimeSet;
    const cEdAnimeSet* lpSet = nSet >= 0 && static_cast<size_t>(nSet) < vSets.size() ? &vSets[static_cast<size_t>(nSet)]
                                                                                      : nullptr;
    if (lpSet == nullptr) {
        static std::atomic<int32_t> bReported{0};
        ReportOnce(bReported, "anime set", nSet);
    }
    if (lpSource != nullptr) lpSource->m_bBlend = 0;
    if (lpSet == nullptr) return nColumn;
    if (m_Def.m_nFlying != 0) nColumn += lpSet->m_nFrameOffset3;
    if (m_Def.m_bCellBox != 0) nColumn += lpSet->m_nFrameOffset2;
    if (m_Def.m_nInvincible != 0) {
        nColumn += lpSet->m_nFrameOffset1;
        const int32_t b = m_Def.m_nInvincibleSub;
        if (lpSource != nullptr && Direct3DInUse() && g_System.BlinkColourSwitch() != 0 && b != 0) {
            if (b >= 1 && b <= 9) {
                lpSource->m_bBlend = 1;
                lpSource->m_dwBlendDiffuse = static_cast<int32_t>(BlinkColours[b].dwDiffuse);
                lpSource->m_nBlendColorOp = BlinkColours[b].nColorOp;
            } else {
                static std::atomic<int32_t> bReported{0};
                ReportOnce(bReported, "blink colour", b);
            }
        }
    }
    return nColumn;
}

void cCharaBase::DrawObjectSprite(DDSURFACEDATA* lpTarget, int32_t bFrozen)
{
    const int32_t nFrame = UpdateAnimation(bFrozen);
    if (m_Def.m_bTransparent != 0) {
        StepCharaEffectDraw(bFrozen);
        return;
    }
    if (cHero* lpHero = dynamic_cast<cHero*>(this))
        lpHero->GetScreenRect();
    else
        GetScreenRect();
    if (m_bLockScreenX != 0) {
        m_nLeft = m_nLockScreenX;
        m_nRight = m_nLeft + m_nWidth - 1;
    }
    if (m_bLockScreenY != 0) {
        m_nTop = m_nLockScreenY;
        m_nBottom = m_nTop + m_nHeight - 1;
    }

    GraphicSource src;
    const int32_t nColumn = GetGraphicColumn(&src);
    const int32_t bBlend = src.m_bBlend;
    const int32_t dwDiffuse = src.m_dwBlendDiffuse, nOp = src.m_nBlendColorOp;
    SetGraphicSource(&src, 1, m_Def.m_nGraphicKind, m_nGraphic, nColumn, this, nFrame);
    src.m_bBlend = bBlend;
    src.m_dwBlendDiffuse = dwDiffuse;
    src.m_nBlendColorOp = nOp;

    if (HandlerOf(this)(this, lpTarget, &src, bFrozen, 1) != 0) m_CharaEffect.m_nCharaEffect = 0;

    if (m_Def.m_bBadgeOff != 1) return;
    const int32_t m = m_Def.m_nBadge;
    if (m < 0 || m > 119) {
        static std::atomic<int32_t> bReported{0};
        ReportOnce(bReported, "mark", m);
        return;
    }
    const int32_t cx = (m / 15) * 32, cy = (m % 15) * 32;
    if (m_Def.m_nGiant > 1)
        DDBltStretch(lpTarget, m_nLeft, m_nTop, m_nWidth, m_nHeight, Sys(MarkStretchSurface), cx, cy, m_nBaseWidth,
                     m_nBaseHeight, 1);
    else
        DDBlt(lpTarget, m_nLeft, m_nTop, 32, 32, Sys(kMarkSheet), cx, cy, 1);
}

int32_t cCharaBase::DrawObject(DDSURFACEDATA* lpTarget, int32_t bFrozen)
{
    GraphicSource src;
    const int32_t nColumn = GetGraphicColumn(&src);
    const int32_t bBlend = src.m_bBlend;
    const int32_t dwDiffuse = src.m_dwBlendDiffuse, nOp = src.m_nBlendColorOp;
    SetGraphicSource(&src, 1, m_Def.m_nGraphicKind, m_nGraphic, nColumn, this, 0);
    src.m_bBlend = bBlend;
    src.m_dwBlendDiffuse = dwDiffuse;
    src.m_nBlendColorOp = nOp;

    const bool bEffect = m_CharaEffect.m_nCharaEffect != 0;
    if (m_nSide != 0) {
        if (!bEffect) return 1;
        if (HandlerOf(this)(this, lpTarget, &src, bFrozen, 1) == 0) return 0;
        m_CharaEffect.m_nCharaEffect = 0;
        return 1;
    }
    if (bEffect) {
        if (HandlerOf(this)(this, lpTarget, &src, bFrozen, 1) != 0) m_CharaEffect.m_nCharaEffect = 0;
        return 0;
    }
    // The hero without a defeat effect shows nothing for about a second.
    if (bFrozen != 0) return 0;
    ++m_nDefeatFrames;
    return m_nDefeatFrames > SceneManager.FrameRate.load() ? 1 : 0;
}

int32_t cCharaBase::StepCharaEffectDraw(int32_t bFrozen)
{
    const int32_t r = HandlerOf(this)(this, nullptr, nullptr, bFrozen, 0);
    if (r != 0) m_CharaEffect.m_nCharaEffect = 0;
    return r;
}

void cCharaBase::BlitCellToWork(DDSURFACEDATA* lpWork, const GraphicSource* lpSource)
{
    if (lpSource == nullptr) return;
    const GraphicSource& d = *lpSource;
    const int32_t W = m_nWidth, H = m_nHeight;
    if (DrawnScaled(this, lpSource)) {
        const int32_t sw = d.m_nCellScale * m_nBaseWidth, sh = d.m_nCellScale * m_nBaseHeight;
        if (d.m_bBlend != 0)
            DDBltStretchBlend(lpWork, 0, 0, W, H, d.m_lpChosen, d.m_nSrcX, d.m_nSrcY, sw, sh, 0, PairOf(d));
        else
            DDBltStretch(lpWork, 0, 0, W, H, d.m_lpChosen, d.m_nSrcX, d.m_nSrcY, sw, sh, 0);
    } else if (d.m_bBlend != 0) {
        DDBltBlend(lpWork, 0, 0, W, H, d.m_lpSheetCopy, d.m_nSrcX, d.m_nSrcY, 0, PairOf(d));
    } else {
        DDBlt(lpWork, 0, 0, W, H, d.m_lpSheetCopy, d.m_nSrcX, d.m_nSrcY, 0);
    }
}

void cCharaBase::BlitCellBlend(DDSURFACEDATA* lpWork, const GraphicSource* lpSource)
{
    if (lpSource == nullptr) return;
    DDBltBlend(lpWork, 0, 0, m_nWidth, m_nHeight, lpSource->m_lpSheet, lpSource->m_nSrcX, lpSource->m_nSrcY, 0,
               PairOf(*lpSource));
}

// ------------------------------------------------------------------ gauges

void cCharaBase::DrawHPGauge(DDSURFACEDATA* lpTarget)
{
    DrawGauge(lpTarget, m_HPGauge, 0);
}

void cCharaBase::DrawSPGauge(DDSURFACEDATA* lpTarget)
{
    DrawGauge(lpTarget, m_SPGauge, 1);
}

void cCharaBase::DrawGauge(DDSURFACEDATA* lpTarget, GaugeDisplay& gauge, int32_t bSP)
{
    if (gauge.m_nFramesLeft <= 0 || m_bDefeated != 0) return;
    const int32_t nMax = bSP != 0 ? m_Def.m_nMaxSP : m_Def.m_nMaxHP;
    // No maximum, no gauge: there is nothing to measure the value against.
    if (nMax <= 0) return;
    DDSURFACEDATA* lpSheet = Sys(kAccessorySheet);
    const int32_t r = lpSheet->nHeight > 208 ? 208 : 128;
    const int32_t g = lpSheet->nHeight > 208 ? 2 : 16;
    const int32_t sx = bSP != 0 ? 64 : 0;
    const int32_t x = m_nLeft + (m_nWidth >> 1) - 25;
    const int32_t y = m_nTop - (bSP != 0 ? 7 : 3);
    const int32_t nBar = gauge.m_nBarLength;

    DDBlt(lpTarget, x, y, 50, 2, lpSheet, sx, r, 1);
    const int32_t bLow = bSP != 0 ? g_System.IsWithinThreshold(3, m_nSP, nMax) : g_System.IsWithinThreshold(2, m_nHP, nMax);
    DDBlt(lpTarget, x, y, nBar, 2, lpSheet, sx, bLow != 0 ? r + 2 * g : r + g, 1);
    const int32_t m = TruncToInt32(std::fabs(gauge.m_dChange));
    if (gauge.m_dChange < 0.0)
        DDBlt(lpTarget, x + nBar, y, m, 2, lpSheet, sx, r + 3 * g, 1);
    else
        DDBlt(lpTarget, x + nBar - m, y, m, 2, lpSheet, sx, r + 4 * g, 1);

    --gauge.m_nFramesLeft;
    if (gauge.m_nFramesLeft < 60)
        gauge.m_dChange = 0.0;
    else
        gauge.m_dChange -= gauge.m_dStep;
}

// ------------------------------------------------------------------ ranges of distance conditions

void DrawConditionRanges(DDSURFACEDATA* lpTarget)
{
    if (!PaletteAnimatesColours() && ++RangeColourCounter > 31) RangeColourCounter = 0;
    cPlayState* lpState = PlayState();
    if (lpState == nullptr) return;

    auto eachChara = [&](auto&& visit) {
        for (cLinkList<cCharaBase>& list : lpState->m_vFactionCharas)
            for (cCharaBase* lpChara : list)
                if (lpChara->m_bDefeated == 0 && lpChara->IsOnScreen() != 0) visit(lpChara);
    };

    DDBeginFillBatch();
    eachChara([&](cCharaBase* lpChara) {
        const cEdChara& def = lpChara->m_Def;
        if (def.m_bCondOnce != 0 && lpChara->m_bAppearLatch != 0) return;
        for (const cEdCondition& cond : def.m_vCondition)
            if (cond.m_nKind == 7) DrawConditionRange(lpChara, lpTarget, cond, RangeColourCounter);
    });
    DDEndFillBatch();

    DDBeginFillBatch();
    eachChara([&](cCharaBase* lpChara) {
        for (const cEdFlow& flow : lpChara->m_Def.m_vFlow) {
            if (flow.m_bOnceTrue != 0 && lpChara->m_bAppearLatch != 0) continue;
            for (const cEdCondition& cond : flow.m_vCondition)
                if (cond.m_nKind == 7) DrawConditionRange(lpChara, lpTarget, cond, RangeColourCounter);
        }
    });
    DDEndFillBatch();
}

int32_t DrawConditionRange(cCharaBase* lpChara, DDSURFACEDATA* lpTarget, const cEdCondition& condition,
                           int32_t nCounter)
{
    if (lpChara == nullptr) return 0;
    if (condition.m_nLeftKind == 0 || (condition.m_nLeftKind == 2 && bTestPlay.load() == 0)) return 0;
    if (condition.m_nRightKind == 0 && lpChara->m_bAppeared == 0) return 0;
    if (condition.m_nRightOwner == 0 && lpChara->m_Def.m_bTransparent != 0) return 0;

    const int64_t R = static_cast<int64_t>(condition.m_nValue) * 16 + condition.m_nRightVarIndex;
    const int32_t nColourIndex = condition.m_nLeftStatus;
    if (nColourIndex < 0 || nColourIndex > 7) {
        static std::atomic<int32_t> bReported{0};
        ReportOnce(bReported, "range colour", nColourIndex);
        return 0;
    }
    uint32_t nColour = static_cast<uint32_t>(kRangeColourBase + 4 * nColourIndex);
    if (!PaletteAnimatesColours()) nColour += static_cast<uint32_t>(nCounter >> 3);

    const int32_t L = lpChara->m_nLeft, T = lpChara->m_nTop, W = lpChara->m_nWidth, H = lpChara->m_nHeight;
    const int32_t nAxis = condition.m_nExtra;
    if (nAxis >= 0 && nAxis <= 5) {
        const bool bVertical = nAxis >= 3;
        const cCharaBase::AxisRange r = lpChara->DistanceAxisRange(nAxis, R);
        if (bVertical) {
            DDFillRect(lpTarget, 0, ClampToInt32(r.lo), 640, 1, nColour);
            DDFillRect(lpTarget, 0, ClampToInt32(r.hi), 640, 1, nColour);
        } else {
            DDFillRect(lpTarget, ClampToInt32(r.lo), 0, 1, 480, nColour);
            DDFillRect(lpTarget, ClampToInt32(r.hi), 0, 1, 480, nColour);
        }
    } else if (nAxis == 6) {
        const int64_t cx = static_cast<int64_t>(L) + W / 2, cy = static_cast<int64_t>(T) + H / 2;
        // A reach from a damaged file can make a circle of thousands of millions of points that
        // never touches the screen: only a circle that can be seen is drawn.
        if (!CircleMeetsScreen(cx, cy, R)) return 1;
        const int32_t nRadius = static_cast<int32_t>(R);
        const int32_t x = static_cast<int32_t>(cx), y = static_cast<int32_t>(cy);
        if (nRadius >= 65 && !Direct3DInUse()) {
            // A large circle through DirectDraw: a 64-pixel circle stretched to size.
            DDSURFACEDATA* lpWork = Sys(SystemIni.DD_VideoStretch != 0 ? kWorkA : kWorkB);
            DDFillRect(lpWork, 0, 0, 129, 129, 0);
            DDCircle(lpWork, 64, 64, 64, nColour);
            DDBltStretch(lpTarget, x - nRadius, y - nRadius, 2 * nRadius, 2 * nRadius, lpWork, 0, 0, 129, 129, 1);
        } else {
            DDCircle(lpTarget, x, y, nRadius, nColour);
        }
    }
    return 1;
}

int32_t ChooseSheetVariant(int32_t nSheet, int32_t bStretched)
{
    if (lpDTCon != nullptr || lpDD == nullptr) return nSheet;
    if (nSheet < 0 || nSheet + 18 >= SystemSurfaceCount) return nSheet;
    if (bStretched == 0) return Sys(nSheet)->lpDDraw == nullptr ? nSheet + 18 : nSheet;
    return Sys(nSheet + 18)->lpDDraw != nullptr ? nSheet + 18 : nSheet;
}

void ClearSheetRecord(DDSURFACEDATA* lpSurface)
{
    if (lpSurface == nullptr) return;
    // The record only: whatever it pointed at has been released by its owner.
    lpSurface->lpDT = nullptr;
    lpSurface->lpDDraw = nullptr;
    std::memset(lpSurface->szSurfaceType, 0, sizeof(lpSurface->szSurfaceType));
    lpSurface->nWidth = lpSurface->nHeight = 0;
    lpSurface->nTexWidth = lpSurface->nTexHeight = 0;
    std::memset(lpSurface->szFileName, 0, sizeof(lpSurface->szFileName));
    lpSurface->dwMemoryType = 0;
    lpSurface->nMirrorWidth = lpSurface->nMirrorHeight = 0;
    lpSurface->lpBaseSD = nullptr;
    lpSurface->bLost = 0;
}
