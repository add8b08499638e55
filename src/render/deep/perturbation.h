// One point of a deep drawing by perturbation: the point's orbit z is held
// as a reference value Z (a double of a reference orbit computed at full
// precision) plus the point's own difference d, and only d is iterated, in
// double precision:
//
//     d' = (2 Z + d) d + dc      (dc = the point's offset from the centre;
//                                 0 for a Julia set, whose constant is fixed)
//
// When the full value Z + d becomes smaller than d, or the reference orbit
// ends, the point continues from the start of the orbit of 0 with its full
// value as the difference (rebasing): its difference then never loses the
// bits that tell it from its neighbours, so one reference serves every point
// and no point needs to be detected and redone.
//
// Differences smaller than a double's exponent range reaches (views beyond a
// magnification of about 1e300, or orbits passing very close to 0) are held
// with a separate exponent until they grow back into range.
//
// Escape test, counter, last move and period are those of computePoint,
// taken from the full value as a double, so the result colours like any
// other. The period ring is the point's own, cleared for every point.
#pragma once

#include <atomic>
#include <cstdint>

#include "render/deep/reference.h"
#include "render/orbit.h"

namespace qel {

// Counts what a point's orbit took, for the benchmarks.
struct DeepPointStats {
    std::int64_t steps = 0;          // steps iterated one by one
    std::int64_t skipped = 0;        // steps taken by linear blocks
    std::int64_t blocks = 0;         // linear blocks taken
    std::int64_t cycled = 0;         // steps left out as repeated rounds
    std::int64_t rebases = 0;
    std::int64_t extendedSteps = 0;  // steps with the separate exponent

    // Sums stop at the largest count: the rounds left out of a drawing's
    // interior points at m = 10^15 add up to more than 2^63.
    DeepPointStats& operator+=(const DeepPointStats& s) {
        const auto add = [](std::int64_t& to, std::int64_t more) {
            if (__builtin_add_overflow(to, more, &to)) to = INT64_MAX;
        };
        add(steps, s.steps);
        add(skipped, s.skipped);
        add(blocks, s.blocks);
        add(cycled, s.cycled);
        add(rebases, s.rebases);
        add(extendedSteps, s.extendedSteps);
        return *this;
    }
};

// The two ways of leaving steps out.
struct DeepSkipping {
    // Ranges of the orbit stepped over by the reference's linear blocks,
    // where they hold (the reference must have been built with them).
    bool blocks = true;
    // Rounds of an orbit that comes back to a state it had (the same index
    // on the same reference orbit, the same difference to the last bit):
    // everything in between repeats bit for bit, so the result is exactly
    // that of every step. An interior point caught by an attracting cycle
    // gets there within a few of its rounds and stops early.
    bool rounds = true;
};

// The point at pixel offsets (x, y), one of the grid's the reference was
// built for (the blocks hold for the offsets of that grid). Returns false
// (result unusable) when `stop` turned true on the way; it is looked at
// every few thousand steps.
bool deepPoint(const DeepReference& ref, int x, int y, DeepSkipping skipping, OrbitResult& result,
               const std::atomic<bool>* stop = nullptr, DeepPointStats* stats = nullptr);

}  // namespace qel
