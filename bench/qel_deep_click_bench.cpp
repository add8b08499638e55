// qel-deep-click-bench: a left click on a deep picture, timed from the click
// to the end caption, as the window runs it: the zoom at full precision,
// the drawing request, the history step, the reference orbit and every row
// of the deep engine with its colours written into the surface, one yield
// per row. Only the painting of the window is left out (its cost is
// measured by qel-window-bench).
//
// Each view is first drawn as the picture on the screen, then clicked at
// its centre (a zoom by 8); the figure is the median of --runs clicks, each
// on a fresh program, every run's figure follows.
//
//   build/qel-deep-click-bench [--runs N]
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../tests/deep/deep_views.h"
#include "app/deep_place.h"
#include "app/drawing.h"
#include "app/number_text.h"
#include "app/view_texts.h"
#include "app/first_drawing.h"
#include "figures.h"
#include "headless_program.h"
#include "view/picture_events.h"

namespace {

using namespace qel;
using namespace qel::bench;

struct Timed {
    double ms = 0, cpuMs = 0;
};

rusage usageNow() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u;
}

// The view as the window holds it after zooming there, drawn with the
// drawing method `method`.
void putDeepView(AppState& s, const testing::DeepTestView& v, int method) {
    View view{.isJulia = v.julia ? kYes : kNo,
              .juliaStarted = v.julia ? kYes : kNo,
              .maxIter = v.maxIter,
              .drawMethod = static_cast<Int16>(method)};
    // A Julia constant is the double a click picked, with all its digits.
    const ViewTexts place{v.mag, v.cx, v.cy, exactText(valueOfText(v.jre)), exactText(valueOfText(v.jim))};
    if (!placeFromTexts(view, place) || view.deep.empty()) {
        std::fprintf(stderr, "qel-deep-click-bench: %s is no deep view\n", v.name);
        std::exit(2);
    }
    putView(s, view);
}

Timed clickOnce(const testing::DeepTestView& v, int method) {
    HeadlessProgram program;
    Program& p = program.p;
    setStartValues(p.s);
    setUpPictures(p);
    calibratePeriodColours(p.s);
    putDeepView(p.s, v, method);
    p.s.firstDrawing = true;
    Essence(p);
    // The click at the centre of the top-left picture.
    Picture1_MouseMove(p, 0.0f, 0.0f);
    Picture1_MouseDown(p, kLeftButton);
    const rusage before = usageNow();
    const Clock::time_point start = Clock::now();
    Picture1_Click(p);
    Timed t;
    t.ms = msSince(start);
    t.cpuMs = cpuMs(usageNow()) - cpuMs(before);
    if (!isDeep(p.s.cur) || p.s.busy) std::fprintf(stderr, "the click did not draw a deep view\n");
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 3;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
    std::printf("click to end caption on deep views (the zoom by 8 at the centre), median of %d\n", runs);
    std::printf("%-48s %-10s %10s %10s   each run (ms)\n", "view (m)", "method", "wall ms", "cpu ms");
    std::vector<testing::DeepTestView> views;
    for (const testing::DeepTestView& v : testing::kDeepViews) {
        const std::string id = v.id;
        if (id == "SpiralAt1E20" || id == "MinibrotAt1E100" || id == "SpiralAt1E1000") views.push_back(v);
    }
    // Deep minibrots at m = 10^6: every point (or most) inside.
    for (const testing::DeepTestView& v : testing::kMinibrotViews) {
        const std::string id = v.id;
        if (id != "NucleusOfPeriod5At1E100" && id != "MinibrotOfPeriod21At1E20" && id != "NucleusOfPeriod1024At1E300")
            continue;
        views.push_back(v);
        views.back().maxIter = 1e6;
    }
    for (const testing::DeepTestView& v : views) {
        for (int method : {0, 1}) {
            std::vector<double> wall, cpu;
            for (int r = 0; r < runs; ++r) {
                const Timed t = clickOnce(v, method);
                wall.push_back(t.ms);
                cpu.push_back(t.cpuMs);
            }
            const std::string name = std::string(v.name) + " (" + std::to_string(static_cast<long long>(v.maxIter)) + ")";
            std::printf("%-48s %-10s %10.0f %10.0f   %s\n", name.c_str(), method == 0 ? "split" : "full size",
                        median(wall), median(cpu), eachRun(wall, 0).c_str());
        }
    }
    return 0;
}
