// "描画開始" and "閉じる": taking the settings, the drawing request, the
// click hint, and the field checks that run before them.
#include <cmath>

#include "app/captions.h"
#include "dialog_fixture.h"

namespace qel {
namespace {

class ButtonTest : public DialogTest {
protected:
    ButtonTest() {
        gh->setDrawingRequest([this] {
            ++requests;
            radiusDrawn = s.radius;
            maxIterDrawn = s.maxIter;
        });
    }
    int requests = 0;
    double radiusDrawn = 0, maxIterDrawn = 0;
};

TEST_F(ButtonTest, StartTakesTheZoomFactorAndDraws) {
    field("Text1")->setText("4");
    field("Text7")->setText("32");
    s.zoom = 8;
    s.menuOpen = kYes;
    gh->Command1_Click();
    EXPECT_EQ(s.zoom, 4.0);
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(radiusDrawn, 0.5);
    EXPECT_EQ(s.menuOpen, kNo);
    EXPECT_FALSE(gh->isVisible());
}

TEST_F(ButtonTest, StartWithNoIterationsPutsTheStoredValuesBackAndStillDraws) {
    field("Text1")->setText("4");
    s.zoom = 8;
    field("Text8")->setText("0");
    gh->Command1_Click();
    EXPECT_EQ(text("Text8"), " 500");
    EXPECT_EQ(text("Text1"), "8");
    EXPECT_EQ(s.zoom, 8.0);
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(radiusDrawn, 0.25);
    EXPECT_EQ(maxIterDrawn, 500.0);
}

TEST_F(ButtonTest, FieldIsCheckedBeforeTheClickedButtonActs) {
    open();
    field("Text2")->setText("1");
    type("Text7", "32");
    click("Command1");
    // Text7's check took 32 into the zoom and Text1 before "描画開始" read it.
    EXPECT_EQ(text("Text1"), "32");
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(radiusDrawn, 2.0 / 32);
}

TEST_F(ButtonTest, RefusedEntryIsRepairedBeforeTheClickedButtonActs) {
    open();
    type("Text8", "2.5");
    click("Command1");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, "計算回数");
    EXPECT_EQ(text("Text8"), " 500");
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(maxIterDrawn, 500.0);
}

TEST_F(ButtonTest, HidingWithAnEditedFieldFocusedChecksItFirst) {
    open();
    type("Text3", "0.25");
    gh->hideDialog();
    EXPECT_EQ(s.centerX, 0.25);
    EXPECT_TRUE(platform.messages.empty());

    open();
    type("Text5", "9");
    gh->reject();  // the window's close box or Escape
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, "y座標");
    EXPECT_EQ(text("Text5"), "0");
    EXPECT_FALSE(gh->isVisible());
}

TEST_F(ButtonTest, RefusedEntryIsReportedOnceWhenTheButtonThenHides) {
    open();
    type("Text9", "7");
    click("Command2");
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(text("Text9"), "1");
    EXPECT_FALSE(gh->isVisible());
}

TEST_F(ButtonTest, CloseLeavesTheMandelbrotZoomToTheMouse) {
    s.menuOpen = kYes;
    gh->Command2_Click();
    EXPECT_EQ(s.clickHint, "  Clickするとそこを中心に8倍に拡大描画します:");
    EXPECT_EQ(s.zoomEditable, kNo);
    EXPECT_EQ(s.menuOpen, kNo);
    EXPECT_EQ(requests, 0);
    EXPECT_FALSE(gh->isVisible());
}

TEST_F(ButtonTest, CloseAfterChoosingJuliaLeavesTheConstantToTheMouse) {
    option("Option10")->select();
    gh->Command2_Click();
    EXPECT_EQ(s.clickHint, kJuliaPickHint);
}

TEST_F(ButtonTest, CloseAfterChoosingMandelbrotOverAJuliaPictureZoomsByOne) {
    s.isJulia = s.curIsJulia = s.juliaStarted = kYes;
    option("Option10")->setChecked(true);
    option("Option9")->select();
    gh->Command2_Click();
    EXPECT_EQ(s.clickHint, "  Clickするとそこを中心とするMandelbrot集合を1倍に拡大描画します:");
}

TEST_F(ButtonTest, ReopeningAfterCloseKeepsTheZoomShown) {
    field("Text1")->setText("5");
    gh->Command2_Click();
    gh->fill();
    EXPECT_EQ(text("Text1"), "5");
    EXPECT_EQ(s.zoom, 5.0);
}

TEST_F(ButtonTest, ConstantPickStartsTheJuliaSetAtTheInitialMagnification) {
    s.radius = 0.25;
    gh->fill();
    option("Option10")->select();
    gh->Command1_Click();
    EXPECT_EQ(radiusDrawn, s.initialRadius);
}

// A magnification field reading 0 (an opened file may say so) counts as 1.
TEST_F(ButtonTest, ZeroShownMagnificationLeavesNoInfiniteZoom) {
    open();
    gh->setMagText("0");
    option("Option10")->select();
    EXPECT_EQ(s.zoom, 1.0);
    option("Option9")->select();
    type("Text7", "2");
    moveFocusTo("Text3");
    EXPECT_EQ(s.zoom, 2.0);
    paste("Text1", "0");
    field("Text7")->setText("0");
    moveFocusTo("Text3");
    EXPECT_TRUE(std::isfinite(s.zoom));
    EXPECT_GT(valueOfText(text("Text1")), 0.0);
}

TEST_F(ButtonTest, StartRefusesARadiusPastTheRangeOfADouble) {
    s.radius = 1e300;
    field("Text1")->setText("1e-10");
    gh->Command1_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, "倍率過少");
    EXPECT_EQ(platform.messages[0].style, kMsgStop);
    EXPECT_EQ(s.radius, 1e300);
    EXPECT_EQ(requests, 0);

    s.radius = 1e-300;
    field("Text1")->setText("1e300");
    gh->Command1_Click();
    EXPECT_EQ(s.radius, 1e-300);
    EXPECT_EQ(requests, 0);
    EXPECT_EQ(platform.beeps, 1);
}

}  // namespace
}  // namespace qel
