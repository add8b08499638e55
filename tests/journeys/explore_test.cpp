// Exploring as a person does: the first picture, zooms by clicks, one
// colouring at full size and its siblings, a Julia set picked with a click,
// going back, the axes, saving and opening again.
#include <QRadioButton>

#include "journey_fixture.h"

namespace qel {
namespace {

// Colours of the start view and of the point -1 (in the period-2 bulb)
// in the four colourings, at t = 1.
constexpr Colour kInteriorBlueAtZero = 127 * 65536;      // upper left, r2 = 0
constexpr Colour kInteriorBlueAtMinusOne = 246 * 65536;  // upper left, r2 = 1
constexpr Colour kBlueBand = 255 * 65536;                // upper right, band 0
constexpr Colour kBlackBand = 0;                         // upper right, band 2
constexpr Colour kGreenLeftMove = 65280;  // lower right, a move of size 1 to the left
constexpr Colour kNoMove = 0;             // lower right, the fixed point 0

TEST_F(JourneyTest, StartShowsTheSplitStartViewAndZoomsThreeTimes) {
    start();
    EXPECT_EQ(platform->captions.front(), "描画中: Mandelbrot集合: 中心(0 , 0): 倍率1: 右Clickで中止:");
    EXPECT_EQ(title(), " 中心(0 , 0): 倍率1:" + kZoomHint8 + " 右ClickでMenu:");
    QImage shown = screen();
    EXPECT_EQ(colourOf(shown, 200, 150), kInteriorBlueAtZero);
    EXPECT_EQ(colourOf(shown, 600, 150), kBlueBand);
    EXPECT_EQ(colourOf(shown, 200, 450), kPeriodOne);
    EXPECT_EQ(colourOf(shown, 600, 450), kNoMove);

    // the cursor read-out over the period picture
    moveTo(QPoint(100, 450));
    EXPECT_EQ(title(), " 中心(0 , 0): 倍率1:" + kZoomHint8 + " 右ClickでMenu: 周期 2(-1 , 0)");

    // 100 pixels left of the centre is -1; then the centres of the top-left
    // and of the top-right picture both keep it
    leftClickAt(QPoint(100, 150));
    EXPECT_EQ(lastDrawingCaption(), "描画中: M: 中心(-1 , 0): 倍率8: 右Clickで中止:");
    leftClickAt(QPoint(200, 150));
    leftClickAt(QPoint(600, 150));
    EXPECT_EQ(title(), "M: 中心(-1 , 0): 倍率512:" + kZoomHint8 + " 右ClickでMenu:");
    EXPECT_EQ(s().centerX, -1.0);
    EXPECT_EQ(platform->beeps, 4);
    shown = screen();
    EXPECT_EQ(colourOf(shown, 200, 150), kInteriorBlueAtMinusOne);
    EXPECT_EQ(colourOf(shown, 600, 150), kBlackBand);
    EXPECT_EQ(colourOf(shown, 200, 450), kPeriodTwo);
    EXPECT_EQ(colourOf(shown, 600, 450), kGreenLeftMove);
    EXPECT_EQ(gh().magText(), "512");
    EXPECT_TRUE(platform->messages.empty());
}

// The colours of the point 1 (escape count 1, a move of size 3 to the right)
// in the four colourings at magnification 1.
constexpr Colour kGreyOfOne = 30 + 256 * 30 + 65536 * 30;
constexpr Colour kGreenBandOfOne = 63 * 256;
constexpr Colour kEscapeBandOfOne = 65280;
constexpr Colour kRedMoveOfOne = 96;

TEST_F(JourneyTest, OneColouringAtFullSizeAndTheOtherThreeARightClickAway) {
    start();
    useSettings([this] {
        clickControl("Option13");  // "1倍": the same view again
        clickControl("Option3");   // "左上全画面"
        clickControl("Command1");  // "描画開始"
    });
    expectAllShown();
    EXPECT_EQ(lastDrawingCaption(), "描画中: M: 中心(0 , 0): 倍率1: 右Clickで中止:");
    EXPECT_EQ(title(), "M: 中心(0 , 0): 倍率1:" + kZoomHint8 + " 右Clickで他画面: 右W-ClickでMenu:");
    EXPECT_FALSE(gh().isVisible());

    // the window's centre is the plane's 0, 200 pixels to its right lies 1
    struct Shown {
        const char* option;
        Colour atZero, atOne;
    };
    const Shown cycle[] = {{"Option4", kBlueBand, kGreenBandOfOne},
                           {"Option5", kPeriodOne, kEscapeBandOfOne},
                           {"Option6", kNoMove, kRedMoveOfOne},
                           {"Option3", kInteriorBlueAtZero, kGreyOfOne}};
    QImage shown = screen();
    EXPECT_EQ(colourOf(shown, 400, 300), kInteriorBlueAtZero);
    EXPECT_EQ(colourOf(shown, 600, 300), kGreyOfOne);
    const int drawings = platform->beeps;
    for (const Shown& next : cycle) {
        rightClick();
        shown = screen();
        EXPECT_EQ(colourOf(shown, 400, 300), next.atZero) << next.option;
        EXPECT_EQ(colourOf(shown, 600, 300), next.atOne) << next.option;
        EXPECT_TRUE(control<QRadioButton>(next.option)->isChecked()) << next.option;
    }
    EXPECT_EQ(platform->beeps, drawings);  // nothing was drawn again

    // a right double click shows the next colouring, then opens the menu
    bool menuOpened = false;
    whenShown(openMenu, [&menuOpened](QWidget* menu) {
        menuOpened = true;
        menu->hide();
    });
    rightClick();
    QTest::mouseDClick(picture(), Qt::RightButton, {}, QPoint(400, 300));
    QTest::mouseRelease(picture(), Qt::RightButton, {}, QPoint(400, 300));
    EXPECT_TRUE(menuOpened);
    EXPECT_EQ(colourOf(screen(), 600, 300), kGreenBandOfOne);
}

TEST_F(JourneyTest, AJuliaSetPickedWithAClickZoomedIntoAndGoneBackFrom) {
    start();
    const Surface mandelbrot = p().picture1;
    useSettings([this] {
        clickControl("Option10");  // "Julia集合"
        clickControl("Command2");  // "閉じる": a click picks the constant
    });
    expectAllShown();
    moveTo(QPoint(150, 100));
    EXPECT_EQ(title(), " 中心(0 , 0): 倍率1:  Clickするとそこを定数項とするJulia集合を初期倍率で描画します: 右ClickでMenu: "
                       "ｶｰｿﾙ(-0.5 , 0.5)");

    leftClickAt(QPoint(150, 100));
    EXPECT_EQ(lastDrawingCaption(), "描画中: J: 定数項(-0.5 , 0.5): 初期倍率: 右Clickで中止:");
    EXPECT_EQ(title(), "J: 定数項(-0.5 , 0.5): 初期倍率:" + kZoomHint8 + " 右ClickでMenu:");
    EXPECT_EQ(s().juliaRe, -0.5);
    EXPECT_EQ(s().juliaIm, 0.5);
    EXPECT_FALSE(p().picture1 == mandelbrot);
    const Surface juliaAtOne = p().picture1;

    // 50 pixels right of the centre: 0.5, and the constant stays
    leftClickAt(QPoint(250, 150));
    EXPECT_EQ(title(), "J: 中心(0.5 , 0): 倍率8:" + kZoomHint8 + " 右ClickでMenu:");
    EXPECT_EQ(s().juliaRe, -0.5);
    EXPECT_FALSE(p().picture1 == juliaAtOne);

    chooseFromMenu("mnuzen");
    EXPECT_TRUE(p().picture1 == juliaAtOne);
    EXPECT_EQ(title(), "J: 中心(0　,　0): 倍率1:" + kZoomHint8 + " 右ClickでMenu:");
    EXPECT_EQ(s().radius, 2.0);
    EXPECT_EQ(s().juliaStarted, kYes);
    leftClickAt(QPoint(250, 150));  // the click after the menu only closes it
    EXPECT_FALSE(offeredInMenu("mnuzen"));
    EXPECT_TRUE(platform->messages.empty());
}

TEST_F(JourneyTest, AxesDrawnTwiceLeaveThePictureAsItWas) {
    start();
    const Surface before = p().picture1;
    const std::string titleBefore = title();
    chooseFromMenu("mnuza");
    QImage shown = screen();
    // the real axis in the top-left and lower-left pictures, -1.5 on it
    EXPECT_EQ(colourOf(shown, 50, 150), 0xFFFFFF ^ before.pixel(50, 150));
    EXPECT_EQ(colourOf(shown, 50, 450), 0xFFFFFF ^ before.pixel(50, 450));
    EXPECT_EQ(colourOf(shown, 50, 149), before.pixel(50, 149));
    // the imaginary axis in the top-right picture, 0.5i on it
    EXPECT_EQ(colourOf(shown, 600, 100), 0xFFFFFF ^ before.pixel(600, 100));
    EXPECT_EQ(title(), titleBefore);

    rightClick();  // the click after the menu only closes it
    chooseFromMenu("mnuza");
    expectAllShown();
    EXPECT_TRUE(p().picture1 == before);
}

TEST_F(JourneyTest, SavedPictureOpensAgainReadOnlyAndZoomsFromItsView) {
    start();
    const Surface startPicture = p().picture1;
    platform->saveAnswer = [](const std::string& offered) { return offered; };
    chooseFromMenu("mnuhozon");
    const std::filesystem::path saved = folder / "M0s1x0y0k500t1.bmp";  // the name offered
    std::filesystem::permissions(saved, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                            std::filesystem::perms::others_read);
    EXPECT_TRUE(platform->messages.empty());

    leftClickAt(QPoint(200, 150));  // used up by the open menu
    leftClickAt(QPoint(300, 150));  // zoom somewhere else first
    EXPECT_EQ(s().radius, 0.25);

    platform->openAnswer = saved.string();
    chooseFromMenu("mnuyomi");
    EXPECT_TRUE(p().picture1 == startPicture);
    EXPECT_EQ(title(), "M: 中心(0　,　0): 倍率1:" + kZoomHint8 + " 右ClickでMenu:");
    EXPECT_EQ(s().radius, 2.0);
    EXPECT_EQ(s().singleImage, kYes);
    leftClickAt(QPoint(200, 150));  // used up by the open menu
    EXPECT_FALSE(offeredInMenu("mnuzen"));
    leftClickAt(QPoint(200, 150));  // used up by the open menu

    leftClickAt(QPoint(100, 150));
    EXPECT_EQ(title(), "M: 中心(-1 , 0): 倍率8:" + kZoomHint8 + " 右ClickでMenu:");
    EXPECT_EQ(colourOf(screen(), 200, 450), kPeriodTwo);
    EXPECT_TRUE(offeredInMenu("mnuzen"));
    EXPECT_TRUE(platform->messages.empty());
}

}  // namespace
}  // namespace qel
