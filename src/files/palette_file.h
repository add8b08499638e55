// Palette files for the smooth colouring (qel-render --palette FILE): plain
// text, one colour stop a line, the palette running through them in order
// and back to the first.
//
//   # a comment: a '#' followed by a blank or ending the line, and the rest
//   # of the line; blank lines count for nothing
//   #000764          a stop as six hexadecimal digits, red, green, blue
//   32 107 203       or as three whole numbers from 0 to 255
//   interior #000000 the colour of interior points (black unless given),
//                    at most once
//
// A stop or the interior line may have a comment after it. Lines end in LF
// or CRLF. At least kFewestPaletteStops stops, at most kMostPaletteStops; a
// file larger than kLargestPaletteFile, or with bytes that are not text, is
// refused.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "render/smooth_colouring.h"

namespace qel {

inline constexpr std::size_t kLargestPaletteFile = 1 << 20;
inline constexpr std::size_t kFewestPaletteStops = 2;
inline constexpr std::size_t kMostPaletteStops = 4096;

// A palette, or why the text is none (one English sentence, naming the
// line at fault where there is one).
struct PaletteReading {
    std::optional<SmoothPalette> palette;
    std::string refusal;
};

PaletteReading parsePalette(std::string_view text);

// The palette of the file at `path`; a file that cannot be read, or is
// larger than kLargestPaletteFile (of which no more is read), is refused.
PaletteReading readPaletteFile(const std::string& path);

}  // namespace qel
