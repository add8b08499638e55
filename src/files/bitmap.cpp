#include "files/bitmap.h"

#include <unistd.h>

#include <cstdio>

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

// Writes all bytes and pushes them to the disk; false on any failure.
bool writeFlushed(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fflush(f) == 0 && ok;
    ok = ::fsync(::fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

// A name beside `path` for the bytes on their way.
std::string temporaryNameFor(const std::string& path) {
    return path + ".saving-" + std::to_string(static_cast<long>(::getpid()));
}

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
    for (std::int64_t v = h - 1; v >= 0; --v) {
        for (std::int64_t u = 0; u < w; ++u) {
            const Colour c = picture.pixel(static_cast<int>(u), static_cast<int>(v));
            b.push_back(static_cast<std::uint8_t>(blueOf(c)));
            b.push_back(static_cast<std::uint8_t>(greenOf(c)));
            b.push_back(static_cast<std::uint8_t>(redOf(c)));
        }
        for (std::int64_t pad = w * 3; pad < stride; ++pad) b.push_back(0);
    }
    return b;
}

bool writeBitmapFile(const std::string& path, const Surface& picture) {
    if (path.empty() || picture.width() <= 0 || picture.height() <= 0) return false;
    const std::string temporary = temporaryNameFor(path);
    if (writeFlushed(temporary, encodeBitmap(picture)) && std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    std::remove(temporary.c_str());
    return false;
}

}  // namespace qel
