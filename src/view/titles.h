// Window titles that the picture logic composes: the cursor read-out on a
// mouse move and the retitling of a restored or opened view.
#pragma once

#include <string>

#include "app/program.h"
#include "view/pixel_mapping.h"

namespace qel {

// Recomposes point label, view text, click hint and the title for a view
// that was restored (previous screen) or read from a file.
void retitle(Program& p);

// radius for a magnification text: initialRadius / its value. A text whose
// value gives no usable radius (0, negative, or so large that the radius
// underflows) keeps the current radius.
double radiusOfMagText(const AppState& s, const std::string& magText);

// True when the period is read under the cursor at the unfolded position:
// over the full-size period colouring, or over the bottom-left picture of
// the four-way split.
bool readsPeriodAt(const AppState& s, PictureFloat at);

// The read-out label for the colour under the cursor: " 周期 i" for the
// first period 1..15 whose shown or inverted colour matches, " 周期未定"
// for the undetermined colour, else " ｶｰｿﾙ".
std::string periodLabelOf(const AppState& s, Colour colour);

// The title while the mouse moves: view text and cursor read-out, with the
// click and right-button hints unless the dialog asks for simple titles.
std::string cursorTitle(const Program& p);

// Updates the cursor read-out and the title for a mouse position already
// stored in mouseX, mouseY (raw: `at`).
void showCursorReadOut(Program& p, PictureFloat at);

}  // namespace qel
