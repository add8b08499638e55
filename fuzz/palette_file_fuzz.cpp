// Fuzzes the reader of palette files. Whatever the bytes: reading never
// crashes; a refusal gives a reason and no palette; an accepted palette has
// from the fewest to the most stops, each a colour number of 0..0xFFFFFF,
// as has its interior colour, and came from text with no control
// character; and a file written back from it (one #RRGGBB a line) reads as
// the same palette.
#include <cstdio>
#include <string>

#include "files/palette_file.h"
#include "fuzz_support.h"

namespace {

using namespace qel;
using qel::fuzz::quoted;
using qel::fuzz::require;

std::string hexOf(Colour c) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", redOf(c), greenOf(c), blueOf(c));
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = fuzz::textOf(data, size);
    const PaletteReading reading = parsePalette(text);
    const std::string about = quoted(text.substr(0, 300));
    if (!reading.palette) {
        require(!reading.refusal.empty(), "a refusal says why", about);
        return 0;
    }
    const SmoothPalette& p = *reading.palette;
    require(reading.refusal.empty(), "an accepted palette has no refusal", about);
    require(p.stops.size() >= kFewestPaletteStops && p.stops.size() <= kMostPaletteStops,
            "an accepted palette has from the fewest to the most stops", about);
    for (const Colour c : p.stops) require(c >= 0 && c <= 0xFFFFFF, "a stop is a colour number", about);
    require(p.interior >= 0 && p.interior <= 0xFFFFFF, "the interior is a colour number", about);
    for (const char c : text)
        require(static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\r' || c == '\t',
                "an accepted file holds no control character", about);

    std::string written = "interior " + hexOf(p.interior) + "\n";
    for (const Colour c : p.stops) written += hexOf(c) + "\n";
    const PaletteReading again = parsePalette(written);
    require(again.palette.has_value(), "a palette written back is read", quoted(written.substr(0, 300)));
    require(again.palette->stops == p.stops && again.palette->interior == p.interior,
            "a palette written back reads as the same palette", about);
    return 0;
}
