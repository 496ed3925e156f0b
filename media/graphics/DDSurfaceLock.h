#pragma once
// Pixel access to a surface for the effects that compute on the processor. A cSurfaceLock holds
// one surface locked for the length of one effect call; its release writes the pixels back to
// the drawable surface (Direct3D render targets are read into their system-memory twin and
// copied back whole).
#include <cstdint>

#include "media/graphics/Surface.h"

class cSurfaceLock {
public:
    cSurfaceLock() = default;
    explicit cSurfaceLock(DDSURFACEDATA* lpSD) { Lock(lpSD); }
    ~cSurfaceLock() { Unlock(); }
    cSurfaceLock(const cSurfaceLock&) = delete;
    cSurfaceLock& operator=(const cSurfaceLock&) = delete;

    // Locks the whole surface (after the Direct3D redirections); false when nothing is held.
    // With lpChanged the caller changes no pixel outside that rectangle, so a Direct3D render
    // target writes back only it; with bOverwritten as well the caller writes every pixel inside
    // it without reading any, so a render target is not read first either.
    bool Lock(DDSURFACEDATA* lpSD, const RECT* lpChanged = nullptr, bool bOverwritten = false);
    // Releases the surface, writing a Direct3D render target back. Nothing when nothing is held.
    void Unlock();
    bool IsLocked() const { return m_lpBits != nullptr; }

    DDSURFACEDATA* m_lpSD = nullptr;
    uint8_t* m_lpBits = nullptr;
    int32_t m_nBitDepth = 32;
    int32_t m_nBytesPerPixel = 4;
    int32_t m_nPitch = 0; // bytes per row, as the lock returned it
    // The part of the surface the effects may touch: the descriptor's drawing size, bounded by
    // the pixels the lock really holds.
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;

private:
    enum class Kind { None, Plain, Twin, DirectDraw };
    Kind m_kind = Kind::None;
    // What a render target's twin writes back: the whole surface, or only m_Changed.
    bool m_bPartial = false;
    RECT m_Changed{};
};

// The Direct3D redirections every effect applies to its surfaces: first to the surface whose
// texture a view draws, then BackBuffer to VirBackBuffer while the virtual back buffer is on.
void DDRedirectForEffect(DDSURFACEDATA** lplpSD);

// The descriptor is BackBuffer itself and the display is full screen (after redirection).
bool DDIsFullScreenBackBuffer(const DDSURFACEDATA* lpSD);
