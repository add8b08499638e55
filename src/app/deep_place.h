// Views deeper than a double tells apart: when a view is one, its
// magnification and pixel size beyond a double's range, the engine's view of
// it, and its numbers in the form every caption and field shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/app_state.h"
#include "app/view_limits.h"
#include "render/deep/big_real.h"
#include "render/deep/deep_view.h"
#include "render/deep/reference.h"

namespace qel {


inline bool isDeep(const View& v) { return !v.deep.empty(); }

// The live view's magnification: its text on a deep view, else
// initialRadius / radius.
ExtFloat liveMagnification(const AppState& s);
// The magnification the colouring constants take: the live view's, up to
// the largest double (every constant is the same from 900 on).
double colourMagnification(const AppState& s);
// initialRadius / magnification as a double; beyond a double's range
// initialRadius / DBL_MAX, never 0.
double radiusFor(const AppState& s, ExtFloat magnification);

// The pixel size of the picture on the screen (the cur layer, laid out for
// halfW): its text's on a deep view, else pixelSize.
ExtFloat shownPixelSize(const AppState& s);

// What the deep engine draws for the live view, its pictures `halfWidth`
// pixels wide on each side of the centre.
DeepView deepViewOf(const AppState& s, int halfWidth);

// Whether the live deep view's drawing fits in memory, `availableBytes`
// being what the system can give: by its iteration limit, or because its
// reference orbits end early (render/deep/reference.h).
bool deepDrawingFits(const AppState& s, std::uint64_t availableBytes);
// The centre of the picture on the screen (the cur layer, deep) at the
// precision its pixel size needs.
BigReal shownCentre(const AppState& s, bool imaginary);

// The texts of a deep view: the centre with the digits its magnification
// needs, the Julia constant as it is (a double's constant with all its
// digits), the magnification in Str's form.
DeepPlace deepPlaceOf(const BigReal& centreRe, const BigReal& centreIm, const std::string& juliaRe,
                      const std::string& juliaIm, ExtFloat magnification);
// The double nearest a deep view's number text, which a deep view keeps
// beside the text for whatever needs only an approximation.
double valueOfDeepText(std::string_view text);
// Every digit of a double, so that the text reads back as exactly it.
std::string exactText(double v);
// A number of a deep view written for a caption at a magnification:
// numberText's form of the number with significantDigitsFor digits.
std::string deepNumberText(const BigReal& v, ExtFloat magnification);

// numberText's form of a text in Str's form: trimmed, with "0" in front of
// a magnitude below 1 and "-0" in front of a negative one (" .25" -> "0.25",
// "-1E-20" -> "-01E-20").
std::string numberTextOfStr(std::string_view str);

// Zooms the live view by `zoom` about the centre (re, im), a point held at
// the precision of the picture it was chosen on: the radius divided by
// zoom, a deep view's magnification multiplied by it. The view is deep
// where needsDeep says so, its centre written with the digits its
// magnification needs; otherwise its doubles alone are the view. False, and
// nothing changed, beyond the deepest magnification.
bool zoomLiveViewAbout(AppState& s, const BigReal& re, const BigReal& im, double zoom);
// The same by the click's zoom factor.
inline bool zoomLiveViewAbout(AppState& s, const BigReal& re, const BigReal& im) {
    return zoomLiveViewAbout(s, re, im, s.zoom);
}
// Puts the live view at the centre (re, im) and a magnification by the
// same rules: deep where needsDeep says so, its radius initialRadius /
// magnification. False, and nothing changed, beyond the deepest
// magnification.
bool moveLiveViewTo(AppState& s, const BigReal& re, const BigReal& im, ExtFloat magnification);

// A centre coordinate typed for the live deep view, with the digits its
// magnification needs.
std::string deepCentreText(const AppState& s, std::string_view typed);

// The zoom factor that takes a deep live view to a typed new magnification
// (a magnification beyond a double's range too), or nothing when the text
// holds none or the factor is no positive double.
std::optional<double> deepZoomFor(const AppState& s, std::string_view newMagnification);

// A centre coordinate of the live view as a field shows or a user typed it,
// with every digit of the text and at least the precision the view needs.
BigReal centreOfText(const AppState& s, std::string_view text);

}  // namespace qel
