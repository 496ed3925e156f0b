// The sorted draw batch.
//
// Each recorded blit gets a key: the key base of its registered source (100000 per source, in
// registration order; 0 for other sources or when not sorting) plus the running count of the
// batch. Sorting by key therefore draws unregistered sources first in recording order, then each
// registered source in turn. Consecutive commands with the same source, target and blend state
// form a group drawn from one vertex buffer and one index buffer.
#include "media/graphics/DDBatch.h"

#include <algorithm>
#include <vector>

#include "core/Log.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDQuad.h"
#include "media/graphics/GraphicsState.h"
#include "media/graphics/SceneTarget.h"


namespace {

struct DrawCommand {
    int32_t nKey;
    DDSURFACEDATA* lpTarget;
    DDSURFACEDATA* lpSource;
    int32_t x, y, w, h;
    int32_t sx, sy, sw, sh;
    int32_t nFlags;
    uint32_t dwDiffuse;
    int32_t nColorOp;
    int32_t nAlphaOp;
    int32_t nReserved;
};

struct BatchSource {
    DDSURFACEDATA* lpSD;
    int32_t nKeyBase;
};

struct DrawBatchState {
    int32_t bOpen = 0;
    int32_t nDepth = 0; // nested opens still to be closed
    std::vector<DrawCommand> Commands;
    std::vector<D3DTLVERTEX_TEX1> Staging;
    int32_t nCounter = 0;
    int32_t bSort = 0;
    std::vector<BatchSource> Sources;
};

DrawBatchState DrawBatch;

// 16-bit indices address at most 65536 vertices: a group holds at most this many quads.
constexpr size_t kMaxGroup = 65536 / 4;
constexpr DWORD kVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

bool SameGroup(const DrawCommand& a, const DrawCommand& b)
{
    return a.lpSource == b.lpSource && a.lpTarget == b.lpTarget && a.nFlags == b.nFlags &&
           a.dwDiffuse == b.dwDiffuse && a.nColorOp == b.nColorOp && a.nAlphaOp == b.nAlphaOp &&
           a.nReserved == b.nReserved;
}

// Draws commands [first, first + n); returns how many it consumed and the device's result.
size_t DrawGroup(size_t first, size_t n, HRESULT& result)
{
    const DrawCommand& head = DrawBatch.Commands[first];
    DDSURFACEDATA* src = head.lpSource;
    DrawBatch.Staging.resize(n * 4);
    for (size_t j = 0; j < n; ++j) {
        const DrawCommand& c = DrawBatch.Commands[first + j];
        DDWriteQuadVertices(&DrawBatch.Staging[j * 4], c.x, c.y, c.w, c.h, src, c.sx, c.sy, c.sw,
                            c.sh, c.dwDiffuse);
    }
    const UINT vbBytes = static_cast<UINT>(n * 4 * sizeof(D3DTLVERTEX_TEX1));
    IDirect3DVertexBuffer9* vb = nullptr;
    if (FAILED(lpDevice->CreateVertexBuffer(vbBytes, D3DUSAGE_WRITEONLY, kVertexFormat,
                                            D3DPOOL_MANAGED, &vb, nullptr)) || !vb) {
        WriteReportTrace("CreateVertexBuffer Err");
        return 1; // the rest of the group is tried again as a group of its own
    }
    void* data = nullptr;
    if (FAILED(vb->Lock(0, 0, &data, 0)) || !data) {
        vb->Release();
        return n;
    }
    std::copy(DrawBatch.Staging.begin(), DrawBatch.Staging.end(), static_cast<D3DTLVERTEX_TEX1*>(data));
    vb->Unlock();

    IDirect3DIndexBuffer9* ib = nullptr;
    if (FAILED(lpDevice->CreateIndexBuffer(static_cast<UINT>(n * 4 * sizeof(uint16_t)), D3DUSAGE_WRITEONLY,
                                           D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr)) || !ib) {
        vb->Release();
        return n;
    }
    void* idx = nullptr;
    if (FAILED(ib->Lock(0, 0, &idx, 0)) || !idx) {
        ib->Release();
        vb->Release();
        return n;
    }
    auto* indices = static_cast<uint16_t*>(idx);
    for (size_t i = 0; i < n * 4; ++i) indices[i] = static_cast<uint16_t>(i);
    ib->Unlock();

    if (!DDBeginScene() || !DDSetRenderTarget(0, head.lpTarget)) {
        ib->Release();
        vb->Release();
        return 1;
    }
    if (head.nFlags == 0 && src->lpDT->bColorKey) {
        const D3DCOLOR clear = DDTransparentClearColour(head.lpTarget);
        for (size_t j = 0; j < n; ++j) {
            const DrawCommand& c = DrawBatch.Commands[first + j];
            const RECT rc{c.x, c.y, c.x + c.w, c.y + c.h};
            lpDevice->Clear(1, &rc, D3DCLEAR_TARGET, clear, 1.0f, 0);
        }
    }
    lpDevice->SetTextureStageState(0, D3DTSS_COLOROP, static_cast<DWORD>(head.nColorOp));
    lpDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    lpDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, static_cast<DWORD>(head.nAlphaOp));
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    lpDevice->SetTexture(0, src->lpDT->lpTexture);
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
    return n;
}

void Reset()
{
    DrawBatch.Commands.clear();
    DrawBatch.Sources.clear();
    DrawBatch.Staging.clear();
    DrawBatch.nCounter = 0;
}

} // namespace

void DDBeginDrawBatch(int32_t bSort)
{
    if (!lpDTCon) return;
    if (DrawBatch.bOpen) {
        // An inner batch (a disc drawn inside the stage's batch) joins the outer one, so the
        // outer batch keeps what it has recorded and its order.
        ++DrawBatch.nDepth;
        return;
    }
    Reset();
    DrawBatch.bOpen = 1;
    DrawBatch.nDepth = 0;
    DrawBatch.bSort = bSort;
}

void DDRegisterBatchSource(DDSURFACEDATA* lpSD)
{
    if (!lpDTCon || !DrawBatch.bOpen || !DrawBatch.bSort || !lpSD) return;
    for (const BatchSource& s : DrawBatch.Sources)
        if (s.lpSD == lpSD) return;
    DrawBatch.Sources.push_back({lpSD, static_cast<int32_t>(DrawBatch.Sources.size() + 1) * 100000});
}

bool DDDrawBatchIsOpen() { return lpDTCon && DrawBatch.bOpen; }

int32_t DDDrawBatchPending() { return static_cast<int32_t>(DrawBatch.Commands.size()); }

void DDDrawBatchRecord(DDSURFACEDATA* lpDst, int32_t x, int32_t y, int32_t w, int32_t h,
                       DDSURFACEDATA* lpSrc, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                       int32_t flags)
{
    int32_t base = 0;
    if (DrawBatch.bSort) {
        for (const BatchSource& s : DrawBatch.Sources) {
            if (s.lpSD == lpSrc) {
                base = s.nKeyBase;
                break;
            }
        }
    }
    DrawBatch.Commands.push_back({base + DrawBatch.nCounter, lpDst, lpSrc, x, y, w, h, sx, sy, sw, sh,
                                  flags, lpDTCon->dwDiffuse, lpDTCon->dwColorOp, lpDTCon->dwAlphaOp, 0});
    ++DrawBatch.nCounter;
}

int32_t DDEndDrawBatch()
{
    if (!lpDTCon || !DrawBatch.bOpen) return 0;
    if (DrawBatch.nDepth > 0) {
        --DrawBatch.nDepth;
        return 0;
    }
    HRESULT result = 0;
    std::vector<DrawCommand>& cmds = DrawBatch.Commands;
    if (!cmds.empty() && DrawBatch.bSort)
        std::stable_sort(cmds.begin(), cmds.end(),
                         [](const DrawCommand& a, const DrawCommand& b) { return a.nKey < b.nKey; });
    size_t i = 0;
    while (i < cmds.size()) {
        size_t n = 1;
        while (i + n < cmds.size() && n < kMaxGroup && SameGroup(cmds[i], cmds[i + n])) ++n;
        i += DrawGroup(i, n, result);
    }
    Reset();
    DrawBatch.bOpen = 0;
    return result;
}
