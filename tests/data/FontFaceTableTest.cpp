#include <gtest/gtest.h>

#include "data/FontFaceTable.h"

TEST(FontFaceTableTest, IndexesNameTheFaces)
{
    EXPECT_EQ(FontFaceTable[0], "System");
    // The default face, as Shift-JIS bytes.
    EXPECT_EQ(GetFontFaceName(60), std::string("\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e"));
    EXPECT_EQ(GetFontFaceName(59), "ＭＳ ゴシック");
    EXPECT_EQ(GetFontFaceName(86), "HGｺﾞｼｯｸE");
    EXPECT_EQ(GetFontFaceName(121), "Sydnie");
    EXPECT_EQ(GetFontFaceName(122), "");
    EXPECT_EQ(GetFontFaceName(123), "");
    EXPECT_EQ(GetFontFaceName(-1), "");
}
