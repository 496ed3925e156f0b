// The textured quad of the Direct3D effects.
#include "media/graphics/DDQuad.h"

#include "media/graphics/GraphicsState.h"
#include "media/graphics/SceneTarget.h"

bool DDEffectTakesQuadPath(const DDSURFACEDATA* lpDst, const DDSURFACEDATA* lpSrc)
{
    return lpDTCon && lpDst && lpSrc && lpDst->lpDT && lpSrc->lpDT && lpDst->lpDT->bRenderTarget &&
           lpSrc->lpDT->dwDTMemoryType != DTMEMORYTYPE_SYSTEM;
}

EffectQuad DDMakeRectQuad(const DDSURFACEDATA* lpSrc, int32_t x, int32_t y, int32_t w, int32_t h,
                          int32_t sx, int32_t sy, int32_t sw, int32_t sh)
{
    EffectQuad q;
    const float tw = lpSrc && lpSrc->nTexWidth ? static_cast<float>(lpSrc->nTexWidth) : 1.0f;
    const float th = lpSrc && lpSrc->nTexHeight ? static_cast<float>(lpSrc->nTexHeight) : 1.0f;
    const float l = static_cast<float>(x) - 0.5f, t = static_cast<float>(y) - 0.5f;
    const float r = static_cast<float>(x + w) - 0.5f, b = static_cast<float>(y + h) - 0.5f;
    const float u0 = static_cast<float>(sx) / tw, v0 = static_cast<float>(sy) / th;
    const float u1 = static_cast<float>(sx + sw) / tw, v1 = static_cast<float>(sy + sh) / th;
    const float xs[4] = {l, l, r, r}, ys[4] = {t, b, t, b};
    const float us[4] = {u0, u0, u1, u1}, vs[4] = {v0, v1, v0, v1};
    for (int i = 0; i < 4; ++i) {
        q.x[i] = xs[i];
        q.y[i] = ys[i];
        q.u[i] = us[i];
        q.v[i] = vs[i];
    }
    return q;
}

bool DDDrawEffectQuad(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc, const EffectQuad& quad)
{
    if (!lpDTCon || !lpDst || !lpSrc || !lpSrc->lpDT || !lpSrc->lpDT->lpVB) return false;
    DTSURFACEDATA* dt = lpSrc->lpDT;
    void* data = nullptr;
    if (FAILED(dt->lpVB->Lock(0, 4 * sizeof(D3DTLVERTEX_TEX1), &data, 0)) || !data) return false;
    auto* v = static_cast<D3DTLVERTEX_TEX1*>(data);
    for (int i = 0; i < 4; ++i) v[i] = {quad.x[i], quad.y[i], 0.0f, 1.0f, quad.dwDiffuse, quad.u[i], quad.v[i]};
    dt->lpVB->Unlock();
    if (!DDBeginScene() || !DDSetRenderTarget(0, lpDst)) return false;
    if (quad.bTextureFactor) lpDevice->SetRenderState(D3DRS_TEXTUREFACTOR, quad.dwTextureFactor);
    lpDevice->SetTextureStageState(0, D3DTSS_COLOROP, quad.dwColorOp);
    lpDevice->SetTextureStageState(0, D3DTSS_COLORARG1, quad.dwColorArg1);
    lpDevice->SetTextureStageState(0, D3DTSS_COLORARG2, quad.dwColorArg2);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, quad.dwAlphaOp);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, quad.dwAlphaArg1);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, quad.dwAlphaArg2);
    lpDevice->SetTexture(0, dt->lpTexture);
    lpDevice->SetStreamSource(0, dt->lpVB, 0, sizeof(D3DTLVERTEX_TEX1));
    lpDevice->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    lpDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    return DDSetRenderTarget(0, lpDTCon->lpTargetSD) != 0;
}
