// The drawing request: checks the magnification, titles the drawing and
// runs it.
#pragma once

#include <string>

#include "app/drawing.h"
#include "app/program.h"

namespace qel {

// A zoom past the deepest magnification.
inline const std::string kMagnificationTooLarge =
    "これ以上拡大すると隣り合う点の座標が区別できなくなるため拡大できません";
inline const std::string kMagnificationTooLargeTitle = "倍率過大";
inline const std::string kMagnificationTooSmall = "画面設定で初期画面からの新倍率は 0.1 以上にして下さい";
inline const std::string kMagnificationTooSmallTitle = "倍率過少";
// A deep drawing whose reference orbits would not fit in memory: the text
// names the largest iteration limit that fits.
std::string iterationsTooManyText(double mostIterations);
inline const std::string kIterationsTooManyTitle = "計算回数過大";

// Draws the live view (the two coordinates the callers pass are the state's
// own centre and are not read). Refuses a magnification below 0.1, and a
// deep view whose reference orbits would take more of the memory available
// than a drawing may, with a message box, and changes nothing then. Returns
// when the drawing has ended or was stopped. `start` is the render loop's
// (app/drawing.h). A notch of the wheel during the drawing (view/wheel_zoom.h)
// stops it and leaves a newer view, which is drawn next, within the same
// step of the history.
void redrw(Program& p, const DrawingStart& start = {});

// The message of a zoom past the least or the deepest magnification.
void showZoomRefusal(Program& p, WheelRefusal refusal);

}  // namespace qel
