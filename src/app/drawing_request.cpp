#include "app/drawing_request.h"

#include "app/captions.h"
#include "app/number_text.h"
#include "app/view_limits.h"
#include "app/drawing.h"

namespace qel {

void redrw(Program& p, const DrawingStart& start) {
    AppState& s = p.s;
    // A request that arrives while a drawing runs (from an event handled in
    // its yield) is ignored, before it can touch the caption or the dialog.
    if (s.busy) return;
    if (beyondLeastMagnification(s.radius, s.initialRadius)) {
        p.platform.messageBox(kMagnificationTooSmall, kMagnificationTooSmallTitle, kMsgStop);
        return;
    }
    p.dialog.setMagText(magnificationText(s));
    s.pointLabel = pointLabelFor(s);
    s.viewInfo = requestViewInfo(s);
    s.drawingCaption = kDrawingPrefix + s.viewInfo + kStopHint;
    p.platform.setMainCaption(s.drawingCaption);
    Essence(p, start);
}

}  // namespace qel
