// The mouse and key events of the picture: what a press, a move, a click, a
// double click and a key do. The main window only forwards its events here.
#pragma once

#include "app/program.h"
#include "view/pixel_mapping.h"

namespace qel {

// Mouse buttons as the picture's events number them.
constexpr Int16 kLeftButton = 1;
constexpr Int16 kRightButton = 2;
constexpr Int16 kMiddleButton = 4;

// The surface coordinates of the window pixel (wx, wy) of the picture widget.
PictureFloat surfacePosition(const Program& p, double wx, double wy);

void Picture1_MouseDown(Program& p, Int16 button);
// x, y in surface coordinates; ignored while a drawing runs.
void Picture1_MouseMove(Program& p, float x, float y);
void Picture1_Click(Program& p);
void Picture1_DblClick(Program& p);
// A key press that types a character ends the program, also during a
// drawing; the window hands on no other key.
void Picture1_KeyPress(Program& p);

// The left click's zoom: folds the last mouse position, makes its plane
// point the new centre, divides radius by zoom and requests the drawing.
// A zoom whose view could no longer be told apart is refused with a message
// and changes nothing.
void zoomIntoClickedPoint(Program& p);

// A right click on a full-size colouring: shows the next of the four
// pictures (1 -> 2 -> 3 -> 4 -> 1) through the dialog's method buttons.
void showNextColouring(Program& p);

}  // namespace qel
