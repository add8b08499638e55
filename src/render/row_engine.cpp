#include "render/row_engine.h"

#include <algorithm>

namespace qel {

DrawingSetup drawingSetupFor(const AppState& s, const ColourConstants& colours) {
    DrawingSetup d;
    d.orbit = orbitParamsFor(s);
    d.colours = colours;
    d.halfW = s.halfW;
    d.halfH = s.halfH;
    // lineStep is -1 or -10; anything else must not stall the scan.
    d.xStep = std::max(1, -s.lineStep);
    return d;
}

void ReferenceRowEngine::startDrawing(const DrawingSetup&) { resetRing(ring_); }

void ReferenceRowEngine::computeRow(const DrawingSetup& setup, int y, RowColours& out) {
    for (int k = 0; k < setup.pointsPerRow(); ++k) {
        const OrbitResult r = computePoint(setup.orbit, ring_, setup.xOf(k), y);
        out[static_cast<std::size_t>(k)] = pointColours(r, setup.colours);
    }
}

void writeRow(Surface& picture, const DrawingSetup& setup, int y, const RowColours& row) {
    for (int k = 0; k < setup.pointsPerRow(); ++k)
        colourPoint(picture, setup.halfW, setup.halfH, setup.xOf(k), y, row[static_cast<std::size_t>(k)]);
}

}  // namespace qel
