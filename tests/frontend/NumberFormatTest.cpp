#include <gtest/gtest.h>

#include <climits>

#include "frontend/NumberFormat.h"

namespace {

TEST(CountDigits, CountsTheMagnitudeUpToTen)
{
    const struct {
        int32_t value;
        int digits;
    } cases[] = {{0, 1}, {9, 1}, {10, 2}, {-10, 2}, {99999, 5}, {1000000000, 10},
                 {INT_MAX, 10}, {INT_MIN, 10}, {-7, 1}};
    for (const auto& c : cases) EXPECT_EQ(CountDigits(c.value), c.digits) << c.value;
}

TEST(FormatFixedNumber, WidthFillAndSigns)
{
    const struct {
        int32_t value, width, zeroFill, plus;
        const char* want;
    } cases[] = {
        {5, 3, 0, 0, "  5"},
        {5, 3, 1, 0, "005"},
        {5, 3, 1, 1, "+005"},
        {-5, 3, 1, 0, "-005"},
        {-5, 3, 0, 0, "-  5"},
        {0, 3, 0, 0, "  0"},
        {0, 0, 0, 1, "+0"},
        {12345, 2, 1, 0, "12345"},
        {12345, 0, 0, 0, "12345"},
        {1, 2, 1, 0, "01"},
        {98, 2, 1, 0, "98"},
        {INT_MIN, 0, 1, 0, "-2147483648"},
        {7, 12, 1, 0, "000000000007"},
    };
    for (const auto& c : cases) {
        std::string out = "old";
        FormatFixedNumber(out, c.value, c.width, c.zeroFill, c.plus);
        EXPECT_EQ(out, c.want) << c.value << " width " << c.width;
    }
}

TEST(FormatTime, MinutesSecondsHundredths)
{
    const struct {
        int32_t hundredths;
        const char* want;
    } cases[] = {
        {0, "00:00.00"},
        {12345, "02:03.45"},
        {100 * 60 * 100, "100:00.00"},
        {5999, "00:59.99"},
        {6000, "01:00.00"},
        {359999, "59:59.99"},
    };
    for (const auto& c : cases) {
        std::string out;
        FormatTime(out, c.hundredths);
        EXPECT_EQ(out, c.want) << c.hundredths;
    }
}

}  // namespace
