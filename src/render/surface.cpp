#include "render/surface.h"

#ifdef __linux__
#include <sys/mman.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace qel {

Surface::Pixels::Pixels(std::size_t count) : count_(count) {
    if (count == 0) return;
#ifdef __linux__
    constexpr std::size_t kLargePage = std::size_t{2} << 20;
    const std::size_t bytes = count * sizeof(std::uint32_t);
    if (bytes >= kLargePage / 2) {
        // Whole large pages, and one more so that the block can start on one.
        const std::size_t pages = (bytes + kLargePage - 1) / kLargePage * kLargePage;
        const std::size_t length = pages + kLargePage;
        void* mapping = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapping != MAP_FAILED) {
            const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(mapping) + kLargePage - 1) & ~(kLargePage - 1);
            madvise(reinterpret_cast<void*>(start), pages, MADV_HUGEPAGE);
            memory_ = decltype(memory_)(reinterpret_cast<std::uint32_t*>(start), Release{mapping, length});
            return;
        }
    }
#endif
    memory_.reset(static_cast<std::uint32_t*>(std::calloc(count, sizeof(std::uint32_t))));
    if (!memory_) throw std::bad_alloc();
}

void Surface::Pixels::Release::operator()(std::uint32_t* p) const {
#ifdef __linux__
    if (mapping) {
        munmap(mapping, length);
        return;
    }
#endif
    std::free(p);
}

Surface::Pixels::Pixels(const Pixels& other) : Pixels(other.count_) {
    if (count_) std::memcpy(data(), other.data(), count_ * sizeof(std::uint32_t));
}

Surface::Pixels& Surface::Pixels::operator=(const Pixels& other) {
    if (this != &other) *this = Pixels(other);
    return *this;
}

bool Surface::Pixels::operator==(const Pixels& other) const {
    return count_ == other.count_ && (count_ == 0 || std::memcmp(data(), other.data(), count_ * sizeof(std::uint32_t)) == 0);
}

void Surface::resize(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == width_ && height == height_) {
        cls();
    } else {
        width_ = width;
        height_ = height;
        // Fresh memory is black already: nothing is written here.
        px_ = Pixels(static_cast<std::size_t>(width_) * height_);
        drawn_.assign(static_cast<std::size_t>(height_), Drawn{});
        changed_.assign(static_cast<std::size_t>(height_), 1);
        firstChanged_ = 0;
        endChanged_ = height_;
    }
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

void Surface::cls() {
    for (int v = 0; v < height_; ++v) {
        Drawn& d = drawn_[static_cast<std::size_t>(v)];
        if (d.empty()) continue;
        std::fill(px_.data() + index(d.first, v), px_.data() + index(d.end, v), 0u);
        d = Drawn{};
        markChanged(v);
    }
}

bool Surface::swapPixels(Surface& other) {
    if (other.width_ != width_ || other.height_ != height_) return false;
    px_.swap(other.px_);
    drawn_.swap(other.drawn_);
    // A row changes where either picture had drawn on it.
    for (int v = 0; v < height_; ++v) {
        if (drawn_[static_cast<std::size_t>(v)].empty() && other.drawn_[static_cast<std::size_t>(v)].empty()) continue;
        markChanged(v);
        other.markChanged(v);
    }
    return true;
}

void Surface::plot(int u, int v, Colour c) {
    if (!inside(u, v)) return;
    drawnOn(v, u, u + 1);
    auto& p = px_[index(u, v)];
    if (mode_ == DrawMode::Invert)
        p = ~p & 0xFFFFFFu;
    else
        p = stored(c);
}

void Surface::pset(double x, double y, Colour c) {
    int u = columnOf(x), v = rowOf(y);
    if (inside(u, v)) setPixel(u, v, c);
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
        drawnOn(static_cast<int>(dy), static_cast<int>(du + first), static_cast<int>(du + end));
        std::memmove(px_.data() + index(static_cast<int>(du + first), static_cast<int>(dy)),
                     src.px_.data() + src.index(static_cast<int>(su + first), static_cast<int>(sy)),
                     columns * sizeof(std::uint32_t));
    }
}

}  // namespace qel
