#include "media/graphics/DisplayReport.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/Log.h"
#include "media/graphics/GraphicsState.h"
#include "platform/graphics/DxDiag.h"
#include "platform/win/WinFile.h"

namespace {

// The report log, opened once for the whole display report.
FILE* g_lpReport = nullptr;

void Out(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Out(const char* format, ...) {
    if (g_lpReport == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(g_lpReport, format, args);
    va_end(args);
}

template <class T>
void ReleaseObject(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

bool TextProp(IDxDiagContainer* lpContainer, const char* lpName, std::string* lpOut) {
    DXDIAGPROPERTY prop;
    if (FAILED(lpContainer->GetProp(lpName, &prop)) || prop.vt != DXDIAG_TEXT || prop.strValue.empty()) return false;
    *lpOut = prop.strValue.substr(0, 100);
    return true;
}

// The capability record in declaration order, without the pixel-shader instruction slots.
void AppendCapsDump(std::string& out, const D3DCAPS9& c) {
    char buffer[64];
    int nOnLine = 0;
    auto add = [&](const char* text) {
        if (nOnLine == 8) {
            out += "\n\t";
            nOnLine = 0;
        } else if (nOnLine > 0) {
            out += " ";
        }
        out += text;
        ++nOnLine;
    };
    auto hex = [&](uint32_t v) {
        std::snprintf(buffer, sizeof(buffer), "%08x", v);
        add(buffer);
    };
    auto flt = [&](float v) {
        std::snprintf(buffer, sizeof(buffer), "%f", static_cast<double>(v));
        add(buffer);
    };
    auto sdec = [&](int32_t v) {
        std::snprintf(buffer, sizeof(buffer), "%d", v);
        add(buffer);
    };
    auto udec = [&](uint32_t v) {
        std::snprintf(buffer, sizeof(buffer), "%u", v);
        add(buffer);
    };
    hex(static_cast<uint32_t>(c.DeviceType));
    hex(c.AdapterOrdinal);
    for (DWORD v : {c.Caps, c.Caps2, c.Caps3, c.PresentationIntervals, c.CursorCaps, c.DevCaps, c.PrimitiveMiscCaps,
                    c.RasterCaps, c.ZCmpCaps, c.SrcBlendCaps, c.DestBlendCaps, c.AlphaCmpCaps, c.ShadeCaps,
                    c.TextureCaps, c.TextureFilterCaps, c.CubeTextureFilterCaps, c.VolumeTextureFilterCaps,
                    c.TextureAddressCaps, c.VolumeTextureAddressCaps, c.LineCaps, c.MaxTextureWidth,
                    c.MaxTextureHeight, c.MaxVolumeExtent, c.MaxTextureRepeat, c.MaxTextureAspectRatio,
                    c.MaxAnisotropy})
        hex(v);
    for (float v : {c.MaxVertexW, c.GuardBandLeft, c.GuardBandTop, c.GuardBandRight, c.GuardBandBottom,
                    c.ExtentsAdjust})
        flt(v);
    for (DWORD v : {c.StencilCaps, c.FVFCaps, c.TextureOpCaps, c.MaxTextureBlendStages, c.MaxSimultaneousTextures,
                    c.VertexProcessingCaps, c.MaxActiveLights, c.MaxUserClipPlanes, c.MaxVertexBlendMatrices,
                    c.MaxVertexBlendMatrixIndex})
        hex(v);
    flt(c.MaxPointSize);
    for (DWORD v : {c.MaxPrimitiveCount, c.MaxVertexIndex, c.MaxStreams, c.MaxStreamStride, c.VertexShaderVersion,
                    c.MaxVertexShaderConst, c.PixelShaderVersion})
        hex(v);
    flt(c.PixelShader1xMaxValue);
    hex(c.DevCaps2);
    flt(c.MaxNpatchTessellationLevel);
    hex(c.Reserved5);
    udec(c.MasterAdapterOrdinal);
    udec(c.AdapterOrdinalInGroup);
    udec(c.NumberOfAdaptersInGroup);
    hex(c.DeclTypes);
    hex(c.NumSimultaneousRTs);
    hex(c.StretchRectFilterCaps);
    hex(c.VS20Caps.Caps);
    sdec(c.VS20Caps.DynamicFlowControlDepth);
    sdec(c.VS20Caps.NumTemps);
    sdec(c.VS20Caps.StaticFlowControlDepth);
    hex(c.PS20Caps.Caps);
    sdec(c.PS20Caps.DynamicFlowControlDepth);
    sdec(c.PS20Caps.NumTemps);
    sdec(c.PS20Caps.StaticFlowControlDepth);
    for (DWORD v : {c.VertexTextureFilterCaps, c.MaxVShaderInstructionsExecuted, c.MaxPShaderInstructionsExecuted,
                    c.MaxVertexShader30InstructionSlots, c.MaxPixelShader30InstructionSlots})
        hex(v);
    out += "\n";
}

const char* FormatSymbol(HRESULT hr) {
    if (SUCCEEDED(hr)) return "○ ";
    if (hr == D3DERR_NOTAVAILABLE) return "× ";
    if (hr == D3DERR_INVALIDCALL) return "？ ";
    return "－ ";
}

void WriteDiagnostics(int32_t bDetail) {
    IDxDiagProvider* lpProvider = nullptr;
    IDxDiagContainer* lpRoot = nullptr;
    if (FAILED(CreateDxDiagProvider(&lpProvider))) return;
    if (FAILED(lpProvider->GetRootContainer(&lpRoot))) {
        ReleaseObject(lpProvider);
        return;
    }
    IDxDiagContainer* lpSystem = nullptr;
    if (SUCCEEDED(lpRoot->GetChildContainer("DxDiag_SystemInfo", &lpSystem))) {
        std::string strVersion;
        if (TextProp(lpSystem, "szDirectXVersionLongEnglish", &strVersion)) Out("%s\n", strVersion.c_str());
        Out("TextureMem : %dMB\n", lpDevice ? static_cast<int>(lpDevice->GetAvailableTextureMem() >> 20) : 0);
        ReleaseObject(lpSystem);
    }
    IDxDiagContainer* lpDevices = nullptr;
    if (SUCCEEDED(lpRoot->GetChildContainer("DxDiag_DisplayDevices", &lpDevices))) {
        DWORD nCount = 0;
        lpDevices->GetNumberOfChildContainers(&nCount);
        for (DWORD i = 0; i < nCount; ++i) {
            Out("---デバイス%d\n", static_cast<int>(i));
            char szName[101];
            IDxDiagContainer* lpDevice9 = nullptr;
            if (FAILED(lpDevices->EnumChildContainerNames(i, szName, sizeof(szName))) ||
                FAILED(lpDevices->GetChildContainer(szName, &lpDevice9)))
                continue;
            std::string strValue;
            if (TextProp(lpDevice9, "szChipType", &strValue)) Out("Destination : %s\n", strValue.c_str());
            if (TextProp(lpDevice9, "szDisplayMemoryEnglish", &strValue)) Out("VRAM : %s\n", strValue.c_str());
            D3DADAPTER_IDENTIFIER9 id{};
            if (lpD3D == nullptr || FAILED(lpD3D->GetAdapterIdentifier(i, 0, &id))) id = D3DADAPTER_IDENTIFIER9{};
            const uint64_t v = static_cast<uint64_t>(id.DriverVersion.QuadPart);
            Out("Driver : %s %1d.%02d.%04d.%04d\n", id.Driver, static_cast<int>((v >> 48) & 0xFFFF),
                           static_cast<int>((v >> 32) & 0xFFFF), static_cast<int>((v >> 16) & 0xFFFF),
                           static_cast<int>(v & 0xFFFF));
            if (TextProp(lpDevice9, "szDDIVersionEnglish", &strValue)) Out("DDI : %s\n", strValue.c_str());
            D3DCAPS9 caps{};
            if (lpD3D && lpDTCon &&
                SUCCEEDED(lpD3D->GetDeviceCaps(i, static_cast<D3DDEVTYPE>(lpDTCon->DeviceType), &caps))) {
                Out("TextureMaxSize : (%d,%d)\n", static_cast<int>(caps.MaxTextureWidth),
                               static_cast<int>(caps.MaxTextureHeight));
                Out("TextureMaxBlend : (%d,%d)\n", static_cast<int>(caps.MaxTextureBlendStages),
                               static_cast<int>(caps.MaxSimultaneousTextures));
                if (bDetail) {
                    std::string strDump;
                    AppendCapsDump(strDump, caps);
                    Out("%s", strDump.c_str());
                }
                if (caps.Caps3 & D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD)
                    Out("D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD\n");
                if (caps.TextureCaps & D3DPTEXTURECAPS_POW2) Out("D3DPTEXTURECAPS_POW2\n");
                if (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) Out("D3DPTEXTURECAPS_SQUAREONLY\n");
                if (caps.Caps2 & D3DCAPS2_DYNAMICTEXTURES) Out("D3DCAPS2_DYNAMICTEXTURES\n");
            }
            if (bDetail && lpD3D && lpDTCon) {
                static const struct {
                    DWORD dwUsage;
                    const char* lpSurface;
                    const char* lpTexture;
                } kUsages[] = {{D3DUSAGE_AUTOGENMIPMAP, "AU-SU", "AU-TE"}, {D3DUSAGE_DEPTHSTENCIL, "DE-SU", "DE-TE"},
                               {D3DUSAGE_DMAP, "DM-SU", "DM-TE"},          {D3DUSAGE_DONOTCLIP, "DO-SU", "DO-TE"},
                               {D3DUSAGE_DYNAMIC, "DY-SU", "DY-TE"},       {D3DUSAGE_NPATCHES, "NP-SU", "NP-TE"},
                               {D3DUSAGE_POINTS, "PO-SU", "PO-TE"},        {D3DUSAGE_RTPATCHES, "RT-SU", "RT-TE"},
                               {D3DUSAGE_RENDERTARGET, "RE-SU", "RE-TE"},  {D3DUSAGE_SOFTWAREPROCESSING, "SO-SU", "SO-TE"},
                               {D3DUSAGE_WRITEONLY, "WR-SU", "WR-TE"}};
                const D3DFORMAT format = lpDTCon->fmtBackBufferCopy;
                const D3DDEVTYPE type = static_cast<D3DDEVTYPE>(lpDTCon->DeviceType);
                for (const auto& u : kUsages) {
                    const HRESULT hrSurface = lpD3D->CheckDeviceFormat(static_cast<UINT>(lpDTCon->nAdapter), type,
                                                                       format, u.dwUsage, D3DRTYPE_SURFACE, format);
                    const HRESULT hrTexture = lpD3D->CheckDeviceFormat(static_cast<UINT>(lpDTCon->nAdapter), type,
                                                                       format, u.dwUsage, D3DRTYPE_TEXTURE, format);
                    Out("%s%s%s%s\n", u.lpSurface, FormatSymbol(hrSurface), u.lpTexture,
                                   FormatSymbol(hrTexture));
                }
            }
            DXDIAGPROPERTY prop;
            if (SUCCEEDED(lpDevice9->GetProp("bDDAccelerationEnabled", &prop)) && prop.vt == DXDIAG_BOOL)
                Out(prop.bValue == 1 ? "DirectDraw : ○\n" : "DirectDraw : ×\n");
            if (SUCCEEDED(lpDevice9->GetProp("b3DAccelerationEnabled", &prop)) && prop.vt == DXDIAG_BOOL)
                Out(prop.bValue == 1 ? "Direct3D : ○\n" : "Direct3D : ×\n");
            if (SUCCEEDED(lpDevice9->GetProp("bAGPEnabled", &prop)) && prop.vt == DXDIAG_BOOL)
                Out(prop.bValue == 1 ? "AGP : ○\n" : "AGP : ×\n");
            ReleaseObject(lpDevice9);
        }
        ReleaseObject(lpDevices);
    }
    ReleaseObject(lpRoot);
    ReleaseObject(lpProvider);
}

}  // namespace

bool WriteDisplayReport(int32_t bDetail) {
    if (ReportLogPath[0] == '\0') return false;
    g_lpReport = PlatformFopen(ReportLogPath, "rt+");
    if (g_lpReport == nullptr) return false;
    std::fseek(g_lpReport, 0, SEEK_END);
    Out(nWindowMode != 0 ? "Mode : Window\n" : "Mode : Fullscreen\n");
    Out("Bpp : %d\n", nBpp);
    if (lpDD) {
        DDSCAPS2 caps{DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM, 0, 0, 0};
        DWORD dwTotal = 0, dwFree = 0;
        lpDD->GetAvailableVidMem(&caps, &dwTotal, &dwFree);
        Out("VRAM Total : %.3fMB\n", dwTotal / 1048576.0);
        Out("VRAM Free : %.3fMB\n", dwFree / 1048576.0);
        DWORD dwRate = 0;
        if (FAILED(lpDD->GetMonitorFrequency(&dwRate))) dwRate = 0;
        Out("RR : %u\n", static_cast<unsigned>(dwRate));
    }
    if (lpDTCon) WriteDiagnostics(bDetail);
    std::fclose(g_lpReport);
    g_lpReport = nullptr;
    return true;
}

void GetVideoMemory(int32_t* lpFreeMB, int32_t* lpTotalMB) {
    int32_t nFree = 0, nTotal = 0;
    if (lpDD) {
        DDSCAPS2 caps{DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM, 0, 0, 0};
        DWORD dwTotal = 0, dwFree = 0;
        if (SUCCEEDED(lpDD->GetAvailableVidMem(&caps, &dwTotal, &dwFree))) {
            nFree = static_cast<int32_t>(dwFree / 1048576);
            nTotal = static_cast<int32_t>(dwTotal / 1048576);
        }
    }
    if (lpFreeMB) *lpFreeMB = nFree;
    if (lpTotalMB) *lpTotalMB = nTotal;
}

int32_t GetDdiVersion() {
    IDxDiagProvider* lpProvider = nullptr;
    if (FAILED(CreateDxDiagProvider(&lpProvider))) return 99999;
    int32_t nVersion = 0;
    IDxDiagContainer* lpRoot = nullptr;
    IDxDiagContainer* lpDevices = nullptr;
    IDxDiagContainer* lpFirst = nullptr;
    char szName[256];
    std::string strDdi;
    if (SUCCEEDED(lpProvider->GetRootContainer(&lpRoot)) &&
        SUCCEEDED(lpRoot->GetChildContainer("DxDiag_DisplayDevices", &lpDevices)) &&
        SUCCEEDED(lpDevices->EnumChildContainerNames(0, szName, sizeof(szName))) &&
        SUCCEEDED(lpDevices->GetChildContainer(szName, &lpFirst)) && TextProp(lpFirst, "szDDIVersionEnglish", &strDdi))
        nVersion = std::atoi(strDdi.c_str());
    ReleaseObject(lpFirst);
    ReleaseObject(lpDevices);
    ReleaseObject(lpRoot);
    ReleaseObject(lpProvider);
    return nVersion == 0 ? 99999 : nVersion;
}
