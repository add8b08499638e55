// Stopping a drawing of the fast engine: the window keeps its events while a
// long row is awaited, a stop then gives that row up, the drawing ends as
// after any stop, and the engine draws again after it.
#include <gtest/gtest.h>

#include "app/captions.h"
#include "render/engine_rows.h"
#include "support/program_fixture.h"

namespace qel {
namespace {

class EngineStop : public ProgramTest {
protected:
    FastRowEngine engine{2};

    void SetUp() override {
        ProgramTest::SetUp();
        s.viewInfo = " 中心(-1.9 , 0):";
        s.drawingCaption = kDrawingPrefix + s.viewInfo + kStopHint;
        p.engine = &engine;
    }

    // A split view whose top row lies on the real axis around -1.9, where
    // orbits wander chaotically: with a limit of 10^12 that row alone takes
    // seconds, every other row is quick.
    void chaoticTopRow() {
        s.radius = 2e-11;
        s.live.centerX = -1.9;
        s.live.centerY = -(150 * (s.radius / 200));
        s.live.maxIter = 1e12;
    }

    int pixelsWritten() const {
        int written = 0;
        for (int v = 0; v < p.picture1.height(); ++v)
            for (int u = 0; u < p.picture1.width(); ++u) written += p.picture1.pixel(u, v) != 0 ? 1 : 0;
        return written;
    }
};

TEST_F(EngineStop, WindowKeepsItsEventsWhileALongRowIsAwaitedAndAStopGivesTheRowUp) {
    chaoticTopRow();
    int busyYields = 0;
    platform.onDoEvents = [&] {
        if (s.busy) ++busyYields;
        if (platform.yields == 5) s.stopRequest = true;  // a right click
    };
    Essence(p);

    // Five yields came while the first row was still being computed.
    EXPECT_EQ(std::tie(platform.yields, busyYields, platform.pictureUpdates), std::tuple(5, 5, 0));
    EXPECT_EQ(pixelsWritten(), 0);
    // The end of the drawing, as after any stop.
    EXPECT_EQ(std::tie(platform.beeps, s.busy, s.stopRequest, platform.busyPointer), std::tuple(1, false, false, false));
    EXPECT_EQ(platform.caption, s.viewInfo + s.clickHint + rightButtonHint(false));
}

TEST_F(EngineStop, TheEngineDrawsAgainAfterAStoppedDrawing) {
    chaoticTopRow();
    platform.onDoEvents = [&] { s.stopRequest = true; };
    Essence(p);
    ASSERT_EQ(pixelsWritten(), 0);

    setStartValues(s);
    platform.onDoEvents = nullptr;
    Essence(p);
    const Surface fast = p.picture1;
    p.engine = nullptr;
    Essence(p);
    EXPECT_TRUE(fast == p.picture1);
    EXPECT_EQ(platform.beeps, 3);
}

}  // namespace
}  // namespace qel
