#include "render/colouring.h"

#include "render/smooth_colouring.h"

#include <algorithm>
#include <cmath>
#include <new>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace qel {

namespace {

constexpr Colour kBlack = 0;
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kCyan = 16776960;
constexpr Colour kGreen = 65280;
constexpr Colour kMagenta = 16711935;
constexpr Colour kYellow = 65535;
constexpr Colour kRed = 255;
constexpr Colour kBlue = 16711680;

// floor(v) as a colour level 0..255; a value that is no number reads 0.
// The two selections are the processor's maximum (a > b ? a : b) and
// minimum (a < b ? a : b), not branches, which the levels of neighbouring
// points, above and below 255 in turn, would keep mispredicting. A NaN fails
// v > 0 and becomes 0.
int levelOf(double v) {
#if defined(__x86_64__)
    v = _mm_cvtsd_f64(_mm_max_sd(_mm_set_sd(v), _mm_set_sd(0.0)));
    v = _mm_cvtsd_f64(_mm_min_sd(_mm_set_sd(v), _mm_set_sd(255.0)));
#else
    v = v > 0 ? v : 0.0;
    v = v < 255 ? v : 255.0;
#endif
    return static_cast<int>(v);  // truncation is floor for v >= 0
}

// v mod k for a whole, non-negative v; an endless or undefined v reads 0.
int wholeMod(double v, int k) {
    if (!std::isfinite(v) || v < 0) return 0;
    // Below 2^63 the whole part fits 64 bits and its remainder is what fmod
    // gives, rounded down.
    if (v < 9223372036854775808.0) return static_cast<int>(static_cast<std::int64_t>(v) % k);
    return static_cast<int>(std::fmod(v, k));
}

// The whole number nearest to v, an exact half going to the even neighbour.
// Adding and taking away 2^52 rounds a smaller magnitude to a whole number
// in the default rounding mode, as nearbyint does, without the library
// call; a bigger magnitude, an endless value or no number is v itself. (A
// zero may lose its sign, which no caller looks at.)
double nearest(double v) {
    constexpr double kTwoTo52 = 4503599627370496.0;
    if (v >= 0 && v < kTwoTo52) return (v + kTwoTo52) - kTwoTo52;
    if (v < 0 && v > -kTwoTo52) return (v - kTwoTo52) + kTwoTo52;
    return v;
}

// Lower-left exterior: bands of the escape count, white for count 0.
Colour escapeBandColour(std::int64_t n, const ColourConstants& c) {
    if (n == 0) return kWhite;
    static constexpr std::array<Colour, 7> band{kBlack, kBlack, kCyan, kYellow, kRed, kGreen, kMagenta};
    const double q = std::floor(static_cast<double>(n) / c.escapeBand);
    const double j = c.t >= 1.0f ? 6.0 - wholeMod(q, 5) : 6.0 - q;
    if (j >= 2 && j <= 6) return band[static_cast<std::size_t>(j)];
    // Below t = 1 the band index runs below 2 and stands as a colour number
    // itself; every negative one shows black.
    return static_cast<Colour>(std::max(j, -1.0));
}

Colour exteriorGrey(std::int64_t n, const ColourConstants& c) {
    const int g = levelOf(c.greyGain * static_cast<double>(n) / c.escapeBand);
    return rgb(g, g, g);
}

// Upper-right exterior: green bands of r2, in floating point so that a far
// point never overflows.
// The green of a band number beyond an int, or of no number; apart, so that
// the usual case stays short.
[[gnu::noinline]] Colour greenOfBand(double quotient) { return rgb(0, wholeMod(std::floor(quotient), 255), 0); }

Colour exteriorGreen(double r2, const ColourConstants& c) {
    const double band = 255.0 * r2 / (4.0 * c.modulusBand);
    // The usual band number fits an int, where truncating is the floor of a
    // non-negative number: a shorter way to the same level.
    if (band >= 0 && band < 2147483648.0) return rgb(0, static_cast<int>(static_cast<std::uint32_t>(band) % 255u), 0);
    return greenOfBand(band);
}

Colour interiorBlue(double r2, const ColourConstants& c) {
    return rgb(0, 0, 127 + wholeMod(nearest(500.0 * r2 * c.contourGain), 127));
}

}  // namespace

ColourConstants colourConstantsFor(float t, double mag) {
    ColourConstants c;
    const double e = static_cast<double>(t) - 1.0;
    const bool upToOne = t <= 1.0f;
    c.t = t;
    c.greyGain = std::max(30.0 / std::sqrt(mag), 1.0);
    c.moveDivisor = std::pow(1.2, e);
    c.contourGain = upToOne ? std::pow(64.0, e) : std::pow(3.0, e);
    c.moveBase = upToOne ? 0.0f : static_cast<float>(50.0 * e);
    c.escapeBand = upToOne ? std::pow(16.0, e) : std::pow(3.0, e);
    c.modulusBand = upToOne ? std::pow(128.0, e) : std::pow(2.0, e);
    c.kakudai = 644.0 / c.contourGain;
    return c;
}

const std::array<Colour, 17>& periodColours() {
    static const std::array<Colour, 17> table{
        kBlack,
        rgb(0, 0, 249),
        rgb(0, 253, 253),
        rgb(0, 253, 0),
        rgb(251, 0, 251),
        rgb(253, 253, 0),
        rgb(251, 0, 0),
        kCyan / 2,
        kGreen / 2,
        kMagenta / 2,
        kYellow / 2,
        kRed / 2,
        kCyan / 4,
        kGreen / 4,
        kMagenta / 4,
        kYellow / 4,
        rgb(0, 0, 140),
    };
    return table;
}

const std::array<Colour, 6>& contourPalette() {
    static const std::array<Colour, 6> palette{kBlue, kMagenta, kBlack, kWhite, kRed, kCyan};
    return palette;
}

Colour set10(double r2, double kakudai) {
    return contourPalette()[static_cast<std::size_t>(wholeMod(nearest(r2 * kakudai), 6))];
}

Colour classifyMove(const OrbitResult& r, int moveLevel) {
    // The components each move class lights, by class: LeftDown (0, b, b),
    // LeftUp (0, 0, b), Left (0, b, 0), Vertical (b, b, b), RightDown
    // (b, b, 0), RightUp (b, 0, b), Right (b, 0, 0). A look-up, not a
    // switch: neighbouring points' classes follow no pattern a branch could
    // learn.
    static constexpr std::array<Colour, 7> lit{0xFFFF00, 0xFF0000, 0x00FF00, 0xFFFFFF, 0x00FFFF, 0xFF00FF, 0x0000FF};
    const auto cls = static_cast<std::size_t>(r.moveClass);
    if (cls >= lit.size()) return kBlack;
    const int b = std::clamp(moveLevel, 0, 255);
    return (b * 0x010101) & lit[cls];
}

int exteriorMoveLevel(double moveSize, const ColourConstants& c) { return levelOf(32.0 * moveSize / c.moveDivisor); }

int interiorMoveLevel(double moveSize, const ColourConstants& c) {
    return levelOf(static_cast<double>(c.moveBase) + 500000.0 * moveSize);
}

EscapeCountColours::EscapeCountColours(const ColourConstants& c, std::int64_t highestCount) : constants_(c) {
    const std::int64_t counts = std::clamp<std::int64_t>(highestCount + 1, 0, kMostCounts);
    byCount_.resize(static_cast<std::size_t>(counts));
    for (std::int64_t n = 0; n < counts; ++n) byCount_[static_cast<std::size_t>(n)] = {exteriorGrey(n, c), escapeBandColour(n, c)};
}

EscapeCountColours::Pair EscapeCountColours::computed(std::int64_t n) const {
    return {exteriorGrey(n, constants_), escapeBandColour(n, constants_)};
}

namespace {

// The four colours, the escape count's two from `countColours(n)`; for a
// `Method` of one quadrant only that quadrant's colour, the others 0.
template <int Method = kSplitScreen, class CountColours>
[[gnu::always_inline]] inline PointColours coloursOf(const OrbitResult& r, const ColourConstants& c,
                                                     const CountColours& countColours) {
    constexpr bool all = Method == kSplitScreen;
    constexpr bool upperLeft = all || Method == kUpperLeft, upperRight = all || Method == kUpperRight,
                   lowerLeft = all || Method == kLowerLeft, lowerRight = all || Method == kLowerRight;
    PointColours pc;
    pc.interior = !r.escaped;
    if (r.escaped) {
        if constexpr (upperLeft || lowerLeft) {
            const EscapeCountColours::Pair byCount = countColours(r.n);
            if constexpr (upperLeft) pc.upperLeft = byCount.grey;
            if constexpr (lowerLeft) pc.lowerLeft = byCount.band;
        }
        if constexpr (lowerRight) pc.lowerRight = classifyMove(r, exteriorMoveLevel(r.moveSize, c));
        if constexpr (upperRight) pc.upperRight = exteriorGreen(r.r2, c);
    } else {
        if constexpr (upperLeft) pc.upperLeft = interiorBlue(r.r2, c);
        if constexpr (lowerLeft) pc.lowerLeft = periodColours()[static_cast<std::size_t>(std::clamp(r.period, 1, 16))];
        if constexpr (upperRight) pc.upperRight = set10(r.r2, c.kakudai);
        if constexpr (lowerRight) pc.lowerRight = classifyMove(r, interiorMoveLevel(r.moveSize, c));
    }
    return pc;
}

template <int Method>
void coloursInPlace(const OrbitResult* r, int count, const ColourConstants& c, const EscapeCountColours& byCount,
                    PointColours* out) {
    // In place: a returned record copied over out[k] would be read back
    // whole right after its fields were stored one by one.
    for (int k = 0; k < count; ++k)
        ::new (static_cast<void*>(out + k))
            PointColours(coloursOf<Method>(r[k], c, [&byCount](std::int64_t n) { return byCount.colours(n); }));
}

}  // namespace

PointColours pointColours(const OrbitResult& r, const ColourConstants& c) {
    return coloursOf(r, c, [&c](std::int64_t n) { return EscapeCountColours::Pair{exteriorGrey(n, c), escapeBandColour(n, c)}; });
}

PointColours pointColours(const OrbitResult& r, const ColourConstants& c, const EscapeCountColours& byCount) {
    return coloursOf(r, c, [&byCount](std::int64_t n) { return byCount.colours(n); });
}

void pointColours(const OrbitResult* r, int count, const ColourConstants& c, const EscapeCountColours& byCount,
                  PointColours* out, int method) {
    switch (method) {
    case kUpperLeft:
        return coloursInPlace<kUpperLeft>(r, count, c, byCount, out);
    case kUpperRight:
        return coloursInPlace<kUpperRight>(r, count, c, byCount, out);
    case kLowerLeft:
        return coloursInPlace<kLowerLeft>(r, count, c, byCount, out);
    case kLowerRight:
        return coloursInPlace<kLowerRight>(r, count, c, byCount, out);
    case kSmoothCounts:
        for (int k = 0; k < count; ++k) ::new (static_cast<void*>(out + k)) PointColours(smoothPointColours(r[k]));
        return;
    default:
        return coloursInPlace<kSplitScreen>(r, count, c, byCount, out);
    }
}

void colourPoint(Surface& picture, int halfW, int halfH, int x, int y, const PointColours& colours) {
    eachQuadrantInOrder(colours, [&](bool right, bool below, Colour c) {
        picture.pset(right ? x + 2 * halfW : x, below ? y - 2 * halfH : y, c);
    });
}

PeriodCalibration calibratePeriodColours(Surface& scratch) {
    PeriodCalibration c;
    const auto& palette = periodColours();
    for (int i = 1; i <= 16; ++i) {
        scratch.pset(0, 0, palette[i]);
        c.shown[i] = scratch.point(0, 0);
    }
    for (int i = 1; i <= 16; ++i) {
        scratch.pset(0, 0, palette[i]);
        scratch.setDrawMode(DrawMode::Invert);
        scratch.line(0, 0, 2, 2);
        scratch.setDrawMode(DrawMode::CopyPen);
        c.inverted[i] = scratch.point(0, 0);
    }
    return c;
}

PeriodCalibration calibratePeriodColours() {
    Surface scratch(3, 3);
    return calibratePeriodColours(scratch);
}

}  // namespace qel
