#include "platform/graphics/DDraw.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/graphics/GraphicsInternal.h"
#include "platform/graphics/PixelRows.h"

const IID IID_IDirectDraw7 = {0x15E65EC0, 0x3B9C, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};

namespace {

std::mutex g_PaletteMutex;
IDirectDrawPalette* g_lpDisplayPalette = nullptr;

class cPalette final : public IDirectDrawPalette {
public:
    explicit cPalette(const PALETTEENTRY* entries) {
        if (entries) std::memcpy(m_Entries, entries, sizeof(m_Entries));
        else std::memset(m_Entries, 0, sizeof(m_Entries));
    }
    HRESULT SetEntries(DWORD, DWORD start, DWORD count, const PALETTEENTRY* entries) override {
        if (entries == nullptr || start > 256 || count > 256 - start) return DDERR_INVALIDPARAMS;
        std::lock_guard<std::mutex> lock(m_Mutex);
        std::memcpy(m_Entries + start, entries, count * sizeof(PALETTEENTRY));
        return DD_OK;
    }
    HRESULT GetEntries(DWORD, DWORD start, DWORD count, PALETTEENTRY* entries) override {
        if (entries == nullptr || start > 256 || count > 256 - start) return DDERR_INVALIDPARAMS;
        std::lock_guard<std::mutex> lock(m_Mutex);
        std::memcpy(entries, m_Entries + start, count * sizeof(PALETTEENTRY));
        return DD_OK;
    }

private:
    std::mutex m_Mutex;
    PALETTEENTRY m_Entries[256];
};

class cClipper final : public IDirectDrawClipper {
public:
    HRESULT SetHWnd(DWORD, HWND window) override {
        m_hWindow = window;
        return DD_OK;
    }
    HWND Window() const { return m_hWindow; }

private:
    HWND m_hWindow = nullptr;
};

class cSurface final : public IDirectDrawSurface7 {
public:
    cSurface(PixelFormat format, int32_t width, int32_t height, DWORD caps, uint64_t videoBytes)
        : m_Pixels(format, width, height), m_dwCaps(caps), m_nVideoBytes(videoBytes),
          m_nLossGeneration(gfx::SurfaceLossGeneration()) {}
    ~cSurface() override {
        for (cSurface* back : m_vBackBuffers) {
            back->TakeBackFrame();
            back->Release();
        }
        if (m_lpPalette) {
            if (m_dwCaps & DDSCAPS_PRIMARYSURFACE) gfx::SetDisplayPalette(nullptr);
            m_lpPalette->Release();
        }
        if (m_lpClipper) m_lpClipper->Release();
        if (m_nVideoBytes) gfx::ReleaseVideoMemory(m_nVideoBytes);
    }

    void AttachBackBuffer(cSurface* back) { m_vBackBuffers.push_back(back); }

    HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** surface) override {
        if (caps == nullptr || surface == nullptr) return DDERR_INVALIDPARAMS;
        if ((caps->dwCaps & DDSCAPS_BACKBUFFER) == 0 || m_vBackBuffers.empty()) return DDERR_NOTFOUND;
        m_vBackBuffers[0]->AddRef();
        *surface = m_vBackBuffers[0];
        return DD_OK;
    }

    HRESULT Blt(RECT* destRect, IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags, DDBLTFX* fx) override {
        if (Lost()) return DDERR_SURFACELOST;
        if (m_bLocked) return DDERR_SURFACEBUSY;
        RECT dst = destRect ? *destRect : RECT{0, 0, m_Pixels.Width(), m_Pixels.Height()};
        if (flags & DDBLT_COLORFILL) {
            if (fx == nullptr) return DDERR_INVALIDPARAMS;
            if (!ClipDest(&dst, nullptr)) return DDERR_INVALIDRECT;
            BeforeWrite(Covers(dst));
            m_Pixels.FillRaw(dst.left, dst.top, dst.right, dst.bottom, fx->dwFillColor);
            AfterWrite();
            return DD_OK;
        }
        auto* src = static_cast<cSurface*>(source);
        if (src == nullptr) return DDERR_INVALIDPARAMS;
        if (src->Lost()) return DDERR_SURFACELOST;
        if (src->m_bLocked) return DDERR_SURFACEBUSY;
        RECT from = sourceRect ? *sourceRect : RECT{0, 0, src->m_Pixels.Width(), src->m_Pixels.Height()};
        if (from.left < 0 || from.top < 0 || from.right > src->m_Pixels.Width() ||
            from.bottom > src->m_Pixels.Height() || from.left >= from.right || from.top >= from.bottom)
            return DDERR_INVALIDRECT;
        if (dst.left >= dst.right || dst.top >= dst.bottom) return DDERR_INVALIDRECT;
        const RECT whole = dst;
        if (!ClipDest(&dst, &whole)) return DDERR_INVALIDRECT;
        const bool mirrorX = (flags & DDBLT_DDFX) && fx && (fx->dwDDFX & DDBLTFX_MIRRORLEFTRIGHT);
        const bool mirrorY = (flags & DDBLT_DDFX) && fx && (fx->dwDDFX & DDBLTFX_MIRRORUPDOWN);
        const bool keyed = (flags & DDBLT_KEYSRC) != 0 && src->m_bHasKey;
        src->BeforeRead();
        BeforeWrite(src != this && !keyed && Covers(dst));
        Copy(*src, from, whole, dst, mirrorX, mirrorY, keyed);
        AfterWrite();
        return DD_OK;
    }

    HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags) override {
        if (Lost()) return DDERR_SURFACELOST;
        auto* src = static_cast<cSurface*>(source);
        if (src == nullptr) return DDERR_INVALIDPARAMS;
        if (src->Lost()) return DDERR_SURFACELOST;
        if (m_bLocked || src->m_bLocked) return DDERR_SURFACEBUSY;
        const RECT from = sourceRect ? *sourceRect : RECT{0, 0, src->m_Pixels.Width(), src->m_Pixels.Height()};
        const int64_t w = static_cast<int64_t>(from.right) - from.left, h = static_cast<int64_t>(from.bottom) - from.top;
        if (from.left < 0 || from.top < 0 || w <= 0 || h <= 0 || from.right > src->m_Pixels.Width() ||
            from.bottom > src->m_Pixels.Height() || x + w > static_cast<int64_t>(m_Pixels.Width()) ||
            y + h > static_cast<int64_t>(m_Pixels.Height()))
            return DDERR_INVALIDRECT;
        const RECT dst{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + w), static_cast<LONG>(y + h)};
        const bool keyed = (flags & DDBLTFAST_SRCCOLORKEY) != 0 && src->m_bHasKey;
        src->BeforeRead();
        BeforeWrite(src != this && !keyed && Covers(dst));
        Copy(*src, from, dst, dst, false, false, keyed);
        AfterWrite();
        return DD_OK;
    }

    HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD, HANDLE) override {
        if (desc == nullptr) return DDERR_INVALIDPARAMS;
        if (Lost()) return DDERR_SURFACELOST;
        if (m_bLocked) return DDERR_SURFACEBUSY;
        if (TakeGraphicsFault(GraphicsFault::LockSurface)) return DDERR_GENERIC;
        int32_t left = 0, top = 0;
        if (rect) {
            if (rect->left < 0 || rect->top < 0 || rect->right > m_Pixels.Width() || rect->bottom > m_Pixels.Height() ||
                rect->left >= rect->right || rect->top >= rect->bottom)
                return DDERR_INVALIDRECT;
            left = rect->left;
            top = rect->top;
        }
        BeforeWrite();
        Describe(desc);
        desc->lpSurface = m_Pixels.Row(top) + left * m_Pixels.BytesPerPixel();
        m_bLocked = true;
        return DD_OK;
    }
    HRESULT Unlock(RECT*) override {
        if (!m_bLocked) return DDERR_INVALIDPARAMS;
        m_bLocked = false;
        AfterWrite();
        return DD_OK;
    }
    HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) override {
        if ((flags & DDCKEY_SRCBLT) == 0) return DDERR_INVALIDPARAMS;
        if (key == nullptr) {
            m_bHasKey = false;
            return DD_OK;
        }
        m_Key = *key;
        m_bHasKey = true;
        return DD_OK;
    }
    HRESULT GetColorKey(DWORD flags, DDCOLORKEY* key) override {
        if ((flags & DDCKEY_SRCBLT) == 0 || key == nullptr) return DDERR_INVALIDPARAMS;
        if (!m_bHasKey) return DDERR_NOCOLORKEY;
        *key = m_Key;
        return DD_OK;
    }
    HRESULT SetPalette(IDirectDrawPalette* palette) override {
        if (m_Pixels.Format() != PixelFormat::P8) return DDERR_INVALIDPARAMS;
        if (palette) palette->AddRef();
        if (m_lpPalette) m_lpPalette->Release();
        m_lpPalette = palette;
        if (m_dwCaps & DDSCAPS_PRIMARYSURFACE) gfx::SetDisplayPalette(palette);
        return DD_OK;
    }
    HRESULT SetClipper(IDirectDrawClipper* clipper) override {
        if (clipper) clipper->AddRef();
        if (m_lpClipper) m_lpClipper->Release();
        m_lpClipper = static_cast<cClipper*>(clipper);
        return DD_OK;
    }
    HRESULT GetPixelFormat(DDPIXELFORMAT* format) override {
        if (format == nullptr) return DDERR_INVALIDPARAMS;
        DescribeFormat(m_Pixels.Format(), format);
        return DD_OK;
    }
    HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) override {
        if (desc == nullptr) return DDERR_INVALIDPARAMS;
        Describe(desc);
        return DD_OK;
    }
    HRESULT GetCaps(DDSCAPS2* caps) override {
        if (caps == nullptr) return DDERR_INVALIDPARAMS;
        *caps = DDSCAPS2{m_dwCaps, 0, 0, 0};
        return DD_OK;
    }
    HRESULT IsLost() override { return Lost() ? DDERR_SURFACELOST : DD_OK; }
    HRESULT Restore() override {
        if (!Lost()) return DD_OK;
        m_nLossGeneration = gfx::SurfaceLossGeneration();
        m_bContentLost = false;
        for (cSurface* back : m_vBackBuffers) back->Restore();
        return DD_OK;
    }
    HRESULT Flip(IDirectDrawSurface7*, DWORD flags) override {
        if ((m_dwCaps & DDSCAPS_PRIMARYSURFACE) == 0 || m_vBackBuffers.empty()) return DDERR_INVALIDPARAMS;
        if (Lost() || m_vBackBuffers[0]->Lost()) return DDERR_SURFACELOST;
        // The back buffer keeps its content: the game redraws only what changes. Rather than
        // copying the frame, the two surfaces exchange their pixels and the back buffer takes
        // the frame back only when it is next used, unless that use replaces every pixel. A
        // back buffer that was not touched since the last flip still has its frame on the
        // primary surface.
        cSurface* back = m_vBackBuffers[0];
        if (back->m_lpFrameHolder != this) {
            BeforeWrite(true);
            if (m_bLocked || back->m_bLocked || gfx::GeneralPixelPathsForced()) {
                m_Pixels.CopyFrom(back->m_Pixels);
            } else {
                m_Pixels.Swap(back->m_Pixels);
                back->m_lpFrameHolder = this;
            }
        }
        if (flags & DDFLIP_WAIT) gfx::WaitForVerticalBlank();
        PresentSelf();
        return DD_OK;
    }
    HRESULT GetDC(HDC* dc) override {
        if (dc == nullptr) return DDERR_INVALIDPARAMS;
        if (Lost()) return DDERR_SURFACELOST;
        if (m_bLocked) return DDERR_SURFACEBUSY;
        BeforeWrite();
        m_bLocked = true;
        *dc = gfx::NewSurfaceContext(&m_Pixels, this);
        return DD_OK;
    }
    HRESULT ReleaseDC(HDC dc) override {
        if (dc == nullptr || !m_bLocked) return DDERR_INVALIDPARAMS;
        gfx::DeleteSurfaceContext(dc);
        m_bLocked = false;
        AfterWrite();
        return DD_OK;
    }
    cPixelBuffer* Pixels() override {
        BeforeWrite();
        return &m_Pixels;
    }

private:
    bool InVideoMemory() const { return (m_dwCaps & DDSCAPS_SYSTEMMEMORY) == 0; }
    bool Lost() {
        if (!InVideoMemory() || m_nLossGeneration == gfx::SurfaceLossGeneration()) return false;
        if (!m_bContentLost) {
            // What video memory held is gone; a restored surface starts black.
            m_bContentLost = true;
            BeforeWrite(true);
            m_Pixels.FillRaw(0, 0, m_Pixels.Width(), m_Pixels.Height(), 0);
        }
        return true;
    }

    // A back buffer whose frame went to the primary surface by the flip's exchange takes it back.
    void TakeBackFrame() {
        if (m_lpFrameHolder == nullptr) return;
        m_Pixels.CopyFrom(m_lpFrameHolder->m_Pixels);
        m_lpFrameHolder = nullptr;
    }
    void BeforeRead() { TakeBackFrame(); }
    // Before the pixels change (whole: every pixel is replaced without being read). The back
    // buffers of a primary surface take their frames back before it changes.
    void BeforeWrite(bool whole = false) {
        if (whole)
            m_lpFrameHolder = nullptr;
        else
            TakeBackFrame();
        for (cSurface* back : m_vBackBuffers) back->TakeBackFrame();
    }
    bool Covers(const RECT& r) const {
        return r.left <= 0 && r.top <= 0 && r.right >= m_Pixels.Width() && r.bottom >= m_Pixels.Height();
    }

    // Clips a destination rectangle: through the clipper on a clipped surface, else it must lie
    // inside the surface. full: the unclipped rectangle (kept for scaling by the caller).
    bool ClipDest(RECT* dst, const RECT*) const {
        if (m_lpClipper) {
            dst->left = std::max<LONG>(dst->left, 0);
            dst->top = std::max<LONG>(dst->top, 0);
            dst->right = std::min<LONG>(dst->right, m_Pixels.Width());
            dst->bottom = std::min<LONG>(dst->bottom, m_Pixels.Height());
            return dst->left < dst->right && dst->top < dst->bottom;
        }
        return dst->left >= 0 && dst->top >= 0 && dst->right <= m_Pixels.Width() && dst->bottom <= m_Pixels.Height() &&
               dst->left < dst->right && dst->top < dst->bottom;
    }

    // Copies from src's rectangle `from`, scaled onto `whole`, writing only the part `dst`.
    void Copy(cSurface& src, const RECT& from, const RECT& whole, const RECT& dst, bool mirrorX, bool mirrorY,
              bool keyed) {
        const int64_t sw = from.right - from.left, sh = from.bottom - from.top;
        const int64_t dw = whole.right - whole.left, dh = whole.bottom - whole.top;
        const bool sameFormat = src.m_Pixels.Format() == m_Pixels.Format();
        PALETTEENTRY palette[256];
        const bool toP8 = !sameFormat && m_Pixels.Format() == PixelFormat::P8 && gfx::DisplayPalette(palette);
        // Copying a surface onto itself reads from a snapshot.
        const cPixelBuffer* source = &src.m_Pixels;
        cPixelBuffer snapshot;
        if (&src == this) {
            snapshot = src.m_Pixels;
            source = &snapshot;
        }
        // Keys compare on the colour bits only: an unused top bit or byte never decides.
        const PixelFormat sourceFormat = src.m_Pixels.Format();
        const uint32_t colourBits = sourceFormat == PixelFormat::X8R8G8B8   ? 0x00FFFFFFu
                                    : sourceFormat == PixelFormat::X1R5G5B5 ? 0x7FFFu
                                                                            : 0xFFFFFFFFu;
        const uint32_t keyLow = src.m_Key.dwColorSpaceLowValue & colourBits;
        const uint32_t keyHigh = src.m_Key.dwColorSpaceHighValue & colourBits;
        if (sameFormat && (!keyed || keyLow == keyHigh) && !gfx::GeneralPixelPathsForced()) {
            switch (m_Pixels.BytesPerPixel()) {
            case 1:
                CopyRows<uint8_t>(*source, from, whole, dst, mirrorX, mirrorY, keyed, keyLow, colourBits);
                return;
            case 2:
                CopyRows<uint16_t>(*source, from, whole, dst, mirrorX, mirrorY, keyed, keyLow, colourBits);
                return;
            case 4:
                CopyRows<uint32_t>(*source, from, whole, dst, mirrorX, mirrorY, keyed, keyLow, colourBits);
                return;
            default:
                break;
            }
        }
        for (int32_t y = dst.top; y < dst.bottom; ++y) {
            int64_t oy = (static_cast<int64_t>(y - whole.top) * sh) / dh;
            if (mirrorY) oy = sh - 1 - oy;
            const int32_t sy = static_cast<int32_t>(from.top + oy);
            for (int32_t x = dst.left; x < dst.right; ++x) {
                int64_t ox = (static_cast<int64_t>(x - whole.left) * sw) / dw;
                if (mirrorX) ox = sw - 1 - ox;
                const int32_t sx = static_cast<int32_t>(from.left + ox);
                const uint32_t raw = source->ReadRaw(sx, sy);
                if (keyed && (raw & colourBits) >= keyLow && (raw & colourBits) <= keyHigh) continue;
                if (sameFormat) {
                    m_Pixels.WriteRaw(x, y, raw);
                } else if (toP8) {
                    m_Pixels.WriteRaw(x, y, gfx::NearestPaletteIndex(palette, source->ReadArgb(sx, sy) & 0xFFFFFF));
                } else {
                    m_Pixels.WriteArgb(x, y, source->ReadArgb(sx, sy));
                }
            }
        }
    }

    // The per-pixel loop above, a row at a time, for a source of the same format with one key
    // value (or none): unscaled rows are copied whole or through the keyed row copy; scaled and
    // mirrored rows gather through a table of source columns made once per blit.
    template <class T>
    void CopyRows(const cPixelBuffer& source, const RECT& from, const RECT& whole, const RECT& dst, bool mirrorX,
                  bool mirrorY, bool keyed, uint32_t key, uint32_t colourBits) {
        const int64_t sw = from.right - from.left, sh = from.bottom - from.top;
        const int64_t dw = whole.right - whole.left, dh = whole.bottom - whole.top;
        const int32_t n = dst.right - dst.left;
        const T tKey = static_cast<T>(key), tMask = static_cast<T>(colourBits);
        thread_local gfx::rows::cStepper columns, lines;
        lines.Build(dst.top - whole.top, dst.bottom - dst.top, sh, dh, mirrorY);
        const bool plain = sw == dw && !mirrorX;
        if (!plain) columns.Build(dst.left - whole.left, n, sw, dw, mirrorX);
        const int32_t* cols = columns.Offsets();
        const int32_t firstColumn = static_cast<int32_t>(from.left + (dst.left - whole.left));
        int32_t previous = -1;
        for (int32_t y = dst.top; y < dst.bottom; ++y) {
            const int32_t sy = static_cast<int32_t>(from.top + lines.Offsets()[y - dst.top]);
            T* out = reinterpret_cast<T*>(m_Pixels.Row(y)) + dst.left;
            const T* in = reinterpret_cast<const T*>(source.Row(sy));
            if (plain) {
                in += firstColumn;
                if (!keyed)
                    std::memcpy(out, in, static_cast<size_t>(n) * sizeof(T));
                else if constexpr (sizeof(T) == 1)
                    gfx::rows::CopyKeyed8(out, in, n, tKey);
                else if constexpr (sizeof(T) == 2)
                    gfx::rows::CopyKeyed16(out, in, n, tKey, tMask);
                else
                    gfx::rows::CopyKeyed32(out, in, n, tKey, tMask);
                continue;
            }
            in += from.left;
            if (keyed) {
                gfx::rows::GatherKeyed<T>(out, in, cols, n, tKey, tMask);
            } else if (sy == previous) {
                // Without a key a row depends on its source row only: repeat the one above.
                std::memcpy(out, reinterpret_cast<const T*>(m_Pixels.Row(y - 1)) + dst.left,
                            static_cast<size_t>(n) * sizeof(T));
            } else {
                gfx::rows::Gather<T>(out, in, cols, n);
            }
            previous = sy;
        }
    }

    // What is written to the primary surface is on the screen at once, also when the surface
    // heads a flip chain (a program that paces by the timer copies its frames onto it).
    void AfterWrite() {
        if (m_dwCaps & DDSCAPS_PRIMARYSURFACE) PresentSelf();
    }

    void PresentSelf() {
        PALETTEENTRY palette[256];
        const bool hasPalette = m_lpPalette && SUCCEEDED(m_lpPalette->GetEntries(0, 0, 256, palette));
        gfx::PresentBuffer(m_Pixels, hasPalette ? palette : nullptr);
    }

    static void DescribeFormat(PixelFormat format, DDPIXELFORMAT* out) {
        std::memset(out, 0, sizeof(*out));
        out->dwSize = sizeof(*out);
        out->dwRGBBitCount = static_cast<DWORD>(PixelFormatBits(format));
        switch (format) {
        case PixelFormat::P8: out->dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB; break;
        case PixelFormat::R5G6B5:
            out->dwFlags = DDPF_RGB;
            out->dwRBitMask = 0xF800;
            out->dwGBitMask = 0x07E0;
            out->dwBBitMask = 0x001F;
            break;
        case PixelFormat::X1R5G5B5:
        case PixelFormat::A1R5G5B5:
            out->dwFlags = DDPF_RGB;
            out->dwRBitMask = 0x7C00;
            out->dwGBitMask = 0x03E0;
            out->dwBBitMask = 0x001F;
            break;
        default:
            out->dwFlags = DDPF_RGB;
            out->dwRBitMask = 0xFF0000;
            out->dwGBitMask = 0x00FF00;
            out->dwBBitMask = 0x0000FF;
            break;
        }
    }

    void Describe(DDSURFACEDESC2* desc) {
        const DWORD size = desc->dwSize;
        std::memset(desc, 0, sizeof(*desc));
        desc->dwSize = size;
        desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
        desc->dwWidth = static_cast<DWORD>(m_Pixels.Width());
        desc->dwHeight = static_cast<DWORD>(m_Pixels.Height());
        desc->lPitch = m_Pixels.Pitch();
        desc->dwBackBufferCount = static_cast<DWORD>(m_vBackBuffers.size());
        desc->ddsCaps.dwCaps = m_dwCaps;
        if (m_bHasKey) desc->ddckCKSrcBlt = m_Key;
        DescribeFormat(m_Pixels.Format(), &desc->ddpfPixelFormat);
    }

    cPixelBuffer m_Pixels;
    DWORD m_dwCaps;
    uint64_t m_nVideoBytes;
    uint32_t m_nLossGeneration;
    bool m_bContentLost = false;
    bool m_bLocked = false;
    bool m_bHasKey = false;
    DDCOLORKEY m_Key{0, 0};
    IDirectDrawPalette* m_lpPalette = nullptr;
    cClipper* m_lpClipper = nullptr;
    std::vector<cSurface*> m_vBackBuffers;
    cSurface* m_lpFrameHolder = nullptr;   // see Flip
};

class cDirectDraw final : public IDirectDraw7 {
public:
    ~cDirectDraw() override {
        if (m_bDisplayChanged) RestoreDisplayMode();
    }
    HRESULT SetCooperativeLevel(HWND, DWORD flags) override {
        if (TakeGraphicsFault(GraphicsFault::SetCooperativeLevel)) return DDERR_GENERIC;
        if ((flags & DDSCL_FULLSCREEN) && !(flags & DDSCL_EXCLUSIVE)) return DDERR_INVALIDPARAMS;
        m_bExclusive = (flags & DDSCL_EXCLUSIVE) != 0;
        if (!m_bExclusive) RestoreDisplayMode();
        return DD_OK;
    }
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refreshRate, DWORD) override {
        if (!m_bExclusive) return DDERR_WRONGMODE;
        if (TakeGraphicsFault(GraphicsFault::SetDisplayMode)) return DDERR_UNSUPPORTEDMODE;
        const GraphicsProfile& p = gfx::Profile();
        if (width == 0 || height == 0 ||
            std::find(p.vDisplayDepths.begin(), p.vDisplayDepths.end(), bpp) == p.vDisplayDepths.end())
            return DDERR_UNSUPPORTEDMODE;
        if (refreshRate != 0 &&
            std::find(p.vRefreshRates.begin(), p.vRefreshRates.end(), refreshRate) == p.vRefreshRates.end())
            return DDERR_UNSUPPORTEDMODE;
        gfx::DisplayState display;
        display.nWidth = static_cast<int32_t>(width);
        display.nHeight = static_cast<int32_t>(height);
        display.nBpp = static_cast<int32_t>(bpp);
        display.nRefreshRate = refreshRate ? refreshRate : p.vRefreshRates.empty() ? 60 : p.vRefreshRates.front();
        display.bFullScreen = true;
        gfx::SetCurrentDisplay(display);
        m_bDisplayChanged = true;
        return DD_OK;
    }
    HRESULT RestoreDisplayMode() override {
        const GraphicsProfile& p = gfx::Profile();
        gfx::DisplayState display;
        display.nBpp = static_cast<int32_t>(p.nDesktopBpp);
        display.nRefreshRate = p.nDesktopRefreshRate;
        gfx::SetCurrentDisplay(display);
        m_bDisplayChanged = false;
        return DD_OK;
    }
    HRESULT GetDisplayMode(DDSURFACEDESC2* desc) override {
        if (desc == nullptr) return DDERR_INVALIDPARAMS;
        const gfx::DisplayState display = gfx::CurrentDisplay();
        std::memset(desc, 0, sizeof(*desc));
        desc->dwSize = sizeof(*desc);
        desc->dwWidth = static_cast<DWORD>(display.nWidth);
        desc->dwHeight = static_cast<DWORD>(display.nHeight);
        desc->dwRefreshRate = display.nRefreshRate;
        desc->ddpfPixelFormat.dwRGBBitCount = static_cast<DWORD>(display.nBpp);
        return DD_OK;
    }
    HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface, void*) override {
        if (desc == nullptr || surface == nullptr || (desc->dwFlags & DDSD_CAPS) == 0) return DDERR_INVALIDPARAMS;
        *surface = nullptr;
        if (TakeGraphicsFault(GraphicsFault::CreateSurface)) return DDERR_GENERIC;
        const gfx::DisplayState display = gfx::CurrentDisplay();
        const PixelFormat format = gfx::DisplayPixelFormat(display.nBpp);
        const DWORD caps = desc->ddsCaps.dwCaps;
        if (caps & DDSCAPS_PRIMARYSURFACE) {
            const int32_t backCount = (caps & DDSCAPS_FLIP) ? static_cast<int32_t>(desc->dwBackBufferCount) : 0;
            if ((caps & DDSCAPS_FLIP) && (backCount < 1 || backCount > 3 || !m_bExclusive)) return DDERR_INVALIDPARAMS;
            const uint64_t bytes = static_cast<uint64_t>(display.nWidth) * display.nHeight * PixelFormatBytes(format);
            if (!gfx::ReserveVideoMemory(bytes * (1 + backCount))) return DDERR_OUTOFVIDEOMEMORY;
            auto* primary = new cSurface(format, display.nWidth, display.nHeight,
                                         DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY | (caps & (DDSCAPS_FLIP | DDSCAPS_COMPLEX)),
                                         bytes);
            for (int32_t i = 0; i < backCount; ++i)
                primary->AttachBackBuffer(new cSurface(format, display.nWidth, display.nHeight,
                                                       DDSCAPS_BACKBUFFER | DDSCAPS_VIDEOMEMORY | DDSCAPS_FLIP, bytes));
            *surface = primary;
            return DD_OK;
        }
        if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) || desc->dwWidth == 0 ||
            desc->dwHeight == 0 || desc->dwWidth > 16384 || desc->dwHeight > 16384)
            return DDERR_INVALIDPARAMS;
        uint64_t videoBytes = 0;
        DWORD surfaceCaps = caps | DDSCAPS_OFFSCREENPLAIN;
        if (caps & DDSCAPS_SYSTEMMEMORY) {
            surfaceCaps &= ~DDSCAPS_VIDEOMEMORY;
        } else {
            // No silent fall-back: a surface asked for without a memory flag lives in video
            // memory or fails, so the caller learns where it ended up.
            videoBytes = static_cast<uint64_t>(desc->dwWidth) * desc->dwHeight * PixelFormatBytes(format);
            if (!gfx::ReserveVideoMemory(videoBytes)) return DDERR_OUTOFVIDEOMEMORY;
            surfaceCaps |= DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
        }
        *surface = new cSurface(format, static_cast<int32_t>(desc->dwWidth), static_cast<int32_t>(desc->dwHeight),
                                surfaceCaps, videoBytes);
        return DD_OK;
    }
    HRESULT CreatePalette(DWORD flags, PALETTEENTRY* entries, IDirectDrawPalette** palette, void*) override {
        if (palette == nullptr || (flags & DDPCAPS_8BIT) == 0) return DDERR_INVALIDPARAMS;
        *palette = new cPalette(entries);
        return DD_OK;
    }
    HRESULT CreateClipper(DWORD, IDirectDrawClipper** clipper, void*) override {
        if (clipper == nullptr) return DDERR_INVALIDPARAMS;
        *clipper = new cClipper();
        return DD_OK;
    }
    HRESULT GetAvailableVidMem(DDSCAPS2*, DWORD* total, DWORD* free) override {
        const uint64_t budget = gfx::Profile().nVideoMemoryBytes;
        const uint64_t used = gfx::VideoMemoryUsed();
        if (total) *total = static_cast<DWORD>(budget);
        if (free) *free = static_cast<DWORD>(used >= budget ? 0 : budget - used);
        return DD_OK;
    }
    HRESULT GetMonitorFrequency(DWORD* frequency) override {
        if (frequency == nullptr) return DDERR_INVALIDPARAMS;
        *frequency = gfx::CurrentDisplay().nRefreshRate;
        return DD_OK;
    }
    HRESULT WaitForVerticalBlank(DWORD, HANDLE) override {
        gfx::WaitForVerticalBlank();
        return DD_OK;
    }
    HRESULT FlipToGDISurface() override { return DD_OK; }

private:
    bool m_bExclusive = false;
    bool m_bDisplayChanged = false;
};

}  // namespace

HRESULT DirectDrawCreateEx(GUID*, void** directDraw, REFIID iid, void*) {
    if (directDraw == nullptr) return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (!(iid == IID_IDirectDraw7)) return E_NOINTERFACE;
    if (TakeGraphicsFault(GraphicsFault::DirectDrawCreate)) return DDERR_GENERIC;
    *directDraw = static_cast<IDirectDraw7*>(new cDirectDraw());
    return DD_OK;
}

namespace gfx {

bool DisplayPalette(PALETTEENTRY out[256]) {
    std::lock_guard<std::mutex> lock(g_PaletteMutex);
    return g_lpDisplayPalette && SUCCEEDED(g_lpDisplayPalette->GetEntries(0, 0, 256, out));
}

void SetDisplayPalette(IDirectDrawPalette* palette) {
    std::lock_guard<std::mutex> lock(g_PaletteMutex);
    g_lpDisplayPalette = palette;   // the primary surface holds the reference
}

uint8_t NearestPaletteIndex(const PALETTEENTRY* palette, uint32_t rgb) {
    const int32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    int32_t best = 0, bestDistance = 1 << 30;
    for (int32_t i = 0; i < 256; ++i) {
        const int32_t dr = palette[i].peRed - r, dg = palette[i].peGreen - g, db = palette[i].peBlue - b;
        const int32_t distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<uint8_t>(best);
}

}  // namespace gfx
