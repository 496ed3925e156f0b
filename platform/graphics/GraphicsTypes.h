#pragma once
// Types shared by the graphics stand-ins: result codes, reference-counted objects, palette and
// colour records.
#include <atomic>
#include <cstdint>

#include "platform/win/WinTypes.h"

// The result type of the object calls, shared with the other platform folders that declare
// it: the guard keeps one definition when several are included.
#ifndef PLATFORM_HRESULT_DEFINED
#define PLATFORM_HRESULT_DEFINED
using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
#endif

using ULONG = uint32_t;
using USHORT = uint16_t;
using INT = int32_t;
using FLOAT = float;

constexpr HRESULT MakeGraphicsError(uint32_t facility, uint32_t code) {
    return static_cast<HRESULT>(0x80000000u | (facility << 16) | code);
}

constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);

// Every graphics object is reference-counted; the last Release frees it.
class cGfxObject {
public:
    virtual ~cGfxObject() = default;
    ULONG AddRef() { return ++m_nRefs; }
    ULONG Release() {
        const ULONG left = --m_nRefs;
        if (left == 0) delete this;
        return left;
    }

protected:
    cGfxObject() = default;
    cGfxObject(const cGfxObject&) = delete;
    cGfxObject& operator=(const cGfxObject&) = delete;

private:
    std::atomic<ULONG> m_nRefs{1};
};

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
using IID = GUID;
using REFIID = const IID&;
inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

// A palette entry: red, green, blue and flags.
struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};
constexpr BYTE PC_RESERVED = 0x01;
constexpr BYTE PC_EXPLICIT = 0x02;
constexpr BYTE PC_NOCOLLAPSE = 0x04;

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct RGBTRIPLE {
    BYTE rgbtBlue;
    BYTE rgbtGreen;
    BYTE rgbtRed;
};

using D3DCOLOR = DWORD;
constexpr D3DCOLOR D3DCOLOR_ARGB(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}
