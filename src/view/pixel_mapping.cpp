#include "view/pixel_mapping.h"

#include <cmath>

#include "app/deep_place.h"

namespace qel {
namespace {

// The row fold shared by the mouse move and the click.
double foldRow(const AppState& s, double y) { return y < -s.halfH ? y + 2 * s.halfH : y; }

double gridCoordinate(double pixelSize, double offset, double centre) {
    double quotient = (pixelSize * offset + centre) / pixelSize;
    return std::floor(quotient) * pixelSize;
}

}  // namespace

PicturePos foldOntoTopLeft(const AppState& s, double x, double y) {
    return {x >= s.halfW ? x - 2 * s.halfW : x, foldRow(s, y)};
}

PicturePos foldAgainForZoom(const AppState& s, double x, double y) {
    return {x > s.halfW ? x - 2 * s.halfW : x, foldRow(s, y)};
}

std::optional<PlanePoint> gridPoint(const AppState& s, PicturePos folded) {
    if (!(s.pixelSize > 0.0)) return std::nullopt;
    PlanePoint at{gridCoordinate(s.pixelSize, folded.x, s.cur.centerX),
                  gridCoordinate(s.pixelSize, folded.y, s.cur.centerY)};
    if (!std::isfinite(at.re) || !std::isfinite(at.im)) return std::nullopt;
    return at;
}

DeepPoint deepGridPoint(const AppState& s, PicturePos folded) {
    const ExtFloat pixelSize = shownPixelSize(s);
    return {gridPointBy(shownCentre(s, false), folded.x, pixelSize),
            gridPointBy(shownCentre(s, true), folded.y, pixelSize)};
}

PlanePoint cursorPoint(const AppState& s, PicturePos folded) {
    return gridPoint(s, folded).value_or(PlanePoint{s.cur.centerX, s.cur.centerY});
}

PictureFloat surfacePositionOf(const AppState& s, const Surface& picture1, double wx, double wy) {
    double column = std::floor(wx) - picture1.left();
    double row = std::floor(wy) - picture1.top();
    return {static_cast<float>(column - s.halfW), static_cast<float>(s.halfH - row)};
}

}  // namespace qel
