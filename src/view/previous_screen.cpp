#include "view/previous_screen.h"

#include "app/drawing.h"
#include "view/titles.h"

namespace qel {

void restorePrevious(Program& p) {
    AppState& s = p.s;
    s.centerX = s.prevCenterX;
    s.centerY = s.prevCenterY;
    p.dialog.setMagText(s.prevMagText);
    s.isJulia = s.prevIsJulia;
    s.drawMethod = s.prevMethod;
    s.contourT = s.prevContourT;
    s.juliaStarted = s.prevJuliaStarted;
    s.juliaRe = s.prevJuliaRe;
    s.juliaIm = s.prevJuliaIm;
    s.radius = radiusOfMagText(s, s.prevMagText);
    s.maxIter = s.prevMaxIter;
    s.singleImage = s.prevSingleImage;

    s.curCenterX = s.prevCenterX;
    s.curCenterY = s.prevCenterY;
    s.curIsJulia = s.prevIsJulia;
    s.curContourT = s.prevContourT;
    s.curJuliaStarted = s.prevJuliaStarted;
}

void mnuzen_Click(Program& p) {
    AppState& s = p.s;
    p.picture1.move(0, 0);
    s.prevAvail = kNo;
    s.zoomEditable = kYes;
    restorePrevious(p);
    retitle(p);
    layoutPicture(s, p.picture1);
    s.shownMethod = s.drawMethod;
    // The saved surface comes back whole, all four pictures at once.
    p.picture1.copyFrom(p.picture2, 0, 0, p.picture2.width(), p.picture2.height(), 0, 0);
    p.platform.pictureChanged();
    snapshotView(s, p.dialog.magText());
}

}  // namespace qel
