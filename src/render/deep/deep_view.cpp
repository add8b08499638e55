#include "render/deep/deep_view.h"

#include <algorithm>
#include <cmath>

namespace qel {
namespace {

constexpr int kMagnificationDigits = 15;

}  // namespace

DeepView deepViewOf(bool julia, const DeepTexts& texts, ExtFloat pixelSize, double maxIter) {
    DeepView view;
    view.julia = julia;
    view.pixelSize = pixelSize;
    const long bits = precisionBitsFor(pixelSize);
    view.centreRe = BigReal::fromText(texts.centreRe, bits);
    view.centreIm = BigReal::fromText(texts.centreIm, bits);
    view.juliaRe = BigReal::fromText(texts.juliaRe, bits);
    view.juliaIm = BigReal::fromText(texts.juliaIm, bits);
    view.maxIter = maxIter;
    return view;
}

long precisionBitsFor(ExtFloat pixelSize) {
    if (pixelSize.isZero()) return 64;
    return std::max<long>(64, static_cast<long>(std::ceil(-pixelSize.log2Abs())) + 64);
}

int significantDigitsFor(ExtFloat magnification) {
    if (magnification.isZero()) return kMagnificationDigits;
    const double log10Mag = magnification.log2Abs() * 0.30102999566398120;
    return std::max(kMagnificationDigits, static_cast<int>(std::ceil(log10Mag)) + 3);
}

ExtFloat pixelSizeFor(ExtFloat magnification, int halfW, double initialRadius) {
    return ExtFloat::of(initialRadius) / (magnification * static_cast<double>(halfW));
}

ExtFloat magnificationOfText(std::string_view text) {
    const BigReal mag = BigReal::fromText(text, 64);
    if (!mag.isFinite() || mpfr_sgn(mag.get()) <= 0) return {};
    return mag.toExt();
}

std::string magnificationStr(ExtFloat magnification) {
    BigReal mag(64);
    mpfr_set_d(mag.get(), magnification.m, MPFR_RNDN);
    mpfr_mul_2si(mag.get(), mag.get(), static_cast<long>(magnification.e), MPFR_RNDN);
    return mag.str(kMagnificationDigits);
}

}  // namespace qel
