#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/captions.h"
#include "app/first_drawing.h"

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
    EXPECT_EQ(s.curCenterX, 0.0);
    EXPECT_EQ(s.prevCenterY, 0.0);
    EXPECT_EQ(s.curMaxIter, 500.0);
    EXPECT_EQ(s.prevMaxIter, 500.0);
    EXPECT_EQ(s.curContourT, 1.0f);
    EXPECT_EQ(s.prevMethod, 0);
    EXPECT_EQ(s.prevIsJulia, 0);
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
    const char* cases[][3] = {{"/opt/qel", "/", "/opt/qel/"},
                              {"/opt/qel/", "/", "/opt/qel/"},
                              {"/", "/", "/"},
                              {"C:\\", "\\", "C:\\"},
                              {"C:\\qel", "\\", "C:\\qel\\"}};
    for (auto& [folder, separator, expected] : cases)
        EXPECT_EQ(folderWithSeparator(folder, separator), expected) << folder;
}

TEST(FontScaling, NinePointsAtNinetySixDotsPerInch) {
    EXPECT_EQ(baseFontPoints(15), 9);
    EXPECT_EQ(baseFontPoints(12), 7);
}

TEST(Captions, ViewTextsOfAJuliaDrawingRequestAndOfASmallMagnification) {
    AppState s;
    setStartValues(s);
    s.isJulia = s.juliaStarted = -1;
    s.centerY = 0.25;
    s.radius = 2.0 / 64;
    s.pointLabel = pointLabelFor(s);
    EXPECT_EQ(requestViewInfo(s), "J: 中心(0 , 0.25): 倍率64:");

    s.juliaStarted = 0;  // the constant is still to be picked
    s.centerX = -0.75;
    s.centerY = 0.1;
    s.pointLabel = pointLabelFor(s);
    EXPECT_EQ(requestViewInfo(s), "J: 定数項(-0.75 , 0.1): 初期倍率:");

    s.isJulia = 0;
    s.radius = 4;
    s.pointLabel = pointLabelFor(s);
    EXPECT_EQ(requestViewInfo(s), "M: 中心(-0.75 , 0.1): 倍率0.5:");
    EXPECT_EQ(retitleViewInfo(s, 0.5), "M: 中心(-0.75　,　0.1): 倍率0.5:");
}

TEST(Captions, ClickHintsCarryTheZoomAsNumberText) {
    EXPECT_EQ(zoomHint(0.125), "  Clickするとそこを中心に0.125倍に拡大描画します:");
    EXPECT_EQ(mandelbrotZoomHint(1), "  Clickするとそこを中心とするMandelbrot集合を1倍に拡大描画します:");
}
