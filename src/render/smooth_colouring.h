// The smooth colouring of deep views: a continuous escape count for every
// exterior point, carried through the engines in place of a colour, then
// mapped through its logarithm and the view's own range of counts onto a
// palette. Unlike the grey of the escape count, which saturates a few
// thousand iterations in, it shows the structure of a view at any depth.
#pragma once

#include <cstddef>
#include <vector>

#include "render/colouring.h"
#include "render/orbit.h"
#include "render/surface.h"

namespace qel {

// A value of DrawingSetup::colourings (and of LargePicture::method) besides
// kSplitScreen and the four quadrant methods: every engine then delivers in
// PointColours::upperLeft each point's continuous count, encoded by
// encodeCount; interior points have PointColours::interior set and an
// encoding that decodes to a negative number.
constexpr int kSmoothCounts = 5;

// The fractional escape count of an escaped point: r.n plus a fraction from
// the last modulus, continuous across escape counts (a point straddling
// counts n and n + 1 with a neighbour gets a count near the neighbour's).
// Goes on iterating a few steps in double from the last orbit point (c is
// the last point minus the square of the one before) until the modulus is
// large, so no engine changes its loop. Always at least 0; for a point that
// did not escape, -1.
float continuousCount(const OrbitResult& r);

// The count as a colour's bit pattern and back; the encoding of an interior
// point (any negative count) decodes to a negative number.
Colour encodeCount(float count);
float decodeCount(Colour encoded);
// The encoding of an interior point.
Colour interiorCount();

// What an engine delivers for a point in the smooth colouring: its encoded
// count in upperLeft, the other three colours 0.
PointColours smoothPointColours(const OrbitResult& r);

// The colours a count is mapped onto. Colours are the program's colour
// numbers (red + 256 * green + 65536 * blue), as pixels and PictureSink rows
// hold them.
struct SmoothPalette {
    std::vector<Colour> stops;   // at least two; the palette runs through them and back to the first
    Colour interior = 0x000000;  // the colour of interior points
    // The palette a picture has without --palette: dark blue, white, gold,
    // brown and back, a sweep a film can cycle through without a seam.
    static const SmoothPalette& builtIn();
};

// The range of log(1 + count) a view spans: the palette goes round its
// stops kSmoothCycles times from lo to hi, and on at the same pace beyond
// either end. Through the logarithm the far points of a shallow view (counts
// 10 and 20) are as far apart in colour as the near ones (1000 and 2000);
// in a deep view, whose counts differ by a small share, it is nearly
// straight.
struct SmoothRange {
    double lo = 0, hi = 1;
};

// How many times the palette goes round across a view's range.
constexpr double kSmoothCycles = 3.0;

// The view's own range from a sample of encoded counts: from the 1st to the
// 99th percentile of log(1 + count) of its exterior points, interior points
// skipped, at least one escape count wide. A sample with no exterior point
// gives {0, 1}.
SmoothRange smoothRangeOf(const Colour* encoded, std::size_t n);

// Maps encoded counts to colours through a table over log(1 + count): fast
// enough for every pixel of every frame of a film.
class SmoothMap {
public:
    SmoothMap(const SmoothPalette& palette, SmoothRange range);
    // The colour number of an encoded count; interior: palette.interior.
    Colour colour(Colour encoded) const;

    // Entries of the table over one cycle of the palette.
    static constexpr int kTableSize = 4096;

private:
    std::vector<Colour> table_;  // one cycle of the palette, kTableSize entries
    Colour interior_;
    double lo_;
    double entriesPerLog_;  // table entries per unit of log(1 + count)
};

}  // namespace qel
