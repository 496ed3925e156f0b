#pragma once
// Number conversions of stage play. Positions and speeds are doubles and many counts come from
// files: turning a non-finite or out-of-range value into an int32 is undefined, so every
// conversion here saturates instead.
#include <cmath>
#include <cstdint>

#include "data/EdStage.h"

// Truncation toward zero; a non-finite value gives 0, one beyond an int32 its limit.
inline int32_t TruncToInt32(double d)
{
    if (!std::isfinite(d)) return 0;
    if (d >= 2147483647.0) return INT32_MAX;
    if (d <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(d);
}

// A wide result held at the int32 limits.
inline int32_t ClampToInt32(int64_t n)
{
    if (n > INT32_MAX) return INT32_MAX;
    if (n < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(n);
}

// The stage's sub-steps per frame; 1 before its speed level has been applied.
inline int32_t SubSteps()
{
    return g_Stage.m_nSubSteps >= 1 ? g_Stage.m_nSubSteps : 1;
}
