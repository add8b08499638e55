#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "deep/deep_views.h"
#include "render/deep/deep_rows.h"
#include "render/deep/mpfr_point.h"

namespace qel {
namespace {

using testing::deepViewOf;
using testing::kDeepGrid;
using testing::kDeepViews;

// 12 x 9 points spread over the whole picture, corners included.
template <class F>
void forSampledPoints(F&& f) {
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j < 9; ++j) f(-kDeepGrid.halfW + (2 * kDeepGrid.halfW - 1) * i / 11,
                                        kDeepGrid.halfH - (2 * kDeepGrid.halfH - 1) * j / 8);
}

struct Comparison {
    int points = 0, sameCount = 0, decisionsDiffer = 0, periodsDiffer = 0;
    std::set<std::int64_t> exteriorCounts;
    std::string mismatches;
};

// Each way of skipping steps against one direct iteration of every sampled point.
std::vector<Comparison> compareWithMpfr(const DeepView& view, const DeepReference& ref,
                                        const std::vector<DeepSkipping>& ways) {
    std::vector<Comparison> comparisons(ways.size());
    forSampledPoints([&](int x, int y) {
        const OrbitResult slow = mpfrPoint(view, x, y, ref.precisionBits);
        for (std::size_t w = 0; w < ways.size(); ++w) {
            Comparison& c = comparisons[w];
            OrbitResult deep;
            ASSERT_TRUE(deepPoint(ref, x, y, ways[w], deep));
            ++c.points;
            if (slow.escaped) c.exteriorCounts.insert(slow.n);
            c.decisionsDiffer += deep.escaped != slow.escaped;
            c.periodsDiffer += !slow.escaped && deep.period != slow.period;
            if (deep.escaped == slow.escaped && deep.n == slow.n)
                ++c.sameCount;
            else
                c.mismatches += " (" + std::to_string(x) + ", " + std::to_string(y) + "): " + std::to_string(deep.n) +
                                " instead of " + std::to_string(slow.n) + ";";
        }
    });
    return comparisons;
}

class DeepViewAgainstMpfr : public ::testing::TestWithParam<testing::DeepTestView> {};

// With the linear blocks, and without them: then every step beyond a
// double's range is taken one at a time in the extended range.
TEST_P(DeepViewAgainstMpfr, EscapeCountsAndInteriorAgreeWithDirectIterationInMpfr) {
    const DeepView view = deepViewOf(GetParam());
    const auto ref = buildReference(view, kDeepGrid, true);
    for (const Comparison& c : compareWithMpfr(view, *ref, {DeepSkipping{}, DeepSkipping{false, true}})) {
        EXPECT_EQ(c.decisionsDiffer, 0) << c.mismatches;
        EXPECT_EQ(c.periodsDiffer, 0);
        EXPECT_GE(c.sameCount, 0.995 * c.points) << c.mismatches;
        // Each view shows structure: many different escape counts.
        EXPECT_GE(c.exteriorCounts.size(), 10u);
    }
}

INSTANTIATE_TEST_SUITE_P(Deep, DeepViewAgainstMpfr, ::testing::ValuesIn(kDeepViews),
                         [](const auto& info) { return std::string(info.param.id); });

const testing::DeepTestView& viewNamed(const std::string& name) {
    return *std::find_if(std::begin(kDeepViews), std::end(kDeepViews), [&](const auto& v) { return v.name == name; });
}

// Linear blocks change a count at most where the plain steps' own rounding
// could (leaving out rounds changes no bit: deep_interior_test).
TEST(DeepEngine, LinearBlocksKeepTheEscapeCountsOfTheStepByStepOrbit) {
    const DeepView view = deepViewOf(viewNamed("minibrot at 1E100"));
    const auto ref = buildReference(view, kDeepGrid, true);
    int same = 0, points = 0;
    forSampledPoints([&](int x, int y) {
        OrbitResult every, both;
        deepPoint(*ref, x, y, DeepSkipping{false, false}, every);
        deepPoint(*ref, x, y, DeepSkipping{true, true}, both);
        EXPECT_EQ(both.escaped, every.escaped);
        same += both.n == every.n;
        ++points;
    });
    EXPECT_GE(same, 0.995 * points);
}

TEST(DeepRowEngine, RowsComeInScanOrderAsEachPointComputesAlone) {
    const DeepView view = deepViewOf(viewNamed("minibrot at 1E50"));
    const DeepGrid grid{40, 6, 3};
    DeepRowEngine engine(2);
    engine.startDrawing(view, grid);
    const auto ref = buildReference(view, grid, true);
    std::vector<OrbitResult> row;
    for (int r = 0; r < grid.rows(); ++r) {
        ASSERT_TRUE(engine.awaitRow(r, row, [] { return true; }));
        ASSERT_EQ(row.size(), static_cast<std::size_t>(grid.pointsPerRow()));
        for (int k = 0; k < grid.pointsPerRow(); ++k) {
            OrbitResult alone;
            deepPoint(*ref, grid.xOf(k), grid.yOfRow(r), DeepSkipping{}, alone);
            EXPECT_EQ(row[static_cast<std::size_t>(k)].n, alone.n);
            EXPECT_EQ(row[static_cast<std::size_t>(k)].zRe, alone.zRe);
        }
    }
    EXPECT_FALSE(engine.awaitRow(grid.rows(), row, [] { return true; }));
}

// Interior points at m = 10^12, every step iterated: only a stop ends the
// drawing, and it has to reach rows that are being computed.
TEST(DeepRowEngine, AStopEndsRowsThatWouldRunForHours) {
    DeepView view = deepViewOf(viewNamed("minibrot off the centre at 1E50"));
    view.maxIter = 1e12;
    const DeepGrid grid{200, 150, 20};
    DeepRowEngine engine(2);
    engine.startDrawing(view, grid, DeepSkipping{false, false});
    std::vector<OrbitResult> row;
    int asked = 0, r = 0;
    while (engine.awaitRow(r, row, [&] { return ++asked < 3; })) ++r;
    EXPECT_EQ(asked, 3);
    EXPECT_LT(r, grid.rows());
    EXPECT_FALSE(engine.awaitRow(r, row, [] { return true; }));
}

}  // namespace
}  // namespace qel
