#include "render/colouring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "render/layout.h"

namespace qel {
namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Rgb& c) { return o << '(' << c.r << ", " << c.g << ", " << c.b << ')'; }
Rgb rgbOf(Colour c) { return {redOf(c), greenOf(c), blueOf(c)}; }

const ColourConstants kDefault = colourConstantsFor(1.0f, 1.0);

OrbitResult origin() { OrbitRing ring; return computePoint({.maxIter = 500, .pixelSize = 1.0}, ring, 0, 0); }

OrbitResult escapedAfter(std::int64_t n) { return {.escaped = true, .n = n, .r2 = 25.0}; }

TEST(PointColours, ExteriorGreyByEscapeCount) {
    EXPECT_EQ(rgbOf(pointColours(escapedAfter(0), kDefault).upperLeft), (Rgb{0, 0, 0}));
    EXPECT_EQ(rgbOf(pointColours(escapedAfter(8), kDefault).upperLeft), (Rgb{240, 240, 240}));
    EXPECT_EQ(rgbOf(pointColours(escapedAfter(9), kDefault).upperLeft), (Rgb{255, 255, 255}));
    ColourConstants deep = colourConstantsFor(1.0f, 900.0);
    EXPECT_EQ(rgbOf(pointColours(escapedAfter(100), deep).upperLeft), (Rgb{100, 100, 100}));
    EXPECT_EQ(rgbOf(pointColours(escapedAfter(300), deep).upperLeft), (Rgb{255, 255, 255}));
}

TEST(PointColours, EscapeBandsCycleThroughFiveColoursWithWhiteForZero) {
    const Rgb white{255, 255, 255}, green{0, 255, 0}, red{255, 0, 0}, yellow{255, 255, 0}, cyan{0, 255, 255},
        magenta{255, 0, 255};
    const Rgb expected[] = {white, green, red, yellow, cyan, magenta, green, red, yellow, cyan, magenta, green};
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(rgbOf(pointColours(escapedAfter(n), kDefault).lowerLeft), expected[n]) << n;
    // t = 3: nine escape counts (3^2) per band.
    ColourConstants t3 = colourConstantsFor(3.0f, 1.0);
    EXPECT_EQ(rgbOf(pointColours(escapedAfter(8), t3).lowerLeft), magenta);
    EXPECT_EQ(rgbOf(pointColours(escapedAfter(9), t3).lowerLeft), green);
}

TEST(PointColours, EscapeBandsBelowOneRunOutToBlack) {
    Surface s(1, 1);
    ColourConstants t0 = colourConstantsFor(0.0f, 1.0);
    // j = 6 - 16 n: negative for every n >= 1, shown black.
    for (int n : {1, 2, 100, 100000}) {
        s.pset(0, 0, pointColours(escapedAfter(n), t0).lowerLeft);
        EXPECT_EQ(s.pixel(0, 0), 0) << n;
    }
    EXPECT_EQ(rgbOf(pointColours(escapedAfter(0), t0).lowerLeft), (Rgb{255, 255, 255}));
    // t = 0.5: a band is a quarter count, so n = 1 gives j = 2 (cyan) and
    // n = 2 gives j = -2.
    ColourConstants half = colourConstantsFor(0.5f, 1.0);
    EXPECT_EQ(rgbOf(pointColours(escapedAfter(1), half).lowerLeft), (Rgb{0, 255, 255}));
    s.pset(0, 0, pointColours(escapedAfter(2), half).lowerLeft);
    EXPECT_EQ(s.pixel(0, 0), 0);
}

TEST(PointColours, GreenBandIsTheFloorOnEitherSideOfThirtyTwoBitsAndNeverOverflows) {
    // With 4 * modulusBand = 255 the band number is r2 itself.
    ColourConstants c = kDefault;
    c.modulusBand = 63.75;
    const std::pair<double, int> bands[] = {{0.0, 0},           {254.99, 254},       {255.0, 0},
                                            {2147483647.0, 127}, {2147483647.5, 127}, {2147483648.0, 128},
                                            {2147483649.0, 129}, {1e10, 70}};
    for (const auto& [r2, green] : bands) {
        OrbitResult r = escapedAfter(2);
        r.r2 = r2;
        EXPECT_EQ(rgbOf(pointColours(r, c).upperRight), (Rgb{0, green, 0})) << r2;
    }
    // At t = 0 the band of r2 = 123456789.1 is 1007407399056, far beyond
    // 32 bits; its level is that band mod 255.
    OrbitResult far = escapedAfter(0);
    far.r2 = 123456789.1;
    EXPECT_EQ(rgbOf(pointColours(far, colourConstantsFor(0.0f, 1.0)).upperRight), (Rgb{0, 51, 0}));
}

TEST(PointColours, OrbitOverflowingToNoNumberStillGetsPlainColours) {
    // From (1e200, 1e200) the first square is infinite minus infinite: the
    // orbit becomes NaN, never passes the escape test and ends as interior.
    OrbitRing ring;
    OrbitResult r = computePoint({.maxIter = 10, .pixelSize = 1e200}, ring, 1, 1);
    ASSERT_FALSE(r.escaped);
    PointColours c = pointColours(r, kDefault);
    EXPECT_EQ(rgbOf(c.upperLeft), (Rgb{0, 0, 127}));
    EXPECT_EQ(rgbOf(c.upperRight), (Rgb{0, 0, 255}));
    EXPECT_EQ(c.lowerLeft, periodColours()[16]);
    EXPECT_EQ(rgbOf(c.lowerRight), (Rgb{0, 0, 0}));

    // An exterior r2 of infinity gives green level 0 and full move brightness.
    OrbitResult inf = escapedAfter(0);
    inf.r2 = std::numeric_limits<double>::infinity();
    inf.moveSize = inf.r2;
    inf.moveClass = MoveClass::Right;
    PointColours e = pointColours(inf, kDefault);
    EXPECT_EQ(rgbOf(e.upperRight), (Rgb{0, 0, 0}));
    EXPECT_EQ(rgbOf(e.lowerRight), (Rgb{255, 0, 0}));
}

// The contour colours round as the library's nearbyint does (an exact half
// to the even neighbour), for halves, near the end of exact fractions (2^52)
// and beyond it.
TEST(PointColours, ContourRoundingIsTheLibrarys) {
    std::vector<double> values{0.0, 0.49999999999999994, 0.5, 1.5, 2.5, 4503599627370495.5, 4503599627370496.0,
                               4503599627370497.0, 9007199254740993.0, 1e300, -0.5, -2.5, -7.25};
    for (int i = 0; i < 2000; ++i) values.push_back(i * 0.25 + (i % 3) * 1e-9);
    const auto& palette = contourPalette();
    for (double v : values) {
        const double whole = std::nearbyint(v);
        const std::size_t index = whole < 0 ? 0 : static_cast<std::size_t>(std::fmod(whole, 6.0));
        EXPECT_EQ(set10(v, 1.0), palette[index]) << v;
    }
}

TEST(PointColours, InteriorBlueRoundsAHalfToEven) {
    // 500 * 0.125 = 62.5 -> 62, so 127 + 62.
    OrbitResult r = origin();
    r.r2 = 0.125;
    EXPECT_EQ(rgbOf(pointColours(r, kDefault).upperLeft), (Rgb{0, 0, 189}));
    // At t = 0 the contours are 64 times wider: 62.5 / 64 rounds to 1.
    EXPECT_EQ(rgbOf(pointColours(r, colourConstantsFor(0.0f, 1.0)).upperLeft), (Rgb{0, 0, 128}));
}

TEST(PointColours, MoveBrightness) {
    EXPECT_EQ(exteriorMoveLevel(3.0, kDefault), 96);
    EXPECT_EQ(exteriorMoveLevel(100.0, kDefault), 255);
    EXPECT_EQ(exteriorMoveLevel(3.0, colourConstantsFor(2.0f, 1.0)), 80);  // 96 / 1.2
    ColourConstants t5 = colourConstantsFor(5.0f, 1.0);
    EXPECT_EQ(interiorMoveLevel(0.0, t5), 200);
    EXPECT_EQ(interiorMoveLevel(1e-5, t5), 205);
    EXPECT_EQ(interiorMoveLevel(1e-4, kDefault), 50);
    EXPECT_EQ(interiorMoveLevel(1.0, kDefault), 255);
}

// The classes' own colours are the render loop's first drawing's to check.
TEST(PointColours, AMoveColoursBrightnessIsClampedToALevel) {
    OrbitResult r;
    r.moveClass = MoveClass::RightUp;
    EXPECT_EQ(rgbOf(classifyMove(r, 9)), (Rgb{9, 0, 9}));
    EXPECT_EQ(rgbOf(classifyMove(r, 300)), (Rgb{255, 0, 255}));
    EXPECT_EQ(rgbOf(classifyMove(r, -5)), (Rgb{0, 0, 0}));
}

auto fieldsOf(const PointColours& c) {
    return std::tuple(c.interior, c.upperLeft, c.lowerLeft, c.upperRight, c.lowerRight);
}

// The table made once per drawing gives every point the colours the formulas
// give it: for small and big contour intervals, deep views, counts at the
// table's end and far beyond it, and for interior points.
TEST(EscapeCountColours, LookedUpColoursAreTheFormulas) {
    const std::pair<float, double> settings[] = {{0.0f, 1.0}, {0.5f, 1.0}, {1.0f, 1.0}, {2.5f, 1.0}, {5.0f, 1e-6},
                                                 {1.0f, 3e4}, {3.0f, 7.5e9}};
    const std::int64_t highest[] = {0, 17, 501, 1'000'000};
    for (const auto& [t, mag] : settings) {
        const ColourConstants c = colourConstantsFor(t, mag);
        for (std::int64_t top : highest) {
            const EscapeCountColours byCount(c, top);
            for (std::int64_t n : {std::int64_t{0}, std::int64_t{1}, std::int64_t{16}, top, top + 1,
                                   EscapeCountColours::kMostCounts - 1, EscapeCountColours::kMostCounts,
                                   std::int64_t{123456789}}) {
                OrbitResult r = escapedAfter(n);
                r.moveSize = 0.01 * static_cast<double>(n % 977);
                r.moveClass = static_cast<MoveClass>(n % 7);
                EXPECT_EQ(fieldsOf(pointColours(r, c, byCount)), fieldsOf(pointColours(r, c))) << t << ' ' << mag << ' ' << n;
            }
            const OrbitResult inside = origin();
            EXPECT_EQ(fieldsOf(pointColours(inside, c, byCount)), fieldsOf(pointColours(inside, c))) << t << ' ' << mag;
        }
    }
}

// --- where the four colours go

TEST(Layout, WritingOrderDiffersForExteriorAndInteriorPoints) {
    // With no room between the quadrants all four land on one pixel, and
    // the last one written stays: upper right for exterior points, lower
    // right for interior ones.
    Surface pic(3, 3);
    pic.setScale(-1, 1, 2, -2);
    colourPoint(pic, 0, 0, 0, 0, PointColours{1, 2, 3, 4, false});
    EXPECT_EQ(pic.point(0, 0), 2);
    colourPoint(pic, 0, 0, 0, 0, PointColours{1, 2, 3, 4, true});
    EXPECT_EQ(pic.point(0, 0), 4);
}

}  // namespace
}  // namespace qel
