#include "app/minibrot_view.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/deep_place.h"
#include "app/number_text.h"
#include "render/layout.h"

namespace qel {
namespace {

// The disc searched first: this share of the picture's half width.
constexpr double kSearchShareOfHalfWidth = 1.0 / 50.0;
// The copy of the set is 2.25 sizes wide and fills this share of the width.
constexpr double kCopyWidthInSizes = 2.25;
constexpr double kShareOfWidth = 0.25;
// The magnification is rounded to this many significant digits: its text
// in a saved name reads back as the same number, and captions stay short.
constexpr int kRoundedDigits = 3;
constexpr double kIterationsPerPeriod = 20.0;
// A coordinate of the nucleus smaller than this many binary places below a
// pixel of its view is 0 (on the real axis, where the search leaves a
// tiny imaginary part), not a tiny number in the captions.
constexpr std::int64_t kZeroPlaces = 40;

BigReal withoutTinyPart(const BigReal& x, ExtFloat pixel) {
    const ExtFloat below = pixel * ExtFloat::normalised(1.0, -kZeroPlaces);
    return lessMagnitude(x.toExt(), below) ? BigReal(x.precision()) : x;
}

}  // namespace

std::optional<Nucleus> findMinibrot(const BigComplex& point, ExtFloat pixelSize, int halfWidth, double maxIter,
                                    const NucleusControl& control) {
    // A limit that is no number finds nothing; one beyond the longest period, that.
    const double limit = std::isnan(maxIter) ? 0.0 : std::min(std::floor(maxIter), static_cast<double>(kLongestPeriod));
    return minibrotNear(point, pixelSize * (halfWidth * kSearchShareOfHalfWidth), static_cast<std::int64_t>(limit),
                        control);
}

ExtFloat minibrotMagnification(ExtComplex size, double initialRadius) {
    // initialRadius / radius with radius = 2.25 |size| / (2 * 0.25), to
    // three significant digits.
    const ExtFloat exact = ExtFloat::of(initialRadius * 2.0 * kShareOfWidth / kCopyWidthInSizes) / size.magnitude();
    const double log10 = exact.log2Abs() * 0.30102999566398120;
    double power = std::floor(log10);
    double mantissa = std::round(std::pow(10.0, log10 - power + kRoundedDigits - 1));
    if (mantissa >= std::pow(10.0, kRoundedDigits)) {
        mantissa /= 10.0;
        power += 1.0;
    }
    const std::string text = std::to_string(static_cast<long long>(mantissa)) + "E" +
                             std::to_string(static_cast<long long>(power) - (kRoundedDigits - 1));
    // Far more bits than a double's: the double nearest the text, as the
    // magnification field reads it, comes out of one rounding.
    return BigReal::fromText(text, 256).toExt();
}

double minibrotIterationLimit(double maxIter, std::int64_t period) {
    return std::max(maxIter, kIterationsPerPeriod * static_cast<double>(period));
}

bool putMinibrotView(AppState& s, const Nucleus& minibrot) {
    const ExtFloat magnification = minibrotMagnification(minibrot.size, s.initialRadius);
    const ExtFloat pixel = pixelSizeFor(magnification, halfSizeFor(s.live.drawMethod, s.picW), s.initialRadius);
    if (!moveLiveViewTo(s, withoutTinyPart(minibrot.c.re, pixel), withoutTinyPart(minibrot.c.im, pixel), magnification))
        return false;
    if (!isDeep(s.live)) {
        // The centre a saved name carries, Str's 15 digits, so that the
        // name reads back as the view drawn (a change far below a pixel).
        s.live.centerX = valueOfText(strDouble(s.live.centerX));
        s.live.centerY = valueOfText(strDouble(s.live.centerY));
    }
    s.live.maxIter = minibrotIterationLimit(s.live.maxIter, minibrot.period);
    return true;
}

}  // namespace qel
