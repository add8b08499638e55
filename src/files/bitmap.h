// Windows bitmap files as the program writes them: uncompressed 24-bit
// BMPs. They are read back through the platform (Platform::loadPicture).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "render/surface.h"

namespace qel {

// What a bitmap carries of its view when the name could not hold it all:
// the name it was saved under and the whole name. It lies between the
// headers and the pixels, where the file header's offset of the pixels
// leaves room, so every reader shows the same picture.
struct BitmapViewNote {
    std::string name;
    std::string wholeName;
};

// The whole surface as the bytes of a 24-bit bottom-up bitmap file, with
// the note when one is given.
std::vector<std::uint8_t> encodeBitmap(const Surface& picture, const BitmapViewNote* note = nullptr);

// The same file written a row at a time: the headers of a width x height
// picture (and the note, when one is given), followed at their places by the
// rows, bottom row first, each bitmapRowBytes long.
std::vector<std::uint8_t> bitmapHeader(std::int64_t width, std::int64_t height,
                                       const BitmapViewNote* note = nullptr);
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
bool writeBitmapFile(const std::string& path, const Surface& picture, std::string* why = nullptr,
                     const BitmapViewNote* note = nullptr);

// The note of the bitmap file at `path`, if it is one and carries one.
std::optional<BitmapViewNote> viewNoteOfBitmap(const std::string& path);

}  // namespace qel
