// Every input of the committed fuzz corpora, run through the same load-save-load checks as the
// fuzz targets: an input that once loaded cleanly (or was cleanly refused) must keep doing so,
// and the sanitizers of the test build catch a read out of bounds on any of them.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzChecks.h"

namespace {

std::vector<uint8_t> ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FuzzReplayTest : public ::testing::TestWithParam<FuzzTarget> {};

TEST_P(FuzzReplayTest, EveryCorpusInputPassesTheTargetsChecks)
{
    const FuzzTarget& target = GetParam();
    const std::filesystem::path folder = std::filesystem::path(FUZZ_CORPUS_DIR) / target.m_lpName;
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    int nLoaded = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        const std::vector<uint8_t> input = ReadAll(entry.path());
        const FuzzOutcome outcome = target.m_lpCheck(input.data(), input.size());
        EXPECT_NE(outcome, FuzzOutcome::Broken) << entry.path();
        nLoaded += outcome == FuzzOutcome::Loaded ? 1 : 0;
    }
    // A corpus keeps inputs that load (the seeds at least); one that only held refused inputs
    // would never reach the round trip.
    EXPECT_GT(nLoaded, 0) << folder;
}

// The seeds are files of the current format made by the saving code: each must load and survive
// the round trip.
TEST_P(FuzzReplayTest, SeedsFromTheSavingCodePassTheChecks)
{
    const FuzzTarget& target = GetParam();
    const std::vector<std::vector<uint8_t>> seeds = FuzzSeeds(target.m_lpName);
    ASSERT_FALSE(seeds.empty());
    for (const std::vector<uint8_t>& seed : seeds) {
        ASSERT_FALSE(seed.empty());
        EXPECT_EQ(target.m_lpCheck(seed.data(), seed.size()), FuzzOutcome::Loaded);
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplayTest, ::testing::ValuesIn(FuzzTargets()),
                         [](const ::testing::TestParamInfo<FuzzTarget>& info) {
                             return std::string(info.param.m_lpName);
                         });

}  // namespace
