// Fuzzes the bitmap reader exactly as the open command uses it: the bytes
// are a file on disk, read into the 800 x 600 picture buffer. Whatever the
// file: no crash, no read outside the file or the buffer, no huge
// allocation, no hang; a file that is read fills the whole buffer, and the
// part of the buffer its picture does not cover stays black.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/bitmap.h"
#include "files/picture_files.h"
#include "fuzz_support.h"

namespace {

using namespace qel;
using qel::fuzz::require;

// A folder in memory when there is one: every run writes a file.
std::string scratchPath() {
    const std::filesystem::path folder = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
    return (folder / ("qel-fuzz-bitmap-" + std::to_string(::getpid()) + ".bmp")).string();
}

bool writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// Width and height the file's header declares (a negative height means
// rows from the top); only called for a file that was read.
std::int64_t declared(const std::uint8_t* data, std::size_t at) {
    std::int32_t v = 0;
    for (int i = 3; i >= 0; --i) v = static_cast<std::int32_t>(static_cast<std::uint32_t>(v) << 8 | data[at + i]);
    return std::llabs(v);
}

// Scans the buffer without coverage feedback: its 480000 pixels would
// otherwise cost far more than the reading that is fuzzed.
__attribute__((no_sanitize("coverage"))) bool blackOutside(const Surface& picture, std::int64_t width,
                                                           std::int64_t height) {
    for (int v = 0; v < picture.height(); ++v) {
        const std::uint32_t* row = picture.row(v);
        for (std::int64_t u = v < height ? width : 0; u < picture.width(); ++u)
            if (row[u] != 0) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string opened = scratchPath();
    static const bool removedAtExit = std::atexit([] { std::remove(opened.c_str()); }) == 0;
    require(removedAtExit && writeFile(opened, data, size), "the scratch file can be written", opened);
    const std::optional<Surface> picture = readBitmapFile(opened, kFilePictureWidth, kFilePictureHeight);
    if (!picture) return 0;
    require(size >= 26, "a file that is read holds a whole header");
    require(picture->width() == kFilePictureWidth && picture->height() == kFilePictureHeight,
            "a file that is read fills the 800 x 600 buffer");
    require(blackOutside(*picture, declared(data, 18), declared(data, 22)),
            "the buffer beyond the file's picture stays black");
    return 0;
}
