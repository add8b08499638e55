#include "render/deep/perturbation.h"

#include <algorithm>
#include <cmath>

namespace qel {
namespace {

// Differences smaller than 2^-500 go on with a separate exponent: in
// doubles their squares (2^-1000 and less) would soon lose bits and then
// vanish. They come back once above 2^-480.
const double kSmallNorm = std::ldexp(1.0, -1000);  // |d|^2 below: extended
constexpr std::int64_t kBackToDoubles = -480;
// A point continues from the start of the orbit of 0 when its full value is
// smaller than its difference, or no more than this fraction larger: then
// the reference value is negligible beside the difference, and starting
// over costs no bits (it lines the point up with the skip tables, which
// start at 0, instead of with the reference's own passes close to 0).
const double kStartOverMargin = 1.0 + std::ldexp(1.0, -30);
// Steps between two looks at the stop request.
constexpr int kStepsBetweenStopChecks = 4096;
// Linear blocks end this many steps before an interior point stops, so its
// last sixteen values reach the period ring.
constexpr std::int64_t kPlainTail = 16;

// x * pixelSize, y * pixelSize: in doubles where they are far inside a
// double's range (the same values, as a power of two scales exactly).
ExtComplex offsetOf(ExtFloat pixelSize, int x, int y) {
    if (pixelSize.e > -400 && pixelSize.e < 400) {
        const double size = pixelSize.toDouble();
        return x == 0 && y == 0 ? ExtComplex{} : ExtComplex::ofNormal(x * size, y * size);
    }
    return ExtComplex::of(pixelSize * static_cast<double>(x), pixelSize * static_cast<double>(y));
}

struct Point {
    const DeepReference& ref;
    const ReferenceOrbit* orbit;
    std::int64_t k = 0;  // index of the reference value Z in the orbit
    bool extended = false;
    double dRe = 0.0, dIm = 0.0, dNorm = 0.0;  // the difference, while in doubles
    ExtComplex d;                              // the difference, while extended
    double dcRe = 0.0, dcIm = 0.0;
    ExtComplex dc;
    bool dcZero = true;
    double zRe = 0.0, zIm = 0.0, prevRe = 0.0, prevIm = 0.0, r2 = 0.0;
    std::int64_t n = 0;          // the counter value of the next step
    std::int64_t skipUntil = 0;  // blocks may take n up to here
    std::int64_t prefixLength = 2;  // the last block the point took from the origin
    std::int64_t ringFrom = 0;   // steps from this counter value on write the ring
    bool escaped = false, finished = false;
    OrbitRing ring;
    DeepPointStats stats;
    // A difference kept at some starts from 0 (after 1, 2, 4, 8 ... of them)
    // to see the point come back to it.
    std::int64_t starts = 0, nextKept = 1, keptN = -1;
    double keptRe = 0.0, keptIm = 0.0;

    Point(const DeepReference& r, int x, int y) : ref(r), orbit(&r.startOrbit()), k(r.startIndex()) {
        const ExtComplex offset = offsetOf(r.pixelSize, x, y);
        if (!r.julia) {
            dc = offset;
            dcRe = offset.reDouble();
            dcIm = offset.imDouble();
            dcZero = offset.isZero();
        }
        skipUntil = r.stopCount - kPlainTail;
        ringFrom = r.stopCount - 15;
        resetRing(ring);
        extended = !offset.isZero() && offset.largestExponent() < kBackToDoubles - 20;
        if (extended)
            d = offset;
        else
            setDoubles(offset);
        const OrbitValue& z = orbit->values()[k];
        zRe = z.re + (extended ? d.reDouble() : dRe);
        zIm = z.im + (extended ? d.imDouble() : dIm);
        r2 = zIm * zIm + zRe * zRe;
    }

    void setDoubles(const ExtComplex& v) {
        dRe = v.reDouble();
        dIm = v.imDouble();
        dNorm = dRe * dRe + dIm * dIm;
        extended = false;
    }
    void setExtended() {
        d = ExtComplex::of(dRe, dIm);
        extended = true;
    }
    // The orbit of 0 from its start, the full value as the difference.
    void startOver() {
        orbit = &ref.critical;
        k = 0;
        ++stats.rebases;
    }
    // Just after a start from 0 with the difference in doubles: when the
    // point started over with this very difference before, everything since
    // repeats from here on, bit for bit, as long as a block never finds less
    // room than it had; so whole rounds are left out, up to two rounds
    // before the last blocks.
    void skipRepeatedRounds() {
        if (keptN >= 0 && n > keptN && dRe == keptRe && dIm == keptIm) {
            const std::int64_t round = n - keptN;
            const std::int64_t rounds = (skipUntil - n) / round - 2;
            if (rounds > 0) {
                n += rounds * round;
                stats.cycled += rounds * round;
            }
            keptN = -1;
            nextKept = -1;  // once is enough
            return;
        }
        if (++starts == nextKept) {
            keptN = n;
            keptRe = dRe;
            keptIm = dIm;
            nextKept *= 2;
        }
    }

    void writeRing(std::int64_t at, double re, double im) {
        ring.re[static_cast<std::size_t>(at & 15)] = re;
        ring.im[static_cast<std::size_t>(at & 15)] = im;
    }
    // The value just reached: ring, modulus, escape and limit (the loop in
    // doubles does the same on its own copies).
    void reached(double re, double im) {
        prevRe = zRe;
        prevIm = zIm;
        zRe = re;
        zIm = im;
        if (n >= ringFrom) writeRing(n, zRe, zIm);
        r2 = zIm * zIm + zRe * zRe;
        if (r2 > 4) {
            escaped = finished = true;
        } else if (n >= ref.stopCount) {
            finished = true;
        } else {
            ++n;
        }
    }
    // After a block of `length` steps, with the difference already set.
    void skipped(std::int64_t length, double dReNow, double dImNow) {
        k += length;
        n += length;
        stats.skipped += length;
        ++stats.blocks;
        const OrbitValue& z = orbit->values()[k];
        zRe = z.re + dReNow;
        zIm = z.im + dImNow;
        r2 = zIm * zIm + zRe * zRe;
    }
    const LinearStep* skipAt(double size, std::int64_t& length) {
        return n + 2 <= skipUntil ? orbit->skipAt(k, size, skipUntil - n, prefixLength, length) : nullptr;
    }
};

// Runs steps with the difference in doubles until the point is finished,
// the difference needs the separate exponent, or `budget` steps are done.
// The point's state lives in local variables meanwhile (registers, where
// the point's fields would be read and written in memory at every step)
// and goes back into the point for anything rare and at the end.
void runInDoubles(Point& p, const DeepSkipping& skipping, int budget) {
    const OrbitValue* z = p.orbit->values();
    std::int64_t size = p.orbit->size(), k = p.k, n = p.n, steps = 0;
    double dRe = p.dRe, dIm = p.dIm, dNorm = p.dNorm, zRe = p.zRe, zIm = p.zIm, r2 = p.r2;
    double prevRe = p.prevRe, prevIm = p.prevIm;
    const double dcRe = p.dcRe, dcIm = p.dcIm;
    const auto store = [&] {
        p.k = k;
        p.n = n;
        p.dRe = dRe;
        p.dIm = dIm;
        p.dNorm = dNorm;
        p.zRe = zRe;
        p.zIm = zIm;
        p.r2 = r2;
        p.prevRe = prevRe;
        p.prevIm = prevIm;
        p.stats.steps += steps;
        steps = 0;
    };
    // A difference this small needs the separate exponent, unless the point
    // is the reference itself.
    const auto tooSmall = [&](double norm) {
        return norm < kSmallNorm && !(p.dcZero && dRe == 0.0 && dIm == 0.0);
    };
    for (; budget > 0; --budget) {
        if (k + 1 >= size || r2 < dNorm * kStartOverMargin) {
            store();
            p.startOver();
            p.dRe = zRe;
            p.dIm = zIm;
            p.dNorm = r2;
            if (skipping.rounds) p.skipRepeatedRounds();
            z = p.orbit->values();
            size = p.orbit->size();
            k = 0;
            n = p.n;
            dRe = zRe;
            dIm = zIm;
            dNorm = r2;
        }
        std::int64_t length = 0;
        const LinearStep* b = skipping.blocks && n + 2 <= p.skipUntil
                                  ? p.orbit->skipAt(k, std::fabs(dRe) + std::fabs(dIm), p.skipUntil - n,
                                                    p.prefixLength, length)
                                  : nullptr;
        double nRe = 0.0, nIm = 0.0;
        if (b) {
            nRe = b->aRe * dRe - b->aIm * dIm + b->bRe * dcRe - b->bIm * dcIm;
            nIm = b->aRe * dIm + b->aIm * dRe + b->bRe * dcIm + b->bIm * dcRe;
        } else {
            const OrbitValue& Z = z[k];
            const double tRe = 2.0 * Z.re + dRe, tIm = 2.0 * Z.im + dIm;
            nRe = tRe * dRe - tIm * dIm + dcRe;
            nIm = tRe * dIm + tIm * dRe + dcIm;
        }
        const double norm = nRe * nRe + nIm * nIm;
        if (tooSmall(norm)) {
            store();
            return p.setExtended();  // this step or block again, extended
        }
        dRe = nRe;
        dIm = nIm;
        dNorm = norm;
        if (b) {
            k += length;
            n += length;
            p.stats.skipped += length;
            ++p.stats.blocks;
            zRe = z[k].re + nRe;
            zIm = z[k].im + nIm;
            r2 = zIm * zIm + zRe * zRe;
            continue;
        }
        ++k;
        ++steps;
        prevRe = zRe;
        prevIm = zIm;
        zRe = z[k].re + nRe;
        zIm = z[k].im + nIm;
        if (n >= p.ringFrom) p.writeRing(n, zRe, zIm);
        r2 = zIm * zIm + zRe * zRe;
        if (r2 > 4) {
            p.escaped = p.finished = true;
            break;
        }
        if (n >= p.ref.stopCount) {
            p.finished = true;
            break;
        }
        ++n;
    }
    store();
}

// The same with the difference extended, until it is back in a double's
// range (or the point finished, or `budget` steps are done).
void runExtended(Point& p, const DeepSkipping& skipping, int budget) {
    // At least one step: the difference may have come from doubles for one
    // step whose result would be too small for them.
    for (; budget > 0; --budget) {
        ExtComplex Z = p.orbit->extAt(p.k);
        const ExtComplex full = Z + p.d;
        if (p.k + 1 >= p.orbit->size() || lessMagnitude(full.norm(), p.d.norm() * kStartOverMargin)) {
            p.startOver();
            p.d = full;
            Z = ExtComplex{};
        }
        std::int64_t length = 0;
        const double size = ext::scaled(std::fabs(p.d.re) + std::fabs(p.d.im), p.d.e);
        if (const LinearStep* b = skipping.blocks ? p.skipAt(size, length) : nullptr) {
            p.d = ExtComplex::of(b->aRe, b->aIm) * p.d;
            if (!p.dcZero) p.d = p.d + ExtComplex::of(b->bRe, b->bIm) * p.dc;
            p.skipped(length, p.d.reDouble(), p.d.imDouble());
            if (p.d.largestExponent() >= kBackToDoubles) break;
            continue;
        }
        p.d = (Z.twice() + p.d) * p.d;
        if (!p.dcZero) p.d = p.d + p.dc;
        ++p.k;
        ++p.stats.steps;
        ++p.stats.extendedSteps;
        const OrbitValue& next = p.orbit->values()[p.k];
        p.reached(next.re + p.d.reDouble(), next.im + p.d.imDouble());
        if (p.finished) return;
        if (p.d.largestExponent() >= kBackToDoubles) break;
    }
    if (p.d.largestExponent() >= kBackToDoubles) p.setDoubles(p.d);
}

}  // namespace

bool deepPoint(const DeepReference& ref, int x, int y, DeepSkipping skipping, OrbitResult& result,
               const std::atomic<bool>* stop, DeepPointStats* stats) {
    Point p(ref, x, y);
    skipping.blocks = skipping.blocks && ref.critical.hasSkips();
    while (!p.finished) {
        if (stop && stop->load(std::memory_order_relaxed)) return false;
        if (p.extended)
            runExtended(p, skipping, kStepsBetweenStopChecks);
        else
            runInDoubles(p, skipping, kStepsBetweenStopChecks);
    }
    result = orbitResultOf(p.escaped, p.n, p.zRe, p.zIm, p.prevRe, p.prevIm, p.r2,
                           p.escaped ? 16 : orbitPeriod(p.ring, p.n, p.zRe, p.zIm));
    if (stats) *stats += p.stats;
    return true;
}

}  // namespace qel
