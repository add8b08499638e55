// The minibrot nearest a point of a picture: where it is looked for, and
// the view that frames what is found. The window's menu item and
// qel-render --minibrot both go through here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "render/deep/nucleus.h"

namespace qel {

inline const std::string kMinibrotNotFound = "近くにMinibrotが見つかりませんでした";
inline const std::string kMinibrotTitle = "Minibrot";

// The minibrot nearest `point` on a picture of pixel size `pixelSize`,
// `halfWidth` pixels on each side of its centre, drawn with the iteration
// limit `maxIter`: of a period up to that limit (and kLongestPeriod), its
// nucleus within a fiftieth of the half width (8 pixels of a picture at
// full size), else 4 or 16 times that (see minibrotNear). Nothing when
// none is found or the search is stopped.
std::optional<Nucleus> findMinibrot(const BigComplex& point, ExtFloat pixelSize, int halfWidth, double maxIter,
                                    const NucleusControl& control);

// The magnification at which a minibrot of that size fills about a quarter
// of the picture's width: its copy of the set, 2.25 |size| wide (from -2
// to 0.25), is a quarter of twice the radius. Rounded to three significant
// digits (23.3, 7.29E+49), so that the text a saved name carries reads
// back as the very magnification drawn.
ExtFloat minibrotMagnification(ExtComplex size, double initialRadius);

// The iteration limit of a minibrot's view: the limit it is found with,
// raised to 20 times the period, so that the copy of the set shows its
// outline, bulbs and antenna (its points escape after about the period
// times the steps the whole set's points take; at 10 times it is a blob).
double minibrotIterationLimit(double maxIter, std::int64_t period);

// Puts the view that frames the minibrot into the live view (the Mandelbrot
// set): centred on the nucleus (a coordinate below 2^-40 of a pixel
// taken as 0; on a view of doubles, to the 15 digits a saved name carries
// it with), at minibrotMagnification, with
// minibrotIterationLimit; deep where a double cannot tell its pixels
// apart. False, and nothing changed, beyond the deepest magnification.
bool putMinibrotView(AppState& s, const Nucleus& minibrot);

}  // namespace qel
