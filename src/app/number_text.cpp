#include "app/number_text.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace qel {
namespace {

// Formats |v| with `digits` significant digits; exponent form when the
// decimal exponent of the rounded value is below -5 or at least `bigExp`.
std::string plainText(double v, int digits, int bigExp) {
    if (std::isnan(v)) return " NaN";
    if (std::isinf(v)) return v < 0 ? "-Inf" : " Inf";
    const char* sign = (v < 0) ? "-" : " ";
    if (v == 0) return " 0";
    double a = std::fabs(v);

    // Round to the wanted digits through %e, which gives mantissa and exponent.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, a);
    std::string s(buf);
    auto ePos = s.find('e');
    std::string mant = s.substr(0, ePos);
    int exp10 = std::atoi(s.c_str() + ePos + 1);
    std::string mdigits;
    for (char c : mant)
        if (c != '.') mdigits.push_back(c);
    while (mdigits.size() > 1 && mdigits.back() == '0') mdigits.pop_back();

    std::string body;
    if (exp10 < -4 || exp10 >= bigExp) {
        body = mdigits.substr(0, 1);
        if (mdigits.size() > 1) body += "." + mdigits.substr(1);
        char e[16];
        std::snprintf(e, sizeof e, "E%c%02d", exp10 < 0 ? '-' : '+', exp10 < 0 ? -exp10 : exp10);
        body += e;
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

// Str rounds the largest doubles up to " 1.79769313486232E+308", just beyond
// the range of a double; a number up to that text is what Str wrote for one
// of them and reads back as the largest double instead of overflowing.
bool isUpToLargestWritten(const std::string& number) {
    static const long double largest = std::strtold(strDouble(DBL_MAX).c_str(), nullptr);
    return std::fabs(std::strtold(number.c_str(), nullptr)) <= largest;
}

// The value of a text as valueOfText reads it, or nothing when its number
// lies beyond the range of a 64-bit float.
std::optional<double> numberOfText(std::string_view text);

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

double valueOfText(std::string_view text) { return numberOfText(text).value_or(0.0); }

bool numberOverflows(std::string_view text) { return !numberOfText(text); }

namespace {

std::optional<double> numberOfText(std::string_view text) {
    // Gather the characters that form the number, skipping the ignored ones,
    // into a clean text for strtod.
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
            // strtod then reports the overflow or gives 0.
            bool leadingZero = (d == '0' && !expDigits);
            if (!leadingZero && expo.size() < 12) expo.push_back(static_cast<char>(d));
            if (!leadingZero) expDigits = true;
            sawDigit = true;
            ++i;
        }
        if (sawDigit) clean += expDigits ? expo : std::string("e0");
    }
    double v = std::strtod(clean.c_str(), nullptr);
    if (std::isinf(v) && isUpToLargestWritten(clean)) return std::copysign(DBL_MAX, v);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

}  // namespace qel
