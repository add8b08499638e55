#include "app/captions.h"
#include "app/drawing_request.h"
#include "view/picture_events.h"
#include "view/view_fixture.h"
#include "view/zoom_limit.h"

// A left click's zoom, the colouring cycle of right clicks, the right
// double click and keys ending the program are the journeys' to check.
namespace qel {
namespace {

using PictureClickTest = ViewTest;

TEST_F(PictureClickTest, RightClickDuringADrawingStopsItAndResetsTheZoomAtOnce) {
    drawStartView();
    p.s.zoom = 4;
    int rows = 0;
    double zoomRightAfterTheClick = 0;
    platform.onDoEvents = [&] {
        if (++rows != 5) return;
        rightClick(p);
        zoomRightAfterTheClick = p.s.zoom;
    };
    leftClickAt(p, -50.0f, 0.0f);
    EXPECT_EQ(zoomRightAfterTheClick, 8.0);
    EXPECT_EQ(rows, 5);
    EXPECT_EQ(p.s.busy, kNo);
    EXPECT_EQ(p.s.stopRequest, kNo);
    // Lower left, never black where drawn: the top row is there, a row
    // further down was cleared and not drawn.
    EXPECT_NE(p.picture1.point(0, -150), 0);
    EXPECT_EQ(p.picture1.point(0, -400), 0);
}

TEST_F(PictureClickTest, DuringADrawingOnlyTheRightButtonDoesAnything) {
    p.s.busy = kYes;
    leftClickAt(p, 10.0f, 10.0f);
    Picture1_DblClick(p);
    EXPECT_EQ(p.s.stopRequest, kNo);
    EXPECT_EQ(p.s.radius, 2.0);
    EXPECT_EQ(p.s.mouseX, 0.0);  // the move was ignored too
    Picture1_MouseDown(p, kRightButton);
    p.s.zoom = 4;
    Picture1_DblClick(p);
    EXPECT_EQ(p.s.stopRequest, kYes);
    EXPECT_EQ(p.s.zoom, 4.0);  // a double click does not touch the zoom
    EXPECT_TRUE(window.menusShown.empty());
    // A right click keeps the zoom too while the dialog says so.
    dialog.keepZoom = true;
    rightClick(p);
    EXPECT_EQ(p.s.zoom, 4.0);
}

TEST_F(PictureClickTest, TheFirstClickAfterTheMenuOpenedOnlyClosesIt) {
    rightClick(p);  // split screen: the menu
    ASSERT_EQ(window.menusShown, std::vector<bool>{false});
    EXPECT_EQ(p.s.menuOpen, kYes);
    leftClickAt(p, 10.0f, 10.0f);
    EXPECT_EQ(p.s.menuOpen, kNo);
    EXPECT_EQ(dialog.hides, 1);
    EXPECT_EQ(window.menuHides, 1);
    EXPECT_EQ(p.s.radius, 2.0);
    EXPECT_EQ(platform.beeps, 0);
    rightClick(p);
    Picture1_DblClick(p);  // the double click after the menu also only closes it
    EXPECT_EQ(window.menusShown.size(), 2u);
    EXPECT_EQ(p.s.menuOpen, kNo);
    EXPECT_EQ(dialog.hides, 2);
}

TEST_F(PictureClickTest, APictureFromAFileHasNoOtherScreensSoRightClickOpensTheMenu) {
    p.s.drawMethod = p.s.shownMethod = 2;  // at full size, not drawn
    layoutPicture(p.s, p.picture1);
    dialog.selectedMethod = 2;
    p.s.singleImage = kYes;
    rightClick(p);
    EXPECT_EQ(p.s.shownMethod, 2);
    EXPECT_EQ(window.menusShown.size(), 1u);
}

TEST_F(PictureClickTest, TheMiddleButtonDoesNothing) {
    Picture1_MouseMove(p, 10.0f, 10.0f);
    Picture1_MouseDown(p, kMiddleButton);
    Picture1_Click(p);
    EXPECT_EQ(p.s.radius, 2.0);
    EXPECT_TRUE(window.menusShown.empty());
    EXPECT_EQ(platform.beeps, 0);
}

// A zoom is refused before anything changes when the next pixel size would
// be subnormal, when such pixels no longer move the centre, or when a
// zoom-out would make the radius infinite.
TEST_F(PictureClickTest, AZoomPastWhatADoubleCanTellApartIsRefusedAndChangesNothing) {
    const struct {
        double radius, centre, zoom;
        const std::string &text, &title;
    } cases[] = {
        {1e-305, 0.0, 8, kMagnificationTooLarge, kMagnificationTooLargeTitle},
        // next pixel 6.25e-18, below half a step of -0.75
        {1e-14, -0.75, 8, kMagnificationTooLarge, kMagnificationTooLargeTitle},
        // a radius left by earlier refused zoom-outs
        {1e300, 0.0, 1e-10, kMagnificationTooSmall, kMagnificationTooSmallTitle},
    };
    for (const auto& c : cases) {
        platform.messages.clear();
        p.s.radius = c.radius;
        p.s.pixelSize = c.radius / p.s.halfW;
        p.s.curCenterX = c.centre;
        p.s.zoom = c.zoom;
        leftClickAt(p, 10.0f, -20.0f);
        ASSERT_EQ(platform.messages.size(), 1u) << c.radius;
        EXPECT_EQ(platform.messages[0].text, c.text) << c.radius;
        EXPECT_EQ(platform.messages[0].title, c.title) << c.radius;
        EXPECT_EQ(platform.messages[0].style, kMsgStop) << c.radius;
        EXPECT_EQ(p.s.radius, c.radius);
        EXPECT_EQ(p.s.centerX, 0.0);
        EXPECT_EQ(p.s.mouseX, 10.0);
        EXPECT_EQ(platform.beeps, 0);
    }
}

}  // namespace
}  // namespace qel
