#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "deep/deep_views.h"
#include "render/deep/mpfr_point.h"
#include "render/deep/nucleus.h"

namespace qel {
namespace {

// Nuclei of periods 1 to 7 on the real axis and in bulbs of the main
// cardioid (the 1/3 to 1/7 bulbs and the 2/5 bulb), the roots of z_p(c)
// that are no roots of z_d for a divisor d, taken to 20 digits from the
// polynomial's roots.
struct KnownNucleus {
    std::int64_t period;
    const char* re;
    const char* im;
};

const KnownNucleus kKnown[] = {
    {1, "0", "0"},
    {2, "-1", "0"},
    {3, "-1.7548776662466927600", "0"},
    {3, "-0.12256116687665361998", "0.74486176661974423659"},
    {4, "-1.9407998065294847522", "0"},
    {4, "-1.3107026413368328836", "0"},
    {4, "0.2822713907669138797", "0.53006061757852529949"},
    {5, "-1.9854242530542053106", "0"},
    {5, "0.37951358801592374531", "0.33493230559749758722"},
    {5, "-0.5043401754462440003", "0.56276576145298196354"},
    {6, "-1.7728929033816237994", "0"},
    {6, "0.38900684056977123544", "0.21585065087081910777"},
    {7, "-1.9990956823270184732", "0"},
    {7, "0.3760086818467675597", "0.14474937132163286475"},
};

BigComplex pointOf(const char* re, const char* im, long bits = 64) {
    return {BigReal::fromText(re, bits), BigReal::fromText(im, bits)};
}

BigComplex offsetBy(const BigComplex& c, double dRe, double dIm) {
    BigComplex p{c.re, c.im};
    BigReal t(53);
    mpfr_set_d(t.get(), dRe, MPFR_RNDN);
    mpfr_add(p.re.get(), p.re.get(), t.get(), MPFR_RNDN);
    mpfr_set_d(t.get(), dIm, MPFR_RNDN);
    mpfr_add(p.im.get(), p.im.get(), t.get(), MPFR_RNDN);
    return p;
}

// |a - b| as a double.
double distance(const BigComplex& a, const BigComplex& b) {
    BigReal dRe(256), dIm(256);
    mpfr_sub(dRe.get(), a.re.get(), b.re.get(), MPFR_RNDN);
    mpfr_sub(dIm.get(), a.im.get(), b.im.get(), MPFR_RNDN);
    return std::hypot(dRe.toDouble(), dIm.toDouble());
}

// z_n(c) and dz_n/dc iterated directly in MPFR at `bits`, z_0 = 0.
struct Direct {
    BigReal zRe, zIm, dRe, dIm;
};
Direct iterate(const BigComplex& c, std::int64_t n, long bits) {
    Direct r{BigReal(bits), BigReal(bits), BigReal(bits), BigReal(bits)};
    BigReal t1(bits), t2(bits), t3(bits);
    for (std::int64_t k = 0; k < n; ++k) {
        // dz' = 2 z dz + 1
        mpfr_mul(t1.get(), r.zRe.get(), r.dRe.get(), MPFR_RNDN);
        mpfr_mul(t2.get(), r.zIm.get(), r.dIm.get(), MPFR_RNDN);
        mpfr_sub(t3.get(), t1.get(), t2.get(), MPFR_RNDN);
        mpfr_mul(t1.get(), r.zRe.get(), r.dIm.get(), MPFR_RNDN);
        mpfr_mul(t2.get(), r.zIm.get(), r.dRe.get(), MPFR_RNDN);
        mpfr_add(r.dIm.get(), t1.get(), t2.get(), MPFR_RNDN);
        mpfr_mul_2ui(r.dIm.get(), r.dIm.get(), 1, MPFR_RNDN);
        mpfr_mul_2ui(r.dRe.get(), t3.get(), 1, MPFR_RNDN);
        mpfr_add_ui(r.dRe.get(), r.dRe.get(), 1, MPFR_RNDN);
        BigReal cRe = c.re.withPrecision(bits), cIm = c.im.withPrecision(bits);
        squarePlus(r.zRe, r.zIm, cRe, cIm, t1, t2);
    }
    return r;
}

double log2Abs(const BigReal& re, const BigReal& im) {
    return std::max(re.toExt().log2Abs(), im.toExt().log2Abs());
}

// From a point 1e-7 away, within a radius of 1e-6: the period search and
// Newton's method together; from a point 1e-3 away with the period given:
// Newton's method alone. Both reach the nucleus to the 20 digits it is
// known to, and its period.
TEST(Nucleus, NucleiOfKnownPeriodsOnTheAxisAndInTheBulbs) {
    for (const KnownNucleus& k : kKnown) {
        SCOPED_TRACE(std::string(k.re) + " " + k.im);
        const BigComplex known = pointOf(k.re, k.im, 128);
        const auto near = minibrotNear(offsetBy(pointOf(k.re, k.im), 1e-7, -1e-7), ExtFloat::of(1e-6), 1000);
        ASSERT_TRUE(near);
        EXPECT_EQ(near->period, k.period);
        EXPECT_LT(distance(near->c, known), 1e-19);
        const auto newton = nucleusOfPeriod(offsetBy(pointOf(k.re, k.im), 1e-3, 1e-3), k.period);
        ASSERT_TRUE(newton);
        EXPECT_EQ(newton->period, k.period);
        EXPECT_LT(distance(newton->c, known), 1e-19);
    }
}

// z_p has the nuclei of every divisor of p among its roots: Newton's method
// on z_4 beside -1, and on z_3 from 0, ends on a nucleus of a lower period
// and says so.
TEST(Nucleus, NewtonsMethodLandingOnADivisorsNucleusGivesItsOwnPeriod) {
    const auto two = nucleusOfPeriod(pointOf("-1.001", "0.0005"), 4);
    ASSERT_TRUE(two);
    EXPECT_EQ(two->period, 2);
    EXPECT_LT(distance(two->c, pointOf("-1", "0")), 1e-19);
    const auto one = nucleusOfPeriod(pointOf("0", "0"), 3);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->period, 1);
}

// The smallest of the three discs that holds a nucleus gives the period; a
// point whose orbit leaves at once has none near it.
TEST(Nucleus, ThePeriodSearchTakesTheSmallestDiscThatHoldsANucleus) {
    // 0.001 from 0, inside the main cardioid: of the discs of 0.0001,
    // 0.0004 and 0.0016 only the last holds 0, the nucleus of period 1; of
    // those of 0.002 and more the first does.
    const BigComplex near0 = pointOf("0.001", "0");
    const auto third = findPeriod(near0, ExtFloat::of(0.0001), 200);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->period, 1);
    EXPECT_EQ(third->radius.toDouble(), 0.0016);
    const auto first = findPeriod(near0, ExtFloat::of(0.002), 200);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->radius.toDouble(), 0.002);
    // Beside the nucleus of period 4 at -1.3107: the disc of 0.02 holds it,
    // the one of 0.32 also -1, of period 2; the smaller disc wins.
    const auto four = findPeriod(pointOf("-1.3097", "0.001"), ExtFloat::of(0.02), 200);
    ASSERT_TRUE(four);
    EXPECT_EQ(four->period, 4);
    EXPECT_EQ(findPeriod(pointOf("-1.3097", "0.001"), ExtFloat::of(0.32), 200)->period, 2);
    EXPECT_FALSE(findPeriod(pointOf("1.5", "1.5"), ExtFloat::of(0.01), 200));
    EXPECT_FALSE(minibrotNear(pointOf("1.5", "1.5"), ExtFloat::of(0.01), 200));
}

// The size puts the minibrot's copy of the set where it is: the points of
// the copy of 0.2 (inside the cardioid near its cusp) and -1 (the centre of
// the period-2 bulb) stay, those of 0.5 + 0.1i (right of the set) and
// -2.1 + 0.2i (beyond the tip) escape; a size too large, too small or
// turned would move them.
void expectTheCopyOfTheSet(const Nucleus& n, long bits, double maxIter) {
    const struct {
        double re, im;
        bool inside;
    } places[] = {{0.2, 0.0, true}, {-1.0, 0.0, true}, {0.5, 0.1, false}, {-2.1, 0.2, false}};
    for (const auto& place : places) {
        SCOPED_TRACE(std::to_string(place.re) + " " + std::to_string(place.im));
        // c = nucleus + size * w: a view of pixel size |size * w| centred on
        // the nucleus, the point one pixel away in the direction of size * w.
        DeepView view;
        view.centreRe = n.c.re.withPrecision(bits);
        view.centreIm = n.c.im.withPrecision(bits);
        view.maxIter = maxIter;
        const ExtComplex sw = n.size * ExtComplex::of(place.re, place.im);
        view.pixelSize = ExtFloat::of(1.0);
        BigReal re = view.centreRe, im = view.centreIm;
        BigReal t(64);
        mpfr_set_d(t.get(), sw.re, MPFR_RNDN);
        mpfr_mul_2si(t.get(), t.get(), static_cast<long>(sw.e), MPFR_RNDN);
        mpfr_add(re.get(), re.get(), t.get(), MPFR_RNDN);
        mpfr_set_d(t.get(), sw.im, MPFR_RNDN);
        mpfr_mul_2si(t.get(), t.get(), static_cast<long>(sw.e), MPFR_RNDN);
        mpfr_add(im.get(), im.get(), t.get(), MPFR_RNDN);
        view.centreRe = re;
        view.centreIm = im;
        const OrbitResult r = mpfrPoint(view, 0, 0, bits);
        EXPECT_EQ(!r.escaped, place.inside) << r.n;
    }
}

TEST(Nucleus, TheSizeFramesTheCopyOfTheSet) {
    const auto airplane = nucleusOfPeriod(pointOf("-1.75", "0"), 3);
    ASSERT_TRUE(airplane);
    // The copy's cusp, 0.25, is the end of the period-3 window at -7/4.
    EXPECT_NEAR(airplane->c.re.toDouble() + 0.25 * airplane->size.reDouble(), -1.75,
                0.02 * std::abs(airplane->size.reDouble()));
    expectTheCopyOfTheSet(*airplane, 128, 3000);
    EXPECT_EQ(minibrotSize(airplane->c, 3).reDouble(), airplane->size.reDouble());
}

// The minibrot of period 53 at the centre of the view at 1E50, from a
// point 100 pixels away: its nucleus to the digits the view gives it with,
// z_53 there zero to the precision it is given with (by the direct
// iteration in MPFR), and its size framing its copy of the set.
TEST(Nucleus, ADeepMinibrotAgreesWithTheDirectIteration) {
    const testing::DeepTestView& v = testing::kDeepViews[1];
    ASSERT_STREQ(v.id, "MinibrotAt1E50");
    const DeepView view = testing::deepViewOf(v);
    const double pixel = view.pixelSize.toDouble();
    const BigComplex centre{view.centreRe, view.centreIm};
    const auto found = minibrotNear(offsetBy(centre, 100 * pixel, -70 * pixel), view.pixelSize * 50.0, 3000);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->period, 53);
    EXPECT_LT(distance(found->c, centre), 1e-69);

    const long bits = found->c.re.precision();
    const Direct z = iterate(found->c, found->period, bits);
    // |z_p| / |dz_p|, the distance to the root to first order, within a
    // few units of the last place.
    EXPECT_LT(log2Abs(z.zRe, z.zIm) - log2Abs(z.dRe, z.dIm), 4.0 - static_cast<double>(bits));
    expectTheCopyOfTheSet(*found, bits, 53.0 * 1000);
}

TEST(Nucleus, AStopEndsTheSearchAndProgressIsTold) {
    std::atomic<bool> stop{false};
    std::vector<NucleusProgress> told;
    NucleusControl control{&stop, [&](const NucleusProgress& p) {
                               told.push_back(p);
                               if (told.size() == 3) stop = true;
                           }};
    // Inside the main cardioid: the orbit never leaves, no disc holds 0.
    EXPECT_FALSE(findPeriod(pointOf("-0.3", "0.2"), ExtFloat::of(1e-6), 1'000'000, control));
    ASSERT_EQ(told.size(), 3u);
    EXPECT_EQ(told[0].stage, NucleusProgress::Stage::period);
    EXPECT_EQ(told[2].steps, 1'000'000);
    EXPECT_LT(told[0].step, told[2].step);
    EXPECT_LT(told[2].step, 20000);
}

}  // namespace
}  // namespace qel
