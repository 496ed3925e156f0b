// Glyph sheets: pre-rendered cells blitted in place of drawing characters with the font.
#include "media/graphics/DDBlt.h"
#include "media/text/Font.h"

namespace {

uint16_t CodeKey(const char* lpCode)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(lpCode[0]) << 8 | static_cast<unsigned char>(lpCode[1]));
}

}  // namespace

cFastFont::cFastFont(int32_t nKind, int32_t nCellWidth, int32_t nCellHeight, int32_t nColumns, int32_t nRows)
    : m_nKind(nKind), m_nCellWidth(nCellWidth), m_nCellHeight(nCellHeight), m_nColumns(nColumns), m_nRows(nRows),
      m_nCapacity(nColumns * nRows), m_nCount(0)
{
}

cFastFont::~cFastFont()
{
    DDReleaseSurface(&m_SheetSD);
}

bool cFastFont::CreateSheet()
{
    return DDCreateSurface(&m_SheetSD, m_nColumns * m_nCellWidth, m_nRows * m_nCellHeight, 1, 0,
                           DTMEMORYTYPE_VIDEO_RT, 0, 0);
}

int cFastFont::AddGlyph(const char* lpCode)
{
    if (m_nCount >= m_nCapacity || m_nColumns <= 0) return 0;
    GlyphEntry entry{};
    entry.szCode[0] = lpCode[0];
    entry.szCode[1] = lpCode[1];
    entry.nCell = m_nCount;
    entry.nX = (m_nCount % m_nColumns) * m_nCellWidth;
    entry.nY = (m_nCount / m_nColumns) * m_nCellHeight;
    m_vGlyphs.push_back(entry);
    // A character listed twice keeps its first cell, as a search from the front finds.
    m_Index.emplace(CodeKey(lpCode), m_nCount);
    ++m_nCount;
    return 1;
}

const GlyphEntry* cFastFont::FindGlyph(const char* lpCode) const
{
    const auto it = m_Index.find(CodeKey(lpCode));
    return it == m_Index.end() ? nullptr : &m_vGlyphs[static_cast<size_t>(it->second)];
}

void cFastFont::DrawGlyphCell(DDSURFACEDATA* lpDest, int32_t x, int32_t y, int32_t c, int32_t nFlags)
{
    if (m_nColumns <= 0 || c < 0 || c >= m_nCapacity) return;
    DDBlt(lpDest, x, y, m_nCellWidth, m_nCellHeight, &m_SheetSD, (c % m_nColumns) * m_nCellWidth,
          (c / m_nColumns) * m_nCellHeight, nFlags);
}

int cFastFont::DrawGlyph(DDSURFACEDATA* lpDest, int32_t x, int32_t y, const char* lpCode, int32_t nFlags)
{
    const GlyphEntry* entry = FindGlyph(lpCode);
    if (entry == nullptr) return 0;
    DDBlt(lpDest, x, y, m_nCellWidth, m_nCellHeight, &m_SheetSD, entry->nX, entry->nY, nFlags);
    return 1;
}
