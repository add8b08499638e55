// qel-smooth-bench: what the smooth colouring costs. The map from encoded
// counts to colours, in ns a pixel; the fast engine's rows of a full-size
// picture in one of the window's colourings and in the smooth counts (the
// counts go on iterating a few steps past the escape); and qel-render as
// whole processes, a deep still and poster in the window's colouring and in
// the smooth one (whose range needs a coarse grid of the view first).
// Best of the repeats for the first two, medians of --runs runs for the
// processes.
//
//   build/qel-smooth-bench [--runs N] [--render PATH]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "figures.h"
#include "render/engine_rows.h"
#include "render/smooth_colouring.h"

namespace {

using namespace qel;
using namespace qel::bench;

double mapNsPerPixel() {
    // Counts of a deep view: a million and a few thousand more, some interior.
    std::vector<Colour> counts(1 << 22);
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = i % 7 == 0 ? interiorCount() : encodeCount(static_cast<float>(1e6 + static_cast<double>(i * 2654435761u % 4096) / 1.3));
    const SmoothMap map(SmoothPalette::builtIn(), smoothRangeOf(counts.data(), 1 << 16));
    double best = 1e30;
    std::uint32_t sum = 0;
    for (int repeat = 0; repeat < 5; ++repeat) {
        const Clock::time_point start = Clock::now();
        for (const Colour c : counts) sum += static_cast<std::uint32_t>(map.colour(c));
        best = std::min(best, msSince(start) * 1e6 / static_cast<double>(counts.size()));
    }
    if (sum == 1) std::printf(" ");  // keeps the loop
    return best;
}

double engineMs(FastRowEngine& engine, int colourings) {
    DrawingSetup setup;
    setup.orbit = {.maxIter = 10000, .centerX = -0.7435669, .centerY = 0.1314023, .pixelSize = 2.0 / 20000 / 400};
    setup.colours = colourConstantsFor(1.0f, 20000);
    setup.halfW = 400;
    setup.halfH = 300;
    setup.colourings = colourings;
    RowColours row(static_cast<std::size_t>(setup.pointsPerRow()));
    double best = 1e30;
    for (int repeat = 0; repeat < 3; ++repeat) {
        const Clock::time_point start = Clock::now();
        engine.startDrawing(setup);
        for (int y = setup.halfH; y > -setup.halfH; --y) engine.awaitRow(setup, y, row, [] { return true; });
        engine.endDrawing();
        best = std::min(best, msSince(start));
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 3;
    std::string render = besideThisProgram(argv[0], "qel-render");
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--render")) render = argv[i + 1];
    }
    std::printf("smooth map, counts to colours: %.2f ns a pixel\n", mapNsPerPixel());
    FastRowEngine engine;
    const double classic = engineMs(engine, kUpperLeft), smooth = engineMs(engine, kSmoothCounts);
    std::printf("engine, boundary view 800 x 600 m 10000: upper-left colouring %.1f ms, smooth counts %.1f ms (%.3fx)\n",
                classic, smooth, smooth / classic);

    const std::string cx = "-0.2281554936539618192145720140991260067373983511745103225589332560452853230060736205736519586"
                           "530696334673825993534428079565790";
    const std::string cy = "1.115142508039937359745764636315014068188778090467965436990650396521121903490164813146425591235"
                           "787256273611163303994940569419";
    const std::string out = "/tmp/qel-smooth-bench-" + std::to_string(getpid()) + ".png";
    const struct {
        const char* what;
        std::vector<std::string> extra;
    } cases[] = {
        {"deep still 1E60 m 100000, method 1", {"--method", "1"}},
        {"deep still 1E60 m 100000, smooth", {"--colouring", "smooth"}},
        {"deep poster --scale 2 --supersample 2, method 1", {"--method", "1", "--scale", "2", "--supersample", "2"}},
        {"deep poster --scale 2 --supersample 2, smooth", {"--colouring", "smooth", "--scale", "2", "--supersample", "2"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {render, "--cx", cx, "--cy", cy, "--mag", "1E60", "--maxiter", "100000",
                                         "--quiet", "--out", out};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        std::vector<double> ms, cpu;
        for (int r = 0; r < runs; ++r) {
            const ProcessRun run = runProcess(args);
            if (run.ms < 0) {
                std::printf("%s: failed\n", c.what);
                return 1;
            }
            ms.push_back(run.ms);
            cpu.push_back(run.cpuMs);
        }
        std::printf("qel-render %s: %.0f ms (%s), processor %.0f ms\n", c.what, median(ms), eachRun(ms, 0).c_str(),
                    median(cpu));
    }
    std::remove(out.c_str());
    return 0;
}
