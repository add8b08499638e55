// "描画開始" and "閉じる": taking the settings, the drawing request, the
// click hint, and the field checks that run before them.
#include "app/captions.h"
#include "app/drawing_request.h"
#include "app/number_text.h"
#include "dialog_fixture.h"
#include "finite_state.h"

namespace qel {
namespace {

class ButtonTest : public DialogTest {
protected:
    ButtonTest() {
        gh->setDrawingRequest([this] {
            ++requests;
            radiusDrawn = s.radius;
        });
    }
    int requests = 0;
    double radiusDrawn = 0;
};

TEST_F(ButtonTest, StartTakesTheZoomFactorOrPutsTheStoredValuesBackAndDraws) {
    field("Text1")->setText("4");
    field("Text7")->setText("32");  // the zoom factor counts, not the new magnification
    gh->Command1_Click();
    EXPECT_EQ(s.zoom, 4.0);
    EXPECT_EQ(radiusDrawn, 0.5);

    // with no iterations the fields show the stored values again
    field("Text1")->setText("2");
    field("Text8")->setText("0");
    gh->Command1_Click();
    EXPECT_EQ(text("Text8"), " 500");
    EXPECT_EQ(text("Text1"), "4");
    EXPECT_EQ(requests, 2);
    EXPECT_EQ(radiusDrawn, 0.125);
}

// A click gives the focus to the button, option or check box first: the
// edited field's check runs before the control's handler.
TEST_F(ButtonTest, ClickingAControlChecksTheEditedFieldBeforeItsHandlerRuns) {
    const struct {
        const char *field, *typed, *clicked;
        std::size_t refusals;
    } cases[] = {{"Text8", "2.5", "Option7", 1},
                 {"Text9", "0.5", "Check4", 0},
                 {"Text7", "32", "Command1", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clicked);
        open();
        platform.messages.clear();
        type(c.field, c.typed);
        click(c.clicked);
        EXPECT_EQ(platform.messages.size(), c.refusals);
    }
    EXPECT_EQ(s.live.maxIter, 1000.0);
    EXPECT_EQ(s.lineStep, -10);  // coarse preview
    EXPECT_EQ(s.live.contourT, 0.5f);
    // Text7's check took 32 into the zoom and Text1 before "描画開始" read it
    EXPECT_EQ(text("Text1"), "32");
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(radiusDrawn, 2.0 / 32);
}

TEST_F(ButtonTest, ReturnInAFieldPressesNoButton) {
    open();
    type("Text8", "700");
    QTest::keyClick(field("Text8"), Qt::Key_Return);
    EXPECT_EQ(requests, 0);
    EXPECT_TRUE(gh->isVisible());
}

TEST_F(ButtonTest, HidingWithAnEditedFieldFocusedChecksItFirst) {
    open();
    type("Text3", "0.25");
    gh->hideDialog();
    EXPECT_EQ(s.live.centerX, 0.25);
    EXPECT_TRUE(platform.messages.empty());

    open();
    type("Text5", "9");
    gh->reject();  // the window's close box or Escape
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].style, kMsgNoIcon);
    EXPECT_EQ(text("Text5"), "0");
    EXPECT_FALSE(gh->isVisible());

    // a button takes the focus first: the refused field is repaired there and not checked again
    open();
    type("Text9", "7");
    click("Command2");
    EXPECT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(text("Text9"), "1");
    EXPECT_FALSE(gh->isVisible());
}

// The fields outlive the dialog's own part; their last focus events must
// reach no handler of it (the sanitizer build saw such a use).
TEST_F(ButtonTest, DestroyingTheDialogWithAnEditedFieldFocusedChecksNothing) {
    open();
    type("Text1", "0");
    gh.reset();
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ButtonTest, CloseLeavesThePointToAClickAndSaysWhatTheClickDoes) {
    field("Text1")->setText("5");
    gh->Command2_Click();
    EXPECT_EQ(s.clickHint, zoomHint(5));
    EXPECT_EQ(requests, 0);
    EXPECT_FALSE(gh->isVisible());
    option("Option10")->select();
    gh->Command2_Click();
    EXPECT_EQ(s.clickHint, kJuliaPickHint);
}

TEST_F(ButtonTest, ConstantPickStartsTheJuliaSetAtTheInitialMagnification) {
    s.radius = 0.25;
    gh->fill();
    option("Option10")->select();
    gh->Command1_Click();
    EXPECT_EQ(radiusDrawn, s.initialRadius);
}

TEST_F(ButtonTest, StartRefusesARadiusNoDoubleHoldsAndAZoomPastTheDeepestMagnification) {
    open();
    // a zoom out so strong that the radius would be infinite
    paste("Text1", "1D-320");
    moveFocusTo("Text9");
    gh->Command1_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].style, kMsgStop);
    EXPECT_EQ(requests, 0);
    // zooms in past what a double holds make deep views, up to 1E+10000
    open();
    paste("Text1", "1D308");
    moveFocusTo("Text9");
    while (platform.messages.size() == 1 && requests < 40) gh->Command1_Click();
    EXPECT_EQ(requests, 32);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].text, kMagnificationTooLarge);
    EXPECT_EQ(trimBlanks(s.live.deep.magnification), "1E+9856");
    expectFiniteState(s);
}

// A deep view in the dialog: its centre and magnification with every digit,
// a long typed centre kept to the digits the view needs, and the start
// zooming about it.
TEST_F(ButtonTest, ADeepViewShowsItsLongCentreAndStartsFromATypedOne) {
    s.live.deep = {"-.2281554936539618192145720", " 1.1151425080399373597457646", " 0", " 0", " 1E+24"};
    s.live.centerX = -0.22815549365396182;
    s.live.centerY = 1.1151425080399374;
    s.radius = 2e-24;
    open();  // the zoom back to 8
    EXPECT_EQ(text("Text3"), "-0.2281554936539618192145720");
    EXPECT_EQ(text("Text2"), "1E+24");
    EXPECT_EQ(text("Text7"), "8E+24");
    paste("Text5", "1.11514250803993735974576463631501406818");
    moveFocusTo("Text9");
    // 27 digits at 1E+24
    EXPECT_EQ(s.live.deep.centerY, " 1.11514250803993735974576464");
    gh->Command1_Click();
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(s.live.deep.magnification, " 8E+24");
    // 28 digits at 8E+24, from the text as typed
    EXPECT_EQ(s.live.deep.centerY, " 1.115142508039937359745764636");
    EXPECT_EQ(s.live.deep.centerX, "-.228155493653961819214572");
}

// Beyond a double's range the new magnification is typed as any other, and
// the zoom factor that leads there is a double again.
TEST_F(ButtonTest, ANewMagnificationBeyondADoublesRangeZoomsADeepView) {
    s.live.deep = {" .5", " .25", " 0", " 0", " 1E+400"};
    s.live.centerX = 0.5;
    s.live.centerY = 0.25;
    s.radius = 0;
    open();
    EXPECT_EQ(text("Text2"), "1E+400");
    EXPECT_EQ(text("Text7"), "8E+400");
    paste("Text7", "1e500");
    moveFocusTo("Text9");
    EXPECT_EQ(text("Text1"), "1E+100");
    gh->Command1_Click();
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(s.live.deep.magnification, " 1E+500");
    EXPECT_EQ(s.live.deep.centerX, " .5");
}

// A centre typed with more digits than a double holds, on a view the start
// takes past the wall, keeps them all.
TEST_F(ButtonTest, ACentreTypedForAZoomPastTheWallKeepsEveryDigit) {
    s.radius = 2e-13;
    open();
    paste("Text3", "-0.228155493653961819214572014099126");
    moveFocusTo("Text9");
    paste("Text1", "1000");
    moveFocusTo("Text9");
    gh->Command1_Click();
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(s.live.deep.magnification, " 1E+16");
    // 19 digits at 1E+16
    EXPECT_EQ(s.live.deep.centerX, "-.2281554936539618192");
    EXPECT_EQ(s.live.deep.centerY, " 0");
}

}  // namespace
}  // namespace qel
