#include "settings/settings_rules.h"

#include <cmath>

#include "app/captions.h"
#include "app/view_limits.h"

namespace qel {

double shownMagnificationOf(double fieldValue) { return fieldValue > 0 ? fieldValue : 1.0; }

std::optional<double> zoomForMagnification(double newMagnification, double shownMagnification) {
    const double z = newMagnification / shownMagnification;
    if (std::isfinite(z) && z > 0) return z;
    return std::nullopt;
}

bool acceptsZoom(double zoom) { return zoom > 0; }

bool acceptsNewMagnification(double newMagnification, double shownMagnification) {
    return newMagnification >= kLeastMagnification && zoomForMagnification(newMagnification, shownMagnification);
}

std::optional<int> presetFor(const std::array<double, 4>& presetValues, double value) {
    for (int i = 0; i < 4; ++i)
        if (presetValues[static_cast<std::size_t>(i)] == value) return i;
    return std::nullopt;
}

ZoomedRadius radiusAfterZoom(double radius, double zoom, double initialRadius) {
    // Repeated zooms by extreme factors could take the radius past the range
    // of a double; such a view is refused rather than stored as infinite or 0.
    const double zoomed = radius / zoom;
    if (!std::isfinite(zoomed)) return {ZoomOutcome::tooSmall, radius};
    if (!(zoomed > 0) || !std::isfinite(initialRadius / zoomed)) return {ZoomOutcome::beep, radius};
    return {ZoomOutcome::draw, zoomed};
}

std::string clickHintOnClose(const AppState& s) {
    if (juliaConstantToPick(s)) return kJuliaPickHint;
    if (s.live.isJulia == kNo && s.live.juliaStarted == kYes) return mandelbrotZoomHint(s.zoom);
    return zoomHint(s.zoom);
}

}  // namespace qel
