// The four colourings of one orbit, their palettes and the constants that
// the contour interval t and the magnification give them, where the four
// colours of a point go on the surface, and the calibration of the period
// colours that the cursor read-out compares with.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "render/layout.h"
#include "render/orbit.h"
#include "render/surface.h"

namespace qel {

// Fixed for a whole drawing: computed from t and mag = initialRadius / radius.
struct ColourConstants {
    float t = 1.0f;
    double greyGain = 30.0;     // exterior grey per escape count
    double moveDivisor = 1.0;   // exterior move brightness divisor
    double contourGain = 1.0;   // interior blue and contour gain
    float moveBase = 0.0f;      // interior move brightness floor
    double escapeBand = 1.0;    // escape counts per band
    double modulusBand = 1.0;   // exterior green band width in r2 / 4
    double kakudai = 644.0;     // interior contour scale, 644 / contourGain
    bool operator==(const ColourConstants&) const = default;
};

ColourConstants colourConstantsFor(float t, double mag);

// Period palette: index = period 1..16 (16 = undetermined); entry 0 unused.
const std::array<Colour, 17>& periodColours();
// The six interior contour colours of set10.
const std::array<Colour, 6>& contourPalette();

// The upper-right interior colour: nearest(r2 * kakudai) mod 6.
Colour set10(double r2, double kakudai);
// The move colour of the point's last-move class at brightness moveLevel.
Colour classifyMove(const OrbitResult& r, int moveLevel);

// Brightness of the last move: exterior and interior gains.
int exteriorMoveLevel(double moveSize, const ColourConstants& c);
int interiorMoveLevel(double moveSize, const ColourConstants& c);

// The four colours of one point, one per quadrant.
struct PointColours {
    Colour upperLeft = 0, upperRight = 0, lowerLeft = 0, lowerRight = 0;
    bool interior = false;  // decides the order in which they are written
    bool operator==(const PointColours&) const = default;
};

PointColours pointColours(const OrbitResult& r, const ColourConstants& c);

// The two exterior colours that depend on the escape count alone (the grey
// upper left, the band lower left), made once per drawing for every count up
// to a cap, so that a point looks them up instead of dividing; counts above
// the cap are computed as pointColours does.
class EscapeCountColours {
public:
    struct Pair {
        Colour grey = 0, band = 0;
    };
    // A point escaping later than this spent far longer on its orbit than
    // the formula takes; a bigger table would cost each drawing's start more.
    static constexpr std::int64_t kMostCounts = std::int64_t{1} << 12;

    EscapeCountColours() = default;
    // Counts 0..highestCount (at most kMostCounts of them) are looked up.
    EscapeCountColours(const ColourConstants& c, std::int64_t highestCount);
    Pair colours(std::int64_t n) const {
        if (static_cast<std::uint64_t>(n) < byCount_.size()) return byCount_[static_cast<std::size_t>(n)];
        return computed(n);
    }

private:
    Pair computed(std::int64_t n) const;

    ColourConstants constants_;
    std::vector<Pair> byCount_;
};

// The same colours as pointColours(r, c), for `byCount` made from c.
PointColours pointColours(const OrbitResult& r, const ColourConstants& c, const EscapeCountColours& byCount);
// The colours of `count` points into out[0..count-1], each built in place:
// for the drawing `method` of one quadrant (kUpperLeft .. kLowerRight, a
// picture of one colouring) only that quadrant's colour, the others 0; for
// kSplitScreen all four; for kSmoothCounts (render/smooth_colouring.h) the
// encoded continuous count.
void pointColours(const OrbitResult* r, int count, const ColourConstants& c, const EscapeCountColours& byCount,
                  PointColours* out, int method = kSplitScreen);

// Writes the four colours of pixel offset (x, y) into their quadrants:
// exterior points upper left, lower left, lower right, upper right;
// interior points upper left, lower left, upper right, lower right.
void colourPoint(Surface& picture, int halfW, int halfH, int x, int y, const PointColours& colours);

// The four colours of a point in the order they are written, each as
// put(right, below, colour): right and below say which copy of the point's
// pixel takes it.
template <class Put>
inline void eachQuadrantInOrder(const PointColours& colours, Put&& put) {
    put(false, false, colours.upperLeft);
    put(false, true, colours.lowerLeft);
    if (colours.interior) {
        put(true, false, colours.upperRight);
        put(true, true, colours.lowerRight);
    } else {
        put(true, true, colours.lowerRight);
        put(true, false, colours.upperRight);
    }
}

// What the surface shows for each period colour (indices 1..16), plain and
// after an inverting line has passed over it.
struct PeriodCalibration {
    std::array<std::int32_t, 17> shown{};
    std::array<std::int32_t, 17> inverted{};
};

// Sets each period colour at (0, 0) of `scratch` and keeps what it shows.
PeriodCalibration calibratePeriodColours(Surface& scratch);
// The same on a small surface of its own.
PeriodCalibration calibratePeriodColours();

}  // namespace qel
