#pragma once
// What every benchmark here shares: the machine is shared and its timings
// jump, so each benchmark runs several times and the fastest run counts.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace benchsupport {

inline double fastest(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

// Runs `repetitions` times and reports the aggregates, "min" among them.
inline void fastestOf(benchmark::internal::Benchmark* b, int repetitions = 5)
{
    b->Repetitions(repetitions)->DisplayAggregatesOnly(true)->ComputeStatistics("min", fastest);
}

} // namespace benchsupport
