#pragma once
// The Direct3D stand-in's resource objects, shared by the device, the helpers and the tests of
// the layer (not for game code).
#include <atomic>
#include <memory>
#include <vector>

#include "platform/graphics/D3D9.h"

namespace gfx {

// What resources of one device share with it: the count of default-pool resources still alive
// (a reset is refused while any is held).
struct DeviceShared {
    std::atomic<int32_t> nDefaultPoolResources{0};
};

class cD3DSurface final : public IDirect3DSurface9 {
public:
    cD3DSurface(std::shared_ptr<DeviceShared> shared, PixelFormat format, UINT width, UINT height, DWORD usage,
                D3DPOOL pool, D3DRESOURCETYPE type, bool lockable, uint64_t videoBytes);
    ~cD3DSurface() override;

    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;
    cPixelBuffer* Pixels() override { return &m_Pixels; }

    DWORD Usage() const { return m_dwUsage; }
    D3DPOOL Pool() const { return m_Pool; }

private:
    std::shared_ptr<DeviceShared> m_Shared;
    cPixelBuffer m_Pixels;
    DWORD m_dwUsage;
    D3DPOOL m_Pool;
    D3DRESOURCETYPE m_Type;
    bool m_bLockable;
    bool m_bLocked = false;
    uint64_t m_nVideoBytes;
};

class cD3DTexture final : public IDirect3DTexture9 {
public:
    explicit cD3DTexture(cD3DSurface* level0) : m_lpLevel(level0) {}
    ~cD3DTexture() override { m_lpLevel->Release(); }

    DWORD GetLevelCount() override { return 1; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    cD3DSurface* Level() { return m_lpLevel; }

private:
    cD3DSurface* m_lpLevel;
};

// Creates a texture of one level without any device checks (the device and the helpers check).
HRESULT CreateTextureObject(const std::shared_ptr<DeviceShared>& shared, UINT width, UINT height, DWORD usage,
                            D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture);

// The device's current render target (null when lost or none), for the font helper.
cPixelBuffer* CurrentRenderTarget(IDirect3DDevice9* device);
std::shared_ptr<DeviceShared> SharedOf(IDirect3DDevice9* device);
bool DeviceIsLost(IDirect3DDevice9* device);

}  // namespace gfx
