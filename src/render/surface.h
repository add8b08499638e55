// The picture surface: a pixel buffer of colour numbers with a user
// coordinate system, the operations the program draws with, and its position
// inside the window. Plain C++, so the renderer runs without a display.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
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

    // Clears to black; only the parts ever drawn on since the last clear
    // are written.
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
    void setPixel(int u, int v, Colour c) {
        drawnOn(v, u, u + 1);
        px_[index(u, v)] = stored(c);
    }
    bool inside(int u, int v) const { return u >= 0 && v >= 0 && u < width_ && v < height_; }
    const std::uint32_t* row(int v) const { return px_.data() + static_cast<std::size_t>(v) * width_; }
    // Row v for writing stored() colours into its columns first..end-1.
    std::uint32_t* rowToWrite(int v, int first, int end) {
        drawnOn(v, first, end);
        return px_.data() + static_cast<std::size_t>(v) * width_;
    }
    // What a pixel holds for colour c: colour numbers outside 0..0xFFFFFF
    // (a negative number in particular) show black.
    static std::uint32_t stored(Colour c) { return shownColour(c); }

    // Hands each row changed since the last call to `changed(v)`, top row
    // first, and forgets them: what a window showing the surface has to
    // show again.
    template <class Changed>
    void takeChangedRows(Changed&& changed) {
        for (int v = firstChanged_; v < endChanged_; ++v) {
            if (!changed_[static_cast<std::size_t>(v)]) continue;
            changed_[static_cast<std::size_t>(v)] = 0;
            changed(v);
        }
        firstChanged_ = height_;
        endChanged_ = 0;
    }

    // Copies a w x h rectangle of `src` at pixel (su, sv) to pixel (du, dv)
    // here; parts outside either surface are clipped.
    void copyFrom(const Surface& src, int su, int sv, int w, int h, int du, int dv);

    bool operator==(const Surface& o) const { return width_ == o.width_ && height_ == o.height_ && px_ == o.px_; }

private:
    // Pixel memory that is black from the start without being written: a
    // large block comes straight from the system, whose pages are zero and
    // cost nothing until they are first written, so a surface costs only the
    // part a run draws on. Where the system has 2 MB pages, a large block
    // asks for them: the first writes into a 1600 x 1200 surface then take
    // four page faults instead of 1875.
    class Pixels {
    public:
        Pixels() = default;
        explicit Pixels(std::size_t count);
        Pixels(const Pixels& other);
        Pixels& operator=(const Pixels& other);
        Pixels(Pixels&&) noexcept = default;
        Pixels& operator=(Pixels&&) noexcept = default;

        std::uint32_t& operator[](std::size_t i) { return memory_[i]; }
        std::uint32_t operator[](std::size_t i) const { return memory_[i]; }
        std::uint32_t* data() { return memory_.get(); }
        const std::uint32_t* data() const { return memory_.get(); }
        void swap(Pixels& other) noexcept {
            memory_.swap(other.memory_);
            std::swap(count_, other.count_);
        }
        bool operator==(const Pixels& other) const;

    private:
        // Gives the block back as it was obtained: mapped (`mapping` and
        // its length) or from calloc.
        struct Release {
            void* mapping;  // none, value-initialized: from calloc
            std::size_t length;
            void operator()(std::uint32_t* p) const;
        };
        std::unique_ptr<std::uint32_t[], Release> memory_;
        std::size_t count_ = 0;
    };

    // Columns first..end-1 of a row that may hold other than black.
    struct Drawn {
        int first = 0, end = 0;
        bool empty() const { return first >= end; }
    };

    std::size_t index(int u, int v) const { return static_cast<std::size_t>(v) * width_ + u; }
    void plot(int u, int v, Colour c);
    void markChanged(int v) {
        changed_[static_cast<std::size_t>(v)] = 1;
        if (v < firstChanged_) firstChanged_ = v;
        if (v >= endChanged_) endChanged_ = v + 1;
    }
    void drawnOn(int v, int first, int end) {
        markChanged(v);
        Drawn& d = drawn_[static_cast<std::size_t>(v)];
        if (first >= end) return;
        if (d.empty()) {
            d = {first, end};
            return;
        }
        if (first < d.first) d.first = first;
        if (end > d.end) d.end = end;
    }

    int width_ = 0, height_ = 0;
    Pixels px_;
    std::vector<Drawn> drawn_;             // per row
    std::vector<std::uint8_t> changed_;    // per row: changed since takeChangedRows
    int firstChanged_ = 0, endChanged_ = 0;  // the changed rows lie in first..end-1
    double sx1_ = 0, sy1_ = 0, unitX_ = 1, unitY_ = 1;
    int left_ = 0, top_ = 0;
    DrawMode mode_ = DrawMode::CopyPen;
};

}  // namespace qel
