#include "view/titles.h"

#include <tuple>

#include "app/captions.h"
#include "view/axes.h"
#include "view/picture_events.h"
#include "view/view_fixture.h"

namespace qel {
namespace {

using TitlesTest = ViewTest;

// The cursor read-out of a move to surface position (x, y).
std::string readOut(Program& p, float x, float y) { Picture1_MouseMove(p, x, y); return p.s.cursorInfo; }

// The moving title adds the cursor to the view and hint, or only to the
// view when the dialog asks for simple titles; an unchanged raw position
// is not shown again.
TEST_F(TitlesTest, TheMovingTitleCarriesTheCursor) {
    p.s.viewInfo = "M: 中心(0 , 0): 倍率1:";
    p.s.clickHint = zoomHint(8);
    Picture1_MouseMove(p, 100.0f, -50.0f);
    EXPECT_EQ(platform.caption, "M: 中心(0 , 0): 倍率1:  Clickするとそこを中心に8倍に拡大描画します: 右ClickでMenu: ｶｰｿﾙ(1 , -0.5)");
    Picture1_MouseMove(p, 100.0f, -50.0f);
    Picture1_MouseMove(p, 500.0f, -50.0f);  // the same place in the upper right picture
    EXPECT_EQ(platform.captions.size(), 2u);
    dialog.simple = true;
    Picture1_MouseMove(p, 100.0f, -51.0f);
    EXPECT_EQ(platform.caption, "M: 中心(0 , 0): 倍率1: ｶｰｿﾙ(1 , -0.51)");
}

// The period is read over the period colouring only: the lower left split
// picture, or the full-size colouring 3; over pixels too small to tell
// apart the cursor reads the centre.
TEST_F(TitlesTest, TheCursorReadOutNamesThePeriodUnderThePeriodColouring) {
    const auto& colours = periodColours();
    p.picture1.pset(10, -160, colours[3]);  // lower left
    p.picture1.pset(11, 140, colours[3]);   // upper left
    p.picture1.pset(20, -160, colours[16]);
    EXPECT_EQ(readOut(p, 10, -160), " 周期 3(0.1 , 1.4)");
    EXPECT_EQ(readOut(p, 11, 140), " ｶｰｿﾙ(0.11 , 1.4)");
    EXPECT_EQ(readOut(p, 20, -160), " 周期未定(0.2 , 1.4)");
    p.s.shownMethod = 3;
    p.s.halfW = 400;
    p.s.halfH = 300;
    p.s.pixelSize = 0.005;
    EXPECT_EQ(readOut(p, 11, 140), " 周期 3(0.055 , 0.7)");
    p.s.shownMethod = 0;
    p.s.cur.centerX = 0.5;
    p.s.pixelSize = 0.0;
    EXPECT_EQ(readOut(p, 30, -160), " ｶｰｿﾙ(0.5 , 0)");
}

TEST_F(TitlesTest, PeriodIsFoundOnAnAxisPixelThroughTheInvertedColours) {
    drawStartView(500);
    mnuza_Click(p);
    // The real axis of the lower left picture passes plane point (-0.2, 0)
    // inside the main cardioid and (-0.9, 0) inside the period-2 bulb.
    ASSERT_EQ(p.picture1.point(-20, -300), p.s.periodInverted[1]);
    EXPECT_EQ(readOut(p, -20, -300), " 周期 1(-0.2 , 0)");
    EXPECT_EQ(readOut(p, -90, -300), " 周期 2(-0.9 , 0)");
}

TEST_F(TitlesTest, RetitleAFullSizeMandelbrotView) {
    p.s.live.drawMethod = 2;
    p.s.zoom = 4;
    p.s.live.centerX = -0.75;
    p.s.live.centerY = 0.125;
    dialog.mag = "64";
    retitle(p);
    EXPECT_EQ(std::tie(p.s.zoom, p.s.halfW, p.s.radius), std::make_tuple(8.0, 400, 0.03125));
    EXPECT_EQ(platform.caption, "M: 中心(-0.75　,　0.125): 倍率64:  Clickするとそこを中心に8倍に拡大描画します: "
                                "右Clickで他画面: 右W-ClickでMenu:");
}

TEST_F(TitlesTest, RetitleAJuliaSetWhoseConstantIsStillToBePicked) {
    p.s.live.isJulia = kYes;
    p.s.live.juliaStarted = kNo;
    p.s.prevAvail = true;
    p.s.live.centerX = 0.3;
    retitle(p);
    EXPECT_EQ(std::tie(p.s.live.centerX, p.s.live.juliaStarted), std::make_tuple(0.0, kYes));
    EXPECT_EQ(platform.caption,
              "J: 定数項(0　,　0): 倍率1:  Clickするとそこを定数項とするJulia集合を初期倍率で描画します: 右ClickでMenu:");
    // Without a previous screen there is no Mandelbrot picture to pick from.
    p.s.live.juliaStarted = kNo;
    p.s.prevAvail = false;
    retitle(p);
    EXPECT_EQ(platform.caption, "J: 定数項(0　,　0): 倍率1:  Clickするとそこを中心に8倍に拡大描画します: 右ClickでMenu:");
}

TEST_F(TitlesTest, AMagnificationTextWithoutAUsableValueKeepsTheRadius) {
    p.s.radius = 0.5;
    for (const char* text : {"abc", "1E+310", "-4"}) EXPECT_EQ(radiusOfMagText(p.s, text), 0.5) << text;
    EXPECT_EQ(radiusOfMagText(p.s, " 16"), 0.125);
}

}  // namespace
}  // namespace qel
