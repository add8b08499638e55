#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "deep/deep_views.h"
#include "render/deep/mpfr_point.h"
#include "render/deep/perturbation.h"

namespace qel {
namespace {

using testing::deepViewOf;
using testing::kDeepGrid;
using testing::kDeepViews;
using testing::kMinibrotViews;

// cols x rows points spread over the whole picture, corners included.
template <class F>
void forSpreadPoints(int cols, int rows, F&& f) {
    for (int i = 0; i < cols; ++i)
        for (int j = 0; j < rows; ++j)
            f(-kDeepGrid.halfW + (2 * kDeepGrid.halfW - 1) * i / (cols - 1),
              kDeepGrid.halfH - (2 * kDeepGrid.halfH - 1) * j / (rows - 1));
}

// Everything of a result the colourings read.
auto everyBitOf(const OrbitResult& r) {
    return std::tie(r.escaped, r.n, r.zRe, r.zIm, r.prevZRe, r.prevZIm, r.r2, r.period);
}

std::vector<testing::DeepTestView> allViews() {
    std::vector<testing::DeepTestView> views(std::begin(kDeepViews), std::end(kDeepViews));
    views.insert(views.end(), std::begin(kMinibrotViews), std::end(kMinibrotViews));
    return views;
}

class EveryDeepView : public ::testing::TestWithParam<testing::DeepTestView> {};

// Leaving out the rounds of a state that came back changes no bit of any
// result, with linear blocks and without.
TEST_P(EveryDeepView, RoundsLeftOutKeepEveryBitOfTheStepByStepResult) {
    const DeepView view = deepViewOf(GetParam());
    const auto ref = buildReference(view, kDeepGrid, true);
    forSpreadPoints(12, 9, [&](int x, int y) {
        OrbitResult every, roundsOnly, blocksOnly, both;
        deepPoint(*ref, x, y, DeepSkipping{false, false}, every);
        deepPoint(*ref, x, y, DeepSkipping{false, true}, roundsOnly);
        deepPoint(*ref, x, y, DeepSkipping{true, false}, blocksOnly);
        deepPoint(*ref, x, y, DeepSkipping{true, true}, both);
        EXPECT_EQ(everyBitOf(roundsOnly), everyBitOf(every)) << "(" << x << ", " << y << ")";
        EXPECT_EQ(everyBitOf(both), everyBitOf(blocksOnly)) << "(" << x << ", " << y << ")";
    });
}

INSTANTIATE_TEST_SUITE_P(Deep, EveryDeepView, ::testing::ValuesIn(allViews()),
                         [](const auto& info) { return std::string(info.param.id); });

class MinibrotView : public ::testing::TestWithParam<testing::DeepTestView> {};

// Every interior/exterior decision and every period as the direct iteration
// in MPFR finds them, escape counts as the other views have them.
TEST_P(MinibrotView, DecisionsAndPeriodsAgreeWithDirectIterationInMpfr) {
    const DeepView view = deepViewOf(GetParam());
    const auto ref = buildReference(view, kDeepGrid, true);
    int points = 0, sameCount = 0, interior = 0;
    std::string mismatches;
    forSpreadPoints(6, 5, [&](int x, int y) {
        const OrbitResult slow = mpfrPoint(view, x, y, ref->precisionBits);
        OrbitResult deep;
        deepPoint(*ref, x, y, DeepSkipping{}, deep);
        const std::string at = " (" + std::to_string(x) + ", " + std::to_string(y) + ")";
        EXPECT_EQ(deep.escaped, slow.escaped) << at;
        if (!slow.escaped) {
            ++interior;
            EXPECT_EQ(deep.period, slow.period) << at;
        }
        ++points;
        if (deep.escaped == slow.escaped && deep.n == slow.n)
            ++sameCount;
        else
            mismatches += at + ": " + std::to_string(deep.n) + " instead of " + std::to_string(slow.n);
    });
    EXPECT_GE(sameCount, 0.995 * points) << mismatches;
    EXPECT_GE(interior, 5);
}

// Interior points are caught within a few rounds of their cycle, not
// iterated to the limit.
TEST_P(MinibrotView, InteriorPointsStopWithinAFewRoundsOfTheirCycle) {
    const DeepView view = deepViewOf(GetParam());
    const auto ref = buildReference(view, kDeepGrid, true);
    std::int64_t counts = 0, work = 0;
    forSpreadPoints(12, 9, [&](int x, int y) {
        OrbitResult r;
        DeepPointStats stats;
        deepPoint(*ref, x, y, DeepSkipping{}, r, nullptr, &stats);
        if (r.escaped) return;
        counts += r.n;
        work += stats.steps + stats.blocks;
    });
    EXPECT_GT(counts, 0);
    EXPECT_LT(work, counts / 10);
}

INSTANTIATE_TEST_SUITE_P(Deep, MinibrotView, ::testing::ValuesIn(kMinibrotViews),
                         [](const auto& info) { return std::string(info.param.id); });

const testing::DeepTestView& minibrotViewNamed(const std::string& name) {
    return *std::find_if(std::begin(kMinibrotViews), std::end(kMinibrotViews),
                         [&](const auto& v) { return v.name == name; });
}

// The orbit of 0 at a nucleus comes back to 0's first value exactly, at full
// precision: one round of the cycle is kept, and the values the loop gives
// are those of the orbit iterated on and on in MPFR. An orbit that never
// comes back keeps every value a point may reach.
TEST(ReferenceOrbit, AReferenceAtANucleusKeepsOneRoundOfItsCycle) {
    for (const auto& [name, period] : {std::pair{"nucleus of period 3 at 1E20", 3},
                                       std::pair{"nucleus of period 5 at 1E100", 5}}) {
        const DeepView view = deepViewOf(minibrotViewNamed(name));
        const auto ref = buildReference(view, kDeepGrid, true);
        const ReferenceOrbit& orbit = ref->critical;
        EXPECT_EQ(orbit.loopLength(), period) << name;
        EXPECT_LE(orbit.size(), 8 * period) << name;
        BigReal zRe(ref->precisionBits), zIm(ref->precisionBits), sq(ref->precisionBits), t(ref->precisionBits);
        const BigReal cRe = view.centreRe.withPrecision(ref->precisionBits);
        const BigReal cIm = view.centreIm.withPrecision(ref->precisionBits);
        std::int64_t k = 0;
        for (int i = 0; i < 20 * period; ++i) {
            EXPECT_EQ(orbit.values()[k].re, zRe.toDouble()) << name << ", value " << i;
            EXPECT_EQ(orbit.values()[k].im, zIm.toDouble()) << name << ", value " << i;
            squarePlus(zRe, zIm, cRe, cIm, sq, t);
            if (++k == orbit.size()) k -= orbit.loopLength();
        }
    }
    // The root of the period-3 component: the orbit of 0 creeps towards
    // its cycle (by about 1/n) and never reaches it.
    const DeepView root = qel::deepViewOf(false, {"-1.75", "0", "0", "0"}, ExtFloat::of(1e-22), 3000);
    const auto ref = buildReference(root, kDeepGrid, true);
    EXPECT_EQ(ref->critical.loopLength(), 0);
    EXPECT_EQ(ref->critical.size(), ref->stopCount + 3);
}

}  // namespace
}  // namespace qel
