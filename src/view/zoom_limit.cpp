#include "view/zoom_limit.h"

#include "render/layout.h"

#include <cmath>

namespace qel {

bool zoomStaysDistinct(const AppState& s, PlanePoint newCentre) {
    double newRadius = s.radius / s.zoom;
    double newPixelSize = newRadius / halfWidthFor(s);
    if (!std::isnormal(newRadius) || !std::isnormal(newPixelSize) || newPixelSize < 0) return false;
    return newCentre.re + newPixelSize != newCentre.re && newCentre.im + newPixelSize != newCentre.im;
}

bool zoomOutOverflows(const AppState& s) { return !std::isfinite(s.radius / s.zoom); }

}  // namespace qel
