// Going back one step: the picture before the current one returns with the
// view that produced it; the current picture is thrown away.
#pragma once

#include "app/program.h"

namespace qel {

// Copies the prev layer back into the live values (and the parts of the cur
// layer that describe the picture), the magnification through the dialog's
// magnification field.
void restorePrevious(Program& p);

// "前画面に戻す  (現画面は破棄)": restores view and picture, retitles and lays
// out the surface; afterwards no previous screen is available.
void mnuzen_Click(Program& p);

}  // namespace qel
