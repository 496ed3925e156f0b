// Locking surfaces for the effects that compute on the processor.
//
// Direct3D render-target textures cannot be locked themselves: their content is read into the
// system-memory twin, which is locked, and the twin is copied back whole on release. The back
// buffer (created lockable) and system-memory textures are locked directly. DirectDraw surfaces
// are locked whole.
#include "media/graphics/DDSurfaceLock.h"

#include <algorithm>

#include "core/Log.h"
#include "core/MessageBox.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/GraphicsState.h"

void DDRedirectForEffect(DDSURFACEDATA** lplpSD)
{
    if (!lpDTCon || !lplpSD || !*lplpSD) return;
    DDRedirectToBaseSurface(lplpSD);
    DDRedirectToVirtualBackBuffer(lplpSD);
}

bool DDIsFullScreenBackBuffer(const DDSURFACEDATA* lpSD)
{
    return lpSD == &BackBuffer && nWindowMode == 0;
}

bool cSurfaceLock::Lock(DDSURFACEDATA* lpSD, const RECT* lpChanged, bool bOverwritten)
{
    Unlock();
    m_bPartial = false;
    if (!lpSD) return false;
    const int32_t depth = nBpp;
    if (lpDTCon) {
        DDRedirectForEffect(&lpSD);
        DTSURFACEDATA* dt = lpSD->lpDT;
        if (!dt) return false;
        D3DLOCKED_RECT lock{};
        IDirect3DSurface9* locked = nullptr;
        if (dt->bRenderTarget && lpSD != &BackBuffer) {
            // A change limited to a rectangle inside the pixels both the descriptor and the twin
            // hold is written back alone; the whole twin is read first unless that rectangle is
            // overwritten and the device is in order (a lost device fails the read as always).
            D3DSURFACE_DESC twin{};
            if (lpChanged && dt->lpSystemSurface && SUCCEEDED(dt->lpSystemSurface->GetDesc(&twin)) &&
                lpChanged->left >= 0 && lpChanged->top >= 0 && lpChanged->left < lpChanged->right &&
                lpChanged->top < lpChanged->bottom &&
                lpChanged->right <= std::min<LONG>(lpSD->nWidth, static_cast<LONG>(twin.Width)) &&
                lpChanged->bottom <= std::min<LONG>(lpSD->nHeight, static_cast<LONG>(twin.Height))) {
                m_bPartial = true;
                m_Changed = *lpChanged;
            }
            const bool bRead = !(m_bPartial && bOverwritten && SUCCEEDED(lpDevice->TestCooperativeLevel()));
            if (!dt->lpSurface || !dt->lpSystemSurface ||
                (bRead && FAILED(lpDevice->GetRenderTargetData(dt->lpSurface, dt->lpSystemSurface)))) {
                m_bPartial = false;
                WriteTraceLogF("FAILED( lpDevice->GetRenderTargetData(lpSD->lpDT->lpSurface,lpSD->lpDT->lpSystemSurface) )");
                return false;
            }
            if (FAILED(dt->lpSystemSurface->LockRect(&lock, nullptr, 0)) || !lock.pBits) {
                WriteTraceLogF("FAILED( lpSD->lpDT->lpSystemSurface->LockRect(&lock, NULL, 0) )");
                m_bPartial = false;
                return false;
            }
            locked = dt->lpSystemSurface;
            m_kind = Kind::Twin;
        } else {
            if (!dt->lpSurface) return false;
            if (FAILED(dt->lpSurface->LockRect(&lock, nullptr, 0)) || !lock.pBits) {
                DebugErrorBoxF("FAILED( lpSD->lpDT->lpSurface->LockRect(&(lock), NULL, 0) )");
                return false;
            }
            locked = dt->lpSurface;
            m_kind = Kind::Plain;
        }
        D3DSURFACE_DESC desc{};
        locked->GetDesc(&desc);
        m_lpBits = static_cast<uint8_t*>(lock.pBits);
        m_nPitch = lock.Pitch;
        m_nWidth = std::min<int32_t>(lpSD->nWidth, static_cast<int32_t>(desc.Width));
        m_nHeight = std::min<int32_t>(lpSD->nHeight, static_cast<int32_t>(desc.Height));
    } else {
        DDSURFACEDESC2 desc{};
        void* bits = nullptr;
        if (!lpSD->lpDDraw || !lpSD->lpDDraw->lpDDSurface) return false;
        if (!DDLock(lpSD, &desc, &bits, depth)) return false;
        if (!bits) {
            // A lock that yields no pixels (an unsupported depth) is no lock.
            lpSD->lpDDraw->lpDDSurface->Unlock(nullptr);
            return false;
        }
        m_lpBits = static_cast<uint8_t*>(bits);
        m_nPitch = desc.lPitch;
        m_nWidth = std::min<int32_t>(lpSD->nWidth, static_cast<int32_t>(desc.dwWidth));
        m_nHeight = std::min<int32_t>(lpSD->nHeight, static_cast<int32_t>(desc.dwHeight));
        m_kind = Kind::DirectDraw;
    }
    m_lpSD = lpSD;
    m_nBitDepth = depth;
    m_nBytesPerPixel = depth / 8;
    m_nWidth = std::max(m_nWidth, 0);
    m_nHeight = std::max(m_nHeight, 0);
    return true;
}

void cSurfaceLock::Unlock()
{
    if (!m_lpSD) return;
    switch (m_kind) {
    case Kind::Twin: {
        DTSURFACEDATA* dt = m_lpSD->lpDT;
        const POINT at{m_Changed.left, m_Changed.top};
        if (FAILED(dt->lpSystemSurface->UnlockRect())) {
            WriteTraceLogF("D3D_OK != m_lpSD->lpDT->lpSystemSurface->UnlockRect();");
        } else if (FAILED(m_bPartial ? lpDevice->UpdateSurface(dt->lpSystemSurface, &m_Changed, dt->lpSurface,
                                                               &at)
                                     : lpDevice->UpdateSurface(dt->lpSystemSurface, nullptr, dt->lpSurface, nullptr))) {
            DebugErrorBoxF("FAILED( lpDevice->UpdateSurface(m_lpSD->lpDT->lpSystemSurface, NULL, m_lpSD->lpDT->lpSurface, NULL)");
        }
        break;
    }
    case Kind::Plain:
        if (FAILED(m_lpSD->lpDT->lpSurface->UnlockRect())) {
            if (m_lpSD == &BackBuffer)
                WriteTraceLogF("Back :: D3D_OK != m_lpSD->lpDT->lpSurface->UnlockRect();");
            else
                WriteTraceLogF("D3D_OK != m_lpSD->lpDT->lpSurface->UnlockRect();");
        }
        break;
    case Kind::DirectDraw:
        m_lpSD->lpDDraw->lpDDSurface->Unlock(nullptr);
        break;
    case Kind::None:
        break;
    }
    m_kind = Kind::None;
    m_bPartial = false;
    m_lpSD = nullptr;
    m_lpBits = nullptr;
}
