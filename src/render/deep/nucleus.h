// Minibrots: the period of the one nearest a point, its nucleus (the centre
// c where the orbit of 0 returns to 0 after `period` steps) and its size.
//
// The orbits of full precision are computed in MPFR; what can be done in
// doubles is done by perturbation in numbers with a double mantissa and a
// separate exponent:
// - the period: the orbit of the point itself, with discs about its values
//   that bound the orbits of every point within a radius of it; the first
//   step whose disc holds 0 is the lowest period a nucleus in that radius
//   can have;
// - the nucleus: Newton's method on z_p(c) = 0, first by perturbation
//   against the point's own orbit, each step's z_p and dz_p/dc taken from
//   it, which brings the error down to about a double's rounding of the
//   distance; then steps in MPFR, z_p and dz_p/dc at full precision, each
//   doubling the bits that are right, until the correction is far below
//   the minibrot's size;
// - the size: from the orbit of the nucleus, the factor s with which the
//   minibrot near the nucleus is the whole set shrunk and turned: the point
//   w of the whole set lies at about nucleus + s w.
//
// All of it is stoppable and tells its progress. Plain C++ on MPFR.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

#include "render/deep/big_real.h"
#include "render/deep/ext_float.h"

namespace qel {

// A point of the plane at the precision of its parts.
struct BigComplex {
    BigReal re, im;
};

// Where a search stands.
struct NucleusProgress {
    enum class Stage { period, nucleus };
    Stage stage = Stage::period;
    std::int64_t step = 0;   // steps of the orbit being computed
    std::int64_t steps = 0;  // the most steps it takes
    std::int64_t period = 0; // the nucleus stage: its period
    int round = 0;           // the nucleus stage: the orbit of full precision, from 1
};

// A stop request, looked at every few hundred steps, and a hook told the
// progress every few thousand steps (on the searching thread).
struct NucleusControl {
    const std::atomic<bool>* stop = nullptr;
    std::function<void(const NucleusProgress&)> progress;

    bool stopped() const { return stop && stop->load(std::memory_order_relaxed); }
};

// The discs of the period search: the radius asked for, then 4 and 16
// times that, the smallest disc that holds a nucleus winning.
inline constexpr int kPeriodDiscs = 3;
inline constexpr double kPeriodDiscGrowth = 4.0;

struct PeriodFound {
    std::int64_t period = 0;
    ExtFloat radius;  // the disc it was found in
};

// The lowest period of a nucleus within `radius` of c, by the discs above:
// within the first disc if any, else the second, else the third. Looks at
// most `maxPeriod` steps far, and no further than the orbit of c stays
// within 2 of 0. Nothing when no disc holds one, or when stopped.
std::optional<PeriodFound> findPeriod(const BigComplex& c, ExtFloat radius, std::int64_t maxPeriod,
                                      const NucleusControl& control = {});

struct Nucleus {
    BigComplex c;             // at the precision it is known to
    std::int64_t period = 0;  // its own: the least n with z_n(c) = 0
    ExtComplex size;          // the whole set's point w lies at about c + size * w
};

// The nucleus of period `period` Newton's method reaches from `guess`, to
// within |size| * 2^-72 (and at a precision of at least log2(1 / |size|) +
// 80 bits), with its own period, which may divide `period`. Nothing when
// Newton's method goes further than `reach` from the guess (0: any
// distance), does not settle, or is stopped.
std::optional<Nucleus> nucleusOfPeriod(const BigComplex& guess, std::int64_t period, ExtFloat reach = {},
                                       const NucleusControl& control = {});

// The size of the minibrot of a nucleus, from its orbit at the nucleus's
// precision: 1 / (b l^2), l = the product of 2 z_n and b = 1 plus the sum
// of 1 / (2 z_1 ... 2 z_n) for n = 1 .. period - 1.
ExtComplex minibrotSize(const BigComplex& nucleus, std::int64_t period, const NucleusControl& control = {});

// The minibrot nearest c: the period by findPeriod, then its nucleus by
// Newton's method from c, which must lie within twice the radius of the
// disc that found the period; where it does not, the next disc's period is
// tried. Nothing when none leads to a nucleus, or when stopped.
std::optional<Nucleus> minibrotNear(const BigComplex& c, ExtFloat radius, std::int64_t maxPeriod,
                                    const NucleusControl& control = {});

}  // namespace qel
