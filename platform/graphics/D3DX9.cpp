#include "platform/graphics/D3DX9.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/graphics/BitmapFile.h"
#include "platform/graphics/D3DResources.h"
#include "platform/graphics/GraphicsInternal.h"

namespace {

UINT NextPow2(UINT v) {
    UINT p = 1;
    while (p < v) p <<= 1;
    return p;
}

// The texture size the device can take, as the helper library chooses it.
void FitTextureSize(UINT* width, UINT* height) {
    const GraphicsProfile& p = gfx::Profile();
    if (p.bPow2) {
        *width = NextPow2(*width);
        *height = NextPow2(*height);
    }
    if (p.bSquareOnly) *width = *height = std::max(*width, *height);
    *width = std::min<UINT>(*width, p.nMaxTextureWidth);
    *height = std::min<UINT>(*height, p.nMaxTextureHeight);
}

class cSprite final : public ID3DXSprite {
public:
    HRESULT Begin(DWORD) override {
        if (m_bBegun) return D3DERR_INVALIDCALL;
        m_bBegun = true;
        return D3D_OK;
    }
    HRESULT End() override {
        if (!m_bBegun) return D3DERR_INVALIDCALL;
        m_bBegun = false;
        return D3D_OK;
    }
    HRESULT OnLostDevice() override {
        m_bBegun = false;
        return D3D_OK;
    }
    HRESULT OnResetDevice() override { return D3D_OK; }

private:
    bool m_bBegun = false;
};

class cFont final : public ID3DXFont {
public:
    cFont(IDirect3DDevice9* device, const D3DXFONT_DESCA& desc) : m_lpDevice(device), m_Desc(desc) {
        m_lpDevice->AddRef();
        std::memset(&m_Spec, 0, sizeof(m_Spec));
        std::memcpy(m_Spec.szFace, desc.FaceName, sizeof(desc.FaceName));
        m_Spec.szFace[sizeof(desc.FaceName) - 1] = '\0';
        m_Spec.nHeight = desc.Height < 0 ? -desc.Height : desc.Height;
        m_Spec.nWidth = static_cast<int32_t>(desc.Width);
        m_Spec.nWeight = static_cast<int32_t>(desc.Weight);
        m_Spec.nCharSet = desc.CharSet;
        m_Spec.bItalic = desc.Italic;
    }
    ~cFont() override { m_lpDevice->Release(); }

    INT DrawTextA(ID3DXSprite*, const char* text, INT count, RECT* rect, DWORD format, D3DCOLOR color) override {
        if (text == nullptr || rect == nullptr) return 0;
        const size_t length = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
        const bool measureOnly = (format & DT_CALCRECT) != 0;
        cPixelBuffer* target = measureOnly ? nullptr : gfx::CurrentRenderTarget(m_lpDevice);
        const uint32_t raw = target ? ArgbToPixel(target->Format(), color) : 0;
        const RECT* clip = (format & DT_NOCLIP) ? nullptr : rect;
        int32_t y = rect->top, widest = 0;
        size_t start = 0;
        while (start <= length) {
            size_t end = start;
            while (end < length && text[end] != '\n') ++end;
            const SIZE extent = gfx::DrawTextMask(m_Spec, text + start, static_cast<int32_t>(end - start), rect->left,
                                                  y, raw, target, clip);
            widest = std::max<int32_t>(widest, extent.cx);
            y += extent.cy > 0 ? extent.cy : m_Spec.nHeight;
            if (end >= length) break;
            start = end + 1;
        }
        const INT height = y - rect->top;
        if (measureOnly) {
            rect->right = rect->left + widest;
            rect->bottom = rect->top + height;
        }
        return GetTextRasterizer() ? height : 0;
    }
    HRESULT GetDescA(D3DXFONT_DESCA* desc) override {
        if (desc == nullptr) return D3DERR_INVALIDCALL;
        *desc = m_Desc;
        return D3D_OK;
    }
    HRESULT OnLostDevice() override { return D3D_OK; }
    HRESULT OnResetDevice() override { return D3D_OK; }

private:
    IDirect3DDevice9* m_lpDevice;
    D3DXFONT_DESCA m_Desc;
    TEXTFONTSPEC m_Spec;
};

}  // namespace

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture9** texture) {
    if (device == nullptr || texture == nullptr) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (width == 0 || height == 0 || width == D3DX_DEFAULT || height == D3DX_DEFAULT) return D3DERR_INVALIDCALL;
    FitTextureSize(&width, &height);
    return device->CreateTexture(width, height, 1, usage, format, pool, texture, nullptr);
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* file, UINT width, UINT height, UINT,
                                     DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD, DWORD, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* sourceInfo, PALETTEENTRY*, IDirect3DTexture9** texture) {
    if (device == nullptr || texture == nullptr || file == nullptr) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    DECODEDBITMAP bitmap;
    std::string error;
    if (!LoadBitmapFile(file, &bitmap, &error)) return D3DERR_INVALIDCALL;
    if (width == 0 || width == D3DX_DEFAULT) width = static_cast<UINT>(bitmap.nWidth);
    if (height == 0 || height == D3DX_DEFAULT) height = static_cast<UINT>(bitmap.nHeight);
    FitTextureSize(&width, &height);
    if (format == D3DFMT_UNKNOWN) format = D3DFMT_A8R8G8B8;
    IDirect3DTexture9* created = nullptr;
    const HRESULT hr = device->CreateTexture(width, height, 1, usage, format, pool, &created, nullptr);
    if (FAILED(hr)) return hr;
    IDirect3DSurface9* level = nullptr;
    created->GetSurfaceLevel(0, &level);
    cPixelBuffer& pixels = *level->Pixels();
    const int32_t w = std::min<int32_t>(bitmap.nWidth, pixels.Width());
    const int32_t h = std::min<int32_t>(bitmap.nHeight, pixels.Height());
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            uint32_t argb = DecodedBitmapPixel(bitmap, x, y);
            if (colorKey != 0 && argb == (colorKey | 0xFF000000u)) argb = 0;
            pixels.WriteArgb(x, y, argb);
        }
    }
    level->Release();
    if (sourceInfo) {
        *sourceInfo = D3DXIMAGE_INFO{static_cast<UINT>(bitmap.nWidth), static_cast<UINT>(bitmap.nHeight), 1, 1,
                                     bitmap.nBitCount == 32   ? D3DFMT_X8R8G8B8
                                     : bitmap.nBitCount == 24 ? D3DFMT_R8G8B8
                                     : bitmap.nBitCount == 16 ? D3DFMT_X1R5G5B5
                                                              : D3DFMT_P8,
                                     D3DRTYPE_TEXTURE, 0};
    }
    *texture = created;
    return D3D_OK;
}

HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite) {
    if (device == nullptr || sprite == nullptr) return D3DERR_INVALIDCALL;
    *sprite = new cSprite();
    return D3D_OK;
}

HRESULT D3DXCreateFontIndirectA(IDirect3DDevice9* device, const D3DXFONT_DESCA* desc, ID3DXFont** font) {
    if (device == nullptr || desc == nullptr || font == nullptr) return D3DERR_INVALIDCALL;
    *font = new cFont(device, *desc);
    return D3D_OK;
}
