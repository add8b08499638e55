#include "app/number_text.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "render/deep/decimal_text.h"

namespace qel {
namespace {

// |v| rounded to `significant` digits: to_chars gives them with their
// exponent ("1.50000000000000e+16") whatever the user's locale.
DecimalNumber decimalOf(double v, int significant) {
    char buf[64];
    const std::string_view text(buf, std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific,
                                                   significant - 1)
                                         .ptr);
    const std::size_t ePos = text.find('e');
    DecimalNumber n;
    n.negative = v < 0;
    for (char c : text.substr(0, ePos))
        if (c != '.') n.digits.push_back(c);
    n.digits.erase(n.digits.find_last_not_of('0') + 1);
    int exp10 = 0;
    const std::string_view exponent = text.substr(ePos + 1);
    std::from_chars(exponent.data() + (exponent.front() == '+' ? 1 : 0), exponent.data() + exponent.size(), exp10);
    n.exp10 = exp10 + 1;
    return n;
}

// Str's form of a double with `significant` digits.
std::string plainText(double v, int significant) {
    if (std::isnan(v)) return " NaN";
    if (std::isinf(v)) return v < 0 ? "-Inf" : " Inf";
    if (v == 0) return " 0";
    return strOfDecimal(decimalOf(v, significant), significant);
}

template <typename T>
std::string numberTextOf(T v, std::string (*str)(T)) {
    if (v > 0 && v < 1) return "0" + trimBlanks(str(v));
    if (v > -1 && v < 0) return "-0" + trimBlanks(str(-v));
    return trimBlanks(str(v));
}

// The number as a text from_chars reads: its digits as an integer and a
// power of ten ("-125e2"), the same in every locale.
std::string plainNumberText(const DecimalNumber& n) {
    if (n.isZero()) return n.negative ? "-0" : "0";
    return (n.negative ? "-" : "") + n.digits + "e" +
           std::to_string(n.exp10 - static_cast<std::int64_t>(n.digits.size()));
}

// The value of a number text, nullopt when it lies beyond the range of T.
template <typename T>
std::optional<T> plainValue(const std::string& text) {
    T v{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (error == std::errc::result_out_of_range) return std::nullopt;
    return v;
}

// Str rounds the largest doubles up to " 1.79769313486232E+308", just beyond
// the range of a double; a number up to that text is what Str wrote for one
// of them and reads back as the largest double instead of overflowing.
bool isUpToLargestWritten(const std::string& number) {
    static const long double largest = *plainValue<long double>(plainNumberText(scanDecimal(strDouble(DBL_MAX))));
    const std::optional<long double> v = plainValue<long double>(number);
    return v && std::fabs(*v) <= largest;
}

// The value of a text as valueOfText reads it, or nothing when its number
// lies beyond the range of a 64-bit float. A number whose first digit
// stands right of the decimal point and that is still out of range is too
// small for one: it reads as a zero of its sign.
std::optional<double> numberOfText(std::string_view text) {
    const DecimalNumber n = scanDecimal(text);
    const std::string number = plainNumberText(n);
    if (const std::optional<double> v = plainValue<double>(number)) return *v;
    if (n.exp10 <= 0) return n.negative ? -0.0 : 0.0;
    if (isUpToLargestWritten(number)) return n.negative ? -DBL_MAX : DBL_MAX;
    return std::nullopt;
}

}  // namespace

std::string strDouble(double v) { return plainText(v, 15); }

std::string strSingle(float v) { return plainText(static_cast<double>(v), 7); }

std::string numberText(double v) { return numberTextOf<double>(v, strDouble); }

std::string numberText(float v) { return numberTextOf<float>(v, strSingle); }

std::string trimBlanks(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    return std::string(text.substr(b, e - b));
}

double valueOfText(std::string_view text) { return numberOfText(text).value_or(0.0); }

bool numberOverflows(std::string_view text) { return !numberOfText(text); }

}  // namespace qel
