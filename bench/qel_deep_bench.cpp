// qel-deep-bench: the perturbation engine on deep views at 800 x 600, with
// and without skipping by linear blocks, against the double engine on
// views of the same kind that a double still reaches.
//
// Each pair is a deep view at magnification 1e100 and a double view at 1e9
// of the same place in the Mandelbrot set scaled down (the same spiral of a
// Misiurewicz point, a minibrot of the same shape and share of the picture
// near it), both at m = 10,000. Times are whole drawings: the reference
// orbit, every row and its colours, on every processor; the best of a few.
// Iterations are the steps of the literal iteration (n + 1 per point), so
// the engines are compared per step: "equal-work ratio" is the deep time
// over the double time scaled to the deep view's iterations.
//
// Each deep view is drawn with both ways of leaving steps out (linear
// blocks and repeated rounds, see perturbation.h), with blocks alone, and
// with every step.
//
// Then the minibrot view at m = 1,000,000: the reference orbit's time and
// memory per iteration, the whole view, and every 25th row with each way of
// leaving steps out (the whole view with every step takes many minutes).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "render/colouring.h"
#include "render/deep/deep_rows.h"
#include "render/engine_rows.h"

namespace {

using namespace qel;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Processor time of every thread of the process so far: on a machine shared
// with other work it tells the work a drawing took where its wall time
// also tells how often it had to wait for a core.
double processorSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           1e-6 * static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

struct Timer {
    Clock::time_point wall = Clock::now();
    double processor = processorSeconds();
};

struct Place {
    const char* name;
    const char* deepRe;
    const char* deepIm;
    double shallowRe, shallowIm;
};

// The Misiurewicz point M(3,1) at -0.2281554936... + 1.1151425080...i, with
// the view's centre 0.61 and -0.37 of the magnification's unit away; and the
// period-104 (deep) and period-11 (double) minibrots near it.
const Place kSpiral{"spiral of a Misiurewicz point",
                    "-0.22815549365396181921457201409912600673739835117450803237959798108441566303601306675742104271"
                    "1970437207939585",
                    "1.115142508039937359745764636315014068188778090467954603627468033481040909294635516857257200687"
                    "47652285021003",
                    -0.22815549304396181921, 1.1151425076699373597};
const Place kMinibrot{"minibrot and its neighbourhood",
                      "-0.2281554936539618192145720140991260067373983511745103225589332560452853230060736205736519586"
                      "5306963346738259935344280795657908",
                      "1.115142508039937359745764636315014068188778090467965436990650396521121903490164813146425591235"
                      "787256273611163303994940569419",
                      -0.22816913033455737826, 1.1151776294660047261};

const DeepGrid kFullSize{400, 300, 1};

long peakMemoryKiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

DeepView deepViewOf(const Place& p, double mag, double maxIter) {
    DeepView v;
    v.pixelSize = pixelSizeFor(ExtFloat::of(mag), kFullSize.halfW);
    const long bits = precisionBitsFor(v.pixelSize);
    v.centreRe = BigReal::fromText(p.deepRe, bits);
    v.centreIm = BigReal::fromText(p.deepIm, bits);
    v.maxIter = maxIter;
    return v;
}

// Wall time: the least of the repeats; processor time (all threads): their
// mean, as it comes in whole milliseconds.
struct Drawing {
    double seconds = 1e30;
    double processor = 0;
    int repeats = 0;
    double iterations = 0;
    DeepPointStats stats;

    void timed(const Timer& t) {
        seconds = std::min(seconds, secondsSince(t.wall));
        processor = (processor * repeats + processorSeconds() - t.processor) / (repeats + 1);
        ++repeats;
    }
};

// Draws the view through the engine and the colourings, as the render loop
// would take its rows; best of `repeats`.
Drawing drawDeep(const DeepView& view, DeepSkipping skipping, int repeats) {
    Drawing best;
    const DeepGrid grid = kFullSize;
    const ColourConstants colours = colourConstantsFor(1.0f, 1e300);
    for (int i = 0; i < repeats; ++i) {
        DeepRowEngine engine;
        std::vector<OrbitResult> row;
        std::vector<PointColours> out(static_cast<std::size_t>(grid.pointsPerRow()));
        best.iterations = 0;
        const Timer t;
        engine.startDrawing(view, grid, skipping);
        for (int r = 0; r < grid.rows(); ++r) {
            engine.awaitRow(r, row, [] { return true; });
            pointColours(row.data(), grid.pointsPerRow(), colours, EscapeCountColours(), out.data());
            for (const OrbitResult& o : row) best.iterations += static_cast<double>(o.n + 1);
        }
        engine.endDrawing();
        best.timed(t);
        best.stats = engine.stats();
    }
    return best;
}

// The points of the given rows on one reference, rows shared among the
// processors; the reference is not timed.
Drawing drawRows(const DeepReference& ref, const std::vector<int>& rows, DeepSkipping skipping) {
    const int threads = DeepRowEngine().threads();
    std::vector<Drawing> parts(static_cast<std::size_t>(threads));
    const Timer t;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            Drawing& d = parts[static_cast<std::size_t>(t)];
            for (std::size_t i = static_cast<std::size_t>(t); i < rows.size(); i += static_cast<std::size_t>(threads))
                for (int k = 0; k < kFullSize.pointsPerRow(); ++k) {
                    OrbitResult o;
                    deepPoint(ref, kFullSize.xOf(k), kFullSize.yOfRow(rows[i]), skipping, o, nullptr, &d.stats);
                    d.iterations += static_cast<double>(o.n + 1);
                }
        });
    }
    for (std::thread& w : workers) w.join();
    Drawing all;
    all.timed(t);
    for (const Drawing& d : parts) {
        all.iterations += d.iterations;
        all.stats += d.stats;
    }
    return all;
}

Drawing drawDouble(const Place& p, double mag, double maxIter, int repeats) {
    DrawingSetup setup;
    setup.orbit.centerX = p.shallowRe;
    setup.orbit.centerY = p.shallowIm;
    setup.orbit.maxIter = maxIter;
    setup.orbit.pixelSize = 2.0 / mag / kFullSize.halfW;
    setup.colours = colourConstantsFor(1.0f, mag);
    setup.halfW = kFullSize.halfW;
    setup.halfH = kFullSize.halfH;
    FastRowEngine engine;
    Drawing best;
    RowColours row(static_cast<std::size_t>(setup.pointsPerRow()));
    for (int i = 0; i < repeats; ++i) {
        const Timer t;
        engine.startDrawing(setup);
        for (int r = 0; r < 2 * setup.halfH; ++r) engine.computeRow(setup, setup.halfH - r, row);
        engine.endDrawing();
        best.timed(t);
    }
    std::vector<OrbitResult> orbits(static_cast<std::size_t>(setup.pointsPerRow()));
    for (int r = 0; r < 2 * setup.halfH; ++r) {
        computeRowExact(setup.orbit, RowPoints{setup.halfH - r, -setup.halfW, 1, setup.pointsPerRow()},
                        orbits.data(), bestInstructionSet());
        for (const OrbitResult& o : orbits) best.iterations += static_cast<double>(o.n + 1);
    }
    return best;
}

const DeepSkipping kEveryStep{false, false}, kBlocksOnly{true, false}, kRoundsOnly{false, true}, kBoth{true, true};

void printDrawing(const char* what, const Drawing& d) {
    std::printf("  %-36s %7.3f s (processors %7.3f s)  %.4g iterations  %.4g iterations/s\n", what, d.seconds,
                d.processor, d.iterations, d.iterations / d.seconds);
    const double all = static_cast<double>(d.stats.steps + d.stats.skipped + d.stats.cycled);
    if (all > 0)
        std::printf("  %36s %.1f%% of the steps one by one, %.1f%% in linear blocks, %.1f%% in repeated rounds\n",
                    "", 100.0 * static_cast<double>(d.stats.steps) / all,
                    100.0 * static_cast<double>(d.stats.skipped) / all,
                    100.0 * static_cast<double>(d.stats.cycled) / all);
}

void comparePair(const Place& p) {
    std::printf("%s, 800 x 600, m = 10000\n", p.name);
    const DeepView view = deepViewOf(p, 1e100, 10000);
    const Drawing doubles = drawDouble(p, 1e9, 10000, 20);
    const Drawing both = drawDeep(view, kBoth, 3);
    const Drawing blocks = drawDeep(view, kBlocksOnly, 2);
    const Drawing plain = drawDeep(view, kEveryStep, 1);
    printDrawing("double engine, magnification 1e9:", doubles);
    printDrawing("deep, 1e100, blocks and rounds:", both);
    printDrawing("deep, 1e100, linear blocks only:", blocks);
    printDrawing("deep, 1e100, every step:", plain);
    // Deep time over the double engine's time for as many iterations.
    auto ratio = [&](const Drawing& d, double Drawing::*time) {
        return d.*time / (doubles.*time / doubles.iterations * d.iterations);
    };
    std::printf("  equal-work ratio to the double engine, wall (processors): %.2f (%.2f) with blocks and rounds, "
                "%.2f (%.2f) with blocks only, %.2f (%.2f) every step\n\n",
                ratio(both, &Drawing::seconds), ratio(both, &Drawing::processor), ratio(blocks, &Drawing::seconds),
                ratio(blocks, &Drawing::processor), ratio(plain, &Drawing::seconds), ratio(plain, &Drawing::processor));
}

void longOrbits() {
    std::printf("%s at 1e100, m = 1,000,000\n", kMinibrot.name);
    const DeepView view = deepViewOf(kMinibrot, 1e100, 1e6);
    for (bool withBlocks : {false, true}) {
        const Clock::time_point start = Clock::now();
        const auto ref = buildReference(view, kFullSize, withBlocks);
        const double seconds = secondsSince(start);
        const double values = static_cast<double>(ref->critical.size());
        std::printf("  reference %s: %.0f values at %ld bits in %.2f s, %.1f MB, %.1f bytes per iteration\n",
                    withBlocks ? "with skip tables" : "alone", values, ref->precisionBits, seconds,
                    static_cast<double>(ref->bytes()) / 1e6, static_cast<double>(ref->bytes()) / values);
    }
    printDrawing("whole view, blocks and rounds:", drawDeep(view, kBoth, 1));
    std::vector<int> rows;
    for (int r = 12; r < kFullSize.rows(); r += 25) rows.push_back(r);
    const auto ref = buildReference(view, kFullSize, true);
    std::printf("  every 25th row (%zu rows), points only:\n", rows.size());
    const Drawing plain = drawRows(*ref, rows, kEveryStep);
    printDrawing("every step:", plain);
    for (const auto& [name, skipping] : {std::pair{"linear blocks only:", kBlocksOnly},
                                        std::pair{"repeated rounds only:", kRoundsOnly},
                                        std::pair{"blocks and rounds:", kBoth}}) {
        const Drawing d = drawRows(*ref, rows, skipping);
        printDrawing(name, d);
        std::printf("  %36s %.1fx faster than every step (processors %.1fx)\n", "", plain.seconds / d.seconds,
                    plain.processor / d.processor);
    }
    std::printf("\n");
}

}  // namespace

int main() {
    std::printf("qel-deep-bench: %d threads\n\n", DeepRowEngine().threads());
    comparePair(kSpiral);
    comparePair(kMinibrot);
    longOrbits();
    std::printf("peak memory %ld KiB\n", peakMemoryKiB());
    return 0;
}
