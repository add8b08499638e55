#include "app/drawing_request.h"

#include <cmath>

#include "app/captions.h"
#include "app/deep_place.h"
#include "app/drawing.h"
#include "app/number_text.h"
#include "app/view_limits.h"
#include "render/deep/reference.h"

namespace qel {

std::string iterationsTooManyText(double mostIterations) {
    // Two significant digits, rounded down, so the figure named fits.
    const double unit = mostIterations >= 100 ? std::pow(10.0, std::floor(std::log10(mostIterations)) - 1) : 1;
    return "計算回数が多すぎるためメモリが足りず描画できません．画面設定で計算回数を " +
           numberText(std::floor(mostIterations / unit) * unit) + " 以下にして下さい";
}

namespace {

// One drawing of the live view with its checks and caption.
void requestDrawing(Program& p, const DrawingStart& start) {
    AppState& s = p.s;
    if (beyondLeastMagnification(s.radius, s.initialRadius)) {
        p.platform.messageBox(kMagnificationTooSmall, kMagnificationTooSmallTitle, kMsgStop);
        return;
    }
    if (isDeep(s.live)) {
        const std::uint64_t available = p.availableMemory();
        if (!deepDrawingFits(s, available)) {
            p.platform.messageBox(iterationsTooManyText(mostIterationsFitting(s.live.isJulia == kYes, available)),
                                  kIterationsTooManyTitle, kMsgStop);
            return;
        }
    }
    p.dialog.setMagText(magnificationText(s));
    s.pointLabel = pointLabelFor(s);
    s.viewInfo = requestViewInfo(s);
    s.drawingCaption = kDrawingPrefix + s.viewInfo + kStopHint;
    p.platform.setMainCaption(s.drawingCaption);
    s.wheel.drawing = true;
    Essence(p, start);
    s.wheel.drawing = false;
}

}  // namespace

void redrw(Program& p, const DrawingStart& start) {
    AppState& s = p.s;
    // A request that arrives while a drawing runs (from an event handled in
    // its yield) is ignored, before it can touch the caption or the dialog.
    if (s.busy) return;
    requestDrawing(p, start);
    // Notches of the wheel during the drawing stopped it and left a newer
    // view: each is drawn over the picture they scaled, within the first
    // drawing's history step, until one ends undisturbed.
    const DrawingStart next{.takesHistory = false, .underlay = [](Program&) {}};
    while (s.wheel.newerTarget) {
        s.wheel.newerTarget = false;
        requestDrawing(p, next);
    }
    // A notch past a limit during them is told once they are over.
    const WheelRefusal refused = s.wheel.refused;
    s.wheel = {};
    showZoomRefusal(p, refused);
}

void showZoomRefusal(Program& p, WheelRefusal refusal) {
    if (refusal == WheelRefusal::tooSmall)
        p.platform.messageBox(kMagnificationTooSmall, kMagnificationTooSmallTitle, kMsgStop);
    if (refusal == WheelRefusal::tooLarge)
        p.platform.messageBox(kMagnificationTooLarge, kMagnificationTooLargeTitle, kMsgStop);
}

}  // namespace qel
