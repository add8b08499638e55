// What the benchmarks that time whole processes share: times in ms,
// medians, every run's figure in a line, and the programs beside this one.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace qel::bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point a, Clock::time_point b = Clock::now()) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

inline double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// "12.5 13.0 12.1" with `decimals` places.
inline std::string eachRun(const std::vector<double>& v, int decimals) {
    std::string s;
    for (double x : v) {
        char b[32];
        std::snprintf(b, sizeof b, "%s%.*f", s.empty() ? "" : " ", decimals, x);
        s += b;
    }
    return s;
}

// The path of program `name` in the folder this program was started from.
inline std::string besideThisProgram(const char* argv0, const char* name) {
    const std::string self = argv0;
    const auto slash = self.rfind('/');
    return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/" + name;
}

}  // namespace qel::bench
