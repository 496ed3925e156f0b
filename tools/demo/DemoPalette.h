#pragma once
// The demo project's 256-colour palette. Index 0 is the transparent colour; 16..207 are twelve
// ramps of sixteen shades (dark to light) that the 8-bit palette patterns rotate; 240 is the
// window frame colour and 241 the text colour the default fonts use.
#include <array>
#include <cstdint>

struct DemoColour {
    uint8_t r, g, b;
};

using DemoPaletteTable = std::array<DemoColour, 256>;

// Ramp numbers of the shade ramps: shade 0 is the darkest, 15 the lightest.
enum DemoRamp : int32_t {
    RampGrey = 0, RampRed, RampOrange, RampYellow, RampLime, RampGreen, RampTeal, RampCyan,
    RampSky, RampBlue, RampPurple, RampBrown,
};

// Palette index of shade s (0..15) of ramp r.
constexpr uint8_t Shade(int32_t nRamp, int32_t nShade)
{
    return static_cast<uint8_t>(16 + nRamp * 16 + nShade);
}

constexpr uint8_t ColTransparent = 0;
constexpr uint8_t ColBlack = 16;        // shade 0 of the grey ramp
constexpr uint8_t ColWhite = 31;
constexpr uint8_t ColSkin = 208;
constexpr uint8_t ColSkinShadow = 209;
constexpr uint8_t ColSkyTop = 210;      // 210..225: a sky gradient, top to horizon
constexpr uint8_t ColFrame = 240;
constexpr uint8_t ColText = 241;

const DemoPaletteTable& DemoPalette();

// The palette as the 8-bit display arranges it for palette pattern p (0..23): patterns 0..11
// rotate the ramps, patterns 12..23 repeat one ramp twelve times.
DemoPaletteTable DemoPaletteForPattern(int32_t nPattern);

// The lowest index (1..255) whose colour is nearest to (r, g, b) in the given palette.
uint8_t NearestIndex(const DemoPaletteTable& palette, int32_t r, int32_t g, int32_t b);

// The 65,536-byte blend table of a palette: entry [a * 256 + b] is the index nearest to the even
// mix of colours a and b; the transparent colour mixes as the other colour.
void BuildBlendTable(const DemoPaletteTable& palette, uint8_t* lpTable);
