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
    ButtonTest() { gh->setDrawingRequest([this] { ++requests; radiusDrawn = s.radius; }); }
    // Pastes a whole text into the field and leaves it, which checks it.
    void enter(const char* name, const char* whole) { paste(name, whole); moveFocusTo("Text9"); }
    int requests = 0;
    double radiusDrawn = 0;
};

TEST_F(ButtonTest, StartTakesTheZoomFactorOrPutsTheStoredValuesBackAndDraws) {
    field("Text1")->setText("4");
    field("Text7")->setText("32");  // the zoom factor counts, not the new magnification
    gh->Command1_Click();
    EXPECT_EQ(std::tie(s.zoom, radiusDrawn), std::tuple(4.0, 0.5));

    // with no iterations the fields show the stored values again
    field("Text1")->setText("2");
    field("Text8")->setText("0");
    gh->Command1_Click();
    EXPECT_EQ(std::tuple(text("Text8"), text("Text1")), std::tuple(" 500", "4"));
    EXPECT_EQ(std::tie(requests, radiusDrawn), std::tuple(2, 0.125));
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
    EXPECT_EQ(std::tie(s.live.maxIter, s.lineStep, s.live.contourT), std::tuple(1000.0, -10, 0.5f));  // coarse preview
    // Text7's check took 32 into the zoom and Text1 before "描画開始" read it
    EXPECT_EQ(text("Text1"), "32");
    EXPECT_EQ(std::tie(requests, radiusDrawn), std::tuple(1, 2.0 / 32));
}

TEST_F(ButtonTest, ReturnInAFieldPressesNoButton) {
    open();
    type("Text8", "700");
    QTest::keyClick(field("Text8"), Qt::Key_Return);
    EXPECT_EQ(std::tuple(requests, gh->isVisible()), std::tuple(0, true));
}

TEST_F(ButtonTest, HidingWithAnEditedFieldFocusedChecksItFirst) {
    open();
    type("Text3", "0.25");
    gh->hideDialog();
    EXPECT_EQ(std::tuple(s.live.centerX, platform.messages.size()), std::tuple(0.25, 0u));

    open();
    type("Text5", "9");
    gh->reject();  // the window's close box or Escape
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(std::tuple(platform.messages[0].style, text("Text5"), gh->isVisible()), std::tuple(kMsgNoIcon, "0", false));

    // a button takes the focus first: the refused field is repaired there and not checked again
    open();
    type("Text9", "7");
    click("Command2");
    EXPECT_EQ(std::tuple(platform.messages.size(), text("Text9"), gh->isVisible()), std::tuple(2u, "1", false));
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
    EXPECT_EQ(std::tuple(s.clickHint, requests, gh->isVisible()), std::tuple(zoomHint(5), 0, false));
    option("Option10")->select();
    gh->Command2_Click();
    EXPECT_EQ(s.clickHint, kJuliaPickHint);
}

TEST_F(ButtonTest, StartRefusesARadiusNoDoubleHoldsAndAZoomPastTheDeepestMagnification) {
    open();
    // a zoom out so strong that the radius would be infinite
    enter("Text1", "1D-320");
    gh->Command1_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(std::tuple(platform.messages[0].style, requests), std::tuple(kMsgStop, 0));
    // zooms in past what a double holds make deep views, up to 1E+10000
    open();
    enter("Text1", "1D308");
    while (platform.messages.size() == 1 && requests < 40) gh->Command1_Click();
    EXPECT_EQ(requests, 32);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(std::tuple(platform.messages[1].text, trimBlanks(s.live.deep.magnification)),
              std::tuple(kMagnificationTooLarge, "1E+9856"));
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
    EXPECT_EQ(std::tuple(text("Text3"), text("Text2"), text("Text7")),
              std::tuple("-0.2281554936539618192145720", "1E+24", "8E+24"));
    enter("Text5", "1.11514250803993735974576463631501406818");
    // 27 digits at 1E+24
    EXPECT_EQ(s.live.deep.centerY, " 1.11514250803993735974576464");
    gh->Command1_Click();
    EXPECT_EQ(std::tie(requests, s.live.deep.magnification), std::tuple(1, " 8E+24"));
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
    EXPECT_EQ(std::tuple(text("Text2"), text("Text7")), std::tuple("1E+400", "8E+400"));
    enter("Text7", "1e500");
    EXPECT_EQ(text("Text1"), "1E+100");
    gh->Command1_Click();
    EXPECT_EQ(std::tie(requests, s.live.deep.magnification, s.live.deep.centerX), std::tuple(1, " 1E+500", " .5"));
}

// A centre typed with more digits than a double holds, on a view the start
// takes past the wall, keeps them all.
TEST_F(ButtonTest, ACentreTypedForAZoomPastTheWallKeepsEveryDigit) {
    s.radius = 2e-13;
    open();
    enter("Text3", "-0.228155493653961819214572014099126");
    enter("Text1", "1000");
    gh->Command1_Click();
    EXPECT_EQ(std::tie(requests, s.live.deep.magnification), std::tuple(1, " 1E+16"));
    // 19 digits at 1E+16
    EXPECT_EQ(std::tie(s.live.deep.centerX, s.live.deep.centerY), std::tuple("-.2281554936539618192", " 0"));
}

}  // namespace
}  // namespace qel
