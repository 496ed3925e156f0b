// Blits on both back ends, their clipping, the Direct3D blend state and the virtual back buffer.
//
// Under DirectDraw a blit is a blit of the DirectDraw surfaces. Under Direct3D it is a textured
// quad drawn into a render target (or recorded into the open draw batch), or, when the
// destination cannot be rendered to or the source lives in system memory, a pixel copy on
// locked surfaces.
#include "media/graphics/DDBlt.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "media/graphics/DDBatch.h"
#include "media/graphics/DDQuad.h"
#include "media/graphics/GraphicsState.h"
#include "media/graphics/DDPixel.h"
#include "media/graphics/SceneTarget.h"
#include "media/graphics/DDSurfaceLock.h"
#include "platform/graphics/PixelRows.h"

namespace {

constexpr DWORD kVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// Clears a rectangle of the current render target.
void ClearRect(int32_t x, int32_t y, int32_t w, int32_t h, D3DCOLOR colour)
{
    const RECT rc{x, y, x + w, y + h};
    lpDevice->Clear(1, &rc, D3DCLEAR_TARGET, colour, 1.0f, 0);
}

} // namespace

// Transparent black on textures; on BackBuffer, which has no alpha to keep, the transparent
// colour itself (at 16 bits read from the 16-bit transparent pixel, which holds it at full
// strength, rather than from the 5-bit channel values).
D3DCOLOR DDTransparentClearColour(const DDSURFACEDATA* lpDstSD)
{
    if (lpDstSD != &BackBuffer) return nBpp == 16 ? lpDTCon->wTransmitTexture_16 : lpDTCon->dwTransmitTexture;
    if (nBpp == 16) return PixelToArgb(PixelFormat::A1R5G5B5, lpDTCon->wTransmit_16) | 0xFF000000u;
    return lpDTCon->dwTransmitBack;
}

void DDWriteQuadVertices(D3DTLVERTEX_TEX1* v, int32_t x, int32_t y, int32_t w, int32_t h,
                         const DDSURFACEDATA* lpSrc, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                         D3DCOLOR diffuse)
{
    const float tw = lpSrc->nTexWidth ? static_cast<float>(lpSrc->nTexWidth) : 1.0f;
    const float th = lpSrc->nTexHeight ? static_cast<float>(lpSrc->nTexHeight) : 1.0f;
    const float l = static_cast<float>(x) - 0.5f, t = static_cast<float>(y) - 0.5f;
    const float r = static_cast<float>(x + w) - 0.5f, b = static_cast<float>(y + h) - 0.5f;
    const float u0 = static_cast<float>(sx) / tw, v0 = static_cast<float>(sy) / th;
    const float u1 = static_cast<float>(sx + sw) / tw, v1 = static_cast<float>(sy + sh) / th;
    v[0] = {l, t, 0.0f, 1.0f, diffuse, u0, v0};
    v[1] = {l, b, 0.0f, 1.0f, diffuse, u0, v1};
    v[2] = {r, t, 0.0f, 1.0f, diffuse, u1, v0};
    v[3] = {r, b, 0.0f, 1.0f, diffuse, u1, v1};
}

// ---- Clipping ----------------------------------------------------------------------------------

bool DDClipBlt(DDSURFACEDATA* lpDstSD, int32_t* x, int32_t* y, int32_t* w, int32_t* h,
               DDSURFACEDATA* lpSrcSD, int32_t* sx, int32_t* sy, int32_t* sw, int32_t* sh)
{
    if (!lpDstSD || !lpSrcSD) return false;
    if (*w <= 0 || *h <= 0 || *sw == 0 || *sh == 0) return false;
    const bool bD3D = lpDTCon != nullptr;

    if (*sw == *w && *sh == *h) {
        // Unstretched: cut the source to its surface (a negative start is cut without moving
        // the destination), then the destination on both edges.
        auto clipAxis = [](int32_t& d, int32_t& s, int32_t& n, int32_t srcExtent, int32_t dstExtent) {
            int64_t start = s, end = static_cast<int64_t>(s) + n;
            if (start < 0) start = 0;
            end = std::min<int64_t>(end, srcExtent);
            int64_t dpos = d;
            if (dpos < 0) {
                start -= dpos;
                dpos = 0;
            }
            end = std::min<int64_t>(end, start + (static_cast<int64_t>(dstExtent) - dpos));
            if (end <= start) return false;
            d = static_cast<int32_t>(dpos);
            s = static_cast<int32_t>(start);
            n = static_cast<int32_t>(end - start);
            return true;
        };
        if (!clipAxis(*x, *sx, *w, lpSrcSD->nWidth, lpDstSD->nWidth)) return false;
        if (!clipAxis(*y, *sy, *h, lpSrcSD->nHeight, lpDstSD->nHeight)) return false;
        *sw = *w;
        *sh = *h;
        return true;
    }

    // Stretched. DirectDraw cannot mirror through a negative rectangle.
    if (!bD3D && (*sw < 0 || *sh < 0)) return false;
    auto clipSource = [bD3D](int32_t& s, int32_t& n, int32_t& d, int32_t extent) {
        const bool bNeg = n < 0;
        int64_t a = s, b = static_cast<int64_t>(s) + n;
        if (bNeg) std::swap(a, b);
        const int64_t want = b - a;
        a = std::clamp<int64_t>(a, 0, extent);
        b = std::clamp<int64_t>(b, 0, extent);
        const int64_t kept = b - a;
        if (kept <= 0) return false;
        d = static_cast<int32_t>(static_cast<double>(d) * (static_cast<double>(kept) / static_cast<double>(want)));
        if (bNeg && bD3D) {
            s = static_cast<int32_t>(b);
            n = static_cast<int32_t>(-kept);
        } else {
            s = static_cast<int32_t>(a);
            n = static_cast<int32_t>(kept);
        }
        return true;
    };
    if (!clipSource(*sx, *sw, *w, lpSrcSD->nWidth)) return false;
    if (!clipSource(*sy, *sh, *h, lpSrcSD->nHeight)) return false;
    if (*w <= 0 || *h <= 0) return false;

    if (!bD3D) {
        // DirectDraw clips the destination itself, moving the source by the same fraction.
        auto clipDest = [](int32_t& d, int32_t& n, int32_t& s, int32_t& sn, int32_t extent) {
            if (d < 0) {
                if (static_cast<int64_t>(d) + n <= 0) return false;
                const int32_t cut = static_cast<int32_t>(static_cast<double>(-d) / n * sn);
                s += cut;
                sn -= cut;
                n += d;
                d = 0;
            }
            if (static_cast<int64_t>(d) + n > extent) {
                if (d >= extent) return false;
                sn = static_cast<int32_t>(static_cast<double>(extent - d) / n * sn);
                n = extent - d;
            }
            return n > 0 && sn > 0;
        };
        if (!clipDest(*x, *w, *sx, *sw, lpDstSD->nWidth)) return false;
        if (!clipDest(*y, *h, *sy, *sh, lpDstSD->nHeight)) return false;
    }
    return *w > 0 && *h > 0 && *sw != 0 && *sh != 0;
}

void DDAdjustMirrorSource(DDSURFACEDATA* lpSrcSD, int32_t* sx, int32_t* sy, int32_t* sw, int32_t* sh)
{
    if (!lpDTCon || !lpSrcSD || !lpSrcSD->lpBaseSD) return;
    auto adjust = [](int32_t m, int32_t& s, int32_t& n) {
        if (m == 0) return;
        if (n == m) {
            s += m;
            n = -m;
        } else if (n < m && n > 0) {
            s = s + m - 2 * (s % m);
            n = -n;
        }
    };
    adjust(lpSrcSD->nMirrorWidth, *sx, *sw);
    adjust(lpSrcSD->nMirrorHeight, *sy, *sh);
}

// ---- Direct3D paths ---------------------------------------------------------------------------

namespace {

int32_t HardwareBlt(DDSURFACEDATA* lpDst, int32_t x, int32_t y, int32_t w, int32_t h,
                    DDSURFACEDATA* lpSrc, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t flags)
{
    if (!DDClipBlt(lpDst, &x, &y, &w, &h, lpSrc, &sx, &sy, &sw, &sh)) return 0;
    if (DDDrawBatchIsOpen()) {
        DDDrawBatchRecord(lpDst, x, y, w, h, lpSrc, sx, sy, sw, sh, flags);
        return 0;
    }
    DTSURFACEDATA* dt = lpSrc->lpDT;
    void* data = nullptr;
    if (!dt->lpVB || FAILED(dt->lpVB->Lock(0, 0, &data, 0)) || !data) return 0;
    DDWriteQuadVertices(static_cast<D3DTLVERTEX_TEX1*>(data), x, y, w, h, lpSrc, sx, sy, sw, sh,
                        lpDTCon->dwDiffuse);
    dt->lpVB->Unlock();
    if (!DDBeginScene()) return 0;
    if (!DDSetRenderTarget(0, lpDst)) return 0;
    if (flags == 0 && dt->bColorKey) ClearRect(x, y, w, h, DDTransparentClearColour(lpDst));
    lpDevice->SetTextureStageState(0, D3DTSS_COLOROP, static_cast<DWORD>(lpDTCon->dwColorOp));
    lpDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    lpDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, static_cast<DWORD>(lpDTCon->dwAlphaOp));
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    lpDevice->SetTexture(0, dt->lpTexture);
    lpDevice->SetStreamSource(0, dt->lpVB, 0, sizeof(D3DTLVERTEX_TEX1));
    lpDevice->SetFVF(kVertexFormat);
    const HRESULT hr = lpDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    DDSetRenderTarget(0, lpDTCon->lpTargetSD);
    return hr;
}

// The pixel copy of the software path. Columns and rows are mapped from the destination back to
// the source; every pixel outside either surface is skipped.
template <class T>
void SoftwareCopy(const ddpixel::View& dst, const ddpixel::View& src, const ddpixel::Mode& m,
                  int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy, int32_t sw,
                  int32_t sh, int32_t flags, bool bSourceIsBack)
{
    const bool bKey = flags == 1;
    const bool bPlain = sw == w && sh == h;
    // The back buffer as a source holds an opaque picture in its own format: its pixels are
    // read as opaque texture pixels (full-screen 16-bit: R5G6B5 turned into the texture format).
    const bool bSrcBack = bSourceIsBack;
    auto FromBackBuffer = [&m](T p) -> T {
        if constexpr (sizeof(T) == 2) {
            if (m.bD3D && nWindowMode == 0) {
                const int32_t r = (p >> m.bbm.rs) & m.bbm.rm, g = ((p >> m.bbm.gs) & m.bbm.gm) >> 1,
                              b = (p >> m.bbm.bs) & m.bbm.bm;
                return static_cast<T>((r << m.sm.rs) | (g << m.sm.gs) | (b << m.sm.bs) | ((m.sm.am & 1) << m.sm.as));
            }
            return static_cast<T>(p | ((m.sm.am & 1) << m.sm.as));
        } else {
            return p | 0xFF000000u;
        }
    };
    const double xRatio = static_cast<double>(sw) / w;
    const float yRatio = static_cast<float>(sh) / static_cast<float>(h);
    const int32_t j0 = std::max(0, -y);
    const int32_t j1 = static_cast<int32_t>(std::min<int64_t>(h, static_cast<int64_t>(dst.height) - y));
    const int32_t k0 = std::max(0, -x);
    const int32_t k1 = static_cast<int32_t>(std::min<int64_t>(w, static_cast<int64_t>(dst.width) - x));
    for (int32_t j = j0; j < j1; ++j) {
        int64_t row;
        if (bPlain) {
            row = static_cast<int64_t>(sy) + j;
        } else {
            int32_t b = static_cast<int32_t>(static_cast<float>(j) * yRatio);
            if (sh < 0) {
                if (!(sh < b && b <= 0)) continue;
                b -= 1;
            } else if (b < 0 || b >= sh) {
                continue;
            }
            row = static_cast<int64_t>(sy) + b;
        }
        if (row < 0 || row >= src.height) continue;
        const T* in = src.Row<T>(static_cast<int32_t>(row));
        T* out = dst.Row<T>(y + j);
        for (int32_t k = k0; k < k1; ++k) {
            int64_t col;
            if (bPlain) {
                col = static_cast<int64_t>(sx) + k;
            } else {
                int32_t b = static_cast<int32_t>(k * xRatio);
                if (sw < 0) {
                    if (!(sw < b && b <= 0)) continue;
                    b -= 1;
                } else if (b < 0 || b >= sw) {
                    continue;
                }
                col = static_cast<int64_t>(sx) + b;
            }
            if (col < 0 || col >= src.width) continue;
            T p = in[col];
            if (bSrcBack) p = FromBackBuffer(p);
            if constexpr (sizeof(T) == 2) {
                if (bKey && (p & 0xA000) == 0) continue;
                out[x + k] = ddpixel::Copy16(m, p);
            } else {
                if (bKey && (p >> 24) == 0) continue;
                out[x + k] = p;
            }
        }
    }
}

// The copy above, a row at a time: the source row and column of every destination row and
// column are worked out once per blit with the same arithmetic, then runs of columns are copied
// whole (by memcpy, the keyed row copy or the alpha-setting conversion) and scaled rows gather.
template <class T>
void SoftwareCopyRows(const ddpixel::View& dst, const ddpixel::View& src, const ddpixel::Mode& m,
                      int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy, int32_t sw,
                      int32_t sh, int32_t flags, bool bSrcBack)
{
    const bool bKey = flags == 1;
    const bool bPlain = sw == w && sh == h;
    const double xRatio = static_cast<double>(sw) / w;
    const float yRatio = static_cast<float>(sh) / static_cast<float>(h);
    const int32_t j0 = std::max(0, -y);
    const int32_t j1 = static_cast<int32_t>(std::min<int64_t>(h, static_cast<int64_t>(dst.height) - y));
    const int32_t k0 = std::max(0, -x);
    const int32_t k1 = static_cast<int32_t>(std::min<int64_t>(w, static_cast<int64_t>(dst.width) - x));
    if (j0 >= j1 || k0 >= k1) return;
    // One pixel as the copy above treats it: false when the key skips it.
    auto convert = [&m, bKey, bSrcBack](T p, T& out) {
        if constexpr (sizeof(T) == 2) {
            if (bSrcBack) {
                if (m.bD3D && nWindowMode == 0) {
                    const int32_t r = (p >> m.bbm.rs) & m.bbm.rm, g = ((p >> m.bbm.gs) & m.bbm.gm) >> 1,
                                  b = (p >> m.bbm.bs) & m.bbm.bm;
                    p = static_cast<T>((r << m.sm.rs) | (g << m.sm.gs) | (b << m.sm.bs) | ((m.sm.am & 1) << m.sm.as));
                } else {
                    p = static_cast<T>(p | ((m.sm.am & 1) << m.sm.as));
                }
            }
            if (bKey && (p & 0xA000) == 0) return false;
            out = ddpixel::Copy16(m, p);
        } else {
            if (bSrcBack) p |= 0xFF000000u;
            if (bKey && (p >> 24) == 0) return false;
            out = p;
        }
        return true;
    };
    // Source columns, -1 where the column falls outside the source.
    thread_local std::vector<int32_t> cols;
    cols.assign(static_cast<size_t>(k1 - k0), -1);
    int32_t firstValid = k1, lastValid = k0 - 1;
    for (int32_t k = k0; k < k1; ++k) {
        int64_t col;
        if (bPlain) {
            col = static_cast<int64_t>(sx) + k;
        } else {
            int32_t b = static_cast<int32_t>(k * xRatio);
            if (sw < 0) {
                if (!(sw < b && b <= 0)) continue;
                b -= 1;
            } else if (b < 0 || b >= sw) {
                continue;
            }
            col = static_cast<int64_t>(sx) + b;
        }
        if (col < 0 || col >= src.width) continue;
        cols[static_cast<size_t>(k - k0)] = static_cast<int32_t>(col);
        firstValid = std::min(firstValid, k);
        lastValid = k;
    }
    if (firstValid > lastValid) return;
    // The 16-bit conversions above as row loops, for the layouts those loops know: the
    // full-screen back buffer's R5G6B5 to and from textures of x1R5G5B5.
    const bool bBackToTexture = bSrcBack && m.bD3D && nWindowMode == 0;
    const uint16_t alphaBit = static_cast<uint16_t>((m.sm.am & 1) << m.sm.as);
    const bool bTexture555 = m.sm.rs == 10 && m.sm.gs == 5 && m.sm.bs == 0 && m.sm.rm == 31 && m.sm.gm == 31 &&
                             m.sm.bm == 31 && (alphaBit == 0 || alphaBit == 0x8000);
    const bool bRows16 = !((bBackToTexture || m.bFullBack) && !(bTexture555 && ddpixel::IsR5G6B5(m.bbm)));
    // Whether the columns of a plain blit run without gaps: then whole runs move.
    const bool bRun = bPlain && (sizeof(T) == 4 || bRows16);
    thread_local std::vector<uint16_t> converted, packed;
    for (int32_t j = j0; j < j1; ++j) {
        int64_t row;
        if (bPlain) {
            row = static_cast<int64_t>(sy) + j;
        } else {
            int32_t b = static_cast<int32_t>(static_cast<float>(j) * yRatio);
            if (sh < 0) {
                if (!(sh < b && b <= 0)) continue;
                b -= 1;
            } else if (b < 0 || b >= sh) {
                continue;
            }
            row = static_cast<int64_t>(sy) + b;
        }
        if (row < 0 || row >= src.height) continue;
        const T* in = src.Row<T>(static_cast<int32_t>(row));
        T* out = dst.Row<T>(y + j) + x;
        if (bRun) {
            // A plain blit's valid columns are one run: [firstValid, lastValid].
            const int32_t n = lastValid - firstValid + 1;
            const T* from = in + cols[static_cast<size_t>(firstValid - k0)];
            T* to = out + firstValid;
            if constexpr (sizeof(T) == 4) {
                if (bSrcBack)
                    gfx::rows::ArgbFromX8R8G8B8(to, from, n);
                else if (bKey)
                    gfx::rows::CopyKeyed32(to, from, n, 0, 0xFF000000u);
                else
                    std::memcpy(to, from, static_cast<size_t>(n) * 4);
            } else {
                // The source as texture words, then packed for the full-screen back buffer; the
                // key is read from the texture words.
                if (bSrcBack) {
                    converted.resize(static_cast<size_t>(n));
                    if (bBackToTexture)
                        gfx::rows::TextureFromR5G6B5(converted.data(), from, n, alphaBit);
                    else
                        gfx::rows::Or16(converted.data(), from, n, alphaBit);
                    from = converted.data();
                }
                if (m.bFullBack) {
                    if (bKey) {
                        packed.resize(static_cast<size_t>(n));
                        gfx::rows::R5G6B5FromTexture(packed.data(), from, n);
                        gfx::rows::CopyKeyedBy16(to, packed.data(), from, n, 0, 0xA000);
                    } else {
                        gfx::rows::R5G6B5FromTexture(to, from, n);
                    }
                } else if (bKey) {
                    gfx::rows::CopyKeyed16(to, from, n, 0, 0xA000);
                } else {
                    std::memcpy(to, from, static_cast<size_t>(n) * 2);
                }
            }
            continue;
        }
        for (int32_t k = firstValid; k <= lastValid; ++k) {
            const int32_t col = cols[static_cast<size_t>(k - k0)];
            if (col < 0) continue;
            T v;
            if (convert(in[col], v)) out[k] = v;
        }
    }
}

int32_t SoftwareBlt(DDSURFACEDATA* lpDst, int32_t x, int32_t y, int32_t w, int32_t h,
                    DDSURFACEDATA* lpSrc, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t flags)
{
    // The same clip as the quad path, so both paths draw the same pixels; the copy below still
    // tests every pixel against both surfaces.
    if (!DDClipBlt(lpDst, &x, &y, &w, &h, lpSrc, &sx, &sy, &sw, &sh)) return 0;
    // Only the destination rectangle changes, so a render target writes back only it; a plain
    // copy without the key whose source rectangle lies inside the source's pixels writes every
    // pixel of it, so the render target need not be read first.
    const RECT changed{std::max(x, 0), std::max(y, 0),
                       static_cast<LONG>(std::min<int64_t>(static_cast<int64_t>(x) + w, lpDst->nWidth)),
                       static_cast<LONG>(std::min<int64_t>(static_cast<int64_t>(y) + h, lpDst->nHeight))};
    bool bOverwritten = false;
    D3DSURFACE_DESC srcDesc{};
    if (flags != 1 && sw == w && sh == h && lpSrc->lpDT && lpSrc->lpDT->lpSurface &&
        SUCCEEDED(lpSrc->lpDT->lpSurface->GetDesc(&srcDesc)))
        bOverwritten = sx >= 0 && sy >= 0 &&
                       static_cast<int64_t>(sx) + w <= std::min<int64_t>(lpSrc->nWidth, srcDesc.Width) &&
                       static_cast<int64_t>(sy) + h <= std::min<int64_t>(lpSrc->nHeight, srcDesc.Height) &&
                       changed.left == x && changed.top == y && changed.right == x + w && changed.bottom == y + h;
    // The general path locks whole surfaces, so the tests compare the two.
    const bool bHints = !gfx::GeneralPixelPathsForced() && changed.left < changed.right && changed.top < changed.bottom;
    cLockedPair pair;
    if (!pair.Lock(lpDst, lpSrc, bHints ? &changed : nullptr, bHints && bOverwritten)) return 0;
    ddpixel::View src = pair.src;
    std::vector<uint8_t> copy;
    if (pair.bSame) {
        // A copy within one surface reads from the picture as it was before the blit.
        const size_t bytes = static_cast<size_t>(src.pitch) * static_cast<size_t>(src.height) *
                             static_cast<size_t>(pair.mode.nDepth / 8);
        copy.assign(src.bits, src.bits + bytes);
        src.bits = copy.data();
    }
    const bool rows = !gfx::GeneralPixelPathsForced();
    if (pair.mode.nDepth == 16) {
        if (rows)
            SoftwareCopyRows<uint16_t>(pair.dst, src, pair.mode, x, y, w, h, sx, sy, sw, sh, flags, pair.bSrcBack);
        else
            SoftwareCopy<uint16_t>(pair.dst, src, pair.mode, x, y, w, h, sx, sy, sw, sh, flags, pair.bSrcBack);
    } else {
        if (rows)
            SoftwareCopyRows<uint32_t>(pair.dst, src, pair.mode, x, y, w, h, sx, sy, sw, sh, flags, pair.bSrcBack);
        else
            SoftwareCopy<uint32_t>(pair.dst, src, pair.mode, x, y, w, h, sx, sy, sw, sh, flags, pair.bSrcBack);
    }
    return 0;
}

} // namespace

int32_t DDBltStretch(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
                     DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                     int32_t flags)
{
    if (!lpDstSD || !lpSrcSD) return 0;
    DDAdjustMirrorSource(lpSrcSD, &sx, &sy, &sw, &sh);
    if (!lpDTCon) {
        if (!DDClipBlt(lpDstSD, &x, &y, &w, &h, lpSrcSD, &sx, &sy, &sw, &sh)) return 0;
        if (!lpDstSD->lpDDraw || !lpSrcSD->lpDDraw || !lpDstSD->lpDDraw->lpDDSurface ||
            !lpSrcSD->lpDDraw->lpDDSurface)
            return 0;
        RECT dst{x, y, x + w, y + h};
        RECT src{sx, sy, sx + sw, sy + sh};
        DWORD f = DDBLT_WAIT;
        if (flags == 1) f |= DDBLT_KEYSRC;
        return lpDstSD->lpDDraw->lpDDSurface->Blt(&dst, lpSrcSD->lpDDraw->lpDDSurface, &src, f, nullptr);
    }
    DDRedirectToBaseSurface(&lpDstSD);
    DDRedirectToBaseSurface(&lpSrcSD);
    if (lpDTCon->bCopyingVBB) {
        lpDstSD = &BackBuffer;
        lpSrcSD = &VirBackBuffer;
    } else {
        DDRedirectToVirtualBackBuffer(&lpDstSD);
        DDRedirectToVirtualBackBuffer(&lpSrcSD);
    }
    const DTSURFACEDATA* dstDT = lpDstSD->lpDT;
    const DTSURFACEDATA* srcDT = lpSrcSD->lpDT;
    if (!dstDT || !srcDT) return 0;
    // A source with a texture in video memory draws as a quad into a render target. A source
    // without a texture (BackBuffer itself) cannot be sampled and is copied by pixels instead.
    if (dstDT->bRenderTarget && srcDT->dwDTMemoryType != 1 && srcDT->lpTexture)
        return HardwareBlt(lpDstSD, x, y, w, h, lpSrcSD, sx, sy, sw, sh, flags);
    if (!srcDT->lpTexture && !srcDT->lpSurface) return 0;
    return SoftwareBlt(lpDstSD, x, y, w, h, lpSrcSD, sx, sy, sw, sh, flags);
}

int32_t DDBlt(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
              DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flags)
{
    if (lpDTCon) return DDBltStretch(lpDstSD, x, y, w, h, lpSrcSD, sx, sy, w, h, flags);
    if (!lpDstSD || !lpSrcSD) return 0;
    int32_t sw = w, sh = h;
    if (!DDClipBlt(lpDstSD, &x, &y, &w, &h, lpSrcSD, &sx, &sy, &sw, &sh)) return 0;
    if (!lpDstSD->lpDDraw || !lpSrcSD->lpDDraw || !lpDstSD->lpDDraw->lpDDSurface ||
        !lpSrcSD->lpDDraw->lpDDSurface)
        return 0;
    RECT src{sx, sy, sx + w, sy + h};
    DWORD f = DDBLTFAST_WAIT;
    if (flags == 1) f |= DDBLTFAST_SRCCOLORKEY;
    return lpDstSD->lpDDraw->lpDDSurface->BltFast(static_cast<DWORD>(x), static_cast<DWORD>(y),
                                                  lpSrcSD->lpDDraw->lpDDSurface, &src, f);
}

int32_t DDBltBlend(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
                   DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flags,
                   const DDBLENDPAIR& blend)
{
    if (lpDTCon) return DDBltStretchBlend(lpDstSD, x, y, w, h, lpSrcSD, sx, sy, w, h, flags, blend);
    return DDBlt(lpDstSD, x, y, w, h, lpSrcSD, sx, sy, flags);
}

int32_t DDBltStretchBlend(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h,
                          DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                          int32_t flags, const DDBLENDPAIR& blend)
{
    if (!lpDTCon) return DDBltStretch(lpDstSD, x, y, w, h, lpSrcSD, sx, sy, sw, sh, flags);
    DDSetDiffuse(blend.dwDiffuse);
    DDSetColorOp(blend.nColorOp);
    const int32_t result = DDBltStretch(lpDstSD, x, y, w, h, lpSrcSD, sx, sy, sw, sh, flags);
    DDResetDiffuse();
    DDResetColorOp();
    return result;
}

// ---- Blend state --------------------------------------------------------------------------------

void DDSetDiffuse(uint32_t dwDiffuse)
{
    if (lpDTCon) lpDTCon->dwDiffuse = dwDiffuse;
}
void DDResetDiffuse() { DDSetDiffuse(0xFFFFFFFFu); }
void DDSetColorOp(int32_t nOp)
{
    if (lpDTCon) lpDTCon->dwColorOp = nOp;
}
void DDResetColorOp() { DDSetColorOp(D3DTOP_MODULATE); }
void DDSetAlphaOp(int32_t nOp)
{
    if (lpDTCon) lpDTCon->dwAlphaOp = nOp;
}
void DDResetAlphaOp() { DDSetAlphaOp(D3DTOP_SELECTARG1); }

// ---- Virtual back buffer --------------------------------------------------------------------------

void DDSetVirtualBackBuffer(int32_t bOn)
{
    if (!lpDTCon) return;
    if (lpDTCon->bVirBackBuffer && !bOn && VirBackBuffer.lpDT && VirBackBuffer.lpDT->lpSurface)
        DDCopyVirtualBackBuffer(&BackBuffer, &VirBackBuffer);
    lpDTCon->bVirBackBuffer = bOn;
    // The resting render target is where untargeted drawing goes: the virtual back buffer while
    // it stands in for the back buffer.
    lpDTCon->lpTargetSD = bOn ? &VirBackBuffer : &BackBuffer;
    if (lpDTCon->lpTargetSD->lpDT && lpDTCon->lpTargetSD->lpDT->lpSurface)
        DDSetRenderTarget(0, lpDTCon->lpTargetSD);
}

bool DDRedirectToVirtualBackBuffer(DDSURFACEDATA** lplpSD)
{
    if (lpDTCon && lpDTCon->bVirBackBuffer && lplpSD && *lplpSD == &BackBuffer) {
        *lplpSD = &VirBackBuffer;
        return true;
    }
    return false;
}

void DDCopyVirtualBackBuffer(DDSURFACEDATA* lpBackSD, DDSURFACEDATA* lpVirtualSD)
{
    if (!lpDTCon || !lpBackSD || !lpVirtualSD) return;
    lpDTCon->bCopyingVBB = 1;
    DDSetAlphaOp(D3DTOP_DISABLE);
    DDBlt(lpBackSD, 0, 0, lpVirtualSD->nWidth, lpVirtualSD->nHeight, lpVirtualSD, 0, 0, 0);
    DDResetAlphaOp();
    lpDTCon->bCopyingVBB = 0;
}
