#include "render/zoom_film.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "render/large_picture.h"

namespace qel {

namespace {

// Shares of log2 magnification closer than this are one magnification.
constexpr double kSameMagnification = 1e-9;

Colour PointColours::*valueOf(int colourings) {
    switch (colourings) {
    case 2:
        return &PointColours::upperRight;
    case 3:
        return &PointColours::lowerLeft;
    case 4:
        return &PointColours::lowerRight;
    default:  // 1, and the smooth colouring's counts
        return &PointColours::upperLeft;
    }
}

}  // namespace

FilmPlan FilmPlan::of(double log2From, double log2To, int frames) {
    FilmPlan plan;
    plan.log2From = log2From;
    plan.log2To = std::max(log2To, log2From);
    plan.frames = std::max(frames, 2);
    const double doublings = plan.log2To - plan.log2From;
    plan.keyframes = 1 + std::max(0, static_cast<int>(std::ceil(doublings - kSameMagnification)));
    return plan;
}

double FilmPlan::log2OfFrame(int frame) const {
    if (frame >= frames - 1) return log2To;
    return log2From + (log2To - log2From) * frame / (frames - 1);
}

double FilmPlan::log2OfKeyframe(int keyframe) const { return log2To - (keyframes - 1 - keyframe); }

int FilmPlan::keyframeOf(int frame) const {
    const double above = log2OfFrame(frame) - log2OfKeyframe(0);
    return std::clamp(static_cast<int>(std::floor(above + kSameMagnification)), 0, keyframes - 1);
}

double FilmPlan::shareOf(int frame) const {
    return std::clamp(log2OfFrame(frame) - log2OfKeyframe(keyframeOf(frame)), 0.0, 1.0);
}

double FilmPlan::scaleOf(int frame) const { return std::exp2(1.0 - shareOf(frame)); }

Keyframe::Keyframe(int filmWidth, int filmHeight)
    : filmW_(filmWidth), filmH_(filmHeight),
      values_(static_cast<std::size_t>(4) * static_cast<std::size_t>(filmWidth) * static_cast<std::size_t>(filmHeight)) {}

KeyRect centreOf(int w, int h) { return {w / 2, h / 2, w, h}; }

std::array<KeyRect, 4> ringOf(int w, int h) {
    return {KeyRect{0, 0, 2 * w, h / 2}, KeyRect{0, h / 2 + h, 2 * w, h - h / 2}, KeyRect{0, h / 2, w / 2, h},
            KeyRect{w / 2 + w, h / 2, w - w / 2, h}};
}

void takeCentreFrom(Keyframe& k, const Keyframe& next) {
    const int w = k.filmWidth(), h = k.filmHeight();
    const KeyRect c = centreOf(w, h);
    for (int row = c.row; row < c.row + c.rows; ++row) {
        const Colour* from = next.row(2 * row - h);
        for (int col = c.col; col < c.col + c.cols; ++col) k.at(col, row) = from[2 * col - w];
    }
}

RectDrawing rectDrawingOf(const DrawingSetup& keyframe, const KeyRect& rect) {
    RectDrawing d;
    d.setup = keyframe;
    d.setup.xStep = 1;
    d.setup.halfW = (rect.cols + 1) / 2;
    d.setup.halfH = (rect.rows + 1) / 2;
    d.offsetX = d.setup.halfW + rect.col - keyframe.halfW;
    d.offsetY = keyframe.halfH - rect.row - d.setup.halfH;
    d.setup.orbit.centerX += d.offsetX * keyframe.orbit.pixelSize;
    d.setup.orbit.centerY += d.offsetY * keyframe.orbit.pixelSize;
    return d;
}

std::int64_t pointsOfDrawing(const KeyRect& rect) {
    return std::int64_t{4} * ((rect.cols + 1) / 2) * ((rect.rows + 1) / 2);
}

bool drawRect(RowEngine& engine, const RectDrawing& drawing, const KeyRect& rect, Keyframe& into,
              const KeepAlive& keepGoing, const std::function<void(std::int64_t)>& rowDone) {
    const DrawingSetup& setup = drawing.setup;
    const Colour PointColours::*value = valueOf(setup.colourings);
    RowColours row(static_cast<std::size_t>(setup.pointsPerRow()));
    engine.startDrawing(setup);
    for (int r = 0; r < 2 * setup.halfH; ++r) {
        if (!engine.awaitRow(setup, setup.halfH - r, row, keepGoing)) {
            engine.endDrawing();
            return false;
        }
        if (r < rect.rows)
            for (int c = 0; c < rect.cols; ++c) into.at(rect.col + c, rect.row + r) = row[static_cast<std::size_t>(c)].*value;
        if (rowDone) rowDone(setup.pointsPerRow());
    }
    engine.endDrawing();
    return true;
}

std::vector<Colour> sampleOf(const Keyframe& k, int step) {
    const int hw = std::max(1, k.filmWidth() / step), hh = std::max(1, k.filmHeight() / step);
    std::vector<Colour> sample;
    sample.reserve(static_cast<std::size_t>(4) * static_cast<std::size_t>(hw) * static_cast<std::size_t>(hh));
    for (int y = hh; y > -hh; --y)
        for (int x = -hw; x < hw; ++x) sample.push_back(k.at(k.filmWidth() + x * step, k.filmHeight() - y * step));
    return sample;
}

DrawingSetup sampleGridOf(const DrawingSetup& keyframe, int step) {
    DrawingSetup grid = keyframe;
    grid.xStep = 1;
    grid.halfW = std::max(1, keyframe.halfW / step);
    grid.halfH = std::max(1, keyframe.halfH / step);
    grid.orbit.pixelSize = keyframe.orbit.pixelSize * step;
    return grid;
}

namespace {

// The order makeFilm goes through the keyframes and frames, for making a
// film and for counting its points.
template <class Visit>
FilmOutcome eachStep(const FilmPlan& plan, int w, int h, int block, Visit&& visit) {
    (void)w;
    (void)h;
    block = std::max(block, 1);
    int first = 0;
    bool firstHeld = false;
    int frame = 0;
    for (;;) {
        const int last = std::min(first + block, plan.keyframes - 1);
        if (!visit.whole(first, last)) return FilmOutcome::Stopped;
        for (int j = last - 1; j >= first && !(j == first && firstHeld); --j)
            if (!visit.ring(first, j)) return FilmOutcome::Stopped;
        for (; frame < plan.frames; ++frame) {
            const int k = plan.keyframeOf(frame);
            if (k > last || (k == last && last < plan.keyframes - 1)) break;
            if (!visit.frame(first, last, frame, k)) return FilmOutcome::Stopped;
        }
        if (last == plan.keyframes - 1) return FilmOutcome::Finished;
        visit.carry(first, last);
        first = last;
        firstHeld = true;
    }
}

}  // namespace

FilmOutcome makeFilm(const FilmPlan& plan, int w, int h, int block, const FilmHooks& hooks) {
    struct Visit {
        const FilmHooks& hooks;
        int w, h;
        std::vector<std::unique_ptr<Keyframe>> held;  // keyframe first + i
        std::unique_ptr<Keyframe> carried;

        bool whole(int first, int last) {
            held.clear();
            held.resize(static_cast<std::size_t>(last - first + 1));
            if (carried) held[0] = std::move(carried);
            auto& k = held.back();
            if (!k) {
                k = std::make_unique<Keyframe>(w, h);
                if (!hooks.drawRect(last, k->whole(), *k)) return false;
                if (hooks.keyframeDone) hooks.keyframeDone(last, *k);
            }
            return true;
        }
        bool ring(int first, int j) {
            auto& k = held[static_cast<std::size_t>(j - first)];
            k = std::make_unique<Keyframe>(w, h);
            for (const KeyRect& r : ringOf(w, h))
                if (!hooks.drawRect(j, r, *k)) return false;
            takeCentreFrom(*k, *held[static_cast<std::size_t>(j - first + 1)]);
            if (hooks.keyframeDone) hooks.keyframeDone(j, *k);
            return true;
        }
        bool frame(int first, int last, int i, int k) {
            const Keyframe* next = k < last ? held[static_cast<std::size_t>(k - first + 1)].get() : nullptr;
            return hooks.frame(i, *held[static_cast<std::size_t>(k - first)], next);
        }
        void carry(int first, int last) {
            carried = std::move(held[static_cast<std::size_t>(last - first)]);
            held.clear();
        }
    } visit{hooks, w, h, {}, {}};
    return eachStep(plan, w, h, block, visit);
}

std::int64_t filmPoints(const FilmPlan& plan, int w, int h, int block) {
    struct Count {
        int w, h;
        std::int64_t points = 0;
        bool whole(int, int) {
            points += pointsOfDrawing({0, 0, 2 * w, 2 * h});
            return true;
        }
        bool ring(int, int) {
            for (const KeyRect& r : ringOf(w, h)) points += pointsOfDrawing(r);
            return true;
        }
        bool frame(int, int, int, int) { return true; }
        void carry(int, int) {}
    } count{w, h};
    eachStep(plan, w, h, block, count);
    return count.points;
}

// ---------------------------------------------------------------- frames

namespace {

// Linear light of an sRGB colour number's components, and back.
struct LinearTables {
    std::array<std::uint32_t, 256> linear{};
    std::vector<std::uint8_t> component;

    LinearTables() : component(65536) {
        for (int c = 0; c < 256; ++c) linear[static_cast<std::size_t>(c)] = linearOf(c);
        for (std::uint32_t l = 0; l < 65536; ++l) component[l] = static_cast<std::uint8_t>(componentOfLinear(l));
    }
    static const LinearTables& get() {
        static const LinearTables tables;
        return tables;
    }
};

struct Rgb {
    std::uint32_t r = 0, g = 0, b = 0;
};

}  // namespace

struct FrameMaker::Scratch {
    std::vector<Rgb> composite;  // the part of the keyframe the frame covers, in linear light
    // What each of the two threads making a frame works with.
    struct Lane {
        std::vector<std::uint32_t> colours;
        // Rows of the next keyframe in linear light, by row number.
        struct NextRow {
            int row = -1;
            std::vector<Rgb> light;
        };
        std::array<NextRow, 3> next;
    };
    std::array<Lane, 2> lanes;
    std::vector<int> col0, row0;
    std::vector<std::uint32_t> colWeight, rowWeight;  // of the second point, 0..256
};

FrameMaker::FrameMaker(int w, int h) : filmW_(w), filmH_(h), scratch_(std::make_shared<Scratch>()) {}

namespace {

// Runs part(0) on a thread of its own and part(1) on this one.
template <class Part>
void inTwo(Part&& part) {
    std::thread other([&part] { part(0); });
    part(1);
    other.join();
}

}  // namespace

void FrameMaker::make(const Keyframe& key, const Keyframe* next, double scale, const ValueColours& colours,
                      std::uint32_t* out) {
    const int w = filmW_, h = filmH_;
    const LinearTables& t = LinearTables::get();
    Scratch& s = *scratch_;
    const auto toLight = [&](std::uint32_t c) {
        return Rgb{t.linear[c & 0xFF], t.linear[(c >> 8) & 0xFF], t.linear[(c >> 16) & 0xFF]};
    };
    // Keyframe coordinates of the frame's pixels: x = px - W/2 and
    // y = H/2 - py frame pixels from the centre.
    const auto colOf = [&](int px) { return w + (px - w / 2) * scale; };
    const auto rowOf = [&](int py) { return h - (h / 2 - py) * scale; };
    const int c0 = std::clamp(static_cast<int>(std::floor(colOf(0))), 0, 2 * w - 1);
    const int c1 = std::clamp(static_cast<int>(std::floor(colOf(w - 1))) + 1, 0, 2 * w - 1);
    const int r0 = std::clamp(static_cast<int>(std::floor(rowOf(0))), 0, 2 * h - 1);
    const int r1 = std::clamp(static_cast<int>(std::floor(rowOf(h - 1))) + 1, 0, 2 * h - 1);
    const int cols = c1 - c0 + 1, rows = r1 - r0 + 1;
    s.composite.resize(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));

    // The next keyframe's centre, blended in over a margin from its edge.
    const KeyRect centre = centreOf(w, h);
    const int margin = std::max(1, std::min(w, h) / 16);
    const int cc0 = std::max(c0, centre.col), cc1 = std::min(c1, centre.col + centre.cols - 1);
    const int nextCol0 = std::max(0, 2 * cc0 - w - 1), nextCol1 = std::min(2 * w - 1, 2 * cc1 - w + 1);

    const auto compositeRows = [&](int part) {
        Scratch::Lane& lane = s.lanes[static_cast<std::size_t>(part)];
        lane.colours.resize(static_cast<std::size_t>(2 * w + 2));
        for (auto& n : lane.next) n.row = -1;
        const auto nextRow = [&](int r) -> const std::vector<Rgb>& {
            r = std::clamp(r, 0, 2 * h - 1);
            auto& slot = lane.next[static_cast<std::size_t>(r % 3)];
            if (slot.row != r) {
                const int n = nextCol1 - nextCol0 + 1;
                colours(next->row(r) + nextCol0, static_cast<std::size_t>(n), lane.colours.data());
                slot.light.resize(static_cast<std::size_t>(n));
                for (int i = 0; i < n; ++i)
                    slot.light[static_cast<std::size_t>(i)] = toLight(lane.colours[static_cast<std::size_t>(i)]);
                slot.row = r;
            }
            return slot.light;
        };
        const int from = part == 0 ? r0 : r0 + rows / 2, to = part == 0 ? r0 + rows / 2 : r1 + 1;
        for (int r = from; r < to; ++r) {
            Rgb* line = s.composite.data() + static_cast<std::size_t>(r - r0) * static_cast<std::size_t>(cols);
            const bool blended = next && r >= centre.row && r < centre.row + centre.rows && cc0 <= cc1;
            const int rowEdge = std::min(r - centre.row, centre.row + centre.rows - 1 - r);
            // The keyframe's own points where the next one's replace them
            // whole are not looked at: only the columns outside are mapped.
            int skip0 = c1 + 1, skip1 = c1;
            if (blended && rowEdge >= margin - 1) {
                skip0 = std::max(c0, centre.col + margin - 1);
                skip1 = std::min(c1, centre.col + centre.cols - margin);
            }
            const auto own = [&](int from, int to) {  // columns from .. to - 1
                if (from >= to) return;
                colours(key.row(r) + from, static_cast<std::size_t>(to - from), lane.colours.data());
                for (int c = from; c < to; ++c) line[c - c0] = toLight(lane.colours[static_cast<std::size_t>(c - from)]);
            };
            if (skip0 <= skip1) {
                own(c0, skip0);
                std::fill(line + (skip0 - c0), line + (skip1 - c0 + 1), Rgb{});
                own(skip1 + 1, c1 + 1);
            } else {
                own(c0, c1 + 1);
            }
            if (!blended) continue;
            const int nr = 2 * r - h;
            const std::vector<Rgb>* rowsOf[3] = {&nextRow(nr - 1), &nextRow(nr), &nextRow(nr + 1)};
            for (int c = cc0; c <= cc1; ++c) {
                const int nc = 2 * c - w;
                Rgb sum;
                const std::uint32_t weight[3] = {1, 2, 1};
                for (int dy = 0; dy < 3; ++dy)
                    for (int dx = 0; dx < 3; ++dx) {
                        const Rgb& p = (*rowsOf[dy])[static_cast<std::size_t>(
                            std::clamp(nc + dx - 1, nextCol0, nextCol1) - nextCol0)];
                        const std::uint32_t k = weight[dy] * weight[dx];
                        sum.r += k * p.r;
                        sum.g += k * p.g;
                        sum.b += k * p.b;
                    }
                const int edge = std::min({rowEdge, c - centre.col, centre.col + centre.cols - 1 - c});
                const auto share = static_cast<std::uint32_t>(std::min(256, 256 * (edge + 1) / margin));
                Rgb& own = line[c - c0];
                own.r = (own.r * (256 - share) + (sum.r + 8) / 16 * share) / 256;
                own.g = (own.g * (256 - share) + (sum.g + 8) / 16 * share) / 256;
                own.b = (own.b * (256 - share) + (sum.b + 8) / 16 * share) / 256;
            }
        }
    };
    inTwo(compositeRows);

    // Bilinear from the composite.
    s.col0.resize(static_cast<std::size_t>(w));
    s.colWeight.resize(static_cast<std::size_t>(w));
    s.row0.resize(static_cast<std::size_t>(h));
    s.rowWeight.resize(static_cast<std::size_t>(h));
    const auto place = [](double at, int low, int count, int& first, std::uint32_t& weight) {
        const double u = std::clamp(at - low, 0.0, static_cast<double>(count - 1));
        first = std::min(static_cast<int>(u), std::max(count - 2, 0));
        weight = static_cast<std::uint32_t>(std::lround(std::min(1.0, u - first) * 256));
    };
    for (int px = 0; px < w; ++px) {
        const auto i = static_cast<std::size_t>(px);
        place(colOf(px), c0, cols, s.col0[i], s.colWeight[i]);
    }
    for (int py = 0; py < h; ++py) {
        const auto i = static_cast<std::size_t>(py);
        place(rowOf(py), r0, rows, s.row0[i], s.rowWeight[i]);
    }
    const int nextColStep = cols > 1 ? 1 : 0;
    const std::size_t nextRowStep = rows > 1 ? static_cast<std::size_t>(cols) : 0;
    const auto pixelRows = [&](int part) {
        for (int py = part == 0 ? 0 : h / 2; py < (part == 0 ? h / 2 : h); ++py) {
            const std::uint32_t fy = s.rowWeight[static_cast<std::size_t>(py)];
            const Rgb* top = s.composite.data() + static_cast<std::size_t>(s.row0[static_cast<std::size_t>(py)]) * static_cast<std::size_t>(cols);
            const Rgb* bottom = top + nextRowStep;
            std::uint32_t* o = out + static_cast<std::size_t>(py) * static_cast<std::size_t>(w);
            for (int px = 0; px < w; ++px) {
                const int c = s.col0[static_cast<std::size_t>(px)];
                const std::uint32_t fx = s.colWeight[static_cast<std::size_t>(px)];
                const Rgb &a = top[c], &b = top[c + nextColStep], &d = bottom[c], &e = bottom[c + nextColStep];
                const auto mix = [&](std::uint32_t Rgb::*ch) {
                    const std::uint64_t upper = a.*ch * (256 - fx) + b.*ch * fx;
                    const std::uint64_t lower = d.*ch * (256 - fx) + e.*ch * fx;
                    return t.component[std::min<std::uint64_t>(65535, (upper * (256 - fy) + lower * fy + 32768) >> 16)];
                };
                o[px] = std::uint32_t{mix(&Rgb::r)} | std::uint32_t{mix(&Rgb::g)} << 8 | std::uint32_t{mix(&Rgb::b)} << 16;
            }
        }
    };
    inTwo(pixelRows);
}

}  // namespace qel
