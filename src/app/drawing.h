// Drawing the program's live view: the render loop with its history step,
// captions and dialog, and the renderer's parameters taken from the record.
// The renderer itself (src/render/) knows nothing of the program.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "render/colouring.h"
#include "render/large_picture.h"
#include "render/orbit.h"
#include "render/row_engine.h"

namespace qel {

// The set, constant, limit, centre and pixel size of the live view.
OrbitParams orbitParamsFor(const AppState& s);

// The setup of the live view after layout and pixel size are set.
DrawingSetup drawingSetupFor(const AppState& s, const ColourConstants& colours);

// Sets halfW, halfH and shownQuad for drawMethod and lays picture1 out for it.
void layoutPicture(AppState& s, Surface& picture1);

// Half width and half height of one picture of the live view's method.
int halfWidthFor(const AppState& s);
int halfHeightFor(const AppState& s);

// Shows the quadrant of `method` of a full-size picture1.
void showQuadrant(const AppState& s, Surface& picture1, int method);

// The large picture of the live view (a Julia constant already fixed) with
// `scale` x `scale` pixels for every pixel of the window's picture, each the
// average of `samples` x `samples` points (render/large_picture.h).
LargePicture largePictureOf(const AppState& s, int scale, int samples = 1);

// The rows of a sequence of pictures, one view each (the setup's `picture`
// says which): each drawn by `doubles` or, where its view is deep, by the
// perturbation engine (with `slowStandard`, every point iterated in MPFR
// instead).
class ViewRowEngines : public RowEngine {
public:
    ViewRowEngines(std::vector<AppState> views, RowEngine& doubles, bool slowStandard = false);

    void startDrawing(const DrawingSetup& setup) override;
    void computeRow(const DrawingSetup& setup, int y, RowColours& out) override;
    bool awaitRow(const DrawingSetup& setup, int y, RowColours& out, const KeepAlive& keepAlive) override;
    void endDrawing() override;
    void queueDrawing(const DrawingSetup& next) override;

private:
    bool isDeepPicture(int picture) const;

    std::vector<AppState> views_;
    RowEngine& doubles_;
    bool slowStandard_;
    std::unique_ptr<RowEngine> deep_;
    RowEngine* current_ = nullptr;
};

// Keeps what `scratch` (or a small surface of its own) shows for each period
// colour in periodShown and periodInverted.
void calibratePeriodColours(AppState& s, Surface& scratch);
void calibratePeriodColours(AppState& s);

// How a drawing starts. A click's, the dialog's and the first drawing take
// the history step and draw over the cleared picture (or the old one, when
// the dialog keeps it). The wheel's draw over the picture on the screen
// scaled to their view. A drawing stopped by a notch of the wheel (see
// redrw) ends without the end caption and the beep: the drawing of the
// notch's view follows at once, within the same history step.
struct DrawingStart {
    // The picture on the screen and its view become the previous screen.
    // Without, the cur layer takes the live view and the prev layer stays.
    bool takesHistory = true;
    // Puts what the rows are drawn over into picture1 in place of clearing
    // it, after the history step (picture2 then holds the picture that was
    // on the screen), and shows it at once.
    std::function<void(Program&)> underlay;
};

// Draws one view to its end (or until a right click stops it): history
// step, clearing, Julia start, snapshot, constants, layout, the scan with
// one yield per row, and the end caption with its beep. Ignored while a
// drawing runs already.
void Essence(Program& p, const DrawingStart& start = {});

// Copies the whole of picture1 into picture2 (the history's picture half).
// When picture1 is about to be cleared anyway (`picture1Cleared`), its pixels
// are handed over instead of copied, and picture1 is left with the old
// history picture's pixels until it is cleared.
void backupPicture(Program& p, bool picture1Cleared = false);

}  // namespace qel
