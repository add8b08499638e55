// Exploring as a person does: the first picture, zooms by clicks, one
// colouring at full size and its siblings, a Julia set picked with a click,
// going back, the axes.
#include <QLabel>
#include <QPlainTextEdit>

#include "journey_fixture.h"
#include "render/render_loop.h"
#include "view/view_fixture.h"

namespace qel {
namespace {

// Colours of the start view and of the point -1 (in the period-2 bulb)
// in the four colourings, at t = 1.
constexpr Colour kInteriorBlueAtZero = 127 * 65536;      // upper left, r2 = 0
constexpr Colour kInteriorBlueAtMinusOne = 246 * 65536;  // upper left, r2 = 1
constexpr Colour kBlueBand = 255 * 65536;                // upper right, band 0
constexpr Colour kBlackBand = 0;                         // upper right, band 2
constexpr Colour kPeriodOne = 16318464;
constexpr Colour kPeriodTwo = 16645376;
constexpr Colour kGreenLeftMove = 65280;  // lower right, a move of size 1 to the left
constexpr Colour kNoMove = 0;             // lower right, the fixed point 0

const std::string kZoomHint8 = "  Clickするとそこを中心に8倍に拡大描画します:";

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
    EXPECT_EQ(platform->captions[platform->captions.size() - 2], "描画中: M: 中心(-1 , 0): 倍率8: 右Clickで中止:");
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
    EXPECT_EQ(platform->captions[platform->captions.size() - 2], "描画中: M: 中心(0 , 0): 倍率1: 右Clickで中止:");
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

// The picture the render loop draws for a Julia view, made without windows.
Surface juliaPicture(double cRe, double cIm, double centreX, double radius) {
    TestPlatform platform;
    FakeSettings dialog;
    FakeWindow window;
    Program q(platform, dialog, window);
    dialog.bind(q.s, q.picture1);
    setStartValues(q.s);
    setUpPictures(q);
    calibratePeriodColours(q.s);
    q.s.isJulia = q.s.juliaStarted = kYes;
    q.s.juliaRe = cRe;
    q.s.juliaIm = cIm;
    q.s.centerX = centreX;
    q.s.radius = radius;
    Essence(q);
    return q.picture1;
}

TEST_F(JourneyTest, AJuliaSetPickedWithAClickZoomedIntoAndGoneBackFrom) {
    start();
    useSettings([this] {
        clickControl("Option10");  // "Julia集合"
        clickControl("Command2");  // "閉じる": a click picks the constant
    });
    expectAllShown();
    moveTo(QPoint(150, 100));
    EXPECT_EQ(title(), " 中心(0 , 0): 倍率1:  Clickするとそこを定数項とするJulia集合を初期倍率で描画します: 右ClickでMenu: "
                       "ｶｰｿﾙ(-0.5 , 0.5)");

    leftClickAt(QPoint(150, 100));
    EXPECT_EQ(platform->captions[platform->captions.size() - 2],
              "描画中: J: 定数項(-0.5 , 0.5): 初期倍率: 右Clickで中止:");
    EXPECT_EQ(title(), "J: 定数項(-0.5 , 0.5): 初期倍率:" + kZoomHint8 + " 右ClickでMenu:");
    EXPECT_EQ(s().juliaRe, -0.5);
    EXPECT_EQ(s().juliaIm, 0.5);
    EXPECT_TRUE(p().picture1 == juliaPicture(-0.5, 0.5, 0.0, 2.0));
    const Surface juliaAtOne = p().picture1;

    // 50 pixels right of the centre: 0.5, and the constant stays
    leftClickAt(QPoint(250, 150));
    EXPECT_EQ(title(), "J: 中心(0.5 , 0): 倍率8:" + kZoomHint8 + " 右ClickでMenu:");
    EXPECT_TRUE(p().picture1 == juliaPicture(-0.5, 0.5, 0.5, 0.25));

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

TEST_F(JourneyTest, SavedPictureOpensAgainAndZoomsFromItsView) {
    start();
    const Surface startPicture = p().picture1;
    platform->saveAnswer = [](const std::string& offered) { return offered; };
    chooseFromMenu("mnuhozon");
    const std::filesystem::path saved = folder / "M0s1x0y0k500t1.bmp";
    ASSERT_EQ(platform->offeredNames.size(), 1u);
    EXPECT_EQ(platform->offeredNames[0], saved.string());
    EXPECT_TRUE(std::filesystem::exists(saved));
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

TEST_F(JourneyTest, HelpShowsTheManualBesideItsHeadings) {
    start();
    QString manual, key;
    whenShown([] { return QApplication::activeModalWidget(); },
              [&manual, &key](QWidget* help) {
                  EXPECT_EQ(help->windowTitle(), "readme.txt");
                  if (auto* text = help->findChild<QPlainTextEdit*>("Text1")) manual = text->toPlainText();
                  if (auto* label = help->findChild<QLabel*>("Label3")) key = label->text();
                  help->close();
              });
    const std::string titleBefore = title();
    chooseFromMenu("hlp");
    expectAllShown();
    EXPECT_TRUE(manual.contains(QString::fromUtf8("1 使い方")));
    EXPECT_TRUE(manual.contains(QString::fromUtf8("M0s1x0y0k500t1.bmp")));
    EXPECT_EQ(key, QString::fromUtf8("3 描画法\n\n左上 右上\n左下 右下"));
    EXPECT_EQ(title(), titleBefore);
    EXPECT_TRUE(platform->messages.empty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace qel
