#include "render/deep/big_real.h"

#include <algorithm>
#include <cmath>

namespace qel {
namespace {

long validPrecision(long bits) { return std::clamp<long>(bits, MPFR_PREC_MIN, MPFR_PREC_MAX); }

}  // namespace

long bitsForDigits(std::int64_t digits) {
    return static_cast<long>(std::ceil(static_cast<double>(digits) * 3.321928094887362)) + 8;
}

BigReal::BigReal(long precisionBits) {
    mpfr_init2(value_, validPrecision(precisionBits));
    mpfr_set_zero(value_, 1);
}

BigReal::BigReal(double value, long precisionBits) : BigReal(precisionBits) { mpfr_set_d(value_, value, MPFR_RNDN); }

BigReal::BigReal(const BigReal& other) {
    mpfr_init2(value_, mpfr_get_prec(other.value_));
    mpfr_set(value_, other.value_, MPFR_RNDN);
}

BigReal::BigReal(BigReal&& other) noexcept : BigReal(other) {}

BigReal& BigReal::operator=(const BigReal& other) {
    if (this != &other) {
        mpfr_set_prec(value_, mpfr_get_prec(other.value_));
        mpfr_set(value_, other.value_, MPFR_RNDN);
    }
    return *this;
}

BigReal& BigReal::operator=(BigReal&& other) noexcept {
    if (this != &other) mpfr_swap(value_, other.value_);
    return *this;
}

BigReal::~BigReal() { mpfr_clear(value_); }

BigReal BigReal::fromDecimal(const DecimalNumber& number, long precisionBits) {
    const auto digits = static_cast<std::int64_t>(number.digits.size());
    BigReal x(std::max(precisionBits, bitsForDigits(digits)));
    if (number.isZero()) return x;
    // An integer and a power of ten: no decimal point, so no locale.
    const std::string text =
        (number.negative ? "-" : "") + number.digits + "e" + std::to_string(number.exp10 - digits);
    mpfr_set_str(x.value_, text.c_str(), 10, MPFR_RNDN);
    return x;
}

BigReal BigReal::fromText(std::string_view text, long precisionBits) {
    return fromDecimal(scanDecimal(text), precisionBits);
}

DecimalNumber BigReal::decimal(int significant) const {
    DecimalNumber n;
    if (!isFinite() || mpfr_zero_p(value_)) return n;
    mpfr_exp_t exp10 = 0;
    char* text = mpfr_get_str(nullptr, &exp10, 10, static_cast<std::size_t>(std::max(1, significant)), value_,
                              MPFR_RNDN);
    std::string_view digits(text);
    n.negative = !digits.empty() && digits.front() == '-';
    if (n.negative) digits.remove_prefix(1);
    n.digits = std::string(digits.substr(0, digits.find_last_not_of('0') + 1));
    n.exp10 = exp10;
    mpfr_free_str(text);
    return n;
}

std::string BigReal::str(int significant) const { return strOfDecimal(decimal(significant), significant); }

BigReal BigReal::withPrecision(long precisionBits) const {
    BigReal x(precisionBits);
    mpfr_set(x.value_, value_, MPFR_RNDN);
    return x;
}

ExtFloat BigReal::toExt() const {
    if (mpfr_zero_p(value_) || !isFinite()) return {};
    long exp2 = 0;
    const double mantissa = mpfr_get_d_2exp(&exp2, value_, MPFR_RNDN);
    return ExtFloat::normalised(mantissa, exp2);
}

BigReal offsetBy(const BigReal& x, double offset, ExtFloat unit) {
    BigReal step(128);  // offset * unit.m exactly: 53 + 53 bits
    mpfr_set_d(step.get(), unit.m, MPFR_RNDN);
    mpfr_mul_d(step.get(), step.get(), offset, MPFR_RNDN);
    mpfr_mul_2si(step.get(), step.get(), static_cast<long>(unit.e), MPFR_RNDN);
    BigReal sum(x.precision());
    mpfr_add(sum.get(), x.get(), step.get(), MPFR_RNDN);
    return sum;
}

BigReal gridPointBy(const BigReal& x, double offset, ExtFloat unit) {
    BigReal u(64);
    mpfr_set_d(u.get(), unit.m, MPFR_RNDN);
    mpfr_mul_2si(u.get(), u.get(), static_cast<long>(unit.e), MPFR_RNDN);
    BigReal q(x.precision() + 64);
    mpfr_div(q.get(), x.get(), u.get(), MPFR_RNDN);
    mpfr_add_d(q.get(), q.get(), offset, MPFR_RNDN);
    mpfr_floor(q.get(), q.get());
    BigReal at(x.precision());
    mpfr_mul(at.get(), q.get(), u.get(), MPFR_RNDN);
    return at;
}

double unitsBetween(const BigReal& from, const BigReal& to, ExtFloat unit) {
    BigReal d(std::max(from.precision(), to.precision()) + 1);
    mpfr_sub(d.get(), to.get(), from.get(), MPFR_RNDN);
    const ExtFloat difference = d.toExt();
    if (difference.isZero()) return 0.0;
    return (difference / unit).toDouble();
}

BigReal nearestWhole(const BigReal& x) {
    BigReal k(x.precision());
    mpfr_round(k.get(), x.get());
    return k;
}

void squarePlus(BigReal& zRe, BigReal& zIm, const BigReal& cRe, const BigReal& cIm, BigReal& scratch1,
                BigReal& scratch2) {
    mpfr_sqr(scratch1.get(), zIm.get(), MPFR_RNDN);
    mpfr_mul(scratch2.get(), zRe.get(), zIm.get(), MPFR_RNDN);
    mpfr_mul_2ui(scratch2.get(), scratch2.get(), 1, MPFR_RNDN);
    mpfr_add(zIm.get(), scratch2.get(), cIm.get(), MPFR_RNDN);
    mpfr_sqr(scratch2.get(), zRe.get(), MPFR_RNDN);
    mpfr_sub(scratch2.get(), scratch2.get(), scratch1.get(), MPFR_RNDN);
    mpfr_add(zRe.get(), scratch2.get(), cRe.get(), MPFR_RNDN);
}

}  // namespace qel
