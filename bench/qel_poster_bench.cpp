// qel-poster-bench: large pictures and zoom films as qel-render draws them,
// next to the engine's own figure for the same view.
//
// For each view it prints, per run and as the median of the runs:
//   - the engine's figure: points per second of the window's picture of the
//     view, computed row by row by the fast engine and nothing else, the
//     quickest drawing of a second of repeats, each point with the four
//     colours the window's surface holds (as qel-bench counts it);
//   - the engine's sustained figure: the same drawing repeated for as many
//     points as the large picture has, all of them counted, so that it
//     meets the same share of a busy machine as the large picture does;
//   - the large picture drawn in this process with its rows thrown away:
//     the engine (a picture of one colouring makes only that colour of
//     each point) and the assembly of pixel rows, no file;
//   - qel-render as a user runs it, whole process from start to exit, once
//     writing a BMP and once a PNG: points per second, and the peak memory
//     of the process.
// The runs alternate, so that other work on a shared machine falls on all
// of them alike. Beside the points per second of the clock, each prints the
// processor time a point cost (all threads, user and system): on a machine
// busy with other work the clock's figures fall with the share of the
// processors the runs get, the processor time per point much less.
//
//   build/qel-poster-bench [--runs N] [--folder DIR] [--quick]
// --folder: where qel-render writes (a temporary folder in /tmp unless
// given); --quick: smaller pictures, for a look.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/drawing.h"
#include "app/number_text.h"
#include "figures.h"
#include "render/engine_rows.h"
#include "render/large_picture.h"

namespace {

using namespace qel;
using namespace qel::bench;

constexpr double kSeriesSpanMs = 1000.0;

// Processor time of this process so far, all threads, user and system, in ms.
double processCpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return cpuMs(u);
}

// Points per second by the clock, and processor ns per point.
struct Rate {
    double perSecond = 0, cpuNs = 0;
};

struct Job {
    const char* name;
    double cx, cy, mag, maxIter;
    int method, scale, frames;  // frames 0: one picture
};

const Job kJobs[] = {
    {"start view, full size, K 32 (25600 x 19200)", 0, 0, 1, 500, 1, 32, 0},
    {"boundary (-0.7435669, 0.1314023) mag 20000 m 10000, full size, K 16", -0.7435669, 0.1314023, 20000, 10000, 1,
     16, 0},
    {"start view, split, K 32", 0, 0, 1, 500, 0, 32, 0},
    {"zoom film: 60 frames of the start view at full size, K 1", 0, 0, 1, 500, 1, 1, 60},
};

AppState viewOf(const Job& j) {
    AppState s;
    setStartValues(s);
    putView(s, View{.centerX = j.cx,
                    .centerY = j.cy,
                    .maxIter = j.maxIter,
                    .drawMethod = static_cast<Int16>(j.method),
                    .magText = numberText(j.mag)});
    return s;
}

double pointsOf(const LargePicture& pic) {
    return static_cast<double>(pic.points.pointsPerRow()) * 2 * pic.points.halfH;
}

// The window's drawing of the view, all four colours of every point made
// as qel-bench makes them (a large picture of one colouring makes one).
LargePicture windowDrawingOf(const AppState& view) {
    LargePicture window = largePictureOf(view, 1);
    window.points.colourings = kSplitScreen;
    return window;
}

// The engine alone on the window's picture of the view: points per second
// of the quickest drawing of a second of repeats, processor time per point
// over all of them.
Rate engineFigure(FastRowEngine& engine, const AppState& view) {
    const LargePicture window = windowDrawingOf(view);
    const DrawingSetup& setup = window.points;
    RowColours row(static_cast<std::size_t>(setup.pointsPerRow()));
    double best = 1e30;
    const Clock::time_point series = Clock::now();
    const double cpu = processCpuMs();
    int drawings = 0;
    for (; drawings < 3 || msSince(series) < kSeriesSpanMs; ++drawings) {
        const Clock::time_point start = Clock::now();
        engine.startDrawing(setup);
        for (int y = setup.halfH; y >= 1 - setup.halfH; --y) engine.computeRow(setup, y, row);
        engine.endDrawing();
        best = std::min(best, msSince(start));
    }
    return {pointsOf(window) / best * 1000, (processCpuMs() - cpu) * 1e6 / (pointsOf(window) * drawings)};
}

// The window's picture drawn over and over for at least `points` points.
Rate engineSustained(FastRowEngine& engine, const AppState& view, double points) {
    const LargePicture window = windowDrawingOf(view);
    const DrawingSetup& setup = window.points;
    RowColours row(static_cast<std::size_t>(setup.pointsPerRow()));
    const Clock::time_point start = Clock::now();
    const double cpu = processCpuMs();
    double done = 0;
    for (; done < points; done += pointsOf(window)) {
        engine.startDrawing(setup);
        for (int y = setup.halfH; y >= 1 - setup.halfH; --y) engine.computeRow(setup, y, row);
        engine.endDrawing();
    }
    return {done / msSince(start) * 1000, (processCpuMs() - cpu) * 1e6 / done};
}

class Discard : public PictureSink {
public:
    bool putRow(std::int64_t, const std::uint32_t*) override { return true; }
    bool finish() override { return true; }
};

// The pictures drawn in process, rows thrown away.
Rate drawnInProcess(FastRowEngine& engine, const std::vector<LargePicture>& pictures, double points) {
    RenderHooks hooks;
    hooks.open = [](std::size_t) { return std::make_unique<Discard>(); };
    const Clock::time_point start = Clock::now();
    const double cpu = processCpuMs();
    renderPictures(pictures, engine, hooks);
    return {points / msSince(start) * 1000, (processCpuMs() - cpu) * 1e6 / points};
}

void removeOutput(const std::string& folder) {
    const std::string command = "rm -rf '" + folder + "'/*";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not empty %s\n", folder.c_str());
}

struct Series {
    std::vector<double> perSecond, cpuNs, peakKiB;
    void add(const Rate& r) {
        perSecond.push_back(r.perSecond / 1e6);
        cpuNs.push_back(r.cpuNs);
    }
};

void printSeries(const char* what, const Series& s, const Series& engine, const Series& sustained) {
    std::printf("  %-34s %7.2f M points/s (%s), %.3f of the engine's, %.3f of its sustained\n", what,
                median(s.perSecond), eachRun(s.perSecond, 1).c_str(), median(s.perSecond) / median(engine.perSecond),
                median(s.perSecond) / median(sustained.perSecond));
    std::printf("  %-34s %7.2f ns a point (%s), %.3f of the engine's\n", "", median(s.cpuNs),
                eachRun(s.cpuNs, 1).c_str(), median(s.cpuNs) / median(engine.cpuNs));
    if (!s.peakKiB.empty())
        std::printf("  %-34s %7.0f KiB peak memory (%s)\n", "", median(s.peakKiB), eachRun(s.peakKiB, 0).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    bool quick = false;
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--folder") && i + 1 < argc) folder = argv[++i];
        else if (!std::strcmp(argv[i], "--quick")) quick = true;
    }
    char made[] = "/tmp/qel-poster-bench-XXXXXX";
    if (folder.empty()) {
        if (!mkdtemp(made)) return 1;
        folder = made;
    }
    const std::string render = besideThisProgram(argv[0], "qel-render");
    FastRowEngine engine;
    std::printf("qel-poster-bench: %s writing to %s, %d runs; engine on %d threads, %s\n"
                "points per second, median (each run in millions); peak memory in KiB\n\n",
                render.c_str(), folder.c_str(), runs, engine.threads(), instructionSetName(engine.instructionSet()));
    bool failed = false;
    for (const Job& job : kJobs) {
        const int scale = quick ? std::max(1, job.scale / 4) : job.scale;
        const AppState view = viewOf(job);
        const std::vector<LargePicture> pictures(static_cast<std::size_t>(std::max(1, job.frames)),
                                                 largePictureOf(view, scale));
        double points = 0;
        for (const LargePicture& p : pictures) points += pointsOf(p);
        std::vector<std::string> args{render,         "--quiet", "--method", std::to_string(job.method),
                                      "--cx",         numberText(job.cx), "--cy", numberText(job.cy),
                                      "--mag",        numberText(job.mag), "--maxiter", numberText(job.maxIter),
                                      "--scale",      std::to_string(scale)};
        if (job.frames > 0) args.insert(args.end(), {"--frames", std::to_string(job.frames)});
        Series figure, sustained, inProcess, bmp, png;
        for (int r = 0; r < runs; ++r) {
            figure.add(engineFigure(engine, view));
            sustained.add(engineSustained(engine, view, points));
            inProcess.add(drawnInProcess(engine, pictures, points));
            for (Series* series : {&bmp, &png}) {
                const bool isBmp = series == &bmp;
                if (job.frames > 0 && isBmp) continue;
                std::vector<std::string> a = args;
                a.insert(a.end(), {"--out", job.frames > 0 ? folder + "/" : folder + (isBmp ? "/poster.bmp" : "/poster.png")});
                const ProcessRun run = runProcess(a);
                removeOutput(folder);
                failed = failed || run.ms < 0;
                series->add({points / run.ms * 1000, run.cpuMs * 1e6 / points});
                series->peakKiB.push_back(static_cast<double>(run.peakKiB));
            }
        }
        const LargePicture& first = pictures.front();
        std::printf("%s: %lld x %lld pixels, %.4g points%s\n", job.name, static_cast<long long>(first.width()),
                    static_cast<long long>(first.height()), points,
                    job.frames > 0 ? (", " + std::to_string(job.frames) + " frames").c_str() : "");
        std::printf("  %-34s %7.2f M points/s (%s)\n", "engine figure (window's picture)", median(figure.perSecond),
                    eachRun(figure.perSecond, 1).c_str());
        std::printf("  %-34s %7.2f ns a point (%s)\n", "", median(figure.cpuNs), eachRun(figure.cpuNs, 1).c_str());
        printSeries("engine, sustained", sustained, figure, sustained);
        printSeries("drawn in process, rows discarded", inProcess, figure, sustained);
        if (!bmp.perSecond.empty()) printSeries("qel-render, BMP, whole process", bmp, figure, sustained);
        printSeries("qel-render, PNG, whole process", png, figure, sustained);
        std::printf("\n");
    }
    if (folder == made) rmdir(made);
    if (failed) std::printf("some qel-render run FAILED\n");
    return failed ? 1 : 0;
}
