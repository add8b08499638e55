#include "settings/settings_dialog.h"

#include <cmath>

#include "app/captions.h"
#include "app/deep_place.h"
#include "app/drawing.h"
#include "app/drawing_request.h"
#include "app/number_text.h"
#include "app/view_limits.h"
#include "render/layout.h"
#include "settings/settings_rules.h"

namespace qel {
namespace {

void showNumber(Field* field, double value) { field->setTextUtf8(numberText(value)); }

void showPoint(Field* x, Field* y, double px, double py) {
    showNumber(x, px);
    showNumber(y, py);
}

// A view's centre: a deep view's texts, else its doubles.
void showCentre(Field* x, Field* y, const View& v) {
    x->setTextUtf8(centreText(v, false));
    y->setTextUtf8(centreText(v, true));
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
    Text7->setTextUtf8(zoomedMagnificationText(s_));
    Text2->setTextUtf8(magnificationText(s_));
    showCentre(Text3, Text5, s_.live);
    showCentre(Text4, Text6, s_.live);
    Text8->setTextUtf8(strDouble(s_.live.maxIter));
    Text9->setTextUtf8(numberText(s_.live.contourT));

    Text8->setTextUtf8(strDouble(s_.live.maxIter));
    Option15->select();
    Check4->setChecked(s_.lineStep != -1);
    if (s_.live.isJulia == kNo) Option9->select();
}

void SettingsDialog::fill() {
    showCentre(Text3, Text5, s_.live);
    if (s_.cur.isJulia == kYes) setZoomControlsEnabled(true);
    Text8->setTextUtf8(strDouble(s_.live.maxIter));
    Text9->setTextUtf8(numberText(s_.live.contourT));
    if (s_.zoomEditable) setZoomControlsEnabled(true);
    if (s_.zoomEditable && !Check5->isChecked()) {
        Text1->setTextUtf8(strDouble(s_.defaultZoom));
        s_.zoom = s_.defaultZoom;
    }
    Text7->setTextUtf8(zoomedMagnificationText(s_));
    Text2->setTextUtf8(magnificationText(s_));

    const bool julia = s_.live.isJulia == kYes;
    const bool juliaOnScreen = s_.cur.isJulia == kYes;
    const PointRowTexts& rows = !julia ? kMandelbrotRows : juliaOnScreen ? kJuliaZoomRows : kConstantPickRows;
    showPointRows(rows);
    if (julia && juliaOnScreen)
        showPoint(Text4, Text6, s_.live.juliaRe, s_.live.juliaIm);
    else
        showCentre(Text4, Text6, s_.cur);
    showCentre(Text3, Text5, s_.live);

    if (julia)
        Option10->select();
    else
        Option10->clear();
    if (s_.live.isJulia == kNo)
        Option9->select();
    else
        Option9->clear();
    Text8->setTextUtf8(strDouble(s_.live.maxIter));
    Command2->setToolTip(QString::fromUtf8(rows.command2Tip));
    if (s_.live.drawMethod >= 0 && s_.live.drawMethod < static_cast<int>(methodButtons_.size()))
        methodButtons_[s_.live.drawMethod]->select();
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
    s_.live.isJulia = kNo;
    s_.zoom = 1;
    Text1->setText("1");
    updateNewMagnification();
    showPointRows(kMandelbrotRows);
    setZoomControlsEnabled(true);
    showCentre(Text4, Text6, s_.cur);
    showCentre(Text3, Text5, s_.live);
}

void SettingsDialog::Option10_Click() {
    s_.live.isJulia = kYes;
    Check5->setChecked(false);
    if (s_.cur.isJulia != kNo) {
        showPointRows(kJuliaZoomRows);
        showCentre(Text3, Text5, s_.live);
        showPoint(Text4, Text6, s_.cur.juliaRe, s_.cur.juliaIm);
        setZoomControlsEnabled(true);
        return;
    }
    // The new Julia set starts at the initial magnification: the zoom is the
    // reciprocal of the magnification on screen.
    Text7->setText("1");
    s_.zoom = zoomFor(Text7->textUtf8()).value_or(s_.zoom);
    showNumber(Text1, s_.zoom);
    showPointRows(kConstantPickRowsOnChoice);
    showCentre(Text3, Text5, s_.live);
    showCentre(Text4, Text6, s_.cur);
    setZoomControlsEnabled(false);
}

// ---------------------------------------------------------------- magnifications

double SettingsDialog::shownMagnification() const { return shownMagnificationOf(Text2->value()); }

std::optional<double> SettingsDialog::zoomFor(const std::string& newMagnification) const {
    if (isDeep(s_.live)) return deepZoomFor(s_, newMagnification);
    return zoomForMagnification(valueOfText(newMagnification), shownMagnification());
}

void SettingsDialog::updateNewMagnification() {
    if (isDeep(s_.live))
        Text7->setTextUtf8(zoomedMagnificationText(s_));
    else
        showNumber(Text7, s_.zoom * shownMagnification());
}

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
    if (!acceptsZoom(v))
        return refuse(Text1, kPositiveIntegerMessage, kZoomTitle, numberText(zoomFor(Text7->textUtf8()).value_or(s_.zoom)));
    if (v != s_.zoom) {
        s_.zoom = v;
        updateNewMagnification();
    }
    return true;
}

bool SettingsDialog::Text7_LostFocus() {
    if (isDeep(s_.live)) return takeDeepNewMagnification();
    double v = Text7->value();
    if (!acceptsNewMagnification(v, shownMagnification()))
        return refuse(Text7, kNewMagnificationMessage, kNewMagnificationTitle,
                      numberText(s_.zoom * shownMagnification()));
    if (s_.zoom * shownMagnification() != v) {
        s_.zoom = *zoomFor(Text7->textUtf8());
        showNumber(Text1, s_.zoom);
    }
    return true;
}

// A deep view's new magnification may lie beyond a double's range; the zoom
// that leads there is a double all the same.
bool SettingsDialog::takeDeepNewMagnification() {
    const std::optional<double> zoom = zoomFor(Text7->textUtf8());
    if (!zoom) return refuse(Text7, kNewMagnificationMessage, kNewMagnificationTitle, zoomedMagnificationText(s_));
    if (trimBlanks(Text7->textUtf8()) != zoomedMagnificationText(s_)) {
        s_.zoom = *zoom;
        showNumber(Text1, s_.zoom);
    }
    return true;
}

bool SettingsDialog::Text3_LostFocus() {
    return checkCoordinate(Text3, s_.live.centerX, kXTitle) && keepDeepCentre(Text3, s_.live.deep.centerX);
}

bool SettingsDialog::Text5_LostFocus() {
    return checkCoordinate(Text5, s_.live.centerY, kYTitle) && keepDeepCentre(Text5, s_.live.deep.centerY);
}

// A deep view keeps a typed centre with every digit its magnification needs.
bool SettingsDialog::keepDeepCentre(Field* field, std::string& deepText) {
    if (isDeep(s_.live)) deepText = deepCentreText(s_, field->textUtf8());
    return true;
}

bool SettingsDialog::checkCoordinate(Field* field, double& coordinate, const char* title) {
    double v = field->value();
    if (numberOverflows(field->textUtf8()) || !isTypedCoordinate(v)) return refuse(field, kCoordinateMessage, title, numberText(coordinate));
    coordinate = v;
    return true;
}

bool SettingsDialog::Text8_LostFocus() {
    double v = Text8->value();
    if (!isIterationLimit(v))
        return refuse(Text8, kPositiveIntegerMessage, kIterationsTitle, strDouble(s_.live.maxIter));
    s_.live.maxIter = std::trunc(v);
    if (OptionButton* preset = presetOf(iterationPresets_, s_.live.maxIter)) preset->select();
    return true;
}

bool SettingsDialog::Text9_LostFocus() {
    double v = Text9->value();
    if (numberOverflows(Text9->textUtf8()) || !isContourInterval(v)) return refuse(Text9, kContourMessage, kContourTitle, numberText(s_.live.contourT));
    s_.live.contourT = static_cast<float>(v);
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
    const std::optional<int> i =
        presetFor({presets[0].value, presets[1].value, presets[2].value, presets[3].value}, value);
    return i ? presets[static_cast<std::size_t>(*i)].button : nullptr;
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
    if (acceptsZoom(v)) followPreset(zoomPresets_, v);
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
    s_.live.maxIter = preset.value;
    if (Text8->value() != preset.value) Text8->setTextUtf8(preset.text);
}

void SettingsDialog::chooseContourDigit(int digit) {
    const std::string text = std::to_string(digit);
    if (Text9->textUtf8() == text) return;
    Text9->setTextUtf8(text);
    s_.live.contourT = static_cast<float>(digit);
}

// ---------------------------------------------------------------- methods

void SettingsDialog::chooseMethod(int method) {
    s_.live.drawMethod = static_cast<Int16>(method);
    if (method == kSplitScreen) {
        if (s_.shownQuad == kSplitScreen) s_.shownMethod = kSplitScreen;
        return;
    }
    // A full-size drawing holds all four colourings as the quadrants of the
    // surface: bring the chosen one into view. A split screen or an opened
    // file only records the choice for the next drawing.
    if (s_.shownQuad < kUpperLeft || s_.live.singleImage != kNo) return;
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
    const double magnificationValue = isDeep(s_.live) && zoomFor(Text7->textUtf8()) ? 1.0 : Text7->value();
    const double iterationValue = Text8->value();
    if (zoomValue > 0 && magnificationValue > 0 && iterationValue > 0) {
        if (zoomValue != s_.zoom) s_.zoom = zoomValue;
        return;
    }
    // "不適な設定は変更されることあり": unusable fields show the stored values.
    if (zoomValue != s_.zoom) showNumber(Text1, s_.zoom);
    if (iterationValue != s_.live.maxIter) Text8->setTextUtf8(strDouble(s_.live.maxIter));
}

void SettingsDialog::Command1_Click() {
    takeSettings();
    s_.menuOpen = false;
    hide();
    if (!isDeep(s_.live)) {
        const ZoomedRadius zoomed = radiusAfterZoom(s_.radius, s_.zoom, s_.initialRadius);
        if (zoomed.outcome == ZoomOutcome::tooSmall) {
            platform_.messageBox(kMagnificationTooSmall, kMagnificationTooSmallTitle, kMsgStop);
            return;
        }
        if (zoomed.outcome == ZoomOutcome::beep) {
            platform_.beep();
            return;
        }
        if (!needsDeep(zoomed.radius, halfWidthFor(s_), s_.live.centerX, s_.live.centerY)) {
            s_.radius = zoomed.radius;
            if (drawingRequest_) drawingRequest_();
            return;
        }
    }
    // Deep, or deep from here on: the centre as its fields show it, every
    // digit a user typed included.
    if (!zoomLiveViewAbout(s_, centreOfText(s_, Text3->textUtf8()), centreOfText(s_, Text5->textUtf8()))) {
        platform_.messageBox(kMagnificationTooLarge, kMagnificationTooLargeTitle, kMsgStop);
        return;
    }
    if (drawingRequest_) drawingRequest_();
}

void SettingsDialog::Command2_Click() {
    takeSettings();
    s_.clickHint = clickHintOnClose(s_);
    s_.menuOpen = false;
    s_.zoomEditable = false;
    hide();
}

}  // namespace qel
