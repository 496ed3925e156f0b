// Presentation of the Direct3D frame.
#include "GraphicsTestSupport.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDPresent.h"
#include "platform/graphics/GraphicsControl.h"

namespace {

class PresentTest : public GraphicsTest {};
// Only Direct3D reports a lost device from the flip.
using Direct3DPresentTest = PresentTest;

TEST_P(PresentTest, FlipHandsTheFrameToTheHostWithTheVirtualBackBufferCopiedIn)
{
    if (!IsD3D()) {
        EXPECT_EQ(DDFlip(60), 1) << "DirectDraw presents through the shell";
        return;
    }
    const uint64_t before = PresentedFrameCount();
    DDSetVirtualBackBuffer(1);
    cPixelBuffer* vbb = VirBackBuffer.lpDT->lpSurface->Pixels();
    vbb->FillRaw(0, 0, vbb->Width(), vbb->Height(), ArgbToPixel(vbb->Format(), 0xFF3060C0u));
    EXPECT_EQ(DDFlip(60), 1);
    EXPECT_EQ(PresentedFrameCount(), before + 1);
    const PresentedFrame frame = LastPresentedFrame();
    ASSERT_EQ(frame.nWidth, 640);
    const uint32_t want = PixelToArgb(BackBuffer.lpDT->lpSurface->Pixels()->Format(),
                                      ArgbToPixel(BackBuffer.lpDT->lpSurface->Pixels()->Format(),
                                                  PixelToArgb(vbb->Format(), vbb->ReadRaw(0, 0))));
    EXPECT_EQ(frame.vPixels[100 * 640 + 100] & 0xFFFFFFu, want & 0xFFFFFFu);
    DDSetVirtualBackBuffer(0);
}

TEST_P(Direct3DPresentTest, FlipReportsALostDevice)
{
    LoseDirect3DDevice();
    EXPECT_EQ(DDFlip(60), 0);
    RegainDirect3DDevice();
}

INSTANTIATE_TEST_SUITE_P(Modes, PresentTest, testing::ValuesIn(AllModes()), ModeName);
INSTANTIATE_TEST_SUITE_P(Modes, Direct3DPresentTest, testing::ValuesIn(Direct3DModes()), ModeName);

} // namespace
