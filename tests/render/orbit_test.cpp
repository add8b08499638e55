#include "render/orbit.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "app/drawing.h"

namespace qel {
namespace {

// One pixel per plane unit around 0, so pixel offsets are plane points.
OrbitParams mandelbrot(double maxIter = 500) { return {.maxIter = maxIter, .pixelSize = 1.0}; }

OrbitResult pointOf(const OrbitParams& o, int x, int y) { OrbitRing ring; return computePoint(o, ring, x, y); }

TEST(Orbit, CentreOfTheMandelbrotSetStaysAtZeroWithPeriodOne) {
    OrbitResult r = pointOf(mandelbrot(), 0, 0);
    EXPECT_EQ(std::tuple(r.escaped, r.n, r.period), std::tuple(false, 501, 1));  // decided at m + 1, after m + 2 steps
    EXPECT_EQ(std::tuple(r.r2, r.moveSize, r.moveClass), std::tuple(0.0, 0.0, MoveClass::Vertical));
}

TEST(Orbit, ModulusExactlyTwoDoesNotEscape) {
    // p = 1: 1 -> 2 (r2 = 4, still inside) -> 5 (r2 = 25).
    OrbitResult r = pointOf(mandelbrot(), 1, 0);
    EXPECT_EQ(std::tuple(r.escaped, r.n, r.r2, r.prevZRe, r.zRe), std::tuple(true, 1, 25.0, 2.0, 5.0));
    EXPECT_EQ(std::tuple(r.moveClass, r.moveSize), std::tuple(MoveClass::Right, 3.0));
}

TEST(Orbit, FirstStepEscapeCountsZeroAndMovesFromThePointItself) {
    OrbitResult r = pointOf(mandelbrot(), 3, 0);  // 3 -> 12
    EXPECT_EQ(std::tuple(r.escaped, r.n, r.prevZRe, r.prevZIm), std::tuple(true, 0, 3.0, 0.0));
    EXPECT_EQ(std::tuple(r.zRe, r.dRe, r.r2), std::tuple(12.0, 9.0, 144.0));
}

TEST(Orbit, TwoCyclesOfTheMandelbrotSet) {
    // -1, 0, -1, ...: the last move runs from 0 to -1.
    OrbitResult a = pointOf(mandelbrot(), -1, 0);
    EXPECT_EQ(std::tuple(a.escaped, a.period, a.r2), std::tuple(false, 2, 1.0));
    EXPECT_EQ(std::tuple(a.moveClass, a.moveSize), std::tuple(MoveClass::Left, 1.0));

    // i, -1 + i, -i, -1 + i, ...: the last move runs from (-1, 1) to (0, -1).
    OrbitResult b = pointOf(mandelbrot(), 0, 1);
    EXPECT_EQ(std::tuple(b.escaped, b.period), std::tuple(false, 2));
    EXPECT_EQ(std::tuple(b.prevZRe, b.prevZIm, b.zRe, b.zIm), std::tuple(-1.0, 1.0, 0.0, -1.0));
    EXPECT_EQ(std::tuple(b.moveClass, b.moveSize), std::tuple(MoveClass::RightDown, 3.0));
}

TEST(Orbit, OrbitThatHasNotSettledIsUndetermined) {
    // At 0.25 the orbit creeps up to 0.5 and never repeats within 500 steps.
    OrbitResult r = pointOf({.maxIter = 500, .pixelSize = 0.25}, 1, 0);
    EXPECT_EQ(std::tuple(r.escaped, r.period), std::tuple(false, 16));
}

TEST(Orbit, LimitThatIsNoNumberStopsAtOnce) {
    AppState s;
    s.live.maxIter = std::numeric_limits<double>::quiet_NaN();
    s.pixelSize = 1.0;
    EXPECT_EQ(pointOf(orbitParamsFor(s), 0, 0).n, 1);
}

TEST(OrbitRing, PeriodSearchLooksBackFromTheLastCounterValue) {
    OrbitRing ring;
    // For n = 501 the search compares slots 500, 499, ... mod 16: 4, 3, ...
    ring.re[3] = 7.0;
    EXPECT_EQ(orbitPeriod(ring, 501, 7.0, 0.0), 2);
    ring.re[4] = 7.0;
    EXPECT_EQ(orbitPeriod(ring, 501, 7.0, 0.0), 1);
    // Slot 501 mod 16 = 5 is the point itself and is never compared.
    OrbitRing other;
    other.re.fill(1.0);
    other.re[5] = 7.0;
    EXPECT_EQ(orbitPeriod(other, 501, 7.0, 0.0), 16);
}

TEST(OrbitRing, SmallLimitReflectsTheSearchOntoThePointsOwnSlots) {
    // m = 0: n = 1, so i = 2 reaches |1 - 2| = slot 1, the last point
    // itself: every interior point gets period 1 or 2.
    OrbitResult r = pointOf({.maxIter = 0, .pixelSize = 0.1}, 1, 1);
    EXPECT_EQ(std::tuple(r.escaped, r.period), std::tuple(false, 2));
}

TEST(OrbitRing, SlotsSurviveFromPointToPointUntilReset) {
    // A negative limit stops at n = 0, and the search reads slots 1..15,
    // which the point never writes: they hold the initial 0 or what an
    // earlier point left there.
    OrbitParams stopAtOnce = mandelbrot(-1);
    OrbitRing ring;
    OrbitResult fresh = computePoint(stopAtOnce, ring, -1, 0);  // -1 -> 0
    EXPECT_EQ(fresh.period, 1);                                  // against the initial 0 of slot 1

    // An earlier point with m = 5 fills slots 0..6 with -1+i and -i.
    computePoint(mandelbrot(5), ring, 0, 1);
    OrbitResult after = computePoint(stopAtOnce, ring, -1, 0);
    EXPECT_EQ(after.period, 7);  // slot 7 is the first zero left

    resetRing(ring);
    EXPECT_EQ(computePoint(stopAtOnce, ring, -1, 0).period, 1);
}

}  // namespace
}  // namespace qel
