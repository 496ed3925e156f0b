#include "data/EdMediaEntry.h"

cEdNamedFile::cEdNamedFile()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
}

void cEdNamedFile::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddStringField(&m_strName);
    if (nVersion >= 151) AddInt32Field(&m_nReserved);
    AddStringField(&m_strFile);
}

bool cEdNamedFile::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp)) return false;
    if (g_nFileVersion < 153) m_nReserved = 0;
    return true;
}

cEdSound::cEdSound()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
}

void cEdSound::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddStringField(&m_strName);
    if (nVersion >= 151) AddInt32Field(&m_nReserved);
    AddStringField(&m_strFile);
}

bool cEdSound::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp)) return false;
    if (g_nFileVersion < 153) m_nReserved = 0;
    return true;
}

cEdBmpCharaExc::cEdBmpCharaExc()
{
    RegisterFields(kCurrentDataVersion);
    ResetFields();
    m_bBigCells = 0;
    m_nCellScale = 2;
}

void cEdBmpCharaExc::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddStringField(&m_strName);
    if (nVersion >= 152) AddInt32Field(&m_nReserved);
    AddStringField(&m_strFile);
    if (nVersion >= 172) {
        AddInt32Field(&m_bBigCells);
        AddInt32Field(&m_nCellScale);
    }
}

bool cEdBmpCharaExc::Load(FILE* fp)
{
    if (!cFieldListRecord::Load(fp)) return false;
    if (g_nFileVersion < 153) m_nReserved = 0;
    return true;
}

int32_t cEdBmpCharaExc::GetCellScale() const
{
    if (m_bBigCells == 0) return 1;
    // The editor offers scales that fit a 16-cell row; a stored 0, a negative scale or one above
    // 16 would leave no whole cell per row (and a division by zero), so it is held to that range.
    if (m_nCellScale < 1) return 1;
    if (m_nCellScale > 16) return 16;
    return m_nCellScale;
}

void cEdBmpCharaExc::GetCellOrigin(int32_t nCell, int32_t& nX, int32_t& nY) const
{
    const int32_t nScale = GetCellScale();
    const int32_t nPerRow = 16 / nScale;
    const int32_t nSide = 32 * nScale;
    if (nCell < 0) nCell = 0;
    nX = (nCell % nPerRow) * nSide;
    nY = (nCell / nPerRow) * nSide;
}
