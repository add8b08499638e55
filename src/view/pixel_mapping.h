// Between mouse positions and plane points: folding a position onto the
// top-left picture, the plane point of a folded position on the pixel grid,
// and the surface coordinates of a window pixel.
#pragma once

#include <optional>

#include "app/app_state.h"
#include "render/deep/big_real.h"
#include "render/surface.h"

namespace qel {

// A position in surface user coordinates (one unit per pixel, y upwards,
// origin at the centre of the top-left picture).
struct PicturePos {
    double x = 0.0, y = 0.0;
};

// A point of the complex plane.
struct PlanePoint {
    double re = 0.0, im = 0.0;
};

// Mouse positions arrive as 32-bit floats, as the toolkit hands them on.
struct PictureFloat {
    float x = 0.0f, y = 0.0f;
};

// The mouse move's fold: x >= halfW moves one picture to the left,
// y < -halfH (strictly) one picture up. Each axis folds at most once.
PicturePos foldOntoTopLeft(const AppState& s, double x, double y);

// The click's second fold before a zoom: x > halfW (strictly) moves one
// picture to the left, y < -halfH one picture up.
PicturePos foldAgainForZoom(const AppState& s, double x, double y);

// The plane point of a folded position through the centre of the picture on
// the screen: floor((pixelSize*X + curCenter) / pixelSize) * pixelSize on
// each axis, the floor taken of the quotient exactly as computed. Nothing
// when the pixel size is not a positive number or the result is not finite
// (a pixel size that underflowed to 0 or the quotient overflowing).
std::optional<PlanePoint> gridPoint(const AppState& s, PicturePos folded);

// A point of the plane at the precision of a deep picture.
struct DeepPoint {
    BigReal re, im;
};

// The plane point of a folded position on a deep picture on the screen, by
// the same rule as gridPoint, at the precision of its pixel size.
DeepPoint deepGridPoint(const AppState& s, PicturePos folded);

// The cursor's plane point: the grid point, or the centre of the picture
// when the pixels are too small to tell points apart.
PlanePoint cursorPoint(const AppState& s, PicturePos folded);

// Surface coordinates of the window pixel under (wx, wy), the surface lying
// at `picture1`'s left/top in the window: x = column - halfW, y = halfH - row.
PictureFloat surfacePositionOf(const AppState& s, const Surface& picture1, double wx, double wy);

}  // namespace qel
