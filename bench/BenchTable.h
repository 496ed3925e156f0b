#pragma once
// What the benchmarks with a summary table share: the back ends and depths they run on,
// registering a benchmark timed in microseconds, and a reporter that keeps each benchmark's best
// CPU time over its repetitions for the table.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct Config {
    const char* name;
    int32_t backEnd;   // 1 Direct3D, 0 DirectDraw
    int32_t depth;
};
inline constexpr Config kConfigs[] = {
    {"D3D16", 1, 16}, {"D3D32", 1, 32}, {"DD8", 0, 8}, {"DD16", 0, 16}, {"DD32", 0, 32}};

inline void Register(const std::string& name, std::function<void(benchmark::State&)> fn)
{
    benchmark::RegisterBenchmark(name.c_str(), [fn](benchmark::State& state) { fn(state); })
        ->Unit(benchmark::kMicrosecond);
}

// Keeps the smallest CPU time per iteration (microseconds) of every benchmark over its repetitions.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const double us = run.GetAdjustedCPUTime();
            auto [it, fresh] = m_Best.emplace(run.benchmark_name(), us);
            if (!fresh) it->second = std::min(it->second, us);
        }
    }
    // -1 for a benchmark that did not run.
    double Best(const std::string& name) const
    {
        const auto it = m_Best.find(name);
        return it == m_Best.end() ? -1.0 : it->second;
    }

private:
    std::map<std::string, double> m_Best;
};
