// Blits on every back end and depth: plain, keyed, stretched, mirrored, clipped at every edge,
// the software path of Direct3D, and the virtual back buffer.
#include "GraphicsTestSupport.h"
#include "media/graphics/DDBatch.h"
#include "media/graphics/DDBlt.h"

namespace {

class BltTest : public GraphicsTest {
protected:
    // A source whose every pixel differs: colour from its position.
    uint32_t SourcePixel(int32_t x, int32_t y) const
    {
        if (Depth() == 8) return static_cast<uint32_t>(1 + x + 16 * y) & 255;
        return Opaque(8 * x + 8, 8 * y + 16, 200);
    }
    DDSURFACEDATA* PatternSource(int32_t w, int32_t h, int32_t key = 0, int32_t mem = 0)
    {
        DDSURFACEDATA* s = NewSurface(w, h, key, mem);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) Put(s, x, y, SourcePixel(x, y));
        return s;
    }
    uint32_t Background() const { return Depth() == 8 ? 250u : Opaque(16, 240, 32); }
    // Direct3D draws from video-memory textures as quads and from system-memory ones by pixels;
    // both must give the same picture. DirectDraw has one path.
    std::vector<int32_t> SourceMemoryTypes() const { return IsD3D() ? std::vector<int32_t>{0, 1} : std::vector<int32_t>{0}; }
};

// Mirroring by a negative source width, views of a base surface, the virtual back buffer and the
// back buffer without a texture are Direct3D's; DirectDraw mirrors only through mirrored bitmaps,
// its back buffer is an ordinary surface, and it copies the key colour itself (keyed blit test).
using Direct3DBltTest = BltTest;

struct ClipCase {
    const char* name;
    int32_t x, y, w, h, sx, sy;      // the call
    int32_t dx, dy, csx, csy, cw, ch; // what lands: destination start, source start, size (0: nothing)
};

// Destination 16 x 12, source 24 x 12.
const ClipCase kClipCases[] = {
    {"inside", 5, 6, 4, 3, 1, 1, 5, 6, 1, 1, 4, 3},
    {"left", -2, 0, 5, 2, 0, 0, 0, 0, 2, 0, 3, 2},
    {"right", 13, 0, 5, 2, 0, 0, 13, 0, 0, 0, 3, 2},
    {"top", 0, -1, 3, 3, 0, 0, 0, 0, 0, 1, 3, 2},
    {"bottom", 0, 11, 3, 3, 0, 0, 0, 11, 0, 0, 3, 1},
    {"both sides", -2, 1, 20, 2, 0, 0, 0, 1, 2, 0, 16, 2},
    {"source left", 4, 4, 5, 2, -2, 0, 4, 4, 0, 0, 3, 2},
    {"source right", 0, 0, 5, 2, 21, 0, 0, 0, 21, 0, 3, 2},
    {"source bottom", 0, 0, 2, 5, 0, 9, 0, 0, 0, 9, 2, 3},
    {"outside", 16, 0, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0},
    {"empty", 2, 2, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0},
};

TEST_P(BltTest, PlainBlitsAreClippedAtEveryEdge)
{
    for (int32_t mem : SourceMemoryTypes()) {
        DDSURFACEDATA* src = PatternSource(24, 12, 0, mem);
        DDSURFACEDATA* dst = NewSurface(16, 12);
        for (const ClipCase& c : kClipCases) {
            SCOPED_TRACE(std::string(c.name) + (mem ? " (system-memory source)" : ""));
            FillRaw(dst, Background());
            DDBlt(dst, c.x, c.y, c.w, c.h, src, c.sx, c.sy, 0);
            for (int32_t y = 0; y < 12; ++y) {
                for (int32_t x = 0; x < 16; ++x) {
                    const bool in = x >= c.dx && x < c.dx + c.cw && y >= c.dy && y < c.dy + c.ch;
                    const uint32_t want = in ? SourcePixel(c.csx + x - c.dx, c.csy + y - c.dy) : Background();
                    ASSERT_EQ(Get(dst, x, y), want) << "at " << x << "," << y;
                }
            }
        }
    }
}

TEST_P(BltTest, KeyedBlitsSkipTheTransparentColourOnlyWithFlag1)
{
    for (int32_t mem : SourceMemoryTypes()) {
        DDSURFACEDATA* src = PatternSource(4, 4, 1, mem);
        Put(src, 1, 1, Transparent());
        Put(src, 2, 3, Transparent());
        DDSURFACEDATA* dst = NewSurface(8, 8, 1);
        for (int32_t flag : {1, 0}) {
            SCOPED_TRACE(testing::Message() << "flag " << flag << " memory " << mem);
            FillRaw(dst, Background());
            DDBlt(dst, 2, 2, 4, 4, src, 0, 0, flag);
            for (int32_t y = 0; y < 4; ++y) {
                for (int32_t x = 0; x < 4; ++x) {
                    const bool hole = (x == 1 && y == 1) || (x == 2 && y == 3);
                    uint32_t want = SourcePixel(x, y);
                    // Without the key the transparent parts are copied too: a keyed texture keeps
                    // them transparent, DirectDraw copies the key colour.
                    if (hole) want = flag == 1 ? Background() : Transparent();
                    ASSERT_EQ(Get(dst, 2 + x, 2 + y), want) << x << "," << y;
                }
            }
        }
    }
}

TEST_P(BltTest, StretchedBlitsScaleByWholePixels)
{
    for (int32_t mem : SourceMemoryTypes()) {
        DDSURFACEDATA* src = PatternSource(4, 4, 0, mem);
        DDSURFACEDATA* dst = NewSurface(16, 16);
        FillRaw(dst, Background());
        // 2 x 2 source pixels to 8 x 4: each source pixel becomes a 4 x 2 block.
        DDBltStretch(dst, 3, 5, 8, 4, src, 1, 1, 2, 2, 0);
        for (int32_t y = 0; y < 16; ++y) {
            for (int32_t x = 0; x < 16; ++x) {
                const bool in = x >= 3 && x < 11 && y >= 5 && y < 9;
                const uint32_t want = in ? SourcePixel(1 + (x - 3) / 4, 1 + (y - 5) / 2) : Background();
                ASSERT_EQ(Get(dst, x, y), want) << x << "," << y << " memory " << mem;
            }
        }
    }
}

TEST_P(BltTest, StretchedBlitKeepsTheSourceFractionThatIsOnTheSurface)
{
    DDSURFACEDATA* src = PatternSource(4, 4);
    DDSURFACEDATA* dst = NewSurface(16, 16);
    FillRaw(dst, Background());
    // Source columns 2..5 requested, only 2..3 exist: half the source, so half the width.
    DDBltStretch(dst, 0, 0, 8, 2, src, 2, 0, 4, 1, 0);
    for (int32_t x = 0; x < 8; ++x) {
        const uint32_t want = x < 4 ? SourcePixel(2 + x / 2, 0) : Background();
        EXPECT_EQ(Get(dst, x, 0), want) << x;
    }
}

TEST_P(Direct3DBltTest, NegativeSourceWidthDrawsMirroredUnderDirect3D)
{
    for (int32_t mem : SourceMemoryTypes()) {
        DDSURFACEDATA* src = PatternSource(8, 2, 0, mem);
        DDSURFACEDATA* dst = NewSurface(8, 4);
        FillRaw(dst, Background());
        DDBltStretch(dst, 0, 0, 4, 2, src, 6, 0, -4, 2, 0);
        for (int32_t y = 0; y < 2; ++y)
            for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(Get(dst, x, y), SourcePixel(5 - x, y)) << x << " memory " << mem;
    }
}

TEST_P(Direct3DBltTest, MirroredViewReadsEachFrameRightToLeft)
{
    DDSURFACEDATA* base = PatternSource(16, 2);
    DDSURFACEDATA& view = m_Surfaces.emplace_back();
    ASSERT_TRUE(DDCreateSurface(&view, 16, 2, 0, 0, 0, 1, 0));
    view.lpBaseSD = base;
    view.nMirrorWidth = 4;
    DDSURFACEDATA* dst = NewSurface(8, 2);
    FillRaw(dst, Background());
    // Frame 2 (columns 8..11) shown mirrored; then a 2-column part at column 9 reads leftwards
    // from column 10.
    DDBlt(dst, 0, 0, 4, 2, &view, 8, 0, 0);
    DDBlt(dst, 4, 0, 2, 2, &view, 9, 0, 0);
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(Get(dst, x, 0), SourcePixel(11 - x, 0)) << x;
    EXPECT_EQ(Get(dst, 4, 0), SourcePixel(10, 0));
    EXPECT_EQ(Get(dst, 5, 0), SourcePixel(9, 0));
}

TEST_P(BltTest, BlendPairTintsOnlyUnderDirect3DAndIsResetAfterwards)
{
    DDSURFACEDATA* src = PatternSource(2, 1);
    DDSURFACEDATA* dst = NewSurface(4, 1);
    FillRaw(dst, Background());
    // Modulate by half-grey: every channel halves (rounded as the device rounds).
    DDBltBlend(dst, 0, 0, 2, 1, src, 0, 0, 0, DDBLENDPAIR{0xFF808080u, 4});
    DDBlt(dst, 2, 0, 2, 1, src, 0, 0, 0);
    for (int32_t x = 0; x < 2; ++x) {
        if (!IsD3D()) {
            EXPECT_EQ(Get(dst, x, 0), SourcePixel(x, 0));
            continue;
        }
        cPixelBuffer* p = Pixels(dst);
        const uint32_t s = PixelToArgb(p->Format(), SourcePixel(x, 0));
        uint32_t want = 0xFF000000u;
        for (int shift = 0; shift <= 16; shift += 8)
            want |= ((((s >> shift) & 255) * 128 + 127) / 255) << shift;
        EXPECT_EQ(Get(dst, x, 0), ArgbToPixel(p->Format(), want)) << x;
    }
    EXPECT_EQ(Get(dst, 2, 0), SourcePixel(0, 0));
    EXPECT_EQ(Get(dst, 3, 0), SourcePixel(1, 0));
    if (IsD3D()) {
        EXPECT_EQ(lpDTCon->dwDiffuse, 0xFFFFFFFFu);
        EXPECT_EQ(lpDTCon->dwColorOp, 4);
    }
}

TEST_P(Direct3DBltTest, VirtualBackBufferTakesBackBufferDrawingUntilSwitchedOff)
{
    DDSURFACEDATA* src = PatternSource(4, 4);
    cPixelBuffer* back = BackBuffer.lpDT->lpSurface->Pixels();
    back->FillRaw(0, 0, back->Width(), back->Height(), 0x1234);
    const uint32_t before = back->ReadRaw(10, 10);
    DDSetVirtualBackBuffer(1);
    FillRaw(&VirBackBuffer, Opaque(0, 0, 0));
    DDBlt(&BackBuffer, 10, 10, 4, 4, src, 0, 0, 0);
    EXPECT_EQ(VirBackBuffer.lpDT->lpSurface->Pixels()->ReadRaw(10, 10), SourcePixel(0, 0));
    EXPECT_EQ(back->ReadRaw(10, 10), before);
    DDSetVirtualBackBuffer(0);
    // The copy back is opaque: the whole virtual picture replaces the back buffer.
    const PixelFormat texture = Pixels(src)->Format();
    EXPECT_EQ(back->ReadRaw(10, 10), ArgbToPixel(back->Format(), PixelToArgb(texture, SourcePixel(0, 0))));
    EXPECT_EQ(back->ReadArgb(0, 0) & 0xFFFFFFu, 0u);
    EXPECT_EQ(lpDTCon->lpTargetSD, &BackBuffer);
}

TEST_P(Direct3DBltTest, BackBufferAsSourceIsReadAsAnOpaquePicture)
{
    // A screen effect copies the picture to a work texture: the back buffer has no texture to
    // draw from, so it is read by pixels in its own format.
    cPixelBuffer* back = BackBuffer.lpDT->lpSurface->Pixels();
    back->FillRaw(0, 0, back->Width(), back->Height(), ArgbToPixel(back->Format(), 0xFF2080F8u));
    back->WriteRaw(3, 0, ArgbToPixel(back->Format(), 0xFF000000u));
    DDSURFACEDATA* work = NewSurface(8, 8, 1);
    FillRaw(work, Transparent());
    DDBlt(work, 0, 0, 4, 4, &BackBuffer, 0, 0, 1);
    const PixelFormat texture = Pixels(work)->Format();
    EXPECT_EQ(Get(work, 0, 0), ArgbToPixel(texture, back->ReadArgb(0, 0) | 0xFF000000u));
    EXPECT_EQ(Get(work, 3, 0), ArgbToPixel(texture, 0xFF000000u)) << "black is opaque, not transparent";
    EXPECT_EQ(Get(work, 4, 0), Transparent());
}

TEST_P(Direct3DBltTest, UnkeyedBlitOntoTheBackBufferShowsTheTransparentColour)
{
    DDSURFACEDATA* src = PatternSource(4, 4, 1);
    Put(src, 1, 1, Transparent());
    cPixelBuffer* back = BackBuffer.lpDT->lpSurface->Pixels();
    back->FillRaw(0, 0, back->Width(), back->Height(), ArgbToPixel(back->Format(), 0xFF102030u));
    DDBlt(&BackBuffer, 0, 0, 4, 4, src, 0, 0, 0);
    // The back buffer keeps no transparency: the hole shows the transparent colour, magenta.
    EXPECT_EQ(back->ReadRaw(1, 1), ArgbToPixel(back->Format(), 0xFFFF00FFu));
    EXPECT_EQ(back->ReadRaw(0, 0), ArgbToPixel(back->Format(), PixelToArgb(Pixels(src)->Format(), SourcePixel(0, 0))));
}

INSTANTIATE_TEST_SUITE_P(Modes, BltTest, testing::ValuesIn(AllModes()), ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, Direct3DBltTest, testing::ValuesIn(Direct3DModes()), ModeName);

} // namespace
