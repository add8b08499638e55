// Zoom films from keyframes. A film zooms at a constant speed in the
// logarithm of the magnification; instead of drawing every frame, one
// keyframe is computed per doubling of magnification, at twice the film's
// size each way, and each frame is resampled from the keyframe at or below
// its magnification.
//
// Why a doubling and twice the size: a frame between keyframe k (at
// magnification K) and the next (2K) lies inside keyframe k and has pixels
// 2K/m of keyframe k's points across (m the frame's magnification), so from
// 2 down to 1: every frame gets at least one computed point for each of its
// pixels, and never more than two, so nothing is softened and little is
// wasted. A larger factor between keyframes would need keyframes larger
// than twice the film's size to keep that, a smaller one more keyframes.
//
// The next keyframe covers the centre half (each way) of keyframe k with
// twice the detail: its points at even offsets are exactly the points of
// keyframe k's centre, so keyframe k computes only its ring (3/4 of its
// points) and takes its centre from the next one. Keyframes are therefore
// computed deepest first, in blocks: the deepest keyframe of a block whole,
// the others ring only; the block's frames are made, and all but its
// deepest keyframe dropped, which is the shallowest of the next block.
// Memory holds a block's keyframes, never the film's.
//
// In a frame, the part keyframe k+1 covers is taken from k+1's points
// averaged (a 3 x 3 tent, in linear light) instead of k's own, blended in
// over a margin so that no edge shows; the frame's pixels are then
// interpolated bilinearly from that.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "render/row_engine.h"
#include "render/surface.h"

namespace qel {

// The magnifications of a film's frames and keyframes, as binary
// logarithms: frame i of N at from * (to / from)^(i / (N - 1)); keyframes
// one per doubling, the last exactly at `to`, the first at or below `from`.
struct FilmPlan {
    double log2From = 0, log2To = 0;
    int frames = 2;
    int keyframes = 1;

    // log2To >= log2From, frames >= 2.
    static FilmPlan of(double log2From, double log2To, int frames);

    double log2OfFrame(int frame) const;
    double log2OfKeyframe(int keyframe) const;
    // The keyframe at or below the frame's magnification.
    int keyframeOf(int frame) const;
    // Keyframe points across one frame pixel: 2 at the keyframe's own
    // magnification, down towards 1 just before the next keyframe's.
    double scaleOf(int frame) const;
    // Where the frame lies between its keyframe and the next: 0 .. 1.
    double shareOf(int frame) const;
};

// A rectangle of a keyframe's points: columns col .. col + cols - 1, rows
// row .. row + rows - 1, row 0 at the top.
struct KeyRect {
    int col = 0, row = 0, cols = 0, rows = 0;
    std::int64_t points() const { return std::int64_t{cols} * rows; }
    bool operator==(const KeyRect&) const = default;
};

// The values of a keyframe's points: 2W x 2H for a W x H film, point
// (col, row) at offset (col - W, H - row) keyframe pixels from the centre,
// as a drawing with halfW = W, halfH = H places its points. The values are
// what the engine gave for the film's colouring: colour numbers, or encoded
// smooth counts.
class Keyframe {
public:
    Keyframe(int filmWidth, int filmHeight);

    int filmWidth() const { return filmW_; }
    int filmHeight() const { return filmH_; }
    int cols() const { return 2 * filmW_; }
    int rows() const { return 2 * filmH_; }
    Colour at(int col, int row) const { return values_[index(col, row)]; }
    Colour& at(int col, int row) { return values_[index(col, row)]; }
    const Colour* row(int r) const { return values_.data() + index(0, r); }
    KeyRect whole() const { return {0, 0, cols(), rows()}; }

private:
    std::size_t index(int col, int row) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(cols()) + static_cast<std::size_t>(col);
    }

    int filmW_, filmH_;
    std::vector<Colour> values_;
};

// The centre half each way of a keyframe of a W x H film (W and H even),
// which the next keyframe covers, and the ring around it, in four
// rectangles (the top and bottom bands across the whole width, the left
// and right sides between them).
KeyRect centreOf(int filmWidth, int filmHeight);
std::array<KeyRect, 4> ringOf(int filmWidth, int filmHeight);

// Fills keyframe k's centre from the next keyframe's points at even
// offsets, the same points of the plane.
void takeCentreFrom(Keyframe& k, const Keyframe& next);

// The drawing of a rectangle of a keyframe: a setup whose points are the
// rectangle's (rounded up to whole rows and columns about its own centre)
// and where its point (0, 0) lies from the keyframe's centre, in keyframe
// pixels (x to the right, y up).
struct RectDrawing {
    DrawingSetup setup;
    int offsetX = 0, offsetY = 0;
};
// `keyframe` is the setup of the whole keyframe (halfW = W, halfH = H); the
// rectangle's setup has its centre moved in doubles (a deep engine moves
// its own by offsetX and offsetY).
RectDrawing rectDrawingOf(const DrawingSetup& keyframe, const KeyRect& rect);

// Draws the rectangle with an engine that has nothing else running: its
// rows by startDrawing and awaitRow, each point's value (the colour of the
// setup's colouring, or for the smooth colouring its encoded count) into
// `into`. False when `keepGoing` stopped it. `rowDone` (when given) after
// each row with the points it brought.
bool drawRect(RowEngine& engine, const RectDrawing& drawing, const KeyRect& rect, Keyframe& into,
              const KeepAlive& keepGoing, const std::function<void(std::int64_t)>& rowDone = {});

// Points a keyframe's rectangle costs as drawRect draws it (with its
// rounding up).
std::int64_t pointsOfDrawing(const KeyRect& rect);

// A keyframe's points `step` apart each way about its centre, a drawing's
// rows in order: what its range of smooth counts is found from. The grid
// of those points alone, drawn without the keyframe, is sampleGridOf the
// keyframe's setup.
std::vector<Colour> sampleOf(const Keyframe& k, int step);
DrawingSetup sampleGridOf(const DrawingSetup& keyframe, int step);

// What making a film asks of its caller.
struct FilmHooks {
    // Draws rectangle `rect` of keyframe `keyframe` into `into`; false to stop.
    std::function<bool(int keyframe, const KeyRect& rect, Keyframe& into)> drawRect;
    // Keyframe `keyframe` is complete (its centre in).
    std::function<void(int keyframe, const Keyframe&)> keyframeDone;
    // Frame `frame` from its keyframe and the next (none past the last);
    // false to stop.
    std::function<bool(int frame, const Keyframe& key, const Keyframe* next)> frame;
};

enum class FilmOutcome { Finished, Stopped };

// Computes the keyframes of `plan` for a W x H film in blocks of `block`
// doublings (deepest first within a block) and hands on every frame in
// order. Holds at most block + 1 keyframes.
FilmOutcome makeFilm(const FilmPlan& plan, int filmWidth, int filmHeight, int block, const FilmHooks& hooks);

// The points makeFilm has computed for a plan, the rectangles' rounding
// included.
std::int64_t filmPoints(const FilmPlan& plan, int filmWidth, int filmHeight, int block);

// Colour numbers for a run of keyframe values; called from two threads at
// once, on different runs.
using ValueColours = std::function<void(const Colour* values, std::size_t n, std::uint32_t* colours)>;

// Makes frames from keyframes on two threads; keeps its scratch rows from
// frame to frame.
class FrameMaker {
public:
    FrameMaker(int filmWidth, int filmHeight);
    // The W x H frame at `scale` keyframe points a pixel (FilmPlan::scaleOf)
    // from keyframe `key`, the centre from `next` when there is one; colour
    // numbers into `out`, top row first.
    void make(const Keyframe& key, const Keyframe* next, double scale, const ValueColours& colours,
              std::uint32_t* out);

private:
    struct Scratch;
    int filmW_, filmH_;
    std::shared_ptr<Scratch> scratch_;
};

}  // namespace qel
