// Box blur and mosaic on locked surfaces.
//
// The blur averages, for every pixel, a window of 2 x rx columns and 2 x ry rows that reaches
// one pixel further up and left than down and right, clipped to the rectangle. It is computed
// from summed-area tables of the source rectangle, so a full-screen blur costs the same whatever
// its reach. Source pixels outside the source surface count as absent: they add nothing to a
// window, and a destination pixel whose own source pixel is outside stays as it was.
#include "media/graphics/DDEffects.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "core/Log.h"
#include "media/graphics/DDPixel.h"
#include "platform/graphics/PixelRows.h"

using namespace ddpixel;

namespace {

// Summed-area tables of the three channels and of the count of present pixels over the part
// of the source rectangle that lies inside the source surface.
struct SumTables {
    int32_t a0 = 0, a1 = 0, b0 = 0, b1 = 0; // rectangle columns [a0, a1), rows [b0, b1)
    int32_t stride = 0;
    std::vector<uint32_t> r, g, b, n;

    size_t At(int32_t i, int32_t j) const
    {
        return static_cast<size_t>(j - b0) * static_cast<size_t>(stride) +
               static_cast<size_t>(i - a0);
    }
    // Sums over columns [c0, c1) and rows [r0, r1), all inside [a0, a1) x [b0, b1).
    uint32_t Sum(const std::vector<uint32_t>& t, int32_t c0, int32_t c1, int32_t r0,
                 int32_t r1) const
    {
        return t[At(c1, r1)] - t[At(c0, r1)] - t[At(c1, r0)] + t[At(c0, r0)];
    }
};

template <class T, class Channels>
void BuildSums(SumTables& s, const View& src, int32_t sx, int32_t sy, bool bKey, const Mode& m,
               Channels channels)
{
    const size_t cols = static_cast<size_t>(s.a1 - s.a0) + 1;
    const size_t rows = static_cast<size_t>(s.b1 - s.b0) + 1;
    s.stride = static_cast<int32_t>(cols);
    for (auto* t : {&s.r, &s.g, &s.b, &s.n}) t->assign(cols * rows, 0);
    for (int32_t j = s.b0; j < s.b1; ++j) {
        const T* row = src.Row<T>(sy + j);
        uint32_t rr = 0, rg = 0, rb = 0, rn = 0;
        const size_t up = s.At(s.a0, j);
        const size_t here = s.At(s.a0, j + 1);
        for (int32_t i = s.a0; i < s.a1; ++i) {
            const T p = row[sx + i];
            bool present = true;
            if (bKey) {
                if constexpr (sizeof(T) == 2)
                    present = Present16(m, p);
                else
                    present = Present32(m, p);
            }
            if (present) {
                int32_t cr, cg, cb;
                channels(p, cr, cg, cb);
                rr += static_cast<uint32_t>(cr);
                rg += static_cast<uint32_t>(cg);
                rb += static_cast<uint32_t>(cb);
                rn += 1;
            }
            const size_t k = static_cast<size_t>(i - s.a0) + 1;
            s.r[here + k] = s.r[up + k] + rr;
            s.g[here + k] = s.g[up + k] + rg;
            s.b[here + k] = s.b[up + k] + rb;
            s.n[here + k] = s.n[up + k] + rn;
        }
    }
}

template <class T, class Channels, class Write>
void BlurPixels(const View& dst, const View& src, int32_t x, int32_t y, int32_t w, int32_t h,
                int32_t rx, int32_t ry, int32_t sx, int32_t sy, bool bKey, const Mode& m,
                Channels channels, Write write)
{
    thread_local SumTables s;
    // The part of the rectangle whose source lies inside the source surface.
    s.a0 = std::max(0, -sx);
    s.a1 = static_cast<int32_t>(std::min<int64_t>(w, static_cast<int64_t>(src.width) - sx));
    s.b0 = std::max(0, -sy);
    s.b1 = static_cast<int32_t>(std::min<int64_t>(h, static_cast<int64_t>(src.height) - sy));
    if (s.a0 >= s.a1 || s.b0 >= s.b1) return;
    BuildSums<T>(s, src, sx, sy, bKey, m, channels);

    // Destination pixels that lie inside the destination and have a source pixel.
    const int32_t i0 = std::max<int32_t>(s.a0, -x);
    const int32_t i1 = static_cast<int32_t>(std::min<int64_t>(s.a1, static_cast<int64_t>(dst.width) - x));
    const int32_t j0 = std::max<int32_t>(s.b0, -y);
    const int32_t j1 = static_cast<int32_t>(std::min<int64_t>(s.b1, static_cast<int64_t>(dst.height) - y));
    rx = std::min(rx, w);
    ry = std::min(ry, h);
    for (int32_t j = j0; j < j1; ++j) {
        T* out = dst.Row<T>(y + j);
        const int32_t r0 = std::max(j - ry, s.b0);
        const int32_t r1 = std::min(j + ry, s.b1);
        for (int32_t i = i0; i < i1; ++i) {
            // With the key, a pixel that is itself absent stays as it was. Its presence is read
            // from the count table, so a blur in place never sees its own output.
            if (bKey && s.Sum(s.n, i, i + 1, j, j + 1) == 0) continue;
            const int32_t c0 = std::max(i - rx, s.a0);
            const int32_t c1 = std::min(i + rx, s.a1);
            const uint32_t n = s.Sum(s.n, c0, c1, r0, r1);
            if (n == 0) continue;
            write(out[x + i], static_cast<int32_t>(s.Sum(s.r, c0, c1, r0, r1) / n),
                  static_cast<int32_t>(s.Sum(s.g, c0, c1, r0, r1) / n),
                  static_cast<int32_t>(s.Sum(s.b, c0, c1, r0, r1) / n));
        }
    }
}

// The blur above without the whole-rectangle tables: the sums of every column over the window's
// rows are kept from one row to the next (the row that enters is added, the row that leaves is
// taken away), and a row's window sums come from the running totals of those column sums. The
// sums stay small enough to sit in the cache, and the source is read twice. The divisions are a
// multiplication by the count's inverse in fixed point, exact for 32-bit numbers. The source must
// not change while the blur runs; a blur of a surface onto itself reads a copy.
typedef uint32_t Sum4 __attribute__((vector_size(16)));

class cDivider {
public:
    // With c = ceil(2^64 / n), the high word of c * s is the truncated s / n for every 32-bit s
    // and n; n = 1 would need 2^64 and is its own quotient.
    uint32_t Divide(uint32_t s, uint32_t n)
    {
        if (n != m_nDivisor) {
            m_nDivisor = n;
            m_nInverse = n > 1 ? ~uint64_t{0} / n + 1 : 0;
        }
        if (n == 1) return s;
        return static_cast<uint32_t>((static_cast<unsigned __int128>(m_nInverse) * s) >> 64);
    }

private:
    uint32_t m_nDivisor = 0;
    uint64_t m_nInverse = 0;
};

template <class T, class Channels, class Write>
void BlurRows(const View& dst, const View& source, int32_t x, int32_t y, int32_t w, int32_t h, int32_t rx,
              int32_t ry, int32_t sx, int32_t sy, bool bKey, const Mode& m, Channels channels, Write write,
              bool bSame)
{
    const int32_t a0 = std::max(0, -sx);
    const int32_t a1 = static_cast<int32_t>(std::min<int64_t>(w, static_cast<int64_t>(source.width) - sx));
    const int32_t b0 = std::max(0, -sy);
    const int32_t b1 = static_cast<int32_t>(std::min<int64_t>(h, static_cast<int64_t>(source.height) - sy));
    if (a0 >= a1 || b0 >= b1) return;
    const int32_t i0 = std::max<int32_t>(a0, -x);
    const int32_t i1 = static_cast<int32_t>(std::min<int64_t>(a1, static_cast<int64_t>(dst.width) - x));
    const int32_t j0 = std::max<int32_t>(b0, -y);
    const int32_t j1 = static_cast<int32_t>(std::min<int64_t>(b1, static_cast<int64_t>(dst.height) - y));
    if (i0 >= i1 || j0 >= j1) return;
    rx = std::min(rx, w);
    ry = std::min(ry, h);
    View src = source;
    thread_local std::vector<uint8_t> copy;
    if (bSame) {
        const size_t rowBytes = static_cast<size_t>(src.pitch) * sizeof(T);
        copy.assign(src.bits, src.bits + rowBytes * static_cast<size_t>(src.height));
        src.bits = copy.data();
    }
    const size_t cols = static_cast<size_t>(a1 - a0);
    thread_local std::vector<Sum4> columns, totals;
    columns.assign(cols, Sum4{0, 0, 0, 0});
    totals.resize(cols + 1);
    auto pixel = [&](T p) -> Sum4 {
        if (bKey) {
            bool present;
            if constexpr (sizeof(T) == 2)
                present = Present16(m, p);
            else
                present = Present32(m, p);
            if (!present) return Sum4{0, 0, 0, 0};
        }
        int32_t cr, cg, cb;
        channels(p, cr, cg, cb);
        return Sum4{static_cast<uint32_t>(cr), static_cast<uint32_t>(cg), static_cast<uint32_t>(cb), 1};
    };
    int32_t top = std::max(j0 - ry, b0), bottom = top;   // the rows summed: [top, bottom)
    cDivider divider;
    for (int32_t j = j0; j < j1; ++j) {
        const int32_t r0 = std::max(j - ry, b0), r1 = std::min(j + ry, b1);
        for (; bottom < r1; ++bottom) {
            const T* row = src.Row<T>(sy + bottom) + sx + a0;
            for (size_t c = 0; c < cols; ++c) columns[c] += pixel(row[c]);
        }
        for (; top < r0; ++top) {
            const T* row = src.Row<T>(sy + top) + sx + a0;
            for (size_t c = 0; c < cols; ++c) columns[c] -= pixel(row[c]);
        }
        Sum4 run{0, 0, 0, 0};
        totals[0] = run;
        for (size_t c = 0; c < cols; ++c) totals[c + 1] = run += columns[c];
        const T* own = src.Row<T>(sy + j) + sx;
        T* out = dst.Row<T>(y + j);
        for (int32_t i = i0; i < i1; ++i) {
            if (bKey && pixel(own[i])[3] == 0) continue;
            const size_t c0 = static_cast<size_t>(std::max(i - rx, a0) - a0);
            const size_t c1 = static_cast<size_t>(std::min(i + rx, a1) - a0);
            const Sum4 v = totals[c1] - totals[c0];
            const uint32_t n = v[3];
            if (n == 0) continue;
            write(out[x + i], static_cast<int32_t>(divider.Divide(v[0], n)), static_cast<int32_t>(divider.Divide(v[1], n)),
                  static_cast<int32_t>(divider.Divide(v[2], n)));
        }
    }
}

template <class T, class Channels, class Write>
void Blur(const View& dst, const View& src, int32_t x, int32_t y, int32_t w, int32_t h, int32_t rx, int32_t ry,
          int32_t sx, int32_t sy, bool bKey, const Mode& m, Channels channels, Write write, bool bSame)
{
    if (gfx::GeneralPixelPathsForced())
        BlurPixels<T>(dst, src, x, y, w, h, rx, ry, sx, sy, bKey, m, channels, write);
    else
        BlurRows<T>(dst, src, x, y, w, h, rx, ry, sx, sy, bKey, m, channels, write, bSame);
}

} // namespace

bool DDBlur(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h, int32_t rx,
            int32_t ry, DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flag)
{
    // A reach of 0 (or less) leaves every window empty: nothing to do.
    if (rx <= 0 || ry <= 0 || w <= 0 || h <= 0) return true;
    cLockedPair pair;
    if (!pair.Lock(lpDstSD, lpSrcSD)) return false;
    const Mode& m = pair.mode;
    const bool bKey = flag == 1;
    if (m.nDepth == 8) {
        WriteTraceLogF("8ビットぼかしは不可能！");
        return true;
    }
    if (m.nDepth == 16) {
        const Layout l = m.sm;
        Blur<uint16_t>(
            pair.dst, pair.src, x, y, w, h, rx, ry, sx, sy, bKey, m,
            [l](uint16_t p, int32_t& r, int32_t& g, int32_t& b) {
                r = R16(l, p);
                g = G16(l, p);
                b = B16(l, p);
            },
            [&m](uint16_t& out, int32_t r, int32_t g, int32_t b) { out = Pack16(m, r, g, b); }, pair.bSame);
    } else {
        Blur<uint32_t>(
            pair.dst, pair.src, x, y, w, h, rx, ry, sx, sy, bKey, m,
            [](uint32_t p, int32_t& r, int32_t& g, int32_t& b) {
                r = static_cast<int32_t>((p >> 16) & 255);
                g = static_cast<int32_t>((p >> 8) & 255);
                b = static_cast<int32_t>(p & 255);
            },
            [&m](uint32_t& out, int32_t r, int32_t g, int32_t b) { out = Pack32(m, out, r, g, b); }, pair.bSame);
    }
    return true;
}

// The mosaic paints the rectangle in square cells. Direct3D (and 8-bit DirectDraw) take the
// colour of the cell's top-left source pixel; 16- and 32-bit DirectDraw take the cell's average.
namespace {

template <class T>
void FillCell(const View& dst, int32_t x, int32_t y, int32_t c0, int32_t c1, int32_t r0,
              int32_t r1, T value, const Mode& m)
{
    for (int32_t j = r0; j < r1; ++j) {
        T* out = dst.Row<T>(y + j);
        for (int32_t i = c0; i < c1; ++i) {
            if constexpr (sizeof(T) == 4) {
                // DirectDraw keeps the destination's byte 3 under an averaged colour.
                out[x + i] = m.bD3D ? value : ((out[x + i] & 0xFF000000u) | (value & 0x00FFFFFFu));
            } else {
                out[x + i] = value;
            }
        }
    }
}

template <class T>
void MosaicPixels(const View& dst, const View& src, int32_t x, int32_t y, int32_t w, int32_t h,
                  int32_t cell, int32_t sx, int32_t sy, bool bKey, const Mode& m)
{
    // Only cells that reach into the destination are visited.
    const int32_t i0 = std::max(0, -x);
    const int32_t i1 = static_cast<int32_t>(std::min<int64_t>(w, static_cast<int64_t>(dst.width) - x));
    const int32_t j0 = std::max(0, -y);
    const int32_t j1 = static_cast<int32_t>(std::min<int64_t>(h, static_cast<int64_t>(dst.height) - y));
    if (i0 >= i1 || j0 >= j1) return;
    const bool bAverage = !m.bD3D && m.nDepth != 8;
    for (int64_t cj = static_cast<int64_t>(j0 / cell) * cell; cj < j1; cj += cell) {
        const int32_t cellBottom = static_cast<int32_t>(std::min<int64_t>(cj + cell, h));
        for (int64_t ci = static_cast<int64_t>(i0 / cell) * cell; ci < i1; ci += cell) {
            const int32_t cellRight = static_cast<int32_t>(std::min<int64_t>(ci + cell, w));
            const int32_t ci32 = static_cast<int32_t>(ci), cj32 = static_cast<int32_t>(cj);
            T value{};
            if (!bAverage) {
                if (!src.Inside(sx + ci32, sy + cj32)) continue;
                const T p = src.Row<T>(sy + cj32)[sx + ci32];
                if (bKey) {
                    bool present;
                    if constexpr (sizeof(T) == 1)
                        present = Present8(m, p);
                    else if constexpr (sizeof(T) == 2)
                        present = Present16(m, p);
                    else
                        present = Present32(m, p);
                    if (!present) continue;
                }
                if constexpr (sizeof(T) == 2)
                    value = Copy16(m, p);
                else if constexpr (sizeof(T) == 4)
                    value = m.bD3D ? (p | 0xFF000000u) : p;
                else
                    value = p;
            } else {
                uint32_t sr = 0, sg = 0, sb = 0, n = 0;
                for (int32_t j = cj32; j < cellBottom; ++j) {
                    if (sy + j < 0 || sy + j >= src.height) continue;
                    const T* row = src.Row<T>(sy + j);
                    for (int32_t i = ci32; i < cellRight; ++i) {
                        if (sx + i < 0 || sx + i >= src.width) continue;
                        const T p = row[sx + i];
                        if (bKey && static_cast<uint32_t>(p) == m.dwTransmit) continue;
                        if constexpr (sizeof(T) == 2) {
                            sr += static_cast<uint32_t>(Expand(R16(m.sm, p), m.sm.rm));
                            sg += static_cast<uint32_t>(Expand(G16(m.sm, p), m.sm.gm));
                            sb += static_cast<uint32_t>(Expand(B16(m.sm, p), m.sm.bm));
                        } else {
                            sr += (p >> 16) & 255;
                            sg += (p >> 8) & 255;
                            sb += p & 255;
                        }
                        ++n;
                    }
                }
                if (n == 0) continue;
                const int32_t r = static_cast<int32_t>(sr / n), g = static_cast<int32_t>(sg / n),
                              b = static_cast<int32_t>(sb / n);
                if constexpr (sizeof(T) == 2) {
                    value = Pack16(m, Reduce(r, m.sm.rm), Reduce(g, m.sm.gm), Reduce(b, m.sm.bm));
                    if (bKey && value == static_cast<uint16_t>(m.dwTransmit)) continue;
                } else if constexpr (sizeof(T) == 4) {
                    value = Pack32(m, 0, r, g, b);
                    if (bKey && (value & 0xFFFFFFu) == (m.dwTransmit & 0xFFFFFFu)) continue;
                }
            }
            FillCell<T>(dst, x, y, std::max(ci32, i0), std::min(cellRight, i1),
                        std::max(cj32, j0), std::min(cellBottom, j1), value, m);
        }
    }
}

// The loop above, band by band: a band of cells one cell high is read row by row, each row
// adding its pixels to the sums of the cells it crosses (16-bit channels widened through tables
// made once per call instead of a division per channel), and then every cell of the band is
// painted a row at a time.
template <class T>
void FillCellRows(const View& dst, int32_t x, int32_t y, int32_t c0, int32_t c1, int32_t r0,
                  int32_t r1, T value, bool bKeepTop)
{
    for (int32_t j = r0; j < r1; ++j) {
        T* out = dst.Row<T>(y + j) + x;
        if constexpr (sizeof(T) == 4) {
            if (bKeepTop) {
                gfx::rows::FillKeepTop32(out + c0, c1 - c0, value & 0x00FFFFFFu);
                continue;
            }
        }
        std::fill(out + c0, out + c1, value);
    }
}

template <class T>
void MosaicRows(const View& dst, const View& src, int32_t x, int32_t y, int32_t w, int32_t h,
                int32_t cell, int32_t sx, int32_t sy, bool bKey, const Mode& m)
{
    const int32_t i0 = std::max(0, -x);
    const int32_t i1 = static_cast<int32_t>(std::min<int64_t>(w, static_cast<int64_t>(dst.width) - x));
    const int32_t j0 = std::max(0, -y);
    const int32_t j1 = static_cast<int32_t>(std::min<int64_t>(h, static_cast<int64_t>(dst.height) - y));
    if (i0 >= i1 || j0 >= j1) return;
    const bool bAverage = !m.bD3D && m.nDepth != 8;
    const bool bKeepTop = sizeof(T) == 4 && !m.bD3D;
    const int64_t firstCell = static_cast<int64_t>(i0 / cell) * cell;
    const size_t cells = static_cast<size_t>((static_cast<int64_t>(i1) - firstCell + cell - 1) / cell);
    // Widened 16-bit channels.
    thread_local std::vector<uint32_t> wr, wg, wb;
    if constexpr (sizeof(T) == 2) {
        if (bAverage) {
            auto widen = [](std::vector<uint32_t>& t, int32_t mask) {
                t.resize(static_cast<size_t>(mask) + 1);
                for (int32_t v = 0; v <= mask; ++v) t[static_cast<size_t>(v)] = static_cast<uint32_t>(Expand(v, mask));
            };
            widen(wr, m.sm.rm);
            widen(wg, m.sm.gm);
            widen(wb, m.sm.bm);
        }
    }
    // Every 16-bit pixel widened, its three channels in 21-bit fields of one word (red at bit 42,
    // green at 21, blue at 0): runs of up to 8,224 pixels add up without a carry between fields.
    constexpr int32_t kPackedRun = 0x1FFFFF / 255;
    thread_local std::vector<uint64_t> wide;
    thread_local Layout wideLayout{};
    if constexpr (sizeof(T) == 2) {
        const Layout& l = m.sm;
        const bool same = wideLayout.rs == l.rs && wideLayout.gs == l.gs && wideLayout.bs == l.bs &&
                          wideLayout.rm == l.rm && wideLayout.gm == l.gm && wideLayout.bm == l.bm;
        if (bAverage && (wide.empty() || !same)) {
            wide.resize(65536);
            for (uint32_t p = 0; p < 65536; ++p)
                wide[p] = static_cast<uint64_t>(wr[static_cast<size_t>(R16(l, p))]) << 42 |
                          static_cast<uint64_t>(wg[static_cast<size_t>(G16(l, p))]) << 21 |
                          wb[static_cast<size_t>(B16(l, p))];
            wideLayout = l;
        }
    }
    thread_local std::vector<uint32_t> sums;
    // Source columns [sx + i] that lie inside the source surface.
    const int64_t ia = std::max<int64_t>(0, -static_cast<int64_t>(sx));
    const int64_t ib = static_cast<int64_t>(src.width) - sx;
    // Averages over bands of at most 257 rows add up by columns (the column sums keep red and
    // blue in the halves of one word). The columns the visited cells read: [ca, cb).
    const int32_t ca = static_cast<int32_t>(std::max(firstCell, ia));
    const int32_t cb = static_cast<int32_t>(
        std::min({firstCell + static_cast<int64_t>(cells) * cell, static_cast<int64_t>(w), ib}));
    const bool bColumns = bAverage && cell <= 257 && ca < cb && (sizeof(T) == 4 || IsR5G6B5(m.sm));
    thread_local std::vector<uint32_t> colRB, colG, colN;
    if (bColumns) {
        colRB.resize(static_cast<size_t>(cb - ca));
        colG.resize(static_cast<size_t>(cb - ca));
        colN.resize(static_cast<size_t>(cb - ca));
    }
    for (int64_t cj = static_cast<int64_t>(j0 / cell) * cell; cj < j1; cj += cell) {
        const int32_t cj32 = static_cast<int32_t>(cj);
        const int32_t cellBottom = static_cast<int32_t>(std::min<int64_t>(cj + cell, h));
        const int32_t r0 = std::max(cj32, j0), r1 = std::min(cellBottom, j1);
        if (!bAverage) {
            // The band's first row is painted cell by cell, then copied to the band's other rows
            // in runs of painted cells (a keyed cell leaves its pixels). Each cell reads its
            // top-left pixel before it is painted, and no cell paints another's columns, so a
            // mosaic in place reads what the cell-by-cell loop reads.
            thread_local std::vector<std::pair<int32_t, int32_t>> runs;
            runs.clear();
            T* first = dst.Row<T>(y + r0) + x;
            for (size_t c = 0; c < cells; ++c) {
                const int32_t ci32 = static_cast<int32_t>(firstCell + static_cast<int64_t>(c) * cell);
                const int32_t cellRight = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(ci32) + cell, w));
                if (!src.Inside(sx + ci32, sy + cj32)) continue;
                const T p = src.Row<T>(sy + cj32)[sx + ci32];
                T value;
                if constexpr (sizeof(T) == 1) {
                    if (bKey && !Present8(m, p)) continue;
                    value = p;
                } else if constexpr (sizeof(T) == 2) {
                    if (bKey && !Present16(m, p)) continue;
                    value = Copy16(m, p);
                } else {
                    if (bKey && !Present32(m, p)) continue;
                    value = p | 0xFF000000u;
                }
                const int32_t a = std::max(ci32, i0), b = std::min(cellRight, i1);
                if (a >= b) continue;
                std::fill(first + a, first + b, value);
                if (!runs.empty() && runs.back().second == a)
                    runs.back().second = b;
                else
                    runs.emplace_back(a, b);
            }
            for (int32_t j = r0 + 1; j < r1; ++j) {
                T* out = dst.Row<T>(y + j) + x;
                for (const auto& [a, b] : runs)
                    std::memcpy(out + a, first + a, static_cast<size_t>(b - a) * sizeof(T));
            }
            continue;
        }
        sums.assign(cells * 4, 0);
        if (bColumns) {
            // The band's rows are added column by column first (many columns at a time), then
            // each cell adds up its columns.
            std::fill(colRB.begin(), colRB.end(), 0u);
            std::fill(colG.begin(), colG.end(), 0u);
            std::fill(colN.begin(), colN.end(), 0u);
            for (int32_t j = cj32; j < cellBottom; ++j) {
                if (sy + j < 0 || sy + j >= src.height) continue;
                const T* row = src.Row<T>(sy + j) + sx + ca;
                if constexpr (sizeof(T) == 2)
                    gfx::rows::AddColumns565(colRB.data(), colG.data(), colN.data(), row, cb - ca, m.dwTransmit, bKey);
                else if constexpr (sizeof(T) == 4)
                    gfx::rows::AddColumns32(colRB.data(), colG.data(), colN.data(), row, cb - ca, m.dwTransmit, bKey);
            }
            for (size_t c = 0; c < cells; ++c) {
                const int64_t ci = firstCell + static_cast<int64_t>(c) * cell;
                const int32_t a = static_cast<int32_t>(std::max(ci, ia));
                const int32_t b = static_cast<int32_t>(std::min({ci + cell, static_cast<int64_t>(w), ib}));
                uint32_t* s = &sums[c * 4];
                for (int32_t i = a; i < b; ++i) {
                    const size_t k = static_cast<size_t>(i - ca);
                    s[0] += colRB[k] >> 16;
                    s[1] += colG[k];
                    s[2] += colRB[k] & 0xFFFFu;
                    s[3] += colN[k];
                }
            }
        }
        for (int32_t j = cj32; j < cellBottom && !bColumns; ++j) {
            if (sy + j < 0 || sy + j >= src.height) continue;
            const T* row = src.Row<T>(sy + j) + sx;
            for (size_t c = 0; c < cells; ++c) {
                const int64_t ci = firstCell + static_cast<int64_t>(c) * cell;
                const int32_t a = static_cast<int32_t>(std::max(ci, ia));
                const int32_t b = static_cast<int32_t>(std::min({ci + cell, static_cast<int64_t>(w), ib}));
                uint32_t sr = 0, sg = 0, sb = 0, n = 0;
                if (b - a <= kPackedRun) {
                    // Short runs add all three channels at once in fields of one word.
                    uint64_t packed = 0;
                    for (int32_t i = a; i < b; ++i) {
                        const T p = row[i];
                        if (bKey && static_cast<uint32_t>(p) == m.dwTransmit) continue;
                        if constexpr (sizeof(T) == 2)
                            packed += wide[p];
                        else
                            packed += (static_cast<uint64_t>(p & 0xFF0000u) << 26) | (static_cast<uint64_t>(p & 0xFF00u) << 13) |
                                      (p & 0xFFu);
                        ++n;
                    }
                    sr = static_cast<uint32_t>(packed >> 42);
                    sg = static_cast<uint32_t>(packed >> 21) & 0x1FFFFFu;
                    sb = static_cast<uint32_t>(packed) & 0x1FFFFFu;
                } else {
                    for (int32_t i = a; i < b; ++i) {
                        const T p = row[i];
                        if (bKey && static_cast<uint32_t>(p) == m.dwTransmit) continue;
                        if constexpr (sizeof(T) == 2) {
                            sr += wr[static_cast<size_t>(R16(m.sm, p))];
                            sg += wg[static_cast<size_t>(G16(m.sm, p))];
                            sb += wb[static_cast<size_t>(B16(m.sm, p))];
                        } else {
                            sr += (p >> 16) & 255;
                            sg += (p >> 8) & 255;
                            sb += p & 255;
                        }
                        ++n;
                    }
                }
                uint32_t* s = &sums[c * 4];
                s[0] += sr;
                s[1] += sg;
                s[2] += sb;
                s[3] += n;
            }
        }
        for (size_t c = 0; c < cells; ++c) {
            const uint32_t* s = &sums[c * 4];
            const uint32_t n = s[3];
            if (n == 0) continue;
            const int32_t ci32 = static_cast<int32_t>(firstCell + static_cast<int64_t>(c) * cell);
            const int32_t cellRight = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(ci32) + cell, w));
            const int32_t r = static_cast<int32_t>(s[0] / n), g = static_cast<int32_t>(s[1] / n),
                          b = static_cast<int32_t>(s[2] / n);
            T value{};
            if constexpr (sizeof(T) == 2) {
                value = Pack16(m, Reduce(r, m.sm.rm), Reduce(g, m.sm.gm), Reduce(b, m.sm.bm));
                if (bKey && value == static_cast<uint16_t>(m.dwTransmit)) continue;
            } else if constexpr (sizeof(T) == 4) {
                value = Pack32(m, 0, r, g, b);
                if (bKey && (value & 0xFFFFFFu) == (m.dwTransmit & 0xFFFFFFu)) continue;
            }
            FillCellRows<T>(dst, x, y, std::max(ci32, i0), std::min(cellRight, i1), r0, r1, value, bKeepTop);
        }
    }
}

template <class T>
void Mosaic(const View& dst, const View& src, int32_t x, int32_t y, int32_t w, int32_t h, int32_t cell,
            int32_t sx, int32_t sy, bool bKey, const Mode& m)
{
    if (gfx::GeneralPixelPathsForced())
        MosaicPixels<T>(dst, src, x, y, w, h, cell, sx, sy, bKey, m);
    else
        MosaicRows<T>(dst, src, x, y, w, h, cell, sx, sy, bKey, m);
}

} // namespace

bool DDMosaic(DDSURFACEDATA* lpDstSD, int32_t x, int32_t y, int32_t w, int32_t h, int32_t cell,
              DDSURFACEDATA* lpSrcSD, int32_t sx, int32_t sy, int32_t flag)
{
    // A cell of no size (or a negative one) paints nothing.
    if (cell <= 0 || w <= 0 || h <= 0) return true;
    cLockedPair pair;
    if (!pair.Lock(lpDstSD, lpSrcSD)) return false;
    const bool bKey = flag == 1;
    // A mosaic in place reads cells that it has not painted yet, so it needs its own copy only
    // when the rectangles overlap differently; the copy keeps the source as it was.
    ddpixel::View src = pair.src;
    std::vector<uint8_t> copy;
    if (pair.bSame && (x != sx || y != sy)) {
        const int32_t bpp = pair.mode.nDepth / 8;
        copy.assign(static_cast<size_t>(src.pitch) * static_cast<size_t>(src.height) *
                        static_cast<size_t>(bpp), 0);
        std::copy(src.bits, src.bits + copy.size(), copy.begin());
        src.bits = copy.data();
    }
    switch (pair.mode.nDepth) {
    case 8: Mosaic<uint8_t>(pair.dst, src, x, y, w, h, cell, sx, sy, bKey, pair.mode); break;
    case 16: Mosaic<uint16_t>(pair.dst, src, x, y, w, h, cell, sx, sy, bKey, pair.mode); break;
    default: Mosaic<uint32_t>(pair.dst, src, x, y, w, h, cell, sx, sy, bKey, pair.mode); break;
    }
    return true;
}
