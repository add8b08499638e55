// The texts of the settings dialog "画面設定": its messages and the hints
// that change with what the first point row means. Each text lives here once.
#pragma once

namespace qel {

inline constexpr const char* kDialogCaption = "画面設定";

// What the two point rows say and what "閉じる" will leave to the mouse.
struct PointRowTexts {
    const char* label4;
    const char* label4Tip;
    const char* label5;
    const char* label5Tip;
    const char* command2Tip;
};

inline constexpr const char* kZoomPointTip =
    "現画像内の拡大したい点を入力.マウスで指示する場合は｢閉じる｣ボタンを押す.";
inline constexpr const char* kZoomPointCloseTip =
    "以上の設定のうち拡大したい点はマウスの指示で決定して描画開始(不適な設定は変更されることあり)";

// Mandelbrot set: the first row is the new centre.
inline constexpr PointRowTexts kMandelbrotRows{"新中心(", kZoomPointTip, "現中心(", "現画像内の中心座標",
                                               kZoomPointCloseTip};

// Julia set over a Mandelbrot picture, as the fill writes it.
inline constexpr PointRowTexts kConstantPickRows{
    "定数項(", "漸化式Z(n+1)=Z(n)･Z(n)+Zc の定数項Zcを入力.マウスで指示する場合は｢閉じる｣ボタンを押す.", "現中心(",
    "現画像の中心座標", "以上の設定のうち定数項Zcはマウスの指示で決定して描画開始(不適な設定は変更されることあり)"};

// Julia set over a Mandelbrot picture, as choosing "Julia集合" writes it: the
// recurrence is shortened and a comma follows "のうち".
inline constexpr PointRowTexts kConstantPickRowsOnChoice{
    "定数項(", "漸化式Z(n+1)=Z(n)+Zc の定数項Zcを入力.マウスで指示する場合は｢閉じる｣ボタンを押す.", "現中心(",
    "現画像の中心座標", "以上の設定のうち,定数項Zcはマウスの指示で決定して描画開始(不適な設定は変更されることあり)"};

// Julia set over a Julia picture: the first row is the point to zoom into.
inline constexpr PointRowTexts kJuliaZoomRows{
    "拡大点(", kZoomPointTip, "定数項(",
    "漸化式Z(n+1)=Z(n)･Z(n)+Zc の定数項Zc.これの変更は下欄のMandelbrot集合を選択,描画してからでないとできません",
    kZoomPointCloseTip};

// Refusals of the field checks: message and title.
inline constexpr const char* kPositiveIntegerMessage = "正整数を入れて下さい";
inline constexpr const char* kZoomTitle = "現画面を□倍に拡大";
inline constexpr const char* kNewMagnificationMessage = "桁あふれエラーを避けるために 0.1 以上の正数を入れて下さい";
inline constexpr const char* kNewMagnificationTitle = "初期画面からの新倍率";
inline constexpr const char* kCoordinateMessage = "桁あふれエラーを避けるために -4～4 の値を入れて下さい";
inline constexpr const char* kXTitle = "x座標";
inline constexpr const char* kYTitle = "y座標";
inline constexpr const char* kIterationsTitle = "計算回数";
inline constexpr const char* kContourMessage = "0～5の値を入れて下さい．既定値は1";
inline constexpr const char* kContourTitle = "等高線間隔･明暗";

}  // namespace qel
