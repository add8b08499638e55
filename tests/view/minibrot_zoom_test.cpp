#include <algorithm>
#include <iterator>
#include <string>

#include "../deep/deep_views.h"
#include "app/captions.h"
#include "app/deep_place.h"
#include "app/drawing_request.h"
#include "app/minibrot_view.h"
#include "app/view_texts.h"
#include "files/file_name.h"
#include "view/minibrot_zoom.h"
#include "view/previous_screen.h"
#include "view/view_fixture.h"

// The popup menu's zoom to the nearest minibrot: from the point where the
// menu was opened to the view that frames the minibrot, drawn as any
// drawing; stopped like one; refused where there is none.
namespace qel {
namespace {

class MinibrotZoomTest : public ViewTest {
protected:
    // The mouse over the plane point (re, im) of the start view's split
    // screen (pixels of 0.01 about 0).
    void pointAt(double re, double im) {
        Picture1_MouseMove(p, static_cast<float>(re / 0.01), static_cast<float>(im / 0.01));
    }
    // The leftmost and rightmost column of row y of the lower-left picture
    // whose colour says period `period`, as the cursor read-out reads it.
    std::pair<int, int> columnsOfPeriod(int period, int y) const {
        int first = p.s.halfW, last = -p.s.halfW - 1;
        for (int x = -p.s.halfW; x < p.s.halfW; ++x) {
            const Colour c = p.picture1.point(x, y - 2 * p.s.halfH);
            if (c == static_cast<Colour>(p.s.periodShown[period]) || c == static_cast<Colour>(p.s.periodInverted[period])) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
        return {first, last};
    }
};

// From beside the period-3 minibrot of the start view: its view is drawn
// as a drawing after a click is, centred on the nucleus, which the cursor
// read-out shows as period 3; the copy's cardioid is a ninth of the width
// (the whole copy about a quarter); the file name carries the view, and
// going back returns to the start view.
TEST_F(MinibrotZoomTest, FromTheStartViewToThePeriod3MinibrotAndBack) {
    drawStartView(500);
    const Surface startPicture = p.picture1;
    pointAt(-1.76, 0.01);
    mnuminibrot_Click(p);
    ASSERT_TRUE(platform.messages.empty());
    EXPECT_NEAR(p.s.cur.centerX, -1.7548776662466927600, 5e-15);  // to the 15 digits of a saved name
    EXPECT_EQ(p.s.cur.centerY, 0.0);
    EXPECT_FALSE(p.s.busy);
    EXPECT_TRUE(p.s.prevAvail);
    const std::string info = "M: 中心(" + numberText(p.s.cur.centerX) + " , 0): 倍率" + dialog.mag + ":";
    EXPECT_EQ(platform.caption, info + "  Clickするとそこを中心に8倍に拡大描画します: 右ClickでMenu:");
    // The search's caption is followed by the drawing's, not by the old one.
    const auto drawing = std::find(platform.captions.begin(), platform.captions.end(), kDrawingPrefix + info + kStopHint);
    ASSERT_NE(drawing, platform.captions.end());
    EXPECT_EQ(std::prev(drawing)->rfind(kMinibrotSearchPrefix, 0), 0u) << *std::prev(drawing);

    Picture1_MouseMove(p, 0.0f, static_cast<float>(-2 * p.s.halfH));
    EXPECT_EQ(p.s.cursorInfo.substr(0, std::string(" 周期 3(").size()), " 周期 3(");
    const auto [first, last] = columnsOfPeriod(3, 0);
    EXPECT_GE(last - first + 1, 2 * p.s.halfW / 14);
    EXPECT_LE(last - first + 1, 2 * p.s.halfW / 7);
    std::string mag = dialog.mag;
    std::replace(mag.begin(), mag.end(), '.', 'p');
    EXPECT_EQ(composeFileName(p.s, p.s.cur.magText, "1"), "M0s" + mag + "x-1p75487766624669y0k500t1.bmp");

    mnuzen_Click(p);
    EXPECT_EQ(std::tuple(p.s.live.centerX, p.s.live.centerY, p.s.radius), std::tuple(0.0, 0.0, 2.0));
    EXPECT_TRUE(p.picture1 == startPicture);
}

// A right click while the search runs stops it as it stops a drawing;
// nothing changes, not even the zoom a stopped drawing would reset.
TEST_F(MinibrotZoomTest, ARightClickStopsTheSearchAndNothingChanges) {
    drawStartView();
    // Inside the main cardioid, with a limit that lets the search run for
    // seconds: no disc holds a nucleus.
    p.s.cur.maxIter = 1e7;
    pointAt(-0.3, 0.2);
    p.s.zoom = 2;
    const AppState before = p.s;
    const std::string caption = platform.caption;
    platform.captions.clear();
    int yields = 0;
    platform.onDoEvents = [&] {
        if (++yields == 2) rightClick(p);
    };
    mnuminibrot_Click(p);
    // The search may take a few more yields to see the stop on a busy machine.
    EXPECT_GE(yields, 2);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.caption, caption);
    ASSERT_FALSE(platform.captions.empty());
    EXPECT_EQ(platform.captions.front(), "Minibrot探索中: 周期を探索 0%:" + kStopHint);
    EXPECT_EQ(std::tie(p.s.live, p.s.cur, p.s.radius, p.s.zoom, p.s.busy, p.s.stopRequest),
              std::tie(before.live, before.cur, before.radius, before.zoom, before.busy, before.stopRequest));
    EXPECT_FALSE(platform.busyPointer);
}

TEST_F(MinibrotZoomTest, FarOutsideTheSetAMessageSaysThereIsNoneAndNothingChanges) {
    drawStartView();
    pointAt(1.5, 1.4);
    const AppState before = p.s;
    const std::string caption = platform.caption;
    mnuminibrot_Click(p);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "近くにMinibrotが見つかりませんでした");
    EXPECT_EQ(std::tie(platform.messages[0].title, platform.messages[0].style), std::tuple("Minibrot", kMsgQuestion));
    EXPECT_EQ(platform.caption, caption);
    EXPECT_EQ(std::tie(p.s.live, p.s.cur, p.s.radius, p.s.prevAvail),
              std::tie(before.live, before.cur, before.radius, before.prevAvail));
}

// A minibrot whose view would lie beyond 1E+10000 leaves the view as it is.
TEST_F(MinibrotZoomTest, AViewBeyondTheDeepestMagnificationIsNotPut) {
    const AppState before = p.s;
    const Nucleus tiny{{BigReal(-1.75, 64), BigReal(0.0, 64)}, 3, ExtComplex::of(1.0, 0.0, -33300)};
    EXPECT_FALSE(putMinibrotView(p.s, tiny));
    EXPECT_EQ(std::tie(p.s.live, p.s.radius), std::tie(before.live, before.radius));
    const Nucleus deep{{BigReal(-1.75, 64), BigReal(0.0, 64)}, 3, ExtComplex::of(1.0, 0.0, -33000)};
    EXPECT_TRUE(putMinibrotView(p.s, deep));
    EXPECT_TRUE(isDeep(p.s.live));
}

// A Julia set has no minibrots: the item is off on a Julia picture and while
// the Julia set is chosen for the next drawing.
TEST_F(MinibrotZoomTest, TheItemIsOffForJuliaSets) {
    drawStartView();
    EXPECT_TRUE(minibrotZoomAvailable(p.s));
    p.s.live.isJulia = kYes;
    EXPECT_FALSE(minibrotZoomAvailable(p.s));
    pointAt(-1.76, 0.01);
    const std::size_t captions = platform.captions.size();
    mnuminibrot_Click(p);
    EXPECT_EQ(platform.captions.size(), captions);
    p.s.live.isJulia = kNo;
    p.s.cur.isJulia = kYes;
    EXPECT_FALSE(minibrotZoomAvailable(p.s));
}

// From 15 pixels beside the period-53 minibrot of a deep split picture at
// 1E50 drawn with a limit of 400: a deep view centred on its nucleus, to
// the digits its magnification needs, drawn with 20 times 53 iterations.
TEST_F(MinibrotZoomTest, ADeepPictureLeadsToADeepViewWithTheIterationsItsMinibrotNeeds) {
    const auto& v = testing::kDeepViews[1];
    ASSERT_EQ(std::string(v.id), "MinibrotAt1E50");
    View view{.maxIter = 400};
    ASSERT_TRUE(placeFromTexts(view, {v.mag, v.cx, v.cy, "0", "0"}));
    putView(p.s, view);
    dialog.mag = v.mag;
    redrw(p);
    ASSERT_TRUE(isDeep(p.s.cur));
    Picture1_MouseMove(p, 12.0f, -9.0f);
    mnuminibrot_Click(p);
    ASSERT_TRUE(platform.messages.empty());
    ASSERT_TRUE(isDeep(p.s.cur));
    EXPECT_EQ(p.s.cur.maxIter, 20 * 53);
    const std::string& x = p.s.cur.deep.centerX;
    const int digits = significantDigitsFor(magnificationOfText(p.s.cur.deep.magnification));
    // Str's form, "-.228155...": every digit but the last (rounded) is the nucleus's.
    const std::string nucleus = std::string("-.") + (v.cx + 3);
    EXPECT_EQ(x.size(), static_cast<std::size_t>(digits) + 2);
    EXPECT_EQ(x.substr(0, static_cast<std::size_t>(digits)), nucleus.substr(0, static_cast<std::size_t>(digits)));
}

}  // namespace
}  // namespace qel
