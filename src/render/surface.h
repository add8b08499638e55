// The picture surface: a pixel buffer of colour numbers with a user
// coordinate system, the operations the program draws with, and its position
// inside the window. Plain C++, so the renderer runs without a display.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qel {

using Colour = std::int32_t;  // R + 256*G + 65536*B

// The platform's RGB: components above 255 are taken as 255, below 0 as 0.
// Inline: every point of a drawing builds four colours with it.
inline Colour rgb(int r, int g, int b) {
    auto c = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
    return c(r) + 256 * c(g) + 65536 * c(b);
}
inline int redOf(Colour c) { return c & 0xFF; }
inline int greenOf(Colour c) { return (c >> 8) & 0xFF; }
inline int blueOf(Colour c) { return (c >> 16) & 0xFF; }
// What a pixel shows for a colour number: numbers outside 0..0xFFFFFF (a
// negative one in particular) show black.
inline std::uint32_t shownColour(Colour c) { return (c < 0 || c > 0xFFFFFF) ? 0u : static_cast<std::uint32_t>(c); }

enum class DrawMode { CopyPen = 13, Invert = 6 };

class Surface {
public:
    Surface() = default;
    Surface(int width, int height) { resize(width, height); }

    // New size; the content is cleared to the background colour (black).
    void resize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }

    // User coordinates: (x1, y1) is the top-left corner, (x2, y2) the
    // bottom-right one (y2 < y1 makes y grow upwards).
    void setScale(double x1, double y1, double x2, double y2);
    // The scale as set: what columnOf and rowOf depend on besides the size.
    struct Scale {
        double x1, y1, unitX, unitY;
        bool operator==(const Scale&) const = default;
    };
    Scale scale() const { return {sx1_, sy1_, unitX_, unitY_}; }
    // Pixel column and row of a user point, rounded to the nearest pixel.
    int columnOf(double x) const;
    int rowOf(double y) const;

    // Position of the surface's top-left corner in the window, in pixels.
    void move(int left, int top) {
        left_ = left;
        top_ = top;
    }
    int left() const { return left_; }
    int top() const { return top_; }

    void cls();
    // Exchanges the pixels (only) with a surface of the same size; false,
    // with nothing changed, for another size.
    bool swapPixels(Surface& other);
    // Sets one pixel at a user point; colour numbers outside 0..0xFFFFFF
    // (a negative number in particular) show black. Outside: nothing.
    void pset(double x, double y, Colour c);
    // The colour at a user point, -1 outside the surface.
    Colour point(double x, double y) const;

    void setDrawMode(DrawMode m) { mode_ = m; }
    DrawMode drawMode() const { return mode_; }
    // A line from (x1, y1) to (x2, y2) in user coordinates, its last point
    // not set; in invert mode each pixel passed takes the inverse colour.
    void line(double x1, double y1, double x2, double y2, Colour c = 0);

    // Pixel-level access (column u, row v from the top-left corner).
    Colour pixel(int u, int v) const { return static_cast<Colour>(px_[index(u, v)]); }
    void setPixel(int u, int v, Colour c) { px_[index(u, v)] = sanitize(c); }
    bool inside(int u, int v) const { return u >= 0 && v >= 0 && u < width_ && v < height_; }
    const std::uint32_t* row(int v) const { return px_.data() + static_cast<std::size_t>(v) * width_; }
    std::uint32_t* row(int v) { return px_.data() + static_cast<std::size_t>(v) * width_; }

    // Copies a w x h rectangle of `src` at pixel (su, sv) to pixel (du, dv)
    // here; parts outside either surface are clipped.
    void copyFrom(const Surface& src, int su, int sv, int w, int h, int du, int dv);

    bool operator==(const Surface& o) const { return width_ == o.width_ && height_ == o.height_ && px_ == o.px_; }

private:
    static std::uint32_t sanitize(Colour c) { return shownColour(c); }
    std::size_t index(int u, int v) const { return static_cast<std::size_t>(v) * width_ + u; }
    void plot(int u, int v, Colour c);

    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> px_;
    double sx1_ = 0, sy1_ = 0, unitX_ = 1, unitY_ = 1;
    int left_ = 0, top_ = 0;
    DrawMode mode_ = DrawMode::CopyPen;
};

}  // namespace qel
