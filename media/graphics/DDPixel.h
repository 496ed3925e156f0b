#pragma once
// Pixel arithmetic shared by the effects that compute on locked surfaces: which source pixels
// count as present, how 16-bit channels are read and packed, and how results reach the
// full-screen back buffer. Internal to the graphics layer.
#include <cstdint>

#include "media/graphics/DDSurfaceLock.h"

namespace ddpixel {

// The eight fields of a channel layout, copied out once per call so the loops keep them in
// registers.
struct Layout {
    int32_t rs, gs, bs, as;
    int32_t rm, gm, bm, am;
};

Layout SurfaceLayout();
inline bool IsR5G6B5(const Layout& l)
{
    return l.rs == 11 && l.gs == 5 && l.bs == 0 && l.rm == 31 && l.gm == 63 && l.bm == 31;
}
Layout BackBufferLayout();

// What one effect call needs to know about the mode and the destination.
struct Mode {
    bool bD3D = false;
    int32_t nDepth = 32;
    Layout sm{};            // SurfaceMasks
    Layout bbm{};           // BackBufferMasks
    bool bFullBack = false; // destination is the full-screen Direct3D back buffer
    uint32_t dwTransmit = 0;
};

// The mode for a destination that has already been redirected.
Mode CurrentMode(const DDSURFACEDATA* lpDst);

// A locked surface as the loops see it.
struct View {
    uint8_t* bits = nullptr;
    int32_t pitch = 0; // pixels per row
    int32_t width = 0;
    int32_t height = 0;

    template <class T>
    T* Row(int32_t y) const
    {
        return reinterpret_cast<T*>(bits) + static_cast<intptr_t>(y) * pitch;
    }
    bool Inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

View ViewOf(const cSurfaceLock& lock);

// A source pixel counts as present (the colour-key flag 1 keeps only these).
inline bool Present16(const Mode& m, uint16_t p)
{
    return m.bD3D ? (p & 0xA000) != 0 : p != static_cast<uint16_t>(m.dwTransmit);
}
inline bool Present32(const Mode& m, uint32_t p)
{
    return m.bD3D ? (p >> 24) != 0 : p != m.dwTransmit;
}
inline bool Present8(const Mode& m, uint8_t p) { return p != static_cast<uint8_t>(m.dwTransmit); }

// 16-bit channels in the units of SurfaceMasks.
inline int32_t R16(const Layout& l, uint32_t p) { return static_cast<int32_t>(p >> l.rs) & l.rm; }
inline int32_t G16(const Layout& l, uint32_t p) { return static_cast<int32_t>(p >> l.gs) & l.gm; }
inline int32_t B16(const Layout& l, uint32_t p) { return static_cast<int32_t>(p >> l.bs) & l.bm; }

// 0..255 units and back, truncating both ways.
inline int32_t Expand(int32_t v, int32_t mask) { return mask ? v * 255 / mask : 0; }
inline int32_t Reduce(int32_t v, int32_t mask) { return v * mask / 255; }

// A 16-bit result in SurfaceMasks units, packed for the destination: the full-screen back buffer
// takes R5G6B5 with green doubled; Direct3D textures get the alpha bit; DirectDraw gets the
// channels only.
inline uint16_t Pack16(const Mode& m, int32_t r, int32_t g, int32_t b)
{
    if (m.bFullBack)
        return static_cast<uint16_t>((r << m.bbm.rs) | ((g * 2) << m.bbm.gs) | (b << m.bbm.bs));
    uint32_t v = (static_cast<uint32_t>(r & m.sm.rm) << m.sm.rs) |
                 (static_cast<uint32_t>(g & m.sm.gm) << m.sm.gs) |
                 (static_cast<uint32_t>(b & m.sm.bm) << m.sm.bs);
    if (m.bD3D) v |= static_cast<uint32_t>(m.sm.am & 1) << m.sm.as;
    return static_cast<uint16_t>(v);
}

// A source word copied unchanged, re-packed when it goes into the full-screen back buffer.
inline uint16_t Copy16(const Mode& m, uint16_t p)
{
    if (!m.bFullBack) return p;
    return Pack16(m, R16(m.sm, p), G16(m.sm, p), B16(m.sm, p));
}

// 32-bit result bytes: Direct3D writes alpha 255, DirectDraw keeps the destination's byte 3.
inline uint32_t Pack32(const Mode& m, uint32_t old, int32_t r, int32_t g, int32_t b)
{
    uint32_t hi = m.bD3D ? 0xFF000000u : (old & 0xFF000000u);
    return hi | (static_cast<uint32_t>(r & 255) << 16) | (static_cast<uint32_t>(g & 255) << 8) |
           static_cast<uint32_t>(b & 255);
}

} // namespace ddpixel

// Destination and source of one effect, redirected and locked in the order the effects share:
// destination first, then source; released source first. When both name the same surface it is
// locked once and read and written through the same pixels.
class cLockedPair {
public:
    // False when either lock failed; whatever was taken is released by the destructor.
    // lpDstChanged and bOverwritten: as cSurfaceLock::Lock, for the destination.
    bool Lock(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc, const RECT* lpDstChanged = nullptr,
              bool bOverwritten = false);
    void Release();
    ~cLockedPair() { Release(); }

    ddpixel::Mode mode;
    ddpixel::View dst;
    ddpixel::View src;
    bool bSame = false;
    bool bSrcBack = false; // the source is the back buffer itself (Direct3D)

private:
    cSurfaceLock m_dst;
    cSurfaceLock m_src;
};
