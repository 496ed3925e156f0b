// Fades, frames, numbers, the animated blits and the palette helpers.
#include "media/graphics/DDBlitEffects.h"

#include <algorithm>
#include <cmath>

#include "core/Log.h"
#include "media/graphics/DDBatch.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDEffects.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "media/graphics/SceneTarget.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

double Radians(double degrees) { return degrees * kPi / 180.0; }

// The fade angles live for the program's lifetime; an abandoned fade continues where it stopped.
double FadeOutAngleD3D = 90.0;
double FadeOutAngleDD = 90.0;
double FadeInAngleD3D = 0.0;
double FadeInAngleDD = 0.0;

// Lays black with alpha 255 - a over the whole back buffer (or the virtual one). 0 when the
// scene or the render target failed.
int32_t DrawFadeOverlay(int32_t a)
{
    DDSURFACEDATA* target = &BackBuffer;
    DDRedirectToVirtualBackBuffer(&target);
    DTSURFACEDATA* dt = target->lpDT;
    if (!dt || !dt->lpVB) return 1;
    void* data = nullptr;
    if (FAILED(dt->lpVB->Lock(0, 0, &data, 0)) || !data) return 1;
    const float w = static_cast<float>(target->nWidth), h = static_cast<float>(target->nHeight);
    const float tu = target->nTexWidth ? w / static_cast<float>(target->nTexWidth) : 0.0f;
    const float tv = target->nTexHeight ? h / static_cast<float>(target->nTexHeight) : 0.0f;
    const D3DCOLOR colour = static_cast<D3DCOLOR>(255 - a) << 24;
    auto* v = static_cast<D3DTLVERTEX_TEX1*>(data);
    v[0] = {-0.5f, -0.5f, 0.0f, 1.0f, colour, 0.0f, 0.0f};
    v[1] = {-0.5f, h - 0.5f, 0.0f, 1.0f, colour, 0.0f, tv};
    v[2] = {w - 0.5f, -0.5f, 0.0f, 1.0f, colour, tu, 0.0f};
    v[3] = {w - 0.5f, h - 0.5f, 0.0f, 1.0f, colour, tu, tv};
    dt->lpVB->Unlock();
    if (!DDBeginScene()) return 0;
    if (!DDSetRenderTarget(0, target)) return 0;
    lpDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    lpDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    lpDevice->SetStreamSource(0, dt->lpVB, 0, sizeof(D3DTLVERTEX_TEX1));
    lpDevice->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    lpDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    if (!DDSetRenderTarget(0, lpDTCon->lpTargetSD)) return 0;
    return 1;
}

// One DirectDraw fade step at the given level: the palette at 8 bits, the picture otherwise.
void FadeDirectDraw(PALETTEENTRY* lpOut, int32_t first, int32_t last, int32_t level, uint8_t r, uint8_t g,
                    uint8_t b, const PALETTEENTRY* lpSource)
{
    if (nBpp == 8) {
        DDBlendPalette(lpOut, first, last, level, r, g, b, lpSource);
        first = std::max(first, 0);
        last = std::min(last, 255);
        if (lpDDPalette && first <= last)
            lpDDPalette->SetEntries(0, static_cast<DWORD>(first), static_cast<DWORD>(last - first + 1), lpOut + first);
    } else {
        DDFade_UnPal(&BackBuffer, level, r, g, b, &SystemWorkSD);
    }
}

} // namespace

void DDFrameRect(DDSURFACEDATA* lpSD, int32_t x, int32_t y, int32_t w, int32_t h, int32_t t, uint32_t dwPalNum)
{
    DDBeginFillBatch();
    DDFillRect(lpSD, x, y, w, t, dwPalNum);
    DDFillRect(lpSD, x, y + h - t, w, t, dwPalNum);
    DDFillRect(lpSD, x, y, t, h, dwPalNum);
    DDFillRect(lpSD, x + w - t, y, t, h, dwPalNum);
    DDEndFillBatch();
}

void DDBltFramed(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h, DDSURFACEDATA* lpSrcSD,
                 int32_t t, uint32_t dwPalNum)
{
    DDBlt(lpDstSD, x, y, w, h, lpSrcSD, 0, 0, 0);
    DDFrameRect(lpDstSD, x - t, y - t, w + 2 * t, h + 2 * t, t, dwPalNum);
}

void DDDrawNumber(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t dw, int32_t dh, DDSURFACEDATA* lpStripSD,
                  int32_t sx, int32_t sy, int32_t flags, int32_t value, int32_t minDigits, int32_t centre)
{
    if (value < 0) value = 0;
    int32_t digits[10];
    int32_t n = 0;
    do {
        digits[n++] = value % 10;
        value /= 10;
    } while (value > 0 && n < 10);
    if (n < minDigits) {
        const int64_t shift = static_cast<int64_t>(minDigits - n) * dw;
        x += static_cast<int32_t>(centre ? shift / 2 : shift);
    }
    for (int32_t i = n - 1; i >= 0; --i) {
        DDBlt(lpDstSD, x, y, dw, dh, lpStripSD, sx + dw * digits[i], sy, flags);
        x += dw;
    }
}

void DDBltWave(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h, int32_t waves,
               double amplitude, int32_t phase, int32_t band, DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy,
               int32_t flags, int32_t columns)
{
    // No band, or an empty rectangle, has no wave to draw.
    if (band <= 0 || w <= 0 || h <= 0) return;
    DDBeginDrawBatch(0);
    double a = 0.0;
    if (columns) {
        for (int32_t k = 0; k < w; k += band) {
            a += static_cast<double>(band) * 360.0 / w;
            const int32_t offset = static_cast<int32_t>(amplitude * std::sin(Radians((phase + a) * waves)));
            DDBlt(lpDstSD, x + k, y + offset, std::min(band, w - k), h, lpSrcSD, sx + k, sy, flags);
            if (k > w - band) break;
        }
    } else {
        for (int32_t k = 0; k < h; k += band) {
            a += static_cast<double>(band) * 360.0 / h;
            const int32_t offset = static_cast<int32_t>(amplitude * std::sin(Radians((phase + a) * waves)));
            DDBlt(lpDstSD, x + offset, y + k, w, std::min(band, h - k), lpSrcSD, sx, sy + k, flags);
            if (k > h - band) break;
        }
    }
    DDEndDrawBatch();
}

int32_t DDBltStripe(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h, int32_t stripe,
                    int32_t shift, DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flags, int32_t vertical)
{
    if (stripe == 0) return DDBlt(lpDstSD, x, y, w, h, lpSrcSD, sx, sy, flags);
    if (stripe < 0) return 0;
    DDBeginDrawBatch(0);
    const int32_t n = (vertical ? w : h) / stripe;
    // Odd stripes first, shifted up (left); then even stripes, shifted down (right).
    for (int32_t pass = 1; pass >= 0; --pass) {
        for (int32_t k = pass; k < n; k += 2) {
            const int32_t d = pass ? -shift : shift;
            const int32_t at = k * stripe;
            if (vertical)
                DDBlt(lpDstSD, x + at, y + d, stripe, h, lpSrcSD, sx + at, sy, flags);
            else
                DDBlt(lpDstSD, x + d, y + at, w, stripe, lpSrcSD, sx, sy + at, flags);
        }
    }
    DDEndDrawBatch();
    return 0;
}

void DDBltCardFlip(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h, DDSURFACEDATA* lpSrcSD1,
                   int32_t sx1, int32_t sy1, DDSURFACEDATA* lpSrcSD2, int32_t sx2, int32_t sy2, int32_t sw, int32_t sh,
                   int32_t flags, int32_t frame, int32_t vertical)
{
    if (vertical != 0 && vertical != 1) return;
    const int32_t extent = vertical ? h : w;
    const int32_t u = extent / 2;
    // A card narrower than 2 pixels has no half to turn about.
    if (u < 1) return;
    const int32_t r = std::max(frame, 0);
    const int32_t p = r % u;
    const int32_t v = (r / u) % 2 == 0 ? p : u - p - 1;
    const bool second = ((static_cast<int64_t>(r) + u) / extent) % 2 == 1;
    DDSURFACEDATA* src = second ? lpSrcSD2 : lpSrcSD1;
    const int32_t fsx = second ? sx2 : sx1, fsy = second ? sy2 : sy1;
    if (vertical)
        DDBltStretch(lpDstSD, x, y + v, w, h - 2 * v, src, fsx, fsy, sw, sh, flags);
    else
        DDBltStretch(lpDstSD, x + v, y, w - 2 * v, h, src, fsx, fsy, sw, sh, flags);
}

void DDBltQuarters(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h, DDSURFACEDATA* lpSrcSD,
                   int32_t sx, int32_t sy, int32_t gap, int32_t flags)
{
    const int32_t hw = w / 2, hh = h / 2;
    DDBeginDrawBatch(0);
    DDBlt(lpDstSD, x - gap, y - gap, hw, hh, lpSrcSD, sx, sy, flags);
    DDBlt(lpDstSD, x + hw + gap, y - gap, hw, hh, lpSrcSD, sx + hw, sy, flags);
    DDBlt(lpDstSD, x - gap, y + hh + gap, hw, hh, lpSrcSD, sx, sy + hh, flags);
    DDBlt(lpDstSD, x + hw + gap, y + hh + gap, hw, hh, lpSrcSD, sx + hw, sy + hh, flags);
    DDEndDrawBatch();
}

void DDBlendPalette(PALETTEENTRY* lpOut, int32_t first, int32_t last, int32_t level, uint8_t red, uint8_t green,
                    uint8_t blue, const PALETTEENTRY* lpSource)
{
    if (!lpOut || !lpSource) return;
    first = std::max(first, 0);
    last = std::min(last, 255);
    level = std::clamp(level, 0, 256);
    for (int32_t i = first; i <= last; ++i) {
        lpOut[i].peRed = static_cast<BYTE>((lpSource[i].peRed * level + red * (256 - level)) >> 8);
        lpOut[i].peGreen = static_cast<BYTE>((lpSource[i].peGreen * level + green * (256 - level)) >> 8);
        lpOut[i].peBlue = static_cast<BYTE>((lpSource[i].peBlue * level + blue * (256 - level)) >> 8);
        lpOut[i].peFlags = PC_RESERVED;
    }
}

int32_t DDFadeOut(PALETTEENTRY* lpOut, int32_t first, int32_t last, uint8_t red, uint8_t green, uint8_t blue,
                  double step, const PALETTEENTRY* lpSource, int32_t finish)
{
    double& angle = lpDTCon ? FadeOutAngleD3D : FadeOutAngleDD;
    if (lpDTCon) {
        if (finish) angle = 0.0;
        const int32_t a = static_cast<int32_t>(std::sin(Radians(angle)) * 255.0);
        if (!DrawFadeOverlay(a)) return 0;
    } else {
        if (angle == 90.0 && nBpp != 8)
            DDBlt(&SystemWorkSD, 0, 0, BackBuffer.nWidth, BackBuffer.nHeight, &BackBuffer, 0, 0, 0);
        if (finish) angle = 0.0;
        const int32_t level = static_cast<int32_t>(std::sin(Radians(angle)) * 256.0);
        FadeDirectDraw(lpOut, first, last, level, red, green, blue, lpSource);
    }
    if (angle <= 0.0) {
        angle = 90.0;
        return 1;
    }
    angle = std::max(angle - step, 0.0);
    return 0;
}

int32_t DDFadeIn(PALETTEENTRY* lpOut, int32_t first, int32_t last, uint8_t red, uint8_t green, uint8_t blue,
                 double step, const PALETTEENTRY* lpSource, int32_t finish)
{
    double& angle = lpDTCon ? FadeInAngleD3D : FadeInAngleDD;
    if (lpDTCon) {
        if (finish) angle = 90.0;
        const int32_t a = static_cast<int32_t>(std::sin(Radians(angle)) * 255.0);
        if (!DrawFadeOverlay(a)) return 0;
    } else {
        if (angle == 0.0 && nBpp != 8)
            DDBlt(&SystemWorkSD, 0, 0, BackBuffer.nWidth, BackBuffer.nHeight, &BackBuffer, 0, 0, 0);
        if (finish) angle = 90.0;
        const int32_t level = static_cast<int32_t>(std::sin(Radians(angle)) * 256.0);
        FadeDirectDraw(lpOut, first, last, level, red, green, blue, lpSource);
    }
    if (angle < 90.0) {
        angle = std::min(angle + step, 90.0);
        return 0;
    }
    angle = 0.0;
    return 1;
}

void DDRotatePalette(PALETTEENTRY* lpOut, int32_t first, int32_t last, int32_t n, int32_t direction,
                     const PALETTEENTRY* lpSource)
{
    if (nBpp != 8 && nBpp != 16 && nBpp != 32) return;
    if (!lpOut || !lpSource) return;
    if (lpOut != lpSource) std::copy(lpSource, lpSource + 256, lpOut);
    first = std::max(first, 0);
    last = std::min(last, 255);
    if (first >= last) return;
    const int32_t count = last - first + 1;
    const int32_t k = ((n % count) + count) % count;
    if (direction == 0)
        std::rotate(lpOut + first, lpOut + last + 1 - k, lpOut + last + 1);
    else if (direction == 1)
        std::rotate(lpOut + first, lpOut + first + k, lpOut + last + 1);
}

uint32_t DDPalToRGB16(const PALETTEENTRY& e)
{
    if (lpDTCon) {
        WriteTraceLogF("DDPalToRGB16はDirect3Dでは未対応");
        return 0;
    }
    const PIXELMASKS& m = SurfaceMasks;
    return (static_cast<uint32_t>(e.peBlue & m.nBMask) << m.nBShift) |
           (static_cast<uint32_t>(e.peGreen & m.nGMask) << m.nGShift) |
           (static_cast<uint32_t>(e.peRed & m.nRMask) << m.nRShift);
}
