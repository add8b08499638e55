#include "view/pixel_mapping.h"

#include "view/picture_events.h"
#include "view/view_fixture.h"

namespace qel {
namespace {

using PixelMappingTest = ViewTest;

// Where a left click at raw surface position (x, y) would centre the next
// drawing: the move's fold, the click's second fold, the grid point.
PlanePoint clickedPoint(const AppState& s, double x, double y) {
    PicturePos moved = foldOntoTopLeft(s, x, y);
    return gridPoint(s, foldAgainForZoom(s, moved.x, moved.y)).value();
}

// The move folds the split screen onto the top-left picture; the click's
// second fold is strict at the edges where the move's is not.
TEST_F(PixelMappingTest, MovesFoldOntoTheTopLeftPictureAndTheClicksSecondFoldIsStrict) {
    Picture1_MouseMove(p, 200, -151);  // first column of the right, second row of the lower
    EXPECT_EQ(std::pair(p.s.mouseX, p.s.mouseY), std::pair(-200.0, 149.0));
    EXPECT_EQ(foldOntoTopLeft(p.s, 200, 0).x, -200.0);
    EXPECT_EQ(foldAgainForZoom(p.s, 200, 0).x, 200.0);
    EXPECT_EQ(foldAgainForZoom(p.s, 201, 0).x, -199.0);
}

TEST_F(PixelMappingTest, EveryLowerRowButTheTopOneMapsLikeTheSamePlaceAbove) {
    const AppState& s = p.s;
    for (int row = 0; row < 2 * s.halfH; ++row) {
        double above = s.halfH - row, below = above - 2 * s.halfH;
        for (double x : {-200.0, 199.0}) {
            PlanePoint top = clickedPoint(s, x, above);
            PlanePoint lowerLeft = clickedPoint(s, x, below);
            PlanePoint lowerRight = clickedPoint(s, x + 2 * s.halfW, below);
            EXPECT_EQ(clickedPoint(s, x + 2 * s.halfW, above).im, top.im);
            EXPECT_EQ(lowerLeft.re, top.re);
            EXPECT_EQ(lowerRight.re, top.re);
            if (below == -s.halfH) {
                // The strict test leaves the lower picture's top row unfolded.
                EXPECT_EQ(lowerLeft.im, -1.5);
                EXPECT_EQ(top.im, 1.5);
            } else {
                EXPECT_EQ(lowerLeft.im, top.im) << "row " << row;
                EXPECT_EQ(lowerRight.im, top.im) << "row " << row;
            }
        }
    }
}

// The grid point is the floor of the quotient without tolerance; pixels of
// size 0, or so small that the quotient overflows, fall back to the centre.
TEST_F(PixelMappingTest, PlanePointIsTheFloorOfTheQuotientOrTheCentre) {
    p.s.pixelSize = 0.005;
    EXPECT_EQ(gridPoint(p.s, {10, 0})->re, 0.05);   // (0.005 * 10) / 0.005 comes out as exactly 10
    EXPECT_EQ(gridPoint(p.s, {-7, 0})->re, -0.04);  // (0.005 * -7) / 0.005 just below -7: one step lower
    p.s.cur.centerX = 1.0;
    for (double pixelSize : {0.0, 1e-310}) {
        p.s.pixelSize = pixelSize;
        EXPECT_FALSE(gridPoint(p.s, {10, 10}).has_value()) << pixelSize;
        EXPECT_EQ(cursorPoint(p.s, {10, 10}).re, 1.0) << pixelSize;
    }
}

TEST_F(PixelMappingTest, WindowPixelsBecomeSurfaceCoordinatesThroughTheSurfacePosition) {
    auto at = [&](double x, double y) { const PictureFloat f = surfacePosition(p, x, y); return std::pair(f.x, f.y); };
    EXPECT_EQ(at(799.6, 599.2), std::pair(599.0f, -449.0f));
    // Full-size upper-right colouring: the surface sits 800 pixels left.
    p.s.live.drawMethod = 2;
    layoutPicture(p.s, p.picture1);
    EXPECT_EQ(at(0, 0), std::pair(400.0f, 300.0f));
}

}  // namespace
}  // namespace qel
