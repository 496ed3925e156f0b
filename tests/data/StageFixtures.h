#pragma once
// Byte builders for definition, palette and stage bodies, written field by field in file order
// so that tests can state files of any format version byte for byte.
#include <cstdint>
#include <string>
#include <vector>

#include "RecordTestUtil.h"

// Index of the first byte where two buffers differ (the shorter length when one is a prefix of the
// other; the common length when they are equal), to say where a byte-exact comparison went wrong.
inline size_t FirstDifference(const Bytes& a, const Bytes& b)
{
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return i;
}

// One scalar field block: its width, the first version that stores it and its value.
struct FixtureField {
    int nWidth;       // 1, 2, 4 or 8 (8: a double)
    uint32_t nFrom;   // first version that stores the field
    double dValue;
};

inline void AppendFields(Bytes& b, const std::vector<FixtureField>& fields, uint32_t nVersion)
{
    uint32_t n = 0;
    for (const FixtureField& f : fields) n += f.nFrom <= nVersion ? 1 : 0;
    AppendU32(b, n);
    for (const FixtureField& f : fields) {
        if (f.nFrom > nVersion) continue;
        switch (f.nWidth) {
        case 1: AppendU8(b, static_cast<uint8_t>(static_cast<int64_t>(f.dValue))); break;
        case 2: AppendU16(b, static_cast<uint16_t>(static_cast<int64_t>(f.dValue))); break;
        case 4: AppendU32(b, static_cast<uint32_t>(static_cast<int64_t>(f.dValue))); break;
        default: AppendDouble(b, f.dValue); break;
        }
    }
}

inline void AppendFlags(Bytes& b, const std::vector<int8_t>& flags)
{
    AppendU32(b, static_cast<uint32_t>(flags.size()));
    for (int8_t f : flags) AppendU8(b, static_cast<uint8_t>(f));
}

// ---- blocks ----

struct BlockFixture {
    int8_t nInheritFrom = 0;
    int16_t nParent = 0;
    int16_t nGraphicIndex = 0;
    int8_t nGraphicKind = 0;
    int8_t nHit = 1;
    int8_t nHitExcept = -1;
    int8_t nItemFrom = 0;
    int16_t nItem = 0;
    int8_t nLayer = 0;
    std::string strName;
    int16_t nX = 0, nY = 0;
    std::vector<int8_t> vFlags = std::vector<int8_t>(11, 0);
};

inline Bytes BlockBody(const BlockFixture& k)
{
    Bytes b;
    AppendFields(b,
                 {{1, 0, double(k.nInheritFrom)}, {2, 0, double(k.nParent)}, {1, 0, 0}, {1, 0, 0},
                  {2, 0, double(k.nGraphicIndex)}, {1, 0, double(k.nGraphicKind)}, {2, 0, 0},
                  {1, 0, double(k.nLayer)}, {1, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, 0, double(k.nHit)},
                  {1, 0, double(k.nHitExcept)}, {1, 0, 0}, {4, 0, 0}, {1, 0, double(k.nItemFrom)},
                  {2, 0, double(k.nItem)}, {1, 0, 0}},
                 751);
    AppendU32(b, 1);
    AppendString(b, k.strName);
    AppendU16(b, static_cast<uint16_t>(k.nX));
    AppendU16(b, static_cast<uint16_t>(k.nY));
    AppendFlags(b, k.vFlags);
    AppendU32(b, 0);   // conditions
    return b;
}

// A default block as a save writes it: without a graphic it is not solid.
inline BlockFixture SavedDefaultBlock(int16_t nX = 0)
{
    BlockFixture block;
    block.nHit = 0;
    block.nX = nX;
    return block;
}

// ---- characters ----

struct CharaFixture {
    int8_t nInheritFrom = 0;
    int16_t nParent = 0;
    int16_t nGraphicIndex = 0;
    int8_t nGraphicKind = 1;
    int8_t nController = 1;
    int8_t nRepeat = 0;
    int8_t nGiant = 1;
    int8_t nHitRange = 0;
    int32_t nMaxHP = 10;
    int32_t nDef = 0;
    int8_t bScrollSync = 0;
    int8_t nInvincibleSub = 0;
    std::string strName;
    int16_t nX = 0, nY = 0;
    int32_t nCarriedItem = 0;
    std::vector<int8_t> vFlags = std::vector<int8_t>(37, 0);
};

inline Bytes CharaBody(const CharaFixture& k, uint32_t nVersion = 751)
{
    Bytes b;
    AppendFields(b,
                 {{1, 0, double(k.nInheritFrom)}, {2, 0, double(k.nParent)}, {1, 0, 0}, {1, 0, 0},
                  {1, 0, 0}, {1, 0, double(k.nRepeat)}, {2, 0, 0}, {2, 0, 0}, {2, 0, 0}, {2, 0, 0},
                  {1, 0, 0}, {1, 0, 0}, {2, 0, double(k.nGraphicIndex)}, {1, 0, double(k.nGraphicKind)},
                  {2, 0, 0}, {2, 0, 0}, {1, 0, 3}, {1, 0, 0}, {2, 0, 0}, {1, 196, 0}, {1, 0, 1},
                  {2, 0, 0}, {1, 196, 0}, {1, 0, 0}, {2, 0, 0}, {1, 0, double(k.nController)},
                  {1, 0, 0}, {1, 0, 1}, {1, 0, 0}, {1, 0, 0}, {1, 0, 1}, {1, 0, 0},
                  {1, 285, double(k.nInvincibleSub)}, {1, 0, 0}, {1, 0, double(k.nGiant)},
                  {1, 210, double(k.bScrollSync)}, {1, 0, 0}, {1, 0, 0}, {4, 0, double(k.nMaxHP)},
                  {4, 0, 0}, {2, 0, 10}, {1, 201, double(k.nHitRange)}, {4, 0, 0}, {1, 0, 0},
                  {2, 0, 0}, {4, 168, double(k.nDef)}, {1, 0, 0}, {4, 0, 0}, {1, 0, 1}, {1, 0, 0},
                  {2, 0, 0}, {1, 0, 0}, {1, 0, 0}},
                 nVersion);
    AppendU32(b, 1);
    AppendString(b, k.strName);
    AppendU16(b, static_cast<uint16_t>(k.nX));
    AppendU16(b, static_cast<uint16_t>(k.nY));
    AppendU32(b, static_cast<uint32_t>(k.nCarriedItem));
    AppendFlags(b, k.vFlags);
    AppendU32(b, 0);   // conditions
    AppendU32(b, 0);   // flows
    return b;
}

// ---- items ----

struct ItemFixture {
    int8_t nInheritFrom = 0;
    int16_t nParent = 0;
    int16_t nGraphicIndex = 0;
    int8_t nGraphicKind = 2;
    int8_t bShowOnTake = 1;
    int8_t nTakeMode = 0;
    int8_t nGiant = 1;
    int16_t nSound = 0;
    std::string strName;
    int16_t nX = 0, nY = 0;
    std::vector<int8_t> vFlags = std::vector<int8_t>(13, 0);
};

inline Bytes ItemBody(const ItemFixture& k)
{
    Bytes b;
    AppendFields(b,
                 {{1, 0, double(k.nInheritFrom)}, {2, 0, double(k.nParent)}, {1, 0, 0}, {1, 0, 0},
                  {2, 0, 0}, {2, 0, 0}, {2, 0, double(k.nGraphicIndex)}, {1, 0, double(k.nGraphicKind)},
                  {2, 0, 0}, {1, 0, 6}, {1, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, 0, double(k.bShowOnTake)},
                  {1, 0, double(k.nTakeMode)}, {1, 0, double(k.nGiant)}, {2, 0, double(k.nSound)}},
                 751);
    AppendU32(b, 1);
    AppendString(b, k.strName);
    AppendU16(b, static_cast<uint16_t>(k.nX));
    AppendU16(b, static_cast<uint16_t>(k.nY));
    AppendFlags(b, k.vFlags);
    AppendU32(b, 0);   // conditions
    AppendU32(b, 0);   // item commands
    return b;
}

// ---- stages ----

// The 98 scalar blocks of a stage with the defaults of a new stage, in file order.
inline std::vector<FixtureField> StageScalarDefaults()
{
    std::vector<FixtureField> f = {
        {4, 0, 0},   {4, 0, 0},   {4, 0, 0},   {4, 0, 0},   {4, 0, 0},   {4, 0, 0},   {4, 0, 0},
        {4, 0, 0},   {4, 0, 0},   {4, 0, 0},   {4, 0, 0},   {4, 0, 0},   {4, 0, 60},  {4, 0, 0},
        {4, 0, 200}, {4, 0, 20},  {4, 0, 0},   {4, 0, 0},   {4, 0, 0},   {4, 0, 0},   {8, 0, 0.4},
        {4, 0, 10},  {4, 0, 0},   {4, 0, 0},   {4, 166, 0}, {4, 199, 0}, {4, 0, 1},   {4, 0, 0},
        {4, 0, 0},   {4, 183, 1}, {4, 184, 0}, {4, 0, 0},   {4, 225, 1}, {4, 0, 1},   {4, 0, 1},
        {4, 200, 16}, {4, 200, 24}, {4, 200, 16}, {4, 200, 16}, {4, 0, 16}, {4, 0, 24}, {4, 155, 16},
        {4, 155, 16}, {4, 0, 12}, {4, 0, 8},  {4, 0, 16},  {4, 0, 16},  {4, 200, 1}, {4, 200, 0},
        {4, 155, 1}, {4, 155, 0}, {4, 200, 0}, {4, 0, 0},   {4, 0, 0},   {4, 0, 0},   {4, 200, 0},
        {4, 0, 0},   {4, 0, 0},   {4, 0, 0},   {4, 200, 16}, {4, 200, 24}, {4, 200, 16}, {4, 200, 16},
        {4, 0, 12},  {4, 0, 24},  {4, 155, 12}, {4, 155, 16}, {4, 0, 30},  {4, 0, 30},  {4, 200, 1},
        {4, 200, 0}, {4, 155, 1}, {4, 155, 0}, {4, 0, 28},  {4, 0, 28},  {4, 0, 16},  {4, 0, 16},
        {4, 0, 16},  {4, 0, 16},  {4, 0, 16},  {4, 0, 16},  {4, 0, 16},  {4, 0, 16},  {4, 0, 1},
        {4, 0, 0},   {4, 0, 0},   {4, 0, 0},   {8, 0, 0},   {8, 0, 0},   {8, 0, 0},   {8, 0, 0},
        {8, 0, 0},   {4, 0, 0},   {4, 0, 1},   {4, 0, 30},  {4, 0, 0},   {4, 0, 30},  {4, 0, 0}};
    return f;
}

// One background body: shown, colour fill, fill colour, layer, factors, auto scrolls, offsets, file.
struct BackgroundFixture {
    int32_t bShown = 1, bColorFill = 0, nFillColor = 16, nLayer = 0;
    double dFactorX = 0.1, dFactorY = 0.1;
    int32_t bAutoX = 0, bAutoY = 0;
    double dOffsetX = 0.0, dOffsetY = 0.0;
    std::string strFile;
};

inline Bytes BackgroundBody(const BackgroundFixture& k)
{
    Bytes b;
    AppendU32(b, 10);
    AppendU32(b, static_cast<uint32_t>(k.bShown));
    AppendU32(b, static_cast<uint32_t>(k.bColorFill));
    AppendU32(b, static_cast<uint32_t>(k.nFillColor));
    AppendU32(b, static_cast<uint32_t>(k.nLayer));
    AppendDouble(b, k.dFactorX);
    AppendDouble(b, k.dFactorY);
    AppendU32(b, static_cast<uint32_t>(k.bAutoX));
    AppendU32(b, static_cast<uint32_t>(k.bAutoY));
    AppendDouble(b, k.dOffsetX);
    AppendDouble(b, k.dOffsetY);
    AppendU32(b, 1);
    AppendString(b, k.strFile);
    return b;
}

// Scroll ranges of a new stage: three empty, then all sides checked with margins 0 and 10.
inline std::vector<std::vector<int32_t>> DefaultScrollRanges()
{
    return {{0, 0, 0, 0, 0, 0, 0, 0},
            {0, 0, 0, 0, 0, 0, 0, 0},
            {0, 0, 0, 0, 0, 0, 0, 0},
            {1, 1, 1, 1, 0, 0, 0, 0},
            {1, 1, 1, 1, 10, 10, 10, 10}};
}

struct StageFixture {
    uint32_t nVersion = 751;
    std::vector<FixtureField> vScalars = StageScalarDefaults();
    std::string strName;
    std::vector<int32_t> vResultKind = {1, 1, 1, 1, 1};
    // Eight values each, in member order; a file before 125 stores the left check and the margins.
    std::vector<std::vector<int32_t>> vRanges = DefaultScrollRanges();
    std::vector<Bytes> vPaletteBlock = {BlockBody({}), BlockBody({})};
    std::vector<CharaFixture> vPaletteChara = {CharaFixture{}, CharaFixture{}};
    std::vector<Bytes> vPaletteItem = {ItemBody({}), ItemBody({})};
    std::vector<Bytes> vBlock, vItem;
    std::vector<CharaFixture> vChara;
    std::vector<Bytes> vBackground = {BackgroundBody({})};
    std::vector<std::string> vText;
    bool bTrailer = true;   // written when the version has one
};

inline Bytes StageBody(const StageFixture& s)
{
    Bytes b;
    AppendFields(b, s.vScalars, s.nVersion);
    AppendU32(b, 1);
    AppendString(b, s.strName);
    AppendU32(b, static_cast<uint32_t>(s.vResultKind.size()));
    for (int32_t v : s.vResultKind) AppendU32(b, static_cast<uint32_t>(v));
    for (const std::vector<int32_t>& r : s.vRanges) {
        if (s.nVersion >= 125) {
            AppendU32(b, 8);
            for (int32_t v : r) AppendU32(b, static_cast<uint32_t>(v));
        } else {
            AppendU32(b, 5);
            AppendU32(b, static_cast<uint32_t>(r[0]));
            for (int j = 4; j < 8; ++j) AppendU32(b, static_cast<uint32_t>(r[static_cast<size_t>(j)]));
        }
        AppendU32(b, 0);
    }
    // Character bodies are written in the layout of the file's version.
    std::vector<Bytes> vPaletteCharaBodies, vCharaBodies;
    for (const CharaFixture& c : s.vPaletteChara) vPaletteCharaBodies.push_back(CharaBody(c, s.nVersion));
    for (const CharaFixture& c : s.vChara) vCharaBodies.push_back(CharaBody(c, s.nVersion));
    const std::vector<Bytes>& vPaletteChara = vPaletteCharaBodies;
    const std::vector<Bytes>& vChara = vCharaBodies;
    for (const std::vector<Bytes>* v : {&s.vPaletteBlock, &vPaletteChara, &s.vPaletteItem}) {
        AppendU32(b, static_cast<uint32_t>(v->size()));
        for (const Bytes& e : *v) b.insert(b.end(), e.begin(), e.end());
    }
    for (const std::vector<Bytes>* v : {&s.vBlock, &vChara, &s.vItem}) {
        AppendU32(b, static_cast<uint32_t>(v->size()));
        for (const Bytes& e : *v) {
            AppendU32(b, 0);
            b.insert(b.end(), e.begin(), e.end());
        }
    }
    AppendU32(b, static_cast<uint32_t>(s.vBackground.size()));
    for (const Bytes& e : s.vBackground) b.insert(b.end(), e.begin(), e.end());
    AppendU32(b, static_cast<uint32_t>(s.vText.size()));
    for (const std::string& t : s.vText) {
        AppendU32(b, 0);
        AppendU32(b, 1);
        AppendString(b, t);
    }
    if (s.bTrailer && s.nVersion >= 173) AppendU32(b, 123456789);
    return b;
}

// A whole stage file: version, body, trailer.
inline Bytes StageFile(const StageFixture& s)
{
    Bytes b;
    AppendU32(b, s.nVersion);
    const Bytes body = StageBody(s);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// A placed hero: a player-controlled character with a graphic.
inline CharaFixture HeroFixture()
{
    CharaFixture hero;
    hero.nController = 0;
    hero.nGraphicIndex = 4;
    hero.strName = "hero";
    return hero;
}
