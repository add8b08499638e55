// Fuzzes the picture reader exactly as the open command uses it: the bytes
// are a file on disk, read through Qt's image reader into the 800 x 600
// picture buffer. Whatever the file: no crash, no read outside the file or
// a buffer, no allocation beyond the limit, no hang; a file that is read
// fills the whole buffer, and the part of the buffer its picture does not
// cover stays black.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QtGlobal>

#include "files/picture_files.h"
#include "fuzz_support.h"
#include "platform/qt_picture_file.h"

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

// A signed little-endian value of `bytes` bytes at `at`.
std::int64_t signedAt(const std::uint8_t* data, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | data[at + static_cast<std::size_t>(i)];
    return bytes == 2 ? std::int64_t{static_cast<std::int16_t>(v)} : std::int64_t{static_cast<std::int32_t>(v)};
}

struct Declared {
    std::int64_t width, height;
};

// Width and height the file's header declares: 32-bit in the Windows and
// OS/2 2 headers of 40, 64, 108 and 124 bytes, 16-bit in the 12-byte OS/2 1
// header, and Qt takes any other header for that one (a negative height
// means rows from the top); only called for a file that was read.
Declared declared(const std::uint8_t* data) {
    const std::int64_t headerSize = signedAt(data, 14, 4);
    const bool wide = headerSize == 40 || headerSize == 64 || headerSize == 108 || headerSize == 124;
    const int bytes = wide ? 4 : 2;
    return {std::llabs(signedAt(data, 18, bytes)), std::llabs(signedAt(data, 18 + bytes, bytes))};
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
    // Qt's reader says why it refuses a file; a million refusals need no words.
    static const bool quiet =
        (qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {}), true);
    require(removedAtExit && quiet && writeFile(opened, data, size), "the scratch file can be written", opened);
    const std::optional<Surface> picture = readPictureFile(opened, kFilePictureWidth, kFilePictureHeight);
    if (!picture) return 0;
    require(size >= 26, "a file that is read holds a whole header");
    require(picture->width() == kFilePictureWidth && picture->height() == kFilePictureHeight,
            "a file that is read fills the 800 x 600 buffer");
    const Declared d = declared(data);
    require(blackOutside(*picture, d.width, d.height), "the buffer beyond the file's picture stays black");
    return 0;
}
