#include "render/large_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <future>
#include <optional>

#include "render/colouring.h"
#include "render/layout.h"
#include "render/surface.h"

namespace qel {

namespace {

constexpr std::uint32_t kLinearMax = 65535;

double linearFromSrgb(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

double srgbFromLinear(double l) { return l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055; }

const std::array<std::uint32_t, 256>& linearTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (int c = 0; c < 256; ++c)
            t[static_cast<std::size_t>(c)] = static_cast<std::uint32_t>(std::lround(kLinearMax * linearFromSrgb(c / 255.0)));
        return t;
    }();
    return table;
}

const std::vector<std::uint8_t>& componentTable() {
    static const std::vector<std::uint8_t> table = [] {
        std::vector<std::uint8_t> t(kLinearMax + 1);
        for (std::uint32_t l = 0; l <= kLinearMax; ++l)
            t[l] = static_cast<std::uint8_t>(std::lround(255 * srgbFromLinear(static_cast<double>(l) / kLinearMax)));
        return t;
    }();
    return table;
}

bool isSplit(const LargePicture& pic) { return pic.method == 0; }

// One half of a split picture, or the whole of a picture of one colouring:
// the colourings shown side by side and the picture's row of its top.
struct Band {
    Colour PointColours::*left;
    Colour PointColours::*right;  // nullptr: one colouring across the whole width
    std::int64_t firstRow;
};

Colour PointColours::*colouringOf(int quadrant) {
    switch (quadrant) {
    case kSmoothCounts:
    case 1:
        return &PointColours::upperLeft;
    case 2:
        return &PointColours::upperRight;
    case 3:
        return &PointColours::lowerLeft;
    default:
        return &PointColours::lowerRight;
    }
}

// The bands a pass over the picture's points puts: a split picture both
// halves at once.
std::vector<Band> bandsOf(const LargePicture& pic) {
    if (!isSplit(pic)) return {Band{colouringOf(pic.method), nullptr, 0}};
    return {Band{colouringOf(1), colouringOf(2), 0}, Band{colouringOf(3), colouringOf(4), pic.height() / 2}};
}

// Turns rows of points into rows of pixels for the bands of a pass: picks
// each point's colour for its band and, with S x S points per pixel, sums
// them in linear light until a row of pixels is complete.
class RowAssembler {
public:
    RowAssembler(const LargePicture& pic, std::vector<Band> bands)
        : bands_(std::move(bands)),
          samples_(pic.samples),
          pixelsPerColouring_(static_cast<std::size_t>(pic.points.pointsPerRow() / pic.samples)),
          width_(static_cast<std::size_t>(pic.width())),
          pixels_(bands_.size() * width_) {
        if (samples_ > 1) sums_.assign(bands_.size() * width_ * 3, 0);
        if (pic.method == kSmoothCounts)
            smooth_.emplace(pic.palette ? *pic.palette : SmoothPalette::builtIn(), pic.smoothRange);
    }

    // Adds the colours of point row i (0 at the top of the pass); true when
    // that completed pixel row i / S of every band.
    bool add(std::int64_t i, const RowColours& row) {
        if (samples_ == 1 && bands_.size() == 2) {
            addSplitRow(row);
            return true;
        }
        for (std::size_t b = 0; b < bands_.size(); ++b) {
            addColouring(row, bands_[b].left, b * width_);
            if (bands_[b].right) addColouring(row, bands_[b].right, b * width_ + pixelsPerColouring_);
        }
        if ((i + 1) % samples_ != 0) return false;
        if (samples_ > 1) averageSums();
        return true;
    }

    std::size_t bands() const { return bands_.size(); }
    std::int64_t pictureRowOf(std::size_t band, std::int64_t pixelRow) const { return bands_[band].firstRow + pixelRow; }
    const std::uint32_t* pixels(std::size_t band) const { return pixels_.data() + band * width_; }

private:
    void addColouring(const RowColours& row, Colour PointColours::*colouring, std::size_t first) {
        if (smooth_) {
            const SmoothMap& map = *smooth_;
            addColouring(row, colouring, first,
                         [&map](Colour encoded) { return static_cast<std::uint32_t>(map.colour(encoded)); });
        } else {
            addColouring(row, colouring, first, shownColour);
        }
    }

    // `shown(c)` the colour number a point's colour c gives its pixel.
    template <class Shown>
    void addColouring(const RowColours& row, Colour PointColours::*colouring, std::size_t first, Shown&& shown) {
        if (samples_ == 1) {
            for (std::size_t k = 0; k < pixelsPerColouring_; ++k) pixels_[first + k] = shown(row[k].*colouring);
            return;
        }
        const auto& linear = linearTable();
        const auto s = static_cast<std::size_t>(samples_);
        for (std::size_t k = 0; k < pixelsPerColouring_; ++k) {
            std::uint32_t* sum = &sums_[(first + k) * 3];
            for (std::size_t j = 0; j < s; ++j) {
                const std::uint32_t c = shown(row[k * s + j].*colouring);
                sum[0] += linear[c & 0xFF];
                sum[1] += linear[(c >> 8) & 0xFF];
                sum[2] += linear[c >> 16];
            }
        }
    }

    // A split picture's row of points, one sample a pixel: each point's
    // four colours go to both halves' rows in one pass over the points.
    void addSplitRow(const RowColours& row) {
        const Band& upper = bands_[0];
        const Band& lower = bands_[1];
        std::uint32_t* top = pixels_.data();
        std::uint32_t* bottom = top + width_;
        for (std::size_t k = 0; k < pixelsPerColouring_; ++k) {
            const PointColours& p = row[k];
            top[k] = shownColour(p.*upper.left);
            top[pixelsPerColouring_ + k] = shownColour(p.*upper.right);
            bottom[k] = shownColour(p.*lower.left);
            bottom[pixelsPerColouring_ + k] = shownColour(p.*lower.right);
        }
    }

    void averageSums() {
        const auto& component = componentTable();
        const auto n = static_cast<std::uint32_t>(samples_ * samples_);
        for (std::size_t p = 0; p < pixels_.size(); ++p) {
            std::uint32_t* sum = &sums_[p * 3];
            const std::uint32_t r = component[(sum[0] + n / 2) / n], g = component[(sum[1] + n / 2) / n],
                                b = component[(sum[2] + n / 2) / n];
            pixels_[p] = r | g << 8 | b << 16;
            sum[0] = sum[1] = sum[2] = 0;
        }
    }

    std::vector<Band> bands_;
    int samples_;
    std::size_t pixelsPerColouring_;  // pixels across one colouring
    std::size_t width_;               // pixels across the picture
    std::vector<std::uint32_t> pixels_;  // a row of pixels per band
    std::vector<std::uint32_t> sums_;    // linear red, green, blue per pixel, S > 1 only
    std::optional<SmoothMap> smooth_;    // the smooth colouring's counts to colours
};

// Takes every row of the drawing the engine has started for `pic` and puts
// its pixel rows into the sink.
RenderOutcome drawPass(const LargePicture& pic, RowEngine& engine, PictureSink& sink, const RenderHooks& hooks,
                       RowColours& row, std::int64_t& rowsPut) {
    RowAssembler assembler(pic, bandsOf(pic));
    const DrawingSetup& setup = pic.points;
    row.resize(static_cast<std::size_t>(setup.pointsPerRow()));
    for (std::int64_t i = 0; i < 2 * std::int64_t{setup.halfH}; ++i) {
        if (!engine.awaitRow(setup, static_cast<int>(setup.halfH - i), row, hooks.keepGoing))
            return RenderOutcome::Stopped;
        if (!assembler.add(i, row)) continue;
        for (std::size_t b = 0; b < assembler.bands(); ++b) {
            if (!sink.putRow(assembler.pictureRowOf(b, i / pic.samples), assembler.pixels(b)))
                return RenderOutcome::Failed;
            ++rowsPut;
        }
        if (hooks.rowsPut) hooks.rowsPut(rowsPut);
        if (!hooks.keepGoing()) return RenderOutcome::Stopped;
    }
    return RenderOutcome::Finished;
}

}  // namespace

std::int64_t LargePicture::width() const {
    return 2 * std::int64_t{points.halfW} / samples * (isSplit(*this) ? 2 : 1);
}

std::int64_t LargePicture::height() const {
    return 2 * std::int64_t{points.halfH} / samples * (isSplit(*this) ? 2 : 1);
}

LargePicture largePictureOf(const DrawingSetup& window, int method, int scale, int samples) {
    const int finer = scale * samples;
    LargePicture pic;
    pic.method = method;
    pic.samples = samples;
    pic.points = window;
    pic.points.halfW = window.halfW * finer;
    pic.points.halfH = window.halfH * finer;
    pic.points.orbit.pixelSize = window.orbit.pixelSize / finer;
    pic.points.colourings = method;  // a picture of one colouring needs no other
    // A pixel's samples lie to its right and below (x up, y down from the
    // pixel's offsets): the grid moves back by half their extent.
    const double toCentre = (samples - 1) * pic.points.orbit.pixelSize / 2;
    pic.points.orbit.centerX -= toCentre;
    pic.points.orbit.centerY += toCentre;
    return pic;
}

DrawingSetup coarseSmoothGrid(const DrawingSetup& window, int coarseness) {
    DrawingSetup grid = window;
    grid.colourings = kSmoothCounts;
    grid.xStep = 1;
    grid.halfW = std::max(1, window.halfW / std::max(coarseness, 1));
    grid.halfH = std::max(1, window.halfH / std::max(coarseness, 1));
    // The same width of the plane across fewer points.
    grid.orbit.pixelSize = window.orbit.pixelSize * window.halfW / grid.halfW;
    return grid;
}

std::optional<std::vector<Colour>> smoothCountsOf(const DrawingSetup& grid, RowEngine& engine,
                                                  const KeepAlive& keepGoing) {
    std::vector<Colour> counts;
    counts.reserve(static_cast<std::size_t>(grid.pointsPerRow()) * 2 * static_cast<std::size_t>(grid.halfH));
    RowColours row(static_cast<std::size_t>(grid.pointsPerRow()));
    engine.startDrawing(grid);
    for (int y = grid.halfH; y > -grid.halfH; --y) {
        if (!engine.awaitRow(grid, y, row, keepGoing) || !keepGoing()) {
            engine.endDrawing();
            return std::nullopt;
        }
        for (const PointColours& p : row) counts.push_back(p.upperLeft);
    }
    engine.endDrawing();
    return counts;
}

std::uint32_t linearOf(int component) { return linearTable()[static_cast<std::size_t>(component & 0xFF)]; }

int componentOfLinear(std::uint32_t linear) { return componentTable()[std::min(linear, kLinearMax)]; }

std::uint32_t averageInLinearLight(const std::uint32_t* colours, int count) {
    std::uint32_t sum[3] = {0, 0, 0};
    for (int i = 0; i < count; ++i)
        for (int ch = 0; ch < 3; ++ch) sum[ch] += linearOf(static_cast<int>(colours[i] >> (8 * ch)));
    const auto n = static_cast<std::uint32_t>(count);
    std::uint32_t colour = 0;
    for (int ch = 0; ch < 3; ++ch)
        colour |= static_cast<std::uint32_t>(componentOfLinear((sum[ch] + n / 2) / n)) << (8 * ch);
    return colour;
}

RenderOutcome renderPictures(const std::vector<LargePicture>& pictures, RowEngine& engine, const RenderHooks& hooks,
                             std::string* failure) {
    if (pictures.empty()) return RenderOutcome::Finished;
    RowColours row;
    std::int64_t rowsPut = 0;
    // The picture being finished beside the drawing, at most one.
    std::unique_ptr<PictureSink> finishing;
    std::future<bool> finished;
    const auto awaitFinishing = [&] {
        if (!finishing) return true;
        const bool ok = finished.get();
        if (!ok && failure) *failure = finishing->failure();
        finishing.reset();
        return ok;
    };
    const auto giveUp = [&](RenderOutcome outcome, const PictureSink* failed) {
        engine.endDrawing();
        if (outcome == RenderOutcome::Failed && failed && failure) *failure = failed->failure();
        return awaitFinishing() ? outcome : RenderOutcome::Failed;
    };
    engine.startDrawing(pictures.front().points);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const LargePicture& pic = pictures[i];
        std::unique_ptr<PictureSink> sink = hooks.open(i);
        if (!sink) return giveUp(RenderOutcome::Failed, nullptr);
        // The workers go on into the next picture's rows while this one's
        // last are written, instead of waiting for it to start.
        if (i + 1 < pictures.size()) engine.queueDrawing(pictures[i + 1].points);
        const RenderOutcome outcome = drawPass(pic, engine, *sink, hooks, row, rowsPut);
        if (outcome != RenderOutcome::Finished) return giveUp(outcome, sink.get());
        if (i + 1 == pictures.size()) {
            // The last picture: nothing is drawn beside its finish, which
            // this thread does at once rather than wake another for it.
            engine.endDrawing();
            if (!awaitFinishing()) return RenderOutcome::Failed;
            if (sink->finish()) return RenderOutcome::Finished;
            if (failure) *failure = sink->failure();
            return RenderOutcome::Failed;
        }
        // The next picture's rows are computed while this one is finished.
        engine.startDrawing(pictures[i + 1].points);
        if (!awaitFinishing()) return giveUp(RenderOutcome::Failed, nullptr);
        finishing = std::move(sink);
        finished = std::async(std::launch::async, [sink = finishing.get()] { return sink->finish(); });
    }
    return RenderOutcome::Finished;
}

}  // namespace qel
