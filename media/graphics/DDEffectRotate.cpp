// The rotate blit: one rotated textured quad under Direct3D when both surfaces are in video
// memory; otherwise every destination pixel of the rotated rectangle's bounding box is mapped
// back into the source with 10-bit fixed-point sine and cosine on locked surfaces.
#include "media/graphics/DDEffects.h"

#include <algorithm>
#include <cmath>

#include "media/graphics/DDBlt.h"
#include "media/graphics/DDPixel.h"
#include "media/graphics/DDQuad.h"
#include "media/graphics/GraphicsState.h"

using namespace ddpixel;

namespace {

constexpr double kDegree = 0.017453292519943278;

template <class T>
void RotatePixels(const View& dst, const View& src, const Mode& m, int32_t dcx, int32_t dcy, int32_t w,
                  int32_t h, int32_t px, int32_t py, int32_t angle, int32_t sx, int32_t sy, bool bKey)
{
    const long double theta = static_cast<long double>(angle * kDegree);
    const int64_t s = static_cast<int64_t>(std::sin(theta) * 1024.0L);
    const int64_t c = static_cast<int64_t>(std::cos(theta) * 1024.0L);
    const int64_t si = static_cast<int64_t>(std::sin(-theta) * 1024.0L);
    const int64_t ci = static_cast<int64_t>(std::cos(-theta) * 1024.0L);
    int64_t minX = INT64_MAX, maxX = INT64_MIN, minY = INT64_MAX, maxY = INT64_MIN;
    const int64_t corners[4][2] = {{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}};
    for (const auto& k : corners) {
        const int64_t a = k[0] - px, b = k[1] - py;
        const int64_t cx = ((a * c - b * s) >> 10) + px;
        const int64_t cy = ((a * s + b * c) >> 10) + py;
        minX = std::min(minX, cx);
        maxX = std::max(maxX, cx);
        minY = std::min(minY, cy);
        maxY = std::max(maxY, cy);
    }
    // The box reaches two pixels past the rotated corners; only rows and columns that land in
    // the destination are visited.
    const int64_t offX = static_cast<int64_t>(dcx) - px, offY = static_cast<int64_t>(dcy) - py;
    const int64_t bx0 = std::max(minX - 2, -offX), bx1 = std::min(maxX + 2, dst.width - offX);
    const int64_t by0 = std::max(minY - 2, -offY), by1 = std::min(maxY + 2, dst.height - offY);
    for (int64_t by = by0; by < by1; ++by) {
        T* out = dst.Row<T>(static_cast<int32_t>(by + offY));
        const int64_t dy = by - py;
        for (int64_t bx = bx0; bx < bx1; ++bx) {
            const int64_t dx = bx - px;
            const int64_t ix = ((dx * ci - dy * si) >> 10) + px;
            const int64_t iy = ((dx * si + dy * ci) >> 10) + py;
            if (ix < 0 || ix >= w || iy < 0 || iy >= h) continue;
            const int64_t qx = sx + ix, qy = sy + iy;
            if (qx < 0 || qy < 0 || qx >= src.width || qy >= src.height) continue;
            const T p = src.Row<T>(static_cast<int32_t>(qy))[qx];
            if constexpr (sizeof(T) == 2) {
                if (bKey && !Present16(m, p)) continue;
                out[bx + offX] = Copy16(m, p);
            } else if constexpr (sizeof(T) == 4) {
                if (bKey && !Present32(m, p)) continue;
                out[bx + offX] = p;
            } else {
                if (bKey && !Present8(m, p)) continue;
                out[bx + offX] = p;
            }
        }
    }
}

} // namespace

bool DDBltRotate(DDSURFACEDATA* lpDstSD, int32_t dcx, int32_t dcy, int32_t w, int32_t h, int32_t px,
                 int32_t py, int32_t angle, DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flag)
{
    if (!lpDstSD || !lpSrcSD) return true;
    if (w <= 0 || h <= 0) return true;
    int32_t tw = w, th = h;
    if (lpDTCon) {
        DDAdjustMirrorSource(lpSrcSD, &sx, &sy, &tw, &th);
        DDRedirectForEffect(&lpDstSD);
        DDRedirectForEffect(&lpSrcSD);
        if (DDEffectTakesQuadPath(lpDstSD, lpSrcSD)) {
            const float theta = static_cast<float>(angle * kDegree);
            const float sn = std::sin(theta), cs = std::cos(theta);
            EffectQuad q = DDMakeRectQuad(lpSrcSD, 0, 0, 0, 0, sx, sy, tw, th);
            const float cx[4] = {0.0f, 0.0f, static_cast<float>(w), static_cast<float>(w)};
            const float cy[4] = {0.0f, static_cast<float>(h), 0.0f, static_cast<float>(h)};
            for (int i = 0; i < 4; ++i) {
                const float x = cx[i] - static_cast<float>(px), y = cy[i] - static_cast<float>(py);
                q.x[i] = static_cast<float>(dcx) - 0.5f + (x * cs - y * sn);
                q.y[i] = static_cast<float>(dcy) - 0.5f + (x * sn + y * cs);
            }
            q.dwDiffuse = lpDTCon->dwDiffuse;
            q.dwColorOp = static_cast<uint32_t>(lpDTCon->dwColorOp);
            q.dwColorArg1 = D3DTA_TEXTURE;
            q.dwColorArg2 = D3DTA_DIFFUSE;
            q.dwAlphaOp = static_cast<uint32_t>(lpDTCon->dwAlphaOp);
            q.dwAlphaArg1 = D3DTA_TEXTURE;
            q.dwAlphaArg2 = D3DTA_DIFFUSE;
            DDDrawEffectQuad(lpDstSD, lpSrcSD, q);
            return true;
        }
    }
    cLockedPair pair;
    if (!pair.Lock(lpDstSD, lpSrcSD)) return false;
    View src = pair.src;
    std::vector<uint8_t> copy;
    if (pair.bSame) {
        copy.assign(src.bits, src.bits + static_cast<size_t>(src.pitch) * src.height * (pair.mode.nDepth / 8));
        src.bits = copy.data();
    }
    const bool bKey = flag == 1;
    switch (pair.mode.nDepth) {
    case 8: RotatePixels<uint8_t>(pair.dst, src, pair.mode, dcx, dcy, w, h, px, py, angle, sx, sy, bKey); break;
    case 16: RotatePixels<uint16_t>(pair.dst, src, pair.mode, dcx, dcy, w, h, px, py, angle, sx, sy, bKey); break;
    default: RotatePixels<uint32_t>(pair.dst, src, pair.mode, dcx, dcy, w, h, px, py, angle, sx, sy, bKey); break;
    }
    return true;
}
