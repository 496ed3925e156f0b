// Character effects as they land in pixels, on every back end and depth: a character with a small
// sprite of distinct colours and transparent holes is drawn through DrawObject onto a cleared back
// buffer with each effect kind, and every pixel of the back buffer is compared with the picture
// worked out here from what the effect draws (the sprite moved, cut, turned, mixed or filtered
// inside its place; the background untouched everywhere else). Then the HP and SP gauges and the
// lines and circles of the distance-condition ranges.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "data/EdCondition.h"
#include "data/EdDatabase.h"
#include "data/EdSystem.h"
#include "flows/CharaEffect.h"
#include "media/graphics/DDEffects.h"
#include "media/graphics/DDFill.h"
#include "objects/Chara.h"
#include "objects/CharaDraw.h"
#include "objects/GraphicSource.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "shell/SystemIni.h"
#include "stage/PlayState.h"
#include "tests/media_graphics/GraphicsTestSupport.h"

namespace {

constexpr int32_t L = 100, T = 80, N = 32;   // where the 32 x 32 character stands on screen
constexpr int32_t kSheetW = 96, kSheetH = 64;
constexpr int32_t kColumn = 1, kGraphic = 1;   // the cell at (32, 32) of the sheet
constexpr uint32_t kBackgroundIndex = 251;

// What a pixel of the back buffer must hold after the draw.
struct Expect {
    int8_t nKind = 0;   // 0 as before, 1 the colour c (in the units of Units) within nTol
    int32_t c[3] = {0, 0, 0};
    int32_t nTol = 0;
};

// Every back end and depth, and DirectDraw again with stretching in video memory allowed: then
// scaled cells are stretched from the video sheets and the effects use other work surfaces.
std::vector<ModeCase> EffectModes()
{
    std::vector<ModeCase> v = AllModes();
    v.push_back({"DD8VideoStretch", 0, 8, 0});
    v.push_back({"DD16VideoStretch", 0, 16, 0});
    v.push_back({"DD32VideoStretch", 0, 32, 0});
    return v;
}

class CharaEffectDrawTest : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        lpPlayState = &m_State;
        m_nSavedStretch = SystemIni.DD_VideoStretch;
        SystemIni.DD_VideoStretch = std::strstr(GetParam().name, "VideoStretch") != nullptr ? 1 : 0;
        SelectGraphicTables();
        m_SavedEffects = g_Database.m_vCharaEffect;
        m_SavedWork = g_CharaEffectWork;
        m_SavedSets = g_Database.m_vAnimeSet;
        m_SavedStatus = g_System.m_vStatus;
        std::memcpy(m_SavedBlend.data(), BlendTable, sizeof(BlendTable));
        g_Database.m_vAnimeSet.assign(1, cEdAnimeSet{});
        if (g_System.m_vStatus.size() < 4) g_System.m_vStatus.resize(4);
        // A blend table of the test's own: the index halfway between the two.
        for (int32_t a = 0; a < 256; ++a)
            for (int32_t b = 0; b < 256; ++b) BlendTable[a * 256 + b] = static_cast<uint8_t>((a + b) / 2);
        // The copies and mirrored sheets draw from their base surface's texture under Direct3D,
        // as start-up links them.
        for (int32_t n = 0; n < SystemSurfaceCount; ++n) m_vSavedBase.push_back(SystemSurfaces[n].lpBaseSD);
        LinkMirrorSurfaces();
        MakeSheets();
        for (int32_t n : {67, 68, 69, 70}) MakeFromTable(n);
        DDFillRect(&BackBuffer, 0, 0, 640, 480, kBackgroundIndex);
    }
    void TearDown() override
    {
        for (int32_t n : {4, 5, 22, 23, 49, 67, 68, 69, 70}) DDReleaseSurface(&SystemSurfaces[n]);
        for (int32_t n = 0; n < SystemSurfaceCount; ++n)
            SystemSurfaces[n].lpBaseSD = m_vSavedBase[static_cast<size_t>(n)];
        for (int32_t n : {5, 23}) SystemSurfaces[n].nMirrorWidth = 0;
        g_Database.m_vCharaEffect = m_SavedEffects;
        g_CharaEffectWork = m_SavedWork;
        BuildCharaEffectTables(g_CharaEffectTable, g_CharaEffectTableReversed);
        g_Database.m_vAnimeSet = m_SavedSets;
        g_System.m_vStatus = m_SavedStatus;
        std::memcpy(BlendTable, m_SavedBlend.data(), sizeof(BlendTable));
        SystemIni.DD_VideoStretch = m_nSavedStretch;
        SelectGraphicTables();
        lpPlayState = nullptr;
        GraphicsTest::TearDown();
    }

    // ---- the sprite ---------------------------------------------------------------------------

    // 8 x 8 blocks of distinct colours, shaded inside each block; the top-left block and a
    // diagonal pattern of single pixels are transparent.
    static bool Hole(int32_t i, int32_t j) { return (i < 8 && j < 8) || (i + 2 * j) % 11 == 5; }
    uint32_t SpriteRaw(int32_t i, int32_t j) const
    {
        if (Hole(i, j)) return Transparent();
        const int32_t bx = i / 8, by = j / 8;
        if (Depth() == 8) return static_cast<uint32_t>(16 + 13 * (bx * 4 + by) + (i % 4) + (j % 3));
        return Opaque(20 + 60 * bx + (i % 8) * 3, 20 + 60 * by + (j % 8) * 3, 100 + 10 * ((i + j) % 8));
    }
    // Sheet 4 and its system copy 22 hold the sprite at (32, 32) and another colour elsewhere; the
    // other facing (5, 23) holds each 32-pixel frame mirrored. Under Direct3D the copy and the
    // mirrored sheets draw from the one texture of sheet 4, as the loaded sheets do.
    void MakeSheets()
    {
        const uint32_t other = Depth() == 8 ? 240u : Opaque(250, 250, 10);
        auto fill = [&](DDSURFACEDATA* s, bool mirrored) {
            for (int32_t y = 0; y < kSheetH; ++y)
                for (int32_t x = 0; x < kSheetW; ++x) {
                    const int32_t f = x / 32, i = mirrored ? 31 - x % 32 : x % 32;
                    Put(s, x, y, f == kColumn && y >= 32 ? SpriteRaw(i, y - 32) : other);
                }
        };
        if (IsD3D()) {
            ASSERT_TRUE(DDCreateSurface(&SystemSurfaces[4], kSheetW, kSheetH, 1, 0, 0, 0, 0));
            fill(&SystemSurfaces[4], false);
            for (int32_t n : {5, 22, 23}) {
                ASSERT_TRUE(DDCreateSurface(&SystemSurfaces[n], kSheetW, kSheetH, 1, 1, 0, 1, 0));
                ASSERT_EQ(SystemSurfaces[n].lpBaseSD, &SystemSurfaces[4]);
            }
            SystemSurfaces[5].nMirrorWidth = SystemSurfaces[23].nMirrorWidth = 32;
        } else {
            for (int32_t n : {4, 5, 22, 23}) {
                ASSERT_TRUE(DDCreateSurface(&SystemSurfaces[n], kSheetW, kSheetH, 1, n < 20 ? 0 : 1, 0, 0, 0));
                fill(&SystemSurfaces[n], n == 5 || n == 23);
            }
        }
    }
    void MakeFromTable(int32_t n)
    {
        const BITMAPFILEENTRY& e = BitmapFileTable[n];
        ASSERT_TRUE(DDCreateSurface(&SystemSurfaces[n], e.nWidth, e.nHeight, e.bColorKey, e.nDDMemoryType,
                                    e.nDTMemoryType, e.bView, 0));
    }

    // ---- the character and its effect ---------------------------------------------------------

    // Effect record 1 of the given kind; start = end = v keeps the value at v for its whole time.
    void SetEffect(int32_t nKind, int32_t v, int32_t p1 = 0, int32_t p3 = 0, int32_t p4 = 0)
    {
        g_Database.m_vCharaEffect.assign(2, cEdCharaEffect{});
        cEdCharaEffect& r = g_Database.m_vCharaEffect[1];
        r.m_nKind = static_cast<int8_t>(nKind);
        r.m_anParam[0] = 100;
        r.m_anParam[1] = p1 != 0 ? p1 : v;
        r.m_anParam[2] = v;
        r.m_anParam[3] = p3;
        r.m_anParam[4] = p4;
        g_CharaEffectWork = g_Database.m_vCharaEffect;
        BuildCharaEffectTables(g_CharaEffectTable, g_CharaEffectTableReversed);
    }
    void Place(cChara& c, int32_t nScale = 1)
    {
        m_nScale = nScale;
        c.m_nSide = 1;
        c.m_Def.m_nGraphicKind = 1;
        c.m_nGraphic = kGraphic;
        c.m_Def.m_nGraphicSub = kColumn;
        c.m_Def.m_nAnimeSet = 0;
        c.m_Def.m_nGiant = static_cast<int8_t>(nScale);
        c.m_nBaseWidth = c.m_nBaseHeight = N;
        c.m_nWidth = c.m_nHeight = N * nScale;
        c.m_nLeft = L;
        c.m_nTop = T;
        c.m_nRight = L + c.m_nWidth - 1;
        c.m_nBottom = T + c.m_nHeight - 1;
    }
    // Draws one frame of the character's effect onto the cleared back buffer.
    void DrawOnce(cChara& c)
    {
        DDFillRect(&BackBuffer, 0, 0, 640, 480, kBackgroundIndex);
        Snapshot();
        EXPECT_EQ(c.DrawObject(&BackBuffer, 0), 0);
    }

    // ---- pixels -------------------------------------------------------------------------------

    bool FullBack() const { return IsD3D() && Depth() == 16 && GetParam().nWindowMode == 0; }
    // Channels in the units the graphics layer computes in: SurfaceMasks units at 16 bits (the
    // full-screen back buffer's doubled green halved), bytes at 32, the index at 8.
    void Units(uint32_t p, int32_t c[3], bool bBack = false) const
    {
        const PIXELMASKS& m = SurfaceMasks;
        if (Depth() == 8) {
            c[0] = static_cast<int32_t>(p & 255);
            c[1] = c[2] = 0;
        } else if (Depth() == 16 && bBack && FullBack()) {
            c[0] = static_cast<int32_t>(p >> 11) & 31;
            c[1] = (static_cast<int32_t>(p >> 5) & 63) >> 1;
            c[2] = static_cast<int32_t>(p) & 31;
        } else if (Depth() == 16) {
            c[0] = static_cast<int32_t>(p >> m.nRShift) & m.nRMask;
            c[1] = static_cast<int32_t>(p >> m.nGShift) & m.nGMask;
            c[2] = static_cast<int32_t>(p >> m.nBShift) & m.nBMask;
        } else {
            c[0] = static_cast<int32_t>(p >> 16) & 255;
            c[1] = static_cast<int32_t>(p >> 8) & 255;
            c[2] = static_cast<int32_t>(p) & 255;
        }
    }
    int32_t Mask(int32_t q) const
    {
        if (Depth() != 16) return 255;
        const PIXELMASKS& m = SurfaceMasks;
        return static_cast<int32_t>(q == 0 ? m.nRMask : q == 1 ? m.nGMask : m.nBMask);
    }
    void Snapshot()
    {
        m_Before.assign(640 * 480, 0);
        for (int32_t y = 0; y < 480; ++y)
            for (int32_t x = 0; x < 640; ++x) m_Before[static_cast<size_t>(y * 640 + x)] = Get(&BackBuffer, x, y);
        m_Expect.assign(640 * 480, Expect{});
    }
    uint32_t Before(int32_t x, int32_t y) const { return m_Before[static_cast<size_t>(y * 640 + x)]; }
    void ExpectColour(int32_t x, int32_t y, const int32_t c[3], int32_t nTol = 0)
    {
        if (x < 0 || y < 0 || x >= 640 || y >= 480) return;
        Expect& e = m_Expect[static_cast<size_t>(y * 640 + x)];
        e.nKind = 1;
        std::memcpy(e.c, c, sizeof(e.c));
        e.nTol = nTol;
    }
    // The picture an effect works on: the sprite at the character's scale (a scaled character's
    // cell is stretched to its drawn size first), Size() pixels square.
    int32_t Size() const { return N * m_nScale; }
    bool ImgHole(int32_t i, int32_t j) const { return Hole(i / m_nScale, j / m_nScale); }
    uint32_t ImgRaw(int32_t i, int32_t j) const { return SpriteRaw(i / m_nScale, j / m_nScale); }
    // Picture pixel (i, j) at (x, y): its colour where it is present, the background where not.
    void ExpectImage(int32_t x, int32_t y, int32_t i, int32_t j)
    {
        if (i < 0 || j < 0 || i >= Size() || j >= Size() || ImgHole(i, j)) return;
        int32_t c[3];
        Units(ImgRaw(i, j), c);
        ExpectColour(x, y, c);
    }
    // Sprite pixel (i, j), for the drawings that read the cell at its own size.
    void ExpectSprite(int32_t x, int32_t y, int32_t i, int32_t j)
    {
        if (Hole(i, j)) return;
        int32_t c[3];
        Units(SpriteRaw(i, j), c);
        ExpectColour(x, y, c);
    }
    void ExpectPlainAt(int32_t x0, int32_t y0)
    {
        for (int32_t j = 0; j < Size(); ++j)
            for (int32_t i = 0; i < Size(); ++i) ExpectImage(x0 + i, y0 + j, i, j);
    }
    // Every pixel of the back buffer against the expected picture; at most a few reports.
    void Verify(const char* lpWhat)
    {
        SCOPED_TRACE(lpWhat);
        int32_t nBad = 0;
        for (int32_t y = 0; y < 480 && nBad < 8; ++y)
            for (int32_t x = 0; x < 640 && nBad < 8; ++x) {
                const Expect& e = m_Expect[static_cast<size_t>(y * 640 + x)];
                const uint32_t raw = Get(&BackBuffer, x, y);
                if (e.nKind == 0) {
                    if (raw != Before(x, y)) {
                        ADD_FAILURE() << "at " << x << "," << y << " the background changed to " << std::hex << raw;
                        ++nBad;
                    }
                    continue;
                }
                int32_t c[3];
                Units(raw, c, true);
                const int32_t nChannels = Depth() == 8 ? 1 : 3;
                for (int32_t q = 0; q < nChannels; ++q)
                    if (std::abs(c[q] - e.c[q]) > e.nTol) {
                        ADD_FAILURE() << "at " << x << "," << y << " channel " << q << " is " << c[q] << ", expected "
                                      << e.c[q] << " (raw " << std::hex << raw << ")";
                        ++nBad;
                        break;
                    }
            }
    }
    // A stretched blit's source offset for destination offset k: the software blit truncates
    // k * ratio; the Direct3D quad samples the texel under the pixel's centre.
    int32_t StretchSource(int32_t k, double dRatio) const
    {
        return IsD3D() ? static_cast<int32_t>(std::floor((k + 0.5) * dRatio)) : static_cast<int32_t>(k * dRatio);
    }
    // The same through the other facing: under DirectDraw a sheet of mirrored frames; under
    // Direct3D the frame read right to left from the plain sheet's texture.
    int32_t MirroredStretchSource(int32_t k, double dRatio) const
    {
        return IsD3D() ? N + static_cast<int32_t>(std::floor(-(k + 0.5) * dRatio))
                       : N - 1 - static_cast<int32_t>(k * dRatio);
    }
    // The colour of palette entry n as a fill writes it, in the units of Units.
    void PaletteUnits(int32_t n, int32_t c[3]) const
    {
        const PALETTEENTRY& p = ColorPalette[n];
        if (Depth() == 8) {
            c[0] = n;
            c[1] = c[2] = 0;
            return;
        }
        const int32_t v[3] = {p.peRed, p.peGreen, p.peBlue};
        for (int32_t q = 0; q < 3; ++q)
            // Direct3D keeps the entry's top bits at 16 bits; 16-bit DirectDraw's palette holds units.
            c[q] = Depth() == 16 && IsD3D() ? v[q] * (Mask(q) + 1) / 256 : v[q];
    }

    cPlayState m_State;
    int32_t m_nScale = 1;
    int32_t m_nSavedStretch = 0;
    std::vector<cEdCharaEffect> m_SavedEffects, m_SavedWork;
    std::vector<cEdAnimeSet> m_SavedSets;
    std::vector<cEdSystemStatus> m_SavedStatus;
    std::array<uint8_t, 65536> m_SavedBlend{};
    std::vector<DDSURFACEDATA*> m_vSavedBase;
    std::vector<uint32_t> m_Before;
    std::vector<Expect> m_Expect;
};

// ---- effects that move whole pieces of the sprite ---------------------------------------------
//
// Each runs at scale 1 and at scale 2: a scaled character's effect works on its cell stretched to
// the drawn size, with its size-like values multiplied by the scale.

TEST_P(CharaEffectDrawTest, PlainDrawingCopiesTheCellWithItsHoles)
{
    for (int32_t s : {1, 2}) {
        SetEffect(0, 0);
        cChara c;
        Place(c, s);
        c.m_CharaEffect.Start(1, 0, 0);
        DrawOnce(c);
        ExpectPlainAt(L, T);
        Verify(s == 1 ? "plain" : "plain at scale 2");
    }
}

TEST_P(CharaEffectDrawTest, BurstMovesTheQuartersApartDiagonally)
{
    for (int32_t s : {1, 2})
        for (int32_t v : {0, 5}) {
            SetEffect(1, v);
            cChara c;
            Place(c, s);
            c.m_CharaEffect.Start(1, 0, 0);
            DrawOnce(c);
            const int32_t d = s * v, h = Size() / 2;
            for (int32_t j = 0; j < Size(); ++j)
                for (int32_t i = 0; i < Size(); ++i)
                    ExpectImage(L + i + (i < h ? -d : d), T + j + (j < h ? -d : d), i, j);
            Verify(("burst " + std::to_string(v) + " at scale " + std::to_string(s)).c_str());
        }
}

TEST_P(CharaEffectDrawTest, SplitShiftsStripesTakenFromTheHeight)
{
    struct Case {
        int32_t nKind, nParts, v;
    };
    // Four parts: stripes of 8. Five parts: stripes of 7, and the last 4 pixels are not drawn.
    for (int32_t s : {1, 2})
        for (const Case& k : {Case{2, 4, 3}, Case{3, 4, 3}, Case{2, 5, 2}, Case{3, 5, 2}}) {
            SetEffect(k.nKind, k.v, 0, k.nParts);
            cChara c;
            Place(c, s);
            c.m_CharaEffect.Start(1, 0, 0);
            DrawOnce(c);
            const int32_t nStripe = (Size() + k.nParts - 1) / k.nParts, nCount = Size() / nStripe;
            for (int32_t j = 0; j < Size(); ++j)
                for (int32_t i = 0; i < Size(); ++i) {
                    const int32_t n = (k.nKind == 2 ? j : i) / nStripe;
                    if (n >= nCount) continue;
                    const int32_t d = (n % 2 == 1 ? -k.v : k.v) * s;
                    if (k.nKind == 2)
                        ExpectImage(L + i + d, T + j, i, j);
                    else
                        ExpectImage(L + i, T + j + d, i, j);
                }
            Verify((std::string(k.nKind == 2 ? "rows" : "columns") + " in " + std::to_string(k.nParts) + " at scale " +
                    std::to_string(s))
                       .c_str());
        }
}

TEST_P(CharaEffectDrawTest, WaveShiftsBandsAlongASineOnTheBackBuffer)
{
    for (int32_t s : {1, 2})
        for (int32_t nKind : {4, 5}) {
            // Two waves, amplitude 6, bands of 4.
            SetEffect(nKind, 6, 0, 2, 4);
            cChara c;
            Place(c, s);
            c.m_CharaEffect.Start(1, 0, 0);
            c.m_CharaEffect.m_nPhase = 30;
            DrawOnce(c);
            const int32_t nBand = 4 * s;
            double a = 0.0;
            for (int32_t k = 0; k < Size(); k += nBand) {
                a += nBand * 360.0 / Size();
                const int32_t d =
                    static_cast<int32_t>(s * 6.0 * std::sin((30 + a) * 2 * 3.14159265358979323846 / 180.0));
                for (int32_t m = k; m < k + nBand; ++m)
                    for (int32_t n = 0; n < Size(); ++n) {
                        if (nKind == 4)
                            ExpectImage(L + n + d, T + m, n, m);
                        else
                            ExpectImage(L + m, T + n + d, m, n);
                    }
            }
            Verify((std::string(nKind == 4 ? "wave of rows" : "wave of columns") + " at scale " + std::to_string(s))
                       .c_str());
            EXPECT_EQ(c.m_CharaEffect.m_nPhase, 31);
        }
}

TEST_P(CharaEffectDrawTest, BlinkIsHiddenThenDrawnPlainly)
{
    SetEffect(6, 0, 2);
    cChara c;
    Place(c);
    c.m_CharaEffect.Start(1, 0, 0);
    DrawOnce(c);
    Verify("hidden first");
    for (int32_t i = 0; i < 2; ++i) c.StepCharaEffectDraw(0);
    ASSERT_EQ(c.m_CharaEffect.m_nToggle, 1);
    DrawOnce(c);
    ExpectPlainAt(L, T);
    Verify("then shown");
}

// The locked-surface rotation of a w x h picture about its centre, landing with its centre at
// (dcx, dcy): every position of the box fetched back through the fixed-point inverse rotation.
void ForLockedRotation(int32_t w, int32_t h, int32_t dcx, int32_t dcy, int32_t nAngle,
                       const std::function<void(int32_t, int32_t, int32_t, int32_t)>& put)
{
    const long double th = nAngle * 0.017453292519943278L;
    const int32_t s = static_cast<int32_t>(std::sin(th) * 1024), c = static_cast<int32_t>(std::cos(th) * 1024);
    const int32_t s2 = static_cast<int32_t>(std::sin(-th) * 1024), c2 = static_cast<int32_t>(std::cos(-th) * 1024);
    const int32_t px = w / 2, py = h / 2;
    int32_t x0 = 1 << 20, x1 = -(1 << 20), y0 = 1 << 20, y1 = -(1 << 20);
    for (int32_t cx : {0, w - 1})
        for (int32_t cy : {0, h - 1}) {
            const int32_t a = cx - px, b = cy - py;
            const int32_t x = ((a * c - b * s) >> 10) + px, y = ((a * s + b * c) >> 10) + py;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    for (int32_t by = y0 - 2; by < y1 + 2; ++by)
        for (int32_t bx = x0 - 2; bx < x1 + 2; ++bx) {
            const int32_t dx = bx - px, dy = by - py;
            const int32_t ix = ((dx * c2 - dy * s2) >> 10) + px, iy = ((dx * s2 + dy * c2) >> 10) + py;
            if (ix < 0 || iy < 0 || ix >= w || iy >= h) continue;
            put(dcx + dx, dcy + dy, ix, iy);
        }
}

TEST_P(CharaEffectDrawTest, RotationTurnsTheCellAboutItsCentre)
{
    for (int32_t s : {1, 2})
        for (int32_t nKind : {7, 8})
            for (int32_t nAngle : {0, 90, 180}) {
                SetEffect(nKind, nAngle);
                cChara c;
                Place(c, s);
                c.m_CharaEffect.Start(1, 0, 0);
                DrawOnce(c);
                const int32_t W = Size();
                if (nKind == 7 && s > 1 && !IsD3D()) {
                    // The cell rotated at its own size into a cleared square of [32 x sqrt 2]
                    // (transparent around it), then that square stretched to [W x sqrt 2] about
                    // the character's centre.
                    const int32_t k = static_cast<int32_t>(N * std::sqrt(2.0)),
                                  d = static_cast<int32_t>(W * std::sqrt(2.0));
                    std::vector<int32_t> work(static_cast<size_t>(k * k), -1);   // sprite pixel index, -1 none
                    ForLockedRotation(N, N, k / 2, k / 2, nAngle, [&](int32_t x, int32_t y, int32_t i, int32_t j) {
                        if (x >= 0 && y >= 0 && x < k && y < k) work[static_cast<size_t>(y * k + x)] = j * N + i;
                    });
                    const double dRatio = static_cast<double>(k) / d;
                    for (int32_t y = 0; y < d; ++y)
                        for (int32_t x = 0; x < d; ++x) {
                            const int32_t n =
                                work[static_cast<size_t>(StretchSource(y, dRatio) * k + StretchSource(x, dRatio))];
                            if (n >= 0) ExpectSprite(L + W / 2 - d / 2 + x, T + W / 2 - d / 2 + y, n % N, n / N);
                        }
                } else if (!IsD3D()) {
                    ForLockedRotation(W, W, L + W / 2, T + W / 2, nAngle,
                                      [&](int32_t x, int32_t y, int32_t i, int32_t j) { ExpectImage(x, y, i, j); });
                } else {
                    // The quad samples under pixel centres: exact quarter turns inside the square.
                    for (int32_t y = T; y < T + W; ++y)
                        for (int32_t x = L; x < L + W; ++x) {
                            const int32_t dx = x - L, dy = y - T;
                            if (nAngle == 0) ExpectImage(x, y, dx, dy);
                            if (nAngle == 90) ExpectImage(x, y, dy, W - 1 - dx);
                            if (nAngle == 180) ExpectImage(x, y, W - 1 - dx, W - 1 - dy);
                        }
                }
                Verify((std::string(nKind == 7 ? "rotation A " : "rotation B ") + std::to_string(nAngle) +
                        " at scale " + std::to_string(s))
                           .c_str());
            }
}

TEST_P(CharaEffectDrawTest, RotationByHalfATurnIsTheCellMirroredBothWays)
{
    SetEffect(8, 180);
    cChara c;
    Place(c);
    c.m_CharaEffect.Start(1, 0, 0);
    DrawOnce(c);
    // Wherever the square lands, its pixels are the sprite's read backwards in both directions.
    const int32_t nShift = IsD3D() ? 0 : 1;
    int32_t nDrawn = 0;
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 640; ++x) {
            if (Get(&BackBuffer, x, y) == Before(x, y)) continue;
            ++nDrawn;
            const int32_t i = N - 1 - (x - L - nShift), j = N - 1 - (y - T - nShift);
            ASSERT_TRUE(i >= 0 && j >= 0 && i < N && j < N) << x << "," << y;
            ASSERT_FALSE(Hole(i, j)) << x << "," << y;
            int32_t got[3], want[3];
            Units(Get(&BackBuffer, x, y), got, true);
            Units(SpriteRaw(i, j), want);
            EXPECT_TRUE(got[0] == want[0] && got[1] == want[1] && got[2] == want[2]) << x << "," << y;
        }
    int32_t nPresent = 0;
    for (int32_t j = 0; j < N; ++j)
        for (int32_t i = 0; i < N; ++i) nPresent += Hole(i, j) ? 0 : 1;
    EXPECT_EQ(nDrawn, nPresent);
}

TEST_P(CharaEffectDrawTest, TurnNarrowsTheCellAndShowsTheOtherFacingBehind)
{
    struct Case {
        int32_t s, nFrame, nInset;
        bool bOther;
    };
    // Frame 0: the full cell. 40: 8 in from each side, the other facing. 72: 8 in, this facing.
    // At scale 2 the frame counts in drawn pixels: 80 is 16 in, the other facing. The cell is
    // always read at its own size.
    for (const Case& k : {Case{1, 0, 0, false}, Case{1, 40, 8, true}, Case{1, 72, 8, false}, Case{2, 0, 0, false},
                          Case{2, 80, 16, true}}) {
        SetEffect(9, k.nFrame);
        cChara c;
        Place(c, k.s);
        c.m_CharaEffect.Start(1, 0, 0);
        DrawOnce(c);
        const int32_t w = Size() - 2 * k.nInset;
        const double dRatio = static_cast<double>(N) / w, dRows = static_cast<double>(N) / Size();
        for (int32_t y = 0; y < Size(); ++y)
            for (int32_t x = 0; x < w; ++x)
                ExpectSprite(L + k.nInset + x, T + y,
                             k.bOther ? MirroredStretchSource(x, dRatio) : StretchSource(x, dRatio),
                             StretchSource(y, dRows));
        Verify(("turn frame " + std::to_string(k.nFrame) + " at scale " + std::to_string(k.s)).c_str());
    }
}

TEST_P(CharaEffectDrawTest, CircleShowsTheCellInsideADisc)
{
    struct Case {
        int32_t s, r, nBand;
    };
    for (const Case& k : {Case{1, 12, 1}, Case{1, 20, 1}, Case{1, 13, 4}, Case{2, 12, 1}, Case{2, 13, 2}}) {
        SetEffect(10, k.r, 0, k.nBand);
        cChara c;
        Place(c, k.s);
        c.m_CharaEffect.Start(1, 0, 0);
        DrawOnce(c);
        const int32_t h = Size() / 2, r = k.r * k.s, nBand = k.nBand * k.s;
        auto half = [&](int32_t i) {
            int32_t v = static_cast<int32_t>(std::sqrt(static_cast<double>(r * r - i * i)));
            return v == r ? r - 1 : v;
        };
        auto row = [&](int32_t i, int32_t nHalf) {
            // Columns cut to the cell's half width on each side of the centre.
            for (int32_t d = std::max(-nHalf, -h); d < std::min(nHalf, h); ++d)
                ExpectImage(L + h + d, T + h + i, h + d, h + i);
        };
        if (nBand == 1) {
            for (int32_t i = r - 1; i >= -r; --i) {
                if (i >= h) continue;
                if (i < -h) break;
                row(i, half(i));
            }
        } else {
            for (int32_t i = r - nBand; i >= -r; i -= nBand) {
                if (i >= h) continue;
                if (i + nBand <= -h) break;
                int32_t b = i;
                if (b + nBand > h) b = h - nBand;
                if (b < -h) b = -h;
                const int32_t nHalf = half(i + (nBand >> 1));
                for (int32_t m = b; m < b + nBand; ++m) row(m, nHalf);
            }
        }
        Verify(("circle radius " + std::to_string(k.r) + " at scale " + std::to_string(k.s)).c_str());
    }
}

TEST_P(CharaEffectDrawTest, EnlargementStretchesAboutTheCentre)
{
    struct Case {
        int32_t s, v;
    };
    // Scale 1: 64 doubles the size, 16 halves it. Scale 2 halves the shifted amount again:
    // 96 doubles, 0 halves.
    for (const Case& k : {Case{1, 64}, Case{1, 16}, Case{2, 96}, Case{2, 0}}) {
        SetEffect(11, k.v);
        cChara c;
        Place(c, k.s);
        c.m_CharaEffect.Start(1, 0, 0);
        DrawOnce(c);
        const int32_t e = k.s > 1 ? ((k.v - 32) * k.s) >> 1 : k.v - 32, w = Size() + e;
        const double dRatio = static_cast<double>(Size()) / w;
        for (int32_t y = 0; y < w; ++y)
            for (int32_t x = 0; x < w; ++x)
                ExpectImage(L - (e >> 1) + x, T - (e >> 1) + y, StretchSource(x, dRatio), StretchSource(y, dRatio));
        Verify(("enlargement " + std::to_string(k.v) + " at scale " + std::to_string(k.s)).c_str());
    }
}

TEST_P(CharaEffectDrawTest, LensMagnifiesTheCellAroundItsCentre)
{
    for (int32_t s : {1, 2}) {
        SetEffect(12, 10);
        cChara c;
        Place(c, s);
        c.m_CharaEffect.Start(1, 0, 0);
        DrawOnce(c);
        const int32_t o = 10 * s, h = Size() / 2;
        const int32_t g = static_cast<int32_t>(std::sqrt(2.0) * h);
        const int32_t R = static_cast<int32_t>(std::sqrt(static_cast<double>(g * g + o * o)));
        for (int32_t dy = -g; dy <= g; ++dy)
            for (int32_t dx = -g; dx <= g; ++dx) {
                const int32_t d2 = dx * dx + dy * dy;
                if (d2 > g * g) continue;
                const double z = std::sqrt(static_cast<double>(R * R - d2));
                const int32_t ox = static_cast<int32_t>(dx * o / z + 0.5), oy = static_cast<int32_t>(dy * o / z + 0.5);
                // Outside the cell the work surface was cleared: nothing is drawn there.
                ExpectImage(L + h + dx, T + h + dy, h + ox, h + oy);
            }
        Verify(s == 1 ? "lens" : "lens at scale 2");
    }
}

// ---- effects that mix colours -----------------------------------------------------------------

TEST_P(CharaEffectDrawTest, ColourChangePullsTheCellTowardThePaletteColour)
{
    const int32_t k = 37;
    for (int32_t s : {1, 2})
        for (int32_t nLevel : {1, 3}) {
            SetEffect(13, nLevel, 0, 256 + k);   // only the low byte names the colour
            cChara c;
            Place(c, s);
            c.m_CharaEffect.Start(1, 0, 0);
            DrawOnce(c);
            int32_t kc[3];
            PaletteUnits(k, kc);
            for (int32_t j = 0; j < Size(); ++j)
                for (int32_t i = 0; i < Size(); ++i) {
                    if (ImgHole(i, j)) continue;
                    int32_t sc[3], out[3];
                    Units(ImgRaw(i, j), sc);
                    int32_t nTol = 0;
                    if (Depth() == 8) {
                        int32_t v = sc[0];
                        for (int32_t n = 0; n < nLevel; ++n) v = BlendTable[v * 256 + k];
                        out[0] = v;
                    } else {
                        for (int32_t q = 0; q < 3; ++q) {
                            const int32_t m = Mask(q);
                            int32_t sv = sc[q] * 255 / m, kv = kc[q] * 255 / m;
                            if (IsD3D()) {
                                // The textured quad: E / 255 of the texel, the rest the palette
                                // entry's own 8-bit colour.
                                static const int32_t E[5] = {0, 128, 80, 48, 16};
                                const PALETTEENTRY& pe = ColorPalette[k];
                                kv = q == 0 ? pe.peRed : q == 1 ? pe.peGreen : pe.peBlue;
                                sv = (sv * E[nLevel] + kv * (255 - E[nLevel]) + 127) / 255;
                                nTol = 1;
                            } else {
                                for (int32_t n = 0; n < nLevel; ++n) sv = (sv + kv) >> 1;
                            }
                            out[q] = sv * m / 255;
                        }
                    }
                    ExpectColour(L + i, T + j, out, nTol);
                }
            Verify(("level " + std::to_string(nLevel) + " at scale " + std::to_string(s)).c_str());
        }
}

TEST_P(CharaEffectDrawTest, TranslucencyMixesHalfAndHalfThenBlinks)
{
    for (int32_t s : {1, 2}) {
        SetEffect(14, 0, 2);
        cChara c;
        Place(c, s);
        c.m_CharaEffect.Start(1, 0, 0);
        DrawOnce(c);
        for (int32_t j = 0; j < Size(); ++j)
            for (int32_t i = 0; i < Size(); ++i) {
                if (ImgHole(i, j)) continue;
                int32_t sc[3], d[3], out[3];
                Units(ImgRaw(i, j), sc);
                Units(Before(L + i, T + j), d, true);
                int32_t nTol = 0;
                if (Depth() == 8) {
                    out[0] = d[0] == 0 ? sc[0] : BlendTable[sc[0] + d[0] * 256];
                } else {
                    for (int32_t q = 0; q < 3; ++q) {
                        const int32_t m = Mask(q);
                        const int32_t sv = sc[q] * 255 / m, dv = d[q] * 255 / m;
                        if (IsD3D()) {
                            // The quad's alpha is 127 of 255 over the back buffer.
                            out[q] = ((sv * 127 + dv * 128 + 127) / 255) * m / 255;
                            nTol = 1;
                        } else {
                            out[q] = ((sv + dv) >> 1) * m / 255;
                        }
                    }
                }
                ExpectColour(L + i, T + j, out, nTol);
            }
        Verify(s == 1 ? "translucent first" : "translucent at scale 2");
        for (int32_t i = 0; i < 2; ++i) c.StepCharaEffectDraw(0);
        ASSERT_EQ(c.m_CharaEffect.m_nToggle, 1);
        DrawOnce(c);
        Verify("then hidden");
    }
}

TEST_P(CharaEffectDrawTest, MosaicPaintsCellsOfTheStrengthsSize)
{
    for (int32_t s : {1, 2})
        for (int32_t nCell : {4, 5}) {
            SetEffect(15, nCell);
            cChara c;
            Place(c, s);
            c.m_CharaEffect.Start(1, 0, 0);
            DrawOnce(c);
            const int32_t W = Size();
            for (int32_t cj = 0; cj < W; cj += nCell)
                for (int32_t ci = 0; ci < W; ci += nCell) {
                    int32_t out[3] = {0, 0, 0};
                    bool bDrawn = false;
                    if (IsD3D() || Depth() == 8) {
                        // The cell's top-left pixel, when it is present.
                        if (!ImgHole(ci, cj)) {
                            Units(ImgRaw(ci, cj), out);
                            bDrawn = true;
                        }
                    } else {
                        int64_t sum[3] = {0, 0, 0}, n = 0;
                        for (int32_t j = cj; j < std::min(cj + nCell, W); ++j)
                            for (int32_t i = ci; i < std::min(ci + nCell, W); ++i) {
                                if (ImgHole(i, j)) continue;
                                int32_t sc[3];
                                Units(ImgRaw(i, j), sc);
                                for (int32_t q = 0; q < 3; ++q) sum[q] += sc[q] * 255 / Mask(q);
                                ++n;
                            }
                        if (n != 0) {
                            for (int32_t q = 0; q < 3; ++q) out[q] = static_cast<int32_t>(sum[q] / n) * Mask(q) / 255;
                            bDrawn = true;
                        }
                    }
                    if (!bDrawn) continue;
                    for (int32_t j = cj; j < std::min(cj + nCell, W); ++j)
                        for (int32_t i = ci; i < std::min(ci + nCell, W); ++i) ExpectColour(L + i, T + j, out);
                }
            Verify(("cells of " + std::to_string(nCell) + " at scale " + std::to_string(s)).c_str());
        }
}

TEST_P(CharaEffectDrawTest, BlurAveragesPresentNeighboursOrTintsAtEightBits)
{
    const int32_t n = 2;
    for (int32_t s : {1, 2}) {
        SetEffect(16, n);
        cChara c;
        Place(c, s);
        c.m_CharaEffect.Start(1, 0, 0);
        DrawOnce(c);
        const int32_t W = Size();
        for (int32_t j = 0; j < W; ++j)
            for (int32_t i = 0; i < W; ++i) {
                if (ImgHole(i, j)) continue;
                int32_t out[3] = {0, 0, 0};
                if (Depth() == 8) {
                    // Palette colour 31 at the blur's strength.
                    int32_t v = static_cast<int32_t>(ImgRaw(i, j));
                    for (int32_t k = 0; k < n; ++k) v = BlendTable[v * 256 + 31];
                    out[0] = v;
                } else {
                    int64_t sum[3] = {0, 0, 0}, cnt = 0;
                    for (int32_t m = -n; m < n; ++m) {
                        if (j + m < 0 || j + m >= W) continue;
                        for (int32_t k = -n; k < n; ++k) {
                            if (i + k < 0 || i + k >= W || ImgHole(i + k, j + m)) continue;
                            int32_t sc[3];
                            Units(ImgRaw(i + k, j + m), sc);
                            for (int32_t q = 0; q < 3; ++q) sum[q] += sc[q];
                            ++cnt;
                        }
                    }
                    for (int32_t q = 0; q < 3; ++q) out[q] = static_cast<int32_t>(sum[q] / cnt);
                }
                ExpectColour(L + i, T + j, out);
            }
        Verify(s == 1 ? "blur" : "blur at scale 2");
    }
}

// ---- the living character's drawing -----------------------------------------------------------

TEST_P(CharaEffectDrawTest, SpriteAtItsLockedPlaceWithItsMarkAndNothingWhenTransparent)
{
    // Mark sheet 43 and its copy 44: mark 17 sits in the cell at (32, 64), a cross in its own
    // colour on a transparent ground; every other cell a stray colour.
    const uint32_t mark = Depth() == 8 ? 230u : Opaque(240, 20, 240 - 40);
    const uint32_t stray = Depth() == 8 ? 7u : Opaque(255, 255, 255);
    auto crossAt = [](int32_t i, int32_t j) { return i == 5 || j == 9; };
    for (int32_t n : {43, 44}) {
        DDSURFACEDATA* lpSheet = &SystemSurfaces[n];
        const BITMAPFILEENTRY& e = BitmapFileTable[n];
        ASSERT_TRUE(DDCreateSurface(lpSheet, 64, 96, e.bColorKey, e.nDDMemoryType, e.nDTMemoryType, e.bView, 0));
        if (IsD3D() && n == 44) break;   // the copy draws from the sheet's texture
        for (int32_t y = 0; y < 96; ++y)
            for (int32_t x = 0; x < 64; ++x) {
                const bool bCell = x >= 32 && y >= 64;
                Put(lpSheet, x, y, !bCell ? stray : crossAt(x - 32, y - 64) ? mark : Transparent());
            }
    }
    for (int32_t s : {1, 2}) {
        SetEffect(0, 0);
        cChara c;
        Place(c, s);
        c.m_dX = 300.0;   // the hit box is elsewhere: the locks place the graphic
        c.m_dY = 200.0;
        c.m_bLockScreenX = c.m_bLockScreenY = 1;
        c.m_nLockScreenX = L;
        c.m_nLockScreenY = T;
        c.m_Def.m_bBadgeOff = 1;
        c.m_Def.m_nBadge = 17;
        DDFillRect(&BackBuffer, 0, 0, 640, 480, kBackgroundIndex);
        Snapshot();
        c.DrawObjectSprite(&BackBuffer, 1);
        EXPECT_EQ(c.m_nLeft, L);
        EXPECT_EQ(c.m_nRight, L + Size() - 1);
        EXPECT_EQ(c.m_nTop, T);
        EXPECT_EQ(c.m_nBottom, T + Size() - 1);
        ExpectPlainAt(L, T);
        int32_t u[3];
        Units(mark, u);
        for (int32_t j = 0; j < Size(); ++j)
            for (int32_t i = 0; i < Size(); ++i)
                if (crossAt(i / s, j / s)) ExpectColour(L + i, T + j, u);
        Verify(s == 1 ? "sprite and mark" : "sprite and mark at scale 2");

        c.m_Def.m_bTransparent = 1;
        DDFillRect(&BackBuffer, 0, 0, 640, 480, kBackgroundIndex);
        Snapshot();
        c.DrawObjectSprite(&BackBuffer, 1);
        Verify("transparent: nothing, not even the mark");
    }
    DDReleaseSurface(&SystemSurfaces[43]);
    DDReleaseSurface(&SystemSurfaces[44]);
}

// ---- damaged effect records ---------------------------------------------------------------------

TEST_P(CharaEffectDrawTest, ExtremeParametersFromADamagedListDrawWithoutOverflow)
{
    struct Case {
        int32_t nKind, v, p3, p4;
    };
    const int32_t kMax = INT32_MAX, kMin = INT32_MIN;
    const Case cases[] = {
        {2, 3, kMax, 0},   {3, 3, kMin, 0},  {2, kMax, 4, 0},        {4, 6, 2, kMax},     {5, 6, kMin, kMin},
        {10, 12, kMax, 0}, {10, kMax, 1, 0}, {11, kMax, 0, 0},       {11, kMin, 0, 0},    {12, 10, kMax, kMin},
        {12, 10, kMin, 0}, {12, kMax, 0, 0}, {12, kMax, kMax, kMax}, {12, kMin, kMin, 0}, {1, kMax, 0, 0},
        {1, kMin, 0, 0},   {7, kMax, 0, 0},  {8, kMin, 0, 0},        {9, kMax, 0, 0},     {15, kMax, 0, 0},
        {16, 3, 0, 0},     {13, 2, kMax, 0},
    };
    for (int32_t s : {1, 2})
        for (const Case& k : cases) {
            SCOPED_TRACE("kind " + std::to_string(k.nKind) + " v " + std::to_string(k.v) + " P3 " +
                         std::to_string(k.p3) + " P4 " + std::to_string(k.p4) + " scale " + std::to_string(s));
            SetEffect(k.nKind, k.v, 0, k.p3, k.p4);
            cChara c;
            Place(c, s);
            c.m_CharaEffect.Start(1, 0, 0);
            DrawOnce(c);
        }
}

// ---- the invincible blink colour under Direct3D ------------------------------------------------

using Direct3DCharaEffectDrawTest = CharaEffectDrawTest;

TEST_P(Direct3DCharaEffectDrawTest, BlinkColourTintsEveryEffectAndIsResetAfterIt)
{
    // Blink colour 3: the texels times pure red. Effects at values that leave the cell as it is,
    // so that each shows the plain cell in the blink colour.
    const BLINKCOLOUR saved = BlinkColours[3];
    const int32_t nSavedSwitch = g_System.m_bSwitch287;
    BlinkColours[3] = {0xFFFF0000u, D3DTOP_MODULATE};
    g_System.m_bSwitch287 = 1;
    g_Database.m_vAnimeSet[0].m_nFrameOffset1 = 0;
    struct Case {
        int32_t nKind, v, p3;
    };
    const Case cases[] = {{0, 0, 0}, {1, 0, 0},   {2, 0, 4},   {4, 0, 2}, {8, 0, 0},
                          {9, 0, 0}, {10, 23, 1}, {11, 32, 0}, {15, 1, 0}};
    for (int32_t s : {1, 2})
        for (const Case& k : cases) {
            const std::string what = "kind " + std::to_string(k.nKind) + " at scale " + std::to_string(s);
            SetEffect(k.nKind, k.v, 0, k.p3, 4);
            cChara c;
            Place(c, s);
            c.m_Def.m_nInvincible = 1;
            c.m_Def.m_nInvincibleSub = 3;
            c.m_CharaEffect.Start(1, 0, 0);
            DrawOnce(c);
            for (int32_t j = 0; j < Size(); ++j)
                for (int32_t i = 0; i < Size(); ++i) {
                    if (ImgHole(i, j)) continue;
                    int32_t u[3];
                    Units(ImgRaw(i, j), u);
                    u[1] = u[2] = 0;
                    ExpectColour(L + i, T + j, u);
                }
            Verify((what + " in the blink colour").c_str());
            // The next character without it is drawn in its own colours.
            c.m_Def.m_nInvincible = 0;
            c.m_CharaEffect.Start(1, 0, 0);
            DrawOnce(c);
            ExpectPlainAt(L, T);
            Verify((what + ", then without").c_str());
        }
    BlinkColours[3] = saved;
    g_System.m_bSwitch287 = nSavedSwitch;
}

INSTANTIATE_TEST_SUITE_P(Modes, Direct3DCharaEffectDrawTest, testing::ValuesIn(Direct3DModes()), ModeName);

// ---- gauges ------------------------------------------------------------------------------------

TEST_P(CharaEffectDrawTest, GaugesDrawFrameBarAndChangeFromTheAccessorySheet)
{
    // A tall sheet keeps its rows 2 apart from 208; a short one 16 apart from 128.
    for (int32_t nSheetH : {218, 200}) {
        const int32_t r = nSheetH > 208 ? 208 : 128, g = nSheetH > 208 ? 2 : 16;
        DDSURFACEDATA* lpSheet = &SystemSurfaces[49];
        DDReleaseSurface(lpSheet);
        const BITMAPFILEENTRY& e = BitmapFileTable[49];
        ASSERT_TRUE(DDCreateSurface(lpSheet, 128, nSheetH, e.bColorKey, e.nDDMemoryType, e.nDTMemoryType, e.bView, 0));
        // Piece n of HP (x 0..49) and SP (x 64..113) in a colour of its own; the rest a stray one.
        auto colour = [&](int32_t bSP, int32_t n) -> uint32_t {
            return Depth() == 8 ? static_cast<uint32_t>(60 + 10 * bSP + n)
                                : Opaque(40 + 40 * n, 200 - 100 * bSP, 30 + 20 * n);
        };
        const uint32_t stray = Depth() == 8 ? 7u : Opaque(255, 255, 255);
        for (int32_t y = 0; y < nSheetH; ++y)
            for (int32_t x = 0; x < 128; ++x) {
                uint32_t v = stray;
                for (int32_t n = 0; n < 5; ++n)
                    if (y >= r + n * g && y < r + n * g + 2) {
                        if (x < 50) v = colour(0, n);
                        if (x >= 64 && x < 114) v = colour(1, n);
                    }
                Put(lpSheet, x, y, v);
            }
        g_System.m_vStatus[2].m_nThreshold = 20;
        g_System.m_vStatus[3].m_nThreshold = 20;
        cChara c;
        Place(c);
        c.m_Def.m_nMaxHP = c.m_Def.m_nMaxSP = 100;
        c.m_nHP = 50;   // above its low mark: the ordinary bar
        c.m_nSP = 10;   // at or below it: the low bar
        c.m_HPGauge = GaugeDisplay{60, -6.5, 0.5, 20};   // a loss of 6 right of the bar, its last frame
        c.m_SPGauge = GaugeDisplay{60, 4.0, 0.5, 30};   // a gain of 4 at the bar's end

        const int32_t x = L + N / 2 - 25;
        auto expectRow = [&](int32_t y, int32_t bSP, std::initializer_list<std::pair<int32_t, int32_t>> spans) {
            int32_t from = 0;
            for (const auto& [to, n] : spans) {
                int32_t u[3];
                Units(colour(bSP, n), u);
                for (int32_t i = from; i < to; ++i) ExpectColour(x + i, y, u);
                from = to;
            }
        };
        DDFillRect(&BackBuffer, 0, 0, 640, 480, kBackgroundIndex);
        Snapshot();
        c.DrawHPGauge(&BackBuffer);
        c.DrawSPGauge(&BackBuffer);
        for (int32_t y : {T - 3, T - 2}) expectRow(y, 0, {{20, 1}, {26, 3}, {50, 0}});
        for (int32_t y : {T - 7, T - 6}) expectRow(y, 1, {{26, 2}, {30, 4}, {50, 0}});
        Verify(nSheetH > 208 ? "tall sheet, with the change" : "short sheet, with the change");

        // The last 60 frames show the bar alone.
        DDFillRect(&BackBuffer, 0, 0, 640, 480, kBackgroundIndex);
        Snapshot();
        c.DrawHPGauge(&BackBuffer);
        c.DrawSPGauge(&BackBuffer);
        for (int32_t y : {T - 3, T - 2}) expectRow(y, 0, {{20, 1}, {50, 0}});
        for (int32_t y : {T - 7, T - 6}) expectRow(y, 1, {{30, 2}, {50, 0}});
        Verify("bar alone");
    }
}

// ---- ranges of distance conditions -------------------------------------------------------------

class CharaRangeDrawTest : public CharaEffectDrawTest {
protected:
    // A distance condition shown in range colour 2, reach 2 x 16 + 3 = 35 pixels.
    static cEdCondition Distance(int32_t nAxis)
    {
        cEdCondition cond;
        cond.m_nKind = 7;
        cond.m_nLeftKind = 1;
        cond.m_nRightKind = 1;
        cond.m_nRightOwner = 1;
        cond.m_nValue = 2;
        cond.m_nRightVarIndex = 3;
        cond.m_nLeftStatus = 2;
        cond.m_nExtra = static_cast<int8_t>(nAxis);
        return cond;
    }
    // Range colour 2 moved on by the counter, except where the palette itself animates it.
    int32_t RangeColour(int32_t nCounter) const
    {
        return 216 + (Depth() == 8 && g_System.m_bPaletteCycle != 0 ? 0 : nCounter >> 3);
    }
    void TearDown() override
    {
        g_System.m_bPaletteCycle = 0;
        CharaEffectDrawTest::TearDown();
    }
};

TEST_P(CharaRangeDrawTest, AxisRangesAreLinesAcrossTheScreen)
{
    struct Case {
        int32_t nAxis, nDir, lo, hi;
        bool bVertical;
    };
    const int32_t R = 35;
    const Case cases[] = {
        {0, 0, L - R, L + N + R, false},   // both sides
        {1, 1, L + N / 2, L + N + R, false},   // ahead of a character facing right
        {1, 0, L - R, L + N / 2, false},   // ahead of one facing left
        {2, 1, L - R, L + N / 2, false},   // behind
        {3, 0, T - R, T + N + R, true},      {5, 0, T + N / 2, T + N + R, true},
    };
    for (const Case& k : cases) {
        cChara c;
        Place(c);
        c.m_nDir = k.nDir;
        c.m_bAppeared = 1;
        DDFillRect(&BackBuffer, 0, 0, 640, 480, kBackgroundIndex);
        Snapshot();
        EXPECT_EQ(DrawConditionRange(&c, &BackBuffer, Distance(k.nAxis), 17), 1);
        int32_t u[3];
        PaletteUnits(RangeColour(17), u);
        for (int32_t v : {k.lo, k.hi})
            for (int32_t t = 0; t < (k.bVertical ? 640 : 480); ++t) {
                if (k.bVertical)
                    ExpectColour(t, v, u);
                else
                    ExpectColour(v, t, u);
            }
        Verify(("axis " + std::to_string(k.nAxis) + " facing " + std::to_string(k.nDir)).c_str());
    }
}

TEST_P(CharaRangeDrawTest, CircleRangesRingTheCharactersCentre)
{
    g_System.m_bPaletteCycle = 1;   // at 8 bits the palette animates the colours: no counter
    for (int32_t nValue : {2, 6}) {   // reaches 35 (drawn directly) and 99 (a stretched circle under DirectDraw)
        cChara c;
        Place(c);
        c.m_bAppeared = 1;
        cEdCondition cond = Distance(6);
        cond.m_nValue = nValue;
        const int32_t R = nValue * 16 + 3;
        DDFillRect(&BackBuffer, 0, 0, 640, 480, kBackgroundIndex);
        Snapshot();
        EXPECT_EQ(DrawConditionRange(&c, &BackBuffer, cond, 17), 1);
        int32_t u[3];
        PaletteUnits(RangeColour(17), u);
        // A stretched circle's pixels grow by the stretch.
        const double cx = L + N / 2, cy = T + N / 2, dTol = 1.5 * (R < 65 || IsD3D() ? 1.0 : 1.0 + 2.0 * R / 129);
        int32_t nQuadrant[4] = {0, 0, 0, 0};
        for (int32_t y = 0; y < 480; ++y)
            for (int32_t x = 0; x < 640; ++x) {
                const uint32_t raw = Get(&BackBuffer, x, y);
                if (raw == Before(x, y)) continue;
                const double d = std::hypot(x - cx, y - cy);
                ASSERT_LE(std::fabs(d - R), dTol) << "R " << R << " at " << x << "," << y;
                int32_t got[3];
                Units(raw, got, true);
                ASSERT_TRUE(got[0] == u[0] && got[1] == u[1] && got[2] == u[2]) << x << "," << y;
                ++nQuadrant[(x >= cx ? 1 : 0) + (y >= cy ? 2 : 0)];
            }
        for (int32_t q = 0; q < 4; ++q) EXPECT_GE(nQuadrant[q], R) << "R " << R << " quadrant " << q;
    }
}

TEST_P(CharaRangeDrawTest, CircleRangesFromDamagedReachesEndAtOnceAndDrawNothing)
{
    // A reach from a damaged file of up to 2^35 pixels: the screen lies wholly inside such a
    // circle, so nothing of it can be seen; drawing its two thousand million points must not be
    // tried, nor any position computed past the integer range.
    for (int32_t nLeft : {100, -20})
        for (int32_t nValue : {100000000, 200000000, INT32_MAX}) {
            cChara c;
            Place(c);
            c.m_nLeft = nLeft;
            c.m_nRight = nLeft + N - 1;
            c.m_bAppeared = 1;
            cEdCondition cond = Distance(6);
            cond.m_nValue = nValue;
            DDFillRect(&BackBuffer, 0, 0, 640, 480, kBackgroundIndex);
            Snapshot();
            EXPECT_EQ(DrawConditionRange(&c, &BackBuffer, cond, 17), 1);
            Verify(("reach " + std::to_string(nValue) + " x 16").c_str());
        }
}

TEST_P(CharaRangeDrawTest, RangesThatAreNotShownDrawNothing)
{
    struct Case {
        const char* lpWhy;
        std::function<void(cChara&, cEdCondition&)> set;
    };
    const Case cases[] = {
        {"display off", [](cChara&, cEdCondition& k) { k.m_nLeftKind = 0; }},
        {"shown in test play only", [](cChara&, cEdCondition& k) { k.m_nLeftKind = 2; }},
        {"a constant reach before the character appeared",
         [](cChara& c, cEdCondition& k) {
             k.m_nRightKind = 0;
             c.m_bAppeared = 0;
         }},
        {"measured from a transparent character",
         [](cChara& c, cEdCondition& k) {
             k.m_nRightOwner = 0;
             c.m_Def.m_bTransparent = 1;
         }},
        {"a range colour past the eighth", [](cChara&, cEdCondition& k) { k.m_nLeftStatus = 8; }},
        {"an axis past the circle", [](cChara&, cEdCondition& k) { k.m_nExtra = 7; }},
    };
    for (const Case& k : cases) {
        cChara c;
        Place(c);
        c.m_bAppeared = 1;
        cEdCondition cond = Distance(0);
        k.set(c, cond);
        DDFillRect(&BackBuffer, 0, 0, 640, 480, kBackgroundIndex);
        Snapshot();
        DrawConditionRange(&c, &BackBuffer, cond, 17);
        Verify(k.lpWhy);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, CharaRangeDrawTest, testing::ValuesIn(EffectModes()), ModeName);

INSTANTIATE_TEST_SUITE_P(Modes, CharaEffectDrawTest, testing::ValuesIn(EffectModes()), ModeName);

}   // namespace
