#include "frontend/NumberFormat.h"

#include <algorithm>

#include "core/Text.h"

namespace {

// Widths beyond this are only ever leading zeros or blanks; the bound keeps a stray width from
// building a huge text.
constexpr int32_t kMaxFieldWidth = 64;

}  // namespace

int CountDigits(int32_t nValue)
{
    int nDigits = 1;
    // Division toward zero, so negative values count the digits of their magnitude.
    while ((nValue /= 10) != 0 && nDigits < 10) ++nDigits;
    return nDigits;
}

void FormatFixedNumber(std::string& out, int32_t nValue, int32_t nWidth, int32_t bZeroFill,
                       int32_t bPlus)
{
    const int32_t nDigits = CountDigits(nValue);
    if (nWidth <= 0 || nWidth < nDigits) nWidth = nDigits;
    nWidth = std::min(nWidth, kMaxFieldWidth);
    // The magnitude in 64 bits: the smallest int32 has no positive counterpart.
    int64_t nMagnitude = nValue < 0 ? -static_cast<int64_t>(nValue) : nValue;
    std::string text(static_cast<size_t>(nWidth), '0');
    for (int32_t i = nWidth - 1; i >= 0 && nMagnitude != 0; --i) {
        text[static_cast<size_t>(i)] = static_cast<char>('0' + nMagnitude % 10);
        nMagnitude /= 10;
    }
    if (!bZeroFill) {
        for (int32_t i = 0; i < nWidth - 1 && text[static_cast<size_t>(i)] == '0'; ++i)
            text[static_cast<size_t>(i)] = ' ';
    }
    if (nValue < 0) text.insert(text.begin(), '-');
    else if (bPlus) text.insert(text.begin(), '+');
    out = text;
}

void FormatTime(std::string& out, int32_t nHundredths)
{
    std::string minutes;
    std::string seconds;
    std::string hundredths;
    FormatFixedNumber(minutes, nHundredths / 100 / 60, 2, 1, 0);
    FormatFixedNumber(seconds, (nHundredths / 100) % 60, 2, 1, 0);
    FormatFixedNumber(hundredths, nHundredths % 100, 2, 1, 0);
    FormatString(out, "%s:%s.%s", minutes.c_str(), seconds.c_str(), hundredths.c_str());
}
