// qel-bench: the fast engine against the literal reference on the standard
// views. For each view it prints points and iterations per second of the
// reference (one thread) and of the engine (every processor), their ratio,
// the instruction set the engine chose, whether every pixel matched, and the
// peak memory of the process. Iterations are the steps of the literal
// iteration (n + 1 per point), so for the engine they count the steps its
// cycle skipping spared as well. Both count their quickest drawing of a
// view among all they make in kSeriesSpan (at least kLeastRepeats), where
// one drawing takes at most that long. Other work on a shared machine only
// ever slows a drawing, and a burst of it that covers a whole short series
// would otherwise stand for the speed; it also takes a core from the
// engine's two threads rather than from the reference's one.
//
// Where the reference would need more than ten seconds it is timed on a
// sample of evenly spaced rows, and the line says so; the engine's pixels are
// then compared on those rows.
//
// At the end a whole drawing of the start view through the render loop is
// timed against the engine's compute time alone.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "headless_program.h"
#include "app/number_text.h"
#include "render/engine_rows.h"
#include "render/layout.h"
#include "app/drawing.h"

namespace {

using namespace qel;
using Clock = std::chrono::steady_clock;

constexpr double kReferenceBudgetSeconds = 10.0;
constexpr int kSampleRows = 12;
constexpr int kLeastRepeats = 3;
constexpr double kSeriesSpan = 1.0;  // seconds

struct StandardView {
    const char* name;
    View view;
};

const StandardView kViews[] = {
    {"start view, split", {.magText = "1"}},
    {"start view, full size", {.drawMethod = kUpperLeft, .magText = "1"}},
    {"interior-heavy (-0.2, 0) mag 10 m 100000",
     {.centerX = -0.2, .maxIter = 100000, .drawMethod = kUpperLeft, .magText = "10"}},
    {"boundary (-0.7435669, 0.1314023) mag 20000 m 10000",
     {.centerX = -0.7435669, .centerY = 0.1314023, .maxIter = 10000, .drawMethod = kUpperLeft, .magText = "20000"}},
    {"Julia (-0.8, 0.156) m 500",
     {.juliaRe = -0.8, .juliaIm = 0.156, .isJulia = kYes, .juliaStarted = kYes, .drawMethod = kUpperLeft,
      .magText = "1"}},
};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakMemoryKiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void putView(const StandardView& v, AppState& s) {
    setStartValues(s);
    putView(s, v.view);
}

// The setup the render loop would make for the view.
DrawingSetup setupOf(const StandardView& v) {
    AppState s;
    putView(v, s);
    Surface surface(2 * s.picW, 2 * s.picH);
    layoutPicture(s, surface);
    s.pixelSize = s.radius / s.halfW;
    return drawingSetupFor(s, colourConstantsFor(s.live.contourT, s.initialRadius / s.radius));
}

int yOfRow(const DrawingSetup& setup, int row) { return setup.halfH - row; }
int rowCount(const DrawingSetup& setup) { return 2 * setup.halfH; }

bool sameColours(const PointColours& a, const PointColours& b) {
    return a.upperLeft == b.upperLeft && a.upperRight == b.upperRight && a.lowerLeft == b.lowerLeft &&
           a.lowerRight == b.lowerRight && a.interior == b.interior;
}

// Steps of the literal iteration in the whole view.
double literalSteps(const DrawingSetup& setup) {
    std::vector<OrbitResult> orbits(static_cast<std::size_t>(setup.pointsPerRow()));
    double steps = 0;
    for (int row = 0; row < rowCount(setup); ++row) {
        computeRowExact(setup.orbit, RowPoints{yOfRow(setup, row), setup.xOf(0), setup.xStep, setup.pointsPerRow()},
                        orbits.data(), bestInstructionSet());
        for (const OrbitResult& r : orbits) steps += static_cast<double>(r.n + 1);
    }
    return steps;
}

struct ReferenceRun {
    std::vector<int> rows;             // rows computed
    std::vector<RowColours> colours;   // their colours
    double seconds = 0, points = 0, steps = 0;
};

// The literal iteration, point by point with one ring, on the given rows.
// A run that is only timed (`keep` false) makes the same colours but keeps
// none of them.
void runReference(const DrawingSetup& setup, const std::vector<int>& rows, ReferenceRun& run, bool keep = true) {
    OrbitRing ring;
    resetRing(ring);
    RowColours colours(static_cast<std::size_t>(setup.pointsPerRow()));
    const Clock::time_point start = Clock::now();
    for (int row : rows) {
        for (int k = 0; k < setup.pointsPerRow(); ++k) {
            const OrbitResult r = computePoint(setup.orbit, ring, setup.xOf(k), yOfRow(setup, row));
            colours[static_cast<std::size_t>(k)] = pointColours(r, setup.colours);
            run.steps += static_cast<double>(r.n + 1);
        }
        if (!keep) continue;
        run.rows.push_back(row);
        run.colours.push_back(colours);
    }
    run.seconds += secondsSince(start);
    run.points += static_cast<double>(rows.size()) * setup.pointsPerRow();
}

// Evenly spaced rows first; all rows when that sample says they fit the budget.
// A whole view that takes at most kSeriesSpan is drawn again as often as
// fits in kSeriesSpan, and the quickest drawing counts.
ReferenceRun timeReference(const DrawingSetup& setup, bool& sampled) {
    std::vector<int> sample, rest;
    const int rows = rowCount(setup), stride = std::max(1, rows / kSampleRows);
    for (int row = 0; row < rows; ++row) (row % stride == stride / 2 ? sample : rest).push_back(row);
    ReferenceRun run;
    runReference(setup, sample, run);
    sampled = run.seconds * rows / static_cast<double>(sample.size()) > kReferenceBudgetSeconds;
    if (sampled) return run;
    runReference(setup, rest, run);
    if (run.seconds > kSeriesSpan) return run;
    std::vector<int> all(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) all[static_cast<std::size_t>(row)] = row;
    const Clock::time_point series = Clock::now();
    for (int i = 1; i < kLeastRepeats || secondsSince(series) < kSeriesSpan; ++i) {
        ReferenceRun again;
        runReference(setup, all, again, false);
        run.seconds = std::min(run.seconds, again.seconds);
    }
    return run;
}

// The engine over the whole view, best of at least `repeats` drawings and of
// all that fit in kSeriesSpan; the colours of all rows.
double timeEngine(FastRowEngine& engine, const DrawingSetup& setup, int repeats, std::vector<RowColours>& all) {
    double best = 1e30;
    all.assign(static_cast<std::size_t>(rowCount(setup)), RowColours(static_cast<std::size_t>(setup.pointsPerRow())));
    const Clock::time_point series = Clock::now();
    for (int i = 0; i < repeats || secondsSince(series) < kSeriesSpan; ++i) {
        const Clock::time_point start = Clock::now();
        engine.startDrawing(setup);
        for (int row = 0; row < rowCount(setup); ++row)
            engine.computeRow(setup, yOfRow(setup, row), all[static_cast<std::size_t>(row)]);
        engine.endDrawing();
        best = std::min(best, secondsSince(start));
    }
    return best;
}

bool everyPixelMatches(const ReferenceRun& ref, const std::vector<RowColours>& engine) {
    for (std::size_t i = 0; i < ref.rows.size(); ++i) {
        const RowColours& want = ref.colours[i];
        const RowColours& got = engine[static_cast<std::size_t>(ref.rows[i])];
        for (std::size_t k = 0; k < want.size(); ++k)
            if (!sameColours(want[k], got[k])) return false;
    }
    return true;
}

// A whole drawing of the start view through the render loop, best of at
// least five and of all that fit in kSeriesSpan, as for the engine alone.
double timeWholeDrawing(FastRowEngine& engine) {
    HeadlessPlatform platform;
    HeadlessDialog dialog;
    NoWindow window;
    Program p(platform, dialog, window);
    p.picture1.resize(2 * 800, 2 * 600);
    p.picture2.resize(2 * 800, 2 * 600);
    p.engine = &engine;
    double best = 1e30;
    const Clock::time_point series = Clock::now();
    for (int i = 0; i < 5 || secondsSince(series) < kSeriesSpan; ++i) {
        putView(kViews[0], p.s);
        p.s.firstDrawing = i == 0;
        dialog.setMagText(numberText(1.0));
        const Clock::time_point start = Clock::now();
        Essence(p);
        best = std::min(best, secondsSince(start));
    }
    return best;
}

}  // namespace

int main() {
    FastRowEngine engine;
    std::printf("qel-bench: engine on %d threads, instruction set %s; reference on one thread\n\n",
                engine.threads(), instructionSetName(engine.instructionSet()));
    double startViewEngineSeconds = 0;
    for (const StandardView& v : kViews) {
        const DrawingSetup setup = setupOf(v);
        const double points = static_cast<double>(rowCount(setup)) * setup.pointsPerRow();
        const double steps = literalSteps(setup);
        std::vector<RowColours> colours;
        const double engineSeconds = timeEngine(engine, setup, kLeastRepeats, colours);
        if (&v == &kViews[0]) startViewEngineSeconds = engineSeconds;
        bool sampled = false;
        const ReferenceRun ref = timeReference(setup, sampled);
        const double refIterPerSecond = ref.steps / ref.seconds;
        const double engineIterPerSecond = steps / engineSeconds;
        std::printf("%s: %d x %d points, %.4g iterations\n", v.name, setup.pointsPerRow(), rowCount(setup), steps);
        std::printf("  reference: %.4g points/s, %.4g iterations/s (%.3f s on %s)\n", ref.points / ref.seconds,
                    refIterPerSecond, ref.seconds,
                    sampled ? (std::to_string(ref.rows.size()) + " sample rows").c_str() : "all rows");
        std::printf("  engine:    %.4g points/s, %.4g iterations/s (%.4f s)\n", points / engineSeconds,
                    engineIterPerSecond, engineSeconds);
        std::printf("  ratio %.1fx, %s, every pixel %s, peak memory %ld KiB\n\n",
                    engineIterPerSecond / refIterPerSecond, instructionSetName(engine.instructionSet()),
                    everyPixelMatches(ref, colours) ? "matched" : "DIFFERED", peakMemoryKiB());
    }
    const double drawing = timeWholeDrawing(engine);
    std::printf("whole drawing of the start view through Essence: %.4f s, engine compute alone %.4f s, %.2fx\n",
                drawing, startViewEngineSeconds, drawing / startViewEngineSeconds);
    std::printf("peak memory %ld KiB\n", peakMemoryKiB());
    return 0;
}
