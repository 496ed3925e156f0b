#pragma once
// The four helper calls of the Direct3D extension library the graphics layer uses: a texture,
// a texture from a bitmap file with a colour key, a sprite bracket and a text font.
#include "platform/graphics/D3D9.h"

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;
constexpr DWORD D3DX_FILTER_NONE = 0x1;
constexpr DWORD D3DX_FILTER_POINT = 0x2;

constexpr DWORD D3DXSPRITE_ALPHABLEND = 0x10;
constexpr DWORD D3DXSPRITE_SORT_TEXTURE = 0x20;

// Text formats of DrawTextA.
constexpr DWORD DT_TOP = 0x0;
constexpr DWORD DT_LEFT = 0x0;
constexpr DWORD DT_NOCLIP = 0x100;
constexpr DWORD DT_CALCRECT = 0x400;

constexpr BYTE SHIFTJIS_CHARSET = 128;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr int32_t FW_NORMAL = 400;

struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    int32_t ImageFileFormat;
};

struct D3DXFONT_DESCA {
    INT Height;
    UINT Width;
    UINT Weight;
    UINT MipLevels;
    BOOL Italic;
    BYTE CharSet;
    BYTE OutputPrecision;
    BYTE Quality;
    BYTE PitchAndFamily;
    char FaceName[32];
};

class ID3DXSprite : public cGfxObject {
public:
    virtual HRESULT Begin(DWORD flags) = 0;
    virtual HRESULT End() = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};

class ID3DXFont : public cGfxObject {
public:
    // Draws code-page-932 text into the device's current render target (count -1: up to the
    // terminating NUL) and returns the height drawn; DT_CALCRECT only measures into rect.
    // Glyphs come from the text rasterizer (TextRasterizer.h); without one nothing is drawn
    // and the result is 0.
    virtual INT DrawTextA(ID3DXSprite* sprite, const char* text, INT count, RECT* rect, DWORD format,
                          D3DCOLOR color) = 0;
    virtual HRESULT GetDescA(D3DXFONT_DESCA* desc) = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture);
// Loads a bitmap file (project path) into a texture of the given size (D3DX_DEFAULT: the image's
// own size), placing the image at the top left. Pixels equal to the colour key (compared as
// opaque 0xFFRRGGBB) become transparent black; the rest of a larger texture is transparent black.
// A file that cannot be read or decoded fails with D3DERR_INVALIDCALL.
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* file, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* sourceInfo, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture);
HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite);
HRESULT D3DXCreateFontIndirectA(IDirect3DDevice9* device, const D3DXFONT_DESCA* desc, ID3DXFont** font);
