// Exploring as a person does: the first picture and zooms by clicks, a Julia
// set picked with a click and gone back from, saving and opening again.
#include "journey_fixture.h"

namespace qel {
namespace {

constexpr Colour kInteriorBlueAtZero = 127 * 65536;  // upper left at 0, t = 1
constexpr Colour kBlueBand = 255 * 65536;            // upper right, band 0
constexpr Colour kBlackBand = 0;                     // upper right, band 2 (the point -1)

// A fixed 800 x 600 window beside the hidden, filled dialog.
TEST_F(JourneyTest, StartShowsTheSplitStartViewAndZoomsThreeTimes) {
    start();
    EXPECT_EQ(qel->mainWindow().frameGeometry(), QRect(0, 0, 800, 600));
    EXPECT_FALSE(gh().isVisible());
    EXPECT_EQ(gh().findChild<QLineEdit*>("Text8")->text(), " 500");
    EXPECT_EQ(s().appPath, folder.string() + "/");  // exactly one separator
    EXPECT_FALSE(s().prevAvail);                     // nothing to go back to
    EXPECT_EQ(s().prev.maxIter, 500.0);               // the prev layer describes the start view
    QImage shown = screen();
    EXPECT_EQ(colourOf(shown, 200, 150), kInteriorBlueAtZero);
    EXPECT_EQ(colourOf(shown, 600, 150), kBlueBand);
    EXPECT_EQ(colourOf(shown, 200, 450), kPeriodOne);

    // 100 pixels left of the centre is -1; then the centres of the top-left
    // and of the top-right picture both keep it
    leftClickAt(QPoint(100, 150));
    leftClickAt(QPoint(200, 150));
    leftClickAt(QPoint(600, 150));
    EXPECT_EQ(title(), "M: 中心(-1 , 0): 倍率512:" + kZoomHint8 + " 右ClickでMenu:");
    EXPECT_EQ(s().live.centerX, -1.0);
    shown = screen();
    EXPECT_EQ(colourOf(shown, 600, 150), kBlackBand);
    EXPECT_EQ(colourOf(shown, 200, 450), kPeriodTwo);
    EXPECT_TRUE(platform->messages.empty());
}

TEST_F(JourneyTest, AJuliaSetPickedWithAClickZoomedIntoAndGoneBackFrom) {
    start();
    const Surface mandelbrot = p().picture1;
    useSettings([this] {
        clickControl("Option10");  // "Julia集合"
        clickControl("Command2");  // "閉じる": a click picks the constant
    });
    expectAllShown();
    leftClickAt(QPoint(150, 100));
    EXPECT_EQ(title(), "J: 定数項(-0.5 , 0.5): 初期倍率:" + kZoomHint8 + " 右ClickでMenu:");
    EXPECT_EQ(std::pair(s().live.juliaRe, s().live.juliaIm), std::pair(-0.5, 0.5));
    EXPECT_FALSE(p().picture1 == mandelbrot);
    const Surface juliaAtOne = p().picture1;

    // 50 pixels right of the centre: 0.5, and the constant stays
    leftClickAt(QPoint(250, 150));
    EXPECT_EQ(std::pair(s().live.centerX, s().live.juliaRe), std::pair(0.5, -0.5));
    EXPECT_FALSE(p().picture1 == juliaAtOne);

    chooseFromMenu("mnuzen");  // the previous screen
    EXPECT_TRUE(p().picture1 == juliaAtOne);
    EXPECT_EQ(std::tuple(s().radius, s().live.juliaStarted), std::tuple(2.0, kYes));
    EXPECT_TRUE(platform->messages.empty());
}

TEST_F(JourneyTest, SavedPictureOpensAgainReadOnlyAndZoomsFromItsView) {
    start();
    const Surface startPicture = p().picture1;
    chooseFromMenu("mnuhozon");
    const std::filesystem::path saved = folder / "M0s1x0y0k500t1.bmp";  // the name offered
    std::filesystem::permissions(saved, std::filesystem::perms::owner_read);
    leftClickAt(QPoint(200, 150));  // used up by the open menu
    leftClickAt(QPoint(300, 150));  // zoom somewhere else first
    EXPECT_EQ(s().radius, 0.25);

    platform->openAnswer = saved.string();
    chooseFromMenu("mnuyomi");
    EXPECT_TRUE(p().picture1 == startPicture);
    EXPECT_EQ(title(), "M: 中心(0　,　0): 倍率1:" + kZoomHint8 + " 右ClickでMenu:");
    EXPECT_EQ(s().live.singleImage, kYes);
    leftClickAt(QPoint(200, 150));  // used up by the open menu
    leftClickAt(QPoint(100, 150));
    EXPECT_EQ(s().live.centerX, -1.0);
    EXPECT_EQ(colourOf(screen(), 200, 450), kPeriodTwo);
    EXPECT_TRUE(platform->messages.empty());
}

// The wheel as the window system turns it: 120 eighths of a degree a
// notch, finer wheels in smaller steps that add up.
TEST_F(JourneyTest, TheWheelZoomsANotchAtATimeAboutThePointer) {
    start();
    const auto turn = [this](QPoint at, int eighths) {
        QWheelEvent wheel(at, picture()->mapToGlobal(at), QPoint(), QPoint(0, eighths), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(picture(), &wheel);
    };
    const std::string startTitle = title();
    // 100 pixels left of the centre is -1; half a notch does nothing yet.
    turn(QPoint(100, 150), 60);
    EXPECT_EQ(std::tuple(title(), s().radius), std::tuple(startTitle, 2.0));
    turn(QPoint(100, 150), 60);
    EXPECT_EQ(title(), "M: 中心(-0.5 , 0): 倍率2:" + kZoomHint8 + " 右ClickでMenu:");
    // Two notches back in one turn: -1 stays under the pointer.
    turn(QPoint(100, 150), -240);
    EXPECT_EQ(title(), "M: 中心(1 , 0): 倍率0.5:" + kZoomHint8 + " 右ClickでMenu:");
    EXPECT_TRUE(platform->messages.empty());
}

}  // namespace
}  // namespace qel
