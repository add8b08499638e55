// qel-render: draws views without a window, as the window draws them, at
// the window's size or larger, as BMP or PNG pictures or as the frames of a
// zoom film. `qel-render --help` lists the options.
//
// Rows are computed by the fast engine on every processor (--reference: by
// the literal iteration, point by point), a view deeper than a double
// reaches by the perturbation engine (--reference: every point in MPFR), and
// written as they come, so memory
// does not grow with a picture's height. A file is written under a temporary
// name and takes its own name only once it is complete: a failure or Ctrl+C
// leaves no partial picture behind. A refused argument prints one line and
// exits with 2, before anything is written; a failure to write exits with 1
// and the system's reason.
#include <getopt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/captions.h"
#include "app/deep_place.h"
#include "app/minibrot_view.h"
#include "headless_program.h"
#include "app/number_text.h"
#include "app/program.h"
#include "app/view_limits.h"
#include "app/view_texts.h"
#include "files/bitmap.h"
#include "files/file_name.h"
#include "files/kfr_file.h"
#include "files/palette_file.h"
#include "files/picture_files.h"
#include "files/picture_output.h"
#include "files/safe_file.h"
#include "files/video_output.h"
#include "render/deep/deep_colour_rows.h"
#include "render/zoom_film.h"
#include "render/engine_rows.h"
#include "render/large_picture.h"
#include "render/layout.h"
#include "render/smooth_colouring.h"
#include "app/drawing.h"

#ifndef QEL_VERSION
#define QEL_VERSION "development build"
#endif

namespace {

using namespace qel;

constexpr int kExitFailed = 1;
constexpr int kExitRefused = 2;
constexpr int kMostFrames = 9999;
// The most frames a film may have: an hour at 120 frames a second.
constexpr int kMostFilmFrames = 432000;

const char kUsage[] =
    "Usage: qel-render --out FILE.bmp|FILE.png|FILE.kfr|DIR/ [options]\n"
    "Draws a view of the Mandelbrot set or a Julia set as the qel window draws it.\n"
    "\n"
    "The view (the start view unless given):\n"
    "  --name NAME        the view a saved picture's name carries (M0s1x0y0k500t1.bmp)\n"
    "  --kfr FILE         the location a Kalles Fraktaler file holds: its Re, Im,\n"
    "                     Zoom and Iterations as --cx, --cy, --mag (Zoom * 3/4)\n"
    "                     and --maxiter (which, given, takes the place of Iterations)\n"
    "  --set M|J          Mandelbrot set or Julia set\n"
    "  --method 0..4      0 the four colourings split, 1..4 one of them at full size\n"
    "  --cx X --cy Y      the centre\n"
    "  --jre A --jim B    the Julia constant (without it --set J takes the centre\n"
    "                     as the constant and draws around 0)\n"
    "  --mag M            magnification, at least 0.1, up to 1E+10000; the\n"
    "                     centre, constant and magnification take any number\n"
    "                     of digits\n"
    "  --maxiter K        iteration limit, a positive whole number\n"
    "  --t T              contour interval and brightness, 0 to 5\n"
    "  --minibrot         instead, the view of the minibrot nearest the centre, as\n"
    "                     the window's menu item finds it (the Mandelbrot set\n"
    "                     only); its file name is printed as the last line\n"
    "\n"
    "The picture:\n"
    "  --out FILE         a .bmp or .png file; a folder (DIR/) gets the name the\n"
    "                     window would save the view under; a .kfr file gets the\n"
    "                     view's location (a Mandelbrot view) instead of a picture\n"
    "  --scale K          K x K pixels for every pixel of the window, K = 1..64\n"
    "  --supersample S    S x S points per pixel averaged in linear light, S = 1..8\n"
    "  --frames N         N pictures zooming from magnification 1 to the view's,\n"
    "                     written as DIR/frame-0001.png ... (N = 2..9999)\n"
    "  --colouring C      classic: the window's colourings (the default); smooth:\n"
    "                     the whole picture in a palette over the continuous\n"
    "                     escape count, for deep views (laid out as --method 1\n"
    "                     when --method is 0)\n"
    "  --palette FILE     the smooth colouring's palette: a colour a line, #RRGGBB\n"
    "                     or R G B, '# ' comments, \"interior #RRGGBB\" for the set\n"
    "  --film SECONDS     instead, a film of SECONDS zooming from --from to the\n"
    "                     view's magnification, --out FILE.mp4 (H.264), .mkv\n"
    "                     (H.264) or .webm (VP9); in the smooth colouring unless\n"
    "                     --method 1..4 is given\n"
    "  --from MAG         the film's first magnification (1 unless given)\n"
    "  --fps N            the film's frames a second, 1..120 (30 unless given)\n"
    "  --size WxH         the film's frame size, even numbers up to 3840x2160\n"
    "                     (800x600 unless given)\n"
    "  --full-colour      the film's colour at every pixel (4:4:4), not at every\n"
    "                     other one each way (4:2:0): truer fine colours, which\n"
    "                     browsers and most hardware players do not play\n"
    "  --film-frame I     instead of the film, its frame I (1 = the first) drawn\n"
    "                     exactly, as --out FILE.png or FILE.bmp; takes\n"
    "                     --supersample\n"
    "  --surface          the window's whole 1600 x 1200 drawing surface\n"
    "  --coarse           the window's coarse preview (every tenth column)\n"
    "  --reference        compute with the literal iteration instead of the engine\n"
    "                     (on a deep view: every point directly at full precision)\n"
    "  --quiet            no progress line on a terminal\n"
    "  --help, --version\n";

[[noreturn]] void refuse(const std::string& why) {
    std::fprintf(stderr, "qel-render: %s\n", why.c_str());
    std::exit(kExitRefused);
}

// ---------------------------------------------------------------- arguments

struct Request {
    bool julia = false;
    std::optional<std::string> jre, jim;
    int method = 0;
    std::string cx = "0", cy = "0", mag = "1";  // as written, with every digit
    double maxIter = 500.0;
    float t = 1.0f;
    std::optional<View> named;  // the view --name gave
    std::string kfr;  // the location file --kfr gave
    bool coarse = false, wholeSurface = false, reference = false, quiet = false, minibrot = false;
    int scale = 1, samples = 1, frames = 0;
    std::string out;
    bool smooth = false;  // --colouring smooth
    std::shared_ptr<const SmoothPalette> palette;  // --palette; none: the built-in one
    bool methodGiven = false, colouringGiven = false;
    // --film and its options.
    double filmSeconds = 0;
    std::string from;  // --from's text; empty: magnification 1
    int fps = 30, filmWidth = 800, filmHeight = 600;
    int filmFrame = 0;  // --film-frame, 1-based; 0: the film
    bool fullColour = false;  // --full-colour: 4:4:4 instead of 4:2:0
    bool film() const { return filmSeconds > 0; }
    int filmFrames() const { return static_cast<int>(std::lround(filmSeconds * fps)); }
};

enum Option {
    kOut = 256, kName, kKfr, kSet, kMethod, kCx, kCy, kJre, kJim, kMag, kMaxIter, kT,
    kScale, kSupersample, kFrames, kColouring, kPalette, kFilm, kFrom, kFps, kSize, kFullColour, kFilmFrame, kCoarse, kSurface, kReference, kQuiet, kHelp, kVersion, kMinibrot, kOptionEnd
};

const option kOptions[] = {
    {"out", required_argument, nullptr, kOut},
    {"name", required_argument, nullptr, kName},
    {"kfr", required_argument, nullptr, kKfr},
    {"set", required_argument, nullptr, kSet},
    {"method", required_argument, nullptr, kMethod},
    {"cx", required_argument, nullptr, kCx},
    {"cy", required_argument, nullptr, kCy},
    {"jre", required_argument, nullptr, kJre},
    {"jim", required_argument, nullptr, kJim},
    {"mag", required_argument, nullptr, kMag},
    {"maxiter", required_argument, nullptr, kMaxIter},
    {"t", required_argument, nullptr, kT},
    {"scale", required_argument, nullptr, kScale},
    {"supersample", required_argument, nullptr, kSupersample},
    {"frames", required_argument, nullptr, kFrames},
    {"colouring", required_argument, nullptr, kColouring},
    {"palette", required_argument, nullptr, kPalette},
    {"film", required_argument, nullptr, kFilm},
    {"from", required_argument, nullptr, kFrom},
    {"fps", required_argument, nullptr, kFps},
    {"size", required_argument, nullptr, kSize},
    {"full-colour", no_argument, nullptr, kFullColour},
    {"film-frame", required_argument, nullptr, kFilmFrame},
    {"coarse", no_argument, nullptr, kCoarse},
    {"surface", no_argument, nullptr, kSurface},
    {"reference", no_argument, nullptr, kReference},
    {"quiet", no_argument, nullptr, kQuiet},
    {"help", no_argument, nullptr, kHelp},
    {"version", no_argument, nullptr, kVersion},
    {"minibrot", no_argument, nullptr, kMinibrot},
    {nullptr, 0, nullptr, 0},
};

std::string optionName(int id) {
    for (const option& o : kOptions)
        if (o.val == id) return std::string("--") + o.name;
    return "?";
}

// A decimal number with as many digits as it is written with.
std::string decimalTextOf(int option, const std::string& text) {
    if (!isPlainDecimal(text)) refuse(optionName(option) + ": not a decimal number: \"" + text + "\"");
    return text;
}

// A decimal number within a double's range; anything else is refused.
double numberOf(int option, const std::string& text) {
    decimalTextOf(option, text);
    const char* first = text.c_str() + (text[0] == '+' ? 1 : 0);
    double v = 0.0;
    const auto [end, ec] = std::from_chars(first, text.c_str() + text.size(), v);
    if (ec != std::errc{} || end != text.c_str() + text.size())
        refuse(optionName(option) + ": beyond the range of numbers: \"" + text + "\"");
    return v;
}

// A whole number from `low` to `high`, written with digits only.
int wholeNumberOf(int option, const std::string& text, int low, int high) {
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || v < low || v > high)
        refuse(optionName(option) + ": a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
               ", not \"" + text + "\"");
    return v;
}

void takeName(const std::string& value, Request& r) {
    r.named = decodeFileName(value);
    if (!r.named) refuse("--name: \"" + value + "\" carries no view");
}

// The location of --kfr's file as the options of a view.
void takeLocation(Request& r, bool maxIterGiven) {
    const std::optional<std::string> text = readKfrFile(r.kfr);
    if (!text) refuse("--kfr: cannot read \"" + r.kfr + "\" (missing, unreadable or larger than " +
                      std::to_string(kLargestKfrFile) + " bytes)");
    const std::optional<KfrLocation> location = parseKfr(*text);
    const std::optional<std::string> magnification = location ? magnificationOfZoom(location->zoom) : std::nullopt;
    if (!magnification)
        refuse("--kfr: \"" + r.kfr + "\" holds no location: Re, Im and Zoom once each, plain numbers, "
               "Iterations a whole number above 0, a magnification from 0.1 to 1E+10000");
    r.cx = location->re;
    r.cy = location->im;
    r.mag = *magnification;
    if (location->iterations && !maxIterGiven) r.maxIter = valueOfText(*location->iterations);
}

// --size WxH: even numbers, up to the largest film.
void takeSize(const std::string& value, Request& r) {
    const std::size_t x = value.find('x');
    const auto whole = [](const std::string& text, int high) {
        int v = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        return !text.empty() && ec == std::errc{} && end == text.data() + text.size() && v >= 2 && v <= high &&
                       v % 2 == 0
                   ? v
                   : 0;
    };
    const int w = x == std::string::npos ? 0 : whole(value.substr(0, x), kMostFilmWidth);
    const int h = x == std::string::npos ? 0 : whole(value.substr(x + 1), kMostFilmHeight);
    if (w == 0 || h == 0)
        refuse("--size: WxH, even numbers from 2x2 to " + std::to_string(kMostFilmWidth) + "x" +
               std::to_string(kMostFilmHeight) + ", not \"" + value + "\"");
    r.filmWidth = w;
    r.filmHeight = h;
}

void takeOption(int id, const std::string& value, Request& r) {
    switch (id) {
    case kOut:
        if (value.empty()) refuse("--out: an empty name");
        r.out = value;
        break;
    case kName:
        takeName(value, r);
        break;
    case kKfr:
        if (value.empty()) refuse("--kfr: an empty name");
        r.kfr = value;
        break;
    case kSet:
        if (value != "M" && value != "J") refuse("--set: M or J, not \"" + value + "\"");
        r.julia = value == "J";
        break;
    case kMethod:
        r.method = wholeNumberOf(id, value, 0, 4);
        break;
    case kCx:
        r.cx = decimalTextOf(id, value);
        break;
    case kCy:
        r.cy = decimalTextOf(id, value);
        break;
    case kJre:
        r.jre = decimalTextOf(id, value);
        break;
    case kJim:
        r.jim = decimalTextOf(id, value);
        break;
    case kMag:
        r.mag = decimalTextOf(id, value);
        break;
    case kMaxIter:
        r.maxIter = numberOf(id, value);
        if (!isIterationLimit(r.maxIter)) refuse("--maxiter: a positive whole number, not \"" + value + "\"");
        break;
    case kT: {
        const double t = numberOf(id, value);
        if (!isContourInterval(t)) refuse("--t: 0 to 5, not \"" + value + "\"");
        r.t = static_cast<float>(t);
        break;
    }
    case kScale:
        r.scale = wholeNumberOf(id, value, 1, kMostScale);
        break;
    case kSupersample:
        r.samples = wholeNumberOf(id, value, 1, kMostSamples);
        break;
    case kFrames:
        r.frames = wholeNumberOf(id, value, 2, kMostFrames);
        break;
    case kColouring:
        if (value != "classic" && value != "smooth") refuse("--colouring: classic or smooth, not \"" + value + "\"");
        r.smooth = value == "smooth";
        break;
    case kPalette: {
        if (value.empty()) refuse("--palette: an empty name");
        PaletteReading reading = readPaletteFile(value);
        if (!reading.palette) refuse("--palette: " + reading.refusal);
        r.palette = std::make_shared<const SmoothPalette>(std::move(*reading.palette));
        break;
    }
    case kFilm:
        r.filmSeconds = numberOf(id, value);
        if (!(r.filmSeconds > 0)) refuse("--film: a number of seconds above 0, not \"" + value + "\"");
        break;
    case kFrom:
        r.from = decimalTextOf(id, value);
        break;
    case kFps:
        r.fps = wholeNumberOf(id, value, 1, kMostFilmFps);
        break;
    case kSize:
        takeSize(value, r);
        break;
    case kFullColour:
        r.fullColour = true;
        break;
    case kFilmFrame:
        r.filmFrame = wholeNumberOf(id, value, 1, kMostFilmFrames);
        break;
    case kCoarse:
        r.coarse = true;
        break;
    case kSurface:
        r.wholeSurface = true;
        break;
    case kReference:
        r.reference = true;
        break;
    case kQuiet:
        r.quiet = true;
        break;
    case kMinibrot:
        r.minibrot = true;
        break;
    default:
        break;
    }
}

// What a film takes: a video file (a picture for one frame of it), one
// colouring, none of the options of pictures of the window.
void checkFilm(Request& r) {
    if (r.frames > 0) refuse("--film and --frames go without each other: a film, or the frames as pictures");
    if (r.coarse || r.wholeSurface || r.scale > 1)
        refuse("--film goes without --coarse, --surface and --scale");
    if (r.samples > 1 && r.filmFrame == 0) refuse("--supersample goes with --film-frame, not with a whole film");
    // Without a colouring asked for, a film is in the smooth colouring.
    if (!r.methodGiven && !r.colouringGiven) r.smooth = true;
    if (!r.smooth && r.method == kSplitScreen)
        refuse("--film: a film shows one colouring: --method 1..4, or --colouring smooth (the default)");
    const int frames = r.filmFrames();
    if (frames < 2 || frames > kMostFilmFrames)
        refuse("--film: from 2 to " + std::to_string(kMostFilmFrames) + " frames at --fps " + std::to_string(r.fps) +
               ", not " + std::to_string(frames));
    if (r.filmFrame > frames)
        refuse("--film-frame: the film has " + std::to_string(frames) + " frames, not " + std::to_string(r.filmFrame));
    if (r.filmFrame > 0) {
        if (!pictureFormatOf(r.out)) refuse("--film-frame: --out must end in .png or .bmp");
    } else if (!videoFormatOf(r.out)) {
        refuse("--film: --out must end in .mp4, .mkv or .webm");
    }
}

Request parseArguments(int argc, char** argv) {
    Request r;
    std::vector<bool> seen(kOptionEnd, false);
    opterr = 0;
    for (;;) {
        const int before = optind;
        const int id = getopt_long(argc, argv, ":", kOptions, nullptr);
        if (id == -1) break;
        if (id == '?') refuse("unknown option \"" + std::string(argv[std::min(before, argc - 1)]) + "\"");
        if (id == ':') refuse(optionName(optopt) + ": value missing");
        if (id == kHelp) {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (id == kVersion) {
            std::printf("qel-render %s\n", QEL_VERSION);
            std::exit(0);
        }
        if (seen[static_cast<std::size_t>(id)]) refuse(optionName(id) + " given twice");
        seen[static_cast<std::size_t>(id)] = true;
        takeOption(id, optarg ? optarg : "", r);
    }
    if (optind < argc) refuse("unexpected argument \"" + std::string(argv[optind]) + "\"");
    // --set to --t: the options of a view, which --name gives whole.
    if (seen[kName])
        for (int id = kKfr; id <= kT; ++id)
            if (seen[static_cast<std::size_t>(id)]) refuse(optionName(id) + " cannot go with --name, which gives the whole view");
    // A location file gives the set, the centre and the magnification.
    if (seen[kKfr]) {
        for (int id : {kSet, kCx, kCy, kJre, kJim, kMag})
            if (seen[static_cast<std::size_t>(id)]) refuse(optionName(id) + " cannot go with --kfr, which gives the location");
        takeLocation(r, seen[kMaxIter]);
    }
    if (r.out.empty()) refuse("--out FILE.bmp, FILE.png or DIR/ is required");
    if (r.jre.has_value() != r.jim.has_value()) refuse("--jre and --jim go together");
    if (r.jre && !r.julia) refuse("--jre and --jim need --set J");
    // A film is smooth unless told otherwise, so it takes a palette alone.
    r.methodGiven = seen[kMethod];
    r.colouringGiven = seen[kColouring];
    if (r.film()) checkFilm(r);
    if (r.palette && !r.smooth) refuse("--palette goes with --colouring smooth");
    for (int id : {kFrom, kFps, kSize, kFullColour, kFilmFrame})
        if (seen[static_cast<std::size_t>(id)] && !r.film()) refuse(optionName(id) + " goes with --film");
    const bool windowOnly = r.coarse || r.wholeSurface;
    if (windowOnly && r.smooth)
        refuse(std::string(r.coarse ? "--coarse" : "--surface") +
               " draws the window's own surface, in its colourings: it goes without --colouring smooth");
    if (windowOnly && (r.scale > 1 || r.samples > 1 || r.frames > 0))
        refuse(std::string(r.coarse ? "--coarse" : "--surface") +
               " draws the window's own surface: it goes without --scale, --supersample and --frames");
    return r;
}

// ---------------------------------------------------------------- the view

// The magnification text the window's dialog would show for a magnification
// typed as `text`: numberText of the magnification its radius gives, or
// the text itself beyond a double's range.
std::string dialogMagText(const std::string& text) {
    if (numberOverflows(text)) return text;
    const double initialRadius = AppState{}.initialRadius;
    return numberText(initialRadius / (initialRadius / valueOfText(text)));
}

// The request's view as the window would draw it: the live values, a Julia
// constant fixed (--set J without one takes the centre and draws around
// 0), and the cur layer that names the picture, with the magnification
// text a saved name carries (--name's own, or the one the window writes).
AppState viewOf(const Request& r) {
    AppState s;
    setStartValues(s);
    View v = r.named.value_or(View{.isJulia = r.julia ? kYes : kNo,
                                   .juliaStarted = r.julia ? kYes : kNo,
                                   .maxIter = r.maxIter,
                                   .contourT = r.t,
                                   .drawMethod = static_cast<Int16>(r.method)});
    // The smooth colouring fills the whole picture, as a method of one
    // colouring does.
    if (r.smooth && v.drawMethod == kSplitScreen) v.drawMethod = kUpperLeft;
    if (!r.named) {
        ViewTexts place{dialogMagText(r.mag), r.cx, r.cy, r.jre.value_or("0"), r.jim.value_or("0")};
        if (r.julia && !r.jre) {
            place.juliaRe = r.cx;
            place.juliaIm = r.cy;
            place.centerX = place.centerY = "0";
        }
        if (!placeFromTexts(v, place))
            refuse("the magnification is below 0.1, beyond 1E+" + std::to_string(kDeepestMagnificationPowerOfTen) +
                   " or unusable, or a coordinate is beyond the range of numbers");
    }
    putView(s, v);
    return s;
}

// The same view at the magnification a text gives; an empty text keeps the
// view's own.
AppState viewAtMagnification(const AppState& view, const std::string& magText) {
    if (magText.empty()) return view;
    AppState s = view;
    if (isDeep(view.cur)) {
        // The centre's texts at the frame's magnification: a deep view, or
        // the doubles nearest them once a double tells the pixels apart.
        View frame = view.cur;
        ViewTexts place = textsOfPlace(view.cur);
        place.magnification = magText;
        if (!placeFromTexts(frame, place)) refuse("no view at magnification " + magText);
        putView(s, frame);
        return s;
    }
    s.radius = s.initialRadius / valueOfText(magText);
    snapshotView(s, magText);
    return s;
}

// Why a view cannot be drawn: the limits of what the window can reach and
// save (app/view_limits.h), and for a larger picture pixels `scale` times
// smaller that must still fall on different points of the plane.
std::optional<std::string> viewRefusal(const AppState& s, int scale) {
    ViewValues v = viewValuesOf(s.live);
    v.magnification = s.initialRadius / s.radius;  // the live view keeps it in the radius
    if (const ViewFault fault = viewFault(v); fault != ViewFault::none) return describeViewFault(fault);
    if (!isDeep(s.live) && !pixelsStayApart(s.radius, halfWidthFor(s) * scale, s.live.centerX, s.live.centerY))
        return "the magnification is too large for neighbouring pixels of a picture at --scale " +
               std::to_string(scale) + " to differ at this centre";
    return std::nullopt;
}

// Why a deep view's drawing cannot start: its reference orbits would not fit
// in the memory available (render/deep/reference.h).
std::optional<std::string> memoryRefusal(const AppState& s) {
    if (!isDeep(s.live)) return std::nullopt;
    const bool julia = s.live.isJulia == kYes;
    const std::uint64_t available = availableMemoryBytes();
    if (deepDrawingFits(s, available)) return std::nullopt;
    char why[200];
    std::snprintf(why, sizeof why,
                  "--maxiter: the reference orbits of this deep view may need %.1f GB, more than a drawing may take "
                  "of the %.1f GB of memory available; %.0f iterations fit",
                  static_cast<double>(deepDrawingBytesAtMost(s.live.maxIter, julia)) / 1e9,
                  static_cast<double>(available) / 1e9, mostIterationsFitting(julia, available));
    return std::string(why);
}

// ---------------------------------------------------------------- the pictures

bool namesFolder(const std::string& out) {
    struct stat st {};
    return out.back() == '/' || (stat(out.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

std::string inFolder(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string frameName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04d.png", i + 1);
    return name;
}

// The magnification texts of the frames: frame i of n at M^(i / (n - 1)),
// from 1 to the view's own (the last text is empty); each frame is drawn at
// the value of its text, so that its name's view is exactly the frame's. A
// deep view's magnification may lie beyond a double's range, so its powers
// are taken through its binary logarithm.
std::vector<std::string> frameMagnifications(const AppState& view, int frames) {
    const bool deep = isDeep(view.live);
    const double log2M = liveMagnification(view).log2Abs();
    std::vector<std::string> texts;
    for (int i = 0; i < frames; ++i) {
        const double share = static_cast<double>(i) / (frames - 1);
        if (i == 0) {
            texts.push_back("1");
        } else if (i == frames - 1) {
            texts.push_back("");
        } else if (deep) {
            const double log2Frame = log2M * share, whole = std::floor(log2Frame);
            texts.push_back(trimBlanks(magnificationStr(
                ExtFloat::normalised(std::exp2(log2Frame - whole), static_cast<std::int64_t>(whole)))));
        } else {
            texts.push_back(numberText(std::pow(view.initialRadius / view.radius, share)));
        }
    }
    return texts;
}

std::string viewName(const AppState& s) { return composeFileName(s, s.cur.magText, numberText(s.live.contourT)); }

// What a PNG carries: the name the view is saved under and its values.
std::vector<PictureText> textsOf(const AppState& s, const Request& r) {
    // Every digit of a deep view's place, the doubles' texts otherwise.
    const ViewTexts place = textsOfPlace(s.cur);
    std::string values = s.live.isJulia == kYes ? "Julia set, constant " + numberTextOfStr(place.juliaRe) + " " +
                                                 numberTextOfStr(place.juliaIm) + ", "
                                           : std::string("Mandelbrot set, ");
    values += (r.smooth ? std::string("smooth colouring") : "method " + std::to_string(s.live.drawMethod)) +
              ", magnification " + s.cur.magText + ", centre " +
              numberTextOfStr(place.centerX) + " " + numberTextOfStr(place.centerY) + ", iterations " +
              trimBlanks(strDouble(s.live.maxIter)) + ", t " + numberText(s.live.contourT) + ", scale " +
              std::to_string(r.scale) + ", supersample " + std::to_string(r.samples);
    return {{"qel view", viewName(s) + "\n" + values}, {"Software", std::string("qel-render ") + QEL_VERSION}};
}

struct Planned {
    std::string path;
    std::string magText;  // empty: the view's own magnification
    std::optional<BitmapViewNote> note;  // the whole name, when the file's is shortened

    const BitmapViewNote* noteOrNull() const { return note ? &*note : nullptr; }
};

// The files to write and the magnification of each.
std::vector<Planned> planPictures(const Request& r, const AppState& view) {
    if (r.frames > 0) {
        if (!namesFolder(r.out)) refuse("--frames: --out must be a folder (DIR/)");
        std::vector<Planned> frames;
        const std::vector<std::string> mags = frameMagnifications(view, r.frames);
        for (int i = 0; i < r.frames; ++i)
            frames.push_back({inFolder(r.out, frameName(i)), mags[static_cast<std::size_t>(i)], std::nullopt});
        return frames;
    }
    if (!namesFolder(r.out)) return {{r.out, "", std::nullopt}};
    // The name the window saves under: shortened, with the whole one in the
    // bitmap, when a file name cannot hold it.
    const SavedName saved = savedNameOf(view, view.cur.magText, numberText(view.live.contourT));
    Planned planned{inFolder(r.out, saved.name), "", std::nullopt};
    if (!saved.wholeName.empty()) planned.note = BitmapViewNote{saved.name, saved.wholeName};
    return {planned};
}

// ---------------------------------------------------------------- stopping and progress

// Set by SIGINT or SIGTERM: the drawing stops after its current row and the
// unfinished file is given up. A signal handler can only reach a global.
volatile std::sig_atomic_t gStopSignal = 0;

void noteStop(int signal) { gStopSignal = signal; }

void stopOnSignals() {
    struct sigaction action {};
    action.sa_handler = noteStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// Ends the process as the signal would have, once the files are cleaned up.
[[noreturn]] void endByStopSignal() {
    const int signal = gStopSignal;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::exit(128 + signal);
}

// One line on a terminal, a few times a second: percent, rows per second
// and time left.
class Progress {
public:
    using Clock = std::chrono::steady_clock;
    Progress(bool shown, std::int64_t rows, int pictures)
        : shown_(shown), rows_(rows), pictures_(pictures), start_(Clock::now()), lastShown_(start_) {}
    ~Progress() { clear(); }

    // Takes the line away before anything else is said.
    void clear() {
        if (wrote_) std::fprintf(stderr, "\r%*s\r", 79, "");
        wrote_ = false;
    }

    void rowsDone(std::int64_t done, std::size_t picture) {
        if (!shown_) return;
        const Clock::time_point now = Clock::now();
        if (now - lastShown_ < std::chrono::milliseconds(250)) return;
        lastShown_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double perSecond = static_cast<double>(done) / seconds;
        const auto left = static_cast<long>(perSecond > 0 ? static_cast<double>(rows_ - done) / perSecond : 0);
        char frame[48] = "";
        if (pictures_ > 1) std::snprintf(frame, sizeof frame, "frame %zu of %d, ", picture + 1, pictures_);
        std::fprintf(stderr, "\rqel-render: %s%3d%%, %.0f rows/s, %ld:%02ld left   ", frame,
                     static_cast<int>(100 * done / rows_), perSecond, left / 60, left % 60);
        std::fflush(stderr);
        wrote_ = true;
    }

private:
    bool shown_;
    std::int64_t rows_;
    int pictures_;
    Clock::time_point start_, lastShown_;
    bool wrote_ = false;
};

// ---------------------------------------------------------------- the nearest minibrot

// The view of the minibrot nearest the view's centre, as the window's menu
// item puts it (app/minibrot_view.h), made the view that is drawn and
// named. A stop by a signal ends the process as during a drawing.
AppState minibrotViewOf(const AppState& view, const Request& r) {
    if (view.live.isJulia == kYes) refuse("--minibrot: minibrots are the Mandelbrot set's, not a Julia set's");
    AppState s = view;
    s.halfW = static_cast<Int16>(halfWidthFor(s));
    s.pixelSize = s.radius / s.halfW;
    const ExtFloat pixel = shownPixelSize(s);
    const long bits = precisionBitsFor(pixel);
    const BigComplex centre = isDeep(s.cur) ? BigComplex{shownCentre(s, false), shownCentre(s, true)}
                                            : BigComplex{BigReal(s.cur.centerX, bits), BigReal(s.cur.centerY, bits)};
    std::atomic<bool> stop{false};
    const bool shown = !r.quiet && isatty(STDERR_FILENO);
    Progress::Clock::time_point lastShown = Progress::Clock::now();
    bool wrote = false;
    NucleusControl control{&stop, [&](const NucleusProgress& p) {
                               if (gStopSignal != 0) stop = true;
                               const auto now = Progress::Clock::now();
                               if (!shown || now - lastShown < std::chrono::milliseconds(250)) return;
                               lastShown = now;
                               const int percent = p.steps > 0 ? static_cast<int>(100 * p.step / p.steps) : 0;
                               if (p.stage == NucleusProgress::Stage::period)
                                   std::fprintf(stderr, "\rqel-render: looking for the period, %3d%%   ", percent);
                               else
                                   std::fprintf(stderr, "\rqel-render: nucleus of period %lld, orbit %d, %3d%%   ",
                                                static_cast<long long>(p.period), p.round, percent);
                               wrote = true;
                           }};
    const std::optional<Nucleus> minibrot = findMinibrot(centre, pixel, s.halfW, s.live.maxIter, control);
    if (wrote) std::fprintf(stderr, "\r%*s\r", 79, "");
    if (gStopSignal != 0) {
        std::fprintf(stderr, "qel-render: stopped while looking for the minibrot; nothing was written\n");
        endByStopSignal();
    }
    if (!minibrot) {
        std::fprintf(stderr, "qel-render: no minibrot found near the centre\n");
        std::exit(kExitFailed);
    }
    if (!putMinibrotView(s, *minibrot)) {
        std::fprintf(stderr, "qel-render: the minibrot of period %lld near the centre lies beyond magnification 1E+%d\n",
                     static_cast<long long>(minibrot->period), kDeepestMagnificationPowerOfTen);
        std::exit(kExitFailed);
    }
    snapshotView(s, magnificationText(s));
    return s;
}

// ---------------------------------------------------------------- drawing

// The coarse grid a picture's range of smooth counts is found from: a
// quarter of the window's points each way.
constexpr int kSmoothGridCoarseness = 4;

// The range of smooth counts of view `i`, from its coarse grid drawn by the
// engines a picture of it is drawn by; a stop by a signal ends the process.
SmoothRange smoothRangeOfView(const std::vector<AppState>& views, std::size_t i, RowEngine& doubles,
                              bool reference) {
    ViewRowEngines engine(views, doubles, reference);
    DrawingSetup grid = coarseSmoothGrid(largePictureOf(views[i], 1).points, kSmoothGridCoarseness);
    grid.picture = static_cast<int>(i);
    const std::optional<std::vector<Colour>> counts = smoothCountsOf(grid, engine, [] { return gStopSignal == 0; });
    if (!counts) {
        std::fprintf(stderr, "qel-render: stopped; nothing was written\n");
        endByStopSignal();
    }
    return smoothRangeOf(counts->data(), counts->size());
}

// Puts the smooth colouring into the pictures. A still's range is its
// view's own, from the view's coarse grid, so a poster's colours are those
// of the window-sized picture. The frames of a zoom take the ranges of the
// first and the last frame and each frame the range between them in
// proportion to its place in the zoom: the colours drift steadily from
// frame to frame and never flicker.
void useSmoothColouring(std::vector<LargePicture>& pictures, const std::vector<AppState>& views, const Request& r,
                        RowEngine& doubles) {
    const SmoothRange first = smoothRangeOfView(views, 0, doubles, r.reference);
    const SmoothRange last =
        pictures.size() > 1 ? smoothRangeOfView(views, pictures.size() - 1, doubles, r.reference) : first;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const double share = pictures.size() > 1 ? static_cast<double>(i) / static_cast<double>(pictures.size() - 1) : 0.0;
        LargePicture& pic = pictures[i];
        pic.method = kSmoothCounts;
        pic.points.colourings = kSmoothCounts;
        pic.palette = r.palette;
        pic.smoothRange = {first.lo + (last.lo - first.lo) * share, first.hi + (last.hi - first.hi) * share};
    }
}

int drawLarge(const Request& r, const AppState& view) {
    const std::vector<Planned> planned = planPictures(r, view);
    std::vector<LargePicture> pictures;
    std::vector<AppState> views;
    std::vector<PictureFormat> formats;
    for (const Planned& p : planned) {
        const std::optional<PictureFormat> format = pictureFormatOf(p.path);
        if (!format) refuse("--out: \"" + p.path + "\" ends neither in .bmp nor in .png");
        const AppState s = viewAtMagnification(view, p.magText);
        if (const auto why = viewRefusal(s, r.scale)) refuse(*why);
        if (const auto why = memoryRefusal(s)) refuse(*why);
        pictures.push_back(largePictureOf(s, r.scale, r.samples));
        pictures.back().points.picture = static_cast<int>(views.size());
        views.push_back(s);
        if (*format == PictureFormat::Bitmap && !fitsBitmapFile(pictures.back().width(), pictures.back().height()))
            refuse("a picture this large does not fit a bitmap file (4 GiB); write a .png");
        formats.push_back(*format);
    }
    if (r.frames > 0 && mkdir(r.out.c_str(), 0777) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "qel-render: cannot make the folder \"%s\": %s\n", r.out.c_str(), std::strerror(errno));
        return kExitFailed;
    }

    FastRowEngine fast;
    ReferenceRowEngine reference;
    RowEngine& doubles = r.reference ? static_cast<RowEngine&>(reference) : fast;
    if (r.smooth) useSmoothColouring(pictures, views, r, doubles);

    std::int64_t rows = 0;
    for (const LargePicture& p : pictures) rows += p.height();
    Progress progress(!r.quiet && isatty(STDERR_FILENO), rows, static_cast<int>(pictures.size()));
    std::string failure;
    std::size_t current = 0;
    RenderHooks hooks;
    hooks.open = [&](std::size_t i) {
        current = i;
        const AppState s = viewAtMagnification(view, planned[i].magText);
        return openPictureFile(planned[i].path, formats[i], pictures[i].width(), pictures[i].height(), textsOf(s, r),
                               failure, planned[i].noteOrNull());
    };
    hooks.keepGoing = [] { return gStopSignal == 0; };
    hooks.rowsPut = [&](std::int64_t done) { progress.rowsDone(done, current); };

    ViewRowEngines engine(std::move(views), doubles, r.reference);
    const RenderOutcome outcome = renderPictures(pictures, engine, hooks, &failure);
    progress.clear();
    if (outcome == RenderOutcome::Stopped) {
        std::fprintf(stderr, "qel-render: stopped; \"%s\" was not written\n", planned[current].path.c_str());
        endByStopSignal();
    }
    if (outcome == RenderOutcome::Failed) {
        std::fprintf(stderr, "qel-render: %s\n", failure.c_str());
        return kExitFailed;
    }
    return 0;
}

// --out FILE.kfr: the view's location instead of a picture.
int writeLocation(const Request& r, const AppState& view) {
    if (r.frames > 0 || r.coarse || r.wholeSurface || r.scale > 1 || r.samples > 1 || r.smooth)
        refuse("--out: a .kfr file holds a location, no picture: it goes without --frames, --surface, --coarse, "
               "--scale, --supersample and --colouring smooth");
    if (view.live.isJulia == kYes) refuse("--out: a .kfr file holds a location of the Mandelbrot set, not a Julia set");
    if (const auto why = viewRefusal(view, 1)) refuse(*why);
    const std::string text = kfrTextOf(view.cur);
    std::string why;
    if (!writeFileSafely(r.out, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), &why)) {
        std::fprintf(stderr, "qel-render: cannot write \"%s\": %s\n", r.out.c_str(), why.c_str());
        return kExitFailed;
    }
    return 0;
}

// --surface and --coarse: the window's own render loop on its surfaces.
int drawWindowSurface(const Request& r, const AppState& view) {
    const Planned planned = planPictures(r, view).front();
    const std::string& path = planned.path;
    const std::optional<PictureFormat> format = pictureFormatOf(path);
    if (!format) refuse("--out: \"" + path + "\" ends neither in .bmp nor in .png");
    if (const auto why = viewRefusal(view, 1)) refuse(*why);
    if (const auto why = memoryRefusal(view)) refuse(*why);
    HeadlessProgram program;
    Program& p = program.p;
    p.s = view;
    p.s.firstDrawing = true;
    if (r.coarse) p.s.lineStep = p.s.coarseLineStep;
    program.dialog.setMagText(view.cur.magText);
    FastRowEngine fast;
    if (!r.reference) p.engine = &fast;
    Essence(p);
    if (gStopSignal != 0) endByStopSignal();

    const Surface picture = r.wholeSurface ? p.picture1 : visiblePicture(p);
    std::string failure;
    std::unique_ptr<PictureSink> sink =
        openPictureFile(path, *format, picture.width(), picture.height(), textsOf(view, r), failure,
                        planned.noteOrNull());
    bool written = sink != nullptr;
    for (int v = 0; written && v < picture.height(); ++v) written = sink->putRow(v, picture.row(v));
    written = written && sink->finish();
    if (!written) {
        std::fprintf(stderr, "qel-render: %s\n", sink ? sink->failure().c_str() : failure.c_str());
        return kExitFailed;
    }
    return 0;
}

// ---------------------------------------------------------------- films

// A block of up to this many doublings is computed deepest first: block + 1
// keyframes are held at once, and every keyframe but a block's deepest is
// computed as a ring only (a longer block saves whole keyframes: 3 + 1 /
// block frames' points a doubling).
constexpr int kFilmBlock = 8;
// What a film's keyframes may hold together: a 1280 x 720 film's keyframe
// takes 15 MB, so its blocks are 8 long; a 3840 x 2160 film's 133 MB, 1.
constexpr std::int64_t kKeyframesMemory = std::int64_t{320} << 20;

int filmBlockFor(int width, int height) {
    const std::int64_t keyframe = std::int64_t{4} * width * height * static_cast<std::int64_t>(sizeof(Colour));
    return static_cast<int>(std::clamp<std::int64_t>(kKeyframesMemory / keyframe - 1, 1, kFilmBlock));
}
// A keyframe's range of smooth counts is found from its points this many
// apart each way.
constexpr int kFilmRangeStep = 4;

// The view at magnification 2^log2Mag, at most the view's own (2^log2To):
// the view's centre, the radius of a view in doubles scaled by a power of
// two, so that keyframes share their points exactly.
AppState viewAtLog2(const AppState& view, double log2Mag, double log2To) {
    if (log2Mag >= log2To) return view;
    if (!isDeep(view.live)) {
        AppState s = view;
        s.radius = view.radius * std::exp2(log2To - log2Mag);
        snapshotView(s, numberText(s.initialRadius / s.radius));
        return s;
    }
    const double whole = std::floor(log2Mag);
    return viewAtMagnification(view, trimBlanks(magnificationStr(
                                         ExtFloat::normalised(std::exp2(log2Mag - whole), static_cast<std::int64_t>(whole)))));
}

// The view made deep where a drawing `halfWidth` points to its radius has
// pixels finer than doubles tell apart (a film's keyframes are finer than
// the window's pixels, which decide whether a view is deep).
AppState deepEnough(AppState s, int halfWidth) {
    if (isDeep(s.live) || !needsDeep(s.radius, halfWidth, s.live.centerX, s.live.centerY)) return s;
    const ExtFloat magnification = liveMagnification(s);
    const long bits = precisionBitsFor(pixelSizeFor(magnification, halfWidth, s.initialRadius));
    s.live.deep = deepPlaceOf(BigReal(s.live.centerX, bits), BigReal(s.live.centerY, bits), exactText(s.live.juliaRe),
                              exactText(s.live.juliaIm), magnification);
    return s;
}

// The setup of a drawing of the view `halfW` x `halfH` points to its
// radius and half height.
DrawingSetup setupOf(const AppState& view, int halfW, int halfH, int colourings) {
    AppState s = view;
    s.halfW = static_cast<Int16>(halfW);
    s.halfH = static_cast<Int16>(halfH);
    s.pixelSize = s.radius / halfW;
    s.lineStep = -1;
    DrawingSetup d = drawingSetupFor(s, colourConstantsFor(s.live.contourT, colourMagnification(s)));
    d.colourings = colourings;
    return d;
}

// The deep engine of a drawing of a deep view, none for a view in doubles
// (whose setup carries its centre and pixel size): pixels those of a
// drawing `pixelHalfW` points to the radius times `pixelScale`, point
// (0, 0) `offsetX`, `offsetY` of them from the view's centre (x to the
// right, y up). With --reference every point in MPFR.
std::unique_ptr<RowEngine> deepEngineOf(const AppState& s, int pixelHalfW, double pixelScale, double offsetX,
                                        double offsetY, bool reference) {
    if (!isDeep(s.live)) return nullptr;
    DeepViewFor viewFor = [s, pixelHalfW, pixelScale, offsetX, offsetY](const DrawingSetup&) {
        DeepView v = deepViewOf(s, pixelHalfW);
        v.pixelSize = v.pixelSize * pixelScale;
        if (offsetX != 0) v.centreRe = offsetBy(v.centreRe, offsetX, v.pixelSize);
        if (offsetY != 0) v.centreIm = offsetBy(v.centreIm, offsetY, v.pixelSize);
        return v;
    };
    if (reference) return std::make_unique<MpfrColourRows>(std::move(viewFor));
    return std::make_unique<DeepColourRows>(std::move(viewFor));
}

std::string clockText(double seconds) {
    const auto s = static_cast<long>(std::max(0.0, seconds));
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

// A film's line on a terminal, about twice a second: frames and keyframes
// done, the time so far and the time left, the points left at the rate
// points have been computed and the frames left at the rate frames have
// been made.
class FilmProgress {
public:
    using Clock = std::chrono::steady_clock;
    FilmProgress(bool shown, int frames, int keyframes, std::int64_t points)
        : shown_(shown), frames_(frames), keyframes_(keyframes), points_(points), start_(Clock::now()) {}
    ~FilmProgress() { clear(); }

    void clear() {
        if (wrote_) std::fprintf(stderr, "\r%*s\r", 79, "");
        wrote_ = false;
    }
    void pointsDone(std::int64_t n) { pointsDone_ += n; show(); }
    void keyframeDone() { ++keyframesDone_; show(); }
    // A frame made in `seconds`.
    void frameDone(double seconds) {
        ++framesDone_;
        frameSeconds_ += seconds;
        show();
    }
    double seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

private:
    void show() {
        if (!shown_) return;
        const Clock::time_point now = Clock::now();
        if (wrote_ && now - lastShown_ < std::chrono::milliseconds(500)) return;
        lastShown_ = now;
        const double so = seconds();
        const double pointSeconds = so - frameSeconds_;
        std::string left = "?";
        if (pointsDone_ > 0 && framesDone_ > 0)
            left = clockText(pointSeconds / static_cast<double>(pointsDone_) * static_cast<double>(points_ - pointsDone_) +
                             frameSeconds_ / framesDone_ * (frames_ - framesDone_));
        std::fprintf(stderr, "\rqel-render: frame %d of %d, keyframe %d of %d, %s so far, %s left   ", framesDone_,
                     frames_, keyframesDone_, keyframes_, clockText(so).c_str(), left.c_str());
        std::fflush(stderr);
        wrote_ = true;
    }

    bool shown_;
    int frames_, keyframes_;
    std::int64_t points_, pointsDone_ = 0;
    int framesDone_ = 0, keyframesDone_ = 0;
    double frameSeconds_ = 0;
    Clock::time_point start_, lastShown_;
    bool wrote_ = false;
};

// A film of the request's view and what it is made of.
struct FilmSetting {
    FilmPlan plan;
    int width = 0, height = 0;
    int colourings = 1;
    const SmoothPalette* palette = nullptr;  // the smooth colouring's

    bool smooth() const { return colourings == kSmoothCounts; }
};

FilmSetting filmSettingOf(const Request& r, const AppState& view) {
    if (const auto why = viewRefusal(view, 1)) refuse(*why);
    if (const auto why = memoryRefusal(view)) refuse(*why);
    const double log2To = liveMagnification(view).log2Abs();
    double log2From = 0;
    if (!r.from.empty()) {
        const ExtFloat from = magnificationOfText(r.from);
        log2From = from.isZero() ? -1e9 : from.log2Abs();
        if (log2From < std::log2(0.1) - 1e-9 || log2From > log2To + 1e-9)
            refuse("--from: a magnification from 0.1 to the view's (" + trimBlanks(view.cur.magText) + "), not \"" +
                   r.from + "\"");
    }
    FilmSetting f;
    f.plan = FilmPlan::of(std::min(log2From, log2To), log2To, r.filmFrames());
    f.width = r.filmWidth;
    f.height = r.filmHeight;
    f.colourings = r.smooth ? kSmoothCounts : r.method;
    f.palette = r.palette ? r.palette.get() : &SmoothPalette::builtIn();
    return f;
}

// Keyframe j's view, deep where its points need it.
AppState keyframeView(const FilmSetting& f, const AppState& view, int j) {
    return deepEnough(viewAtLog2(view, f.plan.log2OfKeyframe(j), f.plan.log2To), f.width);
}

// The range of smooth counts of frame i between two keyframes' ranges, in
// proportion to its place between them: the colours drift steadily and
// never jump from frame to frame.
SmoothRange frameRange(const FilmSetting& f, int i, SmoothRange key, SmoothRange next) {
    const double share = f.plan.shareOf(i);
    return {key.lo + (next.lo - key.lo) * share, key.hi + (next.hi - key.hi) * share};
}

// The range of keyframe j from its sample grid alone, as the film finds
// it from the keyframe's points (for one frame drawn exactly).
SmoothRange keyframeRange(const FilmSetting& f, const AppState& view, int j, RowEngine& doubles, bool reference) {
    const AppState s = keyframeView(f, view, j);
    const DrawingSetup grid = sampleGridOf(setupOf(s, f.width, f.height, kSmoothCounts), kFilmRangeStep);
    std::unique_ptr<RowEngine> deep = deepEngineOf(s, f.width, kFilmRangeStep, 0, 0, reference);
    const auto counts = smoothCountsOf(grid, deep ? *deep : doubles, [] { return gStopSignal == 0; });
    if (!counts) {
        std::fprintf(stderr, "qel-render: stopped; nothing was written\n");
        endByStopSignal();
    }
    return smoothRangeOf(counts->data(), counts->size());
}

// --film-frame I: frame I of the film drawn exactly, every point of it
// computed at the frame's own magnification, in the film's colouring and
// (smooth) the film's range.
int drawFilmFrame(const Request& r, const AppState& view) {
    const FilmSetting f = filmSettingOf(r, view);
    const int i = r.filmFrame - 1;
    const int samples = r.samples;
    const AppState s = deepEnough(viewAtLog2(view, f.plan.log2OfFrame(i), f.plan.log2To), f.width / 2 * samples);
    LargePicture pic = largePictureOf(setupOf(s, f.width / 2, f.height / 2, f.colourings), f.colourings, 1, samples);
    FastRowEngine fast;
    ReferenceRowEngine literal;
    RowEngine& doubles = r.reference ? static_cast<RowEngine&>(literal) : fast;
    if (f.smooth()) {
        const int k = f.plan.keyframeOf(i);
        const SmoothRange key = keyframeRange(f, view, k, doubles, r.reference);
        const SmoothRange next = k + 1 < f.plan.keyframes ? keyframeRange(f, view, k + 1, doubles, r.reference) : key;
        pic.palette = r.palette;
        pic.smoothRange = frameRange(f, i, key, next);
    }
    const std::optional<PictureFormat> format = pictureFormatOf(r.out);
    const double toCentre = (samples - 1) / 2.0;
    std::unique_ptr<RowEngine> deep = deepEngineOf(s, f.width / 2 * samples, 1.0, -toCentre, toCentre, r.reference);
    std::string failure;
    RenderHooks hooks;
    hooks.open = [&](std::size_t) {
        return openPictureFile(r.out, *format, pic.width(), pic.height(), textsOf(s, r), failure);
    };
    hooks.keepGoing = [] { return gStopSignal == 0; };
    const RenderOutcome outcome = renderPictures({pic}, deep ? *deep : doubles, hooks, &failure);
    if (outcome == RenderOutcome::Stopped) {
        std::fprintf(stderr, "qel-render: stopped; \"%s\" was not written\n", r.out.c_str());
        endByStopSignal();
    }
    if (outcome == RenderOutcome::Failed) {
        std::fprintf(stderr, "qel-render: %s\n", failure.c_str());
        return kExitFailed;
    }
    return 0;
}

// --film: the zoom as a video file, its frames made from keyframes
// (render/zoom_film.h) and streamed to the encoder. A stop by a signal
// ends the film after the frame being made; a file that cannot be written
// is closed with what it holds. Either way the file plays up to its last
// frame, and says how far.
int drawFilm(const Request& r, const AppState& view) {
    const FilmSetting f = filmSettingOf(r, view);
    const FilmPlan& plan = f.plan;
    std::string failure;
    std::unique_ptr<VideoOutput> video =
        VideoOutput::open(r.out, *videoFormatOf(r.out), f.width, f.height, r.fps, failure, r.fullColour);
    if (!video) {
        std::fprintf(stderr, "qel-render: %s\n", failure.c_str());
        return kExitFailed;
    }
    const int block = filmBlockFor(f.width, f.height);
    const std::int64_t points = filmPoints(plan, f.width, f.height, block);
    FilmProgress progress(!r.quiet && isatty(STDERR_FILENO), plan.frames, plan.keyframes, points);
    FastRowEngine fast;
    ReferenceRowEngine literal;
    RowEngine& doubles = r.reference ? static_cast<RowEngine&>(literal) : fast;
    const KeepAlive keepGoing = [] { return gStopSignal == 0; };
    std::vector<SmoothRange> ranges(static_cast<std::size_t>(plan.keyframes));
    FrameMaker maker(f.width, f.height);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height));
    bool writeFailed = false;

    FilmHooks hooks;
    hooks.drawRect = [&](int j, const KeyRect& rect, Keyframe& into) {
        const AppState s = keyframeView(f, view, j);
        const RectDrawing drawing = rectDrawingOf(setupOf(s, f.width, f.height, f.colourings), rect);
        std::unique_ptr<RowEngine> deep = deepEngineOf(s, f.width, 1.0, drawing.offsetX, drawing.offsetY, r.reference);
        return drawRect(deep ? *deep : doubles, drawing, rect, into, keepGoing,
                        [&](std::int64_t n) { progress.pointsDone(n); });
    };
    hooks.keyframeDone = [&](int j, const Keyframe& k) {
        if (f.smooth()) {
            const std::vector<Colour> sample = sampleOf(k, kFilmRangeStep);
            ranges[static_cast<std::size_t>(j)] = smoothRangeOf(sample.data(), sample.size());
        }
        progress.keyframeDone();
    };
    const ValueColours shown = [](const Colour* values, std::size_t n, std::uint32_t* colours) {
        for (std::size_t i = 0; i < n; ++i) colours[i] = shownColour(values[i]);
    };
    hooks.frame = [&](int i, const Keyframe& key, const Keyframe* next) {
        const auto started = FilmProgress::Clock::now();
        const int k = plan.keyframeOf(i);
        if (f.smooth()) {
            const SmoothRange own = ranges[static_cast<std::size_t>(k)];
            const SmoothMap map(*f.palette, frameRange(f, i, own, next ? ranges[static_cast<std::size_t>(k + 1)] : own));
            maker.make(key, next, plan.scaleOf(i),
                       [&map](const Colour* values, std::size_t n, std::uint32_t* colours) {
                           for (std::size_t c = 0; c < n; ++c) colours[c] = shownColour(map.colour(values[c]));
                       },
                       pixels.data());
        } else {
            maker.make(key, next, plan.scaleOf(i), shown, pixels.data());
        }
        if (!video->putFrame(pixels.data())) {
            writeFailed = true;
            return false;
        }
        progress.frameDone(std::chrono::duration<double>(FilmProgress::Clock::now() - started).count());
        return gStopSignal == 0;
    };

    const FilmOutcome outcome = makeFilm(plan, f.width, f.height, block, hooks);
    const bool finished = video->finish();
    progress.clear();
    const int kept = video->framesKept();
    if (writeFailed || !finished) {
        std::fprintf(stderr, "qel-render: cannot write \"%s\": %s; it plays at least its first %d frames of %d\n", r.out.c_str(),
                     video->failure().c_str(), kept, plan.frames);
        return kExitFailed;
    }
    if (outcome == FilmOutcome::Stopped) {
        std::fprintf(stderr, "qel-render: stopped after %d frames; \"%s\" plays up to frame %d of %d\n",
                     video->framesSent(), r.out.c_str(), kept, plan.frames);
        endByStopSignal();
    }
    std::fprintf(stderr,
                 "qel-render: %d frames from %d keyframes in %.1f s, %lld points computed (frame by frame: %lld)\n",
                 plan.frames, plan.keyframes, progress.seconds(), static_cast<long long>(points),
                 static_cast<long long>(plan.frames) * f.width * f.height);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const Request request = parseArguments(argc, argv);
    AppState view = viewOf(request);
    stopOnSignals();
    if (request.minibrot) view = minibrotViewOf(view, request);
    int status = 0;
    if (namesKfrFile(request.out))
        status = writeLocation(request, view);
    else if (request.coarse || request.wholeSurface)
        status = drawWindowSurface(request, view);
    else if (request.film() && request.filmFrame > 0)
        status = drawFilmFrame(request, view);
    else if (request.film())
        status = drawFilm(request, view);
    else
        status = drawLarge(request, view);
    if (status == 0 && request.minibrot)
        std::printf("%s\n", savedNameOf(view, view.cur.magText, numberText(view.live.contourT)).name.c_str());
    return status;
}
