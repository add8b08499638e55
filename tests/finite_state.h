// Bad input must never leave an infinity or a NaN in the state record.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "app/app_state.h"

namespace qel {

// Every number of the state record is a finite number.
inline void expectFiniteState(const AppState& s) {
    for (double v : {s.live.centerX, s.live.centerY, s.live.juliaRe, s.live.juliaIm, s.radius, s.live.maxIter, s.zoom, s.cur.centerX,
                     s.cur.centerY, s.cur.juliaRe, s.cur.juliaIm, s.cur.maxIter, s.prev.centerX, s.prev.centerY,
                     s.prev.juliaRe, s.prev.juliaIm, s.prev.maxIter, s.pixelSize, s.mouseX, s.mouseY})
        EXPECT_TRUE(std::isfinite(v)) << v;
    for (float v : {s.live.contourT, s.cur.contourT, s.prev.contourT, s.lastMouseX, s.lastMouseY})
        EXPECT_TRUE(std::isfinite(v)) << v;
}

}  // namespace qel
