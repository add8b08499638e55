#include "view/picture_events.h"

#include "app/captions.h"
#include "app/deep_place.h"
#include "app/drawing_request.h"
#include "render/layout.h"
#include "view/minibrot_zoom.h"
#include "view/titles.h"
#include "view/zoom_limit.h"

namespace qel {
namespace {

// A right click (or double click) during a drawing asks it to stop.
bool requestStop(Program& p) {
    if (p.s.lastButton != kRightButton) return false;
    p.s.stopRequest = true;
    return true;
}

// The click after the popup menu was opened only closes what is open.
void closeMenuAndDialog(Program& p) {
    p.dialog.hideDialog();
    p.window.hidePopupMenu();
    p.s.menuOpen = false;
}

void openPopupMenu(Program& p) {
    p.s.menuOpen = true;
    p.window.showPopupMenu(p.s.prevAvail, minibrotZoomAvailable(p.s));
}

bool hasOtherScreens(const AppState& s) { return s.shownMethod >= kUpperLeft && s.live.singleImage == kNo; }

}  // namespace

PictureFloat surfacePosition(const Program& p, double wx, double wy) {
    return surfacePositionOf(p.s, p.picture1, wx, wy);
}

void Picture1_MouseDown(Program& p, Int16 button) { p.s.lastButton = button; }

void Picture1_MouseMove(Program& p, float x, float y) {
    AppState& s = p.s;
    if (s.busy) return;
    s.mouseX = x;
    s.mouseY = y;
    if (x == s.lastMouseX && y == s.lastMouseY) return;
    showCursorReadOut(p, {x, y});
}

void showNextColouring(Program& p) {
    p.window.hidePopupMenu();
    Int16 next = static_cast<Int16>(p.s.shownMethod % 4 + 1);
    p.dialog.selectMethodOption(next);
    p.s.shownMethod = next;
    p.platform.pictureChanged();
}

namespace {

void refuseTooDeep(Program& p) {
    p.platform.messageBox(kMagnificationTooLarge, kMagnificationTooLargeTitle, kMsgStop);
}

// A Julia set's constant picked on a deep picture: the set starts at the
// initial magnification, as the hint says, whatever a double makes of the
// zoom that would lead there.
void pickJuliaConstantAt(AppState& s, const DeepPoint& centre) {
    s.live.deep = {};
    s.live.centerX = centre.re.toDouble();
    s.live.centerY = centre.im.toDouble();
    s.radius = s.initialRadius;
}

}  // namespace

void zoomIntoClickedPoint(Program& p) {
    AppState& s = p.s;
    if (zoomOutOverflows(s)) {
        p.platform.messageBox(kMagnificationTooSmall, kMagnificationTooSmallTitle, kMsgStop);
        return;
    }
    PicturePos folded = foldAgainForZoom(s, s.mouseX, s.mouseY);
    if (isDeep(s.cur)) {
        const DeepPoint centre = deepGridPoint(s, folded);
        if (juliaConstantToPick(s))
            pickJuliaConstantAt(s, centre);
        else if (!zoomLiveViewAbout(s, centre.re, centre.im))
            return refuseTooDeep(p);
    } else {
        std::optional<PlanePoint> centre = gridPoint(s, folded);
        if (!centre) return refuseTooDeep(p);
        if (zoomStaysDistinct(s, *centre)) {
            s.live.deep = {};
            s.live.centerX = centre->re;
            s.live.centerY = centre->im;
            s.radius = s.radius / s.zoom;
        } else if (!zoomLiveViewAbout(s, BigReal(centre->re, 64), BigReal(centre->im, 64))) {
            return refuseTooDeep(p);
        }
    }
    s.mouseX = folded.x;
    s.mouseY = folded.y;
    redrw(p);
}

void Picture1_Click(Program& p) {
    AppState& s = p.s;
    if (s.busy) {
        if (requestStop(p) && !p.dialog.keepsZoom()) s.zoom = s.defaultZoom;
        return;
    }
    if (s.menuOpen) {
        closeMenuAndDialog(p);
        return;
    }
    if (s.lastButton == kRightButton) {
        if (hasOtherScreens(s))
            showNextColouring(p);
        else
            openPopupMenu(p);
        return;
    }
    if (s.lastButton == kLeftButton) zoomIntoClickedPoint(p);
}

void Picture1_DblClick(Program& p) {
    AppState& s = p.s;
    if (s.busy) {
        requestStop(p);
        return;
    }
    if (s.menuOpen) {
        closeMenuAndDialog(p);
        return;
    }
    if (s.lastButton == kRightButton) openPopupMenu(p);
}

// The program ends at once: a drawing that is running goes no further than
// its current row, even where ending the run is not immediate.
void Picture1_KeyPress(Program& p) {
    if (p.s.busy) p.s.stopRequest = true;
    p.platform.endProgram();
}

}  // namespace qel
