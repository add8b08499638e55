// The main window's set-up that does not depend on the toolkit: picture
// geometry, surfaces, font size and the first drawing's caption.
#pragma once

#include "app/program.h"

namespace qel {

// Base font size in points for a screen pixel of `twipsPerPixel` twips:
// 9 points at 96 dots per inch (15 twips), 7 at 120 (12 twips).
int baseFontPoints(int twipsPerPixel);

// firstDrawing := -1; picW, picH from the settings (multiples of 4); the
// drawing surface and the history surface sized 2*picW x 2*picH at (0, 0).
void setUpPictures(Program& p);

// viewInfo and drawingCaption of the first drawing, shown as the caption.
void captionFirstDrawing(Program& p);

// appPath: the program folder with exactly one separator at its end.
std::string folderWithSeparator(const std::string& folder, const std::string& separator);

}  // namespace qel
