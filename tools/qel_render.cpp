// qel-render: draws one view without a window, with the program's own render
// loop, and writes it as a 24-bit bitmap.
//
//   qel-render --out FILE.bmp [--set M|J] [--method 0..4] [--cx X --cy Y]
//              [--jre A --jim B] [--mag M] [--maxiter K] [--t T] [--coarse]
//              [--surface] [--reference]
//   qel-render --name M1s8x-0p75y0p1k1000t1.bmp --out DIR/
//
// Without options it draws the start view. --set J with a constant draws that
// Julia set around the centre; --set J without one takes the centre as the
// constant and draws around 0, as a click on the Mandelbrot picture does.
// --surface writes the whole 1600 x 1200 surface instead of the part the
// window shows. The rows are computed by the fast engine on every processor;
// --reference computes them point by point with the literal iteration.
// --name takes the whole view from a saved picture's name; an --out that
// ends in "/" or names a folder gets the name the program would save under.
// A bad or missing value prints one line and exits with 2.
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "headless_program.h"
#include "app/number_text.h"
#include "app/program.h"
#include "files/bitmap.h"
#include "files/file_name.h"
#include "files/picture_files.h"
#include "render/engine_rows.h"
#include "app/drawing.h"

namespace {

using namespace qel;

struct Request {
    bool julia = false;
    std::optional<double> jre, jim;
    int method = 0;
    double cx = 0.0, cy = 0.0, mag = 1.0, maxIter = 500.0;
    float t = 1.0f;
    bool coarse = false, wholeSurface = false, reference = false;
    std::string out;
    std::string magText;  // as a saved name writes it, when --name gave one
};

[[noreturn]] void refuse(const std::string& why) {
    std::fprintf(stderr, "qel-render: %s\n", why.c_str());
    std::exit(2);
}

// A whole option value as a finite number; anything else is refused.
double numberOf(const std::string& option, const std::string& text) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(v)) refuse(option + ": not a number: \"" + text + "\"");
    return v;
}

Request parseArguments(int argc, char** argv) {
    Request r;
    bool haveJre = false, haveJim = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--coarse") {
            r.coarse = true;
            continue;
        }
        if (option == "--surface") {
            r.wholeSurface = true;
            continue;
        }
        if (option == "--reference") {
            r.reference = true;
            continue;
        }
        if (i + 1 >= argc) refuse(option + ": value missing");
        const std::string value = argv[++i];
        if (option == "--set") {
            if (value != "M" && value != "J") refuse("--set: M or J, not \"" + value + "\"");
            r.julia = value == "J";
        } else if (option == "--method") {
            const double m = numberOf(option, value);
            if (m != std::floor(m) || m < 0 || m > 4) refuse("--method: 0 to 4, not \"" + value + "\"");
            r.method = static_cast<int>(m);
        } else if (option == "--cx") {
            r.cx = numberOf(option, value);
        } else if (option == "--cy") {
            r.cy = numberOf(option, value);
        } else if (option == "--jre") {
            r.jre = numberOf(option, value);
            haveJre = true;
        } else if (option == "--jim") {
            r.jim = numberOf(option, value);
            haveJim = true;
        } else if (option == "--mag") {
            r.mag = numberOf(option, value);
            if (!(r.mag >= 0.1)) refuse("--mag: at least 0.1, not \"" + value + "\"");
        } else if (option == "--maxiter") {
            r.maxIter = numberOf(option, value);
            if (r.maxIter < 1 || r.maxIter != std::floor(r.maxIter))
                refuse("--maxiter: a positive whole number, not \"" + value + "\"");
        } else if (option == "--t") {
            const double t = numberOf(option, value);
            if (t < 0 || t > 5) refuse("--t: 0 to 5, not \"" + value + "\"");
            r.t = static_cast<float>(t);
        } else if (option == "--name") {
            const std::optional<FileView> view = decodeFileName(value);
            if (!view) refuse("--name: \"" + value + "\" carries no view");
            r.julia = view->julia;
            r.method = view->method;
            r.cx = view->centerX;
            r.cy = view->centerY;
            if (view->julia) {
                r.jre = view->juliaRe;
                r.jim = view->juliaIm;
                haveJre = haveJim = true;
            }
            r.magText = view->magText;
            r.mag = valueOfText(view->magText);
            r.maxIter = view->maxIter;
            r.t = view->contourT;
            if (r.maxIter < 1 || r.maxIter != std::floor(r.maxIter) || r.t < 0 || r.t > 5 || !(r.mag >= 0.1))
                refuse("--name: \"" + value + "\" holds a view beyond the program's limits");
        } else if (option == "--out") {
            r.out = value;
        } else {
            refuse("unknown option \"" + option + "\"");
        }
    }
    if (r.out.empty()) refuse("--out FILE.bmp is required");
    if (haveJre != haveJim) refuse("--jre and --jim go together");
    if (haveJre && !r.julia) refuse("--jre and --jim need --set J");
    return r;
}

// The view of the request in the state record, as the dialog would leave it.
void applyRequest(const Request& r, AppState& s) {
    setStartValues(s);
    s.firstDrawing = true;
    s.live.isJulia = r.julia ? kYes : kNo;
    // A given constant is a Julia set already started; without one the
    // centre becomes the constant when the drawing starts.
    s.live.juliaStarted = (r.julia && r.jre) ? kYes : kNo;
    if (r.jre) {
        s.live.juliaRe = *r.jre;
        s.live.juliaIm = *r.jim;
    }
    s.live.centerX = r.cx;
    s.live.centerY = r.cy;
    s.radius = s.initialRadius / r.mag;
    s.live.maxIter = r.maxIter;
    s.live.contourT = r.t;
    s.live.drawMethod = static_cast<Int16>(r.method);
    if (r.coarse) s.lineStep = s.coarseLineStep;
}

bool namesFolder(const std::string& out) {
    struct stat st {};
    return out.back() == '/' || (stat(out.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

// The file to write: --out itself, or in a folder the name the program
// would save the drawn view under.
std::string outputPath(const Request& r, const AppState& s, const std::string& magText) {
    if (!namesFolder(r.out)) return r.out;
    std::string folder = r.out.back() == '/' ? r.out : r.out + "/";
    return folder + composeFileName(s, magText, numberText(s.live.contourT));
}

// The part of the surface the window shows for the drawn method.
Surface visiblePart(const Program& p) {
    const auto origin = visibleAreaOrigin(p.s);
    Surface shown(p.s.picW, p.s.picH);
    if (origin) shown.copyFrom(p.picture1, origin->first, origin->second, p.s.picW, p.s.picH, 0, 0);
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    const Request request = parseArguments(argc, argv);
    HeadlessPlatform platform;
    HeadlessDialog dialog;
    NoWindow window;
    Program p(platform, dialog, window);
    applyRequest(request, p.s);
    // A first drawing keeps no history: picture2 is not needed.
    p.picture1.resize(2 * p.s.picW, 2 * p.s.picH);
    const std::string magText =
        request.magText.empty() ? numberText(p.s.initialRadius / p.s.radius) : request.magText;
    dialog.setMagText(magText);
    FastRowEngine fast;
    if (!request.reference) p.engine = &fast;
    Essence(p);

    const std::string out = outputPath(request, p.s, magText);
    const bool written = request.wholeSurface ? writeBitmapFile(out, p.picture1) : writeBitmapFile(out, visiblePart(p));
    if (!written) {
        std::fprintf(stderr, "qel-render: cannot write \"%s\"\n", out.c_str());
        return 1;
    }
    return 0;
}
