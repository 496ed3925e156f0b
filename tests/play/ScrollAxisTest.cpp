// The view's axes: clamping to the scroll range, auto-scroll per sub-step and the scroll limits.
#include <gtest/gtest.h>

#include <limits>

#include "data/EdStage.h"
#include "stage/ScrollAxis.h"

namespace {

cScrollAxis MakeAxis(int32_t nMin, int32_t nMax, int32_t nView)
{
    cScrollAxis axis;
    axis.Setup(0, nView, 10, 60, 40 * 32 + 640, 64, 6, 320, nMax);
    axis.m_nMin = nMin;
    axis.m_nMax = nMax;
    return axis;
}

TEST(ScrollAxisTest, ClampKeepsTheViewInRangeAndReportsTheEdge)
{
    struct Case {
        int32_t nMin, nMax, nView;
        double dPosition;
        double dExpected;
        int32_t bEdge;
    };
    const Case cases[] = {
        {320, 1000, 640, 100.0, 320.0, 1},    // before the minimum
        {320, 1000, 640, 320.0, 320.0, 0},    // at the minimum, room to the far limit
        {320, 1000, 640, 359.5, 359.5, 0},    // the view still ends before the maximum
        {320, 1000, 640, 360.0, 360.0, 1},    // touching the far limit counts as an edge
        {320, 1000, 640, 500.0, 360.0, 1},    // beyond it
        {320, 700, 640, 500.0, 320.0, 1},     // range shorter than the view: the minimum wins
        {320, 700, 640, 0.0, 320.0, 1},
        {320, 960, 640, 320.0, 320.0, 1},     // range exactly one view long
    };
    for (const Case& c : cases) {
        cScrollAxis axis = MakeAxis(c.nMin, c.nMax, c.nView);
        axis.m_dPosition = c.dPosition;
        axis.Clamp();
        EXPECT_DOUBLE_EQ(axis.m_dPosition, c.dExpected) << c.nMin << ".." << c.nMax << " at " << c.dPosition;
        EXPECT_EQ(axis.m_bEdge, c.bEdge) << c.nMin << ".." << c.nMax << " at " << c.dPosition;
    }
}

TEST(ScrollAxisTest, SpeedIsTenthsOfAPixelPerFrameSharedOverTheSubSteps)
{
    struct Case {
        double dSubSteps;
        int32_t bOn, nValue;
        double dSpeed;
        int32_t bMoving;
    };
    const Case cases[] = {
        {1.0, 1, 15, 1.5, 1},
        {2.0, 1, 15, 0.75, 1},    // divided by b, not by b squared
        {4.0, 1, -8, -0.2, 1},
        {0.0, 1, 15, 1.5, 1},     // a stage without its speed level applied counts one sub-step
        {2.0, 0, 15, 0.0, 0},
    };
    const double dSaved = g_Stage.m_dSubSteps;
    for (const Case& c : cases) {
        g_Stage.m_dSubSteps = c.dSubSteps;
        cScrollAxis axis = MakeAxis(320, 2000, 640);
        axis.m_dSpeed = 9.0;
        axis.SetSpeed(c.bOn, c.nValue);
        EXPECT_DOUBLE_EQ(axis.m_dSpeed, c.dSpeed) << c.dSubSteps << " " << c.nValue;
        EXPECT_EQ(axis.m_bMoving, c.bMoving);
    }
    g_Stage.m_dSubSteps = dSaved;
}

TEST(ScrollAxisTest, StepMovesThenClamps)
{
    cScrollAxis axis = MakeAxis(320, 1000, 640);
    axis.m_dPosition = 355.0;
    axis.m_dSpeed = 2.5;
    axis.Step();
    EXPECT_DOUBLE_EQ(axis.m_dPosition, 357.5);
    EXPECT_EQ(axis.m_bEdge, 0);
    axis.Step();
    EXPECT_DOUBLE_EQ(axis.m_dPosition, 360.0);
    EXPECT_EQ(axis.m_bEdge, 1);
    axis.m_dSpeed = -100.0;
    axis.Step();
    EXPECT_DOUBLE_EQ(axis.m_dPosition, 320.0);
    EXPECT_EQ(axis.m_bEdge, 1);
}

TEST(ScrollAxisTest, BoundsComeFromTheLimitsInBlocksOrTheDefaults)
{
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMinInt = std::numeric_limits<int32_t>::min();
    struct Case {
        int32_t a, b, bMinOn, bMaxOn;
        int32_t nMin, nMax;
    };
    const Case cases[] = {
        {2, 20, 1, 1, 384, 992},
        {2, 20, 0, 0, 320, 1600},          // base minimum, default maximum
        {2, 20, 1, 0, 384, 1600},
        {2, 20, 0, 1, 320, 992},
        {10, 3, 1, 1, 640, 640},           // a maximum below the minimum becomes the minimum
        {kMax, kMax, 1, 1, kMax, kMax},    // limits from a damaged file do not wrap
        {kMinInt, 0, 1, 1, kMinInt, 352},
    };
    for (const Case& c : cases) {
        cScrollAxis axis;
        axis.Setup(0, 640, 10, 60, 0, 64, 6, 320, 1600);
        axis.SetBounds(c.a, c.b, c.bMinOn, c.bMaxOn);
        EXPECT_EQ(axis.m_nMin, c.nMin) << c.a << " " << c.b << " " << c.bMinOn << c.bMaxOn;
        EXPECT_EQ(axis.m_nMax, c.nMax) << c.a << " " << c.b << " " << c.bMinOn << c.bMaxOn;
    }
}

TEST(ScrollAxisTest, ANegativeDefaultMaximumBecomesZero)
{
    cScrollAxis axis;
    axis.Setup(1, 480, 10, 5, 0, 5, 0, 320, -160);
    EXPECT_EQ(axis.m_nDefaultMax, 0);
    EXPECT_EQ(axis.m_nMax, 0);
    EXPECT_EQ(axis.m_nMin, 320);
}

}  // namespace
