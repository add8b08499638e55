#include "app/captions.h"
#include "app/drawing_request.h"
#include "view/picture_events.h"
#include "view/view_fixture.h"
#include "view/zoom_limit.h"

// A left click's zoom, the colouring cycle of right clicks, the menu and the
// click that only closes it are the journeys' to check.
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
    EXPECT_EQ(std::tie(zoomRightAfterTheClick, rows, p.s.busy), std::tuple(8.0, 5, false));
    // The top row is drawn, a row further down was cleared and not drawn.
    EXPECT_NE(p.picture1.point(0, -150), 0);
    EXPECT_EQ(p.picture1.point(0, -400), 0);
}

TEST_F(PictureClickTest, DuringADrawingOnlyTheRightButtonDoesAnything) {
    p.s.busy = true;
    leftClickAt(p, 10.0f, 10.0f);
    Picture1_DblClick(p);
    EXPECT_EQ(std::tie(p.s.stopRequest, p.s.radius, p.s.mouseX), std::tuple(false, 2.0, 0.0));  // the move too
    p.s.zoom = 4;
    dialog.keepZoom = true;  // a right click keeps the zoom while the dialog says so
    rightClick(p);
    EXPECT_EQ(std::tie(p.s.stopRequest, p.s.zoom), std::tuple(true, 4.0));
}

// A zoom is refused before anything changes when it would go past the
// deepest magnification, or when a zoom-out would make the radius infinite.
TEST_F(PictureClickTest, AZoomPastTheDeepestMagnificationOrOutPastEveryBoundIsRefusedAndChangesNothing) {
    const DeepPlace deepest{" .5", " .25", " 0", " 0", " 2E+9999"};
    const struct { double radius, zoom; DeepPlace place; const std::string& text; } cases[] = {
        {0.0, 8, deepest, kMagnificationTooLarge},
        {1e300, 1e-10, {}, kMagnificationTooSmall},
    };
    for (const auto& c : cases) {
        platform.messages.clear();
        p.s.radius = c.radius;
        p.s.pixelSize = c.radius / p.s.halfW;
        p.s.cur.deep = p.s.live.deep = c.place;
        p.s.zoom = c.zoom;
        leftClickAt(p, 10.0f, -20.0f);
        ASSERT_EQ(platform.messages.size(), 1u) << c.radius;
        EXPECT_EQ(platform.messages[0].text, c.text) << c.radius;
        EXPECT_EQ(std::tie(p.s.radius, p.s.live.deep, p.s.live.centerX), std::tuple(c.radius, c.place, 0.0));
    }
}

}  // namespace
}  // namespace qel
