// Medians and round-by-round ratios for the benchmarks that time a program
// against a floor, the Windows one under Wine and the native one alike.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// The value below which the fraction q of the values lie, interpolated.
inline double Quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    const double at = q * static_cast<double>(values.size() - 1);
    const size_t below = static_cast<size_t>(at);
    if (below + 1 >= values.size()) return values.back();
    return values[below] + (at - static_cast<double>(below)) * (values[below + 1] - values[below]);
}

inline double Median(const std::vector<double>& values) {
    return Quantile(values, 0.5);
}

// Round by round: the two runs of a round share the machine's load of that
// moment, so a busy minute cancels out of their ratio.
struct Ratio {
    double median, low, high;  // low and high: the middle half of the rounds
};

inline Ratio RoundRatios(const std::vector<double>& ours, const std::vector<double>& floor) {
    std::vector<double> ratios;
    for (size_t i = 0; i < ours.size() && i < floor.size(); ++i) ratios.push_back(ours[i] / floor[i]);
    return {Median(ratios), Quantile(ratios, 0.25), Quantile(ratios, 0.75)};
}
