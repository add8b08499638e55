// What a view may be: the limits the settings dialog puts on what is typed,
// the least magnification a drawing accepts, and the deepest zoom whose
// neighbouring pixels still fall on different plane points. A view beyond
// them cannot be reached in the window, so no saved picture carries one and
// no tool draws one.
#pragma once

#include "render/deep/ext_float.h"

namespace qel {

// The deepest magnification a zoom reaches: 1E+10000. A drawing there still
// takes seconds; beyond it the reference orbit alone grows towards minutes.
inline constexpr int kDeepestMagnificationPowerOfTen = 10000;
bool beyondDeepestMagnification(ExtFloat magnification);

// A typed centre or Julia constant lies in -4..4 on each axis.
inline constexpr double kTypedCoordinateLimit = 4;
// The magnification relative to the initial picture is at least 0.1, that
// is a radius of at most ten initial radii.
inline constexpr double kLeastMagnification = 0.1;
inline constexpr double kMostRadii = 10;
// The contour interval t lies in 0..5.
inline constexpr double kMostContourInterval = 5;

bool isTypedCoordinate(double v);
// A whole number above 0.
bool isIterationLimit(double maxIter);
bool isContourInterval(double t);
// 0 four-way split, 1..4 one colouring at full size.
bool isDrawingMethod(double method);
// The drawing request's refusal: a radius beyond ten initial radii.
bool beyondLeastMagnification(double radius, double initialRadius);
// The zoom refusal: the radius and the pixel size (radius / halfWidth) are
// normal positive numbers, and one pixel added to each coordinate of the
// finite centre changes it.
bool pixelsStayApart(double radius, int halfWidth, double centerX, double centerY);

// True when a view of this radius and centre is drawn by the deep engine:
// its neighbouring pixels fall on the same doubles.
bool needsDeep(double radius, int halfWidth, double centerX, double centerY);

// True when a view of this magnification (the nearest double; infinity
// beyond a double's range) and centre must be held as decimal texts: at the
// half width of its drawing method neighbouring pixels would share a plane
// point in doubles.
bool isDeepView(double magnification, double method, double centerX, double centerY);

// A view as a saved name or a tool's request gives it.
struct ViewValues {
    bool julia = false;
    double method = 0;
    double magnification = 1;
    double centerX = 0, centerY = 0;
    double juliaRe = 0, juliaIm = 0;  // read for a Julia view only
    double maxIter = 500;
    double contourT = 1;
    bool deep = false;  // held as decimal texts: no radius in doubles to check
};

enum class ViewFault {
    none,
    method,         // not 0..4
    magnification,  // not a number the radius can come from, or below 0.1
    tooDeep,        // neighbouring pixels would share a plane point at this centre
    juliaConstant,  // no point of a picture the window can draw
    iterations,     // not a whole number above 0
    contour,        // not in 0..5
};

// The first limit `v` is beyond, or none. A Julia constant is typed (-4..4)
// or clicked on a Mandelbrot picture of magnification 0.1 or more, so one
// step of the coarsest pixel must change each of its coordinates.
ViewFault viewFault(const ViewValues& v);

// A few words for a message: "the magnification is below 0.1 or unusable".
const char* describeViewFault(ViewFault fault);

}  // namespace qel
