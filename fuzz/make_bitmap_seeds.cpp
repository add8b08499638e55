// Writes the seed bitmaps of the bitmap fuzz target: tiny 24-bit pictures
// from our own writer, and one small file of each other kind the reader
// takes (palettes of 1, 4 and 8 bits, 16 and 32 bits with and without
// masks, top-down rows, OS/2 headers, run-length encoding), so that the
// fuzzer starts inside every branch.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "files/bitmap.h"
#include "files/file_stand_ins.h"

namespace {

using namespace qel;
using testing::bitmapFile;
using testing::Bytes;
using testing::colourTable;

void put32(Bytes& b, std::uint32_t v) { testing::putLittleEndian(b, v, 4); }

// A file of a 2 x 2 picture with `bits` per pixel: the colour table or
// masks `extra`, then the padded rows `rows`.
Bytes handMade(int bits, std::uint32_t compression, int height, const Bytes& extra, const Bytes& rows) {
    return bitmapFile({.width = 2, .height = height, .bits = bits, .compression = compression, .extra = extra,
                       .pixels = rows});
}

Bytes masks(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    Bytes m;
    put32(m, r);
    put32(m, g);
    put32(m, b);
    return m;
}

Surface written(int w, int h) {
    Surface s(w, h);
    for (int v = 0; v < h; ++v)
        for (int u = 0; u < w; ++u) s.setPixel(u, v, rgb(40 * u, 60 * v, 255 - 20 * (u + v)));
    return s;
}

bool save(const std::string& folder, const std::string& name, const Bytes& bytes) {
    const std::string path = folder + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    const int sizes[][2] = {{1, 1}, {2, 2}, {3, 1}, {1, 3}, {5, 4}};
    for (const auto& wh : sizes)
        ok = save(folder, "writer_" + std::to_string(wh[0]) + "x" + std::to_string(wh[1]) + ".bmp",
                  encodeBitmap(written(wh[0], wh[1]))) && ok;
    const Bytes fourBytes{0x5A, 0xC3, 0, 0, 0x3C, 0xA5, 0, 0};
    ok = save(folder, "palette_1bit.bmp", handMade(1, 0, 2, colourTable(2), fourBytes)) && ok;
    const Bytes fourNibbles{0x1F, 0, 0, 0, 0xE2, 0, 0, 0};
    ok = save(folder, "palette_4bit.bmp", handMade(4, 0, 2, colourTable(16), fourNibbles)) && ok;
    ok = save(folder, "palette_8bit_topdown.bmp", handMade(8, 0, -2, colourTable(256), {1, 200, 0, 0, 255, 7, 0, 0})) &&
         ok;
    ok = save(folder, "plain_16bit.bmp", handMade(16, 0, 2, {}, {0x1F, 0x7C, 0xE0, 0x03, 0xFF, 0x7F, 0, 0})) && ok;
    ok = save(folder, "masked_16bit.bmp",
              handMade(16, 3, 2, masks(0xF800, 0x07E0, 0x001F), {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF})) &&
         ok;
    const Bytes eightPixels32{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};
    ok = save(folder, "plain_32bit.bmp", handMade(32, 0, 2, {}, eightPixels32)) && ok;
    ok = save(folder, "masked_32bit.bmp", handMade(32, 3, 2, masks(0xFF000000, 0xFF0000, 0xFF00), eightPixels32)) && ok;
    const Bytes twoRows24{0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    ok = save(folder, "os2_24bit.bmp", bitmapFile({.width = 2, .height = 2, .pixels = twoRows24, .headerSize = 12})) &&
         ok;
    ok = save(folder, "os2_4bit.bmp",
              bitmapFile({.width = 2, .height = 2, .bits = 4, .extra = colourTable(16, 3), .pixels = fourNibbles,
                          .headerSize = 12})) &&
         ok;
    // runs, a line end, a jump, literal pixels with their padding, the end
    ok = save(folder, "rle_8bit.bmp",
              bitmapFile({.width = 4, .height = 3, .bits = 8, .compression = 1, .extra = colourTable(256),
                          .pixels = {3, 5, 0, 2, 0, 1, 1, 6, 0, 0, 0, 3, 9, 8, 7, 0, 0, 1}})) &&
         ok;
    ok = save(folder, "rle_4bit.bmp",
              bitmapFile({.width = 3, .height = 2, .bits = 4, .compression = 2, .extra = colourTable(16),
                          .pixels = {3, 0x12, 0, 0, 0, 3, 0x45, 0x60, 0, 1}})) &&
         ok;
    return ok ? 0 : 1;
}
