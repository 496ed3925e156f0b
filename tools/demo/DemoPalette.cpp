#include "tools/demo/DemoPalette.h"

#include <algorithm>
#include <unordered_map>

namespace {

// Mid colours of the eleven coloured ramps; each ramp runs from near black through the mid
// colour (shade 8) to near white.
constexpr DemoColour kRampMid[12] = {
    {128, 128, 128}, {220, 40, 40},  {240, 130, 30}, {245, 215, 40},
    {140, 210, 40},  {40, 160, 60},  {30, 150, 140}, {40, 200, 230},
    {90, 160, 240},  {40, 70, 210},  {150, 70, 200}, {150, 95, 50},
};

uint8_t Mix(int32_t a, int32_t b, int32_t nNum, int32_t nDen)
{
    return static_cast<uint8_t>(a + (b - a) * nNum / nDen);
}

DemoPaletteTable MakePalette()
{
    DemoPaletteTable p{};
    p[0] = {255, 0, 255};
    // 1..15: a few plain colours for fills and the editor's first row.
    const DemoColour kBasics[15] = {
        {0, 0, 0},     {255, 255, 255}, {255, 0, 0},   {0, 255, 0},   {0, 0, 255},
        {255, 255, 0}, {0, 255, 255},   {128, 0, 0},   {0, 128, 0},   {0, 0, 128},
        {128, 128, 0}, {0, 128, 128},   {128, 0, 128}, {192, 192, 192}, {64, 64, 64},
    };
    for (int32_t i = 0; i < 15; ++i) p[1 + i] = kBasics[i];
    for (int32_t r = 0; r < 12; ++r) {
        const DemoColour m = kRampMid[r];
        for (int32_t s = 0; s < 16; ++s) {
            DemoColour c;
            if (r == 0) {
                const uint8_t v = static_cast<uint8_t>(s * 17);
                c = {v, v, v};
            } else if (s <= 8) {
                // From a dark tint of the colour up to the colour itself.
                c = {Mix(m.r / 8, m.r, s, 8), Mix(m.g / 8, m.g, s, 8), Mix(m.b / 8, m.b, s, 8)};
            } else {
                c = {Mix(m.r, 250, s - 8, 8), Mix(m.g, 250, s - 8, 8), Mix(m.b, 250, s - 8, 8)};
            }
            p[Shade(r, s)] = c;
        }
    }
    p[ColSkin] = {250, 200, 160};
    p[ColSkinShadow] = {215, 150, 115};
    for (int32_t i = 0; i < 16; ++i) {
        // Sky: deep blue at the top to a pale haze at the horizon.
        p[ColSkyTop + i] = {Mix(60, 190, i, 15), Mix(110, 225, i, 15), Mix(210, 250, i, 15)};
    }
    for (int32_t i = 226; i < 240; ++i) {
        // Spare entries: a warm sunset ramp used by the title picture.
        const int32_t k = i - 226;
        p[i] = {Mix(250, 120, k, 13), Mix(180, 50, k, 13), Mix(90, 120, k, 13)};
    }
    p[ColFrame] = {200, 220, 255};
    p[ColText] = {255, 255, 254};
    for (int32_t i = 242; i < 256; ++i) {
        const uint8_t v = static_cast<uint8_t>(20 + (i - 242) * 8);
        p[i] = {v, static_cast<uint8_t>(v / 2), static_cast<uint8_t>(v + 40)};
    }
    return p;
}

}   // namespace

const DemoPaletteTable& DemoPalette()
{
    static const DemoPaletteTable table = MakePalette();
    return table;
}

DemoPaletteTable DemoPaletteForPattern(int32_t nPattern)
{
    const DemoPaletteTable& base = DemoPalette();
    DemoPaletteTable out = base;
    if (nPattern >= 0 && nPattern <= 11) {
        const int32_t n = nPattern * 16;
        for (int32_t j = 0; j < 192; ++j) out[16 + j] = base[16 + (j + n) % 192];
    } else if (nPattern >= 12 && nPattern <= 23) {
        const int32_t nFirst = (nPattern - 11) * 16;
        for (int32_t j = 0; j < 192; ++j) out[16 + j] = base[nFirst + j % 16];
    }
    return out;
}

uint8_t NearestIndex(const DemoPaletteTable& palette, int32_t r, int32_t g, int32_t b)
{
    int32_t nBest = 1;
    int32_t nBestDistance = 0x7FFFFFFF;
    for (int32_t i = 1; i < 256; ++i) {
        const int32_t dr = palette[i].r - r, dg = palette[i].g - g, db = palette[i].b - b;
        const int32_t d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
        if (d < nBestDistance) {
            nBestDistance = d;
            nBest = i;
            if (d == 0) break;
        }
    }
    return static_cast<uint8_t>(nBest);
}

void BuildBlendTable(const DemoPaletteTable& palette, uint8_t* lpTable)
{
    // Many pairs mix to the same colour; each colour is searched for once.
    std::unordered_map<uint32_t, uint8_t> nearest;
    for (int32_t a = 0; a < 256; ++a) {
        for (int32_t b = a; b < 256; ++b) {
            uint8_t v;
            if (a == 0) v = static_cast<uint8_t>(b);
            else if (a == b) v = static_cast<uint8_t>(a);
            else {
                const int32_t r = (palette[a].r + palette[b].r) / 2, g = (palette[a].g + palette[b].g) / 2,
                              bl = (palette[a].b + palette[b].b) / 2;
                const uint32_t key = static_cast<uint32_t>(r << 16 | g << 8 | bl);
                const auto found = nearest.find(key);
                if (found != nearest.end()) v = found->second;
                else v = nearest[key] = NearestIndex(palette, r, g, bl);
            }
            lpTable[a * 256 + b] = v;
            lpTable[b * 256 + a] = v;
        }
    }
}
