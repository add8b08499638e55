#include <gtest/gtest.h>

#include "render/row_engine.h"

namespace qel {
namespace {

// A row of made-up colours: interior and exterior points alternate in an
// irregular pattern, and some colour numbers are out of range (shown black).
RowColours madeUpRow(const DrawingSetup& setup, int y) {
    RowColours row(static_cast<std::size_t>(setup.pointsPerRow()));
    for (int k = 0; k < setup.pointsPerRow(); ++k) {
        PointColours& c = row[static_cast<std::size_t>(k)];
        const int seed = 7919 * k + 104729 * y;
        c.interior = (seed / 3) % 5 == 0;
        c.upperLeft = seed & 0xFFFFFF;
        c.lowerLeft = (seed * 3) & 0xFFFFFF;
        c.upperRight = k % 11 == 0 ? -1 : (seed * 5) & 0xFFFFFF;
        c.lowerRight = k % 13 == 0 ? 0x1000000 : (seed * 7) & 0xFFFFFF;
    }
    return row;
}

struct Picture { int width, height; double x1, y1, x2, y2; };

// Draws all rows both ways, the scale changing halfway through the drawing
// when `rescaleTo` differs from `start`, and compares every pixel.
void expectSamePixels(const DrawingSetup& setup, const Picture& start, const Picture& rescaleTo) {
    Surface byPoint(start.width, start.height), byRow(start.width, start.height);
    for (Surface* s : {&byPoint, &byRow}) s->setScale(start.x1, start.y1, start.x2, start.y2);
    RowWriter writer;
    for (int y = setup.halfH; y >= 1 - setup.halfH; --y) {
        if (y == 0)
            for (Surface* s : {&byPoint, &byRow}) {
                s->resize(rescaleTo.width, rescaleTo.height);
                s->setScale(rescaleTo.x1, rescaleTo.y1, rescaleTo.x2, rescaleTo.y2);
            }
        const RowColours row = madeUpRow(setup, y);
        writeRow(byPoint, setup, y, row);
        writer.write(byRow, setup, y, row);
    }
    EXPECT_TRUE(byRow == byPoint);
    // Clearing knows every column the rows were written into.
    byRow.cls();
    EXPECT_TRUE(byRow == Surface(rescaleTo.width, rescaleTo.height));
}

DrawingSetup smallDrawing() { return {.orbit = {}, .colours = {}, .halfW = 40, .halfH = 30}; }

TEST(RowWriter, SamePixelsAsPointByPointOnTheUsualLayout) {
    DrawingSetup setup = smallDrawing();
    const Picture usual{160, 120, -40, 30, 120, -90};
    expectSamePixels(setup, usual, usual);
    setup.xStep = 10;
    expectSamePixels(setup, usual, usual);
}

TEST(RowWriter, SamePixelsWhenQuadrantsOverlapOrFallOutside) {
    const DrawingSetup setup = smallDrawing();
    // Squeezed: several points share a pixel, and the write order decides.
    expectSamePixels(setup, {50, 40, -40, 30, 120, -90}, {50, 40, -40, 30, 120, -90});
    // Partly outside the surface, on every side.
    expectSamePixels(setup, {100, 70, -10, 10, 90, -60}, {100, 70, -10, 10, 90, -60});
}

TEST(RowWriter, FollowsAChangeOfScaleOrSizeDuringTheDrawing) {
    const DrawingSetup setup = smallDrawing();
    expectSamePixels(setup, {160, 120, -40, 30, 120, -90}, {80, 60, -40, 30, 120, -90});
    expectSamePixels(setup, {160, 120, -40, 30, 120, -90}, {160, 120, -20, 30, 140, -90});
}

}  // namespace
}  // namespace qel
