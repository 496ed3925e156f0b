#pragma once
// Bitmap surfaces: a bitmap file becomes a surface (a texture with the transparent colour as
// colour key under Direct3D, an off-screen surface filled by its own pixel conversion under
// DirectDraw), mirrored frame strips, the bitmap-file table and the DirectDraw reload.
#include <cstdint>

#include "media/graphics/Surface.h"

// One entry of the bitmap-file table (300 bytes).
struct BITMAPFILEENTRY {
    char szFileName[260];   // "E": a blank surface
    int32_t bColorKey;
    int32_t nDDMemoryType;
    int32_t nDTMemoryType;
    int32_t bView;
    int32_t bPaletteMap;
    int32_t bOptional;
    int32_t nMirrorWidth;
    int32_t nMirrorHeight;
    int32_t nWidth;
    int32_t nHeight;
};
static_assert(sizeof(BITMAPFILEENTRY) == 300);

// Result codes of the bitmap loaders (and the start-up's error codes).
constexpr int32_t CREATEEX_ERR = 1;
constexpr int32_t SETCOOPLEVEL_ERR = 2;
constexpr int32_t SETDISPLAYMODE_ERR = 3;
constexpr int32_t CREATESURFACE_ERR = 4;
constexpr int32_t GETATTACHEDSURFACE_ERR = 5;
constexpr int32_t CREATEPALETTE_ERR = 6;
constexpr int32_t SETPALETTE_ERR = 7;
constexpr int32_t LOADIMAGE_ERR = 8;
constexpr int32_t SETCOLORKEY_ERR = 9;
constexpr int32_t CLIPPER_ERR = 10;
constexpr int32_t SETHWND_ERR = 11;
constexpr int32_t SETCLIPPER_ERR = 12;
// A Direct3D surface whose vertex buffer could not be made (it has no texture).
constexpr int32_t VERTEXBUFFER_ERR = 13;

int32_t DDCreateSurfaceFromFile(DDSURFACEDATA* lpSD, const char* lpFileName, int32_t bColorKey, int32_t nBpp,
                                int32_t nDDMemoryType, int32_t nDTMemoryType, int32_t bView, int32_t bPaletteMap,
                                int32_t nMirrorWidth, int32_t nMirrorHeight, int32_t bRecreate);
bool CopyBitmap(DDSURFACEDATA* lpSD, const char* lpFileName, int32_t nBpp, int32_t bPaletteMap,
                int32_t nMirrorWidth, int32_t nMirrorHeight);
bool CreateMirror(DDSURFACEDATA* lpDstSD, DDSURFACEDATA* lpSrcSD, int32_t nMirrorWidth, int32_t nMirrorHeight);
bool DDReloadSurface(DDSURFACEDATA* lpSD, int32_t nBpp);
bool DDLoadBitmapTable(DDSURFACEDATA* lpSurfaces, const int32_t* lpIndices, int32_t nCount);
bool DDReportSurfaceError(int32_t nResult);
bool DDBitmapExceedsSize(int32_t* lpExceeds, const char* lpFileName, int32_t nMaxWidth, int32_t nMaxHeight);
