#include "data/EdPalette.h"

#include "data/PaletteInheritance.h"
#include "data/RecordStream.h"

cEdPalette g_CommonPalette;

cEdPalette::cEdPalette()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
    m_vBlock.assign(1, cEdBlock());
    m_vChara.assign(1, cEdChara());
    m_vItem.assign(1, cEdItem());
}

void cEdPalette::RegisterFields(uint32_t)
{
    ClearFields();
}

bool cEdPalette::Load(FILE* fp)
{
    // Entries of this file inherit from the entries read before them.
    cPaletteScope scope(kPaletteCommon, &m_vBlock, &m_vChara, &m_vItem);
    if (!LoadRecordFields(fp)) return false;
    if (!LoadBlockList(m_vBlock, fp) || !LoadCharaList(m_vChara, fp) || !LoadItemList(m_vItem, fp))
        return false;
    if (!m_vBlock.empty()) m_vBlock[0].SetDefaults();
    if (!m_vChara.empty()) m_vChara[0].SetDefaults();
    if (!m_vItem.empty()) m_vItem[0].SetDefaults();
    // The common palette's entries keep what they inherited while loading, but do not show as
    // inheriting afterwards.
    for (cEdBlock& block : m_vBlock) std::fill(block.m_vInherit.begin(), block.m_vInherit.end(), 0);
    for (cEdChara& chara : m_vChara) std::fill(chara.m_vInherit.begin(), chara.m_vInherit.end(), 0);
    for (cEdItem& item : m_vItem) std::fill(item.m_vInherit.begin(), item.m_vInherit.end(), 0);
    Validate();
    return true;
}

bool cEdPalette::Save(FILE* fp)
{
    Validate();
    return SaveRecordFields(fp) && SaveRecordVector(fp, m_vBlock) && SaveRecordVector(fp, m_vChara) &&
           SaveRecordVector(fp, m_vItem);
}

void cEdPalette::Validate()
{
    cPaletteScope scope(kPaletteCommon, &m_vBlock, &m_vChara, &m_vItem);
    while (m_vBlock.size() < 2) m_vBlock.emplace_back();
    while (m_vChara.size() < 2) m_vChara.emplace_back();
    while (m_vItem.size() < 2) m_vItem.emplace_back();
    ValidatePaletteEntries(m_vBlock, m_vChara, m_vItem);
}

namespace {

// The whole vector is made of default definitions before the first one loads, so that an entry
// whose parent comes later in the same palette inherits from a default definition, as it always
// has. The count is bounded by the smallest body a definition can have.
template <class T>
bool LoadDefinitionVector(FILE* fp, std::vector<T>& v, uint32_t nMinBodyBytes)
{
    uint32_t nCount = 0;
    if (!ReadU32(fp, nCount) || !RecordCountFits(fp, nCount, nMinBodyBytes)) {
        ReportRecordReadError(fp, "definition count");
        return false;
    }
    // Both passes look at the stop request of a load that runs on a worker thread.
    v.clear();
    v.reserve(nCount);
    for (uint32_t i = 0; i < nCount; ++i) {
        if (RecordLoadStopped()) return false;
        v.emplace_back();
    }
    for (T& element : v) {
        if (RecordLoadStopped() || !element.Load(fp)) return false;
    }
    return true;
}

}  // namespace

bool LoadBlockList(std::vector<cEdBlock>& v, FILE* fp)
{
    return LoadDefinitionVector(fp, v, kMinBlockBodyBytes);
}

bool LoadCharaList(std::vector<cEdChara>& v, FILE* fp)
{
    return LoadDefinitionVector(fp, v, kMinCharaBodyBytes);
}

bool LoadItemList(std::vector<cEdItem>& v, FILE* fp)
{
    return LoadDefinitionVector(fp, v, kMinItemBodyBytes);
}

void ValidatePaletteEntries(std::vector<cEdBlock>& vBlock, std::vector<cEdChara>& vChara,
                            std::vector<cEdItem>& vItem)
{
    for (cEdBlock& block : vBlock) {
        block.Validate();
        block.ValidateItemRef();
    }
    for (cEdChara& chara : vChara) {
        chara.Validate();
        chara.ValidateFlowRefs();
    }
    for (cEdItem& item : vItem) {
        item.Validate();
        item.ValidateCommandRefs();
    }
}
