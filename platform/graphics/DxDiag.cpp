#include "platform/graphics/DxDiag.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "platform/graphics/GraphicsInternal.h"

namespace {

class cContainer final : public IDxDiagContainer {
public:
    ~cContainer() override {
        for (auto& child : m_vChildren) child.second->Release();
    }
    cContainer* AddChild(const std::string& name) {
        auto* child = new cContainer();
        m_vChildren.emplace_back(name, child);
        return child;
    }
    void SetText(const std::string& name, const std::string& value) {
        DXDIAGPROPERTY p;
        p.vt = DXDIAG_TEXT;
        p.strValue = value;
        m_Props[name] = p;
    }
    void SetBool(const std::string& name, bool value) {
        DXDIAGPROPERTY p;
        p.vt = DXDIAG_BOOL;
        p.bValue = value ? 1 : 0;
        m_Props[name] = p;
    }
    HRESULT GetNumberOfChildContainers(DWORD* count) override {
        if (count == nullptr) return E_INVALIDARG;
        *count = static_cast<DWORD>(m_vChildren.size());
        return S_OK;
    }
    HRESULT EnumChildContainerNames(DWORD index, char* name, DWORD size) override {
        if (name == nullptr || size == 0 || index >= m_vChildren.size()) return E_INVALIDARG;
        const std::string& childName = m_vChildren[index].first;
        if (childName.size() + 1 > size) return E_INVALIDARG;
        std::memcpy(name, childName.c_str(), childName.size() + 1);
        return S_OK;
    }
    HRESULT GetChildContainer(const char* name, IDxDiagContainer** child) override {
        if (name == nullptr || child == nullptr) return E_INVALIDARG;
        for (auto& entry : m_vChildren) {
            if (entry.first == name) {
                entry.second->AddRef();
                *child = entry.second;
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }
    HRESULT GetProp(const char* name, DXDIAGPROPERTY* value) override {
        if (name == nullptr || value == nullptr) return E_INVALIDARG;
        auto it = m_Props.find(name);
        if (it == m_Props.end()) return E_INVALIDARG;
        *value = it->second;
        return S_OK;
    }

private:
    std::vector<std::pair<std::string, cContainer*>> m_vChildren;
    std::map<std::string, DXDIAGPROPERTY> m_Props;
};

class cProvider final : public IDxDiagProvider {
public:
    cProvider() : m_lpRoot(new cContainer()) {
        const GraphicsProfile& p = gfx::Profile();
        cContainer* system = m_lpRoot->AddChild("DxDiag_SystemInfo");
        system->SetText("szDirectXVersionLongEnglish", "DirectX 9.0c (software renderer)");
        cContainer* devices = m_lpRoot->AddChild("DxDiag_DisplayDevices");
        cContainer* device = devices->AddChild("0");
        char memory[64];
        std::snprintf(memory, sizeof(memory), "%u MB", p.nVideoMemoryBytes >> 20);
        device->SetText("szChipType", "Software renderer");
        device->SetText("szDisplayMemoryEnglish", memory);
        device->SetText("szDDIVersionEnglish", std::to_string(p.nDdiVersion));
        device->SetBool("bDDAccelerationEnabled", true);
        device->SetBool("b3DAccelerationEnabled", p.bDirect3D9);
        device->SetBool("bAGPEnabled", false);
    }
    ~cProvider() override { m_lpRoot->Release(); }
    HRESULT GetRootContainer(IDxDiagContainer** root) override {
        if (root == nullptr) return E_INVALIDARG;
        m_lpRoot->AddRef();
        *root = m_lpRoot;
        return S_OK;
    }

private:
    cContainer* m_lpRoot;
};

}  // namespace

HRESULT CreateDxDiagProvider(IDxDiagProvider** provider) {
    if (provider == nullptr) return E_INVALIDARG;
    *provider = new cProvider();
    return S_OK;
}
