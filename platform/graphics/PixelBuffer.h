#pragma once
// A CPU pixel buffer in one of the formats the graphics stand-ins keep: the storage behind
// Direct3D surfaces and textures, DirectDraw surfaces and device-independent bitmaps.
#include <cstddef>
#include <cstdint>
#include <vector>

enum class PixelFormat : uint8_t {
    Unknown,
    P8,         // one byte: palette index
    R5G6B5,
    X1R5G5B5,
    A1R5G5B5,
    R8G8B8,     // three bytes: blue, green, red
    X8R8G8B8,
    A8R8G8B8,
};

int32_t PixelFormatBytes(PixelFormat format);
int32_t PixelFormatBits(PixelFormat format);
bool PixelFormatHasAlpha(PixelFormat format);

// Conversions between a raw pixel value of a format and 0xAARRGGBB. Narrow channels widen by
// repeating their high bits (31 -> 255); wide channels narrow by dropping low bits. Formats
// without alpha read as opaque. P8 values pass through unchanged in both directions.
uint32_t PixelToArgb(PixelFormat format, uint32_t raw);
uint32_t ArgbToPixel(PixelFormat format, uint32_t argb);

class cPixelBuffer {
public:
    cPixelBuffer() = default;
    cPixelBuffer(PixelFormat format, int32_t width, int32_t height) { Allocate(format, width, height); }

    // Rows are padded to four bytes, as the platform's surfaces are.
    void Allocate(PixelFormat format, int32_t width, int32_t height);
    void Free();
    bool Empty() const { return m_vBits.empty(); }

    PixelFormat Format() const { return m_Format; }
    int32_t Width() const { return m_nWidth; }
    int32_t Height() const { return m_nHeight; }
    int32_t Pitch() const { return m_nPitch; }
    int32_t BytesPerPixel() const { return PixelFormatBytes(m_Format); }
    uint8_t* Bits() { return m_vBits.data(); }
    const uint8_t* Bits() const { return m_vBits.data(); }
    uint8_t* Row(int32_t y) { return m_vBits.data() + static_cast<size_t>(y) * m_nPitch; }
    const uint8_t* Row(int32_t y) const { return m_vBits.data() + static_cast<size_t>(y) * m_nPitch; }
    bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < m_nWidth && y < m_nHeight; }

    uint32_t ReadRaw(int32_t x, int32_t y) const;
    void WriteRaw(int32_t x, int32_t y, uint32_t raw);
    uint32_t ReadArgb(int32_t x, int32_t y) const { return PixelToArgb(m_Format, ReadRaw(x, y)); }
    void WriteArgb(int32_t x, int32_t y, uint32_t argb) { WriteRaw(x, y, ArgbToPixel(m_Format, argb)); }

    // Fills the rectangle [left, right) x [top, bottom), clipped to the buffer, with a raw value.
    void FillRaw(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t raw);
    // Copies another buffer of the same format and size (false when they differ).
    bool CopyFrom(const cPixelBuffer& other);

private:
    PixelFormat m_Format = PixelFormat::Unknown;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nPitch = 0;
    std::vector<uint8_t> m_vBits;
};
