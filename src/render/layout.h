// Layout of the picture surface for the drawing method: method 0 draws the
// four colourings side by side at a quarter of the picture size each
// (split), methods 1..4 draw at full size and show one quadrant.
#pragma once

#include "render/surface.h"

namespace qel {

// The drawing methods, as the dialog, the file names and the record number
// them: the four colourings side by side, or one of them at full size, named
// by the quadrant of the surface it fills.
enum DrawMethod : int { kSplitScreen = 0, kUpperLeft = 1, kUpperRight = 2, kLowerLeft = 3, kLowerRight = 4 };

// Half the width (or height) of one picture of `pictureSize` pixels: a
// quarter of it in the split layout, a half with one method at full size.
int halfSizeFor(int method, int pictureSize);

// Gives the surface its user coordinates (one unit per pixel, y upwards,
// origin at the centre of the top-left picture) and moves it so that the
// quadrant of `method` is in view.
void layoutSurface(Surface& picture1, int method, int halfW, int halfH);

// The four pictures of a surface laid out with the halves halfW and halfH
// (the split screen's or the four full-size colourings) taken from `from`
// (of the same size) into `to`, each scaled by `factor` about the pixel at
// offsets (x, y) from its centre (x to the right, y upwards): the pixel at
// offsets (u, v) shows `from`'s at (x + (u - x) / factor, y + (v - y) /
// factor), rounded down, or black where that lies outside the picture.
// The rest of `to` is left as it is.
void zoomPictures(Surface& to, const Surface& from, int halfW, int halfH, int x, int y, double factor);

// Moves a full-size surface so that the quadrant of `method` (1 upper left,
// 2 upper right, 3 lower left, 4 lower right) fills the window.
void showQuadrant(Surface& picture1, int halfW, int halfH, int method);

}  // namespace qel
