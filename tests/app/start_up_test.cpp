#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/captions.h"
#include "app/first_drawing.h"
#include "app/number_text.h"

using namespace qel;

TEST(StartValues, LiveCurAndPrevLayersDescribeTheSameStartView) {
    AppState s;
    s.centerX = 3;  // leftovers of an earlier run must not survive
    s.busy = -1;
    setStartValues(s);
    EXPECT_EQ(s.centerX, 0.0);
    EXPECT_EQ(s.busy, 0);
    EXPECT_EQ(s.radius, 2.0);
    EXPECT_EQ(s.initialRadius, 2.0);
    EXPECT_EQ(s.maxIter, 500.0);
    EXPECT_EQ(s.contourT, 1.0f);
    EXPECT_EQ(s.zoom, 8.0);
    EXPECT_EQ(s.lineStep, -1);
    EXPECT_EQ(s.coarseLineStep, -10);
    EXPECT_EQ(s.zoomEditable, -1);
    EXPECT_EQ(s.fileNameOk, 1);
    for (const AppState* l : {&s}) {
        EXPECT_EQ(l->curCenterX, l->centerX);
        EXPECT_EQ(l->prevCenterY, l->centerY);
        EXPECT_EQ(l->curMaxIter, 500.0);
        EXPECT_EQ(l->prevMaxIter, 500.0);
        EXPECT_EQ(l->curContourT, 1.0f);
        EXPECT_EQ(l->prevMethod, 0);
        EXPECT_EQ(l->prevIsJulia, 0);
    }
    EXPECT_EQ(s.curMagText, " 1");
    EXPECT_EQ(s.prevMagText, " 1");
}

TEST(StartValues, SnapshotMovesCurIntoPrevAndLiveIntoCur) {
    AppState s;
    setStartValues(s);
    s.centerX = -0.5;
    s.maxIter = 1000;
    s.drawMethod = 3;
    snapshotView(s, "8");
    EXPECT_EQ(s.curCenterX, -0.5);
    EXPECT_EQ(s.curMaxIter, 1000.0);
    EXPECT_EQ(s.curMethod, 3);
    EXPECT_EQ(s.curMagText, "8");
    EXPECT_EQ(s.prevCenterX, 0.0);
    EXPECT_EQ(s.prevMagText, " 1");
    s.centerX = 0.25;
    snapshotView(s, "64");
    EXPECT_EQ(s.prevCenterX, -0.5);
    EXPECT_EQ(s.prevMagText, "8");
    EXPECT_EQ(s.prevMethod, 3);
}

TEST(ProgramFolder, EndsInExactlyOneSeparator) {
    EXPECT_EQ(folderWithSeparator("/opt/qel", "/"), "/opt/qel/");
    EXPECT_EQ(folderWithSeparator("/opt/qel/", "/"), "/opt/qel/");
    EXPECT_EQ(folderWithSeparator("/", "/"), "/");
    EXPECT_EQ(folderWithSeparator("C:\\", "\\"), "C:\\");
    EXPECT_EQ(folderWithSeparator("C:\\qel", "\\"), "C:\\qel\\");
}

TEST(FontScaling, NinePointsAtNinetySixDotsPerInch) {
    EXPECT_EQ(baseFontPoints(15), 9);
    EXPECT_EQ(baseFontPoints(12), 7);
    EXPECT_EQ(static_cast<int>(baseFontPoints(15) * 1.3), 11);
    EXPECT_EQ(static_cast<int>(baseFontPoints(12) * 1.3), 9);
}

TEST(Captions, ViewTextsOfTheDrawingRequest) {
    AppState s;
    setStartValues(s);
    EXPECT_EQ(firstViewInfo(s), " 中心(0 , 0): 倍率1:");

    s.centerX = -0.5;
    s.radius = 0.25;
    s.pointLabel = pointLabelFor(s);
    EXPECT_EQ(kDrawingPrefix + requestViewInfo(s) + kStopHint, "描画中: M: 中心(-0.5 , 0): 倍率8: 右Clickで中止:");

    s.isJulia = -1;
    s.juliaStarted = -1;
    s.centerX = 0;
    s.centerY = 0.25;
    s.radius = 2.0 / 64;
    s.pointLabel = pointLabelFor(s);
    EXPECT_EQ(kDrawingPrefix + requestViewInfo(s) + kStopHint, "描画中: J: 中心(0 , 0.25): 倍率64: 右Clickで中止:");

    s.juliaStarted = 0;
    s.centerX = -0.75;
    s.centerY = 0.1;
    s.pointLabel = pointLabelFor(s);
    EXPECT_EQ(kDrawingPrefix + requestViewInfo(s) + kStopHint,
              "描画中: J: 定数項(-0.75 , 0.1): 初期倍率: 右Clickで中止:");

    s.isJulia = 0;
    s.radius = 4;
    s.pointLabel = pointLabelFor(s);
    EXPECT_NE(requestViewInfo(s).find("倍率0.5:"), std::string::npos);
    EXPECT_EQ(retitleViewInfo(s, 0.5), "M: 中心(-0.75　,　0.1): 倍率0.5:");
}

TEST(Captions, ClickHintsCarryTheZoomAsNumberText) {
    EXPECT_EQ(zoomHint(8), "  Clickするとそこを中心に8倍に拡大描画します:");
    EXPECT_EQ(zoomHint(0.125), "  Clickするとそこを中心に0.125倍に拡大描画します:");
    EXPECT_EQ(mandelbrotZoomHint(1), "  Clickするとそこを中心とするMandelbrot集合を1倍に拡大描画します:");
    EXPECT_EQ(rightButtonHint(true), " 右Clickで他画面: 右W-ClickでMenu:");
    EXPECT_EQ(rightButtonHint(false), " 右ClickでMenu:");
}
