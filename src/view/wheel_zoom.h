// Zooming with the mouse wheel, as maps and real-time explorers do: each
// notch forward zooms 2x into the view, each notch backward 2x out, and
// the plane point under the pointer stays where it is. The picture on the
// screen, scaled about the pointer, is shown at once; the drawing of the
// new view then replaces it row by row.
//
// Quick notches coalesce: a notch during a drawing (the wheel's own, a
// click's, the dialog's ...) leaves its view as the newest target in the
// live values, scales the picture on the screen again and stops the
// drawing; the drawing request that ran it then draws the newest target
// (redrw). Such a series is one step of the history: "前画面に戻す" returns
// to the picture before the series.
//
// A wheel zoom is a drawing like a click's: the same captions and limits
// (0.1 at the least, the deepest magnification at the most, with the
// click's messages), deep views held to the last digit. While the Julia
// set waits for its constant to be picked the wheel does nothing, and so
// does a notch while the nearest minibrot is searched for.
#pragma once

#include "app/program.h"

namespace qel {

// The zoom of one notch.
inline constexpr double kWheelZoom = 2.0;
// More notches than these in one event count as these.
inline constexpr int kMostNotches = 32;

// The wheel turned by `notches` (forward positive) with the pointer at the
// surface position (x, y).
void Picture1_Wheel(Program& p, float x, float y, int notches);

}  // namespace qel
