#include "app/app_state.h"

#include <algorithm>
#include <cfloat>

#include "app/number_text.h"
#include "app/view_texts.h"

namespace qel {

void setStartValues(AppState& s) {
    // The record's member initialisers hold the start values; both layers
    // describe the start view.
    s = AppState{};
    s.cur = s.prev = s.live;
    s.cur.magText = strDouble(2.0 / 2.0);
    s.prev.magText = strDouble(s.initialRadius / s.radius);
}

void putLiveView(AppState& s, const View& view) {
    s.live = view;
    s.live.magText.clear();
    // Beyond a double's range the radius is the least a double's
    // magnification gives, never 0, which every caption divides by.
    const double magnification = std::min(magnificationOf(view), DBL_MAX);
    if (magnification > 0) s.radius = s.initialRadius / magnification;
}

void putView(AppState& s, const View& view) {
    putLiveView(s, view);
    s.cur = view;
    s.shownMethod = s.shownQuad = view.drawMethod;
}

void snapshotView(AppState& s, const std::string& magText) {
    s.prev = s.cur;
    s.cur = s.live;
    s.cur.magText = magText;
}

}  // namespace qel
