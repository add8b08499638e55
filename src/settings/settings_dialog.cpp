#include "settings/settings_dialog.h"
#include "render/layout.h"

#include <cmath>

#include "app/captions.h"
#include "app/drawing_request.h"
#include "app/number_text.h"
#include "app/view_limits.h"

namespace qel {
namespace {

void showNumber(Field* field, double value) { field->setTextUtf8(numberText(value)); }

void showPoint(Field* x, Field* y, double px, double py) {
    showNumber(x, px);
    showNumber(y, py);
}

}  // namespace

SettingsDialog::SettingsDialog(AppState& s, Platform& platform, Surface& picture1, QWidget* parent)
    : QDialog(parent), s_(s), platform_(platform), picture1_(picture1) {
    setObjectName("gh");
    setWindowTitle(QString::fromUtf8(kDialogCaption));
    createControls();
    layOutControls();
    connectHandlers();
    Form_Load();
}

// ---------------------------------------------------------------- filling

void SettingsDialog::fillAtStartUp() {
    showNumber(Text1, s_.zoom);
    showNumber(Text7, s_.initialRadius * s_.zoom / s_.radius);
    showNumber(Text2, s_.initialRadius / s_.radius);
    showPoint(Text3, Text5, s_.centerX, s_.centerY);
    showPoint(Text4, Text6, s_.centerX, s_.centerY);
    Text8->setTextUtf8(strDouble(s_.maxIter));
    Text9->setTextUtf8(numberText(s_.contourT));

    Text8->setTextUtf8(strDouble(s_.maxIter));
    Option15->select();
    Check4->setChecked(s_.lineStep != -1);
    if (s_.isJulia == kNo) Option9->select();
}

void SettingsDialog::fill() {
    showPoint(Text3, Text5, s_.centerX, s_.centerY);
    if (s_.curIsJulia == kYes) setZoomControlsEnabled(true);
    Text8->setTextUtf8(strDouble(s_.maxIter));
    Text9->setTextUtf8(numberText(s_.contourT));
    if (s_.zoomEditable == kYes) setZoomControlsEnabled(true);
    if (s_.zoomEditable == kYes && !Check5->isChecked()) {
        Text1->setTextUtf8(strDouble(s_.defaultZoom));
        s_.zoom = s_.defaultZoom;
    }
    showNumber(Text7, s_.initialRadius * s_.zoom / s_.radius);
    showNumber(Text2, s_.initialRadius / s_.radius);

    const bool julia = s_.isJulia == kYes;
    const bool juliaOnScreen = s_.curIsJulia == kYes;
    const PointRowTexts& rows = !julia ? kMandelbrotRows : juliaOnScreen ? kJuliaZoomRows : kConstantPickRows;
    showPointRows(rows);
    if (julia && juliaOnScreen)
        showPoint(Text4, Text6, s_.juliaRe, s_.juliaIm);
    else
        showPoint(Text4, Text6, s_.curCenterX, s_.curCenterY);
    showPoint(Text3, Text5, s_.centerX, s_.centerY);

    if (julia)
        Option10->select();
    else
        Option10->clear();
    if (s_.isJulia == kNo)
        Option9->select();
    else
        Option9->clear();
    Text8->setTextUtf8(strDouble(s_.maxIter));
    Command2->setToolTip(QString::fromUtf8(rows.command2Tip));
    if (s_.drawMethod >= 0 && s_.drawMethod < static_cast<int>(methodButtons_.size()))
        methodButtons_[s_.drawMethod]->select();
}

void SettingsDialog::mnugh_Click() {
    fill();
    exec();
}

void SettingsDialog::showPointRows(const PointRowTexts& texts) {
    Label4->setText(QString::fromUtf8(texts.label4));
    Label4->setToolTip(QString::fromUtf8(texts.label4Tip));
    Label5->setText(QString::fromUtf8(texts.label5));
    Label5->setToolTip(QString::fromUtf8(texts.label5Tip));
    Command2->setToolTip(QString::fromUtf8(texts.command2Tip));
}

void SettingsDialog::setZoomControlsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{Text7, Frame5, Text1, Option13, Option14, Option15, Option1})
        w->setEnabled(enabled);
}

// ---------------------------------------------------------------- the set

void SettingsDialog::Option9_Click() {
    s_.isJulia = kNo;
    s_.zoom = 1;
    Text1->setText("1");
    updateNewMagnification();
    showPointRows(kMandelbrotRows);
    setZoomControlsEnabled(true);
    showPoint(Text4, Text6, s_.curCenterX, s_.curCenterY);
    showPoint(Text3, Text5, s_.centerX, s_.centerY);
}

void SettingsDialog::Option10_Click() {
    s_.isJulia = kYes;
    Check5->setChecked(false);
    if (s_.curIsJulia != kNo) {
        showPointRows(kJuliaZoomRows);
        showPoint(Text3, Text5, s_.centerX, s_.centerY);
        showPoint(Text4, Text6, s_.curJuliaRe, s_.curJuliaIm);
        setZoomControlsEnabled(true);
        return;
    }
    // The new Julia set starts at the initial magnification: the zoom is the
    // reciprocal of the magnification on screen.
    Text7->setText("1");
    s_.zoom = zoomFor(Text7->value()).value_or(s_.zoom);
    showNumber(Text1, s_.zoom);
    showPointRows(kConstantPickRowsOnChoice);
    showPoint(Text3, Text5, s_.centerX, s_.centerY);
    showPoint(Text4, Text6, s_.curCenterX, s_.curCenterY);
    setZoomControlsEnabled(false);
}

// ---------------------------------------------------------------- magnifications

double SettingsDialog::shownMagnification() const {
    double m = Text2->value();
    return m > 0 ? m : 1.0;
}

std::optional<double> SettingsDialog::zoomFor(double newMagnification) const {
    double z = newMagnification / shownMagnification();
    if (std::isfinite(z) && z > 0) return z;
    return std::nullopt;
}

void SettingsDialog::updateNewMagnification() { showNumber(Text7, s_.zoom * shownMagnification()); }

// ---------------------------------------------------------------- field checks

void SettingsDialog::fieldLeft(Field* field, Qt::FocusReason reason) {
    // Another window taking the activation (a message box among them) moves
    // the focus to no other control of the dialog; and a refusal that puts
    // the focus back must not check the field it takes the focus from.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || checking_) return;
    checkField(field);
}

bool SettingsDialog::checkField(Field* field) {
    using Check = bool (SettingsDialog::*)();
    const std::pair<Field*, Check> checks[] = {
        {Text1, &SettingsDialog::Text1_LostFocus}, {Text7, &SettingsDialog::Text7_LostFocus},
        {Text3, &SettingsDialog::Text3_LostFocus}, {Text5, &SettingsDialog::Text5_LostFocus},
        {Text8, &SettingsDialog::Text8_LostFocus}, {Text9, &SettingsDialog::Text9_LostFocus}};
    for (const auto& [f, check] : checks) {
        if (f != field) continue;
        checking_ = field;
        bool accepted = (this->*check)();
        checking_ = nullptr;
        if (accepted) field->setModified(false);
        return accepted;
    }
    return true;
}

bool SettingsDialog::refuse(Field* field, const char* message, const char* title, const std::string& refill) {
    platform_.messageBox(message, title, kMsgNoIcon);
    field->setTextUtf8(refill);
    field->setFocus(Qt::OtherFocusReason);
    return false;
}

bool SettingsDialog::Text1_LostFocus() {
    double v = Text1->value();
    if (!(v > 0))
        return refuse(Text1, kPositiveIntegerMessage, kZoomTitle, numberText(zoomFor(Text7->value()).value_or(s_.zoom)));
    if (v != s_.zoom) {
        s_.zoom = v;
        updateNewMagnification();
    }
    return true;
}

bool SettingsDialog::Text7_LostFocus() {
    double v = Text7->value();
    std::optional<double> z = zoomFor(v);
    if (!(v >= kLeastMagnification) || !z)
        return refuse(Text7, kNewMagnificationMessage, kNewMagnificationTitle,
                      numberText(s_.zoom * shownMagnification()));
    if (s_.zoom * shownMagnification() != v) {
        s_.zoom = *z;
        showNumber(Text1, *z);
    }
    return true;
}

bool SettingsDialog::Text3_LostFocus() { return checkCoordinate(Text3, s_.centerX, kXTitle); }

bool SettingsDialog::Text5_LostFocus() { return checkCoordinate(Text5, s_.centerY, kYTitle); }

bool SettingsDialog::checkCoordinate(Field* field, double& coordinate, const char* title) {
    double v = field->value();
    if (!isTypedCoordinate(v)) return refuse(field, kCoordinateMessage, title, numberText(coordinate));
    coordinate = v;
    return true;
}

bool SettingsDialog::Text8_LostFocus() {
    double v = Text8->value();
    if (!isIterationLimit(v))
        return refuse(Text8, kPositiveIntegerMessage, kIterationsTitle, strDouble(s_.maxIter));
    s_.maxIter = std::trunc(v);
    if (OptionButton* preset = presetOf(iterationPresets_, s_.maxIter)) preset->select();
    return true;
}

bool SettingsDialog::Text9_LostFocus() {
    double v = Text9->value();
    if (!isContourInterval(v)) return refuse(Text9, kContourMessage, kContourTitle, numberText(s_.contourT));
    s_.contourT = static_cast<float>(v);
    return true;
}

void SettingsDialog::setVisible(bool visible) {
    // Hiding (a button, a click on the picture, the window's close box) with
    // a field still focused and edited checks it before the dialog goes.
    if (!visible && isVisible() && !checking_) {
        if (auto* f = qobject_cast<Field*>(focusWidget()); f && f->isModified()) checkField(f);
    }
    QDialog::setVisible(visible);
}

// ---------------------------------------------------------------- presets

OptionButton* SettingsDialog::presetOf(const std::array<Preset, 4>& presets, double value) {
    for (const Preset& p : presets)
        if (p.value == value) return p.button;
    return nullptr;
}

void SettingsDialog::followPreset(const std::array<Preset, 4>& presets, double value) {
    if (OptionButton* b = presetOf(presets, value)) {
        b->select();
        return;
    }
    for (const Preset& p : presets) p.button->clear();
}

void SettingsDialog::Text1_Change() {
    double v = Text1->value();
    if (v > 0) followPreset(zoomPresets_, v);
}

void SettingsDialog::Text8_Change() {
    double v = Text8->value();
    if (v >= 0) followPreset(iterationPresets_, v);
}

void SettingsDialog::Text1_GotFocus() {
    if (Text1->isEnabled()) Text1->end(false);
}

void SettingsDialog::chooseZoomPreset(const Preset& preset) {
    Text1->setTextUtf8(preset.text);
    s_.zoom = Text1->value();
    updateNewMagnification();
}

void SettingsDialog::chooseIterationPreset(const Preset& preset) {
    s_.maxIter = preset.value;
    if (Text8->value() != preset.value) Text8->setTextUtf8(preset.text);
}

void SettingsDialog::chooseContourDigit(int digit) {
    const std::string text = std::to_string(digit);
    if (Text9->textUtf8() == text) return;
    Text9->setTextUtf8(text);
    s_.contourT = static_cast<float>(digit);
}

// ---------------------------------------------------------------- methods

void SettingsDialog::chooseMethod(int method) {
    s_.drawMethod = static_cast<Int16>(method);
    if (method == 0) {
        if (s_.shownQuad == 0) s_.shownMethod = 0;
        return;
    }
    // A full-size drawing holds all four colourings as the quadrants of the
    // surface: bring the chosen one into view. A split screen or an opened
    // file only records the choice for the next drawing.
    if (s_.shownQuad < 1 || s_.singleImage != kNo) return;
    showQuadrant(s_, picture1_, method);
    s_.shownMethod = static_cast<Int16>(method);
    platform_.pictureChanged();
}

void SettingsDialog::selectMethodOption(int method) {
    if (method >= 0 && method < static_cast<int>(methodButtons_.size())) methodButtons_[method]->select();
}

void SettingsDialog::setPointCaptions(const std::string& first, const std::string& second) {
    Label4->setText(QString::fromStdString(first));
    Label5->setText(QString::fromStdString(second));
}

// ---------------------------------------------------------------- the buttons

void SettingsDialog::takeSettings() {
    const double zoomValue = Text1->value();
    const double magnificationValue = Text7->value();
    const double iterationValue = Text8->value();
    if (zoomValue > 0 && magnificationValue > 0 && iterationValue > 0) {
        if (zoomValue != s_.zoom) s_.zoom = zoomValue;
        return;
    }
    // "不適な設定は変更されることあり": unusable fields show the stored values.
    if (zoomValue != s_.zoom) showNumber(Text1, s_.zoom);
    if (iterationValue != s_.maxIter) Text8->setTextUtf8(strDouble(s_.maxIter));
}

void SettingsDialog::Command1_Click() {
    takeSettings();
    s_.menuOpen = kNo;
    hide();
    // Repeated zooms by extreme factors could take the radius past the range
    // of a double; such a view is refused rather than stored as infinite or 0.
    const double radius = s_.radius / s_.zoom;
    if (!std::isfinite(radius)) {
        platform_.messageBox(kMagnificationTooSmall, kMagnificationTooSmallTitle, kMsgStop);
        return;
    }
    if (!(radius > 0) || !std::isfinite(s_.initialRadius / radius)) {
        platform_.beep();
        return;
    }
    s_.radius = radius;
    if (drawingRequest_) drawingRequest_();
}

void SettingsDialog::Command2_Click() {
    takeSettings();
    if (juliaConstantToPick(s_))
        s_.clickHint = kJuliaPickHint;
    else if (s_.isJulia == kNo && s_.juliaStarted == kYes)
        s_.clickHint = mandelbrotZoomHint(s_.zoom);
    else
        s_.clickHint = zoomHint(s_.zoom);
    s_.menuOpen = kNo;
    s_.zoomEditable = kNo;
    hide();
}

}  // namespace qel
