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
    dialog.selectedMethod = p.s.live.drawMethod = 1;  // chosen in the dialog
    p.s.live.maxIter = 80;
    p.s.live.contourT = 2.0f;
    leftClickAt(p, -20.0f, 40.0f);
    ASSERT_EQ(dialog.mag, "64");
    ASSERT_TRUE(p.s.prevAvail);

    mnuzen_Click(p);
    EXPECT_EQ(std::tie(p.s.live.centerX, p.s.live.centerY, p.s.radius, dialog.mag), std::make_tuple(-0.5, 0.0, 0.25, "8"));
    EXPECT_EQ(std::tie(p.s.live.drawMethod, p.s.shownMethod, dialog.selectedMethod), std::make_tuple(0, 0, 0));
    EXPECT_EQ(std::tie(p.s.live.maxIter, p.s.live.contourT), std::make_tuple(60.0, 1.0f));
    EXPECT_EQ(std::tie(p.s.halfW, p.s.pixelSize, p.s.prevAvail), std::make_tuple(200, 0.25 / 200, false));
    EXPECT_TRUE(p.picture1 == firstZoom);
    EXPECT_EQ(platform.caption, "M: 中心(-0.5　,　0): 倍率8:  Clickするとそこを中心に8倍に拡大描画します: 右ClickでMenu:");
}

}  // namespace
}  // namespace qel
