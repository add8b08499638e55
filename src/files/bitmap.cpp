#include "files/bitmap.h"

#include <algorithm>
#include <cstdint>
#include <fstream>

#include "files/safe_file.h"

namespace qel {
namespace {

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::int64_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPlain = 0;  // BI_RGB
constexpr std::int64_t kOffsetOfPixelsOffset = 10;
const std::string kNoteMark = "qel view\n";

void putU16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putU32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    putU16(b, v & 0xFFFF);
    putU16(b, v >> 16);
}

std::int64_t rowStride(std::int64_t width, int bits) { return (width * bits + 31) / 32 * 4; }

std::uint32_t u32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// The note's bytes: a mark, the name, the whole name, each line ended by a
// line feed (no name holds one), padded with zeros to whole 4-byte words.
std::vector<std::uint8_t> noteBytes(const BitmapViewNote& note) {
    const std::string text = kNoteMark + note.name + "\n" + note.wholeName + "\n";
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.resize((bytes.size() + 3) / 4 * 4, 0);
    return bytes;
}


}  // namespace

std::int64_t bitmapRowBytes(std::int64_t width) { return rowStride(width, 24); }

bool fitsBitmapFile(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= INT32_MAX && height <= INT32_MAX &&
           kFileHeaderSize + kInfoHeaderSize + bitmapRowBytes(width) * height <= std::int64_t{UINT32_MAX};
}

std::vector<std::uint8_t> bitmapHeader(std::int64_t width, std::int64_t height, const BitmapViewNote* note) {
    const std::int64_t dataSize = bitmapRowBytes(width) * height;
    const std::vector<std::uint8_t> noted = note ? noteBytes(*note) : std::vector<std::uint8_t>{};
    const std::int64_t offset = kFileHeaderSize + kInfoHeaderSize + static_cast<std::int64_t>(noted.size());
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
    b.insert(b.end(), noted.begin(), noted.end());
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

std::vector<std::uint8_t> encodeBitmap(const Surface& picture, const BitmapViewNote* note) {
    const std::int64_t w = picture.width(), h = picture.height();
    const std::int64_t stride = bitmapRowBytes(w);
    std::vector<std::uint8_t> b = bitmapHeader(w, h, note);
    const std::size_t offset = b.size();
    b.resize(offset + static_cast<std::size_t>(stride * h));
    for (std::int64_t v = h - 1; v >= 0; --v)
        encodeBitmapRow(picture.row(static_cast<int>(v)), w,
                        b.data() + offset + static_cast<std::size_t>((h - 1 - v) * stride));
    return b;
}

bool writeBitmapFile(const std::string& path, const Surface& picture, std::string* why, const BitmapViewNote* note) {
    if (picture.width() <= 0 || picture.height() <= 0) {
        if (why) *why = "empty picture";
        return false;
    }
    return writeFileSafely(path, encodeBitmap(picture, note), why);
}

std::optional<BitmapViewNote> viewNoteOfBitmap(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> head(static_cast<std::size_t>(kFileHeaderSize + 4));
    if (!in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()))) return std::nullopt;
    if (head[0] != 'B' || head[1] != 'M') return std::nullopt;
    const std::int64_t notesStart = kFileHeaderSize + u32At(head, kFileHeaderSize);
    const std::int64_t pixels = u32At(head, kOffsetOfPixelsOffset);
    // Two names of at most a few thousand bytes each.
    if (pixels - notesStart < static_cast<std::int64_t>(kNoteMark.size()) || pixels - notesStart > (1 << 20))
        return std::nullopt;
    std::string text(static_cast<std::size_t>(pixels - notesStart), '\0');
    if (!in.seekg(notesStart) || !in.read(text.data(), static_cast<std::streamsize>(text.size()))) return std::nullopt;
    if (text.compare(0, kNoteMark.size(), kNoteMark) != 0) return std::nullopt;
    const std::size_t nameEnd = text.find('\n', kNoteMark.size());
    const std::size_t wholeEnd = nameEnd == std::string::npos ? nameEnd : text.find('\n', nameEnd + 1);
    if (wholeEnd == std::string::npos) return std::nullopt;
    return BitmapViewNote{text.substr(kNoteMark.size(), nameEnd - kNoteMark.size()),
                          text.substr(nameEnd + 1, wholeEnd - nameEnd - 1)};
}

}  // namespace qel
