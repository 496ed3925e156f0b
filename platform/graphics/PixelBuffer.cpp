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
    const size_t bytes = static_cast<size_t>(right - left) * bpp;
    // The first row is written pixel by pixel, the others are copies of it.
    uint8_t* first = Row(top) + left * bpp;
    if (bpp == 1) {
        std::memset(first, static_cast<int>(raw & 0xFF), bytes);
    } else {
        uint8_t pixel[4];
        for (int32_t k = 0; k < 4; ++k) pixel[k] = static_cast<uint8_t>(raw >> (8 * k));
        for (size_t at = 0; at < bytes; at += bpp) std::memcpy(first + at, pixel, static_cast<size_t>(bpp));
    }
    for (int32_t y = top + 1; y < bottom; ++y) std::memcpy(Row(y) + left * bpp, first, bytes);
}

bool cPixelBuffer::CopyFrom(const cPixelBuffer& other) {
    if (other.m_Format != m_Format || other.m_nWidth != m_nWidth || other.m_nHeight != m_nHeight) return false;
    if (&other != this && !m_vBits.empty()) std::memcpy(m_vBits.data(), other.m_vBits.data(), m_vBits.size());
    return true;
}

bool cPixelBuffer::Swap(cPixelBuffer& other) {
    if (other.m_Format != m_Format || other.m_nWidth != m_nWidth || other.m_nHeight != m_nHeight) return false;
    m_vBits.swap(other.m_vBits);
    return true;
}
