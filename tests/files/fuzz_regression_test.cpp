// Cases the fuzzing of the file-name decoder found.
#include <gtest/gtest.h>

#include <cfloat>

#include "files/file_name.h"

namespace qel {
namespace {

AppState startState() {
    AppState s;
    setStartValues(s);
    return s;
}

TEST(FileNameDecoding, RefusesAMagnificationWhoseRadiusNoDoubleHolds) {
    // 2 / 1E-308 is beyond the largest double, 2 / 1.7E+308 below the
    // smallest normal one: neither view could be drawn or zoomed into.
    EXPECT_FALSE(decodeFileName("M0s1E-308x0y0k500t1.bmp"));
    EXPECT_FALSE(decodeFileName("M0s4p9E-324x0y0k500t1.bmp"));
    EXPECT_FALSE(decodeFileName("J0s1p7E+308x0y0z0w0k500t1.bmp"));
    EXPECT_TRUE(decodeFileName("M0s1E-300x0y0k500t1.bmp"));
    EXPECT_TRUE(decodeFileName("M0s1E+300x0y0k500t1.bmp"));
}

TEST(FileNameDecoding, AToolOpeningSuchANameKeepsItsView) {
    AppState s = startState();
    EXPECT_FALSE(viewFromFileName("M2s1E-320x0p5y0k500t1.bmp", s));
    EXPECT_EQ(s.radius, 2.0);
    EXPECT_EQ(s.centerX, 0.0);
    EXPECT_EQ(s.drawMethod, 0);
}

TEST(FileNameEncoding, TheLargestCentreSurvivesSavingAndOpening) {
    const std::string name = "M0s1x1p79769313486232E+308y-1p79769313486232E+308k500t1.bmp";
    const auto view = decodeFileName(name);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->centerX, DBL_MAX);
    EXPECT_EQ(view->centerY, -DBL_MAX);
    AppState s = startState();
    s.curCenterX = view->centerX;
    s.curCenterY = view->centerY;
    EXPECT_EQ(composeFileName(s, view->magText, "1"), name);
}

}  // namespace
}  // namespace qel
