#pragma once
// The seam between the graphics stand-ins and the glyph renderer. The Direct3D font helper and
// the GDI text calls ask the registered rasterizer for a one-bit mask of a line of code-page-932
// text and write the text colour where the mask is set (no anti-aliasing, so palette colours
// and the colour key stay exact). Until a rasterizer is registered, text draws nothing and
// measures 0 x 0.
#include <cstdint>
#include <vector>

#include "platform/win/WinTypes.h"

struct TEXTFONTSPEC {
    char szFace[256];     // code page 932
    int32_t nHeight;      // character height in pixels
    int32_t nWidth;       // 0: the face's own proportions
    int32_t nWeight;
    int32_t nCharSet;
    int32_t bItalic;
};

struct TEXTMASK {
    int32_t nWidth = 0;               // advance of the whole line
    int32_t nHeight = 0;              // line height
    std::vector<uint8_t> vCoverage;   // nWidth * nHeight, row-major, 1 = ink
};

class cTextRasterizer {
public:
    virtual ~cTextRasterizer() = default;
    // Renders count bytes of text (one line) into mask; false when the font cannot be used.
    virtual bool RenderLine(const TEXTFONTSPEC& font, const char* text, int32_t count, TEXTMASK* mask) = 0;
};

void SetTextRasterizer(cTextRasterizer* rasterizer);
cTextRasterizer* GetTextRasterizer();
