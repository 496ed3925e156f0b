#include <gtest/gtest.h>

#include <filesystem>

#include "shell/SettingsRecords.h"
#include "tests/data/RecordTestUtil.h"

namespace {

Bytes OptionBytes(uint32_t version, std::initializer_list<int32_t> values, const std::string& name)
{
    Bytes b;
    AppendU32(b, version);
    AppendU32(b, static_cast<uint32_t>(values.size()));
    for (int32_t v : values) AppendU32(b, static_cast<uint32_t>(v));
    AppendU32(b, 1);
    AppendString(b, name);
    return b;
}

class OptionFileTest : public ScratchFolderTest {
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        std::filesystem::create_directories("user_data");
    }
};

TEST_F(OptionFileTest, DefaultOptionFileIs36Bytes)
{
    cOptionData options;
    ASSERT_EQ(options.SaveToFile("user_data\\Option.dat"), 1);
    const Bytes want = {0xEF, 0x02, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 7, 0, 0, 0,
                        0,    0,    0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 'a', 'a', 'a', 0};
    EXPECT_EQ(ReadWholeFile("user_data/Option.dat"), want);
    EXPECT_FALSE(std::filesystem::exists("user_data/Option.dat.tmp"));
}

TEST_F(OptionFileTest, RoundTripKeepsEveryOption)
{
    cOptionData options;
    options.nPalettePattern = 23;
    options.bBgm = 0;
    options.nVolume = 10;
    options.nRankingEntryMode = 3;
    options.strPlayerName = "xyz";
    ASSERT_EQ(options.SaveToFile("user_data\\Option.dat"), 1);
    EXPECT_EQ(ReadWholeFile("user_data/Option.dat"), OptionBytes(751, {23, 0, 10, 3}, "xyz"));
    cOptionData loaded;
    ASSERT_EQ(loaded.LoadFromFile("user_data\\Option.dat"), 1);
    EXPECT_EQ(loaded.nPalettePattern, 23);
    EXPECT_EQ(loaded.bBgm, 0);
    EXPECT_EQ(loaded.nVolume, 10);
    EXPECT_EQ(loaded.nRankingEntryMode, 3);
    EXPECT_EQ(loaded.strPlayerName, "xyz");
}

TEST_F(OptionFileTest, ValuesOutOfRangeAreClampedAfterLoading)
{
    WriteWholeFile("user_data/Option.dat", OptionBytes(751, {99, -4, 1000, -1}, "q"));
    cOptionData options;
    ASSERT_EQ(options.LoadFromFile("user_data\\Option.dat"), 1);
    EXPECT_EQ(options.nPalettePattern, 23);
    EXPECT_EQ(options.bBgm, 0);
    EXPECT_EQ(options.nVolume, 10);
    EXPECT_EQ(options.nRankingEntryMode, 0);
    EXPECT_EQ(options.strPlayerName, "q");
}

TEST_F(OptionFileTest, MissingOrDamagedFileKeepsTheOptionsAsTheyWere)
{
    cOptionData options;
    EXPECT_EQ(options.LoadFromFile("user_data\\Option.dat"), 0);
    EXPECT_EQ(options.nVolume, 7);
    EXPECT_EQ(options.bBgm, 1);
    EXPECT_EQ(options.strPlayerName, "aaa");

    options.nVolume = 3;
    Bytes full = OptionBytes(751, {5, 0, 9, 2}, "bob");
    const Bytes damaged[] = {
        Bytes(full.begin(), full.begin() + 20),
        Bytes(full.begin(), full.end() - 2),
        OptionBytes(751, {1, 1, 1, 1, 1, 1}, "six fields"),
    };
    for (const Bytes& b : damaged) {
        WriteWholeFile("user_data/Option.dat", b);
        EXPECT_EQ(options.LoadFromFile("user_data\\Option.dat"), 0);
        EXPECT_EQ(options.nVolume, 3);
        EXPECT_EQ(options.nPalettePattern, 0);
        EXPECT_EQ(options.strPlayerName, "aaa");
    }
}

TEST(OptionVolume, LevelsGiveTheVolumeTable)
{
    const int32_t want[] = {-10000, -3000, -2000, -1300, -800, -500, -300, -150, -80, -30, 0};
    for (int32_t level = 0; level <= 10; ++level) EXPECT_EQ(VolumeOfLevel(level), want[level]);
}

}  // namespace
