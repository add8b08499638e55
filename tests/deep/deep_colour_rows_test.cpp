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

TEST_P(DeepColoursAgainstMpfr, EveryColourOfASampledPointIsThatOfTheDirectIteration) {
    const DeepView view = deepViewOf(GetParam());
    const DrawingSetup setup{
        .orbit = {.maxIter = view.maxIter}, .colours = colourConstantsFor(1.0f, 1e300), .halfW = 400, .halfH = 300,
        .xStep = 40};
    const DeepViewFor viewFor = [&](const DrawingSetup&) { return view; };
    DeepColourRows fast(viewFor, 2);
    MpfrColourRows slow(viewFor);
    fast.startDrawing(setup);
    slow.startDrawing(setup);
    RowColours row(static_cast<std::size_t>(setup.pointsPerRow())), standard(row.size());
    int points = 0, same = 0;
    std::string differ;
    for (int y = setup.halfH; y > -setup.halfH; --y) {
        ASSERT_TRUE(fast.awaitRow(setup, y, row, [] { return true; }));
        if (y % 60 != 0) continue;
        slow.computeRow(setup, y, standard);
        for (std::size_t k = 0; k < row.size(); ++k) {
            const PointColours &a = row[k], &b = standard[k];
            const bool equal = a.upperLeft == b.upperLeft && a.upperRight == b.upperRight &&
                               a.lowerLeft == b.lowerLeft && a.lowerRight == b.lowerRight && a.interior == b.interior;
            ++points;
            same += equal;
            if (!equal) differ += " (" + std::to_string(setup.xOf(static_cast<int>(k))) + ", " + std::to_string(y) + ")";
        }
    }
    fast.endDrawing();
    EXPECT_GE(same, 0.995 * points) << differ;
}

// The same in the smooth colouring: the continuous counts of the
// perturbation engine and of the direct iteration lie within a small share
// of one escape count of each other, interior points the same.
TEST_P(DeepColoursAgainstMpfr, SmoothCountsAreThoseOfTheDirectIteration) {
    const DeepView view = deepViewOf(GetParam());
    DrawingSetup setup{
        .orbit = {.maxIter = view.maxIter}, .colours = colourConstantsFor(1.0f, 1e300), .halfW = 400, .halfH = 300,
        .xStep = 40};
    setup.colourings = kSmoothCounts;
    const DeepViewFor viewFor = [&](const DrawingSetup&) { return view; };
    DeepColourRows fast(viewFor, 2);
    MpfrColourRows slow(viewFor);
    fast.startDrawing(setup);
    slow.startDrawing(setup);
    RowColours row(static_cast<std::size_t>(setup.pointsPerRow())), standard(row.size());
    int points = 0, near = 0, exterior = 0;
    std::string differ;
    for (int y = setup.halfH; y > -setup.halfH; --y) {
        ASSERT_TRUE(fast.awaitRow(setup, y, row, [] { return true; }));
        if (y % 60 != 0) continue;
        slow.computeRow(setup, y, standard);
        for (std::size_t k = 0; k < row.size(); ++k) {
            const float a = decodeCount(row[k].upperLeft), b = decodeCount(standard[k].upperLeft);
            const bool agree = row[k].interior == standard[k].interior && (a < 0) == (b < 0) &&
                               (a < 0 || std::abs(a - b) <= 0.001f);
            ++points;
            exterior += !standard[k].interior;
            near += agree;
            if (!agree) differ += " (" + std::to_string(a) + " vs " + std::to_string(b) + ")";
        }
    }
    fast.endDrawing();
    EXPECT_GT(exterior, 0);
    EXPECT_GE(near, 0.995 * points) << differ;
}

INSTANTIATE_TEST_SUITE_P(Deep, DeepColoursAgainstMpfr,
                         ::testing::Values(kDeepViews[0], kDeepViews[3], kDeepViews[4], kDeepViews[5]),
                         [](const auto& info) { return std::string(info.param.id); });

}  // namespace
}  // namespace qel
