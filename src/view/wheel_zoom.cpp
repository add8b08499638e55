#include "view/wheel_zoom.h"

#include <algorithm>
#include <cmath>

#include "app/captions.h"
#include "app/deep_place.h"
#include "app/drawing.h"
#include "app/drawing_request.h"
#include "render/layout.h"
#include "view/pixel_mapping.h"

namespace qel {
namespace {

// A centre held to its digits is up to a pixel off the point the notch
// turned about; zooming on about the pointer would make that pixel two,
// then four: turning on about one place, the view would leave the point
// the pointer was on. So the point is kept with this many more digits.
constexpr int kAnchorDigits = 24;

// The plane point under the pointer at `at`, at `bits`: the anchor of the
// notch before when the pointer and the view are the ones it left; else
// from the picture on the screen, or during the wheel's drawing from the
// newest target, which the screen shows scaled.
std::pair<BigReal, BigReal> pointUnder(const AppState& s, bool onScreen, PicturePos at, long bits) {
    const View& v = onScreen ? s.cur : s.live;
    const WheelAnchor& a = s.wheelAnchor;
    if (a.held && a.x == at.x && a.y == at.y && a.centerX == v.centerX && a.centerY == v.centerY &&
        a.radius == s.radius && a.deep == v.deep)
        return {BigReal::fromText(a.re, bits), BigReal::fromText(a.im, bits)};
    if (!isDeep(v)) {
        // The point the render loop gives the pixel, in doubles.
        const double pixelSize = onScreen ? s.pixelSize : s.radius / halfWidthFor(s);
        return {BigReal(v.centerX + at.x * pixelSize, bits), BigReal(v.centerY + at.y * pixelSize, bits)};
    }
    const ExtFloat pixelSize =
        onScreen ? shownPixelSize(s) : pixelSizeFor(liveMagnification(s), halfWidthFor(s), s.initialRadius);
    return {offsetBy(BigReal::fromText(v.deep.centerX, bits), at.x, pixelSize),
            offsetBy(BigReal::fromText(v.deep.centerY, bits), at.y, pixelSize)};
}

// Puts the view `factor` times deeper about the pointer at `at` into the
// live values: the point under the pointer, at offsets (x, y) from the
// centre, has the same offsets in the new view. Nothing changes when the
// view is past a limit.
WheelRefusal zoomAbout(AppState& s, bool onScreen, PicturePos at, double factor) {
    if (beyondLeastMagnification(s.radius / factor, s.initialRadius)) return WheelRefusal::tooSmall;
    const ExtFloat magnification =
        isDeep(s.live) ? liveMagnification(s) * factor : ExtFloat::of(s.initialRadius / (s.radius / factor));
    if (beyondDeepestMagnification(magnification)) return WheelRefusal::tooLarge;
    const ExtFloat pixelSize = pixelSizeFor(magnification, halfWidthFor(s), s.initialRadius);
    const auto [pointRe, pointIm] = pointUnder(s, onScreen, at, precisionBitsFor(pixelSize));
    const BigReal re = offsetBy(pointRe, -at.x, pixelSize), im = offsetBy(pointIm, -at.y, pixelSize);
    if (!re.isFinite() || !im.isFinite()) return WheelRefusal::tooLarge;
    if (!zoomLiveViewAbout(s, re, im, factor)) return WheelRefusal::tooLarge;
    const int digits = significantDigitsFor(magnification) + kAnchorDigits;
    s.wheelAnchor = {true, at.x, at.y, pointRe.str(digits), pointIm.str(digits), s.live.centerX, s.live.centerY,
                     s.radius, s.live.deep};
    return WheelRefusal::none;
}

// The picture on the screen is laid out as the live view's drawing will
// lay out its own: scaling it shows the new view.
bool sameLayout(const AppState& s) { return halfWidthFor(s) == s.halfW && halfHeightFor(s) == s.halfH; }

// A notch during a drawing: the newest target, the screen scaled to it,
// and the drawing asked to give way (redrw draws the target next).
void aimAgain(Program& p, PicturePos at, double factor) {
    AppState& s = p.s;
    const WheelRefusal refusal = zoomAbout(s, false, at, factor);
    if (refusal != WheelRefusal::none) {
        s.wheel.refused = refusal;
        return;
    }
    const Surface shown = p.picture1;
    zoomPictures(p.picture1, shown, s.halfW, s.halfH, static_cast<int>(at.x), static_cast<int>(at.y), factor);
    p.platform.showPictureNow();
    s.wheel.newerTarget = true;
    s.stopRequest = true;
}

}  // namespace

void Picture1_Wheel(Program& p, float x, float y, int notches) {
    AppState& s = p.s;
    if (notches == 0) return;
    const double factor = std::pow(kWheelZoom, std::clamp(notches, -kMostNotches, kMostNotches));
    const PicturePos at = foldOntoTopLeft(s, x, y);
    if (s.busy) {
        if (s.wheel.drawing) aimAgain(p, at, factor);
        return;
    }
    if (juliaConstantToPick(s)) return;
    if (const WheelRefusal refusal = zoomAbout(s, true, at, factor); refusal != WheelRefusal::none)
        return showZoomRefusal(p, refusal);
    DrawingStart start{.takesHistory = true, .underlay = {}};
    if (sameLayout(s))
        start.underlay = [at, factor](Program& q) {
            zoomPictures(q.picture1, q.picture2, q.s.halfW, q.s.halfH, static_cast<int>(at.x), static_cast<int>(at.y),
                         factor);
        };
    redrw(p, start);
}

}  // namespace qel
