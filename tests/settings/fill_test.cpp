// The dialog as start-up leaves it, its fill on every opening and the
// captions and hints of the three modes.
#include "dialog_fixture.h"

namespace qel {
namespace {

using FillTest = DialogTest;

TEST_F(FillTest, StartUpLeavesTheStartValuesInTheFields) {
    EXPECT_EQ(gh->windowTitle().toStdString(), "画面設定");
    EXPECT_EQ(text("Text1"), "8");
    EXPECT_EQ(text("Text7"), "8");
    EXPECT_EQ(text("Text2"), "1");
    for (const char* name : {"Text3", "Text5", "Text4", "Text6"}) EXPECT_EQ(text(name), "0") << name;
    EXPECT_EQ(text("Text8"), " 500");
    EXPECT_EQ(text("Text9"), "1");
    for (const char* name : {"Option16", "Option15", "Option9"}) EXPECT_TRUE(option(name)->isChecked()) << name;
    for (const char* name : {"Option10", "Option2", "Option7"}) EXPECT_FALSE(option(name)->isChecked()) << name;
    for (const char* name : {"Check1", "Check2", "Check3", "Check4", "Check5"})
        EXPECT_FALSE(box(name)->isChecked()) << name;

    // the first opening: the default zoom keeps its blank, as its preset is selected already
    open();
    EXPECT_EQ(text("Text1"), " 8");
    EXPECT_EQ(s.zoom, 8.0);
    EXPECT_TRUE(field("Text1")->hasFocus());
}

TEST_F(FillTest, MandelbrotFillShowsTheNewAndTheCurrentCentre) {
    s.centerX = -0.5;
    s.centerY = 0.25;
    s.curCenterX = 1.5;
    s.curCenterY = -1;
    s.radius = 0.25;
    field("Text1")->setText("3");  // no zoom preset selected
    s.zoom = 3;
    s.maxIter = 1000;
    s.contourT = 2.5f;
    s.drawMethod = 3;
    gh->fill();
    EXPECT_EQ(text("Text3"), "-0.5");
    EXPECT_EQ(text("Text5"), "0.25");
    EXPECT_EQ(text("Text4"), "1.5");
    EXPECT_EQ(text("Text6"), "-1");
    EXPECT_EQ(text("Text1"), "8");  // " 8" selects "8倍", whose handler writes "8"
    EXPECT_EQ(s.zoom, 8.0);
    EXPECT_EQ(text("Text7"), "64");
    EXPECT_EQ(text("Text2"), "8");
    EXPECT_EQ(text("Text8"), " 1000");
    EXPECT_EQ(text("Text9"), "2.5");
    EXPECT_EQ(caption("Label4"), "新中心(");
    EXPECT_EQ(caption("Label5"), "現中心(");
    EXPECT_EQ(tip("Command2"), kMandelbrotRows.command2Tip);
    EXPECT_TRUE(option("Option5")->isChecked());
    EXPECT_EQ(s.drawMethod, 3);
}

TEST_F(FillTest, CheckedKeepZoomKeepsTheLastZoomFactor) {
    box("Check5")->setChecked(true);
    field("Text1")->setText("4");
    s.zoom = 4;
    gh->fill();
    EXPECT_EQ(text("Text1"), "4");
    EXPECT_EQ(s.zoom, 4.0);
    EXPECT_EQ(text("Text7"), "4");
}

// The Julia handler runs after the row texts: its hint stays for Label4,
// the fill's own comes back for Command2. Chosen already, it does not run.
TEST_F(FillTest, ConstantPickFillRunsTheJuliaHandlerOnlyWhenJuliaIsNewlyChosen) {
    s.isJulia = kYes;
    s.radius = 0.25;  // magnification 8 on screen
    gh->fill();
    EXPECT_TRUE(option("Option10")->isChecked());
    EXPECT_FALSE(option("Option9")->isChecked());
    EXPECT_EQ(caption("Label4"), "定数項(");
    EXPECT_EQ(tip("Label4"), kConstantPickRowsOnChoice.label4Tip);
    EXPECT_EQ(tip("Command2"), kConstantPickRows.command2Tip);
    EXPECT_EQ(text("Text7"), "1");
    EXPECT_EQ(text("Text1"), "0.125");
    EXPECT_EQ(s.zoom, 0.125);
    EXPECT_FALSE(field("Text1")->isEnabled());
    EXPECT_FALSE(option("Option14")->isEnabled());

    gh->fill();
    EXPECT_EQ(tip("Label4"), kConstantPickRows.label4Tip);
    EXPECT_EQ(tip("Label5"), kConstantPickRows.label5Tip);
}

TEST_F(FillTest, OverAJuliaPictureTheSecondRowShowsTheConstant) {
    s.isJulia = s.curIsJulia = s.juliaStarted = kYes;
    s.juliaRe = -0.75;
    s.juliaIm = 0.1;
    s.curJuliaRe = 0.3;  // the fill shows the live constant
    s.curJuliaIm = -0.5;
    option("Option10")->setChecked(true);  // so that its handler does not run
    gh->fill();
    EXPECT_EQ(caption("Label4"), "拡大点(");
    EXPECT_EQ(caption("Label5"), "定数項(");
    EXPECT_EQ(text("Text4"), "-0.75");
    EXPECT_EQ(text("Text6"), "0.1");
    EXPECT_EQ(tip("Label5"), kJuliaZoomRows.label5Tip);
    EXPECT_TRUE(field("Text1")->isEnabled());

    // choosing Julia again shows the shown picture's constant and clears "keep zoom"
    option("Option9")->select();
    box("Check5")->setChecked(true);
    option("Option10")->select();
    EXPECT_EQ(s.isJulia, kYes);
    EXPECT_FALSE(box("Check5")->isChecked());
    EXPECT_EQ(text("Text4"), "0.3");
    EXPECT_EQ(text("Text6"), "-0.5");
    EXPECT_EQ(caption("Label4"), "拡大点(");
}

TEST_F(FillTest, MandelbrotBackOnScreenSelectsOption9AndZoomsByOne) {
    option("Option10")->setChecked(true);
    s.radius = 0.5;
    gh->fill();
    EXPECT_TRUE(option("Option9")->isChecked());
    EXPECT_EQ(s.zoom, 1.0);
    EXPECT_EQ(text("Text1"), "1");
    EXPECT_EQ(text("Text7"), "4");
    EXPECT_TRUE(option("Option13")->isChecked());
}

TEST_F(FillTest, ChoosingJuliaLocksTheZoomAndMandelbrotUnlocksItButFillDoesNot) {
    const auto zoomControls = {"Text7", "Frame5", "Text1", "Option13", "Option14", "Option15", "Option1"};
    field("Text2")->setText("8");
    option("Option10")->select();
    EXPECT_EQ(text("Text1"), "0.125");
    for (const char* name : zoomControls) EXPECT_FALSE(control(name)->isEnabled()) << name;
    option("Option9")->select();
    EXPECT_EQ(s.isJulia, kNo);
    EXPECT_EQ(s.zoom, 1.0);
    EXPECT_EQ(text("Text7"), "8");
    for (const char* name : zoomControls) EXPECT_TRUE(control(name)->isEnabled()) << name;

    // what the mouse was left to choose stays locked
    option("Option10")->select();
    gh->Command2_Click();
    gh->fill();
    for (const char* name : zoomControls) EXPECT_FALSE(control(name)->isEnabled()) << name;
}

TEST_F(FillTest, FontSizeReachesLabelsFieldsAndButtons) {
    gh->setFontPointSize(7);
    for (const char* name : {"Label13", "Label19", "Text1", "Option16", "Check3", "Command2", "Frame1"})
        EXPECT_EQ(control(name)->font().pointSize(), 7) << name;
}

}  // namespace
}  // namespace qel
