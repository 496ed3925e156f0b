// Fills, pixels and circles on both back ends, and the Direct3D fill batch.
//
// Two clips. DirectDraw and the Direct3D fills drawn by pixels cut a rectangle to the surface on
// both edges: one that starts left of or above the surface loses the part outside. Fills drawn by
// the device onto render targets move such a rectangle to the edge and keep its size, so x = -10
// with width 100 fills columns 0 to 99; only the right and bottom edges are cut.
#include "media/graphics/DDFill.h"

#include <algorithm>
#include <vector>

#include "core/Log.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDPalette.h"
#include "media/graphics/DDPixel.h"
#include "media/graphics/GraphicsState.h"
#include "media/graphics/SceneTarget.h"

namespace {

constexpr DWORD kVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr size_t kMaxGroup = 65536 / 4;

struct FillRecord {
    DDSURFACEDATA* lpTarget;
    int32_t x, y, w, h;
    uint32_t dwColor;
};

struct FillBatchState {
    int32_t bOpen = 0;
    int32_t nDepth = 0; // nested opens still to be closed
    std::vector<FillRecord> Records;
    std::vector<D3DTLVERTEX_TEX1> Staging;
};

FillBatchState FillBatch;

// Clips [pos, pos + size) to [0, extent); false when nothing is left.
bool ClipSpan(int32_t& pos, int32_t& size, int32_t extent)
{
    int64_t a = pos, b = static_cast<int64_t>(pos) + size;
    a = std::max<int64_t>(a, 0);
    b = std::min<int64_t>(b, extent);
    if (b <= a) return false;
    pos = static_cast<int32_t>(a);
    size = static_cast<int32_t>(b - a);
    return true;
}

// The render-target clip: a start before the surface moves to 0 with the size kept, a start
// beyond it moves to the extent, and the size is then cut to end at the extent; false when
// nothing is left.
bool ClipSpanKeepingSize(int32_t& pos, int32_t& size, int32_t extent)
{
    if (size <= 0 || extent <= 0) return false;
    const int64_t a = std::clamp<int64_t>(pos, 0, extent);
    const int64_t b = std::min<int64_t>(a + size, extent);
    if (b <= a) return false;
    pos = static_cast<int32_t>(a);
    size = static_cast<int32_t>(b - a);
    return true;
}

// The DirectDraw colour of a palette index at the display depth.
uint32_t DirectDrawColour(uint32_t dwPalNum)
{
    if (dwPalNum > 255) {
        WriteTraceLogF("PalNumToRGB(DWORD dwPalNum) Err dwPalNum = %d", static_cast<int>(dwPalNum));
        dwPalNum = 0;
    }
    const PALETTEENTRY& e = ColorPalette[dwPalNum];
    switch (nBpp) {
    case 8: return dwPalNum;
    case 16:
        return (static_cast<uint32_t>(e.peBlue & SurfaceMasks.nBMask) << SurfaceMasks.nBShift) |
               (static_cast<uint32_t>(e.peGreen & SurfaceMasks.nGMask) << SurfaceMasks.nGShift) |
               (static_cast<uint32_t>(e.peRed & SurfaceMasks.nRMask) << SurfaceMasks.nRShift);
    case 24:
    case 32: return (static_cast<uint32_t>(e.peRed) << 16) | (static_cast<uint32_t>(e.peGreen) << 8) | e.peBlue;
    default: return 0;
    }
}

int32_t DirectDrawFill(DDSURFACEDATA* lpSD, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour)
{
    if (!lpSD || !lpSD->lpDDraw || !lpSD->lpDDraw->lpDDSurface) return 0;
    if (!ClipSpan(x, w, lpSD->nWidth) || !ClipSpan(y, h, lpSD->nHeight)) return 0;
    RECT rc{x, y, x + w, y + h};
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = colour;
    return lpSD->lpDDraw->lpDDSurface->Blt(&rc, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

void WriteFillVertices(D3DTLVERTEX_TEX1* v, const FillRecord& r, bool bBatch)
{
    const float l = static_cast<float>(r.x) - 0.5f, t = static_cast<float>(r.y) - 0.5f;
    const float rt = static_cast<float>(r.x + r.w) - 0.5f, b = static_cast<float>(r.y + r.h) - 0.5f;
    const float tw = bBatch ? static_cast<float>(r.w) : 0.0f, th = bBatch ? static_cast<float>(r.h) : 0.0f;
    v[0] = {l, t, 0.0f, 1.0f, r.dwColor, 0.0f, 0.0f};
    v[1] = {l, b, 0.0f, 1.0f, r.dwColor, 0.0f, th};
    v[2] = {rt, t, 0.0f, 1.0f, r.dwColor, tw, 0.0f};
    v[3] = {rt, b, 0.0f, 1.0f, r.dwColor, tw, th};
}

// Fill of a surface that cannot be rendered to: pixels on the locked surface.
void SoftwareFill(DDSURFACEDATA* lpSD, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb)
{
    cSurfaceLock lock;
    if (!lock.Lock(lpSD)) return;
    const ddpixel::View v = ddpixel::ViewOf(lock);
    if (!ClipSpan(x, w, v.width) || !ClipSpan(y, h, v.height)) return;
    const ddpixel::Mode m = ddpixel::CurrentMode(lock.m_lpSD);
    const int32_t a = static_cast<int32_t>(argb >> 24), r = static_cast<int32_t>((argb >> 16) & 255),
                  g = static_cast<int32_t>((argb >> 8) & 255), b = static_cast<int32_t>(argb & 255);
    if (m.nDepth == 16) {
        uint16_t value;
        const int32_t r5 = r * m.sm.rm / 255, g5 = g * m.sm.gm / 255, b5 = b * m.sm.bm / 255;
        if (m.bFullBack) {
            value = static_cast<uint16_t>((r5 << m.bbm.rs) | ((g5 * 2) << m.bbm.gs) | (b5 << m.bbm.bs));
        } else {
            value = static_cast<uint16_t>((r5 << m.sm.rs) | (g5 << m.sm.gs) | (b5 << m.sm.bs) |
                                          ((a * m.sm.am / 255) << m.sm.as));
        }
        for (int32_t j = y; j < y + h; ++j) std::fill_n(v.Row<uint16_t>(j) + x, w, value);
    } else if (m.nDepth == 32) {
        for (int32_t j = y; j < y + h; ++j) std::fill_n(v.Row<uint32_t>(j) + x, w, argb);
    }
}

} // namespace

int32_t DDFillRectColor(DDSURFACEDATA* lpSD, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t dwColor)
{
    if (!lpSD) return 0;
    if (!lpDTCon) return DirectDrawFill(lpSD, x, y, w, h, dwColor);
    DDRedirectToBaseSurface(&lpSD);
    DDRedirectToVirtualBackBuffer(&lpSD);
    DTSURFACEDATA* dt = lpSD->lpDT;
    if (!dt) return 0;
    if (!dt->bRenderTarget) {
        SoftwareFill(lpSD, x, y, w, h, dwColor);
        return 0;
    }
    if (!ClipSpanKeepingSize(x, w, lpSD->nWidth) || !ClipSpanKeepingSize(y, h, lpSD->nHeight)) return 0;
    const uint32_t transparent = lpSD == &BackBuffer ? lpDTCon->dwTransmitBack : lpDTCon->dwTransmitTexture;
    if (dt->bColorKey && (nBpp == 16 || nBpp == 32) && dwColor == transparent) {
        // Drawing transparent colour would blend to nothing: clear to it instead.
        if (!DDBeginScene() || !DDSetRenderTarget(0, lpSD)) return 0;
        const RECT rc{x, y, x + w, y + h};
        const HRESULT hr = lpDevice->Clear(1, &rc, D3DCLEAR_TARGET, dwColor, 1.0f, 0);
        DDSetRenderTarget(0, lpDTCon->lpTargetSD);
        return hr;
    }
    const FillRecord rec{lpSD, x, y, w, h, dwColor};
    if (FillBatch.bOpen) {
        FillBatch.Records.push_back(rec);
        return 0;
    }
    void* data = nullptr;
    if (!dt->lpVB || FAILED(dt->lpVB->Lock(0, 0, &data, 0)) || !data) return 0;
    WriteFillVertices(static_cast<D3DTLVERTEX_TEX1*>(data), rec, false);
    dt->lpVB->Unlock();
    if (!DDBeginScene() || !DDSetRenderTarget(0, lpSD)) return 0;
    lpDevice->SetRenderState(D3DRS_TEXTUREFACTOR, dwColor);
    lpDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    lpDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
    lpDevice->SetStreamSource(0, dt->lpVB, 0, sizeof(D3DTLVERTEX_TEX1));
    lpDevice->SetFVF(kVertexFormat);
    const HRESULT hr = lpDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    DDSetRenderTarget(0, lpDTCon->lpTargetSD);
    return hr;
}

int32_t DDFillRect(DDSURFACEDATA* lpSD, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t dwPalNum)
{
    if (!lpSD) return 0;
    if (!lpDTCon) return DirectDrawFill(lpSD, x, y, w, h, DirectDrawColour(dwPalNum));
    if (dwPalNum > 255) {
        WriteTraceLogF("PalNumToRGB(DWORD dwPalNum) Err dwPalNum = %d", static_cast<int>(dwPalNum));
        return DDFillRectColor(lpSD, x, y, w, h, 0);
    }
    return DDFillRectColor(lpSD, x, y, w, h, PalNumToRGB(dwPalNum));
}

void DDFillSurface(DDSURFACEDATA* lpSD, uint32_t dwPalNum)
{
    if (lpSD) DDFillRect(lpSD, 0, 0, lpSD->nWidth, lpSD->nHeight, dwPalNum);
}

void DDFillSurfaceColor(DDSURFACEDATA* lpSD, uint32_t dwColor)
{
    if (lpSD) DDFillRectColor(lpSD, 0, 0, lpSD->nWidth, lpSD->nHeight, dwColor);
}

void DDBeginFillBatch()
{
    if (!lpDTCon) return;
    if (FillBatch.bOpen) {
        // A frame drawn inside an open fill batch joins it instead of dropping what it holds.
        ++FillBatch.nDepth;
        return;
    }
    FillBatch.Records.clear();
    FillBatch.nDepth = 0;
    FillBatch.bOpen = 1;
}

int32_t DDEndFillBatch()
{
    if (!lpDTCon) return 0;
    if (FillBatch.bOpen && FillBatch.nDepth > 0) {
        --FillBatch.nDepth;
        return 0;
    }
    HRESULT result = 0;
    std::vector<FillRecord>& recs = FillBatch.Records;
    size_t i = 0;
    while (i < recs.size()) {
        size_t n = 1;
        while (i + n < recs.size() && n < kMaxGroup && recs[i + n].lpTarget == recs[i].lpTarget) ++n;
        FillBatch.Staging.resize(n * 4);
        for (size_t j = 0; j < n; ++j) WriteFillVertices(&FillBatch.Staging[j * 4], recs[i + j], true);
        IDirect3DVertexBuffer9* vb = nullptr;
        if (FAILED(lpDevice->CreateVertexBuffer(static_cast<UINT>(n * 4 * sizeof(D3DTLVERTEX_TEX1)),
                                                D3DUSAGE_WRITEONLY, kVertexFormat, D3DPOOL_MANAGED, &vb,
                                                nullptr)) || !vb) {
            WriteReportTrace("CreateVertexBuffer Err");
            i += 1;
            continue;
        }
        IDirect3DIndexBuffer9* ib = nullptr;
        void* data = nullptr;
        void* idx = nullptr;
        const bool ready =
            SUCCEEDED(lpDevice->CreateIndexBuffer(static_cast<UINT>(n * 4 * sizeof(uint16_t)), D3DUSAGE_WRITEONLY,
                                                  D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr)) &&
            ib && SUCCEEDED(vb->Lock(0, 0, &data, 0)) && data;
        if (ready) {
            std::copy(FillBatch.Staging.begin(), FillBatch.Staging.end(), static_cast<D3DTLVERTEX_TEX1*>(data));
            vb->Unlock();
        }
        if (!ready || FAILED(ib->Lock(0, 0, &idx, 0)) || !idx || !DDBeginScene() ||
            !DDSetRenderTarget(0, recs[i].lpTarget)) {
            if (ib) ib->Release();
            vb->Release();
            i += 1;
            continue;
        }
        auto* indices = static_cast<uint16_t*>(idx);
        for (size_t k = 0; k < n * 4; ++k) indices[k] = static_cast<uint16_t>(k);
        ib->Unlock();
        lpDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        lpDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        lpDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        lpDevice->SetTexture(0, WorkSD.lpDT ? WorkSD.lpDT->lpTexture : nullptr);
        lpDevice->SetStreamSource(0, vb, 0, sizeof(D3DTLVERTEX_TEX1));
        lpDevice->SetIndices(ib);
        lpDevice->SetFVF(kVertexFormat);
        for (size_t j = 0; j < n; ++j) {
            const UINT start = static_cast<UINT>(j * 4);
            result = lpDevice->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, start, 4, start, 2);
        }
        lpDevice->SetIndices(nullptr);
        lpDevice->SetStreamSource(0, nullptr, 0, 0);
        ib->Release();
        vb->Release();
        DDSetRenderTarget(0, lpDTCon->lpTargetSD);
        i += n;
    }
    recs.clear();
    FillBatch.Staging.clear();
    FillBatch.bOpen = 0;
    return result;
}

void DDSetPixel(DDSURFACEDATA* lpSD, int32_t x, int32_t y, uint32_t dwPalNum)
{
    if (!lpSD || x < 0 || y < 0 || x >= lpSD->nWidth || y >= lpSD->nHeight) return;
    if (lpDTCon)
        DDFillRect(lpSD, x, y, 1, 1, dwPalNum);
    else
        DirectDrawFill(lpSD, x, y, 1, 1, DirectDrawColour(dwPalNum));
}

void DDCircle(DDSURFACEDATA* lpSD, int32_t cx, int32_t cy, int32_t r, uint32_t dwPalNum)
{
    if (!lpSD || r < 1) return;
    int32_t x = 0, y = r, d = 3 - 2 * r;
    auto plot = [&](int32_t px, int32_t py) { DDSetPixel(lpSD, px, py, dwPalNum); };
    while (y >= x) {
        plot(cx + x, cy + y);
        plot(cx - x, cy + y);
        plot(cx + x, cy - y);
        plot(cx - x, cy - y);
        plot(cx + y, cy + x);
        plot(cx - y, cy + x);
        plot(cx + y, cy - x);
        plot(cx - y, cy - x);
        if (d < 0) {
            d += 4 * x + 6;
        } else {
            d += 4 * (x - y) + 10;
            --y;
        }
        ++x;
    }
}
