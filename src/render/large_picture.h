// Pictures of a view larger than the window's: K x K pixels for every pixel
// of the window's picture, each pixel optionally the average of S x S
// points, and sequences of them. A row engine computes the points; the rows
// of pixels are handed on as they come, so that memory does not grow with a
// picture's height.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/row_engine.h"
#include "render/smooth_colouring.h"

namespace qel {

// The largest K and S a picture may have.
constexpr int kMostScale = 64;
constexpr int kMostSamples = 8;

// One large picture of a view.
struct LargePicture {
    // The points the engine computes: the view's picture at scale K * S.
    DrawingSetup points;
    int method = 0;   // 0 the four-way split, 1..4 one colouring at full size, kSmoothCounts the smooth one
    int samples = 1;  // S
    // With kSmoothCounts: the palette (none: the built-in one) and the range
    // of counts it spans; each point's count is mapped to its colour before
    // the S x S of a pixel are averaged.
    std::shared_ptr<const SmoothPalette> palette;
    SmoothRange smoothRange;

    // Pixels across and down: the window's picture times K.
    std::int64_t width() const;
    std::int64_t height() const;
};

// The picture whose window-sized drawing has the setup `window` (drawn with
// `method`) with `scale` x `scale` pixels for every pixel of the window's
// picture: the same part of the plane, with the window's pixel size divided
// by `scale`, and the window's colours. With `samples` S above 1 a pixel is
// the average, in linear light, of S x S points 1/S of its size apart,
// centred on its own point: the points of the picture at scale * S moved
// by (S - 1) / 2 of its pixels up and to the left. S = 1 computes exactly
// the points of the window's pixels (times `scale`).
LargePicture largePictureOf(const DrawingSetup& window, int method, int scale, int samples = 1);

// The grid `coarseness` times coarser than the window's (setup `window`,
// at least one point each way) over the same part of the plane, in the
// smooth colouring: the points a picture's range of counts is found from,
// cheaply, the same for the window-sized picture and for every poster of
// the view.
DrawingSetup coarseSmoothGrid(const DrawingSetup& window, int coarseness);
// The encoded counts of every point of `grid` as `engine` computes them,
// row by row; nothing once `keepGoing` says stop.
std::optional<std::vector<Colour>> smoothCountsOf(const DrawingSetup& grid, RowEngine& engine,
                                                  const KeepAlive& keepGoing);

// sRGB component 0..255 as linear light 0..65535.
std::uint32_t linearOf(int component);
// The sRGB component of linear light 0..65535, rounded to the nearest.
int componentOfLinear(std::uint32_t linear);
// The average in linear light of `count` colour numbers (0..0xFFFFFF).
std::uint32_t averageInLinearLight(const std::uint32_t* colours, int count);

// Where the pixel rows of one picture go. Rows come top row first, each
// once; those of a split-screen picture come from one pass over its
// points, so its upper and lower halves arrive side by side: row v of the
// upper half, then row v of the lower half, each half top row first.
class PictureSink {
public:
    // A sink destroyed before finish() gives its picture up.
    virtual ~PictureSink() = default;
    // Row v (0 at the top): the picture's width of colour numbers as the
    // pixels show them. False when it could not be kept.
    virtual bool putRow(std::int64_t v, const std::uint32_t* pixels) = 0;
    // Every row is in: the picture is complete. False when that failed.
    virtual bool finish() = 0;
    // Why the last call that returned false failed.
    virtual std::string failure() const { return {}; }
};

struct RenderHooks {
    // The sink for picture i, opened when its first row is near; none when
    // it cannot be written (the hook keeps the reason).
    std::function<std::unique_ptr<PictureSink>(std::size_t picture)> open;
    // Runs after every pixel row and at least every 20 ms while the engine
    // is awaited; false stops the drawing.
    KeepAlive keepGoing = [] { return true; };
    // Pixel rows put so far, over all pictures; called after every row.
    std::function<void(std::int64_t)> rowsPut;
};

enum class RenderOutcome { Finished, Stopped, Failed };

// Draws the pictures one after another with `engine`, each into its own
// sink. The engine starts on the next picture as soon as the last row of
// one is taken, and a picture is finished (its file flushed and named) on
// a thread of its own while the next one is drawn, so the engine's threads
// go on computing. A split-screen picture's points are computed once, each
// giving a pixel to all four of its colourings.
// Stopped: keepGoing said stop; Failed: a sink could not be opened, keep a
// row or finish (the sink's reason in `failure`, when given). Either way
// the unfinished picture's sink is given up; pictures finished before stay.
RenderOutcome renderPictures(const std::vector<LargePicture>& pictures, RowEngine& engine, const RenderHooks& hooks,
                             std::string* failure = nullptr);

}  // namespace qel
