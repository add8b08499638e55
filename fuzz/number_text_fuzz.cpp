// Fuzzes Str and numberText with every bit pattern of a 64-bit and a 32-bit
// float taken from the fuzz bytes. For a finite number: Str writes at most 15
// (7) significant digits with the sign place in front, the value of its text
// is the number rounded to those digits, and writing that value again gives
// the same text; numberText reads back the same way and differs from the
// trimmed Str only by the zero in front of a fraction. Infinities and NaN
// must not crash and read back as something finite.
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

#include "app/number_text.h"
#include "fuzz_support.h"

namespace {

using namespace qel;
using qel::fuzz::exactly;
using qel::fuzz::quoted;
using qel::fuzz::require;

template <typename T>
T numberFrom(const std::uint8_t* data, std::size_t size) {
    T v{};
    std::memcpy(&v, data, std::min(size, sizeof v));
    return v;
}

// Significant digits of a Str text: the mantissa's digits without the
// zeros in front (" .0025" has two, " 1.5E+16" two).
int significantDigits(const std::string& text) {
    const std::string mantissa = text.substr(0, text.find('E'));
    int count = 0;
    bool leading = true;
    for (char c : mantissa) {
        if (c < '0' || c > '9') continue;
        if (leading && c == '0') continue;
        leading = false;
        ++count;
    }
    return count;
}

bool hasTrailingZeroAfterPoint(const std::string& text) {
    const std::string mantissa = text.substr(0, text.find('E'));
    return mantissa.find('.') != std::string::npos && mantissa.back() == '0';
}

template <typename T>
void requireStrShape(const std::string& str, T v, int digits) {
    const std::string about = exactly(v) + " -> " + quoted(str);
    require(!str.empty() && str[0] == (v < 0 ? '-' : ' '), "Str puts the sign place in front", about);
    require(str.find(' ', 1) == std::string::npos, "Str has no blank after the sign place", about);
    require(significantDigits(str) <= digits, "Str writes no more than its digits", about);
    require(!hasTrailingZeroAfterPoint(str), "Str writes no trailing zeros after a point", about);
    require(str.find("0.") != 1, "Str writes no zero before a leading point", about);
}

// numberText is the trimmed Str, with "0" or "-0" in front of a fraction.
template <typename T>
void requireNumberTextShape(const std::string& shown, const std::string& str, T v) {
    const std::string trimmed = trimBlanks(str);
    const std::string about = exactly(v) + " -> " + quoted(shown) + " / " + quoted(str);
    if (v > 0 && v < 1)
        require(shown == "0" + trimmed, "numberText puts 0 in front of a fraction", about);
    else if (v > -1 && v < 0)
        require(shown == "-0" + trimmed.substr(1), "numberText puts -0 in front of a negative fraction", about);
    else
        require(shown == trimmed, "numberText is the trimmed Str elsewhere", about);
}

// The rules both widths share: `digits` is 15 for a double, 7 for a single.
template <typename T>
double checkWritten(T v, std::string (*str)(T), int digits) {
    const std::string written = str(v);
    const std::string shown = numberText(v);
    const double read = valueOfText(written), readShown = valueOfText(shown);
    require(std::isfinite(read) && std::isfinite(readShown), "no text reads as NaN or infinity", quoted(written));
    if (!std::isfinite(v)) return read;
    requireStrShape(written, v, digits);
    requireNumberTextShape(shown, written, v);
    require(fuzz::withinRounding(read, v, digits, DBL_EPSILON, DBL_TRUE_MIN), "Str reads back within its digits",
            exactly(v) + " -> " + quoted(written) + " -> " + exactly(read));
    require(readShown == read, "numberText reads back like Str", quoted(shown) + " vs " + quoted(written));
    return read;
}

// 15 digits are few enough for every decimal to survive a double: writing
// the value read back gives the same text again.
void checkDouble(double v) {
    const double read = checkWritten(v, strDouble, 15);
    if (std::isfinite(v))
        require(strDouble(read) == strDouble(v), "Str of the read-back value is the same text",
                quoted(strDouble(v)) + " -> " + quoted(strDouble(read)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkDouble(numberFrom<double>(data, size));
    checkWritten(numberFrom<float>(data, size), strSingle, 7);
    if (size > sizeof(double))
        checkWritten(numberFrom<float>(data + sizeof(double), size - sizeof(double)), strSingle, 7);
    return 0;
}
