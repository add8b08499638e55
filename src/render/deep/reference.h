// The reference orbits of a deep drawing, computed once per drawing at the
// view's precision and kept as doubles, and the tables of linear steps
// that let a point skip ranges of its orbit.
//
// Every point iterates only its difference from a reference orbit (see
// perturbation.h). A Mandelbrot drawing has one reference: the orbit of 0
// under z*z + centre, whose value at index 1 is the centre itself. A Julia
// drawing has two: the orbit of the centre, where its points start, and the
// orbit of 0 under z*z + constant, which points continue from once they
// come closer to 0 than to the reference (0 is where the orbits of nearby
// points draw apart, and the orbit of 0 is known at full precision).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "render/deep/deep_view.h"
#include "render/deep/ext_float.h"

namespace qel {

struct OrbitValue {
    double re = 0.0, im = 0.0;
};

// A block of steps of the orbit taken as one linear step: a point's
// difference d from the reference at the block's first index becomes
// a * d + b * dc at its end, as long as |d| < the block's radius; beyond
// that the squares the steps leave out would show.
struct LinearStep {
    double aRe = 0.0, aIm = 0.0, bRe = 0.0, bIm = 0.0;
};

class ReferenceOrbit {
public:
    // Values 0..size()-1; the orbit ends after the first value with
    // |z|^2 > 4, at the longest length asked for, or where it comes back
    // exactly (at full precision) to a value it had: then it runs round
    // that cycle for ever, and only one round is kept.
    std::int64_t size() const { return static_cast<std::int64_t>(values_.size()); }
    // The cycle's length when the orbit runs round one, else 0: the last
    // value is then the one at size() - 1 - loopLength() again, and a point
    // reaching it goes on from there.
    std::int64_t loopLength() const { return loopLength_; }
    const OrbitValue* values() const { return values_.data(); }
    // The value at index k in full, also where it is too small for a double.
    ExtComplex extAt(std::int64_t k) const;

    // The longest block starting at index k that covers at most `room`
    // steps and holds for a difference of size below `size`, its length in
    // `length`; nullptr when none covers two steps or more. `guess`: the
    // length the point found at the origin last time, where it finds about
    // the same one again and again; updated. Inline, as it is asked at nearly
    // every step and most indices start no block.
    const LinearStep* skipAt(std::int64_t k, double size, std::int64_t room, std::int64_t& guess,
                             std::int64_t& length) const {
        const std::int64_t from = k - skipOrigin_;
        if (from == 0) return prefixSkip(size, room, guess, length);
        constexpr std::int64_t kShortest = std::int64_t{1} << kFirstLevel;
        if (from < 0 || (from & (kShortest - 1)) != 0) return nullptr;
        return treeSkip(from, size, room, length);
    }
    bool hasSkips() const { return !prefixLinear_.empty(); }
    // True when the orbit escaped or came back to a value before `length`
    // values, rather than being cut there.
    bool endsBefore(std::int64_t length) const;
    std::size_t bytes() const;

    // Builds the skip tables for differences of points whose dc is at most
    // `largestDc` (the constant part counts only when `withDc`). Blocks are
    // laid out from index `origin` on: 1 for an orbit of 0, whose first step
    // (from 0) is a square alone and never linear, so that a point starting
    // over at 0 finds the longest blocks right after that step.
    void buildSkips(bool withDc, double largestDc, std::int64_t origin);

private:
    friend class ReferenceBuilder;
    struct Tiny {
        std::int64_t index;
        ExtComplex value;
    };

    // From the origin, where every point starts and every start from 0
    // continues, blocks of every length: one takes a point to where its
    // difference has grown too large, or to the reference's next pass close
    // to 0.
    const LinearStep* prefixSkip(double size, std::int64_t room, std::int64_t& guess, std::int64_t& length) const;
    // Elsewhere blocks of 2^l steps, starting where k - origin is a multiple
    // of 2^l.
    const LinearStep* treeSkip(std::int64_t from, double size, std::int64_t room, std::int64_t& length) const;

    std::vector<OrbitValue> values_;
    std::int64_t loopLength_ = 0;
    std::vector<Tiny> tiny_;  // values below kTinyValue, by index
    // The blocks of the first j steps from the origin: every j up to
    // kDensePrefix, then every multiple of kSparsePrefix (a point that finds
    // a longer one goes on from its end with the tree's blocks, which are
    // aligned there), up to the first whose radius is 0 (all later ones are).
    // Entry i holds the length prefixLength(i).
    static constexpr std::int64_t kDensePrefix = std::int64_t{1} << 16;
    static constexpr std::int64_t kSparsePrefix = 64;
    static std::int64_t prefixLength(std::int64_t i) {
        return i < kDensePrefix ? i + 1 : kDensePrefix + (i + 1 - kDensePrefix) * kSparsePrefix;
    }
    // The last entry no longer than `length` steps (-1: none).
    static std::int64_t prefixEntry(std::int64_t length) {
        return length <= kDensePrefix ? length - 1 : kDensePrefix - 1 + (length - kDensePrefix) / kSparsePrefix;
    }
    std::vector<double> prefixRadius_;
    std::vector<LinearStep> prefixLinear_;
    // Blocks of 2 and 4 steps would take three quarters of the tables' memory
    // for little: a block costs about two plain steps.
    static constexpr int kFirstLevel = 3;
    // Level l (l >= kFirstLevel): blocks of 2^l steps, at levelStart_[l] ..
    // levelStart_[l + 1] - 1; the levels below are empty. The radii of every
    // level lie in one array, apart from the steps, so that looking for a
    // block reads few cache lines.
    std::vector<double> radius_;
    std::vector<LinearStep> linear_;
    std::vector<std::size_t> levelStart_;
    std::int64_t skipOrigin_ = 0;
};

// Everything the points of one deep drawing share.
struct DeepReference {
    bool julia = false;
    std::int64_t stopCount = 0;  // the counter value at which interior points stop
    ExtFloat pixelSize;
    long precisionBits = 64;
    ReferenceOrbit critical;     // the orbit of 0
    ReferenceOrbit centre;       // Julia only: the orbit of the centre

    // The orbit a point starts on, and the index of its first value there.
    const ReferenceOrbit& startOrbit() const { return julia ? centre : critical; }
    std::int64_t startIndex() const { return julia ? 0 : 1; }
    std::size_t bytes() const { return critical.bytes() + centre.bytes(); }
};

// Computes the reference orbits of a view for the points of `grid`, with
// skip tables when `withBlocks`. Nothing when `stop` turned true on the way.
// An orbit is cut where its values would take more than a drawing may of
// the memory available now (deepDrawingFits); points that outlast a cut
// orbit continue from its start with their full value as the difference,
// a fallback that keeps a drawing alive, where the program itself refuses
// the drawing before it starts.
std::shared_ptr<const DeepReference> buildReference(const DeepView& view, const DeepGrid& grid, bool withBlocks,
                                                    const std::atomic<bool>* stop = nullptr);

// Memory. A drawing's reference orbits hold at most m + 3 values each (one
// orbit for the Mandelbrot set, two for a Julia set) with their skip tables:
// 16 bytes a value, the tree of blocks at most 10, the sparse part of the
// prefix table at most 40 / 64, and its dense part at most 2.6 MB. A
// drawing may take three quarters of the memory available when it starts;
// the rest is left to the program's pictures and to everything else the
// machine runs.
std::uint64_t deepDrawingBytesAtMost(double maxIter, bool julia);
bool deepDrawingFits(double maxIter, bool julia, std::uint64_t availableBytes);
// The largest iteration limit whose drawing fits.
double mostIterationsFitting(bool julia, std::uint64_t availableBytes);
// A drawing beyond that limit fits all the same when its reference orbits
// end early: they escape or come back to a value they had (as at a
// minibrot's nucleus) within the first kReferenceProbe values, and within
// what fits. True when they do; iterates them in MPFR without keeping them.
inline constexpr std::int64_t kReferenceProbe = std::int64_t{1} << 16;
bool referencesEndEarly(const DeepView& view, std::uint64_t availableBytes);
// What the system can give now without swapping: MemAvailable from
// /proc/meminfo, else the free pages.
std::uint64_t availableMemoryBytes();

}  // namespace qel
