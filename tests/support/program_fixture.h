// A program as start-up leaves it before its first drawing, on the test
// double, with `Dialog` as its settings dialog and the headless window.
#pragma once

#include <gtest/gtest.h>

#include "app/drawing.h"
#include "app/first_drawing.h"
#include "headless_program.h"
#include "support/test_platform.h"

namespace qel {

template <class Dialog = HeadlessDialog>
class ProgramOn : public ::testing::Test {
protected:
    TestPlatform platform;
    Dialog dialog;
    NoWindow window;
    Program p{platform, dialog, window};
    AppState& s = p.s;

    void SetUp() override {
        setStartValues(s);
        setUpPictures(p);
    }
};

using ProgramTest = ProgramOn<>;

}  // namespace qel
