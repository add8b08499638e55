#include "view/wheel_zoom.h"

#include <string>
#include <tuple>

#include "app/captions.h"
#include "app/deep_place.h"
#include "app/drawing_request.h"
#include "app/view_texts.h"
#include "deep/deep_views.h"
#include "view/previous_screen.h"
#include "view/view_fixture.h"

// The wheel zooms 2x a notch about the pointer, the plane point under it
// staying put, in views of doubles and deep ones; notches during its
// drawing coalesce into one step of the history; and it keeps the click's
// rules.
namespace qel {
namespace {

class WheelZoomTest : public ViewTest {
protected:
    // The plane point at offsets (x, y) from the centre of the picture on
    // the screen, at the precision its pixels need.
    std::pair<BigReal, BigReal> pointAt(double x, double y) const {
        const ExtFloat pixel = shownPixelSize(p.s);
        const long bits = precisionBitsFor(pixel) + 64;
        const BigReal re = isDeep(p.s.cur) ? BigReal::fromText(p.s.cur.deep.centerX, bits) : BigReal(p.s.cur.centerX, bits);
        const BigReal im = isDeep(p.s.cur) ? BigReal::fromText(p.s.cur.deep.centerY, bits) : BigReal(p.s.cur.centerY, bits);
        return {offsetBy(re, x, pixel), offsetBy(im, y, pixel)};
    }
    // How many of the screen's pixels lie between two points, on each axis.
    std::pair<double, double> pixelsBetween(const std::pair<BigReal, BigReal>& a,
                                            const std::pair<BigReal, BigReal>& b) const {
        const ExtFloat pixel = shownPixelSize(p.s);
        return {unitsBetween(a.first, b.first, pixel), unitsBetween(a.second, b.second, pixel)};
    }
    void wheel(float x, float y, int notches) { Picture1_Wheel(p, x, y, notches); }
};

TEST_F(WheelZoomTest, EachNotchZoomsTwiceAboutThePointerWhosePointStaysPut) {
    drawStartView();
    const int beeps = platform.beeps;
    // In the lower-right picture of the split screen: the pointer folds
    // onto the same place of the top-left one.
    const float x = 37.0f + 400.0f, y = -21.0f - 300.0f;
    const auto before = pointAt(37, -21);
    wheel(x, y, 1);
    EXPECT_EQ(std::tie(p.s.radius, dialog.mag, platform.beeps), std::make_tuple(1.0, "2", beeps + 1));
    EXPECT_EQ(platform.caption, "M: 中心(" + numberText(p.s.cur.centerX) + " , " + numberText(p.s.cur.centerY) +
                                    "): 倍率2:" + zoomHint(8) + kMenuHint);
    const auto [dx, dy] = pixelsBetween(before, pointAt(37, -21));
    EXPECT_LT(std::abs(dx) + std::abs(dy), 1e-9);
    // The centre moved half way towards the pointer.
    EXPECT_NEAR(p.s.cur.centerX, 37 * 0.01 / 2, 1e-15);

    // Two notches in one turn, on a full-size colouring: 4x more.
    p.s.live.drawMethod = 2;
    dialog.selectedMethod = 2;
    redrw(p);
    const auto full = pointAt(-150, 100);
    wheel(-150.0f + 800.0f, 100.0f, 2);
    EXPECT_EQ(std::tie(p.s.radius, dialog.mag), std::make_tuple(0.25, "8"));
    const auto [fx, fy] = pixelsBetween(full, pointAt(-150, 100));
    EXPECT_LT(std::abs(fx) + std::abs(fy), 1e-9);
    // Backward as many notches: back to where the turn began.
    const double centreX = p.s.cur.centerX;
    wheel(-150.0f + 800.0f, 100.0f, -2);
    EXPECT_EQ(p.s.radius, 1.0);
    EXPECT_NEAR(p.s.cur.centerX, centreX - 150 * (0.25 / 400) + 150 * (1.0 / 400), 1e-15);

    // The coarse preview draws every tenth column (x = -400, -390, ...):
    // between them the picture scaled about the pointer stays, here in the
    // lower-left colouring, which has no black.
    p.s.lineStep = p.s.coarseLineStep;
    const Surface old = p.picture1;
    ASSERT_NE(old.point(-145, 102 - 600), 0);
    wheel(-147.0f + 800.0f, 100.0f, 1);
    EXPECT_EQ(p.picture1.point(-143, 104 - 600), old.point(-145, 102 - 600));
    EXPECT_EQ(p.picture1.point(-147, 100 - 600), old.point(-147, 100 - 600));
}

TEST_F(WheelZoomTest, DeepViewsKeepThePointUnderThePointerToTheirLastDigit) {
    const testing::DeepTestView& minibrot = testing::kDeepViews[1];  // at 1E50
    View deep{.maxIter = 300};
    ASSERT_TRUE(placeFromTexts(deep, {"1E+50", minibrot.cx, minibrot.cy}));
    putView(p.s, deep);
    p.s.firstDrawing = true;
    redrw(p);
    ASSERT_TRUE(isDeep(p.s.cur));
    for (int notches : {1, 3, -2}) {
        const ExtFloat magnification = liveMagnification(p.s);
        const auto before = pointAt(-123, 77);
        wheel(-123.0f, 77.0f, notches);
        ASSERT_TRUE(platform.messages.empty());
        EXPECT_EQ(magnificationOfText(p.s.cur.deep.magnification).toDouble() / magnification.toDouble(),
                  std::pow(2.0, notches));
        // Within the rounding of the centre to the digits its pixels need;
        // a double's centre would be 10^34 pixels away.
        const auto [dx, dy] = pixelsBetween(before, pointAt(-123, 77));
        EXPECT_LT(std::abs(dx), 1.0) << notches;
        EXPECT_LT(std::abs(dy), 1.0) << notches;
        EXPECT_EQ(p.s.cur.deep.centerX.size(), BigReal::fromText(p.s.cur.deep.centerX, 400)
                                                    .str(significantDigitsFor(liveMagnification(p.s)))
                                                    .size());
    }
}

// The tip of the antenna, -2, lies under the pointer at the left edge of
// the start view; 332 notches later, at 8.7E+99, it is still there, to the
// pixel. A centre held to the digits of each view would leave it 10^84
// pixels away: each notch's rounding, doubled by every notch after it.
TEST_F(WheelZoomTest, TurningOnAboutOnePointKeepsThatPointUnderThePointer) {
    drawStartView();
    const auto tipOffset = [&](const View& v) {
        const ExtFloat pixel = pixelSizeFor(liveMagnification(p.s), p.s.halfW);
        const BigReal x = isDeep(v) ? BigReal::fromText(v.deep.centerX, 2000) : BigReal(v.centerX, 2000);
        return unitsBetween(BigReal(-2.0, 2000), offsetBy(x, -200, pixel), pixel);
    };
    // Notches that all come while the wheel's drawing runs...
    p.s.busy = p.s.wheel.drawing = true;
    for (int i = 0; i < 332; ++i) wheel(-200.0f, 0.0f, 1);
    p.s.busy = p.s.stopRequest = false;
    p.s.wheel = {};
    // Each magnification is written with 15 digits: the last may wander.
    ASSERT_NEAR(magnificationOfText(p.s.live.deep.magnification).log2Abs(), 332, 1e-10);
    EXPECT_LT(std::abs(tipOffset(p.s.live)), 1.0);
    EXPECT_EQ(p.s.live.centerY, 0.0);
    // ... and notches each of which is drawn before the next.
    redrw(p);
    for (int i = 0; i < 3; ++i) wheel(-200.0f, 0.0f, 1);
    ASSERT_NEAR(magnificationOfText(p.s.cur.deep.magnification).log2Abs(), 335, 1e-10);
    EXPECT_LT(std::abs(tipOffset(p.s.cur)), 1.0);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(WheelZoomTest, NotchesDuringItsDrawingCoalesceIntoOneStepOfTheHistory) {
    drawStartView();
    const Surface first = p.picture1;
    const View firstView = p.s.cur;
    const int beeps = platform.beeps;
    const std::size_t captions = platform.captions.size();
    int rows = 0;
    bool underlaid = false;
    platform.onDoEvents = [&] {
        ++rows;
        // Below the first row the old picture, twice as large about the
        // pointer: the pixel under it, and the one 40 pixels below
        // showing what was 20 pixels below.
        if (rows == 1)
            underlaid = p.picture1.point(10, -100) == first.point(10, -50) &&
                        p.picture1.point(10 + 400, -100) == first.point(10 + 400, -50);
        // Two notches at once, the pointer moved between them; and one as
        // the next drawing shows its first row.
        if (rows == 3) {
            wheel(10.0f, 0.0f, 1);
            wheel(-30.0f, 20.0f, 1);
        }
        if (rows == 4) wheel(10.0f, 0.0f, 1);
    };
    wheel(10.0f, 0.0f, 1);
    platform.onDoEvents = nullptr;
    EXPECT_TRUE(underlaid);
    // Four notches: one drawing stopped after three rows, one after one
    // row, and the last drawn whole; one end caption, one beep.
    EXPECT_EQ(std::tie(p.s.radius, dialog.mag, p.s.busy, p.s.wheel), std::make_tuple(0.125, "16", false, WheelZoom{}));
    EXPECT_EQ(rows, 3 + 1 + 2 * p.s.halfH);
    EXPECT_EQ(platform.beeps, beeps + 1);
    ASSERT_EQ(platform.captions.size(), captions + 4);
    for (std::size_t i = captions; i < captions + 3; ++i) EXPECT_TRUE(platform.captions[i].starts_with(kDrawingPrefix));
    EXPECT_EQ(platform.captions.back(), p.s.viewInfo + zoomHint(8) + kMenuHint);
    // Each notch from the newest view: the point under the pointer stays.
    double x = 0, y = 0, pixel = 0.01;
    for (auto [px, py] : {std::pair(10, 0), std::pair(10, 0), std::pair(-30, 20), std::pair(10, 0)}) {
        x += px * pixel / 2;
        y += py * pixel / 2;
        pixel /= 2;
    }
    EXPECT_NEAR(p.s.cur.centerX, x, 1e-15);
    EXPECT_NEAR(p.s.cur.centerY, y, 1e-15);

    // Back to the picture before the first notch.
    mnuzen_Click(p);
    EXPECT_TRUE(p.picture1 == first);
    EXPECT_EQ(std::tie(p.s.cur.centerX, p.s.cur.centerY, p.s.radius, dialog.mag),
              std::make_tuple(firstView.centerX, firstView.centerY, 2.0, firstView.magText));

    // Notches apart are zooms apart.
    wheel(10.0f, 0.0f, 1);
    const Surface once = p.picture1;
    wheel(10.0f, 0.0f, 1);
    mnuzen_Click(p);
    EXPECT_EQ(dialog.mag, "2");
    EXPECT_TRUE(p.picture1 == once);
}

TEST_F(WheelZoomTest, TheWheelKeepsTheClicksLimitsAndItsJuliaRule) {
    drawStartView();
    // A notch during a click's drawing stops it and zooms on from the
    // click's view: one end caption, one beep, and going back returns to
    // the picture before the click.
    const Surface start = p.picture1;
    const int beeps = platform.beeps;
    int rows = 0;
    platform.onDoEvents = [&] {
        if (++rows == 5) wheel(50.0f, 50.0f, 1);
    };
    leftClickAt(p, 0.0f, 0.0f);
    platform.onDoEvents = nullptr;
    EXPECT_EQ(std::tie(dialog.mag, p.s.radius, p.s.wheel), std::make_tuple("16", 0.125, WheelZoom{}));
    EXPECT_EQ(rows, 5 + 2 * p.s.halfH);
    EXPECT_EQ(platform.beeps, beeps + 1);
    // The point under the pointer, 50 pixels of the click's view right of
    // its centre, stays there in the notch's view.
    EXPECT_NEAR(p.s.cur.centerX, 50 * (0.25 / p.s.halfW) / 2, 1e-15);
    EXPECT_EQ(platform.captions.back(), p.s.viewInfo + zoomHint(8) + kMenuHint);
    mnuzen_Click(p);
    EXPECT_TRUE(p.picture1 == start);
    EXPECT_EQ(std::tie(p.s.cur.centerX, p.s.radius), std::make_tuple(0.0, 2.0));

    // Out to 0.1 and no further; the message stands alone, nothing changes.
    p.s.radius = 2.0 / 0.4;
    redrw(p);
    wheel(0.0f, 0.0f, -2);
    EXPECT_EQ(dialog.mag, "0.1");
    ASSERT_TRUE(platform.messages.empty());
    AppState before = p.s;
    const Surface screen = p.picture1;
    wheel(0.0f, 0.0f, -1);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(std::tie(platform.messages[0].text, platform.messages[0].title),
              std::tie(kMagnificationTooSmall, kMagnificationTooSmallTitle));
    EXPECT_TRUE(p.s == before);
    EXPECT_TRUE(p.picture1 == screen);

    // A notch past 0.1 during the wheel's drawing: the drawing goes on, the
    // message follows it.
    platform.messages.clear();
    platform.onDoEvents = [&] { wheel(0.0f, 0.0f, -3); };
    wheel(0.0f, 0.0f, 1);
    platform.onDoEvents = nullptr;
    EXPECT_EQ(dialog.mag, "0.2");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, kMagnificationTooSmall);
    EXPECT_EQ(p.s.wheel, WheelZoom{});

    // The Julia set chosen, its constant still to pick: the wheel does nothing.
    p.s.live.isJulia = kYes;
    before = p.s;
    const Surface julia = p.picture1;
    wheel(0.0f, 0.0f, 1);
    EXPECT_TRUE(p.s == before);
    EXPECT_TRUE(p.picture1 == julia);
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(WheelZoomTest, AtTheDeepestMagnificationTheWheelSaysSoAndChangesNothing) {
    View deepest{.maxIter = 100};
    ASSERT_TRUE(placeFromTexts(deepest, {"1E+10000", "-0.75", "0.1"}));
    putView(p.s, deepest);
    p.s.pixelSize = p.s.radius / p.s.halfW;
    const AppState before = p.s;
    wheel(0.0f, 0.0f, 1);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(std::tie(platform.messages[0].text, platform.messages[0].title),
              std::tie(kMagnificationTooLarge, kMagnificationTooLargeTitle));
    EXPECT_TRUE(p.s == before);
}

}  // namespace
}  // namespace qel
