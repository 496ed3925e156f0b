// The mode and locked views of the effects' pixel loops.
#include "media/graphics/DDPixel.h"

#include "media/graphics/GraphicsState.h"

namespace ddpixel {

namespace {
Layout LayoutOf(const PIXELMASKS& m)
{
    return {m.nRShift, m.nGShift, m.nBShift, m.nAShift, m.nRMask, m.nGMask, m.nBMask, m.nAMask};
}
} // namespace

Layout SurfaceLayout() { return LayoutOf(SurfaceMasks); }
Layout BackBufferLayout() { return LayoutOf(BackBufferMasks); }

Mode CurrentMode(const DDSURFACEDATA* lpDst)
{
    Mode m;
    m.bD3D = lpDTCon != nullptr;
    m.nDepth = nBpp;
    m.sm = SurfaceLayout();
    m.bbm = BackBufferLayout();
    m.bFullBack = m.bD3D && m.nDepth == 16 && DDIsFullScreenBackBuffer(lpDst);
    m.dwTransmit = dwTransmit;
    return m;
}

View ViewOf(const cSurfaceLock& lock)
{
    View v;
    v.bits = lock.m_lpBits;
    v.pitch = lock.m_nBytesPerPixel > 0 ? lock.m_nPitch / lock.m_nBytesPerPixel : 0;
    v.width = lock.m_nWidth;
    v.height = lock.m_nHeight;
    return v;
}

} // namespace ddpixel

bool cLockedPair::Lock(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc, const RECT* lpDstChanged, bool bOverwritten)
{
    if (!lpDst || !lpSrc) return false;
    DDRedirectForEffect(&lpDst);
    DDRedirectForEffect(&lpSrc);
    bSame = lpSrc == lpDst;
    // A surface read as its own source is never overwritten unread.
    if (!m_dst.Lock(lpDst, lpDstChanged, bOverwritten && !bSame)) return false;
    if (!bSame && !m_src.Lock(lpSrc)) {
        m_dst.Unlock();
        return false;
    }
    mode = ddpixel::CurrentMode(m_dst.m_lpSD);
    bSrcBack = mode.bD3D && lpSrc == &BackBuffer;
    // Every loop addresses whole pixels of the display depth.
    if (mode.nDepth != 8 && mode.nDepth != 16 && mode.nDepth != 32) {
        Release();
        return false;
    }
    dst = ddpixel::ViewOf(m_dst);
    src = bSame ? dst : ddpixel::ViewOf(m_src);
    return true;
}

void cLockedPair::Release()
{
    m_src.Unlock();
    m_dst.Unlock();
}
