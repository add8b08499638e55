#include "app/drawing.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/captions.h"
#include "app/deep_place.h"
#include "app/number_text.h"
#include "render/deep/deep_colour_rows.h"
#include "render/layout.h"

namespace qel {

OrbitParams orbitParamsFor(const AppState& s) {
    OrbitParams o;
    o.julia = s.live.isJulia == kYes;
    o.cRe = s.live.juliaRe;
    o.cIm = s.live.juliaIm;
    // A limit that is no number would never be passed: such a view stops at once.
    o.maxIter = std::isnan(s.live.maxIter) ? 0.0 : s.live.maxIter;
    o.centerX = s.live.centerX;
    o.centerY = s.live.centerY;
    o.pixelSize = s.pixelSize;
    return o;
}

DrawingSetup drawingSetupFor(const AppState& s, const ColourConstants& colours) {
    DrawingSetup d;
    d.orbit = orbitParamsFor(s);
    d.colours = colours;
    d.halfW = s.halfW;
    d.halfH = s.halfH;
    // lineStep is -1 or -10; anything else must not stall the scan.
    d.xStep = std::max(1, -s.lineStep);
    return d;
}

int halfWidthFor(const AppState& s) { return halfSizeFor(s.live.drawMethod, s.picW); }

int halfHeightFor(const AppState& s) { return halfSizeFor(s.live.drawMethod, s.picH); }

void showQuadrant(const AppState& s, Surface& picture1, int method) {
    showQuadrant(picture1, s.halfW, s.halfH, method);
}

void layoutPicture(AppState& s, Surface& picture1) {
    s.halfW = static_cast<Int16>(halfWidthFor(s));
    s.halfH = static_cast<Int16>(halfHeightFor(s));
    layoutSurface(picture1, s.live.drawMethod, s.halfW, s.halfH);
    s.shownQuad = s.live.drawMethod;
}

LargePicture largePictureOf(const AppState& view, int scale, int samples) {
    // The window's layout and pixel size, as a drawing of the view sets them.
    AppState s = view;
    s.halfW = static_cast<Int16>(halfWidthFor(s));
    s.halfH = static_cast<Int16>(halfHeightFor(s));
    s.pixelSize = s.radius / s.halfW;
    s.lineStep = -1;
    const DrawingSetup window = drawingSetupFor(s, colourConstantsFor(s.live.contourT, colourMagnification(s)));
    return largePictureOf(window, s.live.drawMethod, scale, samples);
}

ViewRowEngines::ViewRowEngines(std::vector<AppState> views, RowEngine& doubles, bool slowStandard)
    : views_(std::move(views)), doubles_(doubles), slowStandard_(slowStandard) {}

bool ViewRowEngines::isDeepPicture(int picture) const {
    const auto i = static_cast<std::size_t>(picture);
    return i < views_.size() && isDeep(views_[i].live);
}

void ViewRowEngines::startDrawing(const DrawingSetup& setup) {
    const auto i = static_cast<std::size_t>(setup.picture);
    const AppState* view = i < views_.size() ? &views_[i] : nullptr;
    current_ = &doubles_;
    if (isDeepPicture(setup.picture)) {
        DeepViewFor viewFor = [view](const DrawingSetup& d) { return deepViewOf(*view, d.halfW); };
        if (slowStandard_)
            deep_ = std::make_unique<MpfrColourRows>(std::move(viewFor));
        else
            deep_ = std::make_unique<DeepColourRows>(std::move(viewFor));
        current_ = deep_.get();
    }
    current_->startDrawing(setup);
}

void ViewRowEngines::computeRow(const DrawingSetup& setup, int y, RowColours& out) {
    current_->computeRow(setup, y, out);
}

bool ViewRowEngines::awaitRow(const DrawingSetup& setup, int y, RowColours& out, const KeepAlive& keepAlive) {
    return current_->awaitRow(setup, y, out, keepAlive);
}

void ViewRowEngines::endDrawing() {
    if (current_) current_->endDrawing();
}

// Only from one picture in doubles to the next: a deep picture's engine is
// made for it when it starts.
void ViewRowEngines::queueDrawing(const DrawingSetup& next) {
    if (current_ == &doubles_ && !isDeepPicture(next.picture)) doubles_.queueDrawing(next);
}

void calibratePeriodColours(AppState& s, Surface& scratch) {
    const PeriodCalibration c = calibratePeriodColours(scratch);
    s.periodShown = c.shown;
    s.periodInverted = c.inverted;
}

void calibratePeriodColours(AppState& s) {
    Surface scratch(3, 3);
    calibratePeriodColours(s, scratch);
}

namespace {

constexpr float kSecondsPerDay = 86400.0f;

// The picture on the screen goes to the history, unless this is the first
// drawing of the run, which has nothing before it.
void takeHistoryStep(Program& p, bool picture1Cleared) {
    AppState& s = p.s;
    if (s.firstDrawing) {
        s.firstDrawing = false;
        s.prevAvail = false;
        return;
    }
    if (juliaConstantToPick(s)) {
        s.live.juliaRe = s.live.centerX;
        s.live.juliaIm = s.live.centerY;
    }
    backupPicture(p, picture1Cleared);
    s.prevAvail = true;
    s.live.singleImage = kNo;
}

// A new Julia set takes the centre as its constant and is drawn around 0.
void startJulia(AppState& s) {
    s.juliaStartedBefore = s.live.juliaStarted;
    s.live.juliaStarted = s.live.isJulia == kYes ? kYes : kNo;
    if (s.live.isJulia == kYes && s.juliaStartedBefore == kNo) {
        s.live.juliaRe = s.live.centerX;
        s.live.juliaIm = s.live.centerY;
        s.live.centerX = 0.0;
        s.live.centerY = 0.0;
    }
}

// The drawing caption with the minutes still to go after row y is done:
// caption + "  残 3分:".
std::string remainingTimeCaption(const std::string& drawingCaption, float elapsed, int halfH, int y) {
    const float rowsLeftPlusOne = static_cast<float>(halfH + y);
    const float rowsDone = static_cast<float>(halfH - y + 1);
    const float minutes = std::floor(elapsed * rowsLeftPlusOne / rowsDone / 60.0f);
    return drawingCaption + "  残" + strSingle(minutes) + "分:";
}

void showRemainingTime(Program& p, int y) {
    AppState& s = p.s;
    float elapsed = p.platform.timer() - s.drawStartTime;
    if (elapsed == 0.0f) return;
    // The timer starts again from 0 at midnight.
    if (elapsed < 0.0f) elapsed += kSecondsPerDay;
    p.platform.setMainCaption(remainingTimeCaption(s.drawingCaption, elapsed, s.halfH, y));
}

// What a click will do next; a finished drawing brings zoom back to its
// default unless the dialog keeps it.
void composeClickHint(Program& p) {
    AppState& s = p.s;
    if (juliaConstantToPick(s)) {
        s.clickHint = kJuliaPickHint;
        return;
    }
    if (!p.dialog.keepsZoom()) s.zoom = s.defaultZoom;
    s.clickHint = zoomHint(s.zoom);
}

void finishDrawing(Program& p) {
    AppState& s = p.s;
    composeClickHint(p);
    p.platform.setMainCaption(s.viewInfo + s.clickHint + rightButtonHint(s.shownQuad >= kUpperLeft));
    s.stopRequest = false;
    s.busy = false;
    p.platform.setBusyPointer(false);
    p.platform.beep();
}

// Rows from the top (y = halfH) down to y = 1 - halfH; after each row the
// window events run, a stop request ends the scan, and the estimate of the
// time left is shown when wanted.
void scanRows(Program& p, RowEngine& engine, const DrawingSetup& setup) {
    AppState& s = p.s;
    RowColours row(static_cast<std::size_t>(setup.pointsPerRow()));
    // A stop while a row is awaited gives that row up: only whole rows are drawn.
    const KeepAlive keepAlive = [&p] {
        p.platform.doEvents();
        return !p.s.stopRequest;
    };
    RowWriter writer;
    engine.startDrawing(setup);
    for (int y = setup.halfH; y >= 1 - setup.halfH; --y) {
        if (!engine.awaitRow(setup, y, row, keepAlive)) break;
        writer.write(p.picture1, setup, y, row);
        p.platform.pictureChanged();
        p.platform.doEvents();
        if (s.stopRequest) break;
        if (s.showTimeLeft) showRemainingTime(p, y);
    }
    engine.endDrawing();
}

}  // namespace

void backupPicture(Program& p, bool picture1Cleared) {
    // Every pixel is overwritten below: a picture of the right size only
    // gets its scale back, without being blanked first.
    const int w = p.picture1.width(), h = p.picture1.height();
    if (p.picture2.width() == w && p.picture2.height() == h)
        p.picture2.setScale(0, 0, w, h);
    else
        p.picture2.resize(w, h);
    p.picture2.move(0, 0);
    if (picture1Cleared && p.picture2.swapPixels(p.picture1)) return;
    p.picture2.copyFrom(p.picture1, 0, 0, p.picture1.width(), p.picture1.height(), 0, 0);
}

void Essence(Program& p, const DrawingStart& start) {
    AppState& s = p.s;
    // A drawing asked for from inside a running one is ignored.
    if (s.busy) return;

    s.zoomEditable = true;
    s.shownMethod = s.live.drawMethod;
    // A picture that is cleared is handed to the history whole, not copied
    // (millions of pixels a drawing).
    const bool clearing = !start.underlay && !p.dialog.keepsOldPicture();
    if (start.takesHistory) takeHistoryStep(p, clearing);
    if (clearing) p.picture1.cls();
    if (start.underlay) {
        start.underlay(p);
        p.platform.showPictureNow();
    }
    startJulia(s);
    if (start.takesHistory) {
        snapshotView(s, p.dialog.magText());
    } else {
        s.cur = s.live;
        s.cur.magText = p.dialog.magText();
    }
    s.stopRequest = false;
    const ColourConstants colours = colourConstantsFor(s.live.contourT, colourMagnification(s));
    p.platform.setBusyPointer(true);
    s.busy = true;
    layoutPicture(s, p.picture1);
    s.pixelSize = s.radius / s.halfW;
    s.drawStartTime = p.platform.timer();

    // The view is fixed here for the whole drawing, so the picture matches
    // the cur layer even if the dialog changes the live values meanwhile.
    const DrawingSetup setup = drawingSetupFor(s, colours);
    if (isDeep(s.live)) {
        DeepColourRows deep([&s](const DrawingSetup& d) { return deepViewOf(s, d.halfW); });
        scanRows(p, deep, setup);
    } else {
        ReferenceRowEngine reference;
        scanRows(p, p.engine ? *p.engine : reference, setup);
    }
    // The whole picture is on the screen before the end caption says so.
    p.platform.showPictureNow();
    if (s.stopRequest && s.wheel.newerTarget) {
        // A notch of the wheel stopped it: the newer drawing's caption
        // follows at once.
        s.stopRequest = false;
        s.busy = false;
        p.platform.setBusyPointer(false);
        return;
    }
    finishDrawing(p);
}

}  // namespace qel
