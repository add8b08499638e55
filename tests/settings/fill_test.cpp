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
    for (const char* name : {"Option10", "Option13", "Option14", "Option1", "Option2", "Option7"})
        EXPECT_FALSE(option(name)->isChecked()) << name;
    for (const char* name : {"Check1", "Check2", "Check3", "Check4", "Check5"})
        EXPECT_FALSE(box(name)->isChecked()) << name;
    EXPECT_EQ(s.zoom, 8.0);
    EXPECT_EQ(s.lineStep, -1);
}

TEST_F(FillTest, ControlsCarryTheirCaptionsAndTips) {
    EXPECT_EQ(control<QGroupBox>("Frame1")->title().toStdString(), "画面分割");
    EXPECT_EQ(option("Option16")->text().toStdString(), "４分割画面");
    EXPECT_EQ(option("Option1")->text().toStdString(), "16倍");
    EXPECT_EQ(box("Check4")->text().toStdString(), "10ラインごとの粗表示");
    EXPECT_EQ(caption("Label13"), "=t  等高線間隔+明暗 (");
    EXPECT_EQ(caption("Label19"), "5 )");
    EXPECT_EQ(caption("Label6"), "）");
    for (const char* name : {"Frame5", "Frame3", "Frame2", "Label12", "Text6", "Option11"}) EXPECT_NE(control(name), nullptr);

    const std::string iterationTip =
        "反復計算の最大値を決定します.大きいほど画像は正確鮮明になりますが描画速度が落ちます.既定値=500";
    EXPECT_EQ(tip("Label11"), iterationTip);
    EXPECT_EQ(tip("Text8"), iterationTip);
    EXPECT_EQ(tip("Text9"), tip("Label13"));
    EXPECT_EQ(tip("Check5"), "未チェックのときは描画終了ごとに次の倍率は8倍になります");
    EXPECT_EQ(tip("Text1"), "次の描画倍率を決めます.");
    EXPECT_EQ(tip("Label1"), "次の描画倍率を決めます");
}

TEST_F(FillTest, FirstShowingPutsTheFocusIntoTheZoomFactor) {
    open();
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
    EXPECT_EQ(tip("Label5"), "現画像内の中心座標");
    EXPECT_EQ(tip("Command2"), "以上の設定のうち拡大したい点はマウスの指示で決定して描画開始(不適な設定は変更されることあり)");
    EXPECT_TRUE(option("Option5")->isChecked());
    EXPECT_EQ(s.drawMethod, 3);
}

TEST_F(FillTest, DefaultZoomKeepsItsBlankWhenItsPresetIsSelectedAlready) {
    gh->fill();
    EXPECT_EQ(text("Text1"), " 8");
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

TEST_F(FillTest, ConstantPickFillRunsTheJuliaHandlerWithItsOwnHints) {
    s.isJulia = kYes;
    s.radius = 0.25;  // magnification 8 on screen
    gh->fill();
    EXPECT_TRUE(option("Option10")->isChecked());
    EXPECT_FALSE(option("Option9")->isChecked());
    EXPECT_EQ(caption("Label4"), "定数項(");
    // The handler ran after the row texts: its hint stays for Label4, the
    // fill's own comes back for Command2.
    EXPECT_EQ(tip("Label4"), "漸化式Z(n+1)=Z(n)+Zc の定数項Zcを入力.マウスで指示する場合は｢閉じる｣ボタンを押す.");
    EXPECT_EQ(tip("Command2"), "以上の設定のうち定数項Zcはマウスの指示で決定して描画開始(不適な設定は変更されることあり)");
    EXPECT_EQ(text("Text7"), "1");
    EXPECT_EQ(text("Text1"), "0.125");
    EXPECT_EQ(s.zoom, 0.125);
    EXPECT_FALSE(field("Text1")->isEnabled());
    EXPECT_FALSE(option("Option14")->isEnabled());
}

TEST_F(FillTest, ConstantPickFillWithJuliaChosenAlreadyKeepsTheFillHints) {
    option("Option10")->setChecked(true);
    s.isJulia = kYes;
    gh->fill();
    EXPECT_EQ(tip("Label4"), "漸化式Z(n+1)=Z(n)･Z(n)+Zc の定数項Zcを入力.マウスで指示する場合は｢閉じる｣ボタンを押す.");
    EXPECT_EQ(tip("Label5"), "現画像の中心座標");
}

TEST_F(FillTest, JuliaZoomFillShowsTheConstantInTheSecondRow) {
    s.isJulia = s.curIsJulia = kYes;
    s.juliaStarted = kYes;
    s.juliaRe = -0.75;
    s.juliaIm = 0.1;
    s.curJuliaRe = 9;  // the fill shows the live constant
    option("Option10")->setChecked(true);  // so that its handler does not run
    gh->fill();
    EXPECT_EQ(caption("Label4"), "拡大点(");
    EXPECT_EQ(caption("Label5"), "定数項(");
    EXPECT_EQ(text("Text4"), "-0.75");
    EXPECT_EQ(text("Text6"), "0.1");
    EXPECT_EQ(tip("Label5"),
              "漸化式Z(n+1)=Z(n)･Z(n)+Zc の定数項Zc.これの変更は下欄のMandelbrot集合を選択,描画してからでないとできません");
    EXPECT_TRUE(field("Text1")->isEnabled());
}

TEST_F(FillTest, ChoosingJuliaOverAJuliaPictureShowsTheShownConstantAndClearsKeepZoom) {
    s.curIsJulia = kYes;
    s.curJuliaRe = 0.3;
    s.curJuliaIm = -0.5;
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

TEST_F(FillTest, ChoosingJuliaLocksTheZoomAndMandelbrotUnlocksIt) {
    field("Text2")->setText("8");
    option("Option10")->select();
    EXPECT_EQ(text("Text1"), "0.125");
    for (const char* name : {"Text7", "Frame5", "Text1", "Option13", "Option14", "Option15", "Option1"})
        EXPECT_FALSE(control(name)->isEnabled()) << name;
    option("Option9")->select();
    EXPECT_EQ(s.isJulia, kNo);
    EXPECT_EQ(s.zoom, 1.0);
    EXPECT_EQ(text("Text7"), "8");
    for (const char* name : {"Text7", "Frame5", "Text1", "Option13", "Option14", "Option15", "Option1"})
        EXPECT_TRUE(control(name)->isEnabled()) << name;
}

TEST_F(FillTest, FillNeverUnlocksWhatTheMouseWasLeftToChoose) {
    option("Option10")->select();
    gh->Command2_Click();
    EXPECT_EQ(s.zoomEditable, kNo);
    gh->fill();
    EXPECT_FALSE(field("Text1")->isEnabled());
    EXPECT_FALSE(field("Text7")->isEnabled());
}

TEST_F(FillTest, FontSizeReachesLabelsFieldsAndButtons) {
    gh->setFontPointSize(7);
    for (const char* name : {"Label13", "Label19", "Text1", "Option16", "Check3", "Command2", "Frame1"})
        EXPECT_EQ(control(name)->font().pointSize(), 7) << name;
}

}  // namespace
}  // namespace qel
