// The fast kernel against the literal iteration, point by point, every field
// bit for bit.
#include "render/engine_kernel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace qel {
namespace {

std::uint64_t bits(double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

// Every field, the doubles bit for bit; the period of interior points only.
auto fieldsOf(const OrbitResult& r) {
    return std::tuple(r.escaped, r.n, bits(r.r2), bits(r.zRe), bits(r.zIm), bits(r.prevZRe), bits(r.prevZIm),
                      bits(r.moveSize), static_cast<int>(r.moveClass), r.escaped ? 0 : r.period);
}

OrbitParams view(double cx, double cy, double pixelSize, double maxIter, bool julia = false,
                 double cRe = 0, double cIm = 0) {
    return {.julia = julia, .cRe = cRe, .cIm = cIm, .maxIter = maxIter, .centerX = cx, .centerY = cy,
            .pixelSize = pixelSize};
}

std::vector<InstructionSet> runnableSets() {
    InstructionSet isa[4];
    int n = runnableInstructionSets(isa, 4);
    return {isa, isa + n};
}

// The points of `rows` rows from `first` down through the reference, in the
// one ring a drawing keeps for its whole scan, and through the kernel with
// every instruction set this processor runs: row by row, or all rows in one
// call when `together`.
void expectKernelMatches(const OrbitParams& o, OrbitRing& ring, const RowPoints& first, int rows = 1,
                         bool together = false) {
    std::vector<OrbitResult> want;
    for (int i = 0; i < rows; ++i)
        for (int k = 0; k < first.count; ++k) want.push_back(computePoint(o, ring, first.xFirst + k * first.xStep, first.y - i));
    for (InstructionSet isa : runnableSets()) {
        std::vector<OrbitResult> got(want.size());
        if (together) {
            ASSERT_TRUE(computeRowsExact(o, first, rows, got.data(), isa));
        } else {
            for (int i = 0; i < rows; ++i) {
                const RowPoints row{first.y - i, first.xFirst, first.xStep, first.count};
                ASSERT_TRUE(computeRowExact(o, row, got.data() + static_cast<std::size_t>(i * first.count), isa));
            }
        }
        for (std::size_t p = 0; p < want.size(); ++p)
            ASSERT_EQ(fieldsOf(want[p]), fieldsOf(got[p]))
                << instructionSetName(isa) << " m=" << o.maxIter << " y=" << first.y << " count=" << first.count
                << " step=" << first.xStep << " point " << p;
    }
}

// Every `rowStep`-th row of a view of 2 halfW x 2 halfH points.
void expectRowsMatchReference(const OrbitParams& o, int halfW, int halfH, int rowStep, int xStep = 1) {
    OrbitRing ring;
    resetRing(ring);
    for (int y = halfH; y > -halfH; y -= rowStep)
        expectKernelMatches(o, ring, RowPoints{y, -halfW, xStep, (2 * halfW + xStep - 1) / xStep});
}

TEST(InteriorStopCount, IsTheFirstCounterAboveTheLimit) {
    for (double m : {-7.0, -0.5, -0.0, 0.0, 0.25, 1.0, 13.0, 13.5, 15.0, 500.0}) {
        std::int64_t n = 0;
        while (!(static_cast<double>(n) > m)) ++n;
        EXPECT_EQ(interiorStopCount(m), n) << m;
    }
    EXPECT_EQ(interiorStopCount(1e9), 1000000001);
}

TEST(ComputeRowExact, MatchesTheReferenceForEveryLimitAroundTheRingSize) {
    for (double m : {0.0, 1.0, 13.0, 14.0, 15.0, 16.0, 17.0, 31.0, 63.0, 64.0, 65.0, 130.5, 500.0})
        expectRowsMatchReference(view(-0.5, 0.0, 0.01, m), 200, 150, 7);
}

TEST(ComputeRowExact, MatchesTheReferenceWhereTheShortLoopHandsOverToTheLongOne) {
    // The short loop runs at most 64 steps and the tail takes the last 16:
    // limits whose tail starts just before, at and after the hand-over (and
    // around where it was, at 128 steps).
    for (double m : {62.0, 63.0, 64.0, 77.0, 78.0, 79.0, 80.0, 126.0, 127.0, 128.0, 142.0, 143.0, 144.0, 145.0})
        expectRowsMatchReference(view(-0.75, 0.05, 0.003, m), 120, 40, 9);
}

TEST(ComputeRowExact, RowsOfEveryLengthAndStep) {
    // Groups of lanes are cut off at the row's end; lone points, rows one
    // short of a group and one past it, and the coarse preview's step.
    const OrbitParams o = view(-0.6, 0.3, 0.004, 700);
    OrbitRing ring;
    resetRing(ring);
    for (int count : {1, 2, 5, 15, 16, 17, 31, 32, 33, 47, 63, 64, 65, 100})
        for (int xStep : {1, 10}) expectKernelMatches(o, ring, RowPoints{7, -count / 2 * xStep, xStep, count});
}

TEST(ComputeRowExact, MatchesTheReferenceOnTheBoundaryAndInJuliaSets) {
    expectRowsMatchReference(view(-0.7435669, 0.1314023, 2.0 / 20000 / 400, 10000), 400, 300, 41);
    expectRowsMatchReference(view(0, 0, 0.005, 2000, true, -0.8, 0.156), 400, 300, 29);
    expectRowsMatchReference(view(0, 0, 0.01, 500, true, -0.123, 0.745), 200, 150, 13, 10);
}

TEST(ComputeRowExact, SkipsCyclesWithoutChangingAnyField) {
    // Deep inside the cardioid every orbit settles on an exact cycle long
    // before the limit; only the last period and sixteen steps are iterated.
    expectRowsMatchReference(view(-0.2, 0.0, 0.2 / 400, 100000), 40, 30, 9);
    // Period-3 bulb and the period-2 disc, with a limit that is no multiple
    // of any period.
    expectRowsMatchReference(view(-0.1225, 0.7449, 0.0004, 54321), 30, 20, 7);
    expectRowsMatchReference(view(-1.0, 0.0, 0.004, 77777), 30, 20, 7);
}

// Several rows at once: the long loop runs on from one row into the next,
// with lanes of both rows in flight, and every point still gets its own
// result in its own place.
TEST(ComputeRowsExact, RowsTakenTogetherGiveEachPointItsOwnResult) {
    struct Case {
        OrbitParams o;
        int rows, count, xStep;
    };
    const Case cases[] = {
        {view(-0.5, 0.0, 0.01, 500), 7, 200, 1},             // cardioid and bulbs: many long orbits per row
        {view(-0.2, 0.0, 0.0005, 100000), 3, 80, 1},         // every point inside, cycles skipped
        {view(-0.75, 0.1, 0.003, 1000), 5, 33, 1},           // rows one past a group
        {view(0, 0, 0.005, 2000, true, -0.8, 0.156), 4, 150, 3},
        {view(-0.6, 0.3, 0.004, 10), 3, 50, 1},              // below the tail's sixteen steps
        {view(-0.5, 0.0, 0.01, 500), 1, 0, 1},               // empty rows
    };
    for (const Case& c : cases) {
        OrbitRing ring;
        resetRing(ring);
        expectKernelMatches(c.o, ring, RowPoints{20, -c.count / 2 * c.xStep, c.xStep, c.count}, c.rows, true);
    }
}

TEST(ComputeRowExact, ACancelledRowReportsIt) {
    std::atomic<bool> cancel{true};
    std::vector<OrbitResult> out(100);
    for (InstructionSet isa : runnableSets())
        EXPECT_FALSE(computeRowExact(view(-1.9, 0, 1e-9, 1e15), RowPoints{0, 0, 1, 100}, out.data(), isa, &cancel));
    out.resize(300);
    for (InstructionSet isa : runnableSets())
        EXPECT_FALSE(computeRowsExact(view(-1.9, 0, 1e-9, 1e15), RowPoints{1, 0, 1, 100}, 3, out.data(), isa, &cancel));
}

}  // namespace
}  // namespace qel
