// The settings dialog's rules, without a widget: which typed values its
// fields take, the arithmetic between the zoom factor and the magnifications,
// the presets that follow a typed value, the radius a zoom leads to, and the
// click hint "閉じる" leaves. The dialog reads its fields, asks these, and
// writes the answers.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/app_state.h"

namespace qel {

// The magnification on screen as its field reads; a text that reads zero or
// less (an opened file may carry "0") counts as 1.
double shownMagnificationOf(double fieldValue);

// The zoom factor that takes `shownMagnification` to `newMagnification`, or
// nothing when that is no finite positive number.
std::optional<double> zoomForMagnification(double newMagnification, double shownMagnification);

// The zoom field takes any positive number; the new-magnification field one
// of at least the least magnification that a zoom factor can reach.
bool acceptsZoom(double zoom);
bool acceptsNewMagnification(double newMagnification, double shownMagnification);

// The preset (0..3) whose value is exactly `value`, or nothing.
std::optional<int> presetFor(const std::array<double, 4>& presetValues, double value);

// What "OK" does with radius / zoom: draws with it, refuses it with a message
// (beyond a double's range), or only beeps (0, or a magnification beyond a
// double's range).
enum class ZoomOutcome { draw, tooSmall, beep };
struct ZoomedRadius {
    ZoomOutcome outcome = ZoomOutcome::draw;
    double radius = 0.0;
};
ZoomedRadius radiusAfterZoom(double radius, double zoom, double initialRadius);

// The hint "閉じる" leaves in the caption: what a click on the picture does next.
std::string clickHintOnClose(const AppState& s);

}  // namespace qel
