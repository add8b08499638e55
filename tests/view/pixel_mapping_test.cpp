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

TEST_F(PixelMappingTest, MouseMovesFoldOntoTheTopLeftPicture) {
    Picture1_MouseMove(p, 250.0f, 50.0f);  // upper right picture
    EXPECT_EQ(p.s.mouseX, -150.0);
    EXPECT_EQ(p.s.mouseY, 50.0);
    Picture1_MouseMove(p, 200.0f, -151.0f);  // first column of the right, second row of the lower
    EXPECT_EQ(p.s.mouseX, -200.0);
    EXPECT_EQ(p.s.mouseY, 149.0);
    Picture1_MouseMove(p, 199.0f, -150.0f);  // last column of the left, top row of the lower
    EXPECT_EQ(p.s.mouseX, 199.0);
    EXPECT_EQ(p.s.mouseY, -150.0);
}

TEST_F(PixelMappingTest, EveryLowerRowButTheTopOneMapsLikeTheSamePlaceAbove) {
    const AppState& s = p.s;
    for (int row = 0; row < 2 * s.halfH; ++row) {
        double above = s.halfH - row, below = above - 2 * s.halfH;
        for (double x : {-200.0, -37.0, 0.0, 199.0}) {
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

TEST_F(PixelMappingTest, TheClicksSecondFoldIsStrict) {
    EXPECT_EQ(foldAgainForZoom(p.s, 200, 0).x, 200.0);
    EXPECT_EQ(foldAgainForZoom(p.s, 201, 0).x, -199.0);
    EXPECT_EQ(foldOntoTopLeft(p.s, 200, 0).x, -200.0);
    EXPECT_EQ(foldAgainForZoom(p.s, 0, -150).y, -150.0);
    EXPECT_EQ(foldAgainForZoom(p.s, 0, -151).y, 149.0);
}

TEST_F(PixelMappingTest, PlanePointIsTheFloorOfTheQuotientWithoutTolerance) {
    p.s.curCenterX = 0.0;
    p.s.pixelSize = 0.005;
    // (0.005 * 10) / 0.005 comes out as exactly 10.
    EXPECT_EQ(gridPoint(p.s, {10, 0})->re, 0.05);
    // (0.005 * -7) / 0.005 comes out just below -7: one grid step lower.
    EXPECT_EQ(gridPoint(p.s, {-7, 0})->re, -0.04);
    p.s.curCenterX = -0.5;
    p.s.pixelSize = 0.01;
    EXPECT_EQ(gridPoint(p.s, {-50, 0})->re, -1.0);
}

TEST_F(PixelMappingTest, PlanePointsWhenPixelsCannotBeToldApartFallBackToTheCentre) {
    p.s.curCenterX = 1.0;
    p.s.curCenterY = -0.25;
    p.s.pixelSize = 0.0;
    EXPECT_FALSE(gridPoint(p.s, {10, 10}).has_value());
    EXPECT_EQ(cursorPoint(p.s, {10, 10}).re, 1.0);
    p.s.pixelSize = 1e-310;  // the quotient overflows
    EXPECT_FALSE(gridPoint(p.s, {10, 10}).has_value());
    EXPECT_EQ(cursorPoint(p.s, {10, 10}).im, -0.25);
}

TEST_F(PixelMappingTest, WindowPixelsBecomeSurfaceCoordinatesThroughTheSurfacePosition) {
    PictureFloat corner = surfacePosition(p, 0, 0);
    EXPECT_EQ(corner.x, -200.0f);
    EXPECT_EQ(corner.y, 150.0f);
    PictureFloat far = surfacePosition(p, 799.6, 599.2);
    EXPECT_EQ(far.x, 599.0f);
    EXPECT_EQ(far.y, -449.0f);
    // Full-size upper-right colouring: the surface sits 800 pixels left.
    p.s.drawMethod = 2;
    layoutPicture(p.s, p.picture1);
    PictureFloat shown = surfacePosition(p, 0, 0);
    EXPECT_EQ(shown.x, 400.0f);
    EXPECT_EQ(shown.y, 300.0f);
}

}  // namespace
}  // namespace qel
