// The effects' row loops against the per-pixel loops they stand in for: on every back end and
// depth, many random calls (random pictures with transparent pixels, rectangles reaching past
// either surface, the key on and off, system and video memory, the back buffer, a surface onto
// itself) done both ways from the same pictures must leave the same pixels.
#include <functional>
#include <string>
#include <vector>

#include "GraphicsTestSupport.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDEffects.h"
#include "media/graphics/DDSurfaceLock.h"
#include "platform/graphics/PixelRows.h"
#include "tests/platform_graphics/Dice.h"

namespace {

class EffectRowsTest : public GraphicsTest {
protected:
    void TearDown() override
    {
        gfx::ForceGeneralPixelPaths(false);
        GraphicsTest::TearDown();
    }

    // Random raw pixels, about a third of them transparent.
    void Scribble(DDSURFACEDATA* sd, Dice& dice)
    {
        cPixelBuffer* p = Pixels(sd);
        ASSERT_NE(p, nullptr);
        for (int32_t y = 0; y < p->Height(); ++y)
            for (int32_t x = 0; x < p->Width(); ++x) {
                uint32_t v = dice.Chance(30) ? Transparent() : dice.Next();
                if (Depth() == 32 && !IsD3D() && dice.Chance(50)) v &= 0x00FFFFFFu;
                p->WriteRaw(x, y, v);
            }
    }

    // A surface for one round: a new one of random size and memory, or the back buffer.
    DDSURFACEDATA* Pick(Dice& dice, bool keyed)
    {
        if (dice.Chance(15)) return &BackBuffer;
        return NewSurface(dice.Between(1, 64), dice.Between(1, 48), keyed ? 1 : 0, dice.Between(0, 1));
    }

    // Runs call with the row loops and with the per-pixel loops from the same pictures and
    // compares the destination; returns false when a difference was reported.
    bool Compare(const std::vector<DDSURFACEDATA*>& involved, DDSURFACEDATA* dst, const std::function<void()>& call)
    {
        std::vector<cPixelBuffer> before;
        for (DDSURFACEDATA* sd : involved) before.push_back(*Pixels(sd));
        call();
        const cPixelBuffer rows = *Pixels(dst);
        for (size_t k = 0; k < involved.size(); ++k) Pixels(involved[k])->CopyFrom(before[k]);
        gfx::ForceGeneralPixelPaths(true);
        call();
        gfx::ForceGeneralPixelPaths(false);
        const cPixelBuffer& plain = *Pixels(dst);
        for (int32_t y = 0; y < plain.Height(); ++y)
            for (int32_t x = 0; x < plain.Width(); ++x)
                if (rows.ReadRaw(x, y) != plain.ReadRaw(x, y)) {
                    ADD_FAILURE() << "at " << x << "," << y << ": rows " << std::hex << rows.ReadRaw(x, y)
                                  << ", pixels " << plain.ReadRaw(x, y);
                    return false;
                }
        return true;
    }

    // Rounds of one effect: effect(dst, src, x, y, w, h, sx, sy, flag, more) with random arguments
    // (more: a random number for the effect's own arguments).
    using Effect = std::function<void(DDSURFACEDATA*, DDSURFACEDATA*, int32_t, int32_t, int32_t, int32_t, int32_t,
                                      int32_t, int32_t, uint32_t)>;
    void Rounds(const char* name, int32_t rounds, const Effect& effect)
    {
        Dice dice(static_cast<uint64_t>(GetParam().nBackEnd * 100 + Depth() * 3 + GetParam().nWindowMode));
        for (int32_t round = 0; round < rounds; ++round) {
            SCOPED_TRACE(std::string(name) + " round " + std::to_string(round));
            const bool keyed = dice.Chance(70);
            DDSURFACEDATA* src = Pick(dice, keyed);
            DDSURFACEDATA* dst = dice.Chance(15) ? src : Pick(dice, false);
            Scribble(src, dice);
            if (dst != src) Scribble(dst, dice);
            const int32_t w = dice.Between(-2, 70), h = dice.Between(-2, 50);
            const int32_t x = dice.Between(-20, 60), y = dice.Between(-20, 44);
            const int32_t sx = dice.Chance(30) ? x : dice.Between(-20, 60), sy = dice.Chance(30) ? y : dice.Between(-20, 44);
            const int32_t flag = dice.Between(0, 1);
            const uint32_t more = dice.Next();
            std::vector<DDSURFACEDATA*> involved{dst};
            if (src != dst) involved.push_back(src);
            if (!Compare(involved, dst, [&] { effect(dst, src, x, y, w, h, sx, sy, flag, more); })) return;
        }
    }
};

TEST_P(EffectRowsTest, MosaicRowsPaintWhatThePixelLoopPaints)
{
    Rounds("mosaic", 120, [](DDSURFACEDATA* d, DDSURFACEDATA* s, int32_t x, int32_t y, int32_t w, int32_t h,
                             int32_t sx, int32_t sy, int32_t flag, uint32_t more) {
        const int32_t cell = more % 10 == 0 ? static_cast<int32_t>(60 + more % 140) : static_cast<int32_t>(1 + more / 10 % 9);
        DDMosaic(d, x, y, w, h, cell, s, sx, sy, flag);
    });
}

// Under Direct3D these are the blits that copy pixels (from system memory, from the back buffer,
// into surfaces that cannot be drawn to); under DirectDraw the DirectDraw blits.
TEST_P(EffectRowsTest, BlitRowsCopyWhatThePixelLoopCopies)
{
    Rounds("blit", 150, [](DDSURFACEDATA* d, DDSURFACEDATA* s, int32_t x, int32_t y, int32_t w, int32_t h,
                           int32_t sx, int32_t sy, int32_t flag, uint32_t more) {
        if (more % 3 == 0) {
            DDBlt(d, x, y, w, h, s, sx, sy, flag);
            return;
        }
        const int32_t sw = static_cast<int32_t>(more / 3 % 90) - 20, sh = static_cast<int32_t>(more / 270 % 70) - 15;
        DDBltStretch(d, x, y, w, h, s, sx, sy, sw, sh, flag);
    });
}

// Plain copies out of, into and within the 16-bit back buffer convert whole rows between its
// words and texture words: from the back buffer into render targets and system-memory textures,
// from system-memory textures into it, and onto itself; keyed and not, reaching past either edge.
class Direct3D16EffectRowsTest : public EffectRowsTest {};

TEST_P(Direct3D16EffectRowsTest, BackBufferCopyRowsConvertWhatThePixelLoopConverts)
{
    Dice dice(static_cast<uint64_t>(16 + GetParam().nWindowMode));
    for (int32_t round = 0; round < 150; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int32_t kind = dice.Between(0, 2);   // 0 out of the back buffer, 1 into it, 2 within it
        DDSURFACEDATA* other = NewSurface(dice.Between(1, 700), dice.Between(1, 60), dice.Between(0, 1), kind == 1 ? 1 : dice.Between(0, 1));
        DDSURFACEDATA* src = kind == 1 ? other : &BackBuffer;
        DDSURFACEDATA* dst = kind == 0 ? other : &BackBuffer;
        Scribble(src, dice);
        if (dst != src) Scribble(dst, dice);
        const int32_t w = dice.Between(1, 700), h = dice.Between(1, 60);
        const int32_t x = dice.Between(-40, 100), y = dice.Between(-20, 40);
        const int32_t sx = dice.Between(-40, 100), sy = dice.Between(-20, 40), flag = dice.Between(0, 1);
        std::vector<DDSURFACEDATA*> involved{dst};
        if (src != dst) involved.push_back(src);
        if (!Compare(involved, dst, [&] { DDBlt(dst, x, y, w, h, src, sx, sy, flag); })) return;
    }
}

// Copies into render-target textures, which are read into their system-memory twin, changed
// there and written back: a copy writes back only its rectangle, and a plain copy without the
// key that covers its rectangle from inside its source skips the read. The twins start out of
// date, so a pixel taken from a twin that was not read shows.
class Direct3DEffectRowsTest : public EffectRowsTest {};

TEST_P(Direct3DEffectRowsTest, CopiesIntoRenderTargetsChangeWhatThePixelLoopChanges)
{
    Dice dice(static_cast<uint64_t>(Depth() * 7 + GetParam().nWindowMode));
    for (int32_t round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int32_t dw = dice.Between(1, 80), dh = dice.Between(1, 40);
        DDSURFACEDATA* dst = NewSurface(dw, dh, 0, 0);
        DDSURFACEDATA* src = dice.Chance(20) ? &BackBuffer : NewSurface(dice.Between(1, 80), dice.Between(1, 40), dice.Between(0, 1), 1);
        Scribble(dst, dice);
        { cSurfaceLock stale(dst); }
        Scribble(dst, dice);
        Scribble(src, dice);
        // Mostly inside both surfaces, sometimes over an edge of either.
        const int32_t w = dice.Between(1, dw + 2), h = dice.Between(1, dh + 2);
        const int32_t x = dice.Between(-2, dw - w + 2), y = dice.Between(-2, dh - h + 2);
        const int32_t sx = dice.Between(-2, 40), sy = dice.Between(-2, 20), flag = dice.Between(0, 1);
        const bool stretched = dice.Chance(20);
        if (!Compare({dst, src}, dst, [&] {
                if (stretched) DDBltStretch(dst, x, y, w, h, src, sx, sy, w / 2 + 1, h / 2 + 1, flag);
                else DDBlt(dst, x, y, w, h, src, sx, sy, flag);
            }))
            return;
    }
}

TEST_P(EffectRowsTest, BlurRowsAverageWhatThePixelLoopAverages)
{
    Rounds("blur", 120, [](DDSURFACEDATA* d, DDSURFACEDATA* s, int32_t x, int32_t y, int32_t w, int32_t h,
                           int32_t sx, int32_t sy, int32_t flag, uint32_t more) {
        const int32_t rx = more % 9 == 0 ? 100 : static_cast<int32_t>(more % 6), ry = static_cast<int32_t>(more / 9 % 7);
        DDBlur(d, x, y, w, h, rx, ry, s, sx, sy, flag);
    });
}

TEST_P(EffectRowsTest, TranslucencyRowsMixWhatThePixelLoopMixes)
{
    for (int32_t i = 0; i < 65536; ++i) BlendTable[i] = static_cast<uint8_t>((i * 2654435761u) >> 24);
    Rounds("translucency", 120, [](DDSURFACEDATA* d, DDSURFACEDATA* s, int32_t x, int32_t y, int32_t w, int32_t h,
                                   int32_t sx, int32_t sy, int32_t flag, uint32_t more) {
        DDBltTranslucent(d, x, y, w, h, s, sx, sy, flag, more % 5 == 0 ? nullptr : BlendTable,
                         static_cast<int32_t>(more % 256));
    });
}

TEST_P(EffectRowsTest, TintRowsPullWhatThePixelLoopPulls)
{
    for (int32_t i = 0; i < 65536; ++i) BlendTable[i] = static_cast<uint8_t>((i * 40503u) >> 8);
    Rounds("tint", 120, [](DDSURFACEDATA* d, DDSURFACEDATA* s, int32_t x, int32_t y, int32_t w, int32_t h,
                           int32_t sx, int32_t sy, int32_t flag, uint32_t more) {
        DDBltTint(d, x, y, w, h, s, sx, sy, flag, ColorPalette, more % 7 == 0 ? nullptr : BlendTable,
                  static_cast<int32_t>(more % 256), static_cast<int32_t>(more / 256 % 8) - 1);
    });
}

// The fade's own rows exist only on DirectDraw.
class DirectDrawEffectRowsTest : public EffectRowsTest {};

TEST_P(DirectDrawEffectRowsTest, FadeRowsMixWhatThePixelLoopMixes)
{
    Rounds("fade", 60, [](DDSURFACEDATA* d, DDSURFACEDATA* s, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                          int32_t, uint32_t more) {
        DDFade_UnPal(d, static_cast<int32_t>(more % 300) - 20, static_cast<uint8_t>(more >> 8),
                     static_cast<uint8_t>(more >> 16), static_cast<uint8_t>(more >> 24), s);
    });
}

// The averaging mosaic of 16- and 32-bit DirectDraw.
class DirectDrawTrueColourEffectRowsTest : public EffectRowsTest {};

// Cells wider than the rows that add their channels in one word take the long way.
TEST_P(DirectDrawTrueColourEffectRowsTest, MosaicOfVeryWideCellsPaintsWhatThePixelLoopPaints)
{
    Dice dice(3);
    DDSURFACEDATA* src = NewSurface(9000, 3, 1, 1);
    DDSURFACEDATA* dst = NewSurface(9000, 3, 0, 1);
    for (int32_t flag = 0; flag < 2; ++flag) {
        Scribble(src, dice);
        Scribble(dst, dice);
        EXPECT_TRUE(Compare({dst, src}, dst, [&] { DDMosaic(dst, 0, 0, 9000, 3, 8500, src, 0, 0, flag); }));
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, EffectRowsTest, testing::ValuesIn(AllModes()), ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, Direct3DEffectRowsTest, testing::ValuesIn(Direct3DModes()), ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, Direct3D16EffectRowsTest,
                         testing::ValuesIn(ModesWhere([](const ModeCase& m) { return m.nBackEnd != 0 && m.nDepth == 16; })),
                         ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, DirectDrawEffectRowsTest,
                         testing::ValuesIn(ModesWhere([](const ModeCase& m) { return m.nBackEnd == 0; })), ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, DirectDrawTrueColourEffectRowsTest,
                         testing::ValuesIn(ModesWhere([](const ModeCase& m) { return m.nBackEnd == 0 && m.nDepth != 8; })),
                         ModeName);

} // namespace
