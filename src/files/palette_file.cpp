#include "files/palette_file.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace qel {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The line without its comment: from a '#' that a blank follows, or that
// ends the line, to the end.
std::string_view withoutComment(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] == '#' && (i + 1 == line.size() || isBlank(line[i + 1]))) return line.substr(0, i);
    return line;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "#RRGGBB" or "R G B" (blanks between), nothing else.
std::optional<Colour> colourOf(std::string_view s) {
    if (!s.empty() && s.front() == '#') {
        if (s.size() != 7) return std::nullopt;
        int v[6];
        for (std::size_t i = 0; i < 6; ++i)
            if ((v[i] = hexDigit(s[i + 1])) < 0) return std::nullopt;
        return rgb(16 * v[0] + v[1], 16 * v[2] + v[3], 16 * v[4] + v[5]);
    }
    int c[3];
    for (int& component : c) {
        s = trimmed(s);
        std::size_t digits = 0;
        while (digits < s.size() && s[digits] >= '0' && s[digits] <= '9') ++digits;
        if (digits == 0 || digits > 3) return std::nullopt;
        std::from_chars(s.data(), s.data() + digits, component);
        if (component > 255) return std::nullopt;
        s.remove_prefix(digits);
        if (!s.empty() && !isBlank(s.front())) return std::nullopt;
    }
    if (!trimmed(s).empty()) return std::nullopt;
    return rgb(c[0], c[1], c[2]);
}

PaletteReading refusal(std::string why) { return {std::nullopt, std::move(why)}; }

std::string shown(std::string_view s) {
    constexpr std::size_t kLongest = 40;
    return "\"" + std::string(s.substr(0, kLongest)) + (s.size() > kLongest ? "...\"" : "\"");
}

}  // namespace

PaletteReading parsePalette(std::string_view text) {
    if (text.size() > kLargestPaletteFile)
        return refusal("the palette file is larger than " + std::to_string(kLargestPaletteFile) + " bytes");
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && c != '\n' && c != '\r' && c != '\t')
            return refusal("the palette file is not text (it holds control characters)");
        if (b >= 0x7F) return refusal("the palette file is not plain text (it holds bytes beyond ASCII)");
    }
    SmoothPalette palette;
    palette.stops.clear();
    bool interiorGiven = false;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string_view content = trimmed(withoutComment(line));
        if (content.empty()) continue;
        const std::string at = "the palette file's line " + std::to_string(lineNumber) + ", " + shown(trimmed(line));
        constexpr std::string_view kInterior = "interior";
        if (content.substr(0, kInterior.size()) == kInterior &&
            (content.size() == kInterior.size() || isBlank(content[kInterior.size()]))) {
            if (interiorGiven) return refusal(at + ", gives the interior colour a second time");
            const std::optional<Colour> c = colourOf(trimmed(content.substr(kInterior.size())));
            if (!c) return refusal(at + ", gives no interior colour (interior #RRGGBB or interior R G B)");
            palette.interior = *c;
            interiorGiven = true;
            continue;
        }
        const std::optional<Colour> c = colourOf(content);
        if (!c)
            return refusal(at + ", is no colour: #RRGGBB, or R G B from 0 to 255 each, or a comment after "
                                "'#' and a blank");
        if (palette.stops.size() == kMostPaletteStops)
            return refusal("the palette file has more than " + std::to_string(kMostPaletteStops) + " colours");
        palette.stops.push_back(*c);
    }
    if (palette.stops.size() < kFewestPaletteStops)
        return refusal("the palette file has " + std::to_string(palette.stops.size()) +
                       (palette.stops.size() == 1 ? " colour" : " colours") + "; a palette needs at least " +
                       std::to_string(kFewestPaletteStops));
    return {std::move(palette), {}};
}

PaletteReading readPaletteFile(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return refusal("cannot open the palette file \"" + path + "\": " + std::strerror(errno));
    std::string text(kLargestPaletteFile + 1, '\0');
    const std::size_t read = std::fread(text.data(), 1, text.size(), file.get());
    if (std::ferror(file.get())) return refusal("cannot read the palette file \"" + path + "\"");
    if (read > kLargestPaletteFile)
        return refusal("the palette file \"" + path + "\" is larger than " + std::to_string(kLargestPaletteFile) +
                       " bytes");
    text.resize(read);
    return parsePalette(text);
}

}  // namespace qel
