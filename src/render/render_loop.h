// The render loop: draws the live view into the picture surface row by row.
#pragma once

#include <string>

#include "app/program.h"

namespace qel {

// Draws one view to its end (or until a right click stops it): history
// step, clearing, Julia start, snapshot, constants, layout, the scan with
// one yield per row, and the end caption with its beep. Ignored while a
// drawing runs already.
void Essence(Program& p);

// Copies the whole of picture1 into picture2 (the history's picture half).
// When picture1 is about to be cleared anyway (`picture1Cleared`), its pixels
// are handed over instead of copied, and picture1 is left with the old
// history picture's pixels until it is cleared.
void backupPicture(Program& p, bool picture1Cleared = false);

// The drawing caption with the minutes still to go after row y is done:
// caption + "  残 3分:".
std::string remainingTimeCaption(const std::string& drawingCaption, float elapsed, int halfH, int y);

}  // namespace qel
