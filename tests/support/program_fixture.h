// A program on the test double, with the headless dialog and window, and
// the 1600 x 1200 surfaces, for the tests of whole drawings.
#pragma once

#include <gtest/gtest.h>

#include "app/drawing.h"
#include "headless_program.h"
#include "support/test_platform.h"

namespace qel {

class ProgramTest : public ::testing::Test {
protected:
    TestPlatform platform;
    HeadlessDialog dialog;
    NoWindow window;
    Program p{platform, dialog, window};
    AppState& s = p.s;

    void SetUp() override {
        setStartValues(s);
        p.picture1.resize(1600, 1200);
        p.picture2.resize(1600, 1200);
    }
};

}  // namespace qel
