#include "render/deep/reference.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>

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

// Bytes a value of an orbit takes at most, with its share of the skip
// tables (orbit 16, tree 10, sparse prefix 40 / 64, rounded up), and the
// dense part of the prefix table, once per orbit.
constexpr std::uint64_t kBytesPerValue = 27;
constexpr std::uint64_t kDensePrefixBytes = (std::uint64_t{1} << 16) * (sizeof(double) + sizeof(LinearStep));

// A drawing's share of the memory available.
std::uint64_t drawingShare(std::uint64_t availableBytes) { return availableBytes / 4 * 3; }

// The most values each of a drawing's orbits may hold in its share.
std::int64_t longestFitting(bool julia, std::uint64_t availableBytes) {
    const std::uint64_t orbits = julia ? 2 : 1;
    const std::uint64_t share = drawingShare(availableBytes) / orbits;
    if (share <= kDensePrefixBytes) return 0;
    return static_cast<std::int64_t>(std::min<std::uint64_t>((share - kDensePrefixBytes) / kBytesPerValue,
                                                             std::uint64_t{1} << 62));
}

}  // namespace

std::uint64_t deepDrawingBytesAtMost(double maxIter, bool julia) {
    const double values = static_cast<double>(interiorStopCount(maxIter)) + 3;
    const double bytes = (julia ? 2.0 : 1.0) * (values * kBytesPerValue + static_cast<double>(kDensePrefixBytes));
    return bytes >= 1.8e19 ? std::numeric_limits<std::uint64_t>::max() : static_cast<std::uint64_t>(bytes);
}

bool deepDrawingFits(double maxIter, bool julia, std::uint64_t availableBytes) {
    return deepDrawingBytesAtMost(maxIter, julia) <= drawingShare(availableBytes);
}

double mostIterationsFitting(bool julia, std::uint64_t availableBytes) {
    // The stop count m + 1, and three values more.
    return std::max(0.0, static_cast<double>(longestFitting(julia, availableBytes)) - 4);
}

std::uint64_t availableMemoryBytes() {
    if (std::FILE* f = std::fopen("/proc/meminfo", "r")) {
        char line[256];
        unsigned long long kib = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, f)) found = std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1;
        std::fclose(f);
        if (found) return static_cast<std::uint64_t>(kib) * 1024;
    }
    const long pages = sysconf(_SC_AVPHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) : 0;
}

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
        // Room for the first 2^20 values, then for the whole length at once:
        // growing by doubling would hold the old values and twice as many
        // new ones for a moment. Pages never written take no memory, and an
        // orbit that ends early gives the rest back below.
        constexpr std::int64_t kFirstRoom = std::int64_t{1} << 20;
        out.values_.reserve(static_cast<std::size_t>(std::min(length, kFirstRoom)));
        std::int64_t keptAt = -1, nextKept = origin + 1;
        for (std::int64_t k = 0; k < length; ++k) {
            if ((k & 255) == 255 && stop && stop->load(std::memory_order_relaxed)) return false;
            const OrbitValue v{mpfr_get_d(zRe_.get(), MPFR_RNDN), mpfr_get_d(zIm_.get(), MPFR_RNDN)};
            if (out.values_.size() == out.values_.capacity()) out.values_.reserve(static_cast<std::size_t>(length));
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
        if (out.values_.size() < out.values_.capacity() / 2) out.values_.shrink_to_fit();
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
// table entries near it are read. It runs over the entries, whose lengths
// grow with them.
const LinearStep* ReferenceOrbit::prefixSkip(double size, std::int64_t room, std::int64_t& guess,
                                             std::int64_t& length) const {
    const std::int64_t most = std::min(prefixEntry(room), static_cast<std::int64_t>(prefixRadius_.size()) - 1);
    const auto holds = [&](std::int64_t i) { return size < prefixRadius_[static_cast<std::size_t>(i)]; };
    // Entry 1: two steps, the shortest block worth taking.
    if (most < 1) return nullptr;
    // Entries up to `good` hold, from `bad` on not (or they are too long).
    std::int64_t good = 0, bad = 0, step = 1;
    const std::int64_t from = std::clamp<std::int64_t>(prefixEntry(guess), 1, most);
    if (holds(from)) {
        good = from;
        while (good + step <= most && holds(good + step)) {
            good += step;
            step *= 2;
        }
        bad = std::min(good + step, most + 1);
    } else {
        bad = from;
        while (bad - step >= 1 && !holds(bad - step)) {
            bad -= step;
            step *= 2;
        }
        good = bad - step;
        if (good < 1) {
            if (!holds(1)) return nullptr;
            good = 1;
        }
    }
    while (bad - good > 1) {
        const std::int64_t middle = good + (bad - good) / 2;
        (holds(middle) ? good : bad) = middle;
    }
    length = guess = prefixLength(good);
    return &prefixLinear_[static_cast<std::size_t>(good)];
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
    skipOrigin_ = origin;
    // Step j leads from value j to value j + 1. Blocks end before the last
    // value, which may be the one that escapes: a point reaches it with a
    // step of its own, and its escape test. The last value of an orbit that
    // runs round a cycle is only its loop's first again: blocks may end there.
    const std::int64_t steps = std::max<std::int64_t>(size() - (loopLength_ > 0 ? 1 : 2) - origin, 0);
    const auto single = [&](std::int64_t j) {
        return singleStep(values_[static_cast<std::size_t>(origin + j)], withDc);
    };

    prefixRadius_.clear();
    prefixLinear_.clear();
    const std::int64_t entries = steps > 0 ? prefixEntry(steps) + 1 : 0;
    prefixRadius_.reserve(static_cast<std::size_t>(entries));
    prefixLinear_.reserve(static_cast<std::size_t>(entries));
    SkipBlock prefix;
    for (std::int64_t j = 0; j < steps; ++j) {
        prefix = j == 0 ? single(0) : merged(prefix, single(j), largestDc);
        if (!(prefix.radius > 0.0)) break;  // and so are all longer ones
        if (prefixLength(static_cast<std::int64_t>(prefixRadius_.size())) != j + 1) continue;
        prefixRadius_.push_back(prefix.radius);
        prefixLinear_.push_back(prefix.step);
    }
    if (prefixRadius_.empty()) {
        // An orbit without blocks still tells a point that none holds.
        prefixRadius_.push_back(0.0);
        prefixLinear_.push_back({});
    }

    // The tree, level by level: each block of a level merges two of the one
    // below. The levels below kFirstLevel are merged on the way and not kept.
    radius_.clear();
    linear_.clear();
    levelStart_.assign(static_cast<std::size_t>(kFirstLevel) + 1, 0);
    std::size_t stored = 0;
    for (int l = kFirstLevel; (steps >> l) > 0; ++l) stored += static_cast<std::size_t>(steps >> l);
    radius_.reserve(stored);
    linear_.reserve(stored);
    const auto keep = [&](const SkipBlock& b) {
        radius_.push_back(b.radius);
        linear_.push_back(b.step);
    };
    for (std::int64_t i = 0; i < (steps >> kFirstLevel); ++i) {
        const std::int64_t j = i << kFirstLevel;
        const SkipBlock low = merged(merged(single(j), single(j + 1), largestDc),
                                     merged(single(j + 2), single(j + 3), largestDc), largestDc);
        const SkipBlock high = merged(merged(single(j + 4), single(j + 5), largestDc),
                                      merged(single(j + 6), single(j + 7), largestDc), largestDc);
        keep(merged(low, high, largestDc));
    }
    levelStart_.push_back(linear_.size());
    for (int l = kFirstLevel + 1; (steps >> l) > 0; ++l) {
        const std::size_t below = levelStart_[static_cast<std::size_t>(l) - 1];
        for (std::size_t i = 0; i < static_cast<std::size_t>(steps >> l); ++i) {
            const std::size_t x = below + 2 * i;
            keep(merged({linear_[x], radius_[x]}, {linear_[x + 1], radius_[x + 1]}, largestDc));
        }
        levelStart_.push_back(linear_.size());
    }
}

std::size_t ReferenceOrbit::bytes() const {
    return values_.size() * sizeof(OrbitValue) + tiny_.capacity() * sizeof(Tiny) +
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
    const std::int64_t length = std::min(ref->stopCount + 3, longestFitting(view.julia, availableMemoryBytes()));

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

bool ReferenceOrbit::endsBefore(std::int64_t length) const {
    if (loopLength_ > 0 || size() < length) return true;
    const OrbitValue& last = values_.back();
    return last.re * last.re + last.im * last.im > 4.0;
}

bool referencesEndEarly(const DeepView& view, std::uint64_t availableBytes) {
    const std::int64_t length = std::min(kReferenceProbe, longestFitting(view.julia, availableBytes));
    const long bits = precisionBitsFor(view.pixelSize);
    ReferenceBuilder builder(bits);
    ReferenceOrbit orbit;
    const BigReal zero(bits);
    const BigReal& cRe = view.julia ? view.juliaRe : view.centreRe;
    const BigReal& cIm = view.julia ? view.juliaIm : view.centreIm;
    builder.compute(orbit, zero, zero, cRe, cIm, length, 1, nullptr);
    if (!orbit.endsBefore(length)) return false;
    if (!view.julia) return true;
    builder.compute(orbit, view.centreRe, view.centreIm, cRe, cIm, length, 0, nullptr);
    return orbit.endsBefore(length);
}

}  // namespace qel
