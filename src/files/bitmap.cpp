#include "files/bitmap.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "files/safe_file.h"

namespace qel {
namespace {

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::int64_t kInfoHeaderSize = 40;
constexpr std::int64_t kLargestInfoHeader = 124;  // the version 5 header
// Enough for the headers, three colour masks and a 256-colour palette.
constexpr std::int64_t kHeadBytes = 2048;
constexpr std::uint32_t kPlain = 0;      // BI_RGB
constexpr std::uint32_t kMasked = 3;     // BI_BITFIELDS

// ---- writing

void putU16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putU32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    putU16(b, v & 0xFFFF);
    putU16(b, v >> 16);
}

std::int64_t rowStride(std::int64_t width, int bits) { return (width * bits + 31) / 32 * 4; }

// ---- reading

std::uint32_t u16At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}

std::uint32_t u32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return u16At(b, at) | u16At(b, at + 2) << 16;
}

// One colour channel held under a bit mask; only contiguous masks are read.
struct Channel {
    int shift = 0, width = 0;
    static std::optional<Channel> of(std::uint32_t mask) {
        if (mask == 0) return std::nullopt;
        Channel c;
        c.shift = std::countr_zero(mask);
        c.width = std::popcount(mask);
        if (std::countr_one(mask >> c.shift) != c.width) return std::nullopt;
        return c;
    }
    int level(std::uint32_t pixel) const {
        std::uint32_t v = (pixel >> shift) & ((width >= 32) ? 0xFFFFFFFFu : ((1u << width) - 1));
        if (width >= 8) return static_cast<int>(v >> (width - 8));
        return static_cast<int>(v * 255 / ((1u << width) - 1));
    }
};

// What the headers say, checked against the file.
struct Layout {
    std::int64_t width = 0, height = 0;
    bool topDown = false;
    int bits = 0;
    std::int64_t dataOffset = 0, stride = 0;
    std::vector<Colour> palette;
    std::array<Channel, 3> rgb{};  // for 16- and 32-bit pixels
};

bool readBytes(std::ifstream& f, std::int64_t at, std::vector<std::uint8_t>& into) {
    f.seekg(at);
    f.read(reinterpret_cast<char*>(into.data()), static_cast<std::streamsize>(into.size()));
    return static_cast<std::size_t>(f.gcount()) == into.size();
}

std::optional<std::array<Channel, 3>> channelsOf(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    auto cr = Channel::of(r), cg = Channel::of(g), cb = Channel::of(b);
    if (!cr || !cg || !cb) return std::nullopt;
    return std::array<Channel, 3>{*cr, *cg, *cb};
}

std::optional<Layout> layoutOf(const std::vector<std::uint8_t>& head, std::int64_t fileSize) {
    const auto headSize = static_cast<std::int64_t>(head.size());
    if (headSize < kFileHeaderSize + kInfoHeaderSize || head[0] != 'B' || head[1] != 'M') return std::nullopt;
    const std::int64_t infoSize = u32At(head, 14);
    if (infoSize < kInfoHeaderSize || infoSize > kLargestInfoHeader) return std::nullopt;

    Layout l;
    l.dataOffset = u32At(head, 10);
    l.width = static_cast<std::int32_t>(u32At(head, 18));
    const std::int64_t height = static_cast<std::int32_t>(u32At(head, 22));
    l.topDown = height < 0;
    l.height = l.topDown ? -height : height;
    const std::uint32_t planes = u16At(head, 26);
    l.bits = static_cast<int>(u16At(head, 28));
    const std::uint32_t compression = u32At(head, 30);
    std::int64_t colours = u32At(head, 46);

    if (planes != 1 || l.width <= 0 || l.height <= 0) return std::nullopt;
    if (l.width > kMaxBitmapSide || l.height > kMaxBitmapSide || l.width * l.height > kMaxBitmapPixels)
        return std::nullopt;

    std::int64_t tableAt = kFileHeaderSize + infoSize;
    const bool masked = compression == kMasked;
    if (compression != kPlain && !(masked && (l.bits == 16 || l.bits == 32))) return std::nullopt;
    switch (l.bits) {
    case 1:
    case 4:
    case 8: {
        const std::int64_t most = std::int64_t{1} << l.bits;
        if (colours == 0) colours = most;
        if (colours > most || tableAt + colours * 4 > std::min(headSize, l.dataOffset)) return std::nullopt;
        for (std::int64_t i = 0; i < colours; ++i) {
            const auto at = static_cast<std::size_t>(tableAt + i * 4);
            l.palette.push_back(rgb(head[at + 2], head[at + 1], head[at]));
        }
        break;
    }
    case 16:
    case 32: {
        std::optional<std::array<Channel, 3>> ch;
        if (!masked) {
            ch = l.bits == 16 ? channelsOf(0x7C00, 0x03E0, 0x001F) : channelsOf(0xFF0000, 0xFF00, 0xFF);
        } else {
            // The masks follow a 40-byte header and lie inside the longer ones.
            const std::int64_t masksAt = kFileHeaderSize + kInfoHeaderSize;
            if (infoSize == kInfoHeaderSize) tableAt += 12;
            if (tableAt > l.dataOffset || masksAt + 12 > headSize) return std::nullopt;
            ch = channelsOf(u32At(head, masksAt), u32At(head, masksAt + 4), u32At(head, masksAt + 8));
        }
        if (!ch) return std::nullopt;
        l.rgb = *ch;
        break;
    }
    case 24:
        break;
    default:
        return std::nullopt;
    }

    l.stride = rowStride(l.width, l.bits);
    if (l.dataOffset < tableAt || l.dataOffset + l.stride * l.height > fileSize) return std::nullopt;
    return l;
}

// Colour of pixel `u` of a row of the file.
Colour pixelOf(const Layout& l, const std::vector<std::uint8_t>& row, std::int64_t u) {
    switch (l.bits) {
    case 24: {
        const auto at = static_cast<std::size_t>(u * 3);
        return rgb(row[at + 2], row[at + 1], row[at]);
    }
    case 16:
    case 32: {
        const auto at = static_cast<std::size_t>(u * (l.bits / 8));
        const std::uint32_t px = l.bits == 16 ? u16At(row, at) : u32At(row, at);
        return rgb(l.rgb[0].level(px), l.rgb[1].level(px), l.rgb[2].level(px));
    }
    default: {
        const std::int64_t bitAt = u * l.bits;
        const std::uint8_t byte = row[static_cast<std::size_t>(bitAt / 8)];
        const int shift = 8 - l.bits - static_cast<int>(bitAt % 8);
        const auto index = static_cast<std::size_t>((byte >> shift) & ((1 << l.bits) - 1));
        return index < l.palette.size() ? l.palette[index] : 0;
    }
    }
}

}  // namespace

std::int64_t bitmapRowBytes(std::int64_t width) { return rowStride(width, 24); }

bool fitsBitmapFile(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= INT32_MAX && height <= INT32_MAX &&
           kFileHeaderSize + kInfoHeaderSize + bitmapRowBytes(width) * height <= std::int64_t{UINT32_MAX};
}

std::vector<std::uint8_t> bitmapHeader(std::int64_t width, std::int64_t height) {
    const std::int64_t dataSize = bitmapRowBytes(width) * height;
    const std::int64_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<std::uint8_t> b;
    b.reserve(static_cast<std::size_t>(offset));
    b.push_back('B');
    b.push_back('M');
    putU32(b, static_cast<std::uint32_t>(offset + dataSize));
    putU32(b, 0);  // reserved
    putU32(b, static_cast<std::uint32_t>(offset));
    putU32(b, kInfoHeaderSize);
    putU32(b, static_cast<std::uint32_t>(width));
    putU32(b, static_cast<std::uint32_t>(height));  // positive: bottom-up rows
    putU16(b, 1);                                    // planes
    putU16(b, 24);                                   // bits per pixel
    putU32(b, kPlain);
    putU32(b, static_cast<std::uint32_t>(dataSize));
    putU32(b, 3780);  // 96 dots per inch, in dots per metre
    putU32(b, 3780);
    putU32(b, 0);  // colours used
    putU32(b, 0);  // colours important
    return b;
}

void encodeBitmapRow(const std::uint32_t* pixels, std::int64_t width, std::uint8_t* out) {
    std::uint8_t* end = out + bitmapRowBytes(width);
    for (std::int64_t u = 0; u < width; ++u) {
        const auto c = static_cast<Colour>(pixels[u]);
        *out++ = static_cast<std::uint8_t>(blueOf(c));
        *out++ = static_cast<std::uint8_t>(greenOf(c));
        *out++ = static_cast<std::uint8_t>(redOf(c));
    }
    std::fill(out, end, std::uint8_t{0});
}

std::vector<std::uint8_t> encodeBitmap(const Surface& picture) {
    const std::int64_t w = picture.width(), h = picture.height();
    const std::int64_t stride = bitmapRowBytes(w);
    std::vector<std::uint8_t> b = bitmapHeader(w, h);
    const std::size_t offset = b.size();
    b.resize(offset + static_cast<std::size_t>(stride * h));
    for (std::int64_t v = h - 1; v >= 0; --v)
        encodeBitmapRow(picture.row(static_cast<int>(v)), w,
                        b.data() + offset + static_cast<std::size_t>((h - 1 - v) * stride));
    return b;
}

bool writeBitmapFile(const std::string& path, const Surface& picture, std::string* why) {
    if (picture.width() <= 0 || picture.height() <= 0) {
        if (why) *why = "empty picture";
        return false;
    }
    return writeFileSafely(path, encodeBitmap(picture), why);
}

std::optional<Surface> readBitmapFile(const std::string& path, int width, int height) {
    if (width <= 0 || height <= 0) return std::nullopt;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const auto fileSize = static_cast<std::int64_t>(std::filesystem::file_size(path, ec));
    if (ec) return std::nullopt;
    std::ifstream f(path, std::ios::binary);
    if (!f) return std::nullopt;

    std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min(fileSize, kHeadBytes)));
    if (!readBytes(f, 0, head)) return std::nullopt;
    const std::optional<Layout> l = layoutOf(head, fileSize);
    if (!l) return std::nullopt;

    Surface out(width, height);
    const std::int64_t rows = std::min<std::int64_t>(l->height, height);
    const std::int64_t columns = std::min<std::int64_t>(l->width, width);
    std::vector<std::uint8_t> row(static_cast<std::size_t>((columns * l->bits + 7) / 8));
    for (std::int64_t v = 0; v < rows; ++v) {
        const std::int64_t fileRow = l->topDown ? v : l->height - 1 - v;
        if (!readBytes(f, l->dataOffset + fileRow * l->stride, row)) return std::nullopt;
        for (std::int64_t u = 0; u < columns; ++u)
            out.setPixel(static_cast<int>(u), static_cast<int>(v), pixelOf(*l, row, u));
    }
    return out;
}

}  // namespace qel
