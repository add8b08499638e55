#include <algorithm>

#include "app/captions.h"
#include "view/picture_events.h"
#include "view/view_fixture.h"
#include "view/zoom_limit.h"

namespace qel {
namespace {

class PictureClickTest : public ViewTest {
protected:
    // Lays the surface out for one colouring at full size without drawing.
    void showFullSize(int method) {
        p.s.drawMethod = p.s.shownMethod = static_cast<Int16>(method);
        layoutPicture(p.s, p.picture1);
        dialog.selectedMethod = method;
    }
};

TEST_F(PictureClickTest, LeftClickZoomsIntoTheClickedPointAndDraws) {
    drawStartView();
    leftClickAt(p, -50.0f, 0.0f);
    EXPECT_EQ(p.s.curCenterX, -0.5);
    EXPECT_EQ(p.s.curCenterY, 0.0);
    EXPECT_EQ(p.s.radius, 0.25);
    EXPECT_EQ(dialog.mag, "8");
    EXPECT_NE(std::find(platform.captions.begin(), platform.captions.end(),
                        "描画中: M: 中心(-0.5 , 0): 倍率8: 右Clickで中止:"),
              platform.captions.end());
    EXPECT_EQ(platform.beeps, 2);
    EXPECT_EQ(p.s.prevAvail, kYes);
}

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

TEST_F(PictureClickTest, RightClicksCycleTheFullSizeColouringsWithoutDrawing) {
    showFullSize(1);
    p.s.shownQuad = 1;
    std::vector<int> shown;
    std::vector<std::pair<int, int>> positions;
    for (int i = 0; i < 4; ++i) {
        rightClick(p);
        shown.push_back(p.s.shownMethod);
        positions.push_back({p.picture1.left(), p.picture1.top()});
    }
    EXPECT_EQ(shown, (std::vector<int>{2, 3, 4, 1}));
    EXPECT_EQ(dialog.selections, (std::vector<int>{2, 3, 4, 1}));
    EXPECT_EQ(positions, (std::vector<std::pair<int, int>>{{-800, 0}, {0, -600}, {-800, -600}, {0, 0}}));
    EXPECT_EQ(p.s.drawMethod, 1);
    EXPECT_EQ(window.menuHides, 4);
    EXPECT_TRUE(window.menusShown.empty());
    EXPECT_EQ(platform.beeps, 0);
}

TEST_F(PictureClickTest, RightDoubleClickShowsTheNextColouringThenTheMenu) {
    showFullSize(3);
    p.s.shownQuad = 3;
    p.s.prevAvail = kYes;
    rightClick(p);
    Picture1_DblClick(p);
    EXPECT_EQ(p.s.shownMethod, 4);
    EXPECT_EQ(window.menusShown, std::vector<bool>{true});
    EXPECT_EQ(p.s.menuOpen, kYes);
}

TEST_F(PictureClickTest, APictureFromAFileHasNoOtherScreensSoRightClickOpensTheMenu) {
    showFullSize(2);
    p.s.singleImage = kYes;
    rightClick(p);
    EXPECT_EQ(p.s.shownMethod, 2);
    EXPECT_EQ(window.menusShown.size(), 1u);
}

TEST_F(PictureClickTest, MiddleButtonDoesNothingAndAnyKeyEndsTheProgram) {
    Picture1_MouseMove(p, 10.0f, 10.0f);
    Picture1_MouseDown(p, kMiddleButton);
    Picture1_Click(p);
    EXPECT_EQ(p.s.radius, 2.0);
    EXPECT_TRUE(window.menusShown.empty());
    EXPECT_FALSE(platform.ended);
    p.s.busy = kYes;
    Picture1_KeyPress(p);
    EXPECT_TRUE(platform.ended);
}

// A view so deep that the next pixel size would be subnormal.
TEST_F(PictureClickTest, AZoomPastTheSmallestPixelIsRefusedAndChangesNothing) {
    p.s.radius = 1e-305;
    p.s.pixelSize = p.s.radius / p.s.halfW;
    Picture1_MouseMove(p, 10.0f, -20.0f);
    Picture1_MouseDown(p, kLeftButton);
    Picture1_Click(p);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, kMagnificationTooLarge);
    EXPECT_EQ(platform.messages[0].title, "倍率過大");
    EXPECT_EQ(platform.messages[0].style, kMsgStop);
    EXPECT_EQ(p.s.radius, 1e-305);
    EXPECT_EQ(p.s.centerX, 0.0);
    EXPECT_EQ(p.s.centerY, 0.0);
    EXPECT_EQ(p.s.mouseX, 10.0);
    EXPECT_EQ(platform.beeps, 0);
}

TEST_F(PictureClickTest, AZoomWhosePixelsNoLongerMoveTheCentreIsRefused) {
    p.s.curCenterX = -0.75;
    p.s.radius = 1e-14;  // next pixel 6.25e-18, below half a step of -0.75
    p.s.pixelSize = p.s.radius / p.s.halfW;
    leftClickAt(p, 0.0f, 0.0f);
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(p.s.radius, 1e-14);
    EXPECT_EQ(p.s.centerX, 0.0);
}

TEST_F(PictureClickTest, AZoomOutPastEveryBoundIsRefusedBeforeTheRadiusBecomesInfinite) {
    p.s.radius = 1e300;  // left by earlier refused zoom-outs
    p.s.zoom = 1e-10;
    leftClickAt(p, 0.0f, 0.0f);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, "倍率過少");
    EXPECT_EQ(p.s.radius, 1e300);
}

TEST_F(PictureClickTest, ACursorOverPixelsOfSizeZeroReadsTheCentre) {
    p.s.curCenterX = 0.5;
    p.s.pixelSize = 0.0;
    p.s.viewInfo = "M: 中心(0.5 , 0): 倍率1:";
    Picture1_MouseMove(p, 10.0f, 20.0f);
    EXPECT_EQ(p.s.cursorInfo, " ｶｰｿﾙ(0.5 , 0)");
}

}  // namespace
}  // namespace qel
