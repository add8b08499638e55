// The parameter-bearing file name of a saved picture: the view (set, method,
// magnification, centre, Julia constant, iteration limit, contour interval)
// travels in the name, e.g. "M0s1x0y0k500t1.bmp" or
// "J0s2p5x0p25y-0p5z-0p8w0p156k500t1p5.bmp". Decimal points are written as
// "p"; the decoder reads the last occurrence of each tag letter, so anything
// put in front of the generated name (a folder, a prefix) does not disturb it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/settings_port.h"
#include "app/view_limits.h"

namespace qel {

// A file name may have at most this many bytes.
inline constexpr std::size_t kLongestFileName = 255;
// A name too long for that is shortened to this many, which leaves room
// for a prefix.
inline constexpr std::size_t kShortenedFileName = 200;

// `text` with its leftmost "." replaced by "p"; unchanged without a ".".
std::string pointToP(const std::string& text);
// `text` with every "p" replaced by "." ("P" stays).
std::string pToPoint(const std::string& text);

// The name (body and ".bmp", no folder) for the picture on the screen: the
// cur layer, shownMethod, and the texts of the magnification and contour
// fields as the dialog shows them. A deep view is written with its deep
// texts: its magnification, and its centre and constant to the last digit.
std::string composeFileName(const AppState& s, const std::string& magText, const std::string& contourText);

// The name a picture is saved under. A deep view's whole name may pass
// kLongestFileName (from about 10^111, 10^54 for a Julia set): then `name`
// is the name with the deep texts rounded to as many digits as fit in
// kShortenedFileName, and `wholeName` the whole one, which the bitmap
// carries (files/bitmap.h) so that opening it finds the view to the last
// digit. `wholeName` is empty when the name is whole.
struct SavedName {
    std::string name;
    std::string wholeName;
};
SavedName savedNameOf(const AppState& s, const std::string& magText, const std::string& contourText);

// Puts the name of the picture on the screen into s.fileName (shortened
// when it must be).
void makeFileName(AppState& s, const SettingsPort& dialog);

// The view carried by `name` (a bare name or a full path), or nothing when
// the name carries none: no "M" or "J", a tag missing or out of order, a
// method other than 0..4, a number beyond a double's range (the
// magnification may be larger, up to 10^kDeepestMagnificationPowerOfTen), a
// magnification that is not a positive number or that is so small that its
// radius is beyond a double's range, or a contour interval beyond a 32-bit
// float's range. The view's Julia constant is fixed (juliaStarted) for a
// Julia name; a deep view has its deep texts (app/view_texts.h).
std::optional<View> decodeFileName(const std::string& name);

// The decoded view as the limits of a view (app/view_limits.h) see it.
ViewValues viewValuesOf(const View& v);

// The view carried by `name` when a saved picture could carry it: decoded,
// and within the limits of what the window can draw (a name with "k-5",
// "t9" or a Julia constant of 1E+300 carries a view, but no saved picture
// does).
std::optional<View> openableView(const std::string& name);

// The name whose view a picture file carries: the whole name its bitmap
// holds when the file is still named as it was saved (any prefix allowed),
// else `path` itself.
std::string viewNameOfFile(const std::string& path);

// Reads `name` into the state as opening a picture does: s.fileName takes
// the working text, and s.fileNameOk 1 or 0 as the name is openable. On
// acceptance the live view, the cur layer (but its maxIter) and the dialog's
// magnification field take the name's view; on refusal nothing else is
// written.
void parseFileName(AppState& s, SettingsPort& dialog, const std::string& name);

// For tools without a dialog: puts the view of `name` into the state as
// opening the picture would (putView), ready to be drawn. False, with the
// state untouched, when the name is not openable.
bool viewFromFileName(const std::string& name, AppState& s);

}  // namespace qel
