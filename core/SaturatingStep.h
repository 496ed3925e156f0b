#pragma once
// Counting up a number that came from a file. A damaged or hand-made file may hold any value, so
// a number already at the top of its type stays there instead of overflowing (a signed overflow
// is undefined, and a narrow type would wrap round to its most negative value).
#include <concepts>
#include <cstdint>
#include <limits>

// nValue + nStep for a step of 0 or more, at most the largest value of the type.
template <std::integral T>
constexpr T SteppedUp(T nValue, int32_t nStep = 1)
{
    const int64_t nTop = static_cast<int64_t>(std::numeric_limits<T>::max());
    const int64_t nWide = static_cast<int64_t>(nValue) + nStep;
    return static_cast<T>(nWide > nTop ? nTop : nWide);
}

template <std::integral T>
constexpr void StepUp(T& nValue, int32_t nStep = 1)
{
    nValue = SteppedUp(nValue, nStep);
}
