#include <cstdint>
#include <string>
#include <tuple>

#include "app/captions.h"
#include "app/deep_place.h"
#include "app/drawing_request.h"
#include "view/axes.h"
#include "view/previous_screen.h"
#include "view/view_fixture.h"
#include "view/zoom_limit.h"

// Zooming past where a double tells neighbouring pixels apart: the view
// turns deep, the deep engine draws it, and titles, the cursor read-out, the
// previous screen, the axes and stopping work on it as on any view.
namespace qel {
namespace {

class DeepViewTest : public ViewTest {
protected:
    // The split screen centred on the spiral of the Misiurewicz point
    // M(3,1) at magnification 8^15 (3.5E+13), the last a double draws here.
    void drawNearTheWall() {
        p.s.live.maxIter = 500;
        p.s.live.centerX = -0.22815549365396182;
        p.s.live.centerY = 1.1151425080399374;
        p.s.radius = 2.0 / 35184372088832.0;
        redrw(p);
    }

    // Rows of the top-left picture that differ from the row above: the
    // doubles of this centre repeat each row for about six pixels.
    int rowsThatDiffer() const {
        int differ = 0;
        for (int y = p.s.halfH - 1; y > -p.s.halfH; --y)
            for (int x = -p.s.halfW; x < p.s.halfW; ++x)
                if (p.picture1.point(x, y) != p.picture1.point(x, y + 1)) {
                    ++differ;
                    break;
                }
        return differ;
    }
};

TEST_F(DeepViewTest, ZoomingPastTheOldWallDrawsADeepViewAndThePreviousScreenReturnsToIt) {
    drawNearTheWall();
    ASSERT_FALSE(isDeep(p.s.cur));
    ASSERT_FALSE(zoomStaysDistinct(p.s, {p.s.cur.centerX, p.s.cur.centerY}));

    leftClickAt(p, 0.0f, 0.0f);
    ASSERT_TRUE(platform.messages.empty());
    ASSERT_TRUE(isDeep(p.s.cur));
    EXPECT_EQ(p.s.cur.deep.magnification, " 281474976710656");
    // 18 significant digits tell pixels apart at 2.8E+14.
    const std::string firstInfo = "M: 中心(-0.228155493653961816 , 1.11514250803993731): 倍率281474976710656:";
    EXPECT_EQ(platform.caption, firstInfo + "  Clickするとそこを中心に8倍に拡大描画します: 右ClickでMenu:");
    EXPECT_EQ(std::tuple(dialog.mag, p.s.busy), std::tuple("281474976710656", false));
    // Structure down to the pixel, where the doubles would show blocks.
    EXPECT_GE(rowsThatDiffer(), 250);
    EXPECT_NE(p.picture1.point(0, 1 - p.s.halfH), 0);
    const Surface firstDeep = p.picture1;
    const DeepPlace firstPlace = p.s.cur.deep;

    leftClickAt(p, 37.0f, -21.0f);
    ASSERT_TRUE(isDeep(p.s.cur));
    EXPECT_EQ(p.s.cur.deep.magnification, " 2.25179981368525E+15");
    // The new centre lies 37 and -21 pixels of the first deep picture away.
    const ExtFloat firstPixel = pixelSizeFor(magnificationOfText(firstPlace.magnification), p.s.halfW);
    const auto pixelsBetween = [&, bits = precisionBitsFor(firstPixel)](const std::string& a, const std::string& b) {
        return unitsBetween(BigReal::fromText(a, bits), BigReal::fromText(b, bits), firstPixel);
    };
    EXPECT_NEAR(pixelsBetween(firstPlace.centerX, p.s.cur.deep.centerX), 37.0, 1.0);
    EXPECT_NEAR(pixelsBetween(firstPlace.centerY, p.s.cur.deep.centerY), -21.0, 1.0);

    mnuzen_Click(p);
    EXPECT_EQ(std::tie(p.s.cur.deep, p.s.live.deep), std::tie(firstPlace, firstPlace));
    EXPECT_TRUE(p.picture1 == firstDeep);
    EXPECT_EQ(platform.caption,
              "M: 中心(-0.228155493653961816　,　1.11514250803993731): 倍率281474976710656:  "
              "Clickするとそこを中心に8倍に拡大描画します: 右ClickでMenu:");
    // Zooming again from the restored picture zooms from its own centre.
    leftClickAt(p, 0.0f, 0.0f);
    EXPECT_EQ(p.s.cur.deep.magnification, " 2.25179981368525E+15");

    // Zooming out below the wall, the doubles alone are the view again.
    p.s.zoom = 1.0 / 64;
    leftClickAt(p, 0.0f, 0.0f);
    EXPECT_EQ(std::tuple(isDeep(p.s.cur), p.s.radius), std::tuple(false, 2.0 / 35184372088832.0));
    EXPECT_EQ(platform.caption, "M: 中心(-0.228155493653962 , 1.11514250803994): 倍率35184372088832:  "
                                "Clickするとそこを中心に8倍に拡大描画します: 右ClickでMenu:");
}

TEST_F(DeepViewTest, ARightClickStopsADeepDrawingAfterTheCurrentRow) {
    drawNearTheWall();
    p.s.live.maxIter = 1e9;  // interior points would take hours
    int rows = 0;
    platform.onDoEvents = [&] { if (++rows == 3) rightClick(p); };
    leftClickAt(p, 0.0f, 0.0f);
    EXPECT_EQ(std::tuple(isDeep(p.s.cur), p.s.busy, p.s.stopRequest, rows), std::tuple(true, false, false, 3));
    EXPECT_NE(p.picture1.point(-p.s.halfW, p.s.halfH), 0);
    EXPECT_EQ(p.picture1.point(0, -100), 0);
}

// With 1 GB available a drawing may take 750 MB: at the root of the
// period-3 component (whose orbit of 0 never ends) 10^8 iterations would
// need 2.7 GB, and the click is refused before anything is drawn; at the
// component's nucleus the orbit of 0 comes back after three values, and
// 10^9 iterations draw.
TEST_F(DeepViewTest, AClickWhoseDeepDrawingWouldNotFitInMemoryIsRefusedBeforeItStarts) {
    p.availableMemory = [] { return std::uint64_t{1000000000}; };
    p.s.live.centerX = -1.75;
    p.s.radius = 2.0 / 35184372088832.0;
    redrw(p);
    ASSERT_FALSE(isDeep(p.s.cur));
    const Surface before = p.picture1;
    const std::string caption = platform.caption;
    const int beeps = platform.beeps;
    p.s.live.maxIter = 1e8;
    leftClickAt(p, 0.0f, 0.0f);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, kIterationsTooManyTitle);
    EXPECT_EQ(platform.messages[0].style, kMsgStop);
    const double most = mostIterationsFitting(false, 1000000000);
    EXPECT_EQ(platform.messages[0].text, iterationsTooManyText(most));
    EXPECT_LT(most, 1e8);
    EXPECT_FALSE(isDeep(p.s.cur));
    EXPECT_EQ(std::tie(platform.caption, platform.beeps), std::tie(caption, beeps));
    EXPECT_TRUE(p.picture1 == before);

    p.s.live.maxIter = 500;
    p.s.live.deep = {};
    p.s.live.centerX = -1.7548776662466927;
    p.s.radius = 2.0 / 35184372088832.0;
    redrw(p);
    p.s.live.maxIter = 1e9;
    leftClickAt(p, 0.0f, 0.0f);
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(isDeep(p.s.cur));
    EXPECT_EQ(platform.beeps, beeps + 2);
}

// The refusal names the largest limit that fits, rounded down to two
// significant digits.
TEST(IterationsTooMany, TheRefusalNamesALimitThatFits) {
    EXPECT_EQ(iterationsTooManyText(637958329.0),
              "計算回数が多すぎるためメモリが足りず描画できません．画面設定で計算回数を 630000000 以下にして下さい");
    EXPECT_EQ(iterationsTooManyText(99.0),
              "計算回数が多すぎるためメモリが足りず描画できません．画面設定で計算回数を 99 以下にして下さい");
}

TEST_F(DeepViewTest, TheCursorReadOutAndTheAxesOfADeepPictureAreExactToThePixel) {
    drawNearTheWall();
    leftClickAt(p, 0.0f, 0.0f);
    ASSERT_TRUE(isDeep(p.s.cur));
    Picture1_MouseMove(p, 10.0f, -20.0f);
    // 10 and -20 pixels of 3.55E-17 from the centre, down to the grid.
    EXPECT_EQ(p.s.cursorInfo, " ｶｰｿﾙ(-0.228155493653961483 , 1.11514250803993657)");

    // A picture 37 pixels above the real axis, the imaginary axis far away;
    // 1E+20 pixels of 2E-20 / 200.
    p.s.cur.deep = {" 1.00000000000000000001", " 3.7E-21", " 0", " 0", " 1E+20"};
    p.s.radius = 2e-20;
    p.picture1.cls();
    const Surface black = p.picture1;
    mnuza_Click(p);
    EXPECT_EQ(p.picture1.point(-150, -37), Colour{0xFFFFFF});
    EXPECT_EQ(p.picture1.point(-150, -36), Colour{0});
    // The tick of 1 lies 1E-20 (100 pixels) left of the centre.
    EXPECT_EQ(p.picture1.point(-100, -37 + 5), Colour{0xFFFFFF});
    EXPECT_EQ(p.picture1.point(-99, -37 + 5), Colour{0});
    mnuza_Click(p);
    EXPECT_TRUE(p.picture1 == black);
}

TEST_F(DeepViewTest, AJuliaSetStartsFromAClickOnADeepMandelbrotPicture) {
    drawNearTheWall();
    leftClickAt(p, 0.0f, 0.0f);
    ASSERT_TRUE(isDeep(p.s.cur));
    // What the dialog does when the Julia set is chosen: the next zoom
    // leads back to the initial magnification.
    p.s.live.isJulia = kYes;
    p.s.zoom = p.s.radius / p.s.initialRadius;
    leftClickAt(p, 0.0f, 0.0f);
    EXPECT_EQ(std::tuple(isDeep(p.s.cur), p.s.cur.isJulia), std::tuple(false, kYes));
    EXPECT_NEAR(p.s.cur.juliaRe, -0.228155493653961816, 1e-16);
    EXPECT_NEAR(p.s.cur.juliaIm, 1.11514250803993731, 1e-15);
    EXPECT_EQ(std::make_pair(p.s.cur.centerX, p.s.cur.centerY), std::make_pair(0.0, 0.0));
    EXPECT_EQ(dialog.mag, "1");
}

TEST_F(DeepViewTest, AJuliaSetZoomedPastTheWallKeepsItsConstantToTheLastBit) {
    p.s.live = {.centerX = 0.3, .centerY = -0.2, .juliaRe = -0.123, .juliaIm = 0.745, .isJulia = kYes,
                .juliaStarted = kYes, .maxIter = 300};
    p.s.radius = 2.0 / 281474976710656.0;
    redrw(p);
    ASSERT_FALSE(isDeep(p.s.cur));
    leftClickAt(p, 0.0f, 0.0f);
    ASSERT_TRUE(isDeep(p.s.cur));
    EXPECT_EQ(BigReal::fromText(p.s.cur.deep.juliaRe, 64).toDouble(), -0.123);
    // The text is the double's exact value, not a 17-digit rounding of it.
    EXPECT_GT(p.s.cur.deep.juliaIm.size(), 40u);
    EXPECT_EQ(deepViewOf(p.s, p.s.halfW).juliaIm.toDouble(), 0.745);
    EXPECT_FALSE(p.s.busy);
    // The centre: the doubles 0.3 and -0.2 with the 19 digits of 2.3E+15.
    EXPECT_EQ(platform.caption, "J: 中心(0.2999999999999999889 , -0.2000000000000000111): 倍率2.25179981368525E+15:  "
                                "Clickするとそこを中心に8倍に拡大描画します: 右ClickでMenu:");
}

}  // namespace
}  // namespace qel
