// A view deeper than a double reaches: its centre and Julia constant held
// with as many bits as the magnification needs, its pixel size and its
// magnification beyond a double's range, and their texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "render/deep/big_real.h"
#include "render/deep/ext_float.h"

namespace qel {

// What a deep drawing iterates, fixed when it starts. The plane point of
// pixel offsets (x, y) is centre + (x, y) * pixelSize, as on any view.
struct DeepView {
    bool julia = false;
    BigReal centreRe, centreIm;  // the point of pixel offset (0, 0)
    BigReal juliaRe, juliaIm;    // the Julia constant
    ExtFloat pixelSize = ExtFloat::of(0.01);
    double maxIter = 500.0;      // m, as on any view
};

// The points of a drawing: rows y = halfH down to 1 - halfH, and in each
// the points x = -halfW, -halfW + xStep, ... < halfW.
struct DeepGrid {
    int halfW = 400;
    int halfH = 300;
    int xStep = 1;

    int rows() const { return 2 * halfH; }
    int pointsPerRow() const { return (2 * halfW + xStep - 1) / xStep; }
    int xOf(int k) const { return -halfW + k * xStep; }
    int yOfRow(int row) const { return halfH - row; }
};

// The texts of a deep view's centre and Julia constant, as a view keeps them.
struct DeepTexts {
    std::string_view centreRe, centreIm;
    std::string_view juliaRe, juliaIm;
};

// The view of those texts at a pixel size: each number read at the
// precision the pixel size needs (and never fewer bits than its digits hold).
DeepView deepViewOf(bool julia, const DeepTexts& texts, ExtFloat pixelSize, double maxIter);

// The precision the reference orbit and the centre need for a pixel size:
// log2(1 / pixelSize) + 64 bits, at least 64.
long precisionBitsFor(ExtFloat pixelSize);

// The significant digits that tell neighbouring pixels apart at a
// magnification: log10(magnification) + 3, at least 15.
int significantDigitsFor(ExtFloat magnification);

// initialRadius / (magnification * halfW), the pixel size of a view.
ExtFloat pixelSizeFor(ExtFloat magnification, int halfW, double initialRadius = 2.0);

// A magnification from its text ("1E+1000", "1.5E+16", "8"); 0 when the
// text holds no positive finite number.
ExtFloat magnificationOfText(std::string_view text);

// Str's form of a magnification with 15 significant digits: " 1.5E+16",
// " 1E+1000".
std::string magnificationStr(ExtFloat magnification);

}  // namespace qel
