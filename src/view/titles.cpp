#include "view/titles.h"

#include <cmath>

#include "app/captions.h"
#include "app/deep_place.h"
#include "app/number_text.h"
#include "app/drawing.h"
#include "render/layout.h"
#include "view/zoom_limit.h"

namespace qel {
namespace {

bool matchesPeriod(const AppState& s, Colour colour, int period) {
    return colour == s.periodShown[period] || colour == s.periodInverted[period];
}

void captionPointRows(Program& p) {
    if (p.s.live.isJulia == kYes)
        p.dialog.setPointCaptions(kZoomPointCaption, kConstantCaption);
    else
        p.dialog.setPointCaptions(kNewCentreCaption, kCurrentCentreCaption);
}

// The click hint after a restore: the Julia form only while a constant is to
// be picked and a previous screen exists.
std::string retitleClickHint(const AppState& s) {
    if (juliaConstantToPick(s) && s.prevAvail) return kJuliaPickHint;
    return zoomHint(s.zoom);
}

}  // namespace

double radiusOfMagText(const AppState& s, const std::string& magText) {
    const double magnification = valueOfText(magText);
    if (!(magnification > 0)) return s.radius;
    const double radius = s.initialRadius / magnification;
    return std::isnormal(radius) ? radius : s.radius;
}

void retitle(Program& p) {
    AppState& s = p.s;
    if (!p.dialog.keepsZoom()) s.zoom = s.defaultZoom;
    s.halfW = static_cast<Int16>(halfWidthFor(s));
    s.halfH = static_cast<Int16>(halfHeightFor(s));
    p.dialog.selectMethodOption(s.live.drawMethod);
    std::string magText = p.dialog.magText();
    s.radius = isDeep(s.live) ? radiusFor(s, liveMagnification(s)) : radiusOfMagText(s, magText);
    s.pixelSize = s.radius / s.halfW;
    if (juliaConstantToPick(s)) s.live.centerX = s.live.centerY = 0.0;
    captionPointRows(p);
    s.pointLabel = pointLabelFor(s);
    s.viewInfo = retitleViewInfo(s, valueOfText(magText));
    s.clickHint = retitleClickHint(s);
    bool otherScreens = s.live.drawMethod >= kUpperLeft && s.live.singleImage == kNo;
    p.platform.setMainCaption(s.viewInfo + s.clickHint + rightButtonHint(otherScreens));
    if (s.live.isJulia == kYes) s.live.juliaStarted = kYes;
}

bool readsPeriodAt(const AppState& s, PictureFloat at) {
    if (s.shownMethod == kLowerLeft) return true;
    return s.shownMethod == kSplitScreen && at.x <= s.halfW - 1 && at.y < -s.halfH;
}

std::string periodLabelOf(const AppState& s, Colour colour) {
    std::string label = kCursorLabel;
    for (int period = 1; period <= 15; ++period) {
        if (matchesPeriod(s, colour, period)) {
            label = periodLabel(period);
            break;
        }
    }
    if (matchesPeriod(s, colour, 16)) label = kPeriodUndeterminedLabel;
    return label;
}

std::string cursorTitle(const Program& p) {
    const AppState& s = p.s;
    if (p.dialog.simpleTitles()) return s.viewInfo + s.cursorInfo;
    bool otherScreens = s.shownQuad >= kUpperLeft && s.live.singleImage == kNo;
    return s.viewInfo + s.clickHint + rightButtonHint(otherScreens) + s.cursorInfo;
}

void showCursorReadOut(Program& p, PictureFloat at) {
    AppState& s = p.s;
    PicturePos folded = foldOntoTopLeft(s, s.mouseX, s.mouseY);
    s.mouseX = folded.x;
    s.mouseY = folded.y;
    std::string label = readsPeriodAt(s, at) ? periodLabelOf(s, p.picture1.point(at.x, at.y)) : kCursorLabel;
    if (isDeep(s.cur)) {
        const DeepPoint plane = deepGridPoint(s, folded);
        const ExtFloat magnification = magnificationOfText(s.cur.deep.magnification);
        s.cursorInfo = cursorInfoText(label, deepNumberText(plane.re, magnification),
                                      deepNumberText(plane.im, magnification));
    } else {
        const PlanePoint plane = cursorPoint(s, folded);
        s.cursorInfo = cursorInfoText(label, plane.re, plane.im);
    }
    p.platform.setMainCaption(cursorTitle(p));
    s.lastMouseX = static_cast<float>(s.mouseX);
    s.lastMouseY = static_cast<float>(s.mouseY);
}

}  // namespace qel
