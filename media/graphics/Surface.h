#pragma once
// Surface descriptors: every drawable surface (the back buffer, the project's bitmaps, work
// surfaces, glyph sheets) is a DDSURFACEDATA kept by value by its owner. It holds the back end's
// resources through a Direct3D part or a DirectDraw part, made on demand for the active back end.
//
// Every Direct3D surface is registered by address in SurfaceList so that the device restore can
// re-create it. A descriptor therefore never moves and is never copied: copying and moving are
// deleted, and owners keep descriptors in containers whose elements stay in place
// (DDSurfaceVector, DDSurfaceList, fixed arrays). A descriptor that still holds resources when
// it is destroyed releases them (and leaves SurfaceList).
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "platform/graphics/D3D9.h"
#include "platform/graphics/DDraw.h"

// Direct3D memory types (the bitmap table's and DDCreateSurface's argument).
constexpr int32_t DTMEMORYTYPE_VIDEO_RT = 0;
constexpr int32_t DTMEMORYTYPE_SYSTEM = 1;
constexpr int32_t DTMEMORYTYPE_VIDEO_NORT = 2;

struct DTSURFACEDATA {
    int32_t nId = 0;
    IDirect3DSurface9* lpSurface = nullptr;         // level 0 of the texture (BackBuffer: the device's)
    IDirect3DSurface9* lpSystemSurface = nullptr;   // read-back twin of render-target textures
    IDirect3DVertexBuffer9* lpVB = nullptr;         // 4 vertices of 28 bytes
    IDirect3DTexture9* lpTexture = nullptr;
    D3DSURFACE_DESC desc{};
    int32_t dwDTMemoryType = 0;                      // 0 video, 1 system
    int32_t bColorKey = 0;
    int32_t bRenderTarget = 0;
    uint8_t* lpIndexMap = nullptr;                  // palette-index map, new[]
};

struct DDRAWSURFACEDATA {
    IDirectDrawSurface7* lpDDSurface = nullptr;
    uint8_t* lpIndexMap = nullptr;
};

struct DDSURFACEDATA {
    DTSURFACEDATA* lpDT;
    DDRAWSURFACEDATA* lpDDraw;
    char szSurfaceType[260];
    int32_t nWidth;
    int32_t nHeight;
    int32_t nTexWidth;
    int32_t nTexHeight;
    char szFileName[260];
    int32_t dwMemoryType;          // 0 video, 1 system (DirectDraw memory type)
    int32_t nMirrorWidth;
    int32_t nMirrorHeight;
    DDSURFACEDATA* lpBaseSD;       // Direct3D: draw and lock this surface instead
    int32_t bLost;                 // re-created empty by a restore: the owner redraws it

    DDSURFACEDATA();               // zeroed: a valid empty surface
    ~DDSURFACEDATA();
    DDSURFACEDATA(const DDSURFACEDATA&) = delete;
    DDSURFACEDATA& operator=(const DDSURFACEDATA&) = delete;
    DDSURFACEDATA(DDSURFACEDATA&&) = delete;
    DDSURFACEDATA& operator=(DDSURFACEDATA&&) = delete;
};

// A vector of descriptors whose elements never move: each lives in its own allocation.
class DDSurfaceVector {
public:
    DDSurfaceVector() = default;
    DDSurfaceVector(const DDSurfaceVector&) = delete;
    DDSurfaceVector& operator=(const DDSurfaceVector&) = delete;

    size_t size() const { return m_vItems.size(); }
    bool empty() const { return m_vItems.empty(); }
    DDSURFACEDATA& operator[](size_t i) { return *m_vItems[i]; }
    const DDSURFACEDATA& operator[](size_t i) const { return *m_vItems[i]; }
    DDSURFACEDATA& back() { return *m_vItems.back(); }
    // Appends a zeroed descriptor and returns it.
    DDSURFACEDATA& emplace_back() { return *m_vItems.emplace_back(std::make_unique<DDSURFACEDATA>()); }
    void resize(size_t count);
    void erase(size_t index) { m_vItems.erase(m_vItems.begin() + static_cast<std::ptrdiff_t>(index)); }
    void pop_back() { m_vItems.pop_back(); }
    void clear() { m_vItems.clear(); }

    template <class Fn>
    void ForEach(Fn fn) {
        for (auto& item : m_vItems) fn(*item);
    }

private:
    std::vector<std::unique_ptr<DDSURFACEDATA>> m_vItems;
};

// A list's nodes never move either.
using DDSurfaceList = std::list<DDSURFACEDATA>;

// Every Direct3D surface, in creation order (the built-in back buffer is not in it). It outlives
// every static descriptor, so descriptors destroyed at exit can still leave it.
extern std::list<DDSURFACEDATA*>& SurfaceList;

struct BITMAPFILEENTRY;

void DDAllocSurfaceData(DDSURFACEDATA* lpSD);
bool DDCreateSurface(DDSURFACEDATA* lpSD, int32_t nWidth, int32_t nHeight, int32_t bColorKey,
                     int32_t nDDMemoryType, int32_t nDTMemoryType, int32_t bView, int32_t bRecreate);
void DDAdjustTextureSize(int32_t* lpWidth, int32_t* lpHeight);
bool DDCheckTextureSize(int32_t nWidth, int32_t nHeight);
void DDReleaseSurface(DDSURFACEDATA* lpSD);
void DDReleaseSurfaceData(DDSURFACEDATA* lpSD);   // the same as DDReleaseSurface
void DDReleaseSurfaceVector(DDSurfaceVector& vSurfaces);
void DDReleaseSurfaceList(DDSurfaceList& lSurfaces);
bool DDAddSurfaceToVector(DDSurfaceVector& vSurfaces, std::vector<BITMAPFILEENTRY>& vEntries, int32_t nWidth,
                          int32_t nHeight, int32_t bColorKey, int32_t nDDMemoryType, int32_t nDTMemoryType,
                          int32_t bView);
bool DDAddSurfaceToList(DDSurfaceList& lSurfaces, std::list<BITMAPFILEENTRY>& lEntries, int32_t nWidth,
                        int32_t nHeight, int32_t bColorKey, int32_t nDDMemoryType, int32_t nDTMemoryType,
                        int32_t bView);
bool DDRemoveSurfaceFromList(DDSurfaceList& lSurfaces, std::list<BITMAPFILEENTRY>& lEntries,
                             DDSURFACEDATA* lpSD);
void DDRedirectToBaseSurface(DDSURFACEDATA** lplpSD);
// DirectDraw lock of the whole surface; the caller unlocks after a success. False, with nothing
// locked, under Direct3D and for a depth that gives no pixel pointer.
bool DDLock(DDSURFACEDATA* lpSD, DDSURFACEDESC2* lpDesc, void** lplpBits, int32_t nBpp);
