#include "app/view_texts.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/deep_place.h"
#include "app/number_text.h"
#include "app/view_limits.h"
#include "render/deep/deep_view.h"
#include "render/layout.h"

namespace qel {
namespace {

// The deep text of a Julia constant: the number as it is written, with all
// its digits (a double's constant has its exact ones), in Str's form.
std::string constantText(const std::string& text) {
    const DecimalNumber number = scanDecimal(text);
    return strOfDecimal(number, std::max(15, static_cast<int>(number.digits.size())));
}

// A deep view's number written with a decimal exponent beyond this reads
// as no number MPFR holds the same (its exponents end near 10^+-3E+8) and
// as none a view can reach; such a text is refused rather than changed.
constexpr std::int64_t kFarthestDeepExponent = 100000;

bool withinDeepTextRange(const std::string& text) {
    const DecimalNumber number = scanDecimal(text);
    return number.isZero() || (number.exp10 >= -kFarthestDeepExponent && number.exp10 <= kFarthestDeepExponent);
}

// The nearest double of a magnification text, read as every number field
// reads; infinity beyond a double's range.
double magnificationValue(const std::string& text) {
    return numberOverflows(text) ? std::numeric_limits<double>::infinity() : valueOfText(text);
}

}  // namespace

double magnificationOf(const View& v) {
    if (!v.deep.empty() && magnificationOfText(v.deep.magnification).isZero()) return 0.0;
    return magnificationValue(v.deep.empty() ? v.magText : v.deep.magnification);
}

bool placeFromTexts(View& v, const ViewTexts& texts) {
    const ExtFloat magnification = magnificationOfText(texts.magnification);
    if (magnification.isZero() || beyondDeepestMagnification(magnification)) return false;
    const double nearest = magnificationValue(texts.magnification);
    // So small a magnification would give a radius beyond a double's range.
    if (!(nearest > 0) || !std::isfinite(AppState{}.initialRadius / nearest)) return false;
    for (const std::string* coordinate : {&texts.centerX, &texts.centerY, &texts.juliaRe, &texts.juliaIm})
        if (numberOverflows(*coordinate)) return false;

    const bool deep =
        isDeepView(nearest, v.drawMethod, valueOfText(texts.centerX), valueOfText(texts.centerY));
    if (deep)
        for (const std::string* coordinate : {&texts.centerX, &texts.centerY, &texts.juliaRe, &texts.juliaIm})
            if (!withinDeepTextRange(*coordinate)) return false;

    v.magText = texts.magnification;
    v.centerX = valueOfText(texts.centerX);
    v.centerY = valueOfText(texts.centerY);
    v.juliaRe = valueOfText(texts.juliaRe);
    v.juliaIm = valueOfText(texts.juliaIm);
    v.deep = {};
    if (!deep) return true;
    const int halfW = halfSizeFor(v.drawMethod, AppState{}.picW);
    const long bits = precisionBitsFor(pixelSizeFor(magnification, halfW));
    v.deep = deepPlaceOf(BigReal::fromText(texts.centerX, bits), BigReal::fromText(texts.centerY, bits),
                         constantText(texts.juliaRe), constantText(texts.juliaIm), magnification);
    // The doubles are those nearest the deep texts, as every deep view has them.
    v.centerX = valueOfText(v.deep.centerX);
    v.centerY = valueOfText(v.deep.centerY);
    v.juliaRe = valueOfText(v.deep.juliaRe);
    v.juliaIm = valueOfText(v.deep.juliaIm);
    return true;
}

ViewTexts textsOfPlace(const View& v) {
    if (!v.deep.empty())
        return {v.deep.magnification, v.deep.centerX, v.deep.centerY, v.deep.juliaRe, v.deep.juliaIm};
    return {v.magText, strDouble(v.centerX), strDouble(v.centerY), strDouble(v.juliaRe), strDouble(v.juliaIm)};
}

}  // namespace qel
