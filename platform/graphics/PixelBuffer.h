#pragma once
// A CPU pixel buffer in one of the formats the graphics stand-ins keep: the storage behind
// Direct3D surfaces and textures, DirectDraw surfaces and device-independent bitmaps.
#include <cstddef>
#include <cstdint>
#include <cstring>
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
inline uint32_t PixelToArgb(PixelFormat format, uint32_t raw) {
    auto widen5 = [](uint32_t c) { return (c << 3) | (c >> 2); };
    auto widen6 = [](uint32_t c) { return (c << 2) | (c >> 4); };
    switch (format) {
    case PixelFormat::P8: return raw & 0xFF;
    case PixelFormat::R5G6B5:
        return 0xFF000000u | widen5((raw >> 11) & 31) << 16 | widen6((raw >> 5) & 63) << 8 | widen5(raw & 31);
    case PixelFormat::X1R5G5B5:
    case PixelFormat::A1R5G5B5: {
        const uint32_t a = (format == PixelFormat::X1R5G5B5 || (raw & 0x8000)) ? 0xFF000000u : 0;
        return a | widen5((raw >> 10) & 31) << 16 | widen5((raw >> 5) & 31) << 8 | widen5(raw & 31);
    }
    case PixelFormat::R8G8B8:
    case PixelFormat::X8R8G8B8: return 0xFF000000u | (raw & 0xFFFFFF);
    case PixelFormat::A8R8G8B8: return raw;
    case PixelFormat::Unknown: break;
    }
    return 0;
}

// X8R8G8B8 pixels keep 0 in their unused top byte, whoever writes them, so whole pixels compare
// equal to colour keys and fills made of the same colour.
inline uint32_t ArgbToPixel(PixelFormat format, uint32_t argb) {
    const uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    switch (format) {
    case PixelFormat::P8: return argb & 0xFF;
    case PixelFormat::R5G6B5: return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    case PixelFormat::X1R5G5B5: return 0x8000 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    case PixelFormat::A1R5G5B5: return (a >= 128 ? 0x8000u : 0u) | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    case PixelFormat::R8G8B8:
    case PixelFormat::X8R8G8B8: return argb & 0xFFFFFF;
    case PixelFormat::A8R8G8B8: return argb;
    case PixelFormat::Unknown: break;
    }
    return 0;
}

// The raw value of a pixel stored at p, for a format known where the loop is compiled.
template <PixelFormat F>
inline uint32_t LoadRaw(const uint8_t* p) {
    if constexpr (F == PixelFormat::P8) {
        return p[0];
    } else if constexpr (F == PixelFormat::R8G8B8) {
        return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16);
    } else if constexpr (F == PixelFormat::X8R8G8B8 || F == PixelFormat::A8R8G8B8) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    } else {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
}

template <PixelFormat F>
inline void StoreRaw(uint8_t* p, uint32_t raw) {
    if constexpr (F == PixelFormat::P8) {
        p[0] = static_cast<uint8_t>(raw);
    } else if constexpr (F == PixelFormat::R8G8B8) {
        p[0] = static_cast<uint8_t>(raw);
        p[1] = static_cast<uint8_t>(raw >> 8);
        p[2] = static_cast<uint8_t>(raw >> 16);
    } else if constexpr (F == PixelFormat::X8R8G8B8 || F == PixelFormat::A8R8G8B8) {
        std::memcpy(p, &raw, 4);
    } else {
        const uint16_t v = static_cast<uint16_t>(raw);
        std::memcpy(p, &v, 2);
    }
}

template <PixelFormat F>
constexpr int32_t FormatBytes() {
    if constexpr (F == PixelFormat::P8) return 1;
    else if constexpr (F == PixelFormat::R8G8B8) return 3;
    else if constexpr (F == PixelFormat::X8R8G8B8 || F == PixelFormat::A8R8G8B8) return 4;
    else return 2;
}

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
    // Exchanges the pixels of two buffers of the same format and size (false when they differ).
    bool Swap(cPixelBuffer& other);

private:
    PixelFormat m_Format = PixelFormat::Unknown;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nPitch = 0;
    std::vector<uint8_t> m_vBits;
};
