#pragma once
// The glyph renderer behind the GDI text calls and the Direct3D font helper: code-page-932 text
// rasterised with FreeType from installed fonts, one bit per pixel (no anti-aliasing), so that
// text written in a palette colour stays exactly that colour and never blends with the colour
// key. Face names are mapped to installed font files; characters the mapped face lacks come
// from the Japanese gothic fallback.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics/TextRasterizer.h"

// The Japanese gothic face every name falls back to.
constexpr const char* kFallbackFontFile = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

// Host font file for a face name (code page 932); the fallback file when nothing else fits.
std::string FontFileForFace(const char* face);

// One code-page-932 character at text[0..count): its code (lead byte << 8 | trail byte for a
// double-byte character, else the byte) and its length in bytes (1 or 2).
uint16_t NextCp932Char(const char* text, int32_t count, int32_t* length);

class cFreeTypeRasterizer : public cTextRasterizer {
public:
    cFreeTypeRasterizer();
    ~cFreeTypeRasterizer() override;
    cFreeTypeRasterizer(const cFreeTypeRasterizer&) = delete;
    cFreeTypeRasterizer& operator=(const cFreeTypeRasterizer&) = delete;

    // False when FreeType or the fallback font cannot be opened.
    bool Ready() const;
    // Text of count bytes (-1: up to the NUL) as one line: width = the sum of the characters'
    // advances, height = the font's cell height (a positive GDI height is the cell height, a
    // negative one the character height). Thread-safe.
    bool RenderLine(const TEXTFONTSPEC& font, const char* text, int32_t count, TEXTMASK* mask) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

// Makes the FreeType rasterizer the graphics stand-ins' text rasterizer (the first call; later
// calls change nothing). Returns whether a working rasterizer is installed.
bool InstallFontRasterizer();
