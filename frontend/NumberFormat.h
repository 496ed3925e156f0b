#pragma once
// The number and time texts of the rankings, the result panel and the file names built from
// numbers.
#include <cstdint>
#include <string>

// Decimal digits of the value's magnitude, 1..10.
int CountDigits(int32_t nValue);
// The last nWidth digits of |value| (nWidth below the digit count becomes the digit count);
// without zero fill the leading zeros but the last character become spaces; "-" in front of a
// negative value, "+" in front of the others with bPlus.
void FormatFixedNumber(std::string& out, int32_t nValue, int32_t nWidth, int32_t bZeroFill,
                       int32_t bPlus);
// "mm:ss.hh" of a time in hundredths of a second; more minute digits when needed.
void FormatTime(std::string& out, int32_t nHundredths);
