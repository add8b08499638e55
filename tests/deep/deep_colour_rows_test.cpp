#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "deep/deep_views.h"
#include "render/deep/deep_colour_rows.h"
#include "render/smooth_colouring.h"

namespace qel {
namespace {

using testing::deepViewOf;
using testing::kDeepViews;

// The deep engine's rows, coloured, against every point iterated in MPFR and
// coloured by the same rules: 20 points on every 60th row of an 800 x 600
// picture, each view's colours derived from its magnification.
class DeepColoursAgainstMpfr : public ::testing::TestWithParam<testing::DeepTestView> {};

// The split view's setup of the whole picture, every 40th column computed.
DrawingSetup sampledSetup(const DeepView& view, int colourings) {
    DrawingSetup setup{
        .orbit = {.maxIter = view.maxIter}, .colours = colourConstantsFor(1.0f, 1e300), .halfW = 400, .halfH = 300,
        .xStep = 40};
    setup.colourings = colourings;
    return setup;
}

// Draws `view` with the perturbation engine, every row in scan order, and
// hands each point of every 60th row to `compare(fast, direct, x, y)` beside
// the same point iterated in MPFR.
template <class Compare>
void compareSampledPoints(const DeepView& view, const DrawingSetup& setup, Compare&& compare) {
    const DeepViewFor viewFor = [&](const DrawingSetup&) { return view; };
    DeepColourRows fast(viewFor, 2);
    MpfrColourRows slow(viewFor);
    fast.startDrawing(setup);
    slow.startDrawing(setup);
    RowColours row(static_cast<std::size_t>(setup.pointsPerRow())), standard(row.size());
    for (int y = setup.halfH; y > -setup.halfH; --y) {
        ASSERT_TRUE(fast.awaitRow(setup, y, row, [] { return true; }));
        if (y % 60 != 0) continue;
        slow.computeRow(setup, y, standard);
        for (std::size_t k = 0; k < row.size(); ++k) compare(row[k], standard[k], setup.xOf(static_cast<int>(k)), y);
    }
    fast.endDrawing();
}

TEST_P(DeepColoursAgainstMpfr, EveryColourOfASampledPointIsThatOfTheDirectIteration) {
    const DeepView view = deepViewOf(GetParam());
    int points = 0, same = 0;
    std::string differ;
    compareSampledPoints(view, sampledSetup(view, kSplitScreen),
                         [&](const PointColours& a, const PointColours& b, int x, int y) {
                             const bool equal = a == b;
                             ++points;
                             same += equal;
                             if (!equal) differ += " (" + std::to_string(x) + ", " + std::to_string(y) + ")";
                         });
    EXPECT_GT(points, 0);
    EXPECT_GE(same, 0.995 * points) << differ;
}

// The same in the smooth colouring: the continuous counts of the
// perturbation engine and of the direct iteration lie within a small share
// of one escape count of each other, interior points the same.
TEST_P(DeepColoursAgainstMpfr, SmoothCountsAreThoseOfTheDirectIteration) {
    const DeepView view = deepViewOf(GetParam());
    int points = 0, near = 0, exterior = 0;
    std::string differ;
    compareSampledPoints(view, sampledSetup(view, kSmoothCounts),
                         [&](const PointColours& fast, const PointColours& direct, int, int) {
                             const float a = decodeCount(fast.upperLeft), b = decodeCount(direct.upperLeft);
                             const bool agree = fast.interior == direct.interior && (a < 0) == (b < 0) &&
                                                (a < 0 || std::abs(a - b) <= 0.001f);
                             ++points;
                             exterior += !direct.interior;
                             near += agree;
                             if (!agree) differ += " (" + std::to_string(a) + " vs " + std::to_string(b) + ")";
                         });
    EXPECT_GT(exterior, 0);
    EXPECT_GE(near, 0.995 * points) << differ;
}

INSTANTIATE_TEST_SUITE_P(Deep, DeepColoursAgainstMpfr,
                         ::testing::Values(kDeepViews[0], kDeepViews[3], kDeepViews[4], kDeepViews[5]),
                         [](const auto& info) { return std::string(info.param.id); });

}  // namespace
}  // namespace qel
