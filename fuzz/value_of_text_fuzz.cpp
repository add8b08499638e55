// Fuzzes the value of a text, the reader behind every number field and the
// file-name decoder. Whatever the text: the value is finite (never NaN or an
// infinity; 0 for a number beyond a double); blanks, tabs and line feeds
// change nothing wherever they stand; a character that cannot continue a
// number ends the reading; and a minus in front of an unsigned text negates
// its value and keeps an overflow.
#include <cmath>
#include <string>

#include "app/number_text.h"
#include "fuzz_support.h"

namespace {

using namespace qel;
using qel::fuzz::exactly;
using qel::fuzz::quoted;
using qel::fuzz::require;

bool isIgnored(char c) { return c == ' ' || c == '\t' || c == '\n'; }

std::string withoutIgnored(const std::string& text) {
    std::string out;
    for (char c : text)
        if (!isIgnored(c)) out.push_back(c);
    return out;
}

bool startsWithSign(const std::string& text) {
    for (char c : text)
        if (!isIgnored(c)) return c == '+' || c == '-';
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = fuzz::textOf(data, size);
    const double v = valueOfText(text);
    require(std::isfinite(v), "the value of a text is finite", quoted(text) + " -> " + exactly(v));
    require(!numberOverflows(text) || v == 0, "a number beyond a double reads 0", quoted(text) + " -> " + exactly(v));

    const double plain = valueOfText(withoutIgnored(text));
    require(plain == v, "blanks, tabs and line feeds are ignored", quoted(text) + " " + exactly(v) + " vs " + exactly(plain));

    const double ended = valueOfText(text + "k");
    require(ended == v, "a tag letter ends the number", quoted(text) + " " + exactly(v) + " vs " + exactly(ended));

    if (!startsWithSign(text)) {
        const double negated = valueOfText("-" + text);
        require(negated == -v, "a minus in front negates", quoted(text) + " " + exactly(v) + " vs " + exactly(negated));
        require(numberOverflows("-" + text) == numberOverflows(text), "a minus in front keeps an overflow",
                quoted(text));
    }
    return 0;
}
