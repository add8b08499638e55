#include "render/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

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
    for (int y = 0; y < h; ++y) {
        int sy = sv + y, dy = dv + y;
        if (sy < 0 || sy >= src.height_ || dy < 0 || dy >= height_) continue;
        for (int x = 0; x < w; ++x) {
            int sx = su + x, dx = du + x;
            if (sx < 0 || sx >= src.width_ || dx < 0 || dx >= width_) continue;
            px_[index(dx, dy)] = src.px_[src.index(sx, sy)];
        }
    }
}

}  // namespace qel
