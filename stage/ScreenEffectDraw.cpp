// The screen effects: once a frame, after the stage has been drawn into the virtual back buffer,
// the running effect rewrites the whole picture (moves it, shakes it, splits it into stripes,
// waves it, blinks it, rotates it, cuts a circle around the hero, zooms, a lens or a blur) and
// then advances its value.
#include "stage/ScreenEffectDraw.h"
#include "objects/PlayNumbers.h"

#include <cmath>
#include <cstdint>

#include "data/EdCharaEffect.h"
#include "flows/ScreenEffect.h"
#include "media/graphics/DDBlitEffects.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDEffects.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "shell/ShellGlobals.h"
#include "stage/PlayState.h"
#include "stage/Player.h"
#include "stage/StageLayers.h"

namespace {

constexpr int32_t kScreenW = 640;
constexpr int32_t kScreenH = 480;
constexpr uint32_t kDark = 16;
constexpr int32_t kWork1 = 65;
constexpr int32_t kWork2 = 66;

cScreenEffect& Effect()
{
    return PlayState()->m_ScreenEffect;
}

const int32_t* Params()
{
    return Effect().GetRecord().m_anParam;
}

DDSURFACEDATA* Back()
{
    return &BackBuffer;
}

DDSURFACEDATA* Work(int32_t n)
{
    return &SystemSurfaces[n];
}

DDSURFACEDATA* ZoomCopy()
{
    return lpDTCon != nullptr ? &WorkSD : &SystemWorkSD;
}

// Runs the effect again from the start: a back-and-forth run turns round.
void Restart(cScreenEffect& e)
{
    if (e.m_nRunMode == 2) e.m_bReversedNow = e.m_bReversedNow != 0 ? 0 : 1;
    const std::vector<cScreenEffect>& table =
        e.m_bReversedNow != 0 ? g_ScreenEffectTableReversed : g_ScreenEffectTable;
    const int32_t n = e.m_nScrEffect;
    if (n >= 0 && static_cast<size_t>(n) < table.size()) {
        const cScreenEffect keep = e;
        e = table[static_cast<size_t>(n)];
        e.m_nScrEffect = keep.m_nScrEffect;
        e.m_nRunMode = keep.m_nRunMode;
        e.m_bRepeat = keep.m_bRepeat;
        e.m_bReversedNow = keep.m_bReversedNow;
    }
    e.m_nDrawCount = 0;
}

// Moves the effect's value from a toward b by d (or its timer, for an effect whose start is its
// end); 1 when it has run its course.
int32_t Step(cScreenEffect& e, double a, double b, double d)
{
    bool bRunning;
    if (e.m_bTimerMode != 0) {
        e.m_dTimer += e.m_dSpeed;
        bRunning = e.m_dTimer <= e.m_nTime;
    } else if (a <= b) {
        e.m_dValue += d;
        bRunning = TruncToInt32(e.m_dValue) <= b;
    } else {
        e.m_dValue -= d;
        bRunning = TruncToInt32(e.m_dValue) >= b;
    }
    if (bRunning) return 0;
    if (e.m_bRepeat != 0 || (e.m_nRunMode == 2 && e.m_bReversedNow == 0)) {
        Restart(e);
        return 0;
    }
    return 1;
}

// Kinds that count their value up from 0 in tenths of a second.
int32_t StepTime(int32_t bDrawOnly)
{
    if (bDrawOnly != 0) return 0;
    cScreenEffect& e = Effect();
    return Step(e, 0.0, Params()[0], e.m_dSpeed);
}

// Kinds that run their value from parameter 1 to parameter 2.
int32_t StepRange(int32_t bDrawOnly)
{
    if (bDrawOnly != 0) return 0;
    cScreenEffect& e = Effect();
    const int32_t* p = Params();
    return Step(e, p[1], p[2], e.m_dSpeed);
}

// The picture goes to a work surface, the back buffer is cleared, and the work surface is
// drawn back opaquely by the effect.
void BeginCopy(DDSURFACEDATA* lpWork, bool bClear)
{
    DDBlt(lpWork, 0, 0, kScreenW, kScreenH, Back(), 0, 0, 0);
    if (bClear) DDFillRect(Back(), 0, 0, kScreenW, kScreenH, kDark);
    DDSetAlphaOp(1);
}

void EndCopy()
{
    DDResetAlphaOp();
}

// The centre of player 1 on screen.
void HeroCentre(int32_t& cx, int32_t& cy)
{
    cx = kScreenW / 2;
    cy = kScreenH / 2;
    if (Player.empty()) return;
    cHero& hero = Player[0];
    hero.GetScreenRect();
    cx = hero.m_nLeft + hero.m_nWidth / 2;
    cy = hero.m_nTop + hero.m_nHeight / 2;
}

int32_t EffectNone(int32_t bDrawOnly)
{
    (void)bDrawOnly;
    return 0;
}

int32_t EffectMove(int32_t bDrawOnly)
{
    cScreenEffect& e = Effect();
    const int32_t* p = Params();
    BeginCopy(Work(kWork1), true);
    DDBlt(Back(), e.m_nInt1, e.m_nInt2, kScreenW, kScreenH, Work(kWork1), 0, 0, 0);
    EndCopy();
    if (bDrawOnly != 0) return 0;
    const double dTime = p[0] != 0 ? p[0] : 1.0;
    e.m_nInt1 = TruncToInt32((static_cast<double>(p[3]) - p[1]) / dTime * e.m_dValue + p[1]);
    e.m_nInt2 = TruncToInt32((static_cast<double>(p[4]) - p[2]) / dTime * e.m_dValue + p[2]);
    return StepTime(bDrawOnly);
}

// The shake offset swings between -width and width, count times over the effect's time.
void AdvanceShake(cScreenEffect& e, const int32_t* p)
{
    const double dWidth = p[1];
    const double dFrames = static_cast<double>(p[0]) * 6;
    const double dStep = dFrames > 0.0 ? (static_cast<double>(p[2]) * p[1] * 4) / dFrames : 0.0;
    if (e.m_nInt1 == 1)
        e.m_dValue2 -= dStep;
    else
        e.m_dValue2 += dStep;
    if (e.m_dValue2 <= -dWidth) {
        e.m_dValue2 = -dWidth;
        e.m_nInt1 = 0;
    } else if (e.m_dValue2 >= dWidth) {
        e.m_dValue2 = dWidth;
        e.m_nInt1 = 1;
    }
}

int32_t EffectShakeX(int32_t bDrawOnly)
{
    cScreenEffect& e = Effect();
    const int32_t o = TruncToInt32(e.m_dValue2);
    BeginCopy(Work(kWork1), false);
    if (o > 0)
        DDFillRect(Back(), 0, 0, o + 1, kScreenH, kDark);
    else if (o < 0)
        DDFillRect(Back(), o + kScreenW, 0, 1 - o, kScreenH, kDark);
    DDBlt(Back(), o, 0, kScreenW, kScreenH, Work(kWork1), 0, 0, 0);
    EndCopy();
    if (bDrawOnly != 0) return 0;
    AdvanceShake(e, Params());
    return StepTime(bDrawOnly);
}

int32_t EffectShakeY(int32_t bDrawOnly)
{
    cScreenEffect& e = Effect();
    BeginCopy(Work(kWork1), true);
    DDBlt(Back(), 0, TruncToInt32(e.m_dValue2), kScreenW, kScreenH, Work(kWork1), 0, 0, 0);
    EndCopy();
    if (bDrawOnly != 0) return 0;
    AdvanceShake(e, Params());
    return StepTime(bDrawOnly);
}

int32_t Stripes(int32_t bDrawOnly, int32_t nLength, int32_t nOrientation)
{
    const int32_t nDivisions = Params()[3] >= 1 ? Params()[3] : 1;
    const int32_t nStripe = (nLength + nDivisions - 1) / nDivisions;
    BeginCopy(Work(kWork1), true);
    DDBltStripe(Back(), 0, 0, kScreenW, kScreenH, nStripe, TruncToInt32(Effect().m_dValue), Work(kWork1), 0, 0, 0,
                nOrientation);
    EndCopy();
    return StepRange(bDrawOnly);
}

int32_t EffectStripesX(int32_t bDrawOnly)
{
    return Stripes(bDrawOnly, kScreenH, 0);
}

int32_t EffectStripesY(int32_t bDrawOnly)
{
    return Stripes(bDrawOnly, kScreenW, 1);
}

int32_t Wave(int32_t bDrawOnly, int32_t nOrientation)
{
    cScreenEffect& e = Effect();
    const int32_t* p = Params();
    BeginCopy(Work(kWork1), true);
    DDBltWave(Back(), 0, 0, kScreenW, kScreenH, p[3], TruncToInt32(e.m_dValue), e.m_nInt1, p[4], Work(kWork1), 0, 0,
              0, nOrientation);
    EndCopy();
    if (bDrawOnly != 0) return 0;
    e.m_nInt1 = (e.m_nInt1 + 1) % 360;
    return StepRange(bDrawOnly);
}

int32_t EffectWaveX(int32_t bDrawOnly)
{
    return Wave(bDrawOnly, 0);
}

int32_t EffectWaveY(int32_t bDrawOnly)
{
    return Wave(bDrawOnly, 1);
}

int32_t EffectBlink(int32_t bDrawOnly)
{
    cScreenEffect& e = Effect();
    // While hidden, the backgrounds are drawn over the stage's objects and blocks.
    if (e.m_nInt2 == 0) {
        DrawBackgroundLayer(Back(), 0);
        DrawBackgroundLayer(Back(), 1);
    }
    if (e.m_nInt1 >= Params()[1]) {
        e.m_nInt1 = 0;
        e.m_nInt2 = e.m_nInt2 != 0 ? 0 : 1;
    }
    if (bDrawOnly != 0) return 0;
    ++e.m_nInt1;
    return StepTime(bDrawOnly);
}

int32_t EffectRotate(int32_t bDrawOnly)
{
    BeginCopy(Work(kWork2), true);
    DDBltRotate(Back(), kScreenW / 2, kScreenH / 2, kScreenW, kScreenH, kScreenW / 2, kScreenH / 2,
                TruncToInt32(Effect().m_dValue), Work(kWork2), 0, 0, 0);
    EndCopy();
    return StepRange(bDrawOnly);
}

int32_t EffectCircle(int32_t bDrawOnly)
{
    int32_t cx = 0, cy = 0;
    HeroCentre(cx, cy);
    const int32_t hx = cx >= kScreenW / 2 ? cx : kScreenW - cx;
    const int32_t hy = cy >= kScreenH / 2 ? cy : kScreenH - cy;
    BeginCopy(Work(kWork1), true);
    DDBltDisc(Back(), cx, cy, hx, hy, TruncToInt32(Effect().m_dValue), Params()[3], Work(kWork1), cx, cy, 0);
    EndCopy();
    return StepRange(bDrawOnly);
}

int32_t EffectZoom(int32_t bDrawOnly)
{
    const double k = Effect().m_dValue / kScreenW;
    DDSURFACEDATA* lpCopy = ZoomCopy();
    if (k >= 1.0) {
        int32_t cx = 0, cy = 0;
        HeroCentre(cx, cy);
        const int32_t w = TruncToInt32(kScreenW / k), h = TruncToInt32(kScreenH / k);
        int32_t left = cx - w / 2, top = cy - h / 2;
        left = left < 0 ? 0 : (left > kScreenW - w ? kScreenW - w : left);
        top = top < 0 ? 0 : (top > kScreenH - h ? kScreenH - h : top);
        BeginCopy(lpCopy, false);
        DDBltStretch(Back(), 0, 0, kScreenW, kScreenH, lpCopy, left, top, w, h, 1);
    } else {
        const int32_t w = TruncToInt32(kScreenW * k), h = TruncToInt32(kScreenH * k);
        BeginCopy(lpCopy, true);
        DDBltStretch(Back(), TruncToInt32((kScreenW - kScreenW * k) / 2), TruncToInt32((kScreenH - kScreenH * k) / 2), w, h,
                     lpCopy, 0, 0, kScreenW, kScreenH, 1);
    }
    EndCopy();
    return StepRange(bDrawOnly);
}

int32_t EffectLens(int32_t bDrawOnly)
{
    const int32_t* p = Params();
    int32_t cx = 0, cy = 0;
    HeroCentre(cx, cy);
    cx += p[3];
    cy += p[4];
    const double f = cx >= kScreenW / 2 ? cx : kScreenW - cx;
    const double g = cy >= kScreenH / 2 ? cy : kScreenH - cy;
    const double h = std::sqrt(2.0) * (f > g ? f : g);
    const int32_t nSide = TruncToInt32(nBpp == 16 ? 4 * h : 2 * h);
    DDFillRect(Work(kWork2), 0, 0, nSide, nSide, 0);
    BeginCopy(Work(kWork2), true);
    DDBltLens(Back(), cx, cy, TruncToInt32(h), TruncToInt32(Effect().m_dValue), Work(kWork2), cx, cy, 0, 0);
    EndCopy();
    return StepRange(bDrawOnly);
}

int32_t EffectBlur(int32_t bDrawOnly)
{
    const int32_t nStrength = TruncToInt32(Effect().m_dValue);
    BeginCopy(Work(kWork2), true);
    DDBlur(Back(), 0, 0, kScreenW, kScreenH, nStrength, nStrength, Work(kWork2), 0, 0, 0);
    EndCopy();
    return StepRange(bDrawOnly);
}

}  // namespace

const ScreenEffectHandler ScreenEffectHandlerTable[14] = {
    EffectNone,    EffectMove,   EffectShakeX, EffectShakeY, EffectStripesX, EffectStripesY, EffectWaveX,
    EffectWaveY,   EffectBlink,  EffectRotate, EffectCircle, EffectZoom,     EffectLens,     EffectBlur,
};

void DrawScreenEffect(int32_t bDrawOnly)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpState->m_ScreenEffect.m_nScrEffect == 0) return;
    const int32_t nKind = lpState->m_ScreenEffect.GetRecord().m_nKind;
    // A record of a kind no handler knows ends the effect rather than leave the picture in the
    // virtual back buffer for ever.
    const bool bKnown = nKind >= 0 && nKind < 14;
    if (bKnown && ScreenEffectHandlerTable[nKind](bDrawOnly) != 1) return;
    lpState->m_ScreenEffect.m_nScrEffect = 0;
    DDSetVirtualBackBuffer(0);
}
