// qel-render-bench: qel-render as a user runs it, whole process from start
// to exit, with the fast engine and with --reference, next to what the
// engine alone takes to compute the same view and what a whole drawing
// through the render loop takes in process. Medians of --runs runs (each
// run's figure follows), in ms. The pictures go to a new folder in --dir
// (/tmp unless told): qel-render makes sure a picture is on the disk before
// it is named, so a disk's flush counts in both processes' times, and a
// folder in memory (/dev/shm) leaves it out.
//
//   build/qel-render-bench [--runs N] [--render PATH] [--dir FOLDER]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "headless_program.h"
#include "app/number_text.h"
#include "render/engine_rows.h"
#include "app/drawing.h"
#include "figures.h"

namespace {

using namespace qel;
using namespace qel::bench;

struct BenchView {
    const char* name;
    int method;
    double mag;
};

const BenchView kViews[] = {
    {"start view, split", 0, 1},
    {"start view, full size", 1, 1},
    {"(0, 0) mag 512, split", 0, 512},
};

void putView(const BenchView& v, AppState& s) {
    setStartValues(s);
    putView(s, View{.drawMethod = static_cast<Int16>(v.method), .magText = numberText(v.mag)});
}

// The engine's rows of the view, nothing else.
double engineCompute(FastRowEngine& engine, const BenchView& v) {
    AppState s;
    putView(v, s);
    Surface layout(2 * s.picW, 2 * s.picH);
    layoutPicture(s, layout);
    s.pixelSize = s.radius / s.halfW;
    const DrawingSetup setup = drawingSetupFor(s, colourConstantsFor(s.live.contourT, s.initialRadius / s.radius));
    RowColours row(static_cast<std::size_t>(setup.pointsPerRow()));
    const Clock::time_point start = Clock::now();
    engine.startDrawing(setup);
    for (int y = setup.halfH; y >= 1 - setup.halfH; --y) engine.computeRow(setup, y, row);
    engine.endDrawing();
    return msSince(start);
}

// The first drawing of a program without a window, surfaces made as a
// run makes them.
double wholeDrawing(FastRowEngine& engine, const BenchView& v) {
    HeadlessPlatform platform;
    HeadlessDialog dialog;
    NoWindow window;
    Program p(platform, dialog, window);
    p.engine = &engine;
    const Clock::time_point start = Clock::now();
    putView(v, p.s);
    p.s.firstDrawing = true;
    p.picture1.resize(2 * p.s.picW, 2 * p.s.picH);
    dialog.setMagText(numberText(v.mag));
    Essence(p);
    return msSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 7;
    std::string render = besideThisProgram(argv[0], "qel-render");
    std::string dir = "/tmp";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--render")) render = argv[i + 1];
        if (!std::strcmp(argv[i], "--dir")) dir = argv[i + 1];
    }
    std::string folderName = dir + "/qel-render-bench-XXXXXX";
    char* folder = folderName.data();
    if (!mkdtemp(folder)) return 1;
    const std::string out = std::string(folder) + "/view.bmp";
    FastRowEngine engine;
    std::printf("qel-render-bench: %s, %d runs, pictures written in %s; engine on %d threads, %s; ms, median (each "
                "run)\n\n",
                render.c_str(), runs, dir.c_str(), engine.threads(), instructionSetName(engine.instructionSet()));
    bool failed = false;
    for (const BenchView& v : kViews) {
        const std::vector<std::string> args{render,  "--out", out, "--method", std::to_string(v.method),
                                            "--mag", numberText(v.mag)};
        std::vector<std::string> reference = args;
        reference.push_back("--reference");
        std::vector<double> fast, literal, fastCpu, literalCpu, compute, drawing;
        for (int r = 0; r < runs; ++r) {
            const ProcessRun f = runProcess(args), l = runProcess(reference);
            fast.push_back(f.ms);
            fastCpu.push_back(f.cpuMs);
            literal.push_back(l.ms);
            literalCpu.push_back(l.cpuMs);
            compute.push_back(engineCompute(engine, v));
            drawing.push_back(wholeDrawing(engine, v));
        }
        failed = failed || *std::min_element(fast.begin(), fast.end()) < 0 ||
                 *std::min_element(literal.begin(), literal.end()) < 0;
        std::printf("%s:\n", v.name);
        std::printf("  qel-render, whole process:             %7.1f (%s)\n", median(fast), eachRun(fast, 1).c_str());
        std::printf("  qel-render --reference, whole process: %7.1f (%s)\n", median(literal), eachRun(literal, 1).c_str());
        std::printf("  ratio %.1fx\n", median(literal) / median(fast));
        std::printf("  processor time, qel-render:            %7.1f (%s)\n", median(fastCpu), eachRun(fastCpu, 1).c_str());
        std::printf("  processor time, --reference:           %7.1f (%s)\n", median(literalCpu), eachRun(literalCpu, 1).c_str());
        std::printf("  engine compute alone:                  %7.1f (%s)\n", median(compute), eachRun(compute, 1).c_str());
        std::printf("  in process, surface made and drawn:    %7.1f (%s)\n\n", median(drawing), eachRun(drawing, 1).c_str());
    }
    std::remove(out.c_str());
    rmdir(folder);
    if (failed) std::printf("some qel-render run FAILED\n");
    return failed ? 1 : 0;
}
