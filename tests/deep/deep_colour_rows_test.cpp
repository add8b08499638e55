#include <gtest/gtest.h>

#include <string>

#include "deep/deep_views.h"
#include "render/deep/deep_colour_rows.h"

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

INSTANTIATE_TEST_SUITE_P(Deep, DeepColoursAgainstMpfr,
                         ::testing::Values(kDeepViews[0], kDeepViews[3], kDeepViews[4], kDeepViews[5]),
                         [](const auto& info) { return std::string(info.param.id); });

}  // namespace
}  // namespace qel
