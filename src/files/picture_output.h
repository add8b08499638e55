// Large pictures as files, written a row at a time: 24-bit bitmaps (each
// row into its place in the file) and PNG (the chunks by libpng, the rows
// compressed by zlib as they come; a split picture's two halves as two runs
// joined at the end), both through a temporary file that becomes the named
// file only when the picture is complete.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "files/bitmap.h"
#include "render/large_picture.h"

namespace qel {

enum class PictureFormat { Bitmap, Png };

// The format a file name asks for: ".bmp" or ".png", in any case; none for
// another extension.
std::optional<PictureFormat> pictureFormatOf(const std::string& path);

// A text a PNG file carries in a tEXt chunk (Latin-1; the keyword 1 to 79
// characters). Bitmaps carry none.
struct PictureText {
    std::string keyword, text;
};

// The sink that writes a width x height picture to `path`, a bitmap with
// the note when one is given. None, with the reason in `failure`, when the
// file cannot be started; a later failure gives its reason by the sink's
// failure().
std::unique_ptr<PictureSink> openPictureFile(const std::string& path, PictureFormat format, std::int64_t width,
                                             std::int64_t height, const std::vector<PictureText>& texts,
                                             std::string& failure, const BitmapViewNote* note = nullptr);

}  // namespace qel
