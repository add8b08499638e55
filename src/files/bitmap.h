// Windows bitmap files: pictures are written as uncompressed 24-bit BMPs and
// read back from the common uncompressed kinds. Reading never trusts the
// file: every header field is checked against the file's real size before
// anything is allocated, and only the part of the picture that is wanted is
// read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "render/surface.h"

namespace qel {

// Largest picture a file may declare (width times height), and the largest
// width or height on its own.
constexpr std::int64_t kMaxBitmapPixels = 50'000'000;
constexpr std::int64_t kMaxBitmapSide = 100'000;

// The whole surface as the bytes of a 24-bit bottom-up bitmap file.
std::vector<std::uint8_t> encodeBitmap(const Surface& picture);

// The same file written a row at a time: the headers of a width x height
// picture, followed at their places by the rows, bottom row first, each
// bitmapRowBytes long.
std::vector<std::uint8_t> bitmapHeader(std::int64_t width, std::int64_t height);
std::int64_t bitmapRowBytes(std::int64_t width);
// One row of colour numbers (0..0xFFFFFF) as the file holds it, padding included.
void encodeBitmapRow(const std::uint32_t* pixels, std::int64_t width, std::uint8_t* out);
// True when a width x height picture fits a bitmap file (its size is a
// 32-bit field).
bool fitsBitmapFile(std::int64_t width, std::int64_t height);

// Writes the whole surface to `path` as a 24-bit bitmap through a SafeFile
// (files/safe_file.h): `path` is replaced only by a completely written file
// and only if it is a regular file or absent (a link is written through).
// False on any failure, `path` then being as it was, with the reason in `why`
// when it is given.
bool writeBitmapFile(const std::string& path, const Surface& picture, std::string* why = nullptr);

// Reads the bitmap at `path` into a width x height surface: the file's
// picture at the top-left corner, clipped at the right and bottom, the rest
// black. Nothing when the file is missing, not a bitmap, of a kind that is
// not read (compressed), truncated, or declares an absurd size.
// Read: 1-, 4- and 8-bit with palette, 24-bit, 32-bit (plain or with the
// usual colour masks), bottom-up and top-down.
std::optional<Surface> readBitmapFile(const std::string& path, int width, int height);

}  // namespace qel
