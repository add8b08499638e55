#include "files/kfr_file.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <memory>

#include "app/deep_place.h"
#include "app/number_text.h"
#include "app/view_limits.h"
#include "app/view_texts.h"
#include "files/file_name.h"
#include "render/deep/big_real.h"

namespace qel {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Str's digits for the magnification; the Zoom written carries more, so
// that reading it rounds back to the same magnification.
constexpr int kMagnificationDigits = 15;
constexpr int kZoomDigits = 20;
// Bits enough for a Zoom's leading digits: the magnification has 15.
constexpr long kZoomBits = 128;
constexpr std::size_t kZoomDigitsRead = 40;

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// Takes `value` into `slot` unless the key came before.
bool takeOnce(std::optional<std::string>& slot, std::string_view value) {
    if (slot) return false;
    slot = std::string(value);
    return true;
}

bool plainCoordinate(const std::string& text) {
    return isPlainDecimal(text) && scanDecimal(text).digits.size() <= kMostKfrDigits;
}

// The picture's height over its width: 3 / 4.
long pictureWidth() { return AppState{}.picW; }
long pictureHeight() { return AppState{}.picH; }

// A number written out in full, without an exponent: "-0.000123", "42".
std::string positionalText(const DecimalNumber& n) {
    if (n.isZero()) return "0";
    std::string out = n.negative ? "-" : "";
    const auto length = static_cast<std::int64_t>(n.digits.size());
    if (n.exp10 <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-n.exp10), '0');
        out += n.digits;
    } else if (n.exp10 >= length) {
        out += n.digits;
        out.append(static_cast<std::size_t>(n.exp10 - length), '0');
    } else {
        const auto whole = static_cast<std::size_t>(n.exp10);
        out += n.digits.substr(0, whole) + "." + n.digits.substr(whole);
    }
    return out;
}

// Every digit of a double: the shortest text that reads back as it.
std::string shortestText(double v) {
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v);
    return std::string(buffer.data(), ec == std::errc{} ? end : buffer.data());
}

std::string coordinateText(const View& v, bool imaginary) {
    if (isDeep(v)) return positionalText(scanDecimal(imaginary ? v.deep.centerY : v.deep.centerX));
    return positionalText(scanDecimal(shortestText(imaginary ? v.centerY : v.centerX)));
}

// `text` * numerator / denominator, in numberText's form with `digits` digits.
std::string scaledText(const DecimalNumber& number, long numerator, long denominator, int digits) {
    BigReal x = BigReal::fromDecimal(number, kZoomBits);
    mpfr_mul_si(x.get(), x.get(), numerator, MPFR_RNDN);
    mpfr_div_si(x.get(), x.get(), denominator, MPFR_RNDN);
    return numberTextOfStr(x.str(digits));
}

std::string iterationsText(double maxIter) {
    std::array<char, 400> buffer{};
    const auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), maxIter, std::chars_format::fixed, 0);
    return std::string(buffer.data(), ec == std::errc{} ? end : buffer.data());
}

}  // namespace

std::optional<KfrLocation> parseKfr(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    std::optional<std::string> re, im, zoom, iterations;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view key = trimmed(line.substr(0, colon)), value = trimmed(line.substr(colon + 1));
        std::optional<std::string>* slot = key == "Re"           ? &re
                                           : key == "Im"         ? &im
                                           : key == "Zoom"       ? &zoom
                                           : key == "Iterations" ? &iterations
                                                                 : nullptr;
        // A key given twice leaves the location in doubt.
        if (slot && !takeOnce(*slot, value)) return std::nullopt;
    }
    if (!re || !im || !zoom) return std::nullopt;
    if (!plainCoordinate(*re) || !plainCoordinate(*im) || !isPlainDecimal(*zoom)) return std::nullopt;
    if (iterations && (!isPlainDecimal(*iterations) || numberOverflows(*iterations) ||
                       !isIterationLimit(valueOfText(*iterations))))
        return std::nullopt;
    return KfrLocation{*re, *im, *zoom, iterations};
}

std::optional<std::string> magnificationOfZoom(std::string_view zoom) {
    DecimalNumber z = scanDecimal(zoom);
    if (z.isZero() || z.negative) return std::nullopt;
    // 0.d * 10^exp10: a few powers of ten of room on either side of
    // 0.1..1E+10000, the view's own limits decide within them.
    if (z.exp10 < -2 || z.exp10 > kDeepestMagnificationPowerOfTen + 3) return std::nullopt;
    if (z.digits.size() > kZoomDigitsRead) z.digits.resize(kZoomDigitsRead);
    return scaledText(z, pictureHeight(), pictureWidth(), kMagnificationDigits);
}

std::optional<View> viewOfKfr(const KfrLocation& location, Int16 method, float contourT, double maxIter) {
    const std::optional<std::string> magnification = magnificationOfZoom(location.zoom);
    if (!magnification) return std::nullopt;
    View v{.maxIter = location.iterations ? valueOfText(*location.iterations) : maxIter,
           .contourT = contourT,
           .drawMethod = method};
    if (!placeFromTexts(v, {*magnification, location.re, location.im, "0", "0"})) return std::nullopt;
    if (viewFault(viewValuesOf(v)) != ViewFault::none) return std::nullopt;
    return v;
}

std::string kfrTextOf(const View& v) {
    const std::string& magnification = isDeep(v) ? v.deep.magnification : v.magText;
    const std::string zoom = scaledText(scanDecimal(magnification), pictureWidth(), pictureHeight(), kZoomDigits);
    return "Re: " + coordinateText(v, false) + "\r\nIm: " + coordinateText(v, true) + "\r\nZoom: " + zoom +
           "\r\nIterations: " + iterationsText(v.maxIter) + "\r\n";
}

std::optional<std::string> readKfrFile(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return std::nullopt;
    std::string text(kLargestKfrFile + 1, '\0');
    const std::size_t read = std::fread(text.data(), 1, text.size(), file.get());
    if (std::ferror(file.get()) || read > kLargestKfrFile) return std::nullopt;
    text.resize(read);
    return text;
}

bool namesKfrFile(std::string_view path) {
    if (path.size() < kKfrExtension.size()) return false;
    const std::string_view end = path.substr(path.size() - kKfrExtension.size());
    for (std::size_t i = 0; i < end.size(); ++i) {
        const char c = end[i] >= 'A' && end[i] <= 'Z' ? static_cast<char>(end[i] - 'A' + 'a') : end[i];
        if (c != kKfrExtension[i]) return false;
    }
    return true;
}

}  // namespace qel
