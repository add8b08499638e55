// A view given by texts, as a saved name and qel-render's options give it:
// the doubles nearest the texts, and for a view deeper than a double tells
// apart, its centre, constant and magnification as decimal texts with the
// digits the magnification needs (View::deep). Also the texts a view is
// written with, whichever kind it is.
#pragma once

#include <string>

#include "app/app_state.h"

namespace qel {

struct ViewTexts {
    std::string magnification = "1";  // kept as written: "8", "2.50", "1E+1000"
    std::string centerX = "0", centerY = "0";
    std::string juliaRe = "0", juliaIm = "0";
};

// Puts the place the texts give into `v` (its drawing method chosen
// already): magText, the nearest doubles of the centre and constant, and
// View::deep when the view is deep (app/view_limits.h, isDeepView), else
// an empty one. A deep view's centre has the digits its magnification
// needs; its Julia constant keeps every digit it is written with. False, with `v` untouched, when the magnification is not a
// positive number whose radius a double holds or lies beyond
// 10^kDeepestMagnificationPowerOfTen (app/deep_place.h), or a coordinate lies beyond a double's
// range (or, on a deep view, is written with a decimal exponent beyond
// +-100000).
bool placeFromTexts(View& v, const ViewTexts& texts);

// The texts of a view's place, each in Str's form with its leading blank:
// the deep texts of a deep view, Str of the doubles otherwise (the
// magnification: magText, as the dialog showed it).
ViewTexts textsOfPlace(const View& v);

// The magnification of a view as a double: infinity beyond a double's
// range, 0 for a text without a positive number.
double magnificationOf(const View& v);

}  // namespace qel
