#include "app/drawing.h"

#include <gtest/gtest.h>

#include "app/captions.h"
#include "render/colouring.h"
#include "render/row_engine.h"
#include "support/program_fixture.h"

namespace qel {
namespace {

constexpr Colour kMarker = 0x123456;  // no colouring ever gives this

class RenderLoop : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        s.live.maxIter = 50;  // quick pictures; the colours below do not depend on it
        s.viewInfo = " 中心(0 , 0): 倍率1:";
        s.drawingCaption = kDrawingPrefix + s.viewInfo + kStopHint;
    }

    void fillWithMarker() {
        for (int v = 0; v < p.picture1.height(); ++v)
            for (int u = 0; u < p.picture1.width(); ++u) p.picture1.setPixel(u, v, kMarker);
    }

    // Colour at pixel offset (x, y) of quadrant q (0 UL, 1 UR, 2 LL, 3 LR).
    Colour at(int q, int x, int y) const {
        return p.picture1.point(x + (q % 2) * 2 * s.halfW, y - (q / 2) * 2 * s.halfH);
    }
};

TEST_F(RenderLoop, FirstDrawingOfTheStartViewFillsTheSplitScreen) {
    bool busyWhileDrawing = false, hourglass = false;
    platform.onDoEvents = [&] { busyWhileDrawing = s.busy; hourglass = platform.busyPointer; };
    Essence(p);

    EXPECT_EQ(std::tie(s.halfW, s.halfH, s.pixelSize), std::tuple(200, 150, 0.01));
    EXPECT_EQ(std::tie(platform.yields, platform.pictureUpdates), std::tuple(300, 300));
    EXPECT_EQ(platform.shownNowAtCaption, std::vector<std::size_t>{0});  // all shown before the end caption
    EXPECT_EQ(std::tie(busyWhileDrawing, hourglass), std::tuple(true, true));
    EXPECT_EQ(std::tie(s.busy, platform.busyPointer, s.firstDrawing, s.prevAvail), std::tuple(false, false, false, false));
    EXPECT_EQ(platform.beeps, 1);

    // The four colourings of (0, 0), (1, 0), (-1, 0) and (0, 1).
    const std::array<Colour, 4> centre{rgb(0, 0, 127), rgb(0, 0, 255), rgb(0, 0, 249), rgb(0, 0, 0)};
    const std::array<Colour, 4> one{rgb(30, 30, 30), rgb(0, 63, 0), rgb(0, 255, 0), rgb(96, 0, 0)};
    const std::array<Colour, 4> minusOne{rgb(0, 0, 246), rgb(0, 0, 0), rgb(0, 253, 253), rgb(0, 255, 0)};
    for (int q = 0; q < 4; ++q) {
        EXPECT_EQ(at(q, 0, 0), centre[q]) << q;
        EXPECT_EQ(at(q, 100, 0), one[q]) << q;
        EXPECT_EQ(at(q, -100, 0), minusOne[q]) << q;
    }
    EXPECT_EQ(at(3, 0, 100), rgb(255, 255, 0));
    // Nothing is written outside the visible 800 x 600.
    EXPECT_EQ(p.picture1.pixel(1000, 100), 0);
    EXPECT_EQ(p.picture1.pixel(100, 700), 0);
}

TEST_F(RenderLoop, FullPictureDrawsAllFourAndShowsOne) {
    s.live.drawMethod = 2;
    s.live.maxIter = 10;
    Essence(p);
    EXPECT_EQ(std::tie(s.shownMethod, s.shownQuad, s.halfW, s.pixelSize), std::tuple(2, 2, 400, 0.005));
    EXPECT_EQ(platform.yields, 600);
    EXPECT_EQ(p.picture1.left(), -800);
    EXPECT_EQ(platform.caption, s.viewInfo + zoomHint(8) + " 右Clickで他画面: 右W-ClickでMenu:");
    // The far corner of each picture, (1.995, -1.495), escapes at once.
    OrbitRing ring;
    OrbitResult corner = computePoint(orbitParamsFor(s), ring, 399, -299);
    ASSERT_TRUE(corner.escaped);
    PointColours c = pointColours(corner, colourConstantsFor(1.0f, 1.0));
    const Colour inEach[] = {c.upperLeft, c.upperRight, c.lowerLeft, c.lowerRight};
    for (int q = 0; q < 4; ++q) EXPECT_EQ(at(q, 399, -299), inEach[q]) << q;
    EXPECT_EQ(p.picture1.pixel(1599, 1199), c.lowerRight);
}

TEST_F(RenderLoop, CoarsePreviewComputesEveryTenthColumnOnly) {
    s.live.drawMethod = 1;
    s.lineStep = s.coarseLineStep;
    s.live.maxIter = 10;
    dialog.keepOld = true;
    fillWithMarker();
    Essence(p);
    EXPECT_EQ(platform.yields, 600);  // every row is still visited
    for (int v : {0, 300, 599, 600, 1199}) {
        int written = 0;
        for (int u = 0; u < 1600; ++u) {
            const bool computed = u % 10 == 0;
            EXPECT_EQ(p.picture1.pixel(u, v) != kMarker, computed) << u << "," << v;
            written += computed;
        }
        EXPECT_EQ(written, 160);  // 80 points in each of the two pictures of a row
    }
}

TEST_F(RenderLoop, StopAfterARowLeavesTheRowsBelowAsTheyWere) {
    dialog.keepOld = true;
    fillWithMarker();
    platform.onDoEvents = [&] { if (platform.yields == 10) s.stopRequest = true; };
    Essence(p);
    EXPECT_EQ(platform.yields, 10);
    for (int v = 0; v < 300; ++v) {
        const bool drawn = v < 10;
        EXPECT_EQ(p.picture1.pixel(0, v) != kMarker, drawn) << v;
        EXPECT_EQ(p.picture1.pixel(799, v + 300) != kMarker, drawn) << v;
    }
    EXPECT_EQ(std::tie(s.stopRequest, s.busy, platform.beeps), std::tuple(false, false, 1));
    EXPECT_EQ(platform.caption, s.viewInfo + zoomHint(8) + kMenuHint);
}

TEST_F(RenderLoop, StopRequestGivenBeforeTheDrawingIsForgotten) {
    s.stopRequest = true;
    Essence(p);
    EXPECT_EQ(platform.yields, 300);
}

// Going back to the picture and view before is the previous-screen test's;
// a picture kept under the next drawing is copied, not handed over: the
// history has it, and so has the new drawing outside what it draws.
TEST_F(RenderLoop, APictureKeptUnderTheNextDrawingIsAlsoInTheHistory) {
    Essence(p);
    p.picture1.setPixel(1599, 1199, kMarker);  // where the split screen draws nothing
    const Surface second = p.picture1;
    dialog.keepOld = true;
    s.live.singleImage = kYes;  // as an opened picture leaves it
    Essence(p);
    EXPECT_EQ(p.picture2, second);
    EXPECT_EQ(std::tuple(p.picture1.pixel(1599, 1199), s.prevAvail, s.live.singleImage), std::tuple(kMarker, true, kNo));
}

TEST_F(RenderLoop, ViewChosenDuringADrawingWaitsForTheNextOne) {
    Essence(p);
    const Surface plain = p.picture1;
    // Choosing the Julia set in the dialog while the Mandelbrot set is drawn.
    platform.onDoEvents = [&] {
        if (platform.yields == 305) {  // the fifth row of the second drawing
            s.live.isJulia = kYes;
            s.live.juliaStarted = kNo;
            s.live.maxIter = 3;
        }
    };
    Essence(p);
    EXPECT_EQ(p.picture1, plain);
    EXPECT_EQ(s.clickHint, kJuliaPickHint);
    EXPECT_EQ(platform.caption, s.viewInfo + kJuliaPickHint + kMenuHint);
}

// The minutes left, rounded down, by the time the rows so far took, across
// midnight too; a timer that stands still tells nothing.
TEST_F(RenderLoop, RemainingTimeFollowsTheRowsDone) {
    s.showTimeLeft = true;
    float now = 0;
    platform.timerHook = [&] { return now; };
    auto drawWithTheTimerAt = [&](float start, float afterEachRow) {
        now = start;
        platform.onDoEvents = [&now, afterEachRow] { now = afterEachRow; };
        platform.captions.clear();
        Essence(p);
    };
    drawWithTheTimerAt(100, 160);
    ASSERT_GE(platform.captions.size(), 151u);
    EXPECT_EQ(platform.captions[0], s.drawingCaption + "  残 300分:");  // 60 s for 1 row, 300 to go
    EXPECT_EQ(platform.captions[150], s.drawingCaption + "  残 0分:");  // 59.2 s for the last 149
    drawWithTheTimerAt(86390, 10);
    EXPECT_EQ(platform.captions[0], s.drawingCaption + "  残 100分:");  // 20 s for 1 row of 301
    drawWithTheTimerAt(5000, 5000);
    ASSERT_EQ(platform.captions.size(), 1u);
    EXPECT_EQ(platform.captions[0], s.viewInfo + zoomHint(8) + kMenuHint);
}

TEST_F(RenderLoop, DrawingAskedForDuringADrawingIsIgnored) {
    s.busy = true;
    s.zoomEditable = false;
    fillWithMarker();
    Essence(p);
    EXPECT_EQ(std::tie(s.zoomEditable, platform.beeps), std::tuple(false, 0));
    EXPECT_TRUE(platform.captions.empty());
    EXPECT_EQ(p.picture1.pixel(200, 150), kMarker);

    s.busy = false;
    int nested = 0;
    platform.onDoEvents = [&] { if (nested++ == 0) Essence(p); };
    Essence(p);
    EXPECT_EQ(std::tie(platform.yields, platform.beeps, s.zoomEditable), std::tuple(300, 1, true));
}

// An engine that paints each row in one colour, to show the loop takes
// whatever engine the program names.
class StripeEngine : public RowEngine {
public:
    int starts = 0, rows = 0;
    void startDrawing(const DrawingSetup&) override { ++starts; }
    void computeRow(const DrawingSetup& setup, int y, RowColours& out) override {
        ++rows;
        EXPECT_EQ(static_cast<int>(out.size()), setup.pointsPerRow());
        for (auto& c : out) c = PointColours{y + 1000, 0, 0, 0, false};
    }
};

TEST_F(RenderLoop, RowsComeFromTheProgramsEngine) {
    StripeEngine engine;
    p.engine = &engine;
    Essence(p);
    EXPECT_EQ(std::tie(engine.starts, engine.rows), std::tuple(1, 300));
    EXPECT_EQ(at(0, 17, 42), 1042);
    EXPECT_EQ(at(0, -200, -149), 1000 - 149);
}

}  // namespace
}  // namespace qel
