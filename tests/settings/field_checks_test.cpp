// Fields checked as they lose the focus, presets that follow typed values,
// the label shortcuts, check boxes and method buttons, worked through the
// widgets of a shown dialog.
#include <cmath>

#include "dialog_fixture.h"

namespace qel {
namespace {

class FieldCheckTest : public DialogTest {
protected:
    void SetUp() override { open(); }

    // The one message shown so far must be this refusal.
    void expectRefusal(const std::string& message, const std::string& title) {
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, message);
        EXPECT_EQ(platform.messages[0].title, title);
        EXPECT_EQ(platform.messages[0].style, kMsgNoIcon);
    }
};

TEST_F(FieldCheckTest, ZoomFactorTakesAnyPositiveNumber) {
    field("Text2")->setText("2");
    type("Text1", "2.5");
    moveFocusTo("Text3");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(s.zoom, 2.5);
    EXPECT_EQ(text("Text7"), "5");
    EXPECT_TRUE(field("Text3")->hasFocus());
}

TEST_F(FieldCheckTest, ZoomFactorRefusesZeroWordsAndOverflowAndTakesTheFocusBack) {
    field("Text2")->setText("2");
    for (const char* entry : {"0", "abc", "1e999"}) {
        platform.messages.clear();
        field("Text7")->setText("32");
        paste("Text1", entry);
        moveFocusTo("Text3");
        expectRefusal("正整数を入れて下さい", "現画面を□倍に拡大");
        EXPECT_EQ(text("Text1"), "16") << entry;  // new magnification / shown one
        EXPECT_TRUE(field("Text1")->hasFocus()) << entry;
        // The refilled text selects "16倍", whose handler takes it.
        EXPECT_EQ(s.zoom, 16.0);
    }
}

TEST_F(FieldCheckTest, NewMagnificationFromOneTenthSetsTheZoom) {
    field("Text2")->setText("4");
    type("Text7", "0.1");
    moveFocusTo("Text3");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(s.zoom, 0.1 / 4);
    EXPECT_EQ(text("Text1"), "0.025");

    type("Text7", "0.09");
    moveFocusTo("Text3");
    expectRefusal("桁あふれエラーを避けるために 0.1 以上の正数を入れて下さい", "初期画面からの新倍率");
    EXPECT_EQ(text("Text7"), "0.1");
    EXPECT_TRUE(field("Text7")->hasFocus());
    EXPECT_EQ(s.zoom, 0.1 / 4);
}

TEST_F(FieldCheckTest, CoordinatesStayWithinFour) {
    for (const char* entry : {"4", "-4"}) {
        type("Text3", entry);
        moveFocusTo("Text5");
        EXPECT_EQ(s.centerX, std::stod(entry));
    }
    type("Text3", "4.001");
    moveFocusTo("Text5");
    expectRefusal("桁あふれエラーを避けるために -4～4 の値を入れて下さい", "x座標");
    EXPECT_EQ(text("Text3"), "-4");
    EXPECT_EQ(s.centerX, -4.0);

    platform.messages.clear();
    type("Text5", "-7");
    moveFocusTo("Text3");
    expectRefusal("桁あふれエラーを避けるために -4～4 の値を入れて下さい", "y座標");
    EXPECT_EQ(text("Text5"), "0");
    EXPECT_TRUE(field("Text5")->hasFocus());
}

TEST_F(FieldCheckTest, IterationCountTakesWholePositiveNumbersAndSelectsItsPreset) {
    type("Text8", "1000");
    moveFocusTo("Text9");
    EXPECT_EQ(s.maxIter, 1000.0);
    EXPECT_TRUE(option("Option7")->isChecked());

    type("Text8", "500");
    moveFocusTo("Text9");
    EXPECT_EQ(s.maxIter, 500.0);
    for (const char* name : {"Option2", "Option7", "Option8", "Option11"}) EXPECT_FALSE(option(name)->isChecked());

    for (const char* entry : {"2.5", "-3", "0"}) {
        platform.messages.clear();
        type("Text8", entry);
        moveFocusTo("Text9");
        expectRefusal("正整数を入れて下さい", "計算回数");
        EXPECT_EQ(text("Text8"), " 500") << entry;
        EXPECT_TRUE(field("Text8")->hasFocus());
    }
    EXPECT_EQ(s.maxIter, 500.0);
}

TEST_F(FieldCheckTest, ContourIntervalFromZeroToFive) {
    type("Text9", "5");
    moveFocusTo("Text8");
    EXPECT_EQ(s.contourT, 5.0f);
    type("Text9", "0.1");
    moveFocusTo("Text8");
    EXPECT_EQ(s.contourT, 0.1f);
    for (const char* entry : {"5.5", "-1"}) {
        platform.messages.clear();
        type("Text9", entry);
        moveFocusTo("Text8");
        expectRefusal("0～5の値を入れて下さい．既定値は1", "等高線間隔･明暗");
        EXPECT_EQ(text("Text9"), "0.1");
    }
}

TEST_F(FieldCheckTest, MessageBoxTakingTheActivationChecksNothingTwice) {
    // A real message box activates its own window: the focus leaves the
    // dialog's fields with the activation, which is no reason to check them.
    QWidget other;
    platform.onMessage = [&] {
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        other.hide();
        gh->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(gh.get()));
    };
    field("Text8")->setText("0");
    type("Text1", "0");
    moveFocusTo("Text8");
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(field("Text1")->hasFocus());
    EXPECT_EQ(text("Text8"), "0");
}

TEST_F(FieldCheckTest, SwitchingToAnotherWindowLeavesTheEditUnchecked) {
    paste("Text1", "0");
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(platform.messages.empty());
    gh->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(gh.get()));
    EXPECT_TRUE(field("Text1")->hasFocus());
    EXPECT_EQ(text("Text1"), "0");
}

TEST_F(FieldCheckTest, EnteringTheZoomFactorPutsTheCaretAtTheEnd) {
    field("Text1")->setText("16");
    field("Text1")->setCursorPosition(0);
    moveFocusTo("Text3");
    moveFocusTo("Text1");
    EXPECT_EQ(field("Text1")->cursorPosition(), 2);
}

TEST_F(FieldCheckTest, TypedValuesSelectTheirPresets) {
    type("Text1", "16");
    EXPECT_TRUE(option("Option1")->isChecked());
    EXPECT_EQ(s.zoom, 16.0);  // the preset's handler ran
    type("Text1", "5");
    for (const char* name : {"Option13", "Option14", "Option15", "Option1"}) EXPECT_FALSE(option(name)->isChecked());
    type("Text1", "4");
    field("Text1")->setText("-4");  // a value of 0 or less changes nothing
    EXPECT_TRUE(option("Option14")->isChecked());

    field("Text8")->setText("10000");
    EXPECT_TRUE(option("Option8")->isChecked());
    field("Text8")->setText("-5");
    EXPECT_TRUE(option("Option8")->isChecked());
    field("Text8")->setText("0");
    EXPECT_FALSE(option("Option8")->isChecked());
}

TEST_F(FieldCheckTest, PresetButtonsWriteFieldAndState) {
    field("Text2")->setText("3");
    option("Option14")->select();
    EXPECT_EQ(text("Text1"), "4");
    EXPECT_EQ(s.zoom, 4.0);
    EXPECT_EQ(text("Text7"), "12");

    option("Option7")->select();
    EXPECT_EQ(s.maxIter, 1000.0);
    EXPECT_EQ(text("Text8"), " 1000");
    option("Option2")->select();
    EXPECT_EQ(text("Text8"), "100");
}

TEST_F(FieldCheckTest, SelectingASelectedButtonRunsNothing) {
    option("Option14")->select();
    moveFocusTo("Check2");  // the zoom factor's check is done with
    s.zoom = 99;
    option("Option14")->select();
    QTest::mouseClick(option("Option14"), Qt::LeftButton, {}, QPoint(6, option("Option14")->height() / 2));
    EXPECT_EQ(s.zoom, 99.0);
    option("Option14")->clear();
    EXPECT_EQ(s.zoom, 99.0);
    QTest::mouseClick(option("Option14"), Qt::LeftButton, {}, QPoint(6, option("Option14")->height() / 2));
    EXPECT_EQ(s.zoom, 4.0);
}

TEST_F(FieldCheckTest, SwitchesForTimeLeftAndCoarsePreview) {
    click("Check1");
    EXPECT_EQ(s.showTimeLeft, kYes);
    click("Check4");
    EXPECT_EQ(s.lineStep, -10);
    click("Check1");
    click("Check4");
    EXPECT_EQ(s.showTimeLeft, kNo);
    EXPECT_EQ(s.lineStep, -1);
}

TEST_F(FieldCheckTest, DigitLabelsSetTheContourInterval) {
    field("Text9")->setText("3.0");
    click("Label17");
    EXPECT_EQ(text("Text9"), "3");
    EXPECT_EQ(s.contourT, 3.0f);
    s.contourT = 2.0f;
    click("Label17");  // reads exactly 3 already
    EXPECT_EQ(s.contourT, 2.0f);
    click("Label14");
    EXPECT_EQ(s.contourT, 0.0f);
    click("Label19");
    EXPECT_EQ(text("Text9"), "5");
}

TEST_F(FieldCheckTest, LabelShortcutsChangeOnlyTheTexts) {
    s.centerX = 1;
    field("Text3")->setText("1");
    field("Text5")->setText("2");
    click("Label4");
    EXPECT_EQ(text("Text3"), "0");
    EXPECT_EQ(text("Text5"), "0");
    EXPECT_EQ(s.centerX, 1.0);
    click("Label9");
    EXPECT_EQ(text("Text7"), "1");
    EXPECT_EQ(s.zoom, 8.0);
}

class MethodButtonTest : public DialogTest {
protected:
    MethodButtonTest() {
        s.halfW = 400;
        s.halfH = 300;
    }
};

TEST_F(MethodButtonTest, FullSizeDrawingShowsTheChosenQuadrant) {
    s.shownQuad = 1;
    struct Case {
        const char* button;
        int method, left, top;
    } cases[] = {{"Option6", 4, -800, -600}, {"Option4", 2, -800, 0}, {"Option5", 3, 0, -600}, {"Option3", 1, 0, 0}};
    int updates = 0;
    for (const Case& c : cases) {
        option(c.button)->select();
        EXPECT_EQ(s.drawMethod, c.method);
        EXPECT_EQ(s.shownMethod, c.method);
        EXPECT_EQ(picture1.left(), c.left) << c.button;
        EXPECT_EQ(picture1.top(), c.top) << c.button;
        EXPECT_EQ(platform.pictureUpdates, ++updates);
    }
}

TEST_F(MethodButtonTest, SplitScreenOrOpenedFileOnlyRecordsTheChoice) {
    option("Option5")->select();
    EXPECT_EQ(s.drawMethod, 3);
    EXPECT_EQ(s.shownMethod, 0);
    EXPECT_EQ(picture1.top(), 0);

    s.shownQuad = 2;
    s.singleImage = kYes;
    option("Option6")->select();
    EXPECT_EQ(s.drawMethod, 4);
    EXPECT_EQ(picture1.left(), 0);
    EXPECT_EQ(platform.pictureUpdates, 0);
}

TEST_F(MethodButtonTest, SplitScreenButtonResetsTheShownMethodOnlyOnASplitScreen) {
    s.shownQuad = 2;
    s.shownMethod = 2;
    gh->selectMethodOption(0);
    EXPECT_EQ(s.shownMethod, 2);
    gh->selectMethodOption(3);
    s.shownQuad = 0;
    gh->selectMethodOption(0);
    EXPECT_EQ(s.drawMethod, 0);
    EXPECT_EQ(s.shownMethod, 0);
    s.drawMethod = 7;
    gh->selectMethodOption(0);  // selected already: nothing runs
    EXPECT_EQ(s.drawMethod, 7);
}

}  // namespace
}  // namespace qel
