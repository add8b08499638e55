// A program set up as after start-up, with the dialog's fields as plain
// texts and clicks on the picture, for the tests of the picture logic.
#pragma once

#include <string>

#include "app/number_text.h"
#include "files/file_stand_ins.h"
#include "support/program_fixture.h"
#include "render/colouring.h"
#include "view/picture_events.h"

namespace qel {

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
class ViewTest : public ProgramOn<testing::FieldsDialog> {
protected:
    void SetUp() override {
        ProgramOn::SetUp();
        dialog.mag = " 1";
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
};

}  // namespace qel
