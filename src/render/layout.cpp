#include "render/layout.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace qel {
namespace {

// Marks a pixel whose source lies outside the picture.
constexpr int kOutside = -1;

// The source of the pixel at offset `to` in the scaled picture: the offset
// in the original, rounded down, or nothing outside `lowest`..`highest`.
std::optional<int> sourceOffset(int to, int about, double factor, int lowest, int highest) {
    const double from = std::floor(about + (to - about) / factor);
    if (!(from >= lowest && from <= highest)) return std::nullopt;
    return static_cast<int>(from);
}

}  // namespace

int halfSizeFor(int method, int pictureSize) { return method == kSplitScreen ? pictureSize / 4 : pictureSize / 2; }

void zoomPictures(Surface& to, const Surface& from, int halfW, int halfH, int x, int y, double factor) {
    if (halfW <= 0 || halfH <= 0 || from.width() != to.width() || from.height() != to.height()) return;
    std::vector<int> column(static_cast<std::size_t>(2 * halfW)), row(static_cast<std::size_t>(2 * halfH));
    // Column c has the offset c - halfW, row r the offset halfH - r.
    for (int c = 0; c < 2 * halfW; ++c) {
        const std::optional<int> u = sourceOffset(c - halfW, x, factor, -halfW, halfW - 1);
        column[static_cast<std::size_t>(c)] = u ? *u + halfW : kOutside;
    }
    for (int r = 0; r < 2 * halfH; ++r) {
        const std::optional<int> v = sourceOffset(halfH - r, y, factor, 1 - halfH, halfH);
        row[static_cast<std::size_t>(r)] = v ? halfH - *v : kOutside;
    }
    for (int left : {0, 2 * halfW})
        for (int top : {0, 2 * halfH}) {
            if (left + 2 * halfW > to.width() || top + 2 * halfH > to.height()) continue;
            for (int r = 0; r < 2 * halfH; ++r) {
                std::uint32_t* out = to.rowToWrite(top + r, left, left + 2 * halfW) + left;
                const int sourceRow = row[static_cast<std::size_t>(r)];
                if (sourceRow == kOutside) {
                    std::fill(out, out + 2 * halfW, 0u);
                    continue;
                }
                const std::uint32_t* in = from.row(top + sourceRow) + left;
                for (int c = 0; c < 2 * halfW; ++c) {
                    const int sourceColumn = column[static_cast<std::size_t>(c)];
                    out[c] = sourceColumn == kOutside ? 0u : in[sourceColumn];
                }
            }
        }
}

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
