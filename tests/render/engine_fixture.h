// A program on the test double, with the stand-in dialog and window, and
// the 1600 x 1200 surfaces, for the tests of the fast engine's drawings.
#pragma once

#include <gtest/gtest.h>

#include "files/file_stand_ins.h"
#include "support/test_platform.h"
#include "render/engine_rows.h"
#include "app/drawing.h"

namespace qel {

class EngineProgram : public ::testing::Test {
protected:
    TestPlatform platform;
    testing::FieldsDialog dialog;
    testing::QuietWindow window;
    Program p{platform, dialog, window};
    AppState& s = p.s;

    void SetUp() override {
        setStartValues(s);
        p.picture1.resize(1600, 1200);
        p.picture2.resize(1600, 1200);
    }
};

}  // namespace qel
