// The coordinate axes overlay: the real and imaginary axes with a tick at
// every whole number, drawn in invert mode on all four pictures, so that
// drawing them again removes them pixel for pixel.
#pragma once

#include "app/program.h"

namespace qel {

// "座標軸".
void mnuza_Click(Program& p);

}  // namespace qel
