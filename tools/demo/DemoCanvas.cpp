#include "tools/demo/DemoCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/win/WinFile.h"
#include "tools/demo/DemoPalette.h"

namespace {

struct GlyphShape {
    char ch;
    uint8_t rows[7];
};

// 5 x 7 shapes; bit 4 is the leftmost column.
constexpr GlyphShape kGlyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}}, {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}, {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}}, {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}}, {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
    {'\'', {0x04, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00}}, {'"', {0x0A, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00}},
    {'=', {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00}}, {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}},
    {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}}, {'*', {0x00, 0x15, 0x0E, 0x1F, 0x0E, 0x15, 0x00}},
    {'<', {0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02}}, {'>', {0x08, 0x04, 0x02, 0x01, 0x02, 0x04, 0x08}},
    {'_', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F}}, {'x', {0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x00}},
};

void PutLE16(std::vector<uint8_t>& v, uint32_t n)
{
    v.push_back(static_cast<uint8_t>(n));
    v.push_back(static_cast<uint8_t>(n >> 8));
}

void PutLE32(std::vector<uint8_t>& v, uint32_t n)
{
    PutLE16(v, n & 0xFFFF);
    PutLE16(v, n >> 16);
}

}   // namespace

const uint8_t* DemoGlyph(char ch)
{
    static const uint8_t kEmpty[7] = {0, 0, 0, 0, 0, 0, 0};
    // 'x' has its own small shape (the multiplication sign); the other lower-case letters take
    // the capitals.
    if (ch != 'x' && ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    for (const GlyphShape& g : kGlyphs) {
        if (g.ch == ch) return g.rows;
    }
    return kEmpty;
}

bool WriteProjectFile(const char* path, const std::vector<uint8_t>& bytes)
{
    FILE* fp = PlatformFopen(path, "wb");
    if (!fp) return false;
    const bool bOk = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), fp) == bytes.size();
    return std::fclose(fp) == 0 && bOk;
}

cDemoCanvas::cDemoCanvas(int32_t nWidth, int32_t nHeight, uint8_t byFill)
    : m_nWidth(nWidth), m_nHeight(nHeight),
      m_vPixels(static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight), byFill)
{
}

uint8_t cDemoCanvas::At(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return 0;
    return m_vPixels[static_cast<size_t>(y) * m_nWidth + x];
}

void cDemoCanvas::Set(int32_t x, int32_t y, uint8_t c)
{
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return;
    m_vPixels[static_cast<size_t>(y) * m_nWidth + x] = c;
}

void cDemoCanvas::FillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t c)
{
    for (int32_t j = std::max(0, y); j < std::min(m_nHeight, y + h); ++j) {
        for (int32_t i = std::max(0, x); i < std::min(m_nWidth, x + w); ++i) {
            m_vPixels[static_cast<size_t>(j) * m_nWidth + i] = c;
        }
    }
}

void cDemoCanvas::FrameRect(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t c)
{
    FillRect(x, y, w, 1, c);
    FillRect(x, y + h - 1, w, 1, c);
    FillRect(x, y, 1, h, c);
    FillRect(x + w - 1, y, 1, h, c);
}

void cDemoCanvas::Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t c)
{
    const int32_t dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int32_t err = dx + dy;
    for (;;) {
        Set(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        const int32_t e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
    }
}

void cDemoCanvas::FillEllipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry, uint8_t c)
{
    if (rx <= 0 || ry <= 0) return;
    for (int32_t j = -ry; j <= ry; ++j) {
        for (int32_t i = -rx; i <= rx; ++i) {
            // Integer test of (i/rx)^2 + (j/ry)^2 <= 1 with a little rounding room.
            const int64_t lhs = static_cast<int64_t>(i) * i * ry * ry + static_cast<int64_t>(j) * j * rx * rx;
            if (lhs <= static_cast<int64_t>(rx) * rx * ry * ry + rx * ry) Set(cx + i, cy + j, c);
        }
    }
}

void cDemoCanvas::FillPolygon(const std::vector<double>& corners, uint8_t c)
{
    const size_t n = corners.size() / 2;
    if (n < 3) return;
    double top = corners[1], bottom = corners[1];
    for (size_t i = 0; i < n; ++i) {
        top = std::min(top, corners[2 * i + 1]);
        bottom = std::max(bottom, corners[2 * i + 1]);
    }
    for (int32_t y = std::max(0, static_cast<int32_t>(top)); y <= std::min(m_nHeight - 1, static_cast<int32_t>(bottom)); ++y) {
        const double py = y + 0.5;
        std::vector<double> xs;
        for (size_t i = 0; i < n; ++i) {
            const double x0 = corners[2 * i], y0 = corners[2 * i + 1];
            const double x1 = corners[2 * ((i + 1) % n)], y1 = corners[2 * ((i + 1) % n) + 1];
            if ((y0 <= py) != (y1 <= py)) xs.push_back(x0 + (py - y0) * (x1 - x0) / (y1 - y0));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t k = 0; k + 1 < xs.size(); k += 2) {
            for (int32_t x = static_cast<int32_t>(std::ceil(xs[k] - 0.5)); x + 0.5 <= xs[k + 1]; ++x) Set(x, y, c);
        }
    }
}

void cDemoCanvas::FillStar(double cx, double cy, double dOuter, double dInner, uint8_t c)
{
    std::vector<double> corners;
    for (int32_t i = 0; i < 10; ++i) {
        const double a = -3.14159265358979323846 / 2 + i * 3.14159265358979323846 / 5;
        const double r = i % 2 ? dInner : dOuter;
        corners.push_back(cx + r * std::cos(a));
        corners.push_back(cy + r * std::sin(a));
    }
    FillPolygon(corners, c);
}

void cDemoCanvas::Bevel(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t face, uint8_t light,
                        uint8_t dark, int32_t nThickness)
{
    FillRect(x, y, w, h, face);
    for (int32_t t = 0; t < nThickness; ++t) {
        FillRect(x + t, y + t, w - 2 * t, 1, light);
        FillRect(x + t, y + t, 1, h - 2 * t, light);
        FillRect(x + t, y + h - 1 - t, w - 2 * t, 1, dark);
        FillRect(x + w - 1 - t, y + t, 1, h - 2 * t, dark);
    }
}

void cDemoCanvas::Blit(int32_t x, int32_t y, const cDemoCanvas& source, int32_t sx, int32_t sy,
                       int32_t w, int32_t h, bool bKeyed)
{
    for (int32_t j = 0; j < h; ++j) {
        for (int32_t i = 0; i < w; ++i) {
            const uint8_t c = source.At(sx + i, sy + j);
            if (bKeyed && c == 0) continue;
            Set(x + i, y + j, c);
        }
    }
}

int32_t cDemoCanvas::TextWidth(const std::string& text, int32_t nScale)
{
    return static_cast<int32_t>(text.size()) * 6 * nScale - nScale;
}

void cDemoCanvas::Text(int32_t x, int32_t y, const std::string& text, int32_t nScale, uint8_t c)
{
    for (size_t n = 0; n < text.size(); ++n) {
        const uint8_t* rows = DemoGlyph(text[n]);
        const int32_t gx = x + static_cast<int32_t>(n) * 6 * nScale;
        for (int32_t row = 0; row < 7; ++row) {
            for (int32_t col = 0; col < 5; ++col) {
                if (rows[row] & (0x10 >> col)) FillRect(gx + col * nScale, y + row * nScale, nScale, nScale, c);
            }
        }
    }
}

void cDemoCanvas::OutlinedText(int32_t x, int32_t y, const std::string& text, int32_t nScale,
                               uint8_t c, uint8_t outline)
{
    const int32_t u = std::max(1, nScale / 2);
    for (int32_t dy = -u; dy <= u; dy += u) {
        for (int32_t dx = -u; dx <= u; dx += u) {
            if (dx != 0 || dy != 0) Text(x + dx, y + dy, text, nScale, outline);
        }
    }
    Text(x, y, text, nScale, c);
}

std::vector<uint8_t> cDemoCanvas::EncodeBitmap() const
{
    const uint32_t nStride = (static_cast<uint32_t>(m_nWidth) + 3u) & ~3u;
    const uint32_t nOffBits = 14 + 40 + 256 * 4;
    const uint32_t nImage = nStride * static_cast<uint32_t>(m_nHeight);
    std::vector<uint8_t> v;
    v.reserve(nOffBits + nImage);
    v.push_back('B');
    v.push_back('M');
    PutLE32(v, nOffBits + nImage);
    PutLE32(v, 0);
    PutLE32(v, nOffBits);
    PutLE32(v, 40);
    PutLE32(v, static_cast<uint32_t>(m_nWidth));
    PutLE32(v, static_cast<uint32_t>(m_nHeight));
    PutLE16(v, 1);
    PutLE16(v, 8);
    PutLE32(v, 0);        // no compression
    PutLE32(v, nImage);
    PutLE32(v, 2835);     // 72 dots per inch
    PutLE32(v, 2835);
    PutLE32(v, 256);
    PutLE32(v, 0);
    for (const DemoColour& c : DemoPalette()) {
        v.push_back(c.b);
        v.push_back(c.g);
        v.push_back(c.r);
        v.push_back(0);
    }
    for (int32_t y = m_nHeight - 1; y >= 0; --y) {
        const uint8_t* row = &m_vPixels[static_cast<size_t>(y) * m_nWidth];
        v.insert(v.end(), row, row + m_nWidth);
        for (uint32_t pad = static_cast<uint32_t>(m_nWidth); pad < nStride; ++pad) v.push_back(0);
    }
    return v;
}

bool cDemoCanvas::SaveBitmap(const char* path) const
{
    return WriteProjectFile(path, EncodeBitmap());
}
