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

void redrw(Program& p, const DrawingStart& start) {
    AppState& s = p.s;
    // A request that arrives while a drawing runs (from an event handled in
    // its yield) is ignored, before it can touch the caption or the dialog.
    if (s.busy) return;
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
    Essence(p, start);
}

}  // namespace qel
