// qel-stop-latency: how long a right click takes to stop a drawing that uses
// the fast engine. The render loop runs headless; the first yield to window
// events after a chosen time sets the stop request, as a right click would,
// and the program prints the time from that request to the end caption.
//
// Three views: the interior-heavy view at m = 10^7, a view whose top row
// lies on the chaotic part of the real axis at m = 10^12, where one row
// takes far longer than a human waits: there the stop arrives while the
// loop waits for a row; and a deep view into a minibrot at 10^50 with
// m = 10^7, drawn by the perturbation engine.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "../tests/deep/deep_views.h"
#include "headless_program.h"
#include "app/deep_place.h"
#include "app/number_text.h"
#include "render/engine_rows.h"
#include "render/layout.h"
#include "app/drawing.h"

namespace {

using namespace qel;
using Clock = std::chrono::steady_clock;

struct LatencyView {
    const char* name;
    View view;  // drawn with one colouring at full size
    double radius;
};

double msBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

void measure(FastRowEngine& engine, const LatencyView& v, double stopAfterMs) {
    HeadlessPlatform platform;
    HeadlessDialog dialog;
    NoWindow window;
    Program p(platform, dialog, window);
    p.engine = &engine;
    p.picture1.resize(1600, 1200);  // a first drawing: no history picture
    setStartValues(p.s);
    p.s.firstDrawing = true;
    p.s.live = v.view;
    p.s.radius = v.radius;
    p.s.drawingCaption = "drawing";
    dialog.setMagText(numberText(p.s.initialRadius / p.s.radius));
    if (isDeep(v.view)) dialog.setMagText(trimBlanks(v.view.deep.magnification));

    const Clock::time_point start = Clock::now();
    Clock::time_point requested{}, ended{};
    bool stopAsked = false, endSeen = false;
    int yields = 0;
    Clock::time_point lastYield = start;
    double longestGapMs = 0;
    platform.onDoEvents = [&] {
        ++yields;
        const Clock::time_point now = Clock::now();
        longestGapMs = std::max(longestGapMs, msBetween(lastYield, now));
        lastYield = now;
        if (!stopAsked && msBetween(start, Clock::now()) >= stopAfterMs) {
            p.s.stopRequest = true;
            requested = Clock::now();
            stopAsked = true;
        }
    };
    platform.onCaption = [&](const std::string&) {
        if (stopAsked && !endSeen) {
            ended = Clock::now();
            endSeen = true;
        }
    };
    Essence(p);
    const Clock::time_point back = Clock::now();
    if (!stopAsked) {
        std::printf("%s: the drawing ended after %.1f ms, before a stop at %.0f ms\n", v.name, msBetween(start, back),
                    stopAfterMs);
        return;
    }
    std::printf("%s: stop asked at %.1f ms (yield %d, longest gap between yields %.1f ms), end caption %.2f ms "
                "later, Essence back %.2f ms later\n",
                v.name, msBetween(start, requested), yields, longestGapMs, msBetween(requested, ended),
                msBetween(requested, back));
}

}  // namespace

int main() {
    FastRowEngine engine;
    std::printf("qel-stop-latency: engine on %d threads, %s\n", engine.threads(),
                instructionSetName(engine.instructionSet()));
    // Radius 0.2 around (-0.2, 0): magnification 10, almost every point interior.
    const LatencyView interior{
        "interior-heavy (-0.2, 0) mag 10 m 1e7", {.centerX = -0.2, .maxIter = 1e7, .drawMethod = kUpperLeft}, 0.2};
    // The top row (y = 300 on the full picture) is the real axis around -1.9:
    // its centre lies 300 pixels, as the render loop computes them, below 0.
    const double radius = 4e-11;
    const LatencyView chaotic{"real axis at -1.9, m 1e12",
                              {.centerX = -1.9, .centerY = -(300 * (radius / 400)), .maxIter = 1e12, .drawMethod = kUpperLeft},
                              radius};
    for (double ms : {10.0, 30.0, 100.0}) measure(engine, interior, ms);
    for (double ms : {10.0, 100.0, 500.0}) measure(engine, chaotic, ms);
    const testing::DeepTestView& minibrot = testing::kDeepViews[1];
    LatencyView deep{"deep minibrot at 1E50, m 1e7", {.maxIter = 1e7, .drawMethod = kUpperLeft}, 2e-50};
    deep.view.deep = {minibrot.cx, minibrot.cy, " 0", " 0", " 1E+50"};
    deep.view.centerX = valueOfDeepText(minibrot.cx);
    deep.view.centerY = valueOfDeepText(minibrot.cy);
    for (double ms : {10.0, 100.0, 500.0}) measure(engine, deep, ms);
    return 0;
}
