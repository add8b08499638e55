// qel-window-bench: the real program on an X server, driven as a user drives
// it. It starts qel and times the process start to the window's mapping and
// to the first end caption; then it clicks left at the points of a series
// (through the XTEST extension, as a pointer does) and times each click to
// the end caption that follows, every title change timestamped as the X
// server reports it. Next to each figure stands the same view drawn headless
// through the render loop with the fast engine, history step, clearing and
// end caption included: the same clicks on a program without a window. At
// each end caption the window's title and every pixel the X server holds for
// it are compared with the headless program's caption and picture, so the
// picture is whole on the screen when the caption says the drawing is done.
// Every series runs in a new qel process, --runs times over; the figures are
// medians, every run's figure follows.
//
// Then the wheel (buttons 4 and 5): one notch in and one out at the start
// view, a burst of notches to about 1E+100, and one notch in and out
// there, each timed from the notch to the first frame whose pixels differ
// (the X server's view of the window polled) and to the end caption, with
// qel's processor time (all its threads) over that span. Each end caption
// and picture is compared with the headless program's, which turns the
// same notches.
//
//   xvfb-run -a -s '-screen 0 1280x1024x24' build/qel-window-bench [--runs N] [--qel PATH] [--only clicks|wheel]
//
// bench/window_bench.sh does just that.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <dirent.h>
#include <signal.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/captions.h"
#include "app/first_drawing.h"
#include "headless_program.h"
#include "render/colouring.h"
#include "render/engine_rows.h"
#include "app/drawing.h"
#include "app/drawing_request.h"
#include "view/picture_events.h"
#include "view/wheel_zoom.h"
#include "figures.h"

namespace {

using namespace qel;
using namespace qel::bench;

// Two clicks closer than the toolkit's double-click time would make one
// double click; a person also looks at a picture before the next click.
constexpr int kPauseBetweenClicksMs = 700;
constexpr int kPauseAfterMoveMs = 100;
constexpr double kTimeoutSeconds = 60.0;

struct WindowPoint {
    int x, y;
};

struct Series {
    const char* name;
    std::vector<WindowPoint> clicks;
};

// Window pixel (200, 150) is the plane's (0, 0) on the start view, and the
// centre of the top-left picture after every zoom; (125, 140) is
// (-0.75, 0.1) on the start view, in the valley between the cardioid and
// the period-2 disk.
// (177, 39) is (-0.23, 1.11) on the start view, beside the spiral of the
// Misiurewicz point -0.2282 + 1.1151i; twenty zooms by 8 about it reach
// 1.2E+18, the last five past the magnification where doubles stop telling
// pixels apart, drawn by the deep engine.
Series pastTheWall() {
    Series s{"zoom x8 about (-0.23, 1.11) past the wall", {{177, 39}}};
    s.clicks.resize(20, WindowPoint{200, 150});
    return s;
}

const Series kSeries[] = {
    {"zoom x8 about (0, 0)", {{200, 150}, {200, 150}, {200, 150}}},
    {"zoom x8 about (-0.75, 0.1)", {{125, 140}, {200, 150}, {200, 150}}},
    pastTheWall(),
};

bool isDrawingCaption(const std::string& title) { return title.rfind(kDrawingPrefix, 0) == 0; }
bool isEndCaption(const std::string& title) {
    return !title.empty() && !isDrawingCaption(title) && title.find(kMenuHint) != std::string::npos;
}

// ------------------------------------------------------------------ headless

// The program without a window, started and clicked as the window is.
class HeadlessQel {
public:
    explicit HeadlessQel(FastRowEngine& engine) {
        p_.engine = &engine;
        setStartValues(p_.s);
        setUpPictures(p_);
        calibratePeriodColours(p_.s);
        captionFirstDrawing(p_);
    }
    // The first drawing's time in ms.
    double start() { return timed([this] { Essence(p_); }); }
    // A left click at a window pixel, the pointer moved there first.
    double click(WindowPoint at) {
        const PictureFloat f = surfacePosition(p_, at.x, at.y);
        Picture1_MouseMove(p_, f.x, f.y);
        Picture1_MouseDown(p_, kLeftButton);
        return timed([this] { Picture1_Click(p_); });
    }
    // The wheel turned by `notches` with the pointer at a window pixel, as
    // one turn while nothing is drawn.
    double wheel(WindowPoint at, int notches) {
        const PictureFloat f = surfacePosition(p_, at.x, at.y);
        return timed([&] { Picture1_Wheel(p_, f.x, f.y, notches); });
    }
    // `notches` single notches that all arrive while the wheel's drawing
    // runs, as a quick turn's do in the window: each aims from the newest
    // target; then the last target's drawing.
    double wheelBurst(WindowPoint at, int notches) {
        const PictureFloat f = surfacePosition(p_, at.x, at.y);
        return timed([&] {
            p_.s.busy = true;
            p_.s.wheel.drawing = true;
            for (int i = 0; i < notches; ++i) Picture1_Wheel(p_, f.x, f.y, notches > 0 ? 1 : -1);
            p_.s.busy = p_.s.stopRequest = false;
            p_.s.wheel = {};
            redrw(p_);
        });
    }
    std::string caption() const { return platform_.mainCaption(); }
    // The colour numbers a window of w x h pixels shows of the surface.
    std::vector<Colour> shown(int w, int h) const {
        const Surface& s = p_.picture1;
        std::vector<Colour> out(static_cast<std::size_t>(w) * h, 0);
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col) {
                const int u = col - s.left(), v = row - s.top();
                if (s.inside(u, v)) out[static_cast<std::size_t>(row) * w + col] = s.pixel(u, v);
            }
        return out;
    }

private:
    template <class F>
    static double timed(F f) {
        const Clock::time_point t = Clock::now();
        f();
        return msSince(t);
    }
    HeadlessPlatform platform_;
    HeadlessDialog dialog_;
    NoWindow window_;
    Program p_{platform_, dialog_, window_};
};

// ------------------------------------------------------------------ X side

class XSession {
public:
    XSession() : d_(XOpenDisplay(nullptr)) {
        if (!d_) return;
        root_ = DefaultRootWindow(d_);
        netWmName_ = XInternAtom(d_, "_NET_WM_NAME", False);
        utf8_ = XInternAtom(d_, "UTF8_STRING", False);
        XSelectInput(d_, root_, SubstructureNotifyMask);
        int event = 0, error = 0, major = 0, minor = 0;
        xtest_ = XTestQueryExtension(d_, &event, &error, &major, &minor);
    }
    ~XSession() {
        if (d_) XCloseDisplay(d_);
    }
    bool usable() const { return d_ && xtest_; }

    // Forgets the windows of an earlier process.
    void reset() {
        main_ = 0;
        mappedAt_.clear();
        titles_.clear();
    }

    // Handles events until `done` holds or the time is up; false on timeout.
    template <class Done>
    bool runUntil(Done done, double seconds = kTimeoutSeconds) {
        const Clock::time_point start = Clock::now();
        while (!done()) {
            if (msSince(start) > seconds * 1000) return false;
            if (!XPending(d_)) {
                fd_set fds;
                FD_ZERO(&fds);
                FD_SET(ConnectionNumber(d_), &fds);
                timeval tv{0, 5000};
                select(ConnectionNumber(d_) + 1, &fds, nullptr, nullptr, &tv);
                continue;
            }
            XEvent e;
            XNextEvent(d_, &e);
            handle(e);
        }
        return true;
    }
    void pause(int ms) {
        const Clock::time_point start = Clock::now();
        runUntil([&] { return msSince(start) >= ms; });
    }

    Window mainWindow() const { return main_; }
    std::optional<Clock::time_point> mappedAt() const {
        auto it = mappedAt_.find(main_);
        if (it == mappedAt_.end()) return std::nullopt;
        return it->second;
    }
    // Titles of the main window in order, with the time each arrived.
    struct Title {
        Clock::time_point at;
        std::string text;
    };
    const std::vector<Title>& titles() const { return titles_; }

    void moveTo(WindowPoint at) {
        int rx = 0, ry = 0;
        Window child = 0;
        XTranslateCoordinates(d_, main_, root_, at.x, at.y, &rx, &ry, &child);
        XTestFakeMotionEvent(d_, DefaultScreen(d_), rx, ry, CurrentTime);
        XFlush(d_);
    }
    // The main window's pixels as the X server holds them, byte for byte:
    // quick to take and to compare.
    std::vector<char> rawPixels() {
        XWindowAttributes a{};
        XGetWindowAttributes(d_, main_, &a);
        XImage* image =
            XGetImage(d_, main_, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
        if (!image) return {};
        std::vector<char> bytes(image->data, image->data + static_cast<std::size_t>(image->bytes_per_line) * a.height);
        XDestroyImage(image);
        return bytes;
    }
    // The colour numbers of the main window's pixels as the X server has them.
    std::vector<Colour> windowPixels(int& w, int& h) {
        XWindowAttributes a{};
        XGetWindowAttributes(d_, main_, &a);
        w = a.width;
        h = a.height;
        std::vector<Colour> out(static_cast<std::size_t>(w) * h, -1);
        XImage* image = XGetImage(d_, main_, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
        if (!image) return out;
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col) {
                const unsigned long px = XGetPixel(image, col, row);
                const auto channel = [px](unsigned long mask) {
                    int shift = 0;
                    while (mask && !(mask & 1)) {
                        mask >>= 1;
                        ++shift;
                    }
                    return static_cast<int>((px >> shift) & mask);
                };
                out[static_cast<std::size_t>(row) * w + col] =
                    rgb(channel(image->red_mask), channel(image->green_mask), channel(image->blue_mask));
            }
        XDestroyImage(image);
        return out;
    }
    void leftClick() {
        XTestFakeButtonEvent(d_, 1, True, CurrentTime);
        XTestFakeButtonEvent(d_, 1, False, CurrentTime);
        XFlush(d_);
    }
    // Notches of the wheel: button 4 forward, 5 backward, all sent at once.
    void wheel(int notches) {
        const unsigned button = notches > 0 ? 4 : 5;
        for (int i = 0; i < std::abs(notches); ++i) {
            XTestFakeButtonEvent(d_, button, True, CurrentTime);
            XTestFakeButtonEvent(d_, button, False, CurrentTime);
        }
        XFlush(d_);
    }

private:
    void watch(Window w) {
        XSelectInput(d_, w, PropertyChangeMask);
        noteTitle(w);
    }
    void noteTitle(Window w) {
        const Clock::time_point now = Clock::now();
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(d_, w, netWmName_, 0, 1 << 16, False, utf8_, &type, &format, &items, &after, &data) !=
                Success ||
            !data)
            return;
        const std::string text(reinterpret_cast<char*>(data), items);
        XFree(data);
        // The main window is the one whose title tells how to stop or what a click does.
        if (!main_ && (text.find(kStopHint) != std::string::npos || isEndCaption(text))) main_ = w;
        if (w != main_) return;
        if (titles_.empty() || titles_.back().text != text) titles_.push_back({now, text});
    }
    void handle(const XEvent& e) {
        switch (e.type) {
            case CreateNotify: watch(e.xcreatewindow.window); break;
            case MapNotify: mappedAt_.emplace(e.xmap.window, Clock::now()); break;
            case PropertyNotify:
                if (e.xproperty.atom == netWmName_) noteTitle(e.xproperty.window);
                break;
            default: break;
        }
    }

    Display* d_;
    Window root_ = 0, main_ = 0;
    Atom netWmName_ = 0, utf8_ = 0;
    bool xtest_ = false;
    std::map<Window, Clock::time_point> mappedAt_;
    std::vector<Title> titles_;
};

// ------------------------------------------------------------------ runs

struct Figures {
    std::vector<double> mapped, firstCaption, firstEnd;  // ms from the process start
    std::vector<std::vector<double>> clicks;   // per click of the series, ms to the end caption
    std::vector<double> headlessStart;
    std::vector<std::vector<double>> headlessClicks;
    int mismatches = 0, failures = 0;
};

// The window shows 800 x 600 pixels less its frame; without a window
// manager there is none.
constexpr int kShownWidth = 800, kShownHeight = 600;

// What the headless program shows at the end of the first drawing and of
// each click's drawing.
struct Expected {
    std::string caption;
    std::vector<Colour> picture;  // kShownWidth x kShownHeight
};

pid_t startQel(const std::string& path) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        unsetenv("QT_QPA_PLATFORM");
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    return pid;
}

void stopQel(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

// The end caption that follows the drawing caption after title number `from`.
std::optional<XSession::Title> endCaptionAfter(const XSession& x, std::size_t from) {
    bool drawing = false;
    for (std::size_t i = from; i < x.titles().size(); ++i) {
        const XSession::Title& t = x.titles()[i];
        if (isDrawingCaption(t.text)) drawing = true;
        else if (drawing && isEndCaption(t.text)) return t;
    }
    return std::nullopt;
}

// The window's title and pixels against the headless program's.
void compareWithHeadless(XSession& x, const XSession::Title& end, const Expected& expected, const std::string& what,
                         Figures& f) {
    int w = 0, h = 0;
    const std::vector<Colour> pixels = x.windowPixels(w, h);
    std::size_t differ = 0;
    if (w != kShownWidth || h != kShownHeight)
        differ = pixels.size();
    else
        for (std::size_t i = 0; i < pixels.size(); ++i) differ += pixels[i] != expected.picture[i];
    if (end.text == expected.caption && differ == 0) return;
    std::printf("  %s: window \"%s\", %zu pixels of %dx%d differ\n    headless \"%s\"\n", what.c_str(),
                end.text.c_str(), differ, w, h, expected.caption.c_str());
    ++f.mismatches;
}

// A new qel process whose first picture is on the screen, or -1 (counted
// in `failures`) when it shows none.
pid_t startQelShown(XSession& x, const std::string& qel, int& failures) {
    x.reset();
    const pid_t pid = startQel(qel);
    if (pid >= 0 && x.runUntil([&] { return endCaptionAfter(x, 0).has_value(); })) return pid;
    std::printf("  qel did not show its first picture\n");
    ++failures;
    if (pid > 0) stopQel(pid);
    return -1;
}

void runSeriesInWindow(XSession& x, const std::string& qel, const Series& series, Figures& f,
                       const std::vector<Expected>& expected) {
    const Clock::time_point start = Clock::now();
    const pid_t pid = startQelShown(x, qel, f.failures);
    if (pid < 0) return;
    if (auto mapped = x.mappedAt()) f.mapped.push_back(msSince(start, *mapped));
    for (const XSession::Title& t : x.titles())
        if (isDrawingCaption(t.text)) {
            f.firstCaption.push_back(msSince(start, t.at));
            break;
        }
    f.firstEnd.push_back(msSince(start, endCaptionAfter(x, 0)->at));
    compareWithHeadless(x, *endCaptionAfter(x, 0), expected[0], "first drawing", f);
    for (std::size_t i = 0; i < series.clicks.size(); ++i) {
        x.pause(kPauseBetweenClicksMs);
        x.moveTo(series.clicks[i]);
        x.pause(kPauseAfterMoveMs);
        const std::size_t before = x.titles().size();
        const Clock::time_point clicked = Clock::now();
        x.leftClick();
        if (!x.runUntil([&] { return endCaptionAfter(x, before).has_value(); })) {
            std::printf("  click %zu: no end caption\n", i + 1);
            ++f.failures;
            break;
        }
        const XSession::Title end = *endCaptionAfter(x, before);
        f.clicks[i].push_back(msSince(clicked, end.at));
        compareWithHeadless(x, end, expected[i + 1], "click " + std::to_string(i + 1), f);
    }
    stopQel(pid);
}

std::vector<Expected> runSeriesHeadless(FastRowEngine& engine, const Series& series, Figures& f) {
    HeadlessQel q(engine);
    std::vector<Expected> expected;
    const auto keep = [&] { expected.push_back({q.caption(), q.shown(kShownWidth, kShownHeight)}); };
    f.headlessStart.push_back(q.start());
    keep();
    for (std::size_t i = 0; i < series.clicks.size(); ++i) {
        f.headlessClicks[i].push_back(q.click(series.clicks[i]));
        keep();
    }
    return expected;
}

// ------------------------------------------------------------------ the wheel

// Window pixel (0, 150) is the plane's (-2, 0) on the start view: the tip
// of the real axis's antenna, whose bands and decorations show at every
// depth (around i or -0.75 a picture at 1E+100 is one colour). 332 notches
// about it reach 2^332, 8.7E+99. There the notches turn about a point
// inside the picture: about the tip itself, 2x deeper looks the same.
constexpr WindowPoint kWheelPointer{0, 150}, kDeepWheelPointer{150, 120};
constexpr int kNotchesToDeep = 332;

struct WheelStep {
    const char* name;
    int notches;
    bool burst;
    WindowPoint at;
};
const WheelStep kWheelSteps[] = {
    {"notch in at the start view", 1, false, kWheelPointer},
    {"notch out to the start view", -1, false, kWheelPointer},
    {"burst of 332 notches to 8.7E+99", kNotchesToDeep, true, kWheelPointer},
    {"notch in at 8.7E+99", 1, false, kDeepWheelPointer},
    {"notch out at 8.7E+99", -1, false, kDeepWheelPointer},
};
constexpr std::size_t kWheelStepCount = sizeof kWheelSteps / sizeof kWheelSteps[0];

// The processor time qel's threads have had, in ms.
double processMs(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (!dir) return 0;
    double ns = 0;
    while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.') continue;
        if (FILE* f = std::fopen((tasks + "/" + e->d_name + "/schedstat").c_str(), "r")) {
            unsigned long long onCpu = 0;
            if (std::fscanf(f, "%llu", &onCpu) == 1) ns += static_cast<double>(onCpu);
            std::fclose(f);
        }
    }
    closedir(dir);
    return ns / 1e6;
}

struct WheelFigures {
    std::vector<double> frame[kWheelStepCount], end[kWheelStepCount], cpu[kWheelStepCount],
        headless[kWheelStepCount], poll;
    int mismatches = 0, failures = 0;
};

std::vector<Expected> runWheelHeadless(FastRowEngine& engine, WheelFigures& f) {
    HeadlessQel q(engine);
    std::vector<Expected> expected;
    q.start();
    for (std::size_t i = 0; i < kWheelStepCount; ++i) {
        const WheelStep& step = kWheelSteps[i];
        f.headless[i].push_back(step.burst ? q.wheelBurst(step.at, step.notches) : q.wheel(step.at, step.notches));
        expected.push_back({q.caption(), q.shown(kShownWidth, kShownHeight)});
    }
    return expected;
}

void runWheelInWindow(XSession& x, const std::string& qel, WheelFigures& f, const std::vector<Expected>& expected) {
    const pid_t pid = startQelShown(x, qel, f.failures);
    if (pid < 0) return;
    for (std::size_t i = 0; i < kWheelStepCount; ++i) {
        const WheelStep& step = kWheelSteps[i];
        x.pause(kPauseBetweenClicksMs);
        x.moveTo(step.at);
        x.pause(kPauseAfterMoveMs);
        const std::vector<char> before = x.rawPixels();
        const std::size_t titles = x.titles().size();
        const double cpuBefore = processMs(pid);
        const Clock::time_point turned = Clock::now();
        x.wheel(step.notches);
        std::optional<double> frame;
        // The end caption of this step: the one with the headless caption.
        const auto ended = [&]() -> std::optional<XSession::Title> {
            for (std::size_t t = titles; t < x.titles().size(); ++t)
                if (x.titles()[t].text == expected[i].caption) return x.titles()[t];
            return std::nullopt;
        };
        const bool done = x.runUntil([&] {
            if (!frame) {
                const Clock::time_point polled = Clock::now();
                if (x.rawPixels() != before) frame = msSince(turned);
                f.poll.push_back(msSince(polled));
            }
            return frame && ended();
        });
        if (!done) {
            std::printf("  %s: no end caption \"%s\"\n", step.name, expected[i].caption.c_str());
            for (std::size_t t = titles; t < x.titles().size(); ++t)
                std::printf("    window: \"%s\"\n", x.titles()[t].text.c_str());
            ++f.failures;
            break;
        }
        const XSession::Title end = *ended();
        f.frame[i].push_back(*frame);
        f.end[i].push_back(msSince(turned, end.at));
        f.cpu[i].push_back(processMs(pid) - cpuBefore);
        Figures compared;
        compareWithHeadless(x, end, expected[i], step.name, compared);
        f.mismatches += compared.mismatches;
    }
    stopQel(pid);
}

void benchWheel(XSession& x, const std::string& qel, FastRowEngine& engine, int runs, Figures& all) {
    WheelFigures f;
    for (int run = 0; run < runs; ++run) {
        const std::vector<Expected> expected = runWheelHeadless(engine, f);
        runWheelInWindow(x, qel, f, expected);
    }
    std::printf("the wheel, pointer at window pixel (%d, %d), the plane's (-2, 0) on the start view, then at "
                "(%d, %d); notch to the first changed frame, to the end caption, qel's processor time until then; "
                "the headless drawing:\n",
                kWheelPointer.x, kWheelPointer.y, kDeepWheelPointer.x, kDeepWheelPointer.y);
    for (std::size_t i = 0; i < kWheelStepCount; ++i)
        std::printf("  %s: frame %.1f (%s), end %.1f (%s), processor %.1f (%s); headless %.1f (%s)\n",
                    kWheelSteps[i].name, median(f.frame[i]), eachRun(f.frame[i], 1).c_str(), median(f.end[i]),
                    eachRun(f.end[i], 0).c_str(), median(f.cpu[i]), eachRun(f.cpu[i], 0).c_str(),
                    median(f.headless[i]), eachRun(f.headless[i], 0).c_str());
    std::printf("  one poll of the window's pixels: %.1f ms (median of %zu)\n", median(f.poll), f.poll.size());
    all.mismatches += f.mismatches;
    all.failures += f.failures;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    bool clicks = true, wheel = true;
    std::string qel = besideThisProgram(argv[0], "qel");
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
        if (!std::strcmp(argv[i], "--qel")) qel = argv[i + 1];
        if (!std::strcmp(argv[i], "--only")) {
            clicks = !std::strcmp(argv[i + 1], "clicks");
            wheel = !std::strcmp(argv[i + 1], "wheel");
        }
    }
    XSession x;
    if (!x.usable()) {
        std::fprintf(stderr, "qel-window-bench: needs an X server with XTEST (run it under xvfb-run)\n");
        return 1;
    }
    FastRowEngine engine;
    std::printf("qel-window-bench: %s, %d runs per series; engine on %d threads, %s; ms, median (each run)\n\n",
                qel.c_str(), runs, engine.threads(), instructionSetName(engine.instructionSet()));
    Figures all;
    for (const Series& series : kSeries) {
        if (!clicks) break;
        Figures f;
        f.clicks.resize(series.clicks.size());
        f.headlessClicks.resize(series.clicks.size());
        for (int run = 0; run < runs; ++run) {
            const std::vector<Expected> expected = runSeriesHeadless(engine, series, f);
            runSeriesInWindow(x, qel, series, f, expected);
        }
        std::printf("%s:\n", series.name);
        for (std::size_t i = 0; i < series.clicks.size(); ++i)
            std::printf("  click %zu: window %.1f (%s), headless drawing %.1f (%s)\n", i + 1, median(f.clicks[i]),
                        eachRun(f.clicks[i], 0).c_str(), median(f.headlessClicks[i]), eachRun(f.headlessClicks[i], 0).c_str());
        all.mapped.insert(all.mapped.end(), f.mapped.begin(), f.mapped.end());
        all.firstCaption.insert(all.firstCaption.end(), f.firstCaption.begin(), f.firstCaption.end());
        all.firstEnd.insert(all.firstEnd.end(), f.firstEnd.begin(), f.firstEnd.end());
        all.headlessStart.insert(all.headlessStart.end(), f.headlessStart.begin(), f.headlessStart.end());
        all.mismatches += f.mismatches;
        all.failures += f.failures;
    }
    if (clicks)
        std::printf("\nstart-up, from the process start:\n  the window mapped %.0f (%s)\n"
                "  the first drawing caption %.0f (%s)\n  the first end caption %.0f (%s)\n"
                "  headless first drawing %.1f (%s)\n",
                median(all.mapped), eachRun(all.mapped, 0).c_str(), median(all.firstCaption),
                eachRun(all.firstCaption, 0).c_str(), median(all.firstEnd), eachRun(all.firstEnd, 0).c_str(),
                median(all.headlessStart), eachRun(all.headlessStart, 0).c_str());
    if (wheel) {
        std::printf("\n");
        benchWheel(x, qel, engine, runs, all);
    }
    std::printf("end captions and the window's pixels at them: %s\n",
                all.mismatches || all.failures ? "SOME DIFFERED OR WERE MISSING" : "every one the same as headless");
    return all.mismatches || all.failures ? 1 : 0;
}
