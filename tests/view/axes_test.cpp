#include "view/axes.h"

#include "view/view_fixture.h"

namespace qel {
namespace {

using AxesTest = ViewTest;
using Points = std::vector<std::pair<double, double>>;

// On a black split screen every inverted pixel is white, and the same places
// are marked in all four pictures. A tick crossing its axis is inverted twice.
TEST_F(AxesTest, AxesAndTicksAtTheWholeNumbersInAllFourPicturesAndASecondDrawingUndoesThem) {
    const struct {
        const char* view;
        double centerX, radius;
        Points white, black;
    } cases[] = {
        {"start view", 0.0, 2.0,
         // real axis with ticks at -2, -1 and 1, imaginary axis with ticks at -1 and 1
         {{-150, 0}, {-200, 5}, {100, -5}, {0, 50}, {5, -100}, {-5, 100}},
         {{-100, 0}, {-150, 5}, {5, 50}, {0, 100}, {0, 0}}},
        // 1 to 5 on the real axis: no imaginary axis; 1 on the left edge is
        // marked, 5 just outside is not
        {"imaginary axis outside", 3.0, 2.0, {{-150, 0}, {-200, 5}, {100, 5}}, {{-150, 50}, {-50, 5}}},
        // a radius left by a refused zoom-out: the axes without ticks
        {"huge radius", 0.0, 1e12, {{-150, 0}}, {{-150, 5}}},
    };
    for (const auto& c : cases) {
        p.s.cur.centerX = c.centerX;
        p.s.radius = c.radius;
        const Surface black = p.picture1;
        mnuza_Click(p);
        for (double dx : {0.0, 400.0})
            for (double dy : {0.0, -300.0}) {
                SCOPED_TRACE(::testing::Message() << c.view << ", picture moved by " << dx << "," << dy);
                auto at = [&](double x, double y) { return p.picture1.point(x + dx, y + dy); };
                for (auto [x, y] : c.white) EXPECT_EQ(at(x, y), Colour{0xFFFFFF}) << x << "," << y;
                for (auto [x, y] : c.black) EXPECT_EQ(at(x, y), Colour{0}) << x << "," << y;
            }
        mnuza_Click(p);
        EXPECT_TRUE(p.picture1 == black) << c.view;
        EXPECT_EQ(p.picture1.drawMode(), DrawMode::CopyPen) << c.view;
    }
}

}  // namespace
}  // namespace qel
