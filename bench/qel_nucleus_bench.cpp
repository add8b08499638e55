// qel-nucleus-bench: the search for the minibrot nearest a point, as the
// window's menu item and qel-render --minibrot run it (minibrotNear): the
// period search, then Newton's method to the nucleus and the size, timed
// from the start to the nucleus in wall time and processor time, with the
// period found, the orbits of full precision it took and their precision.
//
// The points: near the period-3 minibrot on the start view; 20 pixels off
// the period-53 and period-104 minibrots of the deep test views at 1E50 and
// 1E100; the Misiurewicz point M(3,1) at 1E1000; and 5 pixels off a
// minibrot of period about 10^5 at about 1E1000, found beside the copy of
// M(3,1) in the period-104 minibrot (itself found here by Newton's method
// on z_(k+q) = z_k in MPFR). The disc searched is that of the window: 8 pixels of a picture at
// full size, and as many periods as the view's iteration limit.
//
//   build/qel-nucleus-bench [--runs N] [--all]
//
// --all adds the copy of M(3,1) itself at 1E1000, where the nearest
// minibrot is far smaller than the view (tens of seconds), and 5 pixels off
// a minibrot of period about 8000 at about 1E7600, found beside M(3,1).
#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../tests/deep/deep_views.h"
#include "figures.h"
#include "render/deep/nucleus.h"

namespace {

using namespace qel;
using namespace qel::bench;

rusage usageNow() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u;
}

struct Case {
    std::string name;
    BigComplex point;
    ExtFloat radius;
    std::int64_t maxPeriod;
};

// Pixel size of a full-size picture at a magnification.
ExtFloat pixelAt(const char* magnification) { return pixelSizeFor(magnificationOfText(magnification), 400); }

BigComplex offsetByPixels(BigComplex c, ExtFloat pixel, double x, double y) {
    return {offsetBy(c.re, x, pixel), offsetBy(c.im, y, pixel)};
}

// z_n and dz_n/dc for c in MPFR, directly.
struct Orbit {
    BigReal zRe, zIm, dRe, dIm;
    explicit Orbit(long bits) : zRe(bits), zIm(bits), dRe(bits), dIm(bits) {}
};

void step(Orbit& o, const BigComplex& c, BigReal& t1, BigReal& t2, BigReal& t3) {
    mpfr_mul(t1.get(), o.zRe.get(), o.dRe.get(), MPFR_RNDN);
    mpfr_mul(t2.get(), o.zIm.get(), o.dIm.get(), MPFR_RNDN);
    mpfr_sub(t3.get(), t1.get(), t2.get(), MPFR_RNDN);
    mpfr_mul(t1.get(), o.zRe.get(), o.dIm.get(), MPFR_RNDN);
    mpfr_mul(t2.get(), o.zIm.get(), o.dRe.get(), MPFR_RNDN);
    mpfr_add(o.dIm.get(), t1.get(), t2.get(), MPFR_RNDN);
    mpfr_mul_2ui(o.dIm.get(), o.dIm.get(), 1, MPFR_RNDN);
    mpfr_mul_2ui(o.dRe.get(), t3.get(), 1, MPFR_RNDN);
    mpfr_add_ui(o.dRe.get(), o.dRe.get(), 1, MPFR_RNDN);
    squarePlus(o.zRe, o.zIm, c.re, c.im, t1, t2);
}

// The Misiurewicz point of preperiod k and period q Newton's method on
// z_(k+q)(c) - z_k(c) = 0 reaches from `guess`, at `bits`.
BigComplex misiurewicz(BigComplex c, std::int64_t k, std::int64_t q, long bits) {
    c = {c.re.withPrecision(bits), c.im.withPrecision(bits)};
    BigReal t1(bits), t2(bits), t3(bits), fRe(bits), fIm(bits), gRe(bits), gIm(bits), n(bits);
    for (int i = 0; i < 60; ++i) {
        Orbit o(bits);
        for (std::int64_t j = 0; j < k; ++j) step(o, c, t1, t2, t3);
        fRe = o.zRe, fIm = o.zIm, gRe = o.dRe, gIm = o.dIm;
        for (std::int64_t j = 0; j < q; ++j) step(o, c, t1, t2, t3);
        mpfr_sub(fRe.get(), o.zRe.get(), fRe.get(), MPFR_RNDN);
        mpfr_sub(fIm.get(), o.zIm.get(), fIm.get(), MPFR_RNDN);
        mpfr_sub(gRe.get(), o.dRe.get(), gRe.get(), MPFR_RNDN);
        mpfr_sub(gIm.get(), o.dIm.get(), gIm.get(), MPFR_RNDN);
        // c -= f / g = f conj(g) / |g|^2
        mpfr_sqr(n.get(), gRe.get(), MPFR_RNDN);
        mpfr_sqr(t1.get(), gIm.get(), MPFR_RNDN);
        mpfr_add(n.get(), n.get(), t1.get(), MPFR_RNDN);
        mpfr_mul(t1.get(), fRe.get(), gRe.get(), MPFR_RNDN);
        mpfr_mul(t2.get(), fIm.get(), gIm.get(), MPFR_RNDN);
        mpfr_add(t3.get(), t1.get(), t2.get(), MPFR_RNDN);
        mpfr_div(t3.get(), t3.get(), n.get(), MPFR_RNDN);
        mpfr_sub(c.re.get(), c.re.get(), t3.get(), MPFR_RNDN);
        mpfr_mul(t1.get(), fIm.get(), gRe.get(), MPFR_RNDN);
        mpfr_mul(t2.get(), fRe.get(), gIm.get(), MPFR_RNDN);
        mpfr_sub(t3.get(), t1.get(), t2.get(), MPFR_RNDN);
        mpfr_div(t3.get(), t3.get(), n.get(), MPFR_RNDN);
        mpfr_sub(c.im.get(), c.im.get(), t3.get(), MPFR_RNDN);
    }
    return c;
}

bool all_ = false;

const testing::DeepTestView& view(const char* id) {
    for (const auto& v : testing::kDeepViews)
        if (std::strcmp(v.id, id) == 0) return v;
    std::exit(2);
}

BigComplex centreOf(const testing::DeepTestView& v, long bits) {
    return {BigReal::fromText(v.cx, bits), BigReal::fromText(v.cy, bits)};
}

// 5 pixels off a minibrot (4 right, 3 up), on the view in which it fills a
// fortieth of the width: pointing at it.
void addTwentyPixelsOff(std::vector<Case>& all, const Nucleus& n) {
    const ExtFloat magnification = ExtFloat::of(2.0 / 45.0) / n.size.magnitude();
    const ExtFloat pixel = pixelSizeFor(magnification, 400);
    const long bits = precisionBitsFor(pixel);
    all.push_back({"period " + std::to_string(n.period) + " at" + magnificationStr(magnification) + ", 4 pixels off",
                   offsetByPixels({n.c.re.withPrecision(bits), n.c.im.withPrecision(bits)}, pixel, 4, -3),
                   pixel * 8.0, 1'000'000});
}

std::vector<Case> cases() {
    std::vector<Case> all;
    all.push_back({"start view, beside the period-3 minibrot", {BigReal(-1.76, 64), BigReal(0.01, 64)},
                   ExtFloat::of(2.0 / 50), 500});
    for (const char* id : {"MinibrotAt1E50", "MinibrotAt1E100"}) {
        const auto& v = view(id);
        const ExtFloat pixel = pixelAt(v.mag);
        all.push_back({std::string(v.name) + ", 20 pixels off",
                       offsetByPixels(centreOf(v, precisionBitsFor(pixel)), pixel, 20, -14), pixel * 8.0,
                       static_cast<std::int64_t>(v.maxIter)});
    }
    const auto& spiral = view("SpiralAt1E1000");
    const ExtFloat pixel = pixelAt("1E1000");
    all.push_back({"M(3,1) at 1E1000", centreOf(spiral, precisionBitsFor(pixel)), pixel * 8.0, 1'000'000});

    // The copy of M(3,1) in the period-104 minibrot: c + s w for w = M(3,1),
    // then to the last bit as a point of preperiod 3 * 104, period 104.
    std::fprintf(stderr, "qel-nucleus-bench: finding the copy of M(3,1) in the period-104 minibrot...\n");
    const auto& at100 = view("MinibrotAt1E100");
    const auto minibrot = nucleusOfPeriod(centreOf(at100, 500), 104);
    if (!minibrot) std::exit(1);
    const long bits = 4000;
    const ExtComplex sw = minibrot->size * ExtComplex::of(-0.2281554936539618, 1.1151425080399374);
    BigComplex guess{minibrot->c.re.withPrecision(bits), minibrot->c.im.withPrecision(bits)};
    guess.re = offsetBy(guess.re, sw.re, ExtFloat::normalised(1.0, sw.e));
    guess.im = offsetBy(guess.im, sw.im, ExtFloat::normalised(1.0, sw.e));
    const BigComplex copy = misiurewicz(guess, 3 * 104, 104, bits);
    if (all_) all.push_back({"copy of M(3,1) in the period-104 minibrot, at 1E1000", copy, pixel * 8.0, 1'000'000});

    // 1E-556 from the copy, a minibrot of period about 10^5; the view in
    // which it fills a fortieth of the width, 5 pixels away.
    std::fprintf(stderr, "qel-nucleus-bench: finding a minibrot of period about 10^5 beside it...\n");
    const ExtFloat away = magnificationOfText("1E556");
    const BigComplex beside{offsetBy(copy.re, 0.6, ExtFloat::of(1.0) / away), offsetBy(copy.im, 0.8, ExtFloat::of(1.0) / away)};
    const auto deep = minibrotNear(beside, ExtFloat::of(1.0) / away, 1'000'000);
    if (!deep) std::exit(1);
    addTwentyPixelsOff(all, *deep);
    if (all_) {
        // M(3,1) itself to 13000 bits, and 1E-3800 from it a minibrot of
        // period about 8000 at about 1E7600; its view, 5 pixels away.
        std::fprintf(stderr, "qel-nucleus-bench: finding a minibrot at about 1E7600 beside M(3,1)...\n");
        const BigComplex m31 = misiurewicz({BigReal(-0.2281554936539618, 64), BigReal(1.1151425080399374, 64)}, 3, 1, 13000);
        const ExtFloat far = magnificationOfText("1E3800");
        const BigComplex nearM31{offsetBy(m31.re, 0.6, ExtFloat::of(1.0) / far), offsetBy(m31.im, 0.8, ExtFloat::of(1.0) / far)};
        const auto deepest = minibrotNear(nearM31, ExtFloat::of(1.0) / far, 1'000'000);
        if (!deepest) std::exit(1);
        addTwentyPixelsOff(all, *deepest);
    }
    return all;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 3;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--all") == 0) all_ = true;
    std::printf("%-58s %8s %6s %6s %12s %12s %12s\n", "point", "period", "bits", "orbits", "search ms", "total ms",
                "cpu ms");
    for (const Case& c : cases()) {
        std::vector<double> search, wall, cpu;
        std::int64_t period = 0;
        long bits = 0;
        int orbits = 0;
        for (int r = 0; r < runs; ++r) {
            const rusage before = usageNow();
            const Clock::time_point start = Clock::now();
            double searched = -1;
            int rounds = 0;
            NucleusControl control;
            control.progress = [&](const NucleusProgress& p) {
                if (p.stage == NucleusProgress::Stage::nucleus && searched < 0) searched = msSince(start);
                rounds = std::max(rounds, p.round);
            };
            const auto found = minibrotNear(c.point, c.radius, c.maxPeriod, control);
            wall.push_back(msSince(start));
            cpu.push_back(cpuMs(usageNow()) - cpuMs(before));
            search.push_back(searched);
            if (!found) {
                std::printf("%-58s none found\n", c.name.c_str());
                break;
            }
            period = found->period;
            bits = found->c.re.precision();
            orbits = rounds;  // the search's orbit serves the first round
        }
        if (period == 0) continue;
        std::printf("%-58s %8lld %6ld %6d %12.1f %12.1f %12.1f\n", c.name.c_str(), static_cast<long long>(period),
                    bits, orbits, median(search), median(wall), median(cpu));
        std::printf("%-58s %8s %6s %6s %12s %12s %12s\n", "", "", "", "", eachRun(search, 0).c_str(),
                    eachRun(wall, 0).c_str(), eachRun(cpu, 0).c_str());
    }
    return 0;
}
