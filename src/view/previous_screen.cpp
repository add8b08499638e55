#include "view/previous_screen.h"

#include "app/deep_place.h"
#include "app/drawing.h"
#include "view/titles.h"

namespace qel {

void restorePrevious(Program& p) {
    AppState& s = p.s;
    s.live = s.prev;
    p.dialog.setMagText(s.prev.magText);
    s.radius = isDeep(s.prev) ? radiusFor(s, magnificationOfText(s.prev.deep.magnification))
                              : radiusOfMagText(s, s.prev.magText);

    // The cur layer takes only what the titles read before the snapshot.
    s.cur.centerX = s.prev.centerX;
    s.cur.centerY = s.prev.centerY;
    s.cur.isJulia = s.prev.isJulia;
    s.cur.contourT = s.prev.contourT;
    s.cur.juliaStarted = s.prev.juliaStarted;
    s.cur.deep = s.prev.deep;
}

void mnuzen_Click(Program& p) {
    AppState& s = p.s;
    p.picture1.move(0, 0);
    s.prevAvail = false;
    s.zoomEditable = true;
    restorePrevious(p);
    retitle(p);
    layoutPicture(s, p.picture1);
    s.shownMethod = s.live.drawMethod;
    // The saved surface comes back whole, all four pictures at once.
    p.picture1.copyFrom(p.picture2, 0, 0, p.picture2.width(), p.picture2.height(), 0, 0);
    p.platform.pictureChanged();
    snapshotView(s, p.dialog.magText());
}

}  // namespace qel
