#include "render/layout.h"

namespace qel {

int halfSizeFor(int method, int pictureSize) { return method == kSplitScreen ? pictureSize / 4 : pictureSize / 2; }

void showQuadrant(Surface& picture1, int halfW, int halfH, int method) {
    const bool rightHalf = method == kUpperRight || method == kLowerRight;
    const bool lowerHalf = method == kLowerLeft || method == kLowerRight;
    picture1.move(rightHalf ? -2 * halfW : 0, lowerHalf ? -2 * halfH : 0);
}

void layoutSurface(Surface& picture1, int method, int halfW, int halfH) {
    if (method == kSplitScreen) {
        picture1.setScale(-halfW, halfH, 7 * halfW, -7 * halfH);
        picture1.move(0, 0);
        return;
    }
    picture1.setScale(-halfW, halfH, 3 * halfW, -3 * halfH);
    // The chosen method's quadrant goes to the window's origin.
    showQuadrant(picture1, halfW, halfH, method);
}

}  // namespace qel
