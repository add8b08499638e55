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
    bool takeDeepNewMagnification();
    bool Text3_LostFocus();
    bool Text5_LostFocus();
    bool Text8_LostFocus();
    bool Text9_LostFocus();
    bool checkCoordinate(Field* field, double& coordinate, const char* title);
    bool keepDeepCentre(Field* field, std::string& deepText);
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
    std::optional<double> zoomFor(const std::string& newMagnification) const;

    void showPointRows(const PointRowTexts& texts);
    void setZoomControlsEnabled(bool enabled);
    void takeSettings();

    AppState& s_;
    Platform& platform_;
    Surface& picture1_;
    std::function<void()> drawingRequest_;
    Field* checking_ = nullptr;  // the field whose check is running

    // The drawing method ("画面分割").
    QGroupBox* Frame1;    // the frame of the five method buttons
    OptionButton* Option16;  // "４分割画面": method 0, the split screen
    OptionButton* Option3;   // "左上全画面": method 1
    OptionButton* Option4;   // "右上全画面": method 2
    OptionButton* Option5;   // "左下全画面": method 3
    OptionButton* Option6;   // "右下全画面": method 4

    // The zoom factor and the magnifications.
    QLabel* Label1;          // "現画面を"
    QFrame* Frame5;          // the frame of the zoom field and its presets
    Field* Text1;            // the zoom factor
    QLabel* Label10;         // "倍に拡大"
    OptionButton* Option13;  // zoom preset 1
    OptionButton* Option14;  // zoom preset 4
    OptionButton* Option15;  // zoom preset 8
    OptionButton* Option1;   // zoom preset 16
    QCheckBox* Check5;       // "次以降もこの倍率で拡大": the zoom stays after a drawing
    ClickableLabel* Label9;  // the new magnification's caption
    Field* Text7;            // the new magnification: the shown one times the zoom
    QLabel* Label2;          // "初期画面からの現倍率"
    Field* Text2;            // the magnification on screen (read only)

    // The point to zoom into (or the Julia constant) and the point on screen.
    ClickableLabel* Label4;  // the caption of the point to draw
    Field* Text3;            // its x
    QLabel* Label3;          // "，"
    Field* Text5;            // its y
    QLabel* Label6;          // "）"
    QLabel* Label5;          // the caption of the point on screen
    Field* Text4;            // its x (read only)
    QLabel* Label8;          // "，"
    Field* Text6;            // its y (read only)
    QLabel* Label7;          // "）"

    // The set.
    QFrame* Frame3;          // the frame of the two set buttons
    OptionButton* Option9;   // "Mandelbrot集合"
    OptionButton* Option10;  // "Julia集合"

    // The iteration limit.
    QLabel* Label11;         // its caption
    QFrame* Frame2;          // the frame of the limit field and its presets
    Field* Text8;            // the iteration limit
    QLabel* Label12;         // "回"
    OptionButton* Option2;   // limit preset 100
    OptionButton* Option7;   // limit preset 1000
    OptionButton* Option8;   // limit preset 10000
    OptionButton* Option11;  // limit preset 100000

    // The contour interval t.
    Field* Text9;                                   // t
    QLabel* Label13;                                // "=t  等高線間隔+明暗 ("
    std::array<ClickableLabel*, 6> contourDigits_;  // Label14 .. Label19: t = 0 .. 5 at a click

    // The display switches.
    QCheckBox* Check2;  // "画面消去せずに描画": the old picture stays under the next
    QCheckBox* Check1;  // "予想必要時間の表示": the minutes still to go in the caption
    QCheckBox* Check4;  // "10ラインごとの粗表示": the coarse preview
    QCheckBox* Check3;  // "Title説明の単純化": shorter window titles

    // The buttons.
    QPushButton* Command1;  // "描画開始": draw now
    QPushButton* Command2;  // "閉じる": leave the point to a click on the picture

    std::array<Preset, 4> zoomPresets_;
    std::array<Preset, 4> iterationPresets_;
    std::array<OptionButton*, 5> methodButtons_;  // drawMethod 0 .. 4
};

}  // namespace qel
