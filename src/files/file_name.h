// The parameter-bearing file name of a saved picture: the view (set, method,
// magnification, centre, Julia constant, iteration limit, contour interval)
// travels in the name, e.g. "M0s1x0y0k500t1.bmp" or
// "J0s2p5x0p25y-0p5z-0p8w0p156k500t1p5.bmp". Decimal points are written as
// "p"; the decoder reads the last occurrence of each tag letter, so anything
// put in front of the generated name (a folder, a prefix) does not disturb it.
#pragma once

#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/settings_port.h"
#include "app/view_limits.h"

namespace qel {

// The view a name carries.
struct FileView {
    bool julia = false;
    int method = 0;        // 0 four-way split, 1..4 one colouring at full size
    std::string magText;   // the magnification exactly as written
    double centerX = 0.0, centerY = 0.0;
    double juliaRe = 0.0, juliaIm = 0.0;  // 0, 0 for a Mandelbrot name
    double maxIter = 0.0;
    float contourT = 0.0f;
};

// `text` with its leftmost "." replaced by "p"; unchanged without a ".".
std::string pointToP(const std::string& text);
// `text` with every "p" replaced by "." ("P" stays).
std::string pToPoint(const std::string& text);

// The name (body and ".bmp", no folder) for the picture on the screen: the
// cur layer, shownMethod, and the texts of the magnification and contour
// fields as the dialog shows them.
std::string composeFileName(const AppState& s, const std::string& magText, const std::string& contourText);
// Puts the name of the picture on the screen into s.fileName.
void makeFileName(AppState& s, const SettingsPort& dialog);

// The view carried by `name` (a bare name or a full path), or nothing when
// the name carries none: no "M" or "J", a tag missing or out of order, a
// method other than 0..4, a magnification that is not a positive number or
// that is so small or so large that its radius is beyond a double's range,
// or a contour interval beyond a 32-bit float's range.
std::optional<FileView> decodeFileName(const std::string& name);

// The decoded view as the limits of a view (app/view_limits.h) see it.
ViewValues viewValuesOf(const FileView& v);

// The view carried by `name` when a saved picture could carry it: decoded,
// and within the limits of what the window can draw (a name with "k-5",
// "t9" or a Julia constant of 1E+300 carries a view, but no saved picture
// does).
std::optional<FileView> openableView(const std::string& name);

// Reads `name` into the state as opening a picture does: s.fileName takes
// the working text, and s.fileNameOk 1 or 0 as the name is openable. On
// acceptance the live view, the cur layer (but curMaxIter) and the dialog's
// magnification field take the name's view; on refusal nothing else is
// written.
void parseFileName(AppState& s, SettingsPort& dialog, const std::string& name);

// For tools without a dialog: puts the view of `name` into the live values
// and the cur layer as opening the picture would (radius from the
// magnification, the Julia constant fixed, the shown method), ready to be
// drawn. False, with the state untouched, when the name is not openable.
bool viewFromFileName(const std::string& name, AppState& s);

}  // namespace qel
