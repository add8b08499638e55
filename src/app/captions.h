// The pieces of the main window's title. Each text lives here once and is
// composed from wherever a title is set.
#pragma once

#include <string>

#include "app/app_state.h"
#include "render/deep/nucleus.h"

namespace qel {

inline const std::string kLabelCentre = " 中心(";
inline const std::string kLabelConstant = " 定数項(";
inline const std::string kDrawingPrefix = "描画中: ";
inline const std::string kFirstDrawingPrefix = "描画中: Mandelbrot集合:";
inline const std::string kStopHint = " 右Clickで中止:";
inline const std::string kOtherScreensHint = " 右Clickで他画面: 右W-ClickでMenu:";
inline const std::string kMenuHint = " 右ClickでMenu:";
inline const std::string kJuliaPickHint = "  Clickするとそこを定数項とするJulia集合を初期倍率で描画します:";

// True while the Julia set is chosen and its constant is still to be picked.
inline bool juliaConstantToPick(const AppState& s) { return s.live.isJulia == -1 && s.live.juliaStarted == 0; }

// "J:" or "M:" by the live set.
std::string setPrefix(const AppState& s);
// " 定数項(" while the constant is to be picked, else " 中心(".
std::string pointLabelFor(const AppState& s);

// " 中心(X , Y): 倍率M:" of the first drawing.
std::string firstViewInfo(const AppState& s);
// A coordinate of a view's centre as captions show it: its deep text, or
// numberText of its double.
std::string centreText(const View& v, bool imaginary);
// The live view's magnification as captions and the dialog show it.
std::string magnificationText(const AppState& s);
// The magnification the next zoom leads to, as the dialog shows it.
std::string zoomedMagnificationText(const AppState& s);

// The drawing request's view text: "J: 定数項(X , Y): 初期倍率:" for a new
// Julia set, else prefix + pointLabel + "X , Y): 倍率M:". Uses s.pointLabel.
std::string requestViewInfo(const AppState& s);
// retitle's form, with ideographic spaces around the comma; `magnification`
// is the value of the dialog's magnification field (a deep view shows its
// own).
std::string retitleViewInfo(const AppState& s, double magnification);

// "  Clickするとそこを中心に" + Z + "倍に拡大描画します:".
std::string zoomHint(double zoom);
// "  Clickするとそこを中心とするMandelbrot集合を" + Z + "倍に拡大描画します:".
std::string mandelbrotZoomHint(double zoom);

// The title while the nearest minibrot is searched for:
// "Minibrot探索中: 周期を探索 37%: 右Clickで中止:", then
// "Minibrot探索中: 周期 96720 の中心を計算 2回目 45%: 右Clickで中止:".
inline const std::string kMinibrotSearchPrefix = "Minibrot探索中: ";
std::string minibrotSearchCaption(const NucleusProgress& progress);

// " 右Clickで他画面: 右W-ClickでMenu:" when other screens exist, else " 右ClickでMenu:".
std::string rightButtonHint(bool otherScreens);

// The cursor read-out: its labels and " ｶｰｿﾙ(CX , CY)".
inline const std::string kCursorLabel = " ｶｰｿﾙ";
inline const std::string kPeriodUndeterminedLabel = " 周期未定";
// " 周期" + the period as plain text with its leading blank: " 周期 3".
std::string periodLabel(int period);
std::string cursorInfoText(const std::string& label, double re, double im);
std::string cursorInfoText(const std::string& label, const std::string& re, const std::string& im);

// Captions of the dialog's two point rows (Label4, Label5): "拡大点(" and
// "定数項(" for the Julia set, "新中心(" and "現中心(" for the Mandelbrot set.
inline const std::string kZoomPointCaption = "拡大点(";
inline const std::string kConstantCaption = "定数項(";
inline const std::string kNewCentreCaption = "新中心(";
inline const std::string kCurrentCentreCaption = "現中心(";

}  // namespace qel
