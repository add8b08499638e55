// The smooth colouring: the continuous count of every engine's orbits,
// continuous where the escape count steps, its view's range and the
// palette it is mapped onto.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "render/engine_rows.h"
#include "render/row_engine.h"
#include "render/smooth_colouring.h"

namespace qel {
namespace {

OrbitResult orbitAt(double re, double im, double maxIter, bool julia = false, double cRe = 0, double cIm = 0) {
    OrbitParams params{.julia = julia, .cRe = cRe, .cIm = cIm, .maxIter = maxIter, .centerX = re, .centerY = im,
                       .pixelSize = 1};
    OrbitRing ring;
    return computePoint(params, ring, 0, 0);
}

// Along a line of closely spaced points the escape count steps by one many
// times; the continuous count must not step with it.
struct Line {
    const char* what;
    double re0, im0, re1, im1;
    bool julia = false;
    double cRe = 0, cIm = 0;
};

TEST(ContinuousCount, NeighboursAcrossAStepOfTheEscapeCountHaveNearCounts) {
    const Line lines[] = {
        {"toward the main cardioid", 0.5, 0.0, 0.3, 0.0},
        {"toward the cusp from the right", 1.2, 0.1, 0.3, 0.01},
        {"diagonal from afar", 2.0, 2.0, 0.4, 0.4},
        {"Julia set of -0.8 + 0.156i", 1.6, 0.3, 1.1, 0.15, true, -0.8, 0.156},
    };
    constexpr int kPoints = 20000;
    for (const Line& line : lines) {
        int steps = 0;
        double worst = 0;
        OrbitResult before = orbitAt(line.re0, line.im0, 1000, line.julia, line.cRe, line.cIm);
        for (int i = 1; i <= kPoints; ++i) {
            const double t = static_cast<double>(i) / kPoints;
            const OrbitResult r = orbitAt(line.re0 + (line.re1 - line.re0) * t, line.im0 + (line.im1 - line.im0) * t,
                                          1000, line.julia, line.cRe, line.cIm);
            if (!r.escaped || !before.escaped) break;
            const float a = continuousCount(before), b = continuousCount(r);
            // Each count lies near its point's escape count (no nearer than
            // c is small beside the escape radius).
            ASSERT_LE(std::abs(b - static_cast<float>(r.n)), 3.0f) << line.what << " at " << i;
            if (std::abs(r.n - before.n) == 1) {
                ++steps;
                worst = std::max(worst, static_cast<double>(std::abs(a - b)));
            }
            before = r;
        }
        EXPECT_GE(steps, 4) << line.what;
        // Points 1/20000 of the line apart: a count stepping by a whole one
        // (or by a fraction's jump at the escape radius) would show here.
        EXPECT_LT(worst, 0.05) << line.what;
    }
}

TEST(ContinuousCount, InteriorPointsAndEncodings) {
    const OrbitResult inside = orbitAt(-0.1, 0.1, 500);
    ASSERT_FALSE(inside.escaped);
    EXPECT_LT(continuousCount(inside), 0);
    const PointColours pc = smoothPointColours(inside);
    EXPECT_TRUE(pc.interior);
    EXPECT_LT(decodeCount(pc.upperLeft), 0);
    EXPECT_LT(decodeCount(interiorCount()), 0);

    const OrbitResult outside = orbitAt(0.3, 0.6, 500);
    ASSERT_TRUE(outside.escaped);
    const PointColours po = smoothPointColours(outside);
    EXPECT_FALSE(po.interior);
    EXPECT_EQ(decodeCount(po.upperLeft), continuousCount(outside));
    EXPECT_EQ(po.upperRight | po.lowerLeft | po.lowerRight, 0);
    for (const float count : {0.0f, 1.5f, 123456.75f, 3.0e7f}) EXPECT_EQ(decodeCount(encodeCount(count)), count);
}

std::vector<Colour> encoded(const std::vector<double>& counts) {
    std::vector<Colour> e;
    for (const double c : counts) e.push_back(encodeCount(static_cast<float>(c)));
    return e;
}

TEST(SmoothRange, PercentilesOfTheExteriorAndAValidRangeWithout) {
    // 1000 counts from 100 to 200, a few far out and interior points.
    std::vector<double> counts;
    for (int i = 0; i < 1000; ++i) counts.push_back(100 + i / 10.0);
    std::vector<Colour> sample = encoded(counts);
    for (int i = 0; i < 5; ++i) sample.push_back(encodeCount(1e6f));
    for (int i = 0; i < 300; ++i) sample.push_back(interiorCount());
    const SmoothRange r = smoothRangeOf(sample.data(), sample.size());
    EXPECT_NEAR(r.lo, std::log(101.0 + 1), 0.02);
    EXPECT_NEAR(r.hi, std::log(199.0 + 1), 0.02);

    const std::vector<Colour> inside(50, interiorCount());
    const SmoothRange none = smoothRangeOf(inside.data(), inside.size());
    EXPECT_LT(none.lo, none.hi);
    const SmoothRange empty = smoothRangeOf(nullptr, 0);
    EXPECT_LT(empty.lo, empty.hi);
    // Every point at one count: a range one escape count wide from it.
    const std::vector<Colour> one = encoded(std::vector<double>(20, 1e6));
    const SmoothRange single = smoothRangeOf(one.data(), one.size());
    EXPECT_NEAR(single.lo, std::log(1e6 + 1), 1e-9);
    EXPECT_NEAR(single.hi, std::log(1e6 + 2), 1e-9);
}

int distinctColours(const SmoothMap& map, double from, double to, int points) {
    std::set<Colour> seen;
    for (int i = 0; i < points; ++i) seen.insert(map.colour(encodeCount(static_cast<float>(from + (to - from) * i / points))));
    return static_cast<int>(seen.size());
}

TEST(SmoothMap, NoSaturationAtHighCountsWithinAViewsRange) {
    const SmoothPalette& palette = SmoothPalette::builtIn();
    // A deep view whose counts run from a million to a million and two
    // thousand: the colours vary across it as they do across a shallow view.
    std::vector<double> deep;
    for (int i = 0; i < 2000; ++i) deep.push_back(1e6 + i);
    const std::vector<Colour> deepSample = encoded(deep);
    const SmoothMap deepMap(palette, smoothRangeOf(deepSample.data(), deepSample.size()));
    EXPECT_GT(distinctColours(deepMap, 1e6, 1.002e6, 1000), 300);
    std::vector<double> shallow;
    for (int i = 0; i < 2000; ++i) shallow.push_back(10 + i / 10.0);
    const std::vector<Colour> shallowSample = encoded(shallow);
    const SmoothMap shallowMap(palette, smoothRangeOf(shallowSample.data(), shallowSample.size()));
    EXPECT_GT(distinctColours(shallowMap, 10, 210, 1000), 300);

    // A view spanning 10^5 to 10^6: counts of either end, and near counts
    // at the top, stay apart.
    const std::vector<Colour> wide = encoded({1e5, 2e5, 5e5, 1e6});
    const SmoothMap wideMap(palette, smoothRangeOf(wide.data(), wide.size()));
    EXPECT_NE(wideMap.colour(encodeCount(1e5f)), wideMap.colour(encodeCount(1e6f)));
    EXPECT_NE(wideMap.colour(encodeCount(9.9e5f)), wideMap.colour(encodeCount(1e6f)));
    EXPECT_GT(distinctColours(wideMap, 1e5, 1e6, 1000), 300);
}

TEST(SmoothMap, StopsCyclesAndTheInteriorColour) {
    SmoothPalette palette;
    palette.stops = {rgb(255, 0, 0), rgb(0, 0, 255)};
    palette.interior = rgb(0, 200, 0);
    const SmoothRange range{std::log(100.0), std::log(1000.0)};
    const SmoothMap map(palette, range);
    const auto at = [&](double logCount) { return map.colour(encodeCount(static_cast<float>(std::exp(logCount) - 1))); };
    const double cycle = (range.hi - range.lo) / kSmoothCycles;
    // The first stop at lo, the second half a cycle on, the first again a
    // cycle on (and a cycle before lo).
    const Colour red = at(range.lo + 1e-6);
    EXPECT_GT(redOf(red), 250);
    EXPECT_LT(blueOf(red), 5);
    const Colour blue = at(range.lo + cycle / 2 + 1e-6);
    EXPECT_LT(redOf(blue), 5);
    EXPECT_GT(blueOf(blue), 250);
    EXPECT_EQ(at(range.lo + cycle + 1e-6), red);
    EXPECT_EQ(at(range.lo - cycle + 1e-6), red);
    // Between the stops a blend of both.
    const Colour between = at(range.lo + cycle / 4);
    EXPECT_NEAR(redOf(between), 128, 3);
    EXPECT_NEAR(blueOf(between), 128, 3);
    EXPECT_EQ(map.colour(interiorCount()), palette.interior);
    EXPECT_EQ(SmoothPalette::builtIn().interior, 0);
    EXPECT_GE(SmoothPalette::builtIn().stops.size(), 2u);
}

// The reference engine and the fast engine compute the same orbits: their
// encoded counts are the same, bit for bit.
TEST(SmoothEngines, ReferenceAndFastEnginesGiveTheSameCounts) {
    FastRowEngine fast(2);
    ReferenceRowEngine reference;
    for (const bool julia : {false, true}) {
        DrawingSetup setup;
        setup.orbit = {.julia = julia, .cRe = -0.8, .cIm = 0.156, .maxIter = 800, .centerX = julia ? 0.0 : -0.745,
                       .centerY = julia ? 0.0 : 0.1, .pixelSize = julia ? 0.008 : 0.0002};
        setup.colours = colourConstantsFor(1.0f, 1.0);
        setup.halfW = 60;
        setup.halfH = 40;
        setup.colourings = kSmoothCounts;
        RowColours a(static_cast<std::size_t>(setup.pointsPerRow())), b(a.size());
        reference.startDrawing(setup);
        fast.startDrawing(setup);
        int exterior = 0, interior = 0;
        for (int y = setup.halfH; y > -setup.halfH; --y) {
            reference.computeRow(setup, y, a);
            ASSERT_TRUE(fast.awaitRow(setup, y, b, [] { return true; }));
            for (std::size_t k = 0; k < a.size(); ++k) {
                ASSERT_EQ(a[k], b[k]) << "julia " << julia << " at " << setup.xOf(static_cast<int>(k)) << ", " << y;
                (a[k].interior ? interior : exterior) += 1;
            }
        }
        fast.endDrawing();
        EXPECT_GT(exterior, 100);
        EXPECT_GT(interior, 10);
    }
}

}  // namespace
}  // namespace qel
