// The settings dialog gh, "画面設定": method, zoom factor, the point to zoom
// into or the Julia constant, the set, iteration limit, contour interval and
// four display switches. Fields are checked as they lose the focus and act
// on the state record at once; the two buttons start a drawing or leave the
// choice of the point to a click on the picture.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QPushButton>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/settings_port.h"
#include "platform/platform.h"
#include "platform/qt_option_button.h"
#include "render/surface.h"
#include "settings/settings_texts.h"
#include "settings/settings_widgets.h"

namespace qel {

class SettingsDialog : public QDialog, public SettingsPort {
    Q_OBJECT
public:
    SettingsDialog(AppState& s, Platform& platform, Surface& picture1, QWidget* parent = nullptr);
    ~SettingsDialog() override;

    // The drawing request that "描画開始" calls (the main window's redrw).
    void setDrawingRequest(std::function<void()> request) { drawingRequest_ = std::move(request); }

    // The fields and selections as start-up leaves them.
    void fillAtStartUp();
    // Font size of the dialog and of each of its controls.
    void setFontPointSize(int points);

    // The menu's "画面設定の変更": fill from the state, then show modally.
    void mnugh_Click();
    void fill();

    void Option9_Click();
    void Option10_Click();
    void Command1_Click();
    void Command2_Click();

    // What the rest of the program asks of the dialog.
    bool keepsOldPicture() const override { return Check2->isChecked(); }
    bool simpleTitles() const override { return Check3->isChecked(); }
    bool keepsZoom() const override { return Check5->isChecked(); }
    std::string magText() const override { return Text2->textUtf8(); }
    void setMagText(const std::string& text) override { Text2->setTextUtf8(text); }
    std::string contourText() const override { return Text9->textUtf8(); }
    void selectMethodOption(int method) override;
    void setPointCaptions(const std::string& first, const std::string& second) override;
    void hideDialog() override { hide(); }

    // Hiding with a field still focused checks that field first, so that no
    // edit is dropped unchecked.
    void setVisible(bool visible) override;

private:
    struct Preset {
        OptionButton* button;
        double value;
        std::string text;  // what the preset writes into its field
    };

    // Construction (settings_controls.cpp).
    void createControls();
    void layOutControls();
    void connectHandlers();
    void Form_Load();

    // Field checks on losing the focus; each returns whether it accepted.
    void fieldLeft(Field* field, Qt::FocusReason reason);
    bool checkField(Field* field);
    bool Text1_LostFocus();
    bool Text7_LostFocus();
    bool Text3_LostFocus();
    bool Text5_LostFocus();
    bool Text8_LostFocus();
    bool Text9_LostFocus();
    bool checkCoordinate(Field* field, double& coordinate, const char* title);
    bool refuse(Field* field, const char* message, const char* title, const std::string& refill);

    // Presets following typed values.
    void Text1_Change();
    void Text8_Change();
    static OptionButton* presetOf(const std::array<Preset, 4>& presets, double value);
    static void followPreset(const std::array<Preset, 4>& presets, double value);
    void Text1_GotFocus();

    void chooseZoomPreset(const Preset& preset);
    void chooseIterationPreset(const Preset& preset);
    void updateNewMagnification();
    void chooseMethod(int method);
    void chooseContourDigit(int digit);

    // The magnification on screen as Text2 shows it; a text that reads zero
    // or less (an opened file may carry "0") counts as 1.
    double shownMagnification() const;
    // The zoom factor that leads to `newMagnification`, or nothing when that
    // is no finite positive number.
    std::optional<double> zoomFor(double newMagnification) const;

    void showPointRows(const PointRowTexts& texts);
    void setZoomControlsEnabled(bool enabled);
    void takeSettings();

    AppState& s_;
    Platform& platform_;
    Surface& picture1_;
    std::function<void()> drawingRequest_;
    Field* checking_ = nullptr;  // the field whose check is running

    QGroupBox* Frame1;
    QFrame *Frame5, *Frame3, *Frame2;
    Field *Text1, *Text2, *Text3, *Text4, *Text5, *Text6, *Text7, *Text8, *Text9;
    OptionButton *Option1, *Option2, *Option3, *Option4, *Option5, *Option6, *Option7, *Option8;
    OptionButton *Option9, *Option10, *Option11, *Option13, *Option14, *Option15, *Option16;
    QCheckBox *Check1, *Check2, *Check3, *Check4, *Check5;
    QPushButton *Command1, *Command2;
    QLabel *Label1, *Label2, *Label3, *Label5, *Label6, *Label7, *Label8, *Label10, *Label11, *Label12, *Label13;
    ClickableLabel *Label4, *Label9;
    std::array<ClickableLabel*, 6> contourDigits_;  // Label14 .. Label19

    std::array<Preset, 4> zoomPresets_;
    std::array<Preset, 4> iterationPresets_;
    std::array<OptionButton*, 5> methodButtons_;  // drawMethod 0 .. 4
};

}  // namespace qel
