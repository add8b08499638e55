#include "files/bitmap.h"

#include "files/safe_file.h"

namespace qel {
namespace {

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::int64_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPlain = 0;  // BI_RGB

void putU16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putU32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    putU16(b, v & 0xFFFF);
    putU16(b, v >> 16);
}

std::int64_t rowStride(std::int64_t width, int bits) { return (width * bits + 31) / 32 * 4; }

}  // namespace

std::vector<std::uint8_t> encodeBitmap(const Surface& picture) {
    const std::int64_t w = picture.width(), h = picture.height();
    const std::int64_t stride = rowStride(w, 24);
    const std::int64_t dataSize = stride * h;
    const std::int64_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<std::uint8_t> b;
    b.reserve(static_cast<std::size_t>(offset + dataSize));
    b.push_back('B');
    b.push_back('M');
    putU32(b, static_cast<std::uint32_t>(offset + dataSize));
    putU32(b, 0);  // reserved
    putU32(b, static_cast<std::uint32_t>(offset));
    putU32(b, kInfoHeaderSize);
    putU32(b, static_cast<std::uint32_t>(w));
    putU32(b, static_cast<std::uint32_t>(h));  // positive: bottom-up rows
    putU16(b, 1);                               // planes
    putU16(b, 24);                              // bits per pixel
    putU32(b, kPlain);
    putU32(b, static_cast<std::uint32_t>(dataSize));
    putU32(b, 3780);  // 96 dots per inch, in dots per metre
    putU32(b, 3780);
    putU32(b, 0);  // colours used
    putU32(b, 0);  // colours important
    // Rows bottom up, each pixel as blue, green, red; the padding stays 0.
    b.resize(static_cast<std::size_t>(offset + dataSize));
    std::uint8_t* row = b.data() + offset;
    for (std::int64_t v = h - 1; v >= 0; --v, row += stride) {
        const std::uint32_t* pixels = picture.row(static_cast<int>(v));
        for (std::int64_t u = 0; u < w; ++u) {
            const auto c = static_cast<Colour>(pixels[u]);
            row[3 * u] = static_cast<std::uint8_t>(blueOf(c));
            row[3 * u + 1] = static_cast<std::uint8_t>(greenOf(c));
            row[3 * u + 2] = static_cast<std::uint8_t>(redOf(c));
        }
    }
    return b;
}

bool writeBitmapFile(const std::string& path, const Surface& picture, std::string* why) {
    if (picture.width() <= 0 || picture.height() <= 0) {
        if (why) *why = "empty picture";
        return false;
    }
    return writeFileSafely(path, encodeBitmap(picture), why);
}

}  // namespace qel
