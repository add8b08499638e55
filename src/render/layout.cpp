#include "render/layout.h"

namespace qel {

void layoutPicture(AppState& s, Surface& picture1) {
    if (s.drawMethod == 0) {
        s.halfW = static_cast<Int16>(s.picW / 4);
        s.halfH = static_cast<Int16>(s.picH / 4);
        picture1.setScale(-s.halfW, s.halfH, 7 * s.halfW, -7 * s.halfH);
        picture1.move(0, 0);
        s.shownQuad = 0;
        return;
    }
    s.halfW = static_cast<Int16>(s.picW / 2);
    s.halfH = static_cast<Int16>(s.picH / 2);
    picture1.setScale(-s.halfW, s.halfH, 3 * s.halfW, -3 * s.halfH);
    // The chosen method's quadrant goes to the window's origin.
    const bool rightHalf = s.drawMethod == 2 || s.drawMethod == 4;
    const bool lowerHalf = s.drawMethod == 3 || s.drawMethod == 4;
    picture1.move(rightHalf ? -2 * s.halfW : 0, lowerHalf ? -2 * s.halfH : 0);
    s.shownQuad = s.drawMethod;
}

}  // namespace qel
