// The one record of program state, shared by the three windows.
// Widths follow the program's conventions: Flag and pixel values are signed
// 16-bit, plane values are 64-bit floats, the contour interval is a 32-bit float.
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

struct AppState {
    // --- the view to be drawn next (live values)
    double centerX = 0.0;
    double centerY = 0.0;
    double juliaRe = 0.0;
    double juliaIm = 0.0;
    Flag isJulia = 0;
    Flag juliaStarted = 0;
    Flag juliaStartedBefore = 0;
    double initialRadius = 2.0;
    double radius = 2.0;
    double maxIter = 500.0;
    float contourT = 1.0f;
    Int16 drawMethod = 0;
    double zoom = 8.0;
    double defaultZoom = 8.0;
    Flag singleImage = 0;
    Int32 lineStep = -1;
    Int16 coarseLineStep = -10;
    Flag showTimeLeft = 0;

    // --- cur layer: the picture on the screen
    double curCenterX = 0.0;
    double curCenterY = 0.0;
    double curJuliaRe = 0.0;
    double curJuliaIm = 0.0;
    std::string curMagText;
    Int16 curMethod = 0;
    Flag curIsJulia = 0;
    Flag curJuliaStarted = 0;
    double curMaxIter = 500.0;
    float curContourT = 1.0f;
    Flag curSingleImage = 0;

    // --- prev layer: the picture before it
    double prevCenterX = 0.0;
    double prevCenterY = 0.0;
    double prevJuliaRe = 0.0;
    double prevJuliaIm = 0.0;
    std::string prevMagText;
    Int16 prevMethod = 0;
    Flag prevIsJulia = 0;
    Flag prevJuliaStarted = 0;
    double prevMaxIter = 500.0;
    float prevContourT = 1.0f;
    Flag prevSingleImage = 0;

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
    Flag busy = 0;
    Flag stopRequest = 0;
    Flag firstDrawing = 0;
    Flag prevAvail = 0;
    Flag zoomEditable = -1;
    Int16 shownMethod = 0;
    Int16 shownQuad = 0;
    Flag menuOpen = 0;
    Int16 lastButton = 0;
    double mouseX = 0.0;
    double mouseY = 0.0;
    float lastMouseX = 0.0f;
    float lastMouseY = 0.0f;
    float drawStartTime = 0.0f;
    std::string fileName;
    Int16 fileNameOk = 1;

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

// Copies the cur layer into the prev layer, then the live values into the
// cur layer; `magText` is what the dialog's current-magnification field shows.
void snapshotView(AppState& s, const std::string& magText);

}  // namespace qel
