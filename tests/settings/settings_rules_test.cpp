// The dialog's rules on plain values: the arithmetic between zoom and
// magnifications at the edges of a double, presets and the radius a zoom
// leads to.
#include "settings/settings_rules.h"

#include <gtest/gtest.h>

#include <limits>

namespace qel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(SettingsRules, ZoomFromMagnificationsIsAlwaysAFinitePositiveNumberOrNothing) {
    EXPECT_EQ(shownMagnificationOf(0), 1.0);
    EXPECT_EQ(shownMagnificationOf(kNaN), 1.0);
    EXPECT_EQ(zoomForMagnification(32, 4), 8.0);
    EXPECT_FALSE(zoomForMagnification(1e308, 1e-10));  // beyond a double
    EXPECT_FALSE(zoomForMagnification(1e-300, 1e300));  // rounds to 0
    EXPECT_FALSE(acceptsNewMagnification(1e308, 1e-10));
    EXPECT_TRUE(acceptsNewMagnification(0.1, 1));
    EXPECT_FALSE(acceptsNewMagnification(kNaN, 1));
    EXPECT_FALSE(acceptsZoom(kNaN));
}

TEST(SettingsRules, APresetFollowsOnlyItsExactValue) {
    const std::array<double, 4> zooms{1, 4, 8, 16};
    EXPECT_EQ(presetFor(zooms, 8), 2);
    EXPECT_FALSE(presetFor(zooms, 8.000001));
}

TEST(SettingsRules, AZoomThatLeavesTheRangeOfADoubleIsNotDrawn) {
    EXPECT_EQ(radiusAfterZoom(2, 8, 2).outcome, ZoomOutcome::draw);
    EXPECT_EQ(radiusAfterZoom(2, 8, 2).radius, 0.25);
    EXPECT_EQ(radiusAfterZoom(2, 1e-320, 2).outcome, ZoomOutcome::tooSmall);
    EXPECT_EQ(radiusAfterZoom(1e-300, 1e300, 2).outcome, ZoomOutcome::beep);  // radius 0
    EXPECT_EQ(radiusAfterZoom(1e-300, 1e10, 2).outcome, ZoomOutcome::beep);   // magnification beyond a double
    EXPECT_EQ(radiusAfterZoom(1e-300, 1e10, 2).radius, 1e-300);
}

}  // namespace
}  // namespace qel
