#include <gtest/gtest.h>

#include "deep/deep_views.h"
#include "render/deep/reference.h"

namespace qel {
namespace {

using testing::deepViewOf;
using testing::kDeepGrid;

constexpr std::uint64_t kGigabyte = 1000000000;

// A drawing may take three quarters of the memory available: with 4 GB, a
// Mandelbrot view's one orbit of 10^8 values fits and a Julia view's two do
// not; the limit named as the largest that fits does, one more does not.
TEST(DeepMemory, ADrawingFitsWhileItsReferenceOrbitsTakeThreeQuartersOfTheMemoryAtMost) {
    EXPECT_TRUE(deepDrawingFits(1e8, false, 4 * kGigabyte));
    EXPECT_FALSE(deepDrawingFits(1e8, true, 4 * kGigabyte));
    EXPECT_FALSE(deepDrawingFits(1e8, false, 3 * kGigabyte));
    for (const bool julia : {false, true})
        for (const std::uint64_t available : {kGigabyte / 8, 4 * kGigabyte, 64 * kGigabyte}) {
            const double most = mostIterationsFitting(julia, available);
            EXPECT_TRUE(deepDrawingFits(most, julia, available)) << available;
            EXPECT_FALSE(deepDrawingFits(most + 1, julia, available)) << available;
            EXPECT_LE(deepDrawingBytesAtMost(most, julia), available / 4 * 3);
        }
    EXPECT_FALSE(deepDrawingFits(1e300, false, 64 * kGigabyte));
}

// What a reference orbit with its skip tables really takes stays within
// what the rule counts for it: here at the root of the period-3 component,
// whose orbit of 0 neither escapes nor comes back, so every value is kept.
TEST(DeepMemory, AReferenceThatNeverEndsTakesNoMoreThanTheRuleCounts) {
    const DeepView root = qel::deepViewOf(false, {"-1.75", "0", "0", "0"}, ExtFloat::of(1e-22), 1000000);
    const auto ref = buildReference(root, kDeepGrid, true);
    ASSERT_EQ(ref->critical.size(), ref->stopCount + 3);
    EXPECT_LE(ref->bytes(), deepDrawingBytesAtMost(root.maxIter, false));
}

// Beyond the limit that fits, a drawing fits all the same where its
// reference orbits end early: at a nucleus (the orbit of 0 comes back) and
// where the centre escapes; not at a component's root.
TEST(DeepMemory, ReferencesThatEscapeOrComeBackFitAtAnyLimit) {
    const auto endsEarly = [](const testing::DeepTestView& v) {
        DeepView view = deepViewOf(v);
        view.maxIter = 1e15;
        return referencesEndEarly(view, kGigabyte);
    };
    EXPECT_TRUE(endsEarly(testing::kMinibrotViews[0]));  // the nucleus of period 3
    EXPECT_TRUE(endsEarly(testing::kDeepViews[0]));      // the spiral, whose centre escapes
    EXPECT_TRUE(endsEarly(testing::kDeepViews[4]));      // the rabbit's Julia set
    EXPECT_FALSE(endsEarly({"", "", false, "-1.75", "0", "0", "0", "1E20", 0}));
}

}  // namespace
}  // namespace qel
