// A stand-in for the settings dialog, and a program set
// up as after start-up, for the tests of the picture logic.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "app/first_drawing.h"
#include "app/number_text.h"
#include "app/program.h"
#include "files/file_stand_ins.h"
#include "support/test_platform.h"
#include "render/colouring.h"
#include "app/drawing.h"
#include "view/picture_events.h"

namespace qel {

// The settings dialog as the picture logic sees it. Its method buttons
// behave like the dialog's: selecting a button that is not yet selected
// stores the method and, on a full-size picture drawn here, moves the
// surface so that the method's quadrant is in view.
class FakeSettings : public testing::FieldsDialog {
public:
    FakeSettings() { mag = " 1"; }
    void bind(AppState& s, Surface& picture1) {
        s_ = &s;
        picture1_ = &picture1;
    }

    bool simpleTitles() const override { return simple; }
    void selectMethodOption(int method) override {
        if (method == selectedMethod) return;
        selectedMethod = method;
        s_->live.drawMethod = static_cast<Int16>(method);
        if (method >= 1 && s_->shownQuad >= 1 && s_->live.singleImage == 0) {
            bool right = method == 2 || method == 4, lower = method == 3 || method == 4;
            picture1_->move(right ? -2 * s_->halfW : 0, lower ? -2 * s_->halfH : 0);
            s_->shownMethod = static_cast<Int16>(method);
        }
    }

    bool simple = false;
    int selectedMethod = 0;

private:
    AppState* s_ = nullptr;
    Surface* picture1_ = nullptr;
};

// A left click at surface position (x, y): move, press, click.
inline void leftClickAt(Program& p, float x, float y) {
    Picture1_MouseMove(p, x, y);
    Picture1_MouseDown(p, kLeftButton);
    Picture1_Click(p);
}

inline void rightClick(Program& p) {
    Picture1_MouseDown(p, kRightButton);
    Picture1_Click(p);
}

// A program right after start-up, its surface laid out for the start view
// (split screen, halfW 200, halfH 150, pixelSize 0.01); nothing drawn yet.
class ViewTest : public ::testing::Test {
protected:
    ViewTest() : p(platform, dialog, window) { dialog.bind(p.s, p.picture1); }

    void SetUp() override {
        setStartValues(p.s);
        setUpPictures(p);
        calibratePeriodColours(p.s);
        layoutPicture(p.s, p.picture1);
        p.s.pixelSize = p.s.radius / p.s.halfW;
    }

    // The first drawing of the run, as the main window's set-up makes it,
    // with fewer iterations to keep the tests quick.
    void drawStartView(double maxIter = 60) {
        p.s.live.maxIter = p.s.cur.maxIter = p.s.prev.maxIter = maxIter;
        dialog.selectedMethod = p.s.live.drawMethod;
        captionFirstDrawing(p);
        Essence(p);
    }

    TestPlatform platform;
    NoWindow window;
    FakeSettings dialog;  // bound to the program's state and surface
    Program p;
};

}  // namespace qel
