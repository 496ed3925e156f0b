#pragma once
// An 8-bit palettised picture that the demo art is drawn on, with the few drawing operations the
// art needs and the writer of the Windows bitmap file (8 bits, the demo palette as colour table).
#include <cstdint>
#include <string>
#include <vector>

class cDemoCanvas {
public:
    cDemoCanvas(int32_t nWidth, int32_t nHeight, uint8_t byFill = 0);

    int32_t Width() const { return m_nWidth; }
    int32_t Height() const { return m_nHeight; }
    uint8_t At(int32_t x, int32_t y) const;
    void Set(int32_t x, int32_t y, uint8_t c);   // outside the picture: nothing

    void FillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t c);
    void FrameRect(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t c);
    void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t c);
    void FillEllipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry, uint8_t c);
    // A polygon given by its corners (x0, y0, x1, y1, ...), filled by the even-odd rule at pixel
    // centres.
    void FillPolygon(const std::vector<double>& corners, uint8_t c);
    // A five-pointed star, point up.
    void FillStar(double cx, double cy, double dOuter, double dInner, uint8_t c);
    // A raised tile: light top and left edges, dark bottom and right, of the given thickness.
    void Bevel(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t face, uint8_t light, uint8_t dark,
               int32_t nThickness);
    // Copies a w x h area of another canvas; with bKeyed the transparent colour is not copied.
    void Blit(int32_t x, int32_t y, const cDemoCanvas& source, int32_t sx, int32_t sy, int32_t w,
              int32_t h, bool bKeyed);

    // Text in the built-in 5 x 7 letters: each letter cell is 6 x 8 pixels times the scale.
    void Text(int32_t x, int32_t y, const std::string& text, int32_t nScale, uint8_t c);
    // Text with a one-scale-unit dark outline around every letter.
    void OutlinedText(int32_t x, int32_t y, const std::string& text, int32_t nScale, uint8_t c,
                      uint8_t outline);
    static int32_t TextWidth(const std::string& text, int32_t nScale);

    // The picture as an 8-bit bottom-up Windows bitmap file with the demo palette.
    std::vector<uint8_t> EncodeBitmap() const;
    // Writes the bitmap file to a project path; false when the file cannot be written.
    bool SaveBitmap(const char* path) const;

private:
    int32_t m_nWidth;
    int32_t m_nHeight;
    std::vector<uint8_t> m_vPixels;
};

// The built-in letter shapes: 7 rows of 5 bits (bit 4 = leftmost); letters without a shape give
// an empty cell. Lower-case letters use the upper-case shapes.
const uint8_t* DemoGlyph(char ch);

// Writes bytes to a project path; false when the file cannot be written.
bool WriteProjectFile(const char* path, const std::vector<uint8_t>& bytes);
