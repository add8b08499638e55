#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/captions.h"
#include "app/first_drawing.h"

using namespace qel;

TEST(ProgramFolder, EndsInExactlyOneSeparator) {
    const char* cases[][3] = {{"/opt/qel", "/", "/opt/qel/"}, {"/", "/", "/"}, {"C:\\qel", "\\", "C:\\qel\\"}};
    for (auto& [folder, separator, expected] : cases)
        EXPECT_EQ(folderWithSeparator(folder, separator), expected) << folder;
}

// The journeys see the view texts of Mandelbrot and Julia drawings; a
// magnification below 1 they do not.
TEST(Captions, AMagnificationBelowOneIsWrittenAsItsNumberText) {
    AppState s;
    setStartValues(s);
    s.live.centerX = -0.75;
    s.live.centerY = 0.1;
    s.radius = 4;
    s.pointLabel = pointLabelFor(s);
    EXPECT_EQ(requestViewInfo(s), "M: 中心(-0.75 , 0.1): 倍率0.5:");
    EXPECT_EQ(retitleViewInfo(s, 0.5), "M: 中心(-0.75　,　0.1): 倍率0.5:");
}
