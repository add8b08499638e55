#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/captions.h"
#include "app/first_drawing.h"

using namespace qel;

// The start values are seen where they are used: in the dialog's fields
// (tests/settings), the first drawing and its title (the journeys), and the
// layers after it (program_start_test.cpp). The snapshot of the view into
// the cur and prev layers is seen through going back to the previous screen
// (tests/view).

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

// The journeys see the view texts of Mandelbrot and Julia drawings; a
// magnification below 1 they do not.
TEST(Captions, AMagnificationBelowOneIsWrittenAsItsNumberText) {
    AppState s;
    setStartValues(s);
    s.centerX = -0.75;
    s.centerY = 0.1;
    s.radius = 4;
    s.pointLabel = pointLabelFor(s);
    EXPECT_EQ(requestViewInfo(s), "M: 中心(-0.75 , 0.1): 倍率0.5:");
    EXPECT_EQ(retitleViewInfo(s, 0.5), "M: 中心(-0.75　,　0.1): 倍率0.5:");
}

TEST(Captions, ClickHintsCarryTheZoomAsNumberText) {
    EXPECT_EQ(zoomHint(0.125), "  Clickするとそこを中心に0.125倍に拡大描画します:");
    EXPECT_EQ(mandelbrotZoomHint(1), "  Clickするとそこを中心とするMandelbrot集合を1倍に拡大描画します:");
}
