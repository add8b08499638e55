#include "app/number_text.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace qel {
namespace {

// The exponent after the "e": "+16" -> 16, "-05" -> -5, "7" -> 7.
long long exponentOf(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    long long magnitude = 0;
    std::from_chars(text.data(), text.data() + text.size(), magnitude);
    return negative ? -magnitude : magnitude;
}

// 16 -> "E+16", -5 -> "E-05": a sign and at least two digits.
std::string exponentText(int exp10) {
    const int magnitude = exp10 < 0 ? -exp10 : exp10;
    char digits[8];
    const std::string text(digits, std::to_chars(digits, digits + sizeof digits, magnitude).ptr);
    return std::string("E") + (exp10 < 0 ? '-' : '+') + (magnitude < 10 ? "0" : "") + text;
}

// Formats |v| with `digits` significant digits; exponent form when the
// decimal exponent of the rounded value is below -5 or at least `bigExp`.
std::string plainText(double v, int digits, int bigExp) {
    if (std::isnan(v)) return " NaN";
    if (std::isinf(v)) return v < 0 ? "-Inf" : " Inf";
    const char* sign = (v < 0) ? "-" : " ";
    if (v == 0) return " 0";
    double a = std::fabs(v);

    // Round to the wanted digits in exponent form, which gives mantissa and
    // exponent ("1.50000000000000e+16"), whatever the user's locale.
    char buf[64];
    const std::string s(buf, std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, digits - 1).ptr);
    auto ePos = s.find('e');
    std::string mant = s.substr(0, ePos);
    const int exp10 = static_cast<int>(exponentOf(std::string_view(s).substr(ePos + 1)));
    std::string mdigits;
    for (char c : mant)
        if (c != '.') mdigits.push_back(c);
    while (mdigits.size() > 1 && mdigits.back() == '0') mdigits.pop_back();

    std::string body;
    if (exp10 < -4 || exp10 >= bigExp) {
        body = mdigits.substr(0, 1);
        if (mdigits.size() > 1) body += "." + mdigits.substr(1);
        body += exponentText(exp10);
    } else if (exp10 < 0) {
        body = "." + std::string(static_cast<size_t>(-exp10 - 1), '0') + mdigits;
    } else {
        size_t intLen = static_cast<size_t>(exp10) + 1;
        if (mdigits.size() <= intLen) {
            body = mdigits + std::string(intLen - mdigits.size(), '0');
        } else {
            body = mdigits.substr(0, intLen) + "." + mdigits.substr(intLen);
        }
    }
    return sign + body;
}

template <typename T>
std::string numberTextOf(T v, std::string (*str)(T)) {
    if (v > 0 && v < 1) return "0" + trimBlanks(str(v));
    if (v > -1 && v < 0) return "-0" + trimBlanks(str(-v));
    return trimBlanks(str(v));
}

bool isIgnored(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// The value of a number text in the form "-1.5e+3" (sign, digits with a
// point, exponent), read the same in every locale; nullopt when it lies
// beyond the range of T.
template <typename T>
std::optional<T> plainValue(std::string_view number) {
    if (!number.empty() && number.front() == '+') number.remove_prefix(1);
    T v{};
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), v);
    if (error == std::errc::result_out_of_range) return std::nullopt;
    return v;
}

// True when a number text out of a double's range is too small for one
// rather than too large: its first significant digit stands far right of
// the decimal point.
bool isTooSmall(std::string_view number) {
    const auto ePos = number.find('e');
    const std::string_view mantissa = number.substr(0, ePos);
    const auto point = std::min(mantissa.find('.'), mantissa.size());
    const auto first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) return true;
    const long long place = first < point ? static_cast<long long>(point - first - 1)
                                          : -static_cast<long long>(first - point);
    const long long exponent = ePos == std::string_view::npos ? 0 : exponentOf(number.substr(ePos + 1));
    return place + exponent < 0;
}

// Str rounds the largest doubles up to " 1.79769313486232E+308", just beyond
// the range of a double; a number up to that text is what Str wrote for one
// of them and reads back as the largest double instead of overflowing.
bool isUpToLargestWritten(std::string_view number) {
    static const long double largest = *plainValue<long double>(trimBlanks(strDouble(DBL_MAX)));
    const std::optional<long double> v = plainValue<long double>(number);
    return v && std::fabs(*v) <= largest;
}

}  // namespace

std::string strDouble(double v) { return plainText(v, 15, 15); }

std::string strSingle(float v) { return plainText(static_cast<double>(v), 7, 7); }

std::string numberText(double v) { return numberTextOf<double>(v, strDouble); }

std::string numberText(float v) { return numberTextOf<float>(v, strSingle); }

std::string trimBlanks(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    return std::string(text.substr(b, e - b));
}

double valueOfText(std::string_view text) {
    // Gather the characters that form the number, skipping the ignored ones,
    // into a clean text to read.
    std::string clean;
    size_t i = 0;
    auto next = [&]() -> int {
        while (i < text.size() && isIgnored(text[i])) ++i;
        return i < text.size() ? static_cast<unsigned char>(text[i]) : -1;
    };
    int c = next();
    if (c == '+' || c == '-') {
        clean.push_back(static_cast<char>(c));
        ++i;
    }
    bool digits = false, point = false;
    for (c = next(); c != -1; c = next()) {
        if (c >= '0' && c <= '9') {
            clean.push_back(static_cast<char>(c));
            digits = true;
        } else if (c == '.' && !point) {
            clean.push_back('.');
            point = true;
        } else {
            break;
        }
        ++i;
    }
    if (!digits) return 0.0;
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
        ++i;
        std::string expo = "e";
        int s = next();
        if (s == '+' || s == '-') {
            expo.push_back(static_cast<char>(s));
            ++i;
        }
        bool expDigits = false, sawDigit = false;
        for (int d = next(); d >= '0' && d <= '9'; d = next()) {
            // Leading zeros say nothing; very long exponents saturate and
            // then read as too large or too small a number.
            bool leadingZero = (d == '0' && !expDigits);
            if (!leadingZero && expo.size() < 12) expo.push_back(static_cast<char>(d));
            if (!leadingZero) expDigits = true;
            sawDigit = true;
            ++i;
        }
        if (sawDigit) clean += expDigits ? expo : std::string("e0");
    }
    if (const std::optional<double> v = plainValue<double>(clean)) return *v;
    const bool negative = clean.front() == '-';
    if (isTooSmall(clean)) return negative ? -0.0 : 0.0;
    if (isUpToLargestWritten(clean)) return negative ? -DBL_MAX : DBL_MAX;
    return 0.0;
}

}  // namespace qel
