// Where a click zoom leaves the doubles: after about fifteen zooms by 8
// neighbouring pixels of the next picture land on the same doubles, and the
// view turns deep. A zoom out past every radius is refused.
#pragma once

#include <string>

#include "app/app_state.h"
#include "app/drawing_request.h"
#include "view/pixel_mapping.h"

namespace qel {

// True when the view a click zoom would draw next can still be told apart
// by doubles:
// radius / zoom and its pixel size are normal positive numbers and one such
// pixel added to the new centre changes each coordinate.
bool zoomStaysDistinct(const AppState& s, PlanePoint newCentre);

// True when radius / zoom would no longer be a finite number (zooming out
// past every bound).
bool zoomOutOverflows(const AppState& s);

}  // namespace qel
