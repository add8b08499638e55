#include "app/view_limits.h"

#include <cmath>

#include "app/app_state.h"
#include "render/layout.h"

namespace qel {
namespace {

// The window's picture width is the record's start value.
int halfWidthForMethod(double method) { return halfSizeFor(static_cast<Int16>(method), AppState{}.picW); }

// The pixel of the least magnification in the split layout: the largest
// step between two points a click can tell apart.
double coarsestPixel() { return kMostRadii * AppState{}.initialRadius / halfWidthForMethod(0); }

bool isClickablePoint(double re, double im) {
    const double step = coarsestPixel();
    return std::isfinite(re) && std::isfinite(im) && re + step != re && im + step != im;
}

}  // namespace

bool isTypedCoordinate(double v) { return v >= -kTypedCoordinateLimit && v <= kTypedCoordinateLimit; }

bool isIterationLimit(double maxIter) { return maxIter > 0 && std::isfinite(maxIter) && maxIter == std::trunc(maxIter); }

bool isContourInterval(double t) { return t >= 0 && t <= kMostContourInterval; }

bool isDrawingMethod(double method) { return method == 0 || method == 1 || method == 2 || method == 3 || method == 4; }

bool beyondLeastMagnification(double radius, double initialRadius) { return radius / initialRadius > kMostRadii; }

bool pixelsStayApart(double radius, int halfWidth, double centerX, double centerY) {
    const double pixelSize = radius / halfWidth;
    if (!std::isnormal(radius) || !std::isnormal(pixelSize) || pixelSize < 0) return false;
    if (!std::isfinite(centerX) || !std::isfinite(centerY)) return false;
    return centerX + pixelSize != centerX && centerY + pixelSize != centerY;
}

bool beyondDeepestMagnification(ExtFloat magnification) {
    return !(magnification.log2Abs() * 0.30102999566398120 <= kDeepestMagnificationPowerOfTen);
}

bool needsDeep(double radius, int halfWidth, double centerX, double centerY) {
    return !pixelsStayApart(radius, halfWidth, centerX, centerY);
}

bool isDeepView(double magnification, double method, double centerX, double centerY) {
    return needsDeep(AppState{}.initialRadius / magnification, halfWidthForMethod(method), centerX, centerY);
}

ViewFault viewFault(const ViewValues& v) {
    if (!isDrawingMethod(v.method)) return ViewFault::method;
    if (!(v.magnification > 0)) return ViewFault::magnification;
    const double initialRadius = AppState{}.initialRadius;
    const double radius = initialRadius / v.magnification;
    if (!v.deep) {
        if (!std::isnormal(radius) || beyondLeastMagnification(radius, initialRadius)) return ViewFault::magnification;
        if (!pixelsStayApart(radius, halfWidthForMethod(v.method), v.centerX, v.centerY)) return ViewFault::tooDeep;
    } else if (!isTypedCoordinate(v.centerX) || !isTypedCoordinate(v.centerY)) {
        // The digits of a deep view's texts tell its pixels apart within
        // -4..4; a view off there is deep only because its centre is large.
        return ViewFault::tooDeep;
    }
    if (v.julia && !isClickablePoint(v.juliaRe, v.juliaIm)) return ViewFault::juliaConstant;
    if (!isIterationLimit(v.maxIter)) return ViewFault::iterations;
    if (!isContourInterval(v.contourT)) return ViewFault::contour;
    return ViewFault::none;
}

const char* describeViewFault(ViewFault fault) {
    switch (fault) {
    case ViewFault::none: return "a view the program can draw";
    case ViewFault::method: return "the drawing method is not 0 to 4";
    case ViewFault::magnification: return "the magnification is below 0.1 or unusable";
    case ViewFault::tooDeep: return "the magnification is too large for neighbouring points to differ at this centre";
    case ViewFault::juliaConstant: return "the Julia constant is no point a picture can show";
    case ViewFault::iterations: return "the iteration limit is not a whole number above 0";
    case ViewFault::contour: return "the contour interval is not in 0 to 5";
    }
    return "";
}

}  // namespace qel
