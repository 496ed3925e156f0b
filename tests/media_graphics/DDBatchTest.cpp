// The draw batch: recording order, sorting with registered sources drawn last, nesting, and
// grouping by blend state. Under DirectDraw the batch does nothing and blits draw at once.
#include "GraphicsTestSupport.h"
#include "media/graphics/DDBatch.h"
#include "media/graphics/DDBlt.h"

namespace {

class BatchTest : public GraphicsTest {
protected:
    DDSURFACEDATA* Solid(uint32_t raw)
    {
        DDSURFACEDATA* s = NewSurface(4, 4);
        FillRaw(s, raw);
        return s;
    }
    uint32_t Colour(int32_t n) const
    {
        if (Depth() == 8) return static_cast<uint32_t>(10 + n);
        static const int32_t rgb[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
        return Opaque(rgb[n][0], rgb[n][1], rgb[n][2]);
    }
};

// The blend state and the batch's own drawing exist only under Direct3D.
using Direct3DBatchTest = BatchTest;

struct OrderCase {
    const char* name;
    int32_t bSort;
    int32_t nRegister[2]; // sources to register, by number (-1: none)
    int32_t nTopAt01;     // which source ends on top where blits 0 and 1 overlap
    int32_t nTopAt12;     // ... where blits 1 and 2 overlap
};

// Blits in recording order: source 0 at (0,0), source 1 at (2,0), source 2 at (4,0), each 4
// wide, so each overlaps the next by two columns.
const OrderCase kOrderCases[] = {
    {"unsorted draws in recording order", 0, {-1, -1}, 1, 2},
    {"unsorted ignores registration", 0, {0, -1}, 1, 2},
    {"sorted without registration keeps recording order", 1, {-1, -1}, 1, 2},
    {"a registered source is drawn after all others", 1, {0, -1}, 0, 2},
    {"registered sources are drawn in registration order", 1, {1, 0}, 0, 1},
    {"registering twice keeps the first place", 1, {1, 1}, 1, 1},
};

TEST_P(BatchTest, BatchOrderFollowsSortingAndRegistration)
{
    DDSURFACEDATA* src[3] = {Solid(Colour(0)), Solid(Colour(1)), Solid(Colour(2))};
    DDSURFACEDATA* dst = NewSurface(8, 4);
    for (const OrderCase& c : kOrderCases) {
        SCOPED_TRACE(c.name);
        FillRaw(dst, Colour(3));
        DDBeginDrawBatch(c.bSort);
        for (int32_t r : c.nRegister)
            if (r >= 0) DDRegisterBatchSource(src[r]);
        for (int32_t i = 0; i < 3; ++i) DDBlt(dst, 2 * i, 0, 4, 4, src[i], 0, 0, 0);
        if (IsD3D()) {
            EXPECT_EQ(DDDrawBatchPending(), 3);
            EXPECT_EQ(Get(dst, 0, 0), Colour(3)) << "nothing drawn before the end";
        }
        DDEndDrawBatch();
        EXPECT_EQ(Get(dst, 0, 0), Colour(0));
        if (IsD3D()) {
            EXPECT_EQ(Get(dst, 2, 0), Colour(c.nTopAt01));
            EXPECT_EQ(Get(dst, 4, 0), Colour(c.nTopAt12));
        } else {
            // DirectDraw draws every blit as it comes.
            EXPECT_EQ(Get(dst, 2, 0), Colour(1));
            EXPECT_EQ(Get(dst, 4, 0), Colour(2));
        }
        EXPECT_EQ(Get(dst, 7, 0), Colour(2));
        EXPECT_FALSE(DDDrawBatchIsOpen());
    }
}

TEST_P(BatchTest, BatchOpenedInsideABatchJoinsIt)
{
    DDSURFACEDATA* a = Solid(Colour(0));
    DDSURFACEDATA* b = Solid(Colour(1));
    DDSURFACEDATA* dst = NewSurface(8, 4);
    FillRaw(dst, Colour(3));
    DDBeginDrawBatch(1);
    DDRegisterBatchSource(a);
    DDBlt(dst, 0, 0, 4, 4, a, 0, 0, 0);
    // An effect that batches its own blits (a disc, a wave) inside the stage's batch.
    DDBeginDrawBatch(0);
    DDBlt(dst, 2, 0, 4, 4, b, 0, 0, 0);
    DDEndDrawBatch();
    if (IsD3D()) {
        EXPECT_TRUE(DDDrawBatchIsOpen());
        EXPECT_EQ(DDDrawBatchPending(), 2) << "the outer batch keeps what it recorded";
        EXPECT_EQ(Get(dst, 0, 0), Colour(3));
    }
    DDEndDrawBatch();
    EXPECT_FALSE(DDDrawBatchIsOpen());
    EXPECT_EQ(Get(dst, 0, 0), Colour(0));
    // The registered source still comes last, over the inner batch's blit.
    EXPECT_EQ(Get(dst, 3, 0), IsD3D() ? Colour(0) : Colour(1));
    EXPECT_EQ(Get(dst, 5, 0), Colour(1));
}

TEST_P(Direct3DBatchTest, BlendStateIsRecordedPerBlit)
{
    DDSURFACEDATA* white = Solid(Opaque(255, 255, 255));
    DDSURFACEDATA* dst = NewSurface(8, 1);
    FillRaw(dst, Opaque(0, 0, 0));
    DDBeginDrawBatch(0);
    DDSetDiffuse(0xFFFF0000u);
    DDBlt(dst, 0, 0, 2, 1, white, 0, 0, 0);
    DDSetDiffuse(0xFF0000FFu);
    DDBlt(dst, 2, 0, 2, 1, white, 0, 0, 0);
    DDResetDiffuse();
    DDBlt(dst, 4, 0, 2, 1, white, 0, 0, 0);
    DDEndDrawBatch();
    EXPECT_EQ(Get(dst, 0, 0), Opaque(255, 0, 0));
    EXPECT_EQ(Get(dst, 2, 0), Opaque(0, 0, 255));
    EXPECT_EQ(Get(dst, 4, 0), Opaque(255, 255, 255));
    EXPECT_EQ(Get(dst, 6, 0), Opaque(0, 0, 0));
}

TEST_P(Direct3DBatchTest, LargeBatchesDrawEveryBlit)
{
    // More quads than 16-bit indices can address in one group.
    DDSURFACEDATA* src = Solid(Colour(0));
    DDSURFACEDATA* dst = NewSurface(200, 100);
    FillRaw(dst, Colour(3));
    DDBeginDrawBatch(1);
    for (int32_t i = 0; i < 20000; ++i) DDBlt(dst, i % 200, (i / 200) % 100, 1, 1, src, 0, 0, 0);
    DDEndDrawBatch();
    for (int32_t y = 0; y < 100; ++y)
        for (int32_t x = 0; x < 200; ++x) ASSERT_EQ(Get(dst, x, y), Colour(0)) << x << "," << y;
}

TEST_P(BatchTest, EndingWithoutCommandsOnlyCloses)
{
    DDBeginDrawBatch(1);
    EXPECT_EQ(DDEndDrawBatch(), 0);
    EXPECT_FALSE(DDDrawBatchIsOpen());
    EXPECT_EQ(DDEndDrawBatch(), 0) << "ending a closed batch does nothing";
}

INSTANTIATE_TEST_SUITE_P(Modes, BatchTest, testing::ValuesIn(AllModes()), ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, Direct3DBatchTest, testing::ValuesIn(Direct3DModes()), ModeName);

} // namespace
