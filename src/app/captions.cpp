#include "app/captions.h"

#include "app/deep_place.h"
#include "app/number_text.h"

namespace qel {

std::string setPrefix(const AppState& s) { return s.live.isJulia == -1 ? "J:" : "M:"; }

std::string pointLabelFor(const AppState& s) { return juliaConstantToPick(s) ? kLabelConstant : kLabelCentre; }

std::string firstViewInfo(const AppState& s) {
    return " 中心(" + numberText(s.live.centerX) + " , " + numberText(s.live.centerY) + "): 倍率" +
           numberText(s.initialRadius / s.radius) + ":";
}

std::string centreText(const View& v, bool imaginary) {
    if (isDeep(v)) return numberTextOfStr(imaginary ? v.deep.centerY : v.deep.centerX);
    return numberText(imaginary ? v.centerY : v.centerX);
}

std::string magnificationText(const AppState& s) {
    if (isDeep(s.live)) return numberTextOfStr(s.live.deep.magnification);
    return numberText(s.initialRadius / s.radius);
}

std::string zoomedMagnificationText(const AppState& s) {
    if (isDeep(s.live)) return numberTextOfStr(magnificationStr(liveMagnification(s) * s.zoom));
    return numberText(s.initialRadius * s.zoom / s.radius);
}

std::string requestViewInfo(const AppState& s) {
    std::string head = setPrefix(s) + s.pointLabel + centreText(s.live, false) + " , " + centreText(s.live, true);
    if (juliaConstantToPick(s)) return head + "): 初期倍率:";
    return head + "): 倍率" + magnificationText(s) + ":";
}

std::string retitleViewInfo(const AppState& s, double magnification) {
    const std::string shown = isDeep(s.live) ? magnificationText(s) : numberText(magnification);
    return setPrefix(s) + s.pointLabel + centreText(s.live, false) + "　,　" + centreText(s.live, true) + "): 倍率" +
           shown + ":";
}

std::string zoomHint(double zoom) { return "  Clickするとそこを中心に" + numberText(zoom) + "倍に拡大描画します:"; }

std::string mandelbrotZoomHint(double zoom) {
    return "  Clickするとそこを中心とするMandelbrot集合を" + numberText(zoom) + "倍に拡大描画します:";
}

std::string minibrotSearchCaption(const NucleusProgress& progress) {
    const std::int64_t percent = progress.steps > 0 ? 100 * progress.step / progress.steps : 0;
    const std::string done = " " + std::to_string(percent) + "%:";
    if (progress.stage == NucleusProgress::Stage::period) return kMinibrotSearchPrefix + "周期を探索" + done + kStopHint;
    return kMinibrotSearchPrefix + "周期 " + std::to_string(progress.period) + " の中心を計算 " +
           std::to_string(progress.round) + "回目" + done + kStopHint;
}

std::string rightButtonHint(bool otherScreens) { return otherScreens ? kOtherScreensHint : kMenuHint; }

std::string periodLabel(int period) { return " 周期" + strDouble(period); }

std::string cursorInfoText(const std::string& label, double re, double im) {
    return cursorInfoText(label, numberText(re), numberText(im));
}

std::string cursorInfoText(const std::string& label, const std::string& re, const std::string& im) {
    return label + "(" + re + " , " + im + ")";
}

}  // namespace qel
