// Locations shared by other deep-zoom explorers: Kalles Fraktaler's
// parameter files (.kfr). Plain text, one "Key: value" a line, CRLF: "Re"
// and "Im" the centre as decimals with every digit, "Zoom" such that half
// the picture's height is 2 / Zoom in the plane, "Iterations" the iteration
// limit; every other key (colours, formula settings) is ignored.
//
// qel's magnification is 2 / radius, the radius the half width of its
// picture; half its height is radius * picH / picW, so the magnification is
// Zoom * picH / picW (Zoom * 3 / 4 for the 800 x 600 picture).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/app_state.h"

namespace qel {

// A file larger than this is no location file: a .kfr holds a few lines
// and a palette, a few kilobytes; a view at the deepest magnification
// about twenty.
inline constexpr std::size_t kLargestKfrFile = 1 << 20;
// A coordinate with more significant digits than this is refused: the
// deepest view needs about 10,000.
inline constexpr std::size_t kMostKfrDigits = 30000;

inline const std::string kKfrExtension = ".kfr";

// The four values of a location file, as written (each a plain decimal).
struct KfrLocation {
    std::string re, im;
    std::string zoom;
    std::optional<std::string> iterations;  // the file may leave it out
};

// The location a file's text holds, or nothing: Re, Im and Zoom present
// once each (Iterations at most once), each a plain decimal (Iterations a
// whole number), the coordinates with at most kMostKfrDigits significant
// digits. Lines end in CRLF or LF; keys stand in any order; blanks around
// keys and values do not count.
std::optional<KfrLocation> parseKfr(std::string_view text);

// The magnification a Zoom gives, in numberText's form with Str's 15
// digits ("8", "0.75", "1.5E+100"), or nothing when the Zoom is no
// positive number or its magnification lies far outside 0.1..1E+10000.
std::optional<std::string> magnificationOfZoom(std::string_view zoom);

// The Mandelbrot view of a location, drawn with `method` and `contourT`,
// its iteration limit the file's or else `maxIter`; nothing when it is no
// view the window can draw (app/view_limits.h): a magnification below 0.1
// or beyond the deepest, a centre a view of that magnification cannot
// hold, an iteration limit that is no whole number above 0.
std::optional<View> viewOfKfr(const KfrLocation& location, Int16 method, float contourT, double maxIter);

// The text of a file for `v` (a Mandelbrot view; its magnification its
// deep text or magText), with CRLF lines: Re and Im with every digit the
// view holds, written out without an exponent, Zoom with 20 digits, so
// that reading it gives the view back, and Iterations.
std::string kfrTextOf(const View& v);

// The text of the file at `path`, or nothing when it cannot be read or is
// larger than kLargestKfrFile (of which no more is read).
std::optional<std::string> readKfrFile(const std::string& path);

// True when `path` ends in ".kfr", in any case.
bool namesKfrFile(std::string_view path);

}  // namespace qel
