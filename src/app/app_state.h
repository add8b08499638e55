// The one record of program state, shared by the three windows.
// Widths follow the program's conventions: Flag and pixel values are signed
// 16-bit, plane values are 64-bit floats, the contour interval is a 32-bit
// float. A Flag (-1 yes, 0 no) is kept where the view carries it; states that
// neither a caption nor a file shows are bools.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace qel {

using Flag = std::int16_t;  // -1 yes, 0 no
using Int16 = std::int16_t;
using Int32 = std::int32_t;

constexpr Flag kYes = -1;
constexpr Flag kNo = 0;

// A view deeper than a double tells apart: its centre, its Julia constant
// and its magnification exactly as the user reached them, as decimal texts
// in Str's plain form with as many significant digits as the magnification
// needs (" 1E+1000", "-.74364388703715870475219150611477"). Empty on every
// view the double path draws; there the doubles alone are the view.
struct DeepPlace {
    std::string centerX, centerY;
    std::string juliaRe, juliaIm;
    std::string magnification;

    bool empty() const { return magnification.empty(); }
    bool operator==(const DeepPlace&) const = default;
};

// One view of the plane: what a drawing shows. The record holds three: the
// live view to be drawn next, the cur layer (the picture on the screen) and
// the prev layer (the picture before it).
struct View {
    double centerX = 0.0;  // under the new-Julia rule, the constant of the Julia set to start
    double centerY = 0.0;
    double juliaRe = 0.0;  // the Julia constant Zc
    double juliaIm = 0.0;
    Flag isJulia = 0;       // a Julia set rather than the Mandelbrot set
    Flag juliaStarted = 0;  // the Julia constant is fixed
    double maxIter = 500.0;
    float contourT = 1.0f;
    Int16 drawMethod = 0;  // 0 four-way split, 1..4 one colouring at full size
    Flag singleImage = 0;  // the picture was read from a file, not drawn
    // The magnification exactly as the dialog showed it when the view was
    // drawn (cur and prev layers only).
    std::string magText{};
    // Set only where neighbouring pixels of the doubles would share a plane
    // point; the doubles then hold the nearest doubles of these texts.
    DeepPlace deep{};

    bool operator==(const View&) const = default;
};

// The wheel's zoom during drawings (view/wheel_zoom.h).
enum class WheelRefusal : Int16 { none, tooSmall, tooLarge };
struct WheelZoom {
    bool drawing = false;      // a drawing of redrw's runs, which a notch may stop
    bool newerTarget = false;  // a notch during it left a newer view in the live values
    WheelRefusal refused = WheelRefusal::none;  // a notch during it went past a limit
    bool operator==(const WheelZoom&) const = default;
};
// The plane point the last notch turned about, with more digits than its
// view's centre, the pointer's place and the view the notch led to: the
// next notch at the same place of that view turns about the same point.
struct WheelAnchor {
    bool held = false;
    double x = 0, y = 0;  // the pointer, folded
    std::string re, im;
    double centerX = 0, centerY = 0, radius = 0;
    DeepPlace deep;
    bool operator==(const WheelAnchor&) const = default;
};

struct AppState {
    View live;  // the view to be drawn next
    View cur;   // the picture on the screen
    View prev;  // the picture before it

    // --- the rest of the view to be drawn next
    Flag juliaStartedBefore = 0;
    double initialRadius = 2.0;
    double radius = 2.0;
    double zoom = 8.0;
    double defaultZoom = 8.0;
    Int32 lineStep = -1;
    Int16 coarseLineStep = -10;
    bool showTimeLeft = false;  // the dialog's remaining-time estimate is wanted

    // --- picture geometry
    Int16 widthSetting = 800;
    Int16 heightSetting = 600;
    Int16 picW = 800;
    Int16 picH = 600;
    Int16 frameW = 0;
    Int16 frameH = 0;
    Int16 halfW = 0;
    Int16 halfH = 0;
    double pixelSize = 0.0;

    // --- drawing and mouse state
    bool busy = false;  // a drawing runs
    bool stopRequest = false;  // a right click asked the drawing to stop
    bool firstDrawing = false;  // the next drawing is the first of the run
    bool prevAvail = false;  // a previous screen exists
    bool zoomEditable = true;  // the dialog's zoom controls are enabled when it opens
    Int16 shownMethod = 0;
    Int16 shownQuad = 0;
    bool menuOpen = false;  // the popup menu was shown
    Int16 lastButton = 0;
    double mouseX = 0.0;
    double mouseY = 0.0;
    float lastMouseX = 0.0f;
    float lastMouseY = 0.0f;
    float drawStartTime = 0.0f;
    std::string fileName;
    Int16 fileNameOk = 1;
    WheelZoom wheel;
    WheelAnchor wheelAnchor;

    // --- texts
    std::string appPath;
    std::string viewInfo;
    std::string drawingCaption;
    std::string pointLabel;
    std::string clickHint;
    std::string cursorInfo;

    // --- the calibrated period colours (indices 1..16 used)
    std::array<Int32, 17> periodShown{};
    std::array<Int32, 17> periodInverted{};

    // Field by field, so that a test can show that a refused command
    // changed nothing.
    bool operator==(const AppState&) const = default;
};

// Gives every field its start value and makes the cur and prev layers
// describe the live view (the first two steps of start-up).
void setStartValues(AppState& s);

// Makes `view` the view to be drawn next: the live view (without a
// magnification text, which the dialog's field holds) and the radius from
// its magnification (beyond a double's range, where View::deep holds it,
// that of the largest double; unchanged for a view without one).
void putLiveView(AppState& s, const View& view);

// Makes `view` the view to be drawn next and the picture on the screen, as
// opening a picture leaves them: the live view and the cur layer (with the
// view's magText), the radius from its magnification (beyond a double's
// range, where View::deep holds it, that of the largest double; unchanged
// for a view without one), the shown method. One call for every
// place that sets a whole view: opening a picture, the tools, the
// benchmarks and the tests.
void putView(AppState& s, const View& view);

// The prev layer takes the cur layer, the cur layer the live view;
// `magText` is what the dialog's current-magnification field shows.
void snapshotView(AppState& s, const std::string& magText);

}  // namespace qel
