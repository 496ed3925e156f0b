#include "platform/graphics/D3D9.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>

#include "platform/graphics/D3DResources.h"
#include "platform/graphics/GraphicsInternal.h"
#include "platform/graphics/Rasteriser.h"

PixelFormat PixelFormatFromD3D(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_P8: return PixelFormat::P8;
    case D3DFMT_R5G6B5: return PixelFormat::R5G6B5;
    case D3DFMT_X1R5G5B5: return PixelFormat::X1R5G5B5;
    case D3DFMT_A1R5G5B5: return PixelFormat::A1R5G5B5;
    case D3DFMT_R8G8B8: return PixelFormat::R8G8B8;
    case D3DFMT_X8R8G8B8: return PixelFormat::X8R8G8B8;
    case D3DFMT_A8R8G8B8: return PixelFormat::A8R8G8B8;
    default: return PixelFormat::Unknown;
    }
}

namespace gfx {

cD3DSurface::cD3DSurface(std::shared_ptr<DeviceShared> shared, PixelFormat format, UINT width, UINT height,
                         DWORD usage, D3DPOOL pool, D3DRESOURCETYPE type, bool lockable, uint64_t videoBytes)
    : m_Shared(std::move(shared)), m_Pixels(format, static_cast<int32_t>(width), static_cast<int32_t>(height)),
      m_dwUsage(usage), m_Pool(pool), m_Type(type), m_bLockable(lockable), m_nVideoBytes(videoBytes) {
    if (m_Pool == D3DPOOL_DEFAULT && m_Shared) ++m_Shared->nDefaultPoolResources;
}

cD3DSurface::~cD3DSurface() {
    if (m_Pool == D3DPOOL_DEFAULT && m_Shared) --m_Shared->nDefaultPoolResources;
    if (m_nVideoBytes) ReleaseVideoMemory(m_nVideoBytes);
}

HRESULT cD3DSurface::GetDesc(D3DSURFACE_DESC* desc) {
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    *desc = D3DSURFACE_DESC{D3DFormatFromPixelFormat(m_Pixels.Format()), m_Type, m_dwUsage, m_Pool,
                            D3DMULTISAMPLE_NONE, 0, static_cast<UINT>(m_Pixels.Width()),
                            static_cast<UINT>(m_Pixels.Height())};
    return D3D_OK;
}

HRESULT cD3DSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD) {
    if (locked == nullptr || m_bLocked || !m_bLockable) return D3DERR_INVALIDCALL;
    if (TakeGraphicsFault(GraphicsFault::LockSurface)) return D3DERR_INVALIDCALL;
    int32_t left = 0, top = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right > m_Pixels.Width() || rect->bottom > m_Pixels.Height() ||
            rect->left >= rect->right || rect->top >= rect->bottom)
            return D3DERR_INVALIDCALL;
        left = rect->left;
        top = rect->top;
    }
    locked->Pitch = m_Pixels.Pitch();
    locked->pBits = m_Pixels.Row(top) + left * m_Pixels.BytesPerPixel();
    m_bLocked = true;
    return D3D_OK;
}

HRESULT cD3DSurface::UnlockRect() {
    if (!m_bLocked) return D3DERR_INVALIDCALL;
    m_bLocked = false;
    return D3D_OK;
}

HRESULT cD3DTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (level != 0) return D3DERR_INVALIDCALL;
    const HRESULT hr = m_lpLevel->GetDesc(desc);
    if (SUCCEEDED(hr)) desc->Type = D3DRTYPE_SURFACE;
    return hr;
}

HRESULT cD3DTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (level != 0 || surface == nullptr) return D3DERR_INVALIDCALL;
    m_lpLevel->AddRef();
    *surface = m_lpLevel;
    return D3D_OK;
}

HRESULT cD3DTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (level != 0) return D3DERR_INVALIDCALL;
    return m_lpLevel->LockRect(locked, rect, flags);
}

HRESULT cD3DTexture::UnlockRect(UINT level) {
    if (level != 0) return D3DERR_INVALIDCALL;
    return m_lpLevel->UnlockRect();
}

HRESULT CreateTextureObject(const std::shared_ptr<DeviceShared>& shared, UINT width, UINT height, DWORD usage,
                            D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture) {
    const PixelFormat pixelFormat = PixelFormatFromD3D(format);
    uint64_t videoBytes = 0;
    if (pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED) {
        videoBytes = static_cast<uint64_t>(width) * height * PixelFormatBytes(pixelFormat);
        if (!ReserveVideoMemory(videoBytes)) return D3DERR_OUTOFVIDEOMEMORY;
    }
    // Render-target textures are not lockable, as on the platform; read them back instead.
    const bool lockable = (usage & D3DUSAGE_RENDERTARGET) == 0;
    auto* level = new cD3DSurface(shared, pixelFormat, width, height, usage, pool, D3DRTYPE_SURFACE, lockable,
                                  videoBytes);
    *texture = new cD3DTexture(level);
    return D3D_OK;
}

}  // namespace gfx

namespace {

using gfx::cD3DSurface;
using gfx::cD3DTexture;

class cVertexBuffer final : public IDirect3DVertexBuffer9 {
public:
    cVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
        : m_vData(length, 0), m_dwUsage(usage), m_dwFVF(fvf), m_Pool(pool) {}
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD) override {
        if (data == nullptr || m_bLocked || offset > m_vData.size()) return D3DERR_INVALIDCALL;
        if (size != 0 && size > m_vData.size() - offset) return D3DERR_INVALIDCALL;
        *data = m_vData.data() + offset;
        m_bLocked = true;
        return D3D_OK;
    }
    HRESULT Unlock() override {
        if (!m_bLocked) return D3DERR_INVALIDCALL;
        m_bLocked = false;
        return D3D_OK;
    }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override {
        if (desc == nullptr) return D3DERR_INVALIDCALL;
        *desc = D3DVERTEXBUFFER_DESC{D3DFMT_UNKNOWN, D3DRTYPE_VERTEXBUFFER, m_dwUsage, m_Pool,
                                     static_cast<UINT>(m_vData.size()), m_dwFVF};
        return D3D_OK;
    }
    const std::vector<uint8_t>& Data() const { return m_vData; }

private:
    std::vector<uint8_t> m_vData;
    DWORD m_dwUsage;
    DWORD m_dwFVF;
    D3DPOOL m_Pool;
    bool m_bLocked = false;
};

class cIndexBuffer final : public IDirect3DIndexBuffer9 {
public:
    explicit cIndexBuffer(UINT length) : m_vData(length, 0) {}
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD) override {
        if (data == nullptr || m_bLocked || offset > m_vData.size()) return D3DERR_INVALIDCALL;
        if (size != 0 && size > m_vData.size() - offset) return D3DERR_INVALIDCALL;
        *data = m_vData.data() + offset;
        m_bLocked = true;
        return D3D_OK;
    }
    HRESULT Unlock() override {
        if (!m_bLocked) return D3DERR_INVALIDCALL;
        m_bLocked = false;
        return D3D_OK;
    }
    const std::vector<uint8_t>& Data() const { return m_vData; }

private:
    std::vector<uint8_t> m_vData;
    bool m_bLocked = false;
};

constexpr int kStages = 8;

struct StageState {
    DWORD colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
};

class cDevice;

class cDirect3D final : public IDirect3D9 {
public:
    UINT GetAdapterCount() override { return 1; }
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviourFlags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override;
};

void FillCaps(D3DCAPS9* caps) {
    const GraphicsProfile& p = gfx::Profile();
    std::memset(caps, 0, sizeof(*caps));
    caps->DeviceType = D3DDEVTYPE_HAL;
    caps->Caps2 = p.bDynamicTextures ? D3DCAPS2_DYNAMICTEXTURES : 0;
    caps->Caps3 = p.bAlphaFlipOrDiscard ? D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD : 0;
    caps->PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    caps->TextureCaps = (p.bPow2 ? D3DPTEXTURECAPS_POW2 : 0) | (p.bSquareOnly ? D3DPTEXTURECAPS_SQUAREONLY : 0);
    caps->TextureFilterCaps = 0x00000100 | 0x01000000;   // point minification and magnification
    caps->TextureAddressCaps = 0x1 | 0x4;                 // wrap, clamp
    caps->MaxTextureWidth = p.nMaxTextureWidth;
    caps->MaxTextureHeight = p.nMaxTextureHeight;
    caps->MaxTextureRepeat = 8192;
    caps->MaxTextureAspectRatio = p.bSquareOnly ? 1 : 8192;
    caps->MaxAnisotropy = 1;
    caps->MaxVertexW = 1.0e10f;
    caps->GuardBandLeft = -8192.0f;
    caps->GuardBandTop = -8192.0f;
    caps->GuardBandRight = 8192.0f;
    caps->GuardBandBottom = 8192.0f;
    caps->FVFCaps = 8;
    caps->TextureOpCaps = 0x3FFF;
    caps->MaxTextureBlendStages = kStages;
    caps->MaxSimultaneousTextures = 1;
    caps->MaxPointSize = 1.0f;
    caps->MaxPrimitiveCount = 0xFFFFF;
    caps->MaxVertexIndex = 0xFFFF;
    caps->MaxStreams = 1;
    caps->MaxStreamStride = 255;
    caps->NumberOfAdaptersInGroup = 1;
    caps->NumSimultaneousRTs = 1;
}

class cDevice final : public IDirect3DDevice9 {
public:
    cDevice(HWND window, const D3DPRESENT_PARAMETERS& parameters)
        : m_Shared(std::make_shared<gfx::DeviceShared>()), m_hWindow(window), m_Parameters(parameters),
          m_nGeneration(gfx::DeviceLossGeneration()) {
        CreateBackBuffer();
        ResetStates();
    }
    ~cDevice() override {
        ReleaseBindings();
        if (m_lpRenderTarget) m_lpRenderTarget->Release();
        if (m_lpBackBuffer) m_lpBackBuffer->Release();
    }

    HRESULT TestCooperativeLevel() override {
        if (!IsLost()) return D3D_OK;
        return gfx::DeviceRegained() ? D3DERR_DEVICENOTRESET : D3DERR_DEVICELOST;
    }
    UINT GetAvailableTextureMem() override {
        const uint64_t budget = gfx::Profile().nVideoMemoryBytes;
        const uint64_t used = gfx::VideoMemoryUsed();
        return static_cast<UINT>(used >= budget ? 0 : budget - used);
    }
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override {
        if (parameters == nullptr) return D3DERR_INVALIDCALL;
        if (IsLost() && !gfx::DeviceRegained()) return D3DERR_DEVICELOST;
        if (TakeGraphicsFault(GraphicsFault::Reset)) return D3DERR_INVALIDCALL;
        ReleaseBindings();
        if (m_Shared->nDefaultPoolResources.load() > 0) return D3DERR_INVALIDCALL;
        m_Parameters = *parameters;
        if (m_lpBackBuffer) m_lpBackBuffer->Release();
        m_lpBackBuffer = nullptr;
        CreateBackBuffer();
        *parameters = m_Parameters;
        ResetStates();
        m_nGeneration = gfx::DeviceLossGeneration();
        return D3D_OK;
    }
    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override {
        if (IsLost()) return D3DERR_DEVICELOST;
        if (m_bInScene) return D3DERR_INVALIDCALL;
        // With vertical sync the presentation itself paces the frames.
        if (m_Parameters.PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE) gfx::WaitForVerticalBlank();
        gfx::PresentBuffer(*m_lpBackBuffer->Pixels(), nullptr);
        return D3D_OK;
    }
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface9** surface) override {
        if (swapChain != 0 || index != 0 || surface == nullptr || m_lpBackBuffer == nullptr)
            return D3DERR_INVALIDCALL;
        m_lpBackBuffer->AddRef();
        *surface = m_lpBackBuffer;
        return D3D_OK;
    }
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override {
        if (caps == nullptr) return D3DERR_INVALIDCALL;
        FillCaps(caps);
        return D3D_OK;
    }
    HRESULT GetDisplayMode(UINT, D3DDISPLAYMODE* mode) override {
        if (mode == nullptr) return D3DERR_INVALIDCALL;
        const gfx::DisplayState display = gfx::CurrentDisplay();
        *mode = D3DDISPLAYMODE{static_cast<UINT>(display.nWidth), static_cast<UINT>(display.nHeight),
                               display.nRefreshRate, m_Parameters.BackBufferFormat};
        return D3D_OK;
    }
    HRESULT SetDialogBoxMode(BOOL enable) override {
        if (enable && m_Parameters.Flags != D3DPRESENTFLAG_LOCKABLE_BACKBUFFER && !m_Parameters.Windowed)
            return D3DERR_INVALIDCALL;
        m_bDialogBoxMode = enable != 0;
        return D3D_OK;
    }

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE*) override {
        if (texture == nullptr) return D3DERR_INVALIDCALL;
        *texture = nullptr;
        const GraphicsProfile& p = gfx::Profile();
        if (width == 0 || height == 0 || levels > 1 || width > p.nMaxTextureWidth || height > p.nMaxTextureHeight)
            return D3DERR_INVALIDCALL;
        if (p.bPow2 && ((width & (width - 1)) != 0 || (height & (height - 1)) != 0)) return D3DERR_INVALIDCALL;
        if (p.bSquareOnly && width != height) return D3DERR_INVALIDCALL;
        if (!IsTextureFormat(format)) return D3DERR_INVALIDCALL;
        if ((usage & D3DUSAGE_RENDERTARGET) && pool != D3DPOOL_DEFAULT) return D3DERR_INVALIDCALL;
        if ((usage & D3DUSAGE_DYNAMIC) && !p.bDynamicTextures) return D3DERR_INVALIDCALL;
        if (TakeGraphicsFault(GraphicsFault::CreateTexture)) return D3DERR_INVALIDCALL;
        if (IsLost() && pool == D3DPOOL_DEFAULT) return D3DERR_DEVICELOST;
        return gfx::CreateTextureObject(m_Shared, width, height, usage, format, pool, texture);
    }
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               HANDLE*) override {
        if (buffer == nullptr || length == 0) return D3DERR_INVALIDCALL;
        *buffer = nullptr;
        if (TakeGraphicsFault(GraphicsFault::CreateVertexBuffer)) return D3DERR_OUTOFVIDEOMEMORY;
        *buffer = new cVertexBuffer(length, usage, fvf, pool);
        return D3D_OK;
    }
    HRESULT CreateIndexBuffer(UINT length, DWORD, D3DFORMAT format, D3DPOOL, IDirect3DIndexBuffer9** buffer,
                              HANDLE*) override {
        if (buffer == nullptr || length == 0 || format != D3DFMT_INDEX16) return D3DERR_INVALIDCALL;
        *buffer = new cIndexBuffer(length);
        return D3D_OK;
    }
    HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                        IDirect3DSurface9** surface, HANDLE*) override {
        if (surface == nullptr || width == 0 || height == 0 || PixelFormatFromD3D(format) == PixelFormat::Unknown)
            return D3DERR_INVALIDCALL;
        *surface = nullptr;
        uint64_t videoBytes = 0;
        if (pool == D3DPOOL_DEFAULT) {
            videoBytes = static_cast<uint64_t>(width) * height * PixelFormatBytes(PixelFormatFromD3D(format));
            if (!gfx::ReserveVideoMemory(videoBytes)) return D3DERR_OUTOFVIDEOMEMORY;
        }
        *surface = new cD3DSurface(m_Shared, PixelFormatFromD3D(format), width, height, 0, pool, D3DRTYPE_SURFACE,
                                   true, videoBytes);
        return D3D_OK;
    }
    HRESULT UpdateSurface(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                          const POINT* destPoint) override {
        auto* src = static_cast<cD3DSurface*>(source);
        auto* dst = static_cast<cD3DSurface*>(dest);
        if (src == nullptr || dst == nullptr || src->Pool() != D3DPOOL_SYSTEMMEM || dst->Pool() != D3DPOOL_DEFAULT)
            return D3DERR_INVALIDCALL;
        const cPixelBuffer& s = *src->Pixels();
        cPixelBuffer& d = *dst->Pixels();
        if (s.Format() != d.Format()) return D3DERR_INVALIDCALL;
        const RECT r = sourceRect ? *sourceRect : RECT{0, 0, s.Width(), s.Height()};
        const POINT at = destPoint ? *destPoint : POINT{0, 0};
        const int32_t w = r.right - r.left, h = r.bottom - r.top;
        if (w <= 0 || h <= 0 || r.left < 0 || r.top < 0 || r.right > s.Width() || r.bottom > s.Height() ||
            at.x < 0 || at.y < 0 || at.x + w > d.Width() || at.y + h > d.Height())
            return D3DERR_INVALIDCALL;
        if (IsLost()) return D3D_OK;
        const int32_t bpp = s.BytesPerPixel();
        for (int32_t y = 0; y < h; ++y)
            std::memcpy(d.Row(at.y + y) + at.x * bpp, s.Row(r.top + y) + r.left * bpp, static_cast<size_t>(w) * bpp);
        return D3D_OK;
    }
    HRESULT GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* dest) override {
        auto* src = static_cast<cD3DSurface*>(renderTarget);
        auto* dst = static_cast<cD3DSurface*>(dest);
        if (src == nullptr || dst == nullptr || (src->Usage() & D3DUSAGE_RENDERTARGET) == 0 ||
            dst->Pool() != D3DPOOL_SYSTEMMEM)
            return D3DERR_INVALIDCALL;
        if (IsLost()) return D3DERR_DEVICELOST;
        return dst->Pixels()->CopyFrom(*src->Pixels()) ? D3D_OK : D3DERR_INVALIDCALL;
    }
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override {
        auto* target = static_cast<cD3DSurface*>(surface);
        if (index != 0 || target == nullptr || (target->Usage() & D3DUSAGE_RENDERTARGET) == 0)
            return D3DERR_INVALIDCALL;
        if (target == m_lpRenderTarget) return D3D_OK;
        target->AddRef();
        if (m_lpRenderTarget) m_lpRenderTarget->Release();
        m_lpRenderTarget = target;
        return D3D_OK;
    }
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override {
        if (index != 0 || surface == nullptr || m_lpRenderTarget == nullptr) return D3DERR_NOTFOUND;
        m_lpRenderTarget->AddRef();
        *surface = m_lpRenderTarget;
        return D3D_OK;
    }
    HRESULT BeginScene() override {
        if (m_bInScene) return D3DERR_INVALIDCALL;
        m_bInScene = true;
        return D3D_OK;
    }
    HRESULT EndScene() override {
        if (!m_bInScene) return D3DERR_INVALIDCALL;
        m_bInScene = false;
        return D3D_OK;
    }
    HRESULT Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR color, float, DWORD) override {
        if ((count != 0) != (rects != nullptr)) return D3DERR_INVALIDCALL;
        if ((flags & D3DCLEAR_TARGET) == 0 || m_lpRenderTarget == nullptr || IsLost()) return D3D_OK;
        cPixelBuffer& target = *m_lpRenderTarget->Pixels();
        const uint32_t raw = ArgbToPixel(target.Format(), color);
        if (count == 0) {
            target.FillRaw(0, 0, target.Width(), target.Height(), raw);
        } else {
            for (DWORD i = 0; i < count; ++i)
                target.FillRaw(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom, raw);
        }
        return D3D_OK;
    }
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
        const int32_t at = static_cast<int32_t>(state);
        if (at >= 0 && at < kKnownStates) m_dwRenderStates[static_cast<size_t>(at)] = value;
        else m_OtherRenderStates[at] = value;
        return D3D_OK;
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
        if (value == nullptr) return D3DERR_INVALIDCALL;
        *value = RenderState(state);
        return D3D_OK;
    }
    HRESULT SetTexture(DWORD stage, IDirect3DTexture9* texture) override {
        if (stage >= kStages) return D3DERR_INVALIDCALL;
        if (texture == m_lpTextures[stage]) return D3D_OK;
        if (texture) texture->AddRef();
        if (m_lpTextures[stage]) m_lpTextures[stage]->Release();
        m_lpTextures[stage] = texture;
        return D3D_OK;
    }
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override {
        DWORD* field = StageField(stage, type);
        if (field == nullptr) return D3DERR_INVALIDCALL;
        *field = value;
        return D3D_OK;
    }
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override {
        DWORD* field = StageField(stage, type);
        if (field == nullptr || value == nullptr) return D3DERR_INVALIDCALL;
        *value = *field;
        return D3D_OK;
    }
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override {
        if (sampler >= kStages) return D3DERR_INVALIDCALL;
        if (type == D3DSAMP_ADDRESSU) m_dwAddressU[sampler] = value;
        if (type == D3DSAMP_ADDRESSV) m_dwAddressV[sampler] = value;
        return D3D_OK;
    }
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override {
        if (stream != 0) return D3DERR_INVALIDCALL;
        if (buffer == m_lpStream) {
            m_nStreamOffset = offset;
            m_nStride = stride;
            return D3D_OK;
        }
        if (buffer) buffer->AddRef();
        if (m_lpStream) m_lpStream->Release();
        m_lpStream = static_cast<cVertexBuffer*>(buffer);
        m_nStreamOffset = offset;
        m_nStride = stride;
        return D3D_OK;
    }
    HRESULT SetIndices(IDirect3DIndexBuffer9* indices) override {
        if (indices) indices->AddRef();
        if (m_lpIndices) m_lpIndices->Release();
        m_lpIndices = static_cast<cIndexBuffer*>(indices);
        return D3D_OK;
    }
    HRESULT SetFVF(DWORD fvf) override {
        m_dwFVF = fvf;
        return D3D_OK;
    }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override {
        std::vector<uint32_t>& indices = m_vIndices;
        const UINT n = VertexCount(type, primitiveCount);
        if (n == 0) return D3DERR_INVALIDCALL;
        indices.resize(n);
        for (UINT i = 0; i < n; ++i) indices[i] = startVertex + i;
        return Draw(type, indices, primitiveCount);
    }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT, UINT, UINT startIndex,
                                 UINT primitiveCount) override {
        if (m_lpIndices == nullptr) return D3DERR_INVALIDCALL;
        const UINT n = VertexCount(type, primitiveCount);
        const std::vector<uint8_t>& data = m_lpIndices->Data();
        if (n == 0 || (static_cast<uint64_t>(startIndex) + n) * 2 > data.size()) return D3DERR_INVALIDCALL;
        std::vector<uint32_t>& indices = m_vIndices;
        indices.resize(n);
        for (UINT i = 0; i < n; ++i) {
            const size_t at = (static_cast<size_t>(startIndex) + i) * 2;
            const int64_t index = static_cast<int64_t>(baseVertex) + (data[at] | data[at + 1] << 8);
            if (index < 0) return D3DERR_INVALIDCALL;
            indices[i] = static_cast<uint32_t>(index);
        }
        return Draw(type, indices, primitiveCount);
    }

    bool IsLost() const { return m_nGeneration != gfx::DeviceLossGeneration(); }
    const D3DPRESENT_PARAMETERS& Parameters() const { return m_Parameters; }
    cPixelBuffer* RenderTargetPixels() { return m_lpRenderTarget && !IsLost() ? m_lpRenderTarget->Pixels() : nullptr; }
    const std::shared_ptr<gfx::DeviceShared>& Shared() const { return m_Shared; }

private:
    static bool IsTextureFormat(D3DFORMAT format) {
        return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_A1R5G5B5 ||
               format == D3DFMT_X1R5G5B5 || format == D3DFMT_R5G6B5;
    }
    static UINT VertexCount(D3DPRIMITIVETYPE type, UINT primitives) {
        if (primitives == 0) return 0;
        if (type == D3DPT_TRIANGLESTRIP || type == D3DPT_TRIANGLEFAN) return primitives + 2;
        if (type == D3DPT_TRIANGLELIST) return primitives * 3;
        return 0;
    }

    void CreateBackBuffer() {
        if (m_Parameters.Windowed) {
            if (m_Parameters.BackBufferWidth == 0) m_Parameters.BackBufferWidth = 640;
            if (m_Parameters.BackBufferHeight == 0) m_Parameters.BackBufferHeight = 480;
            if (m_Parameters.BackBufferFormat == D3DFMT_UNKNOWN) m_Parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        }
        if (m_Parameters.BackBufferCount == 0) m_Parameters.BackBufferCount = 1;
        const bool lockable = (m_Parameters.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0;
        m_lpBackBuffer = new cD3DSurface(nullptr, PixelFormatFromD3D(m_Parameters.BackBufferFormat),
                                         m_Parameters.BackBufferWidth, m_Parameters.BackBufferHeight,
                                         D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, D3DRTYPE_SURFACE, lockable, 0);
        m_lpBackBuffer->AddRef();
        if (m_lpRenderTarget) m_lpRenderTarget->Release();
        m_lpRenderTarget = m_lpBackBuffer;
    }

    void ReleaseBindings() {
        for (auto*& texture : m_lpTextures) {
            if (texture) texture->Release();
            texture = nullptr;
        }
        if (m_lpStream) m_lpStream->Release();
        m_lpStream = nullptr;
        if (m_lpIndices) m_lpIndices->Release();
        m_lpIndices = nullptr;
        if (m_lpRenderTarget) m_lpRenderTarget->Release();
        m_lpRenderTarget = nullptr;
        if (m_lpBackBuffer) {
            m_lpBackBuffer->AddRef();
            m_lpRenderTarget = m_lpBackBuffer;
        }
    }

    void ResetStates() {
        m_dwRenderStates.fill(0);
        m_OtherRenderStates.clear();
        m_dwRenderStates[D3DRS_ZENABLE] = 1;
        m_dwRenderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
        m_dwRenderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
        m_dwRenderStates[D3DRS_CULLMODE] = 3;   // counter-clockwise triangles culled
        m_dwRenderStates[D3DRS_ALPHABLENDENABLE] = 0;
        m_dwRenderStates[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
        for (int s = 0; s < kStages; ++s) {
            m_Stages[s] = StageState{static_cast<DWORD>(s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE), D3DTA_TEXTURE,
                                     D3DTA_CURRENT, static_cast<DWORD>(s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE),
                                     D3DTA_TEXTURE, D3DTA_CURRENT};
            m_dwAddressU[s] = m_dwAddressV[s] = D3DTADDRESS_WRAP;
        }
        m_bInScene = false;
    }

    DWORD RenderState(D3DRENDERSTATETYPE state) const {
        const int32_t at = static_cast<int32_t>(state);
        if (at >= 0 && at < kKnownStates) return m_dwRenderStates[static_cast<size_t>(at)];
        auto it = m_OtherRenderStates.find(at);
        return it == m_OtherRenderStates.end() ? 0 : it->second;
    }

    DWORD* StageField(DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
        if (stage >= kStages) return nullptr;
        StageState& s = m_Stages[stage];
        switch (type) {
        case D3DTSS_COLOROP: return &s.colorOp;
        case D3DTSS_COLORARG1: return &s.colorArg1;
        case D3DTSS_COLORARG2: return &s.colorArg2;
        case D3DTSS_ALPHAOP: return &s.alphaOp;
        case D3DTSS_ALPHAARG1: return &s.alphaArg1;
        case D3DTSS_ALPHAARG2: return &s.alphaArg2;
        }
        return nullptr;
    }

    HRESULT Draw(D3DPRIMITIVETYPE type, const std::vector<uint32_t>& indices, UINT primitiveCount);

    std::shared_ptr<gfx::DeviceShared> m_Shared;
    HWND m_hWindow;
    D3DPRESENT_PARAMETERS m_Parameters;
    uint32_t m_nGeneration;
    cD3DSurface* m_lpBackBuffer = nullptr;
    cD3DSurface* m_lpRenderTarget = nullptr;
    IDirect3DTexture9* m_lpTextures[kStages] = {};
    cVertexBuffer* m_lpStream = nullptr;
    UINT m_nStreamOffset = 0;
    UINT m_nStride = 0;
    cIndexBuffer* m_lpIndices = nullptr;
    DWORD m_dwFVF = 0;
    // Every draw reads several render states: those the game sets sit in a table, read at once.
    static constexpr int32_t kKnownStates = 256;
    std::array<DWORD, kKnownStates> m_dwRenderStates{};
    std::map<int32_t, DWORD> m_OtherRenderStates;
    StageState m_Stages[kStages];
    DWORD m_dwAddressU[kStages];
    DWORD m_dwAddressV[kStages];
    bool m_bInScene = false;
    bool m_bDialogBoxMode = false;

    std::vector<uint32_t> m_vIndices;   // the vertices of the draw in progress
    std::vector<gfx::raster::Vertex> m_vVertices;
    gfx::raster::cRasteriser m_Rasteriser;
};

HRESULT cDevice::Draw(D3DPRIMITIVETYPE type, const std::vector<uint32_t>& indices, UINT primitiveCount) {
    namespace raster = gfx::raster;
    if (m_lpStream == nullptr || m_dwFVF != (D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1) ||
        m_nStride < sizeof(D3DTLVERTEX_TEX1))
        return D3DERR_INVALIDCALL;
    const std::vector<uint8_t>& data = m_lpStream->Data();
    for (uint32_t index : indices)
        if (m_nStreamOffset + static_cast<uint64_t>(index) * m_nStride + sizeof(D3DTLVERTEX_TEX1) > data.size())
            return D3DERR_INVALIDCALL;
    if (IsLost() || m_lpRenderTarget == nullptr) return D3D_OK;

    raster::DrawState state;
    state.target = m_lpRenderTarget->Pixels();
    state.texture = m_lpTextures[0] ? static_cast<cD3DTexture*>(m_lpTextures[0])->Level()->Pixels() : nullptr;
    const StageState& stage = m_Stages[0];
    state.stage = raster::Stage{stage.colorOp, stage.colorArg1, stage.colorArg2,
                                stage.alphaOp, stage.alphaArg1, stage.alphaArg2};
    state.factor = RenderState(D3DRS_TEXTUREFACTOR);
    state.blend = RenderState(D3DRS_ALPHABLENDENABLE) != 0;
    state.srcBlend = RenderState(D3DRS_SRCBLEND);
    state.dstBlend = RenderState(D3DRS_DESTBLEND);
    state.wrapU = m_dwAddressU[0] != D3DTADDRESS_CLAMP;
    state.wrapV = m_dwAddressV[0] != D3DTADDRESS_CLAMP;
    const int32_t texW = state.texture ? state.texture->Width() : 1;
    const int32_t texH = state.texture ? state.texture->Height() : 1;

    // Each vertex of the draw is converted once, however many triangles share it.
    m_vVertices.resize(indices.size());
    for (size_t k = 0; k < indices.size(); ++k) {
        D3DTLVERTEX_TEX1 v;
        std::memcpy(&v, data.data() + m_nStreamOffset + static_cast<size_t>(indices[k]) * m_nStride, sizeof(v));
        m_vVertices[k] = raster::MakeVertex(v.x, v.y, v.u, v.v, v.diffuse, texW, texH);
    }
    // Positions in the index list of triangle p's corners.
    auto triangleIndices = [&](UINT p, size_t out[3]) {
        if (type == D3DPT_TRIANGLESTRIP) {
            // Odd triangles of a strip are taken in reverse so that all keep one winding.
            out[0] = p;
            out[1] = p + 1 + (p & 1);
            out[2] = p + 2 - (p & 1);
        } else if (type == D3DPT_TRIANGLEFAN) {
            out[0] = 0;
            out[1] = p + 1;
            out[2] = p + 2;
        } else {
            out[0] = static_cast<size_t>(p) * 3;
            out[1] = static_cast<size_t>(p) * 3 + 1;
            out[2] = static_cast<size_t>(p) * 3 + 2;
        }
    };
    const DWORD cull = RenderState(D3DRS_CULLMODE);
    // Loads triangle p in clockwise order; false when it is empty or culled.
    auto triangle = [&](UINT p, raster::Vertex out[3]) {
        size_t i[3];
        triangleIndices(p, i);
        const raster::Vertex &a = m_vVertices[i[0]], &b = m_vVertices[i[1]], &c = m_vVertices[i[2]];
        const int64_t area = (b.fx - a.fx) * (c.fy - a.fy) - (b.fy - a.fy) * (c.fx - a.fx);
        if (area == 0) return false;
        // area > 0: clockwise on screen.
        if ((cull == 2 && area > 0) || (cull == 3 && area < 0)) return false;
        out[0] = a;
        out[1] = area > 0 ? b : c;
        out[2] = area > 0 ? c : b;
        return true;
    };
    const bool pairs = type == D3DPT_TRIANGLESTRIP || type == D3DPT_TRIANGLELIST;
    for (UINT p = 0; p < primitiveCount; ++p) {
        raster::Vertex t0[3], t1[3];
        const bool drawn0 = triangle(p, t0);
        // Two triangles in a row that make a rectangle go through the quad path together.
        if (drawn0 && pairs && p + 1 < primitiveCount && triangle(p + 1, t1) && m_Rasteriser.Quad(state, t0, t1)) {
            ++p;
            continue;
        }
        if (drawn0) m_Rasteriser.Triangle(state, t0[0], t0[1], t0[2]);
    }
    return D3D_OK;
}

HRESULT cDirect3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
    if (adapter != 0 || mode == nullptr) return D3DERR_INVALIDCALL;
    const gfx::DisplayState display = gfx::CurrentDisplay();
    *mode = D3DDISPLAYMODE{static_cast<UINT>(display.nWidth), static_cast<UINT>(display.nHeight),
                           display.nRefreshRate,
                           gfx::D3DFormatFromPixelFormat(gfx::DisplayPixelFormat(display.nBpp))};
    return D3D_OK;
}

HRESULT cDirect3D::GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER9* identifier) {
    if (adapter != 0 || identifier == nullptr) return D3DERR_INVALIDCALL;
    std::memset(identifier, 0, sizeof(*identifier));
    std::strcpy(identifier->Driver, "software");
    std::strcpy(identifier->Description, "Software renderer");
    std::strcpy(identifier->DeviceName, "\\\\.\\DISPLAY1");
    identifier->DriverVersion.QuadPart = (static_cast<int64_t>(9) << 48) | (static_cast<int64_t>(0) << 32) |
                                         (static_cast<int64_t>(1) << 16) | 0;
    return D3D_OK;
}

HRESULT cDirect3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) {
    if (adapter != 0 || type != D3DDEVTYPE_HAL || caps == nullptr) return D3DERR_INVALIDCALL;
    FillCaps(caps);
    return D3D_OK;
}

HRESULT cDirect3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT, DWORD usage,
                                     D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) {
    if (adapter != 0 || type != D3DDEVTYPE_HAL) return D3DERR_INVALIDCALL;
    if (resourceType != D3DRTYPE_SURFACE && resourceType != D3DRTYPE_TEXTURE) return D3DERR_INVALIDCALL;
    const bool colour = checkFormat == D3DFMT_X8R8G8B8 || checkFormat == D3DFMT_A8R8G8B8 ||
                        checkFormat == D3DFMT_R5G6B5 || checkFormat == D3DFMT_A1R5G5B5 ||
                        checkFormat == D3DFMT_X1R5G5B5;
    if (!colour) return D3DERR_NOTAVAILABLE;
    switch (usage) {
    case 0:
    case D3DUSAGE_RENDERTARGET: return D3D_OK;
    case D3DUSAGE_DYNAMIC:
        return resourceType == D3DRTYPE_TEXTURE && gfx::Profile().bDynamicTextures ? D3D_OK : D3DERR_NOTAVAILABLE;
    case D3DUSAGE_DEPTHSTENCIL:
    case D3DUSAGE_DMAP:
    case D3DUSAGE_AUTOGENMIPMAP: return D3DERR_NOTAVAILABLE;
    default: return D3DERR_INVALIDCALL;
    }
}

HRESULT cDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviourFlags,
                                D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    *device = nullptr;
    if (adapter != 0 || type != D3DDEVTYPE_HAL || parameters == nullptr) return D3DERR_INVALIDCALL;
    if (TakeGraphicsFault(GraphicsFault::CreateDevice)) return D3DERR_NOTAVAILABLE;
    if (behaviourFlags & D3DCREATE_HARDWARE_VERTEXPROCESSING) {
        if (!gfx::Profile().bHardwareVertexProcessing || TakeGraphicsFault(GraphicsFault::CreateDeviceHardware))
            return D3DERR_NOTAVAILABLE;
    }
    const D3DFORMAT format = parameters->BackBufferFormat;
    if (format != D3DFMT_X8R8G8B8 && format != D3DFMT_R5G6B5 && format != D3DFMT_A1R5G5B5 &&
        format != D3DFMT_X1R5G5B5 && format != D3DFMT_A8R8G8B8 && !(parameters->Windowed && format == D3DFMT_UNKNOWN))
        return D3DERR_INVALIDCALL;
    if (!parameters->Windowed) {
        const GraphicsProfile& p = gfx::Profile();
        const UINT rate = parameters->FullScreen_RefreshRateInHz;
        if (parameters->BackBufferWidth == 0 || parameters->BackBufferHeight == 0) return D3DERR_INVALIDCALL;
        if (rate != 0 && std::find(p.vRefreshRates.begin(), p.vRefreshRates.end(), rate) == p.vRefreshRates.end())
            return D3DERR_INVALIDCALL;
        gfx::DisplayState display;
        display.nWidth = static_cast<int32_t>(parameters->BackBufferWidth);
        display.nHeight = static_cast<int32_t>(parameters->BackBufferHeight);
        display.nBpp = PixelFormatBits(PixelFormatFromD3D(format));
        display.nRefreshRate = rate ? rate : 60;
        display.bFullScreen = true;
        gfx::SetCurrentDisplay(display);
    }
    auto* created = new cDevice(focusWindow, *parameters);
    *parameters = created->Parameters();
    *device = created;
    return D3D_OK;
}

}  // namespace

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION || !gfx::Profile().bDirect3D9 ||
        TakeGraphicsFault(GraphicsFault::Direct3DCreate))
        return nullptr;
    return new cDirect3D();
}

namespace gfx {

cPixelBuffer* CurrentRenderTarget(IDirect3DDevice9* device) {
    return device ? static_cast<cDevice*>(device)->RenderTargetPixels() : nullptr;
}

std::shared_ptr<DeviceShared> SharedOf(IDirect3DDevice9* device) {
    return device ? static_cast<cDevice*>(device)->Shared() : nullptr;
}

bool DeviceIsLost(IDirect3DDevice9* device) { return device && static_cast<cDevice*>(device)->IsLost(); }

}  // namespace gfx
