// Zoom films from keyframes: where each frame lands among the keyframes and
// at what scale, that a keyframe made of its ring and the next keyframe's
// centre is the keyframe drawn whole, the order and bounded memory of
// making a film, and the frames resampled from keyframes.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "render/row_engine.h"
#include "render/smooth_colouring.h"
#include "render/zoom_film.h"

namespace qel {
namespace {

TEST(FilmPlan, FramesLandOnTheKeyframeAtOrBelowThemAtAScaleFromTwoToOne) {
    struct Case {
        double from, to;
        int frames;
    };
    for (const Case c : {Case{0, 20, 200}, Case{0, std::log2(1e20), 1800}, Case{-1.5, 7.25, 31}, Case{3, 3.5, 9},
                         Case{0, 66, 60}}) {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.to << ", " << c.frames << " frames");
        const FilmPlan plan = FilmPlan::of(c.from, c.to, c.frames);
        EXPECT_DOUBLE_EQ(plan.log2OfFrame(0), c.from);
        EXPECT_EQ(plan.log2OfFrame(c.frames - 1), c.to);  // the last frame is exactly the view
        EXPECT_EQ(plan.log2OfKeyframe(plan.keyframes - 1), c.to);
        EXPECT_LE(plan.log2OfKeyframe(0), c.from + 1e-9);
        EXPECT_GT(plan.log2OfKeyframe(0), c.from - 1);  // no keyframe more than needed
        int previous = 0;
        for (int i = 0; i < c.frames; ++i) {
            const int k = plan.keyframeOf(i);
            const double log2 = plan.log2OfFrame(i);
            EXPECT_LE(plan.log2OfKeyframe(k), log2 + 1e-9) << "frame " << i;
            if (k + 1 < plan.keyframes) {
                EXPECT_LT(log2, plan.log2OfKeyframe(k + 1) - 1e-12) << "frame " << i;
            }
            EXPECT_GE(k, previous);
            previous = k;
            // Keyframe points across a frame pixel: 2 at the keyframe's
            // magnification, falling towards 1 at the next one's, so that a
            // frame never reaches beyond its keyframe (2W points wide).
            const double scale = plan.scaleOf(i);
            EXPECT_NEAR(scale, 2 * std::exp2(plan.log2OfKeyframe(k) - log2), 1e-9) << "frame " << i;
            EXPECT_GT(scale, 1.0 - 1e-12);
            EXPECT_LE(scale, 2.0 + 1e-12);
        }
        EXPECT_EQ(plan.keyframeOf(c.frames - 1), plan.keyframes - 1);
        EXPECT_DOUBLE_EQ(plan.scaleOf(c.frames - 1), 2.0);
    }
    // One keyframe per doubling: 1 to 1E20 is 66.4 doublings.
    EXPECT_EQ(FilmPlan::of(0, std::log2(1e20), 1800).keyframes, 68);
    EXPECT_EQ(FilmPlan::of(0, 3, 10).keyframes, 4);
    EXPECT_EQ(FilmPlan::of(2, 2, 10).keyframes, 1);
}

TEST(FilmFrames, AFramesCentreAndEdgesLandWhereItsScaleSays) {
    // Each keyframe point holds its own column and row; a frame at scale 2
    // without a next keyframe is exactly the keyframe's even points, its
    // centre pixel the keyframe's centre point.
    const int w = 40, h = 30;
    Keyframe k(w, h);
    for (int r = 0; r < k.rows(); ++r)
        for (int c = 0; c < k.cols(); ++c) k.at(c, r) = c | r << 8;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w * h));
    const ValueColours same = [](const Colour* v, std::size_t n, std::uint32_t* colours) {
        for (std::size_t i = 0; i < n; ++i) colours[i] = static_cast<std::uint32_t>(v[i]);
    };
    FrameMaker maker(w, h);
    maker.make(k, nullptr, 2.0, same, out.data());
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px)
            ASSERT_EQ(out[static_cast<std::size_t>(py * w + px)], static_cast<std::uint32_t>(2 * px | 2 * py << 8))
                << px << "," << py;
    EXPECT_EQ(out[static_cast<std::size_t>(h / 2 * w + w / 2)], static_cast<std::uint32_t>(w | h << 8));
}

TEST(FilmFrames, TheNextKeyframeIsBlendedIntoTheCentreOnly) {
    const int w = 64, h = 48;
    Keyframe key(w, h), next(w, h);
    std::fill_n(&key.at(0, 0), key.cols() * key.rows(), 0x0000FF);    // red
    std::fill_n(&next.at(0, 0), next.cols() * next.rows(), 0xFF0000);  // blue
    const ValueColours same = [](const Colour* v, std::size_t n, std::uint32_t* colours) {
        for (std::size_t i = 0; i < n; ++i) colours[i] = static_cast<std::uint32_t>(v[i]);
    };
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w * h));
    FrameMaker maker(w, h);
    maker.make(key, &next, 2.0, same, out.data());
    // At scale 2 the frame covers the whole keyframe: the next keyframe's
    // half in the middle, the keyframe's own ring outside it.
    EXPECT_EQ(out[static_cast<std::size_t>(h / 2 * w + w / 2)], 0xFF0000u);
    EXPECT_EQ(out[0], 0x0000FFu);
    EXPECT_EQ(out[static_cast<std::size_t>(h * w - 1)], 0x0000FFu);
    EXPECT_EQ(out[static_cast<std::size_t>(h / 2 * w + 2)], 0x0000FFu);  // left of the centre half
    // Close to the next magnification the whole frame lies in the centre:
    // all of it from the next keyframe but for the margin where the two
    // are blended (a sixteenth of the height).
    maker.make(key, &next, 1.0 + 1e-9, same, out.data());
    const int margin = h / 16 + 1;
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            const std::uint32_t p = out[static_cast<std::size_t>(py * w + px)];
            if (std::min({px, py, w - 1 - px, h - 1 - py}) >= margin)
                ASSERT_EQ(p, 0xFF0000u) << px << "," << py;
            else
                ASSERT_NE(p & 0xFF0000u, 0u) << px << "," << py;  // blue in it, if not only blue
        }
    // Where both keyframes show one colour, every frame shows it exactly,
    // through the blend, the tent and the interpolation alike.
    std::fill_n(&key.at(0, 0), key.cols() * key.rows(), 0x336699);
    std::fill_n(&next.at(0, 0), next.cols() * next.rows(), 0x336699);
    for (const double scale : {2.0, 1.7, 1.25, 1.01}) {
        maker.make(key, &next, scale, same, out.data());
        for (std::uint32_t p : out) ASSERT_EQ(p, 0x336699u) << "scale " << scale;
    }
    // The colours callback decides the colours: values pass through it.
    maker.make(key, &next, 1.5, [](const Colour*, std::size_t n, std::uint32_t* colours) {
        std::fill_n(colours, n, 0x00FF00u);
    }, out.data());
    for (std::uint32_t p : out) ASSERT_EQ(p, 0x00FF00u);
}

TEST(KeyframeRects, TheRingAndTheCentreCoverEveryPointOnce) {
    for (const auto& [w, h] : {std::pair{1280, 720}, std::pair{800, 600}, std::pair{18, 14}, std::pair{2, 2}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        std::vector<int> covered(static_cast<std::size_t>(4 * w * h), 0);
        const std::array<KeyRect, 4> ring = ringOf(w, h);
        std::vector<KeyRect> rects(ring.begin(), ring.end());
        rects.push_back(centreOf(w, h));
        for (const KeyRect& r : rects)
            for (int row = r.row; row < r.row + r.rows; ++row)
                for (int col = r.col; col < r.col + r.cols; ++col)
                    ++covered[static_cast<std::size_t>(row * 2 * w + col)];
        for (int n : covered) ASSERT_EQ(n, 1);
        EXPECT_EQ(centreOf(w, h).points() * 4, std::int64_t{4} * w * h);
    }
}

// A small view whose every coordinate is a sum of powers of two, so that a
// rectangle's moved centre and the whole keyframe's points are the same
// doubles.
DrawingSetup keyframeSetup(int w, int h, double pixelSize, int colourings) {
    DrawingSetup d;
    d.orbit.centerX = -0.75;
    d.orbit.centerY = 0.125;
    d.orbit.pixelSize = pixelSize;
    d.orbit.maxIter = 400;
    d.halfW = w;
    d.halfH = h;
    d.colourings = colourings;
    return d;
}

Keyframe drawnWhole(const DrawingSetup& setup, int w, int h) {
    Keyframe k(w, h);
    ReferenceRowEngine engine;
    EXPECT_TRUE(drawRect(engine, rectDrawingOf(setup, k.whole()), k.whole(), k, [] { return true; }));
    return k;
}

TEST(KeyframeRects, ARingWithTheNextKeyframesCentreIsTheKeyframeDrawnWhole) {
    for (const int colourings : {kSmoothCounts, 1, 4}) {
        for (const auto& [w, h] : {std::pair{24, 16}, std::pair{22, 14}}) {
            SCOPED_TRACE(testing::Message() << "colouring " << colourings << ", " << w << "x" << h);
            const DrawingSetup setup = keyframeSetup(w, h, 1.0 / 64, colourings);
            DrawingSetup finer = setup;
            finer.orbit.pixelSize /= 2;
            const Keyframe whole = drawnWhole(setup, w, h);
            const Keyframe next = drawnWhole(finer, w, h);
            Keyframe ringed(w, h);
            ReferenceRowEngine engine;
            std::int64_t points = 0;
            for (const KeyRect& r : ringOf(w, h)) {
                ASSERT_TRUE(drawRect(engine, rectDrawingOf(setup, r), r, ringed, [] { return true; },
                                     [&](std::int64_t n) { points += n; }));
            }
            EXPECT_EQ(points, pointsOfDrawing(ringOf(w, h)[0]) + pointsOfDrawing(ringOf(w, h)[1]) +
                                  pointsOfDrawing(ringOf(w, h)[2]) + pointsOfDrawing(ringOf(w, h)[3]));
            takeCentreFrom(ringed, next);
            int differing = 0;
            for (int r = 0; r < whole.rows(); ++r)
                for (int c = 0; c < whole.cols(); ++c) differing += ringed.at(c, r) != whole.at(c, r);
            EXPECT_EQ(differing, 0);
        }
    }
    // The picture is no constant: the check above compares something.
    const Keyframe k = drawnWhole(keyframeSetup(24, 16, 1.0 / 64, kSmoothCounts), 24, 16);
    EXPECT_NE(k.at(0, 0), k.at(24, 16));
}

TEST(KeyframeRects, TheSampleOfAKeyframeIsItsSampleGridDrawnAlone) {
    const int w = 32, h = 24;
    const DrawingSetup setup = keyframeSetup(w, h, 1.0 / 64, kSmoothCounts);
    const Keyframe k = drawnWhole(setup, w, h);
    const DrawingSetup grid = sampleGridOf(setup, 4);
    Keyframe alone(grid.halfW, grid.halfH);
    ReferenceRowEngine engine;
    ASSERT_TRUE(drawRect(engine, rectDrawingOf(grid, alone.whole()), alone.whole(), alone, [] { return true; }));
    const std::vector<Colour> sample = sampleOf(k, 4);
    ASSERT_EQ(sample.size(), static_cast<std::size_t>(alone.cols() * alone.rows()));
    std::size_t i = 0;
    for (int r = 0; r < alone.rows(); ++r)
        for (int c = 0; c < alone.cols(); ++c) ASSERT_EQ(sample[i++], alone.at(c, r)) << c << "," << r;
}

// Making a film with keyframes whose points name them: the order, the
// keyframes each frame gets, what is drawn and how much is held.
struct FilmRecord {
    std::vector<int> frames, keys, nexts;
    std::map<int, std::vector<KeyRect>> drawn;
    std::int64_t points = 0;
};

FilmHooks recordingHooks(FilmRecord& record, int stopAfterFrames = -1) {
    FilmHooks hooks;
    hooks.drawRect = [&record](int j, const KeyRect& rect, Keyframe& into) {
        record.drawn[j].push_back(rect);
        record.points += pointsOfDrawing(rect);
        for (int r = rect.row; r < rect.row + rect.rows; ++r)
            for (int c = rect.col; c < rect.col + rect.cols; ++c) into.at(c, r) = j;
        return true;
    };
    hooks.keyframeDone = [](int, const Keyframe&) {};
    hooks.frame = [&record, stopAfterFrames](int i, const Keyframe& key, const Keyframe* next) {
        record.frames.push_back(i);
        // The corner is the keyframe's own ring; the centre came from the next one.
        record.keys.push_back(key.at(0, 0));
        record.nexts.push_back(next ? next->at(0, 0) : -1);
        return stopAfterFrames < 0 || static_cast<int>(record.frames.size()) < stopAfterFrames;
    };
    return hooks;
}

TEST(MakingFilms, FramesComeInOrderFromTheirKeyframesWithABlockHeldAtATime) {
    const int w = 8, h = 6;
    for (const int block : {1, 3, 8}) {
        SCOPED_TRACE(testing::Message() << "block " << block);
        const FilmPlan plan = FilmPlan::of(0, 20.5, 300);
        FilmRecord record;
        int heldNow = 0, mostAtOnce = 0;
        FilmHooks hooks = recordingHooks(record);
        const auto done = hooks.keyframeDone;
        // Keyframes alive at once: made, and not yet past their last frame.
        std::set<int> alive;
        hooks.keyframeDone = [&](int j, const Keyframe& k) {
            done(j, k);
            alive.insert(j);
            heldNow = static_cast<int>(alive.size());
            mostAtOnce = std::max(mostAtOnce, heldNow);
        };
        const auto frame = hooks.frame;
        hooks.frame = [&](int i, const Keyframe& key, const Keyframe* next) {
            // Every keyframe below this frame's is no longer needed.
            alive.erase(alive.begin(), alive.lower_bound(plan.keyframeOf(i)));
            return frame(i, key, next);
        };
        ASSERT_EQ(makeFilm(plan, w, h, block, hooks), FilmOutcome::Finished);
        ASSERT_EQ(static_cast<int>(record.frames.size()), plan.frames);
        for (int i = 0; i < plan.frames; ++i) {
            ASSERT_EQ(record.frames[static_cast<std::size_t>(i)], i);
            const int k = plan.keyframeOf(i);
            EXPECT_EQ(record.keys[static_cast<std::size_t>(i)], k) << "frame " << i;
            EXPECT_EQ(record.nexts[static_cast<std::size_t>(i)], k + 1 < plan.keyframes ? k + 1 : -1) << "frame " << i;
        }
        // A block's keyframes, and the one whose last frames were just made
        // (dropped before the next block starts, which this cannot see):
        // never all of the film's.
        EXPECT_LE(mostAtOnce, block + 2);
        // Every keyframe drawn once: whole when it is a block's deepest (or
        // the last one), else its ring only.
        ASSERT_EQ(static_cast<int>(record.drawn.size()), plan.keyframes);
        int whole = 0;
        for (const auto& [j, rects] : record.drawn) {
            if (rects.size() == 1) {
                EXPECT_EQ(rects[0], (KeyRect{0, 0, 2 * w, 2 * h}));
                ++whole;
            } else {
                EXPECT_EQ(rects.size(), 4u);
            }
        }
        // One block for every `block` doublings.
        EXPECT_EQ(whole, (plan.keyframes - 1 + block - 1) / block);
        EXPECT_EQ(record.points, filmPoints(plan, w, h, block));
    }
}

TEST(MakingFilms, AStopEndsTheFilmAfterTheFrameThatAskedForIt) {
    const FilmPlan plan = FilmPlan::of(0, 12, 100);
    FilmRecord record;
    EXPECT_EQ(makeFilm(plan, 8, 6, 4, recordingHooks(record, 17)), FilmOutcome::Stopped);
    EXPECT_EQ(record.frames.size(), 17u);
    FilmRecord drawingStopped;
    FilmHooks hooks = recordingHooks(drawingStopped);
    hooks.drawRect = [](int, const KeyRect&, Keyframe&) { return false; };
    EXPECT_EQ(makeFilm(plan, 8, 6, 4, hooks), FilmOutcome::Stopped);
    EXPECT_TRUE(drawingStopped.frames.empty());
}

TEST(MakingFilms, AFilmOfManyFramesPerDoublingComputesFarFewerPointsThanItsFrames) {
    // 1 to 1E20 in 1800 frames of 1280 x 720: about 3 frames' points per
    // doubling against 27 frames.
    const FilmPlan plan = FilmPlan::of(0, std::log2(1e20), 1800);
    const std::int64_t points = filmPoints(plan, 1280, 720, 8);
    const std::int64_t frameByFrame = std::int64_t{1800} * 1280 * 720;
    EXPECT_LT(points * 8, frameByFrame);
    EXPECT_GT(points, std::int64_t{3} * 66 * 1280 * 720);
}

}  // namespace
}  // namespace qel
