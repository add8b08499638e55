// Whole drawings through the render loop, once with the reference engine and
// once with the fast engine: every pixel of the 1600 x 1200 surface must be
// the same, whatever the set, method, t, limit, magnification or place.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "app/number_text.h"
#include "render/engine_rows.h"
#include "support/program_fixture.h"

namespace qel {
namespace {

// A Julia set whose constant is not started yet takes the centre as its
// constant and is drawn around 0.
struct ChosenView {
    View view;
    double mag = 1;
    bool coarse = false;
};

std::string describe(const ChosenView& c) {
    const View& v = c.view;
    return std::string(v.isJulia ? "J" : "M") + " c=(" + std::to_string(v.centerX) + "," + std::to_string(v.centerY) +
           ") k=(" + std::to_string(v.juliaRe) + "," + std::to_string(v.juliaIm) + ") mag=" + std::to_string(c.mag) +
           " m=" + std::to_string(v.maxIter) + " t=" + std::to_string(v.contourT) + " method=" +
           std::to_string(v.drawMethod) + (c.coarse ? " coarse" : "") + (v.isJulia && !v.juliaStarted ? " new" : "");
}

class EngineDrawing : public ProgramTest {
protected:
    // Shared by all drawings of a test, as the program keeps one.
    static FastRowEngine& fast() {
        static FastRowEngine engine;
        return engine;
    }

    void drawWith(RowEngine* engine, const ChosenView& v) {
        setStartValues(s);
        s.firstDrawing = true;
        View view = v.view;
        view.magText = strDouble(v.mag);
        putView(s, view);
        s.lineStep = v.coarse ? s.coarseLineStep : -1;
        p.engine = engine;
        Essence(p);
    }

    // The whole surface and the end caption of both engines.
    void expectSamePicture(const ChosenView& v) {
        drawWith(nullptr, v);
        const Surface reference = p.picture1;
        const std::string referenceCaption = platform.caption;
        drawWith(&fast(), v);
        EXPECT_EQ(platform.caption, referenceCaption) << describe(v);
        EXPECT_TRUE(p.picture1 == reference) << describe(v);
    }
};

// Both sets, every method and the coarse preview, t = 0 .. 5 and fractional
// t, limits around the ring size, magnifications from a tenth to a trillion,
// inside the cardioid, far outside and on the boundary, and a new Julia set
// whose constant is the centre.
TEST_F(EngineDrawing, ChosenViewsOfEveryKind) {
    std::vector<ChosenView> views;
    for (Int16 method = 0; method <= 4; ++method) views.push_back({{.drawMethod = method}});
    views.push_back({{}, 1, true});
    views.push_back({{.drawMethod = 3}, 1, true});
    for (float t : {0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 0.37f, 2.5f})
        views.push_back({{.centerX = -0.6, .centerY = 0.2, .maxIter = 200, .contourT = t}, 3});
    views.push_back({{.centerX = -0.5, .maxIter = 100, .contourT = 0.0f, .drawMethod = 2}, 0.1});
    for (double m : {0.0, 1.0, 13.0, 14.0, 15.0, 16.0, 500.0, 23.5})
        views.push_back({{.centerX = -0.5, .maxIter = m, .drawMethod = Int16(m == 500.0 ? 0 : 3)}});
    const ChosenView more[] = {
        {{.centerX = 2.0, .centerY = 1.0, .maxIter = 300, .drawMethod = 1}, 0.1},
        {{.centerX = -0.7435669, .centerY = 0.1314023, .maxIter = 3000}, 20000},
        {{.centerX = -1.2500015, .centerY = 0.0000012, .maxIter = 1000}, 1e6},
        {{.centerX = -0.743643887037151, .centerY = 0.131825904205330, .maxIter = 2000}, 1e9},
        {{.centerX = -1.76877851023, .centerY = 0.00173889974, .maxIter = 1500}, 1e12},
        {{.centerX = -0.2, .maxIter = 3000}, 10},
        {{.centerX = -1.0, .centerY = 0.0, .maxIter = 5001, .drawMethod = 4}, 4},
        {{.centerX = 7.0, .centerY = -6.0, .maxIter = 500, .drawMethod = 2}, 0.1},
        {{.centerX = 0.2501, .centerY = 0.0, .maxIter = 4000}, 200},
        {{.juliaRe = -0.8, .juliaIm = 0.156, .isJulia = kYes, .juliaStarted = kYes, .maxIter = 1000}},
        {{.juliaRe = -0.123, .juliaIm = 0.745, .isJulia = kYes, .juliaStarted = kYes, .maxIter = 500, .drawMethod = 1}},
        {{.centerX = 0.3, .centerY = 0.1, .juliaRe = -1.0, .isJulia = kYes, .juliaStarted = kYes, .maxIter = 3000}, 20},
        {{.centerX = 0.285, .centerY = 0.01, .isJulia = kYes, .maxIter = 800}},  // a new Julia set
    };
    views.insert(views.end(), std::begin(more), std::end(more));
    for (const ChosenView& v : views) expectSamePicture(v);
}

}  // namespace
}  // namespace qel
