#include "render/row_engine.h"

#include <algorithm>

#include "render/smooth_colouring.h"

namespace qel {

void ReferenceRowEngine::startDrawing(const DrawingSetup&) { resetRing(ring_); }

void ReferenceRowEngine::computeRow(const DrawingSetup& setup, int y, RowColours& out) {
    const bool smooth = setup.colourings == kSmoothCounts;
    for (int k = 0; k < setup.pointsPerRow(); ++k) {
        const OrbitResult r = computePoint(setup.orbit, ring_, setup.xOf(k), y);
        out[static_cast<std::size_t>(k)] = smooth ? smoothPointColours(r) : pointColours(r, setup.colours);
    }
}

void writeRow(Surface& picture, const DrawingSetup& setup, int y, const RowColours& row) {
    for (int k = 0; k < setup.pointsPerRow(); ++k)
        colourPoint(picture, setup.halfW, setup.halfH, setup.xOf(k), y, row[static_cast<std::size_t>(k)]);
}

void RowWriter::write(Surface& picture, const DrawingSetup& setup, int y, const RowColours& row) {
    const Key key{picture.scale(), picture.width(), picture.height(), setup.halfW, setup.halfH, setup.xStep};
    const auto columnOrNone = [&picture](double x) {
        const int u = picture.columnOf(x);
        return u >= 0 && u < picture.width() ? u : -1;
    };
    const int points = setup.pointsPerRow();
    if (!(key == key_)) {
        key_ = key;
        columns_.resize(2 * static_cast<std::size_t>(std::max(points, 0)));
        firstColumn_ = picture.width();
        endColumn_ = 0;
        for (int k = 0; k < points; ++k) {
            columns_[2 * static_cast<std::size_t>(k)] = columnOrNone(setup.xOf(k));
            columns_[2 * static_cast<std::size_t>(k) + 1] = columnOrNone(setup.xOf(k) + 2 * setup.halfW);
        }
        for (int u : columns_) {
            if (u < 0) continue;
            firstColumn_ = std::min(firstColumn_, u);
            endColumn_ = std::max(endColumn_, u + 1);
        }
    }
    const auto rowOrNone = [&](double v) -> std::uint32_t* {
        const int r = picture.rowOf(v);
        return r >= 0 && r < picture.height() ? picture.rowToWrite(r, firstColumn_, endColumn_) : nullptr;
    };
    std::uint32_t* const top = rowOrNone(y);
    std::uint32_t* const bottom = rowOrNone(y - 2 * setup.halfH);
    for (int k = 0; k < points; ++k) {
        const int* uv = &columns_[2 * static_cast<std::size_t>(k)];
        eachQuadrantInOrder(row[static_cast<std::size_t>(k)], [&](bool right, bool below, Colour c) {
            const int u = uv[right ? 1 : 0];
            std::uint32_t* const pixels = below ? bottom : top;
            if (u >= 0 && pixels) pixels[u] = Surface::stored(c);
        });
    }
}

}  // namespace qel
