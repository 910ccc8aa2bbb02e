// The median and quartiles of a series of timed runs, as the Windows timers
// print them: "median_ms=… q1_ms=… q3_ms=…" (scripts/benchmark.sh reads them).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>

namespace varkel::timing {

// The q-quantile (0 to 1) of values, interpolated linearly between the two
// nearest ranks; values must not be empty.
inline double quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    double at = q * static_cast<double>(values.size() - 1);
    auto low = static_cast<std::size_t>(at);
    std::size_t high = std::min(low + 1, values.size() - 1);
    return values[low] + (values[high] - values[low]) * (at - static_cast<double>(low));
}

// Prints " median_ms=M q1_ms=Q1 q3_ms=Q3" (with its leading space) to
// standard output, without a line end.
inline void printQuartiles(const std::vector<double>& milliseconds) {
    std::printf(" median_ms=%.3f q1_ms=%.3f q3_ms=%.3f", quantile(milliseconds, 0.5), quantile(milliseconds, 0.25),
                quantile(milliseconds, 0.75));
}

}  // namespace varkel::timing
