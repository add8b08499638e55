// What the fuzz targets share: a broken rule stops the run (libFuzzer then
// keeps the input that broke it), the fuzz bytes read as text or numbers,
// and the tolerance of a number written with a given count of digits.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace qel::fuzz {

// Stops the run when `holds` is false, naming the rule and the values.
inline void require(bool holds, const char* rule, const std::string& about = {}) {
    if (holds) return;
    std::fprintf(stderr, "\nbroken rule: %s\n  %s\n", rule, about.c_str());
    std::abort();
}

inline std::string textOf(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// A value with every bit shown, for the messages of broken rules.
inline std::string exactly(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g (%a)", v, v);
    return buf;
}

// The texts of a broken rule, quoted so that blanks show.
inline std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// True when `read` is `v` rounded to `digits` significant decimal digits and
// read back into a type with the relative step `epsilon` and the smallest
// step `tiniest`: half a unit of the last digit plus one rounding.
inline bool withinRounding(double read, double v, int digits, double epsilon, double tiniest) {
    const double halfLastDigit = 0.5 * std::pow(10.0, 1 - digits);
    return std::fabs(read - v) <= std::fabs(v) * (halfLastDigit + epsilon) + tiniest;
}

// The same for a 64-bit float written with 15 digits, as Str writes it.
inline bool withinFifteenDigits(double read, double v) { return withinRounding(read, v, 15, DBL_EPSILON, DBL_TRUE_MIN); }

}  // namespace qel::fuzz
