#pragma once
// The diagnostics provider: a tree of named containers with text, boolean and number properties,
// answered with the software renderer's facts ("DxDiag_SystemInfo", "DxDiag_DisplayDevices").
#include <string>

#include "platform/graphics/GraphicsTypes.h"

enum DXDIAGPROPTYPE : int32_t { DXDIAG_EMPTY = 0, DXDIAG_TEXT = 1, DXDIAG_BOOL = 2, DXDIAG_UINT = 3 };

struct DXDIAGPROPERTY {
    DXDIAGPROPTYPE vt = DXDIAG_EMPTY;
    std::string strValue;   // code page 932
    int32_t bValue = 0;
    uint32_t ulValue = 0;
};

class IDxDiagContainer : public cGfxObject {
public:
    virtual HRESULT GetNumberOfChildContainers(DWORD* count) = 0;
    virtual HRESULT EnumChildContainerNames(DWORD index, char* name, DWORD size) = 0;
    virtual HRESULT GetChildContainer(const char* name, IDxDiagContainer** child) = 0;
    virtual HRESULT GetProp(const char* name, DXDIAGPROPERTY* value) = 0;
};

class IDxDiagProvider : public cGfxObject {
public:
    virtual HRESULT GetRootContainer(IDxDiagContainer** root) = 0;
};

// Creates and initialises the provider; fails when the graphics profile has no Direct3D 9.
HRESULT CreateDxDiagProvider(IDxDiagProvider** provider);
