#include "render/deep/decimal_text.h"

#include <algorithm>

namespace qel {
namespace {

constexpr std::int64_t kExponentBound = 1'000'000'000'000'000;

bool isIgnored(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(int c) { return c >= '0' && c <= '9'; }

// Reads a text character by character, skipping the ignored ones.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}
    int peek() {
        while (i_ < text_.size() && isIgnored(text_[i_])) ++i_;
        return i_ < text_.size() ? static_cast<unsigned char>(text_[i_]) : -1;
    }
    void take() { ++i_; }

private:
    std::string_view text_;
    std::size_t i_ = 0;
};

std::int64_t readExponent(Reader& in) {
    bool negative = false;
    if (int s = in.peek(); s == '+' || s == '-') {
        negative = s == '-';
        in.take();
    }
    std::int64_t value = 0;
    for (int d = in.peek(); isDigit(d); d = in.peek()) {
        value = std::min(kExponentBound, value * 10 + (d - '0'));
        in.take();
    }
    return negative ? -value : value;
}

// Drops leading zeros (moving the exponent) and trailing zeros.
void trimZeros(DecimalNumber& n) {
    const std::size_t first = n.digits.find_first_not_of('0');
    if (first == std::string::npos) {
        const bool negative = n.negative;  // a zero keeps its sign, as a double's does
        n = DecimalNumber{};
        n.negative = negative;
        return;
    }
    n.digits.erase(0, first);
    n.exp10 -= static_cast<std::int64_t>(first);
    n.digits.erase(n.digits.find_last_not_of('0') + 1);
}

std::string exponentText(std::int64_t exp10) {
    std::string digits = std::to_string(exp10 < 0 ? -exp10 : exp10);
    if (digits.size() < 2) digits.insert(0, "0");
    return std::string("E") + (exp10 < 0 ? '-' : '+') + digits;
}

}  // namespace

bool isPlainDecimal(std::string_view text) {
    std::size_t i = 0, digits = 0;
    auto digitsFrom = [&] {
        std::size_t n = 0;
        while (i < text.size() && isDigit(text[i])) ++i, ++n;
        return n;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    digits += digitsFrom();
    if (i < text.size() && text[i] == '.') {
        ++i;
        digits += digitsFrom();
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digitsFrom() == 0) return false;
    }
    return i == text.size();
}

DecimalNumber scanDecimal(std::string_view text) {
    Reader in(text);
    DecimalNumber n;
    if (int s = in.peek(); s == '+' || s == '-') {
        n.negative = s == '-';
        in.take();
    }
    bool point = false, digits = false;
    std::int64_t before = 0;  // digits in front of the decimal point
    for (int c = in.peek(); c != -1; c = in.peek()) {
        if (isDigit(c)) {
            n.digits.push_back(static_cast<char>(c));
            digits = true;
            if (!point) ++before;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
        in.take();
    }
    if (!digits) return {};
    if (int c = in.peek(); c == 'E' || c == 'e' || c == 'D' || c == 'd') {
        in.take();
        n.exp10 = readExponent(in);
    }
    n.exp10 = std::clamp(n.exp10 + before, -kExponentBound, kExponentBound);
    trimZeros(n);
    return n;
}

std::string strOfDecimal(const DecimalNumber& number, int significant) {
    if (number.isZero()) return " 0";
    std::string digits = number.digits.substr(0, static_cast<std::size_t>(std::max(1, significant)));
    digits.erase(digits.find_last_not_of('0') + 1);
    const std::int64_t exp10 = number.exp10 - 1;  // of the first digit
    std::string body;
    if (exp10 < -4 || exp10 >= significant) {
        body = digits.substr(0, 1);
        if (digits.size() > 1) body += "." + digits.substr(1);
        body += exponentText(exp10);
    } else if (exp10 < 0) {
        body = "." + std::string(static_cast<std::size_t>(-exp10 - 1), '0') + digits;
    } else {
        const auto whole = static_cast<std::size_t>(exp10 + 1);
        if (digits.size() <= whole)
            body = digits + std::string(whole - digits.size(), '0');
        else
            body = digits.substr(0, whole) + "." + digits.substr(whole);
    }
    return (number.negative ? "-" : " ") + body;
}

}  // namespace qel
