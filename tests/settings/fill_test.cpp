// The dialog as start-up leaves it and its fill on every opening, in the
// Mandelbrot, constant-pick and Julia-zoom modes.
#include "dialog_fixture.h"

namespace qel {
namespace {

using FillTest = DialogTest;

// The default zoom keeps its blank, as its preset is selected already.
TEST_F(FillTest, TheFirstOpeningShowsTheStartValuesAndFocusesTheZoomFactor) {
    EXPECT_EQ(text("Text8"), " 500");
    EXPECT_TRUE(option("Option9")->isChecked());
    open();
    EXPECT_EQ(std::tuple(text("Text1"), s.zoom, field("Text1")->hasFocus()), std::tuple(" 8", 8.0, true));
}

TEST_F(FillTest, MandelbrotFillShowsTheNewAndTheCurrentCentreAndResetsTheZoom) {
    s.live.centerX = -0.5;
    s.cur.centerX = 1.5;
    s.radius = 0.25;
    field("Text1")->setText("3");  // no zoom preset selected
    s.zoom = 3;
    gh->fill();
    EXPECT_EQ(std::tuple(text("Text3"), text("Text4")), std::tuple("-0.5", "1.5"));
    EXPECT_EQ(std::tuple(text("Text1"), text("Text7")), std::tuple("8", "64"));  // " 8" selects "8倍", which writes "8"

    // with "keep zoom" checked the last zoom factor stays
    box("Check5")->setChecked(true);
    field("Text1")->setText("4");
    s.zoom = 4;
    gh->fill();
    EXPECT_EQ(std::tuple(text("Text1"), s.zoom), std::tuple("4", 4.0));
}

// The Julia handler runs after the row texts; chosen already, it does not run.
TEST_F(FillTest, ConstantPickFillRunsTheJuliaHandlerOnlyWhenJuliaIsNewlyChosen) {
    s.live.isJulia = kYes;
    s.radius = 0.25;  // magnification 8 on screen
    gh->fill();
    EXPECT_EQ(std::tuple(tip("Label4"), s.zoom), std::tuple(kConstantPickRowsOnChoice.label4Tip, 0.125));
    gh->fill();
    EXPECT_EQ(tip("Label4"), kConstantPickRows.label4Tip);
}

TEST_F(FillTest, OverAJuliaPictureTheSecondRowShowsTheConstant) {
    s.live.isJulia = s.cur.isJulia = s.live.juliaStarted = kYes;
    s.live.juliaRe = -0.75;
    s.cur.juliaRe = 0.3;  // the fill shows the live constant
    option("Option10")->setChecked(true);  // so that its handler does not run
    gh->fill();
    EXPECT_EQ(text("Text4"), "-0.75");

    // choosing Julia again shows the shown picture's constant and clears "keep zoom"
    option("Option9")->select();
    box("Check5")->setChecked(true);
    option("Option10")->select();
    EXPECT_FALSE(box("Check5")->isChecked());
    EXPECT_EQ(text("Text4"), "0.3");
}

TEST_F(FillTest, ChoosingJuliaLocksTheZoomAndMandelbrotUnlocksItButFillDoesNot) {
    const auto zoomControls = {"Text7", "Text1", "Option13", "Option1"};
    field("Text2")->setText("8");
    option("Option10")->select();
    for (const char* name : zoomControls) EXPECT_FALSE(control(name)->isEnabled()) << name;
    option("Option9")->select();
    EXPECT_EQ(s.zoom, 1.0);
    for (const char* name : zoomControls) EXPECT_TRUE(control(name)->isEnabled()) << name;

    // what the mouse was left to choose stays locked
    option("Option10")->select();
    gh->Command2_Click();
    gh->fill();
    for (const char* name : zoomControls) EXPECT_FALSE(control(name)->isEnabled()) << name;
}

}  // namespace
}  // namespace qel
