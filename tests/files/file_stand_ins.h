// Stand-ins for the settings dialog and the main window, a temporary folder
// and test pictures, for the tests of the file commands.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "files/bitmap.h"
#include "headless_program.h"

namespace qel::testing {

// The dialog's fields as plain texts: the headless dialog with the
// contour interval a file name takes, the simple-titles box, and the
// option button last selected recorded.
class FieldsDialog : public HeadlessDialog {
public:
    std::string contourText() const override { return contour; }
    bool simpleTitles() const override { return simple; }
    void selectMethodOption(int method) override { selectedMethod = method; }

    std::string contour = "1";
    bool simple = false;
    int selectedMethod = 0;
};

// A fresh folder under the system's temporary folder, removed at the end.
class TemporaryFolder {
public:
    TemporaryFolder() {
        path_ = std::filesystem::temp_directory_path() / ("qel-files-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path_);
    }
    ~TemporaryFolder() { std::error_code ec; std::filesystem::remove_all(path_, ec); }

    // The folder with a trailing separator, as the program folder is kept.
    std::string folder() const { return path_.string() + "/"; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    auto entries() const { return std::distance(std::filesystem::directory_iterator(path_), {}); }

private:
    std::filesystem::path path_;
};

// A picture in which every pixel differs from its neighbours; another seed
// gives another picture.
inline Surface pattern(int w, int h, int seed = 0) {
    Surface s(w, h);
    for (int v = 0; v < h; ++v)
        for (int u = 0; u < w; ++u) s.setPixel(u, v, rgb((u * 7 + seed) % 256, (v * 13 + seed) % 256, (u + v) % 256));
    return s;
}

using Bytes = std::vector<std::uint8_t>;

// A bitmap file made by hand: the file header, an info header of
// `headerSize` bytes (40, 12 for the OS/2 header, whose width and height
// are 16-bit and whose table has three bytes a colour, or up to 124 with
// the fields beyond the first 40 zero), `extra` bytes (a colour table or
// masks) and the pixel data as given.
struct HandMadeBitmap {
    int width = 1, height = 1, bits = 24;
    std::uint32_t compression = 0;  // 1 and 2 run-length 8- and 4-bit, 3 masks
    Bytes extra = {}, pixels = {};
    std::uint32_t colours = 0;
    std::uint32_t headerSize = 40;
};

inline void putLittleEndian(Bytes& b, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline Bytes bitmapFile(const HandMadeBitmap& m) {
    const bool os2 = m.headerSize == 12;
    const auto offset = static_cast<std::uint32_t>(14 + m.headerSize + m.extra.size());
    Bytes b{'B', 'M'};
    putLittleEndian(b, offset + static_cast<std::uint32_t>(m.pixels.size()), 4);
    putLittleEndian(b, 0, 4);
    putLittleEndian(b, offset, 4);
    putLittleEndian(b, m.headerSize, 4);
    putLittleEndian(b, static_cast<std::uint32_t>(m.width), os2 ? 2 : 4);
    putLittleEndian(b, static_cast<std::uint32_t>(m.height), os2 ? 2 : 4);
    putLittleEndian(b, 1, 2);  // planes
    putLittleEndian(b, static_cast<std::uint32_t>(m.bits), 2);
    if (!os2) {
        const auto dataSize = static_cast<std::uint32_t>(m.pixels.size());
        for (std::uint32_t v : {m.compression, dataSize, 3780u, 3780u, m.colours, 0u}) putLittleEndian(b, v, 4);
        b.resize(14 + m.headerSize, 0);
    }
    b.insert(b.end(), m.extra.begin(), m.extra.end());
    b.insert(b.end(), m.pixels.begin(), m.pixels.end());
    return b;
}

// A colour table of `n` entries of four bytes (blue, green, red, unused),
// or three in an OS/2 file; entry i is tableColour(i).
inline Bytes colourTable(int n, int bytesEach = 4) {
    Bytes t;
    for (int i = 0; i < n; ++i) {
        for (int byte : {3 * i, 255 - i, i}) t.push_back(static_cast<std::uint8_t>(byte));
        if (bytesEach == 4) t.push_back(0);
    }
    return t;
}

inline Colour tableColour(int i) { return rgb(i % 256, (255 - i) % 256, (3 * i) % 256); }

// The whole content of a file, empty when there is none.
inline std::string contentOf(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream all;
    all << f.rdbuf();
    return all.str();
}

// The file at `path` is the bitmap of `picture`, byte for byte.
inline bool holdsPicture(const std::string& path, const Surface& picture) {
    const std::vector<std::uint8_t> bytes = encodeBitmap(picture);
    return contentOf(path) == std::string(bytes.begin(), bytes.end());
}

inline void writeBytes(const std::string& path, const std::vector<std::uint8_t>& b) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

}  // namespace qel::testing
