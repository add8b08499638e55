// A real number of chosen binary precision (MPFR underneath), for the
// centre and the Julia constant of views deeper than a double can tell
// apart, with its decimal text in and out.
#pragma once

#include <mpfr.h>

#include <string>
#include <string_view>

#include "render/deep/decimal_text.h"
#include "render/deep/ext_float.h"

namespace qel {

class BigReal {
public:
    explicit BigReal(long precisionBits = 64);
    BigReal(double value, long precisionBits);
    BigReal(const BigReal& other);
    BigReal(BigReal&& other) noexcept;
    BigReal& operator=(const BigReal& other);  // takes the other's precision too
    BigReal& operator=(BigReal&& other) noexcept;
    ~BigReal();

    // The number a text reads as (see scanDecimal), rounded to the given
    // precision, but never to fewer bits than its digits hold.
    static BigReal fromText(std::string_view text, long precisionBits);
    static BigReal fromDecimal(const DecimalNumber& number, long precisionBits);

    // The number rounded to `significant` decimal digits.
    DecimalNumber decimal(int significant) const;
    // Str's plain form with `significant` digits, e.g. " 1.5E+16", "-.743643887037158704".
    std::string str(int significant) const;

    long precision() const { return static_cast<long>(mpfr_get_prec(value_)); }
    // The same number held at another precision (rounded when fewer bits).
    BigReal withPrecision(long precisionBits) const;
    double toDouble() const { return mpfr_get_d(value_, MPFR_RNDN); }
    ExtFloat toExt() const;
    bool isFinite() const { return mpfr_number_p(value_) != 0; }

    mpfr_ptr get() { return value_; }
    mpfr_srcptr get() const { return value_; }

private:
    mpfr_t value_;
};

// The bits that hold `digits` decimal digits.
long bitsForDigits(std::int64_t digits);

// x + offset * unit at the precision of x.
BigReal offsetBy(const BigReal& x, double offset, ExtFloat unit);

// The grid point of a click: floor((x + offset * unit) / unit) * unit, the
// multiple of the pixel size `unit` at or below x + offset pixels, at the
// precision of x (which must hold the quotient's whole part, as the
// precision a view of that pixel size has does).
BigReal gridPointBy(const BigReal& x, double offset, ExtFloat unit);

// (to - from) / unit as a double: how many units lie between two numbers
// (an infinity when more than a double holds).
double unitsBetween(const BigReal& from, const BigReal& to, ExtFloat unit);

// The whole number nearest x, at the precision of x.
BigReal nearestWhole(const BigReal& x);

// One step z -> z * z + c at the precision of z, with two scratch numbers:
// re' = re^2 - im^2 + cRe, im' = 2 re im + cIm.
void squarePlus(BigReal& zRe, BigReal& zIm, const BigReal& cRe, const BigReal& cIm, BigReal& scratch1,
                BigReal& scratch2);

}  // namespace qel
