// The whole start-up in process: the real windows on the offscreen platform.
// The first drawing's title and colours, the missing manual and the program
// folder are pinned by the journeys; this is what they do not look at.
#include "journeys/journey_fixture.h"

namespace qel {
namespace {

using ProgramStart = JourneyTest;

TEST_F(ProgramStart, AFixed800By600WindowDrawsTheStartViewBesideAHiddenFilledDialog) {
    start();
    MainWindow& fm5 = qel->mainWindow();
    EXPECT_EQ(fm5.frameGeometry(), QRect(0, 0, 800, 600));
    EXPECT_EQ(fm5.minimumSize(), fm5.maximumSize());  // not resizable
    EXPECT_FALSE(gh().isVisible());
    EXPECT_EQ(fieldText("Text8"), " 500");
    EXPECT_TRUE(control<QRadioButton>("Option15")->isChecked());
    EXPECT_EQ(s().picW, 800);
    EXPECT_EQ(s().picH, 600);
    EXPECT_EQ(p().picture1.width(), 1600);
    EXPECT_EQ(p().picture1.height(), 1200);
    EXPECT_EQ(s().firstDrawing, 0);
    EXPECT_EQ(s().prevAvail, 0);
    EXPECT_EQ(s().busy, 0);
    EXPECT_EQ(platform->beeps, 1);
    EXPECT_TRUE(platform->messages.empty());
    // the live, cur and prev layers still describe the start view
    EXPECT_EQ(s().curMagText, "1");
    EXPECT_EQ(s().prevMagText, " 1");
    EXPECT_EQ(s().curCenterX, 0.0);
    EXPECT_EQ(s().prevMaxIter, 500.0);
}

}  // namespace
}  // namespace qel
