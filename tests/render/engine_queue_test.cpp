// A film's frames one after another: the fast engine goes on into a queued
// drawing's rows while the loop takes the running one's last, and whatever
// happens to the queue, every row is the literal iteration's.
#include <gtest/gtest.h>

#include <vector>

#include "render/engine_rows.h"

namespace qel {
namespace {

DrawingSetup drawingAt(double centerX, double centerY, double pixelSize, int picture, int halfW = 100) {
    return {.orbit = {.maxIter = 400, .centerX = centerX, .centerY = centerY, .pixelSize = pixelSize},
            .colours = colourConstantsFor(1.0f, 4),
            .halfW = halfW,
            .halfH = 75,
            .picture = picture};
}

using Rows = std::vector<RowColours>;

Rows referenceRows(const DrawingSetup& setup) {
    ReferenceRowEngine reference;
    reference.startDrawing(setup);
    Rows rows;
    for (int y = setup.halfH; y > -setup.halfH; --y) {
        RowColours row(static_cast<std::size_t>(setup.pointsPerRow()));
        reference.computeRow(setup, y, row);
        rows.push_back(row);
    }
    return rows;
}

// The first `count` rows of a drawing the engine was started on.
Rows takeRows(FastRowEngine& engine, const DrawingSetup& setup, int count) {
    Rows rows;
    for (int y = setup.halfH; y > setup.halfH - count; --y) {
        RowColours row(static_cast<std::size_t>(setup.pointsPerRow()));
        EXPECT_TRUE(engine.awaitRow(setup, y, row, [] { return true; }));
        rows.push_back(row);
    }
    return rows;
}

TEST(QueuedDrawing, RowsAreTheLiteralIterationsWhateverHappensToTheQueue) {
    const DrawingSetup frames[] = {drawingAt(-0.5, 0, 0.02, 0), drawingAt(-0.75, 0.1, 0.002, 1),
                                   drawingAt(-0.7435669, 0.1314023, 0.00002, 2), drawingAt(0.3, 0.02, 0.001, 3)};
    std::vector<Rows> expected;
    for (const DrawingSetup& f : frames) expected.push_back(referenceRows(f));
    FastRowEngine engine(2);

    // Frames in a row, each queued while the one before is taken.
    engine.startDrawing(frames[0]);
    for (int i = 0; i < 3; ++i) {
        engine.queueDrawing(frames[i + 1]);
        EXPECT_TRUE(takeRows(engine, frames[i], 150) == expected[i]) << "frame " << i;
        engine.startDrawing(frames[i + 1]);
    }
    EXPECT_TRUE(takeRows(engine, frames[3], 150) == expected[3]);
    engine.endDrawing();

    // Another drawing than the queued one, one started before the running
    // one's rows were all taken, and one after a stop: none takes the
    // queued rows.
    engine.startDrawing(frames[0]);
    engine.queueDrawing(frames[1]);
    takeRows(engine, frames[0], 150);
    engine.startDrawing(frames[2]);
    engine.queueDrawing(frames[3]);
    EXPECT_TRUE(takeRows(engine, frames[2], 40) == Rows(expected[2].begin(), expected[2].begin() + 40));
    engine.startDrawing(frames[3]);
    EXPECT_TRUE(takeRows(engine, frames[3], 150) == expected[3]);
    engine.queueDrawing(frames[1]);
    engine.endDrawing();
    engine.startDrawing(frames[1]);
    EXPECT_TRUE(takeRows(engine, frames[1], 150) == expected[1]);

    // Rows of another length are not queued: the drawing starts as usual.
    const DrawingSetup wider = drawingAt(-0.5, 0, 0.01, 4, 120);
    engine.queueDrawing(wider);
    engine.startDrawing(wider);
    EXPECT_TRUE(takeRows(engine, wider, 150) == referenceRows(wider));
}

}  // namespace
}  // namespace qel
