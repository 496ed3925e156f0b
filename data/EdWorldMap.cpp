#include "data/EdWorldMap.h"

#include <cstdlib>
#include <string>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "data/RecordStream.h"

cEdWorldMap g_WorldMap;

namespace {

// The widest row a map may have: 2^15 cells. Rows beyond that are no editor's map, and the limit
// keeps every cell index inside int32 together with the height bound below.
constexpr int32_t kMaxPitchShift = 15;
constexpr int64_t kMaxCells = int64_t{1} << 24;

bool GridFits(int32_t nHeight, int32_t nShift)
{
    return nHeight > 0 && nShift >= 0 && nShift <= kMaxPitchShift &&
           (static_cast<int64_t>(nHeight) << nShift) <= kMaxCells;
}

}  // namespace

// ---- chips ----

cEdWorldMapChip::cEdWorldMapChip()
{
    RegisterFields(kCurrentDataVersion);
}

void cEdWorldMapChip::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt32Field(&m_nChipValue);
    AddInt32Field(&m_bBlocked);
    AddInt32Field(&m_nCell);
    AddStringField(&m_strName);
    AddStringField(&m_strText);
}

// ---- entry items ----

cEdWorldEntryItem::cEdWorldEntryItem()
{
    RegisterFields(kCurrentDataVersion);
}

void cEdWorldEntryItem::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddInt32Field(&m_nKind);
    AddInt32Field(&m_nIcon);
    AddInt32Field(&m_nStageNo);
    AddInt32Field(&m_bStopOnPlace);
    AddInt32Field(&m_bReplayable);
    AddInt32Field(&m_nSpare);
    AddInt32Field(&m_nNeedFlag);
    AddInt32Field(&m_nNeedVar);
    AddInt32Field(&m_nNeedValue);
    AddInt32Field(&m_nNeedOp);
    if (nVersion >= 209) AddInt32Field(&m_nNeedTotal);
    AddStringField(&m_strTitle);
    AddStringField(&m_strStageFile);
}

bool cEdWorldEntryItem::Load(FILE* fp)
{
    if (!LoadRecordFields(fp)) return false;
    if (g_nFileVersion <= 208) m_nNeedTotal = 0;
    return true;
}

bool cEdWorldEntryItem::VariableHolds(int32_t nValue) const
{
    // Widened, so that |INT32_MIN| and INT32_MIN % -1 are ordinary values.
    const int64_t nVar = nValue;
    const int64_t nConst = m_nNeedValue;
    switch (m_nNeedOp) {
    case 0: return nVar == nConst;
    case 1: return nVar != nConst;
    case 2: return nVar >= nConst;
    case 3: return nVar <= nConst;
    case 4: return nVar > nConst;
    case 5: return nVar < nConst;
    case 6: return nConst == 0 || std::llabs(nVar) % nConst == 0;
    case 7: return nConst != 0 && std::llabs(nVar) % nConst != 0;
    default: return false;
    }
}

bool cEdWorldEntryItem::Applies(const std::function<bool(int32_t)>& isCleared,
                                const std::function<int32_t(int32_t)>& variable,
                                int64_t nTotalScore) const
{
    if (m_nNeedFlag > 0 && !isCleared(m_nNeedFlag)) return false;
    if (m_nNeedVar != 0 && !VariableHolds(variable(m_nNeedVar))) return false;
    return nTotalScore >= m_nNeedTotal;
}

// ---- entries ----

cEdWorldEntry::cEdWorldEntry()
{
    RegisterFields(kCurrentDataVersion);
    m_vEntryItem.resize(1);
}

void cEdWorldEntry::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt32Field(&m_nX);
    AddInt32Field(&m_nY);
    AddStringField(&m_strName);
}

bool cEdWorldEntry::Load(FILE* fp)
{
    if (!LoadRecordFields(fp)) return false;
    cEdWorldEntryItem prototype;
    prototype.ResetFields();
    return LoadRecordVector(fp, m_vEntryItem, prototype);
}

bool cEdWorldEntry::Save(FILE* fp)
{
    return SaveRecordFields(fp) && SaveRecordVector(fp, m_vEntryItem);
}

const cEdWorldEntryItem* cEdWorldEntry::CurrentItem(const std::function<bool(int32_t)>& isCleared,
                                                    const std::function<int32_t(int32_t)>& variable,
                                                    int64_t nTotalScore) const
{
    for (const cEdWorldEntryItem& item : m_vEntryItem) {
        if (item.Applies(isCleared, variable, nTotalScore)) return &item;
    }
    return nullptr;
}

// ---- the map ----

cEdWorldMap::cEdWorldMap()
{
    RegisterFields(kCurrentDataVersion);
    SetDefaults();
}

void cEdWorldMap::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt32Field(&m_nWidth);
    AddInt32Field(&m_nHeight);
    AddInt32Field(&m_nPitch);
    AddInt32Field(&m_nPitchShift);
    AddInt32Field(&m_nStartX);
    AddInt32Field(&m_nStartY);
    AddInt32Field(&m_nBackColor);
    AddInt32Field(&m_bBackPicture);
    AddStringField(&m_strName);
    AddStringField(&m_strPicture);
}

void cEdWorldMap::SetDefaults()
{
    ResetFields();
    m_strName = "ワールド";
    m_nStartX = 9;
    m_nStartY = 7;
    m_nBackColor = 16;
    m_bBackPicture = 0;
    m_vChip.assign(10, cEdWorldMapChip());
    for (int32_t i = 0; i < 10; ++i) {
        cEdWorldMapChip& chip = m_vChip[static_cast<size_t>(i)];
        chip.ResetFields();
        chip.m_nCell = i;
        chip.m_bBlocked = i < 5 ? 1 : 0;
        chip.m_strText = i < 5 ? "通行不可" : "通行可";
    }
    m_vCell.clear();
    SetSize(20, 15);
    m_vEntry.clear();
    m_vEntry2.assign(1, cEdWorldEntry());
    m_vEntry2[0].m_strName = "デフォルト";
}

int cEdWorldMap::SetSize(int32_t nWidth, int32_t nHeight)
{
    if (nWidth <= 0 || nHeight <= 0) {
        DebugErrorBoxF("SetSize()で 0 を指定しました！");
        return 0;
    }
    int32_t nShift = 0;
    for (int32_t n = nWidth - 1; n != 0; n /= 2) ++nShift;
    if (!GridFits(nHeight, nShift)) {
        WriteReportTrace("SetSize(%d, %d): the map is too large", nWidth, nHeight);
        return 0;
    }
    std::vector<int32_t> vOld;
    const int32_t nOldWidth = m_nWidth;
    const int32_t nOldHeight = m_nHeight;
    const int32_t nOldShift = m_nPitchShift;
    const bool bHadGrid = !m_vCell.empty();
    if (bHadGrid) {
        DebugErrorBoxF("nBeforeWidth = %d,nBeforePitch = %d,nBeforePitch_Shift = %d", m_nWidth, m_nPitch,
                       m_nPitchShift);
        vOld.swap(m_vCell);
    }
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nPitchShift = nShift;
    m_nPitch = int32_t{1} << nShift;
    m_vCell.assign(static_cast<size_t>(nHeight) << nShift, 0);
    if (bHadGrid) {
        for (int32_t y = 0; y < nOldHeight && y < nHeight; ++y) {
            for (int32_t x = 0; x < nOldWidth && x < nWidth; ++x) {
                // The old geometry may come from a file; the guarded access keeps a short old grid
                // from being read past its end.
                const int64_t nOldIndex = x + (static_cast<int64_t>(y) << nOldShift);
                if (nOldShift < 0 || nOldShift > kMaxPitchShift || nOldIndex > INT32_MAX) continue;
                CheckedAt(m_vCell, x + (y << nShift)) = CheckedAt(vOld, static_cast<int32_t>(nOldIndex));
            }
        }
    }
    return 1;
}

bool cEdWorldMap::Load(FILE* fp)
{
    if (!LoadRecordFields(fp)) return false;
    // The readers index the grid as x + (y << shift) with the geometry as stored: a shift or pitch
    // that does not describe a grid is a damaged file.
    if (m_nWidth <= 0 || !GridFits(m_nHeight, m_nPitchShift) || m_nPitch != (int32_t{1} << m_nPitchShift) ||
        m_nWidth > m_nPitch) {
        WriteReportTrace("WorldMap: grid geometry out of range (width %d, height %d, pitch %d, shift %d)",
                         m_nWidth, m_nHeight, m_nPitch, m_nPitchShift);
        return false;
    }
    cEdWorldMapChip chip;
    chip.ResetFields();
    if (!LoadRecordVector(fp, m_vChip, chip)) return false;
    if (!LoadIntVector(fp, m_vCell)) return false;
    cEdWorldEntry entry;
    if (!LoadRecordVector(fp, m_vEntry, entry)) return false;
    if (!LoadRecordVector(fp, m_vEntry2, entry)) return false;
    Validate();
    return true;
}

bool cEdWorldMap::Save(FILE* fp)
{
    Validate();
    return SaveRecordFields(fp) && SaveRecordVector(fp, m_vChip) && SaveIntVector(fp, m_vCell) &&
           SaveRecordVector(fp, m_vEntry) && SaveRecordVector(fp, m_vEntry2);
}

void cEdWorldMap::Validate()
{
    if (m_nStartX >= m_nWidth) m_nStartX = m_nWidth - 1;
    if (m_nStartY >= m_nHeight) m_nStartY = m_nHeight - 1;
    std::erase_if(m_vEntry, [this](const cEdWorldEntry& entry) {
        return entry.m_nX >= m_nWidth || entry.m_nY >= m_nHeight;
    });
}

cEdWorldEntry* cEdWorldMap::FindEntryAt(int32_t nX, int32_t nY)
{
    for (cEdWorldEntry& entry : m_vEntry) {
        if (entry.m_nX == nX && entry.m_nY == nY) return &entry;
    }
    return nullptr;
}

const cEdWorldEntry* cEdWorldMap::FindEntryAt(int32_t nX, int32_t nY) const
{
    return const_cast<cEdWorldMap*>(this)->FindEntryAt(nX, nY);
}

int32_t cEdWorldMap::CellAt(int32_t nX, int32_t nY) const
{
    if (nX > m_nWidth - 1) nX = m_nWidth - 1;
    if (nX < 0) nX = 0;
    if (nY > m_nHeight - 1) nY = m_nHeight - 1;
    if (nY < 0) nY = 0;
    int32_t nShift = m_nPitchShift;
    if (nShift < 0 || nShift > kMaxPitchShift) nShift = 0;
    return CheckedAt(m_vCell, nX + (nY << nShift));
}
