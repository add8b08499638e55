#include "view/zoom_limit.h"

#include <cmath>

#include "app/view_limits.h"
#include "render/layout.h"

namespace qel {

bool zoomStaysDistinct(const AppState& s, PlanePoint newCentre) {
    return pixelsStayApart(s.radius / s.zoom, halfWidthFor(s), newCentre.re, newCentre.im);
}

bool zoomOutOverflows(const AppState& s) { return !std::isfinite(s.radius / s.zoom); }

}  // namespace qel
