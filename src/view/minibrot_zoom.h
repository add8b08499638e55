// The popup menu's "近くのMinibrotへ拡大": the minibrot nearest the point
// where the menu was opened, searched for while the window's events go on
// (a right click stops the search as it stops a drawing), then drawn as an
// ordinary drawing of its view.
#pragma once

#include "app/program.h"

namespace qel {

// True when the item acts: the picture on the screen is the Mandelbrot
// set's and the Mandelbrot set is chosen (a Julia set has no minibrots).
bool minibrotZoomAvailable(const AppState& s);

// Searches from the folded mouse position's point on the pixel grid, as a
// click takes it: busy, with the hourglass and the search's progress in the
// title. Found, its view (app/minibrot_view.h) is drawn through redrw, so
// that "前画面に戻す" returns to the picture before. Not found, a message
// says so; stopped, or not found, the title and everything else are as
// before. Beyond the deepest magnification, the zoom's refusal.
void mnuminibrot_Click(Program& p);

}  // namespace qel
