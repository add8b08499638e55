#include "render/deep/deep_colour_rows.h"

#include <algorithm>
#include <utility>

#include "render/deep/mpfr_point.h"
#include "render/engine_kernel.h"
#include "render/smooth_colouring.h"

namespace qel {

DeepColourRows::DeepColourRows(DeepViewFor viewFor, int threads, DeepSkipping skipping)
    : viewFor_(std::move(viewFor)), skipping_(skipping), engine_(threads) {}

void DeepColourRows::startDrawing(const DrawingSetup& setup) {
    byCount_ = EscapeCountColours(setup.colours, interiorStopCount(setup.orbit.maxIter));
    engine_.startDrawing(viewFor_(setup), DeepGrid{setup.halfW, setup.halfH, setup.xStep}, skipping_);
}

void DeepColourRows::computeRow(const DrawingSetup& setup, int y, RowColours& out) {
    awaitRow(setup, y, out, [] { return true; });
}

bool DeepColourRows::awaitRow(const DrawingSetup& setup, int y, RowColours& out, const KeepAlive& keepAlive) {
    if (!engine_.awaitRow(setup.halfH - y, orbits_, keepAlive)) return false;
    const int count = std::min(static_cast<int>(orbits_.size()), static_cast<int>(out.size()));
    // All four colours, as the window's surface takes them, unless the
    // drawing wants the smooth colouring's counts.
    const int wanted = setup.colourings == kSmoothCounts ? kSmoothCounts : kSplitScreen;
    pointColours(orbits_.data(), count, setup.colours, byCount_, out.data(), wanted);
    return true;
}

void DeepColourRows::endDrawing() { engine_.endDrawing(); }

MpfrColourRows::MpfrColourRows(DeepViewFor viewFor) : viewFor_(std::move(viewFor)) {}

void MpfrColourRows::startDrawing(const DrawingSetup& setup) {
    view_ = viewFor_(setup);
    precision_ = precisionBitsFor(view_.pixelSize);
}

void MpfrColourRows::computeRow(const DrawingSetup& setup, int y, RowColours& out) {
    const int count = std::min(setup.pointsPerRow(), static_cast<int>(out.size()));
    const bool smooth = setup.colourings == kSmoothCounts;
    for (int k = 0; k < count; ++k) {
        const OrbitResult r = mpfrPoint(view_, setup.xOf(k), y, precision_);
        out[static_cast<std::size_t>(k)] = smooth ? smoothPointColours(r) : pointColours(r, setup.colours);
    }
}

}  // namespace qel
