#include <gtest/gtest.h>

#include "render/surface.h"

namespace qel {
namespace {

// A surface whose every pixel has its own colour.
Surface numbered(int w, int h, Colour base) {
    Surface s(w, h);
    for (int v = 0; v < h; ++v)
        for (int u = 0; u < w; ++u) s.setPixel(u, v, base + static_cast<Colour>(v * w + u));
    return s;
}

// A copy takes exactly the pixels whose source and destination both lie on
// their surfaces, wherever the rectangle sticks out: checked pixel by pixel
// against the rule, for rectangles past every edge of either surface.
TEST(Surface, CopyTakesThePixelsInsideBothSurfacesOnly) {
    const Surface src = numbered(13, 9, 0x100000);
    struct Copy {
        int su, sv, w, h, du, dv;
    };
    const Copy copies[] = {
        {0, 0, 13, 9, 0, 0},     {0, 0, 13, 9, 3, 2},     {-4, -3, 10, 8, 0, 0},  {5, 4, 20, 20, 1, 1},
        {0, 0, 13, 9, -6, -5},   {2, 1, 4, 3, 15, 0},     {0, 0, 0, 9, 0, 0},     {-100, 0, 5, 5, 0, 0},
        {3, 3, 13, 9, -2, 7},    {0, 0, 2000000, 9, 0, 0},
    };
    for (const Copy& c : copies) {
        Surface dst = numbered(11, 7, 0x200000);
        const Surface before = dst;
        dst.copyFrom(src, c.su, c.sv, c.w, c.h, c.du, c.dv);
        for (int v = 0; v < dst.height(); ++v) {
            for (int u = 0; u < dst.width(); ++u) {
                const int x = u - c.du, y = v - c.dv;  // place in the rectangle
                const int su = c.su + x, sv = c.sv + y;
                const bool copied = x >= 0 && x < c.w && y >= 0 && y < c.h && su >= 0 && su < src.width() &&
                                    sv >= 0 && sv < src.height();
                ASSERT_EQ(dst.pixel(u, v), copied ? src.pixel(su, sv) : before.pixel(u, v))
                    << "copy " << c.su << "," << c.sv << " " << c.w << "x" << c.h << " to " << c.du << "," << c.dv
                    << " pixel " << u << "," << v;
            }
        }
    }
}

TEST(Surface, CopyWithinItselfMovesTheOldPixels) {
    Surface s = numbered(10, 6, 0x300000);
    const Surface before = s;
    s.copyFrom(s, 0, 0, 10, 6, 2, 1);  // overlapping, down and to the right
    for (int v = 1; v < 6; ++v)
        for (int u = 2; u < 10; ++u) ASSERT_EQ(s.pixel(u, v), before.pixel(u - 2, v - 1)) << u << "," << v;
}

TEST(Surface, PixelsAreSwappedWithASurfaceOfTheSameSizeOnly) {
    Surface a = numbered(6, 4, 0x100000), b = numbered(6, 4, 0x200000), c = numbered(4, 6, 0x300000);
    const Surface a0 = a, b0 = b, c0 = c;
    EXPECT_TRUE(a.swapPixels(b));
    EXPECT_EQ(a, b0);
    EXPECT_EQ(b, a0);
    EXPECT_FALSE(a.swapPixels(c));
    EXPECT_EQ(a, b0);
    EXPECT_EQ(c, c0);
}

}  // namespace
}  // namespace qel
