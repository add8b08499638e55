#include <gtest/gtest.h>

#include "render/layout.h"
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
    struct Copy { int su, sv, w, h, du, dv; };
    const Copy copies[] = {
        {0, 0, 13, 9, 0, 0},     {0, 0, 13, 9, 3, 2},     {-4, -3, 10, 8, 0, 0},  {5, 4, 20, 20, 1, 1},
        {0, 0, 13, 9, -6, -5},   {2, 1, 4, 3, 15, 0},     {0, 0, 0, 9, 0, 0},     {-100, 0, 5, 5, 0, 0},
        {3, 3, 13, 9, -2, 7},    {0, 0, 2000000, 9, 0, 0},
    };
    for (const Copy& c : copies) {
        Surface dst = numbered(11, 7, 0x200000);
        const Surface before = dst;
        dst.copyFrom(src, c.su, c.sv, c.w, c.h, c.du, c.dv);
        for (int v = 0; v < dst.height(); ++v)
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

TEST(Surface, CopyWithinItselfMovesTheOldPixels) {
    Surface s = numbered(10, 6, 0x300000);
    const Surface before = s;
    s.copyFrom(s, 0, 0, 10, 6, 2, 1);  // overlapping, down and to the right
    for (int v = 1; v < 6; ++v)
        for (int u = 2; u < 10; ++u) ASSERT_EQ(s.pixel(u, v), before.pixel(u - 2, v - 1)) << u << "," << v;
}

// Clearing writes only what was drawn on since the last clear, so every way
// of drawing must leave its mark, and a picture swapped in brings its own.
TEST(Surface, ClearingBlanksWhatEveryWayOfDrawingWrote) {
    const Surface blank(40, 30);
    Surface s(40, 30);
    s.setPixel(39, 0, 0x0000FF);
    s.pset(-0.4, 29.4, 0x00FF00);
    s.setDrawMode(DrawMode::Invert);
    s.line(5, 3, 34, 20);
    s.setDrawMode(DrawMode::CopyPen);
    s.copyFrom(numbered(13, 9, 0x100000), 0, 0, 13, 9, 30, 25);
    std::uint32_t* row = s.rowToWrite(12, 8, 20);
    row[8] = row[19] = Surface::stored(0x123456);
    Surface drawn = s;
    s.cls();
    EXPECT_EQ(s, blank);

    Surface other(40, 30);
    ASSERT_TRUE(other.swapPixels(drawn));
    other.cls();
    EXPECT_EQ(other, blank);
}

std::vector<int> changedRows(Surface& s) {
    std::vector<int> rows;
    s.takeChangedRows([&rows](int v) { rows.push_back(v); });
    return rows;
}

// A window showing the surface learns which rows to show again: each once,
// top first, and then no more until something changes.
TEST(Surface, TellsWhichRowsChangedSinceItWasLastAsked) {
    Surface s(10, 8);
    EXPECT_EQ(changedRows(s), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(changedRows(s).empty());

    s.copyFrom(numbered(3, 2, 0x100000), 0, 0, 3, 2, 4, 6);
    s.line(0, 5, 10, 5);
    s.setPixel(3, 2, 0x00FF00);
    s.pset(3, 2, 0x00FF00);
    EXPECT_EQ(changedRows(s), (std::vector<int>{2, 5, 6, 7}));

    s.cls();  // what was drawn on turns black
    EXPECT_EQ(changedRows(s), (std::vector<int>{2, 5, 6, 7}));
    s.cls();
    EXPECT_TRUE(changedRows(s).empty());

    Surface other(10, 8);
    other.setPixel(0, 4, 0x0000FF);
    changedRows(other);
    ASSERT_TRUE(s.swapPixels(other));
    EXPECT_EQ(changedRows(s), (std::vector<int>{4}));
    EXPECT_EQ(changedRows(other), (std::vector<int>{4}));
}

// The four pictures of a layout scaled about a point for the wheel: in
// every picture, zoomed in, the pixel 2d from the point shows what was d
// from it; zoomed out, d from it what was 2d from it, and black where that
// lies outside the picture; what lies beside the pictures stays.
TEST(Surface, PicturesScaledAboutAPointKeepThatPointsPixelAndStretchAroundIt) {
    constexpr int halfW = 20, halfH = 15;
    const Surface old = numbered(8 * halfW, 8 * halfH, 0x10000);
    const auto pixelAt = [&](const Surface& s, int picture, int x, int y) {
        const int left = picture % 2 * 2 * halfW, top = picture / 2 * 2 * halfH;
        return s.pixel(left + x + halfW, top + halfH - y);
    };
    const int px = 7, py = -4;
    Surface in = old;
    zoomPictures(in, old, halfW, halfH, px, py, 2.0);
    Surface out = old;
    zoomPictures(out, old, halfW, halfH, px, py, 0.5);
    int black = 0;
    for (int picture = 0; picture < 4; ++picture)
        for (int y = 1 - halfH; y <= halfH; ++y)
            for (int x = -halfW; x < halfW; ++x) {
                const int dx = x - px, dy = y - py;
                // Rounded down: an odd distance shows the pixel below half of it.
                const int hx = px + (dx >= 0 ? dx / 2 : (dx - 1) / 2), hy = py + (dy >= 0 ? dy / 2 : (dy - 1) / 2);
                ASSERT_EQ(pixelAt(in, picture, x, y), pixelAt(old, picture, hx, hy)) << picture << " " << x << " " << y;
                const int fx = px + 2 * dx, fy = py + 2 * dy;
                const bool inside = fx >= -halfW && fx < halfW && fy > -halfH && fy <= halfH;
                ASSERT_EQ(pixelAt(out, picture, x, y), inside ? pixelAt(old, picture, fx, fy) : 0) << x << " " << y;
                black += !inside;
            }
    EXPECT_GT(black, 4 * halfW * halfH);
    for (int v = 0; v < old.height(); ++v)
        for (int u = 4 * halfW; u < old.width(); ++u) ASSERT_EQ(in.pixel(u, v), old.pixel(u, v));
}

}  // namespace
}  // namespace qel
