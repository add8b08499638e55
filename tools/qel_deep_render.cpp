// qel-deep-render: draws a view of any depth with the perturbation engine,
// without a window, as a bitmap of the four colourings in the split layout.
//
//   qel-deep-render --out FILE.bmp --cx X --cy Y --mag M [--maxiter K]
//                   [--set J --jre A --jim B] [--no-blocks] [--no-rounds]
//                   [--full] [--check N]
//
// X, Y, A, B and M are read with every digit they have ("--mag 1E1000").
// --no-blocks leaves out no range of an orbit by linear blocks, --no-rounds
// no repeated rounds of an interior orbit; --full draws the four
// colourings at 800 x 600 each (a 1600 x 1200 bitmap). --check N also
// iterates N x N points spread over the picture directly in MPFR and prints
// how many escape counts agree and the largest difference. A bad or missing
// value prints one line and exits with 2.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "files/bitmap.h"
#include "render/colouring.h"
#include "render/deep/deep_rows.h"
#include "render/deep/mpfr_point.h"

namespace {

using namespace qel;

[[noreturn]] void refuse(const std::string& why) {
    std::fprintf(stderr, "qel-deep-render: %s\n", why.c_str());
    std::exit(2);
}

std::map<std::string, std::string> optionsOf(int argc, char** argv) {
    std::map<std::string, std::string> o;
    for (int i = 1; i < argc; ++i) {
        const std::string key = argv[i];
        if (key == "--no-blocks" || key == "--no-rounds" || key == "--full") {
            o[key] = "1";
        } else if (key.rfind("--", 0) == 0 && i + 1 < argc) {
            o[key] = argv[++i];
        } else {
            refuse("unknown or incomplete option " + key);
        }
    }
    return o;
}

// The four colours of a point at its four places of the bitmap.
void putPoint(Surface& picture, const DeepGrid& grid, int x, int y, const PointColours& c) {
    const int u = x + grid.halfW, v = grid.halfH - y, du = 2 * grid.halfW, dv = 2 * grid.halfH;
    for (int s = 0; s < grid.xStep && u + s < du; ++s) {
        picture.setPixel(u + s, v, c.upperLeft);
        picture.setPixel(u + s + du, v, c.upperRight);
        picture.setPixel(u + s, v + dv, c.lowerLeft);
        picture.setPixel(u + s + du, v + dv, c.lowerRight);
    }
}

void check(const DeepView& view, const DeepReference& ref, const DeepGrid& grid, int n, DeepSkipping skipping) {
    int same = 0, worst = 0, total = 0, decisions = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const int x = -grid.halfW + (2 * grid.halfW - 1) * i / std::max(1, n - 1);
            const int y = grid.halfH - (2 * grid.halfH - 1) * j / std::max(1, n - 1);
            OrbitResult deep;
            deepPoint(ref, x, y, skipping, deep);
            const OrbitResult slow = mpfrPoint(view, x, y, ref.precisionBits);
            ++total;
            same += deep.escaped == slow.escaped && deep.n == slow.n;
            decisions += deep.escaped != slow.escaped;
            if (deep.escaped == slow.escaped)
                worst = std::max(worst, static_cast<int>(std::llabs(deep.n - slow.n)));
        }
    }
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("check: %d of %d points with the MPFR escape count, %d interior/exterior decisions differ, "
                "largest count difference %d (%.1f s)\n",
                same, total, decisions, worst, s);
}

}  // namespace

int main(int argc, char** argv) {
    auto o = optionsOf(argc, argv);
    if (!o.count("--out")) refuse("--out FILE.bmp is needed");
    const ExtFloat mag = magnificationOfText(o.count("--mag") ? o["--mag"] : "1");
    if (mag.isZero()) refuse("--mag must be a positive number");
    DeepGrid grid;
    if (!o.count("--full")) grid = DeepGrid{200, 150, 1};
    DeepView view;
    view.pixelSize = pixelSizeFor(mag, grid.halfW);
    const long bits = precisionBitsFor(view.pixelSize);
    view.centreRe = BigReal::fromText(o["--cx"], bits);
    view.centreIm = BigReal::fromText(o["--cy"], bits);
    view.julia = o["--set"] == "J";
    view.juliaRe = BigReal::fromText(o["--jre"], bits);
    view.juliaIm = BigReal::fromText(o["--jim"], bits);
    view.maxIter = o.count("--maxiter") ? std::atof(o["--maxiter"].c_str()) : 500.0;
    const DeepSkipping skipping{!o.count("--no-blocks"), !o.count("--no-rounds")};

    DeepRowEngine engine;
    const auto t0 = std::chrono::steady_clock::now();
    engine.startDrawing(view, grid, skipping);
    const ColourConstants colours = colourConstantsFor(1.0f, std::min(mag.toDouble(), 1e300));
    Surface picture(4 * grid.halfW, 4 * grid.halfH);
    std::vector<OrbitResult> row;
    for (int r = 0; r < grid.rows(); ++r) {
        if (!engine.awaitRow(r, row, [] { return true; })) refuse("the drawing stopped");
        for (int k = 0; k < grid.pointsPerRow(); ++k)
            putPoint(picture, grid, grid.xOf(k), grid.yOfRow(r), pointColours(row[static_cast<std::size_t>(k)], colours));
    }
    engine.endDrawing();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const DeepPointStats st = engine.stats();
    const auto ref = engine.reference();
    std::printf("%s: magnification%s, %ld bits, reference %lld values (%.1f MB), %.2f s on %d threads\n",
                o["--out"].c_str(), magnificationStr(mag).c_str(), bits, static_cast<long long>(ref->critical.size()),
                static_cast<double>(ref->bytes()) / 1e6, seconds, engine.threads());
    std::printf("steps: %lld one by one (%lld extended), %lld in %lld linear blocks, %lld in repeated rounds; "
                "%lld starts from 0\n",
                static_cast<long long>(st.steps), static_cast<long long>(st.extendedSteps),
                static_cast<long long>(st.skipped), static_cast<long long>(st.blocks), static_cast<long long>(st.cycled),
                static_cast<long long>(st.rebases));
    if (!writeBitmapFile(o["--out"], picture)) refuse("cannot write " + o["--out"]);
    if (o.count("--check")) check(view, *ref, grid, std::atoi(o["--check"].c_str()), skipping);
    return 0;
}
