#include "render/layout.h"

namespace qel {

int halfWidthFor(const AppState& s) { return s.drawMethod == 0 ? s.picW / 4 : s.picW / 2; }

int halfHeightFor(const AppState& s) { return s.drawMethod == 0 ? s.picH / 4 : s.picH / 2; }

void showQuadrant(const AppState& s, Surface& picture1, int method) {
    const bool rightHalf = method == 2 || method == 4;
    const bool lowerHalf = method == 3 || method == 4;
    picture1.move(rightHalf ? -2 * s.halfW : 0, lowerHalf ? -2 * s.halfH : 0);
}

void layoutPicture(AppState& s, Surface& picture1) {
    s.halfW = static_cast<Int16>(halfWidthFor(s));
    s.halfH = static_cast<Int16>(halfHeightFor(s));
    if (s.drawMethod == 0) {
        picture1.setScale(-s.halfW, s.halfH, 7 * s.halfW, -7 * s.halfH);
        picture1.move(0, 0);
        s.shownQuad = 0;
        return;
    }
    picture1.setScale(-s.halfW, s.halfH, 3 * s.halfW, -3 * s.halfH);
    // The chosen method's quadrant goes to the window's origin.
    showQuadrant(s, picture1, s.drawMethod);
    s.shownQuad = s.drawMethod;
}

}  // namespace qel
