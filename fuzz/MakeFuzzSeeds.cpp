// Writes the seed inputs of every fuzz target, made with the classes' own saving code, to
// <folder>/<target>/seed_<n>. Usage: make_fuzz_seeds <folder>
#include <cstdio>
#include <filesystem>
#include <string>

#include "fuzz/FuzzChecks.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    for (const FuzzTarget& target : FuzzTargets()) {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / target.m_lpName;
        std::filesystem::create_directories(folder);
        int n = 0;
        for (const std::vector<uint8_t>& seed : FuzzSeeds(target.m_lpName)) {
            if (seed.empty() || target.m_lpCheck(seed.data(), seed.size()) != FuzzOutcome::Loaded) {
                std::fprintf(stderr, "%s: seed %d is not a valid input\n", target.m_lpName, n);
                return 1;
            }
            const std::string path = (folder / ("seed_" + std::to_string(n++))).string();
            FILE* fp = std::fopen(path.c_str(), "wb");
            if (!fp || std::fwrite(seed.data(), 1, seed.size(), fp) != seed.size() || std::fclose(fp) != 0) {
                std::fprintf(stderr, "%s: cannot write\n", path.c_str());
                return 1;
            }
        }
        std::printf("%s: %d seeds\n", target.m_lpName, n);
    }
    return 0;
}
