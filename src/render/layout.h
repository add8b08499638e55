// Layout of the picture surface for the drawing method.
#pragma once

#include "app/app_state.h"
#include "render/surface.h"

namespace qel {

// Sets halfW, halfH and shownQuad for drawMethod, gives the surface its user
// coordinates (one unit per pixel, y upwards, origin at the centre of the
// top-left picture) and moves it so that the wanted quadrant is in view.
void layoutPicture(AppState& s, Surface& picture1);

}  // namespace qel
