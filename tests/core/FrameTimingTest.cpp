#include <vector>

#include "CoreTestSupport.h"
#include "core/FrameTiming.h"
#include "platform/host/Host.h"

namespace {

class FrameTimingTest : public CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        ResetFrameTiming();
        SetPaceFrameBackEndActive(false);
    }
    void TearDown() override
    {
        SetPaceFrameBackEndActive(false);
        CoreTest::TearDown();
    }
    static void At(uint32_t time) { HostSetVirtualTime(time); }
};

TEST_F(FrameTimingTest, FrameGatePassesEvery16MillisecondsAt60)
{
    for (uint32_t start : {1000u, 0xFFFFFFF8u}) {   // the second start crosses the timer's wrap
        ResetFrameTiming();
        At(start);
        EXPECT_TRUE(FrameGate(60)) << "first call passes";
        At(start + 1);
        EXPECT_FALSE(FrameGate(60));
        At(start + 15);
        EXPECT_FALSE(FrameGate(60));
        At(start + 16);
        EXPECT_TRUE(FrameGate(60));
        At(start + 40);   // late: not made up
        EXPECT_TRUE(FrameGate(60));
        At(start + 55);
        EXPECT_FALSE(FrameGate(60));
        At(start + 56);
        EXPECT_TRUE(FrameGate(60));
    }
    EXPECT_TRUE(FrameGate(0));
}

TEST_F(FrameTimingTest, PaceFrameSchedulesEachSecondAgainstItsStart)
{
    At(500);
    EXPECT_TRUE(PaceFrame(60)) << "passes at once while Direct3D is not active";
    EXPECT_TRUE(PaceFrame(60));

    for (uint32_t s : {5000u, 0xFFFFFE00u}) {
        ResetFrameTiming();
        SetPaceFrameBackEndActive(true);
        At(s);
        EXPECT_TRUE(PaceFrame(60));
        At(s + 16);
        EXPECT_FALSE(PaceFrame(60)) << "frame 1 is due at s + 16.67";
        At(s + 17);
        EXPECT_TRUE(PaceFrame(60));
        // A late frame is followed by earlier ones: at s + 99 frames 2 to 5 are due at once.
        At(s + 99);
        int passed = 0;
        while (PaceFrame(60)) ++passed;
        EXPECT_EQ(passed, 4);
        At(s + 983);
        passed = 0;
        while (PaceFrame(60)) ++passed;
        EXPECT_EQ(passed, 53) << "frames 6 to 58; frame 59 is due at s + 983.3";
        // The 60th pass restarts the period at its own time, whose frame 0 is due at once.
        At(s + 984);
        EXPECT_TRUE(PaceFrame(60));
        EXPECT_TRUE(PaceFrame(60));
        EXPECT_FALSE(PaceFrame(60));
        At(s + 984 + 16);
        EXPECT_FALSE(PaceFrame(60));
        At(s + 984 + 17);
        EXPECT_TRUE(PaceFrame(60));
    }
}

TEST_F(FrameTimingTest, CountFpsCountsWindowsOfOneSecond)
{
    std::vector<int32_t> completed;
    int32_t last = 0;
    for (uint32_t t = 0; t <= 3000; t += 10) {
        At(t);
        int32_t result = CountFps(true);
        if (result != last) completed.push_back(result);
        last = result;
    }
    // The call that closes a window is not counted.
    EXPECT_EQ(completed, (std::vector<int32_t>{100, 99}));
    EXPECT_EQ(CountFps(false), 99);
}

TEST_F(FrameTimingTest, FrameCountGateAndStopwatch)
{
    int trues = 0;
    for (int i = 1; i <= 120; ++i) {
        bool result = FrameCountGate(1, 60);
        if (result) {
            ++trues;
            EXPECT_TRUE(i == 60 || i == 120) << i;
            EXPECT_TRUE(FrameCountGate(2, 60));
        }
    }
    EXPECT_EQ(trues, 2);
    FrameCountGate(1, 60);
    EXPECT_FALSE(FrameCountGate(2, 60));
    EXPECT_FALSE(FrameCountGate(0, 60));
    EXPECT_TRUE(FrameCountGate(2, 60));

    EXPECT_EQ(ReadStopwatch(false), 1u) << "before any measurement";
    At(200);
    EXPECT_EQ(StartStopwatch(), 200u);
    At(207);
    EXPECT_EQ(ReadStopwatch(true), 7u);
    At(300);
    EXPECT_EQ(ReadStopwatch(false), 7u);
}

}  // namespace
