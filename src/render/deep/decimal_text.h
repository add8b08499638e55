// Decimal numbers of any length as text, independent of the locale: the
// reader takes a text by the rule every number field of qel follows, the
// writer gives the plain form Str gives a double, with as many significant
// digits as asked for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qel {

// sign * 0.d1 d2 d3 ... * 10^exp10, the digits without leading or trailing
// zeros; no digits is the number 0 (with the sign it was written with).
struct DecimalNumber {
    bool negative = false;
    std::string digits;
    std::int64_t exp10 = 0;

    bool isZero() const { return digits.empty(); }
};

// The value of a text: blanks, tabs and line feeds are ignored wherever they
// stand; an optional sign, digits with at most one decimal point and an
// optional exponent (E, e, D or d, optional sign, digits) are read; reading
// stops at the first other character; a text without digits reads 0.
// Exponents beyond +-10^15 saturate there.
DecimalNumber scanDecimal(std::string_view text);

// True when `text` is written as a plain decimal number and nothing else:
// an optional sign, digits with at most one point, an optional exponent (E
// or e, optional sign, digits). Blanks, hexadecimal, "inf" and "nan" are not.
bool isPlainDecimal(std::string_view text);

// The plain form of Str for a number already rounded to its digits, with
// `significant` digits at most: a leading blank for a number that is not
// negative, no zero before a leading decimal point, trailing zeros dropped;
// exponent form ("1.5E+16", "1E-05", "1E+1000") when the decimal exponent
// is below -4 or at least `significant`.
std::string strOfDecimal(const DecimalNumber& number, int significant);

}  // namespace qel
