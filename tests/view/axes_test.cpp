#include "view/axes.h"

#include "view/view_fixture.h"

namespace qel {
namespace {

using AxesTest = ViewTest;

constexpr Colour kWhite = 0xFFFFFF;

TEST_F(AxesTest, DrawingTheAxesTwiceGivesBackThePicture) {
    drawStartView();
    Surface before = p.picture1;
    mnuza_Click(p);
    EXPECT_FALSE(p.picture1 == before);
    mnuza_Click(p);
    EXPECT_TRUE(p.picture1 == before);
    EXPECT_EQ(p.picture1.drawMode(), DrawMode::CopyPen);
}

// Start view, split screen, on a black surface: every inverted pixel is white.
TEST_F(AxesTest, StartViewTicksSitAtTheWholeNumbersInAllFourPictures) {
    mnuza_Click(p);
    const Surface& pic = p.picture1;
    for (double dx : {0.0, 400.0}) {
        for (double dy : {0.0, -300.0}) {
            auto at = [&](double x, double y) { return pic.point(x + dx, y + dy); };
            // Real axis along y = 0 with ticks at -2, -1 and 1.
            EXPECT_EQ(at(-150, 0), kWhite);
            for (double x : {-200.0, -100.0, 100.0}) {
                EXPECT_EQ(at(x, 5), kWhite) << x;
                EXPECT_EQ(at(x, -5), kWhite) << x;
                EXPECT_EQ(at(x, 0), 0) << "tick crossing the axis, inverted twice";
            }
            EXPECT_EQ(at(-150, 5), 0);
            EXPECT_EQ(at(-50, 5), 0);
            // Imaginary axis along x = 0 with ticks at -1 and 1.
            EXPECT_EQ(at(0, 50), kWhite);
            for (double y : {-100.0, 100.0}) {
                EXPECT_EQ(at(5, y), kWhite) << y;
                EXPECT_EQ(at(-5, y), kWhite) << y;
                EXPECT_EQ(at(0, y), 0) << y;
            }
            EXPECT_EQ(at(5, 50), 0);
            EXPECT_EQ(at(0, 0), 0) << "the origin is passed by both axes";
        }
    }
}

TEST_F(AxesTest, AnAxisOutsideTheViewIsLeftOutWithItsTicks) {
    p.s.curCenterX = 3.0;  // the view spans 1 to 5 on the real axis
    mnuza_Click(p);
    // No imaginary axis: the column where 0 would be is beyond the picture.
    EXPECT_EQ(p.picture1.point(-150, 50), 0);
    // Real axis with ticks at 2, 3 and 4 (x = -100, 0, 100); 1 lies on the
    // left edge and is marked, 5 is just outside and is not.
    EXPECT_EQ(p.picture1.point(-150, 0), kWhite);
    for (double x : {-200.0, -100.0, 0.0, 100.0}) EXPECT_EQ(p.picture1.point(x, 5), kWhite) << x;
    EXPECT_EQ(p.picture1.point(-50, 5), 0);
}

TEST_F(AxesTest, ARadiusLeftByARefusedZoomOutDrawsAxesWithoutTicks) {
    p.s.radius = 1e12;
    mnuza_Click(p);
    EXPECT_EQ(p.picture1.point(-150, 0), kWhite);
    EXPECT_EQ(p.picture1.point(-150, 5), 0);
}

}  // namespace
}  // namespace qel
