// How deep a click may zoom. After a few hundred zooms the pixel size of the
// next picture underflows, or neighbouring pixels land on the same plane
// point; such a zoom is refused before anything changes.
#pragma once

#include <string>

#include "app/app_state.h"
#include "view/pixel_mapping.h"

namespace qel {

inline const std::string kMagnificationTooLarge =
    "これ以上拡大すると隣り合う点の座標が区別できなくなるため拡大できません";
inline const std::string kMagnificationTooLargeTitle = "倍率過大";


// True when the view a click zoom would draw next can still be told apart:
// radius / zoom and its pixel size are normal positive numbers and one such
// pixel added to the new centre changes each coordinate.
bool zoomStaysDistinct(const AppState& s, PlanePoint newCentre);

// True when radius / zoom would no longer be a finite number (zooming out
// past every bound).
bool zoomOutOverflows(const AppState& s);

}  // namespace qel
