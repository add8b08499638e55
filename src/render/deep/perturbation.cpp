#include "render/deep/perturbation.h"

#include <algorithm>
#include <bit>
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
    // The point's whole state at the start of a step or block: the orbit,
    // the index on it, whether the difference is extended, and the
    // difference's bits. What follows depends on nothing else (the room
    // left for blocks aside), so when a state comes back, everything in
    // between repeats bit for bit. Brent's way of finding it: a state is
    // kept after 1, 2, 4, 8 ... steps and blocks since the last one kept,
    // and every state is compared with it.
    struct KeptState {
        const ReferenceOrbit* orbit = nullptr;
        std::int64_t k = -1;  // -1: none kept
        bool extended = false;
        std::uint64_t re = 0, im = 0;
        std::int64_t e = 0;
        std::int64_t n = 0;
    };
    KeptState kept;
    std::int64_t sinceKept = 0, keepEvery = 1;
    bool watching = true;  // until rounds have been left out once

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
    // The state at counter value n came back from counter value kept.n:
    // the rounds in between repeat until the end, as long as every block
    // finds the room it had. A block is at most a round long, so with two
    // rounds of room left after the jump (and three before it) no search
    // for a block is ever cut short by the room, before or after: whole
    // rounds are left out, up to two before the last blocks, and the
    // result is exactly that of every step.
    void leaveOutRounds() {
        const std::int64_t round = n - kept.n;
        const std::int64_t rounds = (skipUntil - n) / round - 2;
        if (rounds > 0) {
            n += rounds * round;
            stats.cycled += rounds * round;
        }
        watching = false;  // the rest is shorter than three rounds
    }
    // The extended state at the start of a step or block, kept or compared.
    void watchExtended() {
        const auto re = std::bit_cast<std::uint64_t>(d.re), im = std::bit_cast<std::uint64_t>(d.im);
        if (kept.k == k && kept.extended && kept.orbit == orbit && kept.re == re && kept.im == im && kept.e == d.e) {
            return leaveOutRounds();
        }
        if (++sinceKept == keepEvery) {
            kept = {orbit, k, true, re, im, d.e, n};
            sinceKept = 0;
            keepEvery *= 2;
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
    std::int64_t loopBack = p.orbit->loopLength();
    double dRe = p.dRe, dIm = p.dIm, dNorm = p.dNorm, zRe = p.zRe, zIm = p.zIm, r2 = p.r2;
    double prevRe = p.prevRe, prevIm = p.prevIm;
    const double dcRe = p.dcRe, dcIm = p.dcIm;
    // The state kept for Brent's search, while it is one of doubles on this
    // orbit (keptK -1 otherwise).
    bool watching = skipping.rounds && p.watching;
    std::int64_t keptK = !p.kept.extended && p.kept.orbit == p.orbit ? p.kept.k : -1;
    std::uint64_t keptRe = p.kept.re, keptIm = p.kept.im;
    std::int64_t keptN = p.kept.n, sinceKept = p.sinceKept, keepEvery = p.keepEvery;
    bool keptHere = false;
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
        p.sinceKept = sinceKept;
        p.keepEvery = keepEvery;
        if (keptHere) p.kept = {p.orbit, keptK, false, keptRe, keptIm, 0, keptN};
        keptHere = false;
    };
    // A difference this small needs the separate exponent, unless the point
    // is the reference itself.
    const auto tooSmall = [&](double norm) {
        return norm < kSmallNorm && !(p.dcZero && dRe == 0.0 && dIm == 0.0);
    };
    for (; budget > 0; --budget) {
        // The last value of an orbit that runs round a cycle is its loop's
        // first one again.
        if (k + 1 >= size && loopBack > 0) k -= loopBack;
        if (watching) {
            const auto re = std::bit_cast<std::uint64_t>(dRe), im = std::bit_cast<std::uint64_t>(dIm);
            if (k == keptK && re == keptRe && im == keptIm) {
                store();
                p.kept.n = keptN;
                p.leaveOutRounds();
                n = p.n;
                watching = false;
            } else if (++sinceKept == keepEvery) {
                keptK = k;
                keptRe = re;
                keptIm = im;
                keptN = n;
                keptHere = true;
                sinceKept = 0;
                keepEvery *= 2;
            }
        }
        if (k + 1 >= size || r2 < dNorm * kStartOverMargin) {
            store();
            const ReferenceOrbit* before = p.orbit;
            p.startOver();
            p.dRe = zRe;
            p.dIm = zIm;
            p.dNorm = r2;
            if (p.orbit != before) keptK = -1;  // a Julia point leaves the centre's orbit for good
            z = p.orbit->values();
            size = p.orbit->size();
            loopBack = p.orbit->loopLength();
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
        if (p.k + 1 >= p.orbit->size() && p.orbit->loopLength() > 0) p.k -= p.orbit->loopLength();
        if (skipping.rounds && p.watching) p.watchExtended();
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
