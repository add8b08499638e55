#include "render/deep/nucleus.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace qel {
namespace {

// Steps between two looks at the stop request, and between two reports.
constexpr std::int64_t kStopCheckMask = 255;
constexpr std::int64_t kReportMask = 4095;

// Newton's method by perturbation against one orbit: at most this many
// steps, settled once a correction is this many binary places below the
// whole move, or has stopped shrinking at a double's rounding (this many
// places down, at least: p steps of rounding lie above a single one's).
constexpr int kMostNewtonSteps = 64;
constexpr double kSettledPlaces = 44.0;
constexpr double kNoisePlaces = 20.0;
// Orbits of full precision, each at a point nearer the nucleus.
constexpr int kMostRounds = 24;
// The nucleus is refined to this many binary places below the minibrot's
// size, at a precision with these many more than the size's.
constexpr double kNucleusPlaces = 72.0;
constexpr long kNucleusExtraBits = 80;
// A divisor d of the period is the nucleus's own when z_d is within this
// many binary places of the whole move, by the first-order distance
// |z_d / dz_d| to a nucleus of period d.
constexpr double kOwnPeriodPlaces = 30.0;
// A nucleus the search leads to lies within this many radii of the disc
// that found its period; further away it is some other one.
constexpr double kNucleusReach = 2.0;

const ExtComplex kOne = ExtComplex::of(1.0, 0.0);

ExtComplex negated(ExtComplex z) { return {-z.re, -z.im, z.e}; }

ExtComplex reciprocal(ExtComplex z) {
    const double n = z.re * z.re + z.im * z.im;
    return ExtComplex::of(z.re / n, -z.im / n, -z.e);
}

bool isFinite(ExtComplex z) { return std::isfinite(z.re) && std::isfinite(z.im); }

// log2 |z|; minus infinity for 0.
double log2Abs(ExtComplex z) {
    if (z.isZero()) return -std::numeric_limits<double>::infinity();
    return static_cast<double>(z.e) + 0.5 * std::log2(z.re * z.re + z.im * z.im);
}

double log2Abs(ExtFloat x) {
    return x.isZero() ? -std::numeric_limits<double>::infinity() : x.log2Abs();
}

// a + b for a, b >= 0.
ExtFloat plus(ExtFloat a, ExtFloat b) {
    if (a.isZero()) return b;
    if (b.isZero()) return a;
    if (a.e < b.e) std::swap(a, b);
    const std::int64_t d = a.e - b.e;
    if (d > 60) return a;
    return ExtFloat::normalised(a.m + ext::scaled(b.m, -d), a.e);
}

ExtFloat squareRoot(ExtFloat x) {
    if (x.isZero()) return x;
    const std::int64_t odd = x.e & 1;  // x = (m 2^odd) 2^(e - odd), e - odd even
    return ExtFloat::normalised(std::sqrt(x.m * (odd ? 2.0 : 1.0)), (x.e - odd) / 2);
}

// x + m 2^e at the precision of x.
void addScaled(BigReal& x, double m, std::int64_t e) {
    if (m == 0.0) return;
    BigReal t(64);
    mpfr_set_d(t.get(), m, MPFR_RNDN);
    mpfr_mul_2si(t.get(), t.get(), static_cast<long>(e), MPFR_RNDN);
    mpfr_add(x.get(), x.get(), t.get(), MPFR_RNDN);
}

long precisionOf(const BigComplex& c) { return std::max<long>(64, std::max(c.re.precision(), c.im.precision())); }

BigComplex withPrecision(const BigComplex& c, long bits) { return {c.re.withPrecision(bits), c.im.withPrecision(bits)}; }

// The orbit of 0 under z * z + c in MPFR at `bits`, z_0 = 0 .. z_last, each
// value kept as it is visited; `visit(n, z_n)` returning false ends it
// after that value. False when stopped.
template <class Visit>
bool fullOrbit(const BigComplex& c, long bits, std::int64_t last, std::vector<ExtComplex>& out,
               const NucleusControl& control, NucleusProgress progress, Visit&& visit) {
    BigReal zRe(bits), zIm(bits), s1(bits), s2(bits);
    const BigReal cRe = c.re.withPrecision(bits), cIm = c.im.withPrecision(bits);
    out.clear();
    out.reserve(static_cast<std::size_t>(std::min<std::int64_t>(last + 1, std::int64_t{1} << 16)));
    progress.steps = last;
    for (std::int64_t n = 0; n <= last; ++n) {
        if ((n & kStopCheckMask) == kStopCheckMask) {
            if (control.stopped()) return false;
            if ((n & kReportMask) == kReportMask && control.progress) {
                progress.step = n;
                control.progress(progress);
            }
        }
        out.push_back(ExtComplex::of(zRe.toExt(), zIm.toExt()));
        if (!visit(n, out.back())) break;
        if (n < last) squarePlus(zRe, zIm, cRe, cIm, s1, s2);
    }
    return true;
}

bool escaped(ExtComplex z) { return z.norm().toDouble() > 4.0; }

// The values a perturbed orbit passes at chosen indices (ascending).
struct Watch {
    std::vector<std::int64_t> at;
    std::vector<ExtComplex> z, dz;
};

// l = 2 z_1 ... 2 z_n and b = 1 + sum of 1 / l over n = 1 .. period - 1.
struct SizeTerms {
    ExtComplex l = kOne, b = kOne;

    ExtComplex size() const { return reciprocal(b * l * l); }
};

struct Evaluation {
    ExtComplex z, dz;  // z_period and dz_period / dc
};

// z_period and its derivative for the point c + dc, c the point of `orbit`,
// by perturbation: z = Z_k + d, d' = (2 Z_k + d) d + dc, and the point
// starts over from the orbit's 0 with its full value as d where that is
// smaller than d (or the orbit ends), so d keeps its own bits.
bool evaluate(const std::vector<ExtComplex>& orbit, ExtComplex dc, std::int64_t period, Evaluation& out,
              const NucleusControl& control, SizeTerms* size = nullptr, Watch* watch = nullptr) {
    const auto last = static_cast<std::int64_t>(orbit.size()) - 1;
    std::int64_t k = 0;
    std::size_t w = 0;
    ExtComplex d, dz;
    for (std::int64_t n = 0; n < period; ++n) {
        if ((n & kReportMask) == kReportMask && control.stopped()) return false;
        const ExtComplex& zk = orbit[static_cast<std::size_t>(k)];
        const ExtComplex z = zk + d;
        if (watch && w < watch->at.size() && watch->at[w] == n) {
            watch->z.push_back(z);
            watch->dz.push_back(dz);
            ++w;
        }
        if (size && n >= 1) {
            size->l = z.twice() * size->l;
            size->b = size->b + reciprocal(size->l);
        }
        dz = (z * dz).twice() + kOne;
        d = (zk.twice() + d) * d + dc;
        ++k;
        const ExtComplex full = orbit[static_cast<std::size_t>(k)] + d;
        if (k == last || lessMagnitude(full.norm(), d.norm())) {
            d = full;
            k = 0;
        }
    }
    out.z = orbit[static_cast<std::size_t>(k)] + d;
    out.dz = dz;
    return true;
}

std::vector<std::int64_t> properDivisors(std::int64_t n) {
    std::vector<std::int64_t> low, high;
    for (std::int64_t d = 1; d * d <= n; ++d) {
        if (n % d != 0) continue;
        low.push_back(d);
        if (d != n / d) high.push_back(n / d);
    }
    low.insert(low.end(), high.rbegin(), high.rend());
    low.pop_back();  // n itself
    return low;
}

// The least divisor d of `period` whose nucleus c + dc is, to first order,
// within 2^-kOwnPeriodPlaces of the whole move `moved`; 0 when stopped.
std::int64_t ownPeriod(const std::vector<ExtComplex>& orbit, ExtComplex dc, std::int64_t period, ExtComplex moved,
                       const NucleusControl& control) {
    Watch watch;
    watch.at = properDivisors(period);
    Evaluation e;
    if (!evaluate(orbit, dc, period, e, control, nullptr, &watch)) return 0;
    const double within = log2Abs(moved) - kOwnPeriodPlaces;
    for (std::size_t i = 0; i < watch.at.size(); ++i) {
        if (watch.z[i].isZero() || log2Abs(watch.z[i]) - log2Abs(watch.dz[i]) <= within) return watch.at[i];
    }
    return period;
}

// Newton's method by perturbation on the orbit of c: the correction dc
// that settles. False when it does not, or when stopped.
bool newtonOnOrbit(const std::vector<ExtComplex>& orbit, std::int64_t period, const NucleusControl& control,
                   ExtComplex& dc) {
    dc = {};
    double before = std::numeric_limits<double>::infinity();
    for (int step = 0; step < kMostNewtonSteps; ++step) {
        Evaluation e;
        if (!evaluate(orbit, dc, period, e, control) || e.dz.isZero()) return false;
        const ExtComplex delta = negated(e.z * reciprocal(e.dz));
        if (!isFinite(delta)) return false;
        dc = dc + delta;
        const double size = log2Abs(delta), whole = log2Abs(dc);
        if (delta.isZero() || size < whole - kSettledPlaces) return true;
        if (size < whole - kNoisePlaces && size > before - 1.0) return true;
        before = size;
    }
    return false;
}

// The size at c + dc, c the point of `orbit`.
std::optional<ExtComplex> sizeAt(const std::vector<ExtComplex>& orbit, ExtComplex dc, std::int64_t period,
                                 const NucleusControl& control) {
    SizeTerms terms;
    Evaluation e;
    if (!evaluate(orbit, dc, period, e, control, &terms)) return std::nullopt;
    const ExtComplex size = terms.size();
    if (size.isZero() || !isFinite(size)) return std::nullopt;
    return size;
}

// One step of Newton's method in MPFR at `bits`: z_p and dz_p/dc of c
// iterated at that precision, the correction -z_p / dz_p. The orbit's
// values z_0 .. z_p are left in `orbit`. Nothing when stopped.
std::optional<BigComplex> fullNewtonStep(const BigComplex& c, long bits, std::int64_t period,
                                         std::vector<ExtComplex>& orbit, const NucleusControl& control,
                                         NucleusProgress progress) {
    BigReal zRe(bits), zIm(bits), dRe(bits), dIm(bits), t1(bits), t2(bits), t3(bits);
    const BigReal cRe = c.re.withPrecision(bits), cIm = c.im.withPrecision(bits);
    orbit.clear();
    orbit.reserve(static_cast<std::size_t>(period + 1));
    if (control.progress) control.progress(progress);
    for (std::int64_t n = 0; n < period; ++n) {
        if ((n & kStopCheckMask) == kStopCheckMask) {
            if (control.stopped()) return std::nullopt;
            if ((n & kReportMask) == kReportMask && control.progress) {
                progress.step = n;
                control.progress(progress);
            }
        }
        orbit.push_back(ExtComplex::of(zRe.toExt(), zIm.toExt()));
        // dz' = 2 z dz + 1
        mpfr_mul(t1.get(), zRe.get(), dRe.get(), MPFR_RNDN);
        mpfr_mul(t2.get(), zIm.get(), dIm.get(), MPFR_RNDN);
        mpfr_sub(t3.get(), t1.get(), t2.get(), MPFR_RNDN);
        mpfr_mul(t1.get(), zRe.get(), dIm.get(), MPFR_RNDN);
        mpfr_mul(t2.get(), zIm.get(), dRe.get(), MPFR_RNDN);
        mpfr_add(dIm.get(), t1.get(), t2.get(), MPFR_RNDN);
        mpfr_mul_2ui(dIm.get(), dIm.get(), 1, MPFR_RNDN);
        mpfr_mul_2ui(dRe.get(), t3.get(), 1, MPFR_RNDN);
        mpfr_add_ui(dRe.get(), dRe.get(), 1, MPFR_RNDN);
        squarePlus(zRe, zIm, cRe, cIm, t1, t2);
    }
    orbit.push_back(ExtComplex::of(zRe.toExt(), zIm.toExt()));
    // -z / dz = -z conj(dz) / |dz|^2
    BigReal norm(bits);
    mpfr_sqr(norm.get(), dRe.get(), MPFR_RNDN);
    mpfr_sqr(t1.get(), dIm.get(), MPFR_RNDN);
    mpfr_add(norm.get(), norm.get(), t1.get(), MPFR_RNDN);
    if (mpfr_zero_p(norm.get())) return std::nullopt;
    BigComplex step{BigReal(bits), BigReal(bits)};
    mpfr_mul(t1.get(), zRe.get(), dRe.get(), MPFR_RNDN);
    mpfr_mul(t2.get(), zIm.get(), dIm.get(), MPFR_RNDN);
    mpfr_add(t3.get(), t1.get(), t2.get(), MPFR_RNDN);
    mpfr_div(step.re.get(), t3.get(), norm.get(), MPFR_RNDN);
    mpfr_neg(step.re.get(), step.re.get(), MPFR_RNDN);
    mpfr_mul(t1.get(), zIm.get(), dRe.get(), MPFR_RNDN);
    mpfr_mul(t2.get(), zRe.get(), dIm.get(), MPFR_RNDN);
    mpfr_sub(t3.get(), t1.get(), t2.get(), MPFR_RNDN);
    mpfr_div(step.im.get(), t3.get(), norm.get(), MPFR_RNDN);
    mpfr_neg(step.im.get(), step.im.get(), MPFR_RNDN);
    if (!step.re.isFinite() || !step.im.isFinite()) return std::nullopt;
    return step;
}

// From c, whose orbit (computed at c's precision) is given, to the nucleus
// of `period` Newton's method leads to. From afar by perturbation on that
// orbit, to about a double's rounding of the distance; then in MPFR, each
// step doubling the bits that are right, until the correction is far below
// the minibrot's size.
std::optional<Nucleus> refine(BigComplex c, std::vector<ExtComplex> orbit, std::int64_t period, ExtFloat reach,
                              const NucleusControl& control) {
    long bits = precisionOf(c);
    if (control.progress) control.progress({NucleusProgress::Stage::nucleus, 0, period, period, 1});
    ExtComplex dc;
    if (!newtonOnOrbit(orbit, period, control, dc)) return std::nullopt;
    if (!reach.isZero() && log2Abs(dc) > log2Abs(reach)) return std::nullopt;
    period = ownPeriod(orbit, dc, period, dc, control);
    if (period == 0) return std::nullopt;
    std::optional<ExtComplex> size = sizeAt(orbit, dc, period, control);
    if (!size) return std::nullopt;
    const double enough = log2Abs(*size) - kNucleusPlaces;
    bits = std::max(bits, static_cast<long>(std::ceil(-log2Abs(*size))) + kNucleusExtraBits);
    c = withPrecision(c, bits);
    addScaled(c.re, dc.re, dc.e);
    addScaled(c.im, dc.im, dc.e);
    for (int round = 2; !dc.isZero() && log2Abs(dc) >= enough; ++round) {
        if (round > kMostRounds) return std::nullopt;
        const NucleusProgress progress{NucleusProgress::Stage::nucleus, 0, period, period, round};
        std::optional<BigComplex> step = fullNewtonStep(c, bits, period, orbit, control, progress);
        if (!step) return std::nullopt;
        dc = ExtComplex::of(step->re.toExt(), step->im.toExt());
        mpfr_add(c.re.get(), c.re.get(), step->re.get(), MPFR_RNDN);
        mpfr_add(c.im.get(), c.im.get(), step->im.get(), MPFR_RNDN);
    }
    size = sizeAt(orbit, dc, period, control);
    if (!size) return std::nullopt;
    return Nucleus{std::move(c), period, *size};
}

// The period each disc found, the smallest disc first (a period once),
// leaving the orbit of c computed on the way in `orbit`.
std::vector<PeriodFound> findPeriodsOn(const BigComplex& c, ExtFloat radius, std::int64_t maxPeriod,
                                       const NucleusControl& control, std::vector<ExtComplex>& orbit) {
    ExtFloat r[kPeriodDiscs], disc[kPeriodDiscs];
    std::int64_t found[kPeriodDiscs] = {};
    for (int j = 0; j < kPeriodDiscs; ++j) r[j] = radius * std::pow(kPeriodDiscGrowth, j);
    // The disc about z_n bounds z_n of every point within r of c:
    // R_1 = r, R_(n+1) = R_n (2 |z_n| + R_n) + r.
    ExtFloat lastAbs;
    const auto visit = [&](std::int64_t n, ExtComplex z) {
        if (n == 0) return true;
        const ExtFloat norm = z.norm();
        for (int j = 0; j < kPeriodDiscs; ++j) {
            disc[j] = n == 1 ? r[j] : plus(disc[j] * plus(lastAbs * 2.0, disc[j]), r[j]);
            if (found[j] == 0 && lessMagnitude(norm, disc[j] * disc[j])) found[j] = n;
        }
        lastAbs = squareRoot(norm);
        return found[0] == 0 && norm.toDouble() <= 4.0;
    };
    const NucleusProgress progress{NucleusProgress::Stage::period, 0, maxPeriod, 0, 0};
    std::vector<PeriodFound> periods;
    if (maxPeriod < 1 || !fullOrbit(c, precisionOf(c), maxPeriod, orbit, control, progress, visit)) return periods;
    for (int j = 0; j < kPeriodDiscs; ++j) {
        const bool again = std::any_of(periods.begin(), periods.end(),
                                       [&](const PeriodFound& f) { return f.period == found[j]; });
        if (found[j] != 0 && !again) periods.push_back({found[j], r[j]});
    }
    return periods;
}

}  // namespace

std::optional<PeriodFound> findPeriod(const BigComplex& c, ExtFloat radius, std::int64_t maxPeriod,
                                      const NucleusControl& control) {
    std::vector<ExtComplex> orbit;
    const std::vector<PeriodFound> periods = findPeriodsOn(c, radius, maxPeriod, control, orbit);
    if (periods.empty()) return std::nullopt;
    return periods.front();
}

std::optional<Nucleus> nucleusOfPeriod(const BigComplex& guess, std::int64_t period, ExtFloat reach,
                                       const NucleusControl& control) {
    if (period < 1) return std::nullopt;
    std::vector<ExtComplex> orbit;
    const NucleusProgress progress{NucleusProgress::Stage::nucleus, 0, period, period, 1};
    if (!fullOrbit(guess, precisionOf(guess), period, orbit, control, progress,
                   [](std::int64_t, ExtComplex z) { return !escaped(z); }))
        return std::nullopt;
    return refine(guess, std::move(orbit), period, reach, control);
}

ExtComplex minibrotSize(const BigComplex& nucleus, std::int64_t period, const NucleusControl& control) {
    std::vector<ExtComplex> orbit;
    const NucleusProgress progress{NucleusProgress::Stage::nucleus, 0, period, period, 1};
    if (period < 1 || !fullOrbit(nucleus, precisionOf(nucleus), period, orbit, control, progress,
                                 [](std::int64_t, ExtComplex z) { return !escaped(z); }))
        return {};
    SizeTerms terms;
    Evaluation e;
    if (!evaluate(orbit, {}, period, e, control, &terms)) return {};
    return terms.size();
}

std::optional<Nucleus> minibrotNear(const BigComplex& c, ExtFloat radius, std::int64_t maxPeriod,
                                    const NucleusControl& control) {
    std::vector<ExtComplex> orbit;
    const std::vector<PeriodFound> found = findPeriodsOn(c, radius, maxPeriod, control, orbit);
    for (const PeriodFound& f : found) {
        if (control.stopped()) break;
        if (auto nucleus = refine(c, orbit, f.period, f.radius * kNucleusReach, control)) return nucleus;
    }
    return std::nullopt;
}

}  // namespace qel
