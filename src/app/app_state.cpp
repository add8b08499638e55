#include "app/app_state.h"

#include "app/number_text.h"

namespace qel {

void setStartValues(AppState& s) {
    s = AppState{};
    // Live view and settings (the record's member initialisers hold them);
    // the ones restated here are the values every run starts from.
    s.centerX = s.centerY = 0.0;
    s.juliaRe = s.juliaIm = 0.0;
    s.isJulia = 0;
    s.juliaStarted = 0;
    s.initialRadius = 2.0;
    s.radius = 2.0;
    s.maxIter = 500.0;
    s.contourT = 1.0f;
    s.drawMethod = 0;
    s.zoom = 8.0;
    s.defaultZoom = 8.0;
    s.singleImage = 0;
    s.lineStep = -1;
    s.coarseLineStep = -10;
    s.showTimeLeft = 0;
    s.widthSetting = 800;
    s.heightSetting = 600;
    s.zoomEditable = -1;
    s.fileNameOk = 1;
    s.shownMethod = 0;
    s.shownQuad = 0;
    s.menuOpen = 0;

    // Both layers describe the start view.
    s.curCenterX = s.prevCenterX = s.centerX;
    s.curCenterY = s.prevCenterY = s.centerY;
    s.curJuliaRe = s.prevJuliaRe = s.juliaRe;
    s.curJuliaIm = s.prevJuliaIm = s.juliaIm;
    s.curMethod = s.prevMethod = s.drawMethod;
    s.curIsJulia = s.prevIsJulia = s.isJulia;
    s.curJuliaStarted = s.prevJuliaStarted = s.juliaStarted;
    s.curMaxIter = s.prevMaxIter = s.maxIter;
    s.curContourT = s.prevContourT = s.contourT;
    s.curSingleImage = s.prevSingleImage = s.singleImage;
    s.curMagText = strDouble(2.0 / 2.0);
    s.prevMagText = strDouble(s.initialRadius / s.radius);
}

void snapshotView(AppState& s, const std::string& magText) {
    s.prevCenterX = s.curCenterX;
    s.prevCenterY = s.curCenterY;
    s.prevJuliaRe = s.curJuliaRe;
    s.prevJuliaIm = s.curJuliaIm;
    s.prevMagText = s.curMagText;
    s.prevMethod = s.curMethod;
    s.prevIsJulia = s.curIsJulia;
    s.prevJuliaStarted = s.curJuliaStarted;
    s.prevMaxIter = s.curMaxIter;
    s.prevContourT = s.curContourT;
    s.prevSingleImage = s.curSingleImage;

    s.curCenterX = s.centerX;
    s.curCenterY = s.centerY;
    s.curJuliaRe = s.juliaRe;
    s.curJuliaIm = s.juliaIm;
    s.curMagText = magText;
    s.curMethod = s.drawMethod;
    s.curIsJulia = s.isJulia;
    s.curJuliaStarted = s.juliaStarted;
    s.curMaxIter = s.maxIter;
    s.curContourT = s.contourT;
    s.curSingleImage = s.singleImage;
}

}  // namespace qel
