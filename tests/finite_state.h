// Bad input must never leave an infinity or a NaN in the state record.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "app/app_state.h"

namespace qel {

// Every number of the state record is a finite number.
inline void expectFiniteState(const AppState& s) {
    for (double v : {s.centerX, s.centerY, s.juliaRe, s.juliaIm, s.radius, s.maxIter, s.zoom, s.curCenterX,
                     s.curCenterY, s.curJuliaRe, s.curJuliaIm, s.curMaxIter, s.prevCenterX, s.prevCenterY,
                     s.prevJuliaRe, s.prevJuliaIm, s.prevMaxIter, s.pixelSize, s.mouseX, s.mouseY})
        EXPECT_TRUE(std::isfinite(v)) << v;
    for (float v : {s.contourT, s.curContourT, s.prevContourT, s.lastMouseX, s.lastMouseY})
        EXPECT_TRUE(std::isfinite(v)) << v;
}

}  // namespace qel
