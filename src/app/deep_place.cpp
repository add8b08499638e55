#include "app/deep_place.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "app/number_text.h"
#include "app/view_limits.h"
#include "render/layout.h"

namespace qel {
namespace {

// More digits than any double's exact decimal expansion has (767).
constexpr int kAllDigitsOfADouble = 800;

ExtFloat magnificationOfView(const AppState& s, const View& v) {
    if (isDeep(v)) return magnificationOfText(v.deep.magnification);
    return ExtFloat::of(s.initialRadius / s.radius);
}

// The precision the live view's centre needs, at its method's pixel size.
long livePrecision(const AppState& s) {
    const ExtFloat magnification = magnificationOfView(s, s.live);
    return precisionBitsFor(pixelSizeFor(magnification, halfSizeFor(s.live.drawMethod, s.picW), s.initialRadius));
}

}  // namespace

ExtFloat liveMagnification(const AppState& s) { return magnificationOfView(s, s.live); }

double colourMagnification(const AppState& s) {
    if (!isDeep(s.live)) return s.initialRadius / s.radius;
    return std::min(liveMagnification(s).toDouble(), DBL_MAX);
}

double radiusFor(const AppState& s, ExtFloat magnification) {
    // Beyond a double's range the radius is the least a double's
    // magnification gives, never 0, which every caption divides by.
    const double radius = (ExtFloat::of(s.initialRadius) / magnification).toDouble();
    return radius > 0 ? radius : s.initialRadius / DBL_MAX;
}

ExtFloat shownPixelSize(const AppState& s) {
    if (!isDeep(s.cur)) return ExtFloat::of(s.pixelSize);
    return pixelSizeFor(magnificationOfText(s.cur.deep.magnification), s.halfW, s.initialRadius);
}

DeepView deepViewOf(const AppState& s, int halfWidth) {
    const DeepPlace& d = s.live.deep;
    const ExtFloat pixelSize = pixelSizeFor(magnificationOfText(d.magnification), halfWidth, s.initialRadius);
    // A limit that is no number would never be passed: such a view stops at once.
    const double maxIter = std::isnan(s.live.maxIter) ? 0.0 : s.live.maxIter;
    return deepViewOf(s.live.isJulia == kYes, {d.centerX, d.centerY, d.juliaRe, d.juliaIm}, pixelSize, maxIter);
}

bool deepDrawingFits(const AppState& s, std::uint64_t availableBytes) {
    const bool julia = s.live.isJulia == kYes;
    return qel::deepDrawingFits(s.live.maxIter, julia, availableBytes) ||
           referencesEndEarly(deepViewOf(s, halfSizeFor(s.live.drawMethod, s.picW)), availableBytes);
}

// Read as every number field reads, rounded once: through 64 bits first,
// a text halfway between two doubles there could round to the other one.
double valueOfDeepText(std::string_view text) { return valueOfText(text); }

BigReal shownCentre(const AppState& s, bool imaginary) {
    return BigReal::fromText(imaginary ? s.cur.deep.centerY : s.cur.deep.centerX, precisionBitsFor(shownPixelSize(s)));
}

std::string exactText(double v) { return BigReal(v, 64).str(kAllDigitsOfADouble); }

DeepPlace deepPlaceOf(const BigReal& centreRe, const BigReal& centreIm, const std::string& juliaRe,
                      const std::string& juliaIm, ExtFloat magnification) {
    const int digits = significantDigitsFor(magnification);
    return {centreRe.str(digits), centreIm.str(digits), juliaRe, juliaIm, magnificationStr(magnification)};
}

std::string deepNumberText(const BigReal& v, ExtFloat magnification) {
    return numberTextOfStr(v.str(significantDigitsFor(magnification)));
}

std::string numberTextOfStr(std::string_view str) {
    while (!str.empty() && str.front() == ' ') str.remove_prefix(1);
    while (!str.empty() && str.back() == ' ') str.remove_suffix(1);
    const bool negative = !str.empty() && str.front() == '-';
    const std::string_view magnitude = negative ? str.substr(1) : str;
    // Str writes a magnitude below 1 with a leading point or, below 1E-4,
    // with a negative exponent.
    const bool belowOne = magnitude.starts_with('.') || magnitude.find("E-") != std::string_view::npos;
    if (!belowOne) return std::string(str);
    return (negative ? "-0" : "0") + std::string(magnitude);
}

namespace {

// The live view at a centre held at full precision and a magnification,
// its radius `radius` where doubles tell its pixels apart.
bool placeLiveView(AppState& s, const BigReal& re, const BigReal& im, ExtFloat magnification, double radius) {
    const double x = re.toDouble(), y = im.toDouble();
    const int halfWidth = halfSizeFor(s.live.drawMethod, s.picW);
    if (!needsDeep(radius, halfWidth, x, y)) {
        // Within a double's reach (again, after a zoom out).
        s.live.deep = {};
        s.live.centerX = x;
        s.live.centerY = y;
        s.radius = radius;
        return true;
    }
    if (beyondDeepestMagnification(magnification)) return false;
    const bool deepBefore = isDeep(s.live);
    const std::string juliaRe = deepBefore ? s.live.deep.juliaRe : exactText(s.live.juliaRe);
    const std::string juliaIm = deepBefore ? s.live.deep.juliaIm : exactText(s.live.juliaIm);
    s.live.deep = deepPlaceOf(re, im, juliaRe, juliaIm, magnification);
    s.live.centerX = valueOfDeepText(s.live.deep.centerX);
    s.live.centerY = valueOfDeepText(s.live.deep.centerY);
    s.radius = radiusFor(s, magnification);
    return true;
}

}  // namespace

bool zoomLiveViewAbout(AppState& s, const BigReal& re, const BigReal& im, double zoom) {
    const double radius = s.radius / zoom;
    const ExtFloat magnification =
        isDeep(s.live) ? liveMagnification(s) * zoom : ExtFloat::of(s.initialRadius / radius);
    return placeLiveView(s, re, im, magnification, radius);
}

bool moveLiveViewTo(AppState& s, const BigReal& re, const BigReal& im, ExtFloat magnification) {
    return placeLiveView(s, re, im, magnification, radiusFor(s, magnification));
}

std::string deepCentreText(const AppState& s, std::string_view typed) {
    return centreOfText(s, typed).str(significantDigitsFor(liveMagnification(s)));
}

std::optional<double> deepZoomFor(const AppState& s, std::string_view newMagnification) {
    const ExtFloat magnification = magnificationOfText(newMagnification);
    if (magnification.isZero()) return std::nullopt;
    const double zoom = (magnification / liveMagnification(s)).toDouble();
    if (!(zoom > 0) || !std::isfinite(zoom)) return std::nullopt;
    return zoom;
}

BigReal centreOfText(const AppState& s, std::string_view text) { return BigReal::fromText(text, livePrecision(s)); }

}  // namespace qel
