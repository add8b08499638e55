#include "render/deep/reference.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "render/engine_kernel.h"

namespace qel {
namespace {

// Orbit values whose larger part is below this are kept in full besides
// their double: a double holds them with too few bits, or not at all.
const double kTinyValue = std::ldexp(1.0, -1000);

// A linear step leaves out the square of the difference; it is taken only
// where that square is below this fraction of the step's linear part, which
// is the rounding the step's own arithmetic has.
const double kSkipTolerance = std::ldexp(1.0, -53);

// A linear step and the radius within which it holds.
struct SkipBlock {
    LinearStep step;
    double radius = 0.0;
};

SkipBlock singleStep(const OrbitValue& z, bool withDc) {
    SkipBlock s;
    s.step.aRe = 2.0 * z.re;
    s.step.aIm = 2.0 * z.im;
    s.step.bRe = withDc ? 1.0 : 0.0;
    s.radius = kSkipTolerance * std::hypot(z.re, z.im);
    return s;
}

// Block x followed by block y.
SkipBlock merged(const SkipBlock& bx, const SkipBlock& by, double largestDc) {
    const LinearStep& x = bx.step;
    const LinearStep& y = by.step;
    SkipBlock m;
    m.step.aRe = y.aRe * x.aRe - y.aIm * x.aIm;
    m.step.aIm = y.aRe * x.aIm + y.aIm * x.aRe;
    m.step.bRe = y.aRe * x.bRe - y.aIm * x.bIm + y.bRe;
    m.step.bIm = y.aRe * x.bIm + y.aIm * x.bRe + y.bIm;
    // y holds while |a_x d + b_x dc| < radius_y.
    const double ax = std::hypot(x.aRe, x.aIm);
    const double through = ax > 0.0 ? (by.radius - std::hypot(x.bRe, x.bIm) * largestDc) / ax : 0.0;
    m.radius = std::min(bx.radius, std::max(0.0, through));
    const bool finite = std::isfinite(m.step.aRe) && std::isfinite(m.step.aIm) && std::isfinite(m.step.bRe) &&
                        std::isfinite(m.step.bIm) && std::isfinite(m.radius);
    if (!finite) m = SkipBlock{};
    return m;
}

ExtComplex extOf(mpfr_srcptr re, mpfr_srcptr im) {
    long eRe = 0, eIm = 0;
    const double mRe = mpfr_get_d_2exp(&eRe, re, MPFR_RNDN);
    const double mIm = mpfr_get_d_2exp(&eIm, im, MPFR_RNDN);
    return ExtComplex::of(ExtFloat::normalised(mRe, eRe), ExtFloat::normalised(mIm, eIm));
}

}  // namespace

// Iterates z -> z*z + c in MPFR and keeps every value, until the orbit
// escapes, reaches its length or comes back to a value it had. That is
// found as Brent finds a cycle: the value at origin + 1, 2, 4, 8 ... is
// kept and every later one compared with it, so a cycle of length q is
// found within about q steps after the kept value has reached it, and the
// value the orbit comes back to is the first of a block at every level up
// to that power of two (blocks are laid out from the origin).
class ReferenceBuilder {
public:
    explicit ReferenceBuilder(long bits)
        : zRe_(bits), zIm_(bits), cRe_(bits), cIm_(bits), sq_(bits), t_(bits), keptRe_(bits), keptIm_(bits) {}

    bool compute(ReferenceOrbit& out, const BigReal& z0Re, const BigReal& z0Im, const BigReal& cRe,
                 const BigReal& cIm, std::int64_t length, std::int64_t origin, const std::atomic<bool>* stop) {
        mpfr_set(zRe_.get(), z0Re.get(), MPFR_RNDN);
        mpfr_set(zIm_.get(), z0Im.get(), MPFR_RNDN);
        mpfr_set(cRe_.get(), cRe.get(), MPFR_RNDN);
        mpfr_set(cIm_.get(), cIm.get(), MPFR_RNDN);
        out.values_.clear();
        out.loopLength_ = 0;
        out.tiny_.clear();
        out.radius_.clear();
        out.prefixRadius_.clear();
        out.prefixLinear_.clear();
        out.linear_.clear();
        out.levelStart_.clear();
        out.values_.reserve(static_cast<std::size_t>(std::min<std::int64_t>(length, 1 << 16)));
        std::int64_t keptAt = -1, nextKept = origin + 1;
        for (std::int64_t k = 0; k < length; ++k) {
            if ((k & 255) == 255 && stop && stop->load(std::memory_order_relaxed)) return false;
            const OrbitValue v{mpfr_get_d(zRe_.get(), MPFR_RNDN), mpfr_get_d(zIm_.get(), MPFR_RNDN)};
            out.values_.push_back(v);
            if (std::max(std::fabs(v.re), std::fabs(v.im)) < kTinyValue)
                out.tiny_.push_back({k, extOf(zRe_.get(), zIm_.get())});
            if (v.re * v.re + v.im * v.im > 4.0) break;
            if (keptAt >= 0 && mpfr_equal_p(zRe_.get(), keptRe_.get()) && mpfr_equal_p(zIm_.get(), keptIm_.get())) {
                out.loopLength_ = k - keptAt;
                break;
            }
            if (k == nextKept) {
                mpfr_set(keptRe_.get(), zRe_.get(), MPFR_RNDN);
                mpfr_set(keptIm_.get(), zIm_.get(), MPFR_RNDN);
                keptAt = k;
                nextKept = origin + 2 * (k - origin);
            }
            squarePlus(zRe_, zIm_, cRe_, cIm_, sq_, t_);
        }
        out.values_.shrink_to_fit();
        return true;
    }

private:
    BigReal zRe_, zIm_, cRe_, cIm_, sq_, t_, keptRe_, keptIm_;
};

ExtComplex ReferenceOrbit::extAt(std::int64_t k) const {
    const OrbitValue& v = values_[static_cast<std::size_t>(k)];
    if (std::max(std::fabs(v.re), std::fabs(v.im)) >= kTinyValue) return ExtComplex::ofNormal(v.re, v.im);
    const auto it = std::lower_bound(tiny_.begin(), tiny_.end(), k,
                                     [](const Tiny& t, std::int64_t index) { return t.index < index; });
    return it != tiny_.end() && it->index == k ? it->value : ExtComplex::of(v.re, v.im);
}

// The radii shrink with the length. The search gallops away from the guess
// and then halves the gap: two looks when the guess is right, and only
// table entries near it are read.
const LinearStep* ReferenceOrbit::prefixSkip(double size, std::int64_t room, std::int64_t& guess,
                                             std::int64_t& length) const {
    const std::int64_t most = std::min(room, static_cast<std::int64_t>(prefixRadius_.size()));
    const auto holds = [&](std::int64_t j) { return size < prefixRadius_[static_cast<std::size_t>(j - 1)]; };
    if (most < 2) return nullptr;
    // Blocks of `good` steps hold, of `bad` steps not (or they are too long).
    std::int64_t good = 0, bad = 0, step = 1;
    const std::int64_t from = std::clamp<std::int64_t>(guess, 2, most);
    if (holds(from)) {
        good = from;
        while (good + step <= most && holds(good + step)) {
            good += step;
            step *= 2;
        }
        bad = std::min(good + step, most + 1);
    } else {
        bad = from;
        while (bad - step >= 2 && !holds(bad - step)) {
            bad -= step;
            step *= 2;
        }
        good = bad - step;
        if (good < 2) {
            if (!holds(2)) return nullptr;
            good = 2;
        }
    }
    while (bad - good > 1) {
        const std::int64_t middle = good + (bad - good) / 2;
        (holds(middle) ? good : bad) = middle;
    }
    length = guess = good;
    return &prefixLinear_[static_cast<std::size_t>(good - 1)];
}

// The levels' radii shrink with the length too: the first that does not
// hold ends the search.
const LinearStep* ReferenceOrbit::treeSkip(std::int64_t from, double size, std::int64_t room,
                                           std::int64_t& length) const {
    const int aligned = std::countr_zero(static_cast<std::uint64_t>(from));
    const int top = std::min(aligned, static_cast<int>(levelStart_.size()) - 2);
    const LinearStep* best = nullptr;
    for (int l = kFirstLevel; l <= top && (std::int64_t{1} << l) <= room; ++l) {
        const std::size_t i = levelStart_[static_cast<std::size_t>(l)] + static_cast<std::size_t>(from >> l);
        if (i >= levelStart_[static_cast<std::size_t>(l) + 1] || !(size < radius_[i])) break;
        best = &linear_[i];
        length = std::int64_t{1} << l;
    }
    return best;
}

void ReferenceOrbit::buildSkips(bool withDc, double largestDc, std::int64_t origin) {
    radius_.clear();
    linear_.clear();
    levelStart_.assign(2, 0);
    skipOrigin_ = origin;
    // Step j leads from value j to value j + 1. Blocks end before the last
    // value, which may be the one that escapes: a point reaches it with a
    // step of its own, and its escape test. The last value of an orbit that
    // runs round a cycle is only its loop's first again: blocks may end there.
    const std::int64_t steps = size() - (loopLength_ > 0 ? 1 : 2) - origin;
    const auto first = static_cast<std::size_t>(origin);
    const auto stored = static_cast<std::size_t>(std::max<std::int64_t>(steps, 0) >> (kFirstLevel - 1));
    radius_.reserve(stored);
    linear_.reserve(stored);
    prefixRadius_.clear();
    prefixLinear_.clear();
    prefixRadius_.reserve(static_cast<std::size_t>(std::max<std::int64_t>(steps, 0)));
    prefixLinear_.reserve(static_cast<std::size_t>(std::max<std::int64_t>(steps, 0)));
    SkipBlock prefix;
    for (std::int64_t j = 0; j < steps; ++j) {
        const SkipBlock step = singleStep(values_[first + static_cast<std::size_t>(j)], withDc);
        prefix = j == 0 ? step : merged(prefix, step, largestDc);
        prefixRadius_.push_back(prefix.radius);
        prefixLinear_.push_back(prefix.step);
    }
    std::vector<SkipBlock> below, level;
    for (int l = 1; steps > 0 && (steps >> l) > 0; ++l) {
        level.resize(static_cast<std::size_t>(steps >> l));
        for (std::size_t i = 0; i < level.size(); ++i) {
            if (l == 1)
                level[i] = merged(singleStep(values_[first + 2 * i], withDc),
                                  singleStep(values_[first + 2 * i + 1], withDc), largestDc);
            else
                level[i] = merged(below[2 * i], below[2 * i + 1], largestDc);
            if (l < kFirstLevel) continue;
            radius_.push_back(level[i].radius);
            linear_.push_back(level[i].step);
        }
        levelStart_.push_back(linear_.size());
        std::swap(below, level);
    }
}

std::size_t ReferenceOrbit::bytes() const {
    return values_.capacity() * sizeof(OrbitValue) + tiny_.capacity() * sizeof(Tiny) +
           (radius_.capacity() + prefixRadius_.capacity()) * sizeof(double) +
           (linear_.capacity() + prefixLinear_.capacity()) * sizeof(LinearStep) +
           levelStart_.capacity() * sizeof(std::size_t);
}

std::shared_ptr<const DeepReference> buildReference(const DeepView& view, const DeepGrid& grid, bool withBlocks,
                                                    const std::atomic<bool>* stop) {
    auto ref = std::make_shared<DeepReference>();
    ref->julia = view.julia;
    ref->stopCount = interiorStopCount(view.maxIter);
    ref->pixelSize = view.pixelSize;
    ref->precisionBits = precisionBitsFor(view.pixelSize);
    // A point takes at most stopCount + 1 steps from index 1 (or 0): m + 3
    // values cover any point.
    const std::int64_t length = std::min(ref->stopCount + 3, kLongestReference);

    ReferenceBuilder builder(ref->precisionBits);
    const BigReal zero(ref->precisionBits);
    const BigReal& cRe = view.julia ? view.juliaRe : view.centreRe;
    const BigReal& cIm = view.julia ? view.juliaIm : view.centreIm;
    if (!builder.compute(ref->critical, zero, zero, cRe, cIm, length, 1, stop)) return nullptr;
    if (view.julia && !builder.compute(ref->centre, view.centreRe, view.centreIm, cRe, cIm, length, 0, stop))
        return nullptr;
    if (withBlocks) {
        const double largestDc = view.pixelSize.toDouble() * std::hypot(grid.halfW, grid.halfH);
        ref->critical.buildSkips(!view.julia, largestDc, 1);
        if (view.julia) ref->centre.buildSkips(false, largestDc, 0);
    }
    return ref;
}

}  // namespace qel
