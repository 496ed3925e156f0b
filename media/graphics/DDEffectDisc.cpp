// The disc (the part of a source inside a circle, through ordinary blits) and the lens (a
// sphere projection toward the centre, on locked surfaces).
#include "media/graphics/DDEffects.h"

#include <algorithm>
#include <cmath>

#include "media/graphics/DDBatch.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDPixel.h"
#include "media/graphics/GraphicsState.h"

using namespace ddpixel;

namespace {

// Half chord of the circle of radius r at row offset i; never the full radius.
int32_t HalfChord(int64_t r, int64_t i)
{
    const int64_t d = r * r - i * i;
    if (d <= 0) return 0;
    int64_t half = static_cast<int64_t>(std::sqrt(static_cast<double>(d)));
    if (half >= r) half = r - 1;
    return static_cast<int32_t>(half);
}

} // namespace

int32_t DDBltDisc(DDSURFACEDATA* lpDstSD, int32_t dcx, int32_t dcy, int32_t hx, int32_t hy, int32_t r,
                  int32_t step, DDSURFACEDATA* lpSrcSD, int32_t scx, int32_t scy, int32_t flags)
{
    if (r <= 0 || step <= 0 || !lpDstSD || !lpSrcSD) return 0;
    DDRedirectToBaseSurface(&lpDstSD);
    DDRedirectToBaseSurface(&lpSrcSD);
    const int64_t left = std::max<int64_t>(static_cast<int64_t>(scx) - hx, 0);
    const int64_t right = std::min<int64_t>(static_cast<int64_t>(scx) + hx, lpSrcSD->nWidth);
    const bool bD3D = lpDTCon != nullptr;
    auto draw = [&](int64_t i, int32_t height, int32_t half) {
        int64_t start = static_cast<int64_t>(scx) - half, width = 2 * static_cast<int64_t>(half);
        int64_t dx = static_cast<int64_t>(dcx) - half;
        if (start < left) {
            const int64_t cut = left - start;
            start = left;
            width -= cut;
            dx += cut;
        }
        if (start + width > right) width = right - start;
        if (width <= 0) return;
        const int64_t dy = dcy + i, sy = scy + i;
        if (dx < INT32_MIN || dx > INT32_MAX || dy < INT32_MIN || dy > INT32_MAX || sy < INT32_MIN || sy > INT32_MAX)
            return;
        if (bD3D)
            DDBltStretch(lpDstSD, static_cast<int32_t>(dx), static_cast<int32_t>(dy), static_cast<int32_t>(width),
                         height, lpSrcSD, static_cast<int32_t>(start), static_cast<int32_t>(sy),
                         static_cast<int32_t>(width), height, flags);
        else
            DDBlt(lpDstSD, static_cast<int32_t>(dx), static_cast<int32_t>(dy), static_cast<int32_t>(width), height,
                  lpSrcSD, static_cast<int32_t>(start), static_cast<int32_t>(sy), flags);
    };
    // Rows that cannot reach the destination draw nothing; they are not visited.
    const int64_t firstVisible = -static_cast<int64_t>(dcy) - step;
    const int64_t lastVisible = static_cast<int64_t>(lpDstSD->nHeight) - dcy;
    DDBeginDrawBatch(0);
    if (step == 1) {
        const int64_t top = std::min<int64_t>({static_cast<int64_t>(r) - 1, static_cast<int64_t>(hy) - 1, lastVisible});
        const int64_t bottom = std::max<int64_t>({-static_cast<int64_t>(r), -static_cast<int64_t>(hy), firstVisible});
        for (int64_t i = top; i >= bottom; --i) draw(i, 1, HalfChord(r, i));
    } else {
        for (int64_t i = static_cast<int64_t>(r) - step; i >= -static_cast<int64_t>(r); i -= step) {
            if (i >= hy) continue;
            if (i + step <= -static_cast<int64_t>(hy)) break;
            if (i > lastVisible) continue;
            if (i < firstVisible) break;
            int64_t band = i;
            if (band + step > hy) band = static_cast<int64_t>(hy) - step;
            if (band < -static_cast<int64_t>(hy)) band = -static_cast<int64_t>(hy);
            draw(band, step, HalfChord(r, band + (step >> 1)));
        }
    }
    return DDEndDrawBatch();
}

namespace {

template <class T>
void LensPixels(const View& dst, const View& src, const Mode& m, int32_t dcx, int32_t dcy, int32_t radius,
                int32_t height, int64_t R2, int32_t scx, int32_t scy, bool bKey, bool bClear)
{
    const int64_t r2 = static_cast<int64_t>(radius) * radius;
    const int64_t dy0 = std::max<int64_t>(-static_cast<int64_t>(radius), -static_cast<int64_t>(dcy));
    const int64_t dy1 = std::min<int64_t>(radius, static_cast<int64_t>(dst.height) - 1 - dcy);
    const int64_t dx0 = std::max<int64_t>(-static_cast<int64_t>(radius), -static_cast<int64_t>(dcx));
    const int64_t dx1 = std::min<int64_t>(radius, static_cast<int64_t>(dst.width) - 1 - dcx);
    for (int64_t dy = dy0; dy <= dy1; ++dy) {
        T* out = dst.Row<T>(static_cast<int32_t>(dcy + dy));
        for (int64_t dx = dx0; dx <= dx1; ++dx) {
            T& d = out[dcx + dx];
            const int64_t d2 = dx * dx + dy * dy;
            bool written = false;
            if (d2 <= r2) {
                const double z = std::sqrt(static_cast<double>(R2 - d2));
                int64_t ox = dx, oy = dy;
                if (z != 0) {
                    ox = static_cast<int64_t>(static_cast<double>(dx * height) / z + 0.5);
                    oy = static_cast<int64_t>(static_cast<double>(dy * height) / z + 0.5);
                }
                const int64_t px = scx + ox, py = scy + oy;
                if (px >= 0 && py >= 0 && px < src.width && py < src.height) {
                    const T p = src.Row<T>(static_cast<int32_t>(py))[px];
                    if constexpr (sizeof(T) == 2) {
                        if (m.bD3D) {
                            if (!bKey || Present16(m, p)) {
                                d = Copy16(m, p);
                                written = true;
                            }
                        } else if (Present16(m, p)) {
                            d = p;
                            written = true;
                        }
                    } else if constexpr (sizeof(T) == 4) {
                        if (Present32(m, p)) {
                            d = p;
                            written = true;
                        }
                    } else {
                        if (Present8(m, p)) {
                            d = p;
                            written = true;
                        }
                    }
                }
            }
            if (!written && bClear) d = 0;
        }
    }
}

} // namespace

bool DDBltLens(DDSURFACEDATA* lpDstSD, int32_t dcx, int32_t dcy, int32_t radius, int32_t height,
               DDSURFACEDATA* lpSrcSD, int32_t scx, int32_t scy, int32_t flag, int32_t clear)
{
    if (height < 0 || radius < 0) return false;
    const int64_t R = static_cast<int64_t>(
        std::sqrt(static_cast<double>(static_cast<int64_t>(radius) * radius + static_cast<int64_t>(height) * height)));
    if (height >= R) return false;
    cLockedPair pair;
    if (!pair.Lock(lpDstSD, lpSrcSD)) return false;
    const Mode& m = pair.mode;
    // In place the lens must read the picture as it was.
    View src = pair.src;
    std::vector<uint8_t> copy;
    if (pair.bSame) {
        copy.assign(src.bits, src.bits + static_cast<size_t>(src.pitch) * src.height * (m.nDepth / 8));
        src.bits = copy.data();
    }
    const bool bKey = flag == 1;
    const bool bClear = clear != 0 && m.bD3D && m.nDepth == 32;
    switch (m.nDepth) {
    case 8: LensPixels<uint8_t>(pair.dst, src, m, dcx, dcy, radius, height, R * R, scx, scy, bKey, false); break;
    case 16: LensPixels<uint16_t>(pair.dst, src, m, dcx, dcy, radius, height, R * R, scx, scy, bKey, false); break;
    default: LensPixels<uint32_t>(pair.dst, src, m, dcx, dcy, radius, height, R * R, scx, scy, bKey, bClear); break;
    }
    return true;
}
