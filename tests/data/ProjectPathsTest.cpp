#include <gtest/gtest.h>

#include "data/ProjectPaths.h"

TEST(ProjectPathsTest, FilesThePlayerReadsAndRankingFolders)
{
    EXPECT_STREQ(ProjectPathTable[7], "data\\CommonPalette.cplt4");
    EXPECT_STREQ(ProjectPathTable[13], "data\\WorldMap.dat");
    EXPECT_STREQ(ProjectPathTable[33], "data\\database\\Bgm.dat");
    EXPECT_STREQ(ProjectPathTable[35], "data\\System.dat");
    EXPECT_STREQ(ProjectPathTable[37], "data\\stg4\\c");
    EXPECT_STREQ(ProjectPathTable[47], "user_data\\Window.dat");
    EXPECT_STREQ(RankingFolderPath(0), "user_data\\story\\");
    EXPECT_STREQ(RankingFolderPath(2), "user_data\\free\\");
    EXPECT_EQ(RankingFolderPath(3), nullptr);
    EXPECT_EQ(RankingFolderPath(-1), nullptr);
    EXPECT_STREQ(ProjectExtTable[1], "stg4");
    EXPECT_STREQ(ProjectExtTable[3], "rkg");
    // Every project file in "data\" (7 to 35, odd) has its copy in "default\" right after it.
    for (int i = 7; i <= 35; i += 2) {
        const std::string data = ProjectPathTable[i];
        ASSERT_EQ(data.rfind("data\\", 0), 0u) << i;
        EXPECT_EQ(std::string(ProjectPathTable[i + 1]), "default\\" + data.substr(5)) << i;
    }
}
