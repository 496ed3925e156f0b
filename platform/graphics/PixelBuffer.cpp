#include "platform/graphics/PixelBuffer.h"

#include <algorithm>
#include <cstring>

int32_t PixelFormatBytes(PixelFormat format) {
    switch (format) {
    case PixelFormat::P8: return 1;
    case PixelFormat::R5G6B5:
    case PixelFormat::X1R5G5B5:
    case PixelFormat::A1R5G5B5: return 2;
    case PixelFormat::R8G8B8: return 3;
    case PixelFormat::X8R8G8B8:
    case PixelFormat::A8R8G8B8: return 4;
    case PixelFormat::Unknown: break;
    }
    return 0;
}

int32_t PixelFormatBits(PixelFormat format) { return PixelFormatBytes(format) * 8; }

bool PixelFormatHasAlpha(PixelFormat format) {
    return format == PixelFormat::A1R5G5B5 || format == PixelFormat::A8R8G8B8;
}

namespace {
inline uint32_t Widen5(uint32_t c) { return (c << 3) | (c >> 2); }
inline uint32_t Widen6(uint32_t c) { return (c << 2) | (c >> 4); }
}  // namespace

uint32_t PixelToArgb(PixelFormat format, uint32_t raw) {
    switch (format) {
    case PixelFormat::P8: return raw & 0xFF;
    case PixelFormat::R5G6B5:
        return 0xFF000000u | Widen5((raw >> 11) & 31) << 16 | Widen6((raw >> 5) & 63) << 8 | Widen5(raw & 31);
    case PixelFormat::X1R5G5B5:
    case PixelFormat::A1R5G5B5: {
        const uint32_t a = (format == PixelFormat::X1R5G5B5 || (raw & 0x8000)) ? 0xFF000000u : 0;
        return a | Widen5((raw >> 10) & 31) << 16 | Widen5((raw >> 5) & 31) << 8 | Widen5(raw & 31);
    }
    case PixelFormat::R8G8B8:
    case PixelFormat::X8R8G8B8: return 0xFF000000u | (raw & 0xFFFFFF);
    case PixelFormat::A8R8G8B8: return raw;
    case PixelFormat::Unknown: break;
    }
    return 0;
}

uint32_t ArgbToPixel(PixelFormat format, uint32_t argb) {
    const uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    switch (format) {
    case PixelFormat::P8: return argb & 0xFF;
    case PixelFormat::R5G6B5: return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    case PixelFormat::X1R5G5B5: return 0x8000 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    case PixelFormat::A1R5G5B5: return (a >= 128 ? 0x8000u : 0u) | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    case PixelFormat::R8G8B8: return argb & 0xFFFFFF;
    case PixelFormat::X8R8G8B8: return 0xFF000000u | (argb & 0xFFFFFF);
    case PixelFormat::A8R8G8B8: return argb;
    case PixelFormat::Unknown: break;
    }
    return 0;
}

void cPixelBuffer::Allocate(PixelFormat format, int32_t width, int32_t height) {
    m_Format = format;
    m_nWidth = std::max(width, 0);
    m_nHeight = std::max(height, 0);
    m_nPitch = (m_nWidth * PixelFormatBytes(format) + 3) & ~3;
    m_vBits.assign(static_cast<size_t>(m_nPitch) * m_nHeight, 0);
}

void cPixelBuffer::Free() {
    m_vBits.clear();
    m_vBits.shrink_to_fit();
    m_nWidth = m_nHeight = m_nPitch = 0;
}

uint32_t cPixelBuffer::ReadRaw(int32_t x, int32_t y) const {
    const uint8_t* p = Row(y) + x * BytesPerPixel();
    switch (BytesPerPixel()) {
    case 1: return p[0];
    case 2: return static_cast<uint32_t>(p[0] | p[1] << 8);
    case 3: return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16);
    case 4: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    default: return 0;
    }
}

void cPixelBuffer::WriteRaw(int32_t x, int32_t y, uint32_t raw) {
    uint8_t* p = Row(y) + x * BytesPerPixel();
    switch (BytesPerPixel()) {
    case 1: p[0] = static_cast<uint8_t>(raw); break;
    case 2:
        p[0] = static_cast<uint8_t>(raw);
        p[1] = static_cast<uint8_t>(raw >> 8);
        break;
    case 3:
        p[0] = static_cast<uint8_t>(raw);
        p[1] = static_cast<uint8_t>(raw >> 8);
        p[2] = static_cast<uint8_t>(raw >> 16);
        break;
    case 4: std::memcpy(p, &raw, 4); break;
    default: break;
    }
}

void cPixelBuffer::FillRaw(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t raw) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, m_nWidth);
    bottom = std::min(bottom, m_nHeight);
    if (left >= right || top >= bottom) return;
    const int32_t bpp = BytesPerPixel();
    for (int32_t y = top; y < bottom; ++y) {
        if (bpp == 1) {
            std::memset(Row(y) + left, static_cast<int>(raw & 0xFF), static_cast<size_t>(right - left));
            continue;
        }
        for (int32_t x = left; x < right; ++x) WriteRaw(x, y, raw);
    }
}

bool cPixelBuffer::CopyFrom(const cPixelBuffer& other) {
    if (other.m_Format != m_Format || other.m_nWidth != m_nWidth || other.m_nHeight != m_nHeight) return false;
    m_vBits = other.m_vBits;
    return true;
}
