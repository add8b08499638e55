#include "view/previous_screen.h"

#include <tuple>

#include "view/picture_events.h"
#include "view/view_fixture.h"

namespace qel {
namespace {

using PreviousScreenTest = ViewTest;

TEST_F(PreviousScreenTest, ZoomTwiceThenGoBackRestoresTheFirstZoomAndItsSettings) {
    drawStartView();
    leftClickAt(p, -50.0f, 0.0f);  // centre (-0.5, 0), magnification 8
    Surface firstZoom = p.picture1;
    // Other settings for the second drawing: full size, more iterations, t = 2.
    dialog.selectMethodOption(1);
    p.s.maxIter = 80;
    p.s.contourT = 2.0f;
    leftClickAt(p, -20.0f, 40.0f);
    ASSERT_EQ(p.s.halfW, 400);
    ASSERT_EQ(dialog.mag, "64");
    ASSERT_EQ(p.s.prevAvail, kYes);

    mnuzen_Click(p);
    EXPECT_EQ(std::tie(p.s.centerX, p.s.centerY, p.s.curCenterX, p.s.radius), std::make_tuple(-0.5, 0.0, -0.5, 0.25));
    EXPECT_EQ(dialog.mag, "8");
    EXPECT_EQ(p.s.curMagText, "8");
    EXPECT_EQ(std::tie(p.s.drawMethod, p.s.shownMethod, dialog.selectedMethod), std::make_tuple(0, 0, 0));
    EXPECT_EQ(p.s.maxIter, 60.0);
    EXPECT_EQ(p.s.contourT, 1.0f);
    EXPECT_EQ(p.s.halfW, 200);
    EXPECT_EQ(p.s.pixelSize, 0.25 / 200);
    EXPECT_EQ(p.s.prevAvail, kNo);
    EXPECT_EQ(p.picture1.left(), 0);
    EXPECT_TRUE(p.picture1 == firstZoom);
    EXPECT_EQ(platform.caption, "M: 中心(-0.5　,　0): 倍率8:  Clickするとそこを中心に8倍に拡大描画します: 右ClickでMenu:");

    // Going back is now disabled in the menu.
    rightClick(p);
    EXPECT_EQ(window.menusShown, std::vector<bool>{false});
}

TEST_F(PreviousScreenTest, APreviousJuliaPictureComesBackWithItsConstantFixed) {
    AppState& s = p.s;
    s.prevIsJulia = s.prevJuliaStarted = kYes;
    s.prevJuliaRe = -0.75;
    s.prevJuliaIm = 0.1;
    s.prevCenterX = 0.25;
    s.prevMagText = "4";
    s.prevMethod = 4;
    s.prevAvail = kYes;
    mnuzen_Click(p);
    EXPECT_EQ(s.juliaStarted, kYes);
    EXPECT_EQ(s.juliaRe, -0.75);
    EXPECT_EQ(s.radius, 0.5);
    EXPECT_EQ(p.picture1.left(), -800);
    EXPECT_EQ(platform.caption, "J: 中心(0.25　,　0): 倍率4:  Clickするとそこを中心に8倍に拡大描画します: "
                                "右Clickで他画面: 右W-ClickでMenu:");
}

}  // namespace
}  // namespace qel
