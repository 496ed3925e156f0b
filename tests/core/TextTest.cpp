#include <climits>
#include <string>
#include <vector>

#include "CoreTestSupport.h"
#include "core/Random.h"
#include "core/Text.h"
#include "platform/win/WinMessage.h"

namespace {

class TextTest : public CoreTest {};

TEST_F(TextTest, FormatStringFormatsWholeAndMayReadItsOwnTarget)
{
    std::string text = "9";
    FormatString(text, "%d%s", 1, text.c_str());
    EXPECT_EQ(text, "19");
    std::string huge(7000, 'a');
    FormatString(text, "<%s>", huge.c_str());
    EXPECT_EQ(text.size(), 7002u);
    EXPECT_EQ(text.back(), '>');
}

TEST_F(TextTest, DoubleByteTests)
{
    struct PairCase {
        const char* bytes;
        bool pair;
    };
    const PairCase pairs[] = {
        {"\x82\xA0", true},  {"\x83\x5C", true},  {"\x95\x5C", true},  {"\xE0\x40", true},
        {"\xFC\xFC", true},  {"\x82\x0A", false}, {"\x41\x42", false}, {"\xA0\x40", false},
        {"\x82\x7F", false}, {"\x82\xFD", false},
    };
    for (const PairCase& c : pairs) EXPECT_EQ(IsDbcsPair(c.bytes), c.pair) << c.bytes;

    struct CountCase {
        const char* text;
        int count;
    };
    const CountCase counts[] = {
        {"あい\nab", 4},
        {"", 0},
        {"\n\n", 0},
        {"ソ表", 2},
        {"a\x82", 2},   // a lead byte before the end counts as one
        {"\x82\n", 1},  // a lead byte without a trail byte is a character; the line feed is not
    };
    for (const CountCase& c : counts) EXPECT_EQ(CountChars(c.text), c.count) << c.text;
}

TEST_F(TextTest, DialogItemStringReadsAtMostTheLimit)
{
    HWND edit = CreateWindowEx(0, "CoreTestWindow", "", 0, 0, 0, 10, 10, m_hWindow,
                               reinterpret_cast<void*>(static_cast<intptr_t>(100)), nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    SetDlgItemString(m_hWindow, 100, "abcdef");
    std::string out = "old";
    GetDlgItemString(m_hWindow, 100, out, 4);
    EXPECT_EQ(out, "abc");
    GetDlgItemString(m_hWindow, 100, out, 8191);   // a limit beyond the work buffer is safe
    EXPECT_EQ(out, "abcdef");
}

TEST_F(TextTest, GeneratorIsBitExact)
{
    GameSrand(1);
    EXPECT_EQ(GameRand(), 41);
    EXPECT_EQ(GameRand(), 18467);
    EXPECT_EQ(GameRand(), 6334);
    GameSrand(0xFFFFFFFFu);
    EXPECT_EQ(GameRand(), static_cast<int>(((0xFFFFFFFFu * 214013u + 2531011u) >> 16) & 0x7FFF));
}

TEST_F(TextTest, RandomBetweenBoundsAndOrder)
{
    GameSrand(77);
    std::vector<int> forward;
    for (int i = 0; i < 50; ++i) forward.push_back(RandomBetween(1, 10));
    GameSrand(77);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(RandomBetween(10, 1), forward[i]) << "bounds swapped";
    for (int value : forward) {
        EXPECT_GE(value, 1);
        EXPECT_LE(value, 10);
    }

    GameSrand(1);
    EXPECT_EQ(RandomBetween(5, 5), 5);
    EXPECT_EQ(GameRand(), 18467) << "a span of one still advances the generator";

    // The full int range: a span of 2^32 must not divide by zero.
    GameSrand(1);
    EXPECT_EQ(RandomBetween(INT_MIN, INT_MAX), INT_MIN + 41);
    GameSrand(1);
    EXPECT_EQ(RandomBetween(-3, 3), -3 + 41 % 7);
}

}  // namespace
