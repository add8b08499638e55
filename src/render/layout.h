// Layout of the picture surface for the drawing method.
#pragma once

#include "app/app_state.h"
#include "render/surface.h"

namespace qel {

// Sets halfW, halfH and shownQuad for drawMethod, gives the surface its user
// coordinates (one unit per pixel, y upwards, origin at the centre of the
// top-left picture) and moves it so that the wanted quadrant is in view.
void layoutPicture(AppState& s, Surface& picture1);

// Half width and half height of one picture for drawMethod: a quarter of
// the picture size in the split layout, a half with one method at full size.
int halfWidthFor(const AppState& s);
int halfHeightFor(const AppState& s);

// Moves a full-size surface so that the quadrant of `method` (1 upper left,
// 2 upper right, 3 lower left, 4 lower right) fills the window.
void showQuadrant(const AppState& s, Surface& picture1, int method);

}  // namespace qel
