#include "render/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace qel {

void Surface::resize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    px_.assign(static_cast<size_t>(width_) * height_, 0u);
    setScale(0, 0, width_, height_);
}

void Surface::setScale(double x1, double y1, double x2, double y2) {
    sx1_ = x1;
    sy1_ = y1;
    unitX_ = (x2 != x1 && width_ > 0) ? width_ / (x2 - x1) : 1.0;
    unitY_ = (y2 != y1 && height_ > 0) ? height_ / (y2 - y1) : 1.0;
}

int Surface::columnOf(double x) const { return static_cast<int>(std::floor((x - sx1_) * unitX_ + 0.5)); }

int Surface::rowOf(double y) const { return static_cast<int>(std::floor((y - sy1_) * unitY_ + 0.5)); }

void Surface::cls() { std::fill(px_.begin(), px_.end(), 0u); }

bool Surface::swapPixels(Surface& other) {
    if (other.width_ != width_ || other.height_ != height_) return false;
    px_.swap(other.px_);
    return true;
}

void Surface::plot(int u, int v, Colour c) {
    if (!inside(u, v)) return;
    auto& p = px_[index(u, v)];
    if (mode_ == DrawMode::Invert)
        p = ~p & 0xFFFFFFu;
    else
        p = sanitize(c);
}

void Surface::pset(double x, double y, Colour c) {
    int u = columnOf(x), v = rowOf(y);
    if (inside(u, v)) px_[index(u, v)] = sanitize(c);
}

Colour Surface::point(double x, double y) const {
    int u = columnOf(x), v = rowOf(y);
    return inside(u, v) ? static_cast<Colour>(px_[index(u, v)]) : -1;
}

void Surface::line(double x1, double y1, double x2, double y2, Colour c) {
    int u0 = columnOf(x1), v0 = rowOf(y1), u1 = columnOf(x2), v1 = rowOf(y2);
    int du = std::abs(u1 - u0), dv = -std::abs(v1 - v0);
    int su = u0 < u1 ? 1 : -1, sv = v0 < v1 ? 1 : -1;
    int err = du + dv;
    // Bresenham; the end point itself is left unset, as the platform does.
    while (!(u0 == u1 && v0 == v1)) {
        plot(u0, v0, c);
        int e2 = 2 * err;
        if (e2 >= dv) {
            err += dv;
            u0 += su;
        }
        if (e2 <= du) {
            err += du;
            v0 += sv;
        }
    }
}

void Surface::copyFrom(const Surface& src, int su, int sv, int w, int h, int du, int dv) {
    // The columns that lie inside both surfaces, worked out once; then whole
    // rows at a time (a copy of the whole picture at a drawing's end is
    // millions of pixels). Within one surface a copy downwards goes bottom
    // row first, and memmove takes care of a row overlapping itself, so every
    // pixel is read before it is overwritten.
    const std::int64_t first = std::max<std::int64_t>({0, -std::int64_t{su}, -std::int64_t{du}});
    const std::int64_t end = std::min<std::int64_t>({w, std::int64_t{src.width_} - su, std::int64_t{width_} - du});
    if (end <= first) return;
    const auto columns = static_cast<std::size_t>(end - first);
    const bool bottomFirst = &src == this && dv > sv;
    for (int i = 0; i < h; ++i) {
        const int y = bottomFirst ? h - 1 - i : i;
        const std::int64_t sy = std::int64_t{sv} + y, dy = std::int64_t{dv} + y;
        if (sy < 0 || sy >= src.height_ || dy < 0 || dy >= height_) continue;
        std::memmove(&px_[index(static_cast<int>(du + first), static_cast<int>(dy))],
                     &src.px_[src.index(static_cast<int>(su + first), static_cast<int>(sy))],
                     columns * sizeof px_[0]);
    }
}

}  // namespace qel
