#include "render/smooth_colouring.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

namespace qel {

namespace {

// Once |z| passes 1000 the count's fraction no longer depends on where the
// orbit crossed the escape radius: log|z| doubles with every step to within
// |c| / |z|^2, which moves the count by less than 1E-6 (a float's step at
// counts from 8 up). Farther out would cost more steps for nothing.
constexpr double kLargeR2 = 1e6;
// An orbit that left the circle of radius 2 just barely, near the tip at
// c = -2, takes a few dozen steps to grow large; none takes more.
constexpr int kMostExtraSteps = 100;

// log2 of a positive, finite, normal x, to within about 1E-10: the
// exponent, a table's logarithm of the mantissa's first 8 bits, and three
// terms of the series for the rest. A few times quicker than std::log2,
// and every point of a picture takes it.
class QuickLog2 {
public:
    QuickLog2() {
        for (int i = 0; i <= kEntries; ++i) {
            const double m = 1.0 + static_cast<double>(i) / kEntries;
            log2Of_[static_cast<std::size_t>(i)] = std::log2(m);
            inverse_[static_cast<std::size_t>(i)] = 1.0 / m;
        }
    }
    double operator()(double x) const {
        const auto bits = std::bit_cast<std::uint64_t>(x);
        const int exponent = static_cast<int>((bits >> 52) & 0x7FF) - 1023;
        const double m = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
        const auto i = static_cast<std::size_t>((bits >> (52 - kBits)) & (kEntries - 1));
        // m = (1 + i / 256) (1 + r), 0 <= r < 1/256.
        const double r = m * inverse_[i] - 1.0;
        const double series = r * (1.0 - r * (0.5 - r * (1.0 / 3.0)));
        return exponent + log2Of_[i] + series * kLog2e;
    }

private:
    static constexpr int kBits = 8;
    static constexpr int kEntries = 1 << kBits;
    static constexpr double kLog2e = 1.4426950408889634074;
    std::array<double, kEntries + 1> log2Of_{};
    std::array<double, kEntries + 1> inverse_{};
};

// Made once as the program starts: no guard to pass on every call.
const QuickLog2 quickLog2;

constexpr double kLn2 = 0.69314718055994530942;

}  // namespace

float continuousCount(const OrbitResult& r) {
    if (!r.escaped) return -1.0f;
    double zRe = r.zRe, zIm = r.zIm;
    // z = prevZ^2 + c for the Mandelbrot set and a Julia set alike.
    const double cRe = zRe - (r.prevZRe * r.prevZRe - r.prevZIm * r.prevZIm);
    const double cIm = zIm - (r.prevZRe + r.prevZRe) * r.prevZIm;
    double r2 = zRe * zRe + zIm * zIm;
    int steps = 0;
    for (; steps < kMostExtraSteps && r2 <= kLargeR2; ++steps) {
        const double re = zRe * zRe - zIm * zIm + cRe;
        zIm = (zRe + zRe) * zIm + cIm;
        zRe = re;
        r2 = zRe * zRe + zIm * zIm;
    }
    const double n = static_cast<double>(r.n);
    // An orbit that met no number, or overflowed, keeps its whole count.
    if (!std::isfinite(r2) || !(r2 > 4.0)) return static_cast<float>(n);
    // After N steps log2|z| is about 2^N times a constant of the point: N
    // less log2(log2|z|) is the same whichever step it is read at, and the
    // +1 puts a point that just escaped at count n between n and n + 1.
    // (r2 > 4: both logarithms are of numbers above 1, normal and finite.)
    const double count = n + steps + 1.0 - quickLog2(0.5 * quickLog2(r2));
    return static_cast<float>(std::max(count, 0.0));
}

Colour encodeCount(float count) { return std::bit_cast<Colour>(count); }

float decodeCount(Colour encoded) { return std::bit_cast<float>(encoded); }

Colour interiorCount() { return encodeCount(-1.0f); }

PointColours smoothPointColours(const OrbitResult& r) {
    PointColours pc;
    pc.interior = !r.escaped;
    pc.upperLeft = encodeCount(continuousCount(r));
    return pc;
}

const SmoothPalette& SmoothPalette::builtIn() {
    static const SmoothPalette palette{{rgb(0, 7, 100), rgb(32, 107, 203), rgb(237, 255, 255), rgb(255, 170, 0),
                                        rgb(120, 40, 0), rgb(0, 2, 30)},
                                       0x000000};
    return palette;
}

namespace {

double logOfCount(float count) { return std::log1p(static_cast<double>(count)); }

}  // namespace

SmoothRange smoothRangeOf(const Colour* encoded, std::size_t n) {
    std::vector<double> logs;
    logs.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const float count = decodeCount(encoded[i]);
        if (count >= 0 && std::isfinite(count)) logs.push_back(logOfCount(count));
    }
    SmoothRange range;
    if (logs.empty()) return range;
    // The 1st and the 99th percentile: a few points far from the rest (a
    // speck of a minibrot's surroundings) do not stretch the range.
    const auto at = [&logs](double share) {
        const auto k = static_cast<std::size_t>(share * static_cast<double>(logs.size() - 1));
        std::nth_element(logs.begin(), logs.begin() + static_cast<std::ptrdiff_t>(k), logs.end());
        return logs[k];
    };
    range.lo = at(0.01);
    range.hi = at(0.99);
    // At least one escape count wide: log(count + 2) - log(count + 1) from lo.
    range.hi = std::max(range.hi, range.lo + std::log1p(std::exp(-range.lo)));
    return range;
}

SmoothMap::SmoothMap(const SmoothPalette& palette, SmoothRange range)
    : table_(kTableSize), interior_(palette.interior), lo_(range.lo) {
    const double width = range.hi > range.lo ? range.hi - range.lo : 1.0;
    entriesPerLog_ = kTableSize * kSmoothCycles / width;
    const std::vector<Colour>& stops = palette.stops;
    const std::size_t k = stops.size();
    for (int i = 0; i < kTableSize; ++i) {
        if (k == 0) {
            table_[static_cast<std::size_t>(i)] = interior_;
            continue;
        }
        // The stops evenly round one cycle, the last blending back into the
        // first, each component straight between its neighbours.
        const double at = static_cast<double>(i) * static_cast<double>(k) / kTableSize;
        const auto from = static_cast<std::size_t>(at);
        const double share = at - static_cast<double>(from);
        const Colour a = stops[from % k], b = stops[(from + 1) % k];
        const auto mix = [share](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * share)); };
        table_[static_cast<std::size_t>(i)] =
            rgb(mix(redOf(a), redOf(b)), mix(greenOf(a), greenOf(b)), mix(blueOf(a), blueOf(b)));
    }
}

Colour SmoothMap::colour(Colour encoded) const {
    const float count = decodeCount(encoded);
    if (!(count >= 0)) return interior_;
    if (!std::isfinite(count)) return table_[0];
    const double at = (quickLog2(1.0 + static_cast<double>(count)) * kLn2 - lo_) * entriesPerLog_;
    // Whole cycles fall away (the table's size is a power of two); beyond
    // 2^52 entries from lo nothing is left to tell apart.
    constexpr double kFar = 4503599627370496.0;
    const double within = at > -kFar && at < kFar ? at : 0.0;
    const auto entry = static_cast<std::int64_t>(std::floor(within));
    return table_[static_cast<std::size_t>(entry & (kTableSize - 1))];
}

}  // namespace qel
