// Numbers beyond a double's exponent range: a double mantissa with a
// separate 64-bit power of two. Deep views need them for pixel sizes below
// about 1e-300, for orbit differences that small, and for magnifications
// above 1e308. The arithmetic rounds like double arithmetic on the mantissa;
// only the exponent cannot overflow.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace qel {

namespace ext {

// The exponent of zero: far below any other, so that zero drops out when
// aligned with a number, and sums of two such exponents stay in range.
inline constexpr std::int64_t kZeroExponent = -(std::int64_t{1} << 60);

// The binary exponent of a positive normal double: x = 1.f * 2^k.
inline int exponentOf(double x) {
    return static_cast<int>((std::bit_cast<std::uint64_t>(x) >> 52) & 0x7ff) - 1023;
}

// 2^k as a double, for k in -1022..1023.
inline double powerOfTwo(std::int64_t k) { return std::bit_cast<double>(static_cast<std::uint64_t>(k + 1023) << 52); }

// x * 2^k for any k: 0 below the double's range, infinity above it. A
// multiplication where 2^k is a double (one rounding, as ldexp's).
inline double scaled(double x, std::int64_t k) {
    if (k >= -1022 && k <= 1023) return x * powerOfTwo(k);
    return std::ldexp(x, static_cast<int>(std::clamp<std::int64_t>(k, -4000, 4000)));
}

}  // namespace ext

// m * 2^e with 1 <= |m| < 2, or m = 0 with e = kZeroExponent.
struct ExtFloat {
    double m = 0.0;
    std::int64_t e = ext::kZeroExponent;

    static ExtFloat normalised(double m, std::int64_t e) {
        if (m == 0.0 || !std::isfinite(m)) return {m == 0.0 ? 0.0 : m, m == 0.0 ? ext::kZeroExponent : e};
        int k = 0;
        const double f = std::frexp(m, &k);  // f in [0.5, 1)
        return {2.0 * f, e + k - 1};
    }
    static ExtFloat of(double x) { return normalised(x, 0); }

    double toDouble() const { return ext::scaled(m, e); }
    bool isZero() const { return m == 0.0; }
    // log2 |x| for x != 0, as a double.
    double log2Abs() const { return static_cast<double>(e) + std::log2(std::fabs(m)); }

    friend ExtFloat operator*(ExtFloat a, ExtFloat b) { return normalised(a.m * b.m, a.e + b.e); }
    friend ExtFloat operator/(ExtFloat a, ExtFloat b) { return normalised(a.m / b.m, a.e - b.e); }
    friend ExtFloat operator*(ExtFloat a, double b) { return a * of(b); }
    // Compares magnitudes of numbers that are both >= 0.
    friend bool lessMagnitude(ExtFloat a, ExtFloat b) {
        if (b.isZero()) return false;
        if (a.isZero()) return true;
        return a.e < b.e || (a.e == b.e && std::fabs(a.m) < std::fabs(b.m));
    }
};

// (re + i im) * 2^e with the larger part in [1, 2) in magnitude, or both
// parts 0 with e = kZeroExponent. One exponent for both parts: a step of
// the orbit difference costs a few double operations and one rescaling.
struct ExtComplex {
    double re = 0.0, im = 0.0;
    std::int64_t e = ext::kZeroExponent;

    // Brings the larger part into [1, 2). The parts must be finite, and
    // normal doubles or 0 where they are not both 0.
    void normalise() {
        const double a = std::max(std::fabs(re), std::fabs(im));
        if (a == 0.0) {
            re = im = 0.0;
            e = ext::kZeroExponent;
            return;
        }
        const int k = ext::exponentOf(a);
        const double s = ext::powerOfTwo(-k);
        re *= s;
        im *= s;
        e += k;
    }

    static ExtComplex of(double re, double im, std::int64_t e = 0) {
        if (re == 0.0 && im == 0.0) return {};
        int k = 0;
        std::frexp(std::max(std::fabs(re), std::fabs(im)), &k);
        const std::int64_t shift = 1 - k;  // brings the larger part into [1, 2)
        return {ext::scaled(re, shift), ext::scaled(im, shift), e - shift};
    }
    // Fast for a pair whose larger part is a normal double.
    static ExtComplex ofNormal(double re, double im) {
        ExtComplex z{re, im, 0};
        z.normalise();
        return z;
    }
    static ExtComplex of(ExtFloat re, ExtFloat im) {
        const std::int64_t e = std::max(re.e, im.e);
        return of(ext::scaled(re.m, re.e - e), ext::scaled(im.m, im.e - e), e);
    }

    bool isZero() const { return re == 0.0 && im == 0.0; }
    double reDouble() const { return ext::scaled(re, e); }
    double imDouble() const { return ext::scaled(im, e); }
    // max(|re|, |im|) as a power of two: 2^largestExponent() <= it < 2 * that.
    std::int64_t largestExponent() const { return e; }
    // |z|^2.
    ExtFloat norm() const { return ExtFloat::normalised(re * re + im * im, 2 * e); }
    // |z|.
    ExtFloat magnitude() const { return isZero() ? ExtFloat{} : ExtFloat::normalised(std::hypot(re, im), e); }

    friend ExtComplex operator*(ExtComplex a, ExtComplex b) {
        ExtComplex r{a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re, a.e + b.e};
        r.normalise();
        return r;
    }
    friend ExtComplex operator+(ExtComplex a, ExtComplex b) {
        if (a.e < b.e) std::swap(a, b);
        const std::int64_t d = a.e - b.e;  // b is the smaller
        if (d > 80) return a;               // below the last bit of a
        const double s = ext::powerOfTwo(-d);
        ExtComplex r{a.re + b.re * s, a.im + b.im * s, a.e};
        r.normalise();
        return r;
    }
    ExtComplex twice() const { return isZero() ? *this : ExtComplex{re, im, e + 1}; }
};

}  // namespace qel
