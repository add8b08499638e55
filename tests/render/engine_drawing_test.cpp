// Whole drawings through the render loop, once with the reference engine and
// once with the fast engine: every pixel of the 1600 x 1200 surface must be
// the same, whatever the set, method, t, limit, magnification or place.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/number_text.h"
#include "render/engine_rows.h"
#include "support/program_fixture.h"

namespace qel {
namespace {

struct ChosenView {
    bool julia = false;
    double cx = 0, cy = 0, jre = 0, jim = 0;
    double mag = 1;
    double maxIter = 500;
    float t = 1.0f;
    int method = 0;
    bool coarse = false;
    bool newJulia = false;  // the centre becomes the constant, drawn around 0
};

std::string describe(const ChosenView& v) {
    return std::string(v.julia ? "J" : "M") + " c=(" + std::to_string(v.cx) + "," + std::to_string(v.cy) +
           ") k=(" + std::to_string(v.jre) + "," + std::to_string(v.jim) + ") mag=" + std::to_string(v.mag) +
           " m=" + std::to_string(v.maxIter) + " t=" + std::to_string(v.t) + " method=" + std::to_string(v.method) +
           (v.coarse ? " coarse" : "") + (v.newJulia ? " new" : "");
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
        putView(s, View{.centerX = v.cx,
                        .centerY = v.cy,
                        .juliaRe = v.jre,
                        .juliaIm = v.jim,
                        .isJulia = v.julia ? kYes : kNo,
                        .juliaStarted = v.julia && !v.newJulia ? kYes : kNo,
                        .maxIter = v.maxIter,
                        .contourT = v.t,
                        .drawMethod = static_cast<Int16>(v.method),
                        .magText = strDouble(v.mag)});
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
        ASSERT_EQ(p.picture1.width(), reference.width());
        int differing = 0, firstU = -1, firstV = -1;
        for (int row = 0; row < reference.height(); ++row)
            for (int u = 0; u < reference.width(); ++u)
                if (p.picture1.pixel(u, row) != reference.pixel(u, row) && differing++ == 0) {
                    firstU = u;
                    firstV = row;
                }
        EXPECT_EQ(differing, 0) << describe(v) << " first at (" << firstU << ", " << firstV << ")";
    }
};

// Both sets, every method and the coarse preview, t = 0 .. 5 and fractional
// t, limits around the ring size, magnifications from a tenth to a trillion,
// inside the cardioid, far outside and on the boundary, and a new Julia set
// whose constant is the centre.
TEST_F(EngineDrawing, ChosenViewsOfEveryKind) {
    std::vector<ChosenView> views;
    for (int method = 0; method <= 4; ++method) views.push_back(ChosenView{.method = method});
    views.push_back(ChosenView{.coarse = true});
    views.push_back(ChosenView{.method = 3, .coarse = true});
    for (float t : {0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 0.37f, 2.5f})
        views.push_back(ChosenView{.cx = -0.6, .cy = 0.2, .mag = 3, .maxIter = 200, .t = t});
    views.push_back(ChosenView{.cx = -0.5, .mag = 0.1, .maxIter = 100, .t = 0.0f, .method = 2});
    for (double m : {0.0, 1.0, 13.0, 14.0, 15.0, 16.0, 500.0, 23.5})
        views.push_back(ChosenView{.cx = -0.5, .maxIter = m, .method = m == 500.0 ? 0 : 3});
    const ChosenView more[] = {
        {.cx = 2.0, .cy = 1.0, .mag = 0.1, .maxIter = 300, .method = 1},
        {.cx = -0.7435669, .cy = 0.1314023, .mag = 20000, .maxIter = 3000},
        {.cx = -1.2500015, .cy = 0.0000012, .mag = 1e6, .maxIter = 1000},
        {.cx = -0.743643887037151, .cy = 0.131825904205330, .mag = 1e9, .maxIter = 2000},
        {.cx = -1.76877851023, .cy = 0.00173889974, .mag = 1e12, .maxIter = 1500},
        {.cx = -0.2, .mag = 10, .maxIter = 3000},
        {.cx = -1.0, .cy = 0.0, .mag = 4, .maxIter = 5001, .method = 4},
        {.cx = 7.0, .cy = -6.0, .mag = 0.1, .maxIter = 500, .method = 2},
        {.cx = 0.2501, .cy = 0.0, .mag = 200, .maxIter = 4000},
        {.julia = true, .jre = -0.8, .jim = 0.156, .maxIter = 1000},
        {.julia = true, .jre = -0.123, .jim = 0.745, .maxIter = 500, .method = 1},
        {.julia = true, .cx = 0.3, .cy = 0.1, .jre = -1.0, .jim = 0.0, .mag = 20, .maxIter = 3000},
        {.julia = true, .cx = 0.285, .cy = 0.01, .maxIter = 800, .newJulia = true},
    };
    views.insert(views.end(), std::begin(more), std::end(more));
    for (const ChosenView& v : views) expectSamePicture(v);
}

TEST_F(EngineDrawing, RandomViews) {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::seed_seq seed(name.begin(), name.end());
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 6; ++i) {
        ChosenView v;
        v.julia = i % 3 == 2;
        v.cx = -2.0 + 2.5 * unit(rng);
        v.cy = -1.2 + 2.4 * unit(rng);
        v.jre = -1.0 + 1.3 * unit(rng);
        v.jim = -0.8 + 1.6 * unit(rng);
        v.mag = std::pow(10.0, -1.0 + 8.0 * unit(rng));
        v.maxIter = std::floor(20 + 1500 * unit(rng));
        v.t = static_cast<float>(std::floor(6 * unit(rng)));
        v.method = static_cast<int>(5 * unit(rng));
        v.coarse = unit(rng) < 0.2;
        expectSamePicture(v);
    }
}

}  // namespace
}  // namespace qel
